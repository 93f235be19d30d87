// The terrain cross-section computed without a window: profiles against the
// analytic surface, the tolerant ordering, the boreholes' distance limit in
// metres, the axis crossing, and the picking's section-point constraint.

#include "SectionData.h"
#include "Axe.h"
#include "Couche.h"
#include "Discontinuite.h"
#include "ElementTestSupport.h"
#include "KorSort.h"

#include <random>

namespace
{
class SectionDataTest : public ElementTest
{
protected:
    void SetUp() override
    {
        ElementTest::SetUp();
        gProjet.Echelle = 100.0;
    }
    // A plane z = 0.5 y + 3 over [0, 100]^2, split into a grid so the cut
    // crosses many edges.
    Couche* AddSlope(const std::string& name)
    {
        Couche* couche = gProjet.AddCouche(name, gProjet.GetNumberOfCouches());
        for (int i = 0; i <= 4; ++i)
            for (int j = 0; j <= 4; ++j)
                couche->AddPoint(LumPoint(25 * i, 25 * j, 0.5 * 25 * j + 3), 1, 0, false, false);
        return couche;
    }
    static SectionPlane Plane(double x1, double y1, double x2, double y2)
    {
        SectionPlane plane;
        plane.First = LumPoint(x1, y1, 0);
        plane.Second = LumPoint(x2, y2, 0);
        return plane;
    }
    static void SetAxis(const std::vector<LumPoint>& points)
    {
        gProjet.GetAxe().Type = 1;
        gProjet.GetAxe().ReplacePolyline(points);
    }
};

// Vertical planes across the cut every 10 m trace vertical segments from
// the slope down to the drawing's bottom, at their abscissae, whichever way
// the cut runs (the band closes under each end of the profile).
TEST_F(SectionDataTest, DiscontinuityTracesCrossTheLayerBand)
{
    Couche* couche = AddSlope("pente");
    for (const auto& [azimut, plane, along] :
         {std::tuple{0.0, Plane(37, 5, 37, 95), 'y'}, std::tuple{90.0, Plane(5, 37, 95, 37), 'x'}})
    {
        SCOPED_TRACE(along);
        gProjet.DeleteDiscontinuite("F", false);
        Discontinuite* family = gProjet.AddDiscontinuite("F", false, false);
        family->SetValues(azimut, 90.0, 10.0, 0.0);
        couche->Discontinuites = {"F"};
        SectionData data;
        ASSERT_TRUE(ComputeSectionData(gProjet, plane, false, 1.0, data));
        const std::vector<LumPoint>& trace = data.Traces[0];
        ASSERT_GE(trace.size(), 16u);
        ASSERT_EQ(trace.size() % 2, 0u);
        for (size_t k = 0; k < trace.size(); k += 2)
        {
            const LumPoint& a = trace[k];
            const LumPoint& b = trace[k + 1];
            EXPECT_NEAR(a.x, b.x, 1e-6); // one abscissa: a vertical segment
            EXPECT_GE(a.x, -1e-6);
            EXPECT_LE(a.x, 90 + 1e-6);
            const double low = std::min(a.z, b.z), high = std::max(a.z, b.z);
            EXPECT_NEAR(low, data.DrawBottom, 1e-4);
            // The top on the profile: slope 0.5 along y, flat along x.
            const double y = along == 'y' ? 5 + a.x : 37;
            EXPECT_NEAR(high, 0.5 * y + 3, 1e-3);
        }
    }
}

TEST_F(SectionDataTest, ProfileFollowsTheSurfaceFromEndToEnd)
{
    AddSlope("pente");
    SectionData data;
    // The altitudes of the picked ends do not stretch the cut: abscissae are
    // measured in plan.
    for (const auto& [z1, z2] : {std::pair{0.0, 0.0}, {0.0, 450.0}, {300.0, -20.0}})
    {
        SectionPlane plane = Plane(37, 10, 37, 90);
        plane.First.z = z1;
        plane.Second.z = z2;
        ASSERT_TRUE(ComputeSectionData(gProjet, plane, false, 1.0, data));
        EXPECT_DOUBLE_EQ(data.Length, 80.0);
        ASSERT_EQ(data.Profiles.size(), 1u);
        const auto& profile = data.Profiles[0];
        ASSERT_GE(profile.size(), 4u);
        EXPECT_NEAR(profile.front().Abscissa, 0.0, 1e-9);
        EXPECT_NEAR(profile.back().Abscissa, 80.0, 1e-9);
        for (size_t k = 0; k < profile.size(); ++k)
        {
            // Slope 0.5 along the cut, which runs up y from y = 10.
            EXPECT_NEAR(profile[k].Point.z, 0.5 * (10 + profile[k].Abscissa) + 3, 1e-4) << k;
            EXPECT_NEAR(profile[k].Point.x, 37.0, 1e-4) << k;
            if (k > 0)
            {
                EXPECT_GT(profile[k].Abscissa, profile[k - 1].Abscissa) << k;
            }
        }
        // The range: 8 to 48 with 40 % margins.
        EXPECT_NEAR(data.DrawBottom, 8 - 16, 1e-4);
        EXPECT_NEAR(data.DrawTop, 48 + 16, 1e-4);
        EXPECT_EQ(data.Traces.size(), 1u);
    }
    // A cut off the layer has no end points and no crossing; a degenerate
    // one computes nothing.
    ASSERT_TRUE(ComputeSectionData(gProjet, Plane(200, 10, 200, 90), false, 1.0, data));
    EXPECT_TRUE(data.Profiles[0].empty());
    SectionData kept = data;
    EXPECT_FALSE(ComputeSectionData(gProjet, Plane(5, 5, 5, 5 + 1e-6), false, 1.0, data));
    EXPECT_EQ(data.Length, kept.Length);
}

// A cut along mesh edges meets every vertex on it twice: each stays once,
// so a ridge on the cut is still drawn.
TEST_F(SectionDataTest, CutAlongEdgesKeepsTheirVerticesOnce)
{
    Couche* couche = gProjet.AddCouche("toit", 0);
    for (const double y : {0.0, 100.0})
        for (const auto& [x, z] : {std::pair{0.0, 0.0}, {50.0, 10.0}, {100.0, 0.0}})
            couche->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
    SectionData data;
    ASSERT_TRUE(ComputeSectionData(gProjet, Plane(0, 0, 100, 0), false, 1.0, data));
    std::vector<std::pair<double, double>> points;
    for (const SectionPoint& p : data.Profiles[0])
        points.emplace_back(p.Abscissa, p.Point.z);
    const std::vector<std::pair<double, double>> expected{{0, 0}, {50, 10}, {100, 0}};
    EXPECT_EQ(points, expected);
}

// With the head shown, the cut layer's excavation mesh (tag 0) and head mesh
// (tag 1) replace its surface; where both meet, the head's point stays.
TEST_F(SectionDataTest, ExcavationCutsTheLayersIntersectionAndHeadMeshes)
{
    Couche* couche = AddSquare("sol", 5.0);
    // Excavation: flat at z 5 over x 0..40; head: down to z -5 at x 60.
    auto quad = [](KorMesh& mesh, const std::vector<LumPoint>& corners)
    {
        std::vector<int> ids;
        for (const LumPoint& p : corners)
            ids.push_back(mesh.AddVertex(p));
        mesh.AddFace(3, ids[0], ids[1], ids[2]);
        mesh.AddFace(3, ids[0], ids[2], ids[3]);
    };
    quad(couche->GetMesh(Couche::Intersection), {{0, 0, 5}, {40, 0, 5}, {40, 100, 5}, {0, 100, 5}});
    quad(couche->GetMesh(Couche::Tete), {{40, 0, 5}, {60, 0, -5}, {60, 100, -5}, {40, 100, 5}});
    gProjet.m3DAffichageTete = true;
    for (const bool shown : {true, false})
    {
        SCOPED_TRACE(shown);
        SectionData data;
        ASSERT_TRUE(ComputeSectionData(gProjet, Plane(0, 50, 100, 50), shown, 1.0, data));
        int head = 0;
        for (const SectionPoint& p : data.Profiles[0])
        {
            if (p.Tag == 1)
            {
                ++head;
                EXPECT_NEAR(p.Point.z, 5 - (p.Abscissa - 40) / 2, 1e-5);
            }
            else
            {
                EXPECT_NEAR(p.Point.z, 5.0, 1e-5);
                EXPECT_FALSE(shown && std::fabs(p.Abscissa - 40) < 1e-5);
            }
        }
        EXPECT_EQ(head, shown ? 3 : 0); // both borders and the diagonal
    }
}

TEST_F(SectionDataTest, FlatSectionIsTwoUnitsHighAndAMissedAxisDoesNotWidenIt)
{
    AddSquare("plat", 7.0);
    SetAxis({LumPoint(0, 200, -50), LumPoint(100, 200, -50)}); // parallel to the cut
    SectionData data;
    ASSERT_TRUE(ComputeSectionData(gProjet, Plane(10, 50, 90, 50), false, 1.0, data));
    EXPECT_EQ(data.AxisCrossing2D.x, -10000.0);
    EXPECT_DOUBLE_EQ(data.AltitudeMin, 7.0);
    EXPECT_DOUBLE_EQ(data.DrawBottom, 6.0);
    EXPECT_DOUBLE_EQ(data.DrawTop, 8.0);
}

TEST_F(SectionDataTest, AxisCrossingGivesAbscissaChainageAndLowersTheRange)
{
    AddSquare("plat", 7.0);
    // Along +Y at x = 40, z = -13, chainage origin at y = 20.
    SetAxis({LumPoint(40, 0, -13), LumPoint(40, 100, -13)});
    gProjet.GetAxe().PMPlace = true;
    gProjet.GetAxe().PM = LumPoint(40, 20, -13);
    gProjet.Echelle = 50.0; // one scene unit is half a metre
    SectionData data;
    ASSERT_TRUE(ComputeSectionData(gProjet, Plane(10, 60, 90, 60), false, 1.0, data));
    EXPECT_NEAR(data.AxisCrossing2D.x, 30.0, 1e-6);
    EXPECT_NEAR(data.AxisCrossing.y, 60.0, 1e-6);
    EXPECT_NEAR(data.AxisChainage, 40 * 0.5, 1e-6);
    EXPECT_DOUBLE_EQ(data.AltitudeMin, -13.0);
    EXPECT_NEAR(data.DrawBottom, -13 - 0.4 * 20, 1e-9);
}

// The typed limit is in metres: at Echelle 50 a borehole 3 m (6 scene
// units) from the cut shows with 3.5 m and not with 2.5 m; compared in
// scene units as typed, 3.5 hid it.
TEST_F(SectionDataTest, BoreholeLimitIsInMetres)
{
    gProjet.Echelle = 50.0;
    AddSquare("plat", 7.0);
    gProjet.SetSondage(Vertical("S1", 53, 25, {{"plat", 10}}), -1, false, false); // scene (106, 50)
    const struct
    {
        double limit;
        size_t shown;
    } cases[] = {{3.5, 1}, {2.5, 0}, {3.0001, 1}};
    for (const auto& c : cases)
    {
        SectionData data;
        ASSERT_TRUE(ComputeSectionData(gProjet, Plane(100, 0, 100, 100), false, c.limit, data));
        ASSERT_EQ(data.Boreholes.size(), c.shown) << c.limit;
        if (c.shown)
        {
            EXPECT_EQ(data.Boreholes[0].Name, "S1");
            EXPECT_NEAR(data.Boreholes[0].Distance, 3.0, 1e-5);
            EXPECT_NEAR(data.Boreholes[0].Head.x, 50.0, 1e-4); // its abscissa
        }
    }
}

SectionPoint At(double abscissa, double z, int tag = 0)
{
    SectionPoint p;
    p.Point = LumPoint(0, 0, z);
    p.Abscissa = abscissa;
    p.Tag = tag;
    return p;
}

// "a:z:tag" of each point, in order.
std::string Describe(const std::vector<SectionPoint>& profile)
{
    std::string text;
    for (const SectionPoint& p : profile)
        text += std::to_string(int(p.Abscissa)) + ":" + std::to_string(int(p.Point.z)) + ":" +
                std::to_string(p.Tag) + " ";
    return text;
}

TEST(SectionProfileOrder, CoincidentPointsKeepHeadPointsAndOrderTheirRuns)
{
    const struct
    {
        std::vector<SectionPoint> in;
        std::string out;
    } cases[] = {
        // Points 5e-6 apart sort by altitude, lower first.
        {{At(3, 1), At(2 + 5e-6, 9, 1), At(2, 4, 1), At(0, 0)}, "0:0:0 2:4:1 2:9:1 3:1:0 "},
        // A surface point on a head point goes; the head point stays.
        {{At(0, 0), At(5, 2), At(5, 1, 1), At(9, 0)}, "0:0:0 5:1:1 9:0:0 "},
        // Of coincident surface points one stays, the others are kept.
        {{At(0, 1), At(0, 2), At(6, 3), At(6, 5), At(6, 4), At(9, 4)}, "0:2:0 6:5:0 9:4:0 "},
        // A run of head points entered from the surface is reversed.
        {{At(0, 0), At(5, 1, 1), At(5, 2, 1), At(8, 0, 1), At(10, 0)}, "0:0:0 5:2:1 5:1:1 8:0:1 10:0:0 "},
        // One that reaches the end is not.
        {{At(0, 0), At(5, 1, 1), At(5, 2, 1)}, "0:0:0 5:1:1 5:2:1 "},
    };
    for (const auto& c : cases)
    {
        std::vector<SectionPoint> profile = c.in;
        OrderSectionProfile(profile);
        EXPECT_EQ(Describe(profile), c.out);
    }
}

// 10^4 points within 1e-6 of each other: the tolerant comparator is no
// strict weak order, yet the merge sort stays in bounds and orders them by
// altitude (sanitizers watch the accesses).
TEST(SectionProfileOrder, TenThousandNearlyCoincidentPointsSortSafely)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> tiny(0.0, 1e-6), z(-50.0, 50.0);
    std::vector<SectionPoint> points;
    for (int k = 0; k < 10000; ++k)
        points.push_back(At(tiny(random), z(random), k % 3 == 0 ? 1 : 0));
    std::vector<SectionPoint> sorted = points;
    KorMergeSort(sorted, CompareSectionPoints);
    for (size_t k = 1; k < sorted.size(); ++k)
        ASSERT_LE(sorted[k - 1].Point.z, sorted[k].Point.z) << k;
    OrderSectionProfile(points);
    for (const SectionPoint& p : points)
        EXPECT_EQ(p.Tag, 1); // every surface point coincided with another
}

