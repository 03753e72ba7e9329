#pragma once
// Characters between the command line (UTF-8), the fonts (code points) and
// the shape file (names in the system code page).

#include <optional>
#include <string>
#include <string_view>

// The code points of UTF-8 text; nothing when it is not valid UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view text);

std::string EncodeUtf8(char32_t character);

// "U+0041" style, four hex digits at least.
std::string CodePointName(char32_t character);

// What a shape file keeps of a name's bytes: the system code page, or ASCII
// alone in a file with a byte-order mark, whose other text reads back as '?'.
enum class NameBytes { kCodePage, kAscii };

// What the file of these bytes keeps.
NameBytes NameBytesOf(std::string_view fileBytes);

// A record's name for a character: the character itself in the system code
// page, or its code point when the file cannot hold it or when it would not
// survive as a record's first token (blanks, commas, controls).
std::string RecordName(char32_t character, NameBytes bytes = NameBytes::kCodePage);

// `text` as a JSON string, quotes included, that any parser reads: quotes,
// backslashes and controls (C0, DEL, C1) escaped, and each byte that is not
// part of valid UTF-8 written as the character of that byte (\u00XX), so
// that a file name or text in another encoding still gives valid JSON.
std::string QuoteJson(std::string_view text);
