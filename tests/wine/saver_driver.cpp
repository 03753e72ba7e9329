// Drives the real KORUNEX64.SCR under Wine: starts it with a tail, watches
// its windows and the screen, sends it input, and checks how it ends.
// usage: saver_driver SAVER.SCR [gtest options]

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string saverPath;

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr DWORD kEndTimeoutMs = 5000;

// Handles the driver's own messages while it waits: a preview's parent lives
// on this thread, and the saver sends it messages it must answer.
void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

// One run of the saver, killed when the test leaves it running.
class SaverRun {
public:
    explicit SaverRun(const std::string& tail) : tail_(tail) {
        std::string commandLine = "\"" + saverPath + "\" " + tail;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process_);
    }
    ~SaverRun() {
        if (!started_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    SaverRun(const SaverRun&) = delete;
    SaverRun& operator=(const SaverRun&) = delete;

    bool started() const { return started_; }

    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // The exit code once the process has ended; a run still going after
    // `timeout` is killed and reported.
    DWORD ExitCode(DWORD timeout = kEndTimeoutMs) {
        const DWORD start = GetTickCount();
        while (Running() && GetTickCount() - start < timeout) PumpFor(20);
        if (Running()) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 2000);
            ADD_FAILURE() << "KORUNEX64.SCR " << tail_ << " did not end within " << timeout << " ms; killed";
            return 99;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

    // A window of this process's, found by `find`, or null after `timeout`.
    template <typename Find>
    HWND WaitForWindow(Find find, DWORD timeout = 5000) {
        const DWORD start = GetTickCount();
        do {
            HWND window = find();
            DWORD owner = 0;
            if (window != nullptr) GetWindowThreadProcessId(window, &owner);
            if (window != nullptr && owner == process_.dwProcessId) return window;
            PumpFor(20);
        } while (GetTickCount() - start < timeout && Running());
        return nullptr;
    }

    // The configuration run's exit code: its dialog, when one opens, is
    // cancelled as a person would, which writes nothing and ends with 0.
    DWORD ExitCodeAfterCancellingTheDialog() {
        const DWORD start = GetTickCount();
        while (Running() && GetTickCount() - start < kEndTimeoutMs) {
            if (HWND dialog = WaitForWindow([] { return FindWindowA("#32770", nullptr); }, 200))
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        return ExitCode();
    }

    HWND WaitForFullScreenWindow() {
        return WaitForWindow([] { return FindWindowA(kClassName, "Screen Saver"); });
    }

private:
    std::string tail_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// The screen's pixels in a rectangle, as 0x00RRGGBB.
std::vector<uint32_t> ReadScreen(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    std::vector<uint32_t> pixels(size_t(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* row = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = row[i] & 0xFFFFFF;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Pixels in the three shades of the default colour (blue): front, side, back.
int CountLogoPixels(const RECT& area) {
    int count = 0;
    for (uint32_t p : ReadScreen(area)) count += p == 0x0000FF || p == 0x0000C0 || p == 0x000080;
    return count;
}

// Waits up to `timeout` for the logo's colours to appear in `area`.
bool LogoAppears(const RECT& area, DWORD timeout) {
    const DWORD start = GetTickCount();
    do {
        if (CountLogoPixels(area) > 50) return true;
        PumpFor(50);
    } while (GetTickCount() - start < timeout);
    return false;
}

RECT VirtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void PressKey(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Moves the cursor to a screen position as a mouse would.
void MoveMouseTo(int x, int y) {
    const RECT screen = VirtualScreen();
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x - screen.left, 65535, screen.right - screen.left - 1);
    input.mi.dy = MulDiv(y - screen.top, 65535, screen.bottom - screen.top - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &input, sizeof input);
}

bool WaitForForeground(HWND window, DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != window && GetTickCount() - start < timeout) PumpFor(20);
    return GetForegroundWindow() == window;
}

POINT CursorNow() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

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
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = ParentProc;
    parentClass.hInstance = GetModuleHandleA(nullptr);
    parentClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    parentClass.lpszClassName = "KorunexPreviewParent";
    RegisterClassA(&parentClass);
    HWND parent = CreateWindowExA(0, parentClass.lpszClassName, "parent", WS_POPUP | WS_VISIBLE, 100, 80, 320, 240,
                                  nullptr, nullptr, parentClass.hInstance, nullptr);
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

// A setting of the installed KORUNEX.ini, back to its default afterwards.
class ScopedSetting {
public:
    ScopedSetting(const char* key, const char* value) : key_(key) {
        WritePrivateProfileStringA("KORUNEX", key, value, "KORUNEX.ini");
    }
    ~ScopedSetting() { WritePrivateProfileStringA("KORUNEX", key_, nullptr, "KORUNEX.ini"); }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    const char* key_;
};

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

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--paint-child")
        return PaintChild(reinterpret_cast<HWND>(std::stoull(argv[2])));
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: saver_driver SAVER.SCR [gtest options]\n");
        return 2;
    }
    saverPath = argv[1];
    return RUN_ALL_TESTS();
}
