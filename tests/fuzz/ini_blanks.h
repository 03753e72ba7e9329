#pragma once
// Blanks as the ini reader trims them (the C blanks and the DOS end-of-file
// mark 0x1A), for the fuzz targets' own, independent reading of lines: in
// bytes, or in the 16-bit units of a UTF-16 file.

#include <string_view>

template <typename Char>
constexpr bool IsIniBlank(Char c) {
    return (c >= 0x09 && c <= 0x0D) || c == ' ' || c == 0x1A;
}

template <typename Char>
std::basic_string_view<Char> TrimIniBlanks(std::basic_string_view<Char> s) {
    while (!s.empty() && IsIniBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsIniBlank(s.back())) s.remove_suffix(1);
    return s;
}
