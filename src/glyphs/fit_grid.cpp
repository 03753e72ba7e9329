#include "glyphs/fit_grid.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "glyphs/fit_contacts.h"
#include "glyphs/fit_errors.h"

namespace {

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

// Moves vertex i of contour c to the grid point within two of it that costs
// least, its anchor going to the outline point nearest to it. True when it moved.
bool SettleVertex(Contours& contours, const FitLimits& limits, size_t c, size_t i) {
    Contour& contour = contours[c];
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
    if (Same(chosen.at, v.at)) return false;
    v = chosen;
    return true;
}

// Moves vertices to grid points nearby while that removes contacts or lowers
// the errors around them. With a focus, only the vertices within two places
// of vertex `second` of contour `first` move.
void Settle(Contours& contours, const FitLimits& limits,
            std::optional<std::pair<size_t, size_t>> focus = std::nullopt) {
    for (int sweep = 0; sweep < 12; ++sweep) {
        bool moved = false;
        for (size_t c = 0; c < contours.size(); ++c) {
            if (focus && focus->first != c) continue;
            const size_t n = contours[c].size();
            for (size_t step = 0; step < (focus ? 5 : n); ++step) {
                const size_t i = focus ? (focus->second + n + step - 2) % n : step;
                moved |= SettleVertex(contours, limits, c, i);
            }
        }
        if (!moved) break;
    }
}

// Moves the two ends of the worst piece together while that lowers the
// worst error near them.
void MovePairs(Contours& contours, const FitLimits& limits) {
    for (int round = 0; round < 200; ++round) {
        const WorstPlace worst = WorstTerm(contours);
        const size_t c = worst.contour, i = worst.vertex;
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

// On a grid, points closer than the outline needs make a staircase: leaves
// out an end of the worst piece where that lowers the worst error. True when
// one was left out.
bool ThinWorstPiece(Contours& contours, const FitLimits& limits, const WorstPlace& worst) {
    const size_t c = worst.contour;
    for (size_t end : {worst.vertex, (worst.vertex + 1) % contours[c].size()}) {
        if (int(contours[c].size()) <= limits.minContourPoints) break;
        Contours trial = contours;
        trial[c].vertices.erase(trial[c].vertices.begin() + std::ptrdiff_t(end));
        Settle(trial, limits, std::pair{c, end % trial[c].size()});
        if (!FindContact(trial) && WorstTerm(trial).error < worst.error - 1e-9) {
            contours = std::move(trial);
            return true;
        }
    }
    return false;
}

// Where the fit has no point to spare: leaves out the point whose merged
// piece strays least, if that stays below `worst` and makes no contact, and
// returns the worst place after; nothing when no point can go.
std::optional<WorstPlace> SpareCheapestPoint(Contours& trial, const FitLimits& limits, double worst) {
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
    if (!spare) return std::nullopt;
    Contour& contour = trial[spare->first];
    contour.vertices.erase(contour.vertices.begin() + std::ptrdiff_t(spare->second));
    const size_t before = Before(spare->second, contour.size());
    if (ContactsAt(trial, spare->first, before, contour[before].at, true)) return std::nullopt;
    return WorstTerm(trial);
}

// Gives the worst piece at `place` (or the worse piece beside the worst
// vertex) a vertex at its farthest outline point; false when it has none.
bool AddFarthestPoint(Contours& trial, const FitLimits& limits, const WorstPlace& place) {
    const size_t c = place.contour;
    size_t i = place.vertex;
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
    if (far < 0) return false;
    contour.vertices.insert(contour.vertices.begin() + std::ptrdiff_t(i + 1), Vertex{far, OnGrid(outline[far], limits)});
    Settle(trial, limits, std::pair{c, i + 1});
    return true;
}

// Gives the worst piece a point of its own, taken from where the fit can
// best spare one, while that lowers the worst error.
void Exchange(Contours& contours, const FitLimits& limits) {
    for (int round = 0; round < 90; ++round) {
        const WorstPlace worst = WorstTerm(contours);
        if (ThinWorstPiece(contours, limits, worst)) continue;
        Contours trial = contours;
        WorstPlace place = worst;
        if (CountVertices(trial) >= limits.maxPoints) {
            const std::optional<WorstPlace> after = SpareCheapestPoint(trial, limits, worst.error);
            if (!after) break;
            place = *after;
        }
        if (!AddFarthestPoint(trial, limits, place)) break;
        if (FindContact(trial) || WorstTerm(trial).error >= worst.error - 1e-9) break;
        contours = std::move(trial);
    }
}

}  // namespace

Vec2 OnGrid(Vec2 p, const FitLimits& limits) {
    return {std::clamp(std::round(p.x), double(-limits.halfWidth), double(limits.halfWidth)),
            std::clamp(std::round(p.y), double(-limits.halfHeight), double(limits.halfHeight))};
}

void Snap(Contours& contours, const FitLimits& limits) {
    for (Contour& c : contours)
        for (Vertex& v : c.vertices) v.at = OnGrid(v.at, limits);
    Settle(contours, limits);
    MovePairs(contours, limits);
    Exchange(contours, limits);
}
