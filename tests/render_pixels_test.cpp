// The renderer drawing real pixels through our own raster.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "render/frame_cycle.h"
#include "render/side_faces.h"
#include "render/span_raster.h"
#include "scene/motion.h"
#include "scene/shape_record.h"
#include "scene_fixture.h"
#include "settings/ini_file_store.h"

namespace {

namespace fs = std::filesystem;

struct Picture {
    explicit Picture(int32_t width, int32_t height)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {}
    ~Picture() { cairo_surface_destroy(surface); }
    PixelImage Pixels() const {
        cairo_surface_flush(surface);
        return {reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface)), cairo_image_surface_get_width(surface),
                cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface) / 4};
    }
    Rgb At(int x, int y) const {
        cairo_surface_flush(surface);
        const unsigned char* row = cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
        const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        return {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)};
    }
    cairo_surface_t* surface;
};

// One frame of the scene on a black window of the scene's size.
void DrawOneFrame(LogoScene& scene, const SaverSettings& settings, Picture& window) {
    SpanRaster raster(window.Pixels(), PixelImage{});
    RenderFrame(scene, settings, raster, FirstPreviousBox(scene));
    cairo_surface_mark_dirty(window.surface);
}

class Pixels : public ::testing::Test {
protected:
    Pixels() { settings.VIEW = 0; }
    SaverSettings settings = DefaultSettings();
};

TEST_F(Pixels, ACapLeavesItsHolesOpenAndFillsWhatLiesInsideThemAgain) {
    settings.ENKIN = 0;  // walls exactly edge-on: only the cap is drawn
    const ShapeRecord ring = MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50},
                                        {-30, -30}, {30, -30}, {30, 30}, {-30, 30},
                                        {-5, -5}, {5, -5}, {5, 5}, {-5, 5}},
                                       {{1, 4}, {5, 8}, {9, 12}});
    auto scene = BuildSceneOf({ring}, settings, 200, 200);
    Picture window(200, 200);
    DrawOneFrame(*scene, settings, window);
    const Rgb front = scene->slots[1].frontShade, black{0, 0, 0};
    EXPECT_EQ(window.At(100 - 35, 100), front) << "the solid";
    EXPECT_EQ(window.At(100 - 18, 100 - 18), black) << "the hole";
    EXPECT_EQ(window.At(100, 100), front) << "the dot inside the hole";
    EXPECT_EQ(window.At(100 + 40, 100 - 20), black) << "the outer outline";
    EXPECT_EQ(window.At(100 + 30, 100 - 10), black) << "the hole's outline";
    EXPECT_EQ(window.At(100 + 45, 100), black) << "outside";
}

TEST_F(Pixels, ATurnedBoxShowsItsNearWallAndTheFarWallOfItsHole) {
    auto scene = BuildSceneOf({BoxWithHole()}, settings, 200, 200);
    scene->turnAngle = 45;
    Picture window(200, 200);
    DrawOneFrame(*scene, settings, window);
    const Rgb side = scene->slots[1].sideShade;
    // Count wall-coloured pixels left of the solid's middle, in the hole and beyond the right edge.
    int left = 0, right = 0;
    for (int y = 60; y < 140; ++y)
        for (int x = 0; x < 200; ++x)
            if (window.At(x, y) == side) (x < 100 ? left : right) += 1;
    EXPECT_GT(left, 100) << "the near outer wall";
    EXPECT_GT(right, 20) << "the far wall of the hole";
    for (int y = 60; y < 140; ++y)
        for (int x = 140; x < 200; ++x) ASSERT_FALSE(window.At(x, y) == side) << "far outer wall at " << x << "," << y;
}

// Reads a record of the default shape file.
ShapeRecord DefaultShape(int number) {
    IniFileStore store(fs::path(KORUNEX_SOURCE_DATA_DIR) / "KORUNEX.ini");
    char value[kRecordBufferSize];
    store.ReadString("MOJI ZAHYO", RecordKey(number).c_str(), "ZAHYO-END", value, sizeof value);
    ShapeRecord shape;
    ParseShapeRecord(value, "ZAHYO-END", shape);
    return shape;
}

