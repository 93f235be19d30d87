// The results grid and the curves dialog, as shown: the grid holds the
// table's cells, a failed position is absent from the drawn curve, and
// "Aller à cette position" is one undo step.

#include "Axe.h"
#include "CostVariables.h"
#include "DialogCalculs.h"
#include "DialogCourbes.h"
#include "DialogResultats.h"
#include "Excavation.h"
#include "GuiTestHelpers.h"
#include "ImageWindow.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "TeteTranchee.h"
#include "wxCurve.h"
#include "wxSurface.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace
{
class ResultsWindowsTest : public GuiTest::FrameTest
{
protected:
    void SetUp() override
    {
        GuiTest::FrameTest::SetUp();
        gProjet.SetApplicationFolder(VORN_SOURCE_DIR);
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
    }
    void TearDown() override
    {
        GetModelUi().GetTete().DoubleEntree = false;
        gResults.Clear();
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        GuiTest::FrameTest::TearDown();
    }
};

TEST_F(ResultsWindowsTest, ResultsGridShowsEveryLayerInFull)
{
    gProjet.AddCouche("Marne", 0);
    gProjet.AddCouche("a;b", 1);
    const struct
    {
        bool doubleEntree;
        int columns;
        const char* picture;
    } cases[] = {{false, 14, "Variables1.bmp"}, {true, 20, "Variables2.bmp"}};
    for (const auto& c : cases)
    {
        TeteTranchee& head = GetModelUi().GetTete();
        head.DoubleEntree = c.doubleEntree;
        gResults.Volumes = {1234567.0, 10.0};
        gResults.Surfaces.assign(2, std::vector<double>(static_cast<size_t>(c.columns - 1), 2.0));
        gResults.Surfaces[1].back() = 2600123.0;
        gSlopeHeight = 13.5;
        gCostEquation.SetEquation("V+1");
        gCostEquation.ClearVariables();
        gCostEquation.AddVariable("V", SumResults(gResults.Volumes));

        DialogResultats dialog(frame);
        dialog.BuildGrid();
        wxGrid* grid = dialog.GetGrid();
        ASSERT_NE(grid, nullptr);
        ASSERT_EQ(grid->GetNumberRows(), 2);
        ASSERT_EQ(grid->GetNumberCols(), c.columns);
        EXPECT_EQ(grid->GetCellValue(0, 0), "1234567");
        EXPECT_EQ(grid->GetCellValue(1, c.columns - 1), "2600123");
        EXPECT_EQ(grid->GetRowLabelValue(1), "a;b");
        EXPECT_EQ(grid->GetColLabelValue(c.columns - 1), "Surface");
        // Read-only: the export writes the results, so the grid shows them
        // and opens no editor on a cell.
        EXPECT_FALSE(grid->IsEditable());
        grid->SetGridCursor(0, 0);
        grid->EnableCellEditControl();
        EXPECT_FALSE(grid->IsCellEditControlEnabled());
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < c.columns; ++k)
                EXPECT_EQ(std::string(grid->GetCellValue(r, k).ToUTF8()),
                          dialog.GetTable().ShownCell(static_cast<size_t>(r), static_cast<size_t>(k)));
        EXPECT_EQ(dialog.GetLabelText(1), "Coût calculé : 1234578");
        EXPECT_EQ(dialog.GetLabelText(2), "Volume excavé : 1234577");
        EXPECT_EQ(dialog.GetLabelText(3), "Surface totale : 2600125");
        EXPECT_EQ(dialog.GetLabelText(4), "Hauteur totale talus au droit du tunnel : 13,5");
        EXPECT_NE(dialog.GetPicture()->GetImagePath().find(c.picture), std::string::npos);
        // A failed layer leaves the totals and the cost not computed, its
        // cell too; the other layer's stays a number.
        gResults.Volumes[1] = -1.0;
        gResults.Surfaces[0].back() = -1.0;
        dialog.BuildGrid();
        EXPECT_EQ(dialog.GetLabelText(1) + " | " + dialog.GetLabelText(2) + " | " + dialog.GetLabelText(3),
                  "Coût calculé : non calculé | Volume excavé : non calculé | Surface totale : non calculé");
        EXPECT_EQ(dialog.GetGrid()->GetCellValue(1, 0), wxString::FromUTF8("non calculé"));
        EXPECT_EQ(dialog.GetGrid()->GetCellValue(0, 0), "1234567");
        dialog.UpdateSummary();
        EXPECT_EQ(dialog.GetGrid(), nullptr);
        EXPECT_EQ(dialog.GetLabelText(2), "Volume excavé : ");
    }
}

