#include "host/logo_window_win32.h"

#include "render/frame_cycle.h"
#include "settings/profile_store_win32.h"
#include "win32/test_faults_win32.h"

namespace {

constexpr UINT_PTR kFrameTimer = 100;

void CreateLogoWindow(LogoWindow& logo, HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    LoadKeyNames(logo.names);
    const Win32ProfileStore store(logo.names.iniFile);
    CreateLogo(store, logo.names, logo.settings, logo.scene, client.right, client.bottom);
    if (ChooseBackground(logo.settings) == Background::kSnapshot) {
        const POINT origin = SnapshotOrigin(window);
        logo.snapshot = TakeDesktopSnapshot(origin.x, origin.y, client.right, client.bottom);
    }
    SeedRandom(logo.scene, GetTickCount());
    logo.previousBox = FirstPreviousBox(logo.scene);
    logo.isTimerRunning = LOWORD(SetTimer(window, kFrameTimer, static_cast<UINT>(logo.settings.TIMER), nullptr)) != 0;
}

void DestroyLogoWindow(LogoWindow& logo, HWND window) {
    if (logo.isTimerRunning) KillTimer(window, kFrameTimer);
    logo.isTimerRunning = false;
    ReleaseDesktopSnapshot(logo.snapshot);
}

void EraseBackground(const LogoWindow& logo, HWND window, HDC dc) {
    RECT client{};
    GetClientRect(window, &client);
    switch (ChooseFirstPicture(logo.settings)) {
    case FirstPicture::kBlack: FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))); break;
    case FirstPicture::kSnapshot:
        if (logo.snapshot.dc != nullptr) BitBlt(dc, 0, 0, client.right, client.bottom, logo.snapshot.dc, 0, 0, SRCCOPY);
        break;
    case FirstPicture::kUnchanged: break;
    }
}

void DrawFrame(LogoWindow& logo, HWND window) {
    TestFaultPoint("frame");
    HDC dc = GetDC(window);
    {
        GdiRaster raster(dc, logo.snapshot.dc);
        logo.previousBox = RenderFrame(logo.scene, logo.settings, raster, logo.previousBox);
    }
    ReleaseDC(window, dc);
}

}  // namespace

POINT SnapshotOrigin(HWND window) {
    POINT origin{0, 0};
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0) ClientToScreen(window, &origin);
    return origin;
}

std::optional<LRESULT> LogoWindowProc(LogoWindow& logo, HWND window, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_CREATE: CreateLogoWindow(logo, window); break;
    case WM_DESTROY: DestroyLogoWindow(logo, window); return 0;
    case WM_ERASEBKGND: EraseBackground(logo, window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_TIMER: DrawFrame(logo, window); break;
    default: break;
    }
    return std::nullopt;
}
