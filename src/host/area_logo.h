#pragma once
// One logo of a saver window: the area it lives in, its settings and scene,
// and what its last frame covered.

#include <memory>
#include <vector>

#include "host/monitor_layout.h"
#include "render/frame_cycle.h"

struct AreaLogo {
    LogoArea area;
    SaverSettings settings;  // each area's own: the scene scales them to its dpi
    LogoScene scene;
    WindowBox previousBox;
};

// Creates the logo of each area: the settings and shapes loaded, the scene
// built at the area's size and dpi and seeded. When there are several, the
// seed also chooses where each one starts to move (one logo alone starts as
// it always has), so that no two start in step.
std::vector<std::unique_ptr<AreaLogo>> CreateAreaLogos(const ProfileStore& store, const ProfileNames& names,
                                                       const std::vector<LogoArea>& areas);
