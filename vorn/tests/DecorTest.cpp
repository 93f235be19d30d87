#include "Decor.h"
#include "DecorTools.h"
#include "KorMatrix.h"
#include "ModelTestSupport.h"

#include <cmath>

namespace
{
// A unit cube, corner at the origin, six quads.
const char* const kCube = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
                          "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

class DecorTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.Limite1 = LumPoint(0.0, 0.0, 0.0);
        gProjet.Limite2 = LumPoint(1000.0, 600.0, 0.0);
        gProjet.Echelle = 50.0;
        cube = TempPath("CUBE.OBJ");
        WriteAll(cube, kCube);
    }
    void TearDown() override
    {
        std::remove(cube.c_str());
        ModelTest::TearDown();
    }

    static std::vector<LumPoint> Points(Decor* d)
    {
        std::vector<LumPoint> points;
        KorMesh& mesh = d->GetMesh();
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
                points.emplace_back(v->X, v->Y, v->Z);
        return points;
    }
    static void ExpectNear(const std::vector<LumPoint>& a, const std::vector<LumPoint>& b, const char* what)
    {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (size_t i = 0; i < a.size(); ++i)
            EXPECT_LT((a[i] - b[i]).Norm(), 1e-9) << what << " vertex " << i;
    }

    std::string cube;
};

// The file's metres become scene units (Echelle 50: 2 per metre) and its
// vertex mean lands 10 m above altitude 0 at the zone centre; the
// extension's case does not matter.
TEST_F(DecorTest, CubeLoadsTenMetresAboveTheZoneCentre)
{
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 1);
    Decor* d = gProjet.GetDecor(0);
    EXPECT_TRUE(d->IsLoaded());
    EXPECT_EQ(d->GetMesh().GetNumberOfFaces(), 6);
    const LumPoint c = d->GetCentre();
    EXPECT_NEAR(c.x, 500.0, 1e-9);
    EXPECT_NEAR(c.y, 300.0, 1e-9);
    EXPECT_NEAR(c.z, 20.0, 1e-9);
    for (const LumPoint& p : Points(d))
        for (const double v : {p.x - c.x, p.y - c.y, p.z - c.z})
            EXPECT_NEAR(std::fabs(v), 1.0, 1e-9);
    // One undo step: the addition.
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetNumberOfDecors(), 0);
    gProjet.GetUndoManager().Redo();
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 1);
    EXPECT_NEAR(gProjet.GetDecor(0)->GetCentre().z, 20.0, 1e-9);

    // A DXF polyface triangle, legs of 1 m: legs of 2 scene units.
    const std::string dxf = TempPath("TRI.DXF");
    WriteAll(
        dxf,
        "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n70\n64\n0\nVERTEX\n70\n192\n0\nVERTEX\n70\n192\n10\n1\n"
        "0\nVERTEX\n70\n192\n20\n1\n0\nVERTEX\n70\n128\n71\n1\n72\n2\n73\n3\n0\nSEQEND\n0\nENDSEC\n0\nEOF\n");
    ASSERT_TRUE(gProjet.LoadDecor(dxf));
    std::remove(dxf.c_str());
    const std::vector<LumPoint> t = Points(gProjet.GetDecor(1));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_LT(((t[0] + t[1] + t[2]) / 3.0 - LumPoint(500.0, 300.0, 20.0)).Norm(), 1e-9);
    EXPECT_NEAR((t[1] - t[0]).Norm(), 2.0, 1e-9);
    EXPECT_NEAR((t[2] - t[0]).Norm(), 2.0, 1e-9);
}

