#pragma once
// The saver window: its class, the full-screen and preview configurations,
// the message loop, and the two host procedures of its chain of three:
// SaverWindowProc (the class procedure) -> LogoWindowProc -> CloseOnInputProc.

#include <windows.h>

#include <cstdint>

#include "host/saver_host_state.h"

// The process's one host record.
extern SaverHostState saverHost;

// Runs one full-screen run (no parent) or one preview run inside `parent` to
// its end. Returns the quit message's value, or 0 when no loop ran (another
// full-screen saver is running, or no window could be made).
int64_t RunSaverWindow(HWND parent);

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CloseOnInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
