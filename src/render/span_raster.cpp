#include "render/span_raster.h"

#include <algorithm>
#include <span>

#include "render/exact_steps.h"
#include "render/painted_mask.h"

void SpanRaster::BeginFrame(int32_t width, int32_t height) {
    width_ = std::max(width, 0), height_ = std::max(height, 0);
    ForgetCalls();
    drawnIntoFrame_ = false;
}

void SpanRaster::Keep(Call call, const RasterPoint* points, int pointCount, const int* counts, int countCount) {
    call.firstPoint = uint32_t(points_.size()), call.pointCount = uint32_t(pointCount);
    call.firstCount = uint32_t(counts_.size()), call.countCount = uint32_t(countCount);
    call.minX = call.minY = kCoordinateLimit, call.maxX = call.maxY = -kCoordinateLimit;
    points_.insert(points_.end(), points, points + pointCount);
    for (RasterPoint& p : std::span(points_).last(size_t(pointCount))) {
        p = Limited(p);
        call.minX = std::min(call.minX, p.x), call.maxX = std::max(call.maxX, p.x);
        call.minY = std::min(call.minY, p.y), call.maxY = std::max(call.maxY, p.y);
    }
    counts_.insert(counts_.end(), counts, counts + countCount);
    calls_.push_back(call);
}

void SpanRaster::FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) {
    if (count >= 2) Keep(Call(Call::kPolygon, rule, PixelOf(colour)), points, count, nullptr, 0);
}

void SpanRaster::PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) {
    int total = 0;
    for (int r = 0; r < ringCount; ++r) total += std::max(counts[r], 0);
    if (total > 0) Keep(Call(Call::kRegion, FillRule::kEvenOdd, PixelOf(colour)), points, total, counts, ringCount);
}

void SpanRaster::DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) {
    // The outline of the polygon just filled, as every face gets, draws the
    // very pixels of that polygon's border.
    if (!calls_.empty() && calls_.back().kind == Call::kPolygon && polylineCount == 1) {
        const Call& polygon = calls_.back();
        const RasterPoint* ring = points_.data() + polygon.firstPoint;
        bool same = counts[0] == int(polygon.pointCount) + 1;
        for (int i = 0; same && i < counts[0]; ++i) {
            const RasterPoint p = Limited(points[i]), q = ring[uint32_t(i) < polygon.pointCount ? i : 0];
            same = p.x == q.x && p.y == q.y;
        }
        if (same) return;
    }
    int total = 0;
    for (int r = 0; r < polylineCount; ++r) total += std::max(counts[r], 0);
    if (total > 0) Keep(Call(Call::kPolylines, FillRule::kEvenOdd, kBlack), points, total, counts, polylineCount);
}

// A copy paints the whole frame: what was drawn before it cannot show.
void SpanRaster::CopyFromWindow(int32_t x, int32_t y) {
    ForgetCalls();
    calls_.push_back(Call(Call::kCopyWindow, FillRule::kEvenOdd, kBlack, x, y));
}

void SpanRaster::CopyFromSnapshot(int32_t x, int32_t y) {
    ForgetCalls();
    calls_.push_back(Call(Call::kCopySnapshot, FillRule::kEvenOdd, kBlack, x, y));
}

PixelImage SpanRaster::Frame() {
    // Only a frame looked at or drawn apart needs a surface of its own.
    const size_t size = size_t(width_) * size_t(height_);
    if (frame_.size() < size) frame_.resize(size);
    DrawInto(frame_.data(), width_, 0, 0, width_, height_, 0, 0);
    drawnIntoFrame_ = true;
    return {frame_.data(), width_, height_, width_};
}

void SpanRaster::PresentFrame(int32_t x, int32_t y) {
    // The part of the frame that lands in the window.
    const int64_t left = std::max<int64_t>(x, 0), right = std::min<int64_t>(int64_t(x) + width_, window_.width);
    const int64_t top = std::max<int64_t>(y, 0), bottom = std::min<int64_t>(int64_t(y) + height_, window_.height);
    const bool shows = window_.pixels && left < right && top < bottom;
    // A frame that starts as a copy of the window from elsewhere must be
    // drawn apart: the window is its source.
    const bool copiesWindowFromElsewhere = !calls_.empty() && calls_.front().kind == Call::kCopyWindow &&
                                           (calls_.front().x != x || calls_.front().y != y);
    if (drawnIntoFrame_ || copiesWindowFromElsewhere) {
        Frame();
        for (int64_t row = top; shows && row < bottom; ++row) {
            const uint32_t* from = frame_.data() + (row - y) * width_ + (left - x);
            std::copy(from, from + (right - left), window_.Row(int32_t(row)) + left);
        }
        background_.Forget();
    } else if (shows) {
        // Everything else is drawn straight into the window: only the part
        // that lands there can ever be seen.
        DrawInto(window_.pixels, window_.stride, int32_t(left - x), int32_t(top - y), int32_t(right - x),
                 int32_t(bottom - y), x, y);
    }
    ForgetCalls();
    if (shows && presented_) presented_(int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top));
}

void SpanRaster::ForgetCalls() { calls_.clear(), points_.clear(), counts_.clear(); }

