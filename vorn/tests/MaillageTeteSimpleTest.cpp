#include "LumHandledMesh.h"
#include "MeshChecker.h"
#include "TeteTestHelpers.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace
{
using S = SingleSet;

// A named head configuration: the setter's set, then fields changed as a
// file read would leave them (values the setters never give).
struct Shape
{
    std::string Name;
    SingleSet Set;
    std::function<void(TeteTranchee&)> FromFile;
};

std::vector<Shape> Shapes()
{
    SingleSet twoBerms;
    twoBerms.DoubleRisberme = true;
    SingleSet symmetric;
    symmetric.SymetrieGD = true;
    return {
        {"constructor", SingleSet(), nullptr},
        {"second berm", twoBerms, nullptr},
        {"front skewed left", SingleSet().With(S::Thetaf, -10), nullptr},
        {"front square", SingleSet().With(S::Thetaf, 0), nullptr},
        {"right side as long as left", SingleSet().With(S::Distanced1, 25), nullptr},
        {"right side longer", SingleSet().With(S::Distanced1, 30).With(S::h, 40), nullptr},
        {"exits skewed inward", SingleSet().With(S::Thetag2, -10).With(S::Thetad2, -5), nullptr},
        {"symmetric", symmetric, nullptr},
        {"minimal skews", SingleSet().With(S::Thetag1, 0.1).With(S::Thetad1, 0.1), nullptr},
        {"steep slopes", SingleSet().With(S::AlphaFi, 0).With(S::Alphagi1, 0.1).With(S::Alphadi1, 70),
         nullptr},
        {"no first berm", SingleSet(), [](TeteTranchee& t) { t.lr = 0.0; }},
        {"no right skew", SingleSet(), [](TeteTranchee& t) { t.Thetad1 = 0.0; }},
        {"no right skew, no berm, second berm", twoBerms,
         [](TeteTranchee& t)
         {
             t.Thetad1 = 0.0;
             t.lr = 0.0;
         }},
        {"straight right side", SingleSet(),
         [](TeteTranchee& t)
         {
             t.Thetad1 = 0.0;
             t.Thetad2 = 0.0;
         }},
        {"straight right side, second berm", twoBerms,
         [](TeteTranchee& t)
         {
             t.Thetad1 = 0.0;
             t.Thetad2 = 0.0;
         }},
        {"square exits", SingleSet(),
         [](TeteTranchee& t)
         {
             t.Thetag2 = 0.0;
             t.Thetad2 = 0.0;
         }},
    };
}

bool Make(const Shape& shape, TeteTranchee& head)
{
    shape.Set.Apply(head);
    if (shape.FromFile)
        shape.FromFile(head);
    return head.BuildMesh();
}

// Largest distance of a face's corners from the plane of its first
// triangle of largest area.
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

LumPoint Normal(TeteTranchee& head, int face)
{
    return head.GetMesh().GetNormal(head.GetMesh().GetFace(face));
}

// Whether p lies inside the face's plan polygon by more than margin.
bool StrictlyInsideInPlan(const std::vector<LumPoint>& poly, double x, double y, double margin)
{
    bool inside = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
    {
        const LumPoint& a = poly[i];
        const LumPoint& b = poly[j];
        const LumPoint d = b - a;
        const double len2 = d.x * d.x + d.y * d.y;
        if (len2 > 0.0)
        {
            const double t = std::max(0.0, std::min(1.0, ((x - a.x) * d.x + (y - a.y) * d.y) / len2));
            if (std::hypot(a.x + t * d.x - x, a.y + t * d.y - y) <= margin)
                return false;
        }
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * d.x / d.y)
            inside = !inside;
    }
    return inside;
}

// The number of grid points (0.5 apart over |x| <= 60, -80 <= y <= 40) that
// lie inside two faces seen from above.
int PlanOverlaps(TeteTranchee& head)
{
    KorMesh& mesh = head.GetMesh();
    std::vector<std::vector<LumPoint>> up;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id))
            if (mesh.GetNormal(f).z > 1e-6)
                up.push_back(FacePoints(mesh, id));
    int overlaps = 0;
    for (double x = -60.0; x <= 60.0; x += 0.5)
        for (double y = -80.0; y <= 40.0; y += 0.5)
        {
            int covering = 0;
            for (const std::vector<LumPoint>& poly : up)
                covering += StrictlyInsideInPlan(poly, x, y, 1e-7) ? 1 : 0;
            overlaps += covering > 1 ? 1 : 0;
        }
    return overlaps;
}
} // namespace

