#include <gtest/gtest.h>
#include <windows.h>

#include "host/logo_window_win32.h"
#include "render/gdi_raster_win32.h"

namespace {

constexpr COLORREF kMarker = RGB(255, 0, 255);

// A visible popup filled with the marker colour at a place of the screen.
class MarkedWindow {
public:
    MarkedWindow(int x, int y, int width, int height) {
        brush_ = CreateSolidBrush(kMarker);
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = brush_;
        windowClass.lpszClassName = "KorunexMarkedWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, x, y, width,
                                  height, nullptr, nullptr, windowClass.hInstance, nullptr);
        child_ = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window_, nullptr, nullptr, nullptr);
        UpdateWindow(window_);
        for (int i = 0; i < 20; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
            Sleep(20);
        }
    }
    ~MarkedWindow() {
        DestroyWindow(window_);
        UnregisterClassA("KorunexMarkedWindow", GetModuleHandleA(nullptr));
        DeleteObject(brush_);
    }
    HWND window() const { return window_; }
    HWND child() const { return child_; }

private:
    HBRUSH brush_;
    HWND window_, child_;
};

TEST(DesktopSnapshot, AFullScreenWindowTakesTheDisplayFromItsOwnOriginAPreviewFromTheCorner) {
    const MarkedWindow marked(200, 120, 64, 48);
    const POINT origin = SnapshotOrigin(marked.window());
    EXPECT_EQ(origin.x, 200);
    EXPECT_EQ(origin.y, 120);
    const POINT corner = SnapshotOrigin(marked.child());
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);

    // The snapshot's top left is what the screen shows at that origin.
    DesktopSnapshot snapshot = TakeDesktopSnapshot(origin.x, origin.y, 64, 48);
    EXPECT_EQ(GetPixel(snapshot.dc, 0, 0), kMarker);
    EXPECT_EQ(GetPixel(snapshot.dc, 63, 47), kMarker);
    ReleaseDesktopSnapshot(snapshot);
    EXPECT_EQ(snapshot.dc, nullptr);

    DesktopSnapshot shifted = TakeDesktopSnapshot(origin.x - 10, origin.y - 10, 20, 20);
    EXPECT_NE(GetPixel(shifted.dc, 0, 0), kMarker);
    EXPECT_EQ(GetPixel(shifted.dc, 10, 10), kMarker);
    ReleaseDesktopSnapshot(shifted);
}

}  // namespace
