#include "KorMesh.h"
#include "LumTree.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using V = std::vector<int>;

namespace
{
//        v2
//        |
//  v3 -- v0 -- v1        spokes added in the order v1, v2, v3
KorMesh Star()
{
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}});
}
} // namespace

TEST(KorMeshEdges, TurnRingsRunFromTheNewestEdgeInInsertionOrder)
{
    KorMesh m = Star();
    EXPECT_EQ(m.AddEdge(m.GetVertex(0), m.GetVertex(1)), 0); // h0 v0->v1, h1 v1->v0
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(TurnRing(m, 0), V({0}));
    EXPECT_EQ(TurnRing(m, 1), V({1}));
    EXPECT_EQ(m.AddEdge(m.GetVertex(0), m.GetVertex(2)), 2); // h2, h3
    EXPECT_EQ(TurnRing(m, 0), V({2, 0}));
    EXPECT_EQ(m.AddEdge(m.GetVertex(0), m.GetVertex(3)), 4); // h4, h5
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetVertex(0)->Edge, 4);
    EXPECT_EQ(TurnRing(m, 0), V({4, 0, 2}));
    EXPECT_EQ(m.GetEdge(5)->Opp, 4);
    EXPECT_EQ(m.GetEdge(5)->Vertex, 3);

    // Existing pairs are found, in either direction, and nothing is added.
    EXPECT_EQ(m.AddEdge(m.GetVertex(0), m.GetVertex(1)), 0);
    EXPECT_EQ(m.AddEdge(m.GetVertex(1), m.GetVertex(0)), 1);
    EXPECT_EQ(m.GetNumberOfEdges(), 6);
    EXPECT_EQ(m.GetEdgeBetween(m.GetVertex(2), m.GetVertex(0))->ID, 3);
    EXPECT_EQ(m.GetEdgeBetween(m.GetVertex(1), m.GetVertex(2)), nullptr);
    EXPECT_EQ(m.GetEdgeBetween(nullptr, m.GetVertex(2)), nullptr);

    int from = -1, to = -1;
    ASSERT_TRUE(m.GetEdgePoints(m.GetEdge(5), from, to));
    EXPECT_EQ(from, 3);
    EXPECT_EQ(to, 0);
    LumPoint p, q;
    ASSERT_TRUE(m.GetEdgePoints(m.GetEdge(2), p, q));
    ExpectPointNear(q, 0, 1, 0);
    EXPECT_FALSE(m.GetEdgePoints(nullptr, p, q));
}

TEST(KorMeshEdges, RefusedEdgesReturnZero)
{
    KorMesh m = Star();
    testing::internal::CaptureStdout();
    EXPECT_EQ(m.AddEdge(m.GetVertex(2), m.GetVertex(2)), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorMesh::AddEdge -> Impossible to add an edge, the vertices are the same : 2\n");
    EXPECT_EQ(m.AddEdge(nullptr, m.GetVertex(2)), 0);
    EXPECT_EQ(m.GetNumberOfEdges(), 0);
}

TEST(KorMeshEdges, DeletingTheNewestEdgeHandsTheVertexToItsPredecessor)
{
    KorMesh m = Star();
    for (int v : {1, 2, 3})
        m.AddEdge(m.GetVertex(0), m.GetVertex(v));
    m.DeleteEdge(4, false);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetVertex(0)->Edge, 2);
    EXPECT_EQ(TurnRing(m, 0), V({2, 0}));
    ASSERT_NE(m.GetVertex(3), nullptr);
    EXPECT_EQ(m.GetVertex(3)->Edge, -1);

    // The twin's slot was freed first, so it is reused first.
    EXPECT_EQ(m.AddEdge(m.GetVertex(0), m.GetVertex(3)), 5);
    EXPECT_EQ(m.GetEdge(4)->Vertex, 3);
    EXPECT_EQ(TurnRing(m, 0), V({5, 0, 2}));
    EXPECT_TRUE(CheckMesh(m));

    // Deleting from the middle of a ring keeps the vertex's Edge.
    m.DeleteEdge(0, false);
    EXPECT_EQ(TurnRing(m, 0), V({5, 2}));
    EXPECT_EQ(m.GetVertex(1)->Edge, -1);
    EXPECT_TRUE(CheckMesh(m));
    m.DeleteEdge(0, true); // already gone: nothing
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
}

