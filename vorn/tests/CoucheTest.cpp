#include "Couche.h"
#include "KorRay.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ModelTestSupport.h"
#include "SectionWindow.h"
#include "Sondage.h"

#include <cmath>
#include <limits>
#include <random>

namespace
{
class CoucheTest : public ModelTest
{
protected:
    // A layer of the project at the end of the list, holding the square
    // 0..10 x 0..10 at altitude z.
    Couche* AddSquare(const std::string& name, double z)
    {
        Couche* couche = gProjet.AddCouche(name, gProjet.GetNumberOfCouches());
        for (const auto& [x, y] : {std::pair{0, 0}, {10, 0}, {0, 10}, {10, 10}})
            couche->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
        return couche;
    }
};

struct CountingWindow : SectionWindow
{
    int updates = 0;
    bool IsShown() const override { return true; }
    void Update() override { ++updates; }
};

// 2500 records go in groups of 1000; they read back equal whether the
// "TV" stand in groups or directly under "TypesVertex"; a layer without
// vertex still writes one empty group.
TEST_F(CoucheTest, VertexTypesGoInGroupsOfAThousandAndReadBack)
{
    Couche empty("Vide");
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode node = top.addChild("Couche");
    empty.ToXML(node);
    ASSERT_EQ(node.getChildNode("TypesVertex").nChildNode("Types"), 1);
    EXPECT_EQ(node.getChildNode("TypesVertex").getChildNode("Types").nChildNode(), 0);

    Couche full("Pleine");
    for (int i = 0; i < 2500; ++i)
        full.AddPoint(LumPoint(i, i % 7, 0.0), 1 + i % 4, i % 13, false, false);
    XMLNode written = top.addChild("Couche");
    full.ToXML(written);
    const XMLNode types = written.getChildNode("TypesVertex");
    ASSERT_EQ(types.nChildNode("Types"), 3);
    for (int g = 0; g < 3; ++g)
        EXPECT_EQ(types.getChildNode("Types", g).nChildNode("TV"), g < 2 ? 1000 : 500);

    // The same records directly under "TypesVertex".
    XMLNode direct = top.addChild("Couche");
    full.XMLable::ToXML(direct);
    XMLNode directTypes = direct.addChild("TypesVertex");
    for (int g = 0; g < 3; ++g)
    {
        const XMLNode group = types.getChildNode("Types", g);
        for (int i = 0; i < group.nChildNode("TV"); ++i)
        {
            XMLNode tv = directTypes.addChild("TV");
            for (const char* key : {"Type", "Param"})
                tv.addAttribute(key, group.getChildNode("TV", i).getAttribute(key));
        }
    }
    for (const XMLNode& form : {written, direct})
    {
        Couche read("Lue");
        read.FromXML(form);
        ASSERT_EQ(read.GetNumberOfVertexTypes(), 2500);
        for (int i = 0; i < 2500; ++i)
        {
            EXPECT_EQ(read.GetVertexType(i).Type, 1 + i % 4);
            EXPECT_EQ(read.GetVertexType(i).Param, i % 13);
        }
    }
}

// A Type 0 record deletes the stored vertex still at its slot; a short
// record list reads past nothing: the vertices without records are drawn
// as none and dropped from the line that names them.
TEST_F(CoucheTest, RecordsOfNoVertexAndShortListsRead)
{
    const std::string mesh =
        "<Mesh><Vertices><Vertex Exist=\"1\" X=\"0\" Y=\"0\" Z=\"0\"/>"
        "<Vertex Exist=\"1\" X=\"1\" Y=\"0\" Z=\"0\"/><Vertex Exist=\"0\"/>"
        "<Vertex Exist=\"1\" X=\"1\" Y=\"1\" Z=\"0\"/></Vertices><Edges/><Faces/></Mesh>";
    const XMLNode node = XMLNode::parseString(
        ("<Couche><Nom>A</Nom>" + mesh +
         "<TypesVertex><TV Type=\"0\" Param=\"0\"/><TV Type=\"2\" Param=\"0\"/><TV Type=\"0\"/></TypesVertex>"
         "<LignesNiveau><Ligne><Profondeur>0</Profondeur><Points>1|3|0|</Points></Ligne></LignesNiveau></"
         "Couche>")
            .c_str());
    Couche couche("x");
    couche.FromXML(node.getChildNode("Couche"));
    EXPECT_EQ(couche.Nom, "A");
    EXPECT_EQ(couche.GetMesh().GetVertex(0), nullptr);
    EXPECT_NE(couche.GetMesh().GetVertex(1), nullptr);
    EXPECT_NE(couche.GetMesh().GetVertex(3), nullptr);
    EXPECT_EQ(couche.GetNumberOfVertexTypes(), 3);
    EXPECT_EQ(couche.GetVertexType(3).Type, 0);
    ASSERT_EQ(couche.GetNumberOfLignesNiveau(), 1);
    EXPECT_EQ(couche.GetLigneNiveau(0)->Points, std::vector<int>{1});
    couche.DeletePoint(3, false);
    couche.DeletePoint(1, false);
    EXPECT_TRUE(couche.GetLigneNiveau(0)->Points.empty());
}

// A layer or a scenery object whose stored mesh is corrupt fails the
// Open: an empty one would otherwise be saved over the file's mesh.
TEST_F(CoucheTest, CorruptStoredMeshFailsTheOpen)
{
    const std::string path = TempPath("corrupt_mesh.ovx");
    for (const std::string element : {"Couche", "Decor"})
    {
        ui.Boxes.clear();
        WriteAll(path, "<?xml version=\"1.0\"?><Projet><" + element + "><Nom>A</Nom><Mesh><Vertices>" +
                           "<Vertex Exist=\"1\" X=\"nan\" Y=\"0\" Z=\"0\"/></Vertices><Edges/><Faces/>" +
                           "</Mesh></" + element + "></Projet>");
        gProjet.Open(path);
        ASSERT_EQ(ui.Boxes.size(), 1u) << element;
        EXPECT_EQ(ui.Boxes[0].Text, "Impossible de charger un projet depuis '" + path + "'") << element;
        EXPECT_TRUE(gProjet.Nom.empty()) << element;
        EXPECT_EQ(gProjet.GetNumberOfCouches() + gProjet.GetNumberOfDecors(), 0) << element;
    }
    std::remove(path.c_str());
}

// Planes at 0, -10 and -20: a point must stay between its neighbours where
// they have a surface; equal altitudes and points outside pass.
TEST_F(CoucheTest, NeighbourRuleKeepsTheLayerOrder)
{
    Couche* layers[3] = {AddSquare("A", 0.0), AddSquare("B", -10.0), AddSquare("C", -20.0)};
    const std::string above = "Impossible de positionner un point à la coordonnée \n     5;5;-5 :\nLa couche "
                              "supérieure est plus basse";
    struct Case
    {
        int layer;
        LumPoint point;
        std::string message; // empty: accepted
    };
    const Case cases[] = {
        {2, LumPoint(5, 5, -5), above},
        {2, LumPoint(5, 5, -10), ""},
        {1, LumPoint(50, 50, 100), ""},
        {0, LumPoint(5, 5, 100), ""},
        {0, LumPoint(5, 5, -15),
         "Impossible de positionner un point à la coordonnée \n     5;5;-15 :\nLa couche inférieure est plus "
         "haute"},
    };
    for (const Case& c : cases)
    {
        ui.Boxes.clear();
        Couche* couche = layers[c.layer];
        const int before = couche->GetMesh().GetNumberOfVertices();
        const int id = couche->AddPoint(c.point, 1, 0, true, false);
        EXPECT_EQ(id < 0, !c.message.empty()) << c.point.z;
        EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), before + (id < 0 ? 0 : 1));
        if (c.message.empty())
            EXPECT_TRUE(ui.Boxes.empty());
        else
        {
            ASSERT_EQ(ui.Boxes.size(), 1u);
            EXPECT_EQ(ui.Boxes[0].Text, c.message);
            EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        }
    }
    // A refused move leaves the point and gives the rule's answer.
    ui.Boxes.clear();
    EXPECT_EQ(layers[1]->MovePoint(0, LumPoint(0, 0, 5), true, false, true), 1);
    EXPECT_EQ(layers[1]->GetMesh().GetVertex(0)->Z, -10.0);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Impossible de déplacer ce point à la coordonnée \n     0;0;5 :\nLa couche "
                                "supérieure est plus basse");
}

