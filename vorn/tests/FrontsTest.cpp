#include "CalculeFronts.h"
#include "Couche.h"
#include "KorMesh.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace
{
using Height = std::function<double(double, double)>;

double Tilted(double x, double y)
{
    return 20.0 + 0.1 * x + 0.05 * y;
}

// The zone [-50, 50] x [-40, 40]; layers sampled on a grid off its sides.
class FrontsTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.Limite1 = LumPoint(50, 40, 0);
        gProjet.Limite2 = LumPoint(-50, -40, 0);
    }
    static Couche* Grid(int index, const Height& z, double x0, double x1, double y0, double y1,
                        double step = 10.0)
    {
        Couche* couche = gProjet.AddCouche("C" + std::to_string(index), index);
        for (double x = x0; x <= x1 + 1e-9; x += step)
            for (double y = y0; y <= y1 + 1e-9; y += step)
                couche->AddPoint(LumPoint(x + 0.37, y + 0.61, z(x + 0.37, y + 0.61)), 1, 0, false, false);
        couche->Triangulate();
        return couche;
    }
    static bool Near2D(const LumPoint& p, double x, double y) { return std::hypot(p.x - x, p.y - y) < 1e-9; }
    // Position of p along the rectangle's perimeter from its corner A,
    // counter-clockwise; -1 off the perimeter.
    static double Perimeter(const LumPoint& p, const LumPoint& lo, const LumPoint& hi)
    {
        const double w = hi.x - lo.x, h = hi.y - lo.y, e = 1e-9;
        if (std::fabs(p.y - lo.y) < e)
            return p.x - lo.x;
        if (std::fabs(p.x - hi.x) < e)
            return w + p.y - lo.y;
        if (std::fabs(p.y - hi.y) < e)
            return w + h + hi.x - p.x;
        if (std::fabs(p.x - lo.x) < e)
            return 2 * w + h + hi.y - p.y;
        return -1.0;
    }
};
} // namespace

// Covering layers: A, the crossings of side 0, B, ..., D, the crossings of
// side 3, every point on the surface; the second layer's rectangle stands
// 1 per cent of the zone outside it.
TEST_F(FrontsTest, LayerCoveringTheZoneRunsAlongItsSides)
{
    Grid(0, Tilted, -100, 100, -100, 100);
    Grid(
        1, [](double x, double y) { return Tilted(x, y) - 10; }, -100, 100, -100, 100);
    ASSERT_TRUE(gProjet.ComputeAllFronts());
    EXPECT_FALSE(gProjet.Is3DGeometryChanged());
    for (int index : {0, 1})
    {
        SCOPED_TRACE(index);
        const Couche* couche = gProjet.GetCouche(index);
        // Margins held in single precision.
        const double mx = static_cast<float>(1.0 * index), my = static_cast<float>(0.8 * index);
        const LumPoint lo(-50 - mx, -40 - my, 0), hi(50 + mx, 40 + my, 0);
        const std::vector<LumPoint>& front = couche->FrontPoints;
        ASSERT_GT(front.size(), 12u);
        EXPECT_TRUE(front[0].x == lo.x && front[0].y == lo.y);
        double previous = -1.0;
        int corners = 0;
        for (const LumPoint& p : front)
        {
            const double s = Perimeter(p, lo, hi);
            ASSERT_GE(s, 0.0) << p.x << "," << p.y;
            EXPECT_GT(s, previous) << p.x << "," << p.y;
            previous = s;
            EXPECT_NEAR(p.z, Tilted(p.x, p.y) - 10 * index, 1e-9);
            corners += (p.x == lo.x || p.x == hi.x) && (p.y == lo.y || p.y == hi.y);
        }
        EXPECT_EQ(corners, 4);
        // Side 3's crossings end it: the last point lies on side 3, not A.
        EXPECT_EQ(front.back().x, lo.x);
        EXPECT_GT(front.back().y, lo.y);
        EXPECT_FALSE(couche->AreDiscontinuitySurfacesBuilt());
    }
}

