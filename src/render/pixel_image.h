#pragma once
// A picture in memory: the frames, the window's picture, the desktop snapshot.

#include <cstddef>
#include <cstdint>

#include "scene/rgb.h"

// Rows of 32-bit pixels 0x00RRGGBB, not owned: `stride` pixels from one row
// to the next.
struct PixelImage {
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    ptrdiff_t stride = 0;

    uint32_t* Row(int32_t y) const { return pixels + y * stride; }
};

constexpr uint32_t PixelOf(Rgb colour) { return uint32_t(colour.r) << 16 | uint32_t(colour.g) << 8 | colour.b; }
