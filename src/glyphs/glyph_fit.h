#pragma once
// Fits one glyph's outline into the limits of a shape record: at most 13
// contours, 45 points in all, 3 at least per contour, integer coordinates
// within a box, and no contour crossing itself or another.

#include <vector>

#include "glyphs/glyph_outline.h"
#include "scene/shape_record.h"

struct FitLimits {
    int maxPoints = kMaxPoints;
    int maxContours = kMaxContours;
    int minContourPoints = 3;
    int halfWidth = 45;   // |x| <= halfWidth, shape units
    int halfHeight = 55;  // |y| <= halfHeight
};

struct FittedGlyph {
    std::vector<std::vector<ShapePoint>> contours;  // largest first; holes run against their outline
    int droppedContours = 0;  // rings of the outline left out: beyond the limit, or smaller than the grid
    // The worst distance between the fitted polygon and the whole outline,
    // both ways (symmetric Hausdorff), in shape units.
    double deviation = 0;
};

// `outline`: the glyph's rings in shape units (a non-zero union, so no two
// cross), flattened finely. One error budget serves all contours: points
// go where the outline needs them and may leave it where that lowers the
// worst deviation.
FittedGlyph FitGlyph(const std::vector<Ring>& outline, const FitLimits& limits = {});

// The symmetric Hausdorff distance between fitted contours and the rings.
double OutlineDeviation(const std::vector<std::vector<ShapePoint>>& fitted, const std::vector<Ring>& outline);
