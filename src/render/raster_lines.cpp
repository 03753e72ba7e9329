#include "render/raster_lines.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "render/exact_steps.h"

namespace {

// The minor coordinate of a line, less its start, from step i on: that is
// floor((2 i db + steps - 1) / (2 steps)) with 0 <= db <= steps.
ExactStep MinorSteps(int64_t i, int64_t db, int64_t steps) {
    const int64_t a = 2 * i * db + steps - 1, d = 2 * steps;
    if (i > 1) return ExactStep::Of(a, 2 * db, d);
    // A line drawn from its start: a < 2 d, and a whole step only at slope 1.
    const int64_t whole = a >= d, stepWhole = db == steps;
    return {whole, a - whole * d, stepWhole, 2 * db - stepWhole * d, d};
}

uint64_t Packed(RasterPoint p) { return uint64_t(uint32_t(p.x)) << 32 | uint32_t(p.y); }

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

void DrawnLines::StartDrawing(size_t lineCount) {
    // At most half full.
    const size_t size = std::bit_ceil(std::max<size_t>(2 * lineCount, 16));
    if (lines_.size() < size || ++drawing_ == 0) lines_.assign(size, DrawnLine{}), drawing_ = 1;
}

bool DrawnLines::IsDrawnAlready(RasterPoint from, RasterPoint to, bool& addsStart) {
    const uint64_t a = Packed(from), b = Packed(to);
    const bool isFromLow = a < b;
    const uint64_t low = isFromLow ? a : b, high = isFromLow ? b : a;
    const size_t mask = lines_.size() - 1;
    for (size_t i = size_t((low * 0x9E3779B97F4A7C15ull ^ high) * 0xC2B2AE3D27D4EB4Full >> 40) & mask;;
         i = (i + 1) & mask) {
        DrawnLine& line = lines_[i];
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

void DrawLine(const DrawTarget& target, DrawnLines& drawn, RasterPoint from, RasterPoint to) {
    if (from.x == to.x && from.y == to.y) return;
    const LinePixels pixels{target.pixels, target.painted, target.stride, target.paintedWords};
    // Neighbouring faces share their edges. A line drawn again has all its
    // pixels painted; drawn the other way, all but its start, which the first
    // drawing left out as its end.
    if (bool addsStart = false; drawn.IsDrawnAlready(from, to, addsStart)) {
        if (addsStart && target.IsInClip(from.x, from.y))
            pixels.Paint(target.origin + int64_t(from.y) * target.stride + from.x,
                         (from.y - target.clipTop) * target.paintedWords, from.x - target.paintedLeft);
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
    const int64_t aLo = alongX ? target.clipLeft : target.clipTop, aHi = alongX ? target.clipRight : target.clipBottom;
    const int64_t bLo = alongX ? target.clipTop : target.clipLeft, bHi = alongX ? target.clipBottom : target.clipRight;
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
    const int64_t at = target.origin + y * target.stride + x, row = (y - target.clipTop) * target.paintedWords;
    const int64_t column = x - target.paintedLeft;
    if (alongX && minor.stepWhole == 0) pixels.WalkRows(at, row, column, direction, last - first + 1, minor);
    else if (alongX) pixels.Walk<true>(at, row, column, direction, last - first + 1, minor);
    else pixels.Walk<false>(at, row, column, direction, last - first + 1, minor);
}
