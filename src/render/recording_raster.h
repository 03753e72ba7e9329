#pragma once
// A raster that keeps every call in order instead of drawing, for tests and tools.

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
    void BeginFrame(int32_t width, int32_t height) override {
        calls.push_back({RasterCall::kBeginFrame, {}, {}, {}, {}, 0, 0, width, height});
    }
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override {
        calls.push_back({RasterCall::kFillPolygon, {points, points + count}, {count}, colour, rule});
    }
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override {
        calls.push_back({RasterCall::kPaintRegion, {points, points + Total(counts, ringCount)},
                         {counts, counts + ringCount}, colour});
    }
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override {
        calls.push_back({RasterCall::kDrawPolylines, {points, points + Total(counts, polylineCount)},
                         {counts, counts + polylineCount}});
    }
    void CopyFromWindow(int32_t x, int32_t y) override {
        calls.push_back({RasterCall::kCopyFromWindow, {}, {}, {}, {}, x, y});
    }
    void CopyFromSnapshot(int32_t x, int32_t y) override {
        calls.push_back({RasterCall::kCopyFromSnapshot, {}, {}, {}, {}, x, y});
    }
    void PresentFrame(int32_t x, int32_t y) override {
        calls.push_back({RasterCall::kPresentFrame, {}, {}, {}, {}, x, y});
    }

    std::vector<RasterCall> calls;

private:
    static int Total(const int* counts, int n) {
        int total = 0;
        for (int i = 0; i < n; ++i) total += counts[i];
        return total;
    }
};