// The plane z = y over one triangle: altitude where it lies, nothing
// outside; a shared edge goes to the lower face; triangulated once per
// edit; a flat (collinear) set gives no altitude rather than NaN.
TEST_F(CoucheTest, AltitudeComesFromTheTriangleAtThePoint)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    for (const LumPoint& p : {LumPoint(0, 0, 0), LumPoint(10, 0, 0), LumPoint(0, 10, 10)})
        couche->AddPoint(p, 1, 0, false, false);
    double z = 99.0;
    EXPECT_TRUE(couche->GetAltitude(2.0, 2.0, z));
    EXPECT_NEAR(z, 2.0, 1e-12);
    z = 99.0;
    EXPECT_FALSE(couche->GetAltitude(20.0, 20.0, z));
    EXPECT_EQ(z, 0.0);

    CountingWindow window;
    gProjet.AddWindow(&window);
    couche->AddPoint(LumPoint(10, 10, 10), 1, 0, false, false);
    window.updates = 0;
    EXPECT_TRUE(couche->GetAltitude(5.0, 5.0, z));
    EXPECT_TRUE(couche->GetAltitude(7.0, 5.0, z));
    EXPECT_EQ(window.updates, 1);
    EXPECT_NEAR(z, 5.0, 1e-12);
    gProjet.RemoveWindow(&window);

    // The diagonal of the square is shared by both faces.
    const KorMesh& mesh = couche->GetMesh();
    int shared = -1;
    for (int e = 0; e < mesh.GetEdgeVectorSize() && shared < 0; ++e)
        if (const KorEdge* edge = mesh.GetEdge(e))
            if (edge->Face >= 0 && mesh.GetEdge(edge->Opp)->Face >= 0)
                shared = e;
    ASSERT_GE(shared, 0);
    LumPoint a, b;
    mesh.GetEdgePoints(mesh.GetEdge(shared), a, b);
    const LumPoint mid = (a + b) * 0.5;
    const KorEdge* edge = mesh.GetEdge(shared);
    EXPECT_EQ(couche->GetFaceAt(mid.x, mid.y), std::min(edge->Face, mesh.GetEdge(edge->Opp)->Face));

    Couche* line = gProjet.AddCouche("Ligne", 1);
    for (int i = 0; i < 4; ++i)
        line->AddPoint(LumPoint(i, i, i), 1, 0, false, false);
    z = 99.0;
    EXPECT_FALSE(line->GetAltitude(1.5, 1.5, z));
    EXPECT_EQ(line->GetFaceAt(1.5f, 1.5f), -1);
    EXPECT_EQ(z, 0.0);
}

