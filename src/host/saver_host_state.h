#pragma once
// What the close rules know of one saver run: shared by the saver window and
// the password lock, and portable, so that the rules are decided (and
// tested) without the platform. The platform's handles stay with the window.

#include <cstdint>

// A point on the screen in pixels, x right, y down; may be negative on a
// monitor left of or above the primary one.
struct CursorPoint {
    int32_t x, y;
};

// lastVerifyTick before any password verification has ended.
inline constexpr uint32_t kNoVerifyTick = 0xFFFFFFFF;

struct SaverHostState {
    bool legacyPlatform = false;  // the older platform family (platform id 1)
    bool previewMode = false;     // the saver window is a preview's child
    bool passwordOn = false;      // a password verifier is loaded and will be asked
    bool closeAllowed = false;    // closing was allowed: no more frames or close rules
    bool verifying = false;       // a password is being asked
    CursorPoint cursorBaseline{};  // mouse movement is measured from here
    bool cursorUnread = false;     // the baseline could not be read: the next position read sets it
    uint32_t lastVerifyTick = kNoVerifyTick;  // tick count (ms) when the last verification ended
};
