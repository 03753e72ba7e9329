#include "render/span_raster.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kCoordinateLimit = int32_t(1) << 29;

RasterPoint Limited(RasterPoint p) {
    return {std::clamp(p.x, -kCoordinateLimit, kCoordinateLimit), std::clamp(p.y, -kCoordinateLimit, kCoordinateLimit)};
}

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    const int64_t q = a / b;
    return q - (a % b < 0);
}

// A value a/d (d > 0) kept exactly while it steps by s/d: whole part and remainder.
struct ExactStep {
    int64_t whole, remainder, stepWhole, stepRemainder, d;

    static ExactStep Of(int64_t a, int64_t s, int64_t d) {
        const int64_t whole = FloorDiv(a, d), stepWhole = FloorDiv(s, d);
        return {whole, a - whole * d, stepWhole, s - stepWhole * d, d};
    }
    void Step() {
        whole += stepWhole, remainder += stepRemainder;
        if (remainder >= d) ++whole, remainder -= d;
    }
};

constexpr uint32_t kBlack = 0;

// Fills n pixels. Whole blocks of sixteen become wide stores: the spans are
// most of a frame's work, and one pixel at a time leaves most of the memory
// bandwidth unused.
void FillPixels(uint32_t* p, int64_t n, uint32_t pixel) {
    struct Block {
        uint32_t pixels[16];
    };
    Block block;
    for (uint32_t& b : block.pixels) b = pixel;
    for (; n > 0 && reinterpret_cast<uintptr_t>(p) % 16 != 0; --n) *p++ = pixel;
    for (; n >= 16; n -= 16, p += 16) std::memcpy(p, &block, sizeof block);
    for (; n > 0; --n) *p++ = pixel;
}

}  // namespace

void SpanRaster::BeginFrame(int32_t width, int32_t height) {
    width_ = std::max(width, 0), height_ = std::max(height, 0);
    const size_t size = size_t(width_) * size_t(height_);
    if (frame_.size() < size) frame_.resize(size);
    pending_.clear();
}

void SpanRaster::Step(Edge& e) {
    e.x += e.stepX, e.remainder += e.stepRemainder;
    if (e.remainder >= e.dy) ++e.x, e.remainder -= e.dy;
}

void SpanRaster::AddEdge(RasterPoint from, RasterPoint to) {
    from = Limited(from), to = Limited(to);
    if (from.y == to.y) return;
    const int32_t winding = to.y > from.y ? 1 : -1;
    if (winding < 0) std::swap(from, to);
    const int32_t yTop = std::max(from.y, 0), yBottom = std::min(to.y, height_);
    if (yTop >= yBottom) return;
    // The first covered pixel at row y is ceil(from.x + (y - from.y) dx / dy).
    const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    const ExactStep x = ExactStep::Of(int64_t(from.x) * dy + (yTop - int64_t(from.y)) * dx + dy - 1, dx, dy);
    edges_.push_back({yTop, yBottom, x.whole, x.remainder, x.stepWhole, x.stepRemainder, dy, winding});
}

void SpanRaster::FillEdges(uint32_t pixel, FillRule rule) {
    std::sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    active_.clear();
    size_t next = 0;
    for (int32_t y = edges_.empty() ? 0 : edges_.front().yTop; next < edges_.size() || !active_.empty();) {
        std::erase_if(active_, [y](const Edge* e) { return e->yBottom <= y; });
        for (; next < edges_.size() && edges_[next].yTop == y; ++next) active_.push_back(&edges_[next]);
        if (active_.empty()) {
            if (next < edges_.size()) y = edges_[next].yTop;
            continue;
        }
        // The rows up to the next edge's start or end cross the same edges.
        int32_t until = next < edges_.size() ? edges_[next].yTop : height_;
        for (const Edge* e : active_) until = std::min(until, e->yBottom);
        uint32_t* row = frame_.data() + size_t(y) * width_;
        if (active_.size() == 2) {
            // Most rings are quadrilaterals: one span per row whatever the rule.
            Edge &a = *active_[0], &b = *active_[1];
            for (; y < until; ++y, row += width_, Step(a), Step(b)) {
                const int64_t left = std::max<int64_t>(std::min(a.x, b.x), 0);
                const int64_t right = std::min<int64_t>(std::max(a.x, b.x), width_);
                if (left < right) FillPixels(row + left, right - left, pixel);
            }
            continue;
        }
        for (; y < until; ++y, row += width_) {
            // Crossings move little from row to row: an insertion sort is near linear.
            for (size_t i = 1; i < active_.size(); ++i)
                for (size_t j = i; j > 0 && active_[j - 1]->x > active_[j]->x; --j) std::swap(active_[j - 1], active_[j]);
            int32_t winding = 0;
            for (size_t i = 0; i + 1 < active_.size(); ++i) {
                winding += active_[i]->winding;
                const bool inside = rule == FillRule::kEvenOdd ? i % 2 == 0 : winding != 0;
                const int64_t left = std::max<int64_t>(active_[i]->x, 0);
                const int64_t right = std::min<int64_t>(active_[i + 1]->x, width_);
                if (inside && left < right) FillPixels(row + left, right - left, pixel);
            }
            for (Edge* e : active_) Step(*e);
        }
    }
    edges_.clear();
}

void SpanRaster::FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) {
    DrawPendingBorder();
    if (count < 2) return;
    for (int i = 0; i < count; ++i) AddEdge(points[i], points[(i + 1) % count]);
    FillEdges(PixelOf(colour), rule);
    pending_.assign(points, points + count);
}