// Where two edges cross properly on screen, the wall painted later must not
// lie behind the one it covers.
TEST_F(Pixels, NoWallIsPaintedOverANearerOne) {
    struct Check {
        const LogoSlot& slot;
        const ViewPoint& Corner(int32_t face, int i) const { return slot.viewPoints[slot.sides[face].corners[i % 4]]; }
        // Depth of the later face minus the earlier one where their edges cross; 0 when none do.
        double WorstOverlap(int32_t earlier, int32_t later) const {
            double worst = 0;
            for (int e = 0; e < 4; ++e)
                for (int f = 0; f < 4; ++f) {
                    const ViewPoint &p = Corner(earlier, e), &q = Corner(earlier, e + 1);
                    const ViewPoint &r = Corner(later, f), &s = Corner(later, f + 1);
                    const double d = (q.x - p.x) * (s.y - r.y) - (q.y - p.y) * (s.x - r.x);
                    if (std::abs(d) < 1e-9) continue;
                    const double t = ((r.x - p.x) * (s.y - r.y) - (r.y - p.y) * (s.x - r.x)) / d;
                    const double u = ((r.x - p.x) * (q.y - p.y) - (r.y - p.y) * (q.x - p.x)) / d;
                    if (t <= 0.02 || t >= 0.98 || u <= 0.02 || u >= 0.98) continue;
                    const double behind = (r.depth + u * (s.depth - r.depth)) - (p.depth + t * (q.depth - p.depth));
                    worst = std::max(worst, behind);
                }
            return worst;
        }
    };
    for (int record : {1, 2, 7, 18, 19, 35, 42}) {  // A B G R S 8 #
        for (int32_t angle = 0; angle < 360; angle += 5) {
            auto scene = BuildSceneOf({DefaultShape(record)}, settings);
            scene->turnAngle = angle;
            ProjectScene(*scene, settings);
            int32_t order[kMaxPoints];
            const int count = OrderSideFaces(scene->slots[1], order).count;
            const Check check{scene->slots[1]};
            // order is front-most first: order[i] is painted after order[j] for i < j.
            for (int i = 0; i < count; ++i)
                for (int j = i + 1; j < count; ++j)
                    ASSERT_LE(check.WorstOverlap(order[j], order[i]), 1e-6)
                        << "record " << record << " at " << angle << " degrees: face " << order[i]
                        << " is painted over the nearer face " << order[j];
        }
    }
}

// A few frames of the default logo, pixel for pixel. KORUNEX_UPDATE_GOLDEN=1 writes them anew.
TEST(Golden, TheDefaultLogoLooksAsItDid) {
    IniFileStore store(fs::path(KORUNEX_SOURCE_DATA_DIR) / "KORUNEX.ini");
    ProfileNames names;
    LoadKeyNames(names);
    SaverSettings settings{};
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, settings, *scene, 320, 200);
    Picture window(320, 200);
    SpanRaster raster(window.Pixels(), PixelImage{});
    const bool update = std::getenv("KORUNEX_UPDATE_GOLDEN") != nullptr;
    WindowBox previous = FirstPreviousBox(*scene);
    for (int frame = 0; frame <= 30; ++frame) {
        previous = RenderFrame(*scene, settings, raster, previous);
        cairo_surface_mark_dirty(window.surface);
        if (frame % 10 != 0 && frame != 7) continue;
        const fs::path golden = fs::path(KORUNEX_TEST_DATA_DIR).parent_path() / "golden" /
                                ("default-320x200-" + std::to_string(frame) + ".png");
        if (update) {
            cairo_surface_write_to_png(window.surface, golden.c_str());
            continue;
        }
        cairo_surface_t* expected = cairo_image_surface_create_from_png(golden.c_str());
        ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS) << "cannot read " << golden;
        int differing = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 320; ++x) {
                const unsigned char* row = cairo_image_surface_get_data(expected) + y * cairo_image_surface_get_stride(expected);
                const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
                const Rgb got = window.At(x, y);
                differing += pixel != ((uint32_t(got.r) << 16) | (uint32_t(got.g) << 8) | got.b);
            }
        cairo_surface_destroy(expected);
        if (differing) {
            const fs::path actual = fs::temp_directory_path() / golden.filename();
            cairo_surface_write_to_png(window.surface, actual.c_str());
            ADD_FAILURE() << "frame " << frame << " differs from " << golden << " in " << differing
                          << " pixels; the frame drawn now is " << actual;
        }
    }
}

}  // namespace
