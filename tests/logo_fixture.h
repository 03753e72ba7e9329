#pragma once
// A logo created from a store as the saver creates it, for the long runs and
// the fuzz targets.

#include <memory>

#include "render/frame_cycle.h"
#include "settings/settings_store.h"

struct TestLogo {
    ProfileNames names{};
    std::unique_ptr<SaverSettings> settings = std::make_unique<SaverSettings>();
    std::unique_ptr<LogoScene> scene = std::make_unique<LogoScene>();
};

inline TestLogo CreateTestLogo(const ProfileStore& store, int32_t width, int32_t height,
                               int32_t dpi = kStandardDpi) {
    TestLogo logo;
    LoadKeyNames(logo.names);
    CreateLogo(store, logo.names, *logo.settings, *logo.scene, width, height, dpi);
    return logo;
}
