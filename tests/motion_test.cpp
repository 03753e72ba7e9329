#include "scene/motion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scene/numbers.h"
#include "scene_fixture.h"

namespace {

class Motion : public ::testing::Test {
protected:
    Motion() {
        settings.HABAJIDO = 1;  // depthUnits 3
        settings.VIEW = 0;
        settings.ENKIN = 0;
    }
    SaverSettings settings = DefaultSettings();
};

TEST_F(Motion, WithoutTurnTiltOrPerspectiveCornersLieOnTheOutline) {
    auto scene = BuildSceneOf({BoxWithHole()}, settings);
    ProjectScene(*scene, settings);
    const LogoSlot& slot = scene->slots[1];
    for (int k = 1; k <= 8; ++k) {
        for (int j : {k, k + 8}) {
            EXPECT_EQ(slot.screenPoints[j].x, slot.shape.points[k].x) << j;
            EXPECT_EQ(slot.screenPoints[j].y, slot.shape.points[k].y) << j;
        }
        EXPECT_EQ(slot.viewPoints[k].depth, -30.0);
        EXPECT_EQ(slot.viewPoints[k + 8].depth, 30.0);
    }
}

TEST_F(Motion, PerspectiveEnlargesTheFrontAndShrinksTheBack) {
    settings.ENKIN = 15;
    auto scene = BuildSceneOf({BoxWithHole()}, settings);
    ProjectScene(*scene, settings);
    const LogoSlot& slot = scene->slots[1];
    EXPECT_DOUBLE_EQ(slot.viewPoints[1].x, 40 / 0.955);  // corner 1 is (40, 50) after the normal form
    EXPECT_DOUBLE_EQ(slot.viewPoints[9].x, 40 / 1.045);
    EXPECT_EQ(slot.screenPoints[1].x, 41);
    EXPECT_EQ(slot.screenPoints[9].x, 38);
}

TEST_F(Motion, AQuarterTurnShowsTheLogoEdgeOn) {
    auto scene = BuildSceneOf({BoxWithHole(), BoxWithHole()}, settings);
    scene->turnAngle = 90;
    ProjectScene(*scene, settings);
    for (int i : {1, 2})
        for (int j = 1; j <= 16; ++j)
            EXPECT_NEAR(scene->slots[i].viewPoints[j].x, j <= 8 ? 30.0 : -30.0, 1e-3);

    settings.KAITEN = 1;  // each character about its own axis
    ProjectScene(*scene, settings);
    EXPECT_NEAR(scene->slots[1].viewPoints[1].x, -50 + 30.0, 1e-3);
    EXPECT_NEAR(scene->slots[2].viewPoints[9].x, 50 - 30.0, 1e-3);

    scene->turnAngle = 180;  // from behind: mirrored
    settings.KAITEN = 0;
    ProjectScene(*scene, settings);
    EXPECT_NEAR(scene->slots[1].viewPoints[1].x, -scene->slots[1].shape.points[1].x, 1e-3);
}

TEST_F(Motion, SpinTurnsEachCharacterAboutItsCellCentre) {
    settings.ZKAITEN2 = 1;
    auto scene = BuildSceneOf({BoxWithHole(), BoxWithHole()}, settings);
    scene->slots[2].spinAngle = 90;
    ProjectScene(*scene, settings);
    // (40, 50) in cell +50 turns counter-clockwise to (-50, 40) about (50, 0).
    EXPECT_NEAR(scene->slots[2].viewPoints[1].x, 50 - 50, 1e-3);
    EXPECT_NEAR(scene->slots[2].viewPoints[1].y, 40, 1e-3);
    EXPECT_EQ(scene->slots[1].viewPoints[1].x, scene->slots[1].shape.points[1].x) << "slot 1 does not spin";
}

TEST_F(Motion, TheTiltFollowsTheCentresHeight) {
    settings.VIEW = 9;
    auto scene = BuildSceneOf({BoxWithHole()}, settings);
    ProjectScene(*scene, settings);
    EXPECT_EQ(scene->slots[1].viewPoints[1].y, 50) << "no tilt at the middle height";
    scene->centreY = 768;  // bottom edge: seen from 90 degrees above
    ProjectScene(*scene, settings);
    EXPECT_NEAR(scene->slots[1].viewPoints[1].y, -30.0 * std::sin(DegreesToRadians(90)), 1e-3);
    scene->screenHeight = 0;  // a preview parent of no height
    ProjectScene(*scene, settings);
    EXPECT_EQ(scene->slots[1].viewPoints[1].y, 50);
}

TEST_F(Motion, CornersNearTheEyeNeverDivideByZeroOrMirror) {
    // Five letters of size 30: the near corners reach w < 0 at a quarter turn.
    settings.SIZE = settings.SIZEY = 30;
    settings.ENKIN = 15;
    auto scene = BuildSceneOf({BoxWithHole(), BoxWithHole(), BoxWithHole(), BoxWithHole(), BoxWithHole()}, settings);
    scene->turnAngle = 90;
    ProjectScene(*scene, settings);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 16; ++j) {
            const ViewPoint& v = scene->slots[i].viewPoints[j];
            ASSERT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.depth));
            EXPECT_LE(std::abs(v.x), 20 * 1200.0) << "drawn at w = 0.05 at worst";
        }
    // Slot 1's left corners come nearest (x = -720): drawn at w = 0.05 on the
    // side they are on, never mirrored across the screen.
    EXPECT_NEAR(scene->slots[1].viewPoints[3].x, 90 / 0.05, 0.01);

    // ENKIN 25 with HABA 20 and SIZE 20: w is exactly 0 for the front corners.
    settings = DefaultSettings();
    settings.ENKIN = 25, settings.HABAJIDO = 0, settings.HABA = 20, settings.SIZE = 20, settings.VIEW = 0;
    scene = BuildSceneOf({BoxWithHole()}, settings);
    ProjectScene(*scene, settings);
    EXPECT_DOUBLE_EQ(scene->slots[1].viewPoints[1].depth, -400 / 0.05);
}

