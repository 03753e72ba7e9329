#pragma once
// Reading the command line: the argument tail after the program name, and
// the run-mode switch at its start.

#include <cstdint>

// Steps from one character to the next in the system code page (a
// multi-byte character is stepped whole); never steps past the end.
using NextCharFn = const char* (*)(const char* position);

// One byte at a time, for single-byte code pages and tests.
const char* NextByte(const char* position);

// The argument text of `commandLine`: after the program name (quoted, or up
// to the first byte 0x20 or below) and the blanks and control bytes that
// follow it. Double quotes mean nothing after the program name.
const char* CutArgumentTail(const char* commandLine, NextCharFn next);

// The decimal number at the start of `text`, wrapping modulo 2^64; 0 when
// the text does not start with a digit. Used as a window number (0: none).
uint64_t ParseWindowNumber(const char* text);

enum class RunMode {
    kSettings,        // the configuration dialog; `windowNumber` 0: no owner at all
    kSettingsOwned,   // the dialog owned by window `windowNumber`, else by the foreground window
    kFullScreen,
    kPreview,         // inside parent window `windowNumber` (0: none given)
    kPasswordChange,  // owned by window `windowNumber`, else by the foreground window
    kInvalid,         // ends with -1 and shows nothing
};

struct RunSwitch {
    RunMode mode;
    const char* numberText;  // where the mode's window number starts (preview, password, C:)
    uint64_t windowNumber;   // ParseWindowNumber(numberText), or 0 where the mode reads none
};

// The switch at the start of the tail: any run of ' ', '-' and '/', then one
// letter (either case). Password change exists only on the legacy family.
RunSwitch ReadRunSwitch(const char* tail, bool legacyPlatform);
