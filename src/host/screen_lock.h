#pragma once
// The screen lock password of the older platform family: what a close
// request meets before the saver window may close. The window asks the
// platform's verifier, which runs its own modal dialog while the saver keeps
// receiving messages; these steps keep such nested messages from opening a
// second dialog and keep close requests that queued up meanwhile from
// opening another one right after it.

#include <cstdint>

#include "host/saver_host_state.h"

// After a verification has ended, close requests are refused without asking
// for this many milliseconds.
inline constexpr uint32_t kReaskIntervalMs = 200;

struct CloseRequestStep {
    bool askVerifier = false;  // `verifying` is now set: ask, then FinishVerification
    bool mayClose = false;     // the answer when the verifier is not asked
};

// The first half of a close request, at tick count `now` (milliseconds,
// wrapping at 2^32). Refused while a verification runs and within the
// re-ask interval after one; allowed (closeAllowed set) when the password
// is off; otherwise the verifier is to be asked.
CloseRequestStep BeginCloseRequest(SaverHostState& state, uint32_t now);

// The second half, once the verifier has answered (nonzero: the right
// password) at tick count `now`. Returns whether the window may close; on
// false the caller hides the cursor again.
bool FinishVerification(SaverHostState& state, int64_t answer, uint32_t now);