TEST(MaillageTeteSimple, ConstructorSetCountsWithAndWithoutTheSecondBerm)
{
    // Rows 1-7, 9-15, 17-25, 42-45; with the second berm rows 28-41 in
    // place of 42-45 and twelve third-level vertices more.
    struct Case
    {
        bool DoubleRisberme;
        int Vertices, Faces;
    } cases[] = {{false, 37, 27}, {true, 49, 37}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.DoubleRisberme);
        TeteTranchee head;
        SingleSet set;
        set.DoubleRisberme = c.DoubleRisberme;
        set.Apply(head);
        EXPECT_TRUE(head.IsBuilt());
        EXPECT_TRUE(CheckMesh(head.GetMesh()));
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), c.Vertices);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), c.Faces);
        // The upper slopes and the second berms exist only with that berm.
        for (int key : {2, 6, 10, 16})
            EXPECT_EQ(head.GetClassFaces(key).Faces[0] >= 0, c.DoubleRisberme) << key;
        // Outer slopes: foot, exit corner, extension pair and the
        // projections (four levels without, six with the second berm).
        EXPECT_EQ(FacePoints(head.GetMesh(), head.GetClassFaces(12).Faces[0]).size(),
                  c.DoubleRisberme ? 9u : 7u);
        EXPECT_EQ(FacePoints(head.GetMesh(), head.GetClassFaces(18).Faces[0]).size(),
                  c.DoubleRisberme ? 9u : 7u);
    }
}

TEST(MaillageTeteSimple, ConstructorSetPointsAreTheConstructionsOnes)
{
    TeteTranchee head;
    const KorMesh& m = head.GetMesh();
    const double t10 = std::tan(Deg(10)), t20 = std::tan(Deg(20)), t30 = std::tan(Deg(30));
    EXPECT_NEAR(15 * t10, 2.6449, 1e-4);
    const LumPoint FR(7.5, 15 * t10, 0);
    const LumPoint Dp(-7.5 - 25 * t20, -25, 0);
    const LumPoint Cp(7.5 + (20 + 15 * t10) * t30, -20, 0);
    for (const LumPoint& p : {FR, Dp, Cp, LumPoint(-7.5, 0, 0), LumPoint(7.5, -20, 0), LumPoint(7.5, -25, 0)})
        EXPECT_GE(VertexAt(m, p), 0) << p.x << ", " << p.y;
    EXPECT_TRUE(Near(head.Point1Tunnel1, LumPoint(0, 0, 0)));
    EXPECT_TRUE(Near(head.Point2Tunnel1, LumPoint(0, 15 * t10 + 3.0, 0)));
    // The exit line lies h behind D', its left corner skewed by Thetag2.
    EXPECT_GE(VertexAt(m, LumPoint(Dp.x - 25 * std::tan(Deg(15)), -50, 0)), 0);
    EXPECT_GE(VertexAt(m, LumPoint(Cp.x + 25 * t30, -50, 0)), 0);

    TeteTranchee square;
    SingleSet().With(S::Thetaf, 0).Apply(square);
    EXPECT_TRUE(Near(square.Point2Tunnel1, LumPoint(0, 3, 0)));
    EXPECT_EQ(square.GetClassFaces(3).Faces[0], -1);
    EXPECT_EQ(square.GetMesh().GetNumberOfVertices(), 36);
}

