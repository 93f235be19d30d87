#include "KorConstrainedTriangulation.h"

#include "KorDelaunay.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TriangulationChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace
{
using tri::HasEdge;
using tri::Triangles;

// The constrained mesh keeps its invariants, its orientation and its area.
void ExpectSameRegion(const KorMesh& mesh, const tri::Summary& before)
{
    EXPECT_TRUE(CheckMesh(mesh));
    const tri::Summary after = tri::Summarise(mesh);
    EXPECT_EQ(after.clockwise, 0);
    EXPECT_EQ(after.notTriangles, 0);
    EXPECT_EQ(after.faces, before.faces);
    EXPECT_TRUE(after.doubledArea == before.doubledArea);
}
} // namespace

//  3 ------ 2
//  |        |    The Delaunay diagonal of the square is one of 0-2, 1-3;
//  0 ------ 1    forcing the other one swaps the two triangles.
TEST(ConstrainTriangulation, ExistingEdgeOrOneCrossedEdge)
{
    KorMesh mesh = MeshOf({{0, 0, 0}, {8, 0, 0}, {8, 8, 0}, {0, 8, 0}});
    Delaunay2D(mesh);
    const bool diagonal02 = HasEdge(mesh, 0, 2);
    const std::set<std::set<int>> delaunay = Triangles(mesh);
    const tri::Summary before = tri::Summarise(mesh);

    ConstrainTriangulation(mesh, Constraint{diagonal02 ? std::pair{2, 0} : std::pair{1, 3}});
    EXPECT_EQ(Triangles(mesh), delaunay);

    for (const auto& segment :
         {diagonal02 ? std::pair{1, 3} : std::pair{0, 2}, std::pair{3, 1}, std::pair{2, 0}})
    {
        ConstrainTriangulation(mesh, Constraint{segment});
        EXPECT_TRUE(HasEdge(mesh, segment.first, segment.second));
        EXPECT_EQ(mesh.GetNumberOfFaces(), 2);
        ExpectSameRegion(mesh, before);
    }
}

TEST(ConstrainTriangulation, LeavesOutWhatItCannotInsert)
{
    KorMesh mesh;
    tri::AddRandom(mesh, 200, 4, 100.0);
    Delaunay2D(mesh);
    const std::set<std::set<int>> delaunay = Triangles(mesh);
    ConstrainTriangulation(mesh, Constraint{{0, 999}, {-1, 3}, {5, 5}});
    ConstrainTriangulation(mesh, Constraint{});
    EXPECT_EQ(Triangles(mesh), delaunay);
    EXPECT_TRUE(CheckMesh(mesh));
}

// Two offset rows of n points each and a segment between them from end to
// end: about 2n crossed triangles. Inserted for n = 300, left out (and the
// mesh untouched) for n = 600, beyond the 1000-triangle bound.
TEST(ConstrainTriangulation, BoundOnCrossedTriangles)
{
    for (const int n : {300, 600})
    {
        KorMesh mesh;
        for (int i = 0; i < n; ++i)
        {
            mesh.AddVertex(i, 0, 0);
            mesh.AddVertex(i + 0.5, 1, 0);
        }
        const int a = mesh.AddVertex(-1, 0.5, 0);
        const int b = mesh.AddVertex(n + 0.5, 0.5, 0);
        Delaunay2D(mesh);
        const std::set<std::set<int>> delaunay = Triangles(mesh);
        const tri::Summary before = tri::Summarise(mesh);
        ConstrainTriangulation(mesh, Constraint{{a, b}});
        ExpectSameRegion(mesh, before);
        if (n == 300)
        {
            EXPECT_TRUE(HasEdge(mesh, a, b));
            EXPECT_GT(before.faces, 2 * n - 2);
        }
        else
            EXPECT_EQ(Triangles(mesh), delaunay);
    }
}

