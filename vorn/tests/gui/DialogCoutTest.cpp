// The cost-function dialog opened by its menu command: it names the layers,
// refuses to close on an expression that does not evaluate and stores one
// that does.

#include "DialogCout.h"
#include "Couche.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorEquation.h"
#include "KorString.h"
#include "ProjetOVX.h"
#include "ScriptedUi.h"
#include "TeteTranchee.h"

#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace
{
class DialogCoutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gProjet.SetApplicationFolder(GetFolderFromPath(VORN_PROGRAM));
        frame = new FenetreTunnel(nullptr, "Ovalis 1.0.5", wxPoint(50, 50), wxSize(800, 600));
        frame->Show();
        GuiTest::WaitFor([this] { return frame->IsShownOnScreen(); });
        SetModelUi(&ui);
        gProjet.GetUndoManager().SetSaved(true);
        gProjet.Close();
    }
    void TearDown() override
    {
        gProjet.GetUndoManager().SetSaved(true);
        gProjet.Close();
        SetModelUi(nullptr);
        if (gFenetreTunnel)
            frame->Close(true);
        GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; });
        GuiTest::Pump(20);
        SetModelUi(nullptr);
    }

    FenetreTunnel* frame = nullptr;
    ScriptedUi ui;
};

TEST_F(DialogCoutTest, ClosingStoresOnlyAnExpressionThatEvaluates)
{
    gProjet.AddCouche("Marne", 0);
    gProjet.AddCouche("Calcaire", 1);
    gProjet.GetUndoManager().SetSaved(true);
    EXPECT_EQ(DialogCout::GetPicturePath(ui.GetTete()),
              gProjet.GetApplicationFolder() + "/Icons/Variables1.bmp");

    std::vector<std::string> texts;
    std::string typed;
    int closes = 0;
    bool shownAfterRefusal = false;
    GuiTest::OneShot drive(
        [&]
        {
            DialogCout* dialog = nullptr;
            for (wxWindow* window : wxTopLevelWindows)
                if (auto* found = dynamic_cast<DialogCout*>(window); found && found->IsShown())
                    dialog = found;
            if (!dialog)
                return;
            for (wxWindow* child : dialog->GetChildren())
                if (auto* text = dynamic_cast<wxStaticText*>(child))
                    texts.push_back(text->GetLabel().ToUTF8().data());
            typed = dialog->GetExpressionField()->GetValue().ToUTF8().data();
            // A misspelt name: refused, the dialog stays.
            dialog->GetExpressionField()->SetValue("Vv");
            dialog->Close();
            ++closes;
            shownAfterRefusal = dialog->IsShown();
            // H is 0 before any computation: still a sound expression.
            dialog->GetExpressionField()->SetValue("V/H+G1S*2");
            dialog->Close();
            ++closes;
        });
    drive.StartOnce(300);
    wxCommandEvent command(wxEVT_MENU, 36);
    command.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(command);

    EXPECT_EQ(closes, 2);
    EXPECT_EQ(typed, "300*S+10*V");
    EXPECT_TRUE(shownAfterRefusal);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    std::string unknown;
    KorEquation("Vv").Evaluate(&unknown);
    EXPECT_EQ(ui.Boxes[0].Text, unknown);
    EXPECT_EQ(gProjet.EquationCout, "V/H+G1S*2");
    // Nothing records the change: the project is marked modified instead.
    EXPECT_TRUE(gProjet.IsModified());
    const std::vector<std::string> expected = {
        "   Faites suivre les variables de : ", "     [0] pour Marne", "     [1] pour Calcaire",
        "   Par exemple, S[0] est la surface prise par la tête de tranchée sur la couche Marne"};
    EXPECT_EQ(texts, expected);
}

TEST(DialogCoutPicture, FollowsTheHeadType)
{
    const std::string folder = gProjet.GetApplicationFolder();
    gProjet.SetApplicationFolder("/app");
    TeteTranchee head;
    const std::vector<std::tuple<bool, int, std::string>> cases = {{false, 45, "/app/Icons/Variables1.bmp"},
                                                                   {true, 45, "/app/Icons/Variables2.bmp"},
                                                                   {true, 46, "/app/Icons/Variables3.bmp"}};
    for (const auto& [doubleEntree, cote, path] : cases)
    {
        head.DoubleEntree = doubleEntree;
        head.CoteAvance = cote;
        EXPECT_EQ(DialogCout::GetPicturePath(head), path);
    }
    gProjet.SetApplicationFolder(folder);
}
} // namespace
