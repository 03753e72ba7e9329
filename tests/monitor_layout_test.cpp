#include "host/monitor_layout.h"

#include "host/area_logo.h"
#include "settings/ini_text_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

struct LayoutCase {
    const char* what;
    MonitorMode mode;
    ScreenRect window;
    std::vector<Monitor> monitors;
    std::vector<ScreenRect> areas;  // window pixels
    std::vector<int32_t> dpis;
};

const Monitor kLeft{{0, 0, 1280, 720}, true, 96}, kRight{{1280, 0, 1280, 720}, false, 144};
// Left of and above the primary monitor: the window starts at negative screen pixels.
const Monitor kAbove{{-1920, -1080, 1920, 1080}, false, 120};

const LayoutCase kCases[] = {
    {"one logo over both", MonitorMode::kWhole, {0, 0, 2560, 720}, {kLeft, kRight}, {{0, 0, 2560, 720}}, {96}},
    {"one per monitor, each at its dpi", MonitorMode::kEach, {0, 0, 2560, 720}, {kLeft, kRight},
     {{0, 0, 1280, 720}, {1280, 0, 1280, 720}}, {96, 144}},
    {"the primary alone, listed second", MonitorMode::kPrimary, {0, 0, 2560, 720}, {kRight, kLeft},
     {{0, 0, 1280, 720}}, {96}},
    {"window pixels from a negative origin", MonitorMode::kEach, {-1920, -1080, 3200, 1800}, {kLeft, kAbove},
     {{1920, 1080, 1280, 720}, {0, 0, 1920, 1080}}, {96, 120}},
    {"no primary: the first listed", MonitorMode::kPrimary, {0, 0, 2560, 720},
     {{kRight.rect, false, 144}, {kLeft.rect, false, 96}}, {{1280, 0, 1280, 720}}, {144}},
    {"a mirror and a duplicate count once", MonitorMode::kEach, {0, 0, 2560, 720},
     {{{100, 100, 640, 360}, false, 96}, kLeft, kLeft, kRight}, {{0, 0, 1280, 720}, {1280, 0, 1280, 720}}, {96, 144}},
    {"parts outside the window are cut off, none left is dropped", MonitorMode::kEach, {0, 0, 1280, 720},
     {{{-640, 0, 1280, 720}, false, 96}, {{5000, 0, 800, 600}, true, 96}}, {{0, 0, 640, 720}}, {96}},
    {"no monitors: the whole window at 96", MonitorMode::kEach, {0, 0, 800, 600}, {}, {{0, 0, 800, 600}}, {96}},
};

TEST(MonitorLayout, EachModeGivesTheAreasOfItsMonitors) {
    for (const LayoutCase& c : kCases) {
        const std::vector<LogoArea> areas = LayOutLogos(c.mode, c.window, c.monitors, 1234);
        ASSERT_EQ(areas.size(), c.areas.size()) << c.what;
        for (size_t i = 0; i < areas.size(); ++i) {
            const ScreenRect& got = areas[i].rect;
            const ScreenRect& want = c.areas[i];
            EXPECT_TRUE(got.left == want.left && got.top == want.top && got.width == want.width &&
                        got.height == want.height)
                << c.what << ", area " << i << ": " << got.left << "," << got.top << " " << got.width << "x"
                << got.height;
            EXPECT_EQ(areas[i].dpi, c.dpis[i]) << c.what << ", area " << i;
        }
    }
}

TEST(MonitorLayout, OneLogoKeepsTheSeedAndManyNeverShareOne) {
    EXPECT_EQ(LayOutLogos(MonitorMode::kWhole, {0, 0, 2560, 720}, std::vector{kLeft, kRight}, 0xBEEF)[0].seed, 0xBEEFu);
    std::vector<Monitor> wall;
    for (int32_t i = 0; i < 40; ++i) wall.push_back({{i * 100, 0, 100, 100}, i == 0, 96});
    const std::vector<LogoArea> areas = LayOutLogos(MonitorMode::kEach, {0, 0, 4000, 100}, wall, 0xFFFF);
    ASSERT_EQ(areas.size(), kMaxLogoAreas);
    EXPECT_EQ(areas[0].seed, 0xFFFFu);
    for (size_t i = 0; i < areas.size(); ++i)
        for (size_t j = i + 1; j < areas.size(); ++j) EXPECT_NE(areas[i].seed & 0xFFFF, areas[j].seed & 0xFFFF);
}

// Logos on two monitors start at random, each in the middle of its own;
// a lone logo starts as it always has.
TEST(AreaLogos, SeveralStartApartAndALoneOneAsAlways) {
    const IniTextStore store("[KORUNEX]\r\nOPTIONP=2\r\nSIZEIDO=3\r\n");
    ProfileNames names;
    LoadKeyNames(names);
    const Monitor left{{0, 0, 1280, 720}, true, 96}, right{{1280, 0, 1000, 600}, false, 144};
    int startsApart = 0;
    for (uint32_t tick = 1; tick <= 8; ++tick) {
        const auto logos = CreateAreaLogos(
            store, names, LayOutLogos(MonitorMode::kEach, {0, 0, 2280, 720}, std::vector{left, right}, tick * 977));
        ASSERT_EQ(logos.size(), 2u);
        EXPECT_EQ(logos[1]->scene.centreX, 500);
        EXPECT_EQ(logos[1]->settings.SIZE, 15) << "the second monitor's dpi";
        const LogoScene &a = logos[0]->scene, &b = logos[1]->scene;
        const bool inStep = b.velocityX == (a.velocityX < 0 ? -1 : 1) * ScaleToDpi(std::abs(a.velocityX), 144) &&
                            b.velocityY == (a.velocityY < 0 ? -1 : 1) * ScaleToDpi(std::abs(a.velocityY), 144);
        startsApart += !inStep;
    }
    EXPECT_GE(startsApart, 7);
    const auto alone = CreateAreaLogos(store, names, LayOutLogos(MonitorMode::kEach, {0, 0, 1280, 720}, std::vector{left}, 5));
    EXPECT_EQ(alone[0]->scene.velocityX, -(4 + 3));
    EXPECT_EQ(alone[0]->scene.randomState, 5u);
}

}  // namespace
