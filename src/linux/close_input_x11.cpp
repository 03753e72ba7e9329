#include "linux/close_input_x11.h"

namespace {

bool IsRealFocusIn(const XFocusChangeEvent& focus) {
    return focus.mode == NotifyNormal && focus.detail != NotifyPointer;
}

bool IsFocusHandedAway(const XFocusChangeEvent& focus) {
    return focus.mode == NotifyNormal && focus.detail != NotifyInferior && focus.detail != NotifyPointer &&
           focus.detail != NotifyPointerRoot && focus.detail != NotifyDetailNone;
}

uint32_t ButtonMessage(unsigned int button) {
    switch (button) {
        case Button1: return msg::kLButtonDown;
        case Button2: return msg::kMButtonDown;
        case Button3: return msg::kRButtonDown;
        default: return 0;
    }
}

}  // namespace

CloseRuleInput TranslateCloseInput(const XEvent& event, bool hasFocus) {
    CloseRuleInput input{{0, 0, 0}, {0, 0}, hasFocus};
    switch (event.type) {
        case KeyPress: input.message.message = msg::kKeyDown; break;
        case ButtonPress: input.message.message = ButtonMessage(event.xbutton.button); break;
        case MotionNotify:
            input.message.message = msg::kMouseMove;
            input.cursor = {event.xmotion.x_root, event.xmotion.y_root};
            break;
        case FocusIn: input.hasFocus = hasFocus || IsRealFocusIn(event.xfocus); break;
        case FocusOut:
            if (hasFocus && IsFocusHandedAway(event.xfocus)) input.message.message = msg::kActivateApp;
            break;
        default: break;
    }
    return input;
}
