#include "KorGeometry.h"
#include "LumHandledMesh.h"
#include "MeshChecker.h"
#include "TeteTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>

namespace
{
using S = SingleSet;

LumPoint Normal(TeteTranchee& head, int face)
{
    return head.GetMesh().GetNormal(head.GetMesh().GetFace(face));
}

int FirstOf(const TeteTranchee& head, int faceClass)
{
    return head.GetClassFaces(faceClass).Faces[0];
}

// Largest distance of a face's corners from the plane of its triangle.
double NonPlanarity(KorMesh& mesh, KorFace* face)
{
    LumPoint a, b, c;
    mesh.GetFaceTriangle(face, a, b, c);
    LumPoint n = (b - a) ^ (c - a);
    Normalize(n);
    double worst = 0.0;
    std::vector<LumPoint> ring;
    mesh.GetFacePoints(face, ring);
    for (const LumPoint& p : ring)
        worst = std::max(worst, std::fabs((p - a) * n));
    return worst;
}

// A head made by the setter, then changed as only a file read (or the
// axis's placement) changes it.
struct Shape
{
    const char* Name;
    SingleSet Set;
    std::function<void(TeteTranchee&)> Then;
};

void Place(TeteTranchee& t)
{
    const TeteTranchee source(t);
    t.CopyAndAdjust(source, 40.0, 40.0 * std::tan(86.0), 40.0);
}
} // namespace

TEST(MaillageTeteSimple, ConstructorSetIsTheConstructionsShape)
{
    // Rows 1-7, 9-15, 17-25, 42-45; with the second berm rows 28-41 in
    // place of 42-45 and twelve third-level vertices more.
    for (bool twoBerms : {false, true})
    {
        TeteTranchee head;
        SingleSet().Flags(false, twoBerms).Apply(head);
        EXPECT_TRUE(CheckMesh(head.GetMesh()));
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), twoBerms ? 49 : 37);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), twoBerms ? 37 : 27);
        for (int key : {2, 6, 10, 16})
            EXPECT_EQ(FirstOf(head, key) >= 0, twoBerms) << key;
    }
    TeteTranchee head;
    const KorMesh& m = head.GetMesh();
    const double t10 = std::tan(Deg(10)), t15 = std::tan(Deg(15)), t20 = std::tan(Deg(20)),
                 t30 = std::tan(Deg(30));
    EXPECT_NEAR(15 * t10, 2.6449, 1e-4);
    const double cpx = (20 + 15 * t10) * t30, dpx = 25 * t20; // C' and D' beyond the platform edges
    for (const LumPoint& p :
         {LumPoint(7.5, 15 * t10, 0), LumPoint(-7.5 - dpx, -25, 0), LumPoint(7.5 + cpx, -20, 0),
          LumPoint(-7.5 - dpx - 25 * t15, -50, 0), LumPoint(7.5 + cpx + 25 * t30, -50, 0)})
        EXPECT_GE(VertexAt(m, p), 0) << p.x << ", " << p.y;
    EXPECT_TRUE(Near(head.Point2Tunnel1, LumPoint(0, 15 * t10 + 3.0, 0)));

    // Faces are numbered in the order their rows are built; the floor
    // pieces have their plan areas.
    const int built[] = {1,  2,  3,  4,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15,
                         17, 18, 19, 20, 21, 22, 23, 24, 25, 42, 43, 44, 45};
    auto face = [&](int row)
    { return int(std::find(std::begin(built), std::end(built), row) - std::begin(built)); };
    EXPECT_EQ(head.GetUpFaces(), std::vector<int>({face(1), face(2), face(3), face(11), face(22), face(23),
                                                   face(24), face(25)}));
    const std::map<int, std::vector<int>> rows = {
        {0, {1}},   {1, {5, 20, 13}}, {3, {2}},   {4, {19}},  {5, {21}},  {7, {3}},   {8, {4}},  {9, {9}},
        {11, {22}}, {12, {44}},       {13, {11}}, {14, {12}}, {15, {17}}, {17, {23}}, {18, {45}}};
    for (int key = 0; key <= 19; ++key)
        for (int k = 0; k < 5; ++k)
        {
            const auto it = rows.find(key);
            const bool has = it != rows.end() && k < int(it->second.size());
            EXPECT_EQ(head.GetClassFaces(key).Faces[k], has ? face(it->second[k]) : -1) << key << " " << k;
        }
    const std::pair<int, double> areas[] = {{1, 15 * 25},
                                            {2, 0.5 * 15 * 15 * t10},
                                            {3, 0.5 * 25 * dpx},
                                            {11, 0.5 * (20 + 15 * t10) * cpx},
                                            {22, 0.5 * 25 * 25 * t15},
                                            {23, 0.5 * 30 * 25 * t30},
                                            {24, (15 + dpx) * 25},
                                            {25, cpx * 30}};
    for (const auto& [row, area] : areas)
        EXPECT_NEAR(m.GetFaceSurface(m.GetFace(face(row))), area, 1e-9) << row;
}

