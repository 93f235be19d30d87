#include "Axe.h"
#include "Couche.h"
#include "Excavation.h"
#include "KorReportHold.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"
#include "SectionWindow.h"

#include <cmath>
#include <random>
#include <thread>

namespace
{
// Counts its updates and whether each came on the thread that made it; it
// reads every layer's altitude, as a terrain section window does.
struct CountingWindow : SectionWindow
{
    bool IsShown() const override { return true; }
    void Update() override
    {
        ++Updates;
        OnOwnThread = OnOwnThread && std::this_thread::get_id() == Thread;
        double z = 0.0;
        for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
            gProjet.GetCouche(i)->GetAltitude(0.0, 0.0, z);
    }
    int Updates = 0;
    bool OnOwnThread = true;
    std::thread::id Thread = std::this_thread::get_id();
};

// Everything a road leaves: per layer and renderable mesh (surface, cut
// surface, head part), its triangles (the surface's are its faces in
// identifier order) and the positions and normals of its vertices.
struct sRoad
{
    std::vector<std::vector<int32_t>> Triangles;
    std::vector<std::vector<double>> Vertices;
    std::vector<std::string> Lines;
    std::vector<double> Volumes;
    int Updates = 0;
    bool OnOwnThread = true;
};

// 0: one layer after the other, 1: side by side, 2: left to the excavation.
// Three dense layers 6 m apart (jittered grids of 78 x 78 points over
// [-150, 150]^2, a closed level line in the top one) and, second from the
// top, a layer of two points that cannot be triangulated, every layer stale
// as after an open; a head under a straight axis. Then the road's
// triangulation, the excavation, and the cuts made ready for drawing.
sRoad Take(int road)
{
    gProjet.GetUndoManager().Clear();
    gProjet.Close();
    gProjet.Echelle = 100.0;
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline(
        {WorldToScene(gProjet, LumPoint(0, -200, 0)), WorldToScene(gProjet, LumPoint(0, 200, 0))});
    std::mt19937 random(2026);
    std::uniform_real_distribution<double> shift(-1.5, 1.5), noise(-0.5, 0.5);
    for (int k = 0; k < 3; ++k)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
        for (int i = 0; i < 78 * 78; ++i)
        {
            const double x = -150.0 + 300.0 * (i / 78) / 77 + shift(random);
            const double y = -150.0 + 300.0 * (i % 78) / 77 + shift(random);
            const double z = 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0) - 6.0 * k;
            layer->AddPoint(WorldToScene(gProjet, LumPoint(x, y, z + noise(random))), 1, 0, false, false);
        }
    }
    Couche* sparse = gProjet.AddCouche("Mince", 1);
    for (double x : {0.0, 10.0})
        sparse->AddPoint(WorldToScene(gProjet, LumPoint(x, 0, -3)), 1, 0, false, false);
    const std::vector<float> ring = {-40.0f, -40.0f, 40.0f, -40.0f, 40.0f, 40.0f, -40.0f, 40.0f};
    Couche* top = gProjet.GetCouche(0);
    top->GetLigneNiveau(top->AddLigneNiveau(-2.0f, -1, false, &ring))->Fermee = 1;
    axe.SetHeadPositionAtDistance(WorldToSceneLength(gProjet, 205.0));

    CountingWindow window;
    gProjet.AddWindow(&window);
    std::vector<Couche*> layers;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        layers.push_back(gProjet.GetCouche(i));
    sRoad result;
    {
        KorReportHold hold(true);
        if (road == 0)
            for (Couche* layer : layers)
                if (layer->NeedsTriangulation())
                    layer->Triangulate();
        // Null entries and repeated layers are passed over.
        std::vector<Couche*> listed = layers;
        listed.insert(listed.begin() + 1, nullptr);
        listed.push_back(layers.front());
        if (road == 1)
            Couche::TriangulateAll(listed);
        result.Lines = hold.TakeLines();
        result.Updates = window.Updates;
        ComputeExcavation();
        // One after the other, each layer's cuts are made ready below, as
        // its drawing reads them.
        if (road == 1)
            Couche::RefreshCutDisplaysAll(listed);
    }
    gProjet.RemoveWindow(&window);
    result.OnOwnThread = window.OnOwnThread;
    result.Volumes = gResults.Volumes;
    for (Couche* layer : layers)
        for (Couche::eMesh which : {Couche::Surface, Couche::Intersection, Couche::Tete})
        {
            const LumHandledMesh* display = layer->GetDisplayMesh(which);
            result.Triangles.push_back(display->GetTriangles());
            std::vector<double> values;
            for (const LumHandledMesh::sRenderVertex& v : display->GetVertices())
                for (const LumPoint& p : {v.Position, v.Normal})
                    values.insert(values.end(), {p.x, p.y, p.z});
            result.Vertices.push_back(values);
        }
    return result;
}

using CoucheTriangulationTest = ModelTest;

// The user's road: a project whose layers are all stale computed once and
// drawn. Side by side, the layers must come out as one after the other
// gives them, bit for bit, with the same report lines in the same order,
// one window update per layer on the model's thread and the same volumes.
TEST_F(CoucheTriangulationTest, SideBySideGivesWhatOneAfterTheOtherGives)
{
    const sRoad sequential = Take(0);
    EXPECT_EQ(sequential.Lines,
              std::vector<std::string>{"Delaunay2D -> Impossible to triangulate less than 3 vertices"});
    EXPECT_EQ(sequential.Updates, 4);
    // n points with h on the hull give 2n - 2 - h triangles (h at most the
    // grid's border); the layer of two points has none.
    EXPECT_GE(sequential.Triangles[9].size(), 3u * (2u * 6084u - 2u - 4u * 77u));
    EXPECT_TRUE(sequential.Triangles[3].empty());
    ASSERT_EQ(sequential.Volumes.size(), 4u);
    EXPECT_GT(sequential.Volumes[0], 0.0);
    for (int road : {1, 2})
    {
        const char* what = road == 1 ? "side by side" : "excavation";
        const sRoad other = Take(road);
        if (road == 1)
        {
            EXPECT_EQ(other.Lines, sequential.Lines);
            EXPECT_EQ(other.Updates, sequential.Updates);
        }
        EXPECT_TRUE(other.OnOwnThread) << what;
        EXPECT_EQ(other.Volumes, sequential.Volumes) << what;
        EXPECT_TRUE(other.Triangles == sequential.Triangles) << what;
        EXPECT_TRUE(other.Vertices == sequential.Vertices) << what;
    }
}
} // namespace
