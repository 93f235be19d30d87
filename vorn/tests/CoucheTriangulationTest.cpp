#include "Axe.h"
#include "Couche.h"
#include "Excavation.h"
#include "KorMesh.h"
#include "KorReportHold.h"
#include "KorVertex.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"
#include "SectionWindow.h"

#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Counts its updates and whether each came on the thread that made it.
class CountingWindow : public SectionWindow
{
public:
    bool IsShown() const override { return true; }
    void Update() override
    {
        ++Updates;
        OnOwnThread = OnOwnThread && std::this_thread::get_id() == mThread;
    }
    int Updates = 0;
    bool OnOwnThread = true;

private:
    std::thread::id mThread = std::this_thread::get_id();
};

// What a triangulation leaves of one layer: its faces as vertex rings in
// identifier order, the cached vertex normals and the display arrays.
struct sLayerState
{
    std::vector<std::vector<int>> Faces;
    std::vector<LumPoint> Normals;
    std::vector<LumHandledMesh::sRenderVertex> Display;
    std::vector<int32_t> Triangles;
    std::vector<LumPoint> FaceNormals;
};

sLayerState Snapshot(Couche& layer)
{
    sLayerState state;
    KorMesh& mesh = layer.GetMesh();
    std::vector<int> ring;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (const KorFace* f = mesh.GetFace(id))
        {
            mesh.GetFaceVertices(f, ring);
            state.Faces.push_back(ring);
        }
        else
            state.Faces.emplace_back();
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            state.Normals.push_back(v->Normal);
    const LumHandledMesh* display = layer.GetDisplayMesh();
    state.Display = display->GetVertices();
    state.Triangles = display->GetTriangles();
    state.FaceNormals = display->GetFaceNormals();
    return state;
}

void ExpectSame(const LumPoint& a, const LumPoint& b, const std::string& what)
{
    // Bit for bit: the sums are made in the same order.
    EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << what;
}

void ExpectSame(const sLayerState& a, const sLayerState& b, const std::string& what)
{
    EXPECT_EQ(a.Faces, b.Faces) << what;
    EXPECT_EQ(a.Triangles, b.Triangles) << what;
    ASSERT_EQ(a.Normals.size(), b.Normals.size()) << what;
    for (size_t k = 0; k < a.Normals.size(); ++k)
        ExpectSame(a.Normals[k], b.Normals[k], what + " vertex normal " + std::to_string(k));
    ASSERT_EQ(a.Display.size(), b.Display.size()) << what;
    for (size_t k = 0; k < a.Display.size(); ++k)
    {
        ExpectSame(a.Display[k].Position, b.Display[k].Position, what + " position " + std::to_string(k));
        ExpectSame(a.Display[k].Normal, b.Display[k].Normal, what + " normal " + std::to_string(k));
    }
    ASSERT_EQ(a.FaceNormals.size(), b.FaceNormals.size()) << what;
    for (size_t k = 0; k < a.FaceNormals.size(); ++k)
        ExpectSame(a.FaceNormals[k], b.FaceNormals[k], what + " face normal " + std::to_string(k));
}

struct sRoad
{
    std::vector<sLayerState> Layers;
    std::vector<std::string> Lines;
    std::vector<double> Volumes;
    int Updates = 0;
    bool OnOwnThread = true;
};

enum class eRoad
{
    OneAfterTheOther,
    SideBySide,
    Excavation
};

class CoucheTriangulationTest : public ModelTest
{
protected:
    // Three dense layers 6 m apart over [-150, 150]^2 (jittered grids of
    // 6084 points, a closed level line in the top one) and, second from
    // the top, a layer of two points that cannot be triangulated; a head
    // under a straight axis, at the same place on every road.
    void Scene(unsigned seed)
    {
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Echelle = 100.0;
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({WorldToScene(gProjet, LumPoint(0, -200, 0)), WorldToScene(gProjet, LumPoint(0, 200, 0))});
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> shift(-1.5, 1.5), noise(-0.5, 0.5);
        for (int k = 0; k < 3; ++k)
        {
            Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
            for (int i = 0; i < 78; ++i)
                for (int j = 0; j < 78; ++j)
                {
                    const double x = -150.0 + 300.0 * i / 77 + shift(random);
                    const double y = -150.0 + 300.0 * j / 77 + shift(random);
                    const double z = 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0) +
                                     noise(random) - 6.0 * k;
                    layer->AddPoint(WorldToScene(gProjet, LumPoint(x, y, z)), 1, 0, false, false);
                }
        }
        Couche* sparse = gProjet.AddCouche("Mince", 1);
        sparse->AddPoint(WorldToScene(gProjet, LumPoint(0, 0, -3)), 1, 0, false, false);
        sparse->AddPoint(WorldToScene(gProjet, LumPoint(10, 0, -3)), 1, 0, false, false);
        const std::vector<float> ring = {-40.0f, -40.0f, 40.0f, -40.0f, 40.0f, 40.0f, -40.0f, 40.0f};
        Couche* top = gProjet.GetCouche(0);
        top->GetLigneNiveau(top->AddLigneNiveau(-2.0f, -1, false, &ring))->Fermee = 1;
        gProjet.GetAxe().SetHeadPositionAtDistance(WorldToSceneLength(gProjet, 205.0));
    }

    sRoad Run(eRoad road)
    {
        Scene(2026);
        CountingWindow window;
        gProjet.AddWindow(&window);
        sRoad result;
        std::vector<Couche*> layers;
        for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
            layers.push_back(gProjet.GetCouche(i));
        {
            KorReportHold hold(true);
            if (road == eRoad::OneAfterTheOther)
                for (Couche* layer : layers)
                    layer->Triangulate();
            else if (road == eRoad::SideBySide)
            {
                // Null entries and repeated layers are passed over.
                layers.insert(layers.begin() + 1, nullptr);
                layers.push_back(layers.front());
                Couche::TriangulateAll(layers);
            }
            result.Lines = hold.TakeLines();
        }
        result.Updates = window.Updates;
        ComputeExcavation();
        gProjet.RemoveWindow(&window);
        result.OnOwnThread = window.OnOwnThread;
        result.Volumes = gResults.Volumes;
        for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
            result.Layers.push_back(Snapshot(*gProjet.GetCouche(i)));
        return result;
    }
};