// The box of a layer of many points, read in ranges side by side, bounds
// the coordinates that are numbers as one loop over them does: freed slots
// and a point with no abscissa or no altitude (first of its range or not)
// bound nothing.
TEST_F(CoucheTest, BoxOfManyPointsBoundsTheirNumbers)
{
    Couche* couche = AddSquare("dense", 0.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-1e3, 1e3);
    for (int k = 0; k < 90000; ++k)
        couche->AddPoint(LumPoint(coordinate(random), coordinate(random), coordinate(random)), 1, 0, false,
                         false);
    KorMesh& mesh = couche->GetMesh();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int id : {4, 30004, 60004})
        mesh.GetVertex(id)->X = nan;
    mesh.GetVertex(45000)->Z = nan;
    for (int id = 1000; id < 2000; ++id)
        mesh.DeleteVertex(id);
    const double inf = std::numeric_limits<double>::infinity();
    double lo[3] = {inf, inf, inf}, hi[3] = {-inf, -inf, -inf};
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
        {
            const double c[3] = {v->X, v->Y, v->Z};
            for (int k = 0; k < 3; ++k)
                if (c[k] == c[k])
                {
                    lo[k] = std::min(lo[k], c[k]);
                    hi[k] = std::max(hi[k], c[k]);
                }
        }
    LumPoint boxLo, boxHi;
    couche->GetBoundingBox(boxLo, boxHi);
    EXPECT_EQ(boxLo.x, lo[0]);
    EXPECT_EQ(boxLo.y, lo[1]);
    EXPECT_EQ(boxLo.z, lo[2]);
    EXPECT_EQ(boxHi.x, hi[0]);
    EXPECT_EQ(boxHi.y, hi[1]);
    EXPECT_EQ(boxHi.z, hi[2]);
}

