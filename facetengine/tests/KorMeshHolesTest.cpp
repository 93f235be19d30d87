#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

using V = std::vector<int>;

namespace
{
// An axis-aligned box from (x, 0, 0) to (x + 1, 1, 1), its squares turning
// counter-clockwise seen from outside; withBottom false leaves z = 0 open.
void AddBox(KorMesh& m, double x, bool withBottom)
{
    const int b = m.GetVertexVectorSize();
    for (int k = 0; k < 8; ++k)
        m.AddVertex(x + (k & 1), (k >> 1) & 1, (k >> 2) & 1);
    // Corner k has x = bit 0, y = bit 1, z = bit 2.
    m.AddFace(4, b + 4, b + 5, b + 7, b + 6); // top
    m.AddFace(4, b + 0, b + 1, b + 5, b + 4); // y = 0
    m.AddFace(4, b + 1, b + 3, b + 7, b + 5); // x = 1
    m.AddFace(4, b + 3, b + 2, b + 6, b + 7); // y = 1
    m.AddFace(4, b + 2, b + 0, b + 4, b + 6); // x = 0
    if (withBottom)
        m.AddFace(4, b + 0, b + 2, b + 3, b + 1);
}
} // namespace

TEST(KorMeshHoles, OpenBoxIsClosedByItsMissingSide)
{
    KorMesh m;
    AddBox(m, 0.0, false);
    EXPECT_FALSE(m.IsClosed());
    ExpectPointNear(TotalVectorArea(m), 0, 0, 1, 1e-12); // the hole's area, seen from below
    ASSERT_TRUE(m.CloseMesh());
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_TRUE(m.IsClosed());
    ExpectPointNear(TotalVectorArea(m), 0, 0, 0, 1e-12);
    double bottom = 0.0;
    for (int f = 5; f < m.GetFaceVectorSize(); ++f)
        if (m.GetFace(f))
            bottom += VectorArea(m, f).z;
    EXPECT_NEAR(bottom, -1.0, 1e-12); // facing down, out of the box
    // Nothing left to close.
    const int faces = m.GetNumberOfFaces();
    EXPECT_TRUE(m.CloseMesh());
    EXPECT_EQ(m.GetNumberOfFaces(), faces);
}

TEST(KorMeshHoles, ClosedMeshesAreLeftAlone)
{
    KorMesh tetra =
        MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}});
    EXPECT_TRUE(CheckMesh(tetra));
    EXPECT_TRUE(tetra.IsClosed());
    EXPECT_TRUE(tetra.CloseMesh());
    EXPECT_EQ(tetra.GetNumberOfFaces(), 4);

    // Only the piece of the first face is looked at.
    KorMesh pieces;
    AddBox(pieces, 0.0, true);
    AddBox(pieces, 2.0, true);
    AddBox(pieces, 4.0, false);
    EXPECT_TRUE(pieces.IsClosed());

    KorMesh points;
    points.AddVertex(0, 0, 0);
    points.AddVertex(1, 0, 0);
    EXPECT_FALSE(points.IsClosed());
    EXPECT_TRUE(points.CloseMesh());
    EXPECT_EQ(points.GetNumberOfFaces(), 0);
}

TEST(KorMeshHoles, HoleWalkGoesRoundAgainstItsBorder)
{
    KorMesh m;
    AddBox(m, 0.0, false);
    // The y = 0 square runs along 0 -> 1; its twin borders the hole.
    const KorEdge* faced = m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(1));
    ASSERT_NE(faced->Face, -1);
    std::vector<KorEdge*> out{nullptr};
    EXPECT_FALSE(m.GetEdgesAlongHole(m.GetEdge(faced->ID), out));
    EXPECT_EQ(out.size(), 1u);
    EXPECT_FALSE(m.GetEdgesAlongHole(nullptr, out));

    KorEdge* start = m.GetEdge(faced->Opp); // 1 -> 0, no face
    ASSERT_EQ(start->Face, -1);
    ASSERT_TRUE(m.GetEdgesAlongHole(start, out));
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out.front(), start);
    EXPECT_EQ(out.back(), start);
    V origins;
    for (const KorEdge* e : out)
    {
        EXPECT_EQ(e->Face, -1);
        origins.push_back(e->Vertex);
    }
    // From 1 -> 0 the walk takes the border half-edge arriving at 1.
    EXPECT_EQ(origins, V({1, 3, 2, 0, 1}));
}

TEST(KorMeshHoles, FacesOfNoAreaAreFound)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}});
    EXPECT_FALSE(m.ContainsNULLSurface());
    m.AddFace(3, 0, 1, 3);
    EXPECT_FALSE(m.ContainsNULLSurface());
    m.AddFace(3, 0, 2, 1); // collinear
    EXPECT_TRUE(m.ContainsNULLSurface());
}

TEST(KorMeshHoles, AHoleThatCannotBeWalkedStopsTheClosing)
{
    // A lone edge borders nothing on either side: no walk round it.
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}});
    m.AddEdge(m.GetVertex(0), m.GetVertex(1));
    std::vector<KorEdge*> out;
    EXPECT_FALSE(m.GetEdgesAlongHole(m.GetEdge(0), out));
    EXPECT_FALSE(m.CloseMesh());
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_TRUE(CheckMesh(m));
}
