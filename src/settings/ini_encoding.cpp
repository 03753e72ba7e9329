#include "settings/ini_encoding.h"

#include <cstdint>

namespace {

void AppendUtf8(std::string& out, uint32_t unit) {
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

// UTF-16 text as UTF-8 with every unit on its own (an unpaired surrogate
// included), so that it converts back unchanged and its ASCII keeps its place.
std::string Utf16ToUnitUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        AppendUtf8(out, bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return out;
}

std::string UnitUtf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        uint32_t unit = length == 1 ? c : length == 2 ? c & 0x1F : c & 0x0F;
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            unit = unit << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += length;
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

}  // namespace

Marked DetectEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return {Encoding::kUtf8, 3};
    if (bytes.starts_with("\xFF\xFE")) return {Encoding::kUtf16Le, 2};
    if (bytes.starts_with("\xFE\xFF")) return {Encoding::kUtf16Be, 2};
    return {Encoding::kAnsi, 0};
}

std::string TextOf(std::string_view bytes, Marked marked) {
    const std::string_view body = bytes.substr(marked.markBytes);
    switch (marked.encoding) {
    case Encoding::kUtf16Le: return Utf16ToUnitUtf8(body, false);
    case Encoding::kUtf16Be: return Utf16ToUnitUtf8(body, true);
    default: return std::string(body);
    }
}

std::string InEncoding(std::string_view text, Marked marked) {
    switch (marked.encoding) {
    case Encoding::kUtf16Le: return UnitUtf8ToUtf16(text, false);
    case Encoding::kUtf16Be: return UnitUtf8ToUtf16(text, true);
    default: return std::string(text);
    }
}

std::string Utf8ToCodePage(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i++]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        out += '?';
        const size_t continuations = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        for (size_t k = 0; k < continuations && i < text.size() && (text[i] & 0xC0) == 0x80; ++k) ++i;
    }
    return out;
}
