#include "scene/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <cstring>

namespace {

TEST(Truncation, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(TruncateToInt32(12.9), 12);
    EXPECT_EQ(TruncateToInt32(-12.9), -12);
    EXPECT_EQ(TruncateToInt32(2147483647.9), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-2147483648.9), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(3e9), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-3e9), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), INT32_MAX);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), INT32_MIN);
    EXPECT_EQ(TruncateToInt32(std::nan("")), 0);
}

TEST(RoundSignificant, KeepsTheGivenNumberOfDigits) {
    EXPECT_EQ(RoundSignificant(0.1 + 0.2, 9), 0.3);
    EXPECT_EQ(RoundSignificant(123456789.5, 9), 123456790.0);
    EXPECT_EQ(RoundSignificant(-1.23456789012345, 13), -1.234567890123);
    EXPECT_EQ(RoundSignificant(2.5, 1), 2.0);     // ties go to the even digit, as printf does
    EXPECT_EQ(RoundSignificant(0.125, 2), 0.12);
    EXPECT_EQ(RoundSignificant(-0.0, 9), 0.0);
    EXPECT_EQ(RoundSignificant(1e-320, 9), 1e-320);
    EXPECT_TRUE(std::isnan(RoundSignificant(std::nan(""), 9)));
    EXPECT_EQ(RoundSignificant(std::numeric_limits<double>::infinity(), 12),
              std::numeric_limits<double>::infinity());
}

#ifndef _WIN32
// The C library's "%.*g" is the reference; the exact conversions must agree
// with it everywhere, ties and extreme exponents included.
TEST(RoundSignificant, AgreesWithPrintfOverManyValues) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<uint64_t> bits;
    int checked = 0;
    for (int i = 0; i < 300000; ++i) {
        double value;
        switch (i % 4) {
            case 0: value = mantissa(random) * std::pow(10.0, exponent(random)); break;
            case 1: value = std::ldexp(double(int64_t(bits(random) % 2000001) - 1000000), -int(bits(random) % 12));
                    break;  // halves, quarters, ...: exact decimal ties
            case 2: {
                const uint64_t raw = bits(random);
                std::memcpy(&value, &raw, sizeof value);
                if (!std::isfinite(value)) continue;
                break;
            }
            default: value = double(int64_t(bits(random) % 20000001) - 10000000) / 1000.0; break;
        }
        for (int digits : {9, 12, 13}) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*g", digits, value);
            const double expected = std::strtod(text, nullptr);
            ASSERT_EQ(RoundSignificant(value, digits), expected) << text << " from " << value;
            ++checked;
        }
    }
    EXPECT_GT(checked, 800000);
}
#endif

}  // namespace
