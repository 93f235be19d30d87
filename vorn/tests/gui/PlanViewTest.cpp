// The plan view as the engineer sees it: what it draws, read back from the
// frame, and what a click, a key or a menu line does to the layer.

#include "PlanView.h"
#include "ChampTexte.h"
#include "Couche.h"
#include "Coupe.h"
#include "CoupeCoord.h"
#include "Dialog2Coordonnees.h"
#include "DialogOutilsCreation.h"
#include "DialogSlider.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "FondPlan.h"
#include "FondPlanTools.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "LigneNiveau.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PopupOVX.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "Sondage.h"
#include "TypedCoordinates.h"
#include "View3D.h"
#include "ZoneTool.h"

#include <wx/button.h>
#include <wx/image.h>
#include <wx/slider.h>

#include <GL/gl.h>

#include <wx/filename.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace
{
constexpr int W = 800, H = 600;

// The frame read back right after the plan view drew, rows from the top.
std::vector<unsigned char> gPixels;

void RenderAndRead(LumoraDevice* device)
{
    RenderPlanView(device);
    gPixels.assign(W * H * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}

wxColour Pixel(int x, int y)
{
    const unsigned char* p = &gPixels[((H - 1 - y) * W + x) * 3];
    return wxColour(p[0], p[1], p[2]);
}

const wxColour kCyan(0, 255, 255), kBlack(0, 0, 0), kWhite(255, 255, 255);

// One plan-view frame at 800 x 600 pixels, top view centred on the origin at
// one scene unit per pixel, so scene (x, y) is pixel (400 + x, 300 - y).
class PlanRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gProjet.Reset();
        frame = new wxFrame(nullptr, wxID_ANY, "plan", wxPoint(0, 0), wxDefaultSize);
        frame->SetClientSize(W, H);
        canvas = new GL_Window(frame, wxID_ANY, wxPoint(0, 0), wxSize(W, H));
        LumCamera* camera = canvas->getDevice()->GetCamera();
        camera->ChangeCameraMode(3);
        camera->SetPosition(0, 0, 0);
        camera->SetTarget(0, 0, 0);
        camera->SetDistance(H);
        canvas->getDevice()->SetDrawCallback(RenderAndRead);
        frame->Show();
        GuiTest::WaitFor([this] { return canvas->IsShownOnScreen(); });
        GuiTest::Pump(50);
        gProjet.Echelle = 100.0;
        gProjet.AffichageNordCreation = false;
        gProjet.ZoneAffichee = false;
    }
    void TearDown() override
    {
        frame->Destroy();
        GuiTest::Pump(20);
        gProjet.Reset();
    }
    void Draw() { ASSERT_TRUE(canvas->RenderFrame()); }
    // Whether a pixel within one of (x, y) has that colour (a 3-pixel line
    // straddles its scene coordinate).
    static bool Near(int x, int y, const wxColour& colour)
    {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (Pixel(x + dx, y + dy) == colour)
                    return true;
        return false;
    }

    wxFrame* frame = nullptr;
    GL_Window* canvas = nullptr;
};

TEST_F(PlanRenderTest, ZoneIsACyanRectangleUnlessDegenerate)
{
    gProjet.ZoneAffichee = true;
    gProjet.Limite1 = LumPoint(-100, 50, 0);
    gProjet.Limite2 = LumPoint(100, -50, 0);
    Draw();
    // Middles of the left, right, top and bottom edges, and 3 px outside.
    const int edges[4][4] = {{300, 300, -4, 0}, {500, 300, 4, 0}, {400, 250, 0, -4}, {400, 350, 0, 4}};
    for (const auto& e : edges)
    {
        EXPECT_TRUE(Near(e[0], e[1], kCyan)) << e[0] << "," << e[1];
        EXPECT_EQ(Pixel(e[0] + e[2], e[1] + e[3]), kWhite) << e[0] << "," << e[1];
    }
    gProjet.Limite2 = LumPoint(-100 + 1e-5, 50, 0);
    Draw();
    EXPECT_FALSE(Near(300, 250, kCyan));
}