TEST(SectionPointConstraint, TypesConstrainTheSecondPoint)
{
    const LumPoint axisPoint(10, 20, 0), p(15, 27, 3), first0(2, 4, 0);
    const struct
    {
        int type;
        double angle;
        LumPoint second;
        LumPoint first;
    } cases[] = {
        {0, 0, p, first0},
        {1, 0, LumPoint(15, 4, 3), first0},
        {2, 0, LumPoint(2, 27, 3), first0},
        // Axis towards +Y: perpendicular runs along x, parallel along y.
        {3, 0, LumPoint(15, 20, 0), LumPoint(5, 20, 0)},
        {4, 0, LumPoint(10, 27, 0), LumPoint(10, 13, 0)},
        // Axis towards +X: the reverse.
        {3, 90, LumPoint(10, 27, 0), LumPoint(10, 13, 0)},
        {4, 90, LumPoint(15, 20, 0), LumPoint(5, 20, 0)},
    };
    for (const auto& c : cases)
    {
        LumPoint first = first0;
        const LumPoint second = ConstrainSectionPoint(c.type, p, first, axisPoint, c.angle);
        for (const auto& [got, want] : {std::pair{second, c.second}, {first, c.first}})
        {
            EXPECT_NEAR(got.x, want.x, 1e-9) << c.type << " " << c.angle;
            EXPECT_NEAR(got.y, want.y, 1e-9) << c.type << " " << c.angle;
            EXPECT_NEAR(got.z, want.z, 1e-9) << c.type << " " << c.angle;
        }
    }
}
} // namespace
