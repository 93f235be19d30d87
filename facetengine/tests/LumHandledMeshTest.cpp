#include "LumHandledMesh.h"
#include "KorHashTable.h"
#include "KorMesh.h"
#include "TestMeshes.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <numeric>

namespace
{
// The arrays stay in step: every triangle index names a render vertex, and
// the faces' sizes account for exactly the triangles in the list.
void ExpectArraysInStep(const LumHandledMesh& h)
{
    const auto& triangles = h.GetTriangles();
    ASSERT_EQ(triangles.size(), 3u * h.GetNumberOfTriangles());
    for (int32_t index : triangles)
    {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, h.GetNumberOfVertices());
    }
    long fanTriangles = 0;
    for (int32_t size : h.GetFaceSizes())
    {
        ASSERT_GE(size, 3);
        fanTriangles += size - 2;
    }
    EXPECT_EQ(fanTriangles, h.GetNumberOfTriangles());
}
} // namespace

TEST(LumHandledMesh, FreeVertexSlotsMapToMinusOneAndCannotBeChanged)
{
    KorMesh mesh;
    for (int i = 0; i < 5; ++i)
        mesh.AddVertex(i, 2.0 * i, 0.0);
    mesh.AddFace(3, 0, 2, 4);
    mesh.DeleteVertex(1);
    mesh.DeleteVertex(3);

    LumHandledMesh h(nullptr, "layer");
    h.CreateFromKorMesh(mesh);
    EXPECT_EQ(h.GetNumberOfVertices(), 3);
    EXPECT_EQ(h.GetVertexMap(), (std::vector<int32_t>{0, -1, 1, -1, 2}));
    EXPECT_EQ(h.GetTriangles(), (std::vector<int32_t>{0, 1, 2}));
    ExpectArraysInStep(h);

    for (int id : {1, 3, -1, 5, 1000})
    {
        EXPECT_EQ(h.ChangeVertex(id, LumPoint(9, 9, 9)), -1) << id;
        EXPECT_EQ(h.ChangeTextureVertex(id, LumPoint(9, 9, 9)), -1) << id;
    }
    EXPECT_EQ(h.ChangeVertex(4, LumPoint(7, 8, 9)), 2);
    EXPECT_EQ(h.GetVertices()[2].Position.y, 8.0);
    EXPECT_EQ(h.ChangeTextureVertex(2, LumPoint(0.5, 0.25, 0)), 1);
    EXPECT_EQ(h.GetVertices()[1].Texture.x, 0.5);
}

TEST(LumHandledMesh, PolygonsBecomeFansWithOneSizePerFace)
{
    KorMesh mesh;
    BuildUnitCube(mesh);
    // A 300-corner polygon: more corners than a byte can count.
    const int first = mesh.GetVertexVectorSize();
    std::vector<int> ring;
    for (int i = 0; i < 300; ++i)
    {
        const double a = 2.0 * 3.14159265358979 * i / 300.0;
        ring.push_back(mesh.AddVertex(5.0 + std::cos(a), std::sin(a), 0.0));
    }
    ASSERT_GE(mesh.AddFace(ring), 0);

    LumHandledMesh h(nullptr, "cube");
    h.CreateFromKorMesh(mesh);
    EXPECT_EQ(h.GetFaceSizes(), (std::vector<int32_t>{4, 4, 4, 4, 4, 4, 300}));
    EXPECT_EQ(h.GetNumberOfTriangles(), 12 + 298);
    ExpectArraysInStep(h);
    // The fan of the cube's first ring (0, 2, 3, 1): (0, 2, 3), (0, 3, 1).
    EXPECT_EQ(std::vector<int32_t>(h.GetTriangles().begin(), h.GetTriangles().begin() + 6),
              (std::vector<int32_t>{0, 2, 3, 0, 3, 1}));
    // Unit face normals, outward: the bottom's is -z.
    EXPECT_NEAR(h.GetFaceNormals()[0].z, -1.0, 1e-12);
    EXPECT_EQ(h.GetTriangles()[3 * 12], first);

    const BoundingBox& box = h.GetBoundingBox();
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.Min.x, 0.0);
    EXPECT_EQ(box.Max.x, 6.0);
    EXPECT_EQ(box.Max.z, 1.0);

    // A rebuild replaces everything and drops the cached box.
    KorMesh empty;
    h.CreateFromKorMesh(empty);
    EXPECT_EQ(h.GetNumberOfVertices(), 0);
    EXPECT_EQ(h.GetNumberOfTriangles(), 0);
    EXPECT_TRUE(h.GetFaceSizes().empty());
    EXPECT_TRUE(h.GetBoundingBox().IsEmpty());
}

TEST(LumHandledMesh, BrokenCornersDropTheirTrianglesButKeepTheWalksInStep)
{
    // A pentagon whose third corner's half-edge has lost its origin: the
    // fan triangles through that corner are left out, and the face size
    // counts the triangles pushed (2 of 3), not the corners walked.
    KorMesh mesh;
    for (int i = 0; i < 5; ++i)
        mesh.AddVertex(std::cos(1.2566 * i), std::sin(1.2566 * i), 0.0);
    const int face = mesh.AddFace(5, 0, 1, 2, 3, 4);
    ASSERT_GE(face, 0);
    mesh.AddFace(3, 0, 4, 3); // fine triangle sharing a side
    mesh.GetFaceEdge(mesh.GetFace(face), 2)->Vertex = -1;

    LumHandledMesh h(nullptr, "broken");
    h.CreateFromKorMesh(mesh);
    ExpectArraysInStep(h);
    EXPECT_EQ(h.GetFaceSizes(), (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(h.GetTriangles(), (std::vector<int32_t>{0, 3, 4, 0, 4, 3}));
}

TEST(LumHandledMesh, CopiesOwnTheirArraysAndTheExportHasAPlainName)
{
    KorMesh mesh;
    BuildTetrahedron(mesh, 1.0, 2.0, 3.0);
    LumHandledMesh h(nullptr, "tetra");
    h.CreateFromKorMesh(mesh);

    KorHashTable scene;
    scene.AddElement(&h);
    {
        LumHandledMesh copy(h);
        EXPECT_EQ(copy.GetName(), "tetra");
        EXPECT_EQ(copy.GetTriangles(), h.GetTriangles());
        copy.ChangeVertex(0, LumPoint(5, 5, 5));
        EXPECT_EQ(h.GetVertices()[0].Position.x, 0.0);
        EXPECT_EQ(scene.GetNumberOfWords(), 1u); // the copy is in no dictionary
    }
    EXPECT_EQ(scene.Search("tetra"), &h);

    using Factory = LumHandledMesh* (*)();
    auto factory = reinterpret_cast<Factory>(dlsym(RTLD_DEFAULT, "LumHandledMesh_New"));
    ASSERT_NE(factory, nullptr);
    std::unique_ptr<LumHandledMesh> made(factory());
    EXPECT_EQ(made->GetName(), "LumHandledMesh");
    EXPECT_EQ(made->GetDevice(), nullptr);
    EXPECT_EQ(made->GetNumberOfVertices(), 0);
    EXPECT_TRUE(made->GetBoundingBox().IsEmpty());
}
