#include "KorRay.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
// Textbook Möller–Trumbore, written independently of the class: the hit's
// distance s and barycentric coordinates (u, v); false only when the ray is
// parallel to the plane.
bool MollerTrumbore(const LumPoint& o, const LumPoint& d, const LumPoint& a, const LumPoint& b,
                    const LumPoint& c, double& s, double& u, double& v)
{
    const LumPoint e1 = b - a, e2 = c - a;
    const LumPoint pv = d ^ e2;
    const double det = e1 * pv;
    if (det == 0)
        return false;
    const LumPoint tv = o - a;
    u = (tv * pv) / det;
    const LumPoint qv = tv ^ e1;
    v = (d * qv) / det;
    s = (e2 * qv) / det;
    return true;
}

const LumPoint kA(0, 0, 0), kB(1, 0, 0), kC(0, 1, 0);
} // namespace

TEST(KorRay, DirectionIsNormalised)
{
    const KorRay ray({0.25, 0.25, 5}, {0, 0, -5});
    EXPECT_EQ(ray.GetDirection().z, -1.0);
    double t = -1;
    ASSERT_TRUE(ray.IntersectTriangle(kA, kB, kC, 0, 100, t));
    EXPECT_DOUBLE_EQ(t, 5.0);
    const KorRay none;
    EXPECT_EQ(none.GetDirection().Norm(), 0.0);
    t = -1;
    EXPECT_FALSE(none.IntersectTriangle(kA, kB, kC, -100, 100, t));
}

TEST(KorRay, TriangleWindowAndRunningDistance)
{
    const KorRay ray({0.25, 0.25, 1}, {0, 0, -1});
    double t = 0.5;
    EXPECT_FALSE(ray.IntersectTriangle(kA, kB, kC, 0, 10, t));
    EXPECT_EQ(t, 0.5);
    t = -1;
    EXPECT_TRUE(ray.IntersectTriangle(kA, kB, kC, 0, 10, t));
    EXPECT_DOUBLE_EQ(t, 1.0);
    t = 1.0; // an equal distance is not nearer
    EXPECT_FALSE(ray.IntersectTriangle(kA, kB, kC, 0, 10, t));
    t = -1;
    EXPECT_FALSE(ray.IntersectTriangle(kA, kB, kC, 1.5, 10, t));
    EXPECT_FALSE(ray.IntersectTriangle(kA, kB, kC, 0, 0.9, t));
    EXPECT_EQ(t, -1);
    // Behind the origin, accepted only by a window that allows it.
    const KorRay up({0.25, 0.25, 1}, {0, 0, 1});
    EXPECT_TRUE(up.IntersectTriangle(kA, kB, kC, -10, 10, t));
    EXPECT_DOUBLE_EQ(t, -1.0);
    // Grazing: in the triangle's plane.
    t = -1;
    EXPECT_FALSE(KorRay({-1, 0.2, 0}, {1, 0, 0}).IntersectTriangle(kA, kB, kC, -10, 10, t));
}

TEST(KorRay, TriangleCornersAndEdges)
{
    double t = -1;
    EXPECT_TRUE(KorRay({0, 0, 1}, {0, 0, -1}).IntersectTriangle(kA, kB, kC, 0, 10, t));
    t = -1;
    EXPECT_TRUE(KorRay({0.5, 0.5, 1}, {0, 0, -1}).IntersectTriangle(kA, kB, kC, 0, 10, t));
    t = -1;
    EXPECT_FALSE(KorRay({-2e-5, 0, 1}, {0, 0, -1}).IntersectTriangle(kA, kB, kC, 0, 10, t));
    EXPECT_FALSE(KorRay({0.5 + 2e-5, 0.5, 1}, {0, 0, -1}).IntersectTriangle(kA, kB, kC, 0, 10, t));
    EXPECT_FALSE(KorRay({0.3, -2e-5, 1}, {0, 0, -1}).IntersectTriangle(kA, kB, kC, 0, 10, t));
}

