// The discontinuity editor and the layer move and tilt tool in the real
// frame: what the user's clicks and edits leave in the model and its undo
// history, and what the cube preview shows.

#include "ChampTexte.h"
#include "Couche.h"
#include "CoucheMove.h"
#include "DialogDiscontinuite.h"
#include "Discontinuite.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "MoveCoucheTool.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "View3D.h"

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filename.h>
#include <wx/stattext.h>
#include <wx/toolbar.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace
{
// The frame on a project of two layers over (-100..100)²: "Haut" at
// altitude 10 and "Bas" at 0, "Bas" current, the editor shown.
class EditorTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        OpenProjectFrame();
        haut = AddSquareLayer("Haut", 0, 10);
        bas = AddSquareLayer("Bas", 1, 0);
        gProjet.Limite1 = LumPoint(-100, 100, 0);
        gProjet.Limite2 = LumPoint(100, -100, 0);
        gProjet.SetCoucheCourante(1);
        EnterCreationMode(false);
        GuiTest::WaitFor([this] { return frame->GetCanvas()->IsShownOnScreen(); });
        dialog = frame->GetDiscontinuityDialog();
        dialog->Show();
        GuiTest::WaitFor([this] { return dialog->GetPreview()->IsShownOnScreen(); });
        GuiTest::Pump(50);
        device = frame->GetMainDevice();
        gProjet.GetUndoManager().Clear();
    }
    void TearDown() override { CloseProjectFrame(); }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (unsigned i = 0; i < dialog->GetFamilyBox()->GetCount(); ++i)
            names.push_back(dialog->GetFamilyBox()->GetString(i).ToUTF8().data());
        return names;
    }
    std::string Selected() const { return dialog->GetFamilyBox()->GetValue().ToUTF8().data(); }
    std::string Field(int i) const { return dialog->GetField(i)->GetValue().ToUTF8().data(); }
    std::string Label() const { return dialog->GetCubeLabel()->GetLabel().ToUTF8().data(); }
    void Type(int i, const std::string& text)
    {
        dialog->GetField(i)->ChangeValue(wxString::FromUTF8(text));
        dialog->ApplyFields();
    }
    unsigned Steps() const { return gProjet.GetUndoManager().GetCount(); }
    static EventInfo Motion()
    {
        EventInfo e;
        e.moved = true;
        e.dragged = true;
        e.button = 1;
        return e;
    }
    static EventInfo Key(int code)
    {
        EventInfo e;
        e.keyCode = code;
        return e;
    }
    static EventInfo RightClick()
    {
        EventInfo e;
        e.button = 3;
        e.pressed = true;
        return e;
    }
    std::string LayerXml(Couche* couche)
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        XMLNode node = top.addChild("Couche");
        couche->ToXML(node);
        const std::string path = projectPath + ".couche";
        top.writeToFile(path);
        std::ifstream in(path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::remove(path.c_str());
        return text;
    }

    DialogDiscontinuite* dialog = nullptr;
    LumoraDevice* device = nullptr;
    Couche* haut = nullptr;
    Couche* bas = nullptr;
};

// "+" refuses an empty name, a taken one and the two reserved characters,
// each with its message, and records nothing for them; a valid name is
// created as one step, selected, in name order. "-" deletes the family
// shown and takes it from the layers; Undo gives it back to exactly those.
TEST_F(EditorTest, FamiliesAreCreatedRefusedAndDeleted)
{
    EXPECT_EQ(Field(0), "0");
    ui->texts = {"F2", "", "F2", "a|b", "S$1", "A"};
    for (int i = 0; i < 6; ++i)
        dialog->OnAddFamily();
    EXPECT_EQ(ui->boxes, (std::vector<std::string>{
                             "Erreur: Impossible de créer une discontinuité sans nom",
                             "Erreur: Une discontinuité porte déjà ce nom",
                             "Erreur: Le nom d'une discontinuité ne peut pas contenir le caractère '|'.",
                             "Erreur: Le nom d'une discontinuité ne peut pas contenir le caractère '$'.",
                         }));
    EXPECT_EQ(Steps(), 2u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "F2"}));
    EXPECT_EQ(Selected(), "A");

    haut->Discontinuites = {"A", "F2"};
    bas->Discontinuites = {"F2"};
    dialog->SelectFamily("F2");
    dialog->OnDeleteFamily();
    EXPECT_EQ(Entries(), std::vector<std::string>{"A"});
    EXPECT_EQ(haut->Discontinuites, std::vector<std::string>{"A"});
    EXPECT_TRUE(bas->Discontinuites.empty());
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"A", "F2"}));
    EXPECT_EQ(haut->Discontinuites, (std::vector<std::string>{"A", "F2"}));
    EXPECT_EQ(bas->Discontinuites, std::vector<std::string>{"F2"});
}

