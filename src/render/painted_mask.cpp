#include "render/painted_mask.h"

#include <algorithm>

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

bool IsPaintedThrough(const DrawTarget& target, int64_t minX, int64_t maxX, int64_t minY, int64_t maxY) {
    const int64_t left = std::max<int64_t>(minX, target.clipLeft) - target.paintedLeft;
    const int64_t right = std::min<int64_t>(maxX + 1, target.clipRight) - target.paintedLeft;
    const int64_t top = std::max<int64_t>(minY, target.clipTop), bottom = std::min<int64_t>(maxY + 1, target.clipBottom);
    if (left >= right || top >= bottom) return true;
    const auto [firstWord, lastWord, head, tail] = WordsOf(left, right);
    // Every eighth row first: an open pixel of a call in sight shows soon.
    for (int64_t phase = 0; phase < 8; ++phase) {
        for (int64_t y = top + phase; y < bottom; y += 8) {
            const uint64_t* const words = target.PaintedRow(y);
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
