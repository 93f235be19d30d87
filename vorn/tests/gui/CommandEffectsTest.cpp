// Commands of the menus, the palette and the plan view as a user runs them on
// the real frame, each checked by what it leaves in the model: the axis type
// and graduation, the arc's typed parameters, the zone tool and the typed
// altitude, the picked point after a tool or a change of layer, and the
// origin of the background plan.

#include "Axe.h"
#include "ChampTexte.h"
#include "Dialog2Coordonnees.h"
#include "DialogOutilsCreation.h"
#include "EventInfo.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjectFrameTest.h"
#include "SceneCoordinates.h"

#include <wx/combobox.h>
#include <wx/menu.h>
#include <wx/radiobox.h>

namespace
{
// The frame beside its palette over a project of two square layers, "Haut"
// at altitude 10 and "Bas" at 0 (current), seen from above.
class CommandEffectsTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame(wxPoint(250, 0));
        ShowSquareLayersFromAbove(haut, bas);
        palette = frame->GetCreationPalette();
        device = frame->GetMainDevice();
    }
    void TearDown() override { CloseProjectFrame(); }

    void Command(int id, int checked = -1) { RunCommand(frame, id, checked); }
    // A palette control's own event.
    void Send(wxEventType type, int id)
    {
        wxCommandEvent event(type, id);
        event.SetEventObject(palette->GetControl(id));
        palette->GetEventHandler()->ProcessEvent(event);
    }
    void Type(int id, const char* text) { static_cast<ChampTexte*>(palette->GetControl(id))->ChangeValue(text); }
    std::string Field(int id) const
    {
        return static_cast<ChampTexte*>(palette->GetControl(id))->GetValue().ToUTF8().data();
    }
    // A left or right click on the canvas where the scene point shows.
    void Press(const LumPoint& scene, int button = 1) { ClickView(frame, scene, button, true); }
    void Key(int code) { PressViewKey(frame, code); }
    unsigned Steps() const { return gProjet.GetUndoManager().GetPosition(); }

    Couche* haut = nullptr;
    Couche* bas = nullptr;
    DialogOutilsCreation* palette = nullptr;
    LumoraDevice* device = nullptr;
};

// 42 and 43 switch the type in one step and tick the item of the type, also
// when the item clicked was the type's own (the toolkit unticked it).
TEST_F(CommandEffectsTest, AxisTypeItemsSetTheTypeAndTheirTicks)
{
    wxMenuBar* bar = frame->GetMenuBar();
    auto* radio = static_cast<wxRadioBox*>(palette->GetControl(DialogOutilsCreation::IdAxeType));
    const struct
    {
        int id, type;
        unsigned steps;
    } clicks[] = {{43, 1, 1}, {43, 1, 1}, {42, 0, 2}, {42, 0, 2}};
    for (const auto& c : clicks)
    {
        bar->Check(c.id, !bar->IsChecked(c.id));
        Command(c.id, bar->IsChecked(c.id));
        EXPECT_EQ(gProjet.GetAxe().Type, c.type) << c.id;
        EXPECT_EQ(bar->IsChecked(42), c.type == 0);
        EXPECT_EQ(bar->IsChecked(43), c.type == 1);
        EXPECT_EQ(radio->GetSelection(), c.type);
        EXPECT_EQ(palette->GetControl(DialogOutilsCreation::IdAxePoints)->IsEnabled(), c.type == 1);
        EXPECT_EQ(Steps(), c.steps);
    }
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.GetAxe().Type, 1);
    EXPECT_TRUE(bar->IsChecked(43));
}

// A polyline of 100 m (scale 100: a metre is a scene unit) graduated every
// 10 m has ten ticks, one step after another from its first point; the
// typed step is drawn at the next refresh, and 0 draws none.
TEST_F(CommandEffectsTest, GraduationTypedIsTheOneDrawn)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(0, 100, 0)});
    gProjet.AffichageAxeCreation = true;
    RefreshDisplay();
    ASSERT_EQ(axe.GetTicks().size(), 20u);
    for (const auto& [typed, points] : {std::pair{"50", 4u}, {"0", 0u}, {"25", 8u}})
    {
        ui->texts = {typed};
        Command(41);
        EXPECT_EQ(axe.GetTicks().size(), points) << typed;
    }
    EXPECT_NEAR(axe.GetTicks()[0].y, 25.0, 1e-9);
}

