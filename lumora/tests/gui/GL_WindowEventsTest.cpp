#include "EventInfo.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumGizmoHandles.h"
#include "LumoraDevice.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// What the events manager saw: each event, with the gizmo as it stood then.
struct Seen
{
    EventInfo event;
    bool inUse, moving, released;
    LumPoint start, translation, rotation;
};
std::vector<Seen> gSeen;
LumoraDevice* gDevice = nullptr;
bool gConsume = false;
bool gClamp = false;

bool Record(const EventInfo& event)
{
    Seen seen{event, false, false, false, {}, {}, {}};
    if (LumGizmo* g = gDevice->GetGizmo())
    {
        if (gClamp && g->IsMoving())
        {
            // What the layer tilt tool does: turning stops at 80 degrees.
            LumPoint r = g->GetRotation();
            r.y = std::max(-80.0, std::min(80.0, r.y));
            g->SetRotation(r);
        }
        seen = {event,           g->IsInUse(),          g->IsMoving(),
                g->IsReleased(), g->GetStartPosition(), g->GetTranslation(),
                g->GetRotation()};
    }
    gSeen.push_back(seen);
    return gConsume;
}

// A mouse event as the toolkit would send it; held: the buttons down after it.
void Mouse(GL_Window* canvas, wxEventType type, double x, double y, int held)
{
    wxMouseEvent event(type);
    event.m_x = static_cast<int>(x);
    event.m_y = static_cast<int>(y);
    event.m_leftDown = held == 1;
    event.m_rightDown = held == 3;
    event.SetEventObject(canvas);
    canvas->ProcessWindowEvent(event);
}

// Press, motions through each point, release at the last one.
void Drag(GL_Window* canvas, int button, const std::vector<wxRealPoint>& path)
{
    const bool left = button == 1;
    Mouse(canvas, left ? wxEVT_LEFT_DOWN : wxEVT_RIGHT_DOWN, path[0].x, path[0].y, button);
    for (size_t i = 1; i < path.size(); ++i)
        Mouse(canvas, wxEVT_MOTION, path[i].x, path[i].y, button);
    Mouse(canvas, left ? wxEVT_LEFT_UP : wxEVT_RIGHT_UP, path.back().x, path.back().y, 0);
}

void Wheel(GL_Window* canvas, int rotation)
{
    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = rotation;
    wheel.m_wheelDelta = 120;
    canvas->ProcessWindowEvent(wheel);
}

void ExpectNear(const LumPoint& p, double x, double y, double z, double tol)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

// A canvas that keeps each whole frame, gizmo included, read just before
// the swap.
class ReadingCanvas : public GL_Window
{
public:
    using GL_Window::GL_Window;
    void PresentFrame() override
    {
        int w = 0, h = 0;
        GetDimensions(w, h);
        frame.assign(static_cast<size_t>(w) * h * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
        GL_Window::PresentFrame();
    }
    std::vector<unsigned char> frame;
};

class GLWindowEventsTest : public GuiTest::FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        frame->SetClientSize(840, 640);
        canvas = new ReadingCanvas(panel, wxID_ANY, wxPoint(0, 0), wxSize(800, 600));
        gDevice = canvas->getDevice();
        gDevice->SetCustomEventsManager(Record);
        camera = gDevice->GetCamera();
        gSeen.clear();
        gConsume = gClamp = false;
        ASSERT_TRUE(ShowAndWait(canvas));
    }
    void TearDown() override
    {
        gDevice = nullptr;
        FrameTest::TearDown();
    }
    // One scene unit per pixel, centred on (cx, cy).
    void TopView(double cx, double cy)
    {
        camera->ChangeCameraMode(LumCamera::TopView);
        camera->SetDistance(600);
        camera->SetPosition(cx, cy, 10000);
        camera->SetTarget(cx, cy, 0);
        ASSERT_TRUE(canvas->RenderFrame());
    }
    // The layer tilt tool's view: from (0, -300, 300) at the origin.
    void FreeView()
    {
        camera->ChangeCameraMode(LumCamera::Free);
        camera->SetTarget(0, 0, 0);
        camera->SetPosition(0, -300, 300);
        ASSERT_TRUE(canvas->RenderFrame());
    }

    ReadingCanvas* canvas = nullptr;
    LumCamera* camera = nullptr;
};
} // namespace

