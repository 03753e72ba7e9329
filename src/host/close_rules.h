#pragma once
// What the saver window does with each message: the decisions of the class
// procedure (SaverWindowProc) and of the default saver procedure
// (CloseOnInputProc), as plain functions. The window procedures apply the
// effects in the order the fields are listed, then reply.

#include <cstdint>

#include "host/saver_host_state.h"

// Message numbers the rules look at.
namespace msg {
inline constexpr uint32_t kCreate = 0x0001, kDestroy = 0x0002, kSetText = 0x000C, kPaint = 0x000F,
                          kClose = 0x0010, kShowWindow = 0x0018, kActivateApp = 0x001C,
                          kSetCursor = 0x0020, kPower = 0x0048, kHelp = 0x0053, kContextMenu = 0x007B,
                          kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysKeyDown = 0x0104,
                          kSysCommand = 0x0112, kTimer = 0x0113, kMouseMove = 0x0200,
                          kLButtonDown = 0x0201, kLButtonUp = 0x0202, kLButtonDblClk = 0x0203,
                          kRButtonDown = 0x0204, kMButtonDown = 0x0207, kMouseWheel = 0x020A,
                          kXButtonDown = 0x020B, kPowerBroadcast = 0x0218,
                          kVerifyRequest = 0x8000;  // WM_APP: ask the password of the saver window
}  // namespace msg

// The largest total movement (|dx| + |dy|, pixels) from the baseline that
// does not end the saver.
inline constexpr uint32_t kMouseMoveTolerance = 4;

struct WindowMessage {
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
};

enum class Reply {
    kPassOn,   // hand the four values on to the next procedure of the chain
    kDefault,  // the platform's default processing of the four values
    kValue,    // return `value`
};

struct SaverStep {
    bool takeInputMethod = false;      // detach the input method; keep the old context
    bool armBaseline = false;          // cursorBaseline = the cursor's position now
    bool hideCursor = false;
    bool giveBackInputMethod = false;  // re-associate the kept context
    bool postQuit = false;             // quit message with value 0
    bool forwardToParent = false;      // post the message to the preview's parent
    bool requestClose = false;         // post WM_CLOSE to the window itself
    bool yieldSlice = false;           // give up the rest of the time slice
    Reply reply = Reply::kPassOn;
    int64_t value = 0;
};

// The class procedure's decision.
SaverStep DecideSaverStep(const SaverHostState& state, const WindowMessage& message);

struct InputStep {
    bool askPassword = false;          // WM_CLOSE on the legacy family: verify first; a
                                       // refusal re-arms the baseline and replies 0
    bool answerVerifyRequest = false;  // reply with the password lock's answer
    bool requestClose = false;         // post WM_CLOSE to the window itself
    bool hideCursor = false;
    bool moveBaseline = false;         // cursorBaseline = the cursor position given, now read
    Reply reply = Reply::kDefault;
    int64_t value = 0;
};

// Whether the decision for this message needs the cursor's position (one
// query per mouse move; no other message reads it).
bool ReadsCursor(uint32_t message);

// The default saver procedure's decision. `cursor` is the cursor's screen
// position now; only looked at where ReadsCursor says so.
InputStep DecideInputStep(const SaverHostState& state, const WindowMessage& message, CursorPoint cursor);

// Whether the cursor stands more than kMouseMoveTolerance pixels from the baseline.
bool MovedBeyondTolerance(CursorPoint baseline, CursorPoint now);

// Whether a power event (WM_POWERBROADCAST's wParam and lParam) ends the saver.
// The suspension query is answered separately (granted, no close).
bool PowerEventEndsSaver(uint64_t event, int64_t flags);
