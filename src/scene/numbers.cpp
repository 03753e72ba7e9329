#include "scene/numbers.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <bit>
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

// Exact powers of ten: up to 10^22 in a double.
constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

double RoundThroughText(double value, int digits) {
    char text[64];
    const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    double rounded = value;
    std::from_chars(text, printed.ptr, rounded, std::chars_format::general);
    return rounded;
}

// floor(log10(m)) for a normal m > 0 within 10^-22 ... 10^22, but for
// values within a rounding of a negative power of ten, which may come out
// one too low: the caller's range check catches that.
int DecimalExponent(double m) {
    const int binary = int(std::bit_cast<uint64_t>(m) >> 52 & 0x7FF) - 1023;  // 2^binary <= m < 2^(binary + 1)
    const int k = (binary * 78913) >> 18;                                    // floor(binary log10(2))
    // m < 2^(binary + 1) <= 10^(k + 1) * 2: the exponent is k or k + 1.
    const bool isAbove = k + 1 >= 0 ? m >= kPowers[k + 1] : m * kPowers[-(k + 1)] >= 1.0;
    return k + isAbove;
}

}  // namespace

double DegreesToRadians(double degrees) { return degrees * 3.141593 / 180.0; }

// The text of "%.*g" holds the digits M of the value scaled by 10^s and
// rounded to a whole number; reading it back gives the double nearest to
// M / 10^s, which one correctly rounded division of exact doubles also gives.
// Scaled in a double, a value under 10^13 < 2^44 is off by less than 0.001;
// whenever it lies nearer than 0.002 to a rounding boundary, the text decides.

double RoundSignificant(double value, int digits) {
    // Beyond 17 digits every double reads back as itself.
    if (!std::isfinite(value) || value == 0.0 || digits > 17) return value;
    digits = std::max(digits, 1);
    const double magnitude = std::fabs(value);
    if (digits <= 13 && magnitude > 1e-22 && magnitude < 1e22) {
        const int scale = digits - 1 - DecimalExponent(magnitude);
        if (scale >= -22 && scale <= 22) {
            const double scaled = scale >= 0 ? magnitude * kPowers[scale] : magnitude / kPowers[-scale];
            const double whole = double(int64_t(scaled)), fraction = scaled - whole;
            const bool isClear = scaled > kPowers[digits - 1] + 0.002 && scaled < kPowers[digits] - 0.002 &&
                                 std::fabs(fraction - 0.5) > 0.002;
            if (isClear) {
                const double m = fraction > 0.5 ? whole + 1 : whole;
                const double rounded = scale >= 0 ? m / kPowers[scale] : m * kPowers[-scale];
                return value < 0 ? -rounded : rounded;
            }
        }
    }
    return RoundThroughText(value, digits);
}
