#include "Couche.h"
#include "CoucheRecorders.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"

#include <cmath>
#include <limits>

namespace
{
using PlanSettingsTest = ModelTest;

// Rescaling keeps world altitudes and the camera origin's world point; a
// scale of 0 on either side stores the scale alone; undo puts it back; a
// non-finite scale is refused.
TEST_F(PlanSettingsTest, ScaleChangeKeepsTheWorld)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    couche->AddPoint(LumPoint(3, 4, 5), 1, 0, false, false);
    gProjet.SetOrigine(12.5, -7.25, 1000.0, 2000.0, false);
    const LumPoint camera = SceneToWorld(gProjet, gProjet.GetOrigineCamera());
    gProjet.SetEchelle(50.0, true);
    const KorVertex* v = couche->GetMesh().GetVertex(0);
    EXPECT_EQ(v->Z, 10.0);
    EXPECT_EQ(v->X, 3.0);
    EXPECT_EQ(v->Y, 4.0);
    const LumPoint after = SceneToWorld(gProjet, gProjet.GetOrigineCamera());
    EXPECT_NEAR(after.x, camera.x, 1e-9);
    EXPECT_NEAR(after.y, camera.y, 1e-9);
    EXPECT_TRUE(couche->NeedsTriangulation());

    const double origineX = gProjet.OrigineX;
    for (double scale : {0.0, 200.0})
    {
        gProjet.SetEchelle(scale, false);
        EXPECT_EQ(gProjet.Echelle, scale);
        EXPECT_EQ(v->Z, 10.0);
        EXPECT_EQ(gProjet.OrigineX, origineX);
    }
    // Back through 0: the layer is as it was at 50.
    gProjet.SetEchelle(0.0, false);
    gProjet.SetEchelle(50.0, false);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.Echelle, 100.0);
    EXPECT_EQ(v->Z, 5.0);

    for (double bad : {std::numeric_limits<double>::infinity(), std::nan("")})
    {
        testing::internal::CaptureStdout();
        gProjet.SetEchelle(bad, true);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "ProjetOVX::SetEchelle -> L'échelle doit être un nombre fini\n");
        EXPECT_EQ(gProjet.Echelle, 100.0);
        EXPECT_EQ(v->Z, 5.0);
    }
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);

    // While the scale is 0 a contour point would be infinitely high: it is
    // refused rather than saved into a file that no longer opens.
    gProjet.SetEchelle(0.0, false);
    const std::vector<float> line = {0, 0, 1, 1};
    testing::internal::CaptureStdout();
    couche->AddLigneNiveau(-3.0f, -1, false, &line);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Couche::AddPoint -> Les coordonnées du point doivent être des nombres finis\n"
              "Couche::AddPoint -> Les coordonnées du point doivent être des nombres finis\n");
    EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), 1);
    EXPECT_EQ(couche->MovePoint(0, LumPoint(0, std::nan(""), 0), false, false, true), -1);
    EXPECT_EQ(v->Y, 4.0);
}

// A map origin of millions of metres survives set, undo and redo exactly.
TEST_F(PlanSettingsTest, OriginKeepsDoublePrecision)
{
    gProjet.SetOrigine(10, 20, 30, 40, false);
    EXPECT_EQ(gProjet.GetOrigineCamera().x, 10.0);
    EXPECT_EQ(gProjet.GetOrigineCamera().y, 20.0);
    EXPECT_EQ(gProjet.GetOrigine().x, 30.0);
    EXPECT_EQ(gProjet.GetOrigine().y, 40.0);
    gProjet.SetOrigine(0.5, 1.25, 2100123.45, 1200345.67, true);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (int round = 0; round < 2; ++round)
    {
        EXPECT_EQ(gProjet.OrigineX, 2100123.45);
        EXPECT_EQ(gProjet.OrigineY, 1200345.67);
        EXPECT_EQ(gProjet.OrigineCameraY, 1.25);
        undo.Undo();
        EXPECT_EQ(gProjet.OrigineX, 30.0);
        EXPECT_EQ(gProjet.OrigineCameraX, 10.0);
        undo.Redo();
    }
}

