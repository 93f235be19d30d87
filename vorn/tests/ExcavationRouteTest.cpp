#include "Axe.h"
#include "Couche.h"
#include "Excavation.h"
#include "KorFace.h"
#include "MeshChecker.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"
#include "TeteTranchee.h"

#include <cmath>
#include <functional>
#include <random>
#include <string>

namespace
{
// The cut on a patch of each surface against the cut of a copy of the whole
// surface, on the same scenes: random head positions over an inclined plane
// plus a sinusoid, sampled on a grid, a jittered grid and at scattered
// points, under a straight axis and a rotated one, two layers 6 m apart
// and a third far below, out of the head's reach.
// Both roads must give the same lines, the same volumes and surfaces of
// every layer and face class, and cut surfaces of the same area and face
// count.
struct sLayerCut
{
    double OverHeadVolume = 0.0, OverHeadSurface = 0.0;
    double HeadVolume = 0.0, HeadSurface = 0.0;
    double CutSurface = 0.0;
    int CutFaces = 0;
    std::vector<double> ClassSurfaces;
};

struct sCut
{
    std::vector<sLayerCut> Layers;
    std::vector<std::vector<LumPoint>> Lines;
    std::vector<double> Volumes;
    std::vector<std::vector<double>> Surfaces;
};

sCut Compute(eCutRoute route)
{
    ComputeExcavation(route);
    sCut cut;
    cut.Lines = gIntersectionLines;
    cut.Volumes = gResults.Volumes;
    cut.Surfaces = gResults.Surfaces;
    const TeteTranchee& head = GetModelUi().GetTete();
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche* layer = gProjet.GetCouche(i);
        sLayerCut c;
        const KorMesh& over = layer->GetMesh(Couche::TerrainSurTete);
        const KorMesh& tete = layer->GetMesh(Couche::Tete);
        c.OverHeadVolume = over.GetVolume();
        c.OverHeadSurface = over.GetSurface();
        c.HeadVolume = tete.GetVolume();
        c.HeadSurface = tete.GetSurface();
        // The placed head's face classes name the same faces as the
        // interface's head: the placement copies the mesh whole.
        for (int faceClass : GetMeasuredFaceClasses(head.DoubleEntree))
            c.ClassSurfaces.push_back(ComputeFaceClassSurface(faceClass, head, tete, -1));
        const KorMesh& rest = layer->GetMesh(Couche::Intersection);
        EXPECT_TRUE(CheckMesh(rest)) << "layer " << i;
        c.CutSurface = rest.GetSurface();
        c.CutFaces = rest.GetNumberOfFaces();
        cut.Layers.push_back(c);
    }
    return cut;
}

void ExpectClose(double whole, double local, const std::string& what)
{
    EXPECT_LE(std::fabs(whole - local), 1e-9 * std::max(1.0, std::fabs(whole))) << what;
}

void ExpectSame(const sCut& whole, const sCut& local, const std::string& what)
{
    ASSERT_EQ(whole.Lines.size(), local.Lines.size()) << what;
    for (size_t k = 0; k < whole.Lines.size(); ++k)
    {
        ASSERT_EQ(whole.Lines[k].size(), local.Lines[k].size()) << what << " line " << k;
        const size_t n = whole.Lines[k].size();
        for (size_t p = 0; p < n; ++p)
        {
            const LumPoint& a = whole.Lines[k][p];
            const LumPoint& b = local.Lines[k][p];
            for (const auto& [u, v] : {std::make_pair(a.x, b.x), {a.y, b.y}, {a.z, b.z}})
                ExpectClose(u, v, what + " line " + std::to_string(k) + " point " + std::to_string(p));
        }
    }
    EXPECT_EQ(whole.Volumes, local.Volumes) << what;
    EXPECT_EQ(whole.Surfaces, local.Surfaces) << what;
    ASSERT_EQ(whole.Layers.size(), local.Layers.size()) << what;
    for (size_t i = 0; i < whole.Layers.size(); ++i)
    {
        const sLayerCut& a = whole.Layers[i];
        const sLayerCut& b = local.Layers[i];
        const std::string layer = what + " layer " + std::to_string(i);
        ExpectClose(a.OverHeadVolume, b.OverHeadVolume, layer + " volume over the head");
        ExpectClose(a.OverHeadSurface, b.OverHeadSurface, layer + " surface over the head");
        ExpectClose(a.HeadVolume, b.HeadVolume, layer + " head volume");
        ExpectClose(a.HeadSurface, b.HeadSurface, layer + " head surface");
        ExpectClose(a.CutSurface, b.CutSurface, layer + " cut surface");
        EXPECT_EQ(a.CutFaces, b.CutFaces) << layer;
        ASSERT_EQ(a.ClassSurfaces.size(), b.ClassSurfaces.size()) << layer;
        for (size_t k = 0; k < a.ClassSurfaces.size(); ++k)
            ExpectClose(a.ClassSurfaces[k], b.ClassSurfaces[k], layer + " class " + std::to_string(k));
    }
}

