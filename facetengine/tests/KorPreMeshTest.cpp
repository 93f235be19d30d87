#include "KorPreMesh.h"
#include "IOTestHelpers.h"
#include "KorOBJ.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>

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

// The growth written straight from its definition, with no care for cost:
// an ordered map of edge lists, generations holding every listing. Returns
// the groups, each the pre-faces in the order they reach AddFace.
std::vector<std::vector<size_t>> ReferenceGroups(const std::vector<std::vector<int>>& faces)
{
    const auto edge = [](const std::vector<int>& ids, size_t j)
    {
        const int a = ids[j], b = ids[(j + 1) % ids.size()];
        return std::make_pair(std::min(a, b), std::max(a, b));
    };
    std::map<std::pair<int, int>, std::vector<size_t>> lists;
    for (size_t f = 0; f < faces.size(); ++f)
        for (size_t j = 0; j < faces[f].size(); ++j)
            lists[edge(faces[f], j)].push_back(f);
    std::vector<bool> added(faces.size(), false);
    std::vector<std::vector<size_t>> groups;
    for (size_t s = 0; s < faces.size(); ++s)
    {
        if (added[s])
            continue;
        groups.emplace_back();
        std::vector<size_t> current{s};
        while (!current.empty())
        {
            std::vector<size_t> kept;
            for (auto it = current.rbegin(); it != current.rend(); ++it)
                if (!added[*it])
                {
                    added[*it] = true;
                    groups.back().push_back(*it);
                    kept.insert(kept.begin(), *it);
                }
            current.clear();
            for (size_t f : kept)
                for (size_t j = 0; j < faces[f].size(); ++j)
                    for (size_t other : lists[edge(faces[f], j)])
                        if (!added[other])
                            current.push_back(other);
        }
    }
    return groups;
}

