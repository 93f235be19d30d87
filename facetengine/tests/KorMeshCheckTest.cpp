#include "KorMesh.h"
#include "KorMeshCheck.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"
#include "XMLNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace
{
KorEdge* E(KorMesh& m, int id)
{
    return m.GetEdge(id);
}

// A half-edge of face 0 whose twin is a border half-edge.
int RingEdgeOnTheBorder(KorMesh& m)
{
    for (int id : FaceEdgeRing(m, 0))
        if (E(m, E(m, id)->Opp)->Face == -1)
            return id;
    return -1;
}

int BorderEdge(KorMesh& m)
{
    return E(m, RingEdgeOnTheBorder(m))->Opp;
}

struct CorruptCase
{
    const char* name;
    std::function<void(KorMesh&)> corrupt;
};

// Each case breaks one thing the walks rely on in a square of two triangles
// (faces 0 and 1 sharing the diagonal); most keep every link live and Next
// and Turn permutations, which a check of the links alone would pass.
const std::vector<CorruptCase>& Cases()
{
    static const std::vector<CorruptCase> cases = {
        {"two faces on one ring", [](KorMesh& m) { m.GetFace(1)->Edge = m.GetFace(0)->Edge; }},
        {"a face of one half-edge, its own twin",
         [](KorMesh& m)
         {
             const std::vector<int> r = FaceEdgeRing(m, 0);
             E(m, r[0])->Next = r[0];
             E(m, r[2])->Next = r[1];
             E(m, r[0])->Opp = r[0];
         }},
        {"a face ring of two half-edges",
         [](KorMesh& m)
         {
             const int a = RingEdgeOnTheBorder(m);
             const int t = E(m, a)->Opp;
             for (int id : FaceEdgeRing(m, 0))
                 if (id != a)
                     E(m, id)->Face = E(m, id)->Next = -1;
             E(m, a)->Next = t;
             E(m, t)->Next = a;
             E(m, t)->Face = 0;
         }},
        {"twins not mutual",
         [](KorMesh& m)
         {
             const std::vector<int> r = FaceEdgeRing(m, 0);
             E(m, r[0])->Opp = r[1];
         }},
        {"mutual twins that do not join the ring's vertices",
         [](KorMesh& m)
         {
             const std::vector<int> r = FaceEdgeRing(m, 0);
             const int a = r[0], b = r[1], ta = E(m, a)->Opp, tb = E(m, b)->Opp;
             E(m, a)->Opp = tb;
             E(m, tb)->Opp = a;
             E(m, b)->Opp = ta;
             E(m, ta)->Opp = b;
         }},
        {"two face rings merged into one",
         [](KorMesh& m)
         {
             const int a = FaceEdgeRing(m, 0)[0], b = FaceEdgeRing(m, 1)[0];
             std::swap(E(m, a)->Next, E(m, b)->Next);
         }},
        {"a face ring cut open", [](KorMesh& m) { E(m, FaceEdgeRing(m, 0)[2])->Next = -1; }},
        {"a Next out of range", [](KorMesh& m) { E(m, FaceEdgeRing(m, 0)[0])->Next = 1000; }},
        {"a border half-edge with a Next link",
         [](KorMesh& m)
         {
             const int b = BorderEdge(m);
             E(m, b)->Next = b;
         }},
        {"a half-edge naming a face whose ring misses it",
         [](KorMesh& m)
         {
             const int b = BorderEdge(m);
             E(m, b)->Next = b;
             E(m, b)->Face = 1;
         }},
        {"a face starting on a border half-edge", [](KorMesh& m) { m.GetFace(0)->Edge = BorderEdge(m); }},
        {"a vertex whose Edge leaves another vertex",
         [](KorMesh& m) { m.GetVertex(0)->Edge = E(m, m.GetVertex(0)->Edge)->Opp; }},
        {"a vertex with two Turn rings",
         [](KorMesh& m)
         {
             const std::vector<int> t = TurnRing(m, 0);
             E(m, t[0])->Turn = t[0];
             E(m, t.back())->Turn = t[1];
         }},
        {"two half-edges from one vertex to another",
         [](KorMesh& m)
         {
             // No faces: 0->1 and 0->2, then the twin 2->0 moved to vertex 1.
             m.Clear();
             for (int k = 0; k < 3; ++k)
                 m.AddVertex(k, k * k, 0.0);
             const int h0 = m.AddEdge(m.GetVertex(0), m.GetVertex(1));
             const int h2 = m.AddEdge(m.GetVertex(0), m.GetVertex(2));
             const int h1 = E(m, h0)->Opp, h3 = E(m, h2)->Opp;
             E(m, h3)->Vertex = 1;
             m.GetVertex(2)->Edge = -1;
             E(m, h1)->Turn = h3;
             E(m, h3)->Turn = h1;
         }},
    };
    return cases;
}
// Writes source in one form and reads it into a mesh that held a cube;
// out receives what the read printed.
bool ReadBack(KorMesh& source, bool xml, KorMesh& read, std::string& out)
{
    BuildUnitCube(read);
    ::testing::internal::CaptureStdout();
    bool result = true;
    if (xml)
    {
        XMLNode node = XMLNode::createXMLTopNode("Maillage");
        source.ToXML(node);
        read.FromXML(node);
    }
    else
    {
        std::stringstream text;
        source.ToASCII(text);
        result = read.FromASCII(text);
    }
    out = ::testing::internal::GetCapturedStdout();
    return result && !read.LastReadFailed();
}

} // namespace

TEST(KorMeshCheck, CorruptLinksInEitherFormLeaveTheMeshEmptyWithOneLine)
{
    KorMesh square;
    BuildGrid(square, 2, 2);
    ASSERT_EQ(square.GetNumberOfFaces(), 2);
    std::string out;
    for (bool xml : {true, false})
    {
        KorMesh read;
        EXPECT_TRUE(ReadBack(square, xml, read, out)) << out;
        EXPECT_TRUE(CheckMesh(read));
    }

    for (const CorruptCase& c : Cases())
        for (bool xml : {true, false})
        {
            const std::string what = std::string(c.name) + (xml ? " (XML)" : " (text)");
            KorMesh source = square;
            c.corrupt(source);
            KorMesh read;
            EXPECT_FALSE(ReadBack(source, xml, read, out)) << what;
            EXPECT_TRUE(read.LastReadFailed()) << what;
            EXPECT_EQ(read.GetVertexVectorSize() + read.GetEdgeVectorSize() + read.GetFaceVectorSize(), 0)
                << what;
            EXPECT_EQ(out.rfind(xml ? "KorMesh::FromXML -> " : "KorMesh::FromASCII -> ", 0), 0u)
                << what << '\n'
                << out;
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << what << '\n' << out;
        }
}

// A large mesh is first checked side by side: a sound one passes, and
// each corruption is still refused, with a reason, and not walked past.
TEST(KorMeshCheck, LargeMeshesCheckedSideBySideRefuseEveryCorruption)
{
    KorMesh grid;
    BuildGrid(grid, 150, 150);
    ASSERT_GE(grid.GetEdgeVectorSize(), 1 << 17);
    std::string reason;
    EXPECT_TRUE(KorMeshLinksAreSound(grid, reason)) << reason;
    for (const CorruptCase& c : Cases())
    {
        KorMesh mesh = grid;
        c.corrupt(mesh);
        reason.clear();
        EXPECT_FALSE(KorMeshLinksAreSound(mesh, reason)) << c.name;
        EXPECT_FALSE(reason.empty()) << c.name;
    }
}