// The number of pixels of the curve's blue (smoothed edges included) in a
// column of the plot as drawn.
int BluePixelsInColumn(wxCurve* curve, int x)
{
    const wxSize size(400, 300);
    const wxImage image = GuiTest::Render(*curve, size);
    int blue = 0;
    for (int y = 0; y < size.y; ++y)
    {
        const wxColour pixel = GuiTest::PixelAt(image, x, y);
        if (pixel.Blue() == 255 && pixel.Red() < 200 && pixel.Green() < 200)
            ++blue;
    }
    return blue;
}

TEST_F(ResultsWindowsTest, CurvesLeaveFailedPositionsOutAndGoBackWithUndo)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
    axe.SetHeadPositionAtDistance(200.0);
    ResultatsOVX& r = gProjet.GetResultats();
    r.Clear();
    r.BuildVariableNames(false, 45, 1);
    r.Axe1 = {-2, -1, 0, 1, 2};
    r.AxeResultats = axe;
    const std::vector<double> s(13, 1.0);
    for (int i = 0; i < 5; ++i)
        if (i == 2)
            r.AddFailedRecord(LumPoint());
        else
            r.AddRecord(LumPoint(0, i - 2.0, 0), {100.0 + i}, {s}, 13.46);
    r.EvaluateCosts("V");

    DialogCourbes dialog(frame);
    dialog.FillVariables();
    EXPECT_EQ(dialog.GetVariableBox()->GetCount(), 17u + 1u);
    EXPECT_EQ(dialog.GetVariableBox()->GetString(17), wxString::FromUTF8("Coûts"));
    dialog.SelectVariable("V");
    auto* curve = dynamic_cast<wxCurve*>(dialog.GetPlot());
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->GetCurveNumber(), 1);
    EXPECT_TRUE(std::isnan(curve->GetCurve(0).values[2]));
    // The middle column holds the curve when every position succeeded, and
    // nothing when the middle one failed.
    const int middle = BluePixelsInColumn(curve, 200);
    dialog.SelectVariable("H");
    auto* whole = dynamic_cast<wxCurve*>(dialog.GetPlot());
    ASSERT_NE(whole, nullptr);
    whole->Clear();
    whole->AddCurve({1, 2, 3, 4, 5}, std::string(), wxColour(0, 0, 255), wxPENSTYLE_SOLID);
    EXPECT_GT(BluePixelsInColumn(whole, 200), 0);
    EXPECT_EQ(middle, 0);

    dialog.SelectVariable("H");
    dialog.Show();
    ASSERT_TRUE(GuiTest::WaitFor([&dialog] { return dialog.IsShownOnScreen(); }));
    dialog.Select(0, 1);
    GuiTest::Pump(100);
    // The details show whole, though their first captions were shorter.
    for (wxWindow* child : dialog.GetChildren())
        if (auto* label = dynamic_cast<wxStaticText*>(child))
        {
            label->InvalidateBestSize();
            EXPECT_GE(label->GetSize().x, label->GetBestSize().x) << label->GetLabel().ToUTF8().data();
        }
    EXPECT_EQ(dialog.GetLabelText(3), "H : 13,5");
    EXPECT_EQ(dialog.GetLabelText(1), "Volume : 101");
    EXPECT_EQ(dialog.GetLabelText(0), "Position : X=0,00  Y=-1,00  Z=0,00");
    dialog.Select(0, 2);
    EXPECT_EQ(dialog.GetLabelText(3), "H : non calculé");
    EXPECT_EQ(dialog.GetLabelText(2), "Coût : non calculé");
    ASSERT_TRUE(dialog.GetGoToButton()->IsEnabled());

    // Two rows: a grid.
    r.Axe2 = {-1, 1};
    for (int i = 0; i < 5; ++i)
        r.AddRecord(LumPoint(), {1.0}, {s}, 1.0);
    dialog.SelectVariable("V");
    EXPECT_NE(dynamic_cast<wxSurface*>(dialog.GetPlot()), nullptr);

    // Back to position 1 (axis distance +1): one undo step gives the axis
    // edited since the series back exactly.
    r.Axe2.clear();
    r.Values.resize(1);
    axe.ReplacePolyline({LumPoint(3, -100, 0), LumPoint(3, 100, 0)});
    axe.SetHeadPositionAtDistance(20.0);
    XMLNode before = XMLNode::createXMLTopNode("xml", 1);
    XMLNode beforeAxe = before.addChild("Axe");
    axe.ToXML(beforeAxe);
    dialog.SelectVariable("V");
    dialog.Select(0, 3);
    dialog.GoToPosition();
    EXPECT_NEAR(axe.PositionTeteMultiligne, 201.0, 1e-9);
    EXPECT_EQ(axe.GetPolyline()[0].x, 0.0);
    gProjet.GetUndoManager().Undo();
    XMLNode after = XMLNode::createXMLTopNode("xml", 1);
    XMLNode afterAxe = after.addChild("Axe");
    axe.ToXML(afterAxe);
    const std::string a = testing::TempDir() + "goto_a.xml", b = testing::TempDir() + "goto_b.xml";
    ASSERT_TRUE(before.writeToFile(a));
    ASSERT_TRUE(after.writeToFile(b));
    std::ifstream fa(a), fb(b);
    const std::string ta((std::istreambuf_iterator<char>(fa)), std::istreambuf_iterator<char>());
    const std::string tb((std::istreambuf_iterator<char>(fb)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ta, tb);
    EXPECT_NE(ta.find("<Point>3.000"), std::string::npos) << ta;
    std::remove(a.c_str());
    std::remove(b.c_str());
}
} // namespace

