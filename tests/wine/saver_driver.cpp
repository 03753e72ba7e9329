// Drives the real KORUNEX64.SCR under Wine: starts it with a tail, watches
// its windows and the screen, sends it input, and checks how it ends.
// usage: saver_driver SAVER.SCR [gtest options]

#include "saver_run.h"

std::string saverPath;

namespace {

TEST(ExitCodes, EveryTailEndsWithTheCodeOfItsMode) {
    const HWND notAWindow = reinterpret_cast<HWND>(uintptr_t{0x7FFF0});
    ASSERT_FALSE(IsWindow(notAWindow));
    for (const char* tail : {"", "/c", "/c:0", "- /"}) {
        SaverRun run(tail);
        ASSERT_TRUE(run.started()) << saverPath;
        EXPECT_EQ(run.ExitCodeAfterCancellingTheDialog(), 0u) << "tail \"" << tail << "\"";
    }

    struct Case {
        std::string tail;
        DWORD code;
    } cases[] = {
        {"/x", 0xFFFFFFFF}, {"/?", 0xFFFFFFFF}, {"/1", 0xFFFFFFFF}, {"/\ts", 0xFFFFFFFF},
        {"/a", 0xFFFFFFFF}, {"/p", 0xFFFFFFFF}, {"/p 0", 0xFFFFFFFF}, {"/p abc", 0xFFFFFFFF},
        {"/p 524272", 0xFFFFFFFF}, {"/p 18446744073709551616", 0xFFFFFFFF},
    };
    for (Case& c : cases) {
        SaverRun run(c.tail);
        ASSERT_TRUE(run.started()) << saverPath;
        EXPECT_EQ(run.ExitCode(), c.code) << "tail \"" << c.tail << "\"";
    }
}

TEST(FullScreen, TopmostWindowCoversTheVirtualScreenAndDrawsFrames) {
    SaverRun run("/s");
    HWND saver = run.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr) << "no window \"Screen Saver\" of class " << kClassName;
    // The window is found as soon as it exists; its style is whole once it is shown.
    for (int waited = 0; waited < 2000 && !IsWindowVisible(saver); waited += 20) PumpFor(20);

    RECT rect{};
    GetWindowRect(saver, &rect);
    const RECT screen = VirtualScreen();
    EXPECT_TRUE(EqualRect(&rect, &screen)) << rect.left << "," << rect.top << " " << rect.right << "x" << rect.bottom;
    const LONG_PTR style = GetWindowLongPtrA(saver, GWL_STYLE), exStyle = GetWindowLongPtrA(saver, GWL_EXSTYLE);
    EXPECT_EQ(style & 0xFFFF0000, 0x96000000);
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetClassLongPtrA(saver, GCL_STYLE), 0x2B);
    EXPECT_TRUE(LogoAppears(screen, 1000)) << "no pixel of the logo's colours within a second";

    const std::vector<uint32_t> first = ReadScreen(screen);
    PumpFor(400);
    EXPECT_NE(ReadScreen(screen), first) << "the logo does not move";

    // The title cannot be changed.
    EXPECT_EQ(SendMessageA(saver, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")), 0);
    char title[64] = {};
    GetWindowTextA(saver, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");

    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
}

int CountFullScreenWindows() {
    int count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, kClassName, "Screen Saver"); w != nullptr;
         w = FindWindowExA(nullptr, w, kClassName, "Screen Saver"))
        ++count;
    return count;
}

