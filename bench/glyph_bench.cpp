// Fitting a text of nine letters: the target is well under a second.

#include <benchmark/benchmark.h>

#include <string>

#include "glyphs/font_source.h"
#include "glyphs/text_fit.h"

namespace {

void FitNineLetters(benchmark::State& state, const char* font, std::u32string text) {
    std::string error;
    const auto glyphs = LoadGlyphs({font, 0, font}, text, error);
    if (!glyphs) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(FitText(*glyphs));
}

BENCHMARK_CAPTURE(FitNineLetters, DejaVuSansBold, "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
                  U"KORUNEX&g")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FitNineLetters, IPAGothicKana, "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
                  U"あいうえおカキクケ")
    ->Unit(benchmark::kMillisecond);

}  // namespace