TEST(KorMeshEdges, DeletingALoneEdgeWithItsVerticesOrWithout)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}});
    m.AddEdge(m.GetVertex(0), m.GetVertex(1));
    KorMesh keep(m);
    m.DeleteEdge(1, true);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfVertices(), 0);
    EXPECT_EQ(m.GetNumberOfEdges(), 0);
    EXPECT_EQ(m.GetVertexVectorSize(), 2);

    keep.DeleteEdge(0, false);
    EXPECT_TRUE(CheckMesh(keep));
    EXPECT_EQ(keep.GetNumberOfVertices(), 2);
    EXPECT_EQ(keep.GetVertex(0)->Edge, -1);
    EXPECT_EQ(keep.GetVertex(1)->Edge, -1);
}

/*
        v2
      / | \
   v3 - v0 - v1      four triangles around v0
      \ | /
        v4
*/
TEST(KorMeshEdges, DeletingAVertexInsideAFanTakesItsEdgesAndFaces)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}});
    for (int k = 1; k <= 4; ++k)
        ASSERT_EQ(m.AddFace(3, 0, k, k % 4 + 1), k - 1);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetNumberOfEdges(), 16);
    std::vector<KorFace*> faces;
    m.GetFacesAroundVertex(m.GetVertex(0), faces);
    EXPECT_EQ(faces.size(), 4u);
    m.GetFacesAroundVertex(m.GetVertex(1), faces);
    EXPECT_EQ(faces.size(), 2u); // three half-edges leave v1, one is a border

    m.DeleteVertex(0);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetVertex(0), nullptr);
    EXPECT_EQ(m.GetNumberOfFaces(), 0);
    EXPECT_EQ(m.GetNumberOfEdges(), 8); // the rim stays, as borders
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(TurnRing(m, k).size(), 2u);
    m.DeleteVertex(0); // missing: nothing
    EXPECT_EQ(m.GetNumberOfVertices(), 4);
}

TEST(KorMeshEdges, VertexIdentifiersAreReusedOldestFirstAndSurviveACopy)
{
    KorMesh m;
    for (int i = 0; i < 7; ++i)
        m.AddVertex(i, 0, 0);
    m.DeleteVertex(5);
    m.DeleteVertex(2);
    EXPECT_EQ(m.GetNumberOfVertices(), 5);
    EXPECT_EQ(m.GetVertexVectorSize(), 7);
    KorMesh copy;
    copy = m;
    for (KorMesh* mesh : {&m, &copy})
    {
        EXPECT_EQ(mesh->AddVertex(LumPoint(50, 0, 0)), 5);
        EXPECT_EQ(mesh->AddVertex(20, 0, 0), 2);
        EXPECT_EQ(mesh->AddVertex(70, 0, 0), 7);
        EXPECT_EQ(mesh->GetVertex(6)->X, 6.0);
        EXPECT_TRUE(CheckMesh(*mesh));
    }
    std::vector<KorVertex> all;
    m.GetAllVertices(all);
    ASSERT_EQ(all.size(), 8u);
    EXPECT_EQ(all[2].X, 20.0);
    EXPECT_EQ(all[2].ID, 2);
}

TEST(KorMeshEdges, CopiesAreIndependentAndClearingTakesFacesEdgesOrEverything)
{
    // Vertex 3 is on no face: deleting the lone triangle with its edges keeps it.
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}});
    KorMesh copy(m);
    copy.DeleteFace(0, true);
    EXPECT_TRUE(CheckMesh(copy));
    EXPECT_EQ(copy.GetNumberOfEdges(), 0);
    EXPECT_EQ(copy.GetNumberOfVertices(), 1);
    EXPECT_NE(copy.GetVertex(3), nullptr);
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(FaceVertexRing(m, 0), V({0, 1, 2}));

    // Clearing faces, edges or everything.
    KorMesh edgesOnly(m);
    edgesOnly.ClearFaces();
    EXPECT_TRUE(CheckMesh(edgesOnly));
    EXPECT_EQ(edgesOnly.GetNumberOfFaces(), 0);
    EXPECT_EQ(edgesOnly.GetNumberOfEdges(), 6);
    EXPECT_EQ(edgesOnly.AddFace(3, 0, 1, 2), 0);
    EXPECT_TRUE(CheckMesh(edgesOnly));

    KorMesh pointsOnly(m);
    pointsOnly.ClearEdges();
    EXPECT_TRUE(CheckMesh(pointsOnly));
    EXPECT_EQ(pointsOnly.GetNumberOfEdges(), 0);
    EXPECT_EQ(pointsOnly.GetNumberOfVertices(), 4);

    m.DeleteVertex(1);
    m.Clear();
    EXPECT_TRUE(CheckMesh(m));
    EXPECT_EQ(m.GetVertexVectorSize(), 0);
    EXPECT_EQ(m.AddVertex(1, 1, 1), 0);
}