TEST(MaillageTeteSimple, SlopeNormalsRiseAtTheirAnglesTowardThePlatform)
{
    for (bool twoBerms : {false, true})
    {
        TeteTranchee head;
        SingleSet().Flags(false, twoBerms).Apply(head);
        const TeteTranchee& p = head;
        // Toward the platform: against the front's and each side's outward
        // direction. A slope a from the vertical has a normal of height sin a.
        const LumPoint front(std::sin(p.Thetaf), -std::cos(p.Thetaf), 0);
        const LumPoint left(std::cos(p.Thetag1), -std::sin(p.Thetag1), 0);
        const LumPoint right(-std::cos(p.Thetad1), -std::sin(p.Thetad1), 0);
        std::vector<std::tuple<int, LumPoint, double>> cases = {
            {4, front, p.AlphaFi}, {5, front, p.AlphaFs},   {8, left, p.Alphagi1},
            {9, left, p.Alphags1}, {14, right, p.Alphadi1}, {15, right, p.Alphads1}};
        if (twoBerms)
            cases.insert(cases.end(),
                         {{6, front, p.AlphaFss}, {10, left, p.Alphagss1}, {16, right, p.Alphadss1}});
        for (const auto& [key, toward, a] : cases)
            EXPECT_TRUE(
                Near(Normal(head, FirstOf(head, key)), toward * std::cos(a) + LumPoint(0, 0, std::sin(a))))
                << key;
        // An outer slope holds the line rising at its angle from the
        // horizontal outward, and the level line from its foot to the exit
        // corner (the exit lies h behind D, so hp - Distanced1 farther from C').
        auto outer = [](const LumPoint& outward, double slope, const LumPoint& toExit)
        {
            LumPoint n = (outward * std::cos(slope) + LumPoint(0, 0, std::sin(slope))) ^ toExit;
            Normalize(n);
            return n.z < 0 ? n * -1.0 : n;
        };
        const LumPoint g2 = outer(left * -1.0, p.Alphag2, LumPoint(-p.h * std::tan(p.Thetag2), -p.h, 0));
        const LumPoint d2 =
            outer(right * -1.0, p.Alphad2, LumPoint(p.h * std::tan(p.Thetad2), p.Distanced1 - p.hp - p.h, 0));
        EXPECT_TRUE(Near(Normal(head, FirstOf(head, 12)), g2));
        EXPECT_TRUE(Near(Normal(head, FirstOf(head, 18)), d2));
        EXPECT_GT(g2 * left, 0.0);
        EXPECT_GT(d2 * right, 0.0);
    }
}

