#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/shape_names.h"
#include "shape_record_text.h"

namespace {

class ShapeNames : public ::testing::Test {
protected:
    void SetUp() override { LoadKeyNames(names); }
    ProfileNames names;
    TempIniFile file;
    ShapeNameList list{};
};

TEST_F(ShapeNames, ListsNamesUpToTheFirstGapOrEndMarker) {
    WriteShapeSection(file, {{"ZAHYO1", "A,1"}, {"ZAHYO2", "Bee Two,1"}, {"ZAHYO4", "D,1"}});
    ListShapeNames(file.store(), names, list);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.names[1], "A");
    EXPECT_STREQ(list.names[2], "Bee Two");

    WriteShapeSection(file, {{"ZAHYO1", "A,1"}, {"ZAHYO2", "zahyo-end"}, {"ZAHYO3", "C,1"}});
    ListShapeNames(file.store(), names, list);
    EXPECT_EQ(list.count, 1);

    TempIniFile missing;
    ListShapeNames(missing.store(), names, list);
    EXPECT_EQ(list.count, 0);
}

TEST_F(ShapeNames, ListsAtMostNinetyNineNames) {
    std::vector<std::pair<std::string, std::string>> records;
    for (int k = 1; k <= 120; ++k) records.emplace_back(RecordKey(k), std::string("N").append(std::to_string(k)));
    WriteShapeSection(file, records);
    ListShapeNames(file.store(), names, list);
    EXPECT_EQ(list.count, 99);
    EXPECT_STREQ(list.names[99], "N99");
}

}  // namespace
