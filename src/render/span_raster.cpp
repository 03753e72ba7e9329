#include "render/span_raster.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

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
};

// The minor coordinate of a line, less its start, from step i on: that is
// floor((2 i db + steps - 1) / (2 steps)) with 0 <= db <= steps.
ExactStep MinorSteps(int64_t i, int64_t db, int64_t steps) {
    const int64_t a = 2 * i * db + steps - 1, d = 2 * steps;
    if (i > 1) return ExactStep::Of(a, 2 * db, d);
    // A line drawn from its start: a < 2 d, and a whole step only at slope 1.
    const int64_t whole = a >= d, stepWhole = db == steps;
    return {whole, a - whole * d, stepWhole, 2 * db - stepWhole * d, d};
}

constexpr uint32_t kBlack = 0;

uint64_t Packed(RasterPoint p) { return uint64_t(uint32_t(p.x)) << 32 | uint32_t(p.y); }

// Fills n pixels with `pixel`. Blocks of 4 are written from both ends, the
// last ones reaching back over pixels already filled rather than finishing one
// by one: the spans are most of a frame's work, many are short, and their
// lengths follow no pattern a processor could predict. The block is a value
// of its own, so that it stays in a register; inlined, so that the span loops
// keep their own values in registers too instead of saving them around a call.
[[gnu::always_inline]] inline void FillPixels(uint32_t* p, int64_t n, uint32_t pixel) {
    const uint32_t block[4] = {pixel, pixel, pixel, pixel};
    const auto fill4 = [&](uint32_t* at) { std::memcpy(at, block, 16); };
    uint32_t* const end = p + n;
    if (n < 4) {
        if (n > 0) p[0] = p[n / 2] = end[-1] = pixel;
    } else if (n <= 8) {
        fill4(p), fill4(end - 4);
    } else if (n <= 16) {
        fill4(p), fill4(p + 4), fill4(end - 8), fill4(end - 4);
    } else {
        for (; end - p > 16; p += 16) fill4(p), fill4(p + 4), fill4(p + 8), fill4(p + 12);
        fill4(end - 16), fill4(end - 12), fill4(end - 8), fill4(end - 4);
    }
}

// The frame's pixels and their painted bits, as a line walks them.
struct LinePixels {
    uint32_t* target;
    uint64_t* painted;  // rows of `paintedWords` words
    ptrdiff_t stride;
    int64_t paintedWords;

    // Paints the pixel at index `at` black unless painted (its bit: word
    // row + column / 64, bit column % 64).
    void Paint(int64_t at, int64_t row, int64_t column) const {
        uint64_t& word = painted[row + (column >> 6)];
        const uint64_t bit = uint64_t(1) << (column & 63);
        if (!(word & bit)) word |= bit, target[at] = kBlack;
    }

    // Paints black the pixels not painted yet of `count` steps of
    // `direction` along x (kAlongX) or y, from pixel index `at` (its bit:
    // word row + column / 64, bit column % 64), the minor coordinate rising
    // by `minor`: at most once a step, as the slope is at most 1.
    template <bool kAlongX>
    void Walk(int64_t at, int64_t row, int64_t column, int64_t direction, int64_t count, ExactStep minor) const {
        const int64_t atMajor = kAlongX ? direction : direction * stride, atMinor = kAlongX ? stride : 1;
        const int64_t rowStep = kAlongX ? paintedWords : direction * paintedWords;
        for (; count > 0; --count) {
            Paint(at, row, column);
            // Without a branch: whether it rises follows no pattern a processor could predict.
            minor.remainder += minor.stepRemainder;
            const bool carries = minor.remainder >= minor.d;
            minor.remainder -= minor.d & -int64_t(carries);
            const bool rises = carries | (minor.stepWhole != 0);
            at += atMajor + (rises ? atMinor : 0);
            if constexpr (kAlongX) column += direction, row += rises ? rowStep : 0;
            else row += rowStep, column += rises;
        }
    }

