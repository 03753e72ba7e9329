#include "settings/code_page.h"

#include <iconv.h>

#include <memory>

// Shape files come from Windows systems with the Japanese code page, so names
// are cut as that code page's characters.
bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::optional<std::string> EncodeInCodePage(char32_t character) {
    const iconv_t converter = iconv_open("CP932", "UTF-32LE");
    if (converter == iconv_t(-1)) return std::nullopt;
    std::unique_ptr<void, int (*)(iconv_t)> owner(converter, iconv_close);
    const unsigned char in[4] = {static_cast<unsigned char>(character), static_cast<unsigned char>(character >> 8),
                                 static_cast<unsigned char>(character >> 16), static_cast<unsigned char>(character >> 24)};
    char out[8];
    char* inPointer = const_cast<char*>(reinterpret_cast<const char*>(in));
    char* outPointer = out;
    size_t inLeft = sizeof in, outLeft = sizeof out;
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == size_t(-1) || inLeft != 0) return std::nullopt;
    return std::string(out, outPointer);
}
