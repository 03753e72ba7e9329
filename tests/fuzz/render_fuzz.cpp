// Any settings file (the clock and its format too) and any window size:
// 200 frames from creation on, a second apart for the clock, every
// wall painted at most once, every point on the frame surface, the frame
// surface never more than twice the window.
//
// An input may start with a line "@WxH" giving the window size, or
// "@WxH/DPI" with the screen's dpi too; otherwise it is 640 x 480 at 96 dpi.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "../frame_invariants.h"
#include "../logo_fixture.h"
#include "scene/logo_clock.h"
#include "settings/ini_text_store.h"

namespace {

void ReadWindowSize(std::string_view& text, int32_t& width, int32_t& height, int32_t& dpi) {
    if (!text.starts_with('@')) return;
    const size_t x = text.find('x'), end = std::min(text.find('\n'), text.size());
    if (x == std::string_view::npos || x > end) return;
    std::from_chars(text.data() + 1, text.data() + x, width);
    const char* afterHeight = std::from_chars(text.data() + x + 1, text.data() + end, height).ptr;
    // Any dpi at all: the scene keeps it to what a screen may claim.
    if (afterHeight < text.data() + end && *afterHeight == '/') std::from_chars(afterHeight + 1, text.data() + end, dpi);
    width = std::clamp(width, 1, 4096);
    height = std::clamp(height, 1, 4096);
    text.remove_prefix(std::min(end + 1, text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int32_t width = 640, height = 480, dpi = 96;
    ReadWindowSize(text, width, height, dpi);

    IniTextStore store{std::string(text)};
    const auto [names, settings, scene] = CreateTestLogo(store, width, height, dpi);
    SeedRandom(*scene, uint32_t(size));
    LogoClock clock(store, names);
    std::tm time{};
    time.tm_year = 126, time.tm_mday = 31, time.tm_hour = 23, time.tm_min = 59, time.tm_sec = 40;

    RecordingRaster raster;
    WindowBox previous = FirstPreviousBox(*scene);
    for (int frame = 0; frame < 200; ++frame) {
        raster.calls.clear();
        FrameRecord record{};
        if (clock.IsOn()) {
            time.tm_sec = (time.tm_sec + 1) % 60;
            clock.Show(time, *settings, *scene);
        }
        previous = RenderFrame(*scene, *settings, raster, previous, &record);

        if (!FrameKeepsItsBounds(raster, record, *scene, *settings, width, height)) std::abort();
    }
    return 0;
}
