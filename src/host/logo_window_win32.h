#pragma once
// The logo in the saver window, second in the window's chain of procedures:
// its settings, scene, desktop snapshot and frame timer, from the window's
// creation to its destruction.

#include <windows.h>

#include <optional>

#include "render/frame_cycle.h"
#include "render/gdi_raster_win32.h"
#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// The logo of one saver window; the window's run owns it.
struct LogoWindow {
    ProfileNames names;
    SaverSettings settings;
    LogoScene scene;
    WindowBox previousBox;  // what the last frame covered
    DesktopSnapshot snapshot;
    bool isTimerRunning;
};

// Acts on creation, destruction, background erasing and the frame timer.
// Returns the answer when the message ends here; nothing hands it on
// (creation and timer too) to the close rules.
std::optional<LRESULT> LogoWindowProc(LogoWindow& logo, HWND window, UINT message, WPARAM wParam);

// Where the desktop snapshot starts on the display, in screen pixels: a
// full-screen window's own origin, which is the virtual screen's top left
// (left of or above the primary monitor's corner when a monitor lies
// there); a preview (a child window) takes the display's top-left corner.
POINT SnapshotOrigin(HWND window);
