#pragma once
// The one small drawing interface the renderer paints through. A frame is
// drawn into an off-screen frame surface and then copied to the window.
// Coordinates are whole pixels of the surface drawn on, x right, y down,
// origin at its top left.

#include <cstdint>

#include "scene/rgb.h"

struct RasterPoint {
    int32_t x, y;
};

enum class FillRule {
    kEvenOdd,  // a point is inside when inside an odd number of rings
    kWinding,  // a point is inside when the rings wind around it
};

class Raster {
public:
    virtual ~Raster() = default;

    // Creates the frame surface of width x height pixels (both >= 1) for the
    // calls that follow, up to PresentFrame. Its content is undefined until painted.
    virtual void BeginFrame(int32_t width, int32_t height) = 0;

    // Fills the polygon with `colour` under `rule` and borders it with the
    // default pen (black, 1 pixel).
    virtual void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) = 0;

    // Paints the even-odd union of `ringCount` closed rings, ring r holding
    // counts[r] points in a row of `points`; no border.
    virtual void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) = 0;

    // Black 1-pixel lines: for each polyline, from its first point through
    // each following one (as MoveTo, then LineTo per point).
    virtual void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) = 0;

    // Fills the frame surface from the window's picture, or from the desktop
    // snapshot taken at start, at (x, y) of that picture.
    virtual void CopyFromWindow(int32_t x, int32_t y) = 0;
    virtual void CopyFromSnapshot(int32_t x, int32_t y) = 0;

    // Copies the whole frame surface to the window with its top left at
    // (x, y), which ends the frame. A backend may keep the surface for a
    // next frame of the same size; every frame paints all of it anew.
    virtual void PresentFrame(int32_t x, int32_t y) = 0;
};
