#include "render/frame_cycle.h"

#include <algorithm>
#include <cassert>
#include <limits>

#include "render/cap_fill.h"
#include "render/side_faces.h"
#include "scene/motion.h"
#include "scene/shape_library.h"

namespace {

int32_t SaturateToInt32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// A box in 64 bits: merged boxes of far-off corners must not overflow.
struct WideBox {
    int64_t minX, minY, maxX, maxY;
};

// The extent of this frame's projected corners, relative to the centre, y up.
WideBox RawBox(const LogoScene& scene, const SaverSettings& settings) {
    const ScreenPoint first = scene.slots[1].screenPoints[1];
    WideBox box{first.x, first.y, first.x, first.y};
    for (int32_t s = 1; s <= settings.OPTIONN; ++s) {
        const LogoSlot& slot = scene.slots[s];
        for (int32_t j = 1; j <= 2 * slot.shape.pointCount; ++j) {
            box.minX = std::min<int64_t>(box.minX, slot.screenPoints[j].x);
            box.minY = std::min<int64_t>(box.minY, slot.screenPoints[j].y);
            box.maxX = std::max<int64_t>(box.maxX, slot.screenPoints[j].x);
            box.maxY = std::max<int64_t>(box.maxY, slot.screenPoints[j].y);
        }
    }
    return box;
}

// This frame's box merged with what the previous frame covered, then
// limited to half the window around the logo centre.
WideBox FrameBoxOf(const WideBox& raw, const LogoScene& scene, const WindowBox& previous) {
    const int64_t x = scene.centreX, y = scene.centreY;
    WideBox box{std::min(raw.minX, previous.left - x), std::min(raw.minY, y - previous.bottom),
                std::max(raw.maxX, previous.right - x), std::max(raw.maxY, y - previous.top)};
    const int64_t halfW = scene.screenWidth / 2, halfH = scene.screenHeight / 2;
    if (box.maxX > halfW) box.minX = -halfW, box.maxX = halfW;
    if (box.maxY > halfH) box.minY = -halfH, box.maxY = halfH;
    // Corners near the eye can still reach far to the left or below: a frame
    // surface is never more than twice the window in either direction.
    if (box.maxX - box.minX + 1 > 2 * int64_t(scene.screenWidth)) box.minX = -halfW, box.maxX = halfW;
    if (box.maxY - box.minY + 1 > 2 * int64_t(scene.screenHeight)) box.minY = -halfH, box.maxY = halfH;
    return box;
}

// Every slot's corners on the frame surface: pixels, y down; corner j of slot s at [s][j].
struct FrameCorners {
    ScreenPoint slots[kMaxSlots + 1][kMaxCorners + 1];
};

// The projected points moved into the frame surface's coordinates, onto its
// edge when they lie outside.
void MoveIntoFrame(const LogoScene& scene, const SaverSettings& settings, int64_t offX, int64_t offY, int64_t width,
                   int64_t height, FrameCorners& frame) {
    for (int32_t s = 1; s <= settings.OPTIONN; ++s) {
        const LogoSlot& slot = scene.slots[s];
        for (int32_t j = 1; j <= 2 * slot.shape.pointCount; ++j) {
            const ScreenPoint& p = slot.screenPoints[j];
            frame.slots[s][j] = {int32_t(std::clamp<int64_t>(offX + p.x, 0, width)),
                                 int32_t(std::clamp<int64_t>(offY - p.y, 0, height))};
        }
    }
}

void PaintBackground(Raster& raster, Background background, int32_t width, int32_t height, int32_t x, int32_t y) {
    switch (background) {
        case Background::kBlack: {
            const RasterPoint corners[4] = {{0, 0}, {width, 0}, {width, height}, {0, height}};
            raster.FillPolygon(corners, 4, Rgb{0, 0, 0}, FillRule::kWinding);
            break;
        }
        case Background::kSnapshot: raster.CopyFromSnapshot(x, y); break;
        case Background::kWindow: raster.CopyFromWindow(x, y); break;
    }
}

FrameBox Saturated(const WideBox& box) {
    return {SaturateToInt32(box.minX), SaturateToInt32(box.minY), SaturateToInt32(box.maxX), SaturateToInt32(box.maxY)};
}

// Every slot's side faces, then every slot's cap, in the order the turn
// angle gives: seen from the front the last slot is drawn first; seen from
// behind, the first.
void DrawSlots(const LogoScene& scene, const FrameCorners& frame, const SaverSettings& settings, Raster& raster,
               FrameRecord* record) {
    const bool isSeenFromFront = (scene.turnAngle / 180) % 2 == 0;
    int32_t slotOrder[kMaxSlots];
    VisibleCaps caps[kMaxSlots];
    for (int32_t k = 0; k < settings.OPTIONN; ++k) {
        const int32_t slot = isSeenFromFront ? settings.OPTIONN - k : k + 1;
        slotOrder[k] = slot;
        int32_t painted[kMaxPoints];
        const SideFaceOrder drawn = DrawSideFaces(scene.slots[slot], frame.slots[slot], raster, painted);
        caps[k] = drawn.caps;
        if (record) {
            record->paintCount[slot] = drawn.count;
            std::copy(painted, painted + drawn.count, record->paintOrder[slot]);
            record->caps[slot] = drawn.caps;
        }
    }
    for (int32_t k = 0; k < settings.OPTIONN; ++k)
        DrawCap(scene.slots[slotOrder[k]], frame.slots[slotOrder[k]], caps[k], raster);
}

}  // namespace

