#include "KorDelaunay.h"
#include "KorMesh.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using V = std::vector<int>;

namespace
{
/*
   c(2)
   |  \
   |   \             face 0 = (a, b, c), counter-clockwise seen from +z
   a(0)--b(1)
    \    |           face 1 asked as (a, b, d) or as (a, d, b)
      \  |
       d(3)
*/
KorMesh Kite()
{
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, -1, 0}});
}

std::string Captured()
{
    return testing::internal::GetCapturedStdout();
}
} // namespace

TEST(KorMeshFaces, FirstFaceKeepsTheGivenOrder)
{
    KorMesh m = Kite();
    ASSERT_EQ(m.AddFace(3, 0, 1, 2), 0);
    EXPECT_TRUE(CheckMesh(m));
    // Half-edges in creation order: 0 a->b, 1 b->a, 2 b->c, 3 c->b, 4 c->a, 5 a->c.
    EXPECT_EQ(m.GetFace(0)->Edge, 0);
    EXPECT_EQ(FaceEdgeRing(m, 0), V({0, 2, 4}));
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2}));
    EXPECT_EQ(m.GetEdge(1)->Face, -1);
    EXPECT_EQ(TurnRing(m, 0), V({5, 0}));
    ExpectPointNear(m.GetNormal(m.GetFace(0)), 0, 0, 1);

    // The same triangle given clockwise faces down.
    KorMesh cw = Kite();
    ASSERT_EQ(cw.AddFace(3, 0, 2, 1), 0);
    ExpectPointNear(cw.GetNormal(cw.GetFace(0)), 0, 0, -1);
}

// A face's points are its vertex ring's, in ring order, for a triangle
// (read directly) as for a polygon (through the ring); none for no face.
TEST(KorMeshFaces, FacePointsFollowTheVertexRing)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, -1, 0.5}, {0, -1, 0.25}});
    ASSERT_EQ(m.AddFace(3, 0, 1, 2), 0);
    ASSERT_EQ(m.AddFace(4, 1, 0, 4, 3), 1);
    std::vector<LumPoint> points;
    for (int id : {0, 1})
    {
        const V ring = FaceVertexRing(m, id);
        m.GetFacePoints(m.GetFace(id), points);
        ASSERT_EQ(points.size(), ring.size()) << "face " << id;
        for (size_t k = 0; k < ring.size(); ++k)
        {
            const KorVertex* v = m.GetVertex(ring[k]);
            EXPECT_EQ(points[k].x, v->X);
            EXPECT_EQ(points[k].y, v->Y);
            EXPECT_EQ(points[k].z, v->Z);
        }
    }
    m.GetFacePoints(nullptr, points);
    EXPECT_TRUE(points.empty());
}

TEST(KorMeshFaces, ANeighbourIsTurnedToMatchWhicheverWayItIsGiven)
{
    // Given against its neighbour: built on the twins, in reverse order.
    KorMesh against = Kite();
    against.AddFace(3, 0, 1, 2);
    ASSERT_EQ(against.AddFace(3, 0, 1, 3), 1); // new: 6 b->d, 7 d->b, 8 d->a, 9 a->d
    EXPECT_TRUE(CheckMesh(against));
    EXPECT_EQ(FaceEdgeRing(against, 1), V({9, 7, 1}));
    EXPECT_EQ(FaceVertexRing(against, 1), V({0, 3, 1}));
    EXPECT_EQ(against.GetEdge(6)->Face, -1);
    EXPECT_EQ(against.GetEdge(8)->Face, -1);
    EXPECT_EQ(TurnRing(against, 0), V({9, 0, 5}));
    EXPECT_EQ(TurnRing(against, 1), V({6, 1, 2}));

    // Given consistently: used as it is.
    KorMesh along = Kite();
    along.AddFace(3, 0, 1, 2);
    ASSERT_EQ(along.AddFace(3, 0, 3, 1), 1); // new: 6 a->d, 7 d->a, 8 d->b, 9 b->d
    EXPECT_TRUE(CheckMesh(along));
    EXPECT_EQ(FaceEdgeRing(along, 1), V({6, 8, 1}));
    EXPECT_EQ(FaceVertexRing(along, 1), V({0, 3, 1}));

    for (KorMesh* m : {&against, &along})
    {
        ExpectPointNear(m->GetNormal(m->GetFace(1)), 0, 0, 1);
        std::vector<KorFace*> faces;
        m->GetFacesAroundVertex(m->GetVertex(0), faces);
        EXPECT_EQ(faces.size(), 2u);
    }
}