TEST_F(PlanRenderTest, NorthArrowTipInTheTopRightCornerFollowsTheAngle)
{
    gProjet.AffichageNordCreation = true;
    gProjet.Echelle = 0.0; // no scale bar in the way
    // The margin is 60 px: for N = 0 the tip is at pixel (740, 60) and the
    // black head runs down from it; for N = 90 it is at the same pixel and
    // the head runs left.
    gProjet.Nord = 0;
    Draw();
    EXPECT_EQ(Pixel(740, 63), kBlack);
    EXPECT_EQ(Pixel(740, 98), kBlack);
    EXPECT_EQ(Pixel(703, 60), kWhite);
    EXPECT_EQ(Pixel(740, 56), kWhite);
    gProjet.Nord = 90;
    Draw();
    EXPECT_EQ(Pixel(737, 60), kBlack);
    EXPECT_EQ(Pixel(702, 60), kBlack);
    EXPECT_EQ(Pixel(740, 98), kWhite);
    EXPECT_EQ(Pixel(744, 60), kWhite);
    gProjet.Nord = 0;
}

TEST_F(PlanRenderTest, ScaleBarAtTheBottomLeft)
{
    // Scale 100 at one unit per pixel: 100 px for 100 m, from x 10 to 110,
    // y 570 to 575 from the top; its left half black.
    Draw();
    EXPECT_EQ(Pixel(35, 572), kBlack);
    EXPECT_NE(Pixel(85, 572), kBlack);
    EXPECT_EQ(Pixel(85, 565), kWhite);
    gProjet.Echelle = 1e-6;
    Draw();
    EXPECT_EQ(Pixel(35, 572), kWhite);
}

TEST_F(PlanRenderTest, CurrentLayerPointsUnlessAToolDrawsInstead)
{
    Couche* couche = gProjet.AddCouche("A", 0);
    couche->AddPoint(LumPoint(50, 50, 0), 1, 0, false, false);
    gProjet.CoucheCourante = 0;
    gProjet.PointsAffiches = true;
    Draw();
    EXPECT_EQ(Pixel(450, 250), kBlack);
    gOverlayDrawer = [](LumoraDevice*) {};
    Draw();
    gOverlayDrawer = nullptr;
    EXPECT_EQ(Pixel(450, 250), kWhite);
}

TEST_F(PlanRenderTest, StaleBackgroundPlanIndexIsDropped)
{
    gProjet.FondUtilise = 2;
    Draw();
    EXPECT_EQ(gProjet.FondUtilise, -1);
}

// A 400 x 200 red image as the plan in use, at the origin, size 1: it spans
// scene x -100..100 and y -50..50, pixels 300..500 by 250..350.
TEST_F(PlanRenderTest, BackgroundPlanKeepsItsProportionsAtTheOpacity)
{
    const std::string path = (wxFileName::CreateTempFileName("plan") + ".png").ToStdString();
    wxImage image(400, 200);
    image.SetRGB(wxRect(0, 0, 400, 200), 255, 0, 0);
    ASSERT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    gProjet.SetFondPlan(path);
    ASSERT_EQ(gProjet.FondUtilise, 0);
    struct Case
    {
        int opacity;
        wxColour inside;
    };
    for (const Case& c : {Case{100, wxColour(255, 0, 0)}, Case{0, kWhite}})
    {
        gProjet.OpaciteFond = c.opacity;
        Draw();
        for (const wxPoint& p : {wxPoint(400, 300), wxPoint(305, 255), wxPoint(495, 345)})
            EXPECT_EQ(Pixel(p.x, p.y), c.inside) << c.opacity << " at " << p.x << "," << p.y;
        for (const wxPoint& p : {wxPoint(295, 300), wxPoint(505, 300), wxPoint(400, 245), wxPoint(400, 355)})
            EXPECT_EQ(Pixel(p.x, p.y), kWhite) << c.opacity << " at " << p.x << "," << p.y;
    }
    gProjet.OpaciteFond = 50;
    Draw();
    const wxColour half = Pixel(400, 300);
    EXPECT_EQ(half.Red(), 255);
    EXPECT_NEAR(half.Green(), 128, 2);
    EXPECT_NEAR(half.Blue(), 128, 2);
    EXPECT_EQ(gProjet.GetFondPlanUtilise()->ImageWidth, 400);
    EXPECT_EQ(gProjet.GetFondPlanUtilise()->ImageHeight, 200);
    std::remove(path.c_str());
}

