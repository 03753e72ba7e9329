#pragma once
// The scene the animation runs on: nine character slots and the logo's motion state.
//
// Coordinates: shape and model space have y up, window space has y down.
// Numbering counts from 1 (slots, points, corners, contours); element 0 of
// those arrays is unused. A slot of n points has 2n corners: corner k is
// point k on the front face, corner n + k the same point on the back face.

#include <cstdint>

#include "scene/rgb.h"
#include "scene/shape_record.h"
#include "settings/saver_settings.h"

inline constexpr int kMaxSlots = 9;

// The settings give their lengths in pixels of a screen of 96 dots per inch;
// on a denser screen the logo keeps the size it has on that one.
inline constexpr int32_t kStandardDpi = 96;
inline constexpr int32_t kLowestDpi = 24, kHighestDpi = 960;  // what a screen may claim

// `pixels` at 96 dpi as pixels at `dpi` (within the limits above), to the
// nearest whole pixel, halves up.
int32_t ScaleToDpi(int32_t pixels, int32_t dpi);
inline constexpr int kMaxCorners = 2 * kMaxPoints;

// The side face of point k: the quadrilateral between the edge from k to the
// point after it on the front face and the same edge on the back face.
struct SideQuad {
    bool normalOrder;    // false: the quad is walked the other way round
    int32_t corners[4];  // corner numbers, 1..2n, in walking order
};

struct ViewPoint {
    double x, y, depth;  // depth grows away from the viewer
};

struct ScreenPoint {
    int32_t x, y;
};

// Extent of a frame's points relative to the logo centre, y up, in pixels.
struct FrameBox {
    int32_t minX, minY, maxX, maxY;
};

struct LogoSlot {
    ShapeRecord shape;  // contours in normal form and scaled points (pixels) after BuildScene
    int32_t cellCentreX;  // pixels, relative to the logo centre
    bool secondTurnLeft;  // the outline turns left (or runs straight) at its reference triple
    int32_t capPoint;     // a: first point of the reference triple a, a+1, a+2 (usually 1)
    bool contourIsHole[kMaxContours + 1];  // the contour bounds a hole in another one
    bool isHoleSide[kMaxPoints + 1];       // side k belongs to a hole's contour
    SideQuad sides[kMaxPoints + 1];
    bool edgeOnHull[kMaxPoints + 1];  // the edge from k to the point after it lies on the convex hull
    Rgb frontShade, sideShade, backShade;
    int32_t spinAngle;  // whole degrees
    ViewPoint viewPoints[kMaxCorners + 1];
    ScreenPoint screenPoints[kMaxCorners + 1];  // projected: whole pixels from the logo centre, y up
};

struct LogoScene {
    LogoSlot slots[kMaxSlots + 1];  // slots 1..OPTIONN are in use
    int32_t screenWidth, screenHeight;  // client size in pixels
    int32_t dpi = kStandardDpi;         // the screen's, which scales every length of the settings
    int32_t turnAngle;                  // whole degrees, 0..359
    int32_t centreX, centreY;           // window pixels, y down
    int32_t velocityX, velocityY;       // pixels per tick, positive y moves down
    int32_t minCentreX, maxCentreX, minCentreY, maxCentreY;  // move-and-rotate bounds
    double perspective;                 // ENKIN / 10000
    int32_t depthUnits;                 // extrusion: 3 with automatic thickness, else HABA
    uint32_t randomState = 1;           // linear congruential generator; seeding replaces it
};

// The colour codes 1..7 with their front, side and back shades (index 0 unused).
struct ShadeRow {
    Rgb front, side, back;
};
extern const ShadeRow kShadeTable[8];

// Builds the scene from the settings, the slots' loaded shapes and the
// screen size and dpi already stored in the scene. Writes the working values
// back into the settings in memory: SIZE and SIZEY scaled to the dpi, HABA
// with the effective thickness and, while COLORS is 0, every OPTIONC with
// COLOR. Expects settings kept within the saver's limits.
void BuildScene(LogoScene& scene, SaverSettings& settings);

// Sets up slot `slot` (1..OPTIONN) of a built scene again from the shape
// loaded into it, as BuildScene does: for a slot that is to show another record.
void SetUpSlot(LogoScene& scene, SaverSettings& settings, int32_t slot);
