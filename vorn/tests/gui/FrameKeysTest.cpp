// The main window's keys wherever the focus is: Ctrl+Z and Ctrl+Y typed in
// a palette or a modeless dialog run the frame's own undo and redo, with its
// refusal while a layer import is pending.

#include "../DXFTestFiles.h"
#include "CoucheRecorders.h"
#include "DialogCourbes.h"
#include "DialogDXF.h"
#include "DialogDiscontinuite.h"
#include "DialogOutilsCreation.h"
#include "DialogResultats.h"
#include "DialogTete.h"
#include "DialogVisualisation.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "OVXUndoManager.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"

#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <fstream>

namespace
{
// The frame beside the palettes over two square layers, a zone the 3D view
// accepts, no undo step.
class FrameKeysTest : public ProjectFrameTest
{
protected:
    void SetUp() override
    {
        gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM));
        OpenProjectFrame(wxPoint(250, 0));
        AddSquareLayer("Haut", 0, 0.0);
        AddSquareLayer("Bas", 1, -10.0);
        gProjet.Limite1 = LumPoint(-90, 90, 0);
        gProjet.Limite2 = LumPoint(90, -90, 0);
        gProjet.SetCoucheCourante(1);
        EnterCreationMode(false);
        GuiTest::WaitFor([this] { return frame->IsShownOnScreen(); });
        gProjet.GetUndoManager().Clear();
    }
    void TearDown() override
    {
        CloseProjectFrame();
        if (!dxfPath.empty())
            std::remove(dxfPath.c_str());
    }
    unsigned Position() const { return gProjet.GetUndoManager().GetPosition(); }

    std::string dxfPath;
};
} // namespace

// As the user meets it: the visualisation mode entered from the toolbar
// (one step), the focus in the "Composition" palette's step field, then
// Ctrl+Z typed on the keyboard goes back to the creation mode.
TEST_F(FrameKeysTest, CtrlZWithTheFocusInTheCompositionPaletteUndoes)
{
    wxCommandEvent enter(wxEVT_MENU, FenetreTunnel::IdModeVisualisation);
    frame->GetEventHandler()->ProcessEvent(enter);
    ASSERT_EQ(gMode, 2);
    ASSERT_EQ(Position(), 1u);
    DialogVisualisation* palette = frame->GetVisualisationPalette();
    ASSERT_TRUE(GuiTest::WaitFor([palette] { return palette->IsShownOnScreen(); }));
    GuiTest::Pump(100);

    wxTextCtrl* step = palette->GetStepField();
    GuiTest::ClickAt(step, wxPoint(step->GetClientSize().x / 2, step->GetClientSize().y / 2));
    ASSERT_TRUE(GuiTest::WaitFor([step] { return wxWindow::FindFocus() == step; }));
    wxUIActionSimulator keys;
    keys.Char('z', wxMOD_CONTROL);
    EXPECT_TRUE(GuiTest::WaitFor([] { return gMode == 1; }));
    EXPECT_EQ(Position(), 0u);
}

// Every palette and modeless dialog carries the frame's two keys; each
// posts the frame's command, so the step is undone and redone whichever
// window had the focus.
TEST_F(FrameKeysTest, EveryPaletteAndDialogUndoesAndRedoes)
{
    RecordCoucheCouranteChange(1, 0);
    gProjet.SetCoucheCourante(0);
    ASSERT_EQ(Position(), 1u);
    const std::pair<const char*, wxWindow*> windows[] = {{"creation", frame->GetCreationPalette()},
                                                         {"visualisation", frame->GetVisualisationPalette()},
                                                         {"discontinuities", frame->GetDiscontinuityDialog()},
                                                         {"head", frame->GetHeadDialog()},
                                                         {"results", frame->GetResultsDialog()},
                                                         {"curves", frame->GetCurvesDialog()}};
    for (const auto& [name, window] : windows)
    {
        ASSERT_TRUE(GuiTest::PressAccelerator(window, 'Z')) << name;
        EXPECT_EQ(Position(), 0u) << name;
        EXPECT_EQ(gProjet.CoucheCourante, 1) << name;
        ASSERT_TRUE(GuiTest::PressAccelerator(window, 'Y')) << name;
        EXPECT_EQ(Position(), 1u) << name;
        EXPECT_EQ(gProjet.CoucheCourante, 0) << name;
        // Only the two keys: nothing else of the window is bound to them.
        EXPECT_FALSE(GuiTest::PressAccelerator(window, 'X')) << name;
    }
}

// While a DXF import fills its new layer, the keys of the palette and of
// the import's own dialog reach the frame, which refuses them.
TEST_F(FrameKeysTest, KeysAreRefusedDuringALayerImport)
{
    dxfPath = projectPath + ".dxf";
    std::ofstream(dxfPath) << DXFTest::File(DXFTest::LwPolyline({{-80, -80, -50}, {40, -60, -50}}));
    RecordCoucheCouranteChange(1, 0);
    gProjet.SetCoucheCourante(0);
    ASSERT_TRUE(gProjet.CreateCouche("Import", 2, 1, true, dxfPath, 0, 0));
    ASSERT_NE(gDialogDXF, nullptr);
    const unsigned before = Position();
    for (wxWindow* window :
         {static_cast<wxWindow*>(frame->GetCreationPalette()), static_cast<wxWindow*>(gDialogDXF)})
    {
        ASSERT_TRUE(GuiTest::PressAccelerator(window, 'Z'));
        EXPECT_EQ(Position(), before);
        EXPECT_EQ(gProjet.GetNumberOfCouches(), 3);
    }
    gDialogDXF->Close();
    GuiTest::Pump(50);
    EXPECT_EQ(gDialogDXF, nullptr);
}