TEST(PlanScaleBar, LengthEndsOnAGraduation)
{
    struct Case
    {
        float scale;
        double metres;
        int pixels;
    };
    for (const Case& c : {Case{100.0f, 100.0, 100}, Case{137.0f, 140.0, 102}})
    {
        double metres = 0.0;
        int pixels = 0;
        ASSERT_TRUE(ComputeScaleBar(c.scale, 600.0, 600, metres, pixels)) << c.scale;
        EXPECT_DOUBLE_EQ(metres, c.metres) << c.scale;
        EXPECT_EQ(pixels, c.pixels) << c.scale;
    }
    double metres = 0.0;
    int pixels = 0;
    EXPECT_FALSE(ComputeScaleBar(0.9e-5f, 600.0, 600, metres, pixels));
}

// A menu shown by selecting one line, as the user's click would.
int gChosenLine = -1;
std::vector<std::string> gShownLabels;
std::vector<bool> gShownEnabled;
void ChooseLine(wxWindow* window, PopupOVX* menu, int, int)
{
    gShownLabels.clear();
    gShownEnabled.clear();
    for (wxMenuItem* item : menu->GetMenuItems())
    {
        gShownLabels.push_back(item->GetItemLabelText().ToStdString(wxConvUTF8));
        gShownEnabled.push_back(item->IsEnabled());
    }
    if (gChosenLine < 0)
        return;
    menu->SetInvokingWindow(window);
    menu->SendEvent(gChosenLine);
    menu->SetInvokingWindow(nullptr);
}

int gRan = -1;
template <int I> void Mark()
{
    gRan = I;
}

TEST(PopupOVXTest, EveryLineRunsItsOwnCallbackAndStopsInTheMenu)
{
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "menu");
    int frameCommands = 0;
    frame->Bind(
        wxEVT_MENU, [&](wxCommandEvent&) { ++frameCommands; }, 27);
    PopupOVX::Clear();
    // 40 lines, a separator between some, with a sub-menu from line 20 on.
    PopupOVX* sub = nullptr;
    for (int i = 0; i < 40; ++i)
    {
        if (i % 7 == 3)
            PopupOVX::AppendItem("", gPopup, nullptr);
        if (i == 20)
            sub = PopupOVX::AddSubMenu("Suite");
        PopupOVX* menu = i < 20 ? gPopup : sub;
        PopupOVX::AppendItem("ligne " + std::to_string(i), menu,
                             i == 27  ? Mark<27>
                             : i == 5 ? nullptr
                                      : Mark<0>);
    }
    EXPECT_EQ(gPopup->GetLineCount(), 40);
    EXPECT_EQ(PopupOVX::GetRootMenu(sub), gPopup);
    gRan = -1;
    SetPopupShower(ChooseLine);
    gChosenLine = 27;
    ShowPopup(frame, 0, 0);
    EXPECT_EQ(gRan, 27);
    EXPECT_EQ(frameCommands, 0);
    EXPECT_FALSE(gPopup->FindItem(5)->IsEnabled());
    EXPECT_TRUE(gPopup->FindItem(4)->IsEnabled());
    gChosenLine = -1;
    SetPopupShower(nullptr);
    PopupOVX::Clear();
    frame->Destroy();
    GuiTest::Pump(20);
}

// The main frame on a project of two layers: "Haut" with free points at
// altitude 10 over the square (-100..100)², "Bas" the same at altitude 0.
class PlanEditTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame();
        ShowSquareLayersFromAbove(haut, bas);
        device = frame->GetMainDevice();
    }
    void TearDown() override
    {
        CloseProjectFrame();
        SetPopupShower(nullptr);
        gChosenLine = -1;
    }
    void Press(const LumPoint& scene, int button) { ClickView(frame, scene, button); }
    void Key(int code) { PressViewKey(frame, code); }
    int Points(Couche* c) const { return c->GetMesh().GetNumberOfVertices(); }
    unsigned Undos() const { return gProjet.GetUndoManager().GetCount(); }

    LumoraDevice* device = nullptr;
    Couche* haut = nullptr;
    Couche* bas = nullptr;
};

