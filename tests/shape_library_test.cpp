#include <gtest/gtest.h>

#include "scene/shape_library.h"
#include "shape_record_text.h"

namespace {

TEST(ShapeLibrary, EachSlotLoadsItsOwnCopy) {
    ProfileNames names;
    LoadKeyNames(names);
    TempIniFile file;
    WriteShapeSection(file, {{"ZAHYO1", "zero,0"}, {"ZAHYO2", "broken,4,0"}, {"ZAHYO3", "ZAHYO-END"},
                            {"ZAHYO5", kBox}});
    // Record 3 ends the list, but a slot still reads by its own number.
    SaverSettings settings{};
    settings.OPTIONN = 4;
    settings.OPTIONA1 = 5;
    settings.OPTIONA2 = 5;
    settings.OPTIONA3 = 2;
    settings.OPTIONA4 = -1;
    LogoScene scene;
    LoadSlotShapes(file.store(), names, settings, scene);
    EXPECT_EQ(scene.slots[1].shape.pointCount, 8);
    EXPECT_EQ(scene.slots[2].shape.pointCount, 8);
    scene.slots[1].shape.points[1].x = 99;
    EXPECT_EQ(scene.slots[2].shape.points[1].x, -40);
    EXPECT_EQ(scene.slots[3].shape.pointCount, 0);
    EXPECT_EQ(scene.slots[4].shape.pointCount, 0);
}

}  // namespace
