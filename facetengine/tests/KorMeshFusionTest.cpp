#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <random>

using V = std::vector<int>;

namespace
{
bool Live(const KorMesh& m, int vertex)
{
    return m.GetVertex(vertex) != nullptr;
}

// Both half-edges between a and b carry a face: the two faces are neighbours.
bool Neighbours(KorMesh& m, int a, int b)
{
    const KorEdge* e = m.GetEdgeBetween(m.GetVertex(a), m.GetVertex(b));
    return e && e->Face != -1 && m.GetEdge(e->Opp)->Face != -1;
}
} // namespace

TEST(KorMeshFusion, TrianglesWithCoincidentCornersBecomeNeighbours)
{
    /*  5 ---- 2,4
        |  t1 / |      t0 = (0, 1, 2), t1 = (3, 4, 5): 3 lies on 0 and 4 on 2
        |   /   |
        | / t0  |
       0,3 ---- 1      */
    KorMesh m =
        MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {3, 4, 5}});
    std::vector<DoubleIndex> report;
    ASSERT_TRUE(m.FuseVertices(1e-5, &report));
    EXPECT_TRUE(CheckMesh(m));
    // Equal positions keep their identifier order: the later one stays.
    EXPECT_FALSE(Live(m, 0));
    EXPECT_FALSE(Live(m, 2));
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
    EXPECT_TRUE(Neighbours(m, 3, 4));
    // t0 was re-added twice (once per merged corner); its record follows it.
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].OldID, 0);
    ASSERT_NE(m.GetFace(report[0].NewID), nullptr);
    EXPECT_EQ(Canonical(FaceVertexRing(m, report[0].NewID)), V({1, 4, 3}));
    EXPECT_NEAR(TotalVectorArea(m).z, 1.0, 1e-12);
}

TEST(KorMeshFusion, OnlyVerticesCloserThanTheThresholdMerge)
{
    for (double tolerance : {1e-5, 0.0, 1.0})
    {
        // 0 merges into 1; 3 lies exactly 1e-5 from 2, kept apart; the run 4, 5, 6 collapses into 6.
        KorMesh m = MeshOf({{0, 0, 0},
                            {0.9e-5, 0, 0},
                            {0, 5, 0},
                            {1e-5, 5, 0},
                            {9, 0, 0},
                            {9 + 0.8e-5, 0, 0},
                            {9 + 1.6e-5, 0, 0}});
        EXPECT_TRUE(m.FuseVertices(tolerance, nullptr)) << tolerance;
        for (int v = 0; v < 7; ++v)
            EXPECT_EQ(Live(m, v), v == 1 || v == 2 || v == 3 || v == 6) << tolerance << " " << v;
        ASSERT_TRUE(Live(m, 6));
        EXPECT_EQ(m.GetVertex(6)->X, 9 + 1.6e-5); // the survivor keeps its own position
    }
    KorMesh one;
    one.AddVertex(1, 2, 3);
    EXPECT_TRUE(one.FuseVertices(1e-5, nullptr));
    EXPECT_EQ(one.GetNumberOfVertices(), 1);
    KorMesh none;
    EXPECT_TRUE(none.FuseVertices(1e-5, nullptr));
}

