#include "glyphs/glyph_fit.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>
#include <queue>

namespace {

bool Same(Vec2 a, Vec2 b) { return a.x == b.x && a.y == b.y; }

// A contact the fitted outline must not have. Segments that share an end
// point may meet there (where the font's own contours touch, or at a corner)
// but not overlap along a line; any other meeting is a crossing.
bool BadContact(Vec2 a, Vec2 b, Vec2 c, Vec2 d) {
    const bool shared = Same(a, c) || Same(a, d) || Same(b, c) || Same(b, d);
    if (!shared) return SegmentsMeet(a, b, c, d);
    if (Same(a, b) || Same(c, d)) return true;
    if ((Same(a, c) && Same(b, d)) || (Same(a, d) && Same(b, c))) return true;
    const Vec2 s = Same(a, c) || Same(a, d) ? a : b;
    const Vec2 u = (Same(s, a) ? b : a) - s, v = (Same(s, c) ? d : c) - s;
    return u.x * v.y - u.y * v.x == 0 && u.x * v.x + u.y * v.y > 0;
}

// A fitted vertex: where it stands and the outline point it stands for. The
// outline between two vertices' anchors is the piece their segment replaces.
struct Vertex {
    int anchor;
    Vec2 at;
};

struct Contour {
    const Ring* outline;
    std::vector<Vertex> vertices;
    size_t size() const { return vertices.size(); }
    const Vertex& operator[](size_t i) const { return vertices[i % size()]; }
};

using Contours = std::vector<Contour>;

size_t Before(size_t i, size_t n) { return (i + n - 1) % n; }

// Walks the outline points from anchor `from` to anchor `to` (both included, wrapping).
template <typename Visit>
void ForOutline(const Ring& outline, int from, int to, Visit visit) {
    const int n = static_cast<int>(outline.size());
    for (int k = from;; k = (k + 1) % n) {
        visit(k);
        if (k == to) break;
    }
}

// How far the outline piece from anchor a to b strays from the segment p-q.
double PieceError(const Ring& outline, int a, int b, Vec2 p, Vec2 q) {
    double worst = 0;
    ForOutline(outline, a, b, [&](int k) { worst = std::max(worst, DistanceToSegment(outline[k], p, q)); });
    return worst;
}

// How far a vertex stands from the outline around its anchor.
double VertexError(const Ring& outline, int from, int to, Vec2 p) {
    const int n = static_cast<int>(outline.size());
    double best = HUGE_VAL;
    ForOutline(outline, from, Before(to, n),
               [&](int k) { best = std::min(best, DistanceToSegment(p, outline[k], outline[(k + 1) % n])); });
    return best;
}

// Every error term that depends on vertex i of contour c standing at p with anchor `anchor`.
double LocalError(const Contour& c, size_t i, Vec2 p, int anchor) {
    const size_t n = c.size();
    const Vertex& prev = c[Before(i, n)];
    const Vertex& next = c[i + 1];
    return std::max({PieceError(*c.outline, prev.anchor, anchor, prev.at, p),
                     PieceError(*c.outline, anchor, next.anchor, p, next.at),
                     VertexError(*c.outline, prev.anchor, next.anchor, p)});
}

// Bad contacts of the two segments at vertex i of contour c if it stood at p.
int ContactsAt(const Contours& all, size_t c, size_t i, Vec2 p, bool firstOnly) {
    const Contour& own = all[c];
    const size_t n = own.size();
    const Vec2 prev = own[Before(i, n)].at, next = own[i + 1].at;
    int count = BadContact(prev, p, p, next) ? 1 : 0;
    for (size_t d = 0; d < all.size() && !(firstOnly && count); ++d) {
        const Contour& other = all[d];
        for (size_t j = 0; j < other.size(); ++j) {
            if (d == c && (j == i || j == Before(i, n))) continue;  // the two segments themselves
            const Vec2 a = other[j].at, b = other[j + 1].at;
            count += BadContact(prev, p, a, b) + BadContact(p, next, a, b);
            if (firstOnly && count) break;
        }
    }
    return count;
}

// How a removal is priced: the outline's distance from the chord, or from
// the chord between the grid points nearest to its ends.
enum class Pricing { kChord, kGrid };

// Bottom-up simplification: drop, over all rings at once, the outline point
// whose removal costs least, until the budget holds; a removal that would
// make a crossing waits until nothing else is left.
Contours Simplify(const std::vector<const Ring*>& rings, int budget, int minPoints, Pricing pricing) {
    struct Node {
        int prev, next, version = 0;
        bool alive = true;
    };
    struct Entry {
        double cost;
        int ring, point, version;
        bool operator>(const Entry& o) const { return cost > o.cost; }
    };
    constexpr double kBlocked = 1e6;

    std::vector<std::vector<Node>> nodes(rings.size());
    std::vector<int> alive(rings.size());
    int total = 0;
    for (size_t r = 0; r < rings.size(); ++r) {
        const int n = static_cast<int>(rings[r]->size());
        for (int k = 0; k < n; ++k) nodes[r].push_back({(k + n - 1) % n, (k + 1) % n});
        alive[r] = n;
        total += n;
    }
    auto cost = [&](int r, int k) {
        const Node& node = nodes[r][k];
        const Ring& ring = *rings[r];
        auto round = [](Vec2 p) { return Vec2{std::round(p.x), std::round(p.y)}; };
        if (pricing == Pricing::kGrid)
            return PieceError(ring, node.prev, node.next, round(ring[node.prev]), round(ring[node.next]));
        return PieceError(ring, node.prev, node.next, ring[node.prev], ring[node.next]);
    };
    auto crosses = [&](int r, int k) {
        const Vec2 p = (*rings[r])[nodes[r][k].prev], q = (*rings[r])[nodes[r][k].next];
        for (size_t s = 0; s < rings.size(); ++s)
            for (size_t j = 0; j < nodes[s].size(); ++j) {
                const Node& node = nodes[s][j];
                if (!node.alive || (s == size_t(r) && (int(j) == k || node.next == k))) continue;
                if (BadContact(p, q, (*rings[s])[j], (*rings[s])[node.next])) return true;
            }
        return false;
    };

    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (size_t r = 0; r < rings.size(); ++r)
        for (int k = 0; k < int(nodes[r].size()); ++k) queue.push({cost(int(r), k), int(r), k, 0});
    while (total > budget && !queue.empty()) {
        const Entry e = queue.top();
        queue.pop();
        Node& node = nodes[e.ring][e.point];
        if (!node.alive || node.version != e.version || alive[e.ring] <= minPoints) continue;
        if (e.cost < kBlocked && crosses(e.ring, e.point)) {
            queue.push({e.cost + kBlocked, e.ring, e.point, e.version});
            continue;
        }
        node.alive = false;
        --alive[e.ring];
        --total;
        nodes[e.ring][node.prev].next = node.next;
        nodes[e.ring][node.next].prev = node.prev;
        for (int k : {node.prev, node.next}) queue.push({cost(e.ring, k), e.ring, k, ++nodes[e.ring][k].version});
    }

    Contours contours;
    for (size_t r = 0; r < rings.size(); ++r) {
        Contour c{rings[r], {}};
        for (int k = 0; k < int(nodes[r].size()); ++k)
            if (nodes[r][k].alive) c.vertices.push_back({k, (*rings[r])[k]});
        contours.push_back(std::move(c));
    }
    return contours;
}

// Moves vertices off the outline, and their anchors along it, wherever that
// lowers the worst error of the pieces around them; no move makes a crossing.
void Relax(Contours& contours) {
    constexpr Vec2 kDirections[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    for (double step : {0.4, 0.2, 0.1, 0.05}) {
        for (int sweep = 0; sweep < 6; ++sweep) {
            bool moved = false;
            for (size_t c = 0; c < contours.size(); ++c) {
                Contour& contour = contours[c];
                const size_t n = contour.size();
                const int outlineSize = static_cast<int>(contour.outline->size());
                for (size_t i = 0; i < n; ++i) {
                    Vertex& v = contour.vertices[i];
                    double best = LocalError(contour, i, v.at, v.anchor);
                    Vertex chosen = v;
                    for (Vec2 d : kDirections) {
                        const Vec2 p = v.at + step * d;
                        const double error = LocalError(contour, i, p, v.anchor);
                        if (error < best - 1e-9 && !ContactsAt(contours, c, i, p, true)) {
                            best = error;
                            chosen = {v.anchor, p};
                        }
                    }
                    // An anchor slides only between its neighbours' anchors.
                    for (int shift : {-1, 1}) {
                        const int anchor = (v.anchor + shift + outlineSize) % outlineSize;
                        if (anchor == contour[Before(i, n)].anchor || anchor == contour[i + 1].anchor) continue;
                        const double error = LocalError(contour, i, chosen.at, anchor);
                        if (error < best - 1e-9) {
                            best = error;
                            chosen.anchor = anchor;
                        }
                    }
                    if (chosen.anchor != v.anchor || !Same(chosen.at, v.at)) {
                        v = chosen;
                        moved = true;
                    }
                }
            }
            if (!moved) break;
        }
    }
}

// What a vertex position costs: bad contacts first, then the worst of the
// errors around it, then their sum (which lets a move that does not change
// the worst still even out its neighbours).
std::optional<size_t> FindContact(const Contours& contours);

struct Cost {
    int contacts;
    double worst, total;
    bool operator<(const Cost& o) const {
        if (contacts != o.contacts) return contacts < o.contacts;
        if (worst < o.worst - 1e-9) return true;
        return worst <= o.worst + 1e-9 && total < o.total - 1e-9;
    }
};

Cost CostAt(const Contours& all, size_t c, size_t i, Vec2 p, int anchor) {
    const Contour& contour = all[c];
    const size_t n = contour.size();
    const Vertex &prev = contour[Before(i, n)], &next = contour[i + 1];
    const double before = PieceError(*contour.outline, prev.anchor, anchor, prev.at, p);
    const double after = PieceError(*contour.outline, anchor, next.anchor, p, next.at);
    const double own = VertexError(*contour.outline, prev.anchor, next.anchor, p);
    return {ContactsAt(all, c, i, p, false), std::max({before, after, own}), before + after + own};
}

// The outline point nearest to p strictly between the anchors of vertex i's neighbours.
int NearestAnchor(const Contour& c, size_t i, Vec2 p) {
    const Ring& outline = *c.outline;
    const int from = c[Before(i, c.size())].anchor, to = c[i + 1].anchor, n = int(outline.size());
    int best = c[i].anchor;
    double nearest = HUGE_VAL;
    for (int k = (from + 1) % n; k != to; k = (k + 1) % n)
        if (const double d = std::hypot(outline[k].x - p.x, outline[k].y - p.y); d < nearest) nearest = d, best = k;
    return best;
}

// The worst error term of a contour: the piece after vertex i, or vertex i itself.
double WorstAround(const Contour& c, size_t i) {
    const size_t n = c.size();
    return std::max(PieceError(*c.outline, c[i].anchor, c[i + 1].anchor, c[i].at, c[i + 1].at),
                    VertexError(*c.outline, c[Before(i, n)].anchor, c[i + 1].anchor, c[i].at));
}

Vec2 OnGrid(Vec2 p, const FitLimits& limits) {
    return {std::clamp(std::round(p.x), double(-limits.halfWidth), double(limits.halfWidth)),
            std::clamp(std::round(p.y), double(-limits.halfHeight), double(limits.halfHeight))};
}

// Moves vertices to grid points nearby while that removes contacts or lowers
// the errors around them; a vertex may slide along the outline to a grid
// point nearer to it, its anchor going along.
// With a focus, only the vertices within two places of vertex `second` of
// contour `first` move.
void Settle(Contours& contours, const FitLimits& limits,
            std::optional<std::pair<size_t, size_t>> focus = std::nullopt) {
    for (int sweep = 0; sweep < 12; ++sweep) {
        bool moved = false;
        for (size_t c = 0; c < contours.size(); ++c) {
            Contour& contour = contours[c];
            if (focus && focus->first != c) continue;
            for (size_t step = 0; step < (focus ? 5 : contour.size()); ++step) {
                const size_t i = focus ? (focus->second + contour.size() + step - 2) % contour.size() : step;
                Vertex& v = contour.vertices[i];
                Cost best = CostAt(contours, c, i, v.at, v.anchor);
                Vertex chosen = v;
                for (int dx = -2; dx <= 2; ++dx)
                    for (int dy = -2; dy <= 2; ++dy) {
                        const Vec2 p = OnGrid({v.at.x + dx, v.at.y + dy}, limits);
                        if (Same(p, v.at)) continue;
                        const int anchor = NearestAnchor(contour, i, p);
                        const Cost cost = CostAt(contours, c, i, p, anchor);
                        if (cost < best) best = cost, chosen = {anchor, p};
                    }
                if (!Same(chosen.at, v.at)) {
                    v = chosen;
                    moved = true;
                }
            }
        }
        if (!moved) break;
    }
}

// The worst error term of all contours: the piece after vertex `i` of
// contour `c`, or that vertex itself.
double WorstTerm(const Contours& contours, size_t& c, size_t& i) {
    double worst = -1;
    for (size_t k = 0; k < contours.size(); ++k)
        for (size_t j = 0; j < contours[k].size(); ++j)
            if (const double e = WorstAround(contours[k], j); e > worst) worst = e, c = k, i = j;
    return worst;
}

// Moves the two ends of the worst piece together while that lowers the
// worst error near them.
void MovePairs(Contours& contours, const FitLimits& limits) {
    for (int round = 0; round < 200; ++round) {
        size_t c = 0, i = 0;
        WorstTerm(contours, c, i);
        Contour& contour = contours[c];
        const size_t j = (i + 1) % contour.size();
        auto nearWorst = [&] {
            return std::max(CostAt(contours, c, i, contour[i].at, contour[i].anchor).worst,
                            CostAt(contours, c, j, contour[j].at, contour[j].anchor).worst);
        };
        const Vec2 startI = contour[i].at, startJ = contour[j].at;
        double best = nearWorst();
        Vec2 bestI = startI, bestJ = startJ;
        for (int m = 0; m < 81; ++m) {
            contour.vertices[i].at = OnGrid({startI.x + m % 3 - 1, startI.y + m / 3 % 3 - 1}, limits);
            contour.vertices[j].at = OnGrid({startJ.x + m / 9 % 3 - 1, startJ.y + m / 27 - 1}, limits);
            if (ContactsAt(contours, c, i, contour[i].at, true) || ContactsAt(contours, c, j, contour[j].at, true))
                continue;
            if (const double e = nearWorst(); e < best - 1e-9) best = e, bestI = contour[i].at, bestJ = contour[j].at;
        }
        contour.vertices[i].at = bestI;
        contour.vertices[j].at = bestJ;
        if (Same(bestI, startI) && Same(bestJ, startJ)) break;
    }
}

int CountVertices(const Contours& contours) {
    int total = 0;
    for (const Contour& c : contours) total += int(c.size());
    return total;
}

// Gives the worst piece a point of its own, taken from where the fit can
// best spare one, while that lowers the worst error.
void Exchange(Contours& contours, const FitLimits& limits) {
    for (int round = 0; round < 90; ++round) {
        size_t c = 0, i = 0;
        const double worst = WorstTerm(contours, c, i);
        // On a grid, points closer than the outline needs make a staircase:
        // first try leaving out an end of the worst piece.
        bool thinned = false;
        for (size_t end : {i, (i + 1) % contours[c].size()}) {
            if (int(contours[c].size()) <= limits.minContourPoints) break;
            Contours trial = contours;
            trial[c].vertices.erase(trial[c].vertices.begin() + std::ptrdiff_t(end));
            Settle(trial, limits, std::pair{c, end % trial[c].size()});
            size_t unusedC = 0, unusedI = 0;
            if (!FindContact(trial) && WorstTerm(trial, unusedC, unusedI) < worst - 1e-9) {
                contours = std::move(trial);
                thinned = true;
                break;
            }
        }
        if (thinned) continue;
        Contours trial = contours;
        if (CountVertices(trial) >= limits.maxPoints) {
            // The removal whose merged piece strays least, if that stays below the worst.
            double cheapest = worst;
            std::optional<std::pair<size_t, size_t>> spare;
            for (size_t k = 0; k < trial.size(); ++k) {
                const Contour& contour = trial[k];
                const size_t n = contour.size();
                if (int(n) <= limits.minContourPoints) continue;
                for (size_t j = 0; j < n; ++j) {
                    const Vertex &prev = contour[Before(j, n)], &next = contour[j + 1];
                    const double merged = PieceError(*contour.outline, prev.anchor, next.anchor, prev.at, next.at);
                    if (merged < cheapest) cheapest = merged, spare = {k, j};
                }
            }
            if (!spare) break;
            Contour& contour = trial[spare->first];
            contour.vertices.erase(contour.vertices.begin() + std::ptrdiff_t(spare->second));
            const size_t before = Before(spare->second, contour.size());
            if (ContactsAt(trial, spare->first, before, contour[before].at, true)) break;
            WorstTerm(trial, c, i);
        }
        // The worst piece, or the worse piece beside the worst vertex.
        Contour& contour = trial[c];
        const size_t n = contour.size();
        const Ring& outline = *contour.outline;
        auto pieceError = [&](size_t k) {
            return PieceError(outline, contour[k].anchor, contour[k + 1].anchor, contour[k].at, contour[k + 1].at);
        };
        if (pieceError(Before(i, n)) > pieceError(i)) i = Before(i, n);
        const int from = contour[i].anchor, to = contour[i + 1].anchor, size = int(outline.size());
        int far = -1;
        double farthest = -1;
        for (int k = (from + 1) % size; k != to; k = (k + 1) % size)
            if (const double d = DistanceToSegment(outline[k], contour[i].at, contour[i + 1].at); d > farthest)
                farthest = d, far = k;
        if (far < 0) break;
        contour.vertices.insert(contour.vertices.begin() + std::ptrdiff_t(i + 1),
                                Vertex{far, OnGrid(outline[far], limits)});
        Settle(trial, limits, std::pair{c, i + 1});
        size_t unusedC = 0, unusedI = 0;
        if (FindContact(trial) || WorstTerm(trial, unusedC, unusedI) >= worst - 1e-9) break;
        contours = std::move(trial);
    }
}

// Puts every vertex on the integer grid within the box and then looks for
// the best grid points near the outline.
void Snap(Contours& contours, const FitLimits& limits) {
    for (Contour& c : contours)
        for (Vertex& v : c.vertices) v.at = OnGrid(v.at, limits);
    Settle(contours, limits);
    MovePairs(contours, limits);
    Exchange(contours, limits);
}

// The contour with a bad contact, the smaller of a pair; none when there is no contact.
std::optional<size_t> FindContact(const Contours& contours) {
    for (size_t c = 0; c < contours.size(); ++c)
        for (size_t i = 0; i < contours[c].size(); ++i) {
            if (!ContactsAt(contours, c, i, contours[c][i].at, true)) continue;
            // Blame the smallest contour among those it touches.
            size_t smallest = c;
            const Vec2 p = contours[c][i].at, q = contours[c][i + 1].at;
            for (size_t d = 0; d < contours.size(); ++d)
                for (size_t j = 0; j < contours[d].size(); ++j)
                    if (d != c && BadContact(p, q, contours[d][j].at, contours[d][j + 1].at) &&
                        std::fabs(SignedArea(*contours[d].outline)) <
                            std::fabs(SignedArea(*contours[smallest].outline)))
                        smallest = d;
            return smallest;
        }
    return std::nullopt;
}

std::vector<std::vector<ShapePoint>> ToPoints(const Contours& contours) {
    std::vector<std::vector<ShapePoint>> points;
    for (const Contour& c : contours) {
        std::vector<ShapePoint>& out = points.emplace_back();
        for (const Vertex& v : c.vertices) out.push_back({int32_t(v.at.x), int32_t(v.at.y)});
    }
    return points;
}

}  // namespace

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

FittedGlyph FitGlyph(const std::vector<Ring>& outline, const FitLimits& limits) {
    // Rings by size; one smaller than a grid cell cannot be drawn.
    std::vector<const Ring*> rings;
    for (const Ring& ring : outline)
        if (std::fabs(SignedArea(ring)) >= 1.0) rings.push_back(&ring);
    std::stable_sort(rings.begin(), rings.end(), [](const Ring* a, const Ring* b) {
        return std::fabs(SignedArea(*a)) > std::fabs(SignedArea(*b));
    });
    const int most = std::min(limits.maxContours, limits.maxPoints / limits.minContourPoints);
    if (int(rings.size()) > most) rings.resize(most);

    FittedGlyph best;
    while (!rings.empty()) {
        // Each way of pricing suits some outlines better than the others, and
        // plain rounding now and then beats every search: keep the best fit.
        std::vector<Contours> candidates;
        for (Pricing pricing : {Pricing::kChord, Pricing::kGrid}) {
            const Contours simple = Simplify(rings, limits.maxPoints, limits.minContourPoints, pricing);
            Contours& rounded = candidates.emplace_back(simple);
            for (Contour& c : rounded)
                for (Vertex& v : c.vertices) v.at = OnGrid(v.at, limits);
            Snap(candidates.emplace_back(simple), limits);
            Contours& relaxed = candidates.emplace_back(simple);
            Relax(relaxed);
            Snap(relaxed, limits);
        }
        bool found = false;
        for (const Contours& candidate : candidates) {
            if (FindContact(candidate)) continue;
            const auto points = ToPoints(candidate);
            const double deviation = OutlineDeviation(points, outline);
            if (!found || deviation < best.deviation) best = {points, 0, deviation};
            found = true;
        }
        if (found) break;
        // A contour too thin for the grid: leave it out and fit the rest again.
        rings.erase(rings.begin() + std::ptrdiff_t(*FindContact(candidates[0])));
    }
    best.droppedContours = int(outline.size() - best.contours.size());
    if (best.contours.empty()) best.deviation = OutlineDeviation({}, outline);
    return best;
}
