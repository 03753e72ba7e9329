#pragma once
// The time the clock shows in `korunex scene` and `render`, which draw
// faster than the clock runs: from a start, TIMER milliseconds per frame.

#include <cstdint>
#include <ctime>
#include <optional>

class FrameClock {
public:
    // `at`: seconds after midnight of 1 January 2000, for a run that can be
    // repeated; without it, the local time now.
    explicit FrameClock(std::optional<int32_t> at);

    // The time of frame `frame` (from 0) with `timerMs` between frames.
    std::tm TimeOfFrame(int64_t frame, int32_t timerMs) const;

private:
    std::time_t start_;
    bool isFixed_;
};

// HH:MM:SS as seconds after midnight; throws UsageError.
int32_t ReadTimeOfDay(const char* option, const char* text);