TEST_F(PlanEditTest, RightClickOnEmptyCanvasPicksNothingAndShowsNoMenu)
{
    SetPopupShower(ChooseLine);
    gShownLabels = {"none"};
    Press(LumPoint(30, 40, 0), 3);
    EXPECT_EQ(bas->GetPickedVertex(), -1);
    EXPECT_EQ(device->GetGizmo(), nullptr);
    EXPECT_EQ(gShownLabels, std::vector<std::string>{"none"});
}

TEST_F(PlanEditTest, MenusOfAFreePointOfTheLowestAndOfASingleLayer)
{
    SetPopupShower(ChooseLine);
    Press(LumPoint(100, 100, 0), 3);
    EXPECT_EQ(bas->GetPickedVertex(), 2);
    EXPECT_NE(device->GetGizmo(), nullptr);
    EXPECT_EQ(gShownLabels, (std::vector<std::string>{"Supprimer le point", "",
                                                      "Placer le point sous la couche supérieure"}));
    // The top layer of two: only the lower-layer line, after one separator.
    gProjet.SetCoucheCourante(0);
    Press(LumPoint(100, 100, 10), 3);
    EXPECT_EQ(gShownLabels, (std::vector<std::string>{"Supprimer le point", "",
                                                      "Placer le point sur la couche inférieure"}));
}

TEST_F(PlanEditTest, DeleteKeyDeletesThePickedPointAsOneStepAndDotDoesNot)
{
    Press(LumPoint(-100, 100, 0), 1);
    ASSERT_EQ(bas->GetPickedVertex(), 3);
    Key(46);
    EXPECT_EQ(Points(bas), 4);
    EXPECT_EQ(Undos(), 0u);
    Key(127);
    EXPECT_EQ(Points(bas), 3);
    EXPECT_EQ(bas->GetMesh().GetVertex(3), nullptr);
    EXPECT_EQ(Undos(), 1u);
    EXPECT_EQ(Points(haut), 4);
    // A borehole's point goes only with its borehole.
    bas->SetVertexType(0, 3, 0);
    Press(LumPoint(-100, -100, 0), 1);
    ASSERT_EQ(bas->GetPickedVertex(), 0);
    EXPECT_EQ(device->GetGizmo(), nullptr);
    Key(127);
    EXPECT_EQ(Points(bas), 3);
}

