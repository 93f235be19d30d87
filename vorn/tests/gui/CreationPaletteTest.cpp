// The creation palette, the new-layer dialog and the DXF layer import, driven
// on the real frame: clicks and keys through the X server, the modal
// dialogs answered by timers, the boxes by the test.

#include "../DXFTestFiles.h"
#include "Axe.h"
#include "ChampTexte.h"
#include "Couche.h"
#include "CoucheRecorders.h"
#include "Coupe.h"
#include "DialogDXF.h"
#include "DialogDiscontinuite.h"
#include "DialogNouvelleCouche.h"
#include "DialogOutilsCreation.h"
#include "DialogTete.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "LigneNiveau.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "Sondage.h"

#include <algorithm>
#include <wx/bmpbuttn.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/filepicker.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/radiobox.h>
#include <wx/slider.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>
#include <wx/weakref.h>

#include <GL/gl.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{
// Windows of that class still alive, shown or not.
template <class Window> int CountAlive()
{
    int count = 0;
    for (wxWindow* window : wxTopLevelWindows)
        count += dynamic_cast<Window*>(window) != nullptr && !window->IsBeingDeleted();
    return count;
}

// Acts once on the first shown window of that class whose modal loop runs,
// from inside that loop; every action here ends the dialog. The driver then
// watches only the window it acted on, through a weak reference: it stops
// once that window is hidden or gone, and ends it if it is still shown about
// five seconds later, so that a missed step fails instead of hanging. A
// driver never counts nor ends the dialog of a later step, however long a
// loaded machine keeps it open, and never acts on a dialog before its modal
// loop runs (ending it then would leave ShowModal waiting for ever). A
// window that never comes stops it after about five seconds too.
template <class Window> class Driver : public wxTimer
{
public:
    explicit Driver(std::function<void(Window*)> action) : mAction(std::move(action)) { Start(50); }
    void Notify() override
    {
        if (!mDone)
        {
            Window* window = GuiTest::FindShown<Window>();
            if (window && window->IsModal())
            {
                mDone = true;
                mTicks = 0;
                mActedOn = window;
                mAction(window);
            }
            else if (++mTicks > 100)
                Stop();
            return;
        }
        Window* window = mActedOn.get();
        if (!window || !window->IsShown() || window->IsBeingDeleted() ||
            wxTheApp->IsScheduledForDestruction(window))
            Stop();
        else if (++mTicks > 100)
        {
            Stop();
            if (window->IsModal())
                window->EndModal(wxID_CANCEL);
        }
    }
    bool Done() const { return mDone; }

private:
    std::function<void(Window*)> mAction;
    wxWeakRef<Window> mActedOn;
    bool mDone = false;
    int mTicks = 0;
};

void Click(wxWindow* window, int id)
{
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(window);
    window->GetEventHandler()->ProcessEvent(event);
}

std::string Label(wxWindow* window)
{
    return window ? std::string(window->GetLabel().ToUTF8().data()) : "(none)";
}

std::string Value(wxTextCtrl* field)
{
    return field->GetValue().ToUTF8().data();
}

using namespace DXFTest;

// The frame read back after the plan view drew.
std::vector<unsigned char> gPixels;
wxSize gPixelSize;
void RenderAndRead(LumoraDevice* device)
{
    RenderPlanView(device);
    gPixelSize = gFenetreTunnel->GetCanvas()->GetClientSize();
    gPixels.assign(size_t(gPixelSize.x) * gPixelSize.y * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gPixelSize.x, gPixelSize.y, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}
int CountPixels(unsigned char r, unsigned char g, unsigned char b)
{
    int n = 0;
    for (size_t k = 0; k + 2 < gPixels.size(); k += 3)
        n += gPixels[k] == r && gPixels[k + 1] == g && gPixels[k + 2] == b;
    return n;
}

// The main frame beside the palette (they must not overlap for clicks), on
// an empty project at scale 100.
class PaletteTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM));
        OpenProjectFrame(wxPoint(250, 0));
        dxfPath = projectPath + ".dxf";
        ui->otherwise = ModelUi::IdNo;
        EnterCreationMode(false);
        palette = frame->GetCreationPalette();
        GuiTest::WaitFor([this]
                         { return frame->GetCanvas()->IsShownOnScreen() && palette->IsShownOnScreen(); });
        GuiTest::Pump(50);
        LumCamera* camera = frame->GetMainDevice()->GetCamera();
        camera->SetPosition(0, 0, 0);
        camera->SetDistance(400);
        gProjet.GetUndoManager().Clear();
    }
    void TearDown() override
    {
        CloseProjectFrame();
        std::remove(dxfPath.c_str());
    }
    // Square layers over (-100..100)², the first at altitude 10 × (n - 1),
    // each next 10 lower; the last one current.
    void AddLayers(std::initializer_list<const char*> names)
    {
        double z = 10.0 * (names.size() - 1);
        for (const char* name : names)
        {
            AddSquareLayer(name, gProjet.GetNumberOfCouches(), z);
            z -= 10.0;
        }
        gProjet.GetUndoManager().Clear();
    }
    void WriteDXF(const std::string& entities) { std::ofstream(dxfPath) << File(entities); }
    wxWindow* Control(int id) const { return palette->GetControl(id); }
    void ClickControl(int id)
    {
        wxWindow* control = Control(id);
        GuiTest::ClickAt(control, wxPoint(control->GetClientSize().x / 2, control->GetClientSize().y / 2));
    }
    unsigned Steps() const { return gProjet.GetUndoManager().GetPosition(); }
    bool InterfaceEnabled() const
    {
        return frame->GetMenuBar()->IsEnabledTop(0) && frame->GetToolBar()->IsEnabled() && palette->IsShown();
    }

    DialogOutilsCreation* palette = nullptr;
    std::string dxfPath;
};

