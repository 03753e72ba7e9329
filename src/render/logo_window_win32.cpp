#include "render/logo_window_win32.h"

#include "host/procedure_barrier_win32.h"
#include "host/saver_window_win32.h"
#include "host/test_faults_win32.h"
#include "render/frame_cycle.h"
#include "render/gdi_raster_win32.h"
#include "settings/profile_store_win32.h"
#include "settings/string_table.h"

namespace {

constexpr UINT_PTR kFrameTimer = 100;

// The logo of the process's one saver window, from creation to destruction.
struct LogoWindow {
    ProfileNames names;
    SaverSettings settings;
    LogoScene scene;
    DesktopSnapshot snapshot;
    bool timerStarted;
};

LogoWindow logo;

void CreateLogoWindow(HWND window) {
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
    logo.timerStarted = LOWORD(SetTimer(window, kFrameTimer, static_cast<UINT>(logo.settings.TIMER), nullptr)) != 0;
}

void DestroyLogoWindow(HWND window) {
    if (logo.timerStarted) KillTimer(window, kFrameTimer);
    logo.timerStarted = false;
    ReleaseDesktopSnapshot(logo.snapshot);
}

void EraseBackground(HWND window, HDC dc) {
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

void DrawFrame(HWND window) {
    KORUNEX_TEST_FAULT("frame");
    HDC dc = GetDC(window);
    {
        GdiRaster raster(dc, logo.snapshot.dc);
        RenderFrame(logo.scene, logo.settings, raster);
    }
    ReleaseDC(window, dc);
}

}  // namespace

POINT SnapshotOrigin(HWND window) {
    POINT origin{0, 0};
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) == 0) ClientToScreen(window, &origin);
    return origin;
}

LRESULT CALLBACK LogoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WithoutThrowing(window, message, wParam, lParam, [&]() -> LRESULT {
        switch (message) {
        case WM_CREATE: CreateLogoWindow(window); break;
        case WM_DESTROY: DestroyLogoWindow(window); return 0;
        case WM_ERASEBKGND: EraseBackground(window, reinterpret_cast<HDC>(wParam)); return 0;
        case WM_TIMER: DrawFrame(window); break;
        default: break;
        }
        return CloseOnInputProc(window, message, wParam, lParam);
    });
}
