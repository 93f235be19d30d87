#include "Excavation.h"
#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "LumHandledMesh.h"
#include "MeshChecker.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"
#include "TeteTestHelpers.h"

#include <algorithm>
#include <functional>
#include <map>

namespace
{
using Plane = std::function<double(double, double)>;
using Values = std::map<std::string, double>;

// The scene of the checks, in world metres: a straight polyline axis along
// +Y with the head at its middle (0, 0, 0), bearing 0, slope 0, and layers
// sampled on a grid of step 5 over [-100, 100]^2, every sample moved by
// (0.37, 0.61) off the grid so that no terrain point falls on a vertical
// edge of the head. The whole scene may be shifted in the world and drawn
// at another scale. Reference values were derived apart from the program
// (face clipping and a 0.1 m sampling agree within 0.05 m3).
class ExcavationTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        Frame(100.0, LumPoint(), LumPoint());
    }

    // A new project at that scale and origin (world), with the scene
    // shifted by `shift` (world) from the reference one.
    void Frame(double echelle, const LumPoint& origin, const LumPoint& shift)
    {
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Echelle = echelle;
        gProjet.OrigineX = origin.x;
        gProjet.OrigineY = origin.y;
        mShift = shift;
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({Scene(0, -200, 0), Scene(0, 200, 0)});
        axe.SetHeadPositionAtDistance(WorldToSceneLength(gProjet, 200.0));
    }

    LumPoint Scene(double x, double y, double z) const
    {
        return WorldToScene(gProjet, LumPoint(x, y, z) + mShift);
    }

    Couche* AddLayer(int index, const Plane& z, double step = 5.0, double xMax = 100.0, double yMin = -100.0,
                     double yMax = 100.0)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(index), index);
        for (double gx = -xMax; gx <= xMax + 1e-9; gx += step)
            for (double gy = yMin; gy <= yMax + 1e-9; gy += step)
            {
                const double x = gx + 0.37, y = gy + 0.61;
                layer->AddPoint(Scene(x, y, z(x, y)), 1, 0, false, false);
            }
        return layer;
    }

    // A layer's results by name ("V", the face names, "S"); each face
    // absent from `expected` must be 0.
    static void ExpectLayer(int layer, const Values& expected, const std::string& what)
    {
        const TeteTranchee& head = GetModelUi().GetTete();
        ASSERT_LT(static_cast<size_t>(layer), gResults.Surfaces.size()) << what;
        const std::vector<double>& surfaces = gResults.Surfaces[layer];
        ASSERT_EQ(surfaces.size(), head.DoubleEntree ? 19u : 13u) << what;
        const auto value = [&](const std::string& name)
        {
            const auto it = expected.find(name);
            return it == expected.end() ? 0.0 : it->second;
        };
        EXPECT_EQ(gResults.Volumes.at(layer), value("V")) << what;
        for (size_t position = 0; position + 1 < surfaces.size(); ++position)
        {
            const std::string name = GetFaceVariableName(head, static_cast<int>(position));
            EXPECT_EQ(surfaces[position], value(name)) << what << " " << name;
        }
        EXPECT_EQ(surfaces.back(), value("S")) << what << " S";
    }

    static double CostVariable(const std::string& name)
    {
        double value = 0.0;
        EXPECT_TRUE(gCostEquation.GetVariable(name, value)) << name;
        return value;
    }

    // A rectangular head: platform 40 x 30, straight front and sides,
    // front slope 30 degrees, side slopes 20, as a file gives it (the
    // setters would clamp the zero skews).
    static void MakeRectangularHead()
    {
        TeteTranchee& head = GetModelUi().GetTete();
        head.lp = 40.0;
        head.hp = head.Distanced1 = 30.0;
        head.Thetaf = head.Thetag1 = head.Thetad1 = 0.0;
        head.AlphaFi = Deg(30.0);
        head.Alphagi1 = head.Alphadi1 = Deg(20.0);
        ASSERT_TRUE(head.BuildMesh());
    }

    LumPoint mShift;
};

double Plane10(double, double y)
{
    return 0.5 * (y + 10.0);
}

double Plane20(double, double y)
{
    return 0.5 * (y + 20.0);
}

double Plane4(double, double y)
{
    return 0.5 * (y + 4.0);
}

const Values kConstructorHead = {{"V", 829}, {"PF", 234}, {"FI", 133}, {"G1I", 36}, {"D1I", 65}, {"S", 468}};

