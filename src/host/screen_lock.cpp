#include "host/screen_lock.h"

CloseRequestStep BeginCloseRequest(SaverHostState& state, uint32_t now) {
    // A request from input that the verifier's own dialog dispatched.
    if (state.verifying) return {false, false};
    if (!state.passwordOn) {
        state.closeAllowed = true;
        return {false, true};
    }
    // Unsigned subtraction: a tick count that wrapped in between still gives
    // the time since the last answer.
    if (state.lastVerifyTick != kNoVerifyTick && now - state.lastVerifyTick < kReaskIntervalMs)
        return {false, state.closeAllowed};
    state.verifying = true;
    return {true, false};
}

bool FinishVerification(SaverHostState& state, int64_t answer, uint32_t now) {
    state.verifying = false;
    state.closeAllowed = answer != 0;
    state.lastVerifyTick = now;
    return state.closeAllowed;
}
