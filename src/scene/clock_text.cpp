#include "scene/clock_text.h"

#include <set>

#include "scene/clock_format.h"
#include "scene/logo_scene.h"
#include "settings/code_page.h"
#include "settings/settings_store.h"

namespace {

bool IsCFormat(std::string_view format) { return FormatTime(format, std::tm{}).has_value(); }

std::string Formatted(std::string_view format, const std::tm& time) {
    return FormatTime(format, time).value_or("");
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
