#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/shape_check.h"
#include "shape_record_text.h"

namespace {

TEST(ShapeCheck, SaysWhatIsWrongAndWhere) {
    EXPECT_TRUE(CheckShapeRecord(3, kBox).empty());

    const std::string shortRecord = kBox.substr(0, kBox.rfind(",-20,20"));
    EXPECT_EQ(CheckShapeRecord(7, shortRecord),
              std::vector<std::string>{"ZAHYO7 \"Box\": 48 tokens, 50 expected (34 + 2 x 8)"});

    auto problems = CheckShapeRecord(2, Record("LongerName", {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {5, 5}}, {{1, 4}, {5, 5}}));
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "ZAHYO2 \"LongerName\": name is 10 bytes long, 9 at most",
                            "ZAHYO2 \"LongerName\": contour 2 (5..5) has 1 points, 3 at least"}));

    problems = CheckShapeRecord(1, Record("G", {{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {{1, 3}}));
    EXPECT_EQ(problems, std::vector<std::string>{"ZAHYO1 \"G\": the contours cover points 1..3, not 1..4"});

    problems = CheckShapeRecord(1, Record("R", {{0, 0}, {1, 0}, {1, 1}}, {{2, 9}}));
    EXPECT_EQ(problems, std::vector<std::string>{"ZAHYO1 \"R\": contour 1 (2..9) is not a range within points 1..3"});

    problems = CheckShapeRecord(1, "Q,3x,0,0,0,0,0,1,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,1,1");
    EXPECT_EQ(problems, std::vector<std::string>{"ZAHYO1 \"Q\": token 2 \"3x\" is not a number"});

    problems = CheckShapeRecord(1, kBox + std::string(500, ','));
    EXPECT_EQ(problems, std::vector<std::string>{"ZAHYO1 \"Box\": value is " + std::to_string(kBox.size() + 500) +
                                                    " characters long, 511 at most"});
}

}  // namespace
