#pragma once
// The raster of our own, for frames in memory: the platform's GDI pixel rules
// for every call the renderer makes, scan-converted into spans written
// straight into the pixel rows of one frame surface.
//
// The rules, as GDI follows them (checked pixel for pixel against it):
// - Fills sample the pixel centres at whole coordinates. On each row y a ring
//   edge from (x0, y0) to (x1, y1) counts when min(y0, y1) <= y < max(y0, y1)
//   and crosses at its exact x; between two crossings the pixels x with
//   left <= x < right are covered, so shared edges are painted once (left and
//   top edges belong to the shape, right and bottom ones do not).
// - A 1-pixel line steps one pixel at a time along its longer axis; on the
//   other axis it takes the exact position rounded to the nearest pixel, a
//   half rounded toward the smaller coordinate. Its last pixel is not drawn.
// - A polygon's pen border is the closed chain of such lines through its
//   points; a region has no border.
// Points are taken as they come within +-2^29 and moved onto that limit beyond.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "render/raster.h"

// Rows of 32-bit pixels 0x00RRGGBB, not owned: `stride` pixels from one row
// to the next.
struct PixelImage {
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    ptrdiff_t stride = 0;

    uint32_t* Row(int32_t y) const { return pixels + y * stride; }
};

constexpr uint32_t PixelOf(Rgb colour) { return uint32_t(colour.r) << 16 | uint32_t(colour.g) << 8 | colour.b; }

class SpanRaster final : public Raster {
public:
    // Called after a frame has been copied into the window picture, with the
    // rectangle it changed (never empty), so that a platform can show it.
    using Presented = std::function<void(int32_t x, int32_t y, int32_t width, int32_t height)>;

    // `window` is the window's picture, read for after-images and written by
    // PresentFrame; `snapshot` is the desktop picture taken at start (no
    // pixels: none). Neither is owned; both must outlive the raster.
    SpanRaster(PixelImage window, PixelImage snapshot, Presented presented = {})
        : window_(window), snapshot_(snapshot), presented_(std::move(presented)) {}

    void BeginFrame(int32_t width, int32_t height) override;
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override;
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override;
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override;
    void CopyFromWindow(int32_t x, int32_t y) override;
    void CopyFromSnapshot(int32_t x, int32_t y) override;
    void PresentFrame(int32_t x, int32_t y) override;

    // The frame surface as drawn so far (valid until the next BeginFrame).
    PixelImage Frame() { return {frame_.data(), width_, height_, width_}; }

private:
    // One ring edge crossing rows yTop <= y < yBottom; x is the first
    // covered pixel at the current row, kept exactly by whole steps and a
    // remainder over dy.
    struct Edge {
        int32_t yTop, yBottom;
        int64_t x, remainder, stepX, stepRemainder, dy;
        int32_t winding;  // +1 downward, -1 upward
    };

    static void Step(Edge& edge);  // to the next row
    void AddEdge(RasterPoint from, RasterPoint to);
    void FillEdges(uint32_t pixel, FillRule rule);
    void DrawLine(RasterPoint from, RasterPoint to);
    void DrawClosedChain(const RasterPoint* points, int count);
    void DrawPendingBorder();
    bool OutlinesPendingBorder(const RasterPoint* points, const int* counts, int polylineCount) const;
    void CopyFrom(const PixelImage& source, int32_t x, int32_t y);

    PixelImage window_, snapshot_;
    Presented presented_;
    // The frame surface; its storage only grows, so frames of any size reuse it.
    std::vector<uint32_t> frame_;
    int32_t width_ = 0, height_ = 0;
    std::vector<Edge> edges_;
    std::vector<Edge*> active_;
    // A filled polygon's border waits: when the same ring is outlined next,
    // as every face is, the outline draws exactly the same pixels.
    std::vector<RasterPoint> pending_;
};