TEST(KorMeshFaces, AFaceNeedingATakenTwinIsRefusedAndLeavesItsBorders)
{
    KorMesh m = Kite();
    m.AddFace(3, 0, 1, 2);
    m.AddFace(3, 0, 1, 3);
    const int e = m.AddVertex(0.5, 0.5, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddFace(3, 0, 1, e), -1);
    EXPECT_EQ(
        Captured(),
        "KorMesh::AddFace -> Impossible to add a face with edges that are already attached to a face\n");
    EXPECT_EQ(m.GetNumberOfFaces(), 2);
    EXPECT_EQ(m.GetNumberOfEdges(), 14);
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshFaces, RepeatedIdentifiersAreSkipped)
{
    for (const V& ids : {V{0, 1, 2, 0}, V{0, 1, 1, 2}, V{0, 0, 1, 2, 2}})
    {
        KorMesh m = Kite();
        ASSERT_EQ(m.AddFace(ids), 0);
        EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2}));
        EXPECT_EQ(m.GetNumberOfEdges(), 6);
        EXPECT_TRUE(CheckMesh(m));
    }
    KorMesh m = Kite();
    EXPECT_EQ(m.AddFace(4, 0, 1, 2, 3), 0);
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2, 3}));
    EXPECT_EQ(m.GetFaceVertex(m.GetFace(0), 4)->ID, 0);
    EXPECT_EQ(m.GetFaceVertex(m.GetFace(0), 2)->ID, 2);
    EXPECT_EQ(m.GetFaceEdge(m.GetFace(0), 5), m.GetFaceEdge(m.GetFace(0), 1));
}

TEST(KorMeshFaces, TooFewOrMissingVerticesAreRefused)
{
    KorMesh m = Kite();
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddFace(2, 0, 1), -1);
    EXPECT_EQ(m.AddFace(V{0, 1}), -1);
    const std::string few = "KorMesh::AddFace -> Impossible to add a face with less than 3 vertices\n";
    EXPECT_EQ(Captured(), few + few);

    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddFace(3, 9, 0, 1), -1);
    EXPECT_EQ(m.AddFace(3, 0, 1, 9), -1);
    EXPECT_EQ(Captured(), "");

    // Collapsing to two vertices leaves a ring of two half-edges.
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddFace(3, 0, 1, 0), -1);
    EXPECT_EQ(Captured(),
              "KorMesh::AddFace -> Impossible to add a face with a vector with less than 3 edges\n");
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_TRUE(CheckMesh(m));
}

// a - b - c - d - b - c - e: the walk would use b->c twice, and the loop
// c, d, b between the two visits would be cut off from the face.
TEST(KorMeshFaces, AFaceRunningTwiceAlongAnEdgeIsRefused)
{
    KorMesh m = Kite();
    m.AddVertex(2, 2, 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddFace(7, 0, 1, 2, 3, 1, 2, 4), -1);
    EXPECT_EQ(Captured(),
              "KorMesh::AddFace -> Impossible to add a face that runs twice along the same edge\n");
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_TRUE(CheckMesh(m));
}

//  b3 -- b4 -- b5        lineB = (3, 4, 5) at y = 1
//  |  \  |  \  |
//  a0 -- a1 -- a2        lineA = (0, 1, 2) at y = 0
TEST(KorMeshFaces, StripBetweenTwoLines)
{
    KorMesh m;
    for (int y = 0; y <= 1; ++y)
        for (int x = 0; x <= 2; ++x)
            m.AddVertex(x, y, 0);
    ASSERT_EQ(m.AddFacesAlongLines({0, 1, 2}, {3, 4, 5}), 1);
    EXPECT_TRUE(CheckMesh(m));
    ASSERT_EQ(m.GetNumberOfFaces(), 4);
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 3, 4}));
    EXPECT_EQ(FaceVertexRing(m, 1), V({0, 4, 1}));
    EXPECT_EQ(FaceVertexRing(m, 2), V({1, 4, 5}));
    EXPECT_EQ(FaceVertexRing(m, 3), V({1, 5, 2}));
    EXPECT_EQ(m.GetNumberOfEdges(), 18); // 9 pairs: V - E + F = 1, a disc
    for (int f = 0; f < 4; ++f)
        ExpectPointNear(m.GetNormal(m.GetFace(f)), 0, 0, -1);
}