TEST(KorRay, TriangleAgreesWithMollerTrumbore)
{
    std::mt19937 rng(555);
    int hits = 0, compared = 0;
    for (int i = 0; i < 100000; ++i)
    {
        const LumPoint a = RandomPoint(rng, 10), b = RandomPoint(rng, 10), c = RandomPoint(rng, 10);
        const LumPoint o = RandomPoint(rng, 20);
        // Aim near the triangle half of the time so that hits are common.
        const LumPoint target = i % 2 ? RandomPoint(rng, 10) : (a + b + c) * (1.0 / 3) + RandomPoint(rng, 3);
        const KorRay ray(o, target - o);
        const LumPoint& d = ray.GetDirection();
        double s, u, v;
        if (std::fabs(((b - a) ^ (c - a)) * d) < 1e-5 || !MollerTrumbore(o, d, a, b, c, s, u, v))
            continue;
        // Within 1e-5 of an edge the class's tolerance decides; skip a margin.
        if (std::fabs(u) < 1e-4 || std::fabs(v) < 1e-4 || std::fabs(1 - u - v) < 1e-4)
            continue;
        ++compared;
        const bool expected = u > 0 && v > 0 && u + v < 1 && s >= 0;
        double t = -1;
        ASSERT_EQ(ray.IntersectTriangle(a, b, c, 0, 1e10, t), expected) << i;
        if (expected)
        {
            ++hits;
            ASSERT_NEAR(t, s, 1e-9 * (1 + s)) << i;
        }
    }
    EXPECT_GT(compared, 90000);
    EXPECT_GT(hits, 10000);
}

TEST(KorRay, RectangleIgnoresThirdCorner)
{
    const LumPoint a(0, 0, 0), b(2, 0, 0), d(0, 1, 0);
    const KorRay in({1.9, 0.9, 3}, {0, 0, -1}), out({2.1, 0.5, 3}, {0, 0, -1});
    for (const LumPoint& c : {LumPoint(2, 1, 0), LumPoint(-50, 7, 3), LumPoint()})
    {
        double t = -1;
        EXPECT_TRUE(in.IntersectRectangle(a, b, c, d, 0, 10, t));
        EXPECT_DOUBLE_EQ(t, 3.0);
        t = -1;
        EXPECT_FALSE(out.IntersectRectangle(a, b, c, d, 0, 10, t));
    }
    // A parallelogram, not the quad through c.
    double t = -1;
    EXPECT_TRUE(KorRay({2.5, 1, 1}, {0, 0, -1}).IntersectRectangle(a, {2, 0, 0}, {}, {1, 1, 0}, 0, 10, t));
}

TEST(KorRay, BoxFromInsideAndOutside)
{
    const LumPoint lo(0, 0, 0), hi(2, 3, 4);
    const KorRay inside({1, 1, 1}, {0, -1, 0});
    EXPECT_TRUE(inside.IntersectBoundingBox(lo, hi, 0, 100));
    double t = 1e10;
    EXPECT_TRUE(inside.IntersectCube(lo, hi, 0, 100, t));
    EXPECT_DOUBLE_EQ(t, 1.0);
    EXPECT_FALSE(inside.IntersectBoundingBox(lo, hi, 1.5, 100));
    EXPECT_FALSE(KorRay({5, 1, 1}, {1, 0, 0}).IntersectBoundingBox(lo, hi, 0, 100));
    t = -1;
    EXPECT_FALSE(KorRay({5, 1, 1}, {1, 0, 0}).IntersectCube(lo, hi, 0, 100, t));
    EXPECT_EQ(t, -1);
}

TEST(KorRay, CubeGivesTheSlabEntryDistance)
{
    std::mt19937 rng(91);
    int hits = 0;
    for (int i = 0; i < 20000; ++i)
    {
        LumPoint lo = RandomPoint(rng, 5), hi = RandomPoint(rng, 5);
        lo = LumPoint(std::min(lo.x, hi.x), std::min(lo.y, hi.y), std::min(lo.z, hi.z));
        hi = LumPoint(std::max(lo.x, hi.x) + 0.5, std::max(lo.y, hi.y) + 0.5, std::max(lo.z, hi.z) + 0.5);
        const LumPoint o = RandomPoint(rng, 15);
        const KorRay ray(o, (lo + hi) * 0.5 + RandomPoint(rng, 3) - o);
        const LumPoint& d = ray.GetDirection();
        // Slab method: entry and exit along each axis.
        double tin = -1e30, tout = 1e30;
        const double os[3] = {o.x, o.y, o.z}, ds[3] = {d.x, d.y, d.z};
        const double los[3] = {lo.x, lo.y, lo.z}, his[3] = {hi.x, hi.y, hi.z};
        bool grazing = false;
        for (int k = 0; k < 3; ++k)
        {
            if (std::fabs(ds[k]) < 1e-3)
            {
                grazing = true;
                break;
            }
            const double t0 = (los[k] - os[k]) / ds[k], t1 = (his[k] - os[k]) / ds[k];
            tin = std::max(tin, std::min(t0, t1));
            tout = std::min(tout, std::max(t0, t1));
        }
        if (grazing || std::fabs(tout - tin) < 1e-3)
            continue;
        const bool expected = tin < tout && tout > 0;
        const double nearest = tin > 0 ? tin : tout;
        if (std::fabs(tin) < 1e-6)
            continue;
        double t = 1e20;
        ASSERT_EQ(ray.IntersectCube(lo, hi, 0, 1e10, t), expected) << i;
        ASSERT_EQ(ray.IntersectBoundingBox(lo, hi, 0, 1e10), expected) << i;
        if (expected)
        {
            ++hits;
            ASSERT_NEAR(t, nearest, 1e-9 * (1 + nearest)) << i;
        }
    }
    EXPECT_GT(hits, 2000);
}

