#include "ExcavationReference.h"
#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "Excavation.h"
#include "HeadFolds.h"
#include "ModelTestSupport.h"
#include "ResultatsOVX.h"
#include "SceneCoordinates.h"
#include "TeteTestHelpers.h"
#include "TeteTranchee.h"

#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>
#include <utility>

namespace
{
using Height = std::function<double(double, double)>;

// What the program and the reference make of one layer: the volume
// between the head and the layer's surface, and the head's area under it
// for "PF" and each face class, in world units.
struct sLayerMeasure
{
    double Volume = 0.0;
    std::vector<double> Surfaces;
};

// The scene of the checks, at scale 100 (scene units are metres): layers
// sampled on grids, a straight polyline axis 600 m long through the origin
// on a bearing (degrees from +y toward +x), the head at its middle moved
// along it and across it.
class ExcavationReferenceTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        Head(false, false, 45);
    }

    static void Head(bool doubleEntree, bool doubleRisberme, int cote)
    {
        TeteTranchee& head = GetModelUi().GetTete();
        head = TeteTranchee();
        head.DoubleEntree = doubleEntree;
        head.DoubleRisberme = doubleRisberme;
        head.CoteAvance = cote;
        ASSERT_TRUE(head.BuildMesh());
    }

    void Scene(double bearing)
    {
        ForgetReferences();
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Echelle = 100.0;
        Axis(bearing);
    }

    static void Axis(double bearing)
    {
        const double a = bearing * M_PI / 180.0;
        const LumPoint d(std::sin(a), std::cos(a), 0.0);
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({d * -300.0, d * 300.0});
        axe.SetHeadPositionAtDistance(300.0);
    }

    // A layer over [-half, half]^2 on a grid of `step`, moved by the shift,
    // with extra points.
    static Couche* AddLayer(int index, const Height& z, double step = 5.0, double half = 100.0,
                            double sx = 0.0, double sy = 0.0, const std::vector<LumPoint>& extra = {})
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(index), static_cast<unsigned>(index));
        const int n = static_cast<int>(std::lround(2.0 * half / step));
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j)
            {
                const double x = -half + step * i + sx, y = -half + step * j + sy;
                layer->AddPoint(LumPoint(x, y, z(x, y)), 1, 0, false, false);
            }
        for (const LumPoint& p : extra)
            layer->AddPoint(p, 1, 0, false, false);
        return layer;
    }

    // The head moved along the axis and across it (to the right of its
    // way), as a series moves it.
    static void Place(double bearing, double along, double across)
    {
        Axe& axe = gProjet.GetAxe();
        const double a = bearing * M_PI / 180.0;
        axe.Translate(LumPoint(std::cos(a), -std::sin(a), 0.0) * across);
        axe.SetHeadPositionAtDistance(300.0 + along);
    }

    static sLayerMeasure FromReference(const TeteTranchee& head, const sReferenceCut& cut)
    {
        sLayerMeasure m;
        m.Volume = SceneToWorldVolume(gProjet, cut.Volume);
        const auto sum = [&cut](const std::vector<int>& faces)
        {
            double total = 0.0;
            for (int f : faces)
                if (f >= 0 && static_cast<size_t>(f) < cut.FaceAreas.size())
                    total += cut.FaceAreas[static_cast<size_t>(f)];
            return total;
        };
        m.Surfaces.push_back(SceneToWorldArea(gProjet, sum(head.GetUpFaces()) - sum(head.GetDownFaces())));
        for (int faceClass : GetMeasuredFaceClasses(head.DoubleEntree))
        {
            const sClasseFaces record = head.GetClassFaces(faceClass);
            m.Surfaces.push_back(
                SceneToWorldArea(gProjet, sum(std::vector<int>(record.Faces, record.Faces + 5))));
        }
        return m;
    }

    static sLayerMeasure FromProgram(const Couche& layer, const TeteTranchee& head)
    {
        sLayerMeasure m;
        const KorMesh& cut = layer.GetMesh(Couche::Tete);
        // A mirrored head's faces turn the other way round.
        const double headPart = head.GetMesh().AreFacesFlipped() ? -cut.GetVolume() : cut.GetVolume();
        m.Volume = SceneToWorldVolume(
            gProjet, std::fabs(layer.GetMesh(Couche::TerrainSurTete).GetVolume() - headPart));
        const auto from = [&cut](const std::vector<int>& faces)
        {
            double total = 0.0;
            std::vector<int> pieces;
            for (int f : faces)
            {
                if (f < 0)
                    continue;
                cut.GetNewFacesFrom(f, pieces);
                for (int p : pieces)
                    total += cut.GetFaceSurface(cut.GetFace(p));
            }
            return total;
        };
        m.Surfaces.push_back(SceneToWorldArea(gProjet, from(head.GetUpFaces()) - from(head.GetDownFaces())));
        for (int faceClass : GetMeasuredFaceClasses(head.DoubleEntree))
            m.Surfaces.push_back(
                SceneToWorldArea(gProjet, ComputeFaceClassSurface(faceClass, head, cut, -1)));
        return m;
    }

    // The reference of every layer at the head's position; inside when the
    // head stands inside every layer's terrain. Each layer's surface is
    // indexed once for the positions over it.
    std::vector<sLayerMeasure> Reference(bool& inside, std::string* why = nullptr)
    {
        KorMesh placed;
        TeteTranchee head;
        LumPoint at;
        EXPECT_TRUE(gProjet.GetAxe().PlaceHead(at, placed, &head));
        std::vector<sLayerMeasure> layers;
        inside = true;
        for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        {
            Couche* layer = gProjet.GetCouche(i);
            if (layer->NeedsTriangulation())
                layer->Triangulate();
            auto& known = mReferences[layer];
            if (!known)
                known = std::make_unique<ExcavationReference>(layer->GetMesh(Couche::Surface));
            const sReferenceCut cut = known->Cut(placed);
            if (!cut.Inside && inside && why)
                *why = "layer " + std::to_string(i) + ": " + cut.Why;
            inside = inside && cut.Inside;
            layers.push_back(FromReference(head, cut));
        }
        return layers;
    }
    // Forgets the layers' references, before they are closed.
    void ForgetReferences() { mReferences.clear(); }

    std::map<const Couche*, std::unique_ptr<ExcavationReference>> mReferences;

    // Where the program's cut differs from the reference, in words; empty
    // when it agrees.
    static std::string Compare(const std::vector<sLayerMeasure>& reference, bool inside, eCutRoute route)
    {
        std::ostringstream off;
        ComputeExcavation(route);
        if (!inside)
        {
            if (gCalculationErrors == 0)
                off << " computed where the reference errs (" << gResults.Volumes.at(0) << " m3)";
            return off.str();
        }
        if (gCalculationErrors != 0)
        {
            off << " error where the reference gives " << reference.at(0).Volume << " m3";
            return off.str();
        }
        KorMesh placed;
        TeteTranchee head;
        LumPoint at;
        gProjet.GetAxe().PlaceHead(at, placed, &head);
        for (size_t i = 0; i < reference.size(); ++i)
        {
            const sLayerMeasure program = FromProgram(*gProjet.GetCouche(static_cast<int>(i)), head);
            const sLayerMeasure& r = reference[i];
            if (std::fabs(program.Volume - r.Volume) > std::max(1e-6, 1e-6 * r.Volume))
                off << " layer " << i << " volume " << program.Volume << " for " << r.Volume;
            for (size_t k = 0; k < r.Surfaces.size(); ++k)
                if (std::fabs(program.Surfaces[k] - r.Surfaces[k]) >
                    std::max(1e-6, 1e-5 * std::fabs(r.Surfaces[k])))
                    off << " layer " << i << " surface " << k << " " << program.Surfaces[k] << " for "
                        << r.Surfaces[k];
        }
        return off.str();
    }
};

} // namespace

