#include "linux/seat_input.h"

#include <linux/input-event-codes.h>

#include <cmath>

namespace {

int32_t PicturePixel(int32_t origin, uint32_t scale120, int32_t fixed) {
    // Surface pixels to picture pixels, rounded to the nearest.
    return origin + int32_t(std::lround(double(fixed) / 256.0 * scale120 / 120.0));
}

}  // namespace

SeatMessage PointerAt(const SurfacePlace& place, int32_t fixedX, int32_t fixedY) {
    return {{msg::kMouseMove, 0, 0},
            {PicturePixel(place.left, place.scale120, fixedX), PicturePixel(place.top, place.scale120, fixedY)}};
}

SeatMessage ButtonChange(uint32_t code, bool isPressed) {
    uint32_t message = 0;
    if (isPressed) {
        switch (code) {
            case BTN_LEFT: message = msg::kLButtonDown; break;
            case BTN_RIGHT: message = msg::kRButtonDown; break;
            case BTN_MIDDLE: message = msg::kMButtonDown; break;
            default: break;
        }
    }
    return {{message, 0, 0}, {0, 0}};
}

SeatMessage KeyChange(bool isPressed) { return {{isPressed ? msg::kKeyDown : 0u, 0, 0}, {0, 0}}; }

bool EndsSaver(SaverHostState& state, const SeatMessage& input) {
    if (input.message.message == 0) return false;
    const InputStep step = DecideInputStep(state, input.message, input.cursor);
    if (step.moveBaseline) {
        state.cursorBaseline = input.cursor;
        state.cursorUnread = false;
    }
    return step.requestClose;
}
