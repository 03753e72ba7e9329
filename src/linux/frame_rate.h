#pragma once
// The frame rate and the load of the saver, for the --fps corner.

#include <cstdint>
#include <string>

// Frames counted over the current second, and the rates of the last whole one.
struct FrameRateMeter {
    int64_t countStartUs = -1;  // when the current second began; -1 before the first frame
    int32_t frames = 0;         // frames ended in the current second
    int64_t busyUs = 0;         // time spent drawing them
    double framesPerSecond = 0;
    double loadPercent = 0;     // the share of the time spent drawing, 0..100
};

// Counts one frame that ended at `nowUs` (a monotonic clock, microseconds)
// after `busyUs` of drawing. Once a second or more has passed since the count
// began, its rates replace the shown ones and a new count begins. Returns
// true when the shown rates changed.
bool CountFrame(FrameRateMeter& meter, int64_t nowUs, int64_t busyUs);

// The two lines to show, e.g. "FPS: 18.2" and "Load: 3.1%"; dashes before
// the first whole second.
struct FrameRateText {
    std::string framesPerSecond, load;
};
FrameRateText DescribeFrameRate(const FrameRateMeter& meter);
