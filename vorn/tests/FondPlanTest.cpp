#include "FondPlan.h"
#include "FondPlanTools.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"

#include <cmath>

namespace
{
using FondPlanTest = ModelTest;

const char* const kScaleRefused =
    "La valeur entrée ne correspond pas à une échelle : ce doit être un réel > 0";

// The same file name from another folder, in any letter case, reuses the
// plan and its placement; the choice is one undo step, a cancelled dialog
// none.
TEST_F(FondPlanTest, ChoosingAPlan)
{
    ui.PathAnswers = {"/a/Plan.PNG", "/b/plan.png", "/b/autre.jpg"};
    gProjet.ChooseFondPlan(true);
    ASSERT_EQ(gProjet.GetNumberOfFondsPlan(), 1);
    EXPECT_EQ(ui.FileRequests[0].Title, "Sélectionnez une image de fond de plan");
    EXPECT_EQ(ui.FileRequests[0].Wildcard, "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg");
    gProjet.SetFondPlanPlacement(10.0, 20.0, 3.0, false, true);
    gProjet.ChooseFondPlan(true);
    ASSERT_EQ(gProjet.GetNumberOfFondsPlan(), 1);
    EXPECT_EQ(gProjet.GetFondPlanUtilise()->Nom, "/b/plan.png");
    EXPECT_EQ(gProjet.GetFondPlanUtilise()->PosX, 10.0);
    gProjet.ChooseFondPlan(true);
    EXPECT_EQ(gProjet.FondUtilise, 1);
    gProjet.ChooseFondPlan(true);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 3u);
    EXPECT_EQ(gProjet.FindFondPlan("PLAN.png"), 0);
    EXPECT_EQ(gProjet.GetFondPlan("/b/autre.jpg"), gProjet.GetFondPlan(1));

    OVXUndoManager& undo = gProjet.GetUndoManager();
    undo.Undo();
    EXPECT_EQ(gProjet.FondUtilise, 0);
    undo.Undo();
    EXPECT_EQ(gProjet.GetFondPlanUtilise()->Nom, "/a/Plan.PNG");
    undo.Undo();
    EXPECT_EQ(gProjet.GetFondPlanUtilise(), nullptr);
    undo.Redo();
    EXPECT_EQ(gProjet.FondUtilise, 0);

    gProjet.FondUtilise = 3;
    EXPECT_EQ(gProjet.GetFondPlanUtilise(), nullptr);
    EXPECT_EQ(gProjet.FondUtilise, -1);
}

// Scale 100 to 50 keeps the camera origin's world point; 0 and back
// store the scale alone.
TEST_F(FondPlanTest, ScaleKeepsTheCameraOriginInTheWorld)
{
    gProjet.SetOrigine(120.0, -40.0, 1000.0, 2000.0, false);
    const LumPoint before = SceneToWorld(gProjet, gProjet.GetOrigineCamera());
    gProjet.SetEchelle(50.0, true);
    const LumPoint after = SceneToWorld(gProjet, gProjet.GetOrigineCamera());
    EXPECT_NEAR(after.x, before.x, 1e-9);
    EXPECT_NEAR(after.y, before.y, 1e-9);
    EXPECT_TRUE(gProjet.IsExcavationStale());
    const double x = gProjet.OrigineX;
    gProjet.SetEchelle(0.0, false);
    gProjet.SetEchelle(50.0, false);
    EXPECT_EQ(gProjet.OrigineX, x);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.Echelle, 100.0);
    EXPECT_NEAR(gProjet.OrigineX, 1000.0, 1e-9);
}

// 50 typed for a segment of 200 scene units gives 25, in one undo step
// from the old scale. Every other way out gives the exact old scale back
// and records nothing: Escape, Cancel, a refused distance, another tool.
TEST_F(FondPlanTest, Calibration)
{
    const double old = 100.0 / 3.0;
    gProjet.Echelle = old;
    StartFondPlanCalibration();
    EXPECT_EQ(gProjet.Echelle, 0.0);
    FondPlanCalibrationClick(LumPoint(10.0, 10.0, 0.0));
    FondPlanCalibrationMove(LumPoint(100.0, 100.0, 0.0));
    ui.TextAnswers = {"50"};
    FondPlanCalibrationClick(LumPoint(130.0, 170.0, 0.0));
    EXPECT_DOUBLE_EQ(gProjet.Echelle, 25.0);
    EXPECT_FALSE(IsFondPlanCalibrationRunning());
    ASSERT_EQ(gProjet.GetUndoManager().GetCount(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.Echelle, old);
    gProjet.GetUndoManager().Clear();

    const struct
    {
        const char* how;
        const char* text;
        bool refused;
    } ends[] = {
        {"escape", nullptr, false}, {"cancel", nullptr, false}, {"tool", nullptr, false},
        {"save", nullptr, false},   {"typed", "0", true},       {"typed", "-5", true},
        {"typed", "inf", true},     {"typed", "nan", true},     {"typed", "abc", true},
    };
    const std::string path = TempPath("calibration.ovx");
    for (const auto& e : ends)
    {
        ui.Boxes.clear();
        StartFondPlanCalibration();
        FondPlanCalibrationClick(LumPoint(0.0, 0.0, 0.0));
        const std::string how = e.how;
        if (how == "escape")
            FondPlanCalibrationCancel();
        else if (how == "tool")
            StartFondPlanOrigin();
        else if (how == "save")
        {
            gProjet.Nom = path;
            ASSERT_TRUE(gProjet.Save());
            const XMLNode saved = XMLNode::parseFile(path).getChildNode("Projet");
            EXPECT_EQ(KorAtof(saved.getChildNode("Echelle").getText()), old);
        }
        else
        {
            if (e.text)
                ui.TextAnswers = {e.text};
            FondPlanCalibrationClick(LumPoint(200.0, 0.0, 0.0));
        }
        EXPECT_EQ(gProjet.Echelle, old) << e.how << " " << (e.text ? e.text : "");
        EXPECT_FALSE(IsFondPlanCalibrationRunning());
        EXPECT_EQ(ui.Boxes.size(), e.refused ? 1u : 0u);
        if (e.refused)
        {
            EXPECT_EQ(ui.Boxes[0].Text, kScaleRefused);
        }
    }
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 0u);
    std::remove(path.c_str());

    // An undo, or the next project, is not overwritten by the scale the
    // running calibration gives back.
    gProjet.SetEchelle(25.0, true);
    StartFondPlanCalibration();
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.Echelle, old);
    EXPECT_FALSE(IsFondPlanCalibrationRunning());
    StartFondPlanCalibration();
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(gProjet.Echelle, 25.0);
    StartFondPlanCalibration();
    gProjet.GetUndoManager().Clear();
    ui.PathAnswers = {"/p/plan.png"};
    gProjet.New();
    EXPECT_EQ(gProjet.Echelle, 100.0);
}

