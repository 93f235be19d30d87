// The 3D preview dialog: framed on the first layer, driven by its builder's
// hooks, and ended by its close box or its own events manager without
// freeing the opener's stack.

#include "BaseDialog3D.h"
#include "Couche.h"
#include "EventInfo.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"

namespace
{
int gFrames = 0;
int gClicks = 0;

void CountFrames(LumoraDevice*)
{
    ++gFrames;
}

void DrawNothing(LumoraDevice*)
{
}

// Closes the dialog the click came from, as the placement does.
bool CloseOnLeftClick(const EventInfo& event)
{
    if (event.button == 1 && event.pressed)
        if (BaseDialog3D* dialog = BaseDialog3D::FromEvent(event))
        {
            ++gClicks;
            dialog->Close(false);
        }
    return false;
}

class BaseDialog3DTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gProjet.Reset();
        gFrames = gClicks = 0;
    }
    void TearDown() override
    {
        gPlacementDrawer = nullptr;
        gProjet.Reset();
    }
    // A flat layer over [x0, x1] x [y0, y1].
    static void AddLayer(double x0, double y0, double x1, double y1)
    {
        Couche* couche = gProjet.AddCouche("c1", 0);
        for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}})
            couche->AddPoint(LumPoint(x, y, 5), 1, 0, false, false);
    }
};

TEST_F(BaseDialog3DTest, FramesTheFirstLayerFromAbove)
{
    {
        BaseDialog3D empty(nullptr, "vide", 3, CloseOnLeftClick, CountFrames);
        const LumCamera* camera = empty.GetDevice()->GetCamera();
        EXPECT_EQ(camera->GetMode(), 3);
        EXPECT_DOUBLE_EQ(camera->GetPosition().x, 0.0);
        EXPECT_DOUBLE_EQ(camera->GetPosition().y, 0.0);
        EXPECT_EQ(empty.GetSize(), wxSize(400, 500));
    }
    AddLayer(-50, 20, 150, 120); // 200 x 100 around (50, 70)
    BaseDialog3D dialog(nullptr, "Placement", 3, CloseOnLeftClick, CountFrames);
    EXPECT_EQ(dialog.GetTitle(), "Placement");
    const LumCamera* camera = dialog.GetDevice()->GetCamera();
    EXPECT_DOUBLE_EQ(camera->GetDistance(), 300.0);
    EXPECT_DOUBLE_EQ(camera->GetPosition().x, 50.0);
    EXPECT_DOUBLE_EQ(camera->GetPosition().y, 70.0);
    EXPECT_DOUBLE_EQ(camera->GetPosition().z, 10000.0);
    EXPECT_DOUBLE_EQ(camera->GetTarget().x, 50.0);
    EXPECT_DOUBLE_EQ(camera->GetTarget().y, 70.0);
    EXPECT_EQ(dialog.GetDevice()->GetDrawCallback(), &CountFrames);
    EXPECT_EQ(dialog.GetDevice()->GetCustomEventsManager(), &CloseOnLeftClick);
}

// Both ways out of a modal run leave the stack dialog to its scope (a
// Destroy there freed it again at the next idle: ASan reports it) and
// clear the placement hook.
TEST_F(BaseDialog3DTest, ModalRunEndsByCloseBoxOrByItsEventsManager)
{
    AddLayer(-100, -100, 100, 100);
    for (const bool byClick : {false, true})
    {
        SCOPED_TRACE(byClick ? "click" : "close box");
        gPlacementDrawer = DrawNothing;
        gFrames = gClicks = 0;
        BaseDialog3D dialog(nullptr, "Placement", 3, CloseOnLeftClick, CountFrames);
        dialog.SetPosition(wxPoint(0, 0));
        GuiTest::OneShot act(
            [&]
            {
                if (byClick)
                    GuiTest::ClickAt(dialog.GetCanvas(), wxPoint(100, 100));
                else
                    dialog.Close(false);
            });
        GuiTest::OneShot guard([&] { dialog.EndModal(wxID_ABORT); });
        act.StartOnce(500);
        guard.StartOnce(8000);
        EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
        act.Stop();
        guard.Stop();
        EXPECT_EQ(gPlacementDrawer, nullptr);
        EXPECT_GT(gFrames, 0);
        EXPECT_EQ(gClicks, byClick ? 1 : 0);
        GuiTest::Pump(50);
        wxTheApp->ProcessIdle();
        EXPECT_FALSE(dialog.IsBeingDeleted());
        EXPECT_FALSE(dialog.IsShown());
    }
}

TEST_F(BaseDialog3DTest, DestructorClearsThePlacementHook)
{
    gPlacementDrawer = DrawNothing;
    {
        BaseDialog3D dialog(nullptr, "Placement", 3, CloseOnLeftClick, CountFrames);
    }
    EXPECT_EQ(gPlacementDrawer, nullptr);
}

// A modeless dialog on the heap still goes by its close box.
TEST_F(BaseDialog3DTest, ModelessDialogDestroysItself)
{
    auto* dialog = new BaseDialog3D(nullptr, "Coupe", 3, CloseOnLeftClick, CountFrames);
    dialog->Show();
    GuiTest::Pump(50);
    dialog->Close(false);
    GuiTest::Pump(50);
    wxTheApp->ProcessIdle();
    EXPECT_EQ(wxTopLevelWindows.Find(dialog), nullptr);
}
} // namespace