// Scenes where a cut that follows one region from a seed goes wrong,
// against the reference, which is itself checked against values worked out
// apart (an exact clip of the head's faces against the plane): several
// regions of terrain over the head, a corner of the head standing above the
// terrain inside the excavation, a line masked by another on the head's
// side, a pit of a rock layer below the platform, level ground, and a head
// well inside the terrain.
TEST_F(ExcavationReferenceTest, CasesOfTheWalkAgainstTheReference)
{
    struct Case
    {
        const char* Name;
        bool Double;
        double Bearing, Along, Step, Shift;
        Height Terrain;
        std::vector<LumPoint> Extra;
        double Exact;
    };
    const Case cases[] = {
        {"several regions",
         false,
         0,
         1.25,
         5,
         0,
         [](double x, double y) { return -0.15 * x + 0.6 * y + 8; },
         {},
         2318.40},
        {"island", true, 45, 0, 5, 0, [](double x, double y) { return 0.2 * x + 0.5 * y + 5; }, {}, 20390.7},
        {"masked line", true, 45, 0, 5, 0.5, [](double, double y) { return 0.5 * y; }, {}, 3996.9},
        {"level ground", false, 0, 0, 5, 0, [](double, double) { return 0.0; }, {}, 0.0},
        {"pit 1 m under the platform",
         false,
         0,
         0,
         5,
         0,
         [](double, double y) { return 0.5 * (y + 10); },
         {LumPoint(1.3, -4.1, -1)},
         796.9},
        {"pit 60 m under the platform",
         false,
         0,
         0,
         5,
         0,
         [](double, double y) { return 0.5 * (y + 10); },
         {LumPoint(1.3, -4.1, -60)},
         742.5},
        {"refused double head",
         true,
         0,
         0,
         2.5,
         0,
         [](double x, double y) { return -0.15 * x + 0.6 * y + 8; },
         {},
         41595.7},
    };
    for (const Case& c : cases)
    {
        Head(c.Double, false, 45);
        Scene(c.Bearing);
        AddLayer(0, c.Terrain, c.Step, 100.0, 0.0, c.Shift, c.Extra);
        Place(c.Bearing, c.Along, 0.0);
        bool inside = false;
        const std::vector<sLayerMeasure> reference = Reference(inside);
        EXPECT_TRUE(inside) << c.Name;
        // The values apart come from a clip to 0.01 m3, or from a midpoint
        // integration at 0.05 m for the pits.
        EXPECT_NEAR(reference[0].Volume, c.Exact, c.Extra.empty() ? 0.05 : 0.5) << c.Name;
        for (eCutRoute route : {eCutRoute::Local, eCutRoute::Whole})
            EXPECT_EQ(Compare(reference, inside, route), "")
                << c.Name << (route == eCutRoute::Whole ? " (whole)" : "");
        if (std::string(c.Name) == "island")
        {
            // F1I, the first class after PF, worked out apart: the part of
            // its faces round the corner that stands above the terrain is
            // not excavated (the whole faces hold 514 m2).
            EXPECT_NEAR(reference[0].Surfaces[1], 450.0, 1.0);
        }
    }

    // A lens of a second layer, 2 x 2 m, standing over the platform without
    // meeting the head: the head does not meet that layer, whose volume is
    // 0; its material is the first layer's.
    Head(false, false, 45);
    Scene(0);
    AddLayer(0, [](double, double y) { return 0.5 * (y + 10); });
    Couche* lens = gProjet.AddCouche("Lentille", 1);
    for (const LumPoint& p :
         {LumPoint(-1, -6, 1), LumPoint(1, -6, 1), LumPoint(1, -4, 1), LumPoint(-1, -4, 1)})
        lens->AddPoint(p, 1, 0, false, false);
    bool inside = false;
    const double alone = Reference(inside)[0].Volume;
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    ASSERT_EQ(gResults.Volumes.size(), 2u);
    EXPECT_NEAR(gResults.Volumes[0], alone, 0.5);
    EXPECT_EQ(gResults.Volumes[1], 0.0);
}

