#pragma once
// The record of painted pixels, a bit each in rows of 64-bit words: finding
// the runs of a row not painted yet, and whether a box is painted through.

#include <bit>
#include <cstdint>

#include "render/draw_target.h"

// The words of a row that bits from <= b < to (from < to) lie in, and the
// bits of the first and the last of them that belong.
struct WordRange {
    int64_t first, last;
    uint64_t head, tail;
};

inline WordRange WordsOf(int64_t from, int64_t to) {
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

// Calls paint(x, n) for each run x <= x' < x + n of the pixels left <= x' <
// right of a row not painted yet, from left to right, and marks them
// painted; `words` are the row's painted bits, bit 0 at x = paintedLeft.
// Inlined: it runs for every span, most of them short.
template <typename Paint>
[[gnu::always_inline]] inline void ForOpenRuns(uint64_t* words, int64_t paintedLeft, int64_t left, int64_t right,
                                               Paint paint) {
    const int64_t from = left - paintedLeft, to = right - paintedLeft;  // bits from <= b < to
    RowRuns<Paint> runs{paintedLeft, paint};
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
            return paint(paintedLeft + firstWord * 64 + first, std::countr_one(open >> first));
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
        return paint(paintedLeft + start, end - start);
    }
    take(firstWord, head);
    // Behind the faces in front, most words are painted already.
    for (int64_t w = firstWord + 1; w < lastWord; ++w)
        if (words[w] != ~uint64_t(0)) take(w, ~uint64_t(0));
    take(lastWord, tail);
    runs.Finish();
}

// Whether every pixel of the box minX <= x <= maxX, minY <= y <= maxY within
// the clip is painted already (true for a box outside it).
bool IsPaintedThrough(const DrawTarget& target, int64_t minX, int64_t maxX, int64_t minY, int64_t maxY);
