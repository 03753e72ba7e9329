#pragma once
// The end faces (caps) of a slot's solid.

#include "render/raster.h"
#include "render/side_faces.h"
#include "scene/logo_scene.h"

// Paints the cap that faces the viewer (the front one when both do) as one
// even-odd region of all contours, so that holes stay open, then outlines
// every contour in black. Nothing when neither cap faces the viewer or the
// shape has no contours. `caps` comes from ordering the slot's side faces;
// `corners` are the slot's corners as DrawSideFaces takes them.
void DrawCap(const LogoSlot& slot, const ScreenPoint* corners, VisibleCaps caps, Raster& raster);