TEST(MaillageTeteSimple, EveryShapeIsAPlanarHeightFieldFacingTheExcavation)
{
    const Shape shapes[] = {
        {"constructor", SingleSet(), nullptr},
        {"second berm", SingleSet().Flags(false, true), nullptr},
        {"front skewed left", SingleSet().With(S::Thetaf, -10), nullptr},
        {"front square", SingleSet().With(S::Thetaf, 0), nullptr},
        {"right side as long as left", SingleSet().With(S::Distanced1, 25), nullptr},
        {"right side longer", SingleSet().With(S::Distanced1, 30).With(S::h, 40), nullptr},
        {"exits skewed inward", SingleSet().With(S::Thetag2, -10).With(S::Thetad2, -5), nullptr},
        {"symmetric", SingleSet().Flags(true, false), nullptr},
        {"minimal skews", SingleSet().With(S::Thetag1, 0.1).With(S::Thetad1, 0.1), nullptr},
        {"steep slopes", SingleSet().With(S::AlphaFi, 0).With(S::Alphagi1, 0.1).With(S::Alphadi1, 70),
         nullptr},
        {"no first berm", SingleSet(), [](TeteTranchee& t) { t.lr = 0.0; }},
        {"no right skew, no berm, second berm", SingleSet().Flags(false, true),
         [](TeteTranchee& t) { t.Thetad1 = t.lr = 0.0; }},
        {"straight right side", SingleSet(), [](TeteTranchee& t) { t.Thetad1 = t.Thetad2 = 0.0; }},
        {"straight right side, second berm", SingleSet().Flags(false, true),
         [](TeteTranchee& t) { t.Thetad1 = t.Thetad2 = 0.0; }},
        {"square exits", SingleSet(), [](TeteTranchee& t) { t.Thetag2 = t.Thetad2 = 0.0; }},
        {"placed copy", SingleSet(), Place},
        {"placed copy, second berm", SingleSet().Flags(false, true), Place},
    };
    for (const Shape& shape : shapes)
    {
        SCOPED_TRACE(shape.Name);
        TeteTranchee head;
        shape.Set.Apply(head);
        if (shape.Then)
            shape.Then(head);
        ASSERT_TRUE(head.BuildMesh());
        KorMesh& m = head.GetMesh();
        EXPECT_TRUE(CheckMesh(m));
        std::set<int> classed;
        for (const auto& [key, record] : head.GetFaceClasses())
            for (int f : record.Faces)
                EXPECT_TRUE(f < 0 || (m.GetFace(f) && classed.insert(f).second))
                    << "class " << key << " face " << f;
        for (int id = 0; id < m.GetFaceVectorSize(); ++id)
            if (KorFace* f = m.GetFace(id))
            {
                // No face points down at all: the closing faces stand upright.
                EXPECT_GT(m.GetNormal(f).z, -1e-9) << "face " << id;
                EXPECT_LT(NonPlanarity(m, f), 1e-9) << "face " << id;
            }
        EXPECT_TRUE(head.GetDownFaces().empty());
        // The up list holds the floor pieces, never the berms.
        const std::vector<int>& up = head.GetUpFaces();
        for (int key : {0, 3, 7, 11, 13, 17})
            EXPECT_EQ(std::count(up.begin(), up.end(), FirstOf(head, key)), FirstOf(head, key) >= 0 ? 1 : 0)
                << key;
        for (int key : {1, 2})
            for (int f : head.GetClassFaces(key).Faces)
                EXPECT_TRUE(f < 0 ||
                            (Normal(head, f).z > 0.99999 && std::count(up.begin(), up.end(), f) == 0));
        EXPECT_EQ(PlanOverlaps(head.GetMesh(), LumPoint(-60, -80, 0), LumPoint(60, 40, 0), 0.5), 0);
    }
}

