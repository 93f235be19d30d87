#include "Axe.h"
#include "AxeTools.h"
#include "Couche.h"
#include "Decor.h"
#include "Discontinuite.h"
#include "FondPlan.h"
#include "FondPlanTools.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "PointSondage.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "Sondage.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <vector>

namespace
{
// A 200 x 200 top view centred on the scene origin showing 200 scene units
// across: scene (x, y) lies at pixel (100 + x, 100 - y) from the top-left
// corner, so a point at a half unit falls on a pixel's centre.
constexpr int kSize = 200;
std::function<void()> gDraw;
std::vector<unsigned char> gPixels;

void DrawAndRead(LumoraDevice*)
{
    if (gDraw)
        gDraw();
    glFinish();
    gPixels.assign(static_cast<size_t>(kSize) * kSize * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}

// Whether pixel (x, y), from the top-left corner, has the colour c
// (0..255 each) within rounding.
using Rgb = std::array<int, 3>;
bool Is(int x, int y, const Rgb& c)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    for (int k = 0; k < 3; ++k)
        if (std::abs(gPixels[i + k] - c[k]) > 3)
            return false;
    return true;
}
// The axis grey 0.2, the points' grey 0.5, the north tool's grey 0.4.
const Rgb kDark{51, 51, 51}, kMid{128, 128, 128}, kTool{102, 102, 102}, kWhite{255, 255, 255};
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

class ElementDrawingTest : public GuiTest::FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        canvas = new GL_Window(panel, wxID_ANY, wxPoint(0, 0), wxSize(kSize, kSize));
        LumCamera* camera = canvas->getDevice()->GetCamera();
        camera->ChangeCameraMode(3);
        camera->SetPosition(0, 0, 0);
        camera->SetDistance(kSize);
        canvas->getDevice()->SetDrawCallback(DrawAndRead);
        ASSERT_TRUE(ShowAndWait(canvas));
        gProjet.Echelle = 100.0; // one metre, one scene unit
        gProjet.Nord = 0;
    }
    void TearDown() override
    {
        gDraw = nullptr;
        GetModelUi().SetEventsManager(nullptr);
        gProjet.GraduationAxe = 0.0;
        FrameTest::TearDown();
    }
    void Frame(std::function<void()> draw)
    {
        gDraw = std::move(draw);
        ASSERT_TRUE(canvas->RenderFrame());
        ASSERT_EQ(gPixels.size(), static_cast<size_t>(kSize) * kSize * 3);
    }

    GL_Window* canvas = nullptr;
};

// A polyline along y = -39.5 (row 139) from x = -89.5, graduated every
// 30 m: dashed (about half its pixels between ticks), ticks 5 each side at
// columns 40, 70 ... in the colour last set (the points' grey while the
// points tool runs, which also shows the first point).
TEST_F(ElementDrawingTest, PolylineDashedWithTicks)
{
    gProjet.GraduationAxe = 30.0;
    Axe axe;
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(-89.5, -39.5, 0), LumPoint(90.5, -39.5, 0)});
    for (const bool pointsTool : {false, true})
    {
        SCOPED_TRACE(pointsTool);
        GetModelUi().SetEventsManager(pointsTool ? &OnAxePointsToolEvent : nullptr);
        Frame([&] { axe.Render(); });
        int lit = 0;
        for (int x = 20; x < 180; ++x)
            if (x % 30 > 13 && x % 30 < 27) // away from the ticks
            {
                lit += Is(x, 139, kDark);
                EXPECT_TRUE(Is(x, 139, kDark) || Is(x, 139, kWhite)) << x;
            }
        EXPECT_GT(lit, 25);
        EXPECT_LT(lit, 60);
        const Rgb tick = pointsTool ? kMid : kDark;
        for (int x = 40; x <= 190; x += 30)
        {
            EXPECT_TRUE(Is(x, 135, tick) && Is(x, 143, tick)) << x;
            EXPECT_TRUE(Is(x, 147, kWhite) && Is(x - 15, 135, kWhite)) << x;
        }
        EXPECT_TRUE(Is(10, 137, pointsTool ? kMid : kWhite));
    }
}

