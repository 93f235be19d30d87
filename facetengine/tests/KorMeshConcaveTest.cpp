#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using V = std::vector<int>;

namespace
{
V AddPoints(KorMesh& m, const std::vector<LumPoint>& points)
{
    V ids;
    for (const LumPoint& p : points)
        ids.push_back(m.AddVertex(p));
    return ids;
}

void AddSides(KorMesh& m, const V& ids)
{
    for (size_t i = 0; i < ids.size(); ++i)
        m.AddEdge(m.GetVertex(ids[i]), m.GetVertex(ids[(i + 1) % ids.size()]));
}

double ShoelaceArea(const std::vector<LumPoint>& p)
{
    double sum = 0.0;
    for (size_t i = 0; i < p.size(); ++i)
        sum += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
    return 0.5 * sum;
}

// A simple polygon through AddConcaveFace: the faces tile it exactly, each
// one is right as a fan from its first vertex, and all turn its way.
void ExpectTiled(KorMesh& m, const std::vector<LumPoint>& points, int result, const V& faces)
{
    ASSERT_GE(result, 0);
    ASSERT_FALSE(faces.empty());
    EXPECT_EQ(result, faces.back());
    EXPECT_TRUE(CheckMesh(m));
    double area = 0.0;
    for (int f : faces)
    {
        EXPECT_TRUE(FansFromFirstVertex(m, f)) << "face " << f;
        EXPECT_GT(VectorArea(m, f).z, 0.0) << "face " << f;
        area += VectorArea(m, f).z;
    }
    EXPECT_NEAR(area, ShoelaceArea(points), 1e-9);
}
double Perimeter(const std::vector<LumPoint>& p)
{
    double sum = 0.0;
    for (size_t i = 0; i < p.size(); ++i)
        sum += (p[(i + 1) % p.size()] - p[i]).Norm();
    return sum;
}

// A simple polygon of the xy plane, counterclockwise.
std::vector<LumPoint> RandomCounterclockwise(std::mt19937& rng, int n)
{
    std::vector<LumPoint> p = RandomSimplePolygon(rng, n);
    if (ShoelaceArea(p) < 0.0)
        std::reverse(p.begin(), p.end());
    return p;
}

std::vector<LumPoint> Star(double inner)
{
    std::vector<LumPoint> star;
    for (int k = 0; k < 10; ++k)
    {
        const double r = k % 2 == 0 ? 2.0 : inner;
        const double a = M_PI / 2 + k * M_PI / 5;
        star.emplace_back(r * std::cos(a), r * std::sin(a), 0.0);
    }
    return star;
}

// The closed prism of height h over the polygon, moved by shift: the base
// turns clockwise seen from above, the top and the sides outwards.
KorMesh Prism(const std::vector<LumPoint>& p, double h, const LumPoint& shift)
{
    KorMesh m;
    const int n = static_cast<int>(p.size());
    for (double z : {0.0, h})
        for (const LumPoint& q : p)
            m.AddVertex(q + shift + LumPoint(0.0, 0.0, z));
    V base, top;
    for (int i = 0; i < n; ++i)
    {
        base.push_back(n - 1 - i);
        top.push_back(n + i);
    }
    m.AddFace(base);
    m.AddFace(top);
    for (int i = 0; i < n; ++i)
        m.AddFace(4, i, (i + 1) % n, n + (i + 1) % n, n + i);
    return m;
}
} // namespace

