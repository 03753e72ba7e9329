#pragma once
// A glyph outline as a font gives it, and the polygon geometry the fitting
// works with. Coordinates are reals with y upward: font units in
// GlyphOutline, shape units once laid out.

#include <cstdint>
#include <vector>

struct Vec2 {
    double x, y;
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(double s, Vec2 a) { return {s * a.x, s * a.y}; }

// One piece of a contour, from the end of the piece before it to `to`.
struct CurveSegment {
    enum Kind { kLine, kQuadratic, kCubic } kind;
    Vec2 control1, control2;  // control2 only for kCubic; neither for kLine
    Vec2 to;
};

// A closed contour: it starts at `start` and closes from the last `to` back to it.
struct CurveContour {
    Vec2 start;
    std::vector<CurveSegment> segments;
};

// One character of a text. `present` is false when the font has no glyph
// for it; a present glyph without contours (a blank) is not an error.
struct GlyphOutline {
    char32_t character = 0;
    bool present = false;
    std::vector<CurveContour> contours;
};

// The glyphs of a text in one font.
struct FontGlyphs {
    double unitsPerEm = 1000;
    std::vector<GlyphOutline> glyphs;  // in text order
};

// A closed polygon: the last point joins the first; no point is repeated at the end.
using Ring = std::vector<Vec2>;

// Signed area, positive when the ring runs counter-clockwise (y up).
double SignedArea(const Ring& ring);

// Distance from `p` to the segment a-b.
double DistanceToSegment(Vec2 p, Vec2 a, Vec2 b);

// True when the closed segments a-b and c-d share a point.
bool SegmentsMeet(Vec2 a, Vec2 b, Vec2 c, Vec2 d);

// The contours as rings, curves replaced by chords that stay within
// `tolerance` of them (same units as the outline).
std::vector<Ring> FlattenOutline(const GlyphOutline& glyph, double tolerance);
