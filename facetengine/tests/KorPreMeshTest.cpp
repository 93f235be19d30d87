#include "KorPreMesh.h"
#include "IOTestHelpers.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{
// Points of a unit square and one more corner:
//   3 --- 2
//   |   / |
//   | /   |
//   0 --- 1      4 at (5, 5, 0), 5 at (6, 5, 0), 6 at (5, 6, 0)
KorPreMesh SquarePoints()
{
    KorPreMesh pre;
    for (const LumPoint& p : {LumPoint(0, 0, 0), LumPoint(1, 0, 0), LumPoint(1, 1, 0), LumPoint(0, 1, 0),
                              LumPoint(5, 5, 0), LumPoint(6, 5, 0), LumPoint(5, 6, 0)})
        pre.AddVertex(p);
    return pre;
}

bool SameCycle(std::vector<int> ring, const std::vector<int>& expected)
{
    for (size_t k = 0; k < ring.size(); ++k)
    {
        if (ring == expected)
            return true;
        std::rotate(ring.begin(), ring.begin() + 1, ring.end());
    }
    return false;
}
} // namespace

TEST(KorPreMesh, FacesRunConsistentlyWithTheirNeighbours)
{
    KorPreMesh consistent = SquarePoints();
    consistent.AddPreFace(0, 1, 2, -1);
    consistent.AddPreFace(0, 2, 3, -1);
    KorMesh a;
    EXPECT_TRUE(consistent.ConvertToKorMesh(a));
    EXPECT_TRUE(CheckMesh(a));
    EXPECT_TRUE(SameCycle(FaceVertexRing(a, 0), {0, 1, 2}));
    EXPECT_TRUE(SameCycle(FaceVertexRing(a, 1), {0, 2, 3}));

    // The second triangle walks the shared edge the same way as the first:
    // it is built reversed.
    KorPreMesh reversed = SquarePoints();
    reversed.AddPreFace(0, 1, 2, -1);
    reversed.AddPreFace(0, 3, 2, -1);
    KorMesh b;
    EXPECT_TRUE(reversed.ConvertToKorMesh(b));
    EXPECT_TRUE(CheckMesh(b));
    EXPECT_TRUE(SameCycle(FaceVertexRing(b, 1), {0, 2, 3}));
    EXPECT_EQ(FanTriangles(a), FanTriangles(b));
}

TEST(KorPreMesh, GroupsFollowSharedEdgesNotSharedVertices)
{
    KorPreMesh pre = SquarePoints();
    pre.AddPreFace(0, 1, 2, -1);
    pre.AddPreFace(4, 5, 6, -1); // another group
    pre.AddPreFace(0, 2, 3, -1); // joins the first through edge 0-2
    pre.AddPreFace(2, 4, 6, -1); // joins the second group through edge 4-6

    KorMesh whole;
    EXPECT_TRUE(pre.ConvertToKorMesh(whole));
    EXPECT_TRUE(CheckMesh(whole));
    // Group order: the first face, its neighbour, then the second group.
    EXPECT_EQ(whole.GetNumberOfFaces(), 4);
    EXPECT_TRUE(SameCycle(FaceVertexRing(whole, 1), {0, 2, 3}));
    EXPECT_TRUE(SameCycle(FaceVertexRing(whole, 2), {4, 5, 6}));

    KorPreMesh twoGroups = SquarePoints();
    twoGroups.AddPreFace(0, 1, 2, -1);
    twoGroups.AddPreFace(2, 4, 5, -1); // only vertex 2 in common
    std::vector<KorMesh> meshes(1);    // the vector is appended to
    EXPECT_TRUE(twoGroups.ConvertToKorMeshes(meshes));
    ASSERT_EQ(meshes.size(), 3u);
    for (size_t k = 1; k < 3; ++k)
    {
        EXPECT_EQ(meshes[k].GetNumberOfVertices(), 3);
        EXPECT_EQ(meshes[k].GetNumberOfFaces(), 1);
        EXPECT_TRUE(CheckMesh(meshes[k]));
    }
    // Vertices numbered from 0 in order of first use.
    const KorVertex* first = meshes[2].GetVertex(0);
    const KorVertex* second = meshes[2].GetVertex(1);
    ExpectPointNear(LumPoint(first->X, first->Y, first->Z), 1, 1, 0);
    ExpectPointNear(LumPoint(second->X, second->Y, second->Z), 5, 5, 0);

    KorMesh one;
    EXPECT_TRUE(twoGroups.ConvertToKorMesh(one)); // every pre-face already added
    EXPECT_EQ(one.GetNumberOfFaces(), 0);
    EXPECT_EQ(one.GetNumberOfVertices(), 7);
}

