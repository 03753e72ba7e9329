#pragma once
// The process entry and the run modes it dispatches to.

#include <windows.h>

#include <cstdint>

// Cuts the argument tail out of the raw command line, runs its mode and ends
// the process with the low 32 bits of the result. Never returns.
[[noreturn]] void StartFromCommandLine();

// Prepares the process (heap policy, common controls, platform family) and
// runs the mode the tail's switch names, inside the fault guard.
int64_t DispatchRunMode(HINSTANCE moduleInstance, const char* tail);

// The preview inside the parent window whose number starts `text`; -1 when
// there is no such window.
int64_t RunPreview(const char* text);

// The configuration dialog, modal to `owner` (or to nothing).
int64_t OpenSettingsDialog(HWND owner);

// Asks the platform to end the process when it finds its heap corrupted.
void HardenProcessHeap();