TEST_F(PaletteTest, EveryControlWithItsLabelAndTooltip)
{
    enum Kind
    {
        Button,
        Bitmap,
        Check,
        Slider,
        Combo,
        Radio,
        Field
    };
    const struct
    {
        int id;
        Kind kind;
        const char* label; // the text beside a field
        const char* tip;
    } controls[] = {
        {1, Button, "Changer le fond de plan", "Changer le fond de plan"},
        {2, Slider, "", "Changer l'opacité du fond de plan"},
        {3, Bitmap, "", "Modifier la taille du fond de plan"},
        {4, Bitmap, "", "Modifier l'échelle"},
        {5, Bitmap, "", "Définir l'origine"},
        {6, Check, "Afficher le Nord    ", ""},
        {7, Combo, "", ""},
        {8, Button, "+", "Ajouter une couche au terrain"},
        {9, Button, "-", "Supprimer la couche active"},
        {10, Bitmap, "", "Ajouter des points"},
        {11, Bitmap, "", "Ajouter des points par carottage"},
        {12, Bitmap, "", "Ajouter des points depuis une coupe"},
        {13, Bitmap, "", "Incliner la couche"},
        {14, Bitmap, "", "Ajouter une ligne de niveau"},
        {15, Check, "Afficher les lignes", ""},
        {16, Check, "Afficher la triangulation", ""},
        {17, Check, "Afficher les points", ""},
        {18, Radio, "Type de définition", ""},
        {19, Bitmap, "", "Définir le centre de l'axe"},
        {20, Field, "Rayon", ""},
        {21, Field, "Orient.", ""},
        {22, Field, "Inclin.", ""},
        {23, Bitmap, "", "Définir les points formant l'axe"},
        {24, Bitmap, "", "Définir l'axe depuis un fichier DXF"},
        {25, Check, "Afficher l'axe ", ""},
        {26, Bitmap, "", "Définir la zone de visualisation"},
        {27, Check, "Afficher la zone", ""},
        {28, Field, "          X ", ""},
        {29, Field, "        Y ", ""},
        {30, Field, "        Z ", ""},
    };
    // The palette's own id is 15, as is the check box's.
    EXPECT_EQ(palette->GetId(), 15);
    EXPECT_EQ(Label(palette), "Terrain");
    for (const auto& c : controls)
    {
        wxWindow* control = Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->GetId(), c.id);
        bool kindOk = false;
        switch (c.kind)
        {
        case Button:
        case Bitmap:
            kindOk = dynamic_cast<wxButton*>(control) != nullptr &&
                     (c.kind == Button) == (dynamic_cast<wxBitmapButton*>(control) == nullptr);
            break;
        case Check:
            kindOk = dynamic_cast<wxCheckBox*>(control) != nullptr;
            break;
        case Slider:
            kindOk = dynamic_cast<wxSlider*>(control) != nullptr;
            break;
        case Combo:
            kindOk = dynamic_cast<wxComboBox*>(control) != nullptr && control->HasFlag(wxCB_READONLY);
            break;
        case Radio:
            kindOk = dynamic_cast<wxRadioBox*>(control) != nullptr;
            break;
        case Field:
            kindOk = dynamic_cast<ChampTexte*>(control) != nullptr && control->HasFlag(wxTE_PROCESS_ENTER) &&
                     control->HasFlag(wxTE_RIGHT);
            break;
        }
        EXPECT_TRUE(kindOk) << c.id;
        const std::string label = c.kind == Field ? Label(palette->GetFieldLabel(c.id))
                                  : c.kind == Button || c.kind == Check || c.kind == Radio ? Label(control)
                                                                                           : "";
        EXPECT_EQ(label, c.label) << c.id;
        EXPECT_EQ(std::string(control->GetToolTipText().ToUTF8().data()), c.tip) << c.id;
    }
    auto* slider = static_cast<wxSlider*>(Control(2));
    EXPECT_EQ(slider->GetMin(), 0);
    EXPECT_EQ(slider->GetMax(), 100);
    auto* radio = static_cast<wxRadioBox*>(Control(18));
    ASSERT_EQ(radio->GetCount(), 2u);
    EXPECT_EQ(radio->GetString(0), "Courbe");
    EXPECT_EQ(radio->GetString(1), "Multiligne");
    EXPECT_EQ(palette->GetCoordinateField(1), Control(29));
}

