#pragma once
// Shape records: one character outline per line of the shape section.
//
// A record value is a comma-separated token list: name, pointCount n, spare,
// four reversed side points, contourCount, 13 ranges (first, last), then n
// points (x, y): 34 + 2n tokens. Coordinates are shape units, x right, y up.

#include <cstdint>
#include <string_view>

#include "settings/record_tokens.h"

inline constexpr int kMaxPoints = 45;
inline constexpr int kMaxContours = 13;
inline constexpr int kHeaderTokens = 34;
inline constexpr int32_t kMaxShapeCoordinate = 1'000'000;  // keeps scaled points far from overflow

struct ShapePoint {
    int32_t x, y;
    bool operator==(const ShapePoint&) const = default;
};

// Points `first` to `last` (numbers from 1, both included), closing from last back to first.
struct ContourRange {
    int32_t first, last;
};

// One shape as the saver uses it. Numbering counts from 1: points[1..n] and
// contours[1..contourCount]; element 0 is unused. After loading,
// 0 <= pointCount <= 45, 0 <= contourCount <= 13, and every range in use
// satisfies 1 <= first <= last <= pointCount.
struct ShapeRecord {
    int32_t pointCount;
    int32_t spare;
    int32_t reversedSidePoints[4];  // point numbers whose side face runs the other way; 0 marks none
    int32_t contourCount;
    ContourRange contours[kMaxContours + 1];
    ShapePoint points[kMaxPoints + 1];
};

// Whether the shape keeps to the limits above, as loading leaves it.
bool IsWithinRecordLimits(const ShapeRecord& shape);

// A number token: its decimal real truncated toward zero into 32 bits.
int32_t ReadRecordNumber(std::string_view token);

// Fills `shape` from a record value, keeping it within the limits above: n
// within 0..45; a value of fewer than 34 + 2n tokens, with no tokens, or that
// starts with the end marker gives an empty shape; contourCount within 0..13,
// then only the ranges in use that lie within 1..n are kept, in order; points
// within +-1,000,000.
void ParseShapeRecord(std::string_view value, std::string_view endMarker, ShapeRecord& shape);
