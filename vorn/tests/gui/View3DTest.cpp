// The 3D view as the engineer uses it: what it draws, read back from the
// frame, the context menu of what the right click picks, the point tool,
// the head's placement and the visualisation palette.

#include "View3D.h"
#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "Decor.h"
#include "DecorTools.h"
#include "Dialog3D.h"
#include "DialogResultats.h"
#include "DialogSlider.h"
#include "DialogVisualisation.h"
#include "EventInfo.h"
#include "Excavation.h"
#include "FenetreTunnel.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorMesh.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PopupOVX.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "SectionWindow.h"
#include "TeteTranchee.h"

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <GL/gl.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr int W = 800, H = 600;
std::vector<unsigned char> sPixels;

void RenderAndRead(LumoraDevice* device)
{
    RenderView3D(device);
    sPixels.assign(W * H * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, sPixels.data());
}

bool Same(const LumPoint& a, const LumPoint& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

wxColour Pixel(int x, int y)
{
    const unsigned char* p = &sPixels[((H - 1 - y) * W + x) * 3];
    return wxColour(p[0], p[1], p[2]);
}

// A flat layer at altitude z over the square (-100..100)², in a colour.
Couche* AddFlat(const std::string& name, int index, double z, int r = 0, int g = 0, int b = 0)
{
    Couche* couche = AddSquareLayer(name, index, z);
    couche->R = r;
    couche->G = g;
    couche->B = b;
    // As entering the 3D view leaves it: the fronts' altitudes triangulate.
    couche->Triangulate();
    return couche;
}

// One 3D frame at 800 x 600 pixels, the orthographic top view centred on
// the origin at one scene unit per pixel: scene (x, y) is pixel
// (400 + x, 300 - y), so pixel column 449 is centred on x 49.5.
TEST(View3DRenderTest, LayersClippedAtTheZoneWidenedPerLayerAxisUnclipped)
{
    gProjet.Reset();
    auto* frame = new wxFrame(nullptr, wxID_ANY, "3d", wxPoint(0, 0), wxDefaultSize);
    frame->SetClientSize(W, H);
    auto* canvas = new GL_Window(frame, wxID_ANY, wxPoint(0, 0), wxSize(W, H));
    LumCamera* camera = canvas->getDevice()->GetCamera();
    camera->ChangeCameraMode(3);
    camera->SetPosition(0, 0, 0);
    camera->SetDistance(H);
    canvas->getDevice()->SetDrawCallback(RenderAndRead);
    // Lit as the visualisation mode is: the layers' faces come out shaded.
    canvas->getDevice()->EnableLighting(true);
    frame->Show();
    GuiTest::WaitFor([canvas] { return canvas->IsShownOnScreen(); });
    GuiTest::Pump(50);

    gProjet.m3DAffichageTete = false;
    gProjet.Limite1 = LumPoint(-50, 50, 0);
    gProjet.Limite2 = LumPoint(50, -50, 0);
    gProjet.NiveauBas = -12.0;
    gProjet.NiveauHaut = 1.0;
    AddFlat("Rouge", 0, 0.0, 255, 0, 0);
    AddFlat("Bleu", 1, -10.0, 0, 0, 255);
    gProjet.GetAxe().Type = 1;
    gProjet.GetAxe().ReplacePolyline({LumPoint(-90, 80, 0), LumPoint(90, 80, 0)});
    ASSERT_TRUE(canvas->RenderFrame());
    const wxColour red(255, 0, 0), white(255, 255, 255);
    // The one channel that stands out, whatever the shading.
    auto hue = [](const wxColour& c)
    {
        if (c.Red() > 100 && c.Green() < 60 && c.Blue() < 60)
            return 'r';
        if (c.Blue() > 100 && c.Red() < 60 && c.Green() < 60)
            return 'b';
        return c == wxColour(255, 255, 255) ? 'w' : '?';
    };
    // Row 299 is centred on y 0.5.
    EXPECT_EQ(hue(Pixel(449, 299)), 'r');
    EXPECT_EQ(hue(Pixel(450, 299)), 'b');
    EXPECT_EQ(hue(Pixel(451, 299)), 'w');
    EXPECT_EQ(hue(Pixel(400, 299 - 49)), 'r');
    EXPECT_EQ(hue(Pixel(400, 299 - 51)), 'w');
    // The dashed axis at y 80, 30 units beyond the zone.
    int axis = 0;
    auto grey = [](const wxColour& c)
    { return c.Red() == c.Green() && c.Green() == c.Blue() && c.Red() < 200; };
    for (int x = 320; x < 480; ++x)
        axis += grey(Pixel(x, 220)) || grey(Pixel(x, 219));
    EXPECT_GT(axis, 40);

    // No layer: no zone floor, nothing where the layers were.
    gProjet.DeleteCouche(1, 0);
    gProjet.DeleteCouche(0, -1);
    ASSERT_EQ(gProjet.GetNumberOfCouches(), 0);
    ASSERT_TRUE(canvas->RenderFrame());
    EXPECT_EQ(Pixel(400, 299), white);
    EXPECT_EQ(Pixel(450, 299), white);

    // An open section's name over its marker, whatever the switches.
    struct Section : SectionWindow
    {
        bool IsShown() const override { return false; }
        void Update() override {}
        bool GetSectionLine(LumPoint& a, LumPoint& b) const override
        {
            a = LumPoint(-90, -80, 0);
            b = LumPoint(-50, -80, 0);
            return true;
        }
        std::string GetSectionName() const override { return "COUPE"; }
    } section;
    gProjet.AddWindow(&section);
    gProjet.m3DTriangles = gProjet.m3DAxe = gProjet.m3DSondages = false;
    ASSERT_TRUE(canvas->RenderFrame());
    gProjet.RemoveWindow(&section);
    int text = 0;
    for (int x = 330; x < 380; ++x)
        for (int y = 360; y < 381; ++y)
            text += Pixel(x, y) == red;
    EXPECT_GT(text, 10);

    frame->Destroy();
    GuiTest::Pump(20);
    gProjet.GetUndoManager().Clear();
    gProjet.Reset();
}

// A menu shown by choosing the line of that label, as the user's click
// would (the toolkit ticks or unticks a check line first).
std::string sChosen;
std::vector<std::string> sLabels;
std::vector<bool> sEnabled;
std::vector<std::pair<std::string, bool>> sSubLines;
void ChooseLabel(wxWindow* window, PopupOVX* menu, int, int)
{
    sLabels.clear();
    sEnabled.clear();
    sSubLines.clear();
    for (wxMenuItem* item : menu->GetMenuItems())
    {
        sLabels.push_back(item->IsSeparator() ? "" : item->GetItemLabelText().ToStdString(wxConvUTF8));
        sEnabled.push_back(item->IsEnabled());
        if (item->IsSubMenu())
            for (wxMenuItem* line : item->GetSubMenu()->GetMenuItems())
                sSubLines.emplace_back(line->GetItemLabelText().ToStdString(wxConvUTF8), line->IsChecked());
    }
    if (sChosen.empty())
        return;
    const int id = menu->FindItem(wxString::FromUTF8(sChosen));
    ASSERT_NE(id, wxNOT_FOUND) << sChosen;
    wxMenuItem* item = menu->FindItem(id);
    if (item->IsCheckable())
        item->Check(!item->IsChecked());
    menu->SetInvokingWindow(window);
    menu->SendEvent(id);
    menu->SetInvokingWindow(nullptr);
}

// The main frame in the visualisation mode, its camera the top view over
// the origin, 400 units tall; the zone (-50..50)².
class View3DTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame();
        gProjet.Limite1 = LumPoint(-50, 50, 0);
        gProjet.Limite2 = LumPoint(50, -50, 0);
        device = frame->GetMainDevice();
        SetPopupShower(ChooseLabel);
        sChosen.clear();
    }
    void TearDown() override
    {
        CloseProjectFrame();
        SetPopupShower(nullptr);
        gSeriesRunning = false;
    }
    void TwoLayers()
    {
        haut = AddFlat("Haut", 0, 10.0);
        bas = AddFlat("Bas", 1, 0.0);
    }
    void Enter()
    {
        EnterVisualisationMode(false);
        GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); });
        GuiTest::Pump(50);
        gProjet.NiveauBas = -12.0;
        gProjet.NiveauHaut = 11.0;
        LumCamera* camera = device->GetCamera();
        camera->ChangeCameraMode(3);
        camera->SetPosition(0, 0, 0);
        camera->SetDistance(400);
        RefreshDisplay();
        gProjet.GetUndoManager().Clear();
    }
    EventInfo At(const LumPoint& scene) const { return ViewEventAt(frame, scene); }
    void RightClick(const LumPoint& scene) { ClickView(frame, scene, 3); }
    unsigned Steps() const { return gProjet.GetUndoManager().GetCount(); }

    LumoraDevice* device = nullptr;
    Couche* haut = nullptr;
    Couche* bas = nullptr;
};