TEST_F(PlanEditTest, BoreholePointMenuDeletesItsOwnBoreholeAsOneStep)
{
    // Two vertical boreholes crossing "Bas" at z 5; the second is picked.
    for (const auto& [name, x] : {std::pair{"S0", 40.0}, {"S1", -40.0}})
    {
        auto* sondage = new Sondage(name, LumPoint(x, 40, 30), false);
        sondage->Pendage = 90.0;
        sondage->SetPointSondage("Bas", 25.0);
        ASSERT_NE(gProjet.SetSondage(sondage, -1, false, false), nullptr);
    }
    ASSERT_EQ(Points(bas), 6);
    SetPopupShower(ChooseLine);
    Press(LumPoint(-40, 40, 5), 3);
    EXPECT_EQ(gShownLabels, (std::vector<std::string>{"S1", "Supprimer le sondage", "Modifier le sondage"}));
    EXPECT_EQ(gShownEnabled, (std::vector<bool>{false, true, true}));
    gChosenLine = 1;
    Press(LumPoint(-40, 40, 5), 3);
    ASSERT_EQ(gProjet.GetNumberOfSondages(), 1);
    EXPECT_EQ(gProjet.GetSondage(0)->Nom, "S0");
    EXPECT_EQ(Points(bas), 5);
    EXPECT_EQ(bas->GetPickedVertex(), -1);
    EXPECT_EQ(Undos(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetSondageIndex("S1"), 1);
    EXPECT_EQ(Points(bas), 6);
}

// A file holding two boreholes named "S": the second is renamed at Open,
// so that "Supprimer le sondage" on its point deletes it, not the first.
TEST_F(PlanEditTest, BoreholeMenuOfAFileWithTwoOfANameDeletesThePickedOne)
{
    for (const double x : {40.0, -40.0})
    {
        auto* sondage = new Sondage("S", LumPoint(x, 40, 30), false);
        sondage->Pendage = 90.0;
        sondage->SetPointSondage("Bas", 25.0);
        ASSERT_NE(gProjet.SetSondage(sondage, -1, false, false), nullptr);
    }
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(projectPath);
    ASSERT_EQ(ui->Count("Information"), 1);
    bas = gProjet.GetCouche(1);
    gProjet.SetCoucheCourante(1);
    EnterCreationMode(false);
    device->GetCamera()->SetPosition(0, 0, 0);
    device->GetCamera()->SetDistance(400);
    RefreshDisplay();
    SetPopupShower(ChooseLine);
    gChosenLine = 1;
    Press(LumPoint(-40, 40, 5), 3);
    EXPECT_EQ(gShownLabels[0], "S (2)");
    ASSERT_EQ(gProjet.GetNumberOfSondages(), 1);
    EXPECT_EQ(gProjet.GetSondage(0)->Nom, "S");
    EXPECT_EQ(gProjet.GetSondage(0)->PosX, 40.0);
    EXPECT_EQ(Points(bas), 5);
}

TEST_F(PlanEditTest, SectionPointMenuDeletesItsSection)
{
    // A section along y = 50, its image 100 units wide and tall: its point
    // of "Bas" at image (0.3, 0.65) lies at (30, 50, 5).
    auto* coupe = new Coupe("C1", LumPoint(0, 50, 20), LumPoint(100, 50, 20));
    coupe->Ref1 = CoupeCoord(0.0, 0.5);
    coupe->Ref2 = CoupeCoord(1.0, 0.5);
    coupe->EchelleVerticale = 100.0;
    coupe->Couches.push_back("Bas");
    coupe->Coordinates.push_back({CoupeCoord(0.3, 0.65)});
    ASSERT_NE(gProjet.SetCoupe(coupe, -1, false, false), nullptr);
    ASSERT_EQ(Points(bas), 5);
    SetPopupShower(ChooseLine);
    gChosenLine = 1;
    Press(LumPoint(30, 50, 5), 3);
    EXPECT_EQ(gShownLabels, (std::vector<std::string>{"C1", "Supprimer la coupe", "Modifier la coupe"}));
    EXPECT_EQ(gShownEnabled, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);
    EXPECT_EQ(Points(bas), 4);
    EXPECT_EQ(Undos(), 1u);
}

TEST_F(PlanEditTest, MenuLineRunsOnTheLayerBelowTheUpperOne)
{
    // "Placer le point sous la couche supérieure" on a point of the lower
    // layer puts it just under the upper one: z 10 - 0.0001, one step.
    bas->MovePoint(2, LumPoint(100, 100, 0), false, false, true);
    SetPopupShower(ChooseLine);
    gChosenLine = 1;
    Press(LumPoint(100, 100, 0), 3);
    EXPECT_NEAR(bas->GetMesh().GetVertex(2)->Z, 10 - 0.0001, 1e-9);
    EXPECT_EQ(Undos(), 1u);
}

TEST_F(PlanEditTest, DragIntoTheUpperLayerIsRefusedOnRelease)
{
    Press(LumPoint(100, -100, 0), 1);
    LumGizmo* gizmo = device->GetGizmo();
    ASSERT_NE(gizmo, nullptr);
    // A drag that lifts the point above the upper layer, as the gizmo
    // reports it to the events manager.
    gizmo->SetInUse(true);
    gizmo->SetMoving(true);
    gizmo->SetTranslation(LumPoint(0, 0, 50));
    device->CallEventsManager(EventInfo());
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(1)->Z, 50.0);
    gizmo->SetMoving(false);
    gizmo->SetReleased(true);
    device->CallEventsManager(EventInfo());
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0],
              "Erreur: Impossible de déplacer ce point à la coordonnée : \n     100;-100;50 :\nLa "
              "couche intersecte une couche voisine");
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(1)->Z, 0.0);
    EXPECT_EQ(Undos(), 0u);
    // A drop below the upper layer is one step.
    gizmo->SetTranslation(LumPoint(0, 0, 5));
    device->CallEventsManager(EventInfo());
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(1)->Z, 5.0);
    EXPECT_EQ(Undos(), 1u);
}

