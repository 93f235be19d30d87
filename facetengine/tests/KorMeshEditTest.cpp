#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>

using V = std::vector<int>;

namespace
{
/*
  3 ------ 2
  |  t1  / |      t0 = (0, 1, 2), t1 = (0, 2, 3), sharing the half-edges 0-2
  |    /   |
  |  /  t0 |
  0 ------ 1
*/
KorMesh TwoTriangles()
{
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}});
}

KorMesh UnitSquare()
{
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}});
}

bool HasInOrder(const V& ring, int a, int n, int b)
{
    for (size_t i = 0; i < ring.size(); ++i)
        if (ring[i] == n)
        {
            const int before = ring[(i + ring.size() - 1) % ring.size()];
            const int after = ring[(i + 1) % ring.size()];
            return (before == a && after == b) || (before == b && after == a);
        }
    return false;
}
} // namespace

TEST(KorMeshEdit, VertexOnASharedEdgeTurnsBothTrianglesIntoQuadrilaterals)
{
    for (bool tracks : {false, true})
    {
        KorMesh m = TwoTriangles();
        const int edge = m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(2))->ID;
        const int n = m.AddVertexOnEdge(edge, LumPoint(0.5, 0.5, 0), tracks);
        ASSERT_EQ(n, 4);
        EXPECT_TRUE(CheckMesh(m));
        ExpectPointNear(LumPoint(m.GetVertex(n)->X, m.GetVertex(n)->Y, m.GetVertex(n)->Z), 0.5, 0.5, 0);
        const V faces = LiveFaces(m);
        ASSERT_EQ(faces.size(), 2u);
        for (int f : faces)
        {
            EXPECT_EQ(FaceVertexRing(m, f).size(), 4u);
            EXPECT_TRUE(HasInOrder(FaceVertexRing(m, f), 0, n, 2));
            EXPECT_NEAR(VectorArea(m, f).z, 0.5, 1e-12);
        }
        EXPECT_EQ(m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(2)), nullptr);
        V from0, from1;
        m.GetNewFacesFrom(0, from0);
        m.GetNewFacesFrom(1, from1);
        if (!tracks)
        {
            EXPECT_TRUE(from0.empty());
            EXPECT_TRUE(from1.empty());
            continue;
        }
        ASSERT_EQ(from0.size(), 1u);
        ASSERT_EQ(from1.size(), 1u);
        EXPECT_NE(from0[0], from1[0]);
        EXPECT_EQ(Canonical(FaceVertexRing(m, from0[0])), V({0, 1, 2, 4}));
        EXPECT_EQ(Canonical(FaceVertexRing(m, from1[0])), V({0, 4, 2, 3}));
    }
}

TEST(KorMeshEdit, VertexOnABorderEdgeReAddsItsOneFace)
{
    KorMesh m = TwoTriangles();
    const int edge = m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(1))->ID;
    const int n = m.AddVertexOnEdge(edge, LumPoint(0.5, 0, 0), true);
    ASSERT_EQ(n, 4);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 2);
    V from0;
    m.GetNewFacesFrom(0, from0);
    ASSERT_EQ(from0.size(), 1u);
    EXPECT_EQ(Canonical(FaceVertexRing(m, from0[0])), V({0, 4, 1, 2}));
    EXPECT_EQ(FaceVertexRing(m, 1), V({0, 2, 3})); // the other triangle untouched
}

TEST(KorMeshEdit, VertexOnAnUnknownEdgeChangesNothing)
{
    KorMesh m = TwoTriangles();
    EXPECT_EQ(m.AddVertexOnEdge(99, LumPoint(0, 0, 0), true), -1);
    EXPECT_EQ(m.AddVertexOnEdge(-1, LumPoint(0, 0, 0), true), -1);
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
    EXPECT_EQ(m.GetNumberOfEdges(), 10);
    EXPECT_EQ(m.GetNumberOfFaces(), 2);
}

TEST(KorMeshEdit, AFaceThatCannotBeReAddedIsReported)
{
    // A slit face runs along both half-edges of 0-1: (0, 1, 2, 1). Re-adding
    // its ring for the second side finds every half-edge taken.
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
    ASSERT_EQ(m.AddFace(4, 0, 1, 2, 1), 0);
    const int edge = m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(1))->ID;
    testing::internal::CaptureStdout();
    const int n = m.AddVertexOnEdge(edge, LumPoint(0.5, 0, 0), false);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(n, 3);
    EXPECT_NE(out.find("KorMesh::AddVertexOnEdge -> "), std::string::npos) << out;
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshEdit, FaceCutAlongADiagonalKeepsItsOriginThroughASecondCut)
{
    KorMesh m = UnitSquare();
    ASSERT_TRUE(m.CutFaceFromEdges({0, 2}, true));
    EXPECT_TRUE(CheckMesh(m));
    V from;
    m.GetNewFacesFrom(0, from);
    ASSERT_EQ(from.size(), 2u);
    V rings[2] = {Canonical(FaceVertexRing(m, from[0])), Canonical(FaceVertexRing(m, from[1]))};
    std::sort(std::begin(rings), std::end(rings));
    EXPECT_EQ(rings[0], V({0, 1, 2}));
    EXPECT_EQ(rings[1], V({0, 2, 3}));

    // The triangle (0, 1, 2) cut again from 1 through an inner vertex to 0.
    const int c = m.AddVertex(0.7, 0.2, 0);
    ASSERT_TRUE(m.CutFaceFromEdges({1, c, 0}, true));
    EXPECT_TRUE(CheckMesh(m));
    m.GetNewFacesFrom(0, from);
    EXPECT_EQ(from.size(), 3u);
    for (int f : LiveFaces(m))
    {
        EXPECT_GT(VectorArea(m, f).z, 0.0);
        EXPECT_NE(std::find(from.begin(), from.end(), f), from.end()) << "face " << f << " lost its origin";
    }
    EXPECT_NEAR(TotalVectorArea(m).z, 1.0, 1e-12);
}

