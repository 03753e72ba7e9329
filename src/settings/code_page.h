#pragma once
// The system code page's double-byte characters.

#include <optional>
#include <string>

// True when `c` starts a double-byte character in the system code page.
bool IsLeadByte(unsigned char c);

// The character in the system code page, or nothing when the code page has none.
std::optional<std::string> EncodeInCodePage(char32_t character);
