#include "settings/saver_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "frame_invariants.h"
#include "scene/shape_record.h"

namespace {

// A value from the edges the limits must handle, or any at all.
int32_t AnyValue(std::mt19937& random) {
    static constexpr int32_t kEdges[] = {INT32_MIN, -1000000, -31, -1, 0, 1, 2, 3, 7, 8, 9, 10, 30, 31, 50, 51,
                                         299, 300, 301, 1000000, INT32_MAX};
    switch (random() % 3) {
        case 0: return kEdges[random() % std::size(kEdges)];
        case 1: return int32_t(random() % 400) - 50;
        default: return int32_t(random());
    }
}

// A record value as a hand-edited file may hold it: mostly the right number
// of tokens for its point count, with ranges and coordinates sound or not.
std::string AnyRecord(std::mt19937& random) {
    std::string value = "R";
    auto add = [&](int32_t token) { value.append(",").append(std::to_string(token)); };
    auto below = [&](int32_t bound) { return int32_t(random() % uint32_t(bound)); };
    const int32_t n = below(50);
    add(n);
    add(0);
    for (int r = 0; r < 4; ++r) add(below(n + 3));
    add(below(16));
    for (int c = 0; c < 13; ++c) {
        const int32_t first = below(n + 3);
        add(first);
        add(first + below(12) - 1);
    }
    const int points = random() % 8 == 0 ? below(n + 1) : n;
    for (int k = 0; k < 2 * points; ++k) add(random() % 4 == 0 ? AnyValue(random) : below(201) - 100);
    return value;
}

// The limits are what keeps the saver's arrays safe: with them applied, any
// settings, any shapes and any window build a scene and render frames that
// stay on their frame surfaces (the sanitizer build also watches every access).
TEST(SaverLimits, AnySettingsKeptWithinThemBuildAndRenderInsideEveryArray) {
    static constexpr int32_t kSizes[] = {1, 2, 3, 17, 200, 640, 1080, 1920, 4096};
    std::mt19937 random(20261209);
    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    RecordingRaster raster;
    for (int round = 0; round < 150; ++round) {
        for (const SettingKey& key : kSettingKeys) (*settings).*key.field = AnyValue(random);
        KeepWithinSaverLimits(*settings);
        SaverSettings kept = *settings;
        KeepWithinSaverLimits(kept);
        ASSERT_EQ(std::memcmp(&kept, settings.get(), sizeof kept), 0) << "keeping twice changes nothing";

        *scene = LogoScene{};
        for (int32_t i = 1; i <= settings->OPTIONN; ++i) ParseShapeRecord(AnyRecord(random), "ZAHYO-END", scene->slots[i].shape);
        scene->screenWidth = kSizes[random() % std::size(kSizes)];
        scene->screenHeight = kSizes[random() % std::size(kSizes)];
        BuildScene(*scene, *settings);
        SeedRandom(*scene, random());
        WindowBox previous = FirstPreviousBox(*scene);
        for (int frame = 0; frame < 4; ++frame) {
            raster.calls.clear();
            FrameRecord record{};
            previous = RenderFrame(*scene, *settings, raster, previous, &record);
            ASSERT_TRUE(FrameKeepsItsBounds(raster, record, *scene, *settings, scene->screenWidth, scene->screenHeight))
                << "round " << round << ", frame " << frame;
        }
    }
}

}  // namespace
