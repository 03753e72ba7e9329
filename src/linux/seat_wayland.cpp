#include "linux/seat_wayland.h"

#include <unistd.h>

namespace {

WaylandSeat* SeatOf(void* data) { return static_cast<WaylandSeat*>(data); }

}  // namespace

const wl_seat_listener WaylandSeat::kSeatListener = {
    .capabilities = [](void* data, wl_seat*, uint32_t capabilities) { SeatOf(data)->Follow(capabilities); },
    .name = [](void*, wl_seat*, const char*) {},
};

const wl_keyboard_listener WaylandSeat::kKeyboardListener = {
    .keymap = [](void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); },
    .enter = [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},  // keys held before end nothing
    .leave = [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
    .key =
        [](void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state) {
            SeatOf(data)->Note(KeyChange(state == WL_KEYBOARD_KEY_STATE_PRESSED));
        },
    .modifiers = [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .repeat_info = [](void*, wl_keyboard*, int32_t, int32_t) {},
};

const wl_pointer_listener WaylandSeat::kPointerListener = {
    .enter =
        [](void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
            wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the saver
            SeatOf(data)->pointerSurface_ = surface;
            SeatOf(data)->NotePointer(x, y);
        },
    .leave = [](void* data, wl_pointer*, uint32_t, wl_surface*) { SeatOf(data)->pointerSurface_ = nullptr; },
    .motion = [](void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) { SeatOf(data)->NotePointer(x, y); },
    .button =
        [](void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
            SeatOf(data)->Note(ButtonChange(button, state == WL_POINTER_BUTTON_STATE_PRESSED));
        },
    .axis = [](void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, uint32_t, uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, uint32_t, int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, uint32_t, int32_t) {},
};

WaylandSeat::WaylandSeat(wl_seat* seat, PlaceOf placeOf) : seat_(seat), placeOf_(std::move(placeOf)) {
    host_.cursorUnread = true;  // the pointer's place is first told when it enters a surface
    wl_seat_add_listener(seat_, &kSeatListener, this);
}

WaylandSeat::~WaylandSeat() {
    if (keyboard_) wl_keyboard_destroy(keyboard_);
    if (pointer_) wl_pointer_destroy(pointer_);
    wl_seat_destroy(seat_);
}

void WaylandSeat::Follow(uint32_t capabilities) {
    const bool hasKeyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    if (hasKeyboard && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &kKeyboardListener, this);
    } else if (!hasKeyboard && keyboard_) {
        wl_keyboard_destroy(keyboard_);
        keyboard_ = nullptr;
    }
    if (hasPointer && !pointer_) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &kPointerListener, this);
    } else if (!hasPointer && pointer_) {
        wl_pointer_destroy(pointer_);
        pointer_ = nullptr;
        pointerSurface_ = nullptr;
    }
}

void WaylandSeat::NotePointer(wl_fixed_t x, wl_fixed_t y) {
    if (!pointerSurface_) return;
    if (const std::optional<SurfacePlace> place = placeOf_(pointerSurface_)) Note(PointerAt(*place, x, y));
}