TEST(KorMeshEdit, OriginsSurviveCutsAndConcaveRepair)
{
    // Two successive cuts with tracks on, then a concave repair: every face
    // still names the square it came from.
    KorMesh m = UnitSquare();
    m.AddVertex(2, 0, 0);
    m.AddVertex(2, 1, 0);
    m.AddFace(4, 1, 4, 5, 2); // face 1, a second origin
    const int edge = m.GetEdgeBetween(m.GetVertex(1), m.GetVertex(2))->ID;
    const int mid = m.AddVertexOnEdge(edge, LumPoint(1, 0.5, 0), true);
    ASSERT_GE(mid, 0);
    // The left face is now (0, 1, mid, 2, 3): cut it from mid to 3, then from 0 to mid.
    ASSERT_TRUE(m.CutFaceFromEdges({mid, 3}, true));
    ASSERT_TRUE(m.CutFaceFromEdges({0, mid}, true));
    ASSERT_TRUE(m.ToConcaveMesh(LiveFaces(m), true));
    EXPECT_TRUE(CheckMesh(m));
    V left, right;
    m.GetNewFacesFrom(0, left);
    m.GetNewFacesFrom(1, right);
    EXPECT_EQ(left.size() + right.size(), static_cast<size_t>(m.GetNumberOfFaces()));
    double leftArea = 0.0, rightArea = 0.0;
    for (int f : left)
        leftArea += VectorArea(m, f).z;
    for (int f : right)
        rightArea += VectorArea(m, f).z;
    EXPECT_NEAR(leftArea, 1.0, 1e-12);
    EXPECT_NEAR(rightArea, 1.0, 1e-12);
}

TEST(KorMeshEdit, CutsThatCannotBeMadeChangeNothing)
{
    KorMesh m = UnitSquare();
    m.AddVertex(5, 5, 0); // 4, on no face
    EXPECT_FALSE(m.CutFaceFromEdges({0}, true));
    EXPECT_FALSE(m.CutFaceFromEdges({}, true));
    EXPECT_FALSE(m.CutFaceFromEdges({0, 4}, true));
    EXPECT_FALSE(m.CutFaceFromEdges({0, 99}, true));
    EXPECT_EQ(m.GetNumberOfFaces(), 1);
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2, 3}));
    V from;
    m.GetNewFacesFrom(0, from);
    EXPECT_TRUE(from.empty());
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshEdit, FacesAreCopiedWithSharedVerticesOnce)
{
    KorMesh source = TwoTriangles();
    KorMesh destination;
    destination.AddVertex(9, 9, 9);
    EXPECT_FALSE(source.CopyFacesToMesh({0, 7}, destination, true));
    EXPECT_EQ(destination.GetNumberOfVertices(), 1);
    EXPECT_EQ(destination.GetNumberOfFaces(), 0);

    ASSERT_TRUE(source.CopyFacesToMesh({0, 1}, destination, true));
    EXPECT_TRUE(CheckMesh(destination));
    EXPECT_EQ(destination.GetNumberOfVertices(), 5);
    EXPECT_EQ(destination.GetNumberOfFaces(), 2);
    // Source vertices 0..3 became 1..4, in identifier order.
    EXPECT_EQ(FaceVertexRing(destination, 0), V({1, 2, 3}));
    EXPECT_EQ(FaceVertexRing(destination, 1), V({1, 3, 4}));
    const KorEdge* shared = destination.GetEdgeBetween(destination.GetVertex(1), destination.GetVertex(3));
    ASSERT_NE(shared, nullptr);
    EXPECT_NE(shared->Face, -1);
    EXPECT_NE(destination.GetEdge(shared->Opp)->Face, -1);
    V from;
    destination.GetNewFacesFrom(1, from);
    EXPECT_EQ(from, V({1}));
    EXPECT_EQ(source.GetNumberOfVertices(), 4);
}

TEST(KorMeshEdit, FacesCopiedIntoTheirOwnMeshKeepTheirPositions)
{
    KorMesh m = TwoTriangles();
    ASSERT_TRUE(m.CopyFacesToMesh({0, 1}, m, false));
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfVertices(), 8);
    EXPECT_EQ(m.GetNumberOfFaces(), 4);
    for (int v = 0; v < 4; ++v)
    {
        EXPECT_EQ(m.GetVertex(v + 4)->X, m.GetVertex(v)->X);
        EXPECT_EQ(m.GetVertex(v + 4)->Y, m.GetVertex(v)->Y);
    }
    EXPECT_EQ(FaceVertexRing(m, 2), V({4, 5, 6}));
}