// The cube's size follows the spacing; an edit within 1e-5 records
// nothing, a larger one records one step that Undo (Ctrl+Z in the editor)
// reverts and Ctrl+Y redoes; a value that is not finite is refused with
// the shared message and the fields show the family again.
TEST_F(EditorTest, FieldsEditTheSelectedFamily)
{
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Field(i), "0");
    Type(0, "30");
    EXPECT_EQ(Steps(), 0u) << "no family: nothing";
    EXPECT_TRUE(ui->boxes.empty());

    Discontinuite* family = gProjet.AddDiscontinuite("F", true, true);
    ASSERT_EQ(Selected(), "F");
    gProjet.GetUndoManager().Clear();
    const struct
    {
        int field;
        std::string text;
        unsigned steps;
        std::string label;
    } edits[] = {
        {2, "2.5", 1, "Dimensions du cube : 25x25x25"},
        {2, "0.04", 2, "Dimensions du cube : 1x1x1"},
        {2, "0.040004", 2, "Dimensions du cube : 1x1x1"},
        {1, "45", 3, "Dimensions du cube : 1x1x1"},
    };
    for (const auto& e : edits)
    {
        Type(e.field, e.text);
        EXPECT_EQ(Steps(), e.steps) << e.text;
        EXPECT_EQ(Label(), e.label) << e.text;
    }
    // The edit within 1e-5 stays typed and goes with the next one.
    EXPECT_NEAR(family->Espace, 0.04, 1e-5);
    EXPECT_DOUBLE_EQ(family->Pendage, 45.0);

    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Z'));
    EXPECT_DOUBLE_EQ(family->Pendage, 0.0);
    EXPECT_EQ(Field(1), "0");
    ASSERT_TRUE(GuiTest::PressAccelerator(dialog, 'Y'));
    EXPECT_DOUBLE_EQ(family->Pendage, 45.0);
    EXPECT_EQ(Field(1), "45");

    Type(3, "1e999");
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: Les valeurs saisies doivent être des nombres réels finis"});
    EXPECT_EQ(Field(3), "0");
    EXPECT_EQ(family->EcartType, 0.0);
    EXPECT_EQ(Steps(), 3u);

    // A spacing whose preview would be infinite is refused the same way; one
    // read from a file shows a finite cube, and a sound value then puts the
    // camera three cube sizes away again.
    LumCamera* camera = dialog->GetPreview()->getDevice()->GetCamera();
    Type(2, "1e308");
    EXPECT_EQ(ui->boxes.size(), 2u);
    EXPECT_EQ(ui->boxes.back(), ui->boxes.front());
    EXPECT_NEAR(family->Espace, 0.04, 1e-5);
    EXPECT_EQ(Steps(), 3u);
    family->SetValues(0.0, 45.0, 1e308, 0.0);
    dialog->UpdateFromFamily();
    EXPECT_EQ(Label().find("inf"), std::string::npos) << Label();
    EXPECT_TRUE(std::isfinite(camera->GetPosition().Norm()));
    Type(2, "2.5");
    EXPECT_EQ(Label(), "Dimensions du cube : 25x25x25");
    EXPECT_NEAR(camera->GetPosition().Norm(), 75.0, 1e-9);
}

// The preview of a family dipping 45 degrees: a yellow cube crossed by
// black trace lines, read back from the preview's own frame.
TEST_F(EditorTest, PreviewShowsTheCubeAndItsTraces)
{
    static std::vector<unsigned char> pixels;
    static int width = 0, height = 0;
    Discontinuite* family = gProjet.AddDiscontinuite("F", false, true);
    family->SetValues(30.0, 45.0, 1.0, 0.0);
    LumoraDevice* preview = dialog->GetPreview()->getDevice();
    preview->SetDrawCallback(
        [](LumoraDevice* d)
        {
            DialogDiscontinuite::RenderCubePreview(d);
            d->GetContainer()->GetDimensions(width, height);
            pixels.assign(static_cast<size_t>(width) * height * 3, 0);
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        });
    dialog->UpdateFromFamily();
    ASSERT_GT(width * height, 0);
    int yellow = 0, black = 0;
    for (size_t i = 0; i + 2 < pixels.size(); i += 3)
    {
        yellow += pixels[i] > 200 && pixels[i + 1] > 200 && pixels[i + 2] < 60;
        black += pixels[i] < 60 && pixels[i + 1] < 60 && pixels[i + 2] < 60;
    }
    EXPECT_GT(yellow, width * height / 10);
    EXPECT_GT(black, 100);
    preview->SetDrawCallback(DialogDiscontinuite::RenderCubePreview);
}