TEST_F(GLWindowEventsTest, PlanMoveReportsTheDragOnItsReleaseOnly)
{
    TopView(100, 50);
    // Pixel (300, 200) is scene (0, 150).
    gDevice->SetGizmo(new LumGizmo(gDevice, 3, LumPoint(0, 150, 7)));
    const LumPoint eye = camera->GetPosition();
    Drag(canvas, 1, {{300, 200}, {310, 195}, {330, 180}, {340, 170}});
    Mouse(canvas, wxEVT_MOTION, 345, 170, 0);

    ASSERT_EQ(gSeen.size(), 6u);
    for (size_t i = 0; i < gSeen.size(); ++i)
    {
        SCOPED_TRACE(i);
        const Seen& s = gSeen[i];
        EXPECT_EQ(s.inUse, i < 5); // from the press through the release
        EXPECT_EQ(s.moving, i >= 1 && i <= 3);
        EXPECT_EQ(s.released, i == 4);
        ExpectNear(s.start, 0, 150, 7, 1e-12);
    }
    ExpectNear(gSeen[4].translation, 40, 30, 0, 1e-9);
    EXPECT_EQ(gSeen[4].translation.z, 0.0);
    ExpectNear(camera->GetPosition(), eye.x, eye.y, eye.z, 0); // the drag did not pan
}

TEST_F(GLWindowEventsTest, GizmoIsDrawnOverTheSceneWhereItIsGrabbed)
{
    TopView(0, 0);
    // The callback covers the view with blue.
    gDevice->SetDrawCallback(
        [](LumoraDevice*)
        {
            glColor3f(0, 0, 1);
            glRectd(-1000, -1000, 1000, 1000);
        });
    gDevice->SetGizmo(new LumGizmo(gDevice, 0x41, LumPoint(-100, 50, 0))); // pixel (300, 250)
    ASSERT_TRUE(canvas->RenderFrame());
    ASSERT_EQ(canvas->frame.size(), 800u * 600 * 3);
    const auto isBlue = [&](int x, int y)
    {
        const unsigned char* p = &canvas->frame[((599 - y) * 800 + x) * 3];
        return p[0] < 30 && p[1] < 30 && p[2] > 220;
    };
    // Every pixel drawn over the blue grabs a handle.
    const LumGizmoHandles handles(*gDevice->GetGizmo(), *camera);
    int drawn = 0;
    for (int y = 150; y < 350; ++y)
        for (int x = 200; x < 400; ++x)
            if (!isBlue(x, y))
            {
                ++drawn;
                ASSERT_NE(handles.HitTest(x, y), 0) << x << "," << y;
            }
    EXPECT_GT(drawn, 2 * 90 + 2 * M_PI * 60); // the x arrow and the z ring
    EXPECT_FALSE(isBlue(300 + 45, 250));      // on the arrow
    EXPECT_FALSE(isBlue(300, 250 - 60));      // on the ring
    EXPECT_TRUE(isBlue(300 + 30, 250 - 30));  // between them
}

