// Where a frame's time goes: ordering, projection and whole frames on a cairo surface.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "render/cairo_raster.h"
#include "render/frame_cycle.h"
#include "render/recording_raster.h"
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
void RunFrames(benchmark::State& state, int32_t width, int32_t height, Adjust adjust) {
    SaverSettings settings{};
    auto scene = MakeScene(settings, width, height, adjust);
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    CairoRaster raster(window, width, height, nullptr);
    for (auto _ : state) RenderFrame(*scene, settings, raster);
    cairo_surface_destroy(window);
}

void BM_FrameDefault(benchmark::State& state) {
    RunFrames(state, 1920, 1080, [](SaverSettings&) {});
}
BENCHMARK(BM_FrameDefault)->Unit(benchmark::kMicrosecond);

void BM_FrameHeavy(benchmark::State& state) {
    RunFrames(state, 1920, 1080, [](SaverSettings& s) { Heavy(s, 30); });
}
BENCHMARK(BM_FrameHeavy)->Unit(benchmark::kMicrosecond);

// The heaviest scene the dialog allows.
void Heaviest(SaverSettings& s) {
    Heavy(s, 50);
    s.HABAJIDO = 0;
    s.HABA = 30;
    s.ENKIN = 30;
    s.ZANZOU = 1;
}

// Bytes the frames write on average (4 per pixel), counted on the recording raster.
double BytesPerFrame(int32_t width, int32_t height, int frames) {
    SaverSettings settings{};
    auto scene = MakeScene(settings, width, height, Heaviest);
    RecordingRaster counter;
    counter.keepsCalls = false;
    counter.countsPixels = true;
    for (int k = 0; k < frames; ++k) RenderFrame(*scene, settings, counter);
    return 4.0 * double(counter.pixelsWritten) / frames;
}

// Bytes per second of a plain fill of a frame-sized buffer, on this machine
// now: the best of several batches, so that a busy moment does not lower the bound.
double FillBandwidth(int32_t width, int32_t height) {
    std::vector<uint32_t> buffer(size_t(width) * height);
    double best = 0;
    for (int batch = 0; batch < 5; ++batch) {
        const auto start = std::chrono::steady_clock::now();
        const int rounds = 20;
        for (int i = 0; i < rounds; ++i) {
            std::memset(buffer.data(), i, buffer.size() * sizeof buffer[0]);
            benchmark::ClobberMemory();
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::max(best, double(buffer.size() * sizeof buffer[0]) * rounds / seconds);
    }
    return best;
}

// The frame time of the heaviest scene against the time its pixels need at
// the memory bandwidth of a plain fill.
void BM_FrameHeaviest(benchmark::State& state) {
    const int32_t width = int32_t(state.range(0)), height = int32_t(state.range(1));
    const double bytes = BytesPerFrame(width, height, 80);
    const double boundSeconds = bytes / FillBandwidth(width, height);
    RunFrames(state, width, height, Heaviest);
    state.counters["MB/frame"] = bytes / 1e6;
    state.counters["bound_us"] = boundSeconds * 1e6;
}
BENCHMARK(BM_FrameHeaviest)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// A shape file of 200,000 records: parsed once, then every record looked up,
// as korunex shapes --check reads it.
void BM_ReadLargeShapeFile(benchmark::State& state) {
    const int records = int(state.range(0));
    std::string text = "[KORUNEX]\r\nOPTIONA1=3\r\n[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= records; ++n)
        text += RecordKey(n) + "=R" + std::to_string(n) +
                ",4,0,0,0,0,0,1,1,4,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-40,-50,40,-50,40,50,-40,50\r\n";
    for (auto _ : state) {
        const IniDocument document(text);
        size_t found = 0;
        for (int n = 1; n <= records; ++n) found += document.Find("MOJI ZAHYO", RecordKey(n)).has_value();
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}
BENCHMARK(BM_ReadLargeShapeFile)->Arg(200000)->Unit(benchmark::kMillisecond);

// Prints the usual report, then a short table per case: time per frame,
// frames per second and the share of one core used at the default 55 ms timer.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto bound = run.counters.find("bound_us");
            rows_.push_back({run.benchmark_name(), run.GetAdjustedRealTime() * Scale(run.time_unit),
                             bound == run.counters.end() ? 0.0 : double(bound->second) * 1e-6});
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-32s %14s %10s %14s %16s\n", "case", "time/frame", "frames/s", "core at 55 ms",
                    "x pixel bound");
        for (const Row& row : rows_) {
            std::printf("%-32s %11.1f us %10.0f %13.2f%%", row.name.c_str(), row.seconds * 1e6, 1.0 / row.seconds,
                        100.0 * row.seconds / 0.055);
            if (row.bound > 0) std::printf(" %16.2f", row.seconds / row.bound);
            std::printf("\n");
        }
    }

private:
    static double Scale(benchmark::TimeUnit unit) {
        switch (unit) {
            case benchmark::kNanosecond: return 1e-9;
            case benchmark::kMicrosecond: return 1e-6;
            case benchmark::kMillisecond: return 1e-3;
            default: return 1.0;
        }
    }
    struct Row {
        std::string name;
        double seconds, bound;  // per frame; bound: what its pixels need at fill bandwidth (0: not measured)
    };
    std::vector<Row> rows_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
