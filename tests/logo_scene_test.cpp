#include "scene/logo_scene.h"
#include "scene/motion.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scene_fixture.h"

namespace {

std::vector<std::pair<int, int>> PointsOf(const ShapeRecord& shape) {
    std::vector<std::pair<int, int>> points;
    for (int k = 1; k <= shape.pointCount; ++k) points.emplace_back(shape.points[k].x, shape.points[k].y);
    return points;
}

class Scene : public ::testing::Test {
protected:
    // Builds a one-slot scene (or more, with the same shape) on a 1024 x 768 window.
    LogoSlot& Build(const ShapeRecord& shape, int slots = 1) {
        settings.OPTIONN = slots;
        for (int i = 1; i <= slots; ++i) scene->slots[i].shape = shape;
        scene->screenWidth = 1024;
        scene->screenHeight = 768;
        BuildScene(*scene, settings);
        return scene->slots[1];
    }
    SaverSettings settings = DefaultSettings();
    std::unique_ptr<LogoScene> scene = std::make_unique<LogoScene>();
};

const std::vector<std::pair<int, int>> kNormalSquare = {{40, 50}, {40, -50}, {-40, -50}, {-40, 50}};

TEST_F(Scene, EveryContourStartsAtItsRightmostTopPointAndRunsClockwise) {
    // Counter-clockwise (y up) from the bottom left.
    EXPECT_EQ(PointsOf(Build(MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50}}, {{1, 4}})).shape), kNormalSquare);
    // Clockwise from the bottom left.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(PointsOf(Build(MakeShape({{-40, -50}, {-40, 50}, {40, 50}, {40, -50}}, {{1, 4}})).shape), kNormalSquare);
    // Already in normal form.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(PointsOf(Build(MakeShape({{40, 50}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 4}})).shape), kNormalSquare);
    // Points tied on the greatest x: the higher one is the pivot.
    scene = std::make_unique<LogoScene>();
    const LogoSlot& tied = Build(MakeShape({{0, 0}, {40, 10}, {40, 30}}, {{1, 3}}));
    EXPECT_EQ(PointsOf(tied.shape), (std::vector<std::pair<int, int>>{{40, 30}, {40, 10}, {0, 0}}));
}

TEST_F(Scene, ARingThatRepeatsItsFirstPointIsStillPutClockwise) {
    // Counter-clockwise, closed explicitly: the pivot (40,50) appears twice.
    const LogoSlot& slot = Build(MakeShape({{40, 50}, {-40, 50}, {-40, -50}, {40, -50}, {40, 50}}, {{1, 5}}));
    EXPECT_EQ(PointsOf(slot.shape), (std::vector<std::pair<int, int>>{{40, 50}, {40, 50}, {40, -50}, {-40, -50}, {-40, 50}}));
    // A degenerate ring is left as it is.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(PointsOf(Build(MakeShape({{5, 5}, {5, 5}, {5, 5}}, {{1, 3}})).shape),
              (std::vector<std::pair<int, int>>{{5, 5}, {5, 5}, {5, 5}}));
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(PointsOf(Build(MakeShape({{-10000, 1}, {-10001, 5}, {-10000, -4}}, {{1, 3}})).shape),
              (std::vector<std::pair<int, int>>{{-10000, 1}, {-10001, 5}, {-10000, -4}}));
}

TEST_F(Scene, CellsAreLaidOutInALineAroundTheCentre) {
    const ShapeRecord dot = MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}});
    Build(dot, 1);
    EXPECT_EQ(scene->slots[1].cellCentreX, 0);
    Build(dot, 2);
    EXPECT_EQ(scene->slots[1].cellCentreX, -50);
    EXPECT_EQ(scene->slots[2].cellCentreX, 50);
    settings.SIZEY = 20;
    settings.SIZE = 5;
    Build(dot, 3);
    EXPECT_EQ(scene->slots[1].cellCentreX, -200);
    EXPECT_EQ(scene->slots[3].cellCentreX, 200);
    EXPECT_EQ(scene->slots[3].shape.points[1].x, 220);  // 10 units at SIZEY 20 are 20 pixels, in the cell at 200
    EXPECT_EQ(scene->slots[3].shape.points[1].y, 0);
}

