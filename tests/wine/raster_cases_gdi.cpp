// Raster cases drawn by GDI into a 32-bit picture standing in for the window.

#include <windows.h>

#include <memory>

#include "raster/case_runner.h"
#include "render/gdi_raster_win32.h"

namespace {

class DibWindow {
public:
    DibWindow(int32_t width, int32_t height) : width_(width) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        rect_ = {0, 0, width, height};
    }
    ~DibWindow() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    void Clear() {
        HBRUSH grey = CreateSolidBrush(RGB(90, 90, 90));
        FillRect(dc_, &rect_, grey);
        DeleteObject(grey);
    }
    uint32_t At(int32_t x, int32_t y) const {
        GdiFlush();
        return bits_[size_t(y) * width_ + x] & 0xFFFFFF;
    }

private:
    int32_t width_;
    uint32_t* bits_ = nullptr;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ previous_;
    RECT rect_;
};

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<DibWindow> window;
    std::unique_ptr<GdiRaster> raster;
    return RunRasterCases(
        argc, argv,
        [&](int32_t width, int32_t height) -> Raster& {
            window = std::make_unique<DibWindow>(width, height);
            raster = std::make_unique<GdiRaster>(window->dc(), nullptr);
            return *raster;
        },
        [&] { window->Clear(); }, [&](int32_t x, int32_t y) { return window->At(x, y); });
}