// The creation-mode switch copies the project into the palette and the
// menu, with the axis type's enabling rule.
TEST_F(PaletteTest, ModeSwitchCopiesTheProject)
{
    AddLayers({"Haut"});
    for (bool on : {true, false})
    {
        gProjet.OpaciteFond = on ? 35 : 80;
        gProjet.AffichageNordCreation = on;
        gProjet.mLignesNiveauAffichees = on;
        gProjet.PointsAffiches = !on;
        gProjet.TriangulationAffichee = on;
        gProjet.AffichageAxeCreation = !on;
        gProjet.ZoneAffichee = on;
        Axe& axe = gProjet.GetAxe();
        axe.Type = on ? 1 : 0;
        axe.Rayon = on ? 12.5 : 300;
        axe.Orientation = on ? 0.1 : -45;
        axe.Inclinaison = on ? -3 : 2.25;
        EnterVisualisationMode(false);
        EnterCreationMode(false);

        EXPECT_EQ(static_cast<wxSlider*>(Control(2))->GetValue(), on ? 35 : 80);
        const std::tuple<int, int, bool> switches[] = {{6, 26, on},  {15, 31, on},  {17, 32, !on},
                                                       {16, 33, on}, {25, 40, !on}, {27, -1, on}};
        for (const auto& [box, item, state] : switches)
        {
            EXPECT_EQ(static_cast<wxCheckBox*>(Control(box))->GetValue(), state) << box;
            if (item > 0)
            {
                EXPECT_EQ(frame->GetMenuBar()->IsChecked(item), state) << item;
            }
        }
        EXPECT_EQ(static_cast<wxRadioBox*>(Control(18))->GetSelection(), on ? 1 : 0);
        EXPECT_EQ(frame->GetMenuBar()->IsChecked(42), !on);
        EXPECT_EQ(frame->GetMenuBar()->IsChecked(43), on);
        const char* texts[3][2] = {{"300", "12.5"}, {"-45", "0.1"}, {"2.25", "-3"}};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Value(static_cast<wxTextCtrl*>(Control(20 + i))), texts[i][on]) << 20 + i;
        for (int id : {19, 20, 21, 22})
            EXPECT_EQ(Control(id)->IsEnabled(), !on) << id;
        for (int id : {23, 24})
            EXPECT_EQ(Control(id)->IsEnabled(), on) << id;
        for (int id : {10, 11, 12, 13, 14, 26})
            EXPECT_TRUE(Control(id)->IsEnabled()) << id;
    }
}

// A layer that is not editable (a mesh file's) leaves only the zone button
// of the layer tools, whether made current by the combo or by the switch;
// the combo's choice is one step.
TEST_F(PaletteTest, NonEditableLayerDisablesItsTools)
{
    AddLayers({"Haut", "Bas"});
    gProjet.GetCouche(1)->Editable = false;
    gProjet.SetCoucheCourante(0);
    for (int id = 10; id <= 14; ++id)
        EXPECT_TRUE(Control(id)->IsEnabled()) << id;

    auto* combo = static_cast<wxComboBox*>(Control(7));
    ASSERT_EQ(combo->GetCount(), 2u);
    combo->SetSelection(1);
    wxCommandEvent choose(wxEVT_COMBOBOX, 7);
    choose.SetInt(1);
    combo->GetEventHandler()->ProcessEvent(choose);
    EXPECT_EQ(gProjet.CoucheCourante, 1);
    EXPECT_EQ(Steps(), 1u);
    for (int pass = 0; pass < 2; ++pass)
    {
        for (int id = 10; id <= 14; ++id)
            EXPECT_FALSE(Control(id)->IsEnabled()) << id;
        EXPECT_TRUE(Control(26)->IsEnabled());
        EnterCreationMode(false);
    }
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.CoucheCourante, 0);
    EXPECT_TRUE(Control(10)->IsEnabled());
}

// "+" clicked on the screen opens the new-layer dialog, which adds the
// layer; the borehole button makes the top layer current in one step and
// installs the borehole tool; Ctrl+Z on the palette undoes.
TEST_F(PaletteTest, ClicksOnThePalette)
{
    AddLayers({"Haut", "Bas"});
    gProjet.SetCoucheCourante(1);
    Driver<DialogNouvelleCouche> fill(
        [](DialogNouvelleCouche* dialog)
        {
            dialog->GetNameField()->SetValue("Nouvelle");
            Click(dialog, 7);
        });
    ClickControl(8);
    ASSERT_TRUE(GuiTest::WaitFor([] { return gProjet.GetNumberOfCouches() == 3; }));
    EXPECT_TRUE(fill.Done());
    EXPECT_EQ(gProjet.GetCouche(2)->Nom, "Nouvelle");
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(static_cast<wxComboBox*>(Control(7))->GetValue(), "Nouvelle");
    GuiTest::Pump(50);
    EXPECT_EQ(GuiTest::FindShown<DialogNouvelleCouche>(), nullptr);

    gProjet.SetCoucheCourante(1);
    ClickControl(11);
    ASSERT_TRUE(GuiTest::WaitFor(
        [this] { return frame->GetMainDevice()->GetCustomEventsManager() == OnSondageToolEvent; }));
    EXPECT_EQ(gProjet.CoucheCourante, 0);
    EXPECT_EQ(Steps(), 2u);
    EndCurrentTool();

    // The focus on the palette (pointer over it, no window manager), then
    // Ctrl+Z: the layer choice is undone.
    const wxSize size = palette->GetClientSize();
    GuiTest::ClickAt(palette, wxPoint(size.x / 2, size.y - 4));
    GuiTest::Pump(100);
    wxUIActionSimulator keys;
    keys.Char('z', wxMOD_CONTROL);
    ASSERT_TRUE(GuiTest::WaitFor([] { return gProjet.CoucheCourante == 1; }));
    EXPECT_EQ(Steps(), 1u);
}