// Rayon 50 turned by Orientation 90 through the axis matrix: the arc's
// pixels lie on the circle of centre (0, 50) through the origin, below
// y = 20 and on both sides; the centre tool shows Origine, 7 pixels wide.
TEST_F(ElementDrawingTest, ArcThroughTheAxisMatrix)
{
    Axe axe;
    axe.Rayon = 50.0;
    axe.Orientation = 90.0;
    GetModelUi().SetEventsManager(&OnAxeCentreToolEvent);
    Frame([&] { axe.Render(); });
    int left = 0, right = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (Is(x, y, kDark))
            {
                const double sx = x + 0.5 - 100.0, sy = 100.0 - (y + 0.5);
                EXPECT_NEAR(std::hypot(sx, sy - 50.0), 50.0, 2.0) << x << "," << y;
                EXPECT_LT(sy, 20.0) << x << "," << y;
                left += sx < -25.0;
                right += sx > 25.0;
            }
    EXPECT_GT(left, 3);
    EXPECT_GT(right, 3);
    EXPECT_TRUE(Is(100, 102, kMid) && Is(100, 106, kWhite));
}

// A 40 m square read from a file sits on the zone's centre (the origin):
// columns and rows 80 to 119 in its colour; a previewed move of 50 m along
// x shows it 50 pixels right, the mesh unchanged.
TEST_F(ElementDrawingTest, SceneryFillsItsSquare)
{
    gProjet.Limite1 = LumPoint(-100, -100, 0);
    gProjet.Limite2 = LumPoint(100, 100, 0);
    const std::string path = ::testing::TempDir() + "drawn_square.obj";
    std::ofstream(path) << "v 0 0 0\nv 40 0 0\nv 40 40 0\nv 0 40 0\nf 1 2 3 4\n";
    Decor decor(path);
    std::remove(path.c_str());
    ASSERT_TRUE(decor.IsLoaded());
    decor.SetColour(255, 0, 0);
    for (const int move : {0, 50})
    {
        decor.SetTransformShown(move != 0);
        decor.SetPreview(0.0, LumPoint(move, 0, 0), LumPoint());
        Frame([&] { decor.Render(canvas->getDevice()); });
        for (int k = 77; k <= 122; ++k)
        {
            const bool inside = k >= 80 && k <= 119;
            EXPECT_EQ(Is(k + move, 100, kRed), inside) << move << " column " << k + move;
            EXPECT_EQ(Is(100 + move, k, kRed), inside) << move << " row " << k;
        }
    }
    EXPECT_NEAR(decor.GetCentre().x, 0.0, 1e-9);
    gProjet.Limite1 = gProjet.Limite2 = LumPoint();
}

// A horizontal reference plane is cut to the zone (-50, -40) to (50, 40)
// widened by a tenth of its width: columns 40 to 159, rows 50 to 149, in
// blue at 0.6 over white. A reference point outside the box, or not a
// number, comes back to the box's centre.
TEST_F(ElementDrawingTest, ReferencePlaneCutToTheZone)
{
    gProjet.Limite1 = LumPoint(50, -40, 0);
    gProjet.Limite2 = LumPoint(-50, 40, 0);
    const Rgb blue{102, 102, 255};
    const LumPoint cases[][2] = {{LumPoint(5, -3, 2), LumPoint(5, -3, 2)},
                                 {LumPoint(500, 0, 0), LumPoint(0, 0, 5)},
                                 {LumPoint(0, std::nan(""), 0), LumPoint(0, 0, 5)}};
    for (const auto& c : cases)
    {
        Discontinuite family("F");
        family.Origine = c[0];
        Frame([&] { family.Render(0.0, 10.0); });
        EXPECT_TRUE(Is(100, 100, kWhite)) << "not shown";
        family.OrigineAffichee = true;
        Frame([&] { family.Render(0.0, 10.0); });
        for (int k = 37; k <= 162; ++k)
        {
            EXPECT_EQ(Is(k, 100, blue), k >= 40 && k <= 159) << k;
            EXPECT_EQ(Is(100, k, blue), k >= 50 && k <= 149) << k;
        }
        EXPECT_NEAR((family.Origine - c[1]).Norm(), 0.0, 1e-12);
    }
    gProjet.Limite1 = gProjet.Limite2 = LumPoint();
}

