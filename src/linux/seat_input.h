#pragma once
// A Wayland seat's input on the saver's surfaces as the messages of the
// close rules, so that the saver ends there on what ends it on X11 and on
// Windows. No Wayland types: positions come as the protocol's 24.8 fixed
// point numbers, buttons as Linux input event codes.

#include <cstdint>

#include "host/close_rules.h"

// Where a surface lies in the saver's picture: its top left there, and how
// many picture pixels a surface pixel spans, in 120ths (120: one).
struct SurfacePlace {
    int32_t left, top;
    uint32_t scale120;
};

struct SeatMessage {
    WindowMessage message;  // message 0: nothing the close rules look at
    CursorPoint cursor;     // a mouse move's position in the picture; else (0, 0)
};

// The pointer entering a surface or moving over it, at surface-local
// (fixedX, fixedY): a mouse move at that place of the picture. Entering
// counts as a move, so that crossing onto another output is measured too.
SeatMessage PointerAt(const SurfacePlace& place, int32_t fixedX, int32_t fixedY);

// A button press: the left, right and middle buttons' downs; side buttons,
// releases and the wheel end nothing.
SeatMessage ButtonChange(uint32_t code, bool isPressed);

// A key press is a key down; a release is nothing.
SeatMessage KeyChange(bool isPressed);

// Applies the close rules to one message, moving the baseline where they
// say (the first position seen arms it, as `state.cursorUnread` asks);
// true when the saver ends.
bool EndsSaver(SaverHostState& state, const SeatMessage& input);
