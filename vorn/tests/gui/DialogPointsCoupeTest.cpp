// Digitising a cross-section: the image panel's clicks, the dialog's
// checks and what "Valider" writes into the layers, and the section tool.

#include "DialogPointsCoupe.h"
#include "Couche.h"
#include "Coupe.h"
#include "CoupeTerrain.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "ImageCoupe.h"
#include "InterfaceModes.h"
#include "KorMesh.h"
#include "KorString.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// The main frame on four flat layers over (-100..100)² at 30, 20, 10, 0
// metres; a 200 x 100 image; the section line from (-50, 0) to (50, 0).
class DialogPointsCoupeTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame();
        image = projectPath + ".png";
        wxImage(200, 100).SaveFile(wxString::FromUTF8(image), wxBITMAP_TYPE_PNG);
        for (int k = 0; k < 4; ++k)
            AddSquareLayer("C" + std::to_string(k), k, 30 - 10 * k);
        gProjet.SetCoucheCourante(0);
        gProjet.GetUndoManager().Clear();
        gImageCoupeClickState = 0;
    }
    void TearDown() override
    {
        CloseProjectFrame();
        std::remove(image.c_str());
    }
    // A dialog on the section line, its panel at 400 x 300.
    std::unique_ptr<DialogPointsCoupe> Open(double z1 = 30, double z2 = 30)
    {
        auto d = std::make_unique<DialogPointsCoupe>(image, LumPoint(-50, 0, z1), LumPoint(50, 0, z2));
        d->GetPanel()->SetSize(400, 300);
        return d;
    }
    static void Click(ImageCoupe* panel, int x, int y, wxEventType type = wxEVT_LEFT_DOWN)
    {
        wxMouseEvent event(type);
        event.SetPosition(wxPoint(x, y));
        event.SetEventObject(panel);
        panel->GetEventHandler()->ProcessEvent(event);
    }
    static void Key(ImageCoupe* panel, int code)
    {
        wxKeyEvent event(wxEVT_KEY_DOWN);
        event.m_keyCode = code;
        panel->GetEventHandler()->ProcessEvent(event);
    }
    static void Press(DialogPointsCoupe& d, int id)
    {
        wxCommandEvent event(wxEVT_BUTTON, id);
        event.SetEventObject(&d);
        d.GetEventHandler()->ProcessEvent(event);
    }
    static void ChooseLayer(DialogPointsCoupe& d, int entry)
    {
        d.GetLayerChoice()->SetSelection(entry);
        wxCommandEvent event(wxEVT_COMBOBOX, 1);
        d.OnLayerSelected(event);
    }
    static int Count(int layer, int type)
    {
        const Couche* couche = gProjet.GetCouche(layer);
        int n = 0;
        for (int id = 0; id < couche->GetNumberOfVertexTypes(); ++id)
            n += couche->GetVertexType(id).Type == type;
        return n;
    }
    // References at image x 0.25 and 0.75, both at mid-height.
    static void PlaceReferences(DialogPointsCoupe& d)
    {
        Press(d, 2);
        Click(d.GetPanel(), 100, 150);
        Click(d.GetPanel(), 300, 150);
    }

    std::string image;
};

