#include "glyphs/glyph_outline.h"

#include <algorithm>
#include <cmath>

double SignedArea(const Ring& ring) {
    double twice = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return twice / 2;
}

double DistanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 ab = b - a, ap = p - a;
    const double length2 = ab.x * ab.x + ab.y * ab.y;
    double t = length2 > 0 ? (ap.x * ab.x + ap.y * ab.y) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const Vec2 d = p - (a + t * ab);
    return std::hypot(d.x, d.y);
}

namespace {

double Cross(Vec2 o, Vec2 a, Vec2 b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

int Sign(double v) { return (v > 0) - (v < 0); }

bool WithinBox(Vec2 a, Vec2 b, Vec2 p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Chords enough for a curve to stay within the tolerance: n equal steps in t
// deviate at most max|B''| / (8 n^2) from it.
int ChordCount(double secondDifference, double tolerance) {
    const double n = std::sqrt(secondDifference / (8 * tolerance));
    return std::clamp(static_cast<int>(std::ceil(n)), 1, 256);
}

double Length(Vec2 v) { return std::hypot(v.x, v.y); }

}  // namespace

bool SegmentsMeet(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
    const int d1 = Sign(Cross(c, d, a)), d2 = Sign(Cross(c, d, b));
    const int d3 = Sign(Cross(a, b, c)), d4 = Sign(Cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && WithinBox(c, d, a)) || (d2 == 0 && WithinBox(c, d, b)) || (d3 == 0 && WithinBox(a, b, c)) ||
           (d4 == 0 && WithinBox(a, b, d));
}

std::vector<Ring> FlattenOutline(const GlyphOutline& glyph, double tolerance) {
    std::vector<Ring> rings;
    for (const CurveContour& contour : glyph.contours) {
        Ring ring{contour.start};
        Vec2 from = contour.start;
        for (const CurveSegment& segment : contour.segments) {
            const Vec2 p0 = from, p1 = segment.control1, p2 = segment.control2, p3 = segment.to;
            if (segment.kind == CurveSegment::kQuadratic) {
                const int n = ChordCount(2 * Length(p0 - 2 * p1 + p3), tolerance);
                for (int i = 1; i < n; ++i) {
                    const double t = double(i) / n, u = 1 - t;
                    ring.push_back(u * u * p0 + 2 * u * t * p1 + t * t * p3);
                }
            } else if (segment.kind == CurveSegment::kCubic) {
                // A cubic's B'' is at most six times its larger second difference.
                const double bend = std::max(Length(p0 - 2 * p1 + p2), Length(p1 - 2 * p2 + p3));
                const int n = ChordCount(6 * bend, tolerance);
                for (int i = 1; i < n; ++i) {
                    const double t = double(i) / n, u = 1 - t;
                    ring.push_back(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3);
                }
            }
            ring.push_back(segment.to);
            from = segment.to;
        }
        // Drop repeated points, the closing one included.
        Ring clean;
        for (const Vec2& p : ring)
            if (clean.empty() || p.x != clean.back().x || p.y != clean.back().y) clean.push_back(p);
        while (clean.size() > 1 && clean.back().x == clean.front().x && clean.back().y == clean.front().y)
            clean.pop_back();
        if (clean.size() >= 3) rings.push_back(std::move(clean));
    }
    return rings;
}
