#include <gtest/gtest.h>

#include "host/screen_lock.h"

namespace {

SaverHostState PasswordOn() {
    SaverHostState state;
    state.legacyPlatform = true;
    state.passwordOn = true;
    return state;
}

// Whether a close request at `now` asks the verifier; a refusal must not
// allow closing either.
bool Asks(SaverHostState& state, uint32_t now) {
    const CloseRequestStep step = BeginCloseRequest(state, now);
    if (!step.askVerifier) {
        EXPECT_FALSE(step.mayClose) << "at tick " << now;
    }
    return step.askVerifier;
}

TEST(ScreenLock, WithThePasswordOffTheFirstRequestClosesWithoutAsking) {
    SaverHostState state;
    state.legacyPlatform = true;
    const CloseRequestStep step = BeginCloseRequest(state, 1000);
    EXPECT_FALSE(step.askVerifier);
    EXPECT_TRUE(step.mayClose);
    EXPECT_TRUE(state.closeAllowed);
    EXPECT_FALSE(state.verifying);
}

TEST(ScreenLock, RequestsDuringAVerificationAndWithin200MsAfterItAreRefusedWithoutAsking) {
    SaverHostState state = PasswordOn();
    ASSERT_TRUE(Asks(state, 1000));
    EXPECT_TRUE(state.verifying);

    // Posted before the dialog opened, or by input it dispatched.
    EXPECT_FALSE(Asks(state, 1050));
    EXPECT_TRUE(state.verifying);
    EXPECT_FALSE(state.closeAllowed);

    EXPECT_FALSE(FinishVerification(state, 0, 1400));  // wrong password
    EXPECT_FALSE(state.verifying);
    EXPECT_EQ(state.lastVerifyTick, 1400u);
    EXPECT_FALSE(Asks(state, 1400));
    EXPECT_FALSE(Asks(state, 1599));
    EXPECT_TRUE(Asks(state, 1600));

    EXPECT_TRUE(FinishVerification(state, -1, 1700));  // nonzero: the right password
    EXPECT_TRUE(state.closeAllowed);
    EXPECT_FALSE(state.verifying);
}

TEST(ScreenLock, TheIntervalIsMeasuredAcrossATickCountWrap) {
    SaverHostState state = PasswordOn();
    ASSERT_TRUE(Asks(state, 0xFFFFFF00));
    FinishVerification(state, 0, 0xFFFFFF80);
    EXPECT_FALSE(Asks(state, 0x00000047));  // 199 ms later
    EXPECT_TRUE(Asks(state, 0x00000048));   // 200 ms later
}

// The tick stored is the same as "never verified", so the next request is
// asked at once; harmless, and once in 49.7 days of uptime at most.
TEST(ScreenLock, AVerificationEndingAtTickFFFFFFFFIsAskedAgainAtOnce) {
    SaverHostState state = PasswordOn();
    ASSERT_TRUE(Asks(state, 0xFFFFFF00));
    FinishVerification(state, 0, 0xFFFFFFFF);
    EXPECT_EQ(state.lastVerifyTick, kNoVerifyTick);
    EXPECT_TRUE(Asks(state, 0x00000005));
}

}  // namespace