TEST(MaillageTeteSimple, FloorPiecesHaveTheirPlanAreas)
{
    TeteTranchee head;
    const double t10 = std::tan(Deg(10)), t15 = std::tan(Deg(15)), t20 = std::tan(Deg(20)),
                 t30 = std::tan(Deg(30));
    const double cpx = (20 + 15 * t10) * t30; // C' beyond the platform edge
    const double dpx = 25 * t20;              // D' beyond the platform edge
    const KorMesh& m = head.GetMesh();
    auto area = [&](int face) { return m.GetFaceSurface(m.GetFace(face)); };
    struct Case
    {
        int Key;
        double Area;
    } cases[] = {
        {0, 15 * 25},                      // platform rectangle, C2 on its edge
        {3, 0.5 * 15 * 15 * t10},          // between A-B and the skewed front
        {7, 0.5 * 25 * dpx},               // A, D', D
        {13, 0.5 * (20 + 15 * t10) * cpx}, // C2, FR, C' with B on C2-FR
        {11, 0.5 * 25 * 25 * t15},         // D', XL, E1
        {17, 0.5 * 30 * 25 * t30},         // C', E3, XR
    };
    for (const Case& c : cases)
        EXPECT_NEAR(area(head.GetClassFaces(c.Key).Faces[0]), c.Area, 1e-9) << c.Key;
    // The two unclassed exit floors: behind the left part and behind the
    // right skew, down to the exit line 50 behind the front.
    std::multiset<long> exits;
    for (int id : head.GetUpFaces())
    {
        bool classed = false;
        for (const auto& entry : head.GetFaceClasses())
            for (int f : entry.second.Faces)
                classed = classed || f == id;
        if (!classed)
            exits.insert(std::lround(area(id) * 1e6));
    }
    EXPECT_EQ(exits, (std::multiset<long>{std::lround((15 + dpx) * 25 * 1e6), std::lround(cpx * 30 * 1e6)}));
}

TEST(MaillageTeteSimple, EveryShapeIsAnOrientedPlanarMeshWithLiveDisjointClasses)
{
    for (const Shape& shape : Shapes())
    {
        SCOPED_TRACE(shape.Name);
        TeteTranchee head;
        ASSERT_TRUE(Make(shape, head));
        KorMesh& m = head.GetMesh();
        EXPECT_TRUE(CheckMesh(m));
        std::set<int> classed;
        for (const auto& entry : head.GetFaceClasses())
            for (int f : entry.second.Faces)
                if (f >= 0)
                {
                    EXPECT_NE(m.GetFace(f), nullptr) << "class " << entry.first;
                    EXPECT_TRUE(classed.insert(f).second) << "face " << f << " in two classes";
                }
        EXPECT_EQ(head.GetFaceClasses().size(), 19u);
        for (int id = 0; id < m.GetFaceVectorSize(); ++id)
        {
            KorFace* f = m.GetFace(id);
            if (!f)
                continue;
            // No face points down at all: vertical faces are the lowest.
            EXPECT_GT(m.GetNormal(f).z, -1e-9) << "face " << id;
            EXPECT_LT(NonPlanarity(m, f), 1e-9) << "face " << id;
        }
        EXPECT_TRUE(head.GetDownFaces().empty());
        // The up list holds every horizontal face but the berms.
        for (int key : {0, 3, 7, 11, 13, 17})
        {
            const int f = head.GetClassFaces(key).Faces[0];
            if (f >= 0)
            {
                EXPECT_EQ(std::count(head.GetUpFaces().begin(), head.GetUpFaces().end(), f), 1) << key;
            }
        }
        for (int key : {1, 2})
        {
            for (int f : head.GetClassFaces(key).Faces)
            {
                if (f < 0)
                    continue;
                EXPECT_GT(Normal(head, f).z, 0.99999);
                EXPECT_EQ(std::count(head.GetUpFaces().begin(), head.GetUpFaces().end(), f), 0);
            }
        }
        EXPECT_EQ(PlanOverlaps(head), 0);
    }
}