TEST_F(Scene, SideQuadsWalkReversedPointsTheOtherWay) {
    const LogoSlot& slot = Build(MakeShape({{40, 50}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 4}}, {3, 0, 77, 0}));
    const int n = 4;
    EXPECT_TRUE(slot.sides[2].normalOrder);
    EXPECT_EQ(std::vector<int>(slot.sides[2].corners, slot.sides[2].corners + 4),
              (std::vector<int>{2 + n, 3 + n, 3, 2}));
    EXPECT_FALSE(slot.sides[3].normalOrder);
    EXPECT_EQ(std::vector<int>(slot.sides[3].corners, slot.sides[3].corners + 4),
              (std::vector<int>{3 + n, 3, 4, 4 + n}));
    // The last point closes back to the first.
    EXPECT_EQ(std::vector<int>(slot.sides[4].corners, slot.sides[4].corners + 4),
              (std::vector<int>{4 + n, 1 + n, 1, 4}));
}

TEST_F(Scene, PointsThatNoContourCoversCloseOntoPointOne) {
    // Contour 1 covers points 1..3 only; point 4 belongs to none.
    const LogoSlot& slot = Build(MakeShape({{40, 50}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 3}}, {4}));
    EXPECT_TRUE(slot.sides[4].normalOrder);
    EXPECT_EQ(slot.sides[4].corners[2], 1);
    EXPECT_EQ(slot.sides[3].corners[2], 1) << "the last of contour 1 closes onto its first";
}

TEST_F(Scene, HullFlagsMarkTheOuterEdgesOnly) {
    const LogoSlot& slot = Build(MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50},
                                            {-20, -20}, {20, -20}, {20, 20}, {-20, 20}},
                                           {{1, 4}, {5, 8}}));
    for (int k = 1; k <= 4; ++k) EXPECT_TRUE(slot.edgeOnHull[k]) << k;
    for (int k = 5; k <= 8; ++k) EXPECT_FALSE(slot.edgeOnHull[k]) << k;
    // A concave notch: the edges into the notch are not on the hull.
    scene = std::make_unique<LogoScene>();
    const LogoSlot& notch = Build(MakeShape({{40, 50}, {40, -50}, {-40, -50}, {0, 0}, {-40, 50}}, {{1, 5}}));
    EXPECT_EQ(std::vector<bool>(notch.edgeOnHull + 1, notch.edgeOnHull + 6),
              (std::vector<bool>{true, true, false, false, true}));
}

TEST_F(Scene, HolesAreTheContoursInsideAnOddNumberOfOthers) {
    // A "B": an outline with two holes.
    const LogoSlot& b = Build(MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50},
                                         {-20, 10}, {20, 10}, {20, 35}, {-20, 35},
                                         {-20, -35}, {20, -35}, {20, -10}, {-20, -10}},
                                        {{1, 4}, {5, 8}, {9, 12}}));
    EXPECT_EQ(std::vector<bool>(b.contourIsHole + 1, b.contourIsHole + 4), (std::vector<bool>{false, true, true}));
    EXPECT_FALSE(b.isHoleSide[4]);
    EXPECT_TRUE(b.isHoleSide[5]);
    EXPECT_TRUE(b.isHoleSide[12]);
    // A dot inside a hole is solid again.
    scene = std::make_unique<LogoScene>();
    const LogoSlot& dot = Build(MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50},
                                           {-30, -30}, {30, -30}, {30, 30}, {-30, 30},
                                           {-5, -5}, {5, -5}, {5, 5}, {-5, 5}},
                                          {{1, 4}, {5, 8}, {9, 12}}));
    EXPECT_EQ(std::vector<bool>(dot.contourIsHole + 1, dot.contourIsHole + 4), (std::vector<bool>{false, true, false}));
}

// Roles of the contours of one shape, contour 1 first.
std::vector<bool> RolesOf(const LogoSlot& slot) {
    return std::vector<bool>(slot.contourIsHole + 1, slot.contourIsHole + 1 + slot.shape.contourCount);
}

