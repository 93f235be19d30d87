#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// a(0) - b(1) - c(2) triangle, half-edges 0..5, face 0 on 0, 2, 4.
KorMesh Triangle()
{
    return MeshOf({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
}
} // namespace

// The checker is only worth its calls if it sees each kind of breakage.
TEST(MeshChecker, SeesEachKindOfBrokenLink)
{
    ASSERT_TRUE(CheckMesh(Triangle()));
    const std::vector<std::pair<const char*, std::function<void(KorMesh&)>>> breaks = {
        {"twins not mutual", [](KorMesh& m) { m.GetEdge(1)->Opp = 3; }},
        {"Turn ring", [](KorMesh& m) { m.GetEdge(0)->Turn = 2; }},
        {"Next ring", [](KorMesh& m) { m.GetEdge(2)->Next = 2; }},
        {"border half-edge", [](KorMesh& m) { m.GetEdge(1)->Next = 3; }},
        {"missing face", [](KorMesh& m) { m.GetEdge(1)->Face = 7; }},
        {"missing half-edge", [](KorMesh& m) { m.GetVertex(2)->Edge = 40; }},
        {"starts at missing vertex", [](KorMesh& m) { m.GetEdge(3)->Vertex = 9; }},
        {"is missing or bounds another face", [](KorMesh& m) { m.GetFace(0)->Edge = 1; }},
        {"face ring broken",
         [](KorMesh& m)
         {
             m.GetEdge(0)->Next = 4;
             m.GetEdge(4)->Next = 2;
             m.GetEdge(2)->Next = 0;
         }},
    };
    for (const auto& [expected, corrupt] : breaks)
    {
        KorMesh m = Triangle();
        corrupt(m);
        const ::testing::AssertionResult result = CheckMesh(m);
        EXPECT_FALSE(result) << expected;
        EXPECT_NE(std::string(result.message()).find(expected), std::string::npos) << result.message();
    }
}

// The walks stop on a ring broken from outside instead of looping.
TEST(MeshChecker, WalksEndOnBrokenRings)
{
    KorMesh m = Triangle();
    m.GetEdge(0)->Turn = 2; // v0's ring now leads into v1's and never comes back
    m.GetEdge(2)->Next = 2; // face 0 ring loops on itself after one step
    std::vector<KorEdge*> edges;
    m.GetEdgesAroundVertex(m.GetVertex(0), edges);
    EXPECT_LE(edges.size(), 6u);
    std::vector<int> ids;
    m.GetFaceVertices(m.GetFace(0), ids);
    EXPECT_LE(ids.size(), 3u + 6u); // the first three, then at most a table's worth
    EXPECT_FALSE(m.IsVertexOnFace(m.GetFace(0), 2));
    const int lone = m.AddVertex(5, 5, 5);
    EXPECT_EQ(m.GetEdgeBetween(m.GetVertex(0), m.GetVertex(lone)), nullptr);
}
