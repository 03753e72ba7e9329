#include "host/screens_win32.h"

#include "scene/logo_scene.h"
#include "win32/entry_lookup_win32.h"

namespace {

// The awareness contexts and values of the platform's headers, named here:
// the entries are looked up at run time, since older platforms lack them.
const auto kPerMonitorAwareV2 = reinterpret_cast<DPI_AWARENESS_CONTEXT>(-4);
constexpr int kProcessPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;            // MDT_EFFECTIVE_DPI

HMODULE User() { return GetModuleHandleA("USER32.DLL"); }

// The shell's scaling library, loaded once when first asked for (present
// from Windows 8.1 on).
HMODULE ShellScaling() {
    static const HMODULE library = LoadLibraryA("SHCORE.DLL");
    return library;
}

bool SetAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    const auto set = LookUpEntry<BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT)>(User(), "SetProcessDpiAwarenessContext");
    return set != nullptr && set(context);
}

void BecomePerMonitorAware() {
    if (SetAwarenessContext(kPerMonitorAwareV2)) return;
    const auto setAwareness = LookUpEntry<HRESULT(WINAPI*)(int)>(ShellScaling(), "SetProcessDpiAwareness");
    if (setAwareness != nullptr && SUCCEEDED(setAwareness(kProcessPerMonitorAware))) return;
    const auto setAware = LookUpEntry<BOOL(WINAPI*)()>(User(), "SetProcessDPIAware");
    if (setAware != nullptr) setAware();
}

// The system's dpi as this process sees it: the real one once it is aware.
int32_t SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kStandardDpi;
}

int32_t MonitorDpi(HMONITOR monitor, int32_t systemDpi) {
    using GetDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto getDpi = LookUpEntry<GetDpi>(ShellScaling(), "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (getDpi != nullptr && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &x, &y)) && x > 0) return int32_t(x);
    return systemDpi;
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM context) {
    auto& monitors = *reinterpret_cast<std::vector<Monitor>*>(context);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(handle, &info)) return TRUE;
    const RECT& r = info.rcMonitor;
    monitors.push_back({{r.left, r.top, r.right - r.left, r.bottom - r.top},
                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                        MonitorDpi(handle, SystemDpi())});
    return TRUE;
}

}  // namespace

void ChooseDpiAwareness(RunMode mode, HWND previewParent) {
    switch (mode) {
        case RunMode::kSettings:
        case RunMode::kSettingsOwned:
        case RunMode::kFullScreen: BecomePerMonitorAware(); break;
        case RunMode::kPreview: {
            using GetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
            const auto getContext = LookUpEntry<GetContext>(User(), "GetWindowDpiAwarenessContext");
            if (getContext == nullptr || previewParent == nullptr) break;
            if (DPI_AWARENESS_CONTEXT parents = getContext(previewParent)) SetAwarenessContext(parents);
            break;
        }
        case RunMode::kPasswordChange:
        case RunMode::kInvalid: break;
    }
}

std::vector<Monitor> ListMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

int32_t WindowDpi(HWND window) {
    const auto getDpi = LookUpEntry<UINT(WINAPI*)(HWND)>(User(), "GetDpiForWindow");
    const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
    return dpi > 0 ? int32_t(dpi) : kStandardDpi;
}

ScreenRect VirtualScreen() {
    ScreenRect screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (screen.width != 0 && screen.height != 0) return screen;
    RECT clip{};
    HDC display = GetDC(nullptr);
    GetClipBox(display, &clip);
    ReleaseDC(nullptr, display);
    return {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
}
