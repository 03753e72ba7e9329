#include "settings/record_tokens.h"

#include <algorithm>
#include <cstring>

#include "settings/ascii_text.h"
#include "settings/code_page.h"

std::string RecordKey(int32_t number) { return "ZAHYO" + std::to_string(static_cast<uint32_t>(number)); }

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

bool IsEndOfRecords(std::string_view value, std::string_view endMarker) {
    size_t position = 0;
    const std::optional<std::string_view> first = NextRecordToken(value, position);
    return first && EqualsIgnoringCase(*first, endMarker);
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
