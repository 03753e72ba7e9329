#include "scene/logo_scene.h"

#include <algorithm>
#include <cassert>

#include "scene/motion.h"
#include "scene/numbers.h"

// The colour codes 1..7; every stored file keeps the colour it always had.
const ShadeRow kShadeTable[8] = {
    {},
    {{255, 0, 0}, {192, 0, 0}, {128, 0, 0}},          // 1 red
    {{0, 255, 0}, {0, 192, 0}, {0, 128, 0}},          // 2 green
    {{0, 0, 255}, {0, 0, 192}, {0, 0, 128}},          // 3 blue
    {{255, 255, 255}, {192, 192, 192}, {128, 128, 128}},  // 4 white
    {{255, 255, 0}, {192, 192, 0}, {128, 128, 0}},    // 5 yellow
    {{0, 255, 255}, {0, 192, 192}, {0, 128, 128}},    // 6 cyan
    {{255, 0, 255}, {192, 0, 192}, {128, 0, 128}},    // 7 magenta
};

namespace {

// Geometric comparisons in the set-up use values rounded to 9 significant
// digits, so that floating-point noise cannot flip a point that lies on a line.
constexpr int kSetupDigits = 9;

int32_t CyclicPrevious(const ContourRange& contour, int32_t k) { return k == contour.first ? contour.last : k - 1; }
int32_t CyclicNext(const ContourRange& contour, int32_t k) { return k == contour.last ? contour.first : k + 1; }

// The pivot search starts here: only a point above it on both axes can
// become a contour's first point, so a contour wholly at or below it keeps
// its order.
constexpr int32_t kPivotSearchStart = -9999;

// Rewrites a contour to start at its rightmost (then topmost) point and run
// clockwise with y up.
void PutInNormalForm(ShapeRecord& shape, const ContourRange& contour) {
    ShapePoint* p = shape.points;
    int32_t w = 0;
    ShapePoint best{kPivotSearchStart, kPivotSearchStart};
    for (int32_t k = contour.first; k <= contour.last; ++k) {
        if (p[k].x > best.x || (p[k].x == best.x && p[k].y > best.y)) {
            w = k;
            best = p[k];
        }
    }
    if (w == 0) return;

    // The nearest neighbours that differ from the pivot: rings written by
    // hand often repeat their first point at the end.
    int32_t prev = CyclicPrevious(contour, w);
    while (prev != w && p[prev] == p[w]) prev = CyclicPrevious(contour, prev);
    if (prev == w) return;
    int32_t next = CyclicNext(contour, w);
    while (p[next] == p[w]) next = CyclicNext(contour, next);

    bool runsBackward;
    if (p[prev].x == p[w].x) {
        runsBackward = p[prev].y < p[w].y;
    } else {
        const double slope = (double(p[w].y) - p[prev].y) / (double(p[w].x) - p[prev].x);
        const double intercept = p[prev].y - slope * p[prev].x;
        runsBackward = p[next].y > RoundSignificant(slope * p[next].x + intercept, kSetupDigits);
    }

    ShapePoint ring[kMaxPoints];
    const int32_t count = contour.last - contour.first + 1;
    for (int32_t m = 0, k = w; m < count; ++m) {
        ring[m] = p[k];
        k = runsBackward ? CyclicPrevious(contour, k) : CyclicNext(contour, k);
    }
    std::copy(ring, ring + count, p + contour.first);
}

// The point that follows k on its outline.
int32_t PointAfter(const ShapeRecord& shape, int32_t k) {
    for (int c = 1; c <= shape.contourCount; ++c)
        if (shape.contours[c].last == k) return shape.contours[c].first;
    return k < shape.pointCount ? k + 1 : 1;
}

// Even-odd test of a point against one contour.
bool IsInsideContour(const ShapeRecord& shape, const ContourRange& contour, ShapePoint point) {
    bool isInside = false;
    for (int32_t i = contour.first; i <= contour.last; ++i) {
        const ShapePoint a = shape.points[i], b = shape.points[CyclicNext(contour, i)];
        if ((a.y > point.y) != (b.y > point.y) &&
            point.x < double(b.x - a.x) * double(point.y - a.y) / double(b.y - a.y) + a.x)
            isInside = !isInside;
    }
    return isInside;
}

// True when `point` lies on an edge of `contour`: on the edge's line, exactly
// in integers, and within the edge's bounding box.
bool IsOnContour(const ShapeRecord& shape, const ContourRange& contour, ShapePoint point) {
    for (int32_t i = contour.first; i <= contour.last; ++i) {
        const ShapePoint a = shape.points[i], b = shape.points[CyclicNext(contour, i)];
        const int64_t cross = int64_t(b.x - a.x) * (point.y - a.y) - int64_t(b.y - a.y) * (point.x - a.x);
        if (cross == 0 && point.x >= std::min(a.x, b.x) && point.x <= std::max(a.x, b.x) &&
            point.y >= std::min(a.y, b.y) && point.y <= std::max(a.y, b.y))
            return true;
    }
    return false;
}

// A contour bounds a hole when the first of its points that lies on no edge
// of another contour is inside an odd number of the other contours. Points
// on another contour's edge cannot tell inside from outside (a stem that
// starts on a bar, a hole that touches its outline); a contour made only of
// such points is an outer one.
void FindHoles(LogoSlot& slot) {
    const ShapeRecord& shape = slot.shape;
    for (int c = 1; c <= shape.contourCount; ++c) {
        const ContourRange& contour = shape.contours[c];
        bool isHole = false;
        for (int32_t k = contour.first; k <= contour.last; ++k) {
            const ShapePoint point = shape.points[k];
            bool isOnAnother = false;
            for (int other = 1; other <= shape.contourCount && !isOnAnother; ++other)
                isOnAnother = other != c && IsOnContour(shape, shape.contours[other], point);
            if (isOnAnother) continue;
            for (int other = 1; other <= shape.contourCount; ++other)
                if (other != c && IsInsideContour(shape, shape.contours[other], point)) isHole = !isHole;
            break;
        }
        slot.contourIsHole[c] = isHole;
        for (int32_t k = contour.first; k <= contour.last; ++k) slot.isHoleSide[k] = isHole;
    }
}

// Cross product of the turn at b on the way a -> b -> c, y up: positive turns left.
double Turn(ShapePoint a, ShapePoint b, ShapePoint c) {
    return RoundSignificant((double(b.x) - a.x) * (double(c.y) - b.y) - (double(b.y) - a.y) * (double(c.x) - b.x),
                            kSetupDigits);
}

// The reference triple: the first three consecutive points of contour 1 that
// do not lie on one line, so that a straight stretch at the start of an
// outline cannot hide which face is in front.
void FindReferenceTriple(LogoSlot& slot) {
    const ShapeRecord& shape = slot.shape;
    const ShapePoint* p = shape.points;
    slot.capPoint = 1;
    if (shape.contourCount >= 1) {
        const ContourRange& contour = shape.contours[1];
        for (int32_t a = contour.first; a <= contour.last - 2; ++a) {
            if (Turn(p[a], p[a + 1], p[a + 2]) != 0.0) {
                slot.capPoint = a;
                break;
            }
        }
    }
    const int32_t a = slot.capPoint;
    slot.secondTurnLeft = Turn(p[a], p[a + 1], p[a + 2]) >= 0.0;
}

void BuildSides(LogoSlot& slot) {
    const ShapeRecord& shape = slot.shape;
    const int32_t n = shape.pointCount;
    bool isInContour[kMaxPoints + 1] = {};
    for (int c = 1; c <= shape.contourCount; ++c)
        std::fill(isInContour + shape.contours[c].first, isInContour + shape.contours[c].last + 1, true);
    for (int32_t k = 1; k <= n; ++k) {
        // Only points of a contour can be marked; any other keeps the normal order.
        const bool isReversed = isInContour[k] && std::find(std::begin(shape.reversedSidePoints),
                                                        std::end(shape.reversedSidePoints),
                                                        k) != std::end(shape.reversedSidePoints);
        const int32_t after = PointAfter(shape, k);
        slot.sides[k] = isReversed ? SideQuad{false, {k + n, k, after, after + n}}
                                 : SideQuad{true, {k + n, after + n, after, k}};
    }
}

// An edge lies on the convex hull unless the outline has points strictly on both sides of its line.
void FindHullEdges(LogoSlot& slot) {
    const ShapeRecord& shape = slot.shape;
    const ShapePoint* p = shape.points;
    for (int32_t k = 1; k <= shape.pointCount; ++k) {
        const ShapePoint from = p[k], to = p[PointAfter(shape, k)];
        bool hasPointOnOneSide = false, hasPointOnOtherSide = false;
        for (int32_t m = 1; m <= shape.pointCount && !(hasPointOnOneSide && hasPointOnOtherSide); ++m) {
            if (from.x == to.x) {
                hasPointOnOneSide |= p[m].x > from.x;
                hasPointOnOtherSide |= p[m].x < from.x;
            } else {
                const double slope = (double(to.y) - from.y) / (double(to.x) - from.x);
                const double intercept = from.y - slope * from.x;
                const double lineY = RoundSignificant(slope * p[m].x + intercept, kSetupDigits);
                hasPointOnOneSide |= p[m].y > lineY;
                hasPointOnOtherSide |= p[m].y < lineY;
            }
        }
        slot.edgeOnHull[k] = !(hasPointOnOneSide && hasPointOnOtherSide);
    }
}

void BuildSlot(LogoSlot& slot, int32_t i, SaverSettings& settings) {
    ShapeRecord& shape = slot.shape;
    assert(IsWithinRecordLimits(shape));
    for (int c = 1; c <= shape.contourCount; ++c) PutInNormalForm(shape, shape.contours[c]);

    slot.cellCentreX = 5 * settings.SIZEY * (2 * i - 1 - settings.OPTIONN);
    for (int32_t k = 1; k <= shape.pointCount; ++k) {
        shape.points[k].x = shape.points[k].x * settings.SIZEY / 10 + slot.cellCentreX;
        shape.points[k].y = shape.points[k].y * settings.SIZE / 10;
    }

    FindHoles(slot);
    FindReferenceTriple(slot);
    BuildSides(slot);
    FindHullEdges(slot);

    int32_t& ownColour = settings.*kSlotColourFields[i - 1];
    if (settings.COLORS == 0) ownColour = settings.COLOR;
    if (ownColour >= 1 && ownColour <= 7) {
        slot.frontShade = kShadeTable[ownColour].front;
        slot.sideShade = kShadeTable[ownColour].side;
        slot.backShade = kShadeTable[ownColour].back;
    }
}

}  // namespace

