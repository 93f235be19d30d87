#include "KorDelaunay.h"

#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TriangulationChecks.h"

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{
using tri::HasEdge;
using tri::Triangles;

std::string TriangulateCapturing(KorMesh& mesh)
{
    testing::internal::CaptureStdout();
    Delaunay2D(mesh);
    return testing::internal::GetCapturedStdout();
}

// Triangulates silently into a sound Delaunay disk using every vertex.
::testing::AssertionResult TriangulatesToADisk(KorMesh& mesh)
{
    const std::string out = TriangulateCapturing(mesh);
    if (!out.empty())
        return ::testing::AssertionFailure() << out;
    if (::testing::AssertionResult sound = CheckMesh(mesh); !sound)
        return sound;
    if (::testing::AssertionResult disk = tri::IsDelaunayDisk(mesh); !disk)
        return disk;
    const int used = tri::Summarise(mesh).usedVertices;
    if (used != mesh.GetNumberOfVertices())
        return ::testing::AssertionFailure()
               << used << " of " << mesh.GetNumberOfVertices() << " vertices used";
    return ::testing::AssertionSuccess();
}

// Chains triangles from the first of the points, all of them in the front:
// the faces added and the front's size after.
std::pair<int, int> ChainFrom(const std::vector<LumPoint>& points)
{
    KorMesh mesh = MeshOf(points);
    Front front;
    for (int id = 0; id < mesh.GetNumberOfVertices(); ++id)
        front.InsertVertex(mesh.GetVertex(id));
    AddChainedTriangles(mesh, front, mesh.GetVertex(0));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(tri::Summarise(mesh).clockwise, 0);
    return {mesh.GetNumberOfFaces(), front.GetSize()};
}
} // namespace

TEST(Delaunay2D, RefusesWhatCannotBeTriangulated)
{
    KorMesh empty;
    EXPECT_EQ(TriangulateCapturing(empty), "");

    const std::string tooFew = "Delaunay2D -> Impossible to triangulate less than 3 vertices\n";
    KorMesh two;
    two.AddVertex(0, 0, 0);
    two.AddVertex(1, 1, 0);
    EXPECT_EQ(TriangulateCapturing(two), tooFew);

    // Three vertices, two of them at one position; an old face is dropped all the same.
    KorMesh coincident = MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 0, 5}}, {{0, 1, 2}});
    EXPECT_EQ(TriangulateCapturing(coincident), tooFew);
    EXPECT_EQ(coincident.GetNumberOfFaces(), 0);

    KorMesh base;
    for (int i = 0; i < 5; ++i)
        base.AddVertex(i * 1.5, 2.0, i);
    base.AddFace(3, 0, 1, 2);
    EXPECT_EQ(TriangulateCapturing(base),
              "Delaunay2D -> All the vertices are base vertices aligned : impossible to triangulate them\n");
    EXPECT_EQ(base.GetNumberOfFaces(), 0);
    EXPECT_EQ(base.GetNumberOfEdges(), 0);
    EXPECT_TRUE(CheckMesh(base));

    // A vertex with a non-finite coordinate cannot be placed: it stays alone.
    const double notANumber = std::numeric_limits<double>::quiet_NaN();
    const double infinite = std::numeric_limits<double>::infinity();
    KorMesh nan = MeshOf({{0, 0, 0}, {notANumber, 1, 0}, {2, 0, 0}, {1, infinite, 0}, {1, 1, 0}});
    EXPECT_EQ(TriangulateCapturing(nan), "");
    EXPECT_EQ(Triangles(nan), (std::set<std::set<int>>{{0, 2, 4}}));
    EXPECT_TRUE(CheckMesh(nan));
}

