#include "render/desktop_picture.h"

#include <algorithm>
#include <cstdint>

namespace {

// Channel values at the top left and bottom right corners.
constexpr int64_t kFrom[3] = {41, 77, 115}, kTo[3] = {140, 179, 158};

uint32_t Mix(const int64_t* from, const int64_t* to, int64_t part, int64_t whole) {
    uint32_t pixel = 0;
    for (int c = 0; c < 3; ++c) pixel = pixel << 8 | uint32_t(from[c] + (to[c] - from[c]) * part / whole);
    return pixel;
}

// The grid lines lighten what lies under them by an eighth of the way to white.
uint32_t Lighten(uint32_t pixel) {
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const uint32_t c = pixel >> shift & 0xFF;
        out |= (c + (255 - c) / 8) << shift;
    }
    return out;
}

}  // namespace

void PaintDesktopPicture(const PixelImage& picture) {
    // The gradient runs along the diagonal: its position is the pixel's
    // projection onto it.
    const int64_t w = picture.width, h = picture.height, whole = w * w + h * h;
    for (int32_t y = 0; y < picture.height; ++y) {
        uint32_t* row = picture.Row(y);
        for (int32_t x = 0; x < picture.width; ++x) {
            const int64_t part = std::min(int64_t(x) * w + int64_t(y) * h, whole);
            row[x] = Mix(kFrom, kTo, part, whole);
            if (x % 80 == 40 || y % 80 == 40) row[x] = Lighten(row[x]);
        }
    }
}
