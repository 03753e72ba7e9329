// The full-screen run over two monitors side by side (an X server with two
// Xinerama heads), for each value of GAMEN; and the box of a still logo and
// the dialog's size, which the DPI test compares at two settings of the
// screen's dpi.

#include <cstdio>
#include <functional>

#include "saver_run.h"

namespace {

std::vector<RECT> Monitors() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT rect, LPARAM list) {
            reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

// Pixels that are not black.
int LitPixels(const RECT& area) {
    int count = 0;
    for (uint32_t p : ReadScreen(area)) count += p != 0;
    return count;
}

// What a run shows over ten frames or so: the most logo pixels seen in
// each area, and the most pixels that are not black in each.
struct Seen {
    std::vector<int> logo, lit;
};

Seen WatchRun(const std::vector<RECT>& areas, const char* gamen) {
    const ScopedSetting mode("GAMEN", gamen);
    SaverRun run("/s");
    Seen seen{std::vector<int>(areas.size()), std::vector<int>(areas.size())};
    if (run.WaitForFullScreenWindow() == nullptr) {
        ADD_FAILURE() << "no full-screen window with GAMEN=" << gamen;
        return seen;
    }
    LogoAppears(VirtualScreen(), 2000);
    for (int frame = 0; frame < 10; ++frame) {
        PumpFor(60);
        for (size_t i = 0; i < areas.size(); ++i) {
            seen.logo[i] = std::max(seen.logo[i], CountLogoPixels(areas[i]));
            seen.lit[i] = std::max(seen.lit[i], LitPixels(areas[i]));
        }
    }
    PressKey(VK_ESCAPE);
    EXPECT_EQ(run.ExitCode(), 0u) << "GAMEN=" << gamen;
    return seen;
}

TEST(Monitors, EachValueOfTheKeyLaysTheLogosOutOverTheMonitors) {
    const std::vector<RECT> monitors = Monitors();
    ASSERT_EQ(monitors.size(), 2u) << "this suite needs two monitors side by side";
    const RECT left = monitors[0].left == 0 ? monitors[0] : monitors[1];
    const RECT right = monitors[0].left == 0 ? monitors[1] : monitors[0];
    ASSERT_EQ(left.right, right.left);
    const RECT seam{left.right - 4, left.top, left.right + 4, left.bottom};
    const std::vector<RECT> areas{left, right, seam};

    const Seen whole = WatchRun(areas, "0");
    EXPECT_GT(whole.logo[2], 20) << "one logo over both monitors lies on the seam";

    const Seen each = WatchRun(areas, "1");
    EXPECT_GT(each.logo[0], 500) << "no logo on the left monitor";
    EXPECT_GT(each.logo[1], 500) << "no logo on the right monitor";
    EXPECT_EQ(each.lit[2], 0) << "a logo reaches the seam";

    const Seen primary = WatchRun(areas, "2");
    EXPECT_GT(primary.logo[0], 500) << "no logo on the primary monitor";
    EXPECT_EQ(primary.lit[1], 0) << "the second monitor is not black";

    const Seen unknown = WatchRun(areas, "7");
    EXPECT_GT(unknown.logo[2], 20) << "a value out of range is not one logo over both";
}

}  // namespace

int PrintLogoExtent(const std::string& saver) {
    SetProcessDPIAware();  // the screen's own pixels
    saverPath = saver;
    const ScopedSetting still("STEPRAG", "0");
    SaverRun run("/s");
    HWND window = run.WaitForFullScreenWindow();
    if (window == nullptr) return 98;
    const RECT screen = VirtualScreen();
    LogoAppears(screen, 3000);
    PumpFor(300);
    RECT box{screen.right, screen.bottom, screen.left - 1, screen.top - 1};
    const std::vector<uint32_t> pixels = ReadScreen(screen);
    const int width = screen.right - screen.left;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (pixels[i] == 0) continue;
        const LONG x = screen.left + LONG(i % width), y = screen.top + LONG(i / width);
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y)};
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    PressKey(VK_ESCAPE);
    const DWORD code = run.ExitCode();

    SaverRun settings("/c");
    RECT dialog{};
    if (HWND shown = settings.WaitForWindow([] { return FindWindowA("#32770", nullptr); })) GetWindowRect(shown, &dialog);
    settings.ExitCodeAfterCancellingTheDialog();
    std::printf("window %ld %ld screen %ld %ld logo %ld %ld %ld %ld dialog %ld %ld\n", rect.right - rect.left,
                rect.bottom - rect.top, screen.right - screen.left, screen.bottom - screen.top, box.left, box.top,
                box.right, box.bottom, dialog.right - dialog.left, dialog.bottom - dialog.top);
    std::fflush(stdout);
    return int(code);
}
