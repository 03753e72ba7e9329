#pragma once
// The saver window: its class, the full-screen and preview configurations,
// the message loop, and the record of one run, which the window keeps and
// its chain of three procedures reaches: SaverWindowProc (the class
// procedure) -> LogoWindowProc -> CloseOnInputProc.

#include <windows.h>

#include <cstdint>

// Runs one full-screen run (no parent) or one preview run inside `parent` to
// its end, for the module `module` on the older platform family when
// `legacyPlatform`. Returns the quit message's value, or 0 when no loop ran
// (another full-screen saver is running, or no window could be made).
int64_t RunSaverWindow(HINSTANCE module, bool legacyPlatform, HWND parent);
