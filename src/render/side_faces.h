#pragma once
// The side walls of a slot's solid: which are seen, in which order they are
// painted, and which cap faces the viewer.

#include "render/raster.h"
#include "scene/logo_scene.h"

// Sets the slot's frontFaceVisible and backFaceVisible from its projected
// corners and lists its visible side faces front-most first: the faces on
// the outline's convex hull in face order, then the others as the pairwise
// front-and-behind test places them. Returns how many are listed.
int OrderSideFaces(LogoSlot& slot, int32_t (&order)[kMaxPoints]);

// Orders the slot's side faces and paints them farthest first in the side
// shade, each outlined in black. `painted` receives the face numbers in
// painting order; returns how many were painted.
int DrawSideFaces(LogoSlot& slot, Raster& raster, int32_t (&painted)[kMaxPoints]);
