// The Wayland seat's input through the close rules: what ends the saver,
// as sequences of events on two outputs side by side.

#include "linux/seat_input.h"

#include <linux/input-event-codes.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The left output at picture x 0 at scale 1; the right one at x 1920 at scale 2.
constexpr SurfacePlace kLeft{0, 0, 120}, kRight{1920, 0, 240};

int32_t Fixed(double pixels) { return int32_t(pixels * 256); }

struct Case {
    std::string what;
    std::vector<SeatMessage> events;
    int endsAt;  // the event that ends the saver; -1: none
};

TEST(SeatInput, EventSequencesEndTheSaverAsTheCloseRulesSay) {
    const auto at = [](SurfacePlace place, double x, double y) { return PointerAt(place, Fixed(x), Fixed(y)); };
    const std::vector<Case> cases = {
        {"the first position only arms the baseline", {at(kLeft, 500, 500)}, -1},
        {"four pixels in all stay within tolerance", {at(kLeft, 500, 500), at(kLeft, 502, 502), at(kLeft, 498, 500)}, -1},
        {"five pixels away end it", {at(kLeft, 500, 500), at(kLeft, 503, 502)}, 1},
        {"small moves add up against the baseline", {at(kLeft, 10, 10), at(kLeft, 12, 10), at(kLeft, 14, 10), at(kLeft, 15, 10)}, 3},
        {"sub-pixel jitter rounds to nothing", {at(kLeft, 100, 100), at(kLeft, 100.4, 100.4), at(kLeft, 99.6, 100)}, -1},
        {"crossing onto the next output is a small move", {at(kLeft, 1918, 300), at(kRight, 0.5, 150)}, -1},
        {"a scaled output's pixels count twice", {at(kRight, 100, 100), at(kRight, 102, 101)}, 1},
        {"a jump to the far output ends it", {at(kLeft, 100, 100), at(kRight, 100, 100)}, 1},
        {"left, right and middle buttons end it", {ButtonChange(BTN_LEFT, true)}, 0},
        {"the right button", {ButtonChange(BTN_RIGHT, true)}, 0},
        {"the middle button", {ButtonChange(BTN_MIDDLE, true)}, 0},
        {"side buttons and releases do not", {ButtonChange(BTN_SIDE, true), ButtonChange(BTN_EXTRA, true), ButtonChange(BTN_LEFT, false)}, -1},
        {"a key press ends it", {KeyChange(false), KeyChange(true)}, 1},
    };
    for (const Case& c : cases) {
        SaverHostState state{};
        state.cursorUnread = true;
        int ended = -1;
        for (size_t i = 0; i < c.events.size() && ended < 0; ++i)
            if (EndsSaver(state, c.events[i])) ended = int(i);
        EXPECT_EQ(ended, c.endsAt) << c.what;
    }
}

TEST(SeatInput, NoInputEndsTheSaverOnceClosingIsUnderWay) {
    SaverHostState state{};
    state.closeAllowed = true;
    EXPECT_FALSE(EndsSaver(state, KeyChange(true)));
    EXPECT_FALSE(EndsSaver(state, ButtonChange(BTN_LEFT, true)));
}

}  // namespace
