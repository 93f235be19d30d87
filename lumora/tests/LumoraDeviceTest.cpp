#include "LumoraDevice.h"
#include "BoundingBox.h"
#include "EventInfo.h"
#include "KorRay.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "Object3D.h"

#include <gtest/gtest.h>

namespace
{
int gDraws = 0;
void CountDraw(LumoraDevice*)
{
    ++gDraws;
}

int gEvents = 0;
bool ConsumeEscape(const EventInfo& event)
{
    ++gEvents;
    return event.keyCode == 27;
}

// Objects and gizmos that count their deletions.
int gDeleted = 0;
struct Counted : Object3D
{
    explicit Counted(const std::string& name) : Object3D(nullptr, name) {}
    ~Counted() override { ++gDeleted; }
};
struct CountedGizmo : LumGizmo
{
    CountedGizmo(LumoraDevice* device, int mask) : LumGizmo(device, mask, LumPoint(1, 2, 3)) {}
    ~CountedGizmo() override { ++gDeleted; }
};
} // namespace

TEST(LumoraDevice, WithoutCanvasItDrawsNothingButKeepsItsHooks)
{
    LumoraDevice device;
    gDraws = 0;
    device.SetDrawCallback(CountDraw);
    EXPECT_FALSE(device.RenderFrame());
    device.StartRendering();
    EXPECT_EQ(gDraws, 0);
    EXPECT_FALSE(device.IsRendering());
    EXPECT_EQ(device.LoadTexture("/nonexistent.png", 0), 0u);
    device.Draw2DText("rien");
    device.EnableLighting(true);

    EventInfo escape;
    escape.keyCode = 27;
    EXPECT_FALSE(device.CallEventsManager(escape)); // none installed
    gEvents = 0;
    device.SetCustomEventsManager(ConsumeEscape);
    EXPECT_EQ(device.GetCustomEventsManager(), &ConsumeEscape);
    EXPECT_TRUE(device.CallEventsManager(escape));
    EXPECT_FALSE(device.CallEventsManager(EventInfo()));
    EXPECT_EQ(gEvents, 2);
}

TEST(LumoraDevice, OwnsItsGizmoAndItsSceneObjects)
{
    gDeleted = 0;
    {
        LumoraDevice device;
        auto* first = new CountedGizmo(&device, 0x0b);
        device.SetGizmo(first);
        device.SetGizmo(first); // showing it again keeps it
        EXPECT_EQ(gDeleted, 0);
        device.SetGizmo(new CountedGizmo(&device, 3));
        EXPECT_EQ(gDeleted, 1);
        device.SetGizmo(nullptr);
        EXPECT_EQ(device.GetGizmo(), nullptr);
        EXPECT_EQ(gDeleted, 2);
        device.SetGizmo(new CountedGizmo(&device, 7)); // goes with the device

        Object3D* terrain = device.AddObject(std::make_unique<Counted>("terrain"));
        ASSERT_NE(terrain, nullptr);
        EXPECT_EQ(terrain->GetDevice(), &device);
        EXPECT_EQ(device.AddObject(std::make_unique<Counted>("terrain")), nullptr); // refused, deleted
        EXPECT_EQ(device.AddObject(nullptr), nullptr);
        EXPECT_EQ(gDeleted, 3);
        device.AddObject(std::make_unique<Counted>("axe"));
        EXPECT_EQ(device.FindObject("terrain"), terrain);
        EXPECT_EQ(device.GetNumberOfObjects(), 2u);
        EXPECT_TRUE(device.DeleteObject("terrain"));
        EXPECT_FALSE(device.DeleteObject("terrain"));
        EXPECT_EQ(device.FindObject("terrain"), nullptr);
        EXPECT_EQ(gDeleted, 4);
    }
    EXPECT_EQ(gDeleted, 6); // the last gizmo and "axe"
}

