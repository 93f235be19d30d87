#include "KorGraduation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace
{
template <class T>
void ExpectEvenlySpaced(const std::vector<T>& g, double first, double step, double pos0, double posStep)
{
    for (size_t i = 0; i < g.size(); ++i)
    {
        EXPECT_NEAR(g[i].value, first + i * step, 1e-9) << i;
        EXPECT_NEAR(g[i].position, pos0 + i * posStep, 1e-9) << i;
    }
}
} // namespace

TEST(KorGraduation, AxisOverWholeRanges)
{
    std::vector<sAxisPoint> g;
    GetKorAxis(0, 100, g, 10);
    ASSERT_EQ(g.size(), 11u);
    ExpectEvenlySpaced(g, 0, 10, 0, 0.1);

    // Widened to whole steps.
    GetKorAxis(3, 97, g, 10);
    ASSERT_EQ(g.size(), 11u);
    ExpectEvenlySpaced(g, 0, 10, 0, 0.1);

    GetKorAxis(0, 35, g, 10);
    ASSERT_EQ(g.size(), 8u);
    ExpectEvenlySpaced(g, 0, 5, 0, 1.0 / 7);

    g.assign(3, sAxisPoint(9, 9));
    GetKorAxis(5, 5, g, 10);
    ASSERT_EQ(g.size(), 5u);
    ExpectEvenlySpaced(g, 3, 1, 0, 0.25);
    GetKorAxis(5, 5 + 5e-6, g, 10);
    ASSERT_EQ(g.size(), 5u);
}

TEST(KorGraduation, AxisOverFractionalRange)
{
    // The step 2 * 10^-1 is computed as exp(-log 10) * 2, a hair below 0.2,
    // so -1 / step falls just below -5 and the axis starts one step early.
    std::vector<sAxisPoint> g;
    GetKorAxis(-1, 0.5, g, 10);
    ASSERT_GE(g.size(), 9u);
    EXPECT_NEAR(g.front().value, -1.2, 1e-12);
    EXPECT_NEAR(g.back().value, 0.6, 1e-9);
    EXPECT_EQ(g.front().position, 0.0);
    EXPECT_NEAR(g.back().position, 1.0, 1e-9);
}

TEST(KorGraduation, AxisInvariantsOverRandomRanges)
{
    std::mt19937 rng(6);
    std::uniform_real_distribution<double> expo(-3, 6), unit(-1, 1);
    std::vector<sAxisPoint> g;
    for (int i = 0; i < 20000; ++i)
    {
        const double scale = std::pow(10.0, expo(rng));
        const double a = unit(rng) * scale, b = a + (unit(rng) + 1.1) * scale;
        // The plot widgets' count, and others whose candidates differ.
        const int n = i % 3 ? 10 : 5 + i % 11;
        GetKorAxis(a, b, g, n);
        ASSERT_GE(g.size(), 2u) << i;
        const double step = g[1].value - g[0].value;
        ASSERT_GT(step, 0) << i;
        ASSERT_LE(g.front().value, a + 1e-9 * scale) << i;
        ASSERT_GT(g.front().value, a - step) << i;
        ASSERT_GE(g.back().value, b - 1e-5) << i;
        ASSERT_LT(g.back().value, b + step) << i;
        ASSERT_LE(g.size(), 102u) << i;
        // The axis end is taken as max when max lies within 1e-5 of a step.
        ASSERT_NEAR(g.back().position, 1.0, 1e-5 / (g.back().value - g.front().value) + 1e-9) << i;
        for (size_t k = 1; k < g.size(); ++k)
        {
            ASSERT_NEAR(g[k].value - g[k - 1].value, step, 1e-9 * step) << i;
            ASSERT_GT(g[k].position, g[k - 1].position) << i;
        }
        if (n != 10)
            continue;
        // At most ten steps over the range, widened by at most one at each end.
        ASSERT_LE(g.size() - 1, 12u) << i;
        // The step is 1, 2, 5 or 10 times a power of ten.
        const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        ASSERT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 ||
                    std::fabs(mantissa - 5) < 1e-6 || std::fabs(mantissa - 10) < 1e-6)
            << i << " " << step;
    }
}

