#pragma once
// Number conversions shared by the shape reader, the scene and the renderer,
// exact and identical on every platform.

#include <cstdint>
#include <string_view>

// Reads a decimal real the way shape records write them: leading white
// space, an optional sign, digits, an optional fraction and exponent; reading
// stops at the first character that does not fit. Text without such a number
// ("abc", "inf", "nan", "0x1A" beyond its leading 0) reads as 0; a number
// beyond the range of double reads as +-infinity or 0.
double ReadDecimalReal(std::string_view text);

// Truncation toward zero into 32 bits with saturation: NaN gives 0, a value
// beyond the range gives the nearer end.
int32_t TruncateToInt32(double value);

// Degrees to radians with pi taken as 3.141593, so that every angle of the
// motion lands on the same reals on every platform.
double DegreesToRadians(double degrees);

// `value` printed with "%.*g" at `digits` significant digits and read back,
// computed with exact conversions so that every platform agrees.
double RoundSignificant(double value, int digits);
