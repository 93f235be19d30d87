#include "Discontinuite3D.h"
#include "Discontinuite.h"
#include "ElementTestSupport.h"

#include <cmath>

namespace
{
using Discontinuite3DTest = ElementTest;

Discontinuite3D Planes(double dipDirection, double dip, double spacing, double spread, const LumPoint& lo,
                       const LumPoint& hi)
{
    Discontinuite3D object;
    object.DipDirection = dipDirection;
    object.Dip = dip;
    object.Spacing = spacing;
    object.Spread = spread;
    object.Box.Define(lo, hi);
    object.ComputeGeometry();
    return object;
}

// Every pair of trace points lies on one plane of the family: the two ends
// are at the same offset along the normal, and that offset is one of the
// planes'.
void ExpectPairsOnPlanes(const Discontinuite3D& object, const std::vector<LumPoint>& points)
{
    ASSERT_EQ(points.size() % 2, 0u);
    for (size_t i = 0; i < points.size(); i += 2)
    {
        const double da = -(object.Normal * points[i]), db = -(object.Normal * points[i + 1]);
        EXPECT_NEAR(da, db, 1e-4) << "pair " << i / 2;
        bool onPlane = false;
        for (const double d : object.Offsets)
            onPlane = onPlane || std::fabs(d - da) < 1e-4;
        EXPECT_TRUE(onPlane) << "pair " << i / 2;
    }
}

// Horizontal planes (dip 0) have normal (0, 0, -1) and offset d at z = d,
// so a box from z 0 to 5 has corner offsets 0..5; the spacing pattern and
// its degenerate cases give the offsets listed.
TEST(Discontinuite3DGeometry, OffsetsFollowTheSpacingPattern)
{
    const struct
    {
        double spacing, spread;
        std::vector<double> offsets;
    } cases[] = {
        {1.0, 0.0, {0, 1, 2, 3, 4}},
        {-1.0, 0.0, {0, 1, 2, 3, 4}},
        {0.0, 0.0, {}},
        {5e-6, 0.0, {}},
        // Steps 0, 1.5, 0, 0.5, 1.0, 0.5 from 0.5: the offsets that a step
        // of 0 repeats are not kept.
        {0.5, 0.5, {0.5, 2.0, 2.5, 3.5, 4.0}},
        // Steps 0.8, 1.4, 0.8, 0.6, 1.2, 1.0 from 0.2.
        {1.0, 0.2, {0.2, 1.0, 2.4, 3.2, 3.8}},
    };
    for (const auto& c : cases)
    {
        const Discontinuite3D object =
            Planes(75.0, 0.0, c.spacing, c.spread, LumPoint(-3, 2, 0), LumPoint(4, 9, 5));
        ASSERT_EQ(object.Offsets.size(), c.offsets.size()) << c.spacing << " " << c.spread;
        for (size_t i = 0; i < c.offsets.size(); ++i)
            EXPECT_NEAR(object.Offsets[i], c.offsets[i], 1e-6) << c.spacing << " " << c.spread << " #" << i;
        EXPECT_GE(object.Spacing, 0.0);
        if (c.spacing >= 1e-5)
        {
            EXPECT_NEAR(object.Normal.x, 0.0, 1e-8);
            EXPECT_NEAR(object.Normal.y, 0.0, 1e-8);
            EXPECT_NEAR(object.Normal.z, -1.0, 1e-8);
        }
    }
}

// The normal is the downward unit normal of a plane dipping by `dip`
// towards the azimuth `dipDirection` (from +y towards +x).
TEST(Discontinuite3DGeometry, NormalPointsDownAcrossTheDip)
{
    for (const auto& [direction, dip] : {std::pair{0.0, 30.0}, {40.0, 30.0}, {135.0, 60.0}, {290.0, 89.0}})
    {
        Discontinuite3D object;
        object.DipDirection = direction;
        object.Dip = dip;
        object.ComputeNormal();
        const double g = dip * M_PI / 180.0, a = direction * M_PI / 180.0;
        EXPECT_NEAR(object.Normal.x, -std::sin(g) * std::sin(a), 1e-7) << direction << " " << dip;
        EXPECT_NEAR(object.Normal.y, -std::sin(g) * std::cos(a), 1e-7) << direction << " " << dip;
        EXPECT_NEAR(object.Normal.z, -std::cos(g), 1e-7) << direction << " " << dip;
        // Moving down the dip direction, by the dip, stays on one plane.
        const LumPoint down(std::sin(a) * std::cos(g), std::cos(a) * std::cos(g), -std::sin(g));
        EXPECT_NEAR(object.Normal * down, 0.0, 1e-7);
    }
}

// A spacing far too small for its box gives no plane and one reported
// line, at once; 2 cm over a few hundred metres stays below the limit.
TEST(Discontinuite3DGeometry, PlaneCountIsBounded)
{
    testing::internal::CaptureStdout();
    const Discontinuite3D tiny = Planes(0.0, 0.0, 1e-3, 0.0, LumPoint(0, 0, 0), LumPoint(1000, 1000, 1000));
    const Discontinuite3D hostile = Planes(0.0, 0.0, 1e-5, 0.0, LumPoint(0, 0, -1e6), LumPoint(1, 1, 1e6));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(tiny.Offsets.empty());
    EXPECT_TRUE(hostile.Offsets.empty());
    const std::string line =
        "Discontinuite3D::ComputeGeometry -> Espacement trop petit : aucun plan calculé\n";
    EXPECT_EQ(out, line + line);

    const Discontinuite3D fine = Planes(0.0, 0.0, 0.02, 0.0, LumPoint(0, 0, 0), LumPoint(300, 300, 300));
    EXPECT_NEAR(static_cast<double>(fine.Offsets.size()), 15000.0, 1.0);
    EXPECT_NEAR(fine.Offsets[100] - fine.Offsets[99], 0.02, 1e-9);
}

// Named traces: found by exact name, added once, read as copies, emptied.
TEST(Discontinuite3DGeometry, TracesByName)
{
    Discontinuite3D object;
    EXPECT_EQ(object.FindTrace(""), -1);
    EXPECT_EQ(object.AddTrace(""), 0);
    EXPECT_EQ(object.AddTrace("a"), 1);
    EXPECT_EQ(object.AddTrace(""), 0);
    EXPECT_EQ(object.FindTrace("A"), -1);
    object.Traces[1].Points = {LumPoint(1, 2, 3), LumPoint(4, 5, 6)};
    std::vector<LumPoint> copy;
    EXPECT_EQ(object.GetTrace("a", copy), 1);
    EXPECT_EQ(copy.size(), 2u);
    EXPECT_EQ(object.GetTrace("b", copy), -1);
    std::vector<LumPoint> all = {LumPoint()};
    object.GetAllTracePoints(all);
    EXPECT_EQ(all.size(), 3u);
    EXPECT_EQ(object.ClearTrace("a"), 1);
    EXPECT_TRUE(object.Traces[1].Points.empty());
}

// Horizontal planes z = 0, 1, 2, 3 against polygons in the plane y = 0.
// Planes through a vertex meet it with two edges; a plane through the
// first vertex meets it with the first and the last edge. Every pair
// must lie on one plane and the pairs are counted by hand.
TEST(Discontinuite3DGeometry, PolygonTracesPairPerPlane)
{
    const struct
    {
        const char* what;
        std::vector<LumPoint> polygon;
        size_t pairs;
    } cases[] = {
        // Planes 1, 2, 3 cross the square's sides; plane 0 holds its bottom
        // edge, whose ends its sides meet.
        {"square", {LumPoint(0, 0, 0), LumPoint(4, 0, 0), LumPoint(4, 0, 4), LumPoint(0, 0, 4)}, 4},
        // Plane 0 only touches the lowest corner, which starts the polygon.
        {"diamond from its foot",
         {LumPoint(0, 0, 0), LumPoint(2, 0, 2), LumPoint(0, 0, 4), LumPoint(-2, 0, 2)},
         3},
        // Plane 2 goes through the first vertex and the opposite one.
        {"diamond from its side",
         {LumPoint(-2, 0, 2), LumPoint(0, 0, 0), LumPoint(2, 0, 2), LumPoint(0, 0, 4)},
         3},
        // Crossed once, by plane 1 only.
        {"small square",
         {LumPoint(0, 0, 0.5), LumPoint(1, 0, 0.5), LumPoint(1, 0, 1.5), LumPoint(0, 0, 1.5)},
         1},
    };
    for (const auto& c : cases)
    {
        Discontinuite3D object = Planes(0.0, 0.0, 1.0, 0.0, LumPoint(0, 0, 0), LumPoint(1, 1, 4));
        ASSERT_EQ(object.Offsets.size(), 4u);
        object.ComputePolygonTraces(c.polygon, 0);
        EXPECT_EQ(object.GetNumberOfTraces(), 0) << "no trace: nothing";
        const int k = object.AddTrace("");
        object.ComputePolygonTraces(c.polygon, k);
        object.ComputePolygonTraces(c.polygon, k + 1);
        const std::vector<LumPoint>& points = object.Traces[k].Points;
        EXPECT_EQ(points.size(), 2 * c.pairs) << c.what;
        ExpectPairsOnPlanes(object, points);
    }
}

// A face of a cube is cut by each plane that passes strictly inside two of
// its edges; a plane through corners only adds nothing.
TEST(Discontinuite3DGeometry, FaceTraces)
{
    Discontinuite3D object = Planes(0.0, 0.0, 1.0, 0.0, LumPoint(0, 0, 0), LumPoint(1, 1, 4));
    const int k = object.AddTrace("");
    object.ComputeFaceTraces(k + 1, LumPoint(0, 0, 0), LumPoint(2, 0, 0), LumPoint(2, 0, 4),
                             LumPoint(0, 0, 4));
    EXPECT_TRUE(object.Traces[k].Points.empty());
    // Planes 1, 2, 3 cross the sides; plane 0 holds the bottom edge.
    object.ComputeFaceTraces(k, LumPoint(0, 0, 0), LumPoint(2, 0, 0), LumPoint(2, 0, 4), LumPoint(0, 0, 4));
    ASSERT_EQ(object.Traces[k].Points.size(), 6u);
    ExpectPairsOnPlanes(object, object.Traces[k].Points);
    EXPECT_NEAR(object.Traces[k].Points[0].x, 2.0, 1e-9);
    EXPECT_NEAR(object.Traces[k].Points[1].x, 0.0, 1e-9);
    // A diamond with corners on planes 0 and 2: planes 1 and 3 only.
    object.Traces[k].Points.clear();
    object.ComputeFaceTraces(k, LumPoint(0, 0, 0), LumPoint(2, 0, 2), LumPoint(0, 0, 4), LumPoint(-2, 0, 2));
    EXPECT_EQ(object.Traces[k].Points.size(), 4u);
}

// A layer with a front outline that starts in the middle of its first side
// and one horizontal family: the walls go from the base level to the
// outline, each plane between them crosses each of the four walls once
// (the start's two runs are one wall), in front of the wall. The cut part has no mesh here: no trace.
TEST_F(Discontinuite3DTest, LayerWallTraces)
{
    gProjet.Echelle = 50.0; // one metre is two scene units
    gProjet.Limite1 = LumPoint(0, 100, 0);
    gProjet.Limite2 = LumPoint(100, 0, 0);
    Couche* couche = AddSquare("C", 10.0);
    Discontinuite* family = gProjet.AddDiscontinuite("F", false, false);
    family->Espace = 1.5; // 3 scene units
    gProjet.AddDiscontinuite("G", false, false)->Espace = 1.0;
    couche->Discontinuites = {"F", "absent"};

    couche->BuildDiscontinuite3D(-5.0);
    EXPECT_TRUE(couche->AreDiscontinuitySurfacesBuilt());
    EXPECT_TRUE(couche->DiscontinuitesFront.empty()) << "no outline yet";
    EXPECT_TRUE(couche->DiscontinuitesTete.empty());

    couche->FrontPoints = {LumPoint(50, 0, 10),  LumPoint(100, 0, 10), LumPoint(100, 100, 10),
                           LumPoint(0, 100, 10), LumPoint(0, 0, 10),   LumPoint(25, 0, 10)};
    couche->SetDiscontinuitySurfacesBuilt(false);
    couche->BuildDiscontinuite3D(-5.0);
    EXPECT_TRUE(couche->AreDiscontinuitySurfacesBuilt());
    ASSERT_EQ(couche->DiscontinuitesFront.size(), 1u);
    ASSERT_EQ(couche->DiscontinuitesTete.size(), 1u);
    const Discontinuite3D& front = *couche->DiscontinuitesFront[0];
    EXPECT_NEAR(front.Spacing, 3.0, 1e-6);
    // Box z -5..10: planes at -5, -2, 1, 4, 7; the one at -5 lies on the
    // walls' foot, whose corners its sides meet.
    ASSERT_EQ(front.Offsets.size(), 5u);
    const std::vector<LumPoint>& points = front.Traces[0].Points;
    EXPECT_EQ(points.size(), 2u * 4u * 5u);
    ExpectPairsOnPlanes(front, points);
    // The walls' tops stand eps outside the outline, their feet on it.
    const double eps = 100.0 / 2000.0, tol = 1e-4;
    for (const LumPoint& p : points)
    {
        const bool inRing =
            p.x > -eps - tol && p.x < 100 + eps + tol && p.y > -eps - tol && p.y < 100 + eps + tol;
        const bool inside = p.x > tol && p.x < 100 - tol && p.y > tol && p.y < 100 - tol;
        EXPECT_TRUE(inRing && !inside) << p.x << " " << p.y << " " << p.z;
    }
    EXPECT_TRUE(couche->DiscontinuitesTete[0]->Traces[0].Points.empty());

    couche->Discontinuites.clear();
    couche->BuildDiscontinuite3D(-5.0);
    EXPECT_TRUE(couche->DiscontinuitesFront.empty());
}
} // namespace