// Files that give no mesh: the message with its reason on a second line,
// nothing added, nothing recorded.
TEST_F(DecorTest, UnreadableFilesAddNothing)
{
    const struct
    {
        const char* name;
        const char* content;
        const char* reason;
    } cases[] = {
        {"missing.obj", nullptr, "Le fichier ne peut pas être lu."},
        {"index.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n",
         "Les faces désignent le sommet 9, mais le fichier n'en définit que 3."},
        {"number.obj", "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
         "Ligne 1 (« v 0 0 nan ») : une valeur n'est pas un nombre fini."},
        {"relative.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\n",
         "Ligne 4 (« f -3 -2 -1 ») : les indices relatifs (négatifs) de sommets ne sont pas lus."},
        {"colours.obj", "v 0 0 0 1 0 0\n",
         "Ligne 1 (« v 0 0 0 1 0 0 ») : un sommet a plus de trois valeurs (une quatrième coordonnée ou "
         "une couleur de sommet n'est pas lue)."},
        {"weight.obj", "v 0 0 0\nvw 1 2\n",
         "Ligne 2 (« vw 1 2 ») : déclaration inconnue : seules « v », « vt », « vn » et « f » sont lues."},
        {"points.obj", "v 0 0 0\nv 1 0 0\n", "Le fichier ne contient aucune face."},
        {"cube.txt", kCube, "Seuls les fichiers OBJ et DXF sont lus."},
        {"faces.dxf",
         "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n"
         "32\n0\n13\n0\n23\n1\n33\n0\n0\nENDSEC\n0\nEOF\n",
         "Le fichier ne contient aucun maillage polyface (entités non lues : 1 3DFACE)."},
    };
    for (const auto& c : cases)
    {
        const std::string path = TempPath(c.name);
        if (c.content)
            WriteAll(path, c.content);
        ui.Boxes.clear();
        EXPECT_FALSE(gProjet.LoadDecor(path)) << c.name;
        ASSERT_EQ(ui.Boxes.size(), 1u) << c.name;
        EXPECT_EQ(ui.Boxes[0].Text, "Impossible de charger le fichier '" + path +
                                        "' afin de créer un élément de décor\n" + c.reason);
        EXPECT_EQ(ui.Boxes[0].Flags, ModelUi::BoxCentred);
        std::remove(path.c_str());
    }
    EXPECT_EQ(gProjet.GetNumberOfDecors(), 0);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 0u);
}

// A rotation of 30 degrees about x turns the cube about its mean, the way
// the preview drew it; undo brings every vertex back.
TEST_F(DecorTest, RotationMatchesThePreviewAndUndoes)
{
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    Decor* d = gProjet.GetDecor(0);
    const std::vector<LumPoint> start = Points(d);
    gPickedDecor = 0;
    ASSERT_TRUE(StartDecorTool(DecorTool::Rotate));
    const unsigned actions = gProjet.GetUndoManager().GetCount();
    for (const double angle : {10.0, 20.0, 30.0})
        DecorToolDrag(LumPoint(angle, 0.0, 0.0));
    EXPECT_EQ(Points(d).size(), start.size());
    ExpectNear(Points(d), start, "drag");
    double preview[16];
    d->GetPreviewMatrix(preview);
    std::vector<LumPoint> previewed;
    for (const LumPoint& p : start)
        previewed.push_back(MultMatrixGLxLumPoint(preview, p));

    DecorToolDragEnd(LumPoint(30.0, 0.0, 0.0));
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), actions + 1);
    ExpectNear(Points(d), previewed, "preview");
    const double c = std::cos(M_PI / 6.0), s = std::sin(M_PI / 6.0);
    for (size_t i = 0; i < start.size(); ++i)
    {
        const LumPoint r = start[i] - LumPoint(500.0, 300.0, 20.0);
        const LumPoint turned(r.x, r.y * c - r.z * s, r.y * s + r.z * c);
        EXPECT_LT((Points(d)[i] - LumPoint(500.0, 300.0, 20.0) - turned).Norm(), 1e-9) << i;
    }
    gProjet.GetUndoManager().Undo();
    ExpectNear(Points(d), start, "undo");
    gProjet.GetUndoManager().Redo();
    ExpectNear(Points(d), previewed, "redo");
}

