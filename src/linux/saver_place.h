#pragma once
// Where and how `korunex saver` draws, decided from its options and the environment
// the way XScreenSaver and its settings program expect of a hack.

#include "linux/command_line.h"
#include "linux/saver_x11.h"

// `xscreensaverWindow` is the value of XSCREENSAVER_WINDOW, nullptr when it
// is unset. --window-id wins over --root; --root means the window
// XScreenSaver names when it names one, else the (virtual) root window; with
// neither, a named window is used and otherwise the saver runs full-screen.
// Throws UsageError for --window together with another place, or for a
// window id that cannot be read.
SaverRequest ChooseSaverPlace(const Options& options, const char* xscreensaverWindow);

// Whether the saver runs as a Wayland client rather than on X11: asked by
// --wayland, or in a Wayland session without an X display (`waylandDisplay`
// and `display` are WAYLAND_DISPLAY and DISPLAY, nullptr when unset) when
// nothing asks for an X window. Throws UsageError for --wayland together
// with --window, --root or --window-id, which name X windows.
bool ChoosesWayland(const Options& options, const char* waylandDisplay, const char* display,
                    const char* xscreensaverWindow);
