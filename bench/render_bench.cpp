// Where a frame's time goes: ordering, projection and whole frames drawn by our own raster.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "render/frame_cycle.h"
#include "render/recording_raster.h"
#include "render/side_faces.h"
#include "render/span_raster.h"
#include "scene/logo_clock.h"
#include "scene/motion.h"
#include "scene/shape_library.h"
#include "settings/ini_file_store.h"

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

// Bytes the frames write on average (4 per pixel), counted on the recording raster.
template <typename Adjust>
double BytesPerFrame(int32_t width, int32_t height, Adjust adjust, int frames) {
    SaverSettings settings{};
    auto scene = MakeScene(settings, width, height, adjust);
    RecordingRaster counter;
    counter.keepsCalls = false;
    counter.countsPixels = true;
    WindowBox previous = FirstPreviousBox(*scene);
    for (int k = 0; k < frames; ++k) previous = RenderFrame(*scene, settings, counter, previous);
    return 4.0 * double(counter.pixelsWritten) / frames;
}

// Bytes per second of a plain fill of a frame-sized buffer, on this machine
// now: the best of several batches, so that a busy moment does not lower the
// bound. Times are the process's processor time, as the frames' are, so that
// other work on the machine does not count.
double FillBandwidth(int32_t width, int32_t height) {
    std::vector<uint32_t> buffer(size_t(width) * height);
    double best = 0;
    for (int batch = 0; batch < 5; ++batch) {
        const std::clock_t start = std::clock();
        const int rounds = 20;
        for (int i = 0; i < rounds; ++i) {
            std::memset(buffer.data(), i, buffer.size() * sizeof buffer[0]);
            benchmark::ClobberMemory();
        }
        const double seconds = std::max(double(std::clock() - start) / CLOCKS_PER_SEC, 1e-6);
        best = std::max(best, double(buffer.size() * sizeof buffer[0]) * rounds / seconds);
    }
    return best;
}

// Whole frames of a scene on a window of width x height, against the time
// its pixels need at the memory bandwidth of a plain fill, and the target
// (microseconds per frame; 0: none but the multiple of the bound).
template <typename Adjust>
void RunFrames(benchmark::State& state, int32_t width, int32_t height, Adjust adjust, double targetMicroseconds,
               double targetMultiple) {
    const double bytes = BytesPerFrame(width, height, adjust, 80);
    const double boundSeconds = bytes / FillBandwidth(width, height);
    SaverSettings settings{};
    auto scene = MakeScene(settings, width, height, adjust);
    std::vector<uint32_t> window(size_t(width) * height);
    SpanRaster raster({window.data(), width, height, width}, PixelImage{});
    WindowBox previous = FirstPreviousBox(*scene);
    for (auto _ : state) previous = RenderFrame(*scene, settings, raster, previous);
    state.counters["MB/frame"] = bytes / 1e6;
    state.counters["bound_us"] = boundSeconds * 1e6;
    state.counters["target_us"] = targetMicroseconds;
    state.counters["target_x"] = targetMultiple;
}

void BM_FrameDefault(benchmark::State& state) {
    RunFrames(state, 1920, 1080, [](SaverSettings&) {}, 30, 0);
}
// Whole frames are timed five times and reported by their median: on a shared
// machine one busy moment can slow a single run by half.
void Repeated(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FrameDefault)->Apply(Repeated);

// The default file with the clock on (its default format, so the colons are
// gaps), the time moving on `secondsPerFrame` a frame: with 1, each frame
// sets up the slot of the changed digit again before it draws.
void RunClockFrames(benchmark::State& state, int secondsPerFrame) {
    struct ClockOn final : ProfileStore {
        explicit ClockOn(const ProfileStore& file) : file(file) {}
        int32_t ReadInt(const char* section, const char* key, int32_t byDefault) const override {
            return std::strcmp(key, "TOKEI") == 0 ? 1 : file.ReadInt(section, key, byDefault);
        }
        size_t ReadString(const char* section, const char* key, const char* byDefault, char* buffer,
                          size_t capacity) const override {
            return file.ReadString(section, key, byDefault, buffer, capacity);
        }
        bool WriteString(const char*, const char*, const char*) override { return false; }
        const ProfileStore& file;
    };
    const IniFileStore file(kShapeFile);
    const ClockOn store(file);
    ProfileNames names;
    LoadKeyNames(names);
    SaverSettings settings{};
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, settings, *scene, 1920, 1080);
    LogoClock clock(store, names);
    std::tm time{};
    time.tm_year = 126, time.tm_mday = 1, time.tm_hour = 12, time.tm_min = 34;
    clock.Show(time, settings, *scene);
    std::vector<uint32_t> window(size_t(1920) * 1080);
    SpanRaster raster({window.data(), 1920, 1080, 1920}, PixelImage{});
    WindowBox previous = FirstPreviousBox(*scene);
    int second = 0;
    for (auto _ : state) {
        time.tm_sec = (second += secondsPerFrame) % 60;
        clock.Show(time, settings, *scene);
        previous = RenderFrame(*scene, settings, raster, previous);
    }
}

