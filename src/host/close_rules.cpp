#include "host/close_rules.h"

#include <cstdlib>

namespace {

// System commands (wParam & 0xFFF0).
constexpr uint64_t kNextWindow = 0xF040, kPrevWindow = 0xF050, kScreenSave = 0xF140,
                   kMonitorPower = 0xF170;

// Power events.
constexpr uint64_t kQuerySuspend = 0, kResumeCritical = 6, kResumeSuspend = 7, kResumeStandby = 8,
                   kPowerStatusChange = 10, kResumeAutomatic = 18, kPowerSettingChange = 0x8013;
constexpr int64_t kResumeFromFailure = 1;  // PBTF_APMRESUMEFROMFAILURE
constexpr uint64_t kCriticalResume = 3;    // WM_POWER's PWR_CRITICALRESUME

SaverStep Replying(int64_t value) {
    SaverStep step;
    step.reply = Reply::kValue;
    step.value = value;
    return step;
}

SaverStep SystemCommandStep(const SaverHostState& state, uint64_t command) {
    SaverStep step;
    if (state.previewMode) return step;
    switch (command & 0xFFF0) {
    case kNextWindow: case kPrevWindow: case kScreenSave:
        return Replying(0);  // no switching away, no second saver
    case kMonitorPower:
        step.requestClose = true;  // and the monitor still turns off
        return step;
    default:
        return step;
    }
}

}  // namespace

SaverStep DecideSaverStep(const SaverHostState& state, const WindowMessage& m) {
    SaverStep step;
    switch (m.message) {
    case msg::kCreate:
        step.takeInputMethod = true;
        step.armBaseline = true;
        step.hideCursor = !state.previewMode;
        return step;
    case msg::kDestroy:
        step.giveBackInputMethod = true;
        step.postQuit = true;
        return step;
    case msg::kSetText:
        return Replying(0);  // the title never changes: a second saver finds us by it
    case msg::kPaint:
        if (state.closeAllowed) step.reply = Reply::kDefault;
        else step.hideCursor = !state.previewMode;
        return step;
    case msg::kHelp: case msg::kContextMenu:
        if (!state.previewMode) return step;
        step = Replying(1);
        step.forwardToParent = true;
        return step;
    case msg::kKeyDown: case msg::kSysKeyDown: case msg::kMouseMove:
    case msg::kLButtonDown: case msg::kRButtonDown: case msg::kMButtonDown:
        if (state.closeAllowed) step.reply = Reply::kDefault;
        return step;
    case msg::kSysCommand:
        return SystemCommandStep(state, m.wParam);
    case msg::kTimer:
        if (state.closeAllowed) return Replying(0);  // closing: no more frames
        step.yieldSlice = true;
        return step;
    default:
        return step;
    }
}

bool ReadsCursor(uint32_t message) {
    return message == msg::kMouseMove;
}

bool MovedBeyondTolerance(CursorPoint baseline, CursorPoint now) {
    const uint64_t distance = static_cast<uint64_t>(std::llabs(int64_t{now.x} - baseline.x)) +
                              static_cast<uint64_t>(std::llabs(int64_t{now.y} - baseline.y));
    return distance > kMouseMoveTolerance;
}

bool PowerEventEndsSaver(uint64_t event, int64_t flags) {
    switch (event) {
    case kPowerStatusChange: case kPowerSettingChange:
        return false;
    case kResumeCritical: case kResumeSuspend: case kResumeStandby: case kResumeAutomatic:
        return (flags & kResumeFromFailure) == 0;
    default:
        return true;  // the suspension itself, standby, battery low, OEM and unknown events
    }
}

InputStep DecideInputStep(const SaverHostState& state, const WindowMessage& m, CursorPoint cursor) {
    InputStep step;
    if (state.previewMode || state.closeAllowed) return step;
    if (m.message == msg::kClose) {
        step.askPassword = state.legacyPlatform;
        return step;
    }
    if (m.message == msg::kVerifyRequest) {
        step.answerVerifyRequest = state.legacyPlatform;
        return step;
    }
    if (state.verifying) return step;  // no input ends the saver while a password is asked

    switch (m.message) {
    case msg::kShowWindow:
        step.hideCursor = static_cast<uint32_t>(m.wParam) != 0;
        break;
    case msg::kActivateApp:
        step.requestClose = m.wParam == 0;
        break;
    case msg::kSetCursor:
        step.hideCursor = true;
        step.reply = Reply::kValue;
        step.value = 1;
        break;
    case msg::kPower:
        step.requestClose = m.wParam == kCriticalResume;
        break;
    case msg::kKeyDown: case msg::kSysKeyDown:
    case msg::kLButtonDown: case msg::kRButtonDown: case msg::kMButtonDown:
        step.requestClose = true;
        break;
    case msg::kMouseMove:
        // The message's coordinates are relative to the window; the baseline
        // is in screen pixels, so the cursor is asked instead.
        if (state.cursorUnread) step.moveBaseline = true;  // nothing to measure from yet
        else step.requestClose = step.moveBaseline = MovedBeyondTolerance(state.cursorBaseline, cursor);
        break;
    case msg::kPowerBroadcast:
        if (m.wParam == kQuerySuspend) {
            step.reply = Reply::kValue;  // suspension granted; the suspension itself closes
            step.value = 1;
        } else {
            step.requestClose = PowerEventEndsSaver(m.wParam, m.lParam);
        }
        break;
    default:
        break;
    }
    return step;
}
