#pragma once
// X input events as the messages of the saver's close rules, so that the
// full-screen saver on X ends on what ends it on Windows.

#include <X11/Xlib.h>

#include "host/close_rules.h"

struct CloseRuleInput {
    WindowMessage message;  // message 0: the event means nothing to the close rules
    CursorPoint cursor;     // a motion's pointer position on the screen; else (0, 0)
    bool hasFocus;          // whether the saver window holds a real keyboard focus after the event
};

// Keys are key downs; the left, middle and right buttons their button downs
// (the wheel and extra buttons end nothing); a motion is a mouse move at the
// pointer's root position. Only a focus the window really had (`hasFocus`),
// handed to another window, counts as another program becoming active
// (activate-app with wParam 0); pointer-root focus shifts and grabs do not.
CloseRuleInput TranslateCloseInput(const XEvent& event, bool hasFocus);