// The zone is normalised to its upper-left and lower-right corners and
// recorded; its undo records nothing.
TEST_F(PlanSettingsTest, ZoneIsNormalisedAndUndone)
{
    gProjet.SetZone(LumPoint(1, 2, 3), LumPoint(4, 5, 6), false, false);
    EXPECT_EQ(gProjet.Limite1.z, 3.0);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    EXPECT_EQ(undo.GetCount(), 0u);
    gProjet.SetZone(LumPoint(10, 0, 7), LumPoint(0, 10, 0), true, true);
    const LumPoint expected[2] = {LumPoint(0, 10, 0), LumPoint(10, 0, 0)};
    const LumPoint* got[2] = {&gProjet.Limite1, &gProjet.Limite2};
    for (int k = 0; k < 2; ++k)
    {
        EXPECT_EQ(got[k]->x, expected[k].x);
        EXPECT_EQ(got[k]->y, expected[k].y);
        EXPECT_EQ(got[k]->z, expected[k].z);
    }
    undo.Undo();
    EXPECT_EQ(undo.GetCount(), 1u);
    EXPECT_EQ(gProjet.Limite1.x, 1.0);
    EXPECT_EQ(gProjet.Limite2.z, 6.0);
    undo.Redo();
    EXPECT_EQ(gProjet.Limite2.x, 10.0);
}

// The same families in another order keep the built surfaces, a replaced
// one does not; the same texture keeps its coordinates; undo brings the
// old appearance back.
TEST_F(PlanSettingsTest, AppearanceMarksOnlyWhatChanged)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    const Couche::sColour red{255, 0, 0};
    couche->SetAppearance(red, "t.png", 50, false, {"F1", "F2"}, false);
    couche->SetDiscontinuitySurfacesBuilt(true);
    couche->AddPoint(LumPoint(0, 0, 0), 1, 0, false, false);
    couche->AddPoint(LumPoint(10, 0, 0), 1, 0, false, false);
    couche->AddPoint(LumPoint(0, 10, 0), 1, 0, false, false);
    couche->Triangulate();
    couche->ComputeTextureCoordinates(64, 64);
    ASSERT_TRUE(couche->AreTextureCoordinatesValid());

    couche->SetAppearance({0, 255, 0}, "t.png", 70, true, {"F2", "F1"}, true);
    EXPECT_TRUE(couche->AreDiscontinuitySurfacesBuilt());
    EXPECT_TRUE(couche->AreTextureCoordinatesValid());
    EXPECT_EQ(couche->G, 255);
    couche->SetAppearance({0, 255, 0}, "u.png", 70, true, {"F2", "F3"}, false);
    EXPECT_FALSE(couche->AreDiscontinuitySurfacesBuilt());
    EXPECT_FALSE(couche->AreTextureCoordinatesValid());

    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(couche->R, 255);
    EXPECT_EQ(couche->Texture, "t.png");
    EXPECT_EQ(couche->Opacite, 50);
    EXPECT_FALSE(couche->FrontAffiche);
    EXPECT_EQ(couche->Discontinuites, (std::vector<std::string>{"F1", "F2"}));
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(couche->Discontinuites, (std::vector<std::string>{"F2", "F1"}));
    EXPECT_EQ(couche->Opacite, 70);
}

// The current layer changes back and forth with its record.
TEST_F(PlanSettingsTest, CurrentLayerIsUndone)
{
    gProjet.AddCouche("A", 0);
    gProjet.AddCouche("B", 1);
    RecordCoucheCouranteChange(1, 0);
    gProjet.SetCoucheCourante(0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.CoucheCourante, 1);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(gProjet.CoucheCourante, 0);
}
} // namespace
