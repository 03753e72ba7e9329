#pragma once
// Shape records: one character outline per line of the shape section.
//
// A record value is a comma-separated token list: name, pointCount n, spare,
// four reversed side points, contourCount, 13 ranges (first, last), then n
// points (x, y): 34 + 2n tokens. Coordinates are shape units, x right, y up.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kMaxPoints = 45;
inline constexpr int kMaxContours = 13;
inline constexpr int kMaxShapeNames = 99;
inline constexpr int kNameBytes = 10;  // 9 bytes of text and the terminating zero
inline constexpr int kHeaderTokens = 34;
inline constexpr int32_t kMaxShapeCoordinate = 1'000'000;  // keeps scaled points far from overflow

// The saver reads at most 511 bytes of a record, the name list 254.
inline constexpr size_t kRecordBufferSize = 512;
inline constexpr size_t kNameBufferSize = 255;

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

// The next token of a record value from `position` on, which it moves past
// the token: commas separate, runs of commas count as one and leading commas
// are skipped; blanks stay inside tokens. Nothing when no token is left.
std::optional<std::string_view> NextRecordToken(std::string_view value, size_t& position);

// How many tokens a value holds.
int CountRecordTokens(std::string_view value);

// A number token: its decimal real truncated toward zero into 32 bits.
int32_t ReadRecordNumber(std::string_view token);

// True when the value's first token is `endMarker` (compared without case):
// no record. A missing key reads as the marker too.
bool IsEndOfRecords(std::string_view value, std::string_view endMarker);

// Fills `shape` from a record value, keeping it within the limits above: n
// within 0..45; a value of fewer than 34 + 2n tokens, with no tokens, or that
// starts with the end marker gives an empty shape; contourCount within 0..13,
// then only the ranges in use that lie within 1..n are kept, in order; points
// within +-1,000,000.
void ParseShapeRecord(std::string_view value, std::string_view endMarker, ShapeRecord& shape);

// True when `c` starts a double-byte character in the system code page.
bool IsLeadByte(unsigned char c);

// The character in the system code page, or nothing when the code page has none.
std::optional<std::string> EncodeInCodePage(char32_t character);

// Copies a name token into a name slot, cut to 9 bytes without splitting a
// double-byte character (a lead byte left alone at the end is dropped).
void CopyShapeName(std::string_view token, char (&name)[kNameBytes]);
