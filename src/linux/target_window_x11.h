#pragma once
// The X window the saver draws into: one of its own, or one another program
// owns; and what the saver takes from the display around it.

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "host/saver_host_state.h"
#include "linux/saver_x11.h"

struct TargetWindow {
    Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;                  // bits per pixel of the visual
    int32_t width = 0, height = 0;  // pixels
    bool isOwn = false;             // created here, so destroyed here
};

// A window of our own for kFullScreen (over every monitor, no window
// manager, cursor hidden) or kWindow (1280 x 720, closed by the window
// manager's close); it listens to input, focus, structure and exposure.
TargetWindow CreateOwnWindow(Display* display, SaverPlace place);

// Another program's window, watched for structure and exposure only.
// Nothing when the window does not exist.
std::optional<TargetWindow> AdoptWindow(Display* display, Window window);

// The pointer's position on the screen, as the close rules measure it.
CursorPoint QueryPointer(Display* display, Window window);

// The desktop as it looks now, width x height pixels from its top left
// corner as 0x00RRGGBB, row after row; our own picture when the screen
// cannot be read.
std::vector<uint32_t> TakeDesktopSnapshot(Display* display, int32_t width, int32_t height);