TEST_F(FondPlanTest, NorthAngles)
{
    const struct
    {
        LumPoint d;
        int angle;
    } cases[] = {{LumPoint(0, 5, 0), 0},    {LumPoint(5, 0, 0), 90}, {LumPoint(0, -5, 0), 180},
                 {LumPoint(-5, 0, 0), 270}, {LumPoint(3, 3, 0), 45}, {LumPoint(-3, -3, 0), 225}};
    for (const auto& c : cases)
        EXPECT_EQ(NordToolAngle(c.d), c.angle) << c.d.x << " " << c.d.y;
}

// The clicked point gets the typed world coordinates, to the metre's
// fraction of a national grid; undo gives the old origin back exactly.
TEST_F(FondPlanTest, OriginPlacement)
{
    gProjet.Echelle = 20.0;
    gProjet.SetOrigine(0.5, 0.25, 1.0, 2.0, false);
    StartFondPlanOrigin();
    ui.ValueAnswers = {{651234.37, 6862345.29}};
    const LumPoint p(123.0, 456.0, 0.0);
    FondPlanOriginClick(p);
    const LumPoint w = SceneToWorld(gProjet, p);
    EXPECT_NEAR(w.x, 651234.37, 1e-9);
    EXPECT_NEAR(w.y, 6862345.29, 1e-9);
    EXPECT_EQ(gProjet.GetOrigineCamera().x, 123.0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(gProjet.OrigineX, 1.0);
    EXPECT_EQ(gProjet.OrigineCameraY, 0.25);
    gProjet.GetUndoManager().Redo();
    EXPECT_NEAR(SceneToWorld(gProjet, p).y, 6862345.29, 1e-9);
    // Cancelled: nothing.
    FondPlanOriginClick(p);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);
}

// One drag of the adjustment makes one undo step back to where the drag
// started.
TEST_F(FondPlanTest, AdjustmentDragIsOneStep)
{
    gProjet.SetFondPlan("/p/plan.bmp");
    StartFondPlanAdjust();
    ASSERT_TRUE(IsFondPlanAdjustRunning());
    for (int i = 1; i <= 5; ++i)
        FondPlanAdjustDrag(i, 2.0 * i, 1.0 + i);
    FondPlanAdjustDragEnd(5.0, 10.0, 6.0);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);
    gProjet.GetUndoManager().Undo();
    const FondPlan* plan = gProjet.GetFondPlanUtilise();
    EXPECT_EQ(plan->PosX, 0.0);
    EXPECT_EQ(plan->Taille, 1.0);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(plan->PosY, 10.0);
    GetModelUi().EndCurrentTool();
    EXPECT_FALSE(IsFondPlanAdjustRunning());
}

// New: a chosen plan and No to the north question make a project in the
// creation mode with north up; Yes starts the north tool, whose click sets
// the angle.
TEST_F(FondPlanTest, NewChoosesThePlanAndTheNorth)
{
    ui.PathAnswers = {"/p/plan.png"};
    gProjet.New();
    ASSERT_NE(gProjet.GetFondPlanUtilise(), nullptr);
    EXPECT_EQ(gProjet.Nord, 0);
    EXPECT_EQ(ui.Boxes.back().Caption, "Information");
    EXPECT_FALSE(gProjet.IsModified());

    ui.PathAnswers = {"/p/plan.png"};
    ui.BoxAnswers = {ModelUi::IdYes};
    gProjet.New();
    NordToolMove(LumPoint(-3.0, 3.0, 0.0));
    NordToolClick();
    EXPECT_EQ(gProjet.Nord, 315);
    EXPECT_EQ(ui.Title, "Ovalis 1.0.5 - ");
}
} // namespace
