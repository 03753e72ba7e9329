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

// A record's name for a character: the character itself in the system code
// page, or its code point when the code page cannot hold it or when it
// would not survive as a record's first token (blanks, commas, controls).
std::string RecordName(char32_t character);