// Another application cannot be brought to the front here to see the first
// come back: that activation alone ends the running saver.
TEST(FullScreen, ASecondStartLeavesTheFirstInFrontAndEndsAtOnce) {
    SaverRun first("/s");
    HWND saver = first.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitForForeground(saver, 2000));

    SaverRun second("/s");
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_EQ(CountFullScreenWindows(), 1);
    EXPECT_EQ(GetForegroundWindow(), saver);
    EXPECT_TRUE(first.Running());

    PostMessageA(saver, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST(FullScreen, MouseMovementOfFourPixelsDoesNotEndItFiveDo) {
    SetCursorPos(400, 300);
    PumpFor(100);
    SaverRun run("/s");
    ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
    PumpFor(500);

    MoveMouseTo(403, 301);  // 4 pixels from where the run started
    PumpFor(800);
    EXPECT_TRUE(run.Running()) << "ended by a move of 4 pixels (cursor at " << CursorNow().x << ","
                               << CursorNow().y << ")";
    MoveMouseTo(402, 299);  // still within 4 of the start
    PumpFor(500);
    EXPECT_TRUE(run.Running());

    MoveMouseTo(403, 302);  // 5 pixels
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST(FullScreen, AClickEndsIt) {
    SaverRun run("/s");
    ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
    PumpFor(300);
    INPUT clicks[2]{};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    EXPECT_EQ(run.ExitCode(), 0u);
}

// The control for the preview: whether a child window that another process
// paints in `parent` shows on the screen at all. The driver itself, started
// with --paint-child, is that other process.
bool ForeignChildrenReachTheScreen(HWND parent, const RECT& onScreen) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = "\"" + std::string(self) + "\" --paint-child " +
                              std::to_string(reinterpret_cast<uintptr_t>(parent));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION painter{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &painter))
        return true;
    bool shown = false;
    const DWORD start = GetTickCount();
    while (!shown && GetTickCount() - start < 2000) {
        PumpFor(50);
        for (uint32_t p : ReadScreen(onScreen)) shown = shown || p == 0xFF0000;
    }
    TerminateProcess(painter.hProcess, 0);
    WaitForSingleObject(painter.hProcess, 2000);
    CloseHandle(painter.hThread);
    CloseHandle(painter.hProcess);
    return shown;
}

// --paint-child N: a red child window filling window N, for two seconds.
int PaintChild(HWND parent) {
    WNDCLASSA childClass{};
    childClass.lpfnWndProc = DefWindowProcA;
    childClass.hInstance = GetModuleHandleA(nullptr);
    childClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
    childClass.lpszClassName = "KorunexRedChild";
    RegisterClassA(&childClass);
    RECT client{};
    GetClientRect(parent, &client);
    CreateWindowExA(0, childClass.lpszClassName, "", WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                    parent, nullptr, childClass.hInstance, nullptr);
    PumpFor(2000);
    return 0;
}

// The preview's parent, made by the driver; it keeps what was posted to it.
struct ParentLog {
    UINT message = 0;
    WPARAM wParam = 0;
};
ParentLog parentLog;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU) parentLog = {message, wParam};
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Preview, FillsTheParentDrawsIgnoresInputAndEndsWithTheParent) {
    HWND parent = MakeDriverWindow("KorunexPreviewParent", ParentProc);
    ASSERT_NE(parent, nullptr);
    SetForegroundWindow(parent);
    PumpFor(200);

    SaverRun run("/p " + std::to_string(reinterpret_cast<uintptr_t>(parent)));
    HWND child = run.WaitForWindow([&] { return FindWindowExA(parent, nullptr, kClassName, "Preview"); });
    ASSERT_NE(child, nullptr) << "no child window \"Preview\" in the parent";

    // Shown at the end of its creation, which waits for the parent's notices.
    const DWORD start = GetTickCount();
    while (!IsWindowVisible(child) && GetTickCount() - start < 3000) PumpFor(20);
    RECT client{}, rect{};
    GetClientRect(parent, &client);
    GetClientRect(child, &rect);
    EXPECT_TRUE(EqualRect(&client, &rect));
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE) & 0xFFFF0000, 0x52000000);
    RECT onScreen = client;
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    if (LogoAppears(onScreen, 1000)) {
        SUCCEED();
    } else if (ForeignChildrenReachTheScreen(parent, onScreen)) {
        ADD_FAILURE() << "the preview draws nothing";
    } else {
        std::printf("note: this display shows no child window of another process; the preview's pixels "
                    "cannot be read here\n");
    }

    // Input never ends a preview.
    SetCursorPos(200, 150);
    PumpFor(100);
    MoveMouseTo(260, 200);
    PressKey(VK_SPACE);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(child, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(child, WM_ACTIVATEAPP, 0, 0);
    PumpFor(800);
    EXPECT_TRUE(run.Running());

    // Context-menu requests go to the parent, which gets its own handle.
    PostMessageA(child, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(child), MAKELPARAM(5, 5));
    PumpFor(500);
    EXPECT_EQ(parentLog.message, UINT{WM_CONTEXTMENU});
    EXPECT_EQ(parentLog.wParam, reinterpret_cast<WPARAM>(parent));

    DestroyWindow(parent);
    EXPECT_EQ(run.ExitCode(), 0u);
}

