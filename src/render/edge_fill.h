#pragma once
// The span raster's fills: the ring edges of one call, filled row by row by
// GDI's rule (pixel centres at whole coordinates; left and top edges belong
// to the shape, right and bottom ones do not), as spans of the pixels not
// painted yet.

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "render/draw_target.h"
#include "render/exact_steps.h"
#include "render/raster.h"

class EdgeFill {
public:
    // Adds the edge from `from` to `to` (limited points), for the rows of
    // the clip it crosses. Inline: every side face adds four.
    void Add(const DrawTarget& target, RasterPoint from, RasterPoint to) {
        if (from.y == to.y) return;
        const int32_t winding = to.y > from.y ? 1 : -1;
        if (winding < 0) std::swap(from, to);
        const int32_t yTop = std::max(from.y, target.clipTop), yBottom = std::min(to.y, target.clipBottom);
        if (yTop >= yBottom) return;
        // The first covered pixel at row y is ceil(from.x + (y - from.y) dx / dy).
        const int64_t dx = int64_t(to.x) - from.x, dy = int64_t(to.y) - from.y;
        const ExactStep x = ExactStep::Of(int64_t(from.x) * dy + (yTop - int64_t(from.y)) * dx + dy - 1, dx, dy);
        edges_.push_back({yTop, yBottom, x.whole, x.remainder, x.stepWhole, x.stepRemainder, dy, winding});
    }

    // Fills what the edges enclose by `rule` with `pixel`, and forgets them.
    void Fill(const DrawTarget& target, uint32_t pixel, FillRule rule);

private:
    // One ring edge crossing rows yTop <= y < yBottom; x is the first
    // covered pixel at the current row, kept exactly by whole steps and a
    // remainder over dy.
    struct Edge {
        int32_t yTop, yBottom;
        int64_t x, remainder, stepX, stepRemainder, dy;
        int32_t winding;  // +1 downward, -1 upward

        // To the next row, without a branch: whether the remainder carries
        // follows no pattern a processor could predict.
        void Step() {
            remainder += stepRemainder;
            const bool carries = remainder >= dy;
            x += stepX + carries;
            remainder -= carries ? dy : 0;
        }
    };

    // Their storage is kept from call to call.
    std::vector<Edge> edges_;
    std::vector<Edge*> active_;
};
