#include "KorPlucker.h"
#include "KorPlane.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(KorPlucker, SideTellsHowLinesPass)
{
    const KorPlucker x({0, 0, 0}, {1, 0, 0});
    // Meeting and parallel lines: zero.
    EXPECT_EQ(x.Side(KorPlucker({3, -1, 2}, {3, 0, 0})), 0.0);
    EXPECT_EQ(x.Side(KorPlucker({0, 1, 1}, {5, 1, 1})), 0.0);
    // A line along y above the x axis and one below pass on opposite sides,
    // and reversing either line flips the sign.
    const double above = x.Side(KorPlucker({0, 0, 1}, {0, 1, 1}));
    const double below = x.Side(KorPlucker({0, 0, -1}, {0, 1, -1}));
    EXPECT_NE(above, 0.0);
    EXPECT_DOUBLE_EQ(below, -above);
    EXPECT_DOUBLE_EQ(x.Side(KorPlucker({0, 1, 1}, {0, 0, 1})), -above);
    EXPECT_DOUBLE_EQ(KorPlucker({0, 0, 1}, {0, 1, 1}).Side(x), above);
    // |side| is the distance times the sine of the angle for unit directions.
    EXPECT_DOUBLE_EQ(std::fabs(x.Side(KorPlucker({0, 0, 3}, {0, 1, 3}))), 3.0);

    const KorPlucker none;
    EXPECT_EQ(none.Side(x), 0.0);
    ExpectPoint(none.GetPoint1(), 0, 0, 0);
}

TEST(KorPlucker, PlaneIntersection)
{
    const KorPlane z2({0, 0, 2}, {1, 0, 2}, {0, 1, 2});
    LumPoint out(9, 9, 9);
    ASSERT_TRUE(KorPlucker({0, 0, 0}, {1, 1, 1}).PlaneIntersection(z2, out));
    ExpectPoint(out, 2, 2, 2);
    // Beyond the end points, rounded to single precision.
    ASSERT_TRUE(KorPlucker({0.1, 0, 5}, {0.1, 0, 4}).PlaneIntersection(z2, out));
    EXPECT_EQ(out.x, static_cast<double>(0.1f));
    EXPECT_EQ(out.z, 2.0);
    out.Define(9, 9, 9);
    EXPECT_FALSE(KorPlucker({0, 0, 0}, {1, 1, 0}).PlaneIntersection(z2, out));
    ExpectPoint(out, 9, 9, 9);
}

TEST(KorPlucker, LineDistanceCases)
{
    const KorPlucker x({0, 0, 0}, {1, 0, 0});
    LumPoint pa(9, 9, 9), pb(9, 9, 9);
    EXPECT_DOUBLE_EQ(x.LineDistance(KorPlucker({0, 1, 1}, {0, 2, 1}), pa, pb), 1.0);
    ExpectPoint(pa, 0, 0, 0);
    ExpectPoint(pb, 0, 0, 1);

    pa.Define(9, 9, 9);
    EXPECT_EQ(x.LineDistance(KorPlucker({0, 1, 1}, {-3, 1, 1}), pa, pb), 1e10);
    EXPECT_EQ(x.LineDistance(KorPlucker({5, 5, 5}, {5, 5, 5}), pa, pb), 1e10);
    ExpectPoint(pa, 9, 9, 9);

    // Shared end points, each end of this line against each end of b.
    EXPECT_EQ(x.LineDistance(KorPlucker({0, 0, 0}, {0, 4, 4}), pa, pb), 0.0);
    ExpectPoint(pa, 0, 0, 0);
    ExpectPoint(pb, 0, 0, 0);
    EXPECT_EQ(x.LineDistance(KorPlucker({0, 4, 4}, {1, 0, 0}), pa, pb), 0.0);
    ExpectPoint(pa, 1, 0, 0);
    ExpectPoint(pb, 1, 0, 0);
}

TEST(KorPlucker, RandomLineDistancesAgreeWithTripleProduct)
{
    std::mt19937 rng(31337);
    for (int i = 0; i < 100000; ++i)
    {
        const LumPoint p1 = RandomPoint(rng, 10), p2 = RandomPoint(rng, 10);
        const LumPoint p3 = RandomPoint(rng, 10), p4 = RandomPoint(rng, 10);
        const LumPoint d1 = p2 - p1, d2 = p4 - p3, c = d1 ^ d2;
        if (c.Norm() < 1e-1 || (p1 - p3).Norm() < 1e-3 || (p1 - p4).Norm() < 1e-3 ||
            (p2 - p3).Norm() < 1e-3 || (p2 - p4).Norm() < 1e-3)
            continue;
        const double ref = std::fabs((p3 - p1) * c) / c.Norm();
        LumPoint pa, pb;
        const double d = KorPlucker(p1, p2).LineDistance(KorPlucker(p3, p4), pa, pb);
        ASSERT_NEAR(d, ref, 1e-5 * (1 + ref)) << i;
        // The nearest points lie on their lines, joined perpendicularly.
        ASSERT_LT(((pa - p1) ^ d1).Norm() / d1.Norm(), 1e-4) << i;
        ASSERT_LT(((pb - p3) ^ d2).Norm() / d2.Norm(), 1e-4) << i;
        ASSERT_LT(std::fabs((pa - pb) * d1) / d1.Norm(), 1e-4) << i;
        ASSERT_LT(std::fabs((pa - pb) * d2) / d2.Norm(), 1e-4) << i;
    }
}
