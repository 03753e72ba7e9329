#include "host/logo_window_win32.h"

#include <algorithm>

#include "host/screens_win32.h"
#include "render/frame_cycle.h"
#include "settings/profile_store_win32.h"
#include "win32/test_faults_win32.h"

namespace {

constexpr UINT_PTR kFrameTimer = 100;

bool IsPreview(HWND window) { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0; }

// One logo over a preview; over a full-screen window, as GAMEN lays them out.
std::vector<LogoArea> LogoAreas(HWND window, const ProfileStore& store, const ProfileNames& names) {
    RECT client{};
    GetClientRect(window, &client);
    const uint32_t tick = GetTickCount();
    if (IsPreview(window)) return {{{0, 0, client.right, client.bottom}, WindowDpi(window), tick}};
    const POINT origin = SnapshotOrigin(window);
    return LayOutLogos(LoadMonitorMode(store, names), {origin.x, origin.y, client.right, client.bottom},
                       ListMonitors(), tick);
}

void CreateLogos(LogoWindow& logo, HWND window) {
    const Win32ProfileStore store(logo.names.iniFile);
    logo.logos = CreateAreaLogos(store, logo.names, LogoAreas(window, store, logo.names));
}

// Every logo has the same settings but for the sizes scaled to its monitor.
const SaverSettings& SettingsOf(const LogoWindow& logo) { return logo.logos.front()->settings; }

void CreateLogoWindow(LogoWindow& logo, HWND window) {
    LoadKeyNames(logo.names);
    CreateLogos(logo, window);
    if (ChooseBackground(SettingsOf(logo)) == Background::kSnapshot) {
        RECT client{};
        GetClientRect(window, &client);
        const POINT origin = SnapshotOrigin(window);
        logo.snapshot = TakeDesktopSnapshot(origin.x, origin.y, client.right, client.bottom);
    }
    const auto period = static_cast<UINT>(SettingsOf(logo).TIMER);
    logo.isTimerRunning = LOWORD(SetTimer(window, kFrameTimer, period, nullptr)) != 0;
}

void DestroyLogoWindow(LogoWindow& logo, HWND window) {
    if (logo.isTimerRunning) KillTimer(window, kFrameTimer);
    logo.isTimerRunning = false;
    ReleaseDesktopSnapshot(logo.snapshot);
}

// Monitors came or went: the window covers the new virtual screen and the
// logos are laid out afresh. The desktop snapshot stays the one of the
// start: taken now, it would show the saver itself.
void FollowDisplayChange(LogoWindow& logo, HWND window) {
    if (IsPreview(window) || logo.logos.empty()) return;
    const ScreenRect screen = VirtualScreen();
    SetWindowPos(window, HWND_TOPMOST, screen.left, screen.top, screen.width, screen.height, SWP_NOACTIVATE);
    CreateLogos(logo, window);
    InvalidateRect(window, nullptr, TRUE);
}

void EraseBackground(const LogoWindow& logo, HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    switch (ChooseFirstPicture(SettingsOf(logo))) {
    case FirstPicture::kBlack: FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); break;
    case FirstPicture::kSnapshot:
        if (logo.snapshot.dc != nullptr) BitBlt(dc, 0, 0, client.right, client.bottom, logo.snapshot.dc, 0, 0, SRCCOPY);
        break;
    case FirstPicture::kUnchanged: break;
    }
}

// The local time as the C library's formats take it.
std::tm LocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int year = now.wYear;
    const bool isLeap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int month = std::clamp<int>(now.wMonth, 1, 12) - 1;
    std::tm time{};
    time.tm_year = year - 1900, time.tm_mon = month, time.tm_mday = now.wDay;
    time.tm_hour = now.wHour, time.tm_min = now.wMinute, time.tm_sec = now.wSecond;
    time.tm_wday = now.wDayOfWeek;
    time.tm_yday = kDaysBefore[month] + (isLeap && month >= 2) + now.wDay - 1;
    time.tm_isdst = -1;
    return time;
}

void DrawFrame(LogoWindow& logo, HWND window) {
    TestFaultPoint("frame");
    // Every logo has the clock or none has: the settings are the same.
    const std::tm now = logo.logos.front()->clock ? LocalTime() : std::tm{};
    HDC dc = GetDC(window);
    for (const std::unique_ptr<AreaLogo>& area : logo.logos) {
        ShowTime(*area, now);
        const ScreenRect& r = area->area.rect;
        GdiRaster raster(dc, logo.snapshot.dc, RECT{r.left, r.top, r.left + r.width, r.top + r.height});
        area->previousBox = RenderFrame(area->scene, area->settings, raster, area->previousBox);
    }
    ReleaseDC(window, dc);
}

}  // namespace

POINT SnapshotOrigin(HWND window) {
    POINT origin{0, 0};
    if (!IsPreview(window)) ClientToScreen(window, &origin);
    return origin;
}

std::optional<LRESULT> LogoWindowProc(LogoWindow& logo, HWND window, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_CREATE: CreateLogoWindow(logo, window); break;
    case WM_DESTROY: DestroyLogoWindow(logo, window); return 0;
    case WM_ERASEBKGND:
        if (!logo.logos.empty()) EraseBackground(logo, window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_TIMER: DrawFrame(logo, window); break;
    case WM_DISPLAYCHANGE: FollowDisplayChange(logo, window); break;
    default: break;
    }
    return std::nullopt;
}