    // The same along x for a slope under 1, run by run of one row (the long
    // edges of a side face seen from its side are such lines): the row
    // rises where the remainder, growing by e a step, reaches d, which ends
    // the first run and leaves a remainder under e; every later run is
    // q = d / e steps, or one more while the remainder is under s = d % e.
    void WalkRows(int64_t at, int64_t row, int64_t column, int64_t direction, int64_t count, ExactStep minor) const {
        const int64_t e = minor.stepRemainder, d = minor.d;
        int64_t run = count, q = 0, s = 0, remainder = 0;
        if (e != 0) run = (d - minor.remainder + e - 1) / e, q = d / e, s = d % e, remainder = minor.remainder + run * e - d;
        for (;;) {
            const int64_t n = std::min(run, count), left = direction > 0 ? column : column - n + 1;
            PaintRow(at + (left - column), row, left, n);
            if ((count -= n) == 0) return;
            column += n * direction, at += n * direction + stride, row += paintedWords;
            const bool isLonger = remainder < s;
            run = q + isLonger;
            remainder += (isLonger ? e : 0) - s;
        }
    }

    // Paints black the pixels not painted yet of n columns of one row from
    // `column`, at pixel index `at`, a word of painted bits at a time.
    void PaintRow(int64_t at, int64_t row, int64_t column, int64_t n) const {
        while (n > 0) {
            const int64_t bit = column & 63, inWord = std::min<int64_t>(n, 64 - bit);
            uint64_t& word = painted[row + (column >> 6)];
            const uint64_t wanted = (~uint64_t(0) >> (64 - inWord)) << bit;
            if ((word & wanted) == 0) {
                FillPixels(target + at, inWord, kBlack);
            } else {
                for (uint64_t open = wanted & ~word; open != 0; open &= open - 1)
                    target[at + std::countr_zero(open) - bit] = kBlack;
            }
            word |= wanted;
            at += inWord, column += inWord, n -= inWord;
        }
    }
};

}  // namespace

void SpanRaster::BeginFrame(int32_t width, int32_t height) {
    width_ = std::max(width, 0), height_ = std::max(height, 0);
    calls_.clear(), points_.clear(), counts_.clear();
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
    calls_.clear(), points_.clear(), counts_.clear();
    calls_.push_back(Call(Call::kCopyWindow, FillRule::kEvenOdd, kBlack, x, y));
}

void SpanRaster::CopyFromSnapshot(int32_t x, int32_t y) {
    calls_.clear(), points_.clear(), counts_.clear();
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
        ForgetBackground();
    } else if (shows) {
        // Everything else is drawn straight into the window: only the part
        // that lands there can ever be seen.
        DrawInto(window_.pixels, window_.stride, int32_t(left - x), int32_t(top - y), int32_t(right - x),
                 int32_t(bottom - y), x, y);
    }
    calls_.clear(), points_.clear(), counts_.clear();
    if (shows && presented_) presented_(int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top));
}

void SpanRaster::DrawInto(uint32_t* target, ptrdiff_t stride, int32_t left, int32_t top, int32_t right,
                          int32_t bottom, int64_t x, int64_t y) {
    target_ = target, stride_ = stride, origin_ = y * stride + x;
    clipLeft_ = left, clipRight_ = right, clipTop_ = top, clipBottom_ = bottom;
    isIntoWindow_ = target == window_.pixels, windowX_ = x, windowY_ = y;
    if (left < right && top < bottom) {
        paintedLeft_ = isIntoWindow_ ? left - ((left + x) & 63) : left;
        paintedWords_ = (int64_t(right) - paintedLeft_ + 63) / 64;
        const size_t words = size_t(paintedWords_) * size_t(int64_t(bottom) - top);
        if (painted_.size() < words) painted_.resize(words);
        std::fill_n(painted_.begin(), words, 0);
        // Room for every line the calls can draw, at most half full.
        const size_t lines = std::bit_ceil(std::max<size_t>(2 * points_.size(), 16));
        if (drawnLines_.size() < lines || ++drawing_ == 0) drawnLines_.assign(lines, DrawnLine{}), drawing_ = 1;
        if (isIntoWindow_ && background_.empty()) {
            backgroundWords_ = (int64_t(window_.width) + 63) / 64;
            background_.assign(size_t(backgroundWords_) * size_t(window_.height), 0);
        }
        for (size_t i = calls_.size(); i-- > 1;)
            if (!IsHidden(calls_[i])) Draw(calls_[i]);
        if (!calls_.empty()) DrawFirst(calls_.front());
    }
    calls_.clear(), points_.clear(), counts_.clear();
}