TEST_F(Scene, ContoursThatTouchKeepTheirRoles) {
    // A T: the stem's top edge lies on the bar's lower edge, its first point too.
    EXPECT_EQ(RolesOf(Build(MakeShape({{-40, 20}, {40, 20}, {40, 50}, {-40, 50}, {-10, -50}, {10, -50}, {10, 20}, {-10, 20}},
                                      {{1, 4}, {5, 8}}))),
              (std::vector<bool>{false, false}));
    // A hole whose rightmost point touches the outline's right edge.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(RolesOf(Build(MakeShape({{-40, -50}, {40, -50}, {40, 50}, {-40, 50}, {40, 0}, {20, 20}, {0, 0}, {20, -20}},
                                      {{1, 4}, {5, 8}}))),
              (std::vector<bool>{false, true}));
    // An L of two rectangles that share an edge: the foot's first points lie on the bar.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(RolesOf(Build(MakeShape({{20, -50}, {40, -50}, {40, 50}, {20, 50}, {-40, -50}, {20, -50}, {20, -30}, {-40, -30}},
                                      {{1, 4}, {5, 8}}))),
              (std::vector<bool>{false, false}));
    // A hole listed before its outline.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(RolesOf(Build(MakeShape({{-20, -20}, {20, -20}, {20, 20}, {-20, 20}, {-40, -50}, {40, -50}, {40, 50}, {-40, 50}},
                                      {{1, 4}, {5, 8}}))),
              (std::vector<bool>{true, false}));
    // Two squares that meet at one corner, the first square's first point.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(RolesOf(Build(MakeShape({{-40, -40}, {0, -40}, {0, 0}, {-40, 0}, {0, 0}, {40, 0}, {40, 40}, {0, 40}},
                                      {{1, 4}, {5, 8}}))),
              (std::vector<bool>{false, false}));
    // A contour whose every point lies on another's edges is an outer one.
    scene = std::make_unique<LogoScene>();
    EXPECT_EQ(RolesOf(Build(MakeShape({{-40, -40}, {40, -40}, {40, 40}, {-40, 40}, {40, 0}, {0, 40}, {-40, 0}},
                                      {{1, 4}, {5, 7}}))),
              (std::vector<bool>{false, false}));
}

TEST_F(Scene, TheCapReferenceSkipsPointsInLine) {
    // Normal form starts at (40,50) and runs down the straight right edge through (40,0).
    const LogoSlot& slot = Build(MakeShape({{40, 50}, {40, 0}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 5}}));
    EXPECT_EQ(slot.capPoint, 2);
    EXPECT_FALSE(slot.secondTurnLeft);  // clockwise outlines turn right
    scene = std::make_unique<LogoScene>();
    const LogoSlot& square = Build(MakeShape({{40, 50}, {40, -50}, {-40, -50}, {-40, 50}}, {{1, 4}}));
    EXPECT_EQ(square.capPoint, 1);
    EXPECT_FALSE(square.secondTurnLeft);
    scene = std::make_unique<LogoScene>();
    const LogoSlot& line = Build(MakeShape({{0, 0}, {10, 0}, {20, 0}}, {{1, 3}}));
    EXPECT_EQ(line.capPoint, 1);
    EXPECT_TRUE(line.secondTurnLeft);  // straight counts as left
}

TEST_F(Scene, TheFirstMovingStartAlwaysGoesLeftAndDown) {
    settings.OPTIONP = 2;
    settings.SIZEIDO = 10;
    Build(MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}}));
    EXPECT_EQ(scene->velocityX, -(10 + 4));
    EXPECT_EQ(scene->velocityY, +(10 + 2));
    EXPECT_EQ(scene->centreX, 512);
    EXPECT_EQ(scene->centreY, 384);
    EXPECT_EQ(scene->minCentreY, 120);
    EXPECT_EQ(scene->maxCentreY, 648);
}

TEST_F(Scene, ALogoWiderThanTheWindowCannotMoveSideways) {
    settings.OPTIONP = 2;
    settings.SIZEY = 50;
    Build(MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}}), 9);
    EXPECT_EQ(scene->minCentreX, 512);
    EXPECT_EQ(scene->maxCentreX, 512);
    // Turning in the centre sets no bounds and no motion.
    scene = std::make_unique<LogoScene>();
    settings.OPTIONP = 1;
    Build(MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}}));
    EXPECT_EQ(scene->maxCentreX, 0);
    EXPECT_EQ(scene->velocityX, 0);
    EXPECT_EQ(scene->randomState, 1u) << "no random draw without motion";
}

TEST_F(Scene, GlobalValuesFollowTheSettings) {
    settings.HABA = 20;
    settings.ENKIN = 15;
    Build(MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}}));
    EXPECT_EQ(scene->depthUnits, 3);
    EXPECT_EQ(settings.HABA, 3);
    EXPECT_EQ(scene->perspective, 0.0015);
    settings.HABAJIDO = 0;
    settings.HABA = 20;
    settings.ENKIN = 0;
    Build(MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}}));
    EXPECT_EQ(scene->depthUnits, 20);
    EXPECT_EQ(scene->perspective, 0.0);
}

