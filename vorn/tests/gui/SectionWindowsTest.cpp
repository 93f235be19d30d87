// The terrain section window as the user meets it: the exported image is the
// whole drawing, the ratio stays usable, and the picking dialog moves a
// section by two clicks under the section type's constraint.

#include "Axe.h"
#include "Couche.h"
#include "CoupeTerrain.h"
#include "Dialog3DCoupe.h"
#include "EventInfo.h"
#include "FenetreCoupe.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"
#include "ScriptedUi.h"

#include <wx/checkbox.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include <GL/gl.h>

#include <fstream>
#include <unistd.h>

namespace
{
SectionPlane Plane(double x1, double y1, double x2, double y2)
{
    SectionPlane plane;
    plane.First = LumPoint(x1, y1, 0);
    plane.Second = LumPoint(x2, y2, 0);
    return plane;
}

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "vorn_section_" + std::to_string(getpid()) + "_" + name;
}

class SectionWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetModelUi(&ui);
        gProjet.Reset();
        gProjet.Echelle = 100.0;
        // A flat red layer at z 7 over [0, 100]^2: its section is a band
        // from mid-height down.
        Couche* couche = gProjet.AddCouche("rouge", 0);
        for (const auto& [x, y] : {std::pair{0, 0}, {100, 0}, {0, 100}, {100, 100}})
            couche->AddPoint(LumPoint(x, y, 7), 1, 0, false, false);
        couche->R = 200;
        couche->G = 30;
        couche->B = 40;
        coupe = new CoupeTerrain(Plane(10, 50, 90, 50), "Coupe A", false, false);
        coupe->SetPosition(wxPoint(0, 0));
        coupe->Show();
        GuiTest::WaitFor([this] { return coupe->IsShownOnScreen(); });
        GuiTest::Pump(50);
    }
    void TearDown() override
    {
        if (coupe)
            coupe->Destroy();
        GuiTest::Pump(20);
        wxTheApp->ProcessIdle();
        gProjet.Reset();
        SetModelUi(nullptr);
    }

    ScriptedUi ui;
    CoupeTerrain* coupe = nullptr;
};

