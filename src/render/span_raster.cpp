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

int64_t FloorOf(int64_t a, int64_t b) { return b < 0 ? FloorDiv(-a, -b) : FloorDiv(a, b); }  // b != 0
int64_t CeilOf(int64_t a, int64_t b) { return -FloorOf(-a, b); }

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

// Pixels per band of rows: a band of the frame fits the processor's
// second-level cache with room to spare.
constexpr int32_t kBandPixels = 1 << 16;

// Sixteen pixels of one colour, made once per fill.
struct Pattern {
    explicit Pattern(uint32_t pixel) { std::fill_n(pixels, 16, pixel); }
    uint32_t pixels[16];
};

// Fills n pixels. Whole blocks become wide stores, the last one reaching
// back over pixels already filled rather than finishing one by one: the spans
// are most of a frame's work, and many are short.
void FillPixels(uint32_t* p, int64_t n, const Pattern& pattern) {
    uint32_t* const end = p + n;
    if (n >= 16) {
        for (; end - p >= 16; p += 16) std::memcpy(p, pattern.pixels, 64);
        if (p < end) std::memcpy(end - 16, pattern.pixels, 64);
    } else if (n >= 4) {
        for (; end - p >= 4; p += 4) std::memcpy(p, pattern.pixels, 16);
        if (p < end) std::memcpy(end - 4, pattern.pixels, 16);
    } else {
        for (; p < end; ++p) *p = pattern.pixels[0];
    }
}

}  // namespace

void SpanRaster::BeginFrame(int32_t width, int32_t height) {
    width_ = std::max(width, 0), height_ = std::max(height, 0);
    const size_t size = size_t(width_) * size_t(height_);
    if (frame_.size() < size) frame_.resize(size);
    calls_.clear(), points_.clear(), counts_.clear();
    drawnIntoFrame_ = false;
}

void SpanRaster::Keep(Call call, const RasterPoint* points, int pointCount, const int* counts, int countCount) {
    call.firstPoint = uint32_t(points_.size()), call.pointCount = uint32_t(pointCount);
    call.firstCount = uint32_t(counts_.size()), call.countCount = uint32_t(countCount);
    call.minY = kCoordinateLimit, call.maxY = -kCoordinateLimit;
    for (int i = 0; i < pointCount; ++i) {
        const RasterPoint p = Limited(points[i]);
        points_.push_back(p);
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
            const RasterPoint p = Limited(points[i]), q = ring[uint32_t(i) % polygon.pointCount];
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
    calls_.clear(), points_.clear(), counts_.clear();
    calls_.push_back(Call(Call::kCopyWindow, FillRule::kEvenOdd, kBlack, x, y));
}

void SpanRaster::CopyFromSnapshot(int32_t x, int32_t y) {
    calls_.clear(), points_.clear(), counts_.clear();
    calls_.push_back(Call(Call::kCopySnapshot, FillRule::kEvenOdd, kBlack, x, y));
}

PixelImage SpanRaster::Frame() {
    DrawInto(frame_.data(), width_, 0, 0, width_, height_, 0);
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
    } else if (shows) {
        // Everything else is drawn straight into the window: only the part
        // that lands there can ever be seen.
        DrawInto(window_.pixels, window_.stride, int32_t(left - x), int32_t(top - y), int32_t(right - x),
                 int32_t(bottom - y), int64_t(y) * window_.stride + x);
    }
    calls_.clear(), points_.clear(), counts_.clear();
    if (shows && presented_) presented_(int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top));
}

void SpanRaster::DrawInto(uint32_t* target, ptrdiff_t stride, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, int64_t origin) {
    target_ = target, stride_ = stride, origin_ = origin, clipLeft_ = left, clipRight_ = right;
    const int32_t bandRows = std::max<int32_t>(1, kBandPixels / std::max<int32_t>(right - left, 1));
    for (bandTop_ = top; bandTop_ < bottom; bandTop_ += bandRows) {
        bandBottom_ = std::min(bottom, bandTop_ + bandRows);
        for (const Call& call : calls_) Draw(call);
    }
    calls_.clear(), points_.clear(), counts_.clear();
}

