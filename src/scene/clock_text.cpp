#include "scene/clock_text.h"

#include <set>

#include "scene/logo_scene.h"
#include "settings/code_page.h"
#include "settings/settings_store.h"

namespace {

// Every conversion of C's strftime, with the E and O modifiers where C allows them.
bool IsCFormat(std::string_view format) {
    constexpr std::string_view kConversions = "aAbBcCdDeFgGhHIjmMnprRStTuUVwWxXyYzZ%";
    constexpr std::string_view kWithE = "cCxXyY", kWithO = "deHImMSuUVwWy";
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i == format.size()) return false;
        std::string_view allowed = kConversions;
        if (format[i] == 'E' || format[i] == 'O') {
            allowed = format[i] == 'E' ? kWithE : kWithO;
            if (++i == format.size()) return false;
        }
        if (allowed.find(format[i]) == std::string_view::npos) return false;
    }
    return true;
}

std::string Formatted(std::string_view format, const std::tm& time) {
    if (!IsCFormat(format)) return {};
    const std::string zeroEnded(format);
    char text[256];
    return std::string(text, std::strftime(text, sizeof text, zeroEnded.c_str(), &time));
}

// What a conversion can write in the C locale besides digits and blanks.
std::string ConversionCharacters(char conversion) {
    constexpr std::string_view kDays = "SundayMondayTuesdayWednesdayThursdayFridaySaturday";
    constexpr std::string_view kMonths = "JanuaryFebruaryMarchAprilMayJuneJulyAugustSeptemberOctoberNovemberDecember";
    switch (conversion) {
        case 'a': case 'A': return std::string(kDays);
        case 'b': case 'B': case 'h': return std::string(kMonths);
        case 'c': return std::string(kDays) + std::string(kMonths) + ":";  // "Sun Jan  1 12:34:56 2026"
        case 'p': return "AMP";
        case 'r': return "AMP:";
        case 'D': case 'x': return "/";
        case 'F': return "-";
        case 'R': case 'T': case 'X': return ":";
        case 'z': return "+-";
        case '%': return "%";
        default: return "";
    }
}

}  // namespace

std::string ClockCharacters(std::string_view format) {
    // A format the saver would not take shows the default one.
    if (format.empty() || !IsCFormat(format)) format = kDefaultClockFormat;
    std::string all = "0123456789";
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            all += format[i];
            continue;
        }
        if (format[++i] == 'E' || format[i] == 'O') ++i;
        all += ConversionCharacters(format[i]);
    }
    std::set<std::string> unique;
    for (std::string& character : SplitCharacters(all))
        if (character.size() > 1 || static_cast<unsigned char>(character[0]) > ' ') unique.insert(std::move(character));
    std::string characters;
    for (const std::string& character : unique) characters += character;
    return characters;
}

std::vector<std::string> SplitCharacters(std::string_view text) {
    std::vector<std::string> characters;
    for (size_t i = 0; i < text.size();) {
        const size_t length = IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        characters.emplace_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

std::string FormatClock(std::string_view format, const std::tm& time) {
    std::string text = Formatted(format, time);
    if (text.empty()) text = Formatted(kDefaultClockFormat, time);
    std::string cut;
    int count = 0;
    for (const std::string& character : SplitCharacters(text)) {
        if (++count > kMaxSlots) break;
        cut += character;
    }
    return cut;
}
