#include "KorConstrainedTriangulation.h"

#include "KorDelaunay.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TriangulationChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
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

// The vertices lying exactly on the closed segment a-b, from a to b.
std::vector<int> VerticesOnSegment(const KorMesh& mesh, int a, int b)
{
    const tri::Corner A = tri::At(mesh, a), B = tri::At(mesh, b);
    const tri::Int length = tri::Int(B.x - A.x) * (B.x - A.x) + tri::Int(B.y - A.y) * (B.y - A.y);
    std::vector<std::pair<tri::Int, int>> on;
    for (int v = 0; v < mesh.GetVertexVectorSize(); ++v)
    {
        if (!mesh.GetVertex(v))
            continue;
        const tri::Corner p = tri::At(mesh, v);
        const tri::Int along = tri::Int(p.x - A.x) * (B.x - A.x) + tri::Int(p.y - A.y) * (B.y - A.y);
        if (tri::Orient(A, B, p) == 0 && along >= 0 && along <= length)
            on.emplace_back(along, v);
    }
    std::sort(on.begin(), on.end());
    std::vector<int> ids;
    for (const auto& o : on)
        ids.push_back(o.second);
    return ids;
}

// The segment a-b is in the mesh as the chain of its pieces between the
// vertices lying on it.
::testing::AssertionResult ChainForced(KorMesh& mesh, int a, int b)
{
    const std::vector<int> chain = VerticesOnSegment(mesh, a, b);
    for (size_t i = 0; i + 1 < chain.size(); ++i)
        if (!HasEdge(mesh, chain[i], chain[i + 1]))
            return ::testing::AssertionFailure()
                   << a << " - " << b << ": no edge " << chain[i] << " - " << chain[i + 1];
    return ::testing::AssertionSuccess();
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
// either side of the line (or exactly on it). The segment is forced in, as
// A-V and V-B when V lies exactly on it; the five points keep the same four
// counter-clockwise triangles' region either way.
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
        EXPECT_TRUE(exactlyOn ? HasEdge(mesh, 0, 2) && HasEdge(mesh, 2, 1) : HasEdge(mesh, 0, 1)) << t;
    }
    EXPECT_LT(onTheLine, 10);
}

// Level lines digitised on a grid, or snapped to survey points, run exactly
// through other points: such a segment is forced as the chain of its pieces
// between them. A 5 x 5 grid (jittered by up to 0.2, or regular), then the
// extra points; grid point (i, j) is vertex 5j + i, the extra ones follow.
TEST(ConstrainTriangulation, SegmentThroughVerticesForcedPieceByPiece)
{
    struct Case
    {
        const char* name;
        bool jittered;
        std::vector<std::pair<double, double>> extra;
        std::pair<int, int> segment;
        size_t pieces;
    };
    const std::pair<double, double> a{0.05, 2.5}, b{4.1, 2.5};
    const Case cases[] = {
        {"a survey point M on it", true, {a, b, {2, 2.5}}, {25, 26}, 2},
        {"the same, from b to a", true, {a, b, {2, 2.5}}, {26, 25}, 2},
        {"two survey points", true, {a, b, {1.5, 2.5}, {3, 2.5}}, {25, 26}, 3},
        {"a point beyond its end", true, {a, {2, 2.5}, {3.5, 2.5}}, {25, 26}, 1},
        {"the diagonal of a regular grid", false, {}, {0, 24}, 4},
        {"grid edges inside", false, {}, {10, 14}, 4},
        {"grid edges on the border", false, {}, {4, 0}, 4},
    };
    for (const Case& c : cases)
    {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> jitter(-0.2, 0.2);
        KorMesh mesh;
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 5; ++i)
                mesh.AddVertex(tri::Snap(i + (c.jittered ? jitter(rng) : 0.0)),
                               tri::Snap(j + (c.jittered ? jitter(rng) : 0.0)), 0);
        for (const auto& p : c.extra)
            mesh.AddVertex(tri::Snap(p.first), tri::Snap(p.second), 0);
        Delaunay2D(mesh);
        const tri::Summary before = tri::Summarise(mesh);
        ASSERT_EQ(before.flat, 0) << c.name;
        ASSERT_EQ(VerticesOnSegment(mesh, c.segment.first, c.segment.second).size(), c.pieces + 1) << c.name;
        const bool alreadyIn = ChainForced(mesh, c.segment.first, c.segment.second);
        const std::set<std::set<int>> delaunay = Triangles(mesh);

        ConstrainTriangulation(mesh, Constraint{c.segment});
        EXPECT_TRUE(ChainForced(mesh, c.segment.first, c.segment.second)) << c.name;
        if (alreadyIn)
        {
            EXPECT_EQ(Triangles(mesh), delaunay) << c.name;
        }
        ExpectSameRegion(mesh, before);
        EXPECT_EQ(tri::Summarise(mesh).flat, 0) << c.name;
    }
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