// With the desktop as background, the screen keeps showing what was there
// at start, not black, and the logo draws over it.
TEST(FullScreen, DesktopBackgroundShowsTheDesktopTakenAtStart) {
    const ScopedSetting desktopBackground("BKMODE", "0");
    const RECT screen = VirtualScreen();
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    WNDCLASSA desktopClass{};
    desktopClass.lpfnWndProc = DefWindowProcA;
    desktopClass.hInstance = GetModuleHandleA(nullptr);
    desktopClass.hbrBackground = green;
    desktopClass.lpszClassName = "KorunexGreenDesktop";
    RegisterClassA(&desktopClass);
    HWND desktop = CreateWindowExA(0, desktopClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, screen.left,
                                   screen.top, screen.right - screen.left, screen.bottom - screen.top, nullptr,
                                   nullptr, desktopClass.hInstance, nullptr);
    const RECT corner{screen.left, screen.top, screen.left + 40, screen.top + 40};
    auto greenPixels = [&] {
        int count = 0;
        for (uint32_t p : ReadScreen(corner)) count += p == 0x00A000;
        return count;
    };
    const DWORD start = GetTickCount();
    while (greenPixels() < 40 * 40 && GetTickCount() - start < 3000) PumpFor(50);
    ASSERT_EQ(greenPixels(), 40 * 40) << "the driver's green desktop did not show";
    SaverRun run("/s");
    ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
    EXPECT_TRUE(LogoAppears(screen, 1000));

    EXPECT_EQ(greenPixels(), 40 * 40) << "the corner far from the logo does not show the desktop: "
                                      << std::hex << ReadScreen(corner)[0];

    PressKey(VK_ESCAPE);
    EXPECT_EQ(run.ExitCode(), 0u);
    DestroyWindow(desktop);
    UnregisterClassA(desktopClass.lpszClassName, desktopClass.hInstance);
    DeleteObject(green);
}

// Colour 6 is cyan, as files have always stored it: front, side and back
// shades on the screen, and none of the default blue.
TEST(FullScreen, ColourSixDrawsCyan) {
    const ScopedSetting cyan("COLOR", "6");
    SaverRun run("/s");
    ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
    const RECT screen = VirtualScreen();
    int cyanPixels = 0;
    const DWORD start = GetTickCount();
    while (cyanPixels <= 50 && GetTickCount() - start < 1000) {
        PumpFor(50);
        cyanPixels = 0;
        for (uint32_t p : ReadScreen(screen)) cyanPixels += p == 0x00FFFF || p == 0x00C0C0 || p == 0x008080;
    }
    EXPECT_GT(cyanPixels, 50) << "no cyan logo within a second";
    EXPECT_EQ(CountLogoPixels(screen), 0) << "the logo is still blue";
    PressKey(VK_ESCAPE);
    EXPECT_EQ(run.ExitCode(), 0u);
}

// A still logo shows the time: its screen changes from one second to the
// next, and without the clock it does not.
TEST(FullScreen, TheClockChangesAStillLogoEachSecond) {
    const ScopedSetting still("STEPRAG", "0"), inTheCentre("OPTIONP", "1"), digits("TOKEIFMT", "%H%M%S");
    for (const char* clock : {"1", "0"}) {
        const ScopedSetting on("TOKEI", clock);
        SaverRun run("/s");
        ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
        const RECT screen = VirtualScreen();
        ASSERT_TRUE(LogoAppears(screen, 2000)) << "TOKEI=" << clock;
        PumpFor(200);  // past the first frames
        const std::vector<uint32_t> before = ReadScreen(screen);
        PumpFor(1300);
        EXPECT_EQ(ReadScreen(screen) != before, *clock == '1') << "TOKEI=" << clock;
        PressKey(VK_ESCAPE);
        EXPECT_EQ(run.ExitCode(), 0u);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--paint-child")
        return PaintChild(reinterpret_cast<HWND>(std::stoull(argv[2])));
    // --no-debugger: the crash debugger of NoCrashDebugger, which ends at once.
    if (argc >= 2 && std::string(argv[1]) == "--no-debugger") return 0;
    // --logo-extent SAVER.SCR: where a still logo of the full-screen run lies.
    if (argc == 3 && std::string(argv[1]) == "--logo-extent") return PrintLogoExtent(argv[2]);
    // --saver-running: 1 when the system counts a saver as running, else 0.
    if (argc == 2 && std::string(argv[1]) == "--saver-running") {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        return running ? 1 : 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: saver_driver SAVER.SCR [gtest options]\n");
        return 2;
    }
    saverPath = argv[1];
    return RUN_ALL_TESTS();
}
