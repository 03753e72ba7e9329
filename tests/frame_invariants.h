#pragma once
// What every frame keeps to, whatever the settings, shapes and window: the
// frame surface is at least 1 pixel and at most twice the window each way,
// every point drawn lies on it, every side face painted is one of its slot's
// and is painted once, and the turn angle stays within one turn.

#include <cstdint>

#include "render/frame_cycle.h"
#include "render/recording_raster.h"

inline bool FrameKeepsItsBounds(const RecordingRaster& raster, const FrameRecord& record, const LogoScene& scene,
                                const SaverSettings& settings, int32_t windowWidth, int32_t windowHeight) {
    if (raster.calls.empty()) return false;
    const RasterCall& begin = raster.calls.front();
    if (begin.kind != RasterCall::kBeginFrame || raster.calls.back().kind != RasterCall::kPresentFrame) return false;
    if (begin.width < 1 || begin.height < 1 || begin.width > 2 * windowWidth || begin.height > 2 * windowHeight)
        return false;
    for (const RasterCall& call : raster.calls)
        for (const RasterPoint& p : call.points)
            if (p.x < 0 || p.x > begin.width || p.y < 0 || p.y > begin.height) return false;
    for (int s = 1; s <= settings.OPTIONN; ++s) {
        const int32_t n = scene.slots[s].shape.pointCount;
        if (record.paintCount[s] < 0 || record.paintCount[s] > n) return false;
        bool seen[kMaxPoints + 1] = {};
        for (int k = 0; k < record.paintCount[s]; ++k) {
            const int32_t face = record.paintOrder[s][k];
            if (face < 1 || face > n || seen[face]) return false;
            seen[face] = true;
        }
    }
    return scene.turnAngle >= 0 && scene.turnAngle < 360;
}