// Every vertex (integer coordinates) and every link: two meshes built by the
// same calls in the same order give the same snapshot.
std::vector<int> Snapshot(const KorMesh& mesh)
{
    std::vector<int> out{mesh.GetNumberOfVertices(), mesh.GetNumberOfEdges(), mesh.GetNumberOfFaces()};
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            out.insert(out.end(),
                       {id, static_cast<int>(v->X), static_cast<int>(v->Y), static_cast<int>(v->Z)});
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        if (const KorEdge* e = mesh.GetEdge(id))
            out.insert(out.end(), {id, e->Vertex, e->Face, e->Opp, e->Next, e->Turn});
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (const KorFace* f = mesh.GetFace(id))
            out.insert(out.end(), {id, f->Edge});
    return out;
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

// Random small soups thick with shared edges (copies, reversed copies, books,
// repeated corners, one-index faces): both conversions add the faces in the
// order of the plain growth above, so they build the same meshes and print
// the same refusals.
TEST(KorPreMesh, ConversionsFollowThePlainGrowthOnRandomSoups)
{
    std::mt19937 rng(20261209);
    for (int round = 0; round < 300; ++round)
    {
        const int points = 3 + static_cast<int>(rng() % 5);
        std::vector<std::vector<int>> faces(1 + rng() % 30);
        for (size_t f = 0; f < faces.size(); ++f)
        {
            const unsigned kind = rng() % 8;
            if (f > 0 && kind < 3)
            {
                faces[f] = faces[rng() % f];
                if (kind == 0)
                    std::reverse(faces[f].begin(), faces[f].end());
                continue;
            }
            const size_t size = kind == 3 ? 1 + rng() % 8 : 3;
            for (size_t k = 0; k < size; ++k)
                faces[f].push_back(static_cast<int>(rng() % static_cast<unsigned>(points)));
        }
        SCOPED_TRACE("round " + std::to_string(round));

        KorPreMesh whole, pieces;
        for (int p = 0; p < points; ++p)
        {
            const LumPoint at(rng() % 100, rng() % 100, rng() % 100);
            whole.AddVertex(at);
            pieces.AddVertex(at);
        }
        for (const std::vector<int>& f : faces)
        {
            whole.AddPreFace(f);
            pieces.AddPreFace(f);
        }
        const std::vector<std::vector<size_t>> groups = ReferenceGroups(faces);

        bool expectedResult = true;
        std::vector<std::vector<int>> expected;
        testing::internal::CaptureStdout();
        KorMesh reference;
        for (const LumPoint& p : whole.GetPoints())
            reference.AddVertex(p);
        for (const std::vector<size_t>& g : groups)
            for (size_t f : g)
                expectedResult &= reference.AddFace(faces[f]) >= 0;
        expected.push_back(Snapshot(reference));
        for (const std::vector<size_t>& g : groups)
        {
            KorMesh piece;
            std::map<int, int> vertexOf;
            for (size_t f : g)
            {
                std::vector<int> ids;
                for (int i : faces[f])
                {
                    if (!vertexOf.count(i))
                        vertexOf[i] = piece.AddVertex(whole.GetPoints()[static_cast<size_t>(i)]);
                    ids.push_back(vertexOf[i]);
                }
                expectedResult &= piece.AddFace(ids) >= 0;
            }
            expected.push_back(Snapshot(piece));
        }
        const std::string expectedPrinted = testing::internal::GetCapturedStdout();

        testing::internal::CaptureStdout();
        KorMesh converted;
        bool result = whole.ConvertToKorMesh(converted);
        std::vector<KorMesh> meshes;
        result &= pieces.ConvertToKorMeshes(meshes);
        const std::string printed = testing::internal::GetCapturedStdout();
        std::vector<std::vector<int>> got{Snapshot(converted)};
        for (const KorMesh& m : meshes)
            got.push_back(Snapshot(m));
        EXPECT_EQ(result, expectedResult);
        EXPECT_TRUE(got == expected);
        EXPECT_EQ(printed, expectedPrinted);
        EXPECT_TRUE(CheckMesh(converted));
    }
}

// 10^5 copies of one triangle, and one face of 10^5 corners cycling 0 1 2:
// every pre-face shares its edges with every other (or with itself 10^5
// times). The first copy is added as given, the second on the twins, which
// closes a two-sided triangle (3 vertices, 3 edges, 2 faces, no border);
// every later copy finds both sides taken and is refused with its own line.
// AddFace drops the long face's returns to its first corner, so it walks
// 0 1 2 1 2 ... and runs twice along 1-2: refused, leaving the three
// half-edge pairs it made as borders. The copies also come as an OBJ file.
TEST(KorPreMesh, EdgesSharedByVeryManyFacesConvertInLinearTime)
{
    const int n = 100000;
    const std::string taken =
        "KorMesh::AddFace -> Impossible to add a face with edges that are already attached to a face\n";
    const std::string twice =
        "KorMesh::AddFace -> Impossible to add a face that runs twice along the same edge\n";
    std::vector<int> cycling(n);
    for (int k = 0; k < n; ++k)
        cycling[static_cast<size_t>(k)] = k % 3;
    struct Case
    {
        const char* name;
        std::vector<std::vector<int>> faces;
        int faceCount;
        int borders;
        std::string printed;
    };
    std::string refusals;
    for (int k = 2; k < n; ++k)
        refusals += taken;
    const Case cases[] = {
        {"copies", std::vector<std::vector<int>>(n, {0, 1, 2}), 2, 0, refusals},
        {"cycling corners", {cycling}, 0, 6, twice},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        KorPreMesh whole, pieces;
        for (const LumPoint& p : {LumPoint(0, 0, 0), LumPoint(1, 0, 0), LumPoint(0, 1, 0)})
        {
            whole.AddVertex(p);
            pieces.AddVertex(p);
        }
        for (const std::vector<int>& f : c.faces)
        {
            whole.AddPreFace(f);
            pieces.AddPreFace(f);
        }
        testing::internal::CaptureStdout();
        KorMesh mesh;
        EXPECT_FALSE(whole.ConvertToKorMesh(mesh));
        std::vector<KorMesh> meshes;
        EXPECT_FALSE(pieces.ConvertToKorMeshes(meshes));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed + c.printed);

        ASSERT_EQ(meshes.size(), 1u);
        for (const KorMesh* m : {&mesh, &meshes[0]})
        {
            EXPECT_TRUE(CheckMesh(*m));
            EXPECT_EQ(m->GetNumberOfVertices(), 3);
            EXPECT_EQ(m->GetNumberOfEdges(), 6);
            EXPECT_EQ(m->GetNumberOfFaces(), c.faceCount);
            EXPECT_EQ(BorderHalfEdges(*m), c.borders);
        }
        if (c.faceCount == 2)
        {
            EXPECT_TRUE(SameCycle(FaceVertexRing(mesh, 0), {0, 1, 2}));
            EXPECT_TRUE(SameCycle(FaceVertexRing(mesh, 1), {0, 2, 1}));
        }
    }

    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int k = 0; k < n; ++k)
        text += "f 1 2 3\n";
    KorOBJ obj(WriteTemp("copies.obj", text));
    KorMesh mesh;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(obj.ConvertToKorMesh(mesh));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), refusals);
    EXPECT_EQ(mesh.GetNumberOfFaces(), 2);
    EXPECT_EQ(BorderHalfEdges(mesh), 0);
    std::remove(TempPath("copies.obj").c_str());
}

