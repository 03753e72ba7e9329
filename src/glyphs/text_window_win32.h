#pragma once
// korunex-text.exe's window: the text or the clock, the font, the monitors,
// a preview and each letter's deviation; Save writes what the console tool
// writes for the same choice.

#include <windows.h>

// Runs the window until it is closed; 0 unless it could not be opened.
int RunTextWindow(HINSTANCE instance);

// True when the settings file `fileName` (a bare name is the one in the
// Windows folder) is marked read-only. The tool then writes nothing, also
// where the file system would let the profile calls write it anyway (an
// administrator's process under Wine).
bool IsReadOnlyFile(const char* fileName);