//  3 ---- 2
//  |      |     co-circular: either diagonal is Delaunay
//  0 ---- 1
TEST(Delaunay2D, SquareGivesTwoCounterClockwiseTriangles)
{
    KorMesh mesh = MeshOf({{0, 0, 1}, {10, 0, 2}, {10, 10, 3}, {0, 10, 4}});
    EXPECT_TRUE(TriangulatesToADisk(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2);
    EXPECT_NE(HasEdge(mesh, 0, 2), HasEdge(mesh, 1, 3));
    EXPECT_EQ(mesh.GetVertex(2)->Z, 3.0);
}

//  4            5          A new vertex right above the first (left) or the
//  |  .       . |          last (right) front vertex: the covered vertex
//  |     2      |          leaves the front, and the region grows a
//  |  .     .   |          vertical side.
//  0 ---------- 1
TEST(Delaunay2D, VertexAboveAnEndOfTheFront)
{
    for (const int end : {0, 1})
    {
        KorMesh mesh = MeshOf({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {2.0 * end, 2, 0}});
        EXPECT_TRUE(TriangulatesToADisk(mesh));
        EXPECT_EQ(Triangles(mesh), (std::set<std::set<int>>{{0, 1, 2}, {end, 2, 3}})) << end;
    }

    // Both, then one more vertex on each side: the vertical sides are filled.
    KorMesh both = MeshOf({{0, 0, 0}, {4, 0, 0}, {2, 1, 0}, {0, 2, 0}, {4, 3, 0}, {-1, 4, 0}, {5, 5, 0}});
    EXPECT_TRUE(TriangulatesToADisk(both));

    // Vertical sides of two steps on both ends, then a vertex beyond each:
    // each must take the triangle on the top step of its side, not one
    // across the side's middle vertex.
    KorMesh steps = MeshOf(
        {{0, 0, 0}, {4, 0, 0}, {0, 1, 0}, {2, 1, 0}, {4, 1, 0}, {0, 2, 0}, {4, 2, 0}, {-1, 3, 0}, {5, 3, 0}});
    EXPECT_TRUE(TriangulatesToADisk(steps));
}

//  3                 The start fan over the base 0 1 2 has its apex right
//  |  .              above vertex 0; then 4 comes in on the left. Every
//  0 --- 1 --- 2     vertex stays in use and the faces tile the hull.
//       4 at (-1, 2)
TEST(Delaunay2D, FanStartWithItsApexAboveTheFirstBaseVertex)
{
    KorMesh mesh = MeshOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {-1, 2, 0}});
    EXPECT_TRUE(TriangulatesToADisk(mesh));
    // The hull (-1, 2), (0, 0), (2, 0): doubled area 4.
    EXPECT_TRUE(tri::Summarise(mesh).doubledArea == tri::Int(4) * 65536 * 65536);

    // The apex above the last base vertex, then a vertex above each end:
    // the square, tiled by four proper triangles.
    KorMesh right = MeshOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 2, 0}, {2, 2, 0}});
    EXPECT_TRUE(TriangulatesToADisk(right));
    EXPECT_EQ(right.GetNumberOfFaces(), 4);
    EXPECT_TRUE(tri::Summarise(right).doubledArea == tri::Int(8) * 65536 * 65536);
}

TEST(Delaunay2D, CollinearInputDoesNotBreakTheMesh)
{
    for (const bool vertical : {false, true})
    {
        KorMesh line;
        for (int i = 0; i < 20; ++i)
            line.AddVertex(vertical ? 3 : i, vertical ? i : 2 * i, 0);
        Delaunay2D(line);
        EXPECT_TRUE(CheckMesh(line));
        EXPECT_EQ(tri::Summarise(line).doubledArea, 0) << vertical;
        EXPECT_EQ(tri::Summarise(line).clockwise, 0) << vertical;
    }

    // Collinear points first (a slanted run of ten), then points off the
    // line: the sweep starts from the fan over the run, no flat triangle.
    KorMesh mixed;
    for (int i = 0; i < 10; ++i)
        mixed.AddVertex(-i, i, 0);
    mixed.AddVertex(5, 20, 0);
    mixed.AddVertex(-20, 21, 0);
    EXPECT_TRUE(TriangulatesToADisk(mixed));

    // A vertical run, then one vertex on each side.
    KorMesh column;
    for (int i = 0; i < 6; ++i)
        column.AddVertex(2, i, 0);
    column.AddVertex(0, 7, 0);
    column.AddVertex(4, 8, 0);
    EXPECT_TRUE(TriangulatesToADisk(column));
}

