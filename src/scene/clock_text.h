#pragma once
// The clock's text: the local time as a strftime format gives it, in the
// characters the slots count.

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// `format` applied to `time` (FormatTime) and cut to its first 9
// characters. A format with a conversion that C does not define, or one
// that gives no text at all, gives the default format's text instead.
std::string FormatClock(std::string_view format, const std::tm& time);

// Every character `format` can give in the C locale but blanks and control
// characters (which need no record), once each in byte order: the digits,
// the format's own characters and those its conversions write (the letters
// of the day and month names, AM and PM, the separators of %D, %T, %c and
// the like). The letters of a time zone's name (%Z) cannot be known.
std::string ClockCharacters(std::string_view format);

// The characters of `text` as the slots count them: a double-byte character
// of the system code page is one.
std::vector<std::string> SplitCharacters(std::string_view text);