TEST_F(Scene, ShadesFollowTheColourCodes) {
    const ShapeRecord dot = MakeShape({{0, 0}, {10, 0}, {0, 10}}, {{1, 3}});
    settings.COLORS = 0;
    settings.COLOR = 2;
    settings.OPTIONC2 = 5;
    Build(dot, 2);
    for (int i : {1, 2}) {
        EXPECT_EQ(scene->slots[i].frontShade.g, 255);
        EXPECT_EQ(scene->slots[i].sideShade.g, 192);
        EXPECT_EQ(scene->slots[i].backShade.g, 128);
        EXPECT_EQ(scene->slots[i].frontShade.r, 0);
    }
    EXPECT_EQ(settings.OPTIONC2, 2) << "one colour for all is written into each slot's own";

    // 6 is cyan and 7 magenta, as stored files have always shown them.
    scene = std::make_unique<LogoScene>();
    settings.COLORS = 1;
    settings.OPTIONC1 = 7;
    settings.OPTIONC2 = 6;
    settings.OPTIONC3 = 9;
    Build(dot, 3);
    const Rgb magenta = scene->slots[1].frontShade, cyan = scene->slots[2].sideShade;
    EXPECT_EQ((std::vector<int>{magenta.r, magenta.g, magenta.b}), (std::vector<int>{255, 0, 255}));
    EXPECT_EQ((std::vector<int>{cyan.r, cyan.g, cyan.b}), (std::vector<int>{0, 192, 192}));
    const Rgb none = scene->slots[3].frontShade;
    EXPECT_EQ((std::vector<int>{none.r, none.g, none.b}), (std::vector<int>{0, 0, 0})) << "colour 9 stays black";
}

TEST(RandomSteps, FollowTheLinearCongruentialGenerator) {
    LogoScene scene;
    SaverSettings settings{};
    settings.SIZEIDO = 0;
    std::vector<int> quarters;
    RandomStep last{};
    for (int i = 0; i < 3; ++i) {
        last = DrawRandomStep(scene, settings);
        quarters.push_back(last.quarter);
    }
    EXPECT_EQ(quarters, (std::vector<int>{4, 2, 4}));  // r = 41, 18467, 6334
    EXPECT_EQ(last.step, 4);
    int top = 0;
    for (int i = 0; i < 1000; ++i) {
        const RandomStep draw = DrawRandomStep(scene, settings);
        ASSERT_GE(draw.quarter, 1);
        ASSERT_LE(draw.quarter, 4);
        ASSERT_EQ(draw.step, draw.quarter + settings.SIZEIDO);
        top += draw.quarter == 1;
    }
    EXPECT_GT(top, 150);
    EXPECT_LT(top, 350);
}

// A denser screen shows the logo the user chose at the size it has at 96
// dpi: every projected corner and the start speed grow by dpi / 96, up to
// the whole pixels (the sizes chosen scale to whole sizes at these dpi).
TEST(DenserScreens, ShowTheSameLogoScaled) {
    auto projected = [](int32_t dpi) {
        SaverSettings settings = DefaultSettings();
        settings.SIZE = 8, settings.SIZEY = 12, settings.ENKIN = 30, settings.VIEW = 4, settings.HABAJIDO = 0;
        settings.HABA = 7, settings.OPTIONP = 2, settings.SIZEIDO = 5;
        auto scene = std::make_unique<LogoScene>();
        settings.OPTIONN = 3;
        for (int i = 1; i <= 3; ++i) scene->slots[i].shape = BoxWithHole();
        scene->screenWidth = 3000, scene->screenHeight = 2000, scene->dpi = dpi;
        BuildScene(*scene, settings);
        scene->turnAngle = 37;
        scene->centreY = 1400;  // below the middle, so the view tilts
        ProjectScene(*scene, settings);
        return scene;
    };
    const auto standard = projected(96);
    for (const int32_t dpi : {120, 144, 192}) {
        const auto dense = projected(dpi);
        const double k = dpi / 96.0;
        for (int s = 1; s <= 3; ++s)
            for (int j = 1; j <= 16; ++j) {
                const ScreenPoint p = standard->slots[s].screenPoints[j], q = dense->slots[s].screenPoints[j];
                // Both sides truncate to whole pixels.
                ASSERT_NEAR(q.x, k * p.x, 1 + k) << dpi << " dpi, slot " << s << ", corner " << j;
                ASSERT_NEAR(q.y, k * p.y, 1 + k) << dpi << " dpi, slot " << s << ", corner " << j;
            }
        EXPECT_NEAR(dense->velocityX, k * standard->velocityX, 0.5) << dpi;
        EXPECT_NEAR(dense->velocityY, k * standard->velocityY, 0.5) << dpi;
    }
}

}  // namespace