namespace
{
// The series dialog proposes the direction across the axis, on the right of
// the way the head faces, and greys the direction's fields when unchecked.
TEST_F(ResultsWindowsTest, SeriesDialogDefaultsAcrossTheAxis)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
    const struct
    {
        int nord;
        bool reversed;
        const char* angle;
    } cases[] = {{0, false, "90"}, {30, false, "60"}, {0, true, "270"}, {-200, true, "110"}};
    for (const auto& c : cases)
    {
        gProjet.Nord = c.nord;
        axe.SetHeadPosition(LumPoint(0, 0, 0), c.reversed);
        EXPECT_EQ(DialogCalculs::DefaultAngle(), c.angle) << c.nord << " " << c.reversed;
    }
    DialogCalculs dialog(frame);
    const SeriesFields fields = dialog.GetFields();
    EXPECT_EQ(fields.AxisMinimum, "-10");
    EXPECT_EQ(fields.AxisStep, "1");
    EXPECT_EQ(fields.DirectionMaximum, "10");
    EXPECT_TRUE(fields.WithDirection);
    dialog.GetDirectionBox()->SetValue(false);
    wxCommandEvent click(wxEVT_CHECKBOX, 1);
    dialog.GetDirectionBox()->GetEventHandler()->ProcessEvent(click);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(dialog.GetField(i)->IsEnabled(), i < 3) << i;
}
} // namespace
