#include "scene/shape_record.h"

#include <algorithm>

#include "scene/numbers.h"

namespace {

// Reads the value's tokens one by one; a missing token reads as 0.
class TokenReader {
public:
    explicit TokenReader(std::string_view value) : value_(value) {}
    std::string_view Text() { return NextRecordToken(value_, position_).value_or(std::string_view{}); }
    int32_t Number() { return ReadRecordNumber(Text()); }

private:
    std::string_view value_;
    size_t position_ = 0;
};

}  // namespace

bool IsWithinRecordLimits(const ShapeRecord& shape) {
    if (shape.pointCount < 0 || shape.pointCount > kMaxPoints) return false;
    if (shape.contourCount < 0 || shape.contourCount > kMaxContours) return false;
    for (int c = 1; c <= shape.contourCount; ++c) {
        const ContourRange& range = shape.contours[c];
        if (range.first < 1 || range.first > range.last || range.last > shape.pointCount) return false;
    }
    return true;
}

int32_t ReadRecordNumber(std::string_view token) { return TruncateToInt32(ReadDecimalReal(token)); }

void ParseShapeRecord(std::string_view value, std::string_view endMarker, ShapeRecord& shape) {
    shape = ShapeRecord{};
    if (IsEndOfRecords(value, endMarker)) return;
    const int tokens = CountRecordTokens(value);

    TokenReader reader(value);
    reader.Text();  // the name: the saver does not show it
    const int32_t n = std::clamp(reader.Number(), 0, kMaxPoints);
    if (tokens < kHeaderTokens + 2 * n) return;

    shape.pointCount = n;
    shape.spare = reader.Number();
    for (int32_t& point : shape.reversedSidePoints) point = reader.Number();
    const int32_t contoursInUse = std::clamp(reader.Number(), 0, kMaxContours);
    for (int c = 1; c <= kMaxContours; ++c) {
        const ContourRange range{reader.Number(), reader.Number()};
        const bool isSound = 1 <= range.first && range.first <= range.last && range.last <= n;
        if (c <= contoursInUse && isSound) shape.contours[++shape.contourCount] = range;
    }
    for (int k = 1; k <= n; ++k) {
        shape.points[k].x = std::clamp(reader.Number(), -kMaxShapeCoordinate, kMaxShapeCoordinate);
        shape.points[k].y = std::clamp(reader.Number(), -kMaxShapeCoordinate, kMaxShapeCoordinate);
    }
}
