#include "render/cap_fill.h"

#include <cassert>

void DrawCap(const LogoSlot& slot, const ScreenPoint* corners, VisibleCaps caps, Raster& raster) {
    if (!caps.front && !caps.back) return;
    const ShapeRecord& shape = slot.shape;
    if (shape.contourCount < 1) return;
    assert(IsWithinRecordLimits(shape));
    const int32_t offset = caps.front ? 0 : shape.pointCount;
    const Rgb colour = caps.front ? slot.frontShade : slot.backShade;

    // Each ring repeats its first point to close it; ranges may overlap in a
    // hand-made record, so room is kept for every contour at full length.
    RasterPoint rings[kMaxContours * (kMaxPoints + 1)];
    int counts[kMaxContours];
    int used = 0;
    for (int c = 1; c <= shape.contourCount; ++c) {
        const ContourRange& contour = shape.contours[c];
        const int start = used;
        for (int32_t k = contour.first; k <= contour.last; ++k) {
            const ScreenPoint& p = corners[offset + k];
            rings[used++] = {p.x, p.y};
        }
        rings[used++] = rings[start];
        counts[c - 1] = contour.last - contour.first + 2;
    }
    raster.PaintRegion(rings, counts, shape.contourCount, colour);
    raster.DrawPolylines(rings, counts, shape.contourCount);
}
