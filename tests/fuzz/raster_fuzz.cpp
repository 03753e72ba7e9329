// Any drawing script (tests/raster/raster_calls.h) on our own raster: drawn
// frame by frame and drawn call by call, the frame looked at after each
// call, it leaves the same pixels after every case, and nothing is written
// outside the window.
//
// An input may start with a line "@WxH" giving the frame size (1 to 512); otherwise it is 64 x 48.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "raster/raster_calls.h"
#include "render/span_raster.h"

namespace {

// Forwards every call, and looks at the frame after each drawing call, so
// that the calls are drawn one by one in their own order.
class CallByCall final : public Raster {
public:
    explicit CallByCall(SpanRaster& raster) : raster_(raster) {}
    void BeginFrame(int32_t width, int32_t height) override { raster_.BeginFrame(width, height); }
    void FillPolygon(const RasterPoint* points, int count, Rgb colour, FillRule rule) override {
        raster_.FillPolygon(points, count, colour, rule), raster_.Frame();
    }
    void PaintRegion(const RasterPoint* points, const int* counts, int ringCount, Rgb colour) override {
        raster_.PaintRegion(points, counts, ringCount, colour), raster_.Frame();
    }
    void DrawPolylines(const RasterPoint* points, const int* counts, int polylineCount) override {
        raster_.DrawPolylines(points, counts, polylineCount), raster_.Frame();
    }
    void CopyFromWindow(int32_t x, int32_t y) override { raster_.CopyFromWindow(x, y); }
    void CopyFromSnapshot(int32_t x, int32_t y) override { raster_.CopyFromSnapshot(x, y); }
    void PresentFrame(int32_t x, int32_t y) override { raster_.PresentFrame(x, y); }

private:
    SpanRaster& raster_;
};

// The window's pixels after each case, hashed.
std::vector<uint64_t> DrawCases(const std::string& script, bool callByCall, int32_t width, int32_t height) {
    std::vector<uint32_t> window(size_t(width) * height, 0x5A5A5A);
    SpanRaster raster({window.data(), width, height, width}, PixelImage{});
    CallByCall oneByOne(raster);
    std::vector<uint64_t> hashes;
    std::istringstream in(script);
    std::string error;
    DrawScript(in, callByCall ? static_cast<Raster&>(oneByOne) : raster, width, height, [&](int) {
        uint64_t hash = 14695981039346656037ull;
        for (const uint32_t pixel : window) hash = (hash ^ pixel) * 1099511628211ull;
        hashes.push_back(hash);
    }, error);
    return hashes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    int32_t width = 64, height = 48;
    if (text.starts_with('@')) {
        const size_t end = std::min(text.find('\n'), text.size()), x = text.find('x');
        if (x != std::string::npos && x < end) {
            std::from_chars(text.data() + 1, text.data() + x, width);
            std::from_chars(text.data() + x + 1, text.data() + end, height);
        }
        width = std::clamp(width, 1, 512), height = std::clamp(height, 1, 512);
        text.erase(0, std::min(end + 1, text.size()));
    }
    if (DrawCases(text, false, width, height) != DrawCases(text, true, width, height)) std::abort();
    return 0;
}
