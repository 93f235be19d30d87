#include "KorPlane.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{
double Det3(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return a * (b ^ c);
}

// The plane n.x = h as the test itself sees it, from its three points.
struct RefPlane
{
    LumPoint p[3];
    LumPoint n;
    double h;
};

RefPlane RandomRefPlane(std::mt19937& rng)
{
    RefPlane r;
    for (LumPoint& q : r.p)
        q = RandomPoint(rng, 10);
    r.n = (r.p[1] - r.p[0]) ^ (r.p[2] - r.p[0]);
    r.h = r.n * r.p[0];
    return r;
}
} // namespace

TEST(KorPlane, NormalAndProjection)
{
    const KorPlane xy({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    ExpectPoint(xy.GetNormal(), 0, 0, 1);
    double t = -7;
    EXPECT_EQ(xy.LineIntersection({3, 4, 0}, {3, 4, 1}, t), 2); // d = 0: the origin's plane
    EXPECT_EQ(t, 0.0);

    const KorPlane line({0, 0, 0}, {1, 1, 1}, {2, 2, 2});
    ExpectPoint(line.GetNormal(), 0, 0, 0);

    // The projection passes through single precision.
    const LumPoint pr = xy.Projection({0.1, 0.2, 5});
    EXPECT_EQ(pr.x, static_cast<double>(0.1f));
    EXPECT_EQ(pr.y, static_cast<double>(0.2f));
    EXPECT_EQ(pr.z, 0.0);
    ExpectPoint(KorPlane({0, 0, 2}, {0, 1, 2}, {1, 0, 2}).Projection({0.5, 0.25, -6}), 0.5, 0.25, 2);
}

TEST(KorPlane, LineIntersection)
{
    const KorPlane half({0, 0, 0.5}, {1, 0, 0.5}, {0, 1, 0.5});
    double t = -7;
    EXPECT_EQ(half.LineIntersection({0, 0, 0}, {1, 1, 1}, t), 1);
    EXPECT_DOUBLE_EQ(t, 0.5);
    EXPECT_EQ(half.LineIntersection({1, 1, 1}, {1, 1, 2}, t), 1);
    EXPECT_DOUBLE_EQ(t, -0.5);
    EXPECT_EQ(half.LineIntersection({0.3, 0.3, 0.5}, {1, 1, 1}, t), 2);
    EXPECT_EQ(t, 0.0);
    t = -7;
    EXPECT_EQ(half.LineIntersection({0, 0, 1}, {5, 3, 1}, t), 0);
    EXPECT_EQ(t, -7);
}

TEST(KorPlane, ParallelPlanesGiveDegenerateLine)
{
    const KorPlane a({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    const KorPlane b({0, 0, 3}, {0, 1, 3}, {1, 0, 3});
    const KorPlucker l = a.Intersection(b);
    ExpectPoint(l.GetPoint1(), 0, 0, 0);
    ExpectPoint(l.GetPoint2(), 0, 0, 0);
}

TEST(KorPlane, PlanePlaneLineIsConsistentWithItsPoints)
{
    // z = 1 and x = 2 meet along (2, y, 1); cut by y = 5 that is (2, 5, 1),
    // whatever the order and orientation of the planes.
    const KorPlane z1({0, 0, 1}, {1, 0, 1}, {0, 1, 1}), z1r({0, 0, 1}, {0, 1, 1}, {1, 0, 1});
    const KorPlane x2({2, 0, 0}, {2, 1, 0}, {2, 0, 1}), x2r({2, 0, 0}, {2, 0, 1}, {2, 1, 0});
    const KorPlane y5({0, 5, 0}, {1, 5, 0}, {0, 5, 1});
    for (const KorPlucker& l :
         {z1.Intersection(x2), x2.Intersection(z1), z1r.Intersection(x2), z1.Intersection(x2r)})
    {
        LumPoint out;
        ASSERT_TRUE(l.PlaneIntersection(y5, out));
        ExpectPoint(out, 2, 5, 1);
        // A line through (2, 5, 1) meets it: side 0.
        EXPECT_NEAR(l.Side(KorPlucker({2, 5, 1}, {7, -3, 4})), 0.0, 1e-9);
    }
}

TEST(KorPlane, RandomPlanePlaneLinesAgreeWithDirectSolve)
{
    std::mt19937 rng(2024);
    int checked = 0;
    for (int i = 0; i < 100000; ++i)
    {
        const RefPlane A = RandomRefPlane(rng), B = RandomRefPlane(rng), C = RandomRefPlane(rng);
        const double na = A.n.Norm(), nb = B.n.Norm(), nc = C.n.Norm();
        if (na < 1 || nb < 1 || nc < 1)
            continue;
        const LumPoint ua = A.n * (1 / na), ub = B.n * (1 / nb), uc = C.n * (1 / nc);
        const LumPoint dir = ua ^ ub;
        const double det = Det3(ua, ub, uc);
        if (dir.Norm() < 0.2 || std::fabs(det) < 0.2)
            continue;
        // Cramer's rule for the point on all three planes.
        const double ha = A.h / na, hb = B.h / nb, hc = C.h / nc;
        const LumPoint e1(ua.x, ub.x, uc.x), e2(ua.y, ub.y, uc.y), e3(ua.z, ub.z, uc.z), h(ha, hb, hc);
        const double cd = Det3(e1, e2, e3);
        const LumPoint X(Det3(h, e2, e3) / cd, Det3(e1, h, e3) / cd, Det3(e1, e2, h) / cd);
        if (X.Norm() > 100)
            continue;
        ++checked;

        const KorPlane pa(A.p[0], A.p[1], A.p[2]), pb(B.p[0], B.p[1], B.p[2]), pc(C.p[0], C.p[1], C.p[2]);
        const KorPlucker l = pa.Intersection(pb);
        LumPoint out;
        ASSERT_TRUE(l.PlaneIntersection(pc, out)) << i;
        const double tol = 1e-4 * (1 + X.Norm());
        ASSERT_NEAR(out.x, X.x, tol) << i;
        ASSERT_NEAR(out.y, X.y, tol) << i;
        ASSERT_NEAR(out.z, X.z, tol) << i;

        // The returned coordinates run along the cross product of the normals,
        // like the line Define gives through X and X + dir.
        const KorPlucker ref(X, X + dir);
        const KorPlucker probe(RandomPoint(rng, 10), RandomPoint(rng, 10));
        const double sRef = ref.Side(probe), s = l.Side(probe);
        ASSERT_EQ(s, KorPlucker(l.GetPoint1(), l.GetPoint2()).Side(probe)) << i;
        if (std::fabs(sRef) < 1e-3)
            continue;
        ASSERT_EQ(s > 0, sRef > 0) << i;
        // Plücker coordinates scale with the direction's length.
        const double unit = s / (l.GetPoint2() - l.GetPoint1()).Norm(), unitRef = sRef / dir.Norm();
        ASSERT_NEAR(unit, unitRef, 1e-3 * (1 + std::fabs(unitRef))) << i;
    }
    EXPECT_GT(checked, 10000);
}