// The reference-point tool: refused in the plan view; in 3D a click records
// nothing, a live drag moves the point without a step, its end records one step from the
// remembered origin, Escape puts the point back, and deleting the family
// ends the tool.
TEST_F(EditorTest, ReferencePointTool)
{
    Discontinuite* family = gProjet.AddDiscontinuite("F", false, true);
    family->Origine = LumPoint(1, 2, 3);
    dialog->OnMoveReferencePoint();
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{
                  "Information: Vous devez être en mode Visualisation pour éditer le plan de référence"});
    EXPECT_FALSE(family->OrigineAffichee);
    EXPECT_EQ(device->GetCustomEventsManager(), OnPlanViewEvent);

    EnterVisualisationMode(false);
    ASSERT_EQ(gMode, 2);
    dialog->OnMoveReferencePoint();
    ASSERT_EQ(device->GetCustomEventsManager(), DialogDiscontinuite::OnReferencePointEvent);
    EXPECT_TRUE(family->OrigineAffichee);
    LumGizmo* gizmo = device->GetGizmo();
    ASSERT_TRUE(gizmo);
    // A click without a drag: no step, the project not modified.
    gProjet.GetUndoManager().SetSaved(true);
    gizmo->SetInUse(true);
    gizmo->SetReleased(true);
    EXPECT_TRUE(DialogDiscontinuite::OnReferencePointEvent(Motion()));
    EXPECT_EQ(Steps(), 0u);
    EXPECT_FALSE(gProjet.IsModified());
    gizmo->SetReleased(false);
    gizmo->SetMoving(true);
    gizmo->SetTranslation(LumPoint(10, 0, 0));
    EXPECT_TRUE(DialogDiscontinuite::OnReferencePointEvent(Motion()));
    EXPECT_EQ(family->Origine.x, 11.0);
    EXPECT_EQ(Steps(), 0u);
    gizmo->SetMoving(false);
    gizmo->SetReleased(true);
    EXPECT_TRUE(DialogDiscontinuite::OnReferencePointEvent(Motion()));
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(family->Origine.x, 11.0);

    gizmo->SetReleased(false);
    gizmo->SetMoving(true);
    gizmo->SetTranslation(LumPoint(10, 5, 0));
    DialogDiscontinuite::OnReferencePointEvent(Motion());
    EXPECT_EQ(family->Origine.y, 7.0);
    EXPECT_TRUE(DialogDiscontinuite::OnReferencePointEvent(Key(27)));
    EXPECT_EQ(family->Origine.x, 11.0);
    EXPECT_EQ(family->Origine.y, 2.0);
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(device->GetCustomEventsManager(), OnView3DEvent);

    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(family->Origine.x, 1.0);

    dialog->OnMoveReferencePoint();
    ASSERT_EQ(device->GetCustomEventsManager(), DialogDiscontinuite::OnReferencePointEvent);
    dialog->OnDeleteFamily();
    EXPECT_EQ(device->GetCustomEventsManager(), OnView3DEvent);
    EXPECT_EQ(device->GetGizmo(), nullptr);
}

// The close box hides the editor and unticks its toolbar tool.
TEST_F(EditorTest, CloseBoxHidesAndUnticks)
{
    frame->GetToolBar()->ToggleTool(FenetreTunnel::IdDiscontinuites, true);
    dialog->Close();
    GuiTest::Pump(20);
    EXPECT_FALSE(dialog->IsShown());
    EXPECT_FALSE(frame->GetToolBar()->GetToolState(FenetreTunnel::IdDiscontinuites));
}

