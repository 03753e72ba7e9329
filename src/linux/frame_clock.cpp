#include "linux/frame_clock.h"

#include <cstdio>
#include <string>

#include "linux/command_line.h"

namespace {

constexpr std::time_t kFirstOf2000 = 946'684'800;  // 2000-01-01 00:00:00 UTC

}  // namespace

FrameClock::FrameClock(std::optional<int32_t> at)
    : start_(at ? kFirstOf2000 + *at : std::time(nullptr)), isFixed_(at.has_value()) {}

std::tm FrameClock::TimeOfFrame(int64_t frame, int32_t timerMs) const {
    const std::time_t now = start_ + std::time_t(frame * timerMs / 1000);
    std::tm time{};
    // A fixed start is read in UTC, so that no time zone changes the run.
    if (isFixed_) gmtime_r(&now, &time);
    else localtime_r(&now, &time);
    return time;
}

int32_t ReadTimeOfDay(const char* option, const char* text) {
    int hours = -1, minutes = -1, seconds = -1, length = 0;
    const bool isRead = std::sscanf(text, "%2d:%2d:%2d%n", &hours, &minutes, &seconds, &length) == 3;
    if (!isRead || text[length] != '\0' || hours > 23 || minutes > 59 || seconds > 59 || hours < 0 || minutes < 0 ||
        seconds < 0)
        throw UsageError{std::string(option) + " must be a time of day HH:MM:SS, not '" + text + "'"};
    return hours * 3600 + minutes * 60 + seconds;
}