TEST_F(View3DTest, ExcavationRunsOnlyWithTheHeadShownAndOncePerInvalidation)
{
    TwoLayers();
    Enter();
    gProjet.Set3DAffichageTete(false);
    gProjet.InvalidateResults();
    RefreshDisplay();
    EXPECT_TRUE(gProjet.IsExcavationStale());
    gProjet.Set3DAffichageTete(true);
    RefreshDisplay();
    EXPECT_FALSE(gProjet.IsExcavationStale());
    // A computation empties the results: a second refresh must keep them.
    gResults.Volumes = {7.0, 5.0};
    RefreshDisplay();
    EXPECT_EQ(gResults.Volumes, (std::vector<double>{7.0, 5.0}));
    EXPECT_EQ(frame->GetVisualisationPalette()->GetVolumeLabel()->GetLabel(), "12 m3");
}

// The head under the inclined plane z = (y + 10) / 2, with a flat layer at
// z 1 below it crossing it: the cut of that layer fails.
TEST_F(View3DTest, FailedCutGivesOneMessagePerRefreshNoneDuringASeries)
{
    Couche* plane = gProjet.AddCouche("Terrain", 0);
    Couche* flat = gProjet.AddCouche("Plat", 1);
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 40; ++j)
        {
            const double x = -100.0 + 5.0 * i + 0.37, y = -100.0 + 5.0 * j + 0.61;
            plane->AddPoint(LumPoint(x, y, 0.5 * (y + 10.0)), 1, 0, false, false);
            flat->AddPoint(LumPoint(x, y, 1.0), 1, 0, false, false);
        }
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
    axe.SetHeadPositionAtDistance(200.0);
    Enter();
    gProjet.Set3DAffichageTete(true);
    const std::string caption = "Erreur de calcul";
    for (int refresh = 1; refresh <= 2; ++refresh)
    {
        gProjet.InvalidateResults();
        RefreshDisplay();
        EXPECT_EQ(ui->Count(caption), refresh);
        RefreshDisplay();
        EXPECT_EQ(ui->Count(caption), refresh) << "the results are up to date";
    }
    gSeriesRunning = true;
    gProjet.InvalidateResults();
    RefreshDisplay();
    EXPECT_EQ(ui->Count(caption), 2);
    EXPECT_FALSE(gProjet.IsExcavationStale());

    // A frame drawn by a repaint computes too: its box comes once, right
    // after the paint rather than inside it, and the results window gives
    // the failed position no cost (not 300 x -1 + 10 x -1).
    gSeriesRunning = false;
    gProjet.EquationCout = "300*S+10*V";
    gProjet.InvalidateResults();
    ASSERT_TRUE(device->RenderFrame());
    EXPECT_FALSE(gProjet.IsExcavationStale());
    EXPECT_EQ(ui->Count(caption), 2);
    GuiTest::Pump(20);
    EXPECT_EQ(ui->Count(caption), 3);
    EXPECT_EQ(frame->GetResultsDialog()->GetLabelText(1), "Coût calculé : non calculé");
    EXPECT_EQ(frame->GetResultsDialog()->GetLabelText(2), "Volume excavé : non calculé");
    GuiTest::Pump(20);
    EXPECT_EQ(ui->Count(caption), 3);
}

