// What the 3D view's picking and context menu rely on in the model: a
// layer's ray test, the scenery colour as bytes, and the appearance undo
// steps of one layer and of all layers at once.
#include "Couche.h"
#include "CoucheRecorders.h"
#include "Decor.h"
#include "KorRay.h"
#include "ModelTestSupport.h"
#include "OVXAction.h"
#include "RecordedValues.h"

namespace
{
class CoucheAppearanceTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.New();
        gProjet.GetUndoManager().Clear();
    }
    // A flat layer at altitude z over the square (-100..100)².
    static Couche* AddFlat(const std::string& name, int index, double z)
    {
        Couche* couche = gProjet.AddCouche(name, index);
        for (const auto& [x, y] : {std::pair{-100, -100}, {100, -100}, {100, 100}, {-100, 100}})
            couche->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
        return couche;
    }
    unsigned Steps() { return gProjet.GetUndoManager().GetCount(); }
};

// A vertical ray from z 1000 meets the flat layer at z 10 after 990; a
// horizontal ray at z 5 from x 300 meets its east wall (down to NiveauBas
// -20) at x 100, after 200, only while the side is shown.
TEST_F(CoucheAppearanceTest, RayMeetsSurfaceAndShownWallsOfAVisibleLayer)
{
    Couche* couche = AddFlat("Haut", 0, 10.0);
    couche->FrontPoints = {LumPoint(-100, -100, 10), LumPoint(100, -100, 10), LumPoint(100, 100, 10),
                           LumPoint(-100, 100, 10)};
    gProjet.NiveauBas = -20.0;
    const KorRay down(LumPoint(30, 40, 1000), LumPoint(0, 0, -1));
    const KorRay west(LumPoint(300, 0, 5), LumPoint(-1, 0, 0));
    const KorRay under(LumPoint(300, 0, -25), LumPoint(-1, 0, 0));
    struct Case
    {
        int opacity;
        bool side;
        const KorRay* ray;
        bool hit;
        float t;
    };
    for (const Case& c : {Case{100, true, &down, true, 990.0f}, Case{100, true, &west, true, 200.0f},
                          Case{100, false, &west, false, 1e10f}, Case{100, false, &down, true, 990.0f},
                          Case{100, true, &under, false, 1e10f}, Case{0, true, &down, false, 1e10f},
                          Case{0, true, &west, false, 1e10f}})
    {
        couche->Opacite = c.opacity;
        couche->FrontAffiche = c.side;
        float t = -1.0f;
        EXPECT_EQ(couche->IntersectRay(*c.ray, t), c.hit) << c.opacity << " " << c.side;
        EXPECT_NEAR(t, c.t, 1e-3) << c.opacity << " " << c.side;
    }
}

// With the head shown the layer is its cut: the remainder and the part the
// head takes, never the whole surface.
TEST_F(CoucheAppearanceTest, WithTheHeadShownTheCutMeshesArePicked)
{
    Couche* couche = AddFlat("Haut", 0, 10.0);
    couche->FrontAffiche = false;
    couche->Triangulate();
    const KorRay down(LumPoint(30, 40, 1000), LumPoint(0, 0, -1));
    gProjet.m3DAffichageTete = true;
    float t = 0.0f;
    EXPECT_FALSE(couche->IntersectRay(down, t));
    couche->GetMesh(Couche::Tete) = couche->GetMesh(Couche::Surface);
    couche->GetMesh(Couche::Tete).MoveMesh(LumPoint(0, 0, -4));
    EXPECT_TRUE(couche->IntersectRay(down, t));
    EXPECT_NEAR(t, 994.0f, 1e-3);
    couche->GetMesh(Couche::Intersection) = couche->GetMesh(Couche::Surface);
    EXPECT_TRUE(couche->IntersectRay(down, t));
    EXPECT_NEAR(t, 990.0f, 1e-3);
}

TEST_F(CoucheAppearanceTest, DecorColourBytesAreTruncated)
{
    Decor decor("");
    struct Case
    {
        LumPoint colour;
        int r, g, b;
    };
    for (const Case& c :
         {Case{LumPoint(1.0, 0.0, 0.5), 255, 0, 127}, Case{LumPoint(0.999, 0.004, 0.2), 254, 1, 51},
          Case{LumPoint(-0.5, 2.0, 0.0), 0, 255, 0}})
    {
        decor.Couleur = c.colour;
        const Decor::sColour bytes = decor.GetColour();
        EXPECT_EQ(int(bytes.R), c.r);
        EXPECT_EQ(int(bytes.G), c.g);
        EXPECT_EQ(int(bytes.B), c.b);
        EXPECT_EQ(int(bytes.A), 255);
    }
}

// The recorded values: the layer index, the new group, then the old one
// read from the layer; undo and redo give each back.
TEST_F(CoucheAppearanceTest, SideChangeRecordsNewThenOldAppearance)
{
    Couche* couche = AddFlat("Haut", 0, 10.0);
    couche->SetAppearance({1, 2, 3}, "a.png", 40, true, {"F1"}, false);
    couche->SetAppearance({7, 8, 9}, "", 60, false, {"F1", "F2"}, true);
    ASSERT_EQ(Steps(), 1u);
    const KorAction* action = gProjet.GetUndoManager().GetAction(0);
    EXPECT_EQ(RecordedValue<int>(action, 1), 0);
    EXPECT_EQ(RecordedValue<int>(action, 2), 7);
    EXPECT_EQ(RecordedValue<int>(action, 6), 60);
    EXPECT_EQ(RecordedValue<bool>(action, 7), false);
    EXPECT_EQ(RecordedValue<int>(action, 8), 2);
    EXPECT_EQ(RecordedValue<int>(action, 11), 1);
    EXPECT_EQ(RecordedValue<std::string>(action, 14), "a.png");
    EXPECT_EQ(RecordedValue<int>(action, 15), 40);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(couche->R, 1);
    EXPECT_EQ(couche->Texture, "a.png");
    EXPECT_EQ(couche->Opacite, 40);
    EXPECT_TRUE(couche->FrontAffiche);
    EXPECT_EQ(couche->Discontinuites, std::vector<std::string>{"F1"});
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(couche->B, 9);
    EXPECT_EQ(couche->Opacite, 60);
    EXPECT_FALSE(couche->FrontAffiche);
    EXPECT_EQ(couche->Discontinuites, (std::vector<std::string>{"F1", "F2"}));
}

TEST_F(CoucheAppearanceTest, AllLayersStepsGiveEachItsOwnValueBack)
{
    Couche* haut = AddFlat("Haut", 0, 10.0);
    Couche* bas = AddFlat("Bas", 1, 0.0);
    haut->Opacite = 30;
    bas->Opacite = 70;
    haut->Opacite = bas->Opacite = 100;
    RecordOpacitiesReset({0, 1}, {30, 70});
    haut->FrontAffiche = false;
    bas->FrontAffiche = true;
    RecordSidesShownChange({0, 1}, {true, false}, false);
    ASSERT_EQ(Steps(), 2u);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    undo.Undo();
    EXPECT_TRUE(haut->FrontAffiche);
    EXPECT_FALSE(bas->FrontAffiche);
    undo.Undo();
    EXPECT_EQ(haut->Opacite, 30);
    EXPECT_EQ(bas->Opacite, 70);
    undo.Redo();
    EXPECT_EQ(haut->Opacite, 100);
    EXPECT_EQ(bas->Opacite, 100);
    undo.Redo();
    EXPECT_FALSE(haut->FrontAffiche);
    EXPECT_FALSE(bas->FrontAffiche);
}
} // namespace
