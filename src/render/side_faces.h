#pragma once
// The side walls of a slot's solid: which are seen, in which order they are
// painted, and which cap faces the viewer.

#include "render/raster.h"
#include "scene/logo_scene.h"

// Which caps of a projected slot turn toward the viewer.
struct VisibleCaps {
    bool front, back;
};

// What ordering a slot's side faces found.
struct SideFaceOrder {
    int count;         // faces listed
    VisibleCaps caps;  // neither for a slot without points
};

// Lists the projected slot's visible side faces front-most first: the faces
// on the outline's convex hull in face order, then the others as the
// pairwise front-and-behind test places them.
SideFaceOrder OrderSideFaces(const LogoSlot& slot, int32_t (&order)[kMaxPoints]);

// Orders the slot's side faces and paints them farthest first in the side
// shade, each outlined in black, at `corners`: the slot's corners where the
// raster draws them (frame pixels, y down), corner j at corners[j]. `painted`
// receives the face numbers in painting order; the count is how many were painted.
SideFaceOrder DrawSideFaces(const LogoSlot& slot, const ScreenPoint* corners, Raster& raster,
                            int32_t (&painted)[kMaxPoints]);