// What is not a finite number, or a radius of 0 or below, is refused and
// the fields show the stored values again; a value is kept to single
// precision.
TEST_F(CommandEffectsTest, ArcParametersTypedAreChecked)
{
    using D = DialogOutilsCreation;
    const std::string finite = "Erreur: Les valeurs saisies doivent être des nombres réels finis";
    const std::string radius = "Erreur: Le rayon de l'axe doit être un réel > 0";
    const struct
    {
        int id;
        const char* typed;
        std::string box;
    } cases[] = {{D::IdRayon, "1e999", finite},   {D::IdRayon, "1e300", finite}, {D::IdOrientation, "nan", finite},
                 {D::IdInclin, "-inf", finite},   {D::IdRayon, "0", radius},     {D::IdRayon, "abc", radius},
                 {D::IdRayon, "-5", radius},      {D::IdRayon, "1e-50", radius}, {D::IdRayon, "1000.1", ""},
                 {D::IdOrientation, "30", ""}};
    double stored = gProjet.GetAxe().Rayon;
    for (const auto& c : cases)
    {
        ui->boxes.clear();
        Type(c.id, c.typed);
        Send(wxEVT_TEXT_ENTER, c.id);
        EXPECT_EQ(ui->boxes, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box})
            << c.typed;
        if (c.id == D::IdRayon && c.box.empty())
            stored = static_cast<float>(1000.1);
        EXPECT_EQ(gProjet.GetAxe().Rayon, stored) << c.typed;
        EXPECT_TRUE(std::isfinite(gProjet.GetAxe().Orientation) && std::isfinite(gProjet.GetAxe().Inclinaison));
        if (!c.box.empty())
        {
            EXPECT_EQ(Field(c.id), c.id == D::IdRayon ? "1000" : "0") << c.typed;
        }
    }
    EXPECT_EQ(gProjet.GetAxe().Orientation, 30.0);
    EXPECT_EQ(Steps(), 2u);
}

// The zone drawn with the palette's button leaves the altitude typed in Z:
// the points added next go in at that altitude.
TEST_F(CommandEffectsTest, ZoneToolKeepsTheTypedAltitude)
{
    Type(DialogOutilsCreation::IdZ, "25");
    Send(wxEVT_BUTTON, DialogOutilsCreation::IdZone);
    Press(LumPoint(-60, 40, 0));
    Press(LumPoint(60, -40, 0));
    EXPECT_NEAR(gProjet.Limite2.x, 60, 1.0);
    EXPECT_EQ(Field(DialogOutilsCreation::IdZ), "25");
    Command(29);
    Press(LumPoint(20, -30, 0));
    ASSERT_EQ(haut->GetMesh().GetNumberOfVertices(), 5);
    EXPECT_EQ(haut->GetMesh().GetVertex(4)->Z, 25.0);
}

// A point picked in the plan is forgotten by a tool started and left, and
// by a change of layer: after the undo and redo of one, Delete deletes
// nothing.
TEST_F(CommandEffectsTest, PickedPointDoesNotOutliveItsToolOrLayer)
{
    Press(LumPoint(100, 100, 0));
    ASSERT_EQ(bas->GetPickedVertex(), 2);
    Command(29);
    Key(27);
    Key(127);
    EXPECT_EQ(bas->GetMesh().GetNumberOfVertices(), 4);

    static_cast<wxComboBox*>(palette->GetControl(DialogOutilsCreation::IdCouches))->SetSelection(0);
    Send(wxEVT_COMBOBOX, DialogOutilsCreation::IdCouches);
    Press(LumPoint(100, 100, 10));
    ASSERT_EQ(haut->GetPickedVertex(), 2);
    Command(FenetreTunnel::IdUndo);
    Command(FenetreTunnel::IdRedo);
    ASSERT_EQ(gProjet.CoucheCourante, 0);
    Key(127);
    EXPECT_EQ(haut->GetMesh().GetNumberOfVertices(), 4);
    EXPECT_EQ(Steps(), 1u);
}

// "Changer l'origine": a click, then the two coordinates typed in the
// dialog it opens are the world coordinates of the clicked point.
TEST_F(CommandEffectsTest, OriginToolAsksTheCoordinatesOfTheClickedPoint)
{
    std::string title;
    GuiTest::OneShot typeThem(
        [&title]
        {
            auto* dialog = GuiTest::FindShown<Dialog2Coordonnees>();
            if (!dialog)
                return;
            title = dialog->GetTitle().ToUTF8().data();
            static_cast<wxTextCtrl*>(dialog->FindWindow(10))->ChangeValue("1000");
            static_cast<wxTextCtrl*>(dialog->FindWindow(11))->ChangeValue("2000.5");
            wxCommandEvent valider(wxEVT_BUTTON, 0);
            dialog->GetEventHandler()->ProcessEvent(valider);
        });
    Command(25);
    // The point of the layer under a whole pixel: the tool's own.
    double px = 0, py = 0;
    device->GetCamera()->ProjectToPixel(LumPoint(30, -20, 0), px, py);
    const LumPoint clicked = device->GetCamera()->GetPosition(int(px), int(py));
    typeThem.StartOnce(300);
    Press(clicked);
    EXPECT_EQ(title, "Coordonnées du point");
    const LumPoint world = SceneToWorld(gProjet, clicked);
    EXPECT_NEAR(world.x, 1000.0, 1e-3);
    EXPECT_NEAR(world.y, 2000.5, 1e-3);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(device->GetCustomEventsManager(), &OnPlanViewEvent);
}
} // namespace