int32_t ScaleToDpi(int32_t pixels, int32_t dpi) {
    const int64_t scaled = (int64_t(pixels) * std::clamp(dpi, kLowestDpi, kHighestDpi) + kStandardDpi / 2) / kStandardDpi;
    return int32_t(scaled);
}

void BuildScene(LogoScene& scene, SaverSettings& settings) {
    assert(settings.OPTIONN >= 1 && settings.OPTIONN <= kMaxSlots && settings.SIZE >= 1 && settings.SIZEY >= 1);
    scene.dpi = std::clamp(scene.dpi, kLowestDpi, kHighestDpi);
    // The depth is HABA times SIZE, so scaling the sizes scales it too.
    settings.SIZE = std::max(1, ScaleToDpi(settings.SIZE, scene.dpi));
    settings.SIZEY = std::max(1, ScaleToDpi(settings.SIZEY, scene.dpi));
    scene.depthUnits = settings.HABAJIDO != 0 ? 3 : settings.HABA;
    settings.HABA = scene.depthUnits;
    scene.turnAngle = 0;
    // Perspective divides by a depth in pixels: a scaled logo keeps its look
    // only when the strength shrinks as the lengths grow.
    scene.perspective = settings.ENKIN / (10000.0 * scene.dpi / kStandardDpi);
    PlaceLogo(scene, settings);
    for (int32_t i = 1; i <= settings.OPTIONN; ++i) BuildSlot(scene.slots[i], i, settings);
}

void SetUpSlot(LogoScene& scene, SaverSettings& settings, int32_t slot) {
    assert(slot >= 1 && slot <= settings.OPTIONN);
    BuildSlot(scene.slots[slot], slot, settings);
}
