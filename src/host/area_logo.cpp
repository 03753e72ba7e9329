#include "host/area_logo.h"

std::vector<std::unique_ptr<AreaLogo>> CreateAreaLogos(const ProfileStore& store, const ProfileNames& names,
                                                       const std::vector<LogoArea>& areas) {
    std::vector<std::unique_ptr<AreaLogo>> logos;
    for (const LogoArea& area : areas) {
        auto logo = std::make_unique<AreaLogo>();
        logo->area = area;
        // The scene's first random draws choose the start; seeded only after
        // them, a lone logo starts the same way on every run.
        if (areas.size() > 1) SeedRandom(logo->scene, area.seed);
        CreateLogo(store, names, logo->settings, logo->scene, area.rect.width, area.rect.height, area.dpi);
        if (areas.size() == 1) SeedRandom(logo->scene, area.seed);
        logo->previousBox = FirstPreviousBox(logo->scene);
        auto clock = std::make_unique<LogoClock>(store, names);
        if (clock->IsOn()) logo->clock = std::move(clock);
        logos.push_back(std::move(logo));
    }
    return logos;
}

void ShowTime(AreaLogo& logo, const std::tm& now) {
    if (logo.clock) logo.clock->Show(now, logo.settings, logo.scene);
}