// A survey point V on a level line segment A-B in map coordinates, at a
// fraction of its length, so that rounding leaves it a nanometre or so to
// either side of the line (or exactly on it). The segment is either forced
// in or, when V lies exactly on it, left out; the five points keep the same
// four counter-clockwise triangles' region either way.
TEST(ConstrainTriangulation, SegmentPassingANanometreFromAVertex)
{
    const double x0 = 6600000.0, y0 = 2100000.0;
    // Exact integer coordinates on the lattice of step 2^-32 from (x0, y0),
    // which holds every double near these points.
    auto steps = [](double v, double origin) { return static_cast<int64_t>(std::ldexp(v - origin, 32)); };
    auto orient = [&](const KorMesh& mesh, int a, int b, int c)
    {
        const KorVertex *A = mesh.GetVertex(a), *B = mesh.GetVertex(b), *C = mesh.GetVertex(c);
        const int64_t ax = steps(A->X, x0), ay = steps(A->Y, y0);
        return tri::Int(steps(B->X, x0) - ax) * (steps(C->Y, y0) - ay) -
               tri::Int(steps(B->Y, y0) - ay) * (steps(C->X, x0) - ax);
    };
    auto summary = [&](const KorMesh& mesh, int& clockwise)
    {
        tri::Int area = 0;
        clockwise = 0;
        for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
            if (mesh.GetFace(f))
            {
                const std::vector<int> c = tri::Corners(mesh, f);
                const tri::Int o = orient(mesh, c[0], c[1], c[2]);
                clockwise += o <= 0;
                area += o;
            }
        return area;
    };
    int onTheLine = 0;
    for (const double t : {1.0 / 3, 2.0 / 5, 3.0 / 7, 4.0 / 9, 5.0 / 11, 6.0 / 13, 0.45, 0.55, 0.6, 0.7})
    {
        KorMesh mesh;
        const double ax = x0 + 0.5, ay = y0 + 14.25, bx = x0 + 5.25, by = y0 + 8.75;
        mesh.AddVertex(ax, ay, 500);
        mesh.AddVertex(bx, by, 500);
        mesh.AddVertex(ax + t * (bx - ax), ay + t * (by - ay), 500);
        mesh.AddVertex(x0 + 4, y0 + 5, 500);
        mesh.AddVertex(x0 + 4.375, y0 + 12.25, 500);
        Delaunay2D(mesh);
        int clockwise = 0;
        const tri::Int area = summary(mesh, clockwise);
        ASSERT_EQ(clockwise, 0);
        const int faces = mesh.GetNumberOfFaces();

        ConstrainTriangulation(mesh, Constraint{{0, 1}});
        EXPECT_TRUE(CheckMesh(mesh)) << t;
        EXPECT_EQ(mesh.GetNumberOfFaces(), faces) << t;
        EXPECT_TRUE(summary(mesh, clockwise) == area) << t;
        EXPECT_EQ(clockwise, 0) << t;
        const bool exactlyOn = orient(mesh, 0, 1, 2) == 0;
        onTheLine += exactlyOn;
        EXPECT_EQ(HasEdge(mesh, 0, 1), !exactlyOn) << t;
    }
    EXPECT_LT(onTheLine, 10);
}