TEST(AddChainedTriangles, FillsValleysUpToARightAngle)
{
    // A right angle at q1 is filled; a hair more is not. The mirror image walks left.
    for (const double d : {0.0, 3.5e-8})
    {
        const std::pair<int, int> expected = d == 0.0 ? std::pair{1, 2} : std::pair{0, 3};
        EXPECT_EQ(ChainFrom({{0, 1, 0}, {1, 0, 0}, {2, 1 - d, 0}}), expected) << d;
        EXPECT_EQ(ChainFrom({{2, 1, 0}, {1, 0, 0}, {0, 1 - d, 0}}), expected) << d;
    }

    // Vectors whose lengths multiply to at most 1e-5 count as a right
    // angle or less, but a triangle is added only on a dent of the front: on
    // the peak q1 (a micrometre right of p, above the line p-q2) it would lie
    // over the region below the front.
    const double mu = std::ldexp(1.0, -20);
    for (const bool peak : {true, false})
        for (const int side : {1, -1})
        {
            const std::pair<int, int> expected = peak ? std::pair{0, 3} : std::pair{1, 2};
            const double y = peak ? 1 : 1 - 2 * mu;
            EXPECT_EQ(ChainFrom({{0, 1, 0}, {side * mu, y, 0}, {side * 4.0, peak ? 0.0 : 1.0, 0}}), expected)
                << peak << side;
        }

    // A vertex with no neighbour on a side, or not in the front: nothing.
    KorMesh mesh;
    const int a = mesh.AddVertex(0, 0, 0);
    const int b = mesh.AddVertex(1, -1, 0);
    Front front;
    front.InsertVertex(mesh.GetVertex(a));
    AddChainedTriangles(mesh, front, mesh.GetVertex(a));
    AddChainedTriangles(mesh, front, mesh.GetVertex(b));
    AddChainedTriangles(mesh, front, nullptr);
    EXPECT_EQ(mesh.GetNumberOfFaces(), 0);
}

//      3
//    /   \        0 1 2 is not Delaunay across 0-2: 3 lies inside the circle
//  0 ----- 2      through 0, 1, 2 (centre (2, 1.5), radius 2.5). The flip
//    \   /        makes 1-3 the diagonal.
//      1
TEST(FlipCascade, SwapsAnIllegalDiagonalAndReportsMissingFaces)
{
    for (const bool direct : {true, false})
    {
        KorMesh mesh = MeshOf({{0, 0, 0}, {2, -1, 0}, {4, 0, 0}, {2, 1, 0}});
        const int f1 =
            DelaunayCreateTriangle(mesh, *mesh.GetVertex(0), *mesh.GetVertex(2), *mesh.GetVertex(1));
        const int f2 =
            DelaunayCreateTriangle(mesh, *mesh.GetVertex(0), *mesh.GetVertex(2), *mesh.GetVertex(3));
        EXPECT_EQ(tri::Summarise(mesh).clockwise, 0);
        EXPECT_TRUE(CheckPointInsideCircumcircle(mesh.GetVertex(0), mesh.GetVertex(1), mesh.GetVertex(2),
                                                 mesh.GetVertex(3)));
        if (direct)
            SwapFaces(mesh, f1, f2);
        else
            CheckDelaunayCriteria(mesh, f1);
        EXPECT_TRUE(CheckMesh(mesh));
        EXPECT_FALSE(HasEdge(mesh, 0, 2));
        EXPECT_TRUE(HasEdge(mesh, 1, 3));
        EXPECT_TRUE(tri::IsDelaunayDisk(mesh));
    }

    KorMesh mesh = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    const int f = mesh.AddFace(3, 0, 1, 2);
    testing::internal::CaptureStdout();
    CheckDelaunayCriteria(mesh, 7);
    SwapFaces(mesh, 3, 9);
    SwapFaces(mesh, f, 12);
    CheckDelaunayCriteria(mesh, f);
    SwapFaces(mesh, f, f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "CheckDelaunayCriteria -> Impossible to find the face with ID 7 : Operation impossible\n"
              "SwapFaces -> Impossible to find the triangles 3 and 9 to swap : Swap canceled\n"
              "SwapFaces -> Impossible to find the triangles 0 and 12 to swap : Swap canceled\n");
    EXPECT_EQ(mesh.GetNumberOfFaces(), 1);
    EXPECT_TRUE(CheckMesh(mesh));
}