// A click on a gizmo that drags nothing: no step, nothing modified, no new
// triangulation; the plan view's point gizmo, the background plan's
// adjustment and the 3D view's point gizmo.
TEST_F(PlanEditTest, GizmoClickWithoutDragChangesNothing)
{
    const std::string image = (wxFileName::CreateTempFileName("plan") + ".png").ToStdString();
    ASSERT_TRUE(wxImage(40, 20).SaveFile(image, wxBITMAP_TYPE_PNG));
    EventInfo released;
    released.released = true;
    struct Case
    {
        const char* name;
        std::function<void()> start;
        std::function<EventInfo()> release;
    };
    const Case cases[] = {
        {"plan", [this] { Press(LumPoint(100, -100, 0), 1); }, [] { return EventInfo(); }},
        {"fond de plan",
         [&]
         {
             gProjet.SetFondPlan(image);
             StartFondPlanAdjust();
         },
         [&] { return released; }},
        {"3D",
         [this]
         {
             gProjet.Limite1 = LumPoint(-150, 150, 0);
             gProjet.Limite2 = LumPoint(150, -150, 0);
             EnterVisualisationMode(false);
             GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); });
             GuiTest::Pump(50);
             device->GetCamera()->ChangeCameraMode(3);
             device->GetCamera()->SetPosition(0, 0, 0);
             device->GetCamera()->SetDistance(400);
             gPickedCouche = 1;
             OnEditCouchePoints();
             EventInfo press = ViewEventAt(frame, LumPoint(100, -100, 0));
             press.button = 1;
             press.pressed = true;
             OnEditCouchePointsEvent(press);
         },
         [this] { return ViewEventAt(frame, LumPoint(0, 0, 0)); }},
    };
    for (const Case& c : cases)
    {
        c.start();
        LumGizmo* gizmo = device->GetGizmo();
        ASSERT_NE(gizmo, nullptr) << c.name;
        bas->Triangulate();
        gProjet.GetUndoManager().Clear();
        gizmo->SetInUse(true);
        gizmo->SetReleased(true);
        device->CallEventsManager(c.release());
        EXPECT_EQ(Undos(), 0u) << c.name;
        EXPECT_FALSE(gProjet.IsModified()) << c.name;
        EXPECT_FALSE(bas->NeedsTriangulation()) << c.name;
        const KorVertex* v = bas->GetMesh().GetVertex(1);
        EXPECT_TRUE(v->X == 100 && v->Y == -100 && v->Z == 0) << c.name;
        EXPECT_EQ(ui->boxes, std::vector<std::string>()) << c.name;
    }
    std::remove(image.c_str());
}

TEST_F(PlanEditTest, DepthThatIsNotFiniteChangesNothing)
{
    const std::vector<float> line = {-50.0f, 0.0f, 50.0f, 0.0f};
    const int index = bas->AddLigneNiveau(2.0f, -1, false, &line);
    ASSERT_GE(index, 0);
    LigneNiveau* ligne = bas->GetLigneNiveau(index);
    const int id = ligne->GetVertices(*bas).front()->GetID();
    bas->SetPickedVertex(id);
    gProjet.GetUndoManager().Clear();
    ui->texts = {"1e999"};
    OnChangeLigneProfondeur();
    EXPECT_EQ(ligne->Profondeur, 2.0);
    EXPECT_EQ(Undos(), 0u);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Erreur: Les valeurs saisies doivent être des nombres réels finis");
    ui->texts = {"abc"};
    OnChangeLigneProfondeur();
    EXPECT_EQ(ligne->Profondeur, 0.0);
    EXPECT_EQ(Undos(), 1u);
}

