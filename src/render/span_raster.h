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

    // The frame as drawn so far (valid until the next call).
    PixelImage Frame();

private:
    // What a window pixel holds as background: black (a black rectangle over
    // the whole frame), or the snapshot's pixel `dx`, `dy` from it.
    struct HeldBackground {
        enum Kind : uint8_t { kNone, kBlack, kSnapshot };
        Kind kind = kNone;
        int64_t dx = 0, dy = 0;
        bool operator==(const HeldBackground&) const = default;
    };

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

    // One ring edge crossing rows yTop <= y < yBottom; x is the first
    // covered pixel at the current row, kept exactly by whole steps and a
    // remainder over dy.
    struct Edge {
        int32_t yTop, yBottom;
        int64_t x, remainder, stepX, stepRemainder, dy;
        int32_t winding;  // +1 downward, -1 upward

        // To the next row, without a branch: whether the remainder carries
        // follows no pattern a processor could predict.
        void Step() {
            remainder += stepRemainder;
            const bool carries = remainder >= dy;
            x += stepX + carries;
            remainder -= carries ? dy : 0;
        }
    };

    void Keep(Call call, const RasterPoint* points, int pointCount, const int* counts, int countCount);
    // Draws the kept calls into rows of `stride` pixels from `target` with
    // the frame's top left at (x, y) of them, clipped to the frame's
    // left <= x' < right and top <= y' < bottom; forgets them.
    void DrawInto(uint32_t* target, ptrdiff_t stride, int32_t left, int32_t top, int32_t right, int32_t bottom,
                  int64_t x, int64_t y);
    bool IsHidden(const Call& call) const;
    // The background the frame's first call paints, drawn at windowX_, windowY_.
    HeldBackground BackgroundOf(const Call& call) const;
    void DrawFirst(const Call& call);
    void Draw(const Call& call);
    void AddEdge(RasterPoint from, RasterPoint to);
    void FillEdges(uint32_t pixel, FillRule rule);
    void DrawLine(RasterPoint from, RasterPoint to);
    // Whether the line has been drawn by the calls being drawn, either way
    // (`addsStart`: the other way first, and not both ways yet); records it.
    bool IsDrawnAlready(RasterPoint from, RasterPoint to, bool& addsStart);
    // Paints the pixels not painted yet from `source` at (x, y), black where it
    // has none; with a `background`, only those of the window that do not
    // hold it already.
    void CopyFrom(const PixelImage& source, int32_t x, int32_t y, HeldBackground background);
    // Calls paint(x, n) for each run x <= x' < x + n of the pixels of a row
    // from left to right (within the clip) not painted yet, and marks them
    // painted; `words` are the row's painted bits (PaintedRow).
    template <typename Paint>
    void ForOpenRuns(uint64_t* words, int64_t left, int64_t right, Paint paint);
    uint64_t* PaintedRow(int64_t y) { return painted_.data() + (y - clipTop_) * paintedWords_; }
    // The same for the whole row of the clip, leaving out the window pixels
    // that hold the background already and recording which ones will, for
    // the background, drawn last: it marks nothing painted.
    template <typename Paint>
    void ForOpenRunsOverBackground(int64_t y, Paint paint);
    // No window pixel is known to hold a background any longer.
    void ForgetBackground();

    PixelImage window_, snapshot_;
    Presented presented_;
    // The frame surface, made when a frame is looked at or drawn apart; its
    // storage only grows, so frames of any size reuse it.
    std::vector<uint32_t> frame_;
    int32_t width_ = 0, height_ = 0;
    // Where the calls are being drawn (see DrawInto).
    uint32_t* target_ = nullptr;
    ptrdiff_t stride_ = 0;
    int64_t origin_ = 0;
    int32_t clipLeft_ = 0, clipRight_ = 0, clipTop_ = 0, clipBottom_ = 0;
    // Drawn into the window: where the frame's top left lies in it.
    bool isIntoWindow_ = false;
    int64_t windowX_ = 0, windowY_ = 0;
    // The pixels painted so far by the calls being drawn, a bit each, rows
    // of paintedWords_ words from the clip's top row, bit 0 at frame x =
    // paintedLeft_: in the window, at a multiple of 64, so that the words
    // line up with those of background_.
    std::vector<uint64_t> painted_;
    int64_t paintedWords_ = 0, paintedLeft_ = 0;
    // The window pixels that hold `held_`, a bit each, rows of
    // backgroundWords_ words (made with the first frame drawn into the window).
    std::vector<uint64_t> background_;
    int64_t backgroundWords_ = 0;
    HeldBackground held_;
    bool drawnIntoFrame_ = false;  // Frame() has been looked at in this frame
    // The calls not drawn yet, and the points and counts they refer to; their
    // storage is kept from frame to frame.
    std::vector<Call> calls_;
    std::vector<RasterPoint> points_;
    std::vector<int> counts_;
    std::vector<Edge> edges_;
    std::vector<Edge*> active_;
    // The lines drawn by the calls being drawn, by their ends packed into 64
    // bits, the lower first: a table of open addressing, a power of two in
    // size. A place is taken by the drawing numbered drawing_ alone, so
    // that a new drawing need not clear it.
    struct DrawnLine {
        uint64_t low = 0, high = 0;
        uint32_t drawing = 0;
        bool isFromLow = false, isDrawnBothWays = false;
    };
    std::vector<DrawnLine> drawnLines_;
    uint32_t drawing_ = 0;
};
