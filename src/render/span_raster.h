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
//
// The calls of a frame are kept and drawn when the frame is presented (or
// looked at), the last call first: a record of the pixels already painted
// lets each call paint only the pixels no later call paints, so every pixel
// is written once however often the faces overlap, with the very colour the
// calls in their own order would leave. A presented frame is drawn straight
// into the part of the window it lands on, which gives the same pixels as
// drawing it apart and copying it there.
//
// The raster also remembers which window pixels hold the frames' background
// (black, or the desktop snapshot's own pixel): a background drawn there
// again leaves them as they are. So the window's picture must change only
// through the raster while it draws frames.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "render/draw_target.h"
#include "render/edge_fill.h"
#include "render/held_background.h"
#include "render/pixel_image.h"
#include "render/raster.h"
#include "render/raster_lines.h"

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

    // The frame as drawn so far (valid until the next call).
    PixelImage Frame();

private:
    // One call of the frame; its points and counts lie in points_ and counts_.
    struct Call {
        enum Kind : uint8_t { kPolygon, kRegion, kPolylines, kCopyWindow, kCopySnapshot };
        Call(Kind kind, FillRule rule, uint32_t pixel, int32_t x = 0, int32_t y = 0)
            : kind(kind), rule(rule), pixel(pixel), x(x), y(y) {}
        Kind kind;
        FillRule rule;
        uint32_t pixel;
        int32_t x, y;                  // copies: the source position
        int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;  // fills and lines: their points' box
        uint32_t firstPoint = 0, pointCount = 0, firstCount = 0, countCount = 0;
    };

    // Where the kept calls are being drawn: the target, and where the
    // frame's top left lies in the window when the target is the window.
    struct Drawing {
        DrawTarget target;
        bool isIntoWindow = false;
        int64_t windowX = 0, windowY = 0;
    };

    void Keep(Call call, const RasterPoint* points, int pointCount, const int* counts, int countCount);
    // The frame's calls are drawn: none is kept any longer.
    void ForgetCalls();
    // Draws the kept calls into rows of `stride` pixels from `target` with
    // the frame's top left at (x, y) of them, clipped to the frame's
    // left <= x' < right and top <= y' < bottom; forgets them.
    void DrawInto(uint32_t* target, ptrdiff_t stride, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int64_t x, int64_t y);
    bool IsHidden(const Drawing& drawing, const Call& call) const;
    // The background the frame's first call paints in the window.
    HeldBackground BackgroundOf(const Drawing& drawing, const Call& call) const;
    void DrawFirst(const Drawing& drawing, const Call& call);
    void Draw(const Drawing& drawing, const Call& call);

    PixelImage window_, snapshot_;
    Presented presented_;
    // The frame surface, made when a frame is looked at or drawn apart; its
    // storage only grows, so frames of any size reuse it.
    std::vector<uint32_t> frame_;
    int32_t width_ = 0, height_ = 0;
    bool drawnIntoFrame_ = false;  // Frame() has been looked at in this frame
    // The calls not drawn yet, and the points and counts they refer to; their
    // storage is kept from frame to frame, as is that of the painted bits.
    std::vector<Call> calls_;
    std::vector<RasterPoint> points_;
    std::vector<int> counts_;
    std::vector<uint64_t> painted_;
    EdgeFill edges_;
    DrawnLines drawnLines_;
    BackgroundMemory background_;
};