TEST_F(PlanEditTest, ZoneToolStoresTheNormalisedZoneOrRestoresTheFormerOne)
{
    gProjet.Limite1 = LumPoint(-10, 10, 1.5);
    gProjet.Limite2 = LumPoint(10, -10, 2.5);
    const LumPoint a(60, -40, 0), b(-60, 40, 0);
    // Escape after one click: both corners back, z included.
    StartZoneTool();
    EXPECT_TRUE(gProjet.ZoneAffichee);
    Press(a, 1);
    Key(27);
    EXPECT_EQ(gProjet.Limite1.z, 1.5);
    EXPECT_EQ(gProjet.Limite2.z, 2.5);
    EXPECT_EQ(gProjet.Limite2.x, 10.0);
    EXPECT_EQ(device->GetCustomEventsManager(), &OnPlanViewEvent);
    // Corners in reverse order: the upper-left corner first in the project.
    StartZoneTool();
    Press(a, 1);
    Press(b, 1);
    EXPECT_NEAR(gProjet.Limite1.x, -60, 1.0);
    EXPECT_NEAR(gProjet.Limite1.y, 40, 1.0);
    EXPECT_NEAR(gProjet.Limite2.x, 60, 1.0);
    EXPECT_NEAR(gProjet.Limite2.y, -40, 1.0);
    EXPECT_EQ(Undos(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.Limite1.x, -10.0);
    EXPECT_EQ(gProjet.Limite2.y, -10.0);
}

// The user types into a field of the palette.
void Type(ChampTexte* field, const char* text)
{
    field->ChangeValue(text);
    field->MarkDirty();
}

void LeaveField(ChampTexte* field)
{
    wxFocusEvent event(wxEVT_KILL_FOCUS, field->GetId());
    event.SetEventObject(field);
    field->GetEventHandler()->ProcessEvent(event);
}

TEST_F(PlanEditTest, TypedCoordinatesMoveThePickedPointOnlyWhenTyped)
{
    gProjet.SetCoucheCourante(0);
    ChampTexte* x = frame->GetCreationPalette()->GetCoordinateField(0);
    ChampTexte* z = frame->GetCreationPalette()->GetCoordinateField(2);
    Press(LumPoint(-100, 100, 10), 1);
    ASSERT_EQ(haut->GetPickedVertex(), 3);
    EXPECT_EQ(x->GetValue(), "-100,0000000");
    // Tabbing through the fields without typing: nothing moves or records.
    for (int i = 0; i < 3; ++i)
        LeaveField(frame->GetCreationPalette()->GetCoordinateField(i));
    EXPECT_EQ(Undos(), 0u);
    // A decimal comma reads as a point.
    Type(x, "12,5");
    LeaveField(x);
    EXPECT_DOUBLE_EQ(haut->GetMesh().GetVertex(3)->X, 12.5);
    EXPECT_EQ(Undos(), 1u);
    LeaveField(x);
    EXPECT_EQ(Undos(), 1u);
    Type(z, "100");
    OnCoordinatesEntered();
    EXPECT_DOUBLE_EQ(haut->GetMesh().GetVertex(3)->Z, 100.0);
    EXPECT_EQ(Undos(), 2u);
    Type(x, "1e999");
    OnCoordinatesEntered();
    EXPECT_DOUBLE_EQ(haut->GetMesh().GetVertex(3)->X, 12.5);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Erreur: Les valeurs saisies doivent être des nombres réels finis");
    // Without a point action the typed point goes nowhere.
    Type(x, "30");
    gToolPointAction = nullptr;
    OnCoordinatesEntered();
    EXPECT_DOUBLE_EQ(haut->GetMesh().GetVertex(3)->X, 12.5);
    EXPECT_EQ(Undos(), 2u);
}

void Click(wxWindow* window, int id)
{
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(window->FindWindow(id));
    window->GetEventHandler()->ProcessEvent(event);
}

TEST_F(PlanEditTest, TwoValuesDialogStaysOpenOnAValueThatIsNotFinite)
{
    Dialog2Coordonnees dialog("Coordonnées du point", "Abscisse", "Ordonnée");
    GuiTest::OneShot typeInfinite(
        [&]
        {
            static_cast<wxTextCtrl*>(dialog.FindWindow(10))->ChangeValue("1e999");
            Click(&dialog, 0);
            static_cast<wxTextCtrl*>(dialog.FindWindow(10))->ChangeValue("3.5");
            static_cast<wxTextCtrl*>(dialog.FindWindow(11))->ChangeValue("x");
            Click(&dialog, 0);
        });
    typeInfinite.StartOnce(100);
    EXPECT_EQ(dialog.ShowModal(), 5100);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(dialog.GetX(), 3.5);
    EXPECT_EQ(dialog.GetY(), 0.0);
}

std::vector<int> gSliderValues;

TEST_F(PlanEditTest, SliderHandsEachValueOnAndEndsWithItsButton)
{
    for (const auto& [button, answer] : {std::pair{0, 5100}, {1, 5101}})
    {
        gSliderValues.clear();
        DialogSlider dialog("Valeur de l'opacité en %", 0, 100, 50,
                            [](int v) { gSliderValues.push_back(v); });
        GuiTest::OneShot move(
            [&, button = button]
            {
                for (int v : {42, 7})
                {
                    wxCommandEvent event(wxEVT_SLIDER, 2);
                    event.SetInt(v);
                    dialog.GetSlider()->GetEventHandler()->ProcessEvent(event);
                }
                Click(&dialog, button);
            });
        move.StartOnce(100);
        EXPECT_EQ(dialog.ShowModal(), answer);
        EXPECT_EQ(gSliderValues, (std::vector<int>{42, 7}));
        EXPECT_EQ(dialog.GetValue(), 7);
    }
}

TEST_F(PlanEditTest, DrawingToolsAddPointsAndLevelLines)
{
    // A free point where the user clicks, at the altitude typed in Z.
    StartAddPointsTool();
    Type(frame->GetCreationPalette()->GetCoordinateField(2), "5");
    Press(LumPoint(20, -30, 0), 1);
    ASSERT_EQ(Points(bas), 5);
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(4)->Z, 5.0);
    EXPECT_EQ(Undos(), 1u);
    Key(27);
    EXPECT_EQ(device->GetCustomEventsManager(), &OnPlanViewEvent);

    // A line deeper than the upper layer is refused at its first point and
    // the next click starts it again.
    ui->texts = {"50"};
    StartAddLigneNiveauTool(-1);
    EXPECT_EQ(frame->GetCreationPalette()->GetCoordinateField(2)->GetValue(), "50.0000000");
    EXPECT_FALSE(frame->GetCreationPalette()->GetCoordinateField(2)->IsEnabled());
    Press(LumPoint(0, 0, 0), 1);
    EXPECT_EQ(gCurrentLigneNiveau, -1);
    EXPECT_EQ(bas->GetNumberOfLignesNiveau(), 0);
    ASSERT_EQ(ui->boxes.size(), 1u);
    Key(27);
    EXPECT_TRUE(frame->GetCreationPalette()->GetCoordinateField(2)->IsEnabled());

    const auto saved = [this]
    {
        bas->Triangulate();
        EXPECT_TRUE(gProjet.Save());
        std::ifstream in(projectPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = saved();
    ui->texts = {"4"};
    StartAddLigneNiveauTool(-1);
    Press(LumPoint(-20, 0, 0), 1);
    Press(LumPoint(20, 0, 0), 1);
    ASSERT_EQ(gCurrentLigneNiveau, 0);
    std::vector<KorVertex*> line = bas->GetLigneNiveau(0)->GetVertices(*bas);
    ASSERT_EQ(line.size(), 2u);
    EXPECT_DOUBLE_EQ(line[0]->Z, 4.0);
    EXPECT_LT(line[0]->X, line[1]->X);
    // Both clicks undone, the first one's line with its point: the file is
    // byte for byte the one before.
    EXPECT_EQ(Undos(), 3u);
    gProjet.GetUndoManager().Undo();
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(bas->GetNumberOfLignesNiveau(), 0);
    EXPECT_EQ(saved(), before);
}
} // namespace
