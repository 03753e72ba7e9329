#include "glyphs/text_preview_win32.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "render/gdi_raster_win32.h"
#include "settings/ini_text_store.h"

namespace {

std::unique_ptr<AreaLogo> CreateLogoAt(const ProfileStore& store, const ProfileNames& names, const RECT& client,
                                       int32_t dpi, const std::tm& now) {
    const LogoArea area{{0, 0, client.right, client.bottom}, dpi, GetTickCount()};
    std::vector<std::unique_ptr<AreaLogo>> logos = CreateAreaLogos(store, names, {area});
    if (logos.empty()) return nullptr;
    std::unique_ptr<AreaLogo> logo = std::move(logos.front());
    logo->settings.BKMODE = 1;
    logo->settings.ZANZOU = 0;
    ShowTime(*logo, now);
    return logo;
}

// How much smaller than on a screen the logo must be drawn for all of it to
// fit the control (at most 1): at a screen's size a control shows two
// letters of nine.
double FittingScale(const AreaLogo& logo, const RECT& client) {
    int64_t across = 1, up = 1;  // the farthest point from the centre
    for (int32_t s = 1; s <= std::clamp<int32_t>(logo.settings.OPTIONN, 0, kMaxSlots); ++s) {
        const ShapeRecord& shape = logo.scene.slots[s].shape;
        for (int32_t k = 1; k <= shape.pointCount; ++k) {
            across = std::max<int64_t>(across, std::abs(int64_t(shape.points[k].x)));
            up = std::max<int64_t>(up, std::abs(int64_t(shape.points[k].y)));
        }
    }
    // A margin for the turn, the tilt and the depth.
    return std::min({1.0, 0.4 * client.right / double(across), 0.4 * client.bottom / double(up)});
}

std::unique_ptr<AreaLogo> CreatePreviewLogo(const ProfileStore& store, const ProfileNames& names, HWND control,
                                            const std::tm& now) {
    RECT client{};
    GetClientRect(control, &client);
    std::unique_ptr<AreaLogo> logo = CreateLogoAt(store, names, client, kStandardDpi, now);
    if (!logo) return nullptr;
    const double scale = FittingScale(*logo, client);
    if (scale >= 1) return logo;
    const int32_t dpi = std::max(kLowestDpi, int32_t(kStandardDpi * scale));
    return CreateLogoAt(store, names, client, dpi, now);
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
