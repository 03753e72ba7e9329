#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/shape_record.h"
#include "shape_record_text.h"

namespace {

TEST(ShapeRecords, NumbersReadAsDecimalRealsTruncatedTowardZero) {
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

}  // namespace
