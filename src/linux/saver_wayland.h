#pragma once
// The saver as a native Wayland client: full screen on every output, with
// the close rules of the X11 saver.

#include "settings/profile_store.h"

// Runs the saver until it ends; returns the exit status: 0 after a close or
// a stop signal, 1 when the compositor cannot be reached, lacks what a
// full-screen surface needs, or goes away.
int RunSaverOnWayland(const ProfileStore& store);