TEST(MaillageTeteSimple, ConstructorSetUpListAndClassRecordsFollowTheRows)
{
    TeteTranchee head;
    // Faces are numbered in the order the rows are built.
    const int built[] = {1,  2,  3,  4,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15,
                         17, 18, 19, 20, 21, 22, 23, 24, 25, 42, 43, 44, 45};
    auto face = [&](int row)
    {
        for (int k = 0; k < 27; ++k)
            if (built[k] == row)
                return k;
        return -1;
    };
    const std::vector<int> up = {face(1), face(2), face(3), face(11), face(22), face(23), face(24), face(25)};
    EXPECT_EQ(head.GetUpFaces(), up);
    const std::map<int, std::vector<int>> rows = {
        {0, {1}},   {1, {5, 20, 13}}, {2, {}},  {3, {2}},   {4, {19}},  {5, {21}},  {6, {}},
        {7, {3}},   {8, {4}},         {9, {9}}, {10, {}},   {11, {22}}, {12, {44}}, {13, {11}},
        {14, {12}}, {15, {17}},       {16, {}}, {17, {23}}, {18, {45}}};
    for (const auto& [key, keyRows] : rows)
    {
        const sClasseFaces record = head.GetClassFaces(key);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(record.Faces[k], k < int(keyRows.size()) ? face(keyRows[k]) : -1)
                << "key " << key << " entry " << k;
    }
    EXPECT_EQ(head.GetClassFaces(19).Faces[0], -1);
}

TEST(MaillageTeteSimple, SlopeNormalsRiseAtTheirAnglesTowardThePlatform)
{
    for (bool twoBerms : {false, true})
    {
        SCOPED_TRACE(twoBerms);
        TeteTranchee head;
        SingleSet set;
        set.DoubleRisberme = twoBerms;
        set.Apply(head);
        const TeteTranchee& p = head;
        // Toward the platform: against the front's and each side's outward
        // horizontal direction. A slope of a from the vertical has a normal
        // of height sin a; the outer slopes are measured from the horizontal.
        const LumPoint front(std::sin(p.Thetaf), -std::cos(p.Thetaf), 0);
        const LumPoint left(std::cos(p.Thetag1), -std::sin(p.Thetag1), 0);
        const LumPoint right(-std::cos(p.Thetad1), -std::sin(p.Thetad1), 0);
        struct Case
        {
            int Key;
            LumPoint Toward;
            double FromVertical;
        };
        std::vector<Case> cases = {
            {4, front, p.AlphaFi}, {5, front, p.AlphaFs},   {8, left, p.Alphagi1},
            {9, left, p.Alphags1}, {14, right, p.Alphadi1}, {15, right, p.Alphads1},
        };
        if (twoBerms)
            cases.insert(cases.end(),
                         {{6, front, p.AlphaFss}, {10, left, p.Alphagss1}, {16, right, p.Alphadss1}});
        // An outer slope holds the line rising at its angle from the
        // horizontal along the side's outward direction, and the horizontal
        // line from its foot to the exit corner (the exit line lies h behind
        // D, so the right foot C' is hp - Distanced1 nearer the front).
        auto outer = [](const LumPoint& outward, double slope, const LumPoint& toExit)
        {
            LumPoint n = (outward * std::cos(slope) + LumPoint(0, 0, std::sin(slope))) ^ toExit;
            Normalize(n);
            return n.z < 0 ? n * -1.0 : n;
        };
        const LumPoint g2 = outer(left * -1.0, p.Alphag2, LumPoint(-std::tan(p.Thetag2), -1, 0));
        const LumPoint d2 =
            outer(right * -1.0, p.Alphad2, LumPoint(p.h * std::tan(p.Thetad2), p.Distanced1 - p.hp - p.h, 0));
        EXPECT_TRUE(Near(Normal(head, head.GetClassFaces(12).Faces[0]), g2, 1e-9));
        EXPECT_TRUE(Near(Normal(head, head.GetClassFaces(18).Faces[0]), d2, 1e-9));
        EXPECT_GT(g2 * left, 0.0);
        EXPECT_GT(d2 * right, 0.0);
        for (const Case& c : cases)
        {
            const LumPoint n = Normal(head, head.GetClassFaces(c.Key).Faces[0]);
            const LumPoint expected =
                c.Toward * std::cos(c.FromVertical) + LumPoint(0, 0, std::sin(c.FromVertical));
            EXPECT_TRUE(Near(n, expected, 1e-9))
                << "key " << c.Key << ": " << n.x << ", " << n.y << ", " << n.z;
        }
    }
}

