#include "glyphs/fit_errors.h"

#include <algorithm>
#include <cmath>

#include "glyphs/fit_contacts.h"
#include "glyphs/glyph_fit.h"

namespace {

// Walks the outline points from anchor `from` to anchor `to` (both included, wrapping).
template <typename Visit>
void ForOutline(const Ring& outline, int from, int to, Visit visit) {
    const int n = static_cast<int>(outline.size());
    for (int k = from;; k = (k + 1) % n) {
        visit(k);
        if (k == to) break;
    }
}

// The worst error term of a contour: the piece after vertex i, or vertex i itself.
double WorstAround(const Contour& c, size_t i) {
    const size_t n = c.size();
    return std::max(PieceError(*c.outline, c[i].anchor, c[i + 1].anchor, c[i].at, c[i + 1].at),
                    VertexError(*c.outline, c[Before(i, n)].anchor, c[i + 1].anchor, c[i].at));
}

struct Segment {
    Vec2 a, b;
};

Vec2 ToVec(ShapePoint p) { return {double(p.x), double(p.y)}; }

// The larger of `worst` and the distance from points along `from`, no
// further apart than `spacing` and the ends included, to the nearest of `to`.
double Directed(const std::vector<Segment>& from, const std::vector<Segment>& to, double spacing, double worst) {
    size_t last = 0;
    for (const Segment& s : from) {
        const int steps = std::max(1, int(std::ceil(std::hypot(s.b.x - s.a.x, s.b.y - s.a.y) / spacing)));
        for (int i = 0; i <= steps; ++i) {
            const Vec2 p = s.a + (double(i) / steps) * (s.b - s.a);
            // Points in a row are mostly nearest to one segment: trying it first
            // lets a point that cannot raise the worst stop there.
            double best = to.empty() ? HUGE_VAL : DistanceToSegment(p, to[last].a, to[last].b);
            for (size_t k = 0; k < to.size() && best > worst; ++k)
                if (const double d = DistanceToSegment(p, to[k].a, to[k].b); d < best) best = d, last = k;
            worst = std::max(worst, best);
        }
    }
    return worst;
}

}  // namespace

double PieceError(const Ring& outline, int a, int b, Vec2 p, Vec2 q) {
    double worst = 0;
    ForOutline(outline, a, b, [&](int k) { worst = std::max(worst, DistanceToSegment(outline[k], p, q)); });
    return worst;
}

double VertexError(const Ring& outline, int from, int to, Vec2 p) {
    const int n = static_cast<int>(outline.size());
    double best = HUGE_VAL;
    ForOutline(outline, from, int(Before(size_t(to), size_t(n))),
               [&](int k) { best = std::min(best, DistanceToSegment(p, outline[k], outline[(k + 1) % n])); });
    return best;
}

double LocalError(const Contour& c, size_t i, Vec2 p, int anchor) {
    const size_t n = c.size();
    const Vertex& prev = c[Before(i, n)];
    const Vertex& next = c[i + 1];
    return std::max({PieceError(*c.outline, prev.anchor, anchor, prev.at, p),
                     PieceError(*c.outline, anchor, next.anchor, p, next.at),
                     VertexError(*c.outline, prev.anchor, next.anchor, p)});
}

Cost CostAt(const Contours& all, size_t c, size_t i, Vec2 p, int anchor) {
    const Contour& contour = all[c];
    const size_t n = contour.size();
    const Vertex &prev = contour[Before(i, n)], &next = contour[i + 1];
    const double before = PieceError(*contour.outline, prev.anchor, anchor, prev.at, p);
    const double after = PieceError(*contour.outline, anchor, next.anchor, p, next.at);
    const double own = VertexError(*contour.outline, prev.anchor, next.anchor, p);
    return {ContactsAt(all, c, i, p, false), std::max({before, after, own}), before + after + own};
}

WorstPlace WorstTerm(const Contours& contours) {
    WorstPlace worst{-1, 0, 0};
    for (size_t k = 0; k < contours.size(); ++k)
        for (size_t j = 0; j < contours[k].size(); ++j)
            if (const double e = WorstAround(contours[k], j); e > worst.error) worst = {e, k, j};
    return worst;
}

double OutlineDeviation(const std::vector<std::vector<ShapePoint>>& fitted, const std::vector<Ring>& outline) {
    std::vector<Segment> fit, rings;
    for (const auto& c : fitted)
        for (size_t j = 0; j < c.size(); ++j) fit.push_back({ToVec(c[j]), ToVec(c[(j + 1) % c.size()])});
    for (const Ring& ring : outline)
        for (size_t k = 0; k < ring.size(); ++k) rings.push_back({ring[k], ring[(k + 1) % ring.size()]});
    return Directed(fit, rings, 0.25, Directed(rings, fit, 0.5, 0));
}