// The same edits on two meshes, the edge index allowed on one: a hub of 70
// spokes makes it build the index, then random faces, edges and deletions
// among the first 12 vertices (the hub included) keep the tables, the links
// and every lookup from those vertices the same as the ring walk's; deleted
// vertices and half-edges leave slots that are reused.
TEST(KorMeshEdges, TheEdgeIndexAnswersAsTheRingWalkThroughEdits)
{
    const int hub = 70, few = 12;
    KorMesh walk, indexed;
    indexed.AllowEdgeIndex(true);
    const auto both = [&](const std::function<void(KorMesh&)>& edit)
    {
        edit(walk);
        edit(indexed);
    };
    const auto state = [&](KorMesh& m)
    {
        std::vector<int> out{m.GetNumberOfEdges(), m.GetNumberOfFaces()};
        for (int id = 0; id < m.GetEdgeVectorSize(); ++id)
            if (const KorEdge* e = m.GetEdge(id))
                out.insert(out.end(), {id, e->Vertex, e->Face, e->Opp, e->Next, e->Turn});
        for (int a = 0; a < few; ++a)
            for (int b = 0; b <= hub; ++b)
            {
                const KorEdge* e = m.GetEdgeBetween(m.GetVertex(a), m.GetVertex(b));
                out.push_back(e ? e->ID : -1);
            }
        return out;
    };
    for (int k = 0; k <= hub; ++k)
        both([k](KorMesh& m) { m.AddVertex(k, k * k, 0); });
    for (int k = 1; k <= hub; ++k)
        both([k](KorMesh& m) { m.AddEdge(m.GetVertex(0), m.GetVertex(k)); });
    EXPECT_TRUE(indexed.HasEdgeIndex());
    EXPECT_FALSE(walk.HasEdgeIndex());

    std::mt19937 rng(7);
    for (int step = 0; step < 2000; ++step)
    {
        const unsigned kind = rng() % 10;
        const int a = static_cast<int>(rng() % few), b = static_cast<int>(rng() % few),
                  c = static_cast<int>(rng() % few), id = static_cast<int>(rng() % 200);
        testing::internal::CaptureStdout();
        if (kind < 5)
            both([&](KorMesh& m) { m.AddFace(3, a, b, c); });
        else if (kind == 5)
            both([&](KorMesh& m) { m.AddEdge(m.GetVertex(a), m.GetVertex(b)); });
        else if (kind == 6)
            both([&](KorMesh& m) { m.DeleteEdge(id, id % 2 == 0); });
        else if (kind == 7)
            both([&](KorMesh& m) { m.DeleteFace(id % 8, id % 2 == 0); });
        else if (kind == 8 && step % 5 == 0)
            both([&](KorMesh& m) { m.DeleteVertex(a); });
        else if (walk.GetNumberOfVertices() <= hub)
            both([](KorMesh& m) { m.AddVertex(0, 0, 1); });
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(state(indexed), state(walk)) << "step " << step;
        ASSERT_TRUE(CheckMesh(indexed));
    }
    EXPECT_TRUE(indexed.HasEdgeIndex());
    KorMesh copy(indexed);
    EXPECT_FALSE(copy.HasEdgeIndex());
    indexed.Clear();
    EXPECT_FALSE(indexed.HasEdgeIndex());
}

TEST(KorMeshEdges, VerticesMeanFollowsEdits)
{
    KorMesh m;
    ExpectPointNear(m.GetVerticesMean(), 0, 0, 0);
    m.AddVertex(0, 0, 0);
    m.AddVertex(2, 0, 0);
    m.AddVertex(0, 4, 0);
    ExpectPointNear(m.GetVerticesMean(), 2.0 / 3.0, 4.0 / 3.0, 0, 1e-15);
    m.DeleteVertex(2);
    ExpectPointNear(m.GetVerticesMean(), 1, 0, 0);
    m.AddVertex(LumVertex{4, 3, 3, 0, 0, 0, 0, 0, 0});
    ExpectPointNear(m.GetVerticesMean(), 2, 1, 1, 1e-15);
}

