// Delaunay2D on its triangle array against the same sweep made face by face
// on the mesh: the same triangles on every kind of point set, and a sound
// mesh from the bulk fill.
#include "KorDelaunay.h"

#include "MeshChecker.h"
#include "TriangulationChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
void Grid(KorMesh& mesh, int side, double step)
{
    std::vector<std::pair<int, int>> cells;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
            cells.emplace_back(i, j);
    std::shuffle(cells.begin(), cells.end(), std::mt19937(side));
    for (const auto& c : cells)
        mesh.AddVertex(100 + c.first * step, 50 + c.second * step, 0);
}

void Clusters(KorMesh& mesh)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> centre(100.0, 900.0);
    for (int c = 0; c < 10; ++c)
    {
        const double cx = centre(rng), cy = centre(rng);
        std::normal_distribution<double> spread(0.0, c % 2 ? 1.0 : 30.0);
        for (int i = 0; i < 1000; ++i)
            mesh.AddVertex(tri::Snap(cx + spread(rng)), tri::Snap(cy + spread(rng)), 0.0);
    }
}

// Both signs, both zeros (equal positions, so one of each pair is dropped)
// and magnitudes far apart, with rows of equal Y: the sort's keys and ties.
void SignsAndZeros(KorMesh& mesh)
{
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> step(-40, 40);
    for (int i = 0; i < 6000; ++i)
    {
        const double scale = i % 3 == 0 ? 1.0 / 64 : (i % 3 == 1 ? 1.0 : 2048.0 / 64);
        double x = step(rng) * scale, y = step(rng) * scale;
        if (x == 0.0 && i % 2)
            x = -0.0;
        if (y == 0.0 && i % 4 < 2)
            y = -0.0;
        mesh.AddVertex(x, y, 0.0);
    }
}

void Duplicates(KorMesh& mesh)
{
    std::mt19937 rng(21);
    std::uniform_real_distribution<double> u(0.0, 1000.0);
    std::vector<std::pair<double, double>> distinct;
    for (int i = 0; i < 3000; ++i)
        distinct.emplace_back(tri::Snap(u(rng)), tri::Snap(u(rng)));
    std::uniform_int_distribution<int> pick(0, 2999);
    for (int i = 0; i < 12000; ++i)
    {
        const auto& p = distinct[static_cast<size_t>(i < 3000 ? i : pick(rng))];
        mesh.AddVertex(p.first, p.second, i);
    }
}

// Both paths on copies of the same mesh; the array path's mesh must be sound,
// of Euler characteristic 1 (a disk) and hold the same triangles.
::testing::AssertionResult SameAsOnFaces(const KorMesh& input, bool disk)
{
    KorMesh onFaces = input, onArray = input;
    testing::internal::CaptureStdout();
    Delaunay2DOnFaces(onFaces);
    const std::string facesOut = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    Delaunay2D(onArray);
    const std::string arrayOut = testing::internal::GetCapturedStdout();
    if (facesOut != arrayOut)
        return ::testing::AssertionFailure()
               << "messages differ: '" << facesOut << "' / '" << arrayOut << "'";
    if (::testing::AssertionResult sound = CheckMesh(onArray); !sound)
        return sound;
    if (tri::Triangles(onFaces) != tri::Triangles(onArray))
        return ::testing::AssertionFailure() << onFaces.GetNumberOfFaces() << " faces on the mesh, "
                                             << onArray.GetNumberOfFaces() << " from the array, not the same";
    if (!disk)
        return ::testing::AssertionSuccess();
    // Filled in bulk, not built face by face: face t starts at half-edge 3t.
    for (int f = 0; f < onArray.GetFaceVectorSize(); ++f)
        if (onArray.GetFace(f)->Edge != 3 * f)
            return ::testing::AssertionFailure() << "face " << f << " not from the array";
    if (::testing::AssertionResult delaunay = tri::IsDelaunayDisk(onArray); !delaunay)
        return delaunay;
    const int euler =
        tri::Summarise(onArray).usedVertices - onArray.GetNumberOfEdges() / 2 + onArray.GetNumberOfFaces();
    if (euler != 1)
        return ::testing::AssertionFailure() << "Euler characteristic " << euler;
    return ::testing::AssertionSuccess();
}
} // namespace

