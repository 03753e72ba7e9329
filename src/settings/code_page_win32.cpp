#include "settings/code_page.h"

#include <windows.h>

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

std::optional<std::string> EncodeInCodePage(char32_t character) {
    wchar_t wide[2];
    int units = 1;
    if (character >= 0x110000 || (character >= 0xD800 && character < 0xE000)) return std::nullopt;
    if (character >= 0x10000) {
        wide[0] = wchar_t(0xD800 + ((character - 0x10000) >> 10));
        wide[1] = wchar_t(0xDC00 + ((character - 0x10000) & 0x3FF));
        units = 2;
    } else {
        wide[0] = wchar_t(character);
    }
    char out[8];
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, units, out, sizeof out, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    return std::string(out, size_t(length));
}
