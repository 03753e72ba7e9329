// Where a frame's time goes: ordering, projection and whole frames on a cairo surface.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <filesystem>
#include <memory>

#include "render/cairo_raster.h"
#include "render/frame_cycle.h"
#include "render/side_faces.h"
#include "scene/motion.h"
#include "scene/shape_library.h"
#include "settings/ini_file.h"

namespace {

const std::filesystem::path kShapeFile = std::filesystem::path(KORUNEX_SOURCE_DATA_DIR) / "KORUNEX.ini";

// Settings as the default file gives them, changed by `adjust`.
template <typename Adjust>
std::unique_ptr<LogoScene> MakeScene(SaverSettings& settings, int32_t width, int32_t height, Adjust adjust) {
    IniFileStore store(kShapeFile);
    ProfileNames names;
    LoadKeyNames(names);
    LoadSettings(store, names, settings);
    adjust(settings);
    KeepWithinSaverLimits(settings);
    auto scene = std::make_unique<LogoScene>();
    LoadSlotShapes(store, names, settings, *scene);
    scene->screenWidth = width;
    scene->screenHeight = height;
    BuildScene(*scene, settings);
    return scene;
}

// Nine slots of the largest letters with holes, all spinning, turning each on its own axis.
void Heavy(SaverSettings& s, int32_t size) {
    const int32_t letters[9] = {35, 2, 15, 17, 27, 33, 36, 7, 42};  // 8 B O Q 0 6 9 G #
    for (int i = 0; i < 9; ++i) s.*kShapeChoiceFields[i] = letters[i], s.*kSlotSpinFields[i] = 1;
    s.OPTIONN = 9;
    s.SIZE = s.SIZEY = size;
    s.KAITEN = 1;
}

void BM_OrderSideFaces(benchmark::State& state) {
    SaverSettings settings{};
    auto scene = MakeScene(settings, 1920, 1080, [&](SaverSettings& s) {
        s.OPTIONN = 1;
        s.OPTIONA1 = int32_t(state.range(0));
    });
    int32_t order[kMaxPoints];
    int32_t angle = 0;
    for (auto _ : state) {
        scene->turnAngle = angle;
        angle = (angle + 7) % 360;
        ProjectScene(*scene, settings);
        benchmark::DoNotOptimize(OrderSideFaces(scene->slots[1], order));
    }
}
BENCHMARK(BM_OrderSideFaces)->Arg(35)->Arg(2)->Arg(42)->ArgName("record");

void BM_ProjectNineSlots(benchmark::State& state) {
    SaverSettings settings{};
    auto scene = MakeScene(settings, 1920, 1080, [](SaverSettings& s) { Heavy(s, 30); });
    for (auto _ : state) {
        ProjectScene(*scene, settings);
        benchmark::DoNotOptimize(scene->slots[9].viewPoints[1]);
        scene->turnAngle = (scene->turnAngle + 9) % 360;
    }
}
BENCHMARK(BM_ProjectNineSlots);

template <typename Adjust>
void RunFrames(benchmark::State& state, Adjust adjust) {
    const int32_t width = 1920, height = 1080;
    SaverSettings settings{};
    auto scene = MakeScene(settings, width, height, adjust);
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    CairoRaster raster(window, width, height, nullptr);
    for (auto _ : state) RenderFrame(*scene, settings, raster);
    cairo_surface_destroy(window);
}

void BM_FrameDefault(benchmark::State& state) {
    RunFrames(state, [](SaverSettings&) {});
}
BENCHMARK(BM_FrameDefault)->Unit(benchmark::kMicrosecond);

void BM_FrameHeavy(benchmark::State& state) {
    RunFrames(state, [](SaverSettings& s) { Heavy(s, 30); });
}
BENCHMARK(BM_FrameHeavy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