// With no layer the borehole and section buttons are off; their handlers,
// and the frame's command 34, say why.
TEST_F(PaletteTest, BoreholeAndSectionNeedALayer)
{
    EXPECT_FALSE(Control(11)->IsEnabled());
    EXPECT_FALSE(Control(12)->IsEnabled());
    wxCommandEvent event;
    palette->OnAddBorehole(event);
    palette->OnAddPointsFromCoupe(event);
    wxCommandEvent command(wxEVT_MENU, 34);
    frame->GetEventHandler()->ProcessEvent(command);
    EXPECT_EQ(ui->boxes, (std::vector<std::string>{
                             "Erreur: Veuillez créer une couche géologique avant de faire un sondage",
                             "Erreur: Veuillez créer une couche géologique avant de faire une coupe",
                             "Erreur: Veuillez créer une couche géologique avant de faire un sondage"}));
    EXPECT_EQ(Steps(), 0u);
}

// The opacity only marks the project modified; the display switches tick
// their menu items, and the menu's items tick the boxes.
TEST_F(PaletteTest, OpacityAndSwitchesRecordNothing)
{
    gProjet.GetUndoManager().SetSaved(true);
    auto* slider = static_cast<wxSlider*>(Control(2));
    slider->SetValue(30);
    wxCommandEvent moved(wxEVT_SLIDER, 2);
    slider->GetEventHandler()->ProcessEvent(moved);
    EXPECT_EQ(gProjet.OpaciteFond, 30);
    EXPECT_TRUE(gProjet.IsModified());
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 0u);

    wxCommandEvent menu(wxEVT_MENU, 32);
    menu.SetInt(1);
    frame->GetEventHandler()->ProcessEvent(menu);
    EXPECT_TRUE(gProjet.PointsAffiches);
    EXPECT_TRUE(static_cast<wxCheckBox*>(Control(17))->GetValue());
    wxCommandEvent box(wxEVT_CHECKBOX, 17);
    box.SetInt(0);
    Control(17)->GetEventHandler()->ProcessEvent(box);
    EXPECT_FALSE(gProjet.PointsAffiches);
    EXPECT_FALSE(frame->GetMenuBar()->IsChecked(32));
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 0u);
}

// Deleting the top layer while boreholes exist asks, and No keeps it; with
// only sections nothing is asked; a lower layer never asks. "-" and item 28
// alike.
TEST_F(PaletteTest, DeletingLayersAsksOnlyForTheTopWithBoreholes)
{
    AddLayers({"Haut", "Milieu", "Bas"});
    auto* sondage = new Sondage("S1", LumPoint(0, 0, 20), false);
    gProjet.SetSondage(sondage, -1, false, false);
    gProjet.GetUndoManager().Clear();
    const char* question = "Information: En supprimant la couche supérieure, vous allez supprimer tous le "
                           "sondages et coupes.\nVoulez-vous continuer ?";
    for (bool fromMenu : {false, true})
    {
        auto remove = [&]
        {
            if (fromMenu)
            {
                wxCommandEvent event(wxEVT_MENU, 28);
                frame->GetEventHandler()->ProcessEvent(event);
            }
            else
                ClickControl(9);
            GuiTest::Pump(100);
        };
        const int before = gProjet.GetNumberOfCouches();
        ui->boxes.clear();
        ui->answers = {ModelUi::IdNo};
        gProjet.SetCoucheCourante(0);
        remove();
        EXPECT_EQ(ui->boxes, std::vector<std::string>{question}) << fromMenu;
        EXPECT_EQ(gProjet.GetNumberOfCouches(), before);

        ui->boxes.clear();
        gProjet.SetCoucheCourante(before - 1);
        remove();
        EXPECT_TRUE(ui->boxes.empty());
        EXPECT_EQ(gProjet.GetNumberOfCouches(), before - 1);
        EXPECT_EQ(gProjet.CoucheCourante, 0);
    }
    // Only a section: the top layer goes without a question.
    gProjet.DeleteSondage("S1", false);
    gProjet.SetCoupe(new Coupe("C1", LumPoint(-50, 0, 20), LumPoint(50, 0, 20)), -1, false, false);
    ui->boxes.clear();
    gProjet.SetCoucheCourante(0);
    ClickControl(9);
    ASSERT_TRUE(GuiTest::WaitFor([] { return gProjet.GetNumberOfCouches() == 0; }));
    EXPECT_TRUE(ui->boxes.empty());
}

