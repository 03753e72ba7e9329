#pragma once
// What the end-to-end drivers share: runs of the real module, the screen's
// pixels, and input sent as a person would.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// The installed KORUNEX64.SCR, from the command line.
extern std::string saverPath;

inline constexpr char kClassName[] = "WindowsScreenSaverClass";
inline constexpr DWORD kEndTimeoutMs = 5000;

// Handles the driver's own messages while it waits: a preview's parent lives
// on this thread, and the saver sends it messages it must answer.
inline void PumpFor(DWORD milliseconds) {
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
    // `quoted`: the module's path stands in double quotes, as the desktop
    // writes it; without them, the path is followed by `tail` as it is.
    explicit SaverRun(const std::string& tail, const std::string& module = saverPath, bool quoted = true)
        : tail_(tail) {
        std::string commandLine = quoted ? "\"" + module + "\" " + tail : module + tail;
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

    // Whether the window belongs to this run's process.
    bool Owns(HWND window) const {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner == process_.dwProcessId;
    }

    // A window of this process's, found by `find`, or null after `timeout`.
    template <typename Find>
    HWND WaitForWindow(Find find, DWORD timeout = 5000) {
        const DWORD start = GetTickCount();
        do {
            HWND window = find();
            if (window != nullptr && Owns(window)) return window;
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

// The folder of the driver's own program, with a closing backslash.
inline std::string DriverFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string self(path);
    return self.substr(0, self.find_last_of('\\') + 1);
}

// The module's test build, which fails on demand (win32/test_faults_win32.h);
// it lies beside the driver under the module's own name.
inline std::string TestFaultModule() {
    return DriverFolder() + "test-faults\\KORUNEX64.SCR";
}

// The fault that runs of the test build started while this lives are asked
// for ("POINT:N" or "POINT:N+"); they inherit it from the driver's environment.
class TestFault {
public:
    explicit TestFault(const char* request) { SetEnvironmentVariableA("KORUNEX_TEST_FAULT", request); }
    ~TestFault() { SetEnvironmentVariableA("KORUNEX_TEST_FAULT", nullptr); }
    TestFault(const TestFault&) = delete;
    TestFault& operator=(const TestFault&) = delete;
};

// While this lives, the platform's handling of a fault that nothing takes
// starts, instead of Wine's debugger (which would wait for someone), the
// driver itself with --no-debugger, which ends at once: the platform's
// filter then answers "execute the handler", as it does on Windows once
// the fault is reported.
class NoCrashDebugger {
public:
    NoCrashDebugger() {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAeDebug, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr);
        Keep("Debugger", debugger_);
        Keep("Auto", autoStart_);
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        const std::string command = "\"" + std::string(self) + "\" --no-debugger %ld %ld";
        Set("Debugger", command);
        Set("Auto", "1");
    }
    ~NoCrashDebugger() {
        Put("Debugger", debugger_);
        Put("Auto", autoStart_);
        RegCloseKey(key_);
    }
    NoCrashDebugger(const NoCrashDebugger&) = delete;
    NoCrashDebugger& operator=(const NoCrashDebugger&) = delete;

private:
    static constexpr char kAeDebug[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
    struct Kept {
        bool present = false;
        std::string text;
    };
    void Keep(const char* name, Kept& kept) {
        char value[1024] = {};
        DWORD size = sizeof value - 1;
        kept.present = RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == 0;
        kept.text = value;
    }
    void Set(const char* name, const std::string& text) {
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    void Put(const char* name, const Kept& kept) {
        if (kept.present) Set(name, kept.text);
        else RegDeleteValueA(key_, name);
    }
    HKEY key_ = nullptr;
    Kept debugger_, autoStart_;
};

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

// Prints the saver window's and the screen's sizes, the box of a still
// logo's pixels and the dialog's size ("window W H screen W H logo LEFT TOP
// RIGHT BOTTOM dialog W H"), in the screen's own pixels; returns the
// full-screen run's exit code.
int PrintLogoExtent(const std::string& saver);

// The cursor that the system shows now, or null when it is hidden.
inline HCURSOR CursorShown() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

// The screen's pixels in a rectangle, as 0x00RRGGBB.
inline std::vector<uint32_t> ReadScreen(const RECT& area) {
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
inline int CountLogoPixels(const RECT& area) {
    int count = 0;
    for (uint32_t p : ReadScreen(area)) count += p == 0x0000FF || p == 0x0000C0 || p == 0x000080;
    return count;
}

// Waits up to `timeout` for the logo's colours to appear in `area`.
inline bool LogoAppears(const RECT& area, DWORD timeout) {
    const DWORD start = GetTickCount();
    do {
        if (CountLogoPixels(area) > 50) return true;
        PumpFor(50);
    } while (GetTickCount() - start < timeout);
    return false;
}

inline RECT VirtualScreen() {
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

inline void PressKey(WORD key) {
    INPUT inputs[2]{};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = key;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Moves the cursor to a screen position as a mouse would.
inline void MoveMouseTo(int x, int y) {
    const RECT screen = VirtualScreen();
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x - screen.left, 65535, screen.right - screen.left - 1);
    input.mi.dy = MulDiv(y - screen.top, 65535, screen.bottom - screen.top - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &input, sizeof input);
}

inline bool WaitForForeground(HWND window, DWORD timeout) {
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != window && GetTickCount() - start < timeout) PumpFor(20);
    return GetForegroundWindow() == window;
}

inline POINT CursorNow() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

// A white 320 x 240 window of the driver's at 100, 80 (a preview's parent,
// an owner), of its own class `className`.
inline HWND MakeDriverWindow(const char* className, WNDPROC procedure = DefWindowProcA) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE, 100, 80, 320, 240, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}