TEST_F(ExcavationTest, OneLayerAgainstReferenceVolumesAndSurfaces)
{
    struct Case
    {
        std::string Name;
        bool Rectangular;
        Plane Terrain;
        double Echelle;
        LumPoint Origin, Shift;
        Values Expected;
        double H;
        size_t ClosedLines;
    };
    const std::vector<Case> cases = {
        {"constructor head", false, Plane10, 100.0, LumPoint(), LumPoint(), kConstructorHead, 13.5, 1},
        // Same world values whatever the scale and the origin; the slope
        // height is in metres (18.5 when scene units were added to metres).
        {"scale 50, origin (1000, 2000)", false, Plane10, 50.0, LumPoint(1000, 2000, 0),
         LumPoint(1000, 2000, 0), kConstructorHead, 13.5, 1},
        {"scene moved by (1000, -500, 30)", false, Plane10, 100.0, LumPoint(), LumPoint(1000, -500, 30),
         kConstructorHead, 13.5, 1},
        // Floor 1000 + front 405.83 + sides 30.33 + corners 2 x 14.81.
        {"rectangular head",
         true,
         Plane10,
         100.0,
         LumPoint(),
         LumPoint(),
         {{"V", 1466}, {"PF", 400}, {"FI", 345}, {"G1I", 37}, {"D1I", 37}, {"S", 820}},
         13.5,
         1},
        // The plane rises back above the first berm for y > 10: two lines.
        {"rectangular head, two lines",
         true,
         Plane20,
         100.0,
         LumPoint(),
         LumPoint(),
         {{"V", 6355},
          {"PF", 800},
          {"FI", 732},
          {"FM", 147},
          {"G1I", 150},
          {"G1M", 5},
          {"D1I", 150},
          {"D1M", 4},
          {"S", 2211}},
         18.5,
         2},
    };
    for (const Case& c : cases)
    {
        Frame(c.Echelle, c.Origin, c.Shift);
        if (c.Rectangular)
            MakeRectangularHead();
        Couche* layer = AddLayer(0, c.Terrain);
        ComputeExcavation();
        EXPECT_EQ(gCalculationErrors, 0) << c.Name;
        EXPECT_TRUE(gProjet.HasExcavationResults()) << c.Name;
        EXPECT_FALSE(gProjet.IsExcavationStale()) << c.Name;
        ExpectLayer(0, c.Expected, c.Name);
        EXPECT_DOUBLE_EQ(gSlopeHeight, c.H) << c.Name;
        // Closed lines, then what a further search walked along the rim of
        // the removed patch before it met a vertex (partial, drawn too).
        size_t closed = 0;
        for (const std::vector<LumPoint>& line : gIntersectionLines)
            closed += line.size() > 10 ? 1 : 0;
        EXPECT_EQ(closed, c.ClosedLines) << c.Name;
        for (Couche::eMesh which : {Couche::Intersection, Couche::Tete, Couche::TerrainSurTete})
            EXPECT_TRUE(CheckMesh(layer->GetMesh(which))) << c.Name << " " << which;
        // The renderable copy, made when asked for, is the placed head's.
        ASSERT_NE(gProjet.GetTeteExcavee(), nullptr);
        EXPECT_EQ(gProjet.GetTeteExcavee()->GetName(), "Tete de tranchée");
        KorMesh placed;
        LumPoint at;
        ASSERT_TRUE(gProjet.GetAxe().PlaceHead(at, placed));
        LumHandledMesh direct(nullptr, "");
        direct.CreateFromKorMesh(placed);
        EXPECT_EQ(gProjet.GetTeteExcavee()->GetVertexMap(), direct.GetVertexMap()) << c.Name;
        EXPECT_EQ(gProjet.GetTeteExcavee()->GetFaceSizes(), direct.GetFaceSizes()) << c.Name;
        // The removed patch and the surface left make the whole surface.
        EXPECT_NEAR(layer->GetMesh(Couche::Intersection).GetSurface() +
                        layer->GetMesh(Couche::TerrainSurTete).GetSurface(),
                    layer->GetMesh(Couche::Surface).GetSurface(), 1e-6 * layer->GetMesh().GetSurface())
            << c.Name;
        GetModelUi().GetTete() = TeteTranchee();
        ASSERT_TRUE(GetModelUi().GetTete().BuildMesh());
    }
}

