#pragma once
// Where the logos of a full-screen run go: the monitors in, one area of the
// saver window per logo out, each with its screen's dpi and its own seed.

#include <cstdint>
#include <span>
#include <vector>

#include "settings/settings_store.h"

struct ScreenRect {
    int32_t left, top, width, height;
};

struct Monitor {
    ScreenRect rect;  // screen pixels
    bool isPrimary;
    int32_t dpi;
};

struct LogoArea {
    ScreenRect rect;  // window pixels
    int32_t dpi;
    uint32_t seed;  // for SeedRandom
};

// Beyond this many monitors the rest show the first picture only.
inline constexpr size_t kMaxLogoAreas = 16;

// The areas of the saver window `window` (screen pixels) for `mode`. Each
// monitor counts with its part inside the window; a monitor lying within
// another (a mirror) counts once. kWhole, and any mode with no monitor to
// go on, gives the whole window at the primary monitor's dpi (96 without
// monitors) seeded with `tickCount`; kEach gives every monitor, the first
// seeded with `tickCount`, the others apart from it so that no two logos
// move in step; kPrimary the primary monitor, else the first listed.
std::vector<LogoArea> LayOutLogos(MonitorMode mode, const ScreenRect& window, std::span<const Monitor> monitors,
                                  uint32_t tickCount);
