#pragma once
// The saver on an X11 display: full-screen with the close rules of the
// Windows saver, in a window of its own, or inside a window another program
// owns (the root window, or the one XScreenSaver names).

#include <cstdint>
#include <optional>

#include "settings/profile_store.h"

enum class SaverPlace {
    kFullScreen,  // covers every monitor, hides the cursor, ends on input or focus loss
    kWindow,      // a 1280 x 720 window that ends on q, Escape or the window manager's close
    kEmbedded,    // draws into `targetWindow`; no input rules; ends on SIGTERM or when the window goes
};

struct SaverRequest {
    SaverPlace place = SaverPlace::kFullScreen;
    uint64_t targetWindow = 0;  // kEmbedded: the window to draw into (0: the virtual root, else the root)
    bool showsFrameRate = false;  // the frame rate and the load in the lower left corner
};

// Runs the saver until it ends; returns the exit status (0 after a close,
// 1 when the display cannot be opened).
int RunSaverOnX11(const ProfileStore& store, const SaverRequest& request);