//  V2 ---- V3      Both side vertices lie 1 from the base line: the first
//  |         \     one met (V2) takes the base; then (V2, B, V3) remains.
//  A -------- B
TEST(FillConstrainedPolygon, NearestSideVertexFirstOfEquals)
{
    KorMesh mesh = MeshOf({{0, 0, 0}, {4, 0, 0}, {1, 1, 0}, {3, 1, 0}}); // A, B, V2, V3
    FillConstrainedPolygon(mesh, {0, 1, 2, 3});
    EXPECT_EQ(Triangles(mesh), (std::set<std::set<int>>{{0, 1, 2}, {2, 1, 3}}));
    EXPECT_EQ(tri::Summarise(mesh).clockwise, 0);

    // Three entries: one triangle, counter-clockwise whatever the order.
    KorMesh three = MeshOf({{0, 0, 0}, {0, 3, 0}, {2, 1, 0}});
    FillConstrainedPolygon(three, {0, 1, 2});
    FillConstrainedPolygon(three, {0, 1});
    EXPECT_EQ(Triangles(three), (std::set<std::set<int>>{{0, 1, 2}}));
    EXPECT_EQ(tri::Summarise(three).clockwise, 0);
    EXPECT_TRUE(CheckMesh(three));

    // A long side chain (a fan of 5000 vertices): no recursion depth.
    KorMesh fan;
    fan.AddVertex(0, 0, 0);
    fan.AddVertex(10000, 0, 0);
    std::vector<int32_t> polygon{0, 1};
    for (int i = 1; i <= 5000; ++i)
        polygon.push_back(fan.AddVertex(2.0 * i, 1.0 + i, 0));
    FillConstrainedPolygon(fan, polygon);
    EXPECT_EQ(fan.GetNumberOfFaces(), 5000);
    EXPECT_EQ(tri::Summarise(fan).clockwise, 0);
    EXPECT_TRUE(CheckMesh(fan));
}

