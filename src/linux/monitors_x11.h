#pragma once
// What the X display tells of its monitors and of the desktop's pixel
// density, for the full-screen saver's logos.

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "host/monitor_layout.h"

// The monitors of the default screen in root window pixels, every one at
// `dpi`: the RandR 1.5 monitors where the server lists more than one, else
// the Xinerama heads (the first is the primary one), else the whole screen
// as one primary monitor. Never empty.
std::vector<Monitor> ListMonitors(Display* display, int32_t dpi);

// Asks for the events that tell of a new screen size or new monitors on the
// root window: its ConfigureNotify (the server sends one when monitors are
// set or removed) and, where the server has RandR, its screen changes.
// Returns the type those arrive as; nothing without RandR.
std::optional<int> SelectScreenChanges(Display* display);

// The desktop's dots per inch as the X resources give them in Xft.dpi
// ("144" or "144.0", rounded to whole dots); 96 when missing, malformed or
// beyond kLowestDpi..kHighestDpi.
int32_t ReadDesktopDpi(Display* display);