// A fan from one end of a half ellipse of 6000 points: legalising the last
// fan triangle flips its way along the chain, some 3000 flips in one cascade,
// on a thread with a 128 KB stack, where a frame per flip would not fit.
TEST(FlipCascade, LongCascadeInASmallStack)
{
    constexpr int n = 6000;
    KorMesh mesh;
    for (int i = 0; i < n; ++i)
    {
        const double t = 3.14159265358979 * i / (n - 1);
        mesh.AddVertex(1000.0 * std::cos(t), 300.0 * std::sin(t), 0.0);
    }
    int last = -1;
    for (int i = 1; i + 1 < n; ++i)
        last = DelaunayCreateTriangle(mesh, *mesh.GetVertex(0), *mesh.GetVertex(i), *mesh.GetVertex(i + 1));

    struct Job
    {
        KorMesh* mesh;
        int face;
    } job{&mesh, last};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 128 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* arg) -> void*
                  {
                      Job* j = static_cast<Job*>(arg);
                      CheckDelaunayCriteria(*j->mesh, j->face);
                      return nullptr;
                  },
                  &job),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);

    std::vector<KorEdge*> around;
    mesh.GetEdgesAroundVertex(mesh.GetVertex(0), around);
    EXPECT_LT(around.size(), static_cast<size_t>(n / 2 + 10));
    EXPECT_EQ(mesh.GetNumberOfFaces(), n - 2);
    EXPECT_TRUE(CheckMesh(mesh));
}

TEST(CheckPointInsideCircumcircle, StrictlyInsideOnly)
{
    KorVertex a(0, 0, 0), b(4, 0, 0), c(4, 4, 0);
    KorVertex inside(1, 2, 0), on(0, 4, 0), outside(-1, 5, 0);
    EXPECT_TRUE(CheckPointInsideCircumcircle(&a, &b, &c, &inside));
    EXPECT_FALSE(CheckPointInsideCircumcircle(&a, &b, &c, &on));
    EXPECT_FALSE(CheckPointInsideCircumcircle(&a, &b, &c, &outside));
    EXPECT_FALSE(CheckPointInsideCircumcircle(&a, &b, &c, nullptr));

    // Far from the origin the square's corners are no longer exact in the
    // rounded differences; the test still sees them co-circular, so neither
    // diagonal is ever "illegal" from both sides.
    const double x0 = 654321.1, y0 = 123456.7, h = 0.1;
    KorVertex p(x0, y0, 0), q(x0 + h, y0, 0), r(x0 + h, y0 + h, 0), s(x0, y0 + h, 0);
    const bool one = CheckPointInsideCircumcircle(&p, &q, &r, &s);
    const bool other = CheckPointInsideCircumcircle(&q, &r, &s, &p);
    EXPECT_FALSE(one && other);
}

TEST(Front, KeepsXOrderWithNewcomersBeforeEqualX)
{
    KorMesh mesh;
    std::vector<KorVertex*> v;
    const double xs[] = {5, 1, 3, 3, 9, 3};
    for (double x : xs)
        mesh.AddVertex(x, 0, 0);
    for (int i = 0; i < 6; ++i)
        v.push_back(mesh.GetVertex(i));
    Front front;
    EXPECT_FALSE(front.FindVertex(v[0]).IsValid());
    for (KorVertex* x : v)
        front.InsertVertex(x);
    std::vector<int> order;
    for (Front::Position p = front.First(); p.IsValid(); p = front.Next(p))
        order.push_back(front.Get(p)->ID);
    EXPECT_EQ(order, (std::vector<int>{1, 5, 3, 2, 0, 4}));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(front.Get(front.FindVertex(v[i]))->ID, i);

    // Removing among equal X takes the right one; a vertex twice is removed once.
    front.RemoveVertex(v[3]);
    front.InsertVertex(v[2]);
    front.RemoveVertex(v[2]);
    order.clear();
    for (Front::Position p = front.Last(); p.IsValid(); p = front.Previous(p))
        order.push_back(front.Get(p)->ID);
    EXPECT_EQ(order, (std::vector<int>{4, 0, 2, 5, 1}));
    KorVertex stranger(3, 0, 0);
    stranger.ID = 99;
    front.RemoveVertex(&stranger);
    EXPECT_EQ(front.GetSize(), 5);

    // Many entries (several blocks), inserted in random order, come out sorted.
    KorMesh many;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> u(0, 400);
    for (int i = 0; i < 2000; ++i)
        many.AddVertex(u(rng), 0, 0);
    Front big;
    for (int i = 0; i < 2000; ++i)
        big.InsertVertex(many.GetVertex(i));
    for (int i = 0; i < 2000; i += 2)
        big.RemoveVertex(many.GetVertex(i));
    double last = -1;
    int count = 0;
    for (Front::Position p = big.First(); p.IsValid(); p = big.Next(p), ++count)
    {
        EXPECT_LE(last, big.Get(p)->X);
        EXPECT_EQ(big.Get(p)->ID % 2, 1);
        last = big.Get(p)->X;
    }
    EXPECT_EQ(count, 1000);
    EXPECT_EQ(big.GetSize(), 1000);

    // Removing at a position hands back the next one, across blocks.
    int removed = 0;
    for (Front::Position p = big.Next(big.First()); p.IsValid(); p = big.RemoveAt(p))
        ++removed;
    EXPECT_EQ(removed, 999);
    EXPECT_EQ(big.GetSize(), 1);
    EXPECT_FALSE(big.Next(big.First()).IsValid());
}