TEST(MaillageTeteSimple, EdgeCasesOfTheConstruction)
{
    const double t10 = std::tan(Deg(10));
    const LumPoint A(-7.5, 0, 0), B(7.5, 0, 0), C(7.5, -25, 0), D(-7.5, -25, 0), C2(7.5, -20, 0);
    const LumPoint Dp(-7.5 - 25 * std::tan(Deg(20)), -25, 0);
    {
        SCOPED_TRACE("front skewed left: FL is raised, not FR");
        TeteTranchee head;
        SingleSet().With(S::Thetaf, -10).Apply(head);
        const LumPoint FL(-7.5, 15 * t10, 0);
        const LumPoint Dp10(-7.5 - (D - FL).Norm() * std::tan(Deg(20)), -25, 0);
        EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(3).Faces[0], {A, B, FL}));
        EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(7).Faces[0], {Dp10, D, A, FL}));
        const std::vector<LumPoint> lower = FacePoints(head.GetMesh(), head.GetClassFaces(4).Faces[0]);
        EXPECT_TRUE(Near(lower[1], FL) && Near(lower[2], B));
    }
    {
        SCOPED_TRACE("right side as long as the left: C2 is C");
        TeteTranchee head;
        SingleSet().With(S::Distanced1, 25).Apply(head);
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 36);
        EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(0).Faces[0], {A, D, C, B}));
        const LumPoint FR(7.5, 15 * t10, 0);
        const LumPoint Cp(7.5 + (25 + 15 * t10) * std::tan(Deg(30)), -25, 0);
        EXPECT_TRUE(RingIs(head.GetMesh(), head.GetClassFaces(13).Faces[0], {Cp, FR, B, C}));
    }
    {
        SCOPED_TRACE("right side longer: the skew floor and the exit run through C2");
        TeteTranchee head;
        SingleSet().With(S::Distanced1, 30).With(S::h, 40).Apply(head);
        const LumPoint far(7.5, -30, 0);
        const std::vector<LumPoint> skew = FacePoints(head.GetMesh(), head.GetClassFaces(13).Faces[0]);
        EXPECT_EQ(skew.size(), 5u);
        EXPECT_TRUE(Near(skew[2], B) && Near(skew[3], C) && Near(skew[4], far));
    }
    {
        SCOPED_TRACE("no right skew, no first berm: the right lower slope starts on the platform edge");
        TeteTranchee head;
        head.Thetad1 = 0.0;
        head.lr = 0.0;
        ASSERT_TRUE(head.BuildMesh());
        EXPECT_EQ(head.GetClassFaces(13).Faces[0], -1);
        for (int f : head.GetClassFaces(1).Faces)
            EXPECT_EQ(f, -1);
        const std::vector<LumPoint> lower = FacePoints(head.GetMesh(), head.GetClassFaces(14).Faces[0]);
        ASSERT_GE(lower.size(), 3u);
        EXPECT_TRUE(Near(lower[0], LumPoint(7.5, 15 * t10, 0)) && Near(lower[1], B) && Near(lower[2], C2));
        // Without the berm its edge and top coincide: the builder adds both
        // (LT1, KL1, LT1p and the right ones), the fusion keeps one of each;
        // with C' on C2 the exit point E3 falls on E2 and merges too.
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 36 - 6 - 1);
        // Rows 5-7, 13-15 and 20 give way to rows 8 and 16; no rows 11 and 25.
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 27 - 7 + 2 - 2);
    }
    {
        SCOPED_TRACE("exits skewed inward: no exit floor triangle, E1 is XL");
        TeteTranchee head;
        SingleSet().With(S::Thetag2, -10).With(S::Thetad2, -5).Apply(head);
        EXPECT_EQ(head.GetClassFaces(11).Faces[0], -1);
        EXPECT_EQ(head.GetClassFaces(17).Faces[0], -1);
        EXPECT_EQ(VertexAt(head.GetMesh(), LumPoint(Dp.x, -50, 0)), -1);
        EXPECT_GE(VertexAt(head.GetMesh(), LumPoint(Dp.x + 25 * t10, -50, 0)), 0);
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 35);
    }
    {
        SCOPED_TRACE("straight right side: the outer slope runs down the platform edge");
        TeteTranchee head;
        head.Thetad1 = 0.0;
        head.Thetad2 = 0.0;
        ASSERT_TRUE(head.BuildMesh());
        for (int key : {13, 17})
            EXPECT_EQ(head.GetClassFaces(key).Faces[0], -1) << key;
        const std::vector<LumPoint> d2 = FacePoints(head.GetMesh(), head.GetClassFaces(18).Faces[0]);
        ASSERT_EQ(d2.size(), 8u);
        EXPECT_TRUE(Near(d2[5], C2) && Near(d2[6], C) && Near(d2[7], LumPoint(7.5, -50, 0)));
        // E2, E3 and C' have no vertex of their own; no row 25.
        EXPECT_EQ(head.GetMesh().GetNumberOfVertices(), 34);
        EXPECT_EQ(head.GetMesh().GetNumberOfFaces(), 27 - 3);
    }
}