TEST(KorGraduation, ScaleKeepsTheGivenRange)
{
    std::vector<sScalePoint> g;
    GetScale(0, 100, g, 0);
    ASSERT_EQ(g.size(), 11u);
    ExpectEvenlySpaced(g, 0, 10, 0, 0.1);

    GetScale(3, 97, g, 0);
    ASSERT_EQ(g.size(), 11u);
    ExpectEvenlySpaced(g, 0, 10, -3.0 / 94, 10.0 / 94);

    GetScale(0, 1, g, 0.25);
    ASSERT_EQ(g.size(), 5u);
    ExpectEvenlySpaced(g, 0, 0.25, 0, 0.25);

    // A negative step counts by its size.
    GetScale(0, 1, g, -0.25);
    ASSERT_EQ(g.size(), 5u);
    ExpectEvenlySpaced(g, 0, 0.25, 0, 0.25);

    // Range 1.05: 0.1 would give 10.5 steps, so the step is 0.2.
    GetScale(-0.35, 0.7, g, 0);
    ASSERT_EQ(g.size(), 7u);
    ExpectEvenlySpaced(g, -0.4, 0.2, -0.05 / 1.05, 0.2 / 1.05);
}

TEST(KorGraduation, GraduationsAreBounded)
{
    std::vector<sScalePoint> s;
    GetScale(0, 1e9, s, 1e-5);
    EXPECT_EQ(s.size(), 10001u);
    EXPECT_NEAR(s.back().value, 1e4 * 1e-5, 1e-12);
    GetScale(0, NAN, s, 1);
    EXPECT_LE(s.size(), 10001u);
    GetScale(0, INFINITY, s, 0);
    EXPECT_LE(s.size(), 10001u);

    std::vector<sAxisPoint> a;
    GetKorAxis(0, 100, a, -3);
    EXPECT_LE(a.size(), 10001u);
    GetKorAxis(0, NAN, a, 10);
    EXPECT_LE(a.size(), 10001u);
    GetKorAxis(0, 1e300, a, 10);
    EXPECT_LE(a.size(), 10001u);
    // A reversed range ends at once.
    GetKorAxis(100, 0, a, 10);
    EXPECT_LE(a.size(), 2u);
}

TEST(KorGraduation, EmptyOrNonFiniteRangesGiveNoGraduation)
{
    // A scale, unlike an axis, is not widened around an empty range.
    std::vector<sScalePoint> s(3);
    GetScale(5, 5, s, 0);
    EXPECT_TRUE(s.empty());
    s.resize(3);
    GetScale(5, 5, s, 1);
    EXPECT_TRUE(s.empty());
    GetScale(5, 5 + 5e-6, s, 0);
    EXPECT_TRUE(s.empty());

    std::vector<sAxisPoint> g(2, sAxisPoint(1, 1));
    GetKorAxis(0, std::numeric_limits<double>::infinity(), g, 10);
    EXPECT_TRUE(g.empty());
    GetKorAxis(std::numeric_limits<double>::quiet_NaN(), 4, g, 10);
    EXPECT_TRUE(g.empty());
    GetKorAxis(-std::numeric_limits<double>::infinity(), 0, g, 10);
    EXPECT_TRUE(g.empty());
    // Finite bounds whose span overflows to infinity.
    const double big = std::numeric_limits<double>::max();
    GetKorAxis(-big, big, g, 10);
    EXPECT_TRUE(g.empty());
    s.assign(2, sScalePoint(1, 1));
    GetScale(-big, big, s, 0);
    EXPECT_TRUE(s.empty());
    GetScale(0, 1, s, std::numeric_limits<double>::infinity());
    EXPECT_TRUE(s.empty());
}