void SpanRaster::PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) {
    DrawPendingBorder();
    // A ring of fewer than two points is no ring of its own: its points
    // begin the next ring, as GDI's regions take them.
    const RasterPoint* ring = points;
    int inRing = 0;
    for (int r = 0; r < ringCount; ++r) {
        inRing += std::max(counts[r], 0);
        if (counts[r] < 2) continue;
        for (int i = 0; i < inRing; ++i) AddEdge(ring[i], ring[(i + 1) % inRing]);
        ring += inRing, inRing = 0;
    }
    FillEdges(PixelOf(colour), FillRule::kEvenOdd);
}

void SpanRaster::DrawLine(RasterPoint from, RasterPoint to) {
    from = Limited(from), to = Limited(to);
    const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    const bool alongX = std::abs(dx) >= std::abs(dy);
    // Major axis a, minor axis b, in the frame's terms.
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
    if (steps == 0) return;
    const int64_t a0 = alongX ? from.x : from.y, b0 = alongX ? from.y : from.x;
    const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1, db = alongX ? dy : dx;
    const int64_t aLimit = alongX ? width_ : height_, bLimit = alongX ? height_ : width_;
    // Steps i whose major coordinate a0 + i * direction lies in the frame.
    int64_t first = direction > 0 ? -a0 : a0 - (aLimit - 1), last = direction > 0 ? aLimit - 1 - a0 : a0;
    first = std::max<int64_t>(first, 0), last = std::min(last, steps - 1);
    if (first > last) return;
    // The minor coordinate at step i: b0 + i db / steps, a half rounded down,
    // that is b0 + ceil((2 i db - steps) / (2 steps)).
    ExactStep b = ExactStep::Of(2 * first * db - steps + 2 * steps - 1, 2 * db, 2 * steps);
    // Walks the pixel's index in the frame: a whole step along the major
    // axis, and along the minor one when its rounded position moves.
    const int64_t majorStride = alongX ? direction : direction * width_, minorStride = alongX ? width_ : 1;
    const bool withinFrame = std::min(b0, b0 + db) >= 0 && std::max(b0, b0 + db) < bLimit;
    int64_t minor = b0 + b.whole, major = a0 + first * direction;
    int64_t index = alongX ? minor * width_ + major : major * width_ + minor;
    for (int64_t i = first; i <= last; ++i) {
        if (withinFrame || (minor >= 0 && minor < bLimit)) frame_[size_t(index)] = kBlack;
        const int64_t before = b.whole;
        b.Step();
        minor += b.whole - before;
        index += majorStride + (b.whole - before) * minorStride;
    }
}

void SpanRaster::DrawClosedChain(const RasterPoint* points, int count) {
    for (int i = 0; i < count; ++i) DrawLine(points[i], points[(i + 1) % count]);
}

void SpanRaster::DrawPendingBorder() {
    DrawClosedChain(pending_.data(), int(pending_.size()));
    pending_.clear();
}

bool SpanRaster::OutlinesPendingBorder(const RasterPoint* points, const int* counts, int polylineCount) const {
    const size_t n = pending_.size();
    if (n == 0 || polylineCount != 1 || counts[0] != int(n + 1)) return false;
    for (size_t i = 0; i <= n; ++i)
        if (points[i].x != pending_[i % n].x || points[i].y != pending_[i % n].y) return false;
    return true;
}

void SpanRaster::DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) {
    if (OutlinesPendingBorder(points, counts, polylineCount)) pending_.clear();
    DrawPendingBorder();
    for (int line = 0; line < polylineCount; points += std::max(counts[line], 0), ++line)
        for (int k = 1; k < counts[line]; ++k) DrawLine(points[k - 1], points[k]);
}

// What lies outside the source reads as black, as in a new bitmap.
void SpanRaster::CopyFrom(const PixelImage& source, int32_t x, int32_t y) {
    DrawPendingBorder();
    FillPixels(frame_.data(), int64_t(width_) * height_, kBlack);
    if (!source.pixels) return;
    const int64_t left = std::max<int64_t>(0, -int64_t(x)), top = std::max<int64_t>(0, -int64_t(y));
    const int64_t right = std::min<int64_t>(width_, int64_t(source.width) - x);
    const int64_t bottom = std::min<int64_t>(height_, int64_t(source.height) - y);
    for (int64_t row = top; row < bottom && left < right; ++row) {
        const uint32_t* from = source.Row(int32_t(row + y)) + (left + x);
        std::copy(from, from + (right - left), frame_.data() + row * width_ + left);
    }
}

void SpanRaster::CopyFromWindow(int32_t x, int32_t y) { CopyFrom(window_, x, y); }

void SpanRaster::CopyFromSnapshot(int32_t x, int32_t y) { CopyFrom(snapshot_, x, y); }

void SpanRaster::PresentFrame(int32_t x, int32_t y) {
    DrawPendingBorder();
    const int64_t left = std::max<int64_t>(x, 0), top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t(x) + width_, window_.width);
    const int64_t bottom = std::min<int64_t>(int64_t(y) + height_, window_.height);
    if (!window_.pixels || left >= right || top >= bottom) return;
    for (int64_t row = top; row < bottom; ++row) {
        const uint32_t* from = frame_.data() + (row - y) * width_ + (left - x);
        std::copy(from, from + (right - left), window_.Row(int32_t(row)) + left);
    }
    if (presented_) presented_(int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top));
}
