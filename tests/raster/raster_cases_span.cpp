// Raster cases drawn by our own raster into a picture standing in for the window.

#include <memory>
#include <vector>

#include "raster/case_runner.h"
#include "raster/raster_calls.h"
#include "render/span_raster.h"

int main(int argc, char** argv) {
    std::vector<uint32_t> pixels;
    PixelImage window;
    std::unique_ptr<SpanRaster> raster;
    return RunRasterCases(
        argc, argv,
        [&](int32_t width, int32_t height) -> Raster& {
            pixels.assign(size_t(width) * height, 0);
            window = {pixels.data(), width, height, width};
            raster = std::make_unique<SpanRaster>(window, PixelImage{});
            return *raster;
        },
        [&] { std::fill(pixels.begin(), pixels.end(), PixelOf(kCaseWindowGrey)); },
        [&](int32_t x, int32_t y) { return window.Row(y)[x]; });
}