TEST(KorMeshFusion, ReportRenamesEarlierEntriesAndAppendsNewOnes)
{
    // 6 lies on 2 and 7 on 5.
    KorMesh m =
        MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {6, 0, 0}, {5, 1, 0}, {0, 1, 0}, {5, 1, 0}});
    const int a = m.AddFace(3, 0, 1, 2);
    const int b = m.AddFace(3, 3, 4, 5);
    // A freed identifier queued first, so that re-added faces get new ones.
    m.DeleteFace(m.AddFace(3, 0, 2, 1), false);
    std::vector<DoubleIndex> report{{7, a}};
    ASSERT_TRUE(m.FuseVertices(1e-5, &report));
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0].OldID, 7);
    EXPECT_NE(report[0].NewID, a);
    EXPECT_EQ(FaceVertexRing(m, report[0].NewID), V({0, 1, 6}));
    EXPECT_EQ(report[1].OldID, b); // no earlier entry: appended
    EXPECT_NE(report[1].NewID, b);
    EXPECT_EQ(FaceVertexRing(m, report[1].NewID), V({3, 4, 7}));
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshFusion, ATriangleWhoseShortEdgeCollapsesVanishes)
{
    KorMesh m = MeshOf({{0, 0, 0}, {0.5e-5, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    std::vector<DoubleIndex> report;
    EXPECT_TRUE(m.FuseVertices(1e-5, &report));
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_EQ(m.GetNumberOfVertices(), 2);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0].OldID, 0);
    EXPECT_EQ(report[0].NewID, -1);
}

TEST(KorMeshFusion, AnEmptyFaceIsDissolvedIntoItsNeighbours)
{
    /*        T(1,1)
             /     \          top (A, B, T); sliver (A, M, B) of no area;
       A(0,0)--M(1,0)--B(2,0)  below (A, D, M) and (M, D, B)
             \   |   /
               D(1,-1)     */
    KorMesh m;
    const int A = m.AddVertex(0, 0, 0), B = m.AddVertex(2, 0, 0), M = m.AddVertex(1, 0, 0);
    const int T = m.AddVertex(1, 1, 0), D = m.AddVertex(1, -1, 0);
    const int top = m.AddFace(3, A, B, T);
    const int sliver = m.AddFace(3, A, M, B);
    m.AddFace(3, A, D, M);
    m.AddFace(3, M, D, B);
    ASSERT_TRUE(CheckMesh(m));
    ASSERT_EQ(m.GetNumberOfFaces(), 4);

    // A face with area is left alone.
    EXPECT_EQ(m.FuseEmptyFace(m.GetFace(top), nullptr), -1);
    EXPECT_EQ(m.GetNumberOfFaces(), 4);

    std::vector<DoubleIndex> report;
    const int last = m.FuseEmptyFace(m.GetFace(sliver), &report);
    ASSERT_GE(last, 0);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 3);
    EXPECT_EQ(report.size(), 3u);
    for (const DoubleIndex& r : report)
        EXPECT_NE(m.GetFace(r.NewID), nullptr);
    // The top face now runs through M along its base, and meets both below.
    bool found = false;
    for (int f : LiveFaces(m))
        if (FaceVertexRing(m, f).size() == 4)
        {
            found = true;
            EXPECT_NEAR(VectorArea(m, f).z, 1.0, 1e-12);
        }
    EXPECT_TRUE(found);
    EXPECT_TRUE(Neighbours(m, A, M));
    EXPECT_TRUE(Neighbours(m, M, B));
    EXPECT_FALSE(m.ContainsNULLSurface());
    EXPECT_NEAR(TotalVectorArea(m).z, 2.0, 1e-12);
}

TEST(KorMeshFusion, GridSoupWeldsIntoOneGrid)
{
    // 300 x 300 unit cells, each with its own four corners jittered by up to
    // 1e-7: fusion leaves one vertex per grid point and every inner edge
    // shared by two cells.
    const int side = 300;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> jitter(-1e-7, 1e-7);
    KorMesh m;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
        {
            int c[4];
            const int dx[4] = {0, 1, 1, 0}, dy[4] = {0, 0, 1, 1};
            for (int k = 0; k < 4; ++k)
                c[k] = m.AddVertex(i + dx[k] + jitter(rng), j + dy[k] + jitter(rng), jitter(rng));
            m.AddFace(4, c[0], c[1], c[2], c[3]);
        }
    ASSERT_TRUE(m.FuseVertices(1e-5, nullptr));
    EXPECT_EQ(m.GetNumberOfVertices(), (side + 1) * (side + 1));
    EXPECT_EQ(m.GetNumberOfFaces(), side * side);
    EXPECT_EQ(m.GetNumberOfEdges(), 2 * (2 * side * (side + 1)));
    EXPECT_TRUE(CheckMesh(m));
    int shared = 0;
    for (int e = 0; e < m.GetEdgeVectorSize(); ++e)
        if (const KorEdge* h = m.GetEdge(e))
            if (h->Face != -1 && m.GetEdge(h->Opp)->Face != -1)
                ++shared;
    EXPECT_EQ(shared, 2 * (2 * side * (side - 1)));
    EXPECT_NEAR(TotalVectorArea(m).z, side * side, 1e-3);
}