TEST(KorRay, Sphere)
{
    const LumPoint centre(0, 0, 10);
    double t = -1;
    EXPECT_FALSE(KorRay({2, 0, 0}, {0, 0, 1}).IntersectSphere(centre, 2, 0, 100, t)); // tangent
    EXPECT_TRUE(KorRay({1, 0, 0}, {0, 0, 1}).IntersectSphere(centre, 2, 0, 100, t));
    EXPECT_NEAR(t, 10 - std::sqrt(3.0), 1e-12);
    t = 5;
    EXPECT_FALSE(KorRay({0, 0, 0}, {0, 0, 1}).IntersectSphere(centre, 2, 0, 100, t));
    t = -1;
    EXPECT_FALSE(KorRay({0, 0, 0}, {0, 0, 1}).IntersectSphere(centre, 2, 0, 7, t));
    EXPECT_FALSE(KorRay({0, 0, 0}, {0, 0, 1}).IntersectSphere(centre, 2, 9, 100, t));
    // A negative max is no upper limit.
    EXPECT_TRUE(KorRay({0, 0, -992}, {0, 0, 1}).IntersectSphere(centre, 2, 0, -1, t));
    EXPECT_DOUBLE_EQ(t, 1000.0);
    // From inside the nearer root lies behind the origin.
    t = -1;
    EXPECT_FALSE(KorRay(centre, {0, 0, 1}).IntersectSphere(centre, 2, 0, 100, t));
    EXPECT_TRUE(KorRay(centre, {0, 0, 1}).IntersectSphere(centre, 2, -5, 100, t));
    EXPECT_DOUBLE_EQ(t, -2.0);
}

TEST(KorRay, Segment)
{
    const KorRay ray({0, 0, 0}, {1, 0, 0});
    double t = -7;
    EXPECT_FALSE(ray.IntersectSegment({0, 1, 0}, {5, 1, 0}, t, 0, 100));
    EXPECT_EQ(t, -7);
    EXPECT_TRUE(ray.IntersectSegment({5, -1, 2}, {5, 1, 2}, t, 0, 10));
    EXPECT_DOUBLE_EQ(t, 2.0); // the distance between the lines
    EXPECT_FALSE(ray.IntersectSegment({5, -1, 2}, {5, 1, 2}, t, 0, 4.9));
    EXPECT_FALSE(ray.IntersectSegment({5, -1, 2}, {5, 1, 2}, t, 5.1, 10));
    t = -7;
    EXPECT_FALSE(ray.IntersectSegment({5, 1, 3}, {5, 3, 3}, t, 0, 10));
    EXPECT_DOUBLE_EQ(t, 3.0);
    EXPECT_TRUE(ray.IntersectSegment({-5, 1, 0}, {-5, -1, 0}, t, -10, 10));
}

TEST(KorRay, QuarterCircle)
{
    const LumPoint c(0, 0, 0), U(1, 0, 0), V(0, 1, 0);
    const LumPoint down(0, 0, -1);
    double t = 1;
    EXPECT_TRUE(KorRay({0.3, 0.3, 5}, down).IntersectQuarterCircle(c, U, V, 1, 0, 10, t));
    EXPECT_DOUBLE_EQ(t, 5.0); // no comparison with the previous t
    EXPECT_FALSE(KorRay({-0.1, 0.3, 5}, down).IntersectQuarterCircle(c, U, V, 1, 0, 10, t));
    EXPECT_FALSE(KorRay({0.8, 0.8, 5}, down).IntersectQuarterCircle(c, U, V, 1, 0, 10, t));
    EXPECT_FALSE(KorRay({0.3, 0.3, 5}, down).IntersectQuarterCircle(c, U, V, 1, 0, 4, t));
    EXPECT_FALSE(KorRay({0.3, 0.3, 5}, down).IntersectQuarterCircle(c, U, V, 1, 6, 10, t));
    EXPECT_TRUE(KorRay({0.3, 0.3, 5}, down).IntersectQuarterCircle(c, U, V, 1, -1, -1, t));
    EXPECT_TRUE(KorRay({0.3, 0.3, -5}, down).IntersectQuarterCircle(c, U, V, 1, -1, -1, t));
    EXPECT_DOUBLE_EQ(t, -5.0);
    // Parallel to the disc.
    EXPECT_FALSE(KorRay({0.3, 0.3, 0}, {1, 0, 0}).IntersectQuarterCircle(c, U, V, 1, -1, -1, t));
}
