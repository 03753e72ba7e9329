#pragma once
// Two buffers taking turns to show one picture on a surface the compositor
// reads: while the compositor holds one, the next frame goes into the
// other, which still holds the frame before last. Each buffer therefore
// keeps the box of the picture changed since it was last filled, and only
// that box is copied into it when its turn comes.

#include <cstdint>
#include <optional>

#include "render/pixel_image.h"

// A box of pixels, left and top in, right and bottom out (x right, y down);
// empty when it has no width or no height.
struct PixelBox {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const PixelBox&) const = default;
};

// The smallest box holding both; an empty box adds nothing.
PixelBox Union(const PixelBox& a, const PixelBox& b);
// What both hold (an empty box when they do not meet).
PixelBox Intersection(const PixelBox& a, const PixelBox& b);

// Copies the pixels of `box` from one image to the same place of another,
// with the bits `setBits` set in each; `box` must lie within both.
void CopyBox(const PixelImage& from, const PixelImage& to, const PixelBox& box, uint32_t setBits = 0);

class ShownBuffers {
public:
    static constexpr int kCount = 2;

    // For a picture of width x height whose buffers hold nothing yet: the
    // first turn of each fills it whole, and the first shown is damaged whole.
    ShownBuffers(int32_t width, int32_t height);

    // The picture changed within `box` (clipped to the picture).
    void NoteChange(const PixelBox& box);

    struct Turn {
        int buffer;      // 0 <= buffer < kCount; held by the compositor from now on
        PixelBox copy;   // copy this box of the picture into the buffer first
        PixelBox damage; // then show it, damaged here: what changed since the last turn
    };
    // The next buffer to show the picture in: none while nothing changed
    // since the last turn, or while the compositor holds every buffer (the
    // changes then wait for a later turn).
    std::optional<Turn> TakeTurn();

    // The compositor gave the buffer back (wl_buffer.release).
    void NoteReleased(int buffer);
    bool IsHeld(int buffer) const { return held_[buffer]; }

private:
    PixelBox whole_;
    PixelBox stale_[kCount];  // each buffer's pixels that differ from the picture
    bool held_[kCount] = {};
    PixelBox unshown_;        // changed since the last turn
};
