#include "KorNumbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <random>

// The test main takes the locale from the environment, so under
// LC_ALL=fr_FR.UTF-8 the C library's own atof would stop at the '.'.
TEST(KorNumbers, ReadIgnoresProcessLocale)
{
    EXPECT_DOUBLE_EQ(KorAtof("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(KorAtof("  -6612345.678xyz"), -6612345.678);
    EXPECT_DOUBLE_EQ(KorAtof("1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(KorAtof("abc"), 0.0);
    EXPECT_DOUBLE_EQ(KorAtof(""), 0.0);
    EXPECT_DOUBLE_EQ(KorAtof("2,5"), 2.0);
    EXPECT_DOUBLE_EQ(KorAtof(nullptr), 0.0);
    EXPECT_EQ(KorAtoi(" 42abc"), 42);
    EXPECT_EQ(KorAtoi("-7"), -7);
    EXPECT_EQ(KorAtoi("x"), 0);
    EXPECT_EQ(KorAtoi("99999999999"), 2147483647);
}

TEST(KorNumbers, ShortestFormReadsBackExactly)
{
    EXPECT_EQ(KorFormatDouble(6612345.678), "6612345.678");
    EXPECT_EQ(KorFormatDouble(0.1), "0.1");
    EXPECT_EQ(KorFormatDouble(-2.0), "-2");
    EXPECT_EQ(KorFormatFloat(0.1f), "0.1");
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> dist(-1e7, 1e7);
    for (int i = 0; i < 10000; ++i)
    {
        const double v = dist(rng) * std::pow(10.0, static_cast<int>(rng() % 40) - 20);
        const std::string s = KorFormatDouble(v);
        EXPECT_EQ(s.find(','), std::string::npos);
        ASSERT_EQ(KorAtof(s), v) << s;
    }
}

TEST(KorNumbers, FixedForm)
{
    EXPECT_EQ(KorFormatFixed(2.5, 2), "2.50");
    EXPECT_EQ(KorFormatFixed(-0.125, 1), "-0.1");
    EXPECT_EQ(KorFormatFixed(1234567.891, 0), "1234568");
    EXPECT_EQ(KorFormatFixed(3.0, -2), "3");
}