// With a drawing narrower than its window (X0 > 0) the file holds the
// whole (W + 2 X0) x H drawing, pixel for pixel what DrawSection paints;
// the columns from W on, which a W-wide copy cut off, hold the band's end.
TEST_F(SectionWindowTest, ExportedImageIsTheWholeDrawing)
{
    coupe->KeepRatioBox->SetValue(true);
    coupe->SetSize(700, 500);
    GuiTest::Pump(50);
    const wxSize client = coupe->Drawing->GetClientSize();
    ASSERT_GT(client.x, 200);
    ASSERT_GT(client.y, 120);
    coupe->RatioImage = client.y / (0.6 * client.x);
    int W = 0, H = 0, X0 = 0;
    FenetreCoupe::GetArea(client, coupe->RatioImage, W, H, X0);
    ASSERT_GT(X0, 10);

    const std::string path = TempPath("export.PNG"); // any case: PNG
    ASSERT_TRUE(coupe->Drawing->SaveImage(path));
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    file.read(magic, 4);
    EXPECT_EQ(std::string(magic + 1, 3), "PNG");
    wxImage saved(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
    ASSERT_TRUE(saved.IsOk());
    EXPECT_EQ(saved.GetSize(), wxSize(W + 2 * X0, H));

    // The same drawing painted into a second bitmap.
    wxBitmap second(W + 2 * X0, H, 24);
    {
        wxMemoryDC dc(second);
        coupe->Drawing->DrawSection(dc, client);
    }
    const wxImage drawn = second.ConvertToImage();
    int differing = 0;
    for (int x = 0; x < W + 2 * X0; ++x)
        for (int y = 0; y < H; ++y)
            differing += GuiTest::PixelAt(saved, x, y) != GuiTest::PixelAt(drawn, x, y);
    EXPECT_EQ(differing, 0);
    // The band spans the drawing's full width, from X0 to X0 + W.
    const wxColour red(200, 30, 40);
    const int bandRow = (H / 2 + H - 35) / 2;
    EXPECT_EQ(GuiTest::PixelAt(saved, W + X0 / 2, bandRow), red);
    EXPECT_EQ(GuiTest::PixelAt(saved, X0 + 50, bandRow), red);
    EXPECT_EQ(GuiTest::PixelAt(saved, W + X0 / 2, H / 4), *wxWHITE); // the sky
    std::remove(path.c_str());
}

TEST_F(SectionWindowTest, ExportButtonAsksAFileAndAFailedWriteSaysSo)
{
    const std::string good = TempPath("bouton.bmp");
    const std::string bad = TempPath("absent/dossier.png");
    ui.PathAnswers = {good, bad};
    for (const std::string& path : {good, bad})
    {
        wxCommandEvent click(wxEVT_BUTTON, 4);
        coupe->GetEventHandler()->ProcessEvent(click);
        EXPECT_TRUE(coupe->ExportRequested);
        ASSERT_TRUE(GuiTest::WaitFor([&] { return ui.FileRequests.size() == (path == good ? 1u : 2u); }));
        EXPECT_FALSE(coupe->ExportRequested);
    }
    EXPECT_EQ(ui.FileRequests[0].Title, "Choisissez l'image");
    EXPECT_TRUE(ui.FileRequests[0].Save);
    EXPECT_TRUE(wxFileName::FileExists(wxString::FromUTF8(good)));
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Impossible d'exporter l'image dans le fichier '" + bad + "'");
    EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
    std::remove(good.c_str());
}

// The ratio stays finite and positive whatever is typed or however the
// window is sized; before any size the window's own shape is used.
TEST_F(SectionWindowTest, RatioStaysFiniteAndPositive)
{
    const struct
    {
        const char* typed;
        double ratio;
    } cases[] = {{"-2", 0.5},  {"0", 0.5},    {"abc", 0.5}, {"inf", 0.5},
                 {"nan", 0.5}, {"1e-6", 0.5}, {"4", 0.25}};
    coupe->SetRatioFromText("-2");
    for (const auto& c : cases)
    {
        coupe->SetRatioFromText(c.typed);
        EXPECT_DOUBLE_EQ(coupe->RatioImage, c.ratio) << c.typed;
    }
    coupe->KeepRatioBox->SetValue(false);
    for (const wxSize& size : {wxSize(0, 50), wxSize(80, 0)})
    {
        wxSizeEvent event(size);
        coupe->Drawing->GetEventHandler()->ProcessEvent(event);
        EXPECT_DOUBLE_EQ(coupe->RatioImage, 0.25);
    }
    wxSizeEvent event(wxSize(200, 100));
    coupe->Drawing->GetEventHandler()->ProcessEvent(event);
    EXPECT_DOUBLE_EQ(coupe->RatioImage, 0.5);
    int W = 0, H = 0, X0 = 0;
    FenetreCoupe::GetArea(wxSize(300, 120), -1.0, W, H, X0);
    EXPECT_EQ(wxSize(W, H), wxSize(300, 120));
    EXPECT_EQ(X0, 0);
}

EventInfo Press(int button)
{
    EventInfo event;
    event.button = button;
    event.pressed = true;
    return event;
}

// Picking moves the open section: types 3 and 4 put the second point on
// the line across or along the axis through the axis point nearest to the
// first click, symmetric about it; two clicks in one place create nothing.
TEST_F(SectionWindowTest, PickingConstrainsAndMovesTheSection)
{
    const struct
    {
        int type;
        std::vector<LumPoint> axis;
        LumPoint click1, click2, first, second;
    } cases[] = {
        // Axis towards +Y (angle 0).
        {3, {LumPoint(40, 0, 0), LumPoint(40, 100, 0)}, {30, 60, 0}, {55, 70, 0}, {25, 60, 0}, {55, 60, 0}},
        {4, {LumPoint(40, 0, 0), LumPoint(40, 100, 0)}, {30, 60, 0}, {55, 70, 0}, {40, 50, 0}, {40, 70, 0}},
        // Axis towards +X (angle 90).
        {3, {LumPoint(0, 40, 0), LumPoint(100, 40, 0)}, {60, 30, 0}, {70, 55, 0}, {60, 25, 0}, {60, 55, 0}},
        {4, {LumPoint(0, 40, 0), LumPoint(100, 40, 0)}, {60, 30, 0}, {70, 55, 0}, {50, 40, 0}, {70, 40, 0}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.type);
        gProjet.GetAxe().Type = 1;
        gProjet.GetAxe().ReplacePolyline(c.axis);
        auto* picking = new Dialog3DCoupe(coupe, "Changement de coupe");
        picking->SectionType = c.type;
        picking->HandleEvent(Press(1), c.click1);
        EXPECT_EQ(picking->PickState, 1);
        picking->HandleEvent(Press(1), c.click2);
        GuiTest::Pump(20);
        wxTheApp->ProcessIdle();
        EXPECT_EQ(wxTopLevelWindows.Find(picking), nullptr);
        for (const auto& [got, want] :
             {std::pair{coupe->Plane.First, c.first}, {coupe->Plane.Second, c.second}})
        {
            EXPECT_NEAR(got.x, want.x, 1e-9);
            EXPECT_NEAR(got.y, want.y, 1e-9);
        }
        EXPECT_EQ(coupe->StepField->IsEnabled(), c.type == 3);
        coupe->SetPlane(Plane(10, 50, 90, 50), false, false);
    }

    // Two clicks in one place (free type) leave the picking open.
    Dialog3DCoupe* picking = new Dialog3DCoupe(coupe, "Changement de coupe");
    picking->HandleEvent(Press(1), LumPoint(30, 60, 0));
    picking->HandleEvent(Press(1), LumPoint(30, 60, 0));
    EXPECT_EQ(picking->PickState, 1);
    GuiTest::Pump(20);
    wxTheApp->ProcessIdle();
    EXPECT_NE(wxTopLevelWindows.Find(picking), nullptr);
    EXPECT_NEAR(coupe->Plane.First.x, 10, 1e-9);
    // A right click starts again.
    picking->HandleEvent(Press(3), LumPoint(0, 0, 0));
    EXPECT_EQ(picking->PickState, 0);
    picking->Destroy();
}
} // namespace