TEST(Delaunay2DArray, SameTrianglesAsOnFaces)
{
    const std::vector<std::pair<std::string, std::function<void(KorMesh&)>>> sets = {
        {"random", [](KorMesh& m) { tri::AddRandom(m, 20000, 3); }},
        {"random, tiny square", [](KorMesh& m) { tri::AddRandom(m, 3000, 4, 0.01); }},
        // Co-circular everywhere: the same diagonals only if every flip
        // decision is taken in the same order.
        {"grid", [](KorMesh& m) { Grid(m, 150, 1.0); }},
        {"grid, odd step", [](KorMesh& m) { Grid(m, 40, 3.3125); }},
        {"clusters", Clusters},
        {"duplicates", Duplicates},
        {"signs and zeros", SignsAndZeros},
    };
    for (const auto& [name, fill] : sets)
    {
        KorMesh mesh;
        fill(mesh);
        EXPECT_TRUE(SameAsOnFaces(mesh, true)) << name;
    }
}

// Collinear runs, vertical sides, co-circular quadruples and duplicates; sets
// on one line (flat triangles) included.
TEST(Delaunay2DArray, SameTrianglesOnDegenerateSmallSets)
{
    std::mt19937 rng(77);
    int failures = 0;
    for (int round = 0; round < 3000 && failures < 5; ++round)
    {
        KorMesh mesh;
        const int n = 3 + static_cast<int>(rng() % 40);
        const int side = 2 + static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i)
            mesh.AddVertex(static_cast<double>(rng() % side), static_cast<double>(rng() % side), 0);
        if (!SameAsOnFaces(mesh, false))
        {
            ++failures;
            ADD_FAILURE() << "round " << round << ": " << SameAsOnFaces(mesh, false).message();
        }
    }
}

TEST(KorMeshAddTriangles, BuildsTwinsAndBordersOrRefusesWhole)
{
    // The square 0 1 2 3 in two triangles sharing the diagonal 0-2.
    const std::vector<int> corners = {0, 1, 2, 0, 2, 3};
    const std::vector<int> twins = {-1, -1, 3, 2, -1, -1};
    const auto square = []
    {
        KorMesh m;
        m.AddVertex(0, 0, 0);
        m.AddVertex(1, 0, 0);
        m.AddVertex(1, 1, 0);
        m.AddVertex(0, 1, 0);
        return m;
    };
    KorMesh mesh = square();
    ASSERT_TRUE(mesh.AddTriangles(corners, twins));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2);
    EXPECT_EQ(mesh.GetNumberOfEdges(), 10);
    EXPECT_EQ(tri::Summarise(mesh).boundaryVertices, 4);

    struct Refused
    {
        const char* why;
        std::vector<int> corners, twins;
        bool withEdges;
        int deleted = -1; // a vertex deleted first: its slot is freed
    };
    const std::vector<Refused> refused = {
        {"half-edges present", corners, twins, true},
        {"missing vertex", {0, 1, 7}, {-1, -1, -1}, false},
        {"deleted vertex", {0, 1, 3}, {-1, -1, -1}, false, 3},
        {"repeated corner", {0, 1, 1}, {-1, -1, -1}, false},
        {"twin not mutual", corners, {-1, -1, 3, -1, -1, -1}, false},
        {"twin between other vertices", corners, {-1, 3, -1, 1, -1, -1}, false},
        // 2 and 3 are mutual; 5 claims 3 as well.
        {"twin claimed twice", corners, {-1, -1, 3, 2, -1, 3}, false},
        {"partial triangle", {0, 1}, {-1, -1}, false},
    };
    for (const Refused& r : refused)
    {
        KorMesh m = square();
        if (r.withEdges)
            m.AddEdge(m.GetVertex(0), m.GetVertex(1));
        if (r.deleted >= 0)
            m.DeleteVertex(r.deleted);
        const int edges = m.GetNumberOfEdges();
        testing::internal::CaptureStdout();
        EXPECT_FALSE(m.AddTriangles(r.corners, r.twins)) << r.why;
        EXPECT_NE(testing::internal::GetCapturedStdout().find("KorMesh::AddTriangles -> "), std::string::npos)
            << r.why;
        EXPECT_EQ(m.GetNumberOfEdges(), edges) << r.why;
        EXPECT_EQ(m.GetNumberOfFaces(), 0) << r.why;
    }
}
