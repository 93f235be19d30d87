#include "KorNumbers.h"
#include "MeshChecker.h"
#include "TeteTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
// The constructor's head made double, as a file read makes it.
void MakeDouble(TeteTranchee& head, bool twoBerms, int coteAvance)
{
    head.DoubleEntree = true;
    head.DoubleRisberme = twoBerms;
    head.CoteAvance = coteAvance;
    ASSERT_TRUE(head.BuildMesh());
}

std::vector<LumPoint> Vertices(const KorMesh& mesh)
{
    std::vector<LumPoint> points;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            points.emplace_back(v->X, v->Y, v->Z);
    return points;
}

LumPoint MirrorX(LumPoint p)
{
    p.x = -p.x;
    return p;
}
} // namespace

TEST(MaillageTeteDouble, ConstructorSetIsTheConstructionsShape)
{
    const double off1 = 30 * std::tan(Deg(10));
    const double s = std::tan(Deg(20)) * (35 - off1);
    const double W = s + 30 + 10;
    EXPECT_NEAR(off1, 5.2898, 1e-4);
    EXPECT_NEAR(s, 10.814, 1e-3);
    const double r2 = 10 * std::tan(Deg(15));
    // A1, N, L (20 behind front 2's raised right end), E4 on the exit line.
    const LumPoint A1(-W / 2, 0, 0), N(W / 2, 0, 0), L(W / 2, 35 + r2 - 20, 0), E4(W / 2, -15 - 25, 0);
    const LumPoint literal[] = {{-25.407, 0, 0}, {25.407, 0, 0}, {25.407, 17.679, 0}, {25.407, -40, 0}};
    for (const bool twoBerms : {false, true})
    {
        SCOPED_TRACE(twoBerms);
        TeteTranchee head;
        MakeDouble(head, twoBerms, 45);
        const KorMesh& mesh = head.GetMesh();
        EXPECT_TRUE(CheckMesh(mesh));
        EXPECT_EQ(mesh.GetNumberOfVertices(), twoBerms ? 66 : 50);
        EXPECT_EQ(mesh.GetNumberOfFaces(), twoBerms ? 52 : 38);
        const LumPoint exact[] = {A1, N, L, E4};
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_GE(VertexAt(mesh, exact[k]), 0) << k;
            EXPECT_TRUE(Near(exact[k], literal[k], 1e-3)) << k;
        }
        // One face per class, five berms per berm class; the upper slopes
        // and the second berms only with the second berm.
        for (int key = 19; key <= 44; ++key)
        {
            const bool upper = key == 24 || key == 28 || key == 32 || key == 36 || key == 40;
            EXPECT_EQ(head.GetClassFaces(key).Faces[0] >= 0, !upper || twoBerms) << key;
            EXPECT_EQ(head.GetClassFaces(key).Faces[1], -1) << key;
        }
        for (int k = 0; k < 5; ++k)
        {
            EXPECT_GE(head.GetClassFaces(1).Faces[k], 0);
            EXPECT_EQ(head.GetClassFaces(2).Faces[k] >= 0, twoBerms);
        }
        // The platforms and floors face up; the up list holds them and the
        // four unclassed floors (exits, step shoulder), no berm.
        for (int key : {19, 20, 21, 25, 29, 33, 37, 41, 43})
        {
            KorFace* face = head.GetMesh().GetFace(head.GetClassFaces(key).Faces[0]);
            EXPECT_NEAR(head.GetMesh().GetNormal(face).z, 1.0, 1e-9) << key;
        }
        EXPECT_EQ(head.GetUpFaces().size(), 13u);
        EXPECT_TRUE(head.GetDownFaces().empty());
        // Tubes on each front's middle, reaching 3 past its raised end.
        EXPECT_TRUE(Near(head.Point1Tunnel1, LumPoint(-W / 2 + 15, 0, 0)));
        EXPECT_NEAR(head.Point2Tunnel1.y, static_cast<float>(off1 + 3.0), 1e-12);
        EXPECT_TRUE(Near(head.Point1Tunnel2, LumPoint(W / 2 - 5, 35, 0)));
        EXPECT_NEAR(head.Point2Tunnel2.y - 35, static_cast<float>(r2 + 3.0), 1e-12);
    }
    // Seen from above the rising faces never overlap.
    TeteTranchee head;
    MakeDouble(head, false, 45);
    EXPECT_EQ(PlanOverlaps(head.GetMesh(), LumPoint(-80, -60, 0), LumPoint(80, 80, 0), 1.0), 0);
}

TEST(MaillageTeteDouble, LengthBehindFrontTwoIsRaisedPastItsEndAndSaved)
{
    TeteTranchee head;
    DoubleSet set;
    set.v[DoubleSet::Thetaf2] = 10;
    set.v[DoubleSet::lp2] = 10;
    set.v[DoubleSet::Lf2] = 1;
    ASSERT_TRUE(set.Apply(head));
    const double raised = 10 * std::tan(Deg(10)) + static_cast<double>(0.1f);
    EXPECT_NEAR(head.Lf2, 1.86327, 1e-5);
    EXPECT_NEAR(head.Lf2, raised, 1e-14);
    XMLNode node = XMLNode::createXMLTopNode("Tete");
    head.ToXML(node);
    EXPECT_EQ(KorAtof(node.getChildNode("Lf2").getText()), head.Lf2);
}