// The invariants over point sets of each kind, fixed seeds. The large set runs
// with the default stack: flip cascades and the sweep use no recursion.
TEST(Delaunay2DProperties, RandomPoints)
{
    for (const int n : {1000, 200000})
    {
        KorMesh mesh;
        tri::AddRandom(mesh, n, 11 + n);
        Delaunay2D(mesh);
        EXPECT_TRUE(CheckMesh(mesh));
        EXPECT_TRUE(tri::IsDelaunayDisk(mesh)) << n;
        EXPECT_EQ(tri::Summarise(mesh).usedVertices, n);
    }
}

TEST(Delaunay2DProperties, ClusteredPoints)
{
    KorMesh mesh;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> centre(100.0, 900.0);
    for (int c = 0; c < 20; ++c)
    {
        const double cx = centre(rng), cy = centre(rng);
        std::normal_distribution<double> spread(0.0, c % 2 ? 1.0 : 30.0);
        for (int i = 0; i < 1000; ++i)
            mesh.AddVertex(tri::Snap(cx + spread(rng)), tri::Snap(cy + spread(rng)), 0.0);
    }
    Delaunay2D(mesh);
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_TRUE(tri::IsDelaunayDisk(mesh));
}

TEST(Delaunay2DProperties, GridPoints)
{
    // Co-circular everywhere, many equal X and equal Y; a shuffled
    // identifier order, and a grid with a step that is not a round number.
    for (const double step : {1.0, 3.3125})
    {
        KorMesh mesh;
        const int side = step == 1.0 ? 300 : 40;
        std::vector<std::pair<int, int>> cells;
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i)
                cells.emplace_back(i, j);
        std::shuffle(cells.begin(), cells.end(), std::mt19937(9));
        for (const auto& c : cells)
            mesh.AddVertex(100 + c.first * step, 50 + c.second * step, 0);
        Delaunay2D(mesh);
        EXPECT_TRUE(CheckMesh(mesh));
        const tri::Summary s = tri::Summarise(mesh);
        EXPECT_EQ(s.usedVertices, side * side);
        EXPECT_TRUE(tri::IsDelaunayDisk(mesh)) << step;
        // The swept region of a grid is the whole square.
        const tri::Int sideSteps = static_cast<tri::Int>((side - 1) * step * 65536);
        EXPECT_TRUE(s.doubledArea == 2 * sideSteps * sideSteps) << step;
    }
}

TEST(Delaunay2DProperties, DuplicateLadenPoints)
{
    KorMesh mesh;
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> u(0.0, 1000.0);
    std::vector<std::pair<double, double>> distinct;
    for (int i = 0; i < 5000; ++i)
        distinct.emplace_back(tri::Snap(u(rng)), tri::Snap(u(rng)));
    std::uniform_int_distribution<int> pick(0, 4999);
    for (int i = 0; i < 20000; ++i)
    {
        const auto& p = distinct[static_cast<size_t>(i < 5000 ? i : pick(rng))];
        mesh.AddVertex(p.first, p.second, i);
    }
    Delaunay2D(mesh);
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_TRUE(tri::IsDelaunayDisk(mesh));
    EXPECT_EQ(tri::Summarise(mesh).usedVertices, 5000);
}