// The faces the altitude grid finds give the literal scan's face on random
// queries, at vertices and edges included, and follow a move without
// triangulation.
TEST_F(CoucheTest, FaceQueriesAgreeWithTheScan)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    std::mt19937 random(18);
    std::uniform_real_distribution<double> coordinate(0.0, 100.0);
    for (int i = 0; i < 500; ++i)
        couche->AddPoint(LumPoint(coordinate(random), coordinate(random), coordinate(random)), 1, 0, false,
                         false);
    couche->Triangulate();
    ASSERT_GT(couche->GetMesh().GetNumberOfFaces(), 900);
    auto check = [&](int queries)
    {
        int found = 0;
        for (int i = 0; i < queries; ++i)
        {
            float x = static_cast<float>(coordinate(random) * 1.1 - 5.0);
            float y = static_cast<float>(coordinate(random) * 1.1 - 5.0);
            if (i % 5 == 0)
            {
                const KorVertex* v = couche->GetMesh().GetVertex(i % 500);
                x = static_cast<float>(v->X);
                y = static_cast<float>(v->Y);
            }
            const int face = couche->GetFaceAt(x, y);
            ASSERT_EQ(face, couche->GetFaceAtByScan(x, y)) << x << " " << y;
            found += face >= 0;
        }
        EXPECT_GT(found, queries / 2);
    };
    check(1000);
    couche->MovePoint(7, LumPoint(50.0, 50.0, 0.0), false, false, false);
    check(1000);
}

// A new shape is lit by its own normals, not the ones computed for the old.
TEST_F(CoucheTest, TriangulationRenewsTheNormals)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    for (const LumPoint& p : {LumPoint(0, 0, 0), LumPoint(10, 0, 0), LumPoint(0, 10, 0)})
        couche->AddPoint(p, 1, 0, false, false);
    couche->Triangulate();
    for (int id = 0; id < 3; ++id)
        couche->GetMesh().GetNormal(couche->GetMesh().GetVertex(id));
    couche->MovePoint(2, LumPoint(0, 10, 10), false, false, true);
    couche->Triangulate();
    const LumHandledMesh* display = couche->GetDisplayMesh();
    ASSERT_EQ(display->GetNumberOfVertices(), 3);
    for (const auto& vertex : display->GetVertices())
    {
        const LumPoint n = vertex.Normal;
        EXPECT_NEAR(std::fabs(n.y), std::sqrt(0.5), 1e-9);
        EXPECT_NEAR(std::fabs(n.z), std::sqrt(0.5), 1e-9);
        EXPECT_NEAR(n.x, 0.0, 1e-9);
    }
}

// Texture coordinates are valid only once computed: with no image size
// yet, the next drawing tries again.
TEST_F(CoucheTest, TextureCoordinatesAreValidOnceComputed)
{
    Couche* couche = AddSquare("A", 0.0);
    couche->Texture = "/images/texture.png";
    couche->Triangulate();
    couche->ComputeTextureCoordinates(0, 0);
    EXPECT_FALSE(couche->AreTextureCoordinatesValid());
    couche->ComputeTextureCoordinates(200, 100);
    EXPECT_TRUE(couche->AreTextureCoordinatesValid());
    const LumHandledMesh* display = couche->GetDisplayMesh();
    // Over the layer's box: the corner (10, 0) is (1, 0).
    const LumPoint t = display->GetVertices()[display->GetVertexMap()[1]].Texture;
    EXPECT_EQ(t.x, 1.0);
    EXPECT_EQ(t.y, 0.0);
    couche->MovePoint(1, LumPoint(12, 0, 0), false, false, false);
    EXPECT_FALSE(couche->AreTextureCoordinatesValid());
}
} // namespace