// Inside: the contour, no zone corner; outside: nothing, no range; two
// vertices: nothing and the discontinuity mark kept.
TEST_F(FrontsTest, LayerInsideOutsideOrTooSmall)
{
    Couche* inside = Grid(0, Tilted, -20, 20, -20, 10);
    Couche* outside = Grid(1, Tilted, 200, 240, 200, 240);
    Couche* pair = gProjet.AddCouche("Deux", 2);
    pair->AddPoint(LumPoint(300, 0, 5), 1, 0, false, false);
    pair->AddPoint(LumPoint(310, 0, 5), 1, 0, false, false);
    pair->SetDiscontinuitySurfacesBuilt(true);
    ASSERT_TRUE(gProjet.ComputeAllFronts());
    std::vector<LumPoint> contour;
    ASSERT_TRUE(inside->GetContour(contour));
    EXPECT_EQ(contour.size(), 2u * (4 + 3)); // the grid's border: 5 x 4 points
    ASSERT_EQ(inside->FrontPoints.size(), contour.size());
    for (size_t k = 0; k < contour.size(); ++k)
        EXPECT_TRUE(inside->FrontPoints[k].x == contour[k].x && inside->FrontPoints[k].y == contour[k].y)
            << k;
    EXPECT_TRUE(outside->FrontPoints.empty());
    EXPECT_TRUE(pair->FrontPoints.empty());
    EXPECT_TRUE(pair->AreDiscontinuitySurfacesBuilt());
    // The range comes from the inside layer alone, whose extremes lie on
    // its border.
    double lowest = 1e9, highest = -1e9;
    for (const LumPoint& p : contour)
    {
        lowest = std::min(lowest, p.z);
        highest = std::max(highest, p.z);
    }
    const double r = (highest - lowest) * 0.1;
    EXPECT_NEAR(gProjet.NiveauBas, lowest - 2 * r, 1e-9);
    EXPECT_NEAR(gProjet.NiveauHaut, highest + r, 1e-9);
}

// z from 10 at x = -50 to 30 at x = 50: base 6, top 32.
TEST_F(FrontsTest, DisplayRangeFromZoneVerticesAndFronts)
{
    Grid(
        0, [](double x, double) { return 20 + 0.2 * x; }, -100, 100, -100, 100);
    ASSERT_TRUE(gProjet.ComputeAllFronts());
    EXPECT_NEAR(gProjet.NiveauBas, 6.0, 1e-9);
    EXPECT_NEAR(gProjet.NiveauHaut, 32.0, 1e-9);
}

// A zone thinner than 1e-5 keeps the creation mode, with the message.
TEST_F(FrontsTest, ThinZoneRefusesTheVisualisationMode)
{
    Grid(0, Tilted, -100, 100, -100, 100);
    gProjet.NiveauBas = 3.0;
    for (const LumPoint& l2 : {LumPoint(50 + 5e-6, -40, 0), LumPoint(-50, 40 - 5e-6, 0)})
    {
        gProjet.Limite2 = l2;
        gProjet.SetGeometryChanged();
        EXPECT_FALSE(gProjet.ComputeAllFronts());
        ui.BoxAnswers = {ModelUi::IdOk};
        ui.EnterVisualisationMode(false);
        EXPECT_EQ(ui.GetMode(), 1);
        EXPECT_EQ(ui.Count("MessageBox Information Impossible de passer en mode Visualisation : la zone de "
                           "visualisation "
                           "est mal définie"),
                  1);
        ui.ClearLog();
        EXPECT_TRUE(gProjet.Is3DGeometryChanged());
        EXPECT_EQ(gProjet.NiveauBas, 3.0);
    }
}

// A vertex on side 0 (y = -40) is in the outline itself.
TEST_F(FrontsTest, SideThroughAVertexTakesTheVertex)
{
    Couche* couche = Grid(0, Tilted, -100, 100, -100, 100);
    const LumPoint onSide(3.25, -40.0, Tilted(3.25, -40.0));
    couche->AddPoint(onSide, 1, 0, false, false);
    couche->Triangulate();
    ASSERT_TRUE(gProjet.ComputeAllFronts());
    int found = 0;
    for (const LumPoint& p : couche->FrontPoints)
        found += p.x == onSide.x && p.y == onSide.y && p.z == onSide.z;
    EXPECT_EQ(found, 1);
}

// A border longer than 10 000 half-edges is walked whole.
TEST_F(FrontsTest, LongBorderIsWalkedWhole)
{
    Couche* couche = gProjet.AddCouche("Bande", 0);
    KorMesh& mesh = couche->GetMesh();
    const int n = 5001;
    for (int i = 0; i < n; ++i)
    {
        mesh.AddVertex(i, 0, 0);
        mesh.AddVertex(i, 1, 0);
    }
    for (int i = 0; i + 1 < n; ++i)
    {
        mesh.AddFace({2 * i, 2 * i + 2, 2 * i + 3});
        mesh.AddFace({2 * i, 2 * i + 3, 2 * i + 1});
    }
    std::vector<int> border;
    ASSERT_TRUE(couche->GetContour(border));
    EXPECT_EQ(border.size(), static_cast<size_t>(2 * n));
    std::vector<LumPoint> points;
    ASSERT_TRUE(couche->GetContour(points));
    EXPECT_EQ(points.size(), border.size());
}

