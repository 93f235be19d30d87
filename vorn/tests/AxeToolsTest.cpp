#include "AxeTools.h"
#include "Axe.h"
#include "EventInfo.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelTestSupport.h"

namespace
{
// A device without canvas, its top view 200 x 100 pixels over 100 scene
// units: pixel (px, py) is scene (px - 100, 50 - py, 0), one unit a pixel.
class AxeToolsTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        LumCamera* camera = device.GetCamera();
        camera->ChangeCameraMode(LumCamera::TopView);
        camera->SetPosition(0, 0, 0);
        camera->SetTarget(0, 0, 0);
        camera->SetDistance(100.0);
        camera->SetCanvasSize(200, 100);
        ui.MainDevice = &device;
        gSelectedAxePoint = -1;
    }
    void TearDown() override
    {
        ui.MainDevice = nullptr;
        ModelTest::TearDown();
    }

    static EventInfo Press(int button, const LumPoint& scene)
    {
        EventInfo e;
        e.button = button;
        e.pressed = true;
        e.x = static_cast<int>(scene.x) + 100;
        e.y = 50 - static_cast<int>(scene.y);
        return e;
    }
    static EventInfo Key(int code)
    {
        EventInfo e;
        e.keyCode = code;
        return e;
    }
    // The device drags its gizmo: each motion adds its step to the
    // translation (which a tool may have zeroed), the last step releases.
    void Drag(bool (*manager)(const EventInfo&), const std::vector<LumPoint>& steps)
    {
        LumGizmo* gizmo = device.GetGizmo();
        ASSERT_NE(gizmo, nullptr);
        gizmo->SetInUse(true);
        for (size_t i = 0; i < steps.size(); ++i)
        {
            const bool last = i + 1 == steps.size();
            gizmo->SetTranslation(gizmo->GetTranslation() + steps[i]);
            gizmo->SetMoving(!last);
            gizmo->SetReleased(last);
            EventInfo e;
            e.dragged = !last;
            e.released = last;
            e.button = 1;
            EXPECT_TRUE(manager(e));
        }
        gizmo->SetInUse(false);
        gizmo->SetReleased(false);
    }

    LumoraDevice device;
};

unsigned Actions()
{
    return gProjet.GetUndoManager().GetCount();
}

TEST_F(AxeToolsTest, PointsToolSelectsInsertsDragsAndDeletes)
{
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(-40, 0, 0), LumPoint(0, 0, 0), LumPoint(40, 0, 0)});
    ui.SetEventsManager(OnAxePointsToolEvent);

    // Within 7 pixels of the middle point: selected, a plan gizmo on it.
    EXPECT_FALSE(OnAxePointsToolEvent(Press(1, LumPoint(5, 4, 0))));
    EXPECT_EQ(gSelectedAxePoint, 1);
    ASSERT_NE(device.GetGizmo(), nullptr);
    EXPECT_EQ(device.GetGizmo()->GetMask(), 3);
    EXPECT_EQ(Actions(), 0u);

    // Only the drop records, from where the drag began.
    Drag(OnAxePointsToolEvent, {LumPoint(3, 3, 0), LumPoint(3, 5, 0), LumPoint(4, 12, 0)});
    EXPECT_EQ(axe.GetPolyline()[1].y, 20.0);
    EXPECT_EQ(Actions(), 1u);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(axe.GetPolyline()[1].y, 0.0);
    EXPECT_EQ(device.GetGizmo(), nullptr);

    // Away from every point: inserted in the first segment's circle.
    EXPECT_FALSE(OnAxePointsToolEvent(Press(1, LumPoint(-20, 10, 0))));
    EXPECT_EQ(axe.GetPointCount(), 4);
    EXPECT_EQ(gSelectedAxePoint, 1);
    EXPECT_EQ(axe.GetPolyline()[1].x, -20.0);

    EXPECT_TRUE(OnAxePointsToolEvent(Key(127)));
    EXPECT_EQ(axe.GetPointCount(), 3);
    EXPECT_EQ(axe.GetPolyline()[1].x, 0.0);
    EXPECT_EQ(gSelectedAxePoint, -1);
    EXPECT_EQ(device.GetGizmo(), nullptr);

    // A right click on a point offers the PM, which has no undo: the
    // project must ask to be saved.
    gProjet.GetUndoManager().Clear();
    gProjet.Echelle = 50.0;
    EXPECT_FALSE(OnAxePointsToolEvent(Press(3, LumPoint(40, 0, 0))));
    ASSERT_EQ(ui.PopupItems.size(), 1u);
    EXPECT_EQ(ui.PopupItems[0].Label, "Définir ce point de l'axe comme PM 0");
    ui.PopupItems[0].Callback();
    EXPECT_EQ(axe.PM.x, 40.0);
    EXPECT_TRUE(gProjet.IsModified());
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Le PM a été positionné à la coordonnée : 20 ; 0 ; 0");
    gProjet.GetUndoManager().SetSaved(true);

    EXPECT_TRUE(OnAxePointsToolEvent(Key(27)));
    EXPECT_EQ(ui.GetEventsManager(), nullptr);
}

// The reference point changed without a record (an undo) before the drag:
// the drag's undo still puts it back where the drag began.
TEST_F(AxeToolsTest, CentreGizmoDragIsOneUndoStep)
{
    Axe& axe = gProjet.GetAxe();
    axe.SetParameters(LumPoint(5, 5, 0), axe.Rayon, 0, 0, false, true, true);
    axe.SetParameters(LumPoint(10, 0, 0), axe.Rayon, 0, 0, false, false, true);
    gProjet.GetUndoManager().Clear();
    ui.SetEventsManager(OnAxeCentreToolEvent);
    device.SetGizmo(new LumGizmo(&device, 3, axe.Origine));

    EXPECT_FALSE(OnAxeCentreToolEvent(EventInfo())); // no drag: not consumed
    Drag(OnAxeCentreToolEvent, {LumPoint(1, 1, 0), LumPoint(3, 1, 0), LumPoint(1, 4, 0)});
    EXPECT_EQ(axe.Origine.x, 15.0);
    EXPECT_EQ(axe.Origine.y, 6.0);
    EXPECT_EQ(Actions(), 1u);
    // The gizmo follows the arc, with no transformation left.
    EXPECT_EQ(device.GetGizmo()->GetPosition().x, 15.0);
    EXPECT_EQ(device.GetGizmo()->GetTranslation().Norm(), 0.0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(axe.Origine.x, 10.0);
    EXPECT_EQ(axe.Origine.y, 0.0);

    OnAxeCentreToolPoint(LumPoint(-3, 4, 0));
    EXPECT_EQ(axe.Origine.x, -3.0);
    EXPECT_EQ(device.GetGizmo()->GetPosition().y, 4.0);
    EXPECT_EQ(Actions(), 1u);
}
} // namespace