// A real menu selection: the mouse on "&Création", then the keys to
// "Couches" > "Ajouter une couche", opens the new-layer dialog.
TEST_F(PaletteTest, MenuSelectionOpensTheNewLayerDialog)
{
    bool opened = false;
    Driver<DialogNouvelleCouche> cancel(
        [&opened](DialogNouvelleCouche* dialog)
        {
            opened = true;
            Click(dialog, 8);
        });
    wxMenuBar* bar = frame->GetMenuBar();
    // The titles sit side by side from the left; each is its text and two
    // paddings wide.
    int x = 0;
    for (const char* title : {"Fichier", "Edition"})
        x += bar->GetTextExtent(title).x + 18;
    x += bar->GetTextExtent("Création").x / 2 + 9;
    GuiTest::ClickAt(bar, wxPoint(x, bar->GetClientSize().y / 2));
    GuiTest::Pump(300);
    wxUIActionSimulator keys;
    for (int key : {WXK_DOWN, WXK_DOWN, WXK_RIGHT})
    {
        keys.Char(key);
        GuiTest::Pump(150);
    }
    keys.Char(WXK_RETURN);
    ASSERT_TRUE(GuiTest::WaitFor([&] { return opened; }));
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 0);
}

// The new-layer dialog: its list, the method's controls, the damping clamp,
// the refusals that keep it open with its values, and its three ways out
// (clean under the address sanitizer).
TEST_F(PaletteTest, NewLayerDialog)
{
    wxCommandEvent none;
    // Empty project: only the empty entry, selected.
    Driver<DialogNouvelleCouche> look(
        [](DialogNouvelleCouche* dialog)
        {
            wxListBox* list = dialog->GetLevelList();
            EXPECT_EQ(list->GetCount(), 1u);
            EXPECT_EQ(list->GetString(0), "");
            EXPECT_EQ(list->GetSelection(), 0);
            const struct
            {
                int method;
                bool picker, fields;
            } methods[] = {{1, true, false}, {2, false, true}, {0, false, false}};
            for (const auto& m : methods)
            {
                dialog->GetMethodBox()->SetSelection(m.method);
                wxCommandEvent event(wxEVT_RADIOBOX, 3);
                event.SetInt(m.method);
                dialog->GetEventHandler()->ProcessEvent(event);
                EXPECT_EQ(dialog->GetFilePicker()->IsEnabled(), m.picker) << m.method;
                EXPECT_EQ(dialog->GetDepthField()->IsEnabled(), m.fields) << m.method;
                EXPECT_EQ(dialog->GetDampingField()->IsEnabled(), m.fields) << m.method;
            }
            // Escape cancels.
            wxKeyEvent escape(wxEVT_CHAR_HOOK);
            escape.m_keyCode = WXK_ESCAPE;
            dialog->GetEventHandler()->ProcessEvent(escape);
        });
    palette->OnAddCouche(none);
    EXPECT_TRUE(look.Done());
    EXPECT_TRUE(GuiTest::WaitFor([] { return CountAlive<DialogNouvelleCouche>() == 0; }));
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 0);

    // Refused names and values leave it open with what was typed; the
    // window's close then cancels.
    AddLayers({"Haut"});
    Driver<DialogNouvelleCouche> refuse(
        [this](DialogNouvelleCouche* dialog)
        {
            EXPECT_EQ(dialog->GetLevelList()->GetCount(), 2u);
            EXPECT_EQ(dialog->GetLevelList()->GetSelection(), 1);
            const struct
            {
                const char* name;
                const char* depth;
                const char* box;
            } cases[] = {
                {"", "0", "Erreur: Veuillez entrer un nom pour la couche."},
                {"Haut", "0", "Erreur: Une autre couche porte déjà ce nom.\nVeuillez le modifier."},
                {"a|b", "0", "Erreur: Le nom d'une couche ne peut pas contenir le caractère '|'."},
                {"a$b", "0", "Erreur: Le nom d'une couche ne peut pas contenir le caractère '$'."},
                {"Bas", "1e999", "Erreur: Les valeurs saisies doivent être des nombres réels finis"},
                {"Bas", "nan", "Erreur: Les valeurs saisies doivent être des nombres réels finis"},
            };
            for (const auto& c : cases)
            {
                ui->boxes.clear();
                dialog->GetNameField()->SetValue(wxString::FromUTF8(c.name));
                dialog->GetDepthField()->SetValue(c.depth);
                Click(dialog, 7);
                EXPECT_EQ(ui->boxes, std::vector<std::string>{c.box}) << c.name;
                EXPECT_TRUE(dialog->IsShown()) << c.name;
                EXPECT_EQ(Value(dialog->GetNameField()), c.name);
                EXPECT_EQ(Value(dialog->GetDepthField()), c.depth);
            }
            EXPECT_EQ(gProjet.GetNumberOfCouches(), 1);
            dialog->Close();
        });
    palette->OnAddCouche(none);
    EXPECT_TRUE(refuse.Done());
    EXPECT_TRUE(GuiTest::WaitFor([] { return CountAlive<DialogNouvelleCouche>() == 0; }));
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 1);

    // Copies under "Haut" (altitude 0, flat): a damping of 150 is 100 and
    // flattens; -5 is 0 and keeps the relief. Haut is given relief first.
    gProjet.GetCouche(0)->AddPoint(LumPoint(0, 0, 40), 1, 0, false, false);
    const struct
    {
        const char* name;
        const char* damping;
        bool flat;
    } copies[] = {{"Plat", "150", true}, {"Relief", "-5", false}};
    for (const auto& c : copies)
    {
        Driver<DialogNouvelleCouche> copy(
            [&c](DialogNouvelleCouche* dialog)
            {
                dialog->GetNameField()->SetValue(c.name);
                dialog->GetLevelList()->SetSelection(1);
                dialog->GetMethodBox()->SetSelection(2);
                dialog->GetDepthField()->SetValue("100");
                dialog->GetDampingField()->SetValue(c.damping);
                Click(dialog, 7);
            });
        ui->boxes.clear();
        palette->OnAddCouche(none);
        ASSERT_TRUE(copy.Done());
        Couche* made = gProjet.GetCouche(c.name);
        ASSERT_NE(made, nullptr) << c.name << " " << (ui->boxes.empty() ? "" : ui->boxes.back());
        LumPoint high, low;
        made->GetHighestAndLowest(high, low);
        if (c.flat)
            EXPECT_DOUBLE_EQ(high.z, low.z) << c.name;
        else
            EXPECT_NEAR(high.z - low.z, 40.0, 1e-4) << c.name;
        gProjet.DeleteCouche(1, 0);
    }
    EXPECT_TRUE(GuiTest::WaitFor([] { return CountAlive<DialogNouvelleCouche>() == 0; }));
}

