#pragma once
// The desktop picture of one output, read through the compositor's screen
// copy protocol before the saver covers it.

#include <wayland-client.h>

#include <cstdint>
#include <vector>

#include "wlr-screencopy-unstable-v1-client-protocol.h"

struct OutputPicture {
    std::vector<uint32_t> pixels;  // rows of width pixels 0x00RRGGBB; empty: none
    int32_t width = 0, height = 0;
};

// Copies what `output` shows now, without the cursor, in the output's own
// pixels. Waits for the compositor up to two seconds; gives an empty
// picture when it refuses, is slow, or offers a pixel format of no 8-bit
// channels.
OutputPicture CopyOutput(wl_display* display, wl_shm* shm, zwlr_screencopy_manager_v1* manager, wl_output* output);