// The sample's series runs in parts, side by side, each a test of its own.
class ExcavationReferenceSampleTest : public ExcavationReferenceTest, public ::testing::WithParamInterface<int>
{
};

// The sample's default series: both its layers are planes rising along the
// axis, so every row across the axis holds the same volume at each position
// along it, whatever the grid's points the head's edges pass through. Each
// part computes seven of the 21 positions along the axis, every row across.
TEST_P(ExcavationReferenceSampleTest, SampleSeriesHoldsOneVolumePerRow)
{
    gProjet.Open(VORN_SAMPLE);
    ui.FrameHook = []
    {
        if (gProjet.m3DAffichageTete && gProjet.IsExcavationStale())
            ComputeExcavation();
    };
    std::vector<double> along, across;
    for (int k = -10; k <= 10; ++k)
    {
        if ((k + 10) / 7 == GetParam())
            along.push_back(k);
        across.push_back(k);
    }
    ComputeSeries(90.0, along, across, {}, 0.0);
    const ResultatsOVX& r = gProjet.GetResultats();
    for (size_t column = 0; column < along.size(); ++column)
        for (size_t row = 1; row < across.size(); ++row)
            EXPECT_EQ(r.GetValue("V", static_cast<int>(row), static_cast<int>(column)),
                      r.GetValue("V", 0, static_cast<int>(column)))
                << "along " << along[column] << " across " << across[row];
}

