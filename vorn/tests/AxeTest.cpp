#include "Axe.h"
#include "Couche.h"
#include "KorMatrix.h"
#include "LumoraDevice.h"
#include "ModelTestSupport.h"
#include "TeteTestHelpers.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <limits>

namespace
{
using AxeTest = ModelTest;

constexpr double kPi = 3.14159265358979323846;
// The degree of the matrix builders (pi taken as 3.14159265).
constexpr double kBuilderDegree = 3.14159265 / 180.0;

void ExpectNear(const LumPoint& a, const LumPoint& b, double tolerance, const std::string& what)
{
    EXPECT_NEAR(a.x, b.x, tolerance) << what;
    EXPECT_NEAR(a.y, b.y, tolerance) << what;
    EXPECT_NEAR(a.z, b.z, tolerance) << what;
}

// A call that must end: a hang fails the test and ends the program, since
// the worker cannot be stopped.
void RunsWithin(const std::function<void()>& work, const std::string& what)
{
    auto done = std::async(std::launch::async, work);
    if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
    {
        ADD_FAILURE() << what << " did not end";
        std::_Exit(1);
    }
}

Axe Polyline(const std::vector<LumPoint>& points)
{
    Axe axe;
    axe.Type = 1;
    axe.ReplacePolyline(points);
    return axe;
}

TEST_F(AxeTest, NewAxisHasNoHeadPosition)
{
    Axe axe;
    EXPECT_EQ(axe.Type, 0);
    EXPECT_EQ(axe.Rayon, 1000.0);
    EXPECT_EQ(axe.PositionTeteAngle, -1.0);
    EXPECT_EQ(axe.PositionTeteMultiligne, -1.0);
    LumPoint head;
    double direction = 0.0, slope = 0.0;
    EXPECT_FALSE(axe.GetHeadPosition(head, direction, slope));
    // A position read as "nan" is no position either.
    axe.PositionTeteAngle = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(axe.GetHeadPosition(head, direction, slope));
}

// The arc, before any drawing, against its local points turned by hand:
// -(Nord + Orientation) about Z, then Inclinaison about X, then moved.
TEST_F(AxeTest, ArcPointsAreTheHandRotatedLocalPoints)
{
    gProjet.Nord = 30;
    Axe axe;
    axe.Orientation = 20.0;
    axe.Inclinaison = 5.0;
    axe.Origine = LumPoint(100.0, -50.0, 7.0);
    std::vector<LumPoint> points;
    axe.GetPoints(points);
    ASSERT_EQ(points.size(), 90u);
    const double turn = 50.0 * kBuilderDegree, tilt = 5.0 * kBuilderDegree;
    auto placed = [&](double a)
    {
        const double x = -(1.0 - std::cos(a)) * 1000.0, y = 1000.0 * std::sin(a);
        const double xr = x * std::cos(turn) + y * std::sin(turn),
                     yr = -x * std::sin(turn) + y * std::cos(turn);
        return LumPoint(xr, yr * std::cos(tilt), yr * std::sin(tilt)) + axe.Origine;
    };
    // Head positions 90, 45 and 1 are the first point, Origine and the last.
    const struct
    {
        double position;
        int k;
    } cases[] = {{90.0, 0}, {45.0, 45}, {1.0, 89}};
    for (const auto& c : cases)
    {
        const LumPoint expected = placed(0.7853981625 - c.k * 0.0174532925);
        ExpectNear(points[c.k], expected, 1e-9, "point " + std::to_string(c.k));
        axe.PositionTeteAngle = c.position;
        LumPoint head;
        double direction = 0.0, slope = 0.0;
        ASSERT_TRUE(axe.GetHeadPosition(head, direction, slope));
        ExpectNear(head, expected, 1e-9, "head " + std::to_string(c.position));
    }
    ExpectNear(points[45], axe.Origine, 1e-9, "reference point");
}

TEST_F(AxeTest, NearestPointBearingsAndTies)
{
    const struct
    {
        LumPoint to;
        double bearing;
    } bearings[] = {{{10, 0, 0}, 90.0}, {{-10, 0, 0}, -90.0}, {{0, -10, 0}, 180.0}, {{0, 10, 10}, 0.0}};
    for (const auto& b : bearings)
    {
        Axe axe = Polyline({LumPoint(), b.to});
        double direction = 99.0, slope = 99.0;
        axe.GetNearestPoint(LumPoint(1, 1, 0), direction, slope);
        EXPECT_NEAR(direction, b.bearing, 1e-12) << b.to.x << " " << b.to.y;
        EXPECT_NEAR(slope, b.to.z > 0 ? 45.0 : 0.0, 1e-12);
    }
    // A cosine rounded beyond 1 gives an angle, not NaN.
    EXPECT_EQ(Axe::BearingOf(LumPoint(0, std::nextafter(1.0, 2.0), 0)), 0.0);
    EXPECT_EQ(Axe::SlopeOf(LumPoint(0, 0, -std::nextafter(1.0, 2.0))), -90.0);

    // The equal points (30, 40) neither attract the search nor tie with
    // the first segment, which keeps the tie with the third.
    Axe axe = Polyline({LumPoint(0, 0, 0), LumPoint(30, 40, 0), LumPoint(30, 40, 0), LumPoint(30, 100, 0)});
    double direction = 0.0, slope = 0.0;
    ExpectNear(axe.GetNearestPoint(LumPoint(31, 40, 0), direction, slope), LumPoint(30, 40, 0), 1e-12, "tie");
    EXPECT_NEAR(direction, std::acos(0.8) * 180.0 / kPi, 1e-9);
    ExpectNear(axe.GetNearestPoint(LumPoint(29, 70, 0), direction, slope), LumPoint(30, 70, 0), 1e-12,
               "third");
    EXPECT_EQ(direction, 0.0);

    Axe single = Polyline({LumPoint(1, 2, 3)});
    single.PositionTeteMultiligne = 0.0;
    LumPoint head;
    EXPECT_FALSE(single.GetHeadPosition(head, direction, slope));
}

// (0,0,0) -5-> (3,4,0) -10-> (3,10,8) -2-> (5,10,8): 17 long.
TEST_F(AxeTest, DistancesAlongAThreeSegmentPolyline)
{
    Axe axe = Polyline({LumPoint(0, 0, 0), LumPoint(3, 4, 0), LumPoint(3, 10, 8), LumPoint(5, 10, 8)});
    const struct
    {
        double distance;
        bool found;
        LumPoint point;
    } cases[] = {{7.5, true, {3, 5.5, 2}},
                 {-2.0, true, {-1.2, -1.6, 0}},
                 {17.0, true, {5, 10, 8}},
                 {17.1, false, {0, 0, 0}}};
    for (const auto& c : cases)
    {
        bool found = !c.found;
        ExpectNear(axe.GetPointAtDistance(c.distance, &found), c.point, 1e-12, std::to_string(c.distance));
        EXPECT_EQ(found, c.found) << c.distance;
    }
    EXPECT_NEAR(axe.GetDistance(LumPoint(4, 10, 8)), 16.0, 1e-12);

    bool found = false;
    axe.SetHeadPositionAtDistance(7.5, &found);
    EXPECT_TRUE(found);
    EXPECT_NEAR(axe.PositionTeteMultiligne, 7.5, 1e-12);
    EXPECT_NEAR(axe.GetHeadDistance(), 7.5, 1e-12);
    LumPoint head;
    double direction = 0.0, slope = 0.0;
    ASSERT_TRUE(axe.GetHeadPosition(head, direction, slope));
    ExpectNear(head, LumPoint(3, 5.5, 2), 1e-12, "head");
    EXPECT_NEAR(slope, std::asin(0.8) * 180.0 / kPi, 1e-9);

    // Past the end the head stays.
    EXPECT_EQ(axe.SetHeadPositionAtDistance(17.2, &found).x, 0.0);
    EXPECT_FALSE(found);
    EXPECT_NEAR(axe.PositionTeteMultiligne, 7.5, 1e-12);
    axe.PositionTeteMultiligne = 17.0 + 2e-5;
    EXPECT_FALSE(axe.GetHeadPosition(head, direction, slope));
}

TEST_F(AxeTest, GraduationTicks)
{
    gProjet.Echelle = 100.0;
    gProjet.GraduationAxe = 10.0;
    Axe axe = Polyline({LumPoint(0, 0, 0), LumPoint(100, 0, 0)});
    axe.ComputeGraduation();
    const std::vector<LumPoint>& ticks = axe.GetTicks();
    ASSERT_EQ(ticks.size(), 20u);
    for (int k = 0; k < 10; ++k)
    {
        // Across the axis, 10/6 on each side.
        ExpectNear(ticks[2 * k], LumPoint(10.0 * (k + 1), -10.0 / 6.0, 0), 1e-9, "right end");
        ExpectNear(ticks[2 * k + 1], LumPoint(10.0 * (k + 1), 10.0 / 6.0, 0), 1e-9, "left end");
    }

    gProjet.GraduationAxe = 0.05;
    axe.ComputeGraduation();
    ASSERT_GE(axe.GetTicks().size(), 2u * 999);
    ASSERT_LE(axe.GetTicks().size(), 2u * 1000);
    EXPECT_NEAR(axe.GetTicks()[2].x - axe.GetTicks()[0].x, 0.1, 1e-9);

    gProjet.GraduationAxe = 0.0;
    axe.ComputeGraduation();
    EXPECT_TRUE(axe.GetTicks().empty());
    EXPECT_FALSE(axe.IsGraduationValid());

    // A step that is not a positive finite length, or a point at infinity,
    // ends at once with no tick.
    gProjet.GraduationAxe = 10.0;
    for (double scale : {-50.0, 0.0})
    {
        gProjet.Echelle = scale;
        RunsWithin([&] { axe.ComputeGraduation(); }, "scale " + std::to_string(scale));
        EXPECT_TRUE(axe.GetTicks().empty()) << scale;
    }
    gProjet.Echelle = 100.0;
    const XMLNode node = XMLNode::parseString(
        "<Axe><Type>1</Type><Multiligne><Point>0|0|0</Point><Point>inf|0|0</Point><Point>5|0|0</Point>"
        "</Multiligne></Axe>");
    axe.FromXML(node.getChildNode("Axe"));
    ASSERT_TRUE(std::isinf(axe.GetPolyline()[1].x));
    RunsWithin([&] { axe.ComputeGraduation(); }, "infinite point");
    EXPECT_TRUE(axe.GetTicks().empty());
}

// The head on a polyline of bearing 30 and slope 5: the head frame's +y
// runs along the axis (against it when reversed), +x to its right (left),
// lengths scaled by 100 / Echelle.
TEST_F(AxeTest, HeadMatrixFollowsTheAxis)
{
    gProjet.Echelle = 50.0;
    const double b = 30.0 * kPi / 180.0, s = 5.0 * kPi / 180.0;
    const LumPoint along(std::sin(b) * std::cos(s), std::cos(b) * std::cos(s), std::sin(s));
    const LumPoint right(std::cos(b), -std::sin(b), 0.0);
    for (bool reversed : {false, true})
    {
        Axe axe = Polyline({LumPoint(10, 20, 30), LumPoint(10, 20, 30) + along * 100.0});
        axe.SetHeadPositionAtDistance(40.0);
        axe.TeteInversee = reversed;
        LumPoint point;
        double h[16];
        ASSERT_TRUE(axe.GetHeadPlacement(point, h));
        const double sign = reversed ? -1.0 : 1.0;
        const std::string what = reversed ? "reversed" : "forward";
        ExpectNear(point, LumPoint(10, 20, 30) + along * 40.0, 1e-9, what);
        ExpectNear(MultMatrixGLxLumPoint(h, LumPoint()), point, 1e-9, what);
        ExpectNear(MultMatrixGLxLumPoint(h, LumPoint(0, 1, 0)) - point, along * (2.0 * sign), 1e-6, what);
        ExpectNear(MultMatrixGLxLumPoint(h, LumPoint(1, 0, 0)) - point, right * (2.0 * sign), 1e-6, what);
        EXPECT_NEAR((MultMatrixGLxLumPoint(h, LumPoint(0, 0, 1)) - point).Norm(), 2.0, 1e-9);
    }
    EXPECT_NEAR(Axe::GetHeadLength(LumPoint(1, 1, 1), LumPoint(31, 41, 1)), 30.0, 1e-12);
}

// The interface's head placed on a flat polyline of bearing 30 at Echelle 50
// (two scene units a metre) over a layer whose box diagonal is 50 scene
// units: w = (50 + 10) / 2 = 30 m of height and extension.
TEST_F(AxeTest, PlacedHeadStandsOnTheAxisTallerThanTheTerrain)
{
    gProjet.Echelle = 50.0;
    const double b = 30.0 * kPi / 180.0, s = 2.0, w = 30.0;
    const LumPoint along(std::sin(b), std::cos(b), 0.0), right(std::cos(b), -std::sin(b), 0.0);
    Axe axe = Polyline({LumPoint(), along * 100.0});
    axe.SetHeadPositionAtDistance(40.0);
    LumPoint point;
    KorMesh mesh;
    // No layer: nothing to measure the head against.
    EXPECT_FALSE(axe.PlaceHead(point, mesh));
    EXPECT_EQ(mesh.GetNumberOfFaces(), 0);
    Couche* layer = gProjet.AddCouche("Terrain", 0);
    for (const LumPoint& p : {LumPoint(0, 0, 0), LumPoint(30, 0, 0), LumPoint(30, 40, 0)})
        layer->AddPoint(p, 1, 0, false, false);
    ASSERT_TRUE(axe.PlaceHead(point, mesh));
    ExpectNear(point, LumPoint(20.0, 34.6410162, 0.0), 1e-6, "head point");
    // A head-frame point (x across, y along, z up) in the scene.
    const auto placed = [&](double x, double y, double z)
    { return point + right * (s * x) + along * (s * y) + LumPoint(0, 0, s * z); };
    const auto has = [&](const LumPoint& p)
    {
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id); v && Near(LumPoint(v->X, v->Y, v->Z), p, 1e-6))
                return true;
        return false;
    };
    // Corner A, (-7.5, 0, 0), is 15 scene units left of the head point.
    EXPECT_TRUE(has(LumPoint(20.0 - 15.0 * std::cos(b), 34.6410162 + 7.5, 0.0)));
    EXPECT_TRUE(has(LumPoint(7.0096189, 42.1410162, 0.0)));
    // h = w: the left exit lies w behind D'.
    EXPECT_TRUE(has(placed(-7.5 - 25 * std::tan(Deg(20)), -25 - w, 0)));
    // h2 = 2.4067297 w: the top of the middle bench, hr + h2 up, where the
    // extension of width Prolongement = w starts.
    const double top = s * (15.0 + 2.4067297 * w);
    std::vector<LumPoint> atTop;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id); v && std::fabs(v->Z - top) < 1e-4)
            atTop.emplace_back(v->X, v->Y, 0.0);
    int extensions = 0;
    for (size_t i = 0; i < atTop.size(); ++i)
        for (size_t j = i + 1; j < atTop.size(); ++j)
            extensions += std::fabs((atTop[i] - atTop[j]).Norm() - s * w) < 1e-6 ? 1 : 0;
    EXPECT_EQ(extensions, 2) << atTop.size() << " points at the top";

    // Normals are those of the scene, not of the head frame.
    LumPoint lo(1e300, 1e300, 0), hi(-1e300, -1e300, 0);
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (KorVertex* v = mesh.GetVertex(id))
        {
            EXPECT_TRUE(v->Normal.IsNull() && !v->NormalGiven) << id;
            lo = LumPoint(std::min(lo.x, v->X), std::min(lo.y, v->Y), 0);
            hi = LumPoint(std::max(hi.x, v->X), std::max(hi.y, v->Y), 0);
        }
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id))
        {
            LumPoint a, c, d;
            mesh.GetFaceTriangle(f, a, c, d);
            LumPoint n = (c - a) ^ (d - a);
            Normalize(n);
            ExpectNear(mesh.GetNormal(f), n, 1e-9, "face " + std::to_string(id));
        }
    // Still a height field in the scene, on a 0.5 m grid.
    EXPECT_EQ(PlanOverlaps(mesh, lo, hi, 0.5 * s), 0);

    // A scale that gives no positive length places nothing, rather than the
    // interface's head at its own small size.
    for (double scale : {0.0, -50.0})
    {
        gProjet.Echelle = scale;
        KorMesh none;
        EXPECT_FALSE(axe.PlaceHead(point, none)) << scale;
        EXPECT_EQ(none.GetNumberOfFaces(), 0) << scale;
    }
    gProjet.Echelle = 50.0;

    // Placements made with a 3D scene add nothing to it.
    LumoraDevice device;
    ui.MainDevice = &device;
    ASSERT_TRUE(ui.GetTete().BuildMesh());
    const size_t objects = device.GetNumberOfObjects();
    for (int k = 0; k < 100; ++k)
        ASSERT_TRUE(axe.PlaceHead(point, mesh));
    EXPECT_EQ(device.GetNumberOfObjects(), objects);
    ui.MainDevice = nullptr;
}

