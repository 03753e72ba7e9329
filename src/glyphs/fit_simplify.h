#pragma once
// The first steps of a fit: an outline's points thinned to the budget, then
// moved off the outline where that lowers the error; and the plain
// Douglas-Peucker fits the searches must do no worse than.

#include <vector>

#include "glyphs/fit_contours.h"

// How a removal is priced: the outline's distance from the chord, or from
// the chord between the grid points nearest to its ends.
enum class Pricing { kChord, kGrid };

// Bottom-up simplification: drops, over all rings at once, the outline point
// whose removal costs least, until at most `budget` points are left (never
// fewer than `minPoints` a ring); a removal that would make a crossing waits
// until nothing else is left.
Contours Simplify(const std::vector<const Ring*>& rings, int budget, int minPoints, Pricing pricing);

// Douglas-Peucker on rings that enclose some area: a ring starts as its
// first point and the point farthest from it, and a piece of it is split at
// its point farthest from its chord while that lies beyond the tolerance (the
// first of equals, both times). A ring keeps `minPoints` at least, the points
// it needs most. Gives the fits that keep the budget, from the least
// tolerance that does up to `coarsest` (1 or more) times that one, finest
// first, each once; none when the rings' minimum alone is over the budget.
std::vector<Contours> PeuckerFits(const std::vector<const Ring*>& rings, int budget, int minPoints, double coarsest);

// Moves vertices off the outline, and their anchors along it, wherever that
// lowers the worst error of the pieces around them; no move makes a crossing.
void Relax(Contours& contours);