TEST_F(DialogPointsCoupeTest, PanelClicksSelectPlaceReferencesAndScale)
{
    auto d = Open(30, 20);
    ImageCoupe* panel = d->GetPanel();
    ASSERT_TRUE(panel->ImageLoaded);
    ChooseLayer(*d, 1);
    Click(panel, 40, 40);
    Click(panel, 42, 38); // within 2 px: selects the same point
    ASSERT_EQ(panel->Lists[1].size(), 1u);
    EXPECT_EQ(panel->SelectedPoint, 0);
    EXPECT_NEAR(panel->Lists[1][0].X, 0.1, 1e-6);
    Press(*d, 2);
    Key(panel, 127); // not in mode 1
    EXPECT_EQ(panel->Lists[1].size(), 1u);

    // Second reference at the first one's x: nothing, back to mode 0.
    Click(panel, 100, 100);
    Click(panel, 100, 200);
    EXPECT_FALSE(panel->ReferencesPlaced);
    EXPECT_EQ(panel->Mode, 0);
    // Second plan point lower but placed higher on the image: refused.
    Press(*d, 2);
    Click(panel, 100, 100);
    Click(panel, 300, 50);
    EXPECT_EQ(ui->boxes.back(),
              "Message: Le deuxième point doit être placé plus bas que le premier pour correspondre "
              "au modèle de terrain");
    EXPECT_EQ(panel->VerticalScale, -1.0);
    EXPECT_EQ(panel->Mode, 1);
    Click(panel, 300, 250); // 10 m over half the image: 20 m for the whole
    EXPECT_TRUE(panel->ReferencesPlaced);
    EXPECT_NEAR(panel->VerticalScale, 20.0, 1e-5);
    EXPECT_EQ(d->GetWidthLabel()->GetLabel(), "200.00"); // 100 m over half the width
    EXPECT_EQ(d->GetHeightLabel()->GetLabel(), "20.00");

    // Scale segments: a typed length that is no scale or whose scale
    // overflows, a segment too short.
    for (const char* typed : {"0", "1e999", "3e38"})
    {
        Press(*d, 3);
        ui->texts.push_back(typed);
        Click(panel, 50, 30);
        Click(panel, 50, 130);
        EXPECT_EQ(ui->boxes.back(),
                  "Erreur: La valeur entrée ne correspond pas à une échelle : ce doit être un réel > 0");
        EXPECT_NEAR(panel->VerticalScale, 20.0, 1e-5);
        EXPECT_EQ(panel->Mode, 0);
    }
    Press(*d, 3);
    const size_t asked = ui->asked.size();
    Click(panel, 50, 30);
    Click(panel, 60, 30);
    EXPECT_EQ(ui->asked.size(), asked);
    Press(*d, 3);
    ui->texts.push_back("5");
    Click(panel, 50, 30);
    Click(panel, 50, 130); // 5 m over a third of the image
    EXPECT_NEAR(panel->VerticalScale, 15.0, 1e-4);
    EXPECT_TRUE(std::isfinite(panel->Ref2.Y));
    EXPECT_EQ(ui->asked.back(), "Échelle verticale | ");

    ChooseLayer(*d, 1);
    panel->SelectedPoint = 0;
    Key(panel, 127);
    EXPECT_TRUE(panel->Lists[1].empty());
}

TEST_F(DialogPointsCoupeTest, ReferencesAtOneHeightKeepTheImageProportions)
{
    auto d = Open(30, 20);
    PlaceReferences(*d); // one image height although the plan points differ by 10 m
    // 100 m over half the image: 200 m wide, 100 m high for a 200 x 100 image.
    EXPECT_NEAR(d->GetPanel()->VerticalScale, 100.0, 1e-3);
}

TEST_F(DialogPointsCoupeTest, ValidateChecksInOrderThenWritesOneStep)
{
    gProjet.GetCouche(2)->Editable = false;
    auto d = Open();
    ASSERT_EQ(d->GetLayerChoice()->GetCount(), 2u); // "" and C1 only
    const char* expected[] = {"Veuillez entrer un nom pour la coupe",
                              "Vous devez placer les points de référence de la coupe",
                              "Vous devez créer au moins 1 point"};
    for (const char* message : expected)
    {
        if (std::string(message).find("placer") != std::string::npos)
            d->GetNameField()->SetValue("S");
        if (std::string(message).find("créer") != std::string::npos)
            PlaceReferences(*d);
        Press(*d, 4);
        EXPECT_EQ(ui->boxes.back(), std::string("Erreur: ") + message);
    }
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);
    ChooseLayer(*d, 1);
    Click(d->GetPanel(), 200, 180); // below the first layer's 30 m
    Click(d->GetPanel(), 250, 190);
    EXPECT_EQ(gProjet.GetNumberOfWindows(), 1); // the hidden terrain section
    Press(*d, 4);
    ASSERT_EQ(gProjet.GetNumberOfCoupes(), 1);
    EXPECT_EQ(Count(1, 4), 2);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 1u);
    d.reset();
    EXPECT_EQ(gProjet.GetNumberOfWindows(), 0);
    // A second section of the same name: that refusal alone.
    auto same = Open();
    same->GetNameField()->SetValue("S");
    PlaceReferences(*same);
    ChooseLayer(*same, 1);
    Click(same->GetPanel(), 200, 180);
    const size_t boxes = ui->boxes.size();
    Press(*same, 4);
    ASSERT_EQ(ui->boxes.size(), boxes + 1);
    EXPECT_EQ(ui->boxes.back(), "Erreur: Une autre coupe porte déjà ce nom");
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 1);
    same.reset();
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);
    EXPECT_EQ(Count(1, 4), 0);

    // A fictive section leaves free points only.
    auto f = Open();
    f->GetNameField()->SetValue("F");
    f->GetFictiveBox()->SetValue(true);
    PlaceReferences(*f);
    ChooseLayer(*f, 1);
    Click(f->GetPanel(), 200, 180);
    Press(*f, 4);
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);
    EXPECT_EQ(Count(1, 1), 5);
}

