#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/shape_check.h"
#include "scene/shape_library.h"
#include "temp_ini_file.h"

namespace {

std::vector<std::string> Tokens(std::string_view value) {
    std::vector<std::string> tokens;
    for (size_t position = 0; auto token = NextRecordToken(value, position);) tokens.emplace_back(*token);
    return tokens;
}

// A record value for the given points and ranges.
std::string Record(const std::string& name, const std::vector<ShapePoint>& points,
                   const std::vector<ContourRange>& contours, const std::string& reversed = "0,0,0,0") {
    std::string value = name;
    auto add = [&](const std::string& token) { value.append(",").append(token); };
    add(std::to_string(points.size()));
    add("0");
    add(reversed);
    add(std::to_string(contours.size()));
    for (size_t c = 0; c < 13; ++c) {
        const ContourRange range = c < contours.size() ? contours[c] : ContourRange{0, 0};
        add(std::to_string(range.first));
        add(std::to_string(range.last));
    }
    for (const ShapePoint& p : points) {
        add(std::to_string(p.x));
        add(std::to_string(p.y));
    }
    return value;
}

const std::string kBox = Record("Box", {{-40, -50}, {40, -50}, {40, 50}, {-40, 50}, {-20, -20}, {20, -20}, {20, 20}, {-20, 20}},
                                {{1, 4}, {5, 8}});

TEST(RecordTokens, CommasSeparateAndBlanksStay) {
    EXPECT_EQ(Tokens("A,,3"), (std::vector<std::string>{"A", "3"}));
    EXPECT_EQ(Tokens(",,A B, 12 ,,"), (std::vector<std::string>{"A B", " 12 "}));
    EXPECT_EQ(Tokens(""), std::vector<std::string>{});
    EXPECT_EQ(CountRecordTokens(kBox), 50);
}

TEST(RecordTokens, NumbersReadAsDecimalRealsTruncatedTowardZero) {
    EXPECT_EQ(ReadRecordNumber(" 12"), 12);
    EXPECT_EQ(ReadRecordNumber("1 2"), 1);
    EXPECT_EQ(ReadRecordNumber("-0.5"), 0);
    EXPECT_EQ(ReadRecordNumber("12.9"), 12);
    EXPECT_EQ(ReadRecordNumber("-3.7"), -3);
    EXPECT_EQ(ReadRecordNumber("7abc"), 7);
    EXPECT_EQ(ReadRecordNumber("abc"), 0);
    EXPECT_EQ(ReadRecordNumber("+.5e1"), 5);
    EXPECT_EQ(ReadRecordNumber("4e"), 4);
    // Only what the record format allows: no infinities, NaNs or hexadecimal.
    EXPECT_EQ(ReadRecordNumber("inf"), 0);
    EXPECT_EQ(ReadRecordNumber("-infinity"), 0);
    EXPECT_EQ(ReadRecordNumber("nan"), 0);
    EXPECT_EQ(ReadRecordNumber("0x1A"), 0);
    // Beyond 32 bits: the nearer end, never undefined behaviour.
    EXPECT_EQ(ReadRecordNumber("3e9"), INT32_MAX);
    EXPECT_EQ(ReadRecordNumber("-3e9"), INT32_MIN);
    EXPECT_EQ(ReadRecordNumber("1e999"), INT32_MAX);
    EXPECT_EQ(ReadRecordNumber("-1e999"), INT32_MIN);
    EXPECT_EQ(ReadRecordNumber("1e-999"), 0);
    EXPECT_EQ(ReadRecordNumber("0." + std::string(400, '0') + "1e300"), 0);
    EXPECT_EQ(ReadRecordNumber(std::string(400, '9')), INT32_MAX);
}

TEST(RecordTokens, TheEndMarkerIsComparedWithoutCase) {
    EXPECT_TRUE(IsEndOfRecords("ZAHYO-END", "ZAHYO-END"));
    EXPECT_TRUE(IsEndOfRecords("zahyo-end,1,2", "ZAHYO-END"));
    EXPECT_FALSE(IsEndOfRecords(" ZAHYO-END", "ZAHYO-END"));
    EXPECT_FALSE(IsEndOfRecords("", "ZAHYO-END"));
}

TEST(ShapeRecords, ParseEveryFieldOfASoundRecord) {
    ShapeRecord shape;
    ParseShapeRecord(Record("R", {{1, 2}, {3, 4}, {5, 6}, {7, 8}}, {{1, 4}}, "3,0,9,2"), "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 4);
    EXPECT_EQ(shape.reversedSidePoints[0], 3);
    EXPECT_EQ(shape.reversedSidePoints[2], 9);
    EXPECT_EQ(shape.contourCount, 1);
    EXPECT_EQ(shape.contours[1].last, 4);
    EXPECT_EQ(shape.points[4].x, 7);
    EXPECT_EQ(shape.points[4].y, 8);
}

TEST(ShapeRecords, RecordsBeyondTheLimitsNeverOverrunAnything) {
    ShapeRecord shape;
    // Fewer tokens than the point count asks for: an empty shape.
    ParseShapeRecord("X,8,0,0,0,0,0,1,1,8", "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 0);
    EXPECT_EQ(shape.contourCount, 0);

    // More than 45 points: kept at 45, which the tokens must then cover.
    std::vector<ShapePoint> many(50, ShapePoint{1, 1});
    std::string value = Record("M", many, {{1, 50}});
    ParseShapeRecord(value, "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 45);
    EXPECT_EQ(shape.contourCount, 0) << "the range 1..50 lies beyond the points kept";

    // A negative point count reads no points but keeps the header.
    ParseShapeRecord(Record("N", {}, {}, "7,0,0,0").replace(2, 1, "-3"), "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 0);
    EXPECT_EQ(shape.reversedSidePoints[0], 7);

    // Only sound ranges among those in use are kept, in order.
    ParseShapeRecord(Record("C", std::vector<ShapePoint>(9, ShapePoint{0, 0}),
                            {{1, 3}, {5, 4}, {0, 2}, {4, 9}, {7, 10}, {6, 6}}),
                     "ZAHYO-END", shape);
    ASSERT_EQ(shape.contourCount, 3);
    EXPECT_EQ(shape.contours[1].last, 3);
    EXPECT_EQ(shape.contours[2].first, 4);
    EXPECT_EQ(shape.contours[3].first, 6);

    // A contour count above 13 uses the 13 ranges there are.
    value = Record("T", {{0, 0}, {1, 0}, {1, 1}}, {{1, 3}});
    ParseShapeRecord(value.replace(value.find(",1,1,3"), 6, ",99,1,3"), "ZAHYO-END", shape);
    EXPECT_EQ(shape.contourCount, 1);

    // Far points are kept within +-1,000,000 shape units.
    ParseShapeRecord(Record("F", {{2000000000, -2000000000}, {0, 0}, {1, 1}}, {{1, 3}}), "ZAHYO-END", shape);
    EXPECT_EQ(shape.points[1].x, 1000000);
    EXPECT_EQ(shape.points[1].y, -1000000);

    // No tokens, or the end marker: no shape.
    ParseShapeRecord(",,,", "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 0);
    ParseShapeRecord("zahyo-end", "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 0);
}

TEST(ShapeRecords, ARecordOfNoPointsKeepsItsHeader) {
    ShapeRecord shape;
    ParseShapeRecord(Record("Z", {}, {}, "4,0,0,1"), "ZAHYO-END", shape);
    EXPECT_EQ(shape.pointCount, 0);
    EXPECT_EQ(shape.reversedSidePoints[0], 4);
    EXPECT_EQ(shape.reversedSidePoints[3], 1);
}

TEST(ShapeNames, AreCutToNineBytes) {
    char name[kNameBytes];
    CopyShapeName("ABCDEFGHIJK", name);
    EXPECT_STREQ(name, "ABCDEFGHI");
    CopyShapeName("", name);
    EXPECT_STREQ(name, "");
#ifndef _WIN32
    // Japanese code page: a double-byte character is never split.
    CopyShapeName("ABCDEFGH\x82\xa0", name);
    EXPECT_STREQ(name, "ABCDEFGH");
    CopyShapeName("ABCDEFG\x82\xa0Z", name);
    EXPECT_STREQ(name, "ABCDEFG\x82\xa0");
    CopyShapeName("AB\x82", name);  // a lone lead byte at the end
    EXPECT_STREQ(name, "AB");
#endif
}

class ShapeLibrary : public ::testing::Test {
protected:
    void SetUp() override { LoadKeyNames(names); }
    void WriteSection(const std::vector<std::pair<std::string, std::string>>& records) {
        std::string text = "[MOJI ZAHYO]\r\n";
        for (const auto& [key, value] : records) text += key + "=" + value + "\r\n";
        file.Write(text);
    }
    ProfileNames names;
    TempIniFile file;
    ShapeNameList list{};
};

TEST_F(ShapeLibrary, ListsNamesUpToTheFirstGapOrEndMarker) {
    WriteSection({{"ZAHYO1", "A,1"}, {"ZAHYO2", "Bee Two,1"}, {"ZAHYO4", "D,1"}});
    ListShapeNames(file.store(), names, list);
    ASSERT_EQ(list.count, 2);
    EXPECT_STREQ(list.names[1], "A");
    EXPECT_STREQ(list.names[2], "Bee Two");

    WriteSection({{"ZAHYO1", "A,1"}, {"ZAHYO2", "zahyo-end"}, {"ZAHYO3", "C,1"}});
    ListShapeNames(file.store(), names, list);
    EXPECT_EQ(list.count, 1);

    TempIniFile missing;
    ListShapeNames(missing.store(), names, list);
    EXPECT_EQ(list.count, 0);
}

TEST_F(ShapeLibrary, ListsAtMostNinetyNineNames) {
    std::vector<std::pair<std::string, std::string>> records;
    for (int k = 1; k <= 120; ++k) records.emplace_back(RecordKey(k), std::string("N").append(std::to_string(k)));
    WriteSection(records);
    ListShapeNames(file.store(), names, list);
    EXPECT_EQ(list.count, 99);
    EXPECT_STREQ(list.names[99], "N99");
}

TEST_F(ShapeLibrary, EachSlotLoadsItsOwnCopy) {
    WriteSection({{"ZAHYO1", "zero,0"}, {"ZAHYO2", "broken,4,0"}, {"ZAHYO3", "ZAHYO-END"},
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
    EXPECT_EQ(RecordKey(-1), "ZAHYO4294967295");
}

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
