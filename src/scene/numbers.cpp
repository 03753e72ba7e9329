#include "scene/numbers.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

double ReadDecimalReal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool isNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) isNegative = text[i++] == '-';
    const size_t numberStart = i;

    // Decimal order of magnitude, only to tell overflow from underflow.
    int64_t significantIntDigits = 0, leadingFractionZeros = 0;
    bool hasDigit = false, hasNonZero = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        hasDigit = true;
        hasNonZero |= text[i] != '0';
        if (hasNonZero) ++significantIntDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            hasDigit = true;
            if (!hasNonZero && text[i] == '0') ++leadingFractionZeros;
            hasNonZero |= text[i] != '0';
        }
    }
    if (!hasDigit) return 0.0;

    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool isExponentNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) isExponentNegative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                if (exponent < 1'000'000) exponent = exponent * 10 + (text[j] - '0');
            if (isExponentNegative) exponent = -exponent;
            i = j;
        }
    }

    double magnitude = 0.0;
    const auto [end, error] =
        std::from_chars(text.data() + numberStart, text.data() + i, magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        const int64_t order = (significantIntDigits > 0 ? significantIntDigits : -leadingFractionZeros) + exponent;
        magnitude = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{}) {
        magnitude = 0.0;
    }
    return isNegative ? -magnitude : magnitude;
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (!(value < 2147483648.0)) return std::numeric_limits<int32_t>::max();
    if (!(value > -2147483649.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

namespace {

// Exact powers of ten: up to 10^27 in the 64-bit mantissa of long double,
// up to 10^22 in a double.
constexpr long double kPowersLong[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,
                                       1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L,
                                       1e20L, 1e21L, 1e22L};
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double RoundThroughText(double value, int digits) {
    char text[64];
    const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    double rounded = value;
    std::from_chars(text, printed.ptr, rounded, std::chars_format::general);
    return rounded;
}

}  // namespace

// The text of "%.*g" holds the digits M of the value scaled by 10^s and
// rounded to a whole number; reading it back gives the double nearest to
// M / 10^s, which one correctly rounded division of exact doubles also gives.
// The scaled value is formed in extended precision; whenever it lies too near
// a rounding boundary for that to be certain, the text path decides.
double DegreesToRadians(double degrees) { return degrees * 3.141593 / 180.0; }

double RoundSignificant(double value, int digits) {
    // Beyond 17 digits every double reads back as itself.
    if (!std::isfinite(value) || value == 0.0 || digits > 17) return value;
    digits = std::max(digits, 1);
    const double magnitude = std::fabs(value);
    if (digits <= 13 && magnitude > 1e-200 && magnitude < 1e200) {
        const int scale = digits - 1 - int(std::floor(std::log10(magnitude)));
        if (scale >= -22 && scale <= 22) {
            const long double scaled =
                scale >= 0 ? magnitude * kPowersLong[scale] : magnitude / kPowersLong[-scale];
            const long double whole = std::floor(scaled), fraction = scaled - whole;
            const bool isClear = scaled > kPowersLong[digits - 1] + 0.01L && scaled < kPowersLong[digits] - 0.01L &&
                                 std::fabs(fraction - 0.5L) > 0.01L;
            if (isClear) {
                const double m = double(fraction > 0.5L ? whole + 1 : whole);
                const double rounded = scale >= 0 ? m / kPowers[scale] : m * kPowers[-scale];
                return value < 0 ? -rounded : rounded;
            }
        }
    }
    return RoundThroughText(value, digits);
}
