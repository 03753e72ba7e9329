#pragma once
// The screen lock password's calls as the saver window makes them. Only the
// older platform family verifies a password itself; everywhere else the
// desktop locks the session, so nothing here loads or asks anything and
// every close request is allowed.

#include <cstdint>

#include "host/saver_host_state.h"

// Tells the system that a saver is (or no longer is) running; legacy family only.
void AnnounceSaverRunning(SaverHostState& state, bool running);

// Before a full-screen window is made: arms the verifier when the user's
// password is on. Never called for a preview.
void LoadLockSettings(SaverHostState& state);

// After every run: frees the verifier and withdraws the announcement.
void UnloadLockLibrary(SaverHostState& state);

// Whether the saver window may close now. Sets closeAllowed when it may.
bool VerifyCloseRequest(SaverHostState& state, void* window);

// The answer to the verification request (message 0x8000): nonzero when the
// right password was entered; 1 when no password is asked.
int64_t AnswerVerifyRequest(SaverHostState& state, void* window);

// The password-change mode: the owner is window `text` names, if it exists,
// else the foreground window. Ends with 0.
int64_t RunPasswordChange(SaverHostState& state, const char* text);
