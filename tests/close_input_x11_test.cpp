// GoogleTest first: Xlib's macros (None, Bool) would break its templates.
#include <gtest/gtest.h>

#include "linux/close_input_x11.h"

namespace {

XEvent Key() {
    XEvent event{};
    event.type = KeyPress;
    return event;
}

XEvent Button(unsigned int button) {
    XEvent event{};
    event.type = ButtonPress;
    event.xbutton.button = button;
    return event;
}

XEvent Motion(int rootX, int rootY) {
    XEvent event{};
    event.type = MotionNotify;
    event.xmotion.x = 1, event.xmotion.y = 2;  // window-relative: not what the rules measure
    event.xmotion.x_root = rootX, event.xmotion.y_root = rootY;
    return event;
}

XEvent Focus(int type, int mode, int detail) {
    XEvent event{};
    event.type = type;
    event.xfocus.mode = mode;
    event.xfocus.detail = detail;
    return event;
}

uint32_t MessageOf(const XEvent& event, bool hasFocus = true) {
    return TranslateCloseInput(event, hasFocus).message.message;
}

TEST(CloseInput, KeysButtonsAndMotionBecomeTheirMessages) {
    EXPECT_EQ(MessageOf(Key()), msg::kKeyDown);
    EXPECT_EQ(MessageOf(Button(Button1)), msg::kLButtonDown);
    EXPECT_EQ(MessageOf(Button(Button2)), msg::kMButtonDown);
    EXPECT_EQ(MessageOf(Button(Button3)), msg::kRButtonDown);
    for (unsigned int wheelOrExtra : {4u, 5u, 6u, 7u, 8u, 9u}) EXPECT_EQ(MessageOf(Button(wheelOrExtra)), 0u);

    const CloseRuleInput move = TranslateCloseInput(Motion(-1200, 40), false);
    EXPECT_EQ(move.message.message, msg::kMouseMove);
    EXPECT_EQ(move.cursor.x, -1200) << "a monitor left of the primary one";
    EXPECT_EQ(move.cursor.y, 40);
    EXPECT_FALSE(move.hasFocus);

    XEvent expose{};
    expose.type = Expose;
    EXPECT_EQ(MessageOf(expose), 0u);
    EXPECT_TRUE(TranslateCloseInput(expose, true).hasFocus) << "other events leave the focus alone";
}

TEST(CloseInput, OnlyARealFocusHandedAwayMeansAnotherProgramIsActive) {
    // Focus arriving: only a normal focus that is not the pointer's counts.
    EXPECT_TRUE(TranslateCloseInput(Focus(FocusIn, NotifyNormal, NotifyNonlinear), false).hasFocus);
    EXPECT_TRUE(TranslateCloseInput(Focus(FocusIn, NotifyNormal, NotifyAncestor), false).hasFocus);
    EXPECT_FALSE(TranslateCloseInput(Focus(FocusIn, NotifyNormal, NotifyPointer), false).hasFocus);
    EXPECT_FALSE(TranslateCloseInput(Focus(FocusIn, NotifyGrab, NotifyNonlinear), false).hasFocus);
    EXPECT_TRUE(TranslateCloseInput(Focus(FocusIn, NotifyGrab, NotifyNonlinear), true).hasFocus) << "kept once had";
    EXPECT_EQ(MessageOf(Focus(FocusIn, NotifyNormal, NotifyNonlinear)), 0u);

    // Focus leaving to another window ends the saver with wParam 0.
    for (int detail : {NotifyAncestor, NotifyVirtual, NotifyNonlinear, NotifyNonlinearVirtual}) {
        const CloseRuleInput away = TranslateCloseInput(Focus(FocusOut, NotifyNormal, detail), true);
        EXPECT_EQ(away.message.message, msg::kActivateApp) << detail;
        EXPECT_EQ(away.message.wParam, 0u);
        EXPECT_EQ(MessageOf(Focus(FocusOut, NotifyNormal, detail), false), 0u) << "a focus never had: " << detail;
    }
    // Shifts within the window, of the pointer's focus, and grabs do not.
    for (int detail : {NotifyInferior, NotifyPointer, NotifyPointerRoot, NotifyDetailNone})
        EXPECT_EQ(MessageOf(Focus(FocusOut, NotifyNormal, detail)), 0u) << detail;
    EXPECT_EQ(MessageOf(Focus(FocusOut, NotifyGrab, NotifyNonlinear)), 0u);
    EXPECT_EQ(MessageOf(Focus(FocusOut, NotifyUngrab, NotifyNonlinear)), 0u);
}

// The translation and the close rules together, as the full-screen saver runs them.
TEST(CloseInput, ThroughTheCloseRulesSmallMovesStayAndAKeyCloses) {
    SaverHostState host;
    host.cursorBaseline = {100, 100};
    bool hasFocus = false;
    auto closes = [&](const XEvent& event) {
        const CloseRuleInput input = TranslateCloseInput(event, hasFocus);
        hasFocus = input.hasFocus;
        if (input.message.message == 0) return false;
        const InputStep step = DecideInputStep(host, input.message, input.cursor);
        if (step.moveBaseline) host.cursorBaseline = input.cursor;
        return step.requestClose;
    };
    EXPECT_FALSE(closes(Motion(102, 101)));
    EXPECT_FALSE(closes(Focus(FocusIn, NotifyNormal, NotifyNonlinear)));
    EXPECT_FALSE(closes(Button(4))) << "the wheel";
    EXPECT_TRUE(closes(Motion(103, 102))) << "five pixels from the baseline";
    EXPECT_TRUE(closes(Key()));
    EXPECT_TRUE(closes(Focus(FocusOut, NotifyNormal, NotifyNonlinear)));
}

}  // namespace
