#include "glyphs/text_codes.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "settings/code_page.h"
#include "settings/ini_file.h"
#include "settings/record_tokens.h"

namespace {

// The character that starts `text` and its length in bytes; a length of 0
// when `text` does not start with valid UTF-8.
std::pair<char32_t, size_t> FirstCharacter(std::string_view text) {
    const unsigned char lead = static_cast<unsigned char>(text[0]);
    int extra = -1;  // continuation bytes after the lead byte
    if (lead < 0x80)
        extra = 0;
    else if (lead >= 0xC2 && lead < 0xE0)
        extra = 1;
    else if (lead >= 0xE0 && lead < 0xF0)
        extra = 2;
    else if (lead >= 0xF0 && lead < 0xF5)
        extra = 3;
    if (extra < 0 || size_t(extra) > text.size() - 1) return {0, 0};
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[size_t(k)]);
        if ((next & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not UTF-8.
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) return {0, 0};
    return {c, size_t(extra) + 1};
}

}  // namespace

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string out;
    while (!text.empty()) {
        const auto [c, length] = FirstCharacter(text);
        if (length == 0) return std::nullopt;
        out += c;
        text.remove_prefix(length);
    }
    return out;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

std::string CodePointName(char32_t character) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(character));
    return name;
}

NameBytes NameBytesOf(std::string_view fileBytes) {
    return HasByteOrderMark(fileBytes) ? NameBytes::kAscii : NameBytes::kCodePage;
}

std::string RecordName(char32_t character, NameBytes bytes) {
    const bool unsafe = character <= 0x20 || character == 0x7F || character == ',' || character == 0x3000 ||
                        (character >= 0x80 && character < 0xA0) || (bytes == NameBytes::kAscii && character >= 0x80);
    if (!unsafe)
        if (const std::optional<std::string> encoded = EncodeInCodePage(character);
            encoded && !encoded->empty() && encoded->size() < size_t(kNameBytes))
            return *encoded;
    return CodePointName(character);
}

std::string QuoteJson(std::string_view text) {
    std::string out = "\"";
    while (!text.empty()) {
        const auto [c, length] = FirstCharacter(text);
        if (length > 0 && c >= 0x20 && !(c >= 0x7F && c < 0xA0)) {
            if (c == '"' || c == '\\') out += '\\';
            out.append(text.substr(0, length));
            text.remove_prefix(length);
            continue;
        }
        // A control as itself; a stray byte as the character of its value, as Latin-1 reads it.
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", length > 0 ? unsigned(c) : unsigned(uint8_t(text[0])));
        out += escaped;
        text.remove_prefix(length > 0 ? length : 1);
    }
    return out + "\"";
}