// An interactive DXF import from the new-layer dialog: the interface is
// disabled and the plan view previews the lines in red and the loose points
// in blue; Valider fills the layer in one step, whose undo removes it and
// whose redo builds it again without a window.
TEST_F(PaletteTest, DXFImportValidatedUndoneAndRedone)
{
    AddLayers({"Haut"});
    WriteDXF(LwPolyline({{-80, -80, -50}, {-40, -60, -50}, {0, -80, -50}, {40, -60, -50}}) +
             LwPolyline({{-80, 60, -40}, {80, 60, -40}}) + Polyline3D({{0, 0, -60}, {20, 20, -70}}) +
             Point({-80, -80, -45}) + "0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n5\n21\n5\n31\n0\n");
    const std::string path = dxfPath;
    Driver<DialogNouvelleCouche> choose(
        [&path](DialogNouvelleCouche* dialog)
        {
            dialog->GetNameField()->SetValue("Import");
            dialog->GetMethodBox()->SetSelection(1);
            dialog->GetFilePicker()->SetPath(wxString::FromUTF8(path));
            Click(dialog, 7);
        });
    palette->OnAddCouche(*std::make_unique<wxCommandEvent>());
    ASSERT_TRUE(choose.Done());
    ASSERT_NE(gDialogDXF, nullptr);
    EXPECT_TRUE(gDialogDXF->IsShown());
    EXPECT_EQ(Label(gDialogDXF->GetBeforeLabel()), "Avant simplification : 8points");
    EXPECT_EQ(Label(gDialogDXF->GetAfterLabel()), "Après simplification : 8 points");
    // The 3D polyline is not flat: its vertices come in as spot heights. The
    // POINT stands on the first contour's first vertex, which keeps the place.
    EXPECT_EQ(Label(gDialogDXF->GetLooseLabel()), "Points isolés : 2");
    std::string leftOut = Label(gDialogDXF->GetLeftOutLabel());
    std::replace(leftOut.begin(), leftOut.end(), '\n', ' ');
    EXPECT_EQ(leftOut, "Non importés : 1 point à une place déjà prise, 1 LINE");
    EXPECT_FALSE(InterfaceEnabled());
    EXPECT_EQ(frame->GetMainDevice()->GetCustomEventsManager(), OnDXFImportEvent);
    EXPECT_EQ(Steps(), 0u);

    frame->GetMainDevice()->SetDrawCallback(RenderAndRead);
    RefreshDisplay();
    EXPECT_GT(CountPixels(255, 0, 0), 20);
    EXPECT_GT(CountPixels(0, 0, 255), 0);

    gDialogDXF->SetSimplification(100);
    // The zigzag's middle corner turns by 53 degrees and stays.
    EXPECT_EQ(Label(gDialogDXF->GetAfterLabel()), "Après simplification : 7points");
    Click(gDialogDXF, 2);
    GuiTest::Pump(50);
    EXPECT_EQ(gDialogDXF, nullptr);
    EXPECT_EQ(GuiTest::FindShown<DialogDXF>(), nullptr);
    EXPECT_TRUE(InterfaceEnabled());
    EXPECT_EQ(frame->GetMainDevice()->GetCustomEventsManager(), OnPlanViewEvent);
    EXPECT_EQ(Steps(), 1u);
    Couche* made = gProjet.GetCouche("Import");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(gProjet.GetCoucheIndex(made), 1);
    ASSERT_EQ(made->GetNumberOfLignesNiveau(), 2);
    EXPECT_EQ(made->GetLigneNiveau(0)->Points.size(), 3u);
    EXPECT_EQ(made->GetMesh().GetNumberOfVertices(), 7);

    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetCouche("Import"), nullptr);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(gDialogDXF, nullptr);
    EXPECT_EQ(GuiTest::FindShown<DialogDXF>(), nullptr);
    made = gProjet.GetCouche("Import");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetNumberOfLignesNiveau(), 2);
    EXPECT_EQ(made->GetMesh().GetNumberOfVertices(), 7);

    // The file moved since: the redo says so and stays to be done.
    gProjet.GetUndoManager().Undo();
    const std::string moved = dxfPath + ".moved";
    ASSERT_EQ(std::rename(dxfPath.c_str(), moved.c_str()), 0);
    ui->boxes.clear();
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: Impossible de lire le fichier DXF '" + dxfPath + "'."});
    EXPECT_EQ(gProjet.GetCouche("Import"), nullptr);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 0u);
    ASSERT_EQ(std::rename(moved.c_str(), dxfPath.c_str()), 0);
    gProjet.GetUndoManager().Redo();
    EXPECT_NE(gProjet.GetCouche("Import"), nullptr);
    EXPECT_EQ(gProjet.GetUndoManager().GetPosition(), 1u);
}