Background ChooseBackground(const SaverSettings& settings) {
    if (settings.ZANZOU == 0 && settings.BKMODE == 1) return Background::kBlack;
    if (settings.ZANZOU == 0 && settings.BKMODE == 0) return Background::kSnapshot;
    return Background::kWindow;
}

FirstPicture ChooseFirstPicture(const SaverSettings& settings) {
    if (settings.BKMODE == 1) return FirstPicture::kBlack;
    if (ChooseBackground(settings) == Background::kSnapshot) return FirstPicture::kSnapshot;
    return FirstPicture::kUnchanged;
}

void CreateLogo(const ProfileStore& store, const ProfileNames& names, SaverSettings& settings, LogoScene& scene,
                int32_t clientWidth, int32_t clientHeight, int32_t dpi) {
    LoadSettings(store, names, settings);
    KeepWithinSaverLimits(settings);
    LoadSlotShapes(store, names, settings, scene);
    scene.screenWidth = clientWidth;
    scene.screenHeight = clientHeight;
    scene.dpi = dpi;
    BuildScene(scene, settings);
}

void SeedRandom(LogoScene& scene, uint32_t tickCount) { scene.randomState = tickCount & 0xFFFFu; }

WindowBox FirstPreviousBox(const LogoScene& scene) {
    const int64_t x = int64_t(scene.centreX) - scene.velocityX, y = int64_t(scene.centreY) - scene.velocityY;
    return {x, y, x, y};
}

WindowBox RenderFrame(LogoScene& scene, const SaverSettings& settings, Raster& raster, const WindowBox& previous,
                      FrameRecord* record) {
    assert(settings.OPTIONN >= 1 && settings.OPTIONN <= kMaxSlots);
    ProjectScene(scene, settings);
    const WideBox raw = RawBox(scene, settings);
    const WideBox box = FrameBoxOf(raw, scene, previous);

    // The box need not span the logo centre, so its offsets keep their signs.
    const int64_t width = box.maxX - box.minX + 1, height = box.maxY - box.minY + 1;
    const int64_t offX = -box.minX, offY = box.maxY;
    FrameCorners frame;  // filled for the slots in use only
    MoveIntoFrame(scene, settings, offX, offY, width, height, frame);
    const int32_t left = SaturateToInt32(scene.centreX - offX), top = SaturateToInt32(scene.centreY - offY);

    raster.BeginFrame(int32_t(width), int32_t(height));
    PaintBackground(raster, ChooseBackground(settings), int32_t(width), int32_t(height), left, top);
    DrawSlots(scene, frame, settings, raster, record);
    raster.PresentFrame(left, top);

    const WindowBox covered{scene.centreX + raw.minX, scene.centreY - raw.maxY, scene.centreX + raw.maxX,
                            scene.centreY - raw.minY};
    const FrameBox drawn = Saturated(box);
    if (record) record->box = drawn;
    AdvanceScene(scene, settings, drawn);
    return covered;
}
