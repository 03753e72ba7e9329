#pragma once
// The screens on Windows: the virtual screen, the monitors with their dots
// per inch, and the process's awareness of them, chosen per run mode.

#include <windows.h>

#include <vector>

#include "host/monitor_layout.h"
#include "host/run_mode.h"

// A full-screen run and the dialog draw in the screens' own pixels, each
// monitor at its own dpi. A preview takes the awareness of the window it
// lives in, which may belong to a control panel of either kind: a child of
// another awareness would be placed and sized in the wrong pixels. The
// password change shows the platform's own dialog and stays as it is.
// Called before the run makes any window; where the platform lacks the
// calls it does what it can, or nothing.
void ChooseDpiAwareness(RunMode mode, HWND previewParent);

// The display monitors, in screen pixels, with their dpi (96 where the
// platform cannot say).
std::vector<Monitor> ListMonitors();

// The dpi of the monitor the window lies on most; 96 where the platform cannot say.
int32_t WindowDpi(HWND window);

// The virtual screen (every monitor), in screen pixels.
ScreenRect VirtualScreen();
