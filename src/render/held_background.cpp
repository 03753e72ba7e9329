#include "render/held_background.h"

#include <algorithm>

#include "render/painted_mask.h"

void BackgroundMemory::Prepare(int32_t windowWidth, int32_t windowHeight) {
    if (!bits_.empty()) return;
    words_ = (int64_t(windowWidth) + 63) / 64;
    bits_.assign(size_t(words_) * size_t(windowHeight), 0);
}

void BackgroundMemory::Forget() {
    if (held_.kind == HeldBackground::kNone) return;
    std::fill(bits_.begin(), bits_.end(), 0);
    held_ = {};
}

// The painted bits line up with the window's words: drawn into the window,
// the target's paintedLeft lies at a multiple of 64 of it.
template <typename Paint>
void BackgroundMemory::ForOpenRunsOverBackground(const DrawTarget& target, int64_t y, int64_t windowX,
                                                 int64_t windowY, Paint paint) {
    uint64_t* const words = target.PaintedRow(y);
    uint64_t* const held = bits_.data() + (y + windowY) * words_ + (target.paintedLeft + windowX) / 64;
    const int64_t from = target.clipLeft - target.paintedLeft, to = target.clipRight - target.paintedLeft;
    const auto [firstWord, lastWord, head, tail] = WordsOf(from, to);
    RowRuns<Paint> runs{target.paintedLeft, paint};
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

// What lies outside the source reads as black, as in a new bitmap.
void BackgroundMemory::CopyFrom(const DrawTarget& target, const PixelImage& source, int32_t x, int32_t y,
                                HeldBackground background, int64_t windowX, int64_t windowY) {
    if (background.kind != HeldBackground::kNone && background != held_) Forget(), held_ = background;
    const auto forOpenRuns = [&](int64_t row, auto paint) {
        if (background.kind == HeldBackground::kNone)
            ForOpenRuns(target.PaintedRow(row), target.paintedLeft, target.clipLeft, target.clipRight, paint);
        else
            ForOpenRunsOverBackground(target, row, windowX, windowY, paint);
    };
    const int64_t left = std::clamp<int64_t>(-int64_t(x), target.clipLeft, target.clipRight);
    const int64_t right = std::clamp<int64_t>(int64_t(source.width) - x, left, target.clipRight);
    const int64_t top = std::max<int64_t>(target.clipTop, -int64_t(y));
    const int64_t bottom = std::min<int64_t>(target.clipBottom, int64_t(source.height) - y);
    for (int64_t row = target.clipTop; row < target.clipBottom; ++row) {
        uint32_t* const to = target.pixels + (target.origin + row * target.stride);
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
