#include "KorPolygon.h"
#include "KorGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
const std::vector<LumPoint> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

// A convex polygon inscribed in a circle of a random plane, with the 2D
// coordinates of its vertices in that plane.
struct PlanarPolygon
{
    LumPoint centre, u, v, n;
    double radius;
    std::vector<double> x2, y2;
    std::vector<LumPoint> vertices;

    LumPoint At(double x, double y, double h = 0) const { return centre + u * x + v * y + n * h; }
};

PlanarPolygon RandomConvexPolygon(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(-1, 1);
    PlanarPolygon p;
    p.centre = LumPoint(unit(rng) * 10, unit(rng) * 10, unit(rng) * 10);
    do
        p.n = LumPoint(unit(rng), unit(rng), unit(rng));
    while (p.n.Norm() < 0.1);
    Normalize(p.n);
    p.u = p.n ^ (std::fabs(p.n.x) < 0.5 ? LumPoint(1, 0, 0) : LumPoint(0, 1, 0));
    Normalize(p.u);
    p.v = p.n ^ p.u;
    p.radius = 2 + 4 * (unit(rng) + 1);
    const int count = 3 + static_cast<int>((unit(rng) + 1) * 2.5);
    // Vertices at least 60% of the regular spacing apart, so that no fan
    // triangle is thin enough for the 1e-5 side tolerance to matter.
    const double spacing = 2 * 3.141592653589793 / count;
    std::vector<double> angles;
    for (int i = 0; i < count; ++i)
        angles.push_back(spacing * (i + 0.2 * unit(rng)));
    for (double a : angles)
    {
        p.x2.push_back(p.radius * std::cos(a));
        p.y2.push_back(p.radius * std::sin(a));
        p.vertices.push_back(p.At(p.x2.back(), p.y2.back()));
    }
    return p;
}

// Even-odd crossing count in the polygon's 2D coordinates; dist receives the
// distance from (x, y) to the nearest edge.
bool CrossingNumberInside(const PlanarPolygon& p, double x, double y, double& dist)
{
    bool inside = false;
    dist = 1e30;
    const size_t n = p.x2.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const double xi = p.x2[i], yi = p.y2[i], xj = p.x2[j], yj = p.y2[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            inside = !inside;
        const double ex = xj - xi, ey = yj - yi;
        const double s = std::clamp(((x - xi) * ex + (y - yi) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
        dist = std::min(dist, std::hypot(x - xi - s * ex, y - yi - s * ey));
    }
    return inside;
}
} // namespace

TEST(KorPolygon, PointIn2DPolygonFollowsTheFan)
{
    LumPoint out;
    EXPECT_FALSE(PointLiesIn2DPolygon({0.1, 0.1, 0}, {{0, 0, 0}, {1, 0, 0}}, out));
    // A tilted planar quad z = x + 2y: out carries the face's height.
    const std::vector<LumPoint> tilted = {{0, 0, 0}, {2, 0, 2}, {2, 1, 4}, {0, 1, 2}};
    ASSERT_TRUE(PointLiesIn2DPolygon({1.5, 0.75, -9}, tilted, out));
    EXPECT_NEAR(out.z, 1.5 + 2 * 0.75, 1e-12);
    ASSERT_TRUE(PointLiesIn2DPolygon({0.25, 0.1, -9}, tilted, out));
    EXPECT_NEAR(out.z, 0.25 + 2 * 0.1, 1e-12);
    EXPECT_FALSE(PointLiesIn2DPolygon({2.5, 0.5, 0}, tilted, out));

    // A triangle behaves as the five-argument triangle test, clockwise too.
    ASSERT_TRUE(PointLiesIn2DPolygon({0.5, 0, 0}, {{0, 0, 0}, {1, 0, 3}, {0, 1, 0}}, out));
    EXPECT_NEAR(out.z, 1.5, 1e-12);
    EXPECT_FALSE(PointLiesIn2DPolygon({0.5, 0, 0}, {{0, 0, 0}, {0, 1, 0}, {1, 0, 3}}, out));
}

TEST(KorPolygon, PointIn3DPolygonAlongTheNormal)
{
    double sine = -1;
    EXPECT_TRUE(PointLiesIn3DPolygon({0.5, 0.5, 1}, kSquare, &sine));
    EXPECT_NEAR(sine, 2 / std::sqrt(5.0), 1e-12);
    EXPECT_TRUE(PointLiesIn3DPolygon({0.5, 0.5, 0}, kSquare, &sine));
    EXPECT_NEAR(sine, 0.0, 1e-12);
    EXPECT_TRUE(PointLiesIn3DPolygon({0.2, 0.7, -3}, kSquare));
    EXPECT_FALSE(PointLiesIn3DPolygon({1.5, 0.5, 0}, kSquare, &sine));
    EXPECT_FALSE(PointLiesIn3DPolygon({0.5, 0.5, 0}, {{0, 0, 0}, {1, 0, 0}}));

    sine = -1;
    const std::vector<LumPoint> collinear = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}};
    EXPECT_FALSE(PointLiesIn3DPolygon({1, 0, 0}, collinear, &sine));
    EXPECT_EQ(sine, -1);
}

