#pragma once
// A raster that keeps every call in order instead of drawing, for tests and
// tools; it can also count the pixels a drawing raster would write.

#include <cstdint>
#include <vector>

#include "render/raster.h"

struct RasterCall {
    enum Kind { kBeginFrame, kFillPolygon, kPaintRegion, kDrawPolylines, kCopyFromWindow, kCopyFromSnapshot, kPresentFrame };
    Kind kind;
    std::vector<RasterPoint> points;  // polygon, rings or polylines, in a row
    std::vector<int> counts;          // points per ring or polyline
    Rgb colour{};
    FillRule rule = FillRule::kEvenOdd;
    int32_t x = 0, y = 0;           // copy origin or destination
    int32_t width = 0, height = 0;  // frame size (kBeginFrame)
};

class RecordingRaster final : public Raster {
public:
    void BeginFrame(int32_t width, int32_t height) override;
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override;
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override;
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override;
    void CopyFromWindow(int32_t x, int32_t y) override;
    void CopyFromSnapshot(int32_t x, int32_t y) override;
    void PresentFrame(int32_t x, int32_t y) override;

    bool keepsCalls = true;
    std::vector<RasterCall> calls;

    // When set, pixelsWritten adds up the pixels each call writes: the frame
    // surface for a copy, the covered pixels of fills, one per pixel step of a line.
    bool countsPixels = false;
    int64_t pixelsWritten = 0;

private:
    int32_t frameWidth_ = 0, frameHeight_ = 0;
};
