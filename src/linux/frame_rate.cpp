#include "linux/frame_rate.h"

#include <algorithm>
#include <cstdio>

bool CountFrame(FrameRateMeter& meter, int64_t nowUs, int64_t busyUs) {
    if (meter.countStartUs < 0) {
        // The first frame only starts the clock: the time before it is not the saver's.
        meter.countStartUs = nowUs;
        return false;
    }
    ++meter.frames;
    meter.busyUs += std::max<int64_t>(busyUs, 0);
    const int64_t elapsedUs = nowUs - meter.countStartUs;
    if (elapsedUs < 1'000'000) return false;
    meter.framesPerSecond = meter.frames * 1e6 / double(elapsedUs);
    meter.loadPercent = std::min(100.0, meter.busyUs * 100.0 / double(elapsedUs));
    meter.countStartUs = nowUs;
    meter.frames = 0;
    meter.busyUs = 0;
    return true;
}

FrameRateText DescribeFrameRate(const FrameRateMeter& meter) {
    const bool hasRates = meter.framesPerSecond > 0;
    char framesPerSecond[32] = "FPS: --", load[32] = "Load: --";
    if (hasRates) {
        std::snprintf(framesPerSecond, sizeof framesPerSecond, "FPS: %.1f", meter.framesPerSecond);
        std::snprintf(load, sizeof load, "Load: %.1f%%", meter.loadPercent);
    }
    return {framesPerSecond, load};
}