TEST_F(Motion, AnglesAdvanceAndWrapOnce) {
    settings.STEPRAG = 9;
    settings.STEPRAG1 = 0;
    settings.STEPRAG9 = 30;
    auto scene = BuildSceneOf({BoxWithHole()}, settings);
    scene->turnAngle = 357;
    scene->slots[1].spinAngle = 123;
    scene->slots[9].spinAngle = 350;
    AdvanceScene(*scene, settings, FrameBox{});
    EXPECT_EQ(scene->turnAngle, 6);
    EXPECT_EQ(scene->slots[1].spinAngle, 123);
    EXPECT_EQ(scene->slots[9].spinAngle, 20) << "slots out of use advance too";
    EXPECT_EQ(scene->centreX, 512) << "turning in the centre never moves";
}

TEST_F(Motion, TheLogoBouncesOffItsBounds) {
    settings.OPTIONP = 2;
    settings.SIZEIDO = 0;
    auto scene = BuildSceneOf({BoxWithHole()}, settings);
    scene->centreX = scene->maxCentreX - 2;
    scene->velocityX = 2;
    const int32_t y = scene->centreY;
    AdvanceScene(*scene, settings, FrameBox{});
    EXPECT_EQ(scene->centreX, scene->maxCentreX) << "a step onto the bound is clamped there";
    EXPECT_LT(scene->velocityX, 0);
    EXPECT_GE(scene->velocityX, -4);
    EXPECT_EQ(scene->centreY, y + 2) << "the other axis keeps its velocity";

    // Bounds that coincide: both clamps fire, the centre stays, the velocity ends positive.
    scene->minCentreX = scene->maxCentreX = 512;
    scene->centreX = 512;
    AdvanceScene(*scene, settings, FrameBox{});
    EXPECT_EQ(scene->centreX, 512);
    EXPECT_GT(scene->velocityX, 0);

    // A logo that fills half the window's width stops moving sideways.
    scene->minCentreX = 0, scene->maxCentreX = 1024;
    const int32_t x = scene->centreX;
    AdvanceScene(*scene, settings, FrameBox{-512, -10, 512, 10});
    EXPECT_EQ(scene->centreX, x);
}

}  // namespace
