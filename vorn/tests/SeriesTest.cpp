#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "Excavation.h"
#include "ModelTestSupport.h"
#include "ResultatsOVX.h"

#include <cmath>

namespace
{
// The excavation's reference scene: a polyline axis along +Y, the head at
// its middle (0, 0, 0) facing +Y, under the plane z = 0.5 (y + 10) sampled
// every 5 m over [-100, 100]^2 and moved off the grid by (0.37, 0.61). The
// constructor head there excavates V 829, S 468 with H 13.5. The displayed
// zone lies inside the terrain, so the visualisation mode can be entered.
// Headless, the frame the series refreshes computes the excavation, as the
// 3D view's frame does.
bool Same(const LumPoint& a, const LumPoint& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

class SeriesTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.New();
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
        axe.SetHeadPositionAtDistance(200.0);
        Couche* layer = gProjet.AddCouche("Terrain", 0);
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j)
            {
                const double x = -100.0 + 5.0 * i + 0.37;
                const double y = -100.0 + 5.0 * j + 0.61;
                layer->AddPoint(LumPoint(x, y, 0.5 * (y + 10.0)), 1, 0, false, false);
            }
        gProjet.Limite1 = LumPoint(-90, 90, 0);
        gProjet.Limite2 = LumPoint(90, -90, 0);
        gProjet.Set3DGeometryChanged();
        ui.FrameHook = [this]
        {
            if (gProjet.m3DAffichageTete && gProjet.IsExcavationStale() && ui.GetMode() == 2)
                ComputeExcavation();
        };
    }

    static std::string AxeXML()
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode node = top.addChild("Axe");
        gProjet.GetAxe().ToXML(node);
        const std::string path = TempPath("series_axe.xml");
        top.writeToFile(path);
        const std::string text = ReadAll(path);
        std::remove(path.c_str());
        return text;
    }
};

TEST_F(SeriesTest, AlongAndAcrossTheAxis)
{
    ComputeExcavation();
    ASSERT_EQ(gCalculationErrors, 0);
    const double single = gResults.Volumes.at(0);
    ASSERT_EQ(single, 829.0);
    const std::string axis = AxeXML();

    // The progress at every position.
    std::vector<size_t> gauge;
    ComputeSeries(
        90.0, {-2, -1, 0, 1, 2}, {-1, 0, 1}, [&gauge](size_t done) { gauge.push_back(done); }, 0.0);
    ASSERT_EQ(gauge.size(), 15u);
    for (size_t i = 0; i < gauge.size(); ++i)
        EXPECT_EQ(gauge[i], i + 1);
    EXPECT_EQ(ui.GetMode(), 2);
    EXPECT_FALSE(gSeriesRunning);
    const ResultatsOVX& r = gProjet.GetResultats();
    ASSERT_EQ(r.Values.size(), 3u);
    EXPECT_EQ(r.Variables.size(), 14u + 3u);
    for (const auto& row : r.Values)
    {
        ASSERT_EQ(row.size(), 5u);
        for (const auto& record : row)
            EXPECT_EQ(record.size(), 17u);
    }
    // Across the axis the plane does not change: every row alike; into the
    // hill the volume grows.
    EXPECT_EQ(r.GetValue("V", 1, 2), 829.0);
    EXPECT_EQ(r.GetValue("S", 1, 2), 468.0);
    EXPECT_EQ(r.GetValue("H", 1, 2), 13.5);
    EXPECT_EQ(r.GetValue("V[0]", 1, 2), 829.0);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column + 1 < 5; ++column)
            EXPECT_LT(r.GetValue("V", row, column), r.GetValue("V", row, column + 1)) << row << " " << column;
    for (int column = 0; column < 5; ++column)
        EXPECT_NEAR(r.GetValue("V", 0, column), r.GetValue("V", 2, column), 2.0);
    // Each position recorded where the head stood: offset across in x,
    // position along in y.
    EXPECT_NEAR(r.GetPosition(0, 0).x, -1.0, 1e-9);
    EXPECT_NEAR(r.GetPosition(0, 0).y, -2.0, 1e-9);
    EXPECT_NEAR(r.GetPosition(2, 4).x, 1.0, 1e-9);
    EXPECT_NEAR(r.GetPosition(2, 4).y, 2.0, 1e-9);
    // The head and the axis are back; the costs follow "300*S+10*V".
    EXPECT_EQ(AxeXML(), axis);
    EXPECT_EQ(r.GetValue("Coût", 1, 2), 300.0 * 468.0 + 10.0 * 829.0);
    EXPECT_EQ(ui.Count("FillCurveVariables"), 1);
    EXPECT_TRUE(gProjet.m3DTriangles);
}