TEST(MaillageTeteSimple, ParallelEdgeLinesFailTheBuildAndKeepWhatWasBuilt)
{
    struct Case
    {
        const char* Name;
        double Thetaf, Thetag1, Thetad1;
        int Vertices, Faces;
    } cases[] = {
        // A, B, C, D, FR, XL, XR, E2, C2; the platform and the skew floor.
        {"left", 10, 80, 30, 9, 2},
        // FL in place of FR, then D', the left stack and rows 3 to 10.
        {"right", -10, 20, 80, 19, 9},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
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
        EXPECT_TRUE(head.GetFaceClasses().empty());
        EXPECT_EQ(head.GetClassFaces(0).Faces[0], -1);
        EXPECT_TRUE(head.GetUpFaces().empty());
        EXPECT_TRUE(Near(head.Point2Tunnel1, LumPoint(0, 15 * std::tan(Deg(10)) + 3, 0)));
        // The display keeps the last shape that was built.
        EXPECT_EQ(display.GetNumberOfVertices(), 37);
    }
}

TEST(MaillageTeteSimple, PlacedCopyIsAHeightFieldToo)
{
    // The axis places a copy with h = w, h2 = w tan(86 rad), Prolongement = w.
    for (double w : {10.0, 40.0})
    {
        SCOPED_TRACE(w);
        TeteTranchee head;
        TeteTranchee placed;
        ASSERT_TRUE(placed.CopyAndAdjust(head, w, w * std::tan(86.0), w));
        EXPECT_NEAR(placed.h2, 2.4067297 * w, 1e-6 * w);
        EXPECT_TRUE(CheckMesh(placed.GetMesh()));
        EXPECT_EQ(PlanOverlaps(placed), 0);
        EXPECT_TRUE(placed.GetDownFaces().empty());
    }
}

TEST(MaillageTeteSimple, ValuesNoConstructionCanUseFailWithoutACrash)
{
    const double bad[] = {std::nan(""), INFINITY, -INFINITY, 1e300, -1e300};
    TeteTranchee reference;
    XMLNode form = XMLNode::createXMLTopNode("Tete");
    reference.ToXML(form);
    for (int k = 0; k < form.nChildNode(); ++k)
    {
        const std::string key = form.getChildNode(k).getName();
        if (key.rfind("Point", 0) == 0 || key == "DoubleEntree" || key == "CoteAvance")
            continue;
        for (double value : bad)
        {
            SCOPED_TRACE(key + " = " + std::to_string(value));
            TeteTranchee head;
            XMLNode file = XMLNode::createXMLTopNode("Tete");
            file.addChild(key).addText(std::to_string(value));
            head.FromXML(file);
            const bool built = head.BuildMesh();
            EXPECT_TRUE(CheckMesh(head.GetMesh()));
            // The platform's width enters every point.
            if (key == "lp" && !std::isfinite(value))
            {
                EXPECT_FALSE(built);
            }
            if (!built)
                continue;
            for (int id = 0; id < head.GetMesh().GetVertexVectorSize(); ++id)
            {
                if (const KorVertex* v = head.GetMesh().GetVertex(id))
                {
                    EXPECT_TRUE(std::isfinite(v->X) && std::isfinite(v->Y) && std::isfinite(v->Z));
                }
            }
        }
    }
}