TEST(MaillageTeteSimple, EdgeCasesOfTheConstruction)
{
    const double t10 = std::tan(Deg(10));
    const LumPoint A(-7.5, 0, 0), B(7.5, 0, 0), C(7.5, -25, 0), D(-7.5, -25, 0), C2(7.5, -20, 0),
        FR(7.5, 15 * t10, 0);
    {
        SCOPED_TRACE("front skewed left: FL is raised, not FR");
        TeteTranchee head;
        SingleSet().With(S::Thetaf, -10).Apply(head);
        const LumPoint FL(-7.5, 15 * t10, 0);
        const LumPoint Dp(-7.5 - (D - FL).Norm() * std::tan(Deg(20)), -25, 0);
        EXPECT_TRUE(RingIs(head.GetMesh(), FirstOf(head, 3), {A, B, FL}));
        EXPECT_TRUE(RingIs(head.GetMesh(), FirstOf(head, 7), {Dp, D, A, FL}));
        const std::vector<LumPoint> lower = FacePoints(head.GetMesh(), FirstOf(head, 4));
        EXPECT_TRUE(Near(lower[1], FL) && Near(lower[2], B));
    }
    {
        SCOPED_TRACE("right side as long as the left: C2 is C, named twice in the class-13 face");
        TeteTranchee head;
        SingleSet().With(S::Distanced1, 25).Apply(head);
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 36);
        EXPECT_TRUE(RingIs(head.GetMesh(), FirstOf(head, 0), {A, D, C, B}));
        const LumPoint Cp(7.5 + (25 + 15 * t10) * std::tan(Deg(30)), -25, 0);
        EXPECT_TRUE(RingIs(head.GetMesh(), FirstOf(head, 13), {Cp, FR, B, C}));
    }
    {
        SCOPED_TRACE("right side longer: the skew floor runs through C and C2");
        TeteTranchee head;
        SingleSet().With(S::Distanced1, 30).With(S::h, 40).Apply(head);
        const std::vector<LumPoint> skew = FacePoints(head.GetMesh(), FirstOf(head, 13));
        ASSERT_EQ(skew.size(), 5u);
        EXPECT_TRUE(Near(skew[2], B) && Near(skew[3], C) && Near(skew[4], LumPoint(7.5, -30, 0)));
    }
    {
        SCOPED_TRACE("no right skew, no first berm (from a file)");
        TeteTranchee head;
        head.Thetad1 = head.lr = 0.0;
        ASSERT_TRUE(head.BuildMesh());
        EXPECT_EQ(FirstOf(head, 13), -1);
        for (int f : head.GetClassFaces(1).Faces)
            EXPECT_EQ(f, -1);
        // The right lower slope starts on the platform edge.
        const std::vector<LumPoint> lower = FacePoints(head.GetMesh(), FirstOf(head, 14));
        EXPECT_TRUE(Near(lower[0], FR) && Near(lower[1], B) && Near(lower[2], C2));
        // The builder adds the berm's top points and corners (LT1, KL1, LT1p
        // and the right ones) on its edge's, where fusion merges them; E3
        // falls on E2 with C' on C2. Rows 5-7, 13-15, 20 give way to 8 and 16;
        // no rows 11 and 25.
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 36 - 6 - 1);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 27 - 7 + 2 - 2);
    }
    {
        SCOPED_TRACE("exits skewed inward: no exit floor triangles, E1 is XL, E3 is XR");
        TeteTranchee head;
        SingleSet().With(S::Thetag2, -10).With(S::Thetad2, -5).Apply(head);
        EXPECT_EQ(FirstOf(head, 11), -1);
        EXPECT_EQ(FirstOf(head, 17), -1);
        const double dpx = -7.5 - 25 * std::tan(Deg(20));
        EXPECT_EQ(VertexAt(head.GetMesh(), LumPoint(dpx, -50, 0)), -1);
        EXPECT_GE(VertexAt(head.GetMesh(), LumPoint(dpx + 25 * t10, -50, 0)), 0);
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 35);
    }
    {
        SCOPED_TRACE("straight right side: the outer slope runs down the platform edge");
        TeteTranchee head;
        head.Thetad1 = head.Thetad2 = 0.0;
        ASSERT_TRUE(head.BuildMesh());
        EXPECT_EQ(FirstOf(head, 13), -1);
        EXPECT_EQ(FirstOf(head, 17), -1);
        const std::vector<LumPoint> d2 = FacePoints(head.GetMesh(), FirstOf(head, 18));
        ASSERT_EQ(d2.size(), 8u);
        EXPECT_TRUE(Near(d2[5], C2) && Near(d2[6], C) && Near(d2[7], LumPoint(7.5, -50, 0)));
        // E2, E3 and C' have no vertex of their own; no rows 11, 23, 25.
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 34);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 24);
    }
}

