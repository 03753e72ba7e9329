#pragma once
// Exact integer arithmetic for stepping along edges and lines: positions
// kept as a whole part and a remainder, so that no rounding ever drifts.

#include <algorithm>
#include <cstdint>

#include "render/raster.h"

// Points are taken as they come within +-2^29 and moved onto that limit
// beyond, so that every product below fits in 64 bits.
inline constexpr int32_t kCoordinateLimit = int32_t(1) << 29;

inline RasterPoint Limited(RasterPoint p) {
    return {std::clamp(p.x, -kCoordinateLimit, kCoordinateLimit), std::clamp(p.y, -kCoordinateLimit, kCoordinateLimit)};
}

inline int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    const int64_t q = a / b;
    return q - (a % b < 0);
}

inline int64_t FloorOf(int64_t a, int64_t b) { return b < 0 ? FloorDiv(-a, -b) : FloorDiv(a, b); }  // b != 0
inline int64_t CeilOf(int64_t a, int64_t b) { return -FloorOf(-a, b); }

// A value a/d (d > 0) kept exactly while it steps by s/d: whole part and remainder.
struct ExactStep {
    int64_t whole, remainder, stepWhole, stepRemainder, d;

    static ExactStep Of(int64_t a, int64_t s, int64_t d) {
        const int64_t whole = FloorDiv(a, d), stepWhole = FloorDiv(s, d);
        return {whole, a - whole * d, stepWhole, s - stepWhole * d, d};
    }
};