// The user's road: a project whose layers are all stale (as after opening
// it) computed once. Side by side, the layers must come out as one
// triangulation after the other gives them, with the same report lines in
// the same order, one window update per layer on the model's thread, and
// the same volumes.
TEST_F(CoucheTriangulationTest, SideBySideGivesWhatOneAfterTheOtherGives)
{
    const sRoad sequential = Run(eRoad::OneAfterTheOther);
    ASSERT_EQ(sequential.Layers.size(), 4u);
    ASSERT_EQ(sequential.Lines.size(), 1u);
    EXPECT_EQ(sequential.Lines[0], "Delaunay2D -> Impossible to triangulate less than 3 vertices");
    EXPECT_EQ(sequential.Updates, 4);
    // n points of which h on the hull give 2n - 2 - h triangles; at most
    // the grid's border, 4 x 77, lie on the hull.
    for (int i : {2, 3})
    {
        const size_t triangles = sequential.Layers[i].Triangles.size() / 3;
        EXPECT_LE(triangles, 2u * 6084u - 2u - 3u) << "layer " << i;
        EXPECT_GE(triangles, 2u * 6084u - 2u - 4u * 77u) << "layer " << i;
    }
    EXPECT_TRUE(sequential.Layers[1].Triangles.empty());
    ASSERT_EQ(sequential.Volumes.size(), 4u);
    EXPECT_GT(sequential.Volumes[0], 0.0);

    for (eRoad road : {eRoad::SideBySide, eRoad::Excavation})
    {
        const std::string what = road == eRoad::SideBySide ? "side by side" : "excavation";
        const sRoad other = Run(road);
        if (road == eRoad::SideBySide)
        {
            EXPECT_EQ(other.Lines, sequential.Lines);
            EXPECT_EQ(other.Updates, sequential.Updates);
        }
        EXPECT_TRUE(other.OnOwnThread) << what;
        EXPECT_EQ(other.Volumes, sequential.Volumes) << what;
        ASSERT_EQ(other.Layers.size(), sequential.Layers.size()) << what;
        for (size_t i = 0; i < other.Layers.size(); ++i)
            ExpectSame(sequential.Layers[i], other.Layers[i], what + " layer " + std::to_string(i));
    }
}

// A vertex normal of a display mesh is the mean of the normals of the
// faces around the vertex, in the order of the walk around it.
TEST_F(CoucheTriangulationTest, DisplayNormalsAreTheMeanOfTheFacesAround)
{
    Scene(7);
    Couche* layer = gProjet.GetCouche(2);
    layer->Triangulate();
    KorMesh& mesh = layer->GetMesh();
    const LumHandledMesh* display = layer->GetDisplayMesh();
    std::vector<KorFace*> faces;
    int checked = 0;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        KorVertex* v = mesh.GetVertex(id);
        if (!v)
            continue;
        mesh.GetFacesAroundVertex(v, faces);
        LumPoint sum;
        for (KorFace* f : faces)
            sum += mesh.GetNormal(f);
        if (faces.size() > 1)
            sum /= static_cast<double>(faces.size());
        const LumPoint& shown = display->GetVertices()[static_cast<size_t>(display->GetVertexMap()[id])].Normal;
        ExpectSame(shown, sum, "vertex " + std::to_string(id));
        // Faces wound counter-clockwise seen from above: every normal
        // points up.
        EXPECT_GT(shown.z, 0.0) << "vertex " << id;
        ++checked;
    }
    EXPECT_EQ(checked, 78 * 78);
}
} // namespace