namespace
{
std::time_t FixedClock()
{
    return 1700000000;
}

// A project of two triangulated layers with a closed level line saves,
// opens with the same points, origins and lines, and saves to the same
// bytes; the altitude read back is the line's.
TEST_F(CoucheTest, LayersGoRoundTripThroughTheProjectFile)
{
    Couche::SetClock(FixedClock);
    Couche* top = AddSquare("Haut", 0.0);
    AddSquare("Bas", -10.0);
    Couche::SetClock(nullptr);
    for (int c : {top->R, top->G, top->B})
        EXPECT_TRUE(c >= 0 && c <= 254) << c;
    const std::vector<float> ring = {3, 3, 7, 3, 7, 7, 3, 7};
    top->GetLigneNiveau(top->AddLigneNiveau(-2.0f, -1, false, &ring))->Fermee = 1;
    // The point of the fifth borehole, which meets no other layer.
    for (int k = 0; k < 5; ++k)
        gProjet.SetSondage(new Sondage("S" + std::to_string(k), LumPoint(), false), -1, false, false);
    top->AddPoint(LumPoint(5, 1, -1), 3, 4, false, false);
    double z = 0.0;
    ASSERT_TRUE(top->GetAltitude(5.0, 5.0, z));
    EXPECT_EQ(z, -2.0);

    const std::string path = TempPath("layers.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    const std::string first = ReadAll(path);
    gProjet.Open(path);
    ASSERT_EQ(gProjet.Nom, path);
    ASSERT_EQ(gProjet.GetNumberOfCouches(), 2);
    Couche* read = gProjet.GetCouche("Haut");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(gProjet.GetCoucheIndex(read), 0);
    EXPECT_EQ(read->GetMesh().GetNumberOfVertices(), 9);
    EXPECT_EQ(read->GetVertexType(8).Type, 3);
    EXPECT_EQ(read->GetVertexType(8).Param, 4);
    ASSERT_EQ(read->GetNumberOfLignesNiveau(), 1);
    EXPECT_EQ(read->GetLigneNiveau(0)->Points, (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(read->GetLigneNiveau(0)->Fermee, 1);
    EXPECT_TRUE(read->NeedsTriangulation());
    ASSERT_TRUE(read->GetAltitude(5.0, 5.0, z));
    EXPECT_EQ(z, -2.0);
    ASSERT_TRUE(gProjet.Save());
    EXPECT_EQ(ReadAll(path), first);
    std::remove(path.c_str());
}
} // namespace

namespace
{
// Borehole and section points follow the insertion and deletion of their
// element (but for a Param no list reaches); the nearest vertex on a pick ray wins, whatever its identifier;
// deleting the picked vertex clears the pick.
TEST_F(CoucheTest, BoreholeParamsAndPicking)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const int b0 = couche->AddPoint(LumPoint(0, 0, 10), 3, 0, false, false);
    const int b1 = couche->AddPoint(LumPoint(0, 0, 0), 3, 1, false, false);
    const int b2 = couche->AddPoint(LumPoint(5, 0, 0), 3, 2, false, false);
    const int c0 = couche->AddPoint(LumPoint(9, 9, 0), 4, 0, false, false);
    couche->ShiftCoupePoints(0);
    EXPECT_EQ(couche->GetVertexType(c0).Param, 1);
    couche->ShiftSondagePoints(2);
    EXPECT_EQ(couche->GetVertexType(b2).Param, 3);
    couche->DeleteSondagePoints(1);
    EXPECT_EQ(couche->GetMesh().GetVertex(b1), nullptr);
    EXPECT_EQ(couche->GetVertexType(b1).Type, 0);
    EXPECT_EQ(couche->GetVertexType(b0).Param, 0);
    EXPECT_EQ(couche->GetVertexType(b2).Param, 2);
    EXPECT_EQ(couche->GetVertexType(c0).Param, 1);
    // A Param at the largest int names nothing: it stays rather than overflow.
    const int largest = std::numeric_limits<int>::max();
    const int far = couche->AddPoint(LumPoint(7, 7, 0), 3, largest, false, false);
    couche->ShiftSondagePoints(0);
    EXPECT_EQ(couche->GetVertexType(far).Param, largest);
    couche->DeletePoint(far, false);

    // Looking down x = 0: b0 (z 10) is nearer than b1 would be; then b2
    // alone on its own ray.
    const KorVertex* hit = couche->PickVertex(KorRay(LumPoint(0, 0, 100), LumPoint(0, 0, -1)), 0.5);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->ID, b0);
    const int below = couche->AddPoint(LumPoint(0, 0, 20), 1, 0, false, false);
    EXPECT_EQ(couche->PickVertex(KorRay(LumPoint(0, 0, 100), LumPoint(0, 0, -1)), 0.5)->ID, below);
    EXPECT_EQ(couche->PickVertexInPlan(5.1f, 0.1f, 0.5f)->ID, b2);
    EXPECT_EQ(couche->PickVertexInPlan(3.0f, 3.0f, 0.5f), nullptr);

    couche->SetPickedVertex(b2);
    ui.ClearLog();
    couche->DeletePoint(b0, false);
    EXPECT_EQ(couche->GetPickedVertex(), b2);
    couche->DeletePoint(b2, false);
    EXPECT_EQ(couche->GetPickedVertex(), -1);
    EXPECT_EQ(ui.Count("RemoveGizmo"), 1);
}
} // namespace