TEST(LumGizmo, InitTransformationsClearsTheDragButNotItsFlags)
{
    LumGizmo plan(nullptr, 0x0b, LumPoint(4, 5, 0));
    EXPECT_TRUE(plan.HasHandle(LumGizmo::ScalePlan) && plan.HasHandle(LumGizmo::TranslateY));
    EXPECT_FALSE(plan.HasHandle(LumGizmo::TranslateZ) || plan.HasHandle(LumGizmo::Scale));
    plan.SetTranslation(LumPoint(1, 2, 0));
    plan.SetScale(LumPoint(2.5, 2.5, 2.5));
    plan.SetRotation(LumPoint(0, 0, 30));
    plan.SetPosition(LumPoint(5, 7, 0));
    plan.SetReleased(true);
    plan.InitTransformations();
    EXPECT_TRUE(plan.GetTranslation().IsNull() && plan.GetRotation().IsNull());
    EXPECT_EQ(plan.GetScale().x, 1.0);
    EXPECT_EQ(plan.GetStartPosition().y, 7.0);
    EXPECT_TRUE(plan.IsReleased());
}

TEST(LumoraDevice, AManagerMayDeleteTheGizmoItsDragIsReportingOn)
{
    static LumoraDevice* device;
    LumoraDevice owner;
    device = &owner;
    LumCamera* camera = owner.GetCamera();
    camera->ChangeCameraMode(LumCamera::TopView);
    camera->SetCanvasSize(800, 600);
    owner.SetGizmo(new CountedGizmo(&owner, 3)); // its plan square spans pixels 397-411, 284-299
    // A tool that drops the gizmo when the drag moves and shows a new one
    // when it ends, as the plan tools do.
    owner.SetCustomEventsManager(
        [](const EventInfo& event)
        {
            if (event.dragged || event.released)
                device->SetGizmo(event.released ? new LumGizmo(device, 7, LumPoint()) : nullptr);
            return true;
        });
    gDeleted = 0;
    // Fields: key, button, pressed, released, x, y, moved, dragged.
    const EventInfo press{0, 1, true, false, 401, 298}, motion{0, 1, false, false, 420, 298, false, true},
        release{0, 1, false, true, 420, 298};
    EXPECT_TRUE(owner.ProcessEvent(press));
    ASSERT_TRUE(owner.GetGizmo() && owner.GetGizmo()->IsInUse());
    owner.ProcessEvent(motion);
    EXPECT_EQ(gDeleted, 1);
    EXPECT_EQ(owner.GetGizmo(), nullptr);
    owner.ProcessEvent(release);
    ASSERT_NE(owner.GetGizmo(), nullptr);
    EXPECT_EQ(owner.GetGizmo()->GetMask(), 7);
    EXPECT_FALSE(owner.GetGizmo()->IsInUse() || owner.GetGizmo()->IsReleased());
}

TEST(BoundingBox, IntersectRayAheadOfTheOriginOnly)
{
    BoundingBox box;
    const KorRay down(LumPoint(1, 1, 10), LumPoint(0, 0, -1));
    EXPECT_FALSE(box.IntersectRay(down)); // empty
    box.Define(LumPoint(0, 0, 0), LumPoint(2, 2, 2));
    struct Case
    {
        LumPoint origin, direction;
        bool hit;
    } cases[] = {
        {{1, 1, 10}, {0, 0, -1}, true},   // from above
        {{1, 1, 10}, {0, 0, 1}, false},   // pointing away
        {{3, 1, 10}, {0, 0, -1}, false},  // beside
        {{1, 1, 1}, {1, 0, 0}, true},     // from inside, out through x = 2
        {{-5, -5, 1}, {1, 1, 0}, true},   // diagonal through the middle
        {{-5, -5, 1}, {1, -1, 0}, false}, // diagonal past a corner
    };
    for (const Case& c : cases)
        EXPECT_EQ(box.IntersectRay(KorRay(c.origin, c.direction)), c.hit)
            << c.origin.x << "," << c.origin.y << "," << c.origin.z;
}
