#pragma once
// The host's one process-wide record: what start-up, the saver window and the
// password lock share. Platform handles are kept as opaque pointers so that
// the close rules can be decided (and tested) without the platform's headers.

#include <cstdint>

// A point on the screen in pixels, x right, y down; may be negative on a
// monitor left of or above the primary one.
struct CursorPoint {
    int32_t x, y;
};

// The password library's verification entry: the saver window in, nonzero
// when the right password was entered.
using VerifyEntry = int32_t (*)(void* window);

// lastVerifyTick before any password verification has ended.
inline constexpr uint32_t kNoVerifyTick = 0xFFFFFFFF;

struct SaverHostState {
    void* moduleInstance = nullptr;
    bool legacyPlatform = false;  // the older platform family (platform id 1)
    bool previewMode = false;     // the saver window is a preview's child
    void* saverWindow = nullptr;
    bool closeAllowed = false;    // closing was allowed: no more frames or close rules
    bool verifying = false;       // a password is being asked
    CursorPoint cursorBaseline{};  // mouse movement is measured from here
    bool cursorUnread = false;     // the baseline could not be read: the next position read sets it
    uint32_t lastVerifyTick = kNoVerifyTick;  // tick count (ms) when the last verification ended
    void* lockLibrary = nullptr;        // the password library while it is loaded
    VerifyEntry verifyEntry = nullptr;  // its verification entry; set while the password is on
    void* imeModule = nullptr;          // the input-method library, only if already loaded
    void* imeAssociateEntry = nullptr;  // its association entry
    void* savedInputContext = nullptr;  // the context taken off the saver window
};