namespace
{
// "+" and "-" move a cut across the axis by the typed step (metres) along
// the axis, its first point kept on its side; an inverted head swaps them.
TEST_F(SectionWindowTest, ShiftMovesAcrossCutAlongTheAxis)
{
    gProjet.Echelle = 50.0; // a metre is two scene units
    gProjet.GetAxe().Type = 1;
    gProjet.GetAxe().ReplacePolyline({LumPoint(40, 0, 0), LumPoint(40, 100, 0)});
    coupe->SetPlane(Plane(25, 40, 55, 40), false, true);
    coupe->StepField->ChangeValue("5");
    const struct
    {
        bool inverted;
        double sign;
        double y;
    } steps[] = {{false, 1, 50}, {false, 1, 60}, {false, -1, 50}, {true, 1, 40}, {true, -1, 50}};
    for (const auto& s : steps)
    {
        gProjet.GetAxe().TeteInversee = s.inverted;
        coupe->ShiftAlongAxis(s.sign);
        EXPECT_NEAR(coupe->Plane.First.x, 25, 1e-6);
        EXPECT_NEAR(coupe->Plane.Second.x, 55, 1e-6);
        EXPECT_NEAR(coupe->Plane.First.y, s.y, 1e-6);
        EXPECT_NEAR(coupe->Plane.Second.y, s.y, 1e-6);
        EXPECT_NEAR(coupe->Data.AxisCrossing.y, s.y, 1e-6);
    }
    gProjet.GetAxe().TeteInversee = false;
}
} // namespace

