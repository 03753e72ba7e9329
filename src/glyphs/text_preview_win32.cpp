#include "glyphs/text_preview_win32.h"

#include <algorithm>
#include <ctime>

#include "render/gdi_raster_win32.h"
#include "settings/ini_text_store.h"

namespace {

std::unique_ptr<AreaLogo> CreatePreviewLogo(const ProfileStore& store, const ProfileNames& names, HWND control,
                                            const std::tm& now) {
    RECT client{};
    GetClientRect(control, &client);
    const LogoArea area{{0, 0, client.right, client.bottom}, kStandardDpi, GetTickCount()};
    std::vector<std::unique_ptr<AreaLogo>> logos = CreateAreaLogos(store, names, {area});
    if (logos.empty()) return nullptr;
    std::unique_ptr<AreaLogo> logo = std::move(logos.front());
    logo->settings.BKMODE = 1;
    logo->settings.ZANZOU = 0;
    ShowTime(*logo, now);
    return logo;
}

std::tm Now() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local ? *local : std::tm{};
}

}  // namespace

void ShowPreview(TextPreview& preview, const std::string& iniText, const ProfileNames& names, HWND still,
                 HWND turning) {
    preview.still.reset();
    preview.turning.reset();
    if (!iniText.empty()) {
        const IniTextStore store(iniText);
        const std::tm now = Now();
        preview.still = CreatePreviewLogo(store, names, still, now);
        preview.turning = CreatePreviewLogo(store, names, turning, now);
    }
    InvalidateRect(still, nullptr, TRUE);
    InvalidateRect(turning, nullptr, TRUE);
}

void PaintStill(const TextPreview& preview, HDC dc, const RECT& area) {
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (!preview.still) return;
    // A copy, so that every paint shows the same first frame.
    LogoScene scene = preview.still->scene;
    GdiRaster raster(dc, nullptr, area);
    RenderFrame(scene, preview.still->settings, raster, FirstPreviousBox(scene));
}

void TurnPreview(TextPreview& preview, HWND turning) {
    if (!preview.turning) return;
    AreaLogo& logo = *preview.turning;
    if (logo.clock) ShowTime(logo, Now());
    HDC dc = GetDC(turning);
    RECT client{};
    GetClientRect(turning, &client);
    GdiRaster raster(dc, nullptr, client);
    logo.previousBox = RenderFrame(logo.scene, logo.settings, raster, logo.previousBox);
    ReleaseDC(turning, dc);
}

UINT PreviewPeriod(const TextPreview& preview) {
    return preview.turning ? UINT(std::clamp<int32_t>(preview.turning->settings.TIMER, 10, 1000)) : 100;
}
