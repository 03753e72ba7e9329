// Twenty thousand frames of a heavy scene on real GDI: every object a frame
// creates is deleted within it.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "../logo_fixture.h"
#include "render/frame_cycle.h"
#include "render/gdi_raster_win32.h"
#include "settings/profile_store_win32.h"

namespace {

// A path of the Linux tree as Wine's drive Z: shows it.
std::string OnDriveZ(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c;
    return "Z:" + path;
}

// Nine letters with holes, all spinning, each on its own axis, over the desktop.
class HeavyStore final : public ProfileStore {
public:
    explicit HeavyStore(const char* file) : file_(file) {}
    int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
        static const std::pair<const char*, int32_t> kHeavy[] = {
            {"OPTIONN", 9},  {"OPTIONA1", 35}, {"OPTIONA2", 2},  {"OPTIONA3", 15}, {"OPTIONA4", 17},
            {"OPTIONA5", 27}, {"OPTIONA6", 33}, {"OPTIONA7", 36}, {"OPTIONA8", 7},  {"OPTIONA9", 42},
            {"SIZE", 6},     {"SIZEY", 6},     {"KAITEN", 1},    {"OPTIONP", 2},   {"BKMODE", 0}};
        for (const auto& [name, value] : kHeavy)
            if (lstrcmpiA(name, key) == 0) return value;
        if (std::string(key).rfind("ZKAITEN", 0) == 0) return 1;
        return file_.ReadInt(section, key, byDefault);
    }
    size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                      size_t capacity) const override {
        return file_.ReadString(section, key, byDefault, buffer, capacity);
    }
    bool WriteString(const char*, const char*, const char*) override { return false; }

private:
    Win32ProfileStore file_;
};

TEST(GdiLongRun, TwentyThousandFramesDeleteEveryObjectTheyCreate) {
    const std::string shapes = OnDriveZ(KORUNEX_SOURCE_DATA_DIR "/KORUNEX.ini");
    const HeavyStore store(shapes.c_str());
    const auto [names, settings, scene] = CreateTestLogo(store, 320, 200);
    ASSERT_EQ(settings->OPTIONN, 9);
    ASSERT_GT(scene->slots[1].shape.pointCount, 30) << "no shapes from " << shapes;

    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 320, -200, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC window = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(window, picture);

    const GdiObjectTally before = CountGdiObjects();
    DesktopSnapshot snapshot = TakeDesktopSnapshot(0, 0, 320, 200);
    {
        GdiRaster raster(window, snapshot.dc);
        WindowBox previous = FirstPreviousBox(*scene);
        for (int frame = 0; frame < 20000; ++frame) {
            previous = RenderFrame(*scene, *settings, raster, previous);
            const GdiObjectTally now = CountGdiObjects();
            ASSERT_EQ(now.created - before.created, now.deleted - before.deleted + 2)
                << "frame " << frame << " left objects behind (the snapshot holds 2)";
        }
    }
    ReleaseDesktopSnapshot(snapshot);
    const GdiObjectTally after = CountGdiObjects();
    EXPECT_EQ(after.created - before.created, after.deleted - before.deleted);
    EXPECT_GT(after.created - before.created, 20000u * 50u) << "the frames drew little";

    SelectObject(window, previous);
    DeleteDC(window);
    DeleteObject(picture);
}

}  // namespace