TEST_F(View3DTest, RightClickMenusOfNothingALayerAndScenery)
{
    TwoLayers();
    // "&" marks a mnemonic in a menu label, never in a name.
    gProjet.AddDiscontinuite("A&B", false, false);
    gProjet.AddDiscontinuite("C", false, false);
    bas->Discontinuites = {"A&B"};
    // A square of scenery flat at z 10, where "Haut" lies.
    const std::string obj = projectPath + ".obj";
    std::ofstream(obj) << "v -20 -20 0\nv 20 -20 0\nv 20 20 0\nv -20 20 0\nf 1 2 3\nf 1 3 4\n";
    ASSERT_TRUE(gProjet.LoadDecor(obj));
    std::remove(obj.c_str());
    Decor* decor = gProjet.GetDecor(0);
    decor->GetMesh().MoveMesh(LumPoint(0, 0, 10.0 - decor->GetCentre().z));
    Enter();

    RightClick(LumPoint(300, 0, 0));
    EXPECT_EQ(sLabels,
              (std::vector<std::string>{"Réinitialiser les opacités", "Afficher tous les côtés de couche",
                                        "Masquer tous les côtés de couche"}));
    RightClick(LumPoint(10, 10, 0));
    EXPECT_EQ(sLabels[0], "Déplacer");
    EXPECT_EQ(sLabels.back(), "Supprimer le décor");
    EXPECT_EQ(gPickedDecor, 0);

    // Beside the scenery: the top layer; at opacity 0, the one below.
    haut->Opacite = 0;
    RightClick(LumPoint(60, 60, 0));
    EXPECT_EQ(gPickedCouche, 1);
    const std::vector<std::string> layerMenu = {"Bas",
                                                "Changer la couleur",
                                                "Changer l'opacité",
                                                "Changer la texture",
                                                "Masquer le côté",
                                                "Discontinuités",
                                                "",
                                                "Editer les points de la couche",
                                                "",
                                                "Exporter la couche au format DXF"};
    EXPECT_EQ(sLabels, layerMenu);
    EXPECT_FALSE(sEnabled[0]);
    EXPECT_EQ(sSubLines, (std::vector<std::pair<std::string, bool>>{{"A&B", true}, {"C", false}}));

    // Ticking a family is one step that undo takes back.
    sChosen = "C";
    RightClick(LumPoint(60, 60, 0));
    EXPECT_EQ(bas->Discontinuites, (std::vector<std::string>{"A&B", "C"}));
    EXPECT_EQ(Steps(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(bas->Discontinuites, std::vector<std::string>{"A&B"});

    // A scenery file the reader refuses adds nothing, and its box says why.
    const std::string relative = projectPath + ".relative.obj";
    std::ofstream(relative) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\n";
    ui->paths.push_back(relative);
    DialogVisualisation::AddDecor();
    std::remove(relative.c_str());
    EXPECT_EQ(gProjet.GetNumberOfDecors(), 1);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Message: Impossible de charger le fichier '" + relative +
                                "' afin de créer un élément de décor\nLigne 4 (« f -3 -2 -1 ») : les indices "
                                "relatifs (négatifs) de sommets ne sont pas lus.");
}

TEST_F(View3DTest, OpacityDialogCancelPutsBackOkRecordsTheOpacityFromBefore)
{
    TwoLayers();
    haut->Opacite = 80;
    Enter();
    sChosen = "Changer l'opacité";
    for (const int button : {1, 0})
    {
        int previewed = -1;
        GuiTest::OneShot answer(
            [&]
            {
                auto* dialog = GuiTest::FindShown<DialogSlider>();
                if (!dialog)
                    return;
                for (int value : {30, 55})
                {
                    wxCommandEvent move(wxEVT_SLIDER, 2);
                    move.SetInt(value);
                    dialog->GetSlider()->SetValue(value);
                    dialog->GetEventHandler()->ProcessEvent(move);
                    if (value == 30)
                        previewed = haut->Opacite;
                }
                wxCommandEvent press(wxEVT_BUTTON, button);
                dialog->GetEventHandler()->ProcessEvent(press);
            });
        answer.StartOnce(300);
        RightClick(LumPoint(60, 60, 0));
        EXPECT_EQ(previewed, 30) << button;
        if (button == 1)
        {
            EXPECT_EQ(haut->Opacite, 80);
            EXPECT_EQ(Steps(), 0u);
        }
        else
        {
            EXPECT_EQ(haut->Opacite, 55);
            ASSERT_EQ(Steps(), 1u);
            gProjet.GetUndoManager().Undo();
            EXPECT_EQ(haut->Opacite, 80);
        }
    }
}

TEST_F(View3DTest, FailedExportShowsItsMessage)
{
    TwoLayers();
    Enter();
    const std::string path = "/nonexistent-folder/couche.dxf";
    ui->paths.push_back(path);
    sChosen = "Exporter la couche au format DXF";
    RightClick(LumPoint(60, 60, 0));
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Message: Impossible d'exporter la couche dans le fichier '" + path + "'");
}

TEST_F(View3DTest, AllSidesRecordOneStepAndNothingWithoutLayers)
{
    AddFlat("Seule", 0, 0.0);
    Enter();
    sChosen = "Masquer tous les côtés de couche";
    RightClick(LumPoint(300, 0, 0));
    EXPECT_FALSE(gProjet.GetCouche(0)->FrontAffiche);
    EXPECT_EQ(Steps(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_TRUE(gProjet.GetCouche(0)->FrontAffiche);

    gProjet.DeleteCouche(0, -1);
    gProjet.GetUndoManager().Clear();
    gProjet.GetUndoManager().SetSaved(true);
    for (const char* line : {"Masquer tous les côtés de couche", "Afficher tous les côtés de couche",
                             "Réinitialiser les opacités"})
    {
        sChosen = line;
        RightClick(LumPoint(300, 0, 0));
        EXPECT_EQ(Steps(), 0u) << line;
        EXPECT_FALSE(gProjet.IsModified()) << line;
    }
}

TEST_F(View3DTest, PointToolMovesFreePointsWithinTheNeighbours)
{
    TwoLayers();
    const std::vector<float> line = {50.0f, -50.0f, 60.0f, -50.0f};
    ASSERT_GE(bas->AddLigneNiveau(0.0f, -1, false, &line), 0);
    Enter();
    gPickedCouche = 1;
    OnEditCouchePoints();
    ASSERT_EQ(device->GetCustomEventsManager(), &OnEditCouchePointsEvent);
    auto press = [this](const LumPoint& scene)
    {
        EventInfo e = At(scene);
        e.button = 1;
        e.pressed = true;
        return OnEditCouchePointsEvent(e);
    };
    // A level-line point is selected without gizmo; a free point gets one.
    EXPECT_TRUE(press(LumPoint(50, -50, 0)));
    EXPECT_GE(bas->GetPickedVertex(), 4);
    EXPECT_EQ(device->GetGizmo(), nullptr);
    EXPECT_TRUE(press(LumPoint(100, 100, 0)));
    ASSERT_EQ(bas->GetPickedVertex(), 2);
    ASSERT_NE(device->GetGizmo(), nullptr);
    EXPECT_EQ(device->GetGizmo()->GetMask(), 7);

    auto drop = [this](double z)
    {
        LumGizmo* gizmo = device->GetGizmo();
        gizmo->SetTranslation(LumPoint(0, 0, z));
        gizmo->SetInUse(true);
        gizmo->SetReleased(true);
        EXPECT_TRUE(OnEditCouchePointsEvent(At(LumPoint(0, 0, 0))));
        gizmo->SetInUse(false);
        gizmo->SetReleased(false);
    };
    drop(10.5);
    ASSERT_EQ(ui->boxes.size(), 1u);
    EXPECT_EQ(ui->boxes[0], "Erreur: Impossible de déplacer ce point à cette coordonnée : La couche "
                            "intersecte une couche voisine");
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(2)->Z, 0.0);
    EXPECT_EQ(Steps(), 0u);
    drop(10.0);
    EXPECT_EQ(ui->boxes.size(), 1u);
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(2)->Z, 10.0);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_TRUE(Same(device->GetGizmo()->GetPosition(), LumPoint(100, 100, 10)));

    device->GetCamera()->SetPosition(12, 34, 0);
    EventInfo escape;
    escape.keyCode = 27;
    EXPECT_TRUE(OnEditCouchePointsEvent(escape));
    EXPECT_TRUE(Same(gProjet.CameraPosition, LumPoint(12, 34, 0)));
    EXPECT_EQ(device->GetCustomEventsManager(), &OnView3DEvent);
    EXPECT_EQ(device->GetGizmo(), nullptr);
    EXPECT_EQ(bas->GetPickedVertex(), -1);
}

// A polyline axis along y under "Haut" (z 10), the head's tunnel height
// plus 2.5 m lower: the vault has 2.5 m of cover (Echelle 100: metres are
// scene units).
TEST_F(View3DTest, PlacementFollowsTheAxisAndPlacesTheHeadOnAClick)
{
    TwoLayers();
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    const double z = 10.0 - GetModelUi().GetTete().HauteurTunnel - 2.5;
    axe.ReplacePolyline({LumPoint(0, -300, z), LumPoint(0, 300, z)});
    Enter();
    DialogVisualisation* palette = frame->GetVisualisationPalette();

    struct Run
    {
        bool flip;
        bool close;
    };
    for (const Run run : {Run{false, false}, Run{true, false}, Run{false, true}})
    {
        gProjet.GetUndoManager().SetSaved(true);
        axe.PositionTeteMultiligne = -1.0;
        std::vector<std::string> labels;
        double cameraDistance = 0.0, cameraZ = 0.0;
        GuiTest::OneShot answer(
            [&]
            {
                Dialog3D* dialog = gDialog3D;
                if (!dialog)
                    return;
                LumCamera* camera = dialog->GetDevice()->GetCamera();
                cameraDistance = camera->GetDistance();
                cameraZ = camera->GetPosition().z;
                auto at = [&](double x, double y)
                {
                    double px = 0, py = 0;
                    camera->ProjectToPixel(LumPoint(x, y, 0), px, py);
                    EventInfo e;
                    e.x = int(px + 0.5);
                    e.y = int(py + 0.5);
                    e.source = dialog->GetCanvas();
                    return e;
                };
                EventInfo move = at(30, 40);
                move.moved = true;
                OnTetePlacementEvent(move);
                const LumPoint p = camera->GetPosition(move.x, move.y);
                labels.push_back(dialog->GetPositionLabel()->GetLabel().ToStdString(wxConvUTF8));
                std::ostringstream expected;
                expected << "Position : X=0  Y=" << p.y << "  Z=" << z;
                labels.push_back(expected.str());
                labels.push_back(dialog->GetCoverLabel()->GetLabel().ToStdString(wxConvUTF8));
                move = at(0, 130);
                move.moved = true;
                OnTetePlacementEvent(move);
                labels.push_back(dialog->GetCoverLabel()->GetLabel().ToStdString(wxConvUTF8));
                if (run.close)
                {
                    dialog->Close();
                    return;
                }
                if (run.flip)
                {
                    wxCommandEvent flip(wxEVT_BUTTON, 1);
                    dialog->GetEventHandler()->ProcessEvent(flip);
                }
                EventInfo click = at(0, 20);
                click.button = 1;
                click.pressed = true;
                OnTetePlacementEvent(click);
            });
        answer.StartOnce(500);
        wxCommandEvent place(wxEVT_BUTTON, 15);
        palette->GetEventHandler()->ProcessEvent(place);

        ASSERT_EQ(labels.size(), 4u);
        EXPECT_EQ(cameraDistance, 300.0);
        EXPECT_EQ(cameraZ, 10000.0);
        EXPECT_EQ(labels[0], labels[1]);
        EXPECT_EQ(labels[2], "Hauteur de couverture au-dessus de la voûte : 2.5");
        EXPECT_EQ(labels[3], "Pas de Terrain au-dessus de l'entrée du tunnel");
        EXPECT_EQ(gDialog3D, nullptr);
        EXPECT_EQ(gPlacementDrawer, nullptr);
        if (run.close)
        {
            EXPECT_LT(axe.PositionTeteMultiligne, 0.0);
            EXPECT_FALSE(gProjet.IsModified());
            continue;
        }
        EXPECT_NEAR(axe.PositionTeteMultiligne, 320.0, 1.0);
        EXPECT_EQ(axe.TeteInversee, !run.flip);
        EXPECT_TRUE(gProjet.IsModified());
        EXPECT_EQ(Steps(), 0u);
    }

    // The vault above the ground: no cover.
    axe.ReplacePolyline({LumPoint(0, -300, 20), LumPoint(0, 300, 20)});
    Dialog3D dialog(frame, "Placement de la tête", 3);
    dialog.UpdatePlacementLabels(LumPoint(5, 5, 0));
    EXPECT_EQ(dialog.GetCoverLabel()->GetLabel(),
              wxString::FromUTF8("Hauteur de couverture au-dessus de la voûte : 0"));
}

TEST_F(View3DTest, PaletteStepsTheHeadAndKeepsSwitchesInStep)
{
    TwoLayers();
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -300, 0), LumPoint(0, 300, 0)});
    Enter();
    gProjet.Echelle = 200.0;
    DialogVisualisation* palette = frame->GetVisualisationPalette();
    auto step = [palette](const char* text, int id)
    {
        palette->GetStepField()->ChangeValue(text);
        wxCommandEvent press(wxEVT_BUTTON, id);
        palette->GetEventHandler()->ProcessEvent(press);
    };
    // No head: nothing moves, nothing is recorded.
    step("10", 9);
    EXPECT_LT(axe.PositionTeteMultiligne, 0.0);
    EXPECT_EQ(Steps(), 0u);

    axe.SetHeadPositionAtDistance(300.0);
    struct Case
    {
        bool inverted;
        int id;
        double distance;
    };
    for (const Case& c :
         {Case{false, 9, 305.0}, Case{false, 10, 295.0}, Case{true, 9, 295.0}, Case{true, 10, 305.0}})
    {
        axe.TeteInversee = c.inverted;
        axe.SetHeadPositionAtDistance(300.0);
        step("10", c.id);
        EXPECT_NEAR(axe.GetHeadDistance(), c.distance, 1e-9) << c.inverted << " " << c.id;
    }
    EXPECT_EQ(Steps(), 4u);
    axe.SetHeadPositionAtDistance(300.0);
    for (const char* text : {"abc", "inf", "1e400"})
    {
        step(text, 9);
        EXPECT_NEAR(axe.GetHeadDistance(), 300.0, 1e-9) << text;
    }
    EXPECT_EQ(ui->Count("Erreur"), 3);
    EXPECT_EQ(Steps(), 4u);

    // Menu 46 and box 2 show the one switch.
    wxCommandEvent menu(wxEVT_MENU, 46);
    menu.SetInt(0);
    frame->GetEventHandler()->ProcessEvent(menu);
    EXPECT_FALSE(gProjet.m3DTriangles);
    EXPECT_FALSE(palette->GetSwitch(46)->GetValue());
    wxCommandEvent box(wxEVT_CHECKBOX, 2);
    box.SetInt(1);
    palette->GetEventHandler()->ProcessEvent(box);
    EXPECT_TRUE(gProjet.m3DTriangles);
    EXPECT_TRUE(frame->GetMenuBar()->IsChecked(46));

    for (const auto& [value, text] :
         {std::pair{0.0, "Pas de graduation"}, {0.9e-5, "Pas de graduation"}, {25.0, "Graduation : 25"}})
    {
        palette->SetGraduationLabel(value);
        EXPECT_EQ(palette->GetGraduationLabel()->GetLabel(), text);
    }

    LumCamera* camera = device->GetCamera();
    camera->SetPosition(7, 8, 9);
    wxCommandEvent centre(wxEVT_BUTTON, 1);
    palette->GetEventHandler()->ProcessEvent(centre);
    EXPECT_TRUE(Same(camera->GetTarget(), LumPoint(0, 0, -0.5)));
    EXPECT_TRUE(Same(camera->GetPosition(), LumPoint(7, 8, 9)));
}
} // namespace
