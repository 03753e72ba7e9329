#pragma once
// One logo of a saver window: the area it lives in, its settings and scene,
// and what its last frame covered.

#include <ctime>
#include <memory>
#include <vector>

#include "host/monitor_layout.h"
#include "render/frame_cycle.h"
#include "scene/logo_clock.h"

struct AreaLogo {
    LogoArea area;
    SaverSettings settings;  // each area's own: the scene scales them to its dpi
    LogoScene scene;
    WindowBox previousBox;
    std::unique_ptr<LogoClock> clock;  // when the settings turn the clock on
};

// Creates the logo of each area: the settings and shapes loaded, the scene
// built at the area's size and dpi and seeded. When there are several, the
// seed also chooses where each one starts to move (one logo alone starts as
// it always has), so that no two start in step. With the clock on, each
// has one; its slots show the time from the first ShowTime on.
std::vector<std::unique_ptr<AreaLogo>> CreateAreaLogos(const ProfileStore& store, const ProfileNames& names,
                                                       const std::vector<LogoArea>& areas);

// Shows `now` in the logo's slots when it has the clock; once per frame,
// before the frame is drawn.
void ShowTime(AreaLogo& logo, const std::tm& now);