//  v2
//  | \        face 0 (v0, v1, v2) lies in z = 0, normal +z;
//  v0--v1     face 1 (v0, v3, v1) hangs below v0-v1 in y = 0, normal -y
//   \ /
//   v3 (0.5, 0, -1)
TEST(KorMeshEdges, VertexNormalIsTheUnnormalisedMeanOfItsFaces)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0.5, 0, -1}});
    EXPECT_TRUE(m.GetNormal(m.GetVertex(3)).IsNull()); // no face yet
    m.AddFace(3, 0, 1, 2);
    m.AddFace(3, 0, 1, 3); // built as v0, v3, v1
    ExpectPointNear(m.GetNormal(m.GetVertex(0)), 0, -0.5, 0.5);
    ExpectPointNear(m.GetNormal(m.GetVertex(2)), 0, 0, 1);
    ExpectPointNear(m.GetNormal(m.GetVertex(3)), 0, -1, 0);
    // Cached: later edits leave a computed normal alone.
    m.DeleteFace(1, false);
    ExpectPointNear(m.GetNormal(m.GetVertex(0)), 0, -0.5, 0.5);
    EXPECT_TRUE(CheckMesh(m));
    ExpectPointNear(m.GetNormal(static_cast<KorVertex*>(nullptr)), 0, 0, 0);

    // A given normal is kept, even a null one.
    const int given = m.AddVertex(LumVertex{5, 5, 5, 0.1, 0.2, 0.3, 0, 0, 0});
    m.AddFace(3, 0, 1, given);
    EXPECT_TRUE(m.GetNormal(m.GetVertex(given)).IsNull());
    ExpectPointNear(m.GetTextureCoord(m.GetVertex(given)), 0.1, 0.2, 0.3);
    ExpectPointNear(m.GetTextureCoord(nullptr), 0, 0, 0);
    EXPECT_TRUE(m.GetVertex(given)->NormalGiven);
}

namespace
{
class CountingTree : public LumTree
{
public:
    CountingTree(KorMesh& mesh, bool* deleted, bool buildResult)
        : LumTree(mesh), mDeleted(deleted), mBuildResult(buildResult)
    {
    }
    ~CountingTree() override { *mDeleted = true; }
    void Render(LumoraDevice*, int) override {}
    bool IntersectRay(const KorRay&, KorMesh&, const double&, const double&, double&, bool, int&,
                      int&) const override
    {
        return false;
    }
    void ClearTree() override { ++clears; }
    bool Build(KorMesh&) override { return mBuildResult; }
    int clears = 0;

private:
    bool* mDeleted;
    bool mBuildResult;
};
} // namespace

TEST(KorMeshEdges, EveryEditDropsTheSearchTree)
{
    KorMesh m = MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    const std::vector<std::function<void(KorMesh&)>> edits = {
        [](KorMesh& k) { k.AddVertex(5, 5, 5); },
        [](KorMesh& k) { k.AddFace(3, 0, 1, 2); },
        [](KorMesh& k) { k.DeleteFace(0, false); },
        [](KorMesh& k) { k.DeleteEdge(0, false); },
        [](KorMesh& k) { k.DeleteVertex(3); },
        [](KorMesh& k) { k.ClearFaces(); },
        [](KorMesh& k) { k.Clear(); },
    };
    for (size_t i = 0; i < edits.size(); ++i)
    {
        bool deleted = false;
        m.SetTree(new CountingTree(m, &deleted, true));
        edits[i](m);
        EXPECT_TRUE(deleted) << "edit " << i;
        EXPECT_EQ(m.GetTree(), nullptr);
        EXPECT_TRUE(CheckMesh(m));
    }
    bool deleted = false;
    {
        KorMesh owner;
        owner.SetTree(new CountingTree(owner, &deleted, true));
    }
    EXPECT_TRUE(deleted);
}

TEST(LumTree, CreatedOnlyAfterASuccessfulBuild)
{
    KorMesh m;
    bool deleted = false;
    CountingTree good(m, &deleted, true);
    EXPECT_FALSE(good.IsCreated());
    EXPECT_TRUE(good.CreateFromMesh(m));
    EXPECT_TRUE(good.IsCreated());
    EXPECT_EQ(good.clears, 1);
    good.Clear();
    EXPECT_FALSE(good.IsCreated());

    CountingTree bad(m, &deleted, false);
    EXPECT_FALSE(bad.CreateFromMesh(m));
    EXPECT_FALSE(bad.IsCreated());
    EXPECT_EQ(bad.clears, 2); // emptied again after the failed build
}
