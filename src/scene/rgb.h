#pragma once
// A colour as the raster paints it: 8 bits per channel.

#include <cstdint>

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