TEST(MaillageTeteSimple, ParallelEdgeLinesFailTheBuildAndKeepWhatWasBuilt)
{
    struct Case
    {
        double Thetaf, Thetag1, Thetad1;
        int Vertices, Faces;
    } cases[] = {
        {10, 80, 30, 9, 2},   // A, B, C, D, FR, XL, XR, E2, C2; the platform and the skew floor
        {-10, 20, 80, 19, 9}, // FL for FR, then D', the left stack and rows 3 to 10
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Thetaf);
        TeteTranchee head;
        LumHandledMesh display(nullptr, "Tete");
        head.SetDisplayMesh(&display);
        ASSERT_TRUE(head.BuildMesh());
        ASSERT_EQ(display.GetNumberOfVertices(), 37);
        SingleSet()
            .With(S::Thetaf, c.Thetaf)
            .With(S::Thetag1, c.Thetag1)
            .With(S::Thetad1, c.Thetad1)
            .Apply(head);
        EXPECT_FALSE(head.IsBuilt());
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), c.Vertices);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), c.Faces);
        EXPECT_TRUE(CheckMesh(head.GetMesh()));
        EXPECT_TRUE(head.GetFaceClasses().empty() && head.GetUpFaces().empty());
        EXPECT_EQ(FirstOf(head, 0), -1);
        EXPECT_TRUE(Near(head.Point2Tunnel1, LumPoint(0, 15 * std::tan(Deg(10)) + 3, 0)));
        EXPECT_EQ(display.GetNumberOfVertices(), 37); // the last shape built
    }
}

TEST(MaillageTeteSimple, ValuesNoConstructionCanUseFailWithoutACrash)
{
    TeteTranchee reference;
    XMLNode form = XMLNode::createXMLTopNode("Tete");
    reference.ToXML(form);
    for (int k = 4; k < form.nChildNode(); ++k)
        for (const char* value : {"nan", "inf", "-inf", "1e300", "-1e300"})
        {
            const std::string key = form.getChildNode(k).getName();
            SCOPED_TRACE(key + " = " + value);
            TeteTranchee head;
            XMLNode file = XMLNode::createXMLTopNode("Tete");
            file.addChild(key).addText(value);
            head.FromXML(file);
            const bool built = head.BuildMesh();
            EXPECT_TRUE(CheckMesh(head.GetMesh()));
            // The platform's width enters every point.
            EXPECT_TRUE(key != "lp" || std::isfinite(head.lp) || !built);
            for (int id = 0; built && id < head.GetMesh().GetVertexVectorSize(); ++id)
            {
                const KorVertex* v = head.GetMesh().GetVertex(id);
                EXPECT_TRUE(!v || (std::isfinite(v->X) && std::isfinite(v->Y) && std::isfinite(v->Z)));
            }
        }
}

TEST(MaillageTeteSimple, ClassesNameLiveFacesAfterAFusionThatReusesIdentifiers)
{
    // Files with zero lengths collapse most of the head: the fusion frees
    // face identifiers and hands them to the faces it makes, so several
    // records name one identifier, and some end on a face gone since.
    const std::function<void(TeteTranchee&)> files[] = {
        [](TeteTranchee& t)
        {
            t.DoubleRisberme = true;
            t.lp = t.h = t.h2 = t.Thetaf = t.Alphags1 = t.Alphad2 = t.Thetad2 = 0.0;
            t.Distanced1 = 200.0;
        },
        [](TeteTranchee& t)
        {
            t.DoubleRisberme = true;
            t.lp = 0.0105;
            t.hp = 20.0;
            t.AlphaFs = 5.34906585;
            t.AlphaFss = 1.174532925;
            t.Thetad1 = 9.0;
            t.Thetag1 = t.Alphag2 = t.Thetag2 = t.Alphadi1 = t.hr = t.lr = t.h2 = t.h = t.hr2 = t.lr2 = 0.0;
        },
    };
    for (const auto& file : files)
    {
        TeteTranchee head;
        file(head);
        ASSERT_TRUE(head.BuildMesh());
        EXPECT_TRUE(CheckMesh(head.GetMesh()));
        for (const auto& [key, record] : head.GetFaceClasses())
            for (int f : record.Faces)
                EXPECT_TRUE(f < 0 || head.GetMesh().GetFace(f)) << "class " << key << " face " << f;
    }
}