// A layer across side 0 only: from where side 0 enters it, along the side
// to where it leaves, then up, across and down its border back to the
// start. Grid x from -19.63 to 20.37, y from -59.39 to -19.39 every 5.
TEST_F(FrontsTest, LayerAcrossOneSideStartsWhereTheSideEntersIt)
{
    Couche* couche = Grid(0, Tilted, -20, 20, -60, -20, 5);
    ASSERT_TRUE(gProjet.ComputeAllFronts());
    const std::vector<LumPoint>& front = couche->FrontPoints;
    // Side 0 crosses each column and diagonal: 17 points from -19.63 to
    // 20.37, then the border, 17 points more.
    ASSERT_EQ(front.size(), 34u);
    for (size_t i = 0; i < 17; ++i)
        EXPECT_TRUE(front[i].y == -40 && (i == 0 || front[i].x > front[i - 1].x)) << i;
    EXPECT_TRUE(Near2D(front[0], -19.63, -40) && Near2D(front[16], 20.37, -40));
    EXPECT_TRUE(Near2D(front[17], 20.37, -39.39) && Near2D(front[21], 20.37, -19.39));
    EXPECT_TRUE(Near2D(front[29], -19.63, -19.39) && Near2D(front.back(), -19.63, -39.39));
    // Counter-clockwise, over the part inside: 40 by 20.61.
    double area = 0.0;
    for (size_t i = 0; i < front.size(); ++i)
    {
        const LumPoint &p = front[i], &q = front[(i + 1) % front.size()];
        area += (p.x * q.y - q.x * p.y) / 2;
    }
    EXPECT_NEAR(area, 40 * 20.61, 1e-6);
}

// The sample's zone on layers sampled on round grids, so that its corners
// lie on the layers' vertices and its sides along their edges: each
// layer's outline closes round its zone rectangle, as it does with the
// zone moved 1 mm off the grid, its points on the surface.
TEST_F(FrontsTest, ZoneOnTheGridsVerticesAndLinesClosesTheSameOutlines)
{
    const auto area = [](const std::vector<LumPoint>& front)
    {
        double twice = 0.0;
        for (size_t i = 0; i < front.size(); ++i)
        {
            const LumPoint &p = front[i], &q = front[(i + 1) % front.size()];
            twice += p.x * q.y - q.x * p.y;
        }
        return twice / 2;
    };
    for (double step : {5.0, 2.5})
    {
        std::vector<double> areas[2], zones[2];
        for (const double off : {0.0, 0.001})
        {
            gProjet.GetUndoManager().Clear();
            gProjet.Close();
            gProjet.Limite1 = LumPoint(-90 + off, 90 + off, 0);
            gProjet.Limite2 = LumPoint(90 + off, -90 + off, 0);
            for (int index : {0, 1})
            {
                Couche* couche = gProjet.AddCouche("C" + std::to_string(index), index);
                const int n = static_cast<int>(std::lround(200 / step));
                for (int i = 0; i <= n; ++i)
                    for (int j = 0; j <= n; ++j)
                    {
                        const double x = -100 + step * i, y = -100 + step * j;
                        couche->AddPoint(LumPoint(x, y, 0.1 * x + 0.4 * y + (index == 0 ? 3 : -3)), 1, 0,
                                         false, false);
                    }
                couche->Triangulate();
            }
            ASSERT_TRUE(gProjet.ComputeAllFronts());
            for (int index : {0, 1})
            {
                const std::vector<LumPoint>& front = gProjet.GetCouche(index)->FrontPoints;
                ASSERT_GT(front.size(), 4u) << step << " " << off << " " << index;
                for (const LumPoint& p : front)
                    EXPECT_NEAR(p.z, 0.1 * p.x + 0.4 * p.y + (index == 0 ? 3 : -3), 1e-9);
                areas[index].push_back(area(front));
                LumPoint lo, hi;
                gProjet.GetCouche(index)->GetZoneRectangle(gProjet.Limite1, gProjet.Limite2, lo, hi);
                zones[index].push_back((hi.x - lo.x) * (hi.y - lo.y));
            }
        }
        for (int index : {0, 1})
        {
            for (int k : {0, 1})
                EXPECT_NEAR(std::fabs(areas[index][k]), zones[index][k], 1e-9 * zones[index][k])
                    << step << " " << index << " " << k;
        }
    }
}