// Advanced front on the other side: vertex by vertex the x-mirror of 45,
// same face order and classes, normals mirrored (still into the
// excavation, which the flip flag gives); any other value builds 45.
TEST(MaillageTeteDouble, SideFortySixIsTheMirrorOfFortyFive)
{
    for (const bool twoBerms : {false, true})
    {
        SCOPED_TRACE(twoBerms);
        TeteTranchee base, mirrored, other;
        MakeDouble(base, twoBerms, 45);
        MakeDouble(mirrored, twoBerms, 46);
        MakeDouble(other, twoBerms, 47);
        EXPECT_TRUE(CheckMesh(mirrored.GetMesh()));
        const std::vector<LumPoint> a = Vertices(base.GetMesh()), b = Vertices(mirrored.GetMesh()),
                                    c = Vertices(other.GetMesh());
        ASSERT_EQ(a.size(), b.size());
        ASSERT_EQ(a.size(), c.size());
        for (size_t i = 0; i < a.size(); ++i)
        {
            EXPECT_TRUE(Near(b[i], MirrorX(a[i]), 0.0)) << i;
            EXPECT_TRUE(Near(c[i], a[i], 0.0)) << i;
        }
        ASSERT_EQ(base.GetFaceClasses().size(), mirrored.GetFaceClasses().size());
        for (const auto& entry : base.GetFaceClasses())
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(mirrored.GetClassFaces(entry.first).Faces[k], entry.second.Faces[k]) << entry.first;
        KorMesh &m45 = base.GetMesh(), &m46 = mirrored.GetMesh();
        ASSERT_EQ(m45.GetFaceVectorSize(), m46.GetFaceVectorSize());
        for (int id = 0; id < m45.GetFaceVectorSize(); ++id)
        {
            KorFace *f45 = m45.GetFace(id), *f46 = m46.GetFace(id);
            ASSERT_EQ(f45 == nullptr, f46 == nullptr);
            if (!f45)
                continue;
            std::vector<LumPoint> ring;
            for (const LumPoint& p : FacePoints(m45, id))
                ring.push_back(MirrorX(p));
            EXPECT_TRUE(RingIs(m46, id, ring)) << id;
            EXPECT_TRUE(Near(m46.GetNormal(f46), MirrorX(m45.GetNormal(f45)), 1e-9)) << id;
        }
        EXPECT_EQ(mirrored.GetUpFaces(), base.GetUpFaces());
        for (const auto& pair : {std::make_pair(base.Point1Tunnel1, mirrored.Point1Tunnel1),
                                 std::make_pair(base.Point2Tunnel1, mirrored.Point2Tunnel1),
                                 std::make_pair(base.Point1Tunnel2, mirrored.Point1Tunnel2),
                                 std::make_pair(base.Point2Tunnel2, mirrored.Point2Tunnel2)})
            EXPECT_TRUE(Near(pair.second, MirrorX(pair.first), 0.0));
    }
}

TEST(MaillageTeteDouble, ParallelEdgeLinesStopTheBuildAtTheFirstCorner)
{
    // With front 1 skewed by 10 degrees, a platform-1 side skewed by 80
    // runs its edge lines along front 1's (tan 80 tan 10 = 1): A1, B1, D1,
    // C1, FR1 and D1' are added, no face.
    TeteTranchee head;
    head.DoubleEntree = true;
    head.Thetar1 = Deg(80);
    EXPECT_FALSE(head.BuildMesh());
    EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 6);
    EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 0);
    EXPECT_TRUE(head.GetFaceClasses().empty());
}

// Shapes a file may hold: each still a valid surface that never overlaps
// itself seen from above, with the vertices and faces its conditions add.
TEST(MaillageTeteDouble, ConditionalPointsAndFacesFollowTheirConditions)
{
    const double r2 = 10 * std::tan(Deg(15));
    struct Case
    {
        const char* Name;
        double TeteTranchee::*Field;
        double Value;
        int Vertices, Faces;
        size_t PlatformTwo; // L, B2, A2, Mr, M, N less L when not above N, less Mr without off1
    } cases[] = {
        {"L behind the rear line", &TeteTranchee::Lf2, 50, 50, 38, 5},
        {"L on N", &TeteTranchee::Lf2, 35 + r2, 49, 38, 5},
        {"front 1 raised on the left", &TeteTranchee::Thetaf1, Deg(-10), 49, 37, 5}, // no Mr, no face 15
        {"no exit skew on side 1", &TeteTranchee::Thetar3, Deg(-10), 49, 37, 6},
        {"no first berm", &TeteTranchee::lr, 0, 42, 31, 6},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TeteTranchee head;
        head.h = 60;
        head.*c.Field = c.Value;
        MakeDouble(head, false, 45);
        KorMesh& mesh = head.GetMesh();
        EXPECT_TRUE(CheckMesh(mesh));
        EXPECT_EQ(mesh.GetNumberOfVertices(), c.Vertices);
        EXPECT_EQ(mesh.GetNumberOfFaces(), c.Faces);
        EXPECT_EQ(PlanOverlaps(mesh, LumPoint(-80, -80, 0), LumPoint(80, 80, 0), 1.0), 0);
        const std::vector<LumPoint> platform = FacePoints(mesh, head.GetClassFaces(20).Faces[0]);
        EXPECT_EQ(platform.size(), c.PlatformTwo);
    }
}