namespace {

// The words of a row that bits from <= b < to (from < to) lie in, and the
// bits of the first and the last of them that belong.
struct WordRange {
    int64_t first, last;
    uint64_t head, tail;
};

WordRange WordsOf(int64_t from, int64_t to) {
    return {from >> 6, (to - 1) >> 6, ~uint64_t(0) << (from & 63), ~uint64_t(0) >> (63 - ((to - 1) & 63))};
}

// Joins the runs of set bits of a row's words, taken in order, into runs of
// pixels: runs that go on across a word boundary are painted as one.
template <typename Paint>
struct RowRuns {
    int64_t x0;  // the pixel of bit 0 of word 0
    Paint& paint;
    int64_t start = 0, end = 0;

    void Add(int64_t w, uint64_t bits) {
        for (; bits != 0; bits &= bits + (bits & -bits)) {  // the lowest run of ones cleared
            const int first = std::countr_zero(bits);
            const int64_t bit = w * 64 + first;
            if (bit != end) {
                if (end > start) paint(x0 + start, end - start);
                start = bit;
            }
            end = bit + std::countr_one(bits >> first);
        }
    }
    void Finish() {
        if (end > start) paint(x0 + start, end - start);
    }
};

}  // namespace

// Inlined: it runs for every span, most of them short.
template <typename Paint>
[[gnu::always_inline]] inline void SpanRaster::ForOpenRuns(uint64_t* words, int64_t left, int64_t right, Paint paint) {
    const int64_t from = left - paintedLeft_, to = right - paintedLeft_;  // bits from <= b < to
    RowRuns<Paint> runs{paintedLeft_, paint};
    const auto take = [&](int64_t w, uint64_t wanted) {
        runs.Add(w, wanted & ~words[w]);
        words[w] |= wanted;
    };
    const auto [firstWord, lastWord, head, tail] = WordsOf(from, to);
    // Most spans are one run of open pixels, often with their ends painted
    // already by the face's own border.
    const auto isOneRun = [](uint64_t bits) { return (bits & (bits + (bits & -bits))) == 0; };
    if (firstWord == lastWord) {
        const uint64_t wanted = head & tail, open = wanted & ~words[firstWord];
        if (open == 0) return;
        words[firstWord] |= wanted;
        if (isOneRun(open)) {
            const int first = std::countr_zero(open);
            return paint(paintedLeft_ + firstWord * 64 + first, std::countr_one(open >> first));
        }
        runs.Add(firstWord, open);
        return runs.Finish();
    }
    // From the first and the last word: open to the end of the one (adding
    // its lowest bit carries out of the word), and from the start of the
    // other (adding 1 carries through it), with every word between open.
    const uint64_t openFirst = head & ~words[firstWord], openLast = tail & ~words[lastWord];
    bool isOpenBetween = openFirst != 0 && openLast != 0 && openFirst + (openFirst & -openFirst) == 0 &&
                         (openLast & (openLast + 1)) == 0;
    for (int64_t w = firstWord + 1; isOpenBetween && w < lastWord; ++w) isOpenBetween = words[w] == 0;
    if (isOpenBetween) {
        const int64_t start = firstWord * 64 + std::countr_zero(openFirst), end = lastWord * 64 + std::bit_width(openLast);
        words[firstWord] |= head, words[lastWord] |= tail;
        // The words between are 0: flipped, rather than filled, as a fill of
        // a word or two became a call to memset.
        for (int64_t w = firstWord + 1; w < lastWord; ++w) words[w] = ~words[w];
        return paint(paintedLeft_ + start, end - start);
    }
    take(firstWord, head);
    // Behind the faces in front, most words are painted already.
    for (int64_t w = firstWord + 1; w < lastWord; ++w)
        if (words[w] != ~uint64_t(0)) take(w, ~uint64_t(0));
    take(lastWord, tail);
    runs.Finish();
}

template <typename Paint>
void SpanRaster::ForOpenRunsOverBackground(int64_t y, Paint paint) {
    uint64_t* const words = PaintedRow(y);
    uint64_t* const held = background_.data() + (y + windowY_) * backgroundWords_ + (paintedLeft_ + windowX_) / 64;
    const int64_t from = clipLeft_ - paintedLeft_, to = clipRight_ - paintedLeft_;
    const auto [firstWord, lastWord, head, tail] = WordsOf(from, to);
    RowRuns<Paint> runs{paintedLeft_, paint};
    // The background is drawn last: its pixels need no marks.
    const auto take = [&](int64_t w, uint64_t wanted) {
        const uint64_t open = wanted & ~words[w];
        if (const uint64_t changed = open & ~held[w]) runs.Add(w, changed);
        held[w] = (held[w] & ~wanted) | open;
    };
    take(firstWord, firstWord == lastWord ? head & tail : head);
    for (int64_t w = firstWord + 1; w < lastWord; ++w) {
        const uint64_t open = ~words[w];
        if (const uint64_t changed = open & ~held[w]) runs.Add(w, changed);
        held[w] = open;
    }
    if (lastWord > firstWord) take(lastWord, tail);
    runs.Finish();
}

