#include "scene/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

double ReadDecimalReal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const size_t numberStart = i;

    // Decimal order of magnitude, only to tell overflow from underflow.
    int64_t significantIntDigits = 0, leadingFractionZeros = 0;
    bool anyDigit = false, seenNonZero = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        anyDigit = true;
        seenNonZero |= text[i] != '0';
        if (seenNonZero) ++significantIntDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            anyDigit = true;
            if (!seenNonZero && text[i] == '0') ++leadingFractionZeros;
            seenNonZero |= text[i] != '0';
        }
    }
    if (!anyDigit) return 0.0;

    int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                if (exponent < 1'000'000) exponent = exponent * 10 + (text[j] - '0');
            if (negativeExponent) exponent = -exponent;
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
    return negative ? -magnitude : magnitude;
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (!(value < 2147483648.0)) return std::numeric_limits<int32_t>::max();
    if (!(value > -2147483649.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

double RoundSignificant(double value, int digits) {
    // Beyond 17 digits every double reads back as itself.
    if (!std::isfinite(value) || digits > 17) return value;
    char text[64];
    const auto printed = std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
    double rounded = value;
    std::from_chars(text, printed.ptr, rounded, std::chars_format::general);
    return rounded;
}
