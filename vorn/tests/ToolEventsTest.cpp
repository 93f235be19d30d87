#include "Decor.h"
#include "DecorTools.h"
#include "EventInfo.h"
#include "FondPlan.h"
#include "FondPlanTools.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelTestSupport.h"

namespace
{
// The tools' events managers fed with synthetic events on a device without
// canvas: a top view 200 x 100 pixels showing 100 scene units of height
// around (0, 0), so pixel (px, py) is scene (px - 100, 50 - py).
class ToolEventsTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        LumCamera* camera = device.GetCamera();
        camera->ChangeCameraMode(3);
        camera->SetCanvasSize(200, 100);
        camera->SetPosition(0.0, 0.0, 0.0);
        camera->SetDistance(100.0);
        ui.MainDevice = &device;
    }
    void TearDown() override
    {
        GetModelUi().EndCurrentTool();
        ui.MainDevice = nullptr;
        ModelTest::TearDown();
    }

    bool Send(EventInfo e) { return ui.GetEventsManager() && ui.GetEventsManager()(e); }
    bool Click(int x, int y, int button = 1)
    {
        EventInfo e;
        e.button = button;
        e.pressed = true;
        e.x = x;
        e.y = y;
        return Send(e);
    }
    bool Move(int x, int y)
    {
        EventInfo e;
        e.moved = true;
        e.x = x;
        e.y = y;
        return Send(e);
    }
    bool Key(int code)
    {
        EventInfo e;
        e.keyCode = code;
        return Send(e);
    }
    // A drag of the device's gizmo: in use and moving, then released.
    bool Drag(bool released)
    {
        LumGizmo* g = device.GetGizmo();
        g->SetInUse(true);
        g->SetMoving(!released);
        g->SetReleased(released);
        EventInfo e;
        e.dragged = !released;
        e.released = released;
        return Send(e);
    }

    LumoraDevice device;
};

TEST_F(ToolEventsTest, CalibrationAndNorthFromTheMouse)
{
    gProjet.Echelle = 100.0 / 3.0;
    StartFondPlanCalibration();
    EXPECT_TRUE(Click(20, 50));
    EXPECT_FALSE(Move(150, 50));
    ui.TextAnswers = {"40"};
    // 160 scene units for 40 m.
    EXPECT_TRUE(Click(180, 50));
    EXPECT_DOUBLE_EQ(gProjet.Echelle, 25.0);
    EXPECT_EQ(ui.GetEventsManager(), nullptr);

    StartFondPlanCalibration();
    EXPECT_TRUE(Click(20, 50));
    EXPECT_TRUE(Key(27));
    EXPECT_EQ(gProjet.Echelle, 25.0);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);

    StartNordTool();
    EXPECT_EQ(device.GetCamera()->GetMode(), 3);
    Move(100, 0);
    EXPECT_EQ(GetNordToolAngle(), 0);
    Move(10, 50);
    EXPECT_EQ(GetNordToolAngle(), 270);
    EXPECT_TRUE(Click(190, 50));
    EXPECT_EQ(gProjet.Nord, 90);
    EXPECT_EQ(ui.GetEventsManager(), nullptr);
    EXPECT_EQ(ui.Count("EnableModeTools"), 1);
}

// The origin tool takes the point under the click; the adjustment's drag
// moves the plan with the gizmo and its release makes one undo step.
TEST_F(ToolEventsTest, OriginAndAdjustmentFromTheMouse)
{
    gProjet.Echelle = 100.0;
    StartFondPlanOrigin();
    ui.ValueAnswers = {{1000.0, 2000.0}};
    EXPECT_TRUE(Click(150, 30));
    EXPECT_EQ(gProjet.GetOrigineCamera().x, 50.0);
    EXPECT_EQ(gProjet.GetOrigineCamera().y, 20.0);
    EXPECT_EQ(gProjet.OrigineX, 950.0);

    gProjet.SetFondPlan("/p/plan.png");
    StartFondPlanAdjust();
    LumGizmo* g = device.GetGizmo();
    ASSERT_TRUE(g);
    EXPECT_EQ(g->GetMask(), 0x0b);
    g->SetTranslation(LumPoint(10.0, 5.0, 0.0));
    g->SetScale(LumPoint(1.5, 1.5, 1.0));
    EXPECT_TRUE(Drag(false));
    const FondPlan* plan = gProjet.GetFondPlanUtilise();
    EXPECT_EQ(plan->PosX, 10.0);
    EXPECT_EQ(plan->Taille, 1.5);
    g->SetTranslation(LumPoint(12.0, 5.0, 0.0));
    EXPECT_TRUE(Drag(false));
    EXPECT_TRUE(Drag(true));
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 2u);
    EXPECT_EQ(g->GetPosition().x, 12.0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(plan->PosX, 0.0);
    EXPECT_EQ(plan->Taille, 1.0);
    EXPECT_TRUE(Click(0, 0, 3));
    EXPECT_EQ(device.GetGizmo(), nullptr);
}

// A move drag previews without touching the mesh; its release moves the
// mesh as one undo step; an undo under the tool brings the gizmo back to
// the object; Escape ends the tool and takes the gizmo away.
TEST_F(ToolEventsTest, SceneryMoveFromTheGizmo)
{
    const std::string cube = TempPath("cube.obj");
    WriteAll(cube, "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 1\nf 1 3 2\nf 1 2 4\nf 2 3 4\nf 3 1 4\n");
    ASSERT_TRUE(gProjet.LoadDecor(cube));
    std::remove(cube.c_str());
    Decor* d = gProjet.GetDecor(0);
    const LumPoint centre = d->GetCentre();
    gPickedDecor = 0;
    OnDecorMove();
    LumGizmo* g = device.GetGizmo();
    ASSERT_TRUE(g);
    EXPECT_EQ(g->GetMask(), 7);
    EXPECT_EQ(ui.GetEventsManager(), &OnDecorMoveEvent);
    g->SetTranslation(LumPoint(5.0, 0.0, 0.0));
    EXPECT_TRUE(Drag(false));
    EXPECT_EQ(d->GetPreviewTranslation().x, 5.0);
    EXPECT_EQ(d->GetCentre().x, centre.x);
    g->SetTranslation(LumPoint(8.0, 0.0, 0.0));
    EXPECT_TRUE(Drag(true));
    EXPECT_NEAR(d->GetCentre().x, centre.x + 8.0, 1e-9);
    EXPECT_NEAR(g->GetPosition().x, centre.x + 8.0, 1e-9);
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 2u);

    gProjet.GetUndoManager().Undo();
    EXPECT_NEAR(d->GetCentre().x, centre.x, 1e-9);
    EXPECT_TRUE(Move(0, 0));
    EXPECT_NEAR(g->GetPosition().x, centre.x, 1e-9);
    EXPECT_TRUE(Key(27));
    EXPECT_EQ(device.GetGizmo(), nullptr);
    EXPECT_FALSE(d->IsTransformShown());
    EXPECT_EQ(ui.GetEventsManager(), nullptr);
}
} // namespace