TEST(KorMeshFaces, StripAgainstASinglePointIsAFan)
{
    //        b(4)
    //   a0  a1  a2  a3
    KorMesh m;
    for (int x = 0; x <= 3; ++x)
        m.AddVertex(x, 0, 0);
    m.AddVertex(1.5, 1, 0);
    ASSERT_EQ(m.AddFacesAlongLines({0, 1, 2, 3}, {4}), 1);
    EXPECT_EQ(m.GetNumberOfFaces(), 3);
    EXPECT_EQ(TurnRing(m, 4).size(), 4u);
    EXPECT_TRUE(CheckMesh(m));

    KorMesh n;
    n.AddVertex(1.5, 1, 0);
    for (int x = 0; x <= 2; ++x)
        n.AddVertex(x, 0, 0);
    ASSERT_EQ(n.AddFacesAlongLines({0}, {1, 2, 3}), 1);
    EXPECT_EQ(FaceVertexRing(n, 0), V({0, 1, 2}));
    EXPECT_EQ(FaceVertexRing(n, 1), V({0, 2, 3}));
    EXPECT_TRUE(CheckMesh(n));
}

TEST(KorMeshFaces, StripRefusesEmptyLinesAndMissingVertices)
{
    KorMesh m;
    for (int x = 0; x <= 3; ++x)
        m.AddVertex(x, x % 2, 0);
    EXPECT_EQ(m.AddFacesAlongLines({}, {0, 1}), -1);
    EXPECT_EQ(m.AddFacesAlongLines({0, 1}, {}), -1);
    EXPECT_EQ(m.AddFacesAlongLines({}, {}), -1);
    EXPECT_EQ(m.AddFacesAlongLines({0, 2}, {1, 9}), -1);
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_TRUE(CheckMesh(m));
}

TEST(KorMeshFaces, DeletingAFaceWithoutItsEdgesLeavesBorders)
{
    KorMesh m = Kite();
    m.AddFace(3, 0, 1, 2);
    m.AddFace(3, 0, 1, 3);
    m.DeleteFace(0, false);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfEdges(), 10);
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
    for (int h : {0, 2, 4})
    {
        EXPECT_EQ(m.GetEdge(h)->Face, -1);
        EXPECT_EQ(m.GetEdge(h)->Next, -1);
    }
    testing::internal::CaptureStdout();
    m.DeleteFace(0, false);
    EXPECT_EQ(Captured(), "KorMesh::DeleteFace -> Impossible to find the face to delete with ID 0\n");

    // Now every edge of face 1 is lonely: all three pairs go, and d with them;
    // a, b, c keep the border a-c-b.
    m.DeleteFace(1, true);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_EQ(m.GetNumberOfEdges(), 4);
    EXPECT_EQ(m.GetVertex(3), nullptr);
    EXPECT_EQ(TurnRing(m, 0), V({5}));
    EXPECT_EQ(TurnRing(m, 1), V({2}));
    // The oldest freed face slot comes back first.
    EXPECT_EQ(m.AddFace(3, 0, 2, 1), 0);
    EXPECT_TRUE(CheckMesh(m));
}

// The deletions take identifiers by reference; a field of the element being
// unlinked must still name the right one after the walk has reset it.
TEST(KorMeshFaces, DeletionsTakeFieldsOfTheElementsTheyReset)
{
    KorMesh m = Kite();
    m.AddFace(3, 0, 1, 2);
    m.AddFace(3, 0, 1, 3);
    m.DeleteFace(m.GetEdge(0)->Face, true);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 1);
    EXPECT_EQ(m.GetVertex(2), nullptr);
    m.DeleteEdge(m.GetVertex(0)->Edge, true);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_EQ(m.GetNumberOfEdges(), 4);
    m.DeleteVertex(m.GetEdge(m.GetVertex(1)->Edge)->Vertex);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetVertex(1), nullptr);
}

