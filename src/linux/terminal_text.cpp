#include "linux/terminal_text.h"

namespace {

// The length of the valid UTF-8 sequence at the start of `text`, 0 when there is none.
size_t Utf8Length(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                            : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || length > text.size()) return 0;
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if ((c & 0xC0) != 0x80) return 0;
        value = value << 6 | (c & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool isSurrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < least[length] || value > 0x10FFFF || isSurrogate ? 0 : length;
}

}  // namespace

std::string ForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const size_t length = Utf8Length(text);
        const auto first = static_cast<unsigned char>(text[0]), second = static_cast<unsigned char>(text[1 % text.size()]);
        const bool isControl = length == 1 ? (first < 0x20 && first != '\n' && first != '\t') || first == 0x7F
                                            : length == 2 && first == 0xC2 && second < 0xA0;
        if (length == 0 || isControl) {
            // A C1 control is two bytes in UTF-8; both are shown.
            const size_t shown = length == 0 ? 1 : length;
            for (size_t k = 0; k < shown; ++k) {
                char escaped[5];
                std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[k]));
                out += escaped;
            }
            text.remove_prefix(shown);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

void PrintProblem(std::string_view message) { std::fprintf(stderr, "korunex: %s\n", ForTerminal(message).c_str()); }
