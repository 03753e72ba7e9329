#pragma once
// The logo's own window procedure, second in the saver window's chain: it
// acts on creation, destruction, background erasing and its frame timer and
// hands everything else (creation and timer too) to CloseOnInputProc.

#include <windows.h>

LRESULT CALLBACK LogoWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Where the desktop snapshot starts on the display, in screen pixels: a
// full-screen window's own origin, which is the virtual screen's top left
// (left of or above the primary monitor's corner when a monitor lies
// there); a preview (a child window) takes the display's top-left corner.
POINT SnapshotOrigin(HWND window);