namespace
{
std::vector<unsigned char> gPicked;
int gPickedWidth = 0, gPickedHeight = 0;

void DrawAndRead(LumoraDevice* device)
{
    DrawSectionPicking(device);
    glFinish();
    gPicked.assign(static_cast<size_t>(gPickedWidth) * gPickedHeight * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gPickedWidth, gPickedHeight, GL_RGB, GL_UNSIGNED_BYTE, gPicked.data());
}

// The picked line in orange between its two points, over the terrain.
TEST_F(SectionWindowTest, PickingViewDrawsThePickedLine)
{
    auto* picking = new Dialog3DCoupe(coupe, "Changement de coupe");
    picking->SetPosition(wxPoint(0, 0));
    picking->Show();
    ASSERT_TRUE(GuiTest::WaitFor([&] { return picking->GetCanvas()->IsShownOnScreen(); }));
    GuiTest::Pump(50);
    picking->GetCanvas()->GetDimensions(gPickedWidth, gPickedHeight);
    picking->GetDevice()->SetDrawCallback(DrawAndRead);
    picking->PickState = 1;
    picking->SetFirstPoint(LumPoint(20, 50, 0));
    picking->SetSecondPoint(LumPoint(80, 50, 0));
    picking->RefreshView();
    ASSERT_FALSE(gPicked.empty());
    const LumCamera* camera = picking->GetDevice()->GetCamera();
    auto colourAt = [&](double x, double y)
    {
        double px = 0, py = 0;
        camera->ProjectToPixel(LumPoint(x, y, 0), px, py);
        const int col = static_cast<int>(px), row = gPickedHeight - 1 - static_cast<int>(py);
        const unsigned char* p = &gPicked[(static_cast<size_t>(row) * gPickedWidth + col) * 3];
        return wxColour(p[0], p[1], p[2]);
    };
    const wxColour orange(255, 153, 51);
    EXPECT_EQ(colourAt(50, 50), orange);
    EXPECT_EQ(colourAt(20, 50), orange);
    EXPECT_NE(colourAt(50, 70), orange);
    picking->PickState = 0;
    picking->RefreshView();
    EXPECT_NE(colourAt(50, 50), orange);
    picking->Destroy();
    GuiTest::Pump(20);
}

// Seen aslant, a click lands on the layer's face under the cursor (z 7),
// not on the plane z 0 behind it, some ten units away in plan.
TEST_F(SectionWindowTest, PickingClickLandsOnTheTerrainSeenAslant)
{
    auto* picking = new Dialog3DCoupe(coupe, "Changement de coupe");
    picking->SetPosition(wxPoint(0, 0));
    picking->Show();
    ASSERT_TRUE(GuiTest::WaitFor([&] { return picking->GetCanvas()->IsShownOnScreen(); }));
    GuiTest::Pump(50);
    LumCamera* camera = picking->GetDevice()->GetCamera();
    camera->ChangeCameraMode(1);
    camera->SetPosition(LumPoint(50, -150, 150));
    camera->SetTarget(LumPoint(50, 50, 7));
    picking->RefreshView();
    // Off the two triangles' edges.
    const LumPoint terrain(30, 60, 7);
    double px = 0, py = 0;
    ASSERT_TRUE(camera->ProjectToPixel(terrain, px, py));
    EventInfo click = Press(1);
    click.x = int(px + 0.5);
    click.y = int(py + 0.5);
    click.source = picking->GetCanvas();
    OnSectionPickingEvent(click);
    ASSERT_EQ(picking->PickState, 1);
    EXPECT_NEAR(picking->FirstPoint.x, terrain.x, 1.0);
    EXPECT_NEAR(picking->FirstPoint.y, terrain.y, 1.0);
    EXPECT_NEAR(picking->FirstPoint.z, terrain.z, 0.5);
    picking->Destroy();
    GuiTest::Pump(20);
}
} // namespace

namespace
{
// Without a section to move, the picking creates one, named as typed, even
// when the name dialog was cancelled; open sections follow model edits.
TEST_F(SectionWindowTest, PickingCreatesASectionThatFollowsTheModel)
{
    coupe->Destroy();
    coupe = nullptr;
    GuiTest::Pump(20);
    wxTheApp->ProcessIdle();
    for (const bool cancelled : {false, true})
    {
        ui.TextAnswers.clear();
        if (!cancelled)
            ui.TextAnswers.push_back("Coupe B");
        auto* picking = new Dialog3DCoupe(nullptr, "Sélectionnez l'axe de coupe");
        picking->HandleEvent(Press(1), LumPoint(10, 30, 0));
        picking->HandleEvent(Press(1), LumPoint(90, 30, 0));
        GuiTest::Pump(20);
        wxTheApp->ProcessIdle();
        CoupeTerrain* created = nullptr;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* c = dynamic_cast<CoupeTerrain*>(window))
                created = c;
        ASSERT_NE(created, nullptr);
        EXPECT_EQ(created->Name, cancelled ? "" : "Coupe B");
        EXPECT_TRUE(created->IsShown());
        EXPECT_FALSE(created->StepField->IsEnabled());
        ASSERT_EQ(created->Data.Profiles.size(), 1u);
        EXPECT_NEAR(created->Data.AltitudeMax, 7.0, 1e-9);

        // A layer point raised to 27 at (50, 30): the section follows.
        const int raised = gProjet.GetCouche(0)->AddPoint(LumPoint(50, 30, 27), 1, 0, false, false);
        gProjet.RefreshWindows();
        EXPECT_NEAR(created->Data.AltitudeMax, 27.0, 1e-6);
        created->Close();
        GuiTest::Pump(20);
        wxTheApp->ProcessIdle();
        EXPECT_EQ(wxTopLevelWindows.Find(created), nullptr);
        gProjet.GetCouche(0)->DeletePoint(raised, false);
    }
}
} // namespace