TEST(KorPreMesh, UnusedPointsAndEmptyPreMeshes)
{
    KorPreMesh pre = SquarePoints();
    pre.AddPreFace(0, 1, 2, -1);
    KorMesh mesh;
    mesh.AddVertex(9, 9, 9);
    EXPECT_TRUE(pre.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfVertices(), 7); // the old vertex is gone
    ExpectPointNear(LumPoint(mesh.GetVertex(6)->X, mesh.GetVertex(6)->Y, mesh.GetVertex(6)->Z), 5, 6, 0);

    KorPreMesh again = SquarePoints();
    again.AddPreFace(0, 1, 2, -1);
    std::vector<KorMesh> meshes;
    EXPECT_TRUE(again.ConvertToKorMeshes(meshes));
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].GetNumberOfVertices(), 3);

    KorPreMesh noFace = SquarePoints();
    EXPECT_TRUE(noFace.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfVertices(), 0);
    EXPECT_TRUE(noFace.ConvertToKorMeshes(meshes));
    EXPECT_EQ(meshes.size(), 1u);
}

TEST(KorPreMesh, QuadrilateralsAndRefusedFaces)
{
    KorPreMesh pre = SquarePoints();
    EXPECT_EQ(pre.AddPreFace(4, 5, 6, -1), 0);
    EXPECT_EQ(pre.AddPreFace(4, 5, 6, 0), 1);
    EXPECT_EQ(pre.GetPreFaces()[0].Indices, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(pre.GetPreFaces()[1].Indices, (std::vector<int>{4, 5, 6, 0}));

    // A one-index pre-face is refused by AddFace; the other faces stay.
    KorPreMesh lonely = SquarePoints();
    lonely.AddPreFace(std::vector<int>{3});
    lonely.AddPreFace(0, 1, 2, -1);
    KorMesh mesh;
    EXPECT_FALSE(lonely.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 1);

    // An index with no point: a missing vertex for the whole mesh, a range
    // error for the per-group meshes.
    KorPreMesh beyond = SquarePoints();
    beyond.AddPreFace(0, 1, 70, -1);
    beyond.AddPreFace(0, -3, 1, -1);
    EXPECT_FALSE(beyond.ConvertToKorMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 0);
    KorPreMesh beyond2 = SquarePoints();
    beyond2.AddPreFace(0, 1, 70, -1);
    std::vector<KorMesh> meshes;
    EXPECT_THROW(beyond2.ConvertToKorMeshes(meshes), std::out_of_range);

    KorPreMesh empty = SquarePoints();
    empty.AddPreFace(std::vector<int>{});
    EXPECT_THROW(empty.ConvertToKorMesh(mesh), std::out_of_range);
}

TEST(KorPreMesh, ScrambledSoupBecomesOneConsistentSurface)
{
    // An n x n grid of squares split into triangles, listed in a scrambled
    // order with every other triangle reversed: the growth must still add
    // each face next to one already there, so the result is one consistently
    // oriented surface with the grid's area and only the outer border open.
    const int n = 12;
    KorPreMesh pre;
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
            pre.AddVertex(LumPoint(i, j, 0.1 * i * j));
    std::vector<std::array<int, 3>> tris;
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 2, d = a + n + 1;
            tris.push_back({a, b, c});
            tris.push_back({a, d, c}); // reversed
        }
    for (size_t k = 0; k < tris.size(); ++k)
    {
        const auto& t = tris[(k * 37) % tris.size()];
        pre.AddPreFace(t[0], t[1], t[2], -1);
    }
    KorMesh mesh;
    EXPECT_TRUE(pre.ConvertToKorMesh(mesh));
    EXPECT_TRUE(CheckMesh(mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2 * n * n);
    EXPECT_EQ(BorderHalfEdges(mesh), 4 * n);
    // All normals on one side of the surface z = 0.1 x y.
    int up = 0;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id))
            up += mesh.GetNormal(f).z > 0 ? 1 : -1;
    EXPECT_EQ(std::abs(up), 2 * n * n);

    std::vector<KorMesh> meshes;
    EXPECT_TRUE(pre.ConvertToKorMeshes(meshes)); // every face already added
    EXPECT_TRUE(meshes.empty());
}

TEST(KorPreMesh, TriangleSoupGivesOneMeshPerTriangle)
{
    const int count = 5000;
    KorPreMesh pre;
    for (int k = 0; k < count; ++k)
    {
        const int a = pre.AddVertex(LumPoint(2.0 * k, 0, 0));
        pre.AddVertex(LumPoint(2.0 * k + 1, 0, 0));
        pre.AddVertex(LumPoint(2.0 * k, 1, 0));
        pre.AddPreFace(a, a + 1, a + 2, -1);
    }
    std::vector<KorMesh> meshes;
    EXPECT_TRUE(pre.ConvertToKorMeshes(meshes));
    ASSERT_EQ(meshes.size(), static_cast<size_t>(count));
    EXPECT_EQ(meshes.back().GetNumberOfVertices(), 3);
    EXPECT_DOUBLE_EQ(meshes.back().GetVertex(0)->X, 2.0 * (count - 1));
}