// Level lines of Surface by marching squares on a grid of g x g nodes, drawn
// at the scale of [0, size]^2: one Constraint per level, its vertices shared
// by the segments that meet there. vertexAt gives the vertex of a crossing
// (x, y, level); a segment whose ends get the same vertex is dropped.
std::vector<Constraint> AddContours(const std::function<int(double, double, double)>& vertexAt, int g,
                                    int levels, double size = 1000.0)
{
    const double step = 1000.0 / (g - 1), scale = size / 1000.0;
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
            const int id =
                vertexAt((i0 + t * (i1 - i0)) * step * scale, (j0 + t * (j1 - j0)) * step * scale, level);
            onEdge[key] = id;
            return id;
        };
        Constraint segments;
        const auto add = [&segments](int p, int q)
        {
            if (p != q)
                segments.emplace_back(p, q);
        };
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
                    add(at[0], at[1]);
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
                        add(c[0], c[1]);
                        add(c[2], c[3]);
                    }
                    else
                    {
                        add(c[0], c[3]);
                        add(c[1], c[2]);
                    }
                }
            }
        out.push_back(segments);
    }
    return out;
}
} // namespace

// Level lines forced into a terrain: faces stay counter-clockwise and tile
// the same region, and every segment is an edge, or the chain of edges
// between the vertices lying exactly on it. Lines among 2 x 10^4 points, and
// lines digitised on a unit grid: their vertices are survey points at integer
// coordinates (among others at random), and a segment runs through every grid
// point between its ends.
TEST(ConstrainTriangulation, ContourTerrain)
{
    struct Scene
    {
        const char* name;
        int grid; // grid points (i, j), 0 <= i, j <= grid, first; none when 0
        double size;
        int nodes, levels, points, minSegments, minThroughPoints;
    };
    const Scene scenes[] = {{"among random points", 0, 1000.0, 41, 50, 20000, 3000, 0},
                            {"digitised on a unit grid", 40, 40.0, 9, 16, 3181, 200, 40}};
    for (const Scene& sc : scenes)
    {
        KorMesh mesh;
        for (int j = 0; sc.grid > 0 && j <= sc.grid; ++j)
            for (int i = 0; i <= sc.grid; ++i)
                mesh.AddVertex(i, j, 0);
        const auto vertexAt = [&](double x, double y, double z)
        {
            return sc.grid > 0 ? static_cast<int>(std::lround(y) * (sc.grid + 1) + std::lround(x))
                               : mesh.AddVertex(tri::Snap(x), tri::Snap(y), z);
        };
        const std::vector<Constraint> contours = AddContours(vertexAt, sc.nodes, sc.levels, sc.size);
        tri::AddRandom(mesh, sc.points - mesh.GetNumberOfVertices(), 8, sc.size);
        Delaunay2D(mesh);
        ASSERT_TRUE(tri::IsDelaunayDisk(mesh)) << sc.name;
        const tri::Summary before = tri::Summarise(mesh);

        for (const Constraint& c : contours)
            ConstrainTriangulation(mesh, c);
        ExpectSameRegion(mesh, before);
        EXPECT_EQ(tri::Summarise(mesh).flat, 0) << sc.name;

        int segments = 0, throughPoints = 0;
        for (const Constraint& c : contours)
            for (const auto& s : c)
            {
                ++segments;
                throughPoints += VerticesOnSegment(mesh, s.first, s.second).size() > 2;
                EXPECT_TRUE(ChainForced(mesh, s.first, s.second)) << sc.name;
            }
        EXPECT_GT(segments, sc.minSegments) << sc.name;
        EXPECT_GE(throughPoints, sc.minThroughPoints) << sc.name;
    }
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