TEST_F(AxeTest, FileFormKeepsPointsExactlyAndEachKeyOnce)
{
    const std::vector<LumPoint> points = {LumPoint(0.1, 1.0 / 3.0, -1e12), LumPoint(1e-7, 123456.789, 2.5)};
    Axe axe = Polyline(points);
    axe.PositionTeteMultiligne = 0.1;
    axe.Origine = LumPoint(5, -6, 7);
    XMLNode top = XMLNode::createXMLTopNode("xml");
    XMLNode node = top.addChild("Axe");
    axe.ToXML(node);
    Axe back;
    back.FromXML(node);
    ASSERT_EQ(back.GetPointCount(), 2);
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ((&back.GetPolyline()[i].x)[c], (&points[i].x)[c]) << i << " " << c;
    EXPECT_EQ(back.Type, 1);
    EXPECT_EQ(back.PositionTeteMultiligne, 0.1);

    // A polyline project, then New and Open: the points do not reappear
    // and each key is written once.
    const std::string path = TempPath("axe.ovx");
    gProjet.GetAxe() = axe;
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.New();
    EXPECT_EQ(gProjet.GetAxe().GetPointCount(), 0);
    EXPECT_EQ(gProjet.GetAxe().Type, 0);
    gProjet.Open(path);
    EXPECT_EQ(gProjet.GetAxe().GetPointCount(), 2);
    // The arc is where the values read put it, before any drawing.
    std::vector<LumPoint> arc;
    gProjet.GetAxe().Type = 0;
    gProjet.GetAxe().GetPoints(arc);
    ExpectNear(arc[45], axe.Origine, 1e-9, "reference point after Open");
    gProjet.GetAxe().Type = 1;
    gProjet.New();
    gProjet.Open(path);
    ASSERT_TRUE(gProjet.Save());
    // The project's own axis; the results keep a copy of their series' one.
    const std::string saved = ReadAll(path);
    const std::string text = saved.substr(0, saved.find("<Resultats>"));
    EXPECT_NE(saved.find("<AxeResultats>"), std::string::npos);
    for (const char* key :
         {"<Type>", "<Origine>", "<Rayon>", "<Orientation>", "<Inclinaison>", "<PositionTeteAngle>",
          "<PositionTeteMultiligne>", "<TeteInversee>", "<PMPlace>", "<PM>", "<Multiligne>"})
    {
        const size_t first = text.find(key);
        EXPECT_NE(first, std::string::npos) << key;
        EXPECT_EQ(text.find(key, first + 1), std::string::npos) << key;
    }
    std::remove(path.c_str());
}

} // namespace
