#pragma once
// Where the span raster draws a frame's calls, and the record of the pixels
// they have painted: every call paints only pixels no later call paints.

#include <cstddef>
#include <cstdint>
#include <cstring>

inline constexpr uint32_t kBlack = 0;

struct DrawTarget {
    // Rows of `stride` pixels: the frame's pixel (x, y) is
    // pixels[origin + y * stride + x].
    uint32_t* pixels = nullptr;
    ptrdiff_t stride = 0;
    int64_t origin = 0;
    // Only the frame's pixels clipLeft <= x < clipRight, clipTop <= y < clipBottom are drawn.
    int32_t clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    // The pixels painted so far, a bit each: rows of paintedWords words from
    // the clip's top row, bit 0 at frame x = paintedLeft.
    uint64_t* painted = nullptr;
    int64_t paintedWords = 0, paintedLeft = 0;

    uint64_t* PaintedRow(int64_t y) const { return painted + (y - clipTop) * paintedWords; }
    bool IsInClip(int64_t x, int64_t y) const { return x >= clipLeft && x < clipRight && y >= clipTop && y < clipBottom; }
};

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