INSTANTIATE_TEST_SUITE_P(Part, ExcavationReferenceSampleTest, ::testing::Range(0, 3));

// The random scenes below, drawn all at once from one seed, so that each
// part of the test checks the same scenes and positions whichever parts run.
struct sRandomScene
{
    int Kind = 0;
    bool DoubleEntree = false, DoubleRisberme = false;
    int Cote = 45;
    double Bearing = 0.0, Step = 5.0, ShiftX = 0.0, ShiftY = 0.0;
    Height Top, Second, Rock;
    std::vector<LumPoint> Extra;
    std::vector<std::pair<double, double>> Positions; // along, across
};

std::vector<sRandomScene> DrawRandomScenes()
{
    std::mt19937 random(20261211);
    const auto uniform = [&random](double lo, double hi)
    { return std::uniform_real_distribution<double>(lo, hi)(random); };
    const double bearings[] = {0.0, 30.0, 45.0, 90.0, -20.0};
    const double steps[] = {5.0, 2.5, 5.0, 4.7, 5.0};
    const std::pair<double, double> shifts[] = {{0, 0}, {0.5, 0}, {0, 0.5}, {0.37, 0.61}, {2.5, 0}};
    std::vector<sRandomScene> scenes(105);
    for (int s = 0; s < static_cast<int>(scenes.size()); ++s)
    {
        sRandomScene& scene = scenes[static_cast<size_t>(s)];
        const int kind = s % 7;
        scene.Kind = kind;
        scene.DoubleEntree = s % 3 == 2;
        scene.DoubleRisberme = s % 3 == 1;
        scene.Cote = s % 2 == 0 ? 45 : 46;
        scene.Bearing = bearings[s % 5];
        scene.Step = steps[(s / 5) % 5];
        std::tie(scene.ShiftX, scene.ShiftY) = shifts[(s / 3) % 5];
        // A plane rising along the axis and tilted across it.
        const double a = scene.Bearing * M_PI / 180.0;
        const double rise = uniform(0.35, 0.6), tilt = uniform(-0.2, 0.2), lift = uniform(2.0, 12.0);
        const Height plane = [=](double x, double y) {
            return lift + rise * (x * std::sin(a) + y * std::cos(a)) +
                   tilt * (x * std::cos(a) - y * std::sin(a));
        };
        Height top = plane;
        if (kind == 1)
            scene.Extra.push_back(LumPoint(uniform(-6, 6), uniform(-12, 0), -uniform(0.3, 8.0)));
        if (kind == 2)
        {
            const double cx = uniform(-15, 15), cy = uniform(-25, 10), h = uniform(-4, 4), w = uniform(4, 12);
            top = [=](double x, double y)
            { return plane(x, y) + h * std::exp(-((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (w * w)); };
        }
        if (kind == 3)
            top = [=](double x, double y) { return std::max(0.0, plane(x, y)); };
        scene.Top = top;
        if (kind >= 4)
        {
            const double gap = uniform(1.0, 6.0);
            scene.Second = [=](double x, double y) { return top(x, y) - gap; };
        }
        if (kind == 4 || kind == 6)
        {
            // A rock layer under the platform, rising through it here and
            // there.
            const double depth = uniform(-1.5, 0.2), wave = uniform(0.5, 1.5);
            scene.Rock = [=](double x, double y) { return depth + wave * std::sin(x / 7.0) * std::sin(y / 9.0); };
        }
        for (int p = 0; p < 20; ++p)
        {
            const double across = uniform(-8.0, 8.0);
            const double along = uniform(-8.0, 8.0);
            scene.Positions.emplace_back(along, across);
        }
    }
    return scenes;
}

// The random scenes run in parts, side by side, each a test of its own.
class ExcavationReferenceRandomTest : public ExcavationReferenceTest, public ::testing::WithParamInterface<int>
{
protected:
    static constexpr int Parts = 7;
#if defined(__SANITIZE_ADDRESS__)
    // Memory checks run some ten times slower: the sanitizer build takes
    // every fifth position of each scene, the two that also take the whole
    // road among them. The Release build checks every position.
    static constexpr int PositionStride = 5;
#else
    static constexpr int PositionStride = 1;
#endif
};

// The cut against the reference at random positions over terrains of every
// shape the cut must take: planes rising along the axis, pits of a point
// below the platform, mounds, terraces flat at the platform's height, an
// undulating rock layer under the platform, two and three layers; grids of
// at most 41 x 41 points of round and odd steps and shifts (points then
// fall on the head's edges and vertices and in its faces' planes); single,
// two-berm and double heads on either side; five bearings. Wherever the
// reference has the head inside the terrain the cut must give its volumes
// and surfaces, elsewhere the error; the whole road is checked on a tenth
// of the positions. Each part takes its own run of scenes, of every kind.
TEST_P(ExcavationReferenceRandomTest, RandomPositionsAgreeWithTheReference)
{
    const std::vector<sRandomScene> scenes = DrawRandomScenes();
    const int count = static_cast<int>(scenes.size());
    const int first = count * GetParam() / Parts, last = count * (GetParam() + 1) / Parts;
    std::ostringstream off;
    int computed = 0, total = 0;
    for (int s = first; s < last; ++s)
    {
        const sRandomScene& scene = scenes[static_cast<size_t>(s)];
        Head(scene.DoubleEntree, scene.DoubleRisberme, scene.Cote);
        Scene(scene.Bearing);
        const double half = scene.Step * 20.0;
        AddLayer(0, scene.Top, scene.Step, half, scene.ShiftX, scene.ShiftY, scene.Extra);
        if (scene.Second)
            AddLayer(1, scene.Second, scene.Step, half, scene.ShiftX, scene.ShiftY);
        if (scene.Rock)
            AddLayer(scene.Kind == 4 ? 2 : 1, scene.Rock, scene.Step, half, scene.ShiftX, scene.ShiftY);
        for (int p = 0; p < static_cast<int>(scene.Positions.size()); p += PositionStride)
        {
            Axis(scene.Bearing);
            Place(scene.Bearing, scene.Positions[static_cast<size_t>(p)].first,
                  scene.Positions[static_cast<size_t>(p)].second);
            bool inside = false;
            std::string why;
            const std::vector<sLayerMeasure> reference = Reference(inside, &why);
            computed += inside ? 1 : 0;
            ++total;
            const std::string what = " (scene " + std::to_string(s) + ", position " + std::to_string(p) +
                                     (why.empty() ? "" : ", " + why) + ")";
            const std::string local = Compare(reference, inside, eCutRoute::Local);
            if (!local.empty())
                off << local << what << "\n";
            if (p % 10 == 0)
            {
                const std::string whole = Compare(reference, inside, eCutRoute::Whole);
                if (!whole.empty())
                    off << whole << what << " whole\n";
            }
        }
        // The next scene makes its own layers.
        ForgetReferences();
        gProjet.Close();
    }
    EXPECT_EQ(off.str(), "");
    // Most positions are excavations, not errors.
    EXPECT_GT(computed, total / 2) << computed << " of " << total;
}

INSTANTIATE_TEST_SUITE_P(Part, ExcavationReferenceRandomTest, ::testing::Range(0, 7));

// A double head whose step, between its two fronts, narrows to nothing
// below the top of the placed head's last bench and opens again reversed
// above: the terrain stays below the pinch, and the cut measures the head
// as the reference does, on both roads. A terrain raised over the pinch is
// refused for the fold, with the fields that shape the step. The heads
// every other test places do not fold.
TEST_F(ExcavationReferenceTest, HeadPinchedAboveTheTerrainIsMeasured)
{
    const auto pinchedHead = []
    {
        TeteTranchee& head = GetModelUi().GetTete();
        head.SetDoubleParameters(true, 45, false, 40.909, 20.5789, 11.9964, 29.0508, 11.8286, 22.7703,
                                 18.9567, 11.2746, 18.5985, 25.3584, 41.4252, 16.0737, 9.1335, 12.2888,
                                 25.6851, 19.9131, 11.0135, 21.4372, 35.8702, 16.5025, 10.0363, 45.7219,
                                 20.284, 27.5694, 12.9678, 12.7244, 28.6733, 16.667, 23.0711, 20.0423, 6.569,
                                 15.4648, 34.3563, 5.0556, 21.9744, 4.1246, 4.2666, 4.101, false);
    };
    const auto placedFolds = []
    {
        KorMesh placed;
        LumPoint at;
        EXPECT_TRUE(gProjet.GetAxe().PlaceHead(at, placed));
        return HeadFolds::Find(placed);
    };
    const Height plane = [](double, double y) { return 0.5 * (y + 10); };
    Scene(0);
    pinchedHead();
    AddLayer(0, plane, 5.0, 100.0, 0.37, 0.21);
    const std::vector<sHeadFold> folds = placedFolds();
    ASSERT_EQ(folds.size(), 1u);
    EXPECT_TRUE(folds[0].Pinched);
    bool inside = false;
    const std::vector<sLayerMeasure> reference = Reference(inside);
    EXPECT_TRUE(inside);
    for (eCutRoute route : {eCutRoute::Local, eCutRoute::Whole})
        EXPECT_EQ(Compare(reference, inside, route), "") << (route == eCutRoute::Whole ? "whole" : "local");

    // The same plane lifted over the pinch, on a terrain wide enough to
    // hold it.
    Scene(0);
    AddLayer(
        0, [&](double x, double y) { return plane(x, y) + folds[0].Pinch.z; }, 10.0, 200.0, 0.37, 0.21);
    ComputeExcavation();
    EXPECT_EQ(gCalculationError, eCalculationError::Fold);
    ASSERT_EQ(gResults.Volumes.size(), 1u);
    EXPECT_EQ(gResults.Volumes[0], -1.0);
    const std::string text = CalculationErrorText(gCalculationError);
    EXPECT_NE(text.find("se replient les unes sur les autres"), std::string::npos) << text;
    for (const char* field : {"Talus latéraux 2 (Gauche) : Biais latéral du talus",
                              "Front d'attaque reculé : Inclinaison verticale du front supérieur",
                              "Front d'attaque avancé : Inclinaison verticale du front supérieur"})
        EXPECT_NE(text.find(field), std::string::npos) << text;

    // The randomized test's heads, then their symmetric forms.
    for (int s = 0; s < 12; ++s)
    {
        Head(s % 3 == 2, s % 3 == 1, s % 2 == 0 ? 45 : 46);
        TeteTranchee& head = GetModelUi().GetTete();
        DoubleSet symmetric;
        symmetric.SymetrieGD = true;
        symmetric.CoteAvance = head.CoteAvance;
        if (s >= 6 && head.DoubleEntree)
            symmetric.Apply(head);
        else if (s >= 6)
            SingleSet().Flags(true, head.DoubleRisberme).Apply(head);
        Scene(0);
        AddLayer(0, plane, 5.0, 100.0);
        EXPECT_TRUE(placedFolds().empty()) << "head " << s;
    }
}
