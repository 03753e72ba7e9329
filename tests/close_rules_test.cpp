#include <gtest/gtest.h>

#include "host/close_rules.h"

namespace {

constexpr CursorPoint kHome{500, 300};

SaverHostState FullScreen() {
    SaverHostState state;
    state.cursorBaseline = kHome;
    return state;
}

SaverHostState Preview() {
    SaverHostState state = FullScreen();
    state.previewMode = true;
    return state;
}

// What CloseOnInputProc does with a message, the cursor at `cursor`; the
// baseline moves in `state` as the procedure would move it.
InputStep Input(SaverHostState& state, uint32_t message, uint64_t wParam = 0, int64_t lParam = 0,
                CursorPoint cursor = kHome) {
    const InputStep step = DecideInputStep(state, {message, wParam, lParam}, cursor);
    if (step.moveBaseline) {
        state.cursorBaseline = cursor;
        state.cursorUnread = false;
    }
    return step;
}

bool MoveCloses(SaverHostState& state, CursorPoint cursor) {
    return Input(state, msg::kMouseMove, 0, 0, cursor).requestClose;
}

TEST(MouseRule, FourPixelsFromTheBaselineDoNotCloseFiveDo) {
    SaverHostState state = FullScreen();
    EXPECT_FALSE(MoveCloses(state, {503, 301}));  // 3 right, 1 down
    EXPECT_FALSE(MoveCloses(state, {496, 300}));
    EXPECT_FALSE(MoveCloses(state, {500, 296}));
    EXPECT_TRUE(MoveCloses(state, {503, 302}));   // 3 right, 2 down
    EXPECT_EQ(state.cursorBaseline.x, 503);       // measured afresh from the closing position
    EXPECT_EQ(state.cursorBaseline.y, 302);

    state = FullScreen();
    EXPECT_TRUE(MoveCloses(state, {497, 298}));   // left and up count the same
}

// A baseline that could not be read at creation is not the screen's corner:
// the first position read becomes the baseline and ends nothing.
TEST(MouseRule, AnUnreadBaselineIsTakenFromTheFirstMove) {
    SaverHostState state;
    state.cursorUnread = true;
    EXPECT_FALSE(MoveCloses(state, {900, 700}));
    EXPECT_FALSE(state.cursorUnread);
    EXPECT_EQ(state.cursorBaseline.x, 900);
    EXPECT_FALSE(MoveCloses(state, {902, 702}));
    EXPECT_TRUE(MoveCloses(state, {903, 702}));
}

TEST(MouseRule, SmallMovesAddUpAgainstTheUnchangedBaseline) {
    SaverHostState state = FullScreen();
    EXPECT_FALSE(MoveCloses(state, {502, 300}));
    EXPECT_FALSE(MoveCloses(state, {504, 300}));
    EXPECT_TRUE(MoveCloses(state, {506, 300}));

    state = FullScreen();
    const CursorPoint jitter[] = {{502, 301}, {498, 299}, {501, 303}, {499, 297}, {500, 300}, {504, 300}};
    for (const CursorPoint& p : jitter) EXPECT_FALSE(MoveCloses(state, p));
    EXPECT_FALSE(MoveCloses(state, kHome));  // a move message without movement
}

TEST(MouseRule, FarOffCoordinatesDoNotOverflow) {
    EXPECT_TRUE(MovedBeyondTolerance({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}));
    EXPECT_TRUE(MovedBeyondTolerance({-3000, 0}, {3000, 0}));
    EXPECT_FALSE(MovedBeyondTolerance({-1, -1}, {1, -3}));
}

TEST(InputRules, KeysAndButtonsCloseReleasesCharactersAndTheWheelDoNot) {
    for (uint32_t m : {msg::kKeyDown, msg::kSysKeyDown, msg::kLButtonDown, msg::kRButtonDown, msg::kMButtonDown}) {
        SaverHostState state = FullScreen();
        const InputStep step = Input(state, m);
        EXPECT_TRUE(step.requestClose) << std::hex << m;
        EXPECT_EQ(step.reply, Reply::kDefault) << std::hex << m;
    }
    for (uint32_t m : {msg::kKeyUp, msg::kChar, msg::kLButtonUp, msg::kLButtonDblClk, msg::kMouseWheel,
                       msg::kXButtonDown}) {
        SaverHostState state = FullScreen();
        EXPECT_FALSE(Input(state, m).requestClose) << std::hex << m;
    }
}

TEST(InputRules, ActivationShowingAndTheCursorRequest) {
    SaverHostState state = FullScreen();
    EXPECT_TRUE(Input(state, msg::kActivateApp, 0).requestClose);   // another application activated
    EXPECT_FALSE(Input(state, msg::kActivateApp, 1).requestClose);

    EXPECT_TRUE(Input(state, msg::kShowWindow, 0x1'0000'0001).hideCursor);
    EXPECT_FALSE(Input(state, msg::kShowWindow, 0x1'0000'0000).hideCursor);  // only the low 32 bits count

    const InputStep setCursor = Input(state, msg::kSetCursor);
    EXPECT_TRUE(setCursor.hideCursor);
    EXPECT_EQ(setCursor.reply, Reply::kValue);
    EXPECT_EQ(setCursor.value, 1);

    EXPECT_TRUE(Input(state, msg::kPower, 3).requestClose);  // critical resume
    EXPECT_FALSE(Input(state, msg::kPower, 2).requestClose);
}

TEST(InputRules, PowerEventsRowByRow) {
    SaverHostState state = FullScreen();
    const InputStep query = Input(state, msg::kPowerBroadcast, 0);
    EXPECT_FALSE(query.requestClose);
    EXPECT_EQ(query.reply, Reply::kValue);  // suspension granted
    EXPECT_EQ(query.value, 1);

    for (uint64_t event : {1, 2, 3, 4, 5}) EXPECT_TRUE(PowerEventEndsSaver(event, 0)) << event;
    for (uint64_t event : {6, 7, 8, 18}) {
        EXPECT_TRUE(PowerEventEndsSaver(event, 0)) << event;
        EXPECT_FALSE(PowerEventEndsSaver(event, 1)) << event;  // resumed from a failure
        EXPECT_TRUE(PowerEventEndsSaver(event, 2)) << event;
    }
    for (uint64_t event : {10, 0x8013}) EXPECT_FALSE(PowerEventEndsSaver(event, 0)) << event;
    for (uint64_t event : {9, 11, 12, 0x1234}) EXPECT_TRUE(PowerEventEndsSaver(event, 0)) << event;

    EXPECT_TRUE(Input(state, msg::kPowerBroadcast, 4).requestClose);
    EXPECT_FALSE(Input(state, msg::kPowerBroadcast, 7, 1).requestClose);
    EXPECT_EQ(Input(state, msg::kPowerBroadcast, 4).reply, Reply::kDefault);
}

TEST(InputRules, PreviewClosingAllowedAndVerifyingEndNothing) {
    const uint32_t closing[] = {msg::kKeyDown, msg::kLButtonDown, msg::kActivateApp, msg::kPowerBroadcast};
    SaverHostState preview = Preview(), allowed = FullScreen(), verifying = FullScreen();
    allowed.closeAllowed = true;
    verifying.verifying = true;
    for (SaverHostState* state : {&preview, &allowed, &verifying}) {
        for (uint32_t m : closing) {
            const InputStep step = Input(*state, m, 4);
            EXPECT_FALSE(step.requestClose) << std::hex << m;
            EXPECT_EQ(step.reply, Reply::kDefault) << std::hex << m;
        }
        EXPECT_FALSE(MoveCloses(*state, {900, 900}));
    }
    EXPECT_FALSE(Input(preview, msg::kSetCursor).hideCursor);  // a preview keeps the cursor
}

TEST(InputRules, CloseAndVerifyRequestAskThePasswordOnlyOnTheLegacyFamily) {
    SaverHostState state = FullScreen();
    EXPECT_FALSE(Input(state, msg::kClose).askPassword);
    EXPECT_EQ(Input(state, msg::kClose).reply, Reply::kDefault);  // destroys the window
    EXPECT_FALSE(Input(state, msg::kVerifyRequest).answerVerifyRequest);

    state.legacyPlatform = true;
    state.verifying = true;  // a close request during the verification still reaches it
    EXPECT_TRUE(Input(state, msg::kClose).askPassword);
    EXPECT_TRUE(Input(state, msg::kVerifyRequest).answerVerifyRequest);

    SaverHostState preview = Preview();
    preview.legacyPlatform = true;
    EXPECT_FALSE(Input(preview, msg::kClose).askPassword);
}

SaverStep Saver(const SaverHostState& state, uint32_t message, uint64_t wParam = 0) {
    return DecideSaverStep(state, {message, wParam, 0});
}

TEST(SaverRules, SystemCommandsThatSwitchAwayAreSwallowed) {
    const SaverHostState state = FullScreen();
    for (uint64_t command : {0xF040, 0xF050, 0xF140, 0xF14F}) {
        const SaverStep step = Saver(state, msg::kSysCommand, command);
        EXPECT_EQ(step.reply, Reply::kValue) << std::hex << command;
        EXPECT_EQ(step.value, 0) << std::hex << command;
    }
    const SaverStep monitorOff = Saver(state, msg::kSysCommand, 0xF170);
    EXPECT_TRUE(monitorOff.requestClose);
    EXPECT_EQ(monitorOff.reply, Reply::kPassOn);  // the monitor still turns off
    EXPECT_EQ(Saver(state, msg::kSysCommand, 0xF060).reply, Reply::kPassOn);

    for (uint64_t command : {0xF040, 0xF170}) {
        const SaverStep step = Saver(Preview(), msg::kSysCommand, command);
        EXPECT_EQ(step.reply, Reply::kPassOn);
        EXPECT_FALSE(step.requestClose);
    }
}

TEST(SaverRules, TitleNeverChangesAndHelpGoesToThePreviewsParent) {
    EXPECT_EQ(Saver(FullScreen(), msg::kSetText).reply, Reply::kValue);
    EXPECT_EQ(Saver(FullScreen(), msg::kSetText).value, 0);

    for (uint32_t m : {msg::kHelp, msg::kContextMenu}) {
        const SaverStep preview = Saver(Preview(), m);
        EXPECT_TRUE(preview.forwardToParent);
        EXPECT_EQ(preview.reply, Reply::kValue);
        EXPECT_EQ(preview.value, 1);
        EXPECT_FALSE(Saver(FullScreen(), m).forwardToParent);
        EXPECT_EQ(Saver(FullScreen(), m).reply, Reply::kPassOn);
    }
}

TEST(SaverRules, OnceClosingIsAllowedNoFrameAndNoInputReachesTheLogo) {
    SaverHostState state = FullScreen();
    const SaverStep tick = Saver(state, msg::kTimer, 100);
    EXPECT_TRUE(tick.yieldSlice);
    EXPECT_EQ(tick.reply, Reply::kPassOn);

    state.closeAllowed = true;
    EXPECT_EQ(Saver(state, msg::kTimer).reply, Reply::kValue);
    EXPECT_FALSE(Saver(state, msg::kTimer).yieldSlice);
    for (uint32_t m : {msg::kPaint, msg::kKeyDown, msg::kMouseMove, msg::kRButtonDown}) {
        EXPECT_EQ(Saver(state, m).reply, Reply::kDefault) << std::hex << m;
        EXPECT_FALSE(Saver(state, m).hideCursor) << std::hex << m;
    }
}

}  // namespace