// Far from the origin with a non-round step: rounded in-circle tests would
// see both diagonals of some squares as illegal and flip without end.
TEST(Delaunay2DProperties, GridFarFromTheOrigin)
{
    KorMesh mesh;
    for (int j = 0; j < 60; ++j)
        for (int i = 0; i < 60; ++i)
            mesh.AddVertex(654321.1 + 0.1 * i, 123456.7 + 0.1 * j, 0);
    Delaunay2D(mesh);
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2 * 59 * 59);
}

// Survey points in map coordinates, two of them under a micrometre apart:
// B' stands just above B, steeper than the side B'-A, so that B' is a corner
// of the hull and a peak of the front when A comes in. The region is the
// quadrilateral B C A B', tiled by two counter-clockwise triangles.
TEST(Delaunay2DProperties, MicrometreApartInMapCoordinates)
{
    const double x0 = 6600000.0, y0 = 2100000.0, d = std::ldexp(1.0, -24);
    // Positions in units of d from (x0, y0), exact as doubles and as integers.
    const std::vector<std::pair<int64_t, int64_t>> at = {{20LL << 24, 1LL << 24},
                                                         {3LL << 23, 3LL << 24},
                                                         {(3LL << 23) + 1, (3LL << 24) + 8},
                                                         {4LL << 24, 37LL << 23}};
    KorMesh mesh;
    for (const auto& p : at)
        mesh.AddVertex(x0 + p.first * d, y0 + p.second * d, 500.0);
    EXPECT_EQ(TriangulateCapturing(mesh), "");
    EXPECT_TRUE(CheckMesh(mesh));
    auto orient = [&](int a, int b, int c)
    {
        return tri::Int(at[b].first - at[a].first) * (at[c].second - at[a].second) -
               tri::Int(at[b].second - at[a].second) * (at[c].first - at[a].first);
    };
    tri::Int area = 0;
    int clockwise = 0;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
        if (mesh.GetFace(f))
        {
            const std::vector<int> c = tri::Corners(mesh, f);
            ASSERT_EQ(c.size(), 3u);
            clockwise += orient(c[0], c[1], c[2]) <= 0;
            area += orient(c[0], c[1], c[2]);
        }
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2);
    EXPECT_EQ(clockwise, 0);
    // The hull B C A B' (identifiers 1 0 3 2), counter-clockwise.
    EXPECT_TRUE(area == orient(1, 0, 3) + orient(1, 3, 2));
    EXPECT_GT(orient(1, 0, 3), 0);
    EXPECT_GT(orient(3, 2, 1), 0);
}

// Small sets on a coarse integer grid: collinear runs, vertical sides,
// co-circular quadruples and duplicates everywhere. Sets lying wholly on one
// line give flat triangles by design; every other set gives a Delaunay disk.
TEST(Delaunay2DProperties, DegenerateSmallSets)
{
    std::mt19937 rng(2024);
    int failures = 0;
    for (int round = 0; round < 3000 && failures < 5; ++round)
    {
        KorMesh mesh;
        const int n = 3 + static_cast<int>(rng() % 40);
        const int side = 2 + static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i)
            mesh.AddVertex(static_cast<double>(rng() % side), static_cast<double>(rng() % side), 0);
        bool collinear = true;
        for (int i = 2; i < n && collinear; ++i)
            for (int j = 1; j < i && collinear; ++j)
                collinear = tri::Orient(tri::At(mesh, 0), tri::At(mesh, j), tri::At(mesh, i)) == 0;
        TriangulateCapturing(mesh);
        const tri::Summary s = tri::Summarise(mesh);
        const bool sound = CheckMesh(mesh) && s.clockwise == 0 && s.notTriangles == 0;
        if (!sound || (!collinear && !tri::IsDelaunayDisk(mesh)))
        {
            ++failures;
            ADD_FAILURE() << "round " << round << ": " << tri::IsDelaunayDisk(mesh).message();
        }
    }
}
