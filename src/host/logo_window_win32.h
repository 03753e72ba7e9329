#pragma once
// The logos in the saver window, second in the window's chain of
// procedures: their settings, scenes, the desktop snapshot and the frame
// timer, from the window's creation to its destruction.

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "host/area_logo.h"
#include "render/gdi_raster_win32.h"
#include "settings/settings_store.h"

// The logos of one saver window: one over a preview; in a full-screen run
// as GAMEN lays them out over the monitors. The window's run owns them.
struct LogoWindow {
    ProfileNames names;
    std::vector<std::unique_ptr<AreaLogo>> logos;  // at least one once created
    DesktopSnapshot snapshot;
    bool isTimerRunning;
};

// Acts on creation, destruction, background erasing, the frame timer and a
// change of the monitors. Returns the answer when the message ends here;
// nothing hands it on (creation and timer too) to the close rules.
std::optional<LRESULT> LogoWindowProc(LogoWindow& logo, HWND window, UINT message, WPARAM wParam);

// Where the desktop snapshot starts on the display, in screen pixels: a
// full-screen window's own origin, which is the virtual screen's top left
// (left of or above the primary monitor's corner when a monitor lies
// there); a preview (a child window) takes the display's top-left corner.
POINT SnapshotOrigin(HWND window);