void SpanRaster::Draw(const Call& call) {
    if (call.kind == Call::kCopyWindow) {
        // Drawn in the window where it was copied from, the copy is the window itself.
        if (target_ != window_.pixels) CopyFrom(window_, call.x, call.y);
        return;
    }
    if (call.kind == Call::kCopySnapshot) return CopyFrom(snapshot_, call.x, call.y);
    // Lines reach the last row of their points; fills stop short of it.
    if (call.maxY < bandTop_ || call.minY >= bandBottom_) return;
    const RasterPoint* points = points_.data() + call.firstPoint;
    const int* counts = counts_.data() + call.firstCount;
    const int n = int(call.pointCount);
    switch (call.kind) {
        case Call::kPolygon:
            for (int i = 0; i < n; ++i) AddEdge(points[i], points[(i + 1) % n]);
            FillEdges(call.pixel, call.rule);
            for (int i = 0; i < n; ++i) DrawLine(points[i], points[(i + 1) % n]);
            break;
        case Call::kRegion: {
            // A ring of fewer than two points is no ring of its own: its
            // points begin the next ring, as GDI's regions take them.
            const RasterPoint* ring = points;
            int inRing = 0;
            for (uint32_t r = 0; r < call.countCount; ++r) {
                inRing += std::max(counts[r], 0);
                if (counts[r] < 2) continue;
                for (int i = 0; i < inRing; ++i) AddEdge(ring[i], ring[(i + 1) % inRing]);
                ring += inRing, inRing = 0;
            }
            FillEdges(call.pixel, FillRule::kEvenOdd);
            break;
        }
        case Call::kPolylines:
            for (uint32_t line = 0; line < call.countCount; points += std::max(counts[line], 0), ++line)
                for (int k = 1; k < counts[line]; ++k) DrawLine(points[k - 1], points[k]);
            break;
        default:
            break;
    }
}

void SpanRaster::Step(Edge& e) {
    e.x += e.stepX, e.remainder += e.stepRemainder;
    if (e.remainder >= e.dy) ++e.x, e.remainder -= e.dy;
}

// Points come limited.
void SpanRaster::AddEdge(RasterPoint from, RasterPoint to) {
    if (from.y == to.y) return;
    const int32_t winding = to.y > from.y ? 1 : -1;
    if (winding < 0) std::swap(from, to);
    const int32_t yTop = std::max(from.y, bandTop_), yBottom = std::min(to.y, bandBottom_);
    if (yTop >= yBottom) return;
    // The first covered pixel at row y is ceil(from.x + (y - from.y) dx / dy).
    const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    const ExactStep x = ExactStep::Of(int64_t(from.x) * dy + (yTop - int64_t(from.y)) * dx + dy - 1, dx, dy);
    edges_.push_back({yTop, yBottom, x.whole, x.remainder, x.stepWhole, x.stepRemainder, dy, winding});
}

void SpanRaster::FillEdges(uint32_t pixel, FillRule rule) {
    const Pattern pattern(pixel);
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
        int32_t until = next < edges_.size() ? edges_[next].yTop : bandBottom_;
        for (const Edge* e : active_) until = std::min(until, e->yBottom);
        // The index of the row's pixel x is row + x.
        int64_t row = origin_ + y * stride_;
        if (active_.size() == 2) {
            // Most rings are quadrilaterals: one span per row whatever the rule.
            Edge &a = *active_[0], &b = *active_[1];
            for (; y < until; ++y, row += stride_, Step(a), Step(b)) {
                const int64_t left = std::max<int64_t>(std::min(a.x, b.x), clipLeft_);
                const int64_t right = std::min<int64_t>(std::max(a.x, b.x), clipRight_);
                if (left < right) FillPixels(target_ + (row + left), right - left, pattern);
            }
            continue;
        }
        for (; y < until; ++y, row += stride_) {
            // Crossings move little from row to row: an insertion sort is near linear.
            for (size_t i = 1; i < active_.size(); ++i)
                for (size_t j = i; j > 0 && active_[j - 1]->x > active_[j]->x; --j) std::swap(active_[j - 1], active_[j]);
            int32_t winding = 0;
            for (size_t i = 0; i + 1 < active_.size(); ++i) {
                winding += active_[i]->winding;
                const bool inside = rule == FillRule::kEvenOdd ? i % 2 == 0 : winding != 0;
                const int64_t left = std::max<int64_t>(active_[i]->x, clipLeft_);
                const int64_t right = std::min<int64_t>(active_[i + 1]->x, clipRight_);
                if (inside && left < right) FillPixels(target_ + (row + left), right - left, pattern);
            }
            for (Edge* e : active_) Step(*e);
        }
    }
    edges_.clear();
}