TEST(KorMeshFaces, NormalsOfTiltedAndDegenerateFacesAndFlipping)
{
    // The unit square lifted along z = x: normal (-1, 0, 1) / sqrt(2).
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 1}, {1, 1, 1}, {0, 1, 0}, {2, 0, 2}}, {{0, 1, 2, 3}});
    const double h = std::sqrt(0.5);
    ExpectPointNear(m.GetNormal(m.GetFace(0)), -h, 0, h, 1e-15);
    m.FlipFaces(true);
    ExpectPointNear(m.GetNormal(m.GetFace(0)), -h, 0, h, 1e-15); // kept
    // A collinear face stays null; a face computed after a flip is negated.
    KorMesh line = MeshOf({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {{0, 1, 2}});
    EXPECT_TRUE(line.GetNormal(line.GetFace(0)).IsNull());
    ExpectPointNear(line.GetNormal(static_cast<KorFace*>(nullptr)), 0, 0, 0);

    KorMesh flipped = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    flipped.FlipFaces(true);
    flipped.AddFace(3, 0, 1, 2);
    ExpectPointNear(flipped.GetNormal(flipped.GetFace(0)), 0, 0, -1);
}

TEST(KorMeshFaces, FaceTriangleTakesTheWidestFanTriangle)
{
    //  p3 (0, 1)
    //  |      p2 (1, 0.1)     fan triangles: (p0 p1 p2) area 0.05,
    //  p0 --- p1 (1, 0)                      (p0 p2 p3) area 0.5
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {1, 0.1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}});
    LumPoint a, b, c;
    m.GetFaceTriangle(m.GetFace(0), a, b, c);
    ExpectPointNear(a, 0, 0, 0);
    ExpectPointNear(b, 1, 0.1, 0);
    ExpectPointNear(c, 0, 1, 0);

    std::vector<LumPoint> points;
    m.GetFacePoints(m.GetFace(0), points);
    ASSERT_EQ(points.size(), 4u);
    ExpectPointNear(points[3], 0, 1, 0);
    EXPECT_TRUE(m.IsVertexOnFace(m.GetFace(0), 3));
    EXPECT_FALSE(m.IsVertexOnFace(m.GetFace(0), 4));
    EXPECT_FALSE(m.IsVertexOnFace(nullptr, 0));
    m.GetFacePoints(nullptr, points);
    EXPECT_TRUE(points.empty());
    EXPECT_EQ(m.GetFaceVertex(nullptr, 0), nullptr);
}

// The normals shared out among threads are those GetNormal gives vertex by
// vertex, bit for bit, on a surface large enough to be cut in ranges: a
// jittered 230 x 230 grid over a bumpy relief, triangulated, with a few
// given normals that must stay as they are.
TEST(KorMeshNormals, ComputedInRangesAsGetNormalGivesThem)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    KorMesh one;
    for (int i = 0; i < 230; ++i)
        for (int j = 0; j < 230; ++j)
        {
            const double x = i + jitter(random), y = j + jitter(random);
            one.AddVertex(LumPoint(x, y, std::sin(x / 7.0) * std::cos(y / 5.0)));
        }
    Delaunay2D(one);
    for (int id = 0; id < one.GetVertexVectorSize(); id += 997)
    {
        one.GetVertex(id)->Normal = LumPoint(0, 0, 2);
        one.GetVertex(id)->NormalGiven = true;
    }
    KorMesh ranges = one;
    ranges.ComputeNormals(4);
    const auto same = [](const LumPoint& a, const LumPoint& b)
    { return a.x == b.x && a.y == b.y && a.z == b.z; };
    std::vector<KorFace*> around;
    for (int id = 0; id < one.GetVertexVectorSize(); ++id)
    {
        KorVertex* v = one.GetVertex(id);
        // The mean over the faces around, in the order of their walk.
        one.GetFacesAroundVertex(v, around);
        LumPoint mean;
        for (KorFace* f : around)
            mean += one.GetNormal(f);
        if (around.size() > 1)
            mean /= static_cast<double>(around.size());
        const LumPoint expected = v->NormalGiven ? LumPoint(0, 0, 2) : mean;
        ASSERT_TRUE(same(one.GetNormal(v), expected)) << "vertex " << id;
        ASSERT_TRUE(same(ranges.GetVertex(id)->Normal, expected)) << "vertex " << id;
    }
    for (int id = 0; id < one.GetFaceVectorSize(); ++id)
    {
        ASSERT_TRUE(same(one.GetFace(id)->Normal, ranges.GetFace(id)->Normal)) << "face " << id;
        // Counter-clockwise from above, over a gentle relief.
        EXPECT_GT(ranges.GetFace(id)->Normal.z, 0.0) << "face " << id;
    }
}
