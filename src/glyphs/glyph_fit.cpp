#include "glyphs/glyph_fit.h"

#include <algorithm>
#include <cmath>

#include "glyphs/fit_contacts.h"
#include "glyphs/fit_grid.h"
#include "glyphs/fit_simplify.h"

namespace {

// Rounding moves a point by up to 0.7 shape units, often more than a fit's
// tolerance: a coarser plain fit may round better.
constexpr double kCoarsestPlainFit = 2.5;

void Round(Contours& contours, const FitLimits& limits) {
    for (Contour& c : contours)
        for (Vertex& v : c.vertices) v.at = OnGrid(v.at, limits);
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
        // plain rounding now and then beats every search, a plain
        // Douglas-Peucker fit's included: keep the best fit.
        std::vector<Contours> candidates;
        for (Pricing pricing : {Pricing::kChord, Pricing::kGrid}) {
            const Contours simple = Simplify(rings, limits.maxPoints, limits.minContourPoints, pricing);
            Round(candidates.emplace_back(simple), limits);
            Snap(candidates.emplace_back(simple), limits);
            Contours& relaxed = candidates.emplace_back(simple);
            Relax(relaxed);
            Snap(relaxed, limits);
        }
        for (Contours& plain : PeuckerFits(rings, limits.maxPoints, limits.minContourPoints, kCoarsestPlainFit))
            Round(candidates.emplace_back(std::move(plain)), limits);
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
