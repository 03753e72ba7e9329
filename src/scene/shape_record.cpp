#include "scene/shape_record.h"

#include <algorithm>
#include <cstring>

#include "scene/numbers.h"

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

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

std::optional<std::string_view> NextRecordToken(std::string_view value, size_t& position) {
    const size_t begin = value.find_first_not_of(',', position);
    if (begin == std::string_view::npos) {
        position = value.size();
        return std::nullopt;
    }
    const size_t end = std::min(value.find(',', begin), value.size());
    position = end;
    return value.substr(begin, end - begin);
}

int CountRecordTokens(std::string_view value) {
    int count = 0;
    for (size_t position = 0; NextRecordToken(value, position);) ++count;
    return count;
}

int32_t ReadRecordNumber(std::string_view token) { return TruncateToInt32(ReadDecimalReal(token)); }

bool IsEndOfRecords(std::string_view value, std::string_view endMarker) {
    size_t position = 0;
    const std::optional<std::string_view> first = NextRecordToken(value, position);
    return first && EqualsIgnoringCase(*first, endMarker);
}

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

void CopyShapeName(std::string_view token, char (&name)[kNameBytes]) {
    size_t length = 0;
    while (length < token.size()) {
        const size_t width = IsLeadByte(static_cast<unsigned char>(token[length])) ? 2 : 1;
        if (length + width > kNameBytes - 1 || length + width > token.size()) break;
        length += width;
    }
    if (length > 0) std::memcpy(name, token.data(), length);
    name[length] = '\0';
}
