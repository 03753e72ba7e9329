#include "scene/clock_format.h"

#include <cstdio>

namespace {

constexpr const char* kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The ISO 8601 week (weeks start on Monday; week 1 holds the year's first
// Thursday) and the year it belongs to.
struct IsoWeek {
    int year, week;
};
IsoWeek IsoWeekOf(const std::tm& time) {
    const int year = time.tm_year + 1900;
    const int weekday = (time.tm_wday + 6) % 7;  // Monday 0
    const int week = (time.tm_yday - weekday + 10) / 7;
    auto weeksIn = [](int y) {
        // A year has 53 weeks when it starts on a Thursday, or on a Wednesday in a leap year.
        const int jan1 = (1 + 5 * ((y - 1) % 4) + 4 * ((y - 1) % 100) + 6 * ((y - 1) % 400)) % 7;  // Sunday 0
        return jan1 == 4 || (jan1 == 3 && IsLeapYear(y)) ? 53 : 52;
    };
    if (week < 1) return {year - 1, weeksIn(year - 1)};
    if (week > weeksIn(year)) return {year + 1, 1};
    return {year, week};
}

std::string Number(int value, int digits, char pad = '0') {
    char text[16];
    std::snprintf(text, sizeof text, "%*d", digits, value);
    for (char& c : text)
        if (c == ' ') c = pad;
    return text;
}

std::string Platform(const char* conversion, const std::tm& time) {
    char text[128];
    return std::string(text, std::strftime(text, sizeof text, conversion, &time));
}

// One conversion; nothing when C defines none of that letter.
std::optional<std::string> Convert(char c, std::tm t) {
    // Names are looked up by these: a field out of its range must not read past them.
    t.tm_wday = ((t.tm_wday % 7) + 7) % 7, t.tm_mon = ((t.tm_mon % 12) + 12) % 12;
    const int year = t.tm_year + 1900, hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    switch (c) {
        case 'a': return std::string(kDays[t.tm_wday], 3);
        case 'A': return kDays[t.tm_wday];
        case 'b': case 'h': return std::string(kMonths[t.tm_mon], 3);
        case 'B': return kMonths[t.tm_mon];
        case 'c': return FormatTime("%a %b %e %H:%M:%S %Y", t);
        case 'C': return Number(year / 100, 2);
        case 'd': return Number(t.tm_mday, 2);
        case 'D': case 'x': return FormatTime("%m/%d/%y", t);
        case 'e': return Number(t.tm_mday, 2, ' ');
        case 'F': return FormatTime("%Y-%m-%d", t);
        case 'g': return Number(IsoWeekOf(t).year % 100, 2);
        case 'G': return Number(IsoWeekOf(t).year, 4);
        case 'H': return Number(t.tm_hour, 2);
        case 'I': return Number(hour12, 2);
        case 'j': return Number(t.tm_yday + 1, 3);
        case 'm': return Number(t.tm_mon + 1, 2);
        case 'M': return Number(t.tm_min, 2);
        case 'n': return "\n";
        case 'p': return t.tm_hour < 12 ? "AM" : "PM";
        case 'r': return FormatTime("%I:%M:%S %p", t);
        case 'R': return FormatTime("%H:%M", t);
        case 'S': return Number(t.tm_sec, 2);
        case 't': return "\t";
        case 'T': case 'X': return FormatTime("%H:%M:%S", t);
        case 'u': return Number(t.tm_wday == 0 ? 7 : t.tm_wday, 1);
        case 'U': return Number((t.tm_yday + 7 - t.tm_wday) / 7, 2);
        case 'V': return Number(IsoWeekOf(t).week, 2);
        case 'w': return Number(t.tm_wday, 1);
        case 'W': return Number((t.tm_yday + 7 - (t.tm_wday + 6) % 7) / 7, 2);
        case 'y': return Number(year % 100, 2);
        case 'Y': return Number(year, 4);
        case 'z': return Platform("%z", t);
        case 'Z': return Platform("%Z", t);
        case '%': return "%";
        default: return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> FormatTime(std::string_view format, const std::tm& time) {
    constexpr std::string_view kWithE = "cCxXyY", kWithO = "deHImMSuUVwWy";
    std::string text;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            text += format[i];
            continue;
        }
        if (++i == format.size()) return std::nullopt;
        if (format[i] == 'E' || format[i] == 'O') {
            const std::string_view allowed = format[i] == 'E' ? kWithE : kWithO;
            if (++i == format.size() || allowed.find(format[i]) == std::string_view::npos) return std::nullopt;
        }
        const std::optional<std::string> converted = Convert(format[i], time);
        if (!converted) return std::nullopt;
        text += *converted;
    }
    return text;
}
