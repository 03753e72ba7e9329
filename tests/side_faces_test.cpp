#include "render/side_faces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "render/recording_raster.h"
#include "scene/motion.h"
#include "scene/numbers.h"
#include "scene_fixture.h"

namespace {

std::set<int32_t> Painted(const LogoSlot& slot, VisibleCaps* caps = nullptr) {
    RecordingRaster raster;
    int32_t painted[kMaxPoints];
    const SideFaceOrder drawn = DrawSideFaces(slot, slot.screenPoints, raster, painted);
    if (caps) *caps = drawn.caps;
    const int count = drawn.count;
    std::set<int32_t> faces(painted, painted + count);
    EXPECT_EQ(faces.size(), size_t(count)) << "a face painted twice";
    EXPECT_EQ(raster.calls.size(), size_t(2 * count)) << "each face: one fill, one outline";
    return faces;
}

class SideFaces : public ::testing::Test {
protected:
    std::unique_ptr<LogoScene> Project(const std::vector<ShapeRecord>& shapes, int32_t turnAngle) {
        auto scene = BuildSceneOf(shapes, settings);
        scene->turnAngle = turnAngle;
        ProjectScene(*scene, settings);
        return scene;
    }
    SaverSettings settings = DefaultSettings();
};

TEST_F(SideFaces, AConvexOutlineNeedsNoOrderingAndPaintsInDecreasingFaceNumber) {
    const ShapeRecord octagon = MakeShape({{20, 50}, {50, 20}, {50, -20}, {20, -50}, {-20, -50}, {-50, -20}, {-50, 20}, {-20, 50}},
                                          {{1, 8}});
    for (int32_t angle : {20, 110, 200, 300}) {
        auto scene = Project({octagon}, angle);
        RecordingRaster raster;
        int32_t painted[kMaxPoints];
        const int count = DrawSideFaces(scene->slots[1], scene->slots[1].screenPoints, raster, painted).count;
        ASSERT_GT(count, 0);
        EXPECT_TRUE(std::is_sorted(painted, painted + count, std::greater<>())) << angle;
    }
}

// Without perspective a wall faces the viewer when its outward normal, turned
// with the logo, points toward the viewer: an independent account of the visible set.
TEST_F(SideFaces, EveryVisibleFaceIsPaintedOnceAndNoOtherIs) {
    settings.ENKIN = 0;
    settings.VIEW = 0;
    const ShapeRecord b = MakeShape({{-40, -50}, {10, -50}, {40, -30}, {40, -5}, {25, 0}, {40, 10}, {40, 35}, {15, 50}, {-40, 50},
                                     {-20, 10}, {15, 10}, {20, 20}, {15, 30}, {-20, 30},
                                     {-20, -30}, {15, -30}, {20, -20}, {15, -10}, {-20, -10}},
                                    {{1, 9}, {10, 14}, {15, 19}});
    for (int32_t angle = 0; angle < 360; angle += 7) {
        auto scene = Project({b}, angle);
        LogoSlot& slot = scene->slots[1];
        std::set<int32_t> expected;
        const double sinA = std::sin(DegreesToRadians(angle));
        for (int32_t k = 1; k <= slot.shape.pointCount; ++k) {
            const ShapePoint p = slot.shape.points[k], q = slot.shape.points[slot.sides[k].corners[2]];
            // Clockwise rings: the solid lies left of an outer edge and right of a hole's edge.
            const double outwardX = slot.isHoleSide[k] ? (q.y - p.y) : -(q.y - p.y);
            const double towardViewer = -sinA * outwardX;
            if (std::abs(towardViewer) < 1e-6) continue;  // edge-on: may go either way
            if (towardViewer > 0) expected.insert(k);
        }
        std::set<int32_t> painted = Painted(slot);
        for (int32_t k = 1; k <= slot.shape.pointCount; ++k) {
            const ShapePoint p = slot.shape.points[k], q = slot.shape.points[slot.sides[k].corners[2]];
            if (std::abs(sinA * (q.y - p.y)) < 1e-6) painted.erase(k);
        }
        EXPECT_EQ(painted, expected) << "at " << angle << " degrees";
    }
}

TEST_F(SideFaces, ABoxTurnedByFortyFiveDegreesShowsItsNearWallAndTheFarWallOfItsHole) {
    // Faces: 1 right, 2 bottom, 3 left, 4 top of the outline; 5 right, 6 bottom, 7 left, 8 top of the hole.
    auto scene = Project({BoxWithHole()}, 45);
    VisibleCaps caps;
    const std::set<int32_t> painted = Painted(scene->slots[1], &caps);
    EXPECT_TRUE(painted.count(3)) << "the near outer wall";
    EXPECT_TRUE(painted.count(5)) << "the far wall of the hole";
    EXPECT_FALSE(painted.count(1)) << "the far outer wall";
    EXPECT_FALSE(painted.count(7)) << "the near wall of the hole faces away";
    EXPECT_TRUE(caps.front);
    EXPECT_FALSE(caps.back);
}

TEST_F(SideFaces, PerspectiveShowsTheWallsThatFaceTheEye) {
    // Slot 1 lies left of the centre: its right outer wall and the hole's left,
    // top and bottom walls face the eye.
    auto scene = Project({BoxWithHole(), BoxWithHole()}, 0);
    const std::set<int32_t> left = Painted(scene->slots[1]);
    EXPECT_EQ(left, (std::set<int32_t>{1, 6, 7, 8}));
    const std::set<int32_t> right = Painted(scene->slots[2]);
    EXPECT_EQ(right, (std::set<int32_t>{3, 5, 6, 8}));
}

TEST_F(SideFaces, TheCapFollowsTheOutlineEvenWhenItStartsInALine) {
    const ShapeRecord straightStart = MakeShape({{40, 50}, {40, 0}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 5}});
    VisibleCaps caps;
    auto front = Project({straightStart}, 0);
    Painted(front->slots[1], &caps);
    EXPECT_TRUE(caps.front);
    EXPECT_FALSE(caps.back);
    auto back = Project({straightStart}, 180);
    Painted(back->slots[1], &caps);
    EXPECT_FALSE(caps.front);
    EXPECT_TRUE(caps.back);
}

TEST_F(SideFaces, WallsSeenExactlyEdgeOnAreNotPainted) {
    settings.ENKIN = 0;
    auto scene = Project({BoxWithHole()}, 0);
    VisibleCaps caps;
    EXPECT_TRUE(Painted(scene->slots[1], &caps).empty());
    EXPECT_TRUE(caps.front);
    EXPECT_FALSE(caps.back);
}

TEST_F(SideFaces, ASlotWithoutPointsPaintsNothing) {
    auto scene = Project({ShapeRecord{}}, 30);
    VisibleCaps caps{true, true};
    EXPECT_TRUE(Painted(scene->slots[1], &caps).empty());
    EXPECT_FALSE(caps.front);
}

}  // namespace