// Annuler and a close from the window manager both remove the new layer,
// make the former layer current again and give the interface back.
TEST_F(PaletteTest, DXFImportAbandoned)
{
    AddLayers({"Haut", "Bas"});
    // One step to undo: the choice of the top layer.
    RecordCoucheCouranteChange(1, 0);
    gProjet.SetCoucheCourante(0);
    WriteDXF(LwPolyline({{-80, -80, -50}, {40, -60, -50}}));
    for (bool close : {false, true})
    {
        ASSERT_TRUE(gProjet.CreateCouche("Import", 2, 1, true, dxfPath, 0, 0));
        ASSERT_NE(gDialogDXF, nullptr);
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 3);
        EXPECT_FALSE(InterfaceEnabled());
        // The frame's Ctrl+Z does not reach the history meanwhile.
        wxCommandEvent undo(wxEVT_MENU, FenetreTunnel::IdUndo);
        frame->GetEventHandler()->ProcessEvent(undo);
        EXPECT_EQ(Steps(), 1u);
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 3);
        if (close)
            gDialogDXF->Close();
        else
            Click(gDialogDXF, 3);
        GuiTest::Pump(50);
        EXPECT_EQ(gDialogDXF, nullptr) << close;
        EXPECT_EQ(CountAlive<DialogDXF>(), 0) << close;
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 2) << close;
        EXPECT_EQ(gProjet.CoucheCourante, 0) << close;
        EXPECT_TRUE(InterfaceEnabled()) << close;
        EXPECT_EQ(frame->GetMainDevice()->GetCustomEventsManager(), OnPlanViewEvent) << close;
        EXPECT_EQ(Steps(), 1u) << close;
    }
}

// Ctrl+Z and Ctrl+Y typed in the head dialog or the discontinuity editor
// while an import fills its layer change neither the layer list nor the
// history; once the import is abandoned the same keys undo again.
TEST_F(PaletteTest, DXFImportKeepsTheHistoryFromEveryWindow)
{
    AddLayers({"Haut", "Bas"});
    RecordCoucheCouranteChange(1, 0);
    gProjet.SetCoucheCourante(0);
    WriteDXF(LwPolyline({{-80, -80, -50}, {40, -60, -50}}));
    ASSERT_TRUE(gProjet.CreateCouche("Import", 2, 1, true, dxfPath, 0, 0));
    ASSERT_NE(gDialogDXF, nullptr);
    wxUIActionSimulator keys;
    // No window manager: the focus follows the pointer, put over the
    // dialog's corner, away from the import dialog.
    auto pointAt = [&keys](wxWindow* dialog)
    {
        dialog->Show();
        dialog->Raise();
        GuiTest::Pump(100);
        keys.MouseMove(dialog->ClientToScreen(wxPoint(dialog->GetClientSize().x - 3, 3)));
        GuiTest::Pump(100);
    };
    for (wxWindow* dialog : {static_cast<wxWindow*>(frame->GetHeadDialog()),
                             static_cast<wxWindow*>(frame->GetDiscontinuityDialog())})
    {
        pointAt(dialog);
        for (char key : {'z', 'y', 'z'})
        {
            keys.Char(key, wxMOD_CONTROL);
            GuiTest::Pump(100);
        }
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 3);
        EXPECT_NE(gProjet.GetCouche("Import"), nullptr);
        EXPECT_EQ(Steps(), 1u);
    }
    Click(gDialogDXF, 3);
    GuiTest::Pump(50);
    ASSERT_EQ(gDialogDXF, nullptr);
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 2);
    pointAt(frame->GetDiscontinuityDialog());
    keys.Char('z', wxMOD_CONTROL);
    EXPECT_TRUE(GuiTest::WaitFor([] { return gProjet.CoucheCourante == 1; }));
}