void SpanRaster::ForgetBackground() {
    if (held_.kind == HeldBackground::kNone) return;
    std::fill(background_.begin(), background_.end(), 0);
    held_ = {};
}

// The frame's first call, drawn last. In the window a background leaves the
// pixels that hold it already; a frame without one forgets what they hold.
void SpanRaster::DrawFirst(const Call& call) {
    const HeldBackground background = isIntoWindow_ ? BackgroundOf(call) : HeldBackground{};
    if (background.kind == HeldBackground::kSnapshot) return CopyFrom(snapshot_, call.x, call.y, background);
    if (background.kind == HeldBackground::kBlack) return CopyFrom(PixelImage{}, 0, 0, background);
    if (!IsHidden(call)) Draw(call);
    if (isIntoWindow_) ForgetBackground();
}

namespace {

// Whether the words from <= w < to are all ones. Four at a time: the calls
// found hidden are read through to their last row, some 150,000 words a frame
// in the heaviest scene.
bool AreAllOnes(const uint64_t* from, const uint64_t* to) {
    for (; to - from >= 4; from += 4)
        if ((from[0] & from[1] & from[2] & from[3]) != ~uint64_t(0)) return false;
    for (; from < to; ++from)
        if (*from != ~uint64_t(0)) return false;
    return true;
}

}  // namespace

// Whether every pixel of the call's box (its points' box, the last row and
// column in: lines reach them) within the clip is painted already. Behind the
// letters in front most faces are; they cost no more than this look.
bool SpanRaster::IsHidden(const Call& call) const {
    if (call.kind == Call::kCopyWindow || call.kind == Call::kCopySnapshot) return false;
    const int64_t left = std::max(call.minX, clipLeft_) - paintedLeft_;
    const int64_t right = std::min(call.maxX + int64_t(1), int64_t(clipRight_)) - paintedLeft_;
    const int64_t top = std::max(call.minY, clipTop_), bottom = std::min(call.maxY + int64_t(1), int64_t(clipBottom_));
    if (left >= right || top >= bottom) return true;
    const auto [firstWord, lastWord, head, tail] = WordsOf(left, right);
    // Every eighth row first: an open pixel of a call in sight shows soon.
    for (int64_t phase = 0; phase < 8; ++phase) {
        for (int64_t y = top + phase; y < bottom; y += 8) {
            const uint64_t* const words = painted_.data() + (y - clipTop_) * paintedWords_;
            if (firstWord == lastWord) {
                if (~words[firstWord] & head & tail) return false;
                continue;
            }
            if ((~words[firstWord] & head) || (~words[lastWord] & tail)) return false;
            if (!AreAllOnes(words + firstWord + 1, words + lastWord)) return false;
        }
    }
    return true;
}