// A 40 x 20 image (red, blue above; green, black below) at (10, 0) with
// Taille 0.5: 50 units tall, 100 wide in its proportions, so columns 60 to
// 159 and rows 75 to 124, its top up; half transparent at 50; an image
// that does not load draws nothing and takes no size.
TEST_F(ElementDrawingTest, BackgroundPlanInItsProportions)
{
    wxImage image(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.SetRGB(x, y, y < 10 && x < 20 ? 255 : 0, y >= 10 && x < 20 ? 255 : 0,
                         y < 10 && x >= 20 ? 255 : 0);
    const std::string path = ::testing::TempDir() + "drawn_plan.png";
    ASSERT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    FondPlan plan(path);
    plan.PosX = 10.0;
    plan.Taille = 0.5;
    LumoraDevice* device = canvas->getDevice();
    Frame([&] { plan.Render(device, 100); });
    EXPECT_EQ(plan.ImageWidth, 40);
    EXPECT_EQ(plan.ImageHeight, 20);
    EXPECT_TRUE(Is(65, 80, kRed) && Is(154, 80, kBlue) && Is(65, 119, kGreen) && Is(154, 119, kBlack));
    EXPECT_TRUE(Is(57, 80, kWhite) && Is(162, 119, kWhite) && Is(100, 72, kWhite) && Is(100, 127, kWhite));
    Frame([&] { plan.Render(device, 50); });
    EXPECT_TRUE(Is(65, 80, Rgb{255, 128, 128}));
    std::remove(path.c_str());

    FondPlan missing(::testing::TempDir() + "no_such_plan.png");
    Frame([&] { missing.Render(device, 100); });
    EXPECT_EQ(missing.ImageWidth, 0);
    EXPECT_TRUE(Is(100, 100, kWhite));
}

// The north tool's line runs along the angle in progress, 0.45 of the view
// width (90) each side of the centre, in a circle of 0.35 of it (70).
TEST_F(ElementDrawingTest, NorthToolOverlay)
{
    LumoraDevice* device = canvas->getDevice();
    const auto tool = [](int x, int y) { return Is(x, y, kTool); };
    NordToolMove(LumPoint(1, 0, 0)); // 90: towards +x
    Frame([&] { DrawNordToolOverlay(device); });
    EXPECT_TRUE((tool(50, 99) || tool(50, 100)) && (tool(12, 99) || tool(12, 100)));
    EXPECT_TRUE(Is(7, 99, kWhite) && Is(100, 50, kWhite));
    EXPECT_TRUE(tool(100, 29) || tool(100, 30)) << "circle";
    NordToolMove(LumPoint(0, 1, 0)); // 0: up
    Frame([&] { DrawNordToolOverlay(device); });
    EXPECT_TRUE((tool(99, 150) || tool(100, 150)) && Is(50, 99, kWhite) && Is(50, 100, kWhite));
}

// A level hole of 100 m heading east from (-50, 10.5) along row 89: red
// (the top layer) up to its point in the second layer at 40 m, green
// beyond, 5 units wide (a zone 1000 wide) and nothing off it. North 30
// with azimuth 60 heads east as well, as its crossing points do.
TEST_F(ElementDrawingTest, BoreholeColouredByTheLayersItCrosses)
{
    gProjet.Limite1 = LumPoint(-500, 0, 0);
    gProjet.Limite2 = LumPoint(500, 0, 0);
    Couche* top = gProjet.AddCouche("Haut", 0);
    Couche* below = gProjet.AddCouche("Bas", 1);
    ASSERT_TRUE(top && below);
    top->R = 255;
    top->G = top->B = 0;
    below->G = 255;
    below->R = below->B = 0;
    const int cases[][2] = {{0, 90}, {30, 60}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c[0]);
        gProjet.Nord = c[0];
        Sondage hole("S1", LumPoint(-50, 10.5, 0), false);
        hole.Azimut = c[1];
        hole.Profondeur = 100.0;
        hole.SetPointSondage("Bas", 40.0);
        EXPECT_NEAR(WorldToScene(gProjet, hole.GetPointSondage("Bas")->GetPosition()).x, -10.0, 1e-4);
        Frame([&] { hole.Render(canvas->getDevice()); });
        for (int x = 53; x <= 146; ++x)
            EXPECT_TRUE((x >= 87 && x <= 92) || Is(x, 89, x < 90 ? kRed : kGreen)) << x;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                EXPECT_TRUE(Is(x, y, kWhite) || (x >= 47 && x <= 152 && std::abs(y - 89) <= 5))
                    << x << "," << y;
    }
    gProjet.Reset();
}
} // namespace
