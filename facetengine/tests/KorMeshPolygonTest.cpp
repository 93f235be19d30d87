#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>

using V = std::vector<int>;

namespace
{
void AddSides(KorMesh& m, const V& ids)
{
    for (size_t i = 0; i < ids.size(); ++i)
        m.AddEdge(m.GetVertex(ids[i]), m.GetVertex(ids[(i + 1) % ids.size()]));
}

/*
  3(0,4) ---------- 2(4,4)
   |  7(1,3) -- 6(3,3) |
   |   |          |    |     face 0 = (0, 1, 2, 3); polygon (4, 5, 6, 7);
   |  4(1,1) -- 5(3,1) |     with a neighbour: triangle (1, 8, 2) on side 1-2
  0(0,0) ---------- 1(4,0)  8(6,2)
*/
KorMesh FramedSquare(bool neighbour)
{
    KorMesh m;
    for (auto [x, y] : {std::pair{0, 0}, {4, 0}, {4, 4}, {0, 4}, {1, 1}, {3, 1}, {3, 3}, {1, 3}, {6, 2}})
        m.AddVertex(x, y, 0);
    m.AddFace(4, 0, 1, 2, 3);
    if (neighbour)
        m.AddFace(3, 1, 8, 2);
    return m;
}
} // namespace

TEST(KorMeshPolygon, CrossingOfABowTieIsFoundOnItsTwoCrossingSides)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}});
    LumPoint point;
    int a = 7, b = 7;
    // Without half-edges the crossing is found but cannot be named.
    EXPECT_FALSE(m.GetIntersectionPointOfPolygon({0, 1, 2, 3}, point, a, b));
    EXPECT_EQ(a, -1);

    AddSides(m, {0, 1, 2, 3});
    ASSERT_TRUE(m.GetIntersectionPointOfPolygon({0, 1, 2, 3}, point, a, b));
    ExpectPointNear(point, 0.5, 0.5, 0.0, 1e-6);
    EXPECT_EQ(a, m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(1))->ID);
    EXPECT_EQ(b, m.GetEdgeBetween(m.GetVertex(2), m.GetVertex(3))->ID);

    // The same four points as a convex ring: no crossing, both edges -1.
    AddSides(m, {0, 2, 1, 3});
    EXPECT_FALSE(m.GetIntersectionPointOfPolygon({0, 2, 1, 3}, point, a, b));
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, -1);
    // A missing vertex.
    EXPECT_FALSE(m.GetIntersectionPointOfPolygon({0, 1, 2, 99}, point, a, b));
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshPolygon, AConcaveSimplePolygonDoesNotCross)
{
    // A dart: side 2-3 points at side 0-1 but stops short of it.
    KorMesh m = MeshOf({{0, 0, 0}, {2, 0, 0}, {1, 1, 0}, {1, 3, 0}});
    AddSides(m, {0, 1, 2, 3});
    LumPoint point;
    int a, b;
    EXPECT_FALSE(m.GetIntersectionPointOfPolygon({0, 1, 2, 3}, point, a, b));
}

TEST(KorMeshPolygon, PolygonCutIntoAFaceMakesBandsAroundIt)
{
    KorMesh m = FramedSquare(true);
    const LumPoint before = TotalVectorArea(m);
    const int inner = m.CutPolygonIntoFace(m.GetFace(0), {4, 5, 6, 7});
    ASSERT_GE(inner, 0);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 6); // neighbour, four bands, inner square
    std::vector<int> ring = FaceVertexRing(m, inner);
    std::sort(ring.begin(), ring.end());
    EXPECT_EQ(ring, V({4, 5, 6, 7}));
    int bands = 0;
    for (int f : LiveFaces(m))
    {
        // Every face turns the way of the square it replaced.
        EXPECT_GT(VectorArea(m, f).z, 0.0) << "face " << f;
        if (f != inner && FaceVertexRing(m, f).size() == 4)
            ++bands;
    }
    EXPECT_EQ(bands, 4);
    ExpectPointNear(TotalVectorArea(m), before.x, before.y, before.z, 1e-9);
    ExpectPointNear(VectorArea(m, inner), 0, 0, 4, 1e-9);
}

// A small loop far from the corners of its triangle, two of which are
// nearest to one loop point: the bands still turn with the face, and the
// face keeps its area, split between the loop and the bands.
TEST(KorMeshPolygon, SmallLoopFarFromTheCornersIsCut)
{
    KorMesh m = MeshOf({{0, 0, 0},
                        {10, 0, 0},
                        {0, 10, 0},
                        {10, 10, 0},
                        {3.092, 3.039, 0},
                        {2.916, 2.946, 0},
                        {2.953, 2.912, 0},
                        {3.005, 2.9, 0}},
                       {{0, 1, 2}, {1, 3, 2}});
    const int inner = m.CutPolygonIntoFace(m.GetFace(0), {4, 5, 6, 7});
    ASSERT_GE(inner, 0);
    EXPECT_TRUE(CheckMesh(m));
    for (int f : LiveFaces(m))
        EXPECT_GT(VectorArea(m, f).z, 0.0) << "face " << f;
    ExpectPointNear(TotalVectorArea(m), 0, 0, 100, 1e-9);
}

TEST(KorMeshPolygon, PolygonCutIsRefusedBeforeAnyChange)
{
    // No face borders the square: nowhere to start the bands.
    KorMesh lone = FramedSquare(false);
    EXPECT_EQ(lone.CutPolygonIntoFace(lone.GetFace(0), {4, 5, 6, 7}), -1);
    EXPECT_EQ(FaceVertexRing(lone, 0), V({0, 1, 2, 3}));

    // Fewer than three polygon vertices, a null face, a missing vertex.
    KorMesh m = FramedSquare(true);
    EXPECT_EQ(m.CutPolygonIntoFace(m.GetFace(0), {4, 5}), -1);
    EXPECT_EQ(m.CutPolygonIntoFace(m.GetFace(0), {}), -1);
    EXPECT_EQ(m.CutPolygonIntoFace(nullptr, {4, 5, 6, 7}), -1);
    EXPECT_EQ(m.CutPolygonIntoFace(m.GetFace(0), {4, 5, 99}), -1);
    EXPECT_EQ(m.GetNumberOfFaces(), 2);
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2, 3}));
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshPolygon, TriangulationFansEachLargerFace)
{
    KorMesh m;
    // A convex pentagon and a triangle beside it.
    for (auto [x, y] : {std::pair{0.0, 0.0}, {2.0, 0.0}, {3.0, 1.5}, {1.0, 3.0}, {-1.0, 1.5}, {2.0, -2.0}})
        m.AddVertex(x, y, 0);
    m.AddFace(5, 0, 1, 2, 3, 4);
    m.AddFace(3, 0, 5, 1);
    const LumPoint before = TotalVectorArea(m);
    EXPECT_TRUE(m.TriangulateMesh());
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 4);
    for (int f : LiveFaces(m))
    {
        EXPECT_EQ(FaceVertexRing(m, f).size(), 3u);
        EXPECT_GT(VectorArea(m, f).z, 0.0);
    }
    ExpectPointNear(TotalVectorArea(m), before.x, before.y, before.z, 1e-9);
    // The first triangle took the pentagon's freed identifier.
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2}));

    // A mesh of triangles is left as it is.
    std::vector<V> rings;
    for (int f : LiveFaces(m))
        rings.push_back(FaceVertexRing(m, f));
    EXPECT_TRUE(m.TriangulateMesh());
    std::vector<V> after;
    for (int f : LiveFaces(m))
        after.push_back(FaceVertexRing(m, f));
    EXPECT_EQ(rings, after);
}