// A series that recorded failed positions (here past the end of the axis,
// 200 m ahead of the head) says how many of how many recorded when it ends,
// cancelled or not; one that failed nowhere says nothing.
TEST_F(SeriesTest, FailedPositionsAreCountedWhenTheSeriesEnds)
{
    struct sCase
    {
        std::vector<double> Positions, Offsets;
        int CancelAfter;
        std::string Text;
    };
    const std::vector<sCase> cases = {
        {{-1, 0, 1}, {-1, 0, 1}, 0, ""},
        {{0, 1, 300},
         {},
         0,
         "Impossible de calculer l'excavation en 1 position sur 3 de la série. \nSes résultats valent -1."},
        {{0, 300, 400},
         {-1, 0, 1},
         0,
         "Impossible de calculer l'excavation en 6 positions sur 9 de la série. \nLeurs résultats valent "
         "-1."},
        {{300, 0, 1},
         {},
         2,
         "Impossible de calculer l'excavation en 1 position sur 2 de la série. \nSes résultats valent -1."},
    };
    for (const sCase& c : cases)
    {
        ui.Boxes.clear();
        int frames = 0;
        ComputeSeries(
            90.0, c.Positions, c.Offsets,
            [&frames, &c](size_t)
            {
                if (++frames == c.CancelAfter)
                    gCancelCalculation = 1;
            },
            0.0);
        if (c.Text.empty())
        {
            EXPECT_TRUE(ui.Boxes.empty()) << c.Positions.size();
            continue;
        }
        ASSERT_EQ(ui.Boxes.size(), 1u) << c.Text;
        EXPECT_EQ(ui.Boxes[0].Text, c.Text);
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur de calcul");
        EXPECT_EQ(ui.Boxes[0].Kind, ModelUi::Buttons::Ok);
    }
}

TEST_F(SeriesTest, CancelOffAxisReversedAndRefusedMode)
{
    const std::string axis = AxeXML();
    int frames = 0;
    ComputeSeries(
        90.0, {-2, -1, 0, 1, 2}, {-1, 0, 1},
        [&frames](size_t)
        {
            if (++frames == 4)
                gCancelCalculation = 1;
        },
        0.0);
    const ResultatsOVX& r = gProjet.GetResultats();
    ASSERT_EQ(r.Values.size(), 1u);
    EXPECT_EQ(r.Values[0].size(), 4u);
    EXPECT_TRUE(r.Couts.empty());
    EXPECT_EQ(AxeXML(), axis);
    EXPECT_FALSE(gSeriesRunning);

    // Past the end of the axis every value is -1, and so is the cost;
    // the positions before it are real.
    ComputeSeries(0.0, {0, 100, 200, 300}, {});
    ASSERT_EQ(r.Values.size(), 1u);
    EXPECT_EQ(r.GetValue("V", 0, 0), 829.0);
    for (const char* name : {"V", "S", "H", "PF[0]", "V[0]", "Coût"})
        EXPECT_EQ(r.GetValue(name, 0, 3), -1.0) << name;
    EXPECT_EQ(AxeXML(), axis);
    // A frame there draws the results of the place the head stays at: one
    // excavation per row's position on the axis and one for the series'
    // last frame, the head back home, whatever the frames drawn.
    gExcavationTimers.Reset();
    int drawn = 0;
    ComputeSeries(
        90.0, {0, 300, 400}, {-1, 0, 1}, [&drawn](size_t) { ++drawn; }, 0.0);
    EXPECT_EQ(drawn, 9);
    EXPECT_EQ(gExcavationTimers.LocalCuts + gExcavationTimers.WholeCuts, 3 + 1);
    EXPECT_EQ(r.GetValue("V", 1, 0), 829.0);
    EXPECT_EQ(r.GetValue("V", 1, 2), -1.0);

    // A reversed head moves towards decreasing distance.
    gProjet.GetAxe().TeteInversee = true;
    ComputeSeries(0.0, {1.0}, {});
    EXPECT_NEAR(r.GetPosition(0, 0).y, -1.0, 1e-9);

    // Without a displayed zone the mode is refused: nothing runs.
    gProjet.Limite1 = gProjet.Limite2 = LumPoint();
    gProjet.Set3DGeometryChanged();
    ui.EnterCreationMode(false);
    ui.ClearLog();
    ComputeSeries(0.0, {-1, 0, 1}, {});
    EXPECT_EQ(ui.GetMode(), 1);
    EXPECT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Count("SetCursor"), 0);
    ASSERT_EQ(r.Values.size(), 1u);
    EXPECT_EQ(r.Values[0].size(), 1u);
}

