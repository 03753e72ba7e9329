#pragma once
// strftime in the C locale, the same on every platform: the platforms'
// own differ in the conversions they know (one refuses %F and %Ey, another
// ends the program on what it does not know) and in the text of some.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// `format` applied to `time` (whose fields must be in their ranges) as C's
// strftime does in the C locale; E and O modifiers change nothing there.
// Nothing for a conversion C does not define. %z and %Z come from the
// platform, which alone knows the time zone.
std::optional<std::string> FormatTime(std::string_view format, const std::tm& time);