// Escape drops the preview: the mesh stays, nothing is recorded, and the
// object no longer shows a transformation. A click without a drag records
// nothing either.
TEST_F(DecorTest, EscapeChangesNothing)
{
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    Decor* d = gProjet.GetDecor(0);
    const std::vector<LumPoint> start = Points(d);
    gPickedDecor = 0;
    ASSERT_TRUE(StartDecorTool(DecorTool::Move));
    DecorToolDrag(LumPoint(40.0, 0.0, 0.0));
    EXPECT_EQ(d->GetPreviewTranslation().x, 40.0);
    DecorToolCancel();
    ExpectNear(Points(d), start, "escape");
    EXPECT_FALSE(d->IsTransformShown());
    EXPECT_EQ(d->GetPreviewTranslation().x, 0.0);
    EXPECT_EQ(GetDecorToolIndex(), -1);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);

    // A click on the resize gizmo without a drag ends at its rest factor 1.
    gProjet.GetUndoManager().SetSaved(true);
    ASSERT_TRUE(StartDecorTool(DecorTool::Resize));
    DecorToolDragEnd(LumPoint(1.0, 1.0, 1.0));
    ExpectNear(Points(d), start, "click");
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);
    EXPECT_FALSE(gProjet.IsModified());
    DecorToolCancel();
    gPickedDecor = 5;
    EXPECT_FALSE(StartDecorTool(DecorTool::Resize));
}

// Undo reverses the component that was applied, whatever else the call
// carried: a translation given with the gizmo's scale 1, a rotation given
// with a scale.
TEST_F(DecorTest, UndoReversesTheAppliedComponent)
{
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    Decor* d = gProjet.GetDecor(0);
    const struct
    {
        double scale;
        LumPoint translation, rotation;
    } cases[] = {
        {1.0, LumPoint(3.0, -4.0, 0.5), LumPoint()},
        {2.0, LumPoint(), LumPoint(0.0, 45.0, 0.0)},
        {2.0, LumPoint(), LumPoint()},
        {1.0, LumPoint(NAN, 0.0, 0.0), LumPoint(0.0, 0.0, -15.0)},
    };
    for (const auto& c : cases)
    {
        const std::vector<LumPoint> start = Points(d);
        d->ApplyTransform(c.scale, c.translation, c.rotation, true);
        const std::vector<LumPoint> applied = Points(d);
        EXPECT_GT((applied[0] - start[0]).Norm(), 1e-3);
        gProjet.GetUndoManager().Undo();
        ExpectNear(Points(d), start, "undo");
        gProjet.GetUndoManager().Redo();
        ExpectNear(Points(d), applied, "redo");
    }
}

// Insertion at an index and deletion come back in place through undo;
// the appearance too; the saved object reads back as loaded.
TEST_F(DecorTest, ListEditsAppearanceAndFile)
{
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    gProjet.Limite2 = LumPoint(2000.0, 600.0, 0.0);
    Decor* second = new Decor(cube);
    ASSERT_TRUE(gProjet.AddDecor(second, 0, true));
    EXPECT_EQ(gProjet.GetDecorIndex(second), 0);
    EXPECT_FALSE(gProjet.AddDecor(nullptr, -1, true));
    OVXUndoManager& undo = gProjet.GetUndoManager();
    undo.Undo();
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 1);
    EXPECT_NEAR(gProjet.GetDecor(0)->GetCentre().x, 500.0, 1e-9);
    undo.Redo();
    EXPECT_NEAR(gProjet.GetDecor(0)->GetCentre().x, 1000.0, 1e-9);

    gProjet.DeleteDecor(0, true);
    gProjet.DeleteDecor(3, true);
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 1);
    undo.Undo();
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 2);
    EXPECT_NEAR(gProjet.GetDecor(0)->GetCentre().x, 1000.0, 1e-9);

    Decor* d = gProjet.GetDecor(1);
    d->SetAppearance(255, 128, 0, "bois 1.png", true);
    EXPECT_NEAR(d->Couleur.y, 128.0 / 255.0, 1e-12);
    undo.Undo();
    EXPECT_EQ(d->Couleur.y, 1.0);
    EXPECT_EQ(d->Texture, "");
    undo.Redo();
    EXPECT_NEAR(d->Couleur.y, 128.0 / 255.0, 1e-12);

    const std::string path = TempPath("decor.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(path);
    ASSERT_EQ(gProjet.GetNumberOfDecors(), 2);
    d = gProjet.GetDecor(1);
    EXPECT_TRUE(d->IsLoaded());
    EXPECT_EQ(d->Texture, "bois 1.png");
    EXPECT_EQ(d->GetMesh().GetNumberOfFaces(), 6);
    EXPECT_NEAR(d->GetCentre().x, 500.0, 1e-9);
    std::remove(path.c_str());
}
} // namespace