void SpanRaster::Draw(const Call& call) {
    if (call.kind == Call::kCopyWindow) {
        // Drawn in the window where it was copied from, the copy is the window itself.
        if (!isIntoWindow_) CopyFrom(window_, call.x, call.y, HeldBackground{});
        return;
    }
    if (call.kind == Call::kCopySnapshot) return CopyFrom(snapshot_, call.x, call.y, HeldBackground{});
    // Lines reach the last row of their points; fills stop short of it.
    if (call.maxY < clipTop_ || call.minY >= clipBottom_) return;
    const RasterPoint* points = points_.data() + call.firstPoint;
    const int* counts = counts_.data() + call.firstCount;
    const int n = int(call.pointCount);
    switch (call.kind) {
        case Call::kPolygon:
            // The border is drawn over the fill: drawn first, it keeps its pixels.
            for (int i = 0; i < n; ++i) DrawLine(points[i], points[i + 1 < n ? i + 1 : 0]);
            for (int i = 0; i < n; ++i) AddEdge(points[i], points[i + 1 < n ? i + 1 : 0]);
            FillEdges(call.pixel, call.rule);
            break;
        case Call::kRegion: {
            // A ring of fewer than two points is no ring of its own: its
            // points begin the next ring, as GDI's regions take them.
            const RasterPoint* ring = points;
            int inRing = 0;
            for (uint32_t r = 0; r < call.countCount; ++r) {
                inRing += std::max(counts[r], 0);
                if (counts[r] < 2) continue;
                for (int i = 0; i < inRing; ++i) AddEdge(ring[i], ring[i + 1 < inRing ? i + 1 : 0]);
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

// Points come limited.
void SpanRaster::AddEdge(RasterPoint from, RasterPoint to) {
    if (from.y == to.y) return;
    const int32_t winding = to.y > from.y ? 1 : -1;
    if (winding < 0) std::swap(from, to);
    const int32_t yTop = std::max(from.y, clipTop_), yBottom = std::min(to.y, clipBottom_);
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
        int32_t until = next < edges_.size() ? edges_[next].yTop : clipBottom_;
        for (const Edge* e : active_) until = std::min(until, e->yBottom);
        // The index of the row's pixel x is row + x.
        int64_t row = origin_ + y * stride_;
        const auto fill = [&](int64_t x, int64_t n) { FillPixels(target_ + (row + x), n, pixel); };
        if (active_.size() == 2) {
            // Most rings are quadrilaterals: one span per row whatever the rule.
            Edge &a = *active_[0], &b = *active_[1];
            uint64_t* words = PaintedRow(y);
            for (; y < until; ++y, row += stride_, words += paintedWords_, a.Step(), b.Step()) {
                const int64_t left = std::max<int64_t>(std::min(a.x, b.x), clipLeft_);
                const int64_t right = std::min<int64_t>(std::max(a.x, b.x), clipRight_);
                if (left < right) ForOpenRuns(words, left, right, fill);
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
                if (inside && left < right) ForOpenRuns(PaintedRow(y), left, right, fill);
            }
            for (Edge* e : active_) e->Step();
        }
    }
    edges_.clear();
}

bool SpanRaster::IsDrawnAlready(RasterPoint from, RasterPoint to, bool& addsStart) {
    const uint64_t a = Packed(from), b = Packed(to);
    const bool isFromLow = a < b;
    const uint64_t low = isFromLow ? a : b, high = isFromLow ? b : a;
    const size_t mask = drawnLines_.size() - 1;
    for (size_t i = size_t((low * 0x9E3779B97F4A7C15ull ^ high) * 0xC2B2AE3D27D4EB4Full >> 40) & mask;;
         i = (i + 1) & mask) {
        DrawnLine& line = drawnLines_[i];
        if (line.drawing != drawing_) {  // a free place: the line is new
            line = {low, high, drawing_, isFromLow, false};
            return false;
        }
        if (line.low == low && line.high == high) {
            addsStart = !line.isDrawnBothWays && line.isFromLow != isFromLow;
            line.isDrawnBothWays = line.isDrawnBothWays || addsStart;
            return true;
        }
    }
}

// Points come limited.
void SpanRaster::DrawLine(RasterPoint from, RasterPoint to) {
    if (from.x == to.x && from.y == to.y) return;
    // Neighbouring faces share their edges. A line drawn again has all its
    // pixels painted; drawn the other way, all but its start, which the first
    // drawing left out as its end.
    if (bool addsStart = false; IsDrawnAlready(from, to, addsStart)) {
        if (addsStart && from.x >= clipLeft_ && from.x < clipRight_ && from.y >= clipTop_ && from.y < clipBottom_)
            LinePixels{target_, painted_.data(), stride_, paintedWords_}.Paint(
                origin_ + int64_t(from.y) * stride_ + from.x, (from.y - clipTop_) * paintedWords_, from.x - paintedLeft_);
        return;
    }
    const bool alongX = std::abs(int64_t(to.x) - from.x) >= std::abs(int64_t(to.y) - from.y);
    // The rounding depends only on where a pixel lies, so a line's pixels are
    // those of the line drawn back from its end, with its start in and its
    // end left out. Drawn so that its minor coordinate never falls, it is a
    // row of runs of equal minor coordinate.
    int64_t skip = 0;
    if ((alongX ? to.y - from.y : to.x - from.x) < 0) std::swap(from, to), skip = 1;
    const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
    // Major axis a, minor axis b (rising), in the frame's terms, each with the
    // range of the clip lo <= value < hi.
    const int64_t steps = alongX ? std::abs(dx) : std::abs(dy);  // not 0: the ends differ
    const int64_t a0 = alongX ? from.x : from.y, b0 = alongX ? from.y : from.x;
    const int64_t direction = (alongX ? dx : dy) > 0 ? 1 : -1, db = alongX ? dy : dx;
    const int64_t aLo = alongX ? clipLeft_ : clipTop_, aHi = alongX ? clipRight_ : clipBottom_;
    const int64_t bLo = alongX ? clipTop_ : clipLeft_, bHi = alongX ? clipBottom_ : clipRight_;
    // Steps i whose major coordinate a0 + i * direction lies in the clip...
    int64_t first = direction > 0 ? aLo - a0 : a0 - (aHi - 1), last = direction > 0 ? aHi - 1 - a0 : a0 - aLo;
    // ... and whose minor one does too. That is b0 + i db / steps, a half
    // rounded down: b0 + floor((2 i db + steps - 1) / (2 steps)), which never falls.
    if (db == 0 && (b0 < bLo || b0 >= bHi)) return;
    // Most lines lie within the clip: they need no division.
    if (db != 0 && (b0 < bLo || b0 + db >= bHi)) {
        first = std::max(first, CeilOf(2 * steps * (bLo - b0) - steps + 1, 2 * db));
        last = std::min(last, CeilOf(2 * steps * (bHi - b0) - steps + 1, 2 * db) - 1);
    }
    first = std::max(first, skip), last = std::min(last, steps - 1 + skip);
    if (first > last) return;
    ExactStep minor = MinorSteps(first, db, steps);
    const int64_t major = a0 + first * direction;
    const int64_t x = alongX ? major : b0 + minor.whole, y = alongX ? b0 + minor.whole : major;
    const int64_t at = origin_ + y * stride_ + x, row = (y - clipTop_) * paintedWords_, column = x - paintedLeft_;
    const LinePixels pixels{target_, painted_.data(), stride_, paintedWords_};
    if (alongX && minor.stepWhole == 0) pixels.WalkRows(at, row, column, direction, last - first + 1, minor);
    else if (alongX) pixels.Walk<true>(at, row, column, direction, last - first + 1, minor);
    else pixels.Walk<false>(at, row, column, direction, last - first + 1, minor);
}

SpanRaster::HeldBackground SpanRaster::BackgroundOf(const Call& call) const {
    if (call.kind == Call::kCopySnapshot) return {HeldBackground::kSnapshot, call.x - windowX_, call.y - windowY_};
    if (call.kind != Call::kPolygon || call.pixel != kBlack || call.pointCount != 4) return {};
    // A rectangle around the clip, its fill and border all black.
    if (call.minX > clipLeft_ || call.maxX < clipRight_ || call.minY > clipTop_ || call.maxY < clipBottom_) return {};
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

// The frame from `source` at (x, y), where nothing is painted yet; what lies
// outside the source reads as black, as in a new bitmap.
void SpanRaster::CopyFrom(const PixelImage& source, int32_t x, int32_t y, HeldBackground background) {
    if (background.kind != HeldBackground::kNone && background != held_) ForgetBackground(), held_ = background;
    const auto forOpenRuns = [&](int64_t row, auto paint) {
        if (background.kind == HeldBackground::kNone) ForOpenRuns(PaintedRow(row), clipLeft_, clipRight_, paint);
        else ForOpenRunsOverBackground(row, paint);
    };
    const int64_t left = std::clamp<int64_t>(-int64_t(x), clipLeft_, clipRight_);
    const int64_t right = std::clamp<int64_t>(int64_t(source.width) - x, left, clipRight_);
    const int64_t top = std::max<int64_t>(clipTop_, -int64_t(y));
    const int64_t bottom = std::min<int64_t>(clipBottom_, int64_t(source.height) - y);
    for (int64_t row = clipTop_; row < clipBottom_; ++row) {
        uint32_t* const to = target_ + (origin_ + row * stride_);
        if (!source.pixels || row < top || row >= bottom) {
            forOpenRuns(row, [&](int64_t at, int64_t n) { FillPixels(to + at, n, kBlack); });
            continue;
        }
        const uint32_t* const from = source.Row(int32_t(row + y)) + x;
        forOpenRuns(row, [&](int64_t at, int64_t n) {
            const int64_t end = at + n, copyFrom = std::clamp(left, at, end), copyTo = std::clamp(right, at, end);
            FillPixels(to + at, copyFrom - at, kBlack);
            std::copy(from + copyFrom, from + copyTo, to + copyFrom);
            FillPixels(to + copyTo, end - copyTo, kBlack);
        });
    }
}