void SpanRaster::DrawInto(uint32_t* target, ptrdiff_t stride, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, int64_t x, int64_t y) {
    Drawing drawing{{target, stride, y * stride + x, left, top, right, bottom}, target == window_.pixels, x, y};
    if (left < right && top < bottom) {
        // Drawn into the window, the painted bits begin at a multiple of 64
        // of it, so that their words line up with the background's.
        DrawTarget& t = drawing.target;
        t.paintedLeft = drawing.isIntoWindow ? left - ((left + x) & 63) : left;
        t.paintedWords = (int64_t(right) - t.paintedLeft + 63) / 64;
        const size_t words = size_t(t.paintedWords) * size_t(int64_t(bottom) - top);
        if (painted_.size() < words) painted_.resize(words);
        std::fill_n(painted_.begin(), words, 0);
        t.painted = painted_.data();
        drawnLines_.StartDrawing(points_.size());  // room for every line the calls can draw
        if (drawing.isIntoWindow) background_.Prepare(window_.width, window_.height);
        for (size_t i = calls_.size(); i-- > 1;)
            if (!IsHidden(drawing, calls_[i])) Draw(drawing, calls_[i]);
        if (!calls_.empty()) DrawFirst(drawing, calls_.front());
    }
    ForgetCalls();
}

// The frame's first call, drawn last. In the window a background leaves the
// pixels that hold it already; a frame without one forgets what they hold.
void SpanRaster::DrawFirst(const Drawing& drawing, const Call& call) {
    const HeldBackground background = drawing.isIntoWindow ? BackgroundOf(drawing, call) : HeldBackground{};
    if (background.kind == HeldBackground::kSnapshot)
        return background_.CopyFrom(drawing.target, snapshot_, call.x, call.y, background, drawing.windowX,
                                    drawing.windowY);
    if (background.kind == HeldBackground::kBlack)
        return background_.CopyFrom(drawing.target, PixelImage{}, 0, 0, background, drawing.windowX, drawing.windowY);
    if (!IsHidden(drawing, call)) Draw(drawing, call);
    if (drawing.isIntoWindow) background_.Forget();
}

// Whether every pixel of the call's box (its points' box, the last row and
// column in: lines reach them) within the clip is painted already. Behind the
// letters in front most faces are; they cost no more than this look.
bool SpanRaster::IsHidden(const Drawing& drawing, const Call& call) const {
    if (call.kind == Call::kCopyWindow || call.kind == Call::kCopySnapshot) return false;
    return IsPaintedThrough(drawing.target, call.minX, call.maxX, call.minY, call.maxY);
}

void SpanRaster::Draw(const Drawing& drawing, const Call& call) {
    const DrawTarget& target = drawing.target;
    if (call.kind == Call::kCopyWindow) {
        // Drawn in the window where it was copied from, the copy is the window itself.
        if (!drawing.isIntoWindow) background_.CopyFrom(target, window_, call.x, call.y, HeldBackground{}, 0, 0);
        return;
    }
    if (call.kind == Call::kCopySnapshot)
        return background_.CopyFrom(target, snapshot_, call.x, call.y, HeldBackground{}, 0, 0);
    // Lines reach the last row of their points; fills stop short of it.
    if (call.maxY < target.clipTop || call.minY >= target.clipBottom) return;
    const RasterPoint* points = points_.data() + call.firstPoint;
    const int* counts = counts_.data() + call.firstCount;
    const int n = int(call.pointCount);
    switch (call.kind) {
        case Call::kPolygon:
            // The border is drawn over the fill: drawn first, it keeps its pixels.
            for (int i = 0; i < n; ++i) DrawLine(target, drawnLines_, points[i], points[i + 1 < n ? i + 1 : 0]);
            for (int i = 0; i < n; ++i) edges_.Add(target, points[i], points[i + 1 < n ? i + 1 : 0]);
            edges_.Fill(target, call.pixel, call.rule);
            break;
        case Call::kRegion: {
            // A ring of fewer than two points is no ring of its own: its
            // points begin the next ring, as GDI's regions take them.
            const RasterPoint* ring = points;
            int inRing = 0;
            for (uint32_t r = 0; r < call.countCount; ++r) {
                inRing += std::max(counts[r], 0);
                if (counts[r] < 2) continue;
                for (int i = 0; i < inRing; ++i) edges_.Add(target, ring[i], ring[i + 1 < inRing ? i + 1 : 0]);
                ring += inRing, inRing = 0;
            }
            edges_.Fill(target, call.pixel, FillRule::kEvenOdd);
            break;
        }
        case Call::kPolylines:
            for (uint32_t line = 0; line < call.countCount; points += std::max(counts[line], 0), ++line)
                for (int k = 1; k < counts[line]; ++k) DrawLine(target, drawnLines_, points[k - 1], points[k]);
            break;
        default:
            break;
    }
}

HeldBackground SpanRaster::BackgroundOf(const Drawing& drawing, const Call& call) const {
    const DrawTarget& t = drawing.target;
    if (call.kind == Call::kCopySnapshot) return {HeldBackground::kSnapshot, call.x - drawing.windowX, call.y - drawing.windowY};
    if (call.kind != Call::kPolygon || call.pixel != kBlack || call.pointCount != 4) return {};
    // A rectangle around the clip, its fill and border all black.
    if (call.minX > t.clipLeft || call.maxX < t.clipRight || call.minY > t.clipTop || call.maxY < t.clipBottom) return {};
    const RasterPoint* p = points_.data() + call.firstPoint;
    bool corners[2][2] = {};
    for (int i = 0; i < 4; ++i) {
        const RasterPoint a = p[i], b = p[(i + 1) % 4];
        const bool isCorner = (a.x == call.minX || a.x == call.maxX) && (a.y == call.minY || a.y == call.maxY);
        if (!isCorner || (a.x == b.x) == (a.y == b.y)) return {};
        corners[a.x == call.maxX][a.y == call.maxY] = true;
    }
    if (!(corners[0][0] && corners[0][1] && corners[1][0] && corners[1][1])) return {};
    return {HeldBackground::kBlack, 0, 0};
}