TEST_F(DialogPointsCoupeTest, ModificationKeepsOtherLayersPointsAndTheRelocatedImage)
{
    auto* coupe = new Coupe("S", LumPoint(-50, 0, 30), LumPoint(50, 0, 30));
    coupe->Image = image;
    coupe->Ref1.X = 0.25, coupe->Ref1.Y = 0.5, coupe->Ref2.X = 0.75, coupe->Ref2.Y = 0.5;
    coupe->EchelleVerticale = 20;
    coupe->Couches = {"C1", "C2", ""};
    CoupeCoord c;
    c.X = 0.5, c.Y = 0.7;
    coupe->Coordinates = {{c}, {c}, {}};
    // C1 at 30 - 0.2 * 20 = 26 m, C2 at 26 m: C2 must go below 10 m first.
    coupe->Coordinates[1][0].Y = 1.5;
    ASSERT_TRUE(gProjet.SetCoupe(coupe, -1, true, false));
    gProjet.GetCouche(2)->Editable = false; // no longer offered

    auto* d = new DialogPointsCoupe(image, coupe->Reference1, coupe->Reference2);
    d->FillFromCoupe(gProjet.GetCoupe("S"));
    EXPECT_EQ(d->GetPanel()->Lists[1].size(), 1u);
    // A point of C1 above the top layer: the old section comes back.
    d->GetPanel()->Lists[1].push_back(c);
    d->GetPanel()->Lists[1].back().Y = 0.0;
    Press(*d, 4);
    EXPECT_EQ(ui->boxes.back(),
              "Erreur: Un point ajouté croise une couche voisine : Modification impossible");
    ASSERT_TRUE(gProjet.GetCoupe("S"));
    d->GetPanel()->Lists[1].pop_back();
    Press(*d, 4);
    const Coupe* stored = gProjet.GetCoupe("S");
    ASSERT_TRUE(stored);
    ASSERT_TRUE(const_cast<Coupe*>(stored)->GetCoords("C2"));
    EXPECT_EQ(const_cast<Coupe*>(stored)->GetCoords("C2")->size(), 1u);
    GuiTest::Pump(20);

    // Closing stores a relocated image and marks the project modified.
    gProjet.GetUndoManager().SetSaved(true);
    auto* e = new DialogPointsCoupe(image, stored->Reference1, stored->Reference2);
    e->FillFromCoupe(gProjet.GetCoupe("S"));
    e->GetPanel()->ImagePath = image + ".moved";
    e->Close();
    EXPECT_EQ(gProjet.GetCoupe("S")->Image, image + ".moved");
    EXPECT_TRUE(gProjet.IsModified());
}

// A FIFO, a device or a folder as the section image is a missing image,
// said at once: the toolkit never opens it (a FIFO would block for ever).
// A file once read is not read again at each size.
TEST_F(DialogPointsCoupeTest, ImageThatIsNoFileIsMissingAtOnceAndAFileIsReadOnce)
{
    const std::string fifo = image + ".fifo", folder = image + ".dossier";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    for (const std::string& path : {fifo, std::string("/dev/null"), std::string("/dev/zero"), folder})
    {
        ui->boxes.clear();
        DialogPointsCoupe d(path, LumPoint(-50, 0, 30), LumPoint(50, 0, 30));
        ASSERT_EQ(ui->boxes.size(), 1u) << path;
        EXPECT_EQ(ui->boxes[0], "Erreur: Impossible de trouver l'image '" + GetFileFromPath(path) +
                                    "'\n  Veuillez indiquer son chemin.");
        EXPECT_FALSE(d.GetPanel()->ImageLoaded) << path;
    }
    std::remove(fifo.c_str());
    rmdir(folder.c_str());

    auto d = Open();
    ASSERT_EQ(std::rename(image.c_str(), fifo.c_str()), 0);
    d->GetPanel()->SetSize(300, 200);
    wxSizeEvent size(wxSize(300, 200));
    d->GetPanel()->GetEventHandler()->ProcessEvent(size);
    // The image's black, not the white background of a failed read.
    EXPECT_EQ(GuiTest::PixelAt(GuiTest::Render(*d->GetPanel(), wxSize(300, 200)), 150, 100), *wxBLACK);
    std::rename(fifo.c_str(), image.c_str());
}

