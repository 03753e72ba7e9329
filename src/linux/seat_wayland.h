#pragma once
// The keyboard and the pointer of one Wayland seat, followed as the seat
// gains and loses them, their input decided by the close rules.

#include <wayland-client.h>

#include <functional>
#include <optional>

#include "linux/seat_input.h"

class WaylandSeat {
public:
    // Where a surface lies in the saver's picture; none for a surface not
    // (or no longer) the saver's.
    using PlaceOf = std::function<std::optional<SurfacePlace>(wl_surface*)>;

    // Takes the seat bound from the registry.
    WaylandSeat(wl_seat* seat, PlaceOf placeOf);
    ~WaylandSeat();
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    // A key, a button or a movement has ended the saver.
    bool HasEnded() const { return hasEnded_; }

private:
    static const wl_seat_listener kSeatListener;
    static const wl_keyboard_listener kKeyboardListener;
    static const wl_pointer_listener kPointerListener;
    void Follow(uint32_t capabilities);
    void Note(const SeatMessage& input) { hasEnded_ |= EndsSaver(host_, input); }
    void NotePointer(wl_fixed_t x, wl_fixed_t y);

    wl_seat* seat_;
    PlaceOf placeOf_;
    wl_keyboard* keyboard_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_surface* pointerSurface_ = nullptr;  // the surface the pointer is over
    SaverHostState host_{};
    bool hasEnded_ = false;
};