// Whether a position is shown changes no record: a series with a frame at
// every position, each frame reading the cut meshes and their display
// copies as the 3D view's does, against one shown only at its end, on two
// layers with relief where the cuts go through patches.
TEST_F(SeriesTest, SparseFramesGiveTheRecordsOfAFramePerPosition)
{
    Couche* lower = gProjet.AddCouche("Rocher", 1);
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 40; ++j)
        {
            const double x = -100.0 + 5.0 * i + 0.37, y = -100.0 + 5.0 * j + 0.61;
            lower->AddPoint(
                LumPoint(x, y, 0.5 * (y + 10.0) - 4.0 + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0)), 1, 0,
                false, false);
        }
    gProjet.Set3DGeometryChanged();
    int drawn = 0;
    const auto frame = ui.FrameHook;
    ui.FrameHook = [&drawn, frame]
    {
        frame();
        ++drawn;
        for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
            for (auto which : {Couche::Intersection, Couche::Tete, Couche::TerrainSurTete})
            {
                gProjet.GetCouche(i)->GetMesh(which);
                gProjet.GetCouche(i)->GetDisplayMesh(which);
            }
    };
    const std::vector<double> along = {-6, -3.5, -1, 0, 0.5, 2, 4.5, 7};
    const std::vector<double> across = {-3, 0, 2.5};
    // A frame at every position, and a frame at the end.
    ComputeSeries(90.0, along, across, {}, 0.0);
    const auto values = gProjet.GetResultats().Values;
    const auto costs = gProjet.GetResultats().Couts;
    const auto points = gProjet.GetResultats().Positions;
    const int everyPosition = drawn;
    drawn = 0;
    std::vector<size_t> gauge;
    ComputeSeries(
        90.0, along, across, [&gauge](size_t done) { gauge.push_back(done); }, 1e9);
    const ResultatsOVX& sparse = gProjet.GetResultats();
    EXPECT_EQ(everyPosition - drawn, 24);
    EXPECT_EQ(gauge, std::vector<size_t>{24});
    ASSERT_EQ(sparse.Values.size(), 3u);
    EXPECT_EQ(sparse.Values, values);
    EXPECT_EQ(sparse.Couts, costs);
    ASSERT_EQ(sparse.Positions.size(), points.size());
    for (size_t row = 0; row < points.size(); ++row)
    {
        ASSERT_EQ(sparse.Positions[row].size(), points[row].size());
        for (size_t k = 0; k < points[row].size(); ++k)
            EXPECT_TRUE(Same(sparse.Positions[row][k], points[row][k])) << row << " " << k;
    }
    // The lower layer cut at most positions: the comparison covers both.
    int lowerCut = 0;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 8; ++column)
        {
            EXPECT_GT(sparse.GetValue("V[0]", row, column), 0.0) << row << " " << column;
            lowerCut += sparse.GetValue("V[1]", row, column) > 0.0;
        }
    EXPECT_GE(lowerCut, 12);
}
} // namespace