TEST_F(DialogPointsCoupeTest, ToolCountsClicksAndOpensTheDialogOnTheSecond)
{
    EnterCreationMode(false);
    GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); });
    LumoraDevice* device = frame->GetMainDevice();
    device->GetCamera()->SetPosition(0, 0, 0);
    device->GetCamera()->SetDistance(400);
    const auto at = [device](double x, double y, int button)
    {
        double px = 0, py = 0;
        device->GetCamera()->ProjectToPixel(LumPoint(x, y, 0), px, py);
        EventInfo e;
        e.x = int(px + 0.5), e.y = int(py + 0.5);
        e.pressed = true;
        e.button = button;
        return e;
    };
    StartCoupeTool();
    EXPECT_TRUE(OnCoupeToolEvent(at(150, 0, 1))); // off the terrain
    EXPECT_EQ(ui->boxes.back(), "Erreur: Il faut créer la coupe sur le terrain naturel");
    EXPECT_EQ(gCoupeToolClicks, 0);
    OnCoupeToolEvent(at(-50, 0, 1));
    EXPECT_EQ(gCoupeToolClicks, 2);
    OnCoupeToolEvent(at(0, 0, 3)); // drops the first point
    EXPECT_EQ(gCoupeToolClicks, 1);
    OnCoupeToolEvent(at(-50, 0, 1));
    EXPECT_EQ(gCoupeToolClicks, 2);

    // The second click asks for the image; the dialog runs modal.
    ui->paths.push_back(image);
    int clicksWhileOpen = -1;
    GuiTest::OneShot shot(
        [&]
        {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* d = dynamic_cast<DialogPointsCoupe*>(w); d && d->IsModal())
                {
                    clicksWhileOpen = gCoupeToolClicks;
                    d->Close();
                }
        });
    shot.StartOnce(100);
    OnCoupeToolEvent(at(50, 0, 1));
    EXPECT_EQ(clicksWhileOpen, 3);
    EXPECT_NE(device->GetCustomEventsManager(), OnCoupeToolEvent);
    EXPECT_EQ(gProjet.GetNumberOfCoupes(), 0);

    // Cancelling the image ends the tool without a dialog; a right click
    // before any point ends it too.
    StartCoupeTool();
    OnCoupeToolEvent(at(-50, 0, 1));
    OnCoupeToolEvent(at(50, 0, 1));
    EXPECT_NE(device->GetCustomEventsManager(), OnCoupeToolEvent);
    StartCoupeTool();
    OnCoupeToolEvent(at(0, 0, 3));
    EXPECT_NE(device->GetCustomEventsManager(), OnCoupeToolEvent);
}
// Two layers rising 0.8 m per metre eastward in place of the flat ones, Haut
// z = 40 + 0.8 x and Bas 20 below; the section line from (-50, 0) to
// (50, 0) on Haut, its ends 80 m apart in height, 100 m in plan.
// References at image x 0.25 and 0.75, the lower end at y 250 and the
// upper one at y 50 of 300: 80 m over two thirds of the height, a scale of
// 120 m. A point s metres along the cut in plan, Bas at z = -20 + 0.8 s,
// shows at x = 100 + 2 s and y = 250 - 2.5 z = 300 - 2 s: (280, 120) at
// s = 90. The profile is drawn there and a point clicked there is Bas.
TEST_F(DialogPointsCoupeTest, PointClickedOnASlopedProfileLandsOnItsLayer)
{
    while (gProjet.GetNumberOfCouches() > 0)
        gProjet.DeleteCouche(0, 0);
    for (int k = 0; k < 2; ++k)
    {
        Couche* couche = gProjet.AddCouche(k == 0 ? "Haut" : "Bas", k);
        for (const auto& [x, y] : {std::pair{-100, -100}, {100, -100}, {100, 100}, {-100, 100}})
            couche->AddPoint(LumPoint(x, y, 40 - 20 * k + 0.8 * x), 1, 0, false, false);
    }
    auto d = Open(0, 80);
    ImageCoupe* panel = d->GetPanel();
    Press(*d, 2);
    Click(panel, 100, 250);
    Click(panel, 300, 50);
    ASSERT_TRUE(panel->ReferencesPlaced);
    ASSERT_NEAR(panel->VerticalScale, 120.0, 1e-3);
    const wxImage shot = GuiTest::Render(*panel, wxSize(400, 300));
    // Grey over the black image, its edges smoothed.
    int grey = 0;
    for (int x = 279; x <= 281; ++x)
        for (int y = 119; y <= 121; ++y)
            grey += GuiTest::PixelAt(shot, x, y).Red() > 50;
    EXPECT_GT(grey, 0) << "no profile at (280, 120)";

    d->GetNameField()->SetValue("Pente");
    ChooseLayer(*d, 1);
    Click(panel, 280, 120);
    Press(*d, 4);
    ASSERT_EQ(gProjet.GetNumberOfCoupes(), 1) << (ui->boxes.empty() ? "" : ui->boxes.back());
    const Couche* bas = gProjet.GetCouche(1);
    int saved = 0;
    for (int id = 0; id < bas->GetNumberOfVertexTypes(); ++id)
        if (bas->GetVertexType(id).Type == 4)
        {
            const KorVertex* v = const_cast<Couche*>(bas)->GetMesh().GetVertex(id);
            ASSERT_NE(v, nullptr);
            EXPECT_NEAR(v->X, 40.0, 0.3);
            EXPECT_NEAR(v->Z, 20.0 + 0.8 * v->X, 0.05);
            ++saved;
        }
    EXPECT_EQ(saved, 1);
}
} // namespace
