// The --fps corner's numbers: frames and drawing time over whole seconds.

#include <gtest/gtest.h>

#include "linux/frame_rate.h"

TEST(FrameRate, RatesOfEachWholeSecondFromTheFirstFrameOn) {
    FrameRateMeter meter;
    EXPECT_EQ(DescribeFrameRate(meter).framesPerSecond, "FPS: --");
    EXPECT_EQ(DescribeFrameRate(meter).load, "Load: --");
    // 20 frames 50 ms apart, each 5 ms of drawing: the first starts the clock.
    int changes = 0;
    for (int k = 0; k <= 20; ++k) changes += CountFrame(meter, 7'000'000 + k * 50'000, 5'000);
    EXPECT_EQ(changes, 1);
    EXPECT_DOUBLE_EQ(meter.framesPerSecond, 20.0);
    EXPECT_DOUBLE_EQ(meter.loadPercent, 10.0);
    EXPECT_EQ(DescribeFrameRate(meter).framesPerSecond, "FPS: 20.0");
    EXPECT_EQ(DescribeFrameRate(meter).load, "Load: 10.0%");

    // A slow stretch: 2 frames over 1.2 s; drawing longer than the clock ran
    // (a clock step) still shows at most 100 %.
    EXPECT_FALSE(CountFrame(meter, 8'600'000, 900'000));
    EXPECT_TRUE(CountFrame(meter, 9'200'000, 900'000));
    EXPECT_NEAR(meter.framesPerSecond, 2 / 1.2, 1e-9);
    EXPECT_DOUBLE_EQ(meter.loadPercent, 100.0);
    EXPECT_EQ(meter.frames, 0);
    EXPECT_EQ(meter.busyUs, 0);
}