// The clock's frames, still and with a digit changed on each: the change
// should cost less than the frame itself (target: under twice the still frame).
void BM_FrameClockStill(benchmark::State& state) { RunClockFrames(state, 0); }
BENCHMARK(BM_FrameClockStill)->Apply(Repeated);
void BM_FrameClockDigit(benchmark::State& state) { RunClockFrames(state, 1); }
BENCHMARK(BM_FrameClockDigit)->Apply(Repeated);

void BM_FrameHeavy(benchmark::State& state) {
    RunFrames(state, 1920, 1080, [](SaverSettings& s) { Heavy(s, 30); }, 400, 0);
}
BENCHMARK(BM_FrameHeavy)->Apply(Repeated);

// The heaviest scene the dialog allows.
void Heaviest(SaverSettings& s) {
    Heavy(s, 50);
    s.HABAJIDO = 0;
    s.HABA = 30;
    s.ENKIN = 30;
    s.ZANZOU = 1;
}

void BM_FrameHeaviest(benchmark::State& state) {
    const int32_t width = int32_t(state.range(0)), height = int32_t(state.range(1));
    RunFrames(state, width, height, Heaviest, width > 1920 ? 6000 : 1500, 2);
}
BENCHMARK(BM_FrameHeaviest)->Args({1920, 1080})->Args({3840, 2160})->Apply(Repeated);

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

// Prints the usual report, then a short table per case: processor time per
// frame (of repeated cases, the median), frames per second and the share of
// one core used at the default 55 ms timer; for whole frames also the pixel
// bound, the multiple of it and the target.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            auto counter = [&](const char* name) {
                const auto found = run.counters.find(name);
                return found == run.counters.end() ? 0.0 : double(found->second);
            };
            benchmark::BenchmarkName name = run.run_name;
            name.repetitions.clear();
            rows_.push_back({name.str(), run.GetAdjustedCPUTime() * Scale(run.time_unit),
                             counter("bound_us") * 1e-6, counter("target_us") * 1e-6, counter("target_x")});
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-30s %12s %9s %14s %12s %14s %10s %s\n", "case", "time/frame", "frames/s", "core at 55 ms",
                    "pixel bound", "x pixel bound", "target", "");
        for (const Row& row : rows_) {
            std::printf("%-30s %9.1f us %9.0f %13.2f%%", row.name.c_str(), row.seconds * 1e6, 1.0 / row.seconds,
                        100.0 * row.seconds / 0.055);
            if (row.bound <= 0) {
                std::printf("\n");
                continue;
            }
            const double multiple = row.seconds / row.bound;
            std::printf(" %9.1f us %14.2f", row.bound * 1e6, multiple);
            bool met = true;
            std::string target;
            if (row.targetSeconds > 0) {
                target += "<" + std::to_string(std::lround(row.targetSeconds * 1e6)) + " us";
                met = met && row.seconds < row.targetSeconds;
            }
            if (row.targetMultiple > 0) {
                target += (target.empty() ? "" : ", ") + std::string("<") + std::to_string(std::lround(row.targetMultiple)) + "x";
                met = met && multiple <= row.targetMultiple;
            }
            std::printf(" %16s %s\n", target.c_str(), target.empty() ? "" : met ? "met" : "MISSED");
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
        // Per frame; bound: what its pixels need at fill bandwidth (0: not measured).
        double seconds, bound, targetSeconds, targetMultiple;
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