// Points come limited.
void SpanRaster::DrawLine(RasterPoint from, RasterPoint to) {
    const bool alongX = std::abs(int64_t(to.x) - from.x) >= std::abs(int64_t(to.y) - from.y);
    // The rounding depends only on where a pixel lies, so a line's pixels are
    // those of the line drawn back from its end, with its start in and its
    // end left out. Drawn so that its minor coordinate never falls, it is a
    // row of runs of equal minor coordinate.
    int64_t skip = 0;
    if ((alongX ? to.y - from.y : to.x - from.x) < 0) std::swap(from, to), skip = 1;
    const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    // Major axis a, minor axis b (rising), in the frame's terms, each with the
    // range of the band lo <= value < hi.
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);
    if (steps == 0) return;
    const int64_t a0 = alongX ? from.x : from.y, b0 = alongX ? from.y : from.x;
    const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1, db = alongX ? dy : dx;
    const int64_t aLo = alongX ? clipLeft_ : bandTop_, aHi = alongX ? clipRight_ : bandBottom_;
    const int64_t bLo = alongX ? bandTop_ : clipLeft_, bHi = alongX ? bandBottom_ : clipRight_;
    // Steps i whose major coordinate a0 + i * direction lies in the band...
    int64_t first = direction > 0 ? aLo - a0 : a0 - (aHi - 1), last = direction > 0 ? aHi - 1 - a0 : a0 - aLo;
    // ... and whose minor one can: it lies within half a pixel of b0 + i db / steps.
    if (db == 0 && (b0 < bLo || b0 >= bHi)) return;
    if (db != 0) first = std::max(first, FloorOf((bLo - b0 - 1) * steps, db)), last = std::min(last, CeilOf((bHi - b0) * steps, db));
    first = std::max(first, skip), last = std::min(last, steps - 1 + skip);
    if (first > last) return;
    // The minor coordinate at step i: b0 + i db / steps, a half rounded down,
    // that is b0 + ceil((2 i db - steps) / (2 steps)).
    ExactStep b = ExactStep::Of(2 * first * db - steps + 2 * steps - 1, 2 * db, 2 * steps);
    const Pattern black(kBlack);
    for (int64_t i = first; i <= last;) {
        // The steps before the minor coordinate rises.
        int64_t run = last - i + 1;
        if (b.stepWhole > 0) run = 1;
        else if (b.stepRemainder > 0) run = std::min(run, CeilOf(b.d - b.remainder, b.stepRemainder));
        const int64_t minor = b0 + b.whole;
        if (minor >= bLo && minor < bHi) {
            const int64_t major = a0 + i * direction;
            if (alongX) {
                const int64_t left = direction > 0 ? major : major - (run - 1);
                FillPixels(target_ + (origin_ + minor * stride_ + left), run, black);
            } else {
                for (int64_t k = 0; k < run; ++k) target_[origin_ + (major + k * direction) * stride_ + minor] = kBlack;
            }
        }
        i += run;
        b.whole += run * b.stepWhole, b.remainder += run * b.stepRemainder;
        while (b.remainder >= b.d) ++b.whole, b.remainder -= b.d;
    }
}

// The band of the frame from `source` at (x, y); what lies outside the
// source reads as black, as in a new bitmap.
void SpanRaster::CopyFrom(const PixelImage& source, int32_t x, int32_t y) {
    const Pattern black(kBlack);
    const int64_t left = std::clamp<int64_t>(-int64_t(x), clipLeft_, clipRight_);
    const int64_t right = std::clamp<int64_t>(int64_t(source.width) - x, left, clipRight_);
    const int64_t top = std::max<int64_t>(bandTop_, -int64_t(y));
    const int64_t bottom = std::min<int64_t>(bandBottom_, int64_t(source.height) - y);
    for (int64_t row = bandTop_; row < bandBottom_; ++row) {
        uint32_t* to = target_ + (origin_ + row * stride_);
        if (!source.pixels || row < top || row >= bottom) {
            FillPixels(to + clipLeft_, clipRight_ - clipLeft_, black);
            continue;
        }
        FillPixels(to + clipLeft_, left - clipLeft_, black);
        const uint32_t* from = source.Row(int32_t(row + y)) + x;
        std::copy(from + left, from + right, to + left);
        FillPixels(to + right, clipRight_ - right, black);
    }
}