TEST_F(GLWindowEventsTest, FreeCameraGizmosKeepToTheirPlaneAxisAndClampedAngle)
{
    FreeView();
    // A plan move on the line of sight through the centre pixel, at z = 5:
    // the new point stays under the mouse, in its plane.
    gDevice->SetGizmo(new LumGizmo(gDevice, 7, LumPoint(0, -5, 5)));
    Drag(canvas, 1, {{400, 300}, {412, 296}, {425, 285}});
    ASSERT_TRUE(gSeen.back().released);
    EXPECT_EQ(gSeen.back().translation.z, 0.0);
    const KorRay ray = camera->GetRay(425, 285);
    const LumPoint w = gSeen.back().start + gSeen.back().translation - ray.GetOrigin(),
                   d = ray.GetDirection();
    EXPECT_LT((w - d * (w * d)).Norm(), 1e-6);
    gDevice->SetGizmo(new LumGizmo(gDevice, 0x34, LumPoint(0, 0, 0)));
    const LumGizmoHandles handles(*gDevice->GetGizmo(), *camera);
    EXPECT_EQ(handles.Find(LumGizmo::TranslateX), nullptr);
    EXPECT_EQ(handles.Find(LumGizmoHandles::PlanMove), nullptr);

    // The vertical arrow, grabbed near its tip and pulled up.
    const LumGizmoHandles::Shape* arrow = handles.Find(LumGizmo::TranslateZ);
    ASSERT_NE(arrow, nullptr);
    const double ax = arrow->pixels[1].x, ay = arrow->pixels[1].y + 3;
    ASSERT_EQ(handles.HitTest(ax, ay), LumGizmo::TranslateZ);
    Drag(canvas, 1, {{ax, ay}, {ax + 7, ay - 20}, {ax - 5, ay - 40}});
    EXPECT_EQ(gSeen.back().translation.x, 0.0);
    EXPECT_EQ(gSeen.back().translation.y, 0.0);
    EXPECT_GT(gSeen.back().translation.z, 1.0);

    // The ring about y, grabbed where its image runs across the screen.
    gDevice->GetGizmo()->InitTransformations();
    const LumGizmoHandles now(*gDevice->GetGizmo(), *camera);
    const LumGizmoHandles::Shape* ring = now.Find(LumGizmo::RotateY);
    ASSERT_NE(ring, nullptr);
    const size_t n = ring->pixels.size();
    size_t at = n;
    for (size_t i = 0; i < n && at == n; ++i)
        if (now.HitTest(ring->pixels[i].x, ring->pixels[i].y) == LumGizmo::RotateY &&
            std::fabs(ring->pixels[(i + 1) % n].x - ring->pixels[(i + n - 1) % n].x) > 6)
            at = i;
    ASSERT_LT(at, n);
    const double px = ring->pixels[at].x, py = ring->pixels[at].y;
    gClamp = true;
    gSeen.clear();
    Mouse(canvas, wxEVT_LEFT_DOWN, px, py, 1);
    Mouse(canvas, wxEVT_MOTION, px + 10, py, 1);
    const double a1 = gSeen.back().rotation.y;
    ASSERT_GT(std::fabs(a1), 1.0);
    ASSERT_LT(std::fabs(a1), 40.0);
    const double limit = a1 > 0 ? 80.0 : -80.0;
    Mouse(canvas, wxEVT_MOTION, px + 300, py, 1);
    EXPECT_EQ(gSeen.back().rotation.y, limit);
    // Ten pixels back turn back from the clamped value, not from beyond it.
    Mouse(canvas, wxEVT_MOTION, px + 290, py, 1);
    EXPECT_NEAR(gSeen.back().rotation.y, limit - a1, 1e-9);
    Mouse(canvas, wxEVT_LEFT_UP, px + 290, py, 0);
    for (const Seen& s : gSeen)
    {
        ExpectNear(s.translation, 0, 0, 0, 0);
        EXPECT_EQ(s.rotation.x, 0.0);
        EXPECT_EQ(s.rotation.z, 0.0);
    }
}