namespace
{
// z over [0, 1000]^2: hills on a slope.
double Surface(double x, double y)
{
    return 40.0 * std::sin(x / 130.0) * std::cos(y / 170.0) + 0.03 * x + 0.02 * y;
}

// Level lines of Surface by marching squares on a grid of g x g nodes: one
// Constraint per level, its vertices shared by the segments that meet there.
std::vector<Constraint> AddContours(KorMesh& mesh, int g, int levels)
{
    const double step = 1000.0 / (g - 1);
    std::vector<double> z(static_cast<size_t>(g * g));
    double lo = 1e300, hi = -1e300;
    for (int j = 0; j < g; ++j)
        for (int i = 0; i < g; ++i)
        {
            const double v = Surface(i * step, j * step);
            z[static_cast<size_t>(j * g + i)] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    std::vector<Constraint> out;
    for (int k = 1; k <= levels; ++k)
    {
        const double level = lo + (hi - lo) * k / (levels + 1);
        std::map<int, int> onEdge; // grid edge -> vertex
        const auto crossing = [&](int i0, int j0, int i1, int j1) -> int
        {
            const double z0 = z[static_cast<size_t>(j0 * g + i0)], z1 = z[static_cast<size_t>(j1 * g + i1)];
            if ((z0 < level) == (z1 < level))
                return -1;
            const int key = 2 * (j0 * g + i0) + (j1 != j0);
            const auto found = onEdge.find(key);
            if (found != onEdge.end())
                return found->second;
            const double t = (level - z0) / (z1 - z0);
            const int id = mesh.AddVertex(tri::Snap((i0 + t * (i1 - i0)) * step),
                                          tri::Snap((j0 + t * (j1 - j0)) * step), level);
            onEdge[key] = id;
            return id;
        };
        Constraint segments;
        for (int j = 0; j + 1 < g; ++j)
            for (int i = 0; i + 1 < g; ++i)
            {
                // Bottom, right, top, left edges of the cell.
                const int c[4] = {crossing(i, j, i + 1, j), crossing(i + 1, j, i + 1, j + 1),
                                  crossing(i, j + 1, i + 1, j + 1), crossing(i, j, i, j + 1)};
                std::vector<int> at;
                for (int e : c)
                    if (e >= 0)
                        at.push_back(e);
                if (at.size() == 2)
                    segments.emplace_back(at[0], at[1]);
                else if (at.size() == 4)
                {
                    // A saddle: pair the crossings so that the high corners join.
                    const double centre =
                        0.25 * (z[static_cast<size_t>(j * g + i)] + z[static_cast<size_t>(j * g + i + 1)] +
                                z[static_cast<size_t>((j + 1) * g + i)] +
                                z[static_cast<size_t>((j + 1) * g + i + 1)]);
                    const bool bottomLeftHigh = z[static_cast<size_t>(j * g + i)] >= level;
                    if ((centre >= level) == bottomLeftHigh)
                    {
                        segments.emplace_back(c[0], c[1]);
                        segments.emplace_back(c[2], c[3]);
                    }
                    else
                    {
                        segments.emplace_back(c[0], c[3]);
                        segments.emplace_back(c[1], c[2]);
                    }
                }
            }
        out.push_back(segments);
    }
    return out;
}
} // namespace

// A terrain of 2 x 10^4 points, 50 level lines among them. Every segment
// becomes an edge except those through a vertex lying exactly on it; faces
// stay counter-clockwise and tile the same region.
TEST(ConstrainTriangulation, ContourTerrain)
{
    KorMesh mesh;
    const std::vector<Constraint> contours = AddContours(mesh, 41, 50);
    const int contourVertices = mesh.GetNumberOfVertices();
    ASSERT_GT(contourVertices, 3000);
    tri::AddRandom(mesh, 20000 - contourVertices, 8);
    Delaunay2D(mesh);
    ASSERT_TRUE(tri::IsDelaunayDisk(mesh));
    const tri::Summary before = tri::Summarise(mesh);

    for (const Constraint& c : contours)
        ConstrainTriangulation(mesh, c);
    ExpectSameRegion(mesh, before);

    int segments = 0, inserted = 0;
    for (const Constraint& c : contours)
        for (const auto& s : c)
        {
            ++segments;
            if (HasEdge(mesh, s.first, s.second))
            {
                ++inserted;
                continue;
            }
            // Left out: only a segment running through another vertex.
            const tri::Corner a = tri::At(mesh, s.first), b = tri::At(mesh, s.second);
            bool throughVertex = false;
            for (int v = 0; v < mesh.GetVertexVectorSize() && !throughVertex; ++v)
            {
                const tri::Corner p = tri::At(mesh, v);
                throughVertex = v != s.first && v != s.second && tri::Orient(a, b, p) == 0 &&
                                std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
                                std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
            }
            EXPECT_TRUE(throughVertex) << s.first << " - " << s.second;
        }
    EXPECT_GE(inserted, segments * 99 / 100);
    EXPECT_GT(segments, 3000);
}

// Random segments between random vertices of random sets, crossing each
// other and running through vertices: whatever is inserted or left out, the
// mesh stays sound, counter-clockwise and covers the same region.
TEST(ConstrainTriangulation, RandomSegmentsKeepTheRegion)
{
    std::mt19937 rng(99);
    int failures = 0;
    for (int round = 0; round < 300 && failures < 3; ++round)
    {
        KorMesh mesh;
        const int n = 10 + static_cast<int>(rng() % 200);
        if (round % 2)
            tri::AddRandom(mesh, n, static_cast<unsigned>(round), 100.0);
        else
            for (int i = 0; i < n; ++i)
                mesh.AddVertex(static_cast<double>(rng() % 12), static_cast<double>(rng() % 12), 0);
        testing::internal::CaptureStdout();
        Delaunay2D(mesh);
        testing::internal::GetCapturedStdout();
        const tri::Summary before = tri::Summarise(mesh);
        Constraint constraint;
        for (int k = 0; k < 10; ++k)
            constraint.emplace_back(static_cast<int>(rng() % n), static_cast<int>(rng() % n));
        ConstrainTriangulation(mesh, constraint);
        const tri::Summary after = tri::Summarise(mesh);
        if (!CheckMesh(mesh) || after.clockwise || after.notTriangles ||
            after.doubledArea != before.doubledArea || after.faces != before.faces)
        {
            ++failures;
            ADD_FAILURE() << "round " << round << ": faces " << before.faces << " -> " << after.faces << ", "
                          << after.clockwise << " clockwise, area " << static_cast<double>(before.doubledArea)
                          << " -> " << static_cast<double>(after.doubledArea);
        }
    }
}