// A book of 10^5 triangles (0, 1, k), k = 2 .. n + 1, on the edge 0-1. The
// first is added as given; the growth then takes the others from the edge's
// list, last met first, so (0, 1, n + 1) comes second and is built on the
// twins as (0, n + 1, 1); every later page finds both sides of 0-1 taken and
// is refused with its line, leaving its half-edge pairs 1-k and k-0 as
// borders. Hence 2n + 1 pairs: 3 for the first face, 2 for each other page;
// the 2 + 2 open sides of the kept faces and all 4 half-edges of each of the
// n - 2 refused pages are borders. The per-group mesh numbers its vertices
// in order of first use, so a vertex is recognised by its point's x = index.
TEST(KorPreMesh, ABookOfFacesOnOneEdgeConvertsInLinearTime)
{
    const int n = 100000;
    KorPreMesh whole, pieces;
    for (int k = 0; k < n + 2; ++k)
    {
        const LumPoint p(k, k < 2 ? 0 : 1, 0);
        whole.AddVertex(p);
        pieces.AddVertex(p);
    }
    for (int k = 2; k < n + 2; ++k)
    {
        whole.AddPreFace(0, 1, k, -1);
        pieces.AddPreFace(0, 1, k, -1);
    }
    std::string refusals;
    for (int k = 2; k < n; ++k)
        refusals +=
            "KorMesh::AddFace -> Impossible to add a face with edges that are already attached to a face\n";
    testing::internal::CaptureStdout();
    KorMesh mesh;
    EXPECT_FALSE(whole.ConvertToKorMesh(mesh));
    std::vector<KorMesh> meshes;
    EXPECT_FALSE(pieces.ConvertToKorMeshes(meshes));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), refusals + refusals);

    ASSERT_EQ(meshes.size(), 1u);
    for (const KorMesh* m : {&mesh, &meshes[0]})
    {
        EXPECT_TRUE(CheckMesh(*m));
        EXPECT_EQ(m->GetNumberOfVertices(), n + 2);
        EXPECT_EQ(m->GetNumberOfEdges(), 2 * (2 * n + 1));
        EXPECT_EQ(m->GetNumberOfFaces(), 2);
        EXPECT_EQ(BorderHalfEdges(*m), 4 * (n - 2) + 4);
        for (const auto& [face, points] :
             {std::make_pair(0, std::vector<int>{0, 1, 2}), std::make_pair(1, std::vector<int>{0, n + 1, 1})})
        {
            std::vector<int> ring;
            for (int v : FaceVertexRing(*m, face))
                ring.push_back(static_cast<int>(m->GetVertex(v)->X));
            EXPECT_TRUE(SameCycle(ring, points)) << "face " << face;
        }
    }
}
