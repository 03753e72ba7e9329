#include "render/recording_raster.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>

namespace {

int Total(const int* counts, int n) {
    int total = 0;
    for (int i = 0; i < n; ++i) total += counts[i];
    return total;
}

// Pixels of a width x height surface whose centres (whole coordinates) lie
// inside the rings under `rule`, found row by row.
int64_t CountCovered(const RasterPoint* points, const int* counts, int rings, FillRule rule, int32_t width,
                     int32_t height) {
    struct Crossing {
        double x;
        int direction;
    };
    std::vector<Crossing> crossings;
    int64_t covered = 0;
    for (int32_t y = 0; y < height; ++y) {
        crossings.clear();
        const RasterPoint* ring = points;
        for (int r = 0; r < rings; ring += counts[r], ++r) {
            for (int i = 0; i < counts[r]; ++i) {
                const RasterPoint a = ring[i], b = ring[(i + 1) % counts[r]];
                if ((a.y <= y) == (b.y <= y)) continue;
                const double x = a.x + double(y - a.y) * (b.x - a.x) / double(b.y - a.y);
                crossings.push_back({x, b.y > a.y ? 1 : -1});
            }
        }
        std::sort(crossings.begin(), crossings.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += rule == FillRule::kEvenOdd ? 1 : crossings[i].direction;
            const bool isInside = rule == FillRule::kEvenOdd ? winding % 2 != 0 : winding != 0;
            if (!isInside) continue;
            const double from = std::clamp(std::ceil(crossings[i].x), 0.0, double(width));
            const double to = std::clamp(std::ceil(crossings[i + 1].x), 0.0, double(width));
            if (to > from) covered += int64_t(to - from);
        }
    }
    return covered;
}

int64_t CountLinePixels(const RasterPoint* points, const int* counts, int polylines) {
    int64_t pixels = 0;
    for (int r = 0; r < polylines; points += counts[r], ++r)
        for (int i = 0; i + 1 < counts[r]; ++i)
            pixels += std::max(std::abs(int64_t(points[i + 1].x) - points[i].x),
                               std::abs(int64_t(points[i + 1].y) - points[i].y));
    return pixels;
}

}  // namespace

void RecordingRaster::BeginFrame(int32_t width, int32_t height) {
    assert(width >= 1 && height >= 1);
    frameWidth_ = width, frameHeight_ = height;
    if (keepsCalls) calls.push_back({RasterCall::kBeginFrame, {}, {}, {}, {}, 0, 0, width, height});
}

void RecordingRaster::FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) {
    if (countsPixels) {
        pixelsWritten += CountCovered(points, &count, 1, rule, frameWidth_, frameHeight_);
        const RasterPoint closed[2] = {points[count - 1], points[0]};
        const int two = 2;
        pixelsWritten += CountLinePixels(points, &count, 1) + CountLinePixels(closed, &two, 1);
    }
    if (keepsCalls) calls.push_back({RasterCall::kFillPolygon, {points, points + count}, {count}, colour, rule});
}

void RecordingRaster::PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) {
    if (countsPixels)
        pixelsWritten += CountCovered(points, counts, ringCount, FillRule::kEvenOdd, frameWidth_, frameHeight_);
    if (keepsCalls) calls.push_back({RasterCall::kPaintRegion, {points, points + Total(counts, ringCount)}, {counts, counts + ringCount}, colour});
}

void RecordingRaster::DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) {
    if (countsPixels) pixelsWritten += CountLinePixels(points, counts, polylineCount);
    if (keepsCalls) calls.push_back({RasterCall::kDrawPolylines, {points, points + Total(counts, polylineCount)},
          {counts, counts + polylineCount}});
}

void RecordingRaster::CopyFromWindow(int32_t x, int32_t y) {
    if (countsPixels) pixelsWritten += int64_t(frameWidth_) * frameHeight_;
    if (keepsCalls) calls.push_back({RasterCall::kCopyFromWindow, {}, {}, {}, {}, x, y});
}

void RecordingRaster::CopyFromSnapshot(int32_t x, int32_t y) {
    if (countsPixels) pixelsWritten += int64_t(frameWidth_) * frameHeight_;
    if (keepsCalls) calls.push_back({RasterCall::kCopyFromSnapshot, {}, {}, {}, {}, x, y});
}

void RecordingRaster::PresentFrame(int32_t x, int32_t y) {
    if (countsPixels) pixelsWritten += int64_t(frameWidth_) * frameHeight_;
    if (keepsCalls) calls.push_back({RasterCall::kPresentFrame, {}, {}, {}, {}, x, y});
}