TEST_F(GLWindowEventsTest, ConsumedDragsLeaveTheCameraAndFreeDragsMoveIt)
{
    TopView(100, 50);
    const unsigned long frames = gDevice->GetFrameCount();
    Mouse(canvas, wxEVT_MOTION, 300, 300, 0); // a hover changes nothing: no frame
    EXPECT_EQ(gDevice->GetFrameCount(), frames);
    EXPECT_TRUE(gSeen.back().event.moved);

    gConsume = true;
    Drag(canvas, 1, {{400, 300}, {420, 310}, {450, 330}});
    ExpectNear(camera->GetPosition(), 100, 50, 10000, 0);
    gConsume = false;
    Drag(canvas, 1, {{400, 300}, {420, 310}, {450, 330}}); // the scene follows the mouse
    ExpectNear(camera->GetPosition(), 50, 80, 10000, 1e-9);
    ExpectNear(camera->GetTarget(), 50, 80, 0, 1e-9);

    // A right click, even one that jitters a pixel, moves nothing and says
    // it was not dragged; a right drag pans and says it was.
    struct Case
    {
        double toX, toY;
        bool dragged;
    } cases[] = {{500, 300, false}, {501, 299, false}, {520, 300, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.toX);
        const LumPoint before = camera->GetPosition();
        const unsigned long framesBefore = gDevice->GetFrameCount();
        Drag(canvas, 3, {{500, 300}, {c.toX, c.toY}});
        const EventInfo& release = gSeen.back().event;
        EXPECT_EQ(release.button, 3);
        EXPECT_TRUE(release.released);
        EXPECT_FALSE(release.pressed);
        EXPECT_EQ(release.draggedSincePress, c.dragged);
        EXPECT_EQ(camera->GetPosition().x, before.x - (c.dragged ? 20 : 0));
        EXPECT_EQ(gDevice->GetFrameCount() - framesBefore, c.dragged ? 1u : 0u);
    }

    camera->SetMovable(false);
    camera->SetZoomable(false);
    const LumPoint before = camera->GetPosition();
    Drag(canvas, 3, {{500, 300}, {600, 400}});
    Wheel(canvas, 240);
    EXPECT_EQ(gSeen.back().event.wheel, 2);
    ExpectNear(camera->GetPosition(), before.x, before.y, before.z, 0);
    EXPECT_EQ(camera->GetDistance(), 600);
}

TEST_F(GLWindowEventsTest, FreeCameraOrbitsAboutItsTargetAndZoomsTowardsIt)
{
    FreeView();
    // 225 px left at 0.4 degree a pixel: a quarter turn about the vertical.
    Drag(canvas, 1, {{400, 300}, {300, 300}, {175, 300}});
    ExpectNear(camera->GetTarget(), 0, 0, 0, 0);
    ExpectNear(camera->GetPosition(), 300, 0, 300, 1e-9);
    EXPECT_NEAR(camera->GetDistance(), 300 * std::sqrt(2.0), 1e-9);

    Wheel(canvas, 60); // half a notch: nothing yet
    EXPECT_NEAR(camera->GetDistance(), 300 * std::sqrt(2.0), 1e-9);
    Wheel(canvas, 60);
    ExpectNear(camera->GetTarget(), 0, 0, 0, 0);
    EXPECT_LT(camera->GetDistance(), 300 * std::sqrt(2.0) - 1);
    LumPoint direction = camera->GetPosition();
    Normalize(direction);
    ExpectNear(direction, std::sqrt(0.5), 0, std::sqrt(0.5), 1e-9);
}

TEST_F(GLWindowEventsTest, KeysReachTheManagerWithTheirCodes)
{
    const std::pair<int, int> cases[] = {
        {WXK_DELETE, 127}, {WXK_NUMPAD_DELETE, 127}, {WXK_ESCAPE, 27}, {'.', 46}};
    for (const auto& c : cases)
    {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = c.first;
        canvas->ProcessWindowEvent(key);
        ASSERT_FALSE(gSeen.empty());
        EXPECT_EQ(gSeen.back().event.keyCode, c.second) << c.first;
        EXPECT_EQ(gSeen.back().event.source, canvas);
    }
}
