#include "KorRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

// These tests hold whatever sequence the C library's generator produces.

TEST(KorRandom, CountsAndPairs)
{
    std::vector<double> v(5, 7.0);
    GetUniformRandomNumbers(0, v, 0.001);
    EXPECT_TRUE(v.empty());
    GetUniformRandomNumbers(1, v, 0.001);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_TRUE(std::isfinite(v[0]));

    // Resolution 0.3: uniform values 0.3, 0.6 or 0.9, so the squared radius
    // of each pair (value i, value i + k) is -2 ln of one of them.
    const double radii[3] = {-2 * std::log(0.3), -2 * std::log(0.6), -2 * std::log(0.9)};
    for (unsigned n : {4u, 7u, 1000u})
    {
        GetUniformRandomNumbers(n, v, 0.3);
        ASSERT_EQ(v.size(), n);
        const unsigned k = (n + 1) / 2;
        for (unsigned i = 0; i + k < n; ++i)
        {
            const double r2 = v[i] * v[i] + v[i + k] * v[i + k];
            EXPECT_TRUE(std::fabs(r2 - radii[0]) < 1e-9 || std::fabs(r2 - radii[1]) < 1e-9 ||
                        std::fabs(r2 - radii[2]) < 1e-9)
                << n << " " << i << " " << r2;
        }
        // The unpaired last value of an odd count is a cosine term alone.
        if (n % 2)
        {
            EXPECT_LE(v[k - 1] * v[k - 1], radii[0] + 1e-9);
        }
    }

    // Resolution 1: every uniform value is 1, every deviate 0.
    GetUniformRandomNumbers(9, v, 1.0);
    ASSERT_EQ(v.size(), 9u);
    for (double x : v)
        EXPECT_EQ(x, 0.0);
}

TEST(KorRandom, ResolutionsNeverGiveNaN)
{
    std::vector<double> v;
    // Whole and not whole 1/r, tiny r beyond the generator's span.
    for (int m = 1; m <= 3000; ++m)
        for (double r : {1.0 / m, std::nextafter(1.0 / m, 1.0), 1.0 / (m + 0.5)})
        {
            GetUniformRandomNumbers(64, v, r);
            ASSERT_EQ(v.size(), 64u);
            for (double x : v)
                ASSERT_TRUE(std::isfinite(x)) << m << " " << r;
        }
    for (double r : {1e-9, 1e-300, std::numeric_limits<double>::denorm_min()})
    {
        GetUniformRandomNumbers(1000, v, r);
        for (double x : v)
            ASSERT_TRUE(std::isfinite(x)) << r;
    }
}

TEST(KorRandom, InvalidResolutionIsReported)
{
    for (double r : {0.0, -0.5, 1.5, std::nan(""), std::numeric_limits<double>::infinity()})
    {
        std::vector<double> v(3, 1.0);
        testing::internal::CaptureStdout();
        GetUniformRandomNumbers(10, v, r);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "GetUniformRandomNumbers -> The resolution must be in ]0, 1]\n")
            << r;
        EXPECT_TRUE(v.empty());
    }
}

TEST(KorRandom, DeviatesLookStandardNormal)
{
    std::vector<double> v;
    GetUniformRandomNumbers(200000, v, 1e-4);
    double sum = 0, sum2 = 0;
    int within1 = 0;
    for (double x : v)
    {
        sum += x;
        sum2 += x * x;
        within1 += std::fabs(x) < 1;
    }
    const double mean = sum / v.size(), var = sum2 / v.size() - mean * mean;
    EXPECT_NEAR(mean, 0, 0.02);
    EXPECT_NEAR(var, 1, 0.03);
    EXPECT_NEAR(within1 / double(v.size()), 0.6827, 0.01);
    // Bounded by the smallest uniform value: |x| <= sqrt(-2 ln 1e-4).
    for (double x : v)
        ASSERT_LE(std::fabs(x), std::sqrt(-2 * std::log(1e-4)) + 1e-12);
}
