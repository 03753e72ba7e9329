#pragma once
// The span raster's 1-pixel lines, exact to GDI's rule: one pixel a step
// along the longer axis, the other axis rounded to the nearest pixel (a half
// toward the smaller coordinate), the last pixel left out.

#include <cstdint>
#include <vector>

#include "render/draw_target.h"
#include "render/raster.h"

// The lines drawn by the calls being drawn, by their ends: neighbouring
// faces share their edges, and a line drawn again paints nothing new.
class DrawnLines {
public:
    // Makes room for `lineCount` lines, and forgets every line drawn before.
    void StartDrawing(size_t lineCount);

    // Whether the line has been drawn already, either way (`addsStart`: the
    // other way first, and not both ways yet); records it.
    bool IsDrawnAlready(RasterPoint from, RasterPoint to, bool& addsStart);

private:
    // A table of open addressing by the ends packed into 64 bits, the lower
    // first, a power of two in size. A place is taken by the drawing
    // numbered drawing_ alone, so that a new drawing need not clear it.
    struct DrawnLine {
        uint64_t low = 0, high = 0;
        uint32_t drawing = 0;
        bool isFromLow = false, isDrawnBothWays = false;
    };
    std::vector<DrawnLine> lines_;
    uint32_t drawing_ = 0;
};

// Paints black the pixels of the line from `from` to `to` (limited points)
// within the clip that are not painted yet, and marks them painted.
void DrawLine(const DrawTarget& target, DrawnLines& drawn, RasterPoint from, RasterPoint to);