TEST(KorPolygon, RandomPointsIn3DPolygonsAgreeWithCrossingNumber)
{
    std::mt19937 rng(808);
    std::uniform_real_distribution<double> d(-1.3, 1.3);
    int inside = 0, checked = 0;
    for (int i = 0; i < 100000; ++i)
    {
        const PlanarPolygon poly = RandomConvexPolygon(rng);
        const double x = d(rng) * poly.radius, y = d(rng) * poly.radius, h = d(rng) * 5;
        double dist;
        const bool expected = CrossingNumberInside(poly, x, y, dist);
        if (dist < 1e-3)
            continue;
        ++checked;
        inside += expected;
        ASSERT_EQ(PointLiesIn3DPolygon(poly.At(x, y, h), poly.vertices), expected) << i;
        double sine = -1;
        if (PointLiesIn3DPolygon(poly.At(x, y, 0), poly.vertices, &sine))
        {
            ASSERT_NEAR(sine, 0.0, 1e-6) << i;
        }
    }
    EXPECT_GT(inside, checked / 10);
}

TEST(KorPolygon, HalfLineCrossings)
{
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({0.5, 0.5, 0}, {0.5, 0.5, 0}, kSquare), 0);
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({0.5, 0.5, 0}, {0.6, 0.8, 0}, kSquare), 1);
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({0.5, 0.5, 0}, {0.2, 0.5, 0}, kSquare), 1);
    // Through a corner, met by two edges: once.
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({0.5, 0.5, 0}, {0.7, 0.7, 0}, kSquare), 1);
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({-1, 0.5, 0}, {0, 0.5, 0}, kSquare), 2);
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({-1, 0.5, 0}, {-2, 0.5, 0}, kSquare), 0);
    EXPECT_EQ(NumberOfIntersectionHalfLineWithSegments({-1, 0.5, 0}, {-1, 0.6, 0}, kSquare), 0);

    std::mt19937 rng(17);
    std::uniform_real_distribution<double> ang(0, 6.283185307179586);
    for (int i = 0; i < 10000; ++i)
    {
        const PlanarPolygon poly = RandomConvexPolygon(rng);
        const double a = ang(rng);
        const LumPoint inner = poly.At(0, 0);
        ASSERT_EQ(
            NumberOfIntersectionHalfLineWithSegments(inner, poly.At(std::cos(a), std::sin(a)), poly.vertices),
            1)
            << i;
        const LumPoint outer = poly.At(3 * poly.radius * std::cos(a), 3 * poly.radius * std::sin(a));
        ASSERT_EQ(NumberOfIntersectionHalfLineWithSegments(outer, inner, poly.vertices), 2) << i;
        ASSERT_EQ(NumberOfIntersectionHalfLineWithSegments(inner, outer, poly.vertices), 1) << i;
    }
}

TEST(KorPolygon, SegmentInSquare)
{
    EXPECT_TRUE(IsSegmentIn3DPolygon({0, 0, 0}, {1, 1, 0}, kSquare));
    EXPECT_TRUE(IsSegmentIn3DPolygon({1, 1, 0}, {0, 0, 0}, kSquare));
    EXPECT_TRUE(IsSegmentIn3DPolygon({0, 0, 0}, {1, 0, 0}, kSquare));
    EXPECT_TRUE(IsSegmentIn3DPolygon({1, 0, 0}, {0, 1, 0}, kSquare));
    EXPECT_FALSE(IsSegmentIn3DPolygon({0, 0, 0}, {0.5, 0.5, 0}, kSquare));
    EXPECT_FALSE(IsSegmentIn3DPolygon({0, 0, 0}, {0, 0, 0}, kSquare));
}

TEST(KorPolygon, SegmentInConcavePolygon)
{
    //  (0,2)+---+(1,2)
    //       |   |
    //       |   +---+(2,1)
    //       |       |
    //  (0,0)+-------+(2,0)
    const std::vector<LumPoint> ell = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    EXPECT_TRUE(IsSegmentIn3DPolygon({0, 0, 0}, {1, 1, 0}, ell));
    EXPECT_TRUE(IsSegmentIn3DPolygon({1, 1, 0}, {0, 0, 0}, ell));
    // Through the reflex vertex (1, 1), whose two edges leave on one side.
    EXPECT_FALSE(IsSegmentIn3DPolygon({2, 0, 0}, {0, 2, 0}, ell));
    // Outside the notch: only touches (1, 2), whose edges both lie below.
    EXPECT_FALSE(IsSegmentIn3DPolygon({2, 1, 0}, {1, 2, 0}, ell));
    EXPECT_FALSE(IsSegmentIn3DPolygon({1, 2, 0}, {2, 1, 0}, ell));
}

TEST(KorPolygon, EveryChordOfConvexPolygonsIsInside)
{
    std::mt19937 rng(23);
    for (int k = 0; k < 2000; ++k)
    {
        const PlanarPolygon poly = RandomConvexPolygon(rng);
        const std::vector<LumPoint>& v = poly.vertices;
        for (size_t i = 0; i < v.size(); ++i)
            for (size_t j = 0; j < v.size(); ++j)
            {
                if (i != j)
                {
                    ASSERT_TRUE(IsSegmentIn3DPolygon(v[i], v[j], v)) << k << " " << i << " " << j;
                }
            }
        // Stopping short of a vertex inside the polygon: the line meets the
        // boundary beyond b.
        ASSERT_FALSE(IsSegmentIn3DPolygon(v[0], (v[0] + v[2]) * 0.5, v)) << k;
    }
}
