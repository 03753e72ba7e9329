// Any settings file and any window size: 200 frames from creation on, every
// wall painted at most once, every point on the frame surface, the frame
// surface never more than twice the window.
//
// An input may start with a line "@WxH" giving the window size; otherwise it is 640 x 480.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "settings/ini_file.h"
#include "render/frame_cycle.h"
#include "render/recording_raster.h"

namespace {

void ReadWindowSize(std::string_view& text, int32_t& width, int32_t& height) {
    if (!text.starts_with('@')) return;
    const size_t x = text.find('x'), end = std::min(text.find('\n'), text.size());
    if (x == std::string_view::npos || x > end) return;
    std::from_chars(text.data() + 1, text.data() + x, width);
    std::from_chars(text.data() + x + 1, text.data() + end, height);
    width = std::clamp(width, 1, 4096);
    height = std::clamp(height, 1, 4096);
    text.remove_prefix(std::min(end + 1, text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int32_t width = 640, height = 480;
    ReadWindowSize(text, width, height);

    IniTextStore store{std::string(text)};
    ProfileNames names;
    auto settings = std::make_unique<SaverSettings>();
    auto scene = std::make_unique<LogoScene>();
    CreateLogo(store, names, *settings, *scene, width, height);
    SeedRandom(*scene, uint32_t(size));

    RecordingRaster raster;
    for (int frame = 0; frame < 200; ++frame) {
        raster.calls.clear();
        FrameRecord record{};
        RenderFrame(*scene, *settings, raster, &record);

        const RasterCall& begin = raster.calls.front();
        if (begin.kind != RasterCall::kBeginFrame || raster.calls.back().kind != RasterCall::kPresentFrame) std::abort();
        if (begin.width < 1 || begin.height < 1 || begin.width > 2 * width || begin.height > 2 * height) std::abort();
        for (const RasterCall& call : raster.calls)
            for (const RasterPoint& p : call.points)
                if (p.x < 0 || p.x > begin.width || p.y < 0 || p.y > begin.height) std::abort();
        for (int s = 1; s <= settings->OPTIONN; ++s) {
            const int32_t n = scene->slots[s].shape.pointCount;
            if (record.paintCount[s] < 0 || record.paintCount[s] > n) std::abort();
            bool seen[kMaxPoints + 1] = {};
            for (int k = 0; k < record.paintCount[s]; ++k) {
                const int32_t face = record.paintOrder[s][k];
                if (face < 1 || face > n || seen[face]) std::abort();
                seen[face] = true;
            }
        }
        if (scene->turnAngle < 0 || scene->turnAngle >= 360) std::abort();
    }
    return 0;
}
