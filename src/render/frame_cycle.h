#pragma once
// The logo's life in a window: creation, one frame per timer tick.

#include "render/raster.h"
#include "render/side_faces.h"
#include "scene/logo_scene.h"
#include "settings/settings_store.h"

// Where a frame's background comes from.
enum class Background {
    kBlack,     // BKMODE 1, ZANZOU 0
    kSnapshot,  // BKMODE 0, ZANZOU 0: the desktop picture taken at start
    kWindow,    // anything else: what the window shows, so frames leave after-images
};
Background ChooseBackground(const SaverSettings& settings);

// What the window shows before the first frame.
enum class FirstPicture {
    kBlack,      // BKMODE 1
    kSnapshot,   // the snapshot background: a window never painted shows black on a
                 // composited desktop, not what lies behind it
    kUnchanged,  // what the window already shows (the desktop), for after-images over it
};
FirstPicture ChooseFirstPicture(const SaverSettings& settings);

// What creation does before any frame, the platform aside: loads the
// settings (kept within the saver's limits) and the slots' shapes through
// `names` (already loaded), stores the client size and the screen's dpi and
// builds the scene. The
// caller then takes the desktop snapshot when ChooseBackground asks for one,
// seeds the generator (SeedRandom), shows the first picture (ChooseFirstPicture)
// and starts the timer with settings.TIMER.
void CreateLogo(const ProfileStore& store, const ProfileNames& names, SaverSettings& settings, LogoScene& scene,
                int32_t clientWidth, int32_t clientHeight, int32_t dpi = kStandardDpi);

// Replaces the random generator's state: the low 16 bits of the tick count.
void SeedRandom(LogoScene& scene, uint32_t tickCount);

// What a frame did, for tools and tests.
struct FrameRecord {
    FrameBox box;  // the frame box after merging and limiting, relative to the centre, y up
    int32_t paintCount[kMaxSlots + 1];                // side faces painted per slot
    int32_t paintOrder[kMaxSlots + 1][kMaxPoints];    // their face numbers, in painting order
    VisibleCaps caps[kMaxSlots + 1];                  // the caps each slot showed the viewer
};

// What a frame's logo covered, in window pixels (y down), its edges in:
// the next frame's box takes it in, so that the logo's old place is painted over.
struct WindowBox {
    int64_t left, top, right, bottom;
};

// What the first frame of a scene takes in: the logo centre one step back
// along its velocity, as though it had just moved there.
WindowBox FirstPreviousBox(const LogoScene& scene);

// Draws one frame through `raster`, its box taking in `previous` (what the
// frame before covered), and advances the scene to the next tick. Returns
// what this frame's logo covered, for the next frame.
WindowBox RenderFrame(LogoScene& scene, const SaverSettings& settings, Raster& raster, const WindowBox& previous,
                      FrameRecord* record = nullptr);