// Closing the main window while an import fills its layer, the project
// saved on "Oui": the import is cancelled first and the file holds no
// trace of the layer that was never validated.
TEST_F(PaletteTest, ClosingDuringADXFImportSavesNoImportedLayer)
{
    AddLayers({"Haut", "Bas"});
    gProjet.MarkModified();
    WriteDXF(LwPolyline({{-80, -80, -50}, {40, -60, -50}}));
    ASSERT_TRUE(gProjet.CreateCouche("Import", 2, 1, true, dxfPath, 0, 0));
    ASSERT_NE(gDialogDXF, nullptr);
    ui->answers = {ModelUi::IdYes};
    frame->Close();
    ASSERT_TRUE(GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; }));
    GuiTest::Pump(20);
    EXPECT_EQ(gDialogDXF, nullptr);
    std::stringstream saved;
    saved << std::ifstream(projectPath).rdbuf();
    EXPECT_NE(saved.str().find("<Nom>Bas</Nom>"), std::string::npos);
    EXPECT_EQ(saved.str().find("Import"), std::string::npos);
    // A frame again for the fixture to close.
    SetModelUi(nullptr);
    std::remove(projectPath.c_str());
    OpenProjectFrame();
}

// A polyface-only file makes a mesh layer that is not editable; a file
// unreadable or without points makes no layer and no dialog and says so; a
// point crossing the layer above refuses the import and removes the layer.
TEST_F(PaletteTest, DXFImportOfMeshesAndRefusals)
{
    AddLayers({"Haut", "Bas"});
    WriteDXF(Polyface(-50, 50, -60));
    ASSERT_TRUE(gProjet.CreateCouche("Maillage", 2, 1, true, dxfPath, 0, 0));
    ASSERT_NE(gDialogDXF, nullptr);
    Click(gDialogDXF, 2);
    GuiTest::Pump(50);
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Message: La couche que vous souhaitez importer contient des "
                                       "informations géométriques : elle ne sera pas éditable"});
    Couche* mesh = gProjet.GetCouche("Maillage");
    ASSERT_NE(mesh, nullptr);
    EXPECT_FALSE(mesh->Editable);
    EXPECT_EQ(mesh->GetMesh().GetNumberOfFaces(), 2);
    EXPECT_EQ(gProjet.CoucheCourante, 2);
    for (int id = 10; id <= 14; ++id)
        EXPECT_FALSE(Control(id)->IsEnabled()) << id;
    gProjet.DeleteCouche(2, 0);

    // A file that cannot be read, or whose only entities (a 3DFACE) give
    // no point: a message naming what was left out, and no layer nor dialog.
    WriteDXF("0\n3DFACE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n10\n21\n0\n31\n0\n12\n0\n22\n10\n32\n0\n"
             "13\n0\n23\n10\n33\n0\n");
    const std::pair<std::string, std::string> refusals[] = {
        {dxfPath + ".absent", "Erreur: Impossible de lire le fichier DXF '" + dxfPath + ".absent'."},
        {dxfPath,
         "Erreur: Le fichier DXF '" + dxfPath +
             "' ne contient aucun point utilisable pour l'import.\nNon importés : 1 3DFACE"}};
    for (const auto& [path, box] : refusals)
    {
        ui->boxes.clear();
        EXPECT_FALSE(gProjet.CreateCouche("Rien", 2, 1, true, path, 0, 0));
        EXPECT_EQ(gDialogDXF, nullptr);
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 2);
        EXPECT_EQ(ui->boxes, std::vector<std::string>{box});
        EXPECT_TRUE(InterfaceEnabled());
    }

    // Between Haut (10) and Bas (0), a line at 30.
    ui->boxes.clear();
    WriteDXF(LwPolyline({{-50, -50, 30}, {50, -50, 30}}));
    const unsigned steps = Steps();
    ASSERT_TRUE(gProjet.CreateCouche("Haute", 1, 1, true, dxfPath, 0, 0));
    Click(gDialogDXF, 2);
    GuiTest::Pump(50);
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: Impossible de positionner un point à la coordonnée \n"
                                       "     -50;-50;30 :\nLa couche intersecte une autre : "
                                       "Création de couche annulée"});
    EXPECT_EQ(gProjet.GetCouche("Haute"), nullptr);
    EXPECT_EQ(gProjet.GetNumberOfCouches(), 2);
    EXPECT_EQ(Steps(), steps);
    EXPECT_TRUE(InterfaceEnabled());
}
} // namespace