TEST_F(ExcavationTest, LayersKeepThePartAboveTheNextAndAFailureReachesEveryTotal)
{
    // Alone, z = 0.5 (y + 4) gives 167 m3, PF 95, S 180.
    AddLayer(0, Plane4);
    ComputeExcavation();
    ASSERT_EQ(gResults.Volumes.size(), 1u);
    EXPECT_EQ(gResults.Volumes[0], 167.0);
    EXPECT_EQ(gResults.Surfaces[0][0], 95.0);
    EXPECT_EQ(gResults.Surfaces[0].back(), 180.0);

    Frame(100.0, LumPoint(), LumPoint());
    AddLayer(0, Plane10);
    AddLayer(1, Plane4);
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    ASSERT_EQ(gResults.Volumes.size(), 2u);
    EXPECT_EQ(gResults.Volumes[0], 662.0);
    EXPECT_EQ(gResults.Volumes[1], 167.0);
    EXPECT_EQ(gResults.Surfaces[0][0], 139.0);
    EXPECT_EQ(gResults.Surfaces[0].back(), 288.0);
    EXPECT_EQ(CostVariable("V"), 829.0);
    EXPECT_EQ(CostVariable("S"), 468.0);
    EXPECT_EQ(CostVariable("V[1]"), 167.0);

    // A flat lower layer at z = 1 leaves the head through its exit: its line
    // cannot close. The upper layer's difference is then unknown too, and
    // no total is a number (as written: 830 and -1, "V" 829). The failed
    // computation prints one line, naming the layer, whatever its library
    // calls refused on the way.
    Frame(100.0, LumPoint(), LumPoint());
    AddLayer(0, Plane10);
    AddLayer(1, [](double, double) { return 1.0; });
    testing::internal::CaptureStdout();
    ComputeExcavation();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(printed.rfind("ComputeExcavation -> Découpe impossible de la couche 'Couche1'", 0), 0u)
        << printed;
    EXPECT_EQ(gCalculationErrors, 1);
    EXPECT_TRUE(gProjet.HasExcavationResults());
    ASSERT_EQ(gResults.Volumes.size(), 2u);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(gResults.Volumes[i], -1.0) << i;
        EXPECT_EQ(gResults.Surfaces[i], std::vector<double>(13, -1.0)) << i;
    }
    for (const char* name : {"V", "S", "PF", "FI", "D2", "V[0]", "S[1]"})
        EXPECT_EQ(CostVariable(name), -1.0) << name;
}

TEST_F(ExcavationTest, SumsOverResultsAreFailedByOneFailedTerm)
{
    const std::vector<std::pair<std::vector<double>, double>> cases = {
        {{}, 0.0}, {{100, 20, 3}, 123.0}, {{100, -1, -1}, -1.0}, {{-1, 5}, -1.0}, {{0, 0}, 0.0}};
    for (const auto& [values, sum] : cases)
        EXPECT_EQ(SumResults(values), sum) << values.size();
}

TEST_F(ExcavationTest, HeadThatMeetsNoLayerGivesZeroEverywhere)
{
    // Beside the terrain (1 km to the east; the head position lies outside
    // the surface, whose altitude there is 0) and above a layer 50 m down.
    const std::vector<std::tuple<std::string, double, double, double>> cases = {{"beside", 1000.0, 0.0, 8.5},
                                                                                {"above", 0.0, -50.0, 0.0}};
    for (const auto& [name, east, z, h] : cases)
    {
        Frame(100.0, LumPoint(), LumPoint());
        Couche* layer = gProjet.AddCouche("Couche0", 0);
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 20; ++j)
                layer->AddPoint(LumPoint(east - 50.0 + 5.0 * i + 0.37, -50.0 + 5.0 * j + 0.61, z), 1, 0,
                                false, false);
        ComputeExcavation();
        EXPECT_EQ(gCalculationErrors, 0) << name;
        ExpectLayer(0, {}, name);
        EXPECT_DOUBLE_EQ(gSlopeHeight, h) << name;
        EXPECT_TRUE(gIntersectionLines.empty()) << name;
        EXPECT_EQ(layer->GetMesh(Couche::Intersection).GetNumberOfFaces(),
                  layer->GetMesh().GetNumberOfFaces())
            << name;
        EXPECT_EQ(layer->GetMesh(Couche::Tete).GetNumberOfFaces(), 0) << name;
        EXPECT_EQ(layer->GetMesh(Couche::TerrainSurTete).GetNumberOfFaces(), 0) << name;
    }
}

