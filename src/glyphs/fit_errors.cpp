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
    auto toVec = [](ShapePoint p) { return Vec2{double(p.x), double(p.y)}; };
    // Points along a segment no further apart than `spacing`, its ends included.
    auto along = [](Vec2 a, Vec2 b, double spacing, auto visit) {
        const int steps = std::max(1, int(std::ceil(std::hypot(b.x - a.x, b.y - a.y) / spacing)));
        for (int s = 0; s <= steps; ++s) visit(a + (double(s) / steps) * (b - a));
    };
    double worst = 0;
    for (const Ring& ring : outline)
        for (size_t k = 0; k < ring.size(); ++k)
            along(ring[k], ring[(k + 1) % ring.size()], 0.5, [&](Vec2 p) {
                double best = HUGE_VAL;
                for (const auto& c : fitted)
                    for (size_t j = 0; j < c.size(); ++j)
                        best = std::min(best, DistanceToSegment(p, toVec(c[j]), toVec(c[(j + 1) % c.size()])));
                worst = std::max(worst, best);
            });
    for (const auto& c : fitted)
        for (size_t j = 0; j < c.size(); ++j)
            along(toVec(c[j]), toVec(c[(j + 1) % c.size()]), 0.25, [&](Vec2 p) {
                double best = HUGE_VAL;
                for (const Ring& ring : outline)
                    for (size_t k = 0; k < ring.size() && best > worst; ++k)
                        best = std::min(best, DistanceToSegment(p, ring[k], ring[(k + 1) % ring.size()]));
                worst = std::max(worst, best);
            });
    return worst;
}
