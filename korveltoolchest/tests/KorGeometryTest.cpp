#include "KorGeometry.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{
constexpr int kCases = 100000;

// Signed doubled area of (a, b, c) in xy.
double Area2(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}
} // namespace

TEST(KorGeometry, Normals)
{
    ExpectPoint(CalculateTriangleNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    ExpectPoint(CalculateTriangleNormal({0, 0, 0}, {0, 1, 0}, {1, 0, 0}), 0, 0, -1);
    ExpectPoint(CalculateTriangleNormal({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), 0, 0, 0);
    ExpectPoint(CalculateQuadNormal({0, 0, 5}, {2, 0, 5}, {2, 2, 5}, {0, 2, 5}), 0, 0, 1);
    // A quad folded along its diagonal bd gets the mean of its two triangles.
    ExpectPoint(CalculateQuadNormal({0, 0, 1}, {1, 0, 0}, {1, 1, 1}, {0, 1, 0}), 0, 0, 1);
}

TEST(KorGeometry, AngleBetweenVectors)
{
    EXPECT_EQ(AngleBetweenVectors2D({1, 0, 0}, {0, 0, 0}), 0.0);
    // Uses all three components despite its name.
    EXPECT_NEAR(AngleBetweenVectors2D({1, 0, 0}, {0, 0, 1}), 90.0, 1e-6);
}

TEST(KorGeometry, AngleOfParallelVectorsIsZeroNeverNaN)
{
    std::mt19937 rng(1234);
    std::uniform_real_distribution<double> k(0.01, 100.0);
    for (int i = 0; i < kCases; ++i)
    {
        const LumPoint u = RandomPoint(rng, 1000.0);
        if (u.Norm() < 1e-3)
            continue;
        const double s = k(rng);
        const double same = AngleBetweenVectors2D(u, u * s);
        const double opposite = AngleBetweenVectors2D(u, u * -s);
        ASSERT_FALSE(std::isnan(same)) << i;
        ASSERT_NEAR(same, 0.0, 1e-5) << i;
        ASSERT_NEAR(opposite, 180.0, 1e-5) << i;
    }
}

TEST(KorGeometry, AngleAgreesWithAtan2)
{
    std::mt19937 rng(77);
    for (int i = 0; i < kCases; ++i)
    {
        const LumPoint u = RandomPoint(rng, 10.0), v = RandomPoint(rng, 10.0);
        if (u.Norm() * v.Norm() < 1e-3)
            continue;
        const double ref = std::atan2((u ^ v).Norm(), u * v) * 180.0 / 3.14159265;
        ASSERT_NEAR(AngleBetweenVectors2D(u, v), ref, 1e-4) << i;
    }
}

TEST(KorGeometry, PointInTriangle2DEdgesFollowOrientation)
{
    const LumPoint a(0, 0, 0), b(1, 0, 0), c(0, 1, 0);
    const LumPoint onAB(0.5, 0, 0);
    EXPECT_TRUE(PointInTriangle2D(onAB, a, b, c));
    EXPECT_FALSE(PointInTriangle2D(onAB, a, c, b));
    EXPECT_TRUE(PointInTriangle2D({0.2, 0.2, 0}, a, c, b));
    EXPECT_FALSE(PointInTriangle2D({1, 1, 0}, a, b, c));
    // A degenerate triangle contains every point of its line.
    EXPECT_TRUE(PointInTriangle2D({5, 5, 0}, {0, 0, 0}, {1, 1, 0}, {2, 2, 0}));

    LumPoint out(9, 9, 9);
    EXPECT_TRUE(PointInTriangle2D({0.25, 0.5, 7}, {0, 0, 0}, {1, 0, 1}, {0, 1, 2}, out));
    ExpectPoint(out, 0.25, 0.5, 0.25 * 1 + 0.5 * 2);
    // xy projection is a segment: refused, out untouched.
    out.Define(9, 9, 9);
    EXPECT_FALSE(PointInTriangle2D({0.5, 0.5, 0}, {0, 0, 0}, {1, 1, 1}, {2, 2, 2}, out));
    ExpectPoint(out, 9, 9, 9);
    EXPECT_FALSE(PointInTriangle2D({3, 3, 0}, {0, 0, 0}, {1, 0, 1}, {0, 1, 2}, out));
    ExpectPoint(out, 9, 9, 9);
}

TEST(KorGeometry, PointInTriangle2DAgreesWithBarycentric)
{
    std::mt19937 rng(42);
    int inside = 0;
    for (int i = 0; i < kCases; ++i)
    {
        const LumPoint a = RandomPoint(rng, 10), b = RandomPoint(rng, 10), c = RandomPoint(rng, 10);
        const LumPoint p = RandomPoint(rng, 10);
        const double area = Area2(a, b, c);
        if (std::fabs(area) < 1e-2)
            continue;
        const double la = Area2(p, b, c) / area, lb = Area2(a, p, c) / area, lc = Area2(a, b, p) / area;
        if (std::fabs(la) < 1e-9 || std::fabs(lb) < 1e-9 || std::fabs(lc) < 1e-9)
            continue;
        const bool expected = la > 0 && lb > 0 && lc > 0;
        ASSERT_EQ(PointInTriangle2D(p, a, b, c), expected) << i;
        LumPoint out;
        ASSERT_EQ(PointInTriangle2D(p, a, b, c, out), expected) << i;
        if (expected)
        {
            ++inside;
            ASSERT_NEAR(out.x, p.x, 1e-9);
            ASSERT_NEAR(out.y, p.y, 1e-9);
            ASSERT_NEAR(out.z, la * a.z + lb * b.z + lc * c.z, 1e-8) << i;
        }
    }
    EXPECT_GT(inside, kCases / 100);
}

TEST(KorGeometry, PointInTriangle3DAgreesWithProjectedBarycentric)
{
    std::mt19937 rng(4242);
    int inside = 0;
    for (int i = 0; i < kCases; ++i)
    {
        const LumPoint a = RandomPoint(rng, 10), b = RandomPoint(rng, 10), c = RandomPoint(rng, 10);
        const LumPoint p = RandomPoint(rng, 10);
        const LumPoint n = (b - a) ^ (c - a);
        const double nn = n * n;
        if (nn < 1e-2)
            continue;
        // Barycentric coordinates of p's projection, by sub-triangle normals.
        const double la = (((c - b) ^ (p - b)) * n) / nn;
        const double lb = (((a - c) ^ (p - c)) * n) / nn;
        const double lc = 1.0 - la - lb;
        // The side test calls |side| <= 1e-5 an edge; side = lambda * |n|^2.
        if (std::fabs(la) * nn < 1e-3 || std::fabs(lb) * nn < 1e-3 || std::fabs(lc) * nn < 1e-3)
            continue;
        const bool expected = la > 0 && lb > 0 && lc > 0;
        inside += expected;
        ASSERT_EQ(PointInTriangle3D(p, a, b, c), expected) << i;
        ASSERT_EQ(PointInTriangle3D(p, c, b, a), expected) << i;
    }
    EXPECT_GT(inside, kCases / 100);
}

TEST(KorGeometry, PointInTriangle3DBoundaryAndDegenerate)
{
    const LumPoint a(0, 0, 0), b(2, 0, 0), c(0, 2, 0);
    EXPECT_TRUE(PointInTriangle3D({0.5, 0.5, 10}, a, b, c));
    EXPECT_TRUE(PointInTriangle3D({0.5, 0.5, -10}, a, c, b));
    EXPECT_TRUE(PointInTriangle3D({1, 0, 3}, a, b, c));  // on an edge
    EXPECT_TRUE(PointInTriangle3D({2, 0, -1}, a, b, c)); // at a vertex
    EXPECT_FALSE(PointInTriangle3D({2, 2, 0}, a, b, c));
    EXPECT_FALSE(PointInTriangle3D({1, 1, 0}, a, {1, 1, 1}, {2, 2, 2}));
}

TEST(KorGeometry, PointInRectangleIncludesBounds)
{
    const LumPoint lo(0, 0, 0), hi(2, 1, 0);
    EXPECT_TRUE(PointInRectangle2D({2, 1, 50}, lo, hi));
    EXPECT_TRUE(PointInRectangle2D({0, 0.5, 0}, lo, hi));
    EXPECT_FALSE(PointInRectangle2D({2.0000001, 0.5, 0}, lo, hi));
    EXPECT_FALSE(PointInRectangle2D({1, 0.5, 0}, hi, lo));
}

TEST(KorGeometry, SegmentsIntersectionCases)
{
    double t = -7;
    // Two vertical segments, and collinear overlapping ones: false.
    EXPECT_FALSE(SegmentsIntersection({0, 0, 0}, {0, 2, 0}, {0, 1, 0}, {0, 3, 0}, &t));
    EXPECT_FALSE(SegmentsIntersection({0, 0, 0}, {2, 2, 0}, {1, 1, 0}, {3, 3, 0}, &t));
    EXPECT_EQ(t, -7);
    // Touching at an end point, both argument orders.
    EXPECT_TRUE(SegmentsIntersection({0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {2, 0, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 1.0);
    EXPECT_TRUE(SegmentsIntersection({1, 1, 0}, {2, 0, 0}, {0, 0, 0}, {1, 1, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 0.0);
    // First vertical, then second vertical.
    EXPECT_TRUE(SegmentsIntersection({1, -1, 0}, {1, 3, 0}, {0, 0, 0}, {2, 2, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 0.5);
    EXPECT_TRUE(SegmentsIntersection({0, 0, 0}, {2, 2, 0}, {1, -1, 0}, {1, 3, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 0.5);
    EXPECT_FALSE(SegmentsIntersection({1, 2, 0}, {1, 3, 0}, {0, 0, 0}, {2, 2, 0}, &t));
    EXPECT_FALSE(SegmentsIntersection({0, 0, 0}, {2, 2, 0}, {3, -1, 0}, {3, 3, 0}, &t));
    EXPECT_FALSE(SegmentsIntersection({0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, -1, 0}));
    EXPECT_TRUE(SegmentsIntersection({0, 0, 0}, {4, 0, 0}, {1, -1, 0}, {2, 1, 0}));
}

TEST(KorGeometry, DegenerateFirstSegmentIsRefused)
{
    double t = -7;
    const LumPoint p(1, 1, 0), q(1 + 4e-6, 1 - 4e-6, 3);
    EXPECT_FALSE(SegmentsIntersection(p, p, {0, 0, 0}, {2, 2, 0}, &t));
    EXPECT_FALSE(SegmentsIntersection(p, q, {0, 0, 0}, {2, 2, 0}, &t));
    EXPECT_FALSE(SegmentsIntersection(p, p, {1, 0, 0}, {1, 2, 0}, &t));
    EXPECT_FALSE(LinesIntersection(p, p, {0, 0, 0}, {2, 2, 0}, &t));
    EXPECT_FALSE(LinesIntersection(p, q, {0, 5, 0}, {2, 2, 0}, &t));
    EXPECT_EQ(t, -7);
}

TEST(KorGeometry, SegmentsIntersectionAgreesWithParametricSolve)
{
    std::mt19937 rng(99);
    int hits = 0;
    for (int i = 0; i < kCases; ++i)
    {
        const LumPoint p1 = RandomPoint(rng, 10), p2 = RandomPoint(rng, 10);
        const LumPoint p3 = RandomPoint(rng, 10), p4 = RandomPoint(rng, 10);
        const double dx1 = p2.x - p1.x, dy1 = p2.y - p1.y, dx2 = p4.x - p3.x, dy2 = p4.y - p3.y;
        if (std::fabs(dx1) < 1e-2 || std::fabs(dx2) < 1e-2 || std::fabs(dy1 / dx1 - dy2 / dx2) < 1e-2)
            continue;
        const double cr = dx1 * dy2 - dy1 * dx2;
        const double s = ((p3.x - p1.x) * dy2 - (p3.y - p1.y) * dx2) / cr;
        const double u = ((p3.x - p1.x) * dy1 - (p3.y - p1.y) * dx1) / cr;
        if (std::fabs(s) < 1e-7 || std::fabs(s - 1) < 1e-7 || std::fabs(u) < 1e-7 || std::fabs(u - 1) < 1e-7)
            continue;
        const bool expected = s > 0 && s < 1 && u > 0 && u < 1;
        double t = -1, tl = -1;
        ASSERT_EQ(SegmentsIntersection(p1, p2, p3, p4, &t), expected) << i;
        ASSERT_TRUE(LinesIntersection(p1, p2, p3, p4, &tl)) << i;
        ASSERT_NEAR(tl, s, 1e-7 * (1 + std::fabs(s))) << i;
        if (expected)
        {
            ++hits;
            ASSERT_NEAR(t, s, 1e-7) << i;
        }
    }
    EXPECT_GT(hits, kCases / 100);
}

TEST(KorGeometry, LinesIntersectionCases)
{
    double t = -7;
    EXPECT_FALSE(LinesIntersection({0, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 2, 0}, &t));
    EXPECT_FALSE(LinesIntersection({0, 0, 0}, {0, 1, 0}, {2, 1, 0}, {2, 2, 0}, &t));
    EXPECT_EQ(t, -7);
    // Crossing beyond p2.
    EXPECT_TRUE(LinesIntersection({0, 0, 0}, {1, 0, 0}, {3, -1, 0}, {3, 1, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 3.0);
    EXPECT_TRUE(LinesIntersection({0, 0, 0}, {0, 2, 0}, {-1, 4, 0}, {1, 4, 0}, &t));
    EXPECT_DOUBLE_EQ(t, 2.0);
    // Behind p1, with heights that must not shift the xy position.
    EXPECT_TRUE(LinesIntersection({0, 0, 5}, {2, 2, -3}, {-1, 0, 0}, {0, -1, 0}, &t));
    EXPECT_DOUBLE_EQ(t, -0.25);
}

TEST(KorGeometry, PlaneSegmentAndCircleLine)
{
    double t = -7;
    EXPECT_TRUE(IntersectionPlanSegment({0, 0, 1}, -2.0f, {0, 0, 0}, {0, 0, 1}, t));
    EXPECT_DOUBLE_EQ(t, 2.0);
    t = -7;
    EXPECT_FALSE(IntersectionPlanSegment({0, 0, 1}, -2.0f, {0, 0, 0}, {1, 0, 0}, t));
    EXPECT_EQ(t, -7);

    LumPoint o1, o2;
    EXPECT_EQ(IntersectionCircleLine({0, 0, 0}, 1.0f, {-2, 0, 4}, {2, 0, 4}, o1, o2), 2);
    ExpectPoint(o1, 1, 0, 0);
    ExpectPoint(o2, -1, 0, 0);
    EXPECT_EQ(IntersectionCircleLine({0, 0, 0}, 1.0f, {-0.5, 1 + 1e-7, 0}, {0.5, 1 + 1e-7, 0}, o1, o2), 1);
    ExpectPoint(o1, 0, 1 + 1e-7, 0);
    ExpectPoint(o2, 0, 1 + 1e-7, 0);
    EXPECT_EQ(IntersectionCircleLine({0, 0, 0}, 1.0f, {-2, 2, 0}, {2, 2, 0}, o1, o2), 0);
    EXPECT_EQ(IntersectionCircleLine({0, 0, 0}, 1.0f, {1, 1, 0}, {1, 1, 9}, o1, o2), 0);
    ExpectPoint(o1, 0, 0, 0);
}

TEST(KorGeometry, PointSegmentAndLineDistances)
{
    LumPoint out;
    EXPECT_DOUBLE_EQ(DistancePointSegment2D({5, 4, 9}, {0, 0, 0}, {2, 0, 2}, out), 5.0);
    ExpectPoint(out, 2, 0, 2);
    EXPECT_DOUBLE_EQ(DistancePointSegment2D({1, 3, 0}, {0, 0, 0}, {2, 0, 2}, out), 3.0);
    ExpectPoint(out, 1, 0, 1);
    EXPECT_DOUBLE_EQ(DistancePointSegment2D({-3, -4, 0}, {0, 0, 0}, {2, 0, 2}, out), 5.0);
    ExpectPoint(out, 0, 0, 0);
    out.Define(9, 9, 9);
    EXPECT_EQ(DistancePointSegment2D({1, 1, 0}, {1, 1, 0}, {1, 1, 5}, out), -1.0);
    ExpectPoint(out, 9, 9, 9);

    EXPECT_DOUBLE_EQ(DistancePointSegment({0, 0, 5}, {-1, 0, 0}, {1, 0, 0}, out), 5.0);
    ExpectPoint(out, 0, 0, 0);
    EXPECT_DOUBLE_EQ(DistancePointSegment({3, 0, 4}, {-1, 0, 0}, {0, 0, 0}, out), 5.0);
    EXPECT_EQ(DistancePointSegment({1, 1, 0}, {1, 1, 0}, {1, 1, 5e-6}, out), -1.0);

    EXPECT_DOUBLE_EQ(DistancePointLine({7, 3, 4}, {0, 0, 0}, {1, 0, 0}, out), 5.0);
    ExpectPoint(out, 7, 0, 0);
    out.Define(9, 9, 9);
    EXPECT_EQ(DistancePointLine({7, 3, 4}, {1, 0, 0}, {1, 0, 0}, out), -1.0);
    ExpectPoint(out, 9, 9, 9);
}

TEST(KorGeometry, AlignmentAndMeasures)
{
    EXPECT_TRUE(ArePointsAligned({}));
    EXPECT_TRUE(ArePointsAligned({{0, 0, 0}, {5, 5, 5}}));
    EXPECT_TRUE(ArePointsAligned({{0, 0, 0}, {1, 0, 0}, {2, 0, 1e-6}}));
    EXPECT_FALSE(ArePointsAligned({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}}));
    EXPECT_TRUE(ArePointsAligned({{0, 0, 0}, {0, 0, 0}, {2, 1, 0}}));

    EXPECT_DOUBLE_EQ(GetTriangleSurface({0, 0, 0}, {3, 0, 0}, {0, 4, 7}), 0.5 * 3 * std::sqrt(16 + 49));
    EXPECT_DOUBLE_EQ(GetTetraedraVolume({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}), 1.0 / 6);
    EXPECT_DOUBLE_EQ(GetTetraedraVolume({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 3}), 0.5);
    EXPECT_DOUBLE_EQ(Combination({1, 2, 3}, {0, 0, 1}, {4, 5, 6}, {1, 1, 1}), 1 * 3 + 2 * 4 + 2 * 5);
}
