#include "LumPoint.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

namespace
{
void ExpectPoint(const LumPoint& p, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(p.x, x);
    EXPECT_DOUBLE_EQ(p.y, y);
    EXPECT_DOUBLE_EQ(p.z, z);
}
} // namespace

TEST(LumPoint, DivisionByNearZeroGivesOrigin)
{
    const LumPoint p(1, 2, 3);
    ExpectPoint(p / 0.0, 0, 0, 0);
    ExpectPoint(p / 5e-6, 0, 0, 0);
    ExpectPoint(p / -5e-6, 0, 0, 0);
    ExpectPoint(p / 1e-5, 1e5, 2e5, 3e5);
    ExpectPoint(p / -2.0, -0.5, -1, -1.5);

    LumPoint q = p;
    q /= 9e-6;
    ExpectPoint(q, 0, 0, 0);
    q = p;
    q /= -4.0;
    ExpectPoint(q, -0.25, -0.5, -0.75);
}

TEST(LumPoint, ArithmeticAndProducts)
{
    const LumPoint a(1, 2, 3), b(-4, 5, 0.5);
    ExpectPoint(a + b, -3, 7, 3.5);
    ExpectPoint(a - b, 5, -3, 2.5);
    ExpectPoint(a * 2.0, 2, 4, 6);
    EXPECT_DOUBLE_EQ(a * b, -4 + 10 + 1.5);

    const LumPoint ex(1, 0, 0), ey(0, 1, 0);
    ExpectPoint(ex ^ ey, 0, 0, 1);
    ExpectPoint(VectorialProduct(ex, ey), 0, 0, 1);

    // The in-place cross product must read the old components only.
    LumPoint d = a;
    d ^= b;
    const LumPoint e = a ^ b;
    ExpectPoint(d, e.x, e.y, e.z);
    EXPECT_NEAR(e * a, 0.0, 1e-12);
    EXPECT_NEAR(e * b, 0.0, 1e-12);
}

TEST(LumPoint, NormsAndNullTest)
{
    EXPECT_DOUBLE_EQ(LumPoint(3, 4, 12).Norm(), 13);
    EXPECT_DOUBLE_EQ(LumPoint(3, 4, 12).Norm2D(), 5);
    // Sum of absolute values, not length.
    EXPECT_FALSE(LumPoint(4e-6, 4e-6, 4e-6).IsNull());
    EXPECT_TRUE(LumPoint(3e-6, 3e-6, 3e-6).IsNull());
    EXPECT_TRUE(LumPoint(-3e-6, 3e-6, -3e-6).IsNull());
}

// Below 1e-5 the point is taken as null and becomes the origin.
TEST(LumPoint, Normalize)
{
    const std::pair<LumPoint, LumPoint> cases[] = {{{0, 0, 0}, {0, 0, 0}},
                                                   {{3, 0, 4}, {0.6, 0, 0.8}},
                                                   {{9e-6, 0, 0}, {0, 0, 0}},
                                                   {{1e-5, 0, 0}, {1, 0, 0}}};
    for (auto [p, unit] : cases)
    {
        Normalize(p);
        ExpectPoint(p, unit.x, unit.y, unit.z);
    }
}

TEST(LumPoint, CompareIsTolerantPerComponent)
{
    const LumPoint a(1, 2, 3), b(1 + 5e-6, 1, 0);
    EXPECT_EQ(CompareLumPoints(&a, &b), 1);
    EXPECT_EQ(CompareLumPoints(&b, &a), -1);
    const LumPoint c(1 + 0.9e-5, 2 - 0.9e-5, 3);
    EXPECT_EQ(CompareLumPoints(&a, &c), 0);
    const LumPoint d(1, 2, 3.1);
    EXPECT_EQ(CompareLumPoints(&a, &d), -1);

    // Sorting with the C library leaves points in lexicographic order.
    std::vector<LumPoint> pts = {{2, 0, 0}, {1, 5, 0}, {1, 2, 9}, {1, 2, -1}, {0, 9, 9}};
    std::qsort(pts.data(), pts.size(), sizeof(LumPoint), CompareLumPoints);
    for (size_t i = 1; i < pts.size(); ++i)
        EXPECT_LE(CompareLumPoints(&pts[i - 1], &pts[i]), 0);
    ExpectPoint(pts.front(), 0, 9, 9);
    ExpectPoint(pts.back(), 2, 0, 0);
}

TEST(LumPoint, Powers)
{
    EXPECT_EQ(power(2, 0), 1);
    EXPECT_EQ(power(2, -3), 1);
    EXPECT_EQ(power(-3, 3), -27);
    EXPECT_EQ(power(10, 9), 1000000000);
    EXPECT_DOUBLE_EQ(power(2.0, -3), 0.125);
    EXPECT_DOUBLE_EQ(power(3.0, 0), 1.0);
    EXPECT_DOUBLE_EQ(power(1.5, 3), 3.375);
    EXPECT_TRUE(std::isinf(power(0.0, -1)));
    EXPECT_TRUE(std::isnan(power(-2.0, -1)));
}

TEST(LumPoint, RoundHalvesAwayFromZero)
{
    EXPECT_DOUBLE_EQ(Round(7.5, 0), 8);
    EXPECT_DOUBLE_EQ(Round(-7.5, 0), -8);
    EXPECT_DOUBLE_EQ(Round(-7.4, 0), -7);
    EXPECT_DOUBLE_EQ(Round(-2.0, 0), -2);
    EXPECT_DOUBLE_EQ(Round(0.0, 3), 0);
    EXPECT_DOUBLE_EQ(Round(12.34, -1), 12);
    EXPECT_DOUBLE_EQ(Round(2.26, 1), 2.3);
    EXPECT_DOUBLE_EQ(Round(-2.26, 1), -2.3);
    EXPECT_DOUBLE_EQ(Round(3.14159, 2), 3.14);
    EXPECT_DOUBLE_EQ(Round(-3.14159, 4), -3.1416);
}

TEST(LumPoint, RoundBeyondThirtyTwoBits)
{
    // Map coordinates scaled by 1000 leave the int32 range; the integer part
    // must survive instead of wrapping.
    EXPECT_DOUBLE_EQ(Round(6612345.6785, 3), 6612345.679);
    EXPECT_DOUBLE_EQ(Round(-6612345.6784, 3), -6612345.678);
    EXPECT_DOUBLE_EQ(Round(5e12 + 0.5, 0), 5e12 + 1);
    EXPECT_DOUBLE_EQ(Round(-5e12 - 0.5, 0), -5e12 - 1);
}

TEST(LumPoint, AngleConversionsUseEightDecimalPi)
{
    EXPECT_DOUBLE_EQ(ToDegrees(ToRadian(90)), 90);
    EXPECT_DOUBLE_EQ(ToRadian(180), 3.14159265);
    EXPECT_DOUBLE_EQ(ToDegrees(3.14159265 / 2), 90);
}
