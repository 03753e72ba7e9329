#pragma once
// Which window pixels hold the frames' background already, so that a
// background drawn there again leaves them as they are: the window is
// written only where a frame changes it.

#include <cstdint>
#include <vector>

#include "render/draw_target.h"
#include "render/pixel_image.h"

// What a window pixel holds as background: black (a black rectangle over
// the whole frame), or the snapshot's pixel `dx`, `dy` from it.
struct HeldBackground {
    enum Kind : uint8_t { kNone, kBlack, kSnapshot };
    Kind kind = kNone;
    int64_t dx = 0, dy = 0;
    bool operator==(const HeldBackground&) const = default;
};

class BackgroundMemory {
public:
    // Makes the record for a window of this size, once.
    void Prepare(int32_t windowWidth, int32_t windowHeight);

    // Paints the pixels of the target's clip not painted yet from `source`
    // at (x, y), black where it has none. With a `background` (the target is
    // the window, the frame's top left at windowX, windowY of it), only those
    // that do not hold it already, and without marking them: a background is
    // drawn last.
    void CopyFrom(const DrawTarget& target, const PixelImage& source, int32_t x, int32_t y,
                  HeldBackground background, int64_t windowX, int64_t windowY);

    // No window pixel is known to hold a background any longer.
    void Forget();

private:
    // Calls paint(x, n) for the runs of row y of the clip not painted yet,
    // leaving out the pixels that hold the background already and recording
    // which ones will.
    template <typename Paint>
    void ForOpenRunsOverBackground(const DrawTarget& target, int64_t y, int64_t windowX, int64_t windowY, Paint paint);

    // The window pixels that hold `held_`, a bit each, rows of words_ words.
    std::vector<uint64_t> bits_;
    int64_t words_ = 0;
    HeldBackground held_;
};