TEST_F(ExcavationTest, HeadThatCannotBeBuiltFailsEveryLayer)
{
    AddLayer(0, Plane10);
    AddLayer(1, Plane4);
    TeteTranchee& head = GetModelUi().GetTete();
    head.Thetaf = Deg(10.0);
    head.Thetag1 = Deg(80.0);
    ASSERT_FALSE(head.BuildMesh());
    testing::internal::CaptureStdout();
    ComputeExcavation();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_EQ(printed.rfind("ComputeExcavation -> Tête de tranchée impossible à construire", 0), 0u)
        << printed;
    EXPECT_EQ(gCalculationErrors, 1);
    EXPECT_TRUE(gProjet.HasExcavationResults());
    EXPECT_EQ(gResults.Volumes, std::vector<double>(2, -1.0));
    for (const std::vector<double>& surfaces : gResults.Surfaces)
        EXPECT_EQ(surfaces, std::vector<double>(13, -1.0));
    EXPECT_TRUE(gIntersectionLines.empty());
    EXPECT_EQ(CostVariable("V"), -1.0);
}

TEST_F(ExcavationTest, EverySpikeThroughTheFloorIsALineOfItsOwn)
{
    // A flat terrain 1 m under the platform with spikes 1 m above it, 4 m
    // apart along the floor of the head and of its exit: each spike crosses
    // the floor on a line of its own (a 1 m3 pyramid top over a hexagonal
    // star), however many there are.
    for (int rows : {5, 17})
    {
        Frame(100.0, LumPoint(), LumPoint());
        Couche* layer = gProjet.AddCouche("Pics", 0);
        int spikes = 0;
        for (int i = 0; i <= 20; ++i)
            for (int j = 0; j <= 50; ++j)
            {
                const double x = -20.0 + 2.0 * i + 0.37, y = -80.0 + 2.0 * j + 0.61;
                const bool spike =
                    i % 2 == 0 && j % 2 == 0 && std::fabs(x) < 6 && y < -1 && y > -1 - 4 * rows;
                spikes += spike ? 1 : 0;
                layer->AddPoint(LumPoint(x, y, spike ? 1.0 : -1.0), 1, 0, false, false);
            }
        ComputeExcavation();
        EXPECT_EQ(gCalculationErrors, 0) << spikes;
        EXPECT_EQ(gIntersectionLines.size(), static_cast<size_t>(spikes));
        EXPECT_EQ(gResults.Volumes[0], spikes);
    }
}

// A flat 6 x 6 grid of unit squares, z = 0; the closed line runs round the
// 2 x 2 block of squares in the middle:
//
//   +--+--+--+--+--+--+
//   |  |  |  |  |  |  |
//   +--+--*==*==*--+--+
//   |  |  #  |  #  |  |
//   +--+--*--+--*--+--+
//   |  |  #  |  #  |  |
//   +--+--*==*==*--+--+
//
// Both sides reach z = 0: the side that holds a border half-edge is the
// outer one, whichever way the line runs and whichever extreme is sought.
TEST_F(ExcavationTest, FlatPatchInsideAClosedLineIsTheInnerSide)
{
    KorMesh grid;
    const auto id = [](int i, int j) { return j * 7 + i; };
    for (int j = 0; j <= 6; ++j)
        for (int i = 0; i <= 6; ++i)
            grid.AddVertex(i, j, 0.0);
    std::vector<int> enclosed;
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i)
        {
            const int face = grid.AddFace(4, id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1));
            if (i >= 2 && i < 4 && j >= 2 && j < 4)
                enclosed.push_back(face);
        }
    std::vector<int> line = {id(2, 2), id(3, 2), id(4, 2), id(4, 3), id(4, 4), id(3, 4), id(2, 4), id(2, 3)};
    for (bool reversed : {false, true})
        for (bool highest : {false, true})
        {
            std::vector<int> inner, outer;
            ASSERT_TRUE(SelectFacesInsideLine(line, grid, inner, outer, highest));
            EXPECT_EQ(inner, enclosed) << reversed << highest;
            EXPECT_EQ(outer.size(), 32u) << reversed << highest;
            std::reverse(line.begin(), line.end());
        }
    // A line with a missing half-edge is refused.
    std::vector<int> inner, outer;
    EXPECT_FALSE(SelectFacesInsideLine({id(0, 0), id(2, 2), id(0, 2)}, grid, inner, outer, false));
}