TEST(KorMeshConcave, ConvexQuadrilateralIsOneFace)
{
    KorMesh m;
    V ids = AddPoints(m, {{0, 0, 0}, {2, 0, 0}, {3, 2, 0}, {0, 1, 0}});
    V faces;
    const int f = m.AddConcaveFace(ids, &faces);
    EXPECT_EQ(faces, V({f}));
    EXPECT_EQ(FaceVertexRing(m, f), V({0, 1, 2, 3}));
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshConcave, ConcaveSimplePolygonsAreTiledByFans)
{
    // The L-shaped hexagon is star-shaped from its corner vertices: whichever
    // vertex it starts at, it stays one face, fanned from a vertex that sees
    // the whole of it.
    const std::vector<LumPoint> ell = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    for (size_t shift = 0; shift < ell.size(); ++shift)
    {
        std::vector<LumPoint> p(ell.begin() + static_cast<std::ptrdiff_t>(shift), ell.end());
        p.insert(p.end(), ell.begin(), ell.begin() + static_cast<std::ptrdiff_t>(shift));
        KorMesh m;
        V ids = AddPoints(m, p);
        V faces;
        const int f = m.AddConcaveFace(ids, &faces);
        ExpectTiled(m, p, f, faces);
    }

    // A U-shaped octagon is star-shaped from none of its vertices: several faces.
    const std::vector<LumPoint> u = {{0, 0, 0}, {3, 0, 0}, {3, 2, 0}, {2, 2, 0},
                                     {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    {
        KorMesh m;
        V ids = AddPoints(m, u);
        V faces;
        const int f = m.AddConcaveFace(ids, &faces);
        EXPECT_GE(faces.size(), 2u);
        ExpectTiled(m, u, f, faces);
    }

    // Five-pointed stars. A fat one fans from an inner vertex. In a sharp one
    // every diagonal's line meets the boundary again past its end, which the
    // half-line test refuses; it is simple all the same and is tiled.
    for (double inner : {0.8, 0.5})
    {
        std::vector<LumPoint> star;
        for (int k = 0; k < 10; ++k)
        {
            const double r = k % 2 == 0 ? 2.0 : inner;
            const double a = M_PI / 2 + k * M_PI / 5;
            star.emplace_back(r * std::cos(a), r * std::sin(a), 0.0);
        }
        KorMesh m;
        V ids = AddPoints(m, star);
        V faces;
        const int f = m.AddConcaveFace(ids, &faces);
        ExpectTiled(m, star, f, faces);
    }

    // The variadic form: the same faces, the last one returned.
    KorMesh v;
    AddPoints(v, u);
    const int last = v.AddConcaveFace(8, 0, 1, 2, 3, 4, 5, 6, 7);
    EXPECT_GE(last, 1);
    EXPECT_EQ(v.GetNumberOfFaces(), last + 1);
    EXPECT_NEAR(TotalVectorArea(v).z, 5.0, 1e-12);
}

TEST(KorMeshConcave, BowTieIsSplitAtItsCrossing)
{
    KorMesh m;
    V ids = AddPoints(m, {{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}});
    // Split only works on sides that exist as half-edges.
    AddSides(m, ids);
    V faces;
    const int f = m.AddConcaveFace(ids, &faces);
    EXPECT_TRUE(CheckMesh(m));
    ASSERT_GE(f, 0);
    // Two triangles of area 1 either side of the crossing, turning opposite ways.
    double positive = 0.0, negative = 0.0;
    for (int face : LiveFaces(m))
    {
        const double a = VectorArea(m, face).z;
        (a > 0 ? positive : negative) += a;
    }
    EXPECT_NEAR(positive, 1.0, 1e-6);
    EXPECT_NEAR(negative, -1.0, 1e-6);
    EXPECT_EQ(m.GetNumberOfVertices(), 6); // the crossing, once on each side
}

TEST(KorMeshConcave, RefusalsAndFailures)
{
    KorMesh m;
    AddPoints(m, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    V two = {0, 1};
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddConcaveFace(two, nullptr), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorMesh::AddConcaveFace -> Impossible to add a face with less than 3 vertices\n");
    V missing = {0, 1, 2, 42};
    EXPECT_EQ(m.AddConcaveFace(missing, nullptr), -1);
    // A bow-tie whose sides do not exist yet: no fan, and the crossing
    // cannot be split.
    V bow = {0, 2, 1, 3};
    EXPECT_EQ(m.AddConcaveFace(bow, nullptr), -1);
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshConcave, RandomSelfCrossingPolygonsEnd)
{
    // Planar and non-planar 50-gons of random points with their sides as
    // half-edges. Each call must end with a result or -1 and a sound mesh;
    // non-planar sides that pass each other count as crossings and are what
    // the work bounds are for.
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> coord(-10.0, 10.0);
    for (int round = 0; round < 12; ++round)
    {
        const bool planar = round % 2 == 0;
        KorMesh m;
        V ids;
        for (int k = 0; k < 50; ++k)
            ids.push_back(m.AddVertex(coord(rng), coord(rng), planar ? 0.0 : coord(rng)));
        AddSides(m, ids);
        V faces;
        testing::internal::CaptureStdout();
        const int f = m.AddConcaveFace(ids, &faces);
        testing::internal::GetCapturedStdout();
        EXPECT_GE(f, -1);
        EXPECT_TRUE(CheckMesh(m)) << "round " << round;
        for (int face : faces)
        {
            if (m.GetFace(face))
            {
                EXPECT_GE(FaceVertexRing(m, face).size(), 3u);
            }
        }
    }
}

TEST(KorMeshConcave, ToConcaveMeshReplacesLargerFacesOnly)
{
    KorMesh m;
    // A convex pentagon (0..4), a U octagon (5..12) and a triangle.
    AddPoints(m, {{0, 0, 0}, {2, 0, 0}, {3, 1.5, 0}, {1, 3, 0}, {-1, 1.5, 0}});
    AddPoints(
        m, {{10, 0, 0}, {13, 0, 0}, {13, 2, 0}, {12, 2, 0}, {12, 1, 0}, {11, 1, 0}, {11, 2, 0}, {10, 2, 0}});
    AddPoints(m, {{20, 0, 0}, {21, 0, 0}, {20, 1, 0}});
    const int pentagon = m.AddFace(5, 0, 1, 2, 3, 4);
    const int u = m.AddFace(8, 5, 6, 7, 8, 9, 10, 11, 12);
    const int triangle = m.AddFace(3, 13, 14, 15);
    const LumPoint before = TotalVectorArea(m);

    KorMesh triangles;
    AddPoints(triangles, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}});
    triangles.AddFace(3, 0, 1, 2);
    triangles.AddFace(3, 1, 3, 2);
    EXPECT_TRUE(triangles.ToConcaveMesh(true));
    EXPECT_EQ(FaceVertexRing(triangles, 0), V({0, 1, 2}));
    EXPECT_EQ(FaceVertexRing(triangles, 1), V({1, 3, 2}));
    V none;
    triangles.GetNewFacesFrom(0, none);
    EXPECT_TRUE(none.empty());

    ASSERT_TRUE(m.ToConcaveMesh(true));
    EXPECT_TRUE(CheckMesh(m));
    ExpectPointNear(TotalVectorArea(m), before.x, before.y, before.z, 1e-9);
    V fromPentagon, fromU, fromTriangle;
    m.GetNewFacesFrom(pentagon, fromPentagon);
    m.GetNewFacesFrom(u, fromU);
    m.GetNewFacesFrom(triangle, fromTriangle);
    // The convex pentagon fans from its first vertex: it stays one face.
    ASSERT_EQ(fromPentagon.size(), 1u);
    EXPECT_EQ(FaceVertexRing(m, fromPentagon[0]).size(), 5u);
    EXPECT_GE(fromU.size(), 2u);
    EXPECT_TRUE(fromTriangle.empty());
    for (int f : fromU)
        EXPECT_TRUE(FansFromFirstVertex(m, f));
    EXPECT_EQ(fromPentagon.size() + fromU.size() + 1, static_cast<size_t>(m.GetNumberOfFaces()));
}

TEST(KorMeshConcave, OriginsSurviveTheSplitOfSelfCrossingFaces)
{
    // A self-crossing 12-gon stored as one face, with a triangle outside each
    // of its sides. With tracks on, every face after ToConcaveMesh descends
    // from exactly one of the faces before it: each triangle is still one face
    // (perhaps with a crossing vertex on its side), whatever the splits did.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coord(-10.0, 10.0);
    int split = 0;
    for (int round = 0; round < 20; ++round)
    {
        KorMesh m;
        V ring;
        for (int k = 0; k < 12; ++k)
            ring.push_back(m.AddVertex(coord(rng), coord(rng), 0.0));
        const int big = m.AddFace(ring);
        ASSERT_EQ(big, 0);
        V triangles;
        for (int k = 0; k < 12; ++k)
        {
            const int apex = m.AddVertex(coord(rng), coord(rng), 30.0);
            triangles.push_back(m.AddFace(3, ring[(k + 1) % 12], ring[k], apex));
        }
        testing::internal::CaptureStdout();
        const bool done = m.ToConcaveMesh(true);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(CheckMesh(m)) << "round " << round;
        if (m.GetNumberOfVertices() > 24)
            ++split;

        V from;
        std::vector<int> origin(static_cast<size_t>(m.GetFaceVectorSize()), -1);
        for (int t : triangles)
        {
            m.GetNewFacesFrom(t, from);
            if (m.GetFace(t) && from.empty())
                from.push_back(t); // never replaced
            EXPECT_EQ(from.size(), 1u) << "triangle " << t << " round " << round;
            for (int f : from)
                origin[static_cast<size_t>(f)] = t;
        }
        m.GetNewFacesFrom(big, from);
        for (int f : from)
        {
            EXPECT_EQ(origin[static_cast<size_t>(f)], -1) << "face " << f << " has two origins";
            origin[static_cast<size_t>(f)] = big;
        }
        for (int f : LiveFaces(m))
            EXPECT_NE(origin[static_cast<size_t>(f)], -1)
                << "face " << f << " lost its origin, round " << round;
        if (done)
        {
            EXPECT_FALSE(from.empty());
        }
    }
    EXPECT_GT(split, 0); // some rounds went through crossing splits
}

TEST(KorMeshConcave, ToConcaveMeshKeepsTheSurfaceAndVolumeOfPrisms)
{
    // Prisms over concave polygons (with collinear corners too), near the
    // origin and at map coordinates: the replacement only splits faces, so
    // the volume A h and the surface 2 A + perimeter h stay, and every face
    // is measured right by its fan.
    std::vector<std::vector<LumPoint>> polygons = {
        {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}},
        {{0, 0, 0},
         {1, 0, 0},
         {2, 0, 0},
         {2, 1, 0},
         {1.5, 1, 0},
         {1, 1, 0},
         {1, 1.5, 0},
         {1, 2, 0},
         {0, 2, 0},
         {0, 1, 0}},
        {{0, 0, 0},
         {5, 0, 0},
         {5, 2, 0},
         {4, 2, 0},
         {4, 1, 0},
         {3, 1, 0},
         {3, 2, 0},
         {2, 2, 0},
         {2, 1, 0},
         {1, 1, 0},
         {1, 2, 0},
         {0, 2, 0}},
        Star(0.5)};
    std::mt19937 rng(5);
    for (int k = 0; k < 100; ++k)
        polygons.push_back(RandomCounterclockwise(rng, 8 + k % 16));

    const double h = 2.0;
    for (const LumPoint& shift : {LumPoint(0, 0, 0), LumPoint(2.5e6, 6.6e6, 300)})
        for (size_t k = 0; k < polygons.size(); ++k)
        {
            const std::vector<LumPoint>& p = polygons[k];
            KorMesh m = Prism(p, h, shift);
            const double area = ShoelaceArea(p);
            EXPECT_NEAR(m.GetVolume(), area * h, 1e-6) << "polygon " << k;
            EXPECT_TRUE(m.ToConcaveMesh(false)) << "polygon " << k << " at " << shift.x;
            EXPECT_TRUE(CheckMesh(m));
            EXPECT_NEAR(m.GetVolume(), area * h, 1e-6) << "polygon " << k << " at " << shift.x;
            EXPECT_NEAR(m.GetSurface(), 2 * area + Perimeter(p) * h, 1e-6)
                << "polygon " << k << " at " << shift.x;
            // Back near the origin, where the helper's own sums are exact enough.
            m.MoveMesh(shift * -1.0);
            for (int f : LiveFaces(m))
                EXPECT_TRUE(FansFromFirstVertex(m, f)) << "polygon " << k << " face " << f;
        }
}

TEST(KorMeshConcave, FaceWithoutNeighboursKeepsItsSide)
{
    // A face alone (the corner of an open terrain) has no neighbour to orient
    // its pieces: each one must turn the way the face did, and together they
    // cover it once.
    std::mt19937 rng(9);
    for (int k = 0; k < 60; ++k)
    {
        const std::vector<LumPoint> p = RandomCounterclockwise(rng, 8 + k % 16);
        KorMesh m;
        const int face = m.AddFace(AddPoints(m, p));
        ASSERT_GE(face, 0);
        EXPECT_TRUE(m.ToConcaveMesh(false)) << "polygon " << k;
        EXPECT_TRUE(CheckMesh(m));
        double area = 0.0;
        for (int f : LiveFaces(m))
        {
            EXPECT_GT(VectorArea(m, f).z, 0.0) << "polygon " << k << " face " << f;
            EXPECT_TRUE(FansFromFirstVertex(m, f)) << "polygon " << k << " face " << f;
            area += VectorArea(m, f).z;
        }
        EXPECT_NEAR(area, ShoelaceArea(p), 1e-9) << "polygon " << k;
        EXPECT_NEAR(m.GetSurface(), ShoelaceArea(p), 1e-9) << "polygon " << k;
    }
}