double Relief(double x, double y)
{
    return 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0);
}

class ExcavationRouteTest : public ModelTest
{
protected:
    // Two layers over [-150, 150]^2 (world metres, scale 100) under an axis
    // from `from` to `to`; samples on a grid of step 5 moved off it by
    // (0.37, 0.61) plus `jitter` times a random shift below one step, or as
    // many points at random when scattered.
    void Scene(double jitter, bool scattered, const LumPoint& from, const LumPoint& to, std::mt19937& random)
    {
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Echelle = 100.0;
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({WorldToScene(gProjet, from), WorldToScene(gProjet, to)});
        std::uniform_real_distribution<double> shift(0.0, 5.0 * jitter), anywhere(-150.0, 150.0);
        for (int k = 0; k < 3; ++k)
        {
            Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
            for (int i = 0; i <= 60; ++i)
                for (int j = 0; j <= 60; ++j)
                {
                    double x = -150.0 + 5.0 * i + 0.37 + shift(random);
                    double y = -150.0 + 5.0 * j + 0.61 + shift(random);
                    if (scattered)
                    {
                        x = anywhere(random);
                        y = anywhere(random);
                    }
                    layer->AddPoint(
                        WorldToScene(gProjet, LumPoint(x, y, Relief(x, y) - (k < 2 ? 6.0 * k : 300.0))), 1, 0,
                        false, false);
                }
        }
    }
};

TEST_F(ExcavationRouteTest, LocalCutGivesTheWholeCutsResults)
{
    std::mt19937 random(33);
    struct Case
    {
        const char* Name;
        double Jitter;
        bool Scattered;
        LumPoint From, To;
        // The part of the axis where the head's platform is near the
        // terrain (y from -5 to 25).
        double First, Last;
    };
    const Case cases[] = {
        {"grid", 0.0, false, LumPoint(0, -200, 0), LumPoint(0, 200, 0), 0.4875, 0.5625},
        {"rotated head", 0.0, false, LumPoint(-100, -200, 0), LumPoint(100, 150, 0), 0.557, 0.643},
        {"jittered grid", 0.01, false, LumPoint(0, -200, 0), LumPoint(0, 200, 0), 0.4875, 0.5625},
        {"scattered", 0.0, true, LumPoint(0, -200, 0), LumPoint(0, 200, 0), 0.4875, 0.5625},
    };
    // A layer whose walk reaches the patch's border is cut whole; most are
    // not.
    int localCuts = 0, wholeCuts = 0;
    for (const Case& c : cases)
    {
        Scene(c.Jitter, c.Scattered, c.From, c.To, random);
        const double length = std::hypot(c.To.x - c.From.x, c.To.y - c.From.y);
        std::uniform_real_distribution<double> along(c.First * length, c.Last * length);
        for (int position = 0; position < 4; ++position)
        {
            const double distance = along(random);
            gProjet.GetAxe().SetHeadPositionAtDistance(WorldToSceneLength(gProjet, distance));
            const std::string what = std::string(c.Name) + " at " + std::to_string(distance);
            const sCut whole = Compute(eCutRoute::Whole);
            gExcavationTimers.Reset();
            const sCut local = Compute(eCutRoute::Local);
            localCuts += gExcavationTimers.LocalCuts;
            wholeCuts += gExcavationTimers.WholeCuts;
            EXPECT_FALSE(whole.Lines.empty()) << what;
            EXPECT_EQ(gCalculationErrors, 0) << what;
            ExpectSame(whole, local, what);
        }
    }
    EXPECT_GT(localCuts, 2 * wholeCuts);
}

// A surface with a hole far from the head (a free face slot) cannot be
// stood for by a patch: the layer is cut whole, with the same results.
TEST_F(ExcavationRouteTest, SurfaceWithAHoleIsCutWhole)
{
    std::mt19937 random(7);
    Scene(0.0, false, LumPoint(0, -200, 0), LumPoint(0, 200, 0), random);
    Couche* top = gProjet.GetCouche(0);
    top->Triangulate();
    KorMesh& surface = top->GetMesh(Couche::Surface);
    int corner = -1;
    double lowest = 0.0;
    std::vector<LumPoint> points;
    for (int id = 0; id < surface.GetFaceVectorSize(); ++id)
        if (const KorFace* f = surface.GetFace(id))
        {
            surface.GetFacePoints(f, points);
            if (corner < 0 || points[0].x + points[0].y < lowest)
            {
                corner = id;
                lowest = points[0].x + points[0].y;
            }
        }
    surface.DeleteFace(corner, true);
    gProjet.GetAxe().SetHeadPositionAtDistance(WorldToSceneLength(gProjet, 205.0));
    const sCut whole = Compute(eCutRoute::Whole);
    gExcavationTimers.Reset();
    const sCut local = Compute(eCutRoute::Local);
    EXPECT_EQ(gExcavationTimers.WholeCuts, 1);
    EXPECT_FALSE(whole.Lines.empty());
    ExpectSame(whole, local, "hole");
}

} // namespace