TEST_F(ExcavationTest, CostVariablesBeforeAndAfterAComputation)
{
    AddLayer(0, Plane10);
    AddLayer(1, Plane4);
    gProjet.InvalidateResults();
    // Before any computation: placeholders of 1, kept in the results.
    SetCostVariables(GetModelUi().GetTete());
    for (const auto& [name, value] :
         Values{{"V", 2}, {"S", 2}, {"PF", 2}, {"H", 0}, {"PF[0]", 1}, {"S[1]", 1}})
        EXPECT_EQ(CostVariable(name), value) << name;
    EXPECT_EQ(gResults.Volumes, std::vector<double>(2, 1.0));
    EXPECT_EQ(gResults.Surfaces, std::vector<std::vector<double>>(2, std::vector<double>(13, 1.0)));
    double none = 0.0;
    EXPECT_FALSE(gCostEquation.GetVariable("S[2]", none));
    EXPECT_EQ(GetCostVariableNames(GetModelUi().GetTete(), 2).size(), 3u + 12u + 2u * 14u);

    // The default cost after the reference case: 300 * 468 + 10 * 829.
    Frame(100.0, LumPoint(), LumPoint());
    AddLayer(0, Plane10);
    ComputeExcavation();
    EXPECT_EQ(gCostEquation.GetEquation(), "300*S+10*V");
    std::string error;
    EXPECT_EQ(gCostEquation.Evaluate(&error), 148690.0);
    EXPECT_EQ(error, "");
    EXPECT_EQ(CostVariable("H"), 13.5);

    // A rebuilt head drops the results and the variables.
    ASSERT_TRUE(GetModelUi().GetTete().BuildMesh());
    EXPECT_TRUE(gResults.Volumes.empty());
    EXPECT_EQ(gCostEquation.GetNombreVariables(), 0u);
}

TEST_F(ExcavationTest, FaceVariableNamesFollowTheHeadType)
{
    TeteTranchee head;
    const std::vector<std::tuple<bool, int, int, std::string>> cases = {
        {false, 45, 0, "PF"}, {false, 45, 6, "G1S"}, {false, 45, 10, "G2"}, {false, 45, 11, "D2"},
        {false, 45, 12, ""},  {true, 45, 7, "G1I"},  {true, 46, 7, "D1I"},  {true, 45, 13, "G3"},
        {true, 46, 13, "D3"}, {true, 46, 17, "G2"},  {true, 45, 18, ""},    {true, 45, -1, ""}};
    for (const auto& [doubleEntree, cote, position, name] : cases)
    {
        head.DoubleEntree = doubleEntree;
        head.CoteAvance = cote;
        EXPECT_EQ(GetFaceVariableName(head, position), name) << doubleEntree << cote << position;
    }
}

TEST_F(ExcavationTest, CostFunctionIsStoredOnlyWhenItEvaluates)
{
    std::string unknown;
    KorEquation("Vv").Evaluate(&unknown);
    TeteTranchee& head = GetModelUi().GetTete();
    // Before any computation H is 0; after one that excavates nothing V is 0
    // too: neither refuses a sound expression.
    AddLayer(0, Plane10);
    gProjet.GetUndoManager().SetSaved(true);
    for (const char* text : {"G1S*2", "V[0]"})
        EXPECT_EQ(StoreCostExpression(text, head), "") << text;
    EXPECT_NE(StoreCostExpression("V[1]", head), "");
    EXPECT_EQ(StoreCostExpression("V/H", head), "");
    EXPECT_EQ(gProjet.EquationCout, "V/H");
    EXPECT_TRUE(gProjet.IsModified());

    Frame(100.0, LumPoint(), LumPoint());
    AddLayer(0, [](double, double) { return -50.0; });
    ComputeExcavation();
    ASSERT_EQ(gResults.Volumes, std::vector<double>{0.0});
    gProjet.GetUndoManager().SetSaved(true);
    const std::vector<std::tuple<std::string, std::string, std::string, bool>> cases = {
        // text, error, stored function, modified
        {"S/V", "", "S/V", true},
        {"S/V", "", "S/V", false},
        {"Vv", unknown, "S/V", false},
        {"PF[0]+V[0]", "", "PF[0]+V[0]", true}};
    for (const auto& [text, error, stored, modified] : cases)
    {
        EXPECT_EQ(StoreCostExpression(text, head), error) << text;
        EXPECT_EQ(gProjet.EquationCout, stored) << text;
        EXPECT_EQ(gProjet.IsModified(), modified) << text;
        gProjet.GetUndoManager().SetSaved(true);
    }
}
} // namespace