// The tilt tool on "Bas": the gizmo cannot turn past 80 degrees; the drag
// only previews (the layer's XML does not change); Escape drops the move;
// a right click with no change records nothing; a move through "Haut" is
// refused and the tool stays; a valid one is one step, and a move pending
// when another tool starts is applied once.
TEST_F(EditorTest, TiltToolAppliesOnceOrNotAtAll)
{
    bas->Triangulate();
    const std::string original = LayerXml(bas);
    StartMoveCoucheTool();
    ASSERT_EQ(device->GetCustomEventsManager(), OnMoveCoucheToolEvent);
    LumGizmo* gizmo = device->GetGizmo();
    ASSERT_TRUE(gizmo);
    EXPECT_EQ(gizmo->GetMask(), 0x34);
    gizmo->SetInUse(true);
    gizmo->SetMoving(true);
    gizmo->SetRotation(LumPoint(95, -95, 0));
    EXPECT_FALSE(OnMoveCoucheToolEvent(Motion()));
    EXPECT_FLOAT_EQ(gMoveCoucheTiltX, 80.0f);
    EXPECT_FLOAT_EQ(gMoveCoucheTiltY, -80.0f);
    EXPECT_EQ(gizmo->GetRotation().x, 80.0);
    EXPECT_EQ(gizmo->GetRotation().y, -80.0);
    EXPECT_EQ(LayerXml(bas), original);
    EXPECT_TRUE(OnMoveCoucheToolEvent(Key(27)));
    EXPECT_EQ(LayerXml(bas), original);
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(device->GetCustomEventsManager(), OnPlanViewEvent);

    StartMoveCoucheTool();
    EXPECT_TRUE(OnMoveCoucheToolEvent(RightClick()));
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(device->GetCustomEventsManager(), OnPlanViewEvent);

    StartMoveCoucheTool();
    gizmo = device->GetGizmo();
    gizmo->SetInUse(true);
    gizmo->SetMoving(true);
    gizmo->SetTranslation(LumPoint(0, 0, 20));
    OnMoveCoucheToolEvent(Motion());
    EXPECT_FLOAT_EQ(gMoveCoucheDz, 20.0f);
    EXPECT_TRUE(OnMoveCoucheToolEvent(RightClick()));
    EXPECT_EQ(ui->boxes,
              std::vector<std::string>{"Erreur: Certains points intersectent les couches voisines : "
                                       "Déplacement de couche impossible"});
    EXPECT_EQ(device->GetCustomEventsManager(), OnMoveCoucheToolEvent);
    EXPECT_EQ(gOverlayDrawer, DrawMoveCoucheOverlay);
    EXPECT_EQ(LayerXml(bas), original);

    gizmo->SetTranslation(LumPoint(0, 0, -5));
    OnMoveCoucheToolEvent(Motion());
    EXPECT_TRUE(OnMoveCoucheToolEvent(RightClick()));
    EXPECT_EQ(Steps(), 1u);
    EXPECT_NE(LayerXml(bas), original);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(LayerXml(bas), original);
    gProjet.GetUndoManager().Clear();

    // Pending, then another tool starts: applied once.
    StartMoveCoucheTool();
    gizmo = device->GetGizmo();
    gizmo->SetInUse(true);
    gizmo->SetMoving(true);
    gizmo->SetTranslation(LumPoint(0, 0, -3));
    OnMoveCoucheToolEvent(Motion());
    EndCurrentTool();
    EndCurrentTool();
    EXPECT_EQ(Steps(), 1u);
    EXPECT_NEAR(bas->GetCentre().z, -3.0, 1e-5);
}

// The preview's model-view, read back from GL, moves points where the
// applied move puts them.
TEST_F(EditorTest, PreviewMatrixIsTheAppliedTransform)
{
    static double matrix[16];
    gMoveCoucheCentre = LumPoint(10, 20, 30);
    gMoveCoucheDz = 2.0f;
    gMoveCoucheTiltX = 10.0f;
    gMoveCoucheTiltY = -7.0f;
    device->SetDrawCallback(
        [](LumoraDevice*)
        {
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            glLoadIdentity();
            MultMoveCoucheMatrix();
            glGetDoublev(GL_MODELVIEW_MATRIX, matrix);
            glPopMatrix();
        });
    ASSERT_TRUE(device->RenderFrame());
    device->SetDrawCallback(RenderPlanView);
    for (const LumPoint& p : {LumPoint(-100, -100, 0), LumPoint(100, 50, 10), LumPoint(10, 20, 30)})
    {
        const LumPoint expected = MoveCouchePoint(p, gMoveCoucheCentre, 2.0, 10.0, -7.0);
        // Column-major.
        const double x = matrix[0] * p.x + matrix[4] * p.y + matrix[8] * p.z + matrix[12];
        const double y = matrix[1] * p.x + matrix[5] * p.y + matrix[9] * p.z + matrix[13];
        const double z = matrix[2] * p.x + matrix[6] * p.y + matrix[10] * p.z + matrix[14];
        EXPECT_NEAR(x, expected.x, 1e-3);
        EXPECT_NEAR(y, expected.y, 1e-3);
        EXPECT_NEAR(z, expected.z, 1e-3);
    }
}
} // namespace
