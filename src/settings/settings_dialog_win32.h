#pragma once
// The configuration dialog on Windows: template 2003 run through the
// wide-character calls, so that its Japanese texts show on any system code
// page. The ini file itself stays in the system's 8-bit code page.

#include <windows.h>

// Runs the dialog modally to `owner` (or to nothing) and returns how it
// ended: 1 after OK has saved the settings, 0 after Cancel, -1 when the
// dialog could not be created.
int RunSettingsDialog(HINSTANCE module, HWND owner);
