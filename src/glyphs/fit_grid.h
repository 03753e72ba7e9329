#pragma once
// The last steps of a fit: every vertex on the integer grid within the box,
// at the grid points that follow the outline best.

#include "glyphs/fit_contours.h"
#include "glyphs/glyph_fit.h"

// The grid point nearest to p within the box.
Vec2 OnGrid(Vec2 p, const FitLimits& limits);

// Puts every vertex on the grid and then looks for the best grid points near
// the outline: single vertices, pairs, and points exchanged between pieces.
void Snap(Contours& contours, const FitLimits& limits);
