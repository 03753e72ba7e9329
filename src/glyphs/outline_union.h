#pragma once
// The non-zero union of a glyph's contours: overlapping contours merge into
// one boundary, so no wall is extruded inside a letter.

#include <vector>

#include "glyphs/glyph_outline.h"

// The boundary of the region where the rings' winding number is not zero:
// outer rings counter-clockwise, holes clockwise (y up). Rings whose
// winding cancels out vanish; crossings become vertices of the result.
std::vector<Ring> NonZeroUnion(const std::vector<Ring>& rings);
