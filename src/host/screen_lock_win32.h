#pragma once
// The screen lock password's platform side: the registry setting, the
// platform's password libraries (PASSWORD.CPL verifies, MPR.DLL changes)
// and the saver-running announcement. Only the older platform family
// (`legacyPlatform`) guards the desktop this way; everywhere else the
// session's own lock does, so nothing here reads, loads or announces
// anything and every close request is allowed.

#include <windows.h>

#include <cstdint>

#include "host/saver_host_state.h"

// The password library of one run, while it is loaded.
struct PasswordLibrary {
    HMODULE library = nullptr;
    // Its verification entry: the saver window in, nonzero when the right
    // password was entered. Set while the password is on.
    BOOL(WINAPI* verify)(HWND window) = nullptr;
};

// Tells the system that a saver is (or no longer is) running; legacy family only.
void AnnounceSaverRunning(bool legacyPlatform, bool running);

// Before a full-screen window is made: when the user's password is on, loads
// the verifier, sets passwordOn and announces the saver. Never called for a preview.
void LoadLockLibrary(SaverHostState& state, PasswordLibrary& lock);

// After every run: frees the verifier and withdraws the announcement.
void UnloadLockLibrary(SaverHostState& state, PasswordLibrary& lock);

// Whether the saver window may close now (WM_CLOSE on the legacy family).
// Asks the verifier through the window itself (msg::kVerifyRequest) unless
// the request is refused or allowed outright; sets closeAllowed when it may.
bool VerifyCloseRequest(SaverHostState& state, HWND window);

// The answer to msg::kVerifyRequest: the verifier's, nonzero when the right
// password was entered; 1 when the password is off.
int64_t AnswerVerifyRequest(const PasswordLibrary& lock, HWND window);

// The password-change mode (switch A): the owner is the window whose number
// starts `text`, if it exists, else the foreground window. Ends with 0.
int64_t RunPasswordChange(const char* text);

// Runs the platform's password change for the screen saver, owned by
// `owner`; nothing when MPR.DLL or its entry is missing.
void ChangeLockPassword(HWND owner);
