#include "Axe.h"
#include "AxeTools.h"
#include "Decor.h"
#include "Discontinuite.h"
#include "FondPlan.h"
#include "FondPlanTools.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

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

// The grey level of pixel (x, y) from the top-left corner; -1 when the
// pixel is not grey.
int Grey(int x, int y)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    const int r = gPixels[i], g = gPixels[i + 1], b = gPixels[i + 2];
    return (std::abs(r - g) <= 2 && std::abs(g - b) <= 2) ? r : -1;
}

bool IsRed(int x, int y)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    return gPixels[i] > 250 && gPixels[i + 1] < 5 && gPixels[i + 2] < 5;
}

// The colour of pixel (x, y) from the top-left corner.
wxColour Colour(int x, int y)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    return wxColour(gPixels[i], gPixels[i + 1], gPixels[i + 2]);
}

// Blue at 0.6 over white.
bool IsPlaneBlue(int x, int y)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    return std::abs(gPixels[i] - 102) <= 3 && std::abs(gPixels[i + 1] - 102) <= 3 && gPixels[i + 2] > 250;
}

bool IsNear(int grey, int expected)
{
    return std::abs(grey - expected) <= 3;
}
constexpr int kDark = 51, kMid = 128, kWhite = 255; // 0.2, 0.5, 1

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

// A straight polyline along y = -39.5 from x = -89.5 to 90.5 (row 139),
// graduated every 30 m: the line is dashed, the ticks stand across it at
// 30, 60 ... from its first point, 5 on each side, and take the colour last
// set (the points' grey while the points tool runs).
TEST_F(ElementDrawingTest, PolylineDashedWithTicks)
{
    gProjet.GraduationAxe = 30.0;
    Axe axe;
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(-89.5, -39.5, 0), LumPoint(90.5, -39.5, 0)});

    const struct
    {
        bool pointsTool;
        int tickGrey;
    } cases[] = {{false, kDark}, {true, kMid}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pointsTool ? "points tool" : "no tool");
        GetModelUi().SetEventsManager(c.pointsTool ? &OnAxePointsToolEvent : nullptr);
        Frame([&] { axe.Render(); });

        // Dashed: about half the pixels of the line's row between the ticks.
        int lit = 0, other = 0;
        for (int x = 20; x < 180; ++x)
            if (x % 30 < 27 && x % 30 > 13) // away from the ticks at 40, 70 ...
            {
                const int g = Grey(x, 139);
                lit += IsNear(g, kDark);
                other += g != kWhite && !IsNear(g, kDark);
            }
        EXPECT_EQ(other, 0);
        EXPECT_GT(lit, 25);
        EXPECT_LT(lit, 60);
        // Nothing ten pixels off the line.
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(Grey(x, 129), kWhite) << x;

        // Ticks at x = -59.5, -29.5, ... 90.5: columns 40, 70, ... 190.
        for (int k = 1; k <= 6; ++k)
        {
            const int x = 10 + 30 * k;
            EXPECT_TRUE(IsNear(Grey(x, 135), c.tickGrey)) << "tick " << k;
            EXPECT_TRUE(IsNear(Grey(x, 143), c.tickGrey)) << "tick " << k;
            EXPECT_EQ(Grey(x, 147), kWhite) << "tick " << k;
            EXPECT_EQ(Grey(x - 15, 135), kWhite) << "between ticks " << k;
        }
        // The first point is no tick; the points tool shows it, 5 pixels wide.
        if (c.pointsTool)
            EXPECT_TRUE(IsNear(Grey(10, 137), kMid));
        else
            EXPECT_EQ(Grey(10, 137), kWhite);
    }
}

// The arc turned by Orientation through the axis matrix: with Rayon 50 and
// Orientation 90 its 90 points lie on the circle of centre (0, 50) through
// the origin, from x = -34.7 to 35.4 below the centre. The centre tool
// shows Origine as a 7-pixel point.
TEST_F(ElementDrawingTest, ArcThroughTheAxisMatrix)
{
    Axe axe;
    axe.Type = 0;
    axe.Rayon = 50.0;
    axe.Orientation = 90.0;
    GetModelUi().SetEventsManager(&OnAxeCentreToolEvent);
    Frame([&] { axe.Render(); });

    int left = 0, right = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const int g = Grey(x, y);
            if (!IsNear(g, kDark))
                continue;
            const double sx = x + 0.5 - 100.0, sy = 100.0 - (y + 0.5);
            const double r = std::hypot(sx, sy - 50.0);
            EXPECT_NEAR(r, 50.0, 2.0) << x << "," << y;
            EXPECT_LT(sy, 50.0 - 30.0) << x << "," << y;
            left += sx < -25.0;
            right += sx > 25.0;
        }
    EXPECT_GT(left, 3);
    EXPECT_GT(right, 3);
    EXPECT_EQ(Grey(100, 102), kMid);
    EXPECT_EQ(Grey(100, 106), kWhite);
    GetModelUi().SetEventsManager(nullptr);
    Frame([&] { axe.Render(); });
    EXPECT_EQ(Grey(100, 102), kWhite);
}

// A 40 m square read from a file sits centred on the displayed zone's
// centre (the origin), 10 m up: it fills pixels 80 to 119 in its colour; a
// previewed move of 50 m along x shows it 50 pixels right, the mesh
// unchanged.
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

    const struct
    {
        double move;
        int first, last; // the columns filled
    } cases[] = {{0.0, 80, 119}, {50.0, 130, 169}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.move);
        decor.SetTransformShown(c.move != 0.0);
        decor.SetPreview(0.0, LumPoint(c.move, 0, 0), LumPoint());
        Frame([&] { decor.Render(canvas->getDevice()); });
        for (int x = c.first - 3; x <= c.last + 3; ++x)
        {
            const bool inside = x >= c.first && x <= c.last;
            EXPECT_EQ(IsRed(x, 100), inside) << x;
            EXPECT_EQ(IsRed(x, 81), inside) << x;
        }
        EXPECT_FALSE(IsRed(c.first + 20, 77));
        EXPECT_FALSE(IsRed(c.first + 20, 122));
    }
    EXPECT_NEAR(decor.GetCentre().x, 0.0, 1e-9);
    gProjet.Limite1 = gProjet.Limite2 = LumPoint();
}

// A horizontal reference plane (dip 0) is cut to the zone (-50, -40) to
// (50, 40) widened by a tenth of its width, 10: it fills columns 40 to 159
// and rows 50 to 149 in translucent blue. A reference point outside the box
// (or not a number) comes back to the box's centre.
TEST_F(ElementDrawingTest, ReferencePlaneCutToTheZone)
{
    gProjet.Limite1 = LumPoint(50, -40, 0);
    gProjet.Limite2 = LumPoint(-50, 40, 0);
    const struct
    {
        LumPoint origin, drawnAt;
    } cases[] = {{LumPoint(5, -3, 2), LumPoint(5, -3, 2)},
                 {LumPoint(500, 0, 0), LumPoint(0, 0, 5)},
                 {LumPoint(0, std::nan(""), 0), LumPoint(0, 0, 5)}};
    for (const auto& c : cases)
    {
        Discontinuite family("F");
        family.Origine = c.origin;
        Frame([&] { family.Render(0.0, 10.0); });
        EXPECT_FALSE(IsPlaneBlue(100, 100)) << "not shown";

        family.OrigineAffichee = true;
        Frame([&] { family.Render(0.0, 10.0); });
        for (int x = 37; x <= 162; ++x)
            EXPECT_EQ(IsPlaneBlue(x, 100), x >= 40 && x <= 159) << x;
        for (int y = 47; y <= 152; ++y)
            EXPECT_EQ(IsPlaneBlue(100, y), y >= 50 && y <= 149) << y;
        EXPECT_NEAR((family.Origine - c.drawnAt).Norm(), 0.0, 1e-12);
    }
    gProjet.Limite1 = gProjet.Limite2 = LumPoint();
}

// A 40 x 20 image, red on the left and blue on the right above, green
// and black below, at (10, 0) with Taille 0.5: 50 scene units tall and,
// in its own proportions, 100 wide, so it covers columns 60 to 159 and
// rows 75 to 124, its top up.
TEST_F(ElementDrawingTest, BackgroundPlanInItsProportions)
{
    wxImage image(40, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
        {
            const bool left = x < 20, top = y < 10;
            image.SetRGB(x, y, top && left ? 255 : 0, !top && left ? 255 : 0, top && !left ? 255 : 0);
        }
    const std::string path = ::testing::TempDir() + "drawn_plan.png";
    ASSERT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
    FondPlan plan(path);
    plan.PosX = 10.0;
    plan.Taille = 0.5;
    LumoraDevice* device = canvas->getDevice();

    Frame([&] { plan.Render(device, 100); });
    EXPECT_EQ(plan.ImageWidth, 40);
    EXPECT_EQ(plan.ImageHeight, 20);
    EXPECT_EQ(Colour(65, 80), *wxRED);
    EXPECT_EQ(Colour(154, 80), *wxBLUE);
    EXPECT_EQ(Colour(65, 119), wxColour(0, 255, 0));
    EXPECT_EQ(Colour(154, 119), *wxBLACK);
    EXPECT_EQ(Colour(57, 80), *wxWHITE);
    EXPECT_EQ(Colour(162, 119), *wxWHITE);
    EXPECT_EQ(Colour(100, 72), *wxWHITE);
    EXPECT_EQ(Colour(100, 127), *wxWHITE);

    // Half transparent over white; none at all at 0.
    Frame([&] { plan.Render(device, 50); });
    const wxColour half = Colour(65, 80);
    EXPECT_NEAR(half.Red(), 255, 2);
    EXPECT_NEAR(half.Green(), 128, 2);
    Frame([&] { plan.Render(device, 0); });
    EXPECT_EQ(Colour(65, 80), *wxWHITE);
    std::remove(path.c_str());

    // An image that does not load draws nothing and takes no size (the
    // device still holds the previous image's).
    FondPlan missing(::testing::TempDir() + "no_such_plan.png");
    Frame([&] { missing.Render(device, 100); });
    EXPECT_EQ(missing.ImageWidth, 0);
    EXPECT_EQ(Colour(100, 100), *wxWHITE);
}

// The north tool's line runs along the angle in progress, 0.45 of the view
// width each side of the centre, inside a circle of 0.35 of it; the
// calibration's red segment joins the first point to the mouse.
TEST_F(ElementDrawingTest, PlanToolOverlays)
{
    LumoraDevice* device = canvas->getDevice();
    const auto grey = [](int x, int y) { return IsNear(Grey(x, y), 102); };
    NordToolMove(LumPoint(1, 0, 0)); // 90: towards +x
    Frame([&] { DrawNordToolOverlay(device); });
    EXPECT_TRUE(grey(50, 99) || grey(50, 100));
    EXPECT_TRUE(grey(12, 99) || grey(12, 100));
    EXPECT_EQ(Grey(7, 99), kWhite);
    EXPECT_EQ(Grey(100, 50), kWhite);
    EXPECT_TRUE(grey(100, 29) || grey(100, 30)) << "circle";
    NordToolMove(LumPoint(0, 1, 0)); // 0: up
    Frame([&] { DrawNordToolOverlay(device); });
    EXPECT_TRUE(grey(99, 150) || grey(100, 150));
    EXPECT_EQ(Grey(50, 99), kWhite);
    EXPECT_EQ(Grey(50, 100), kWhite);

    StartFondPlanCalibration();
    Frame([&] { DrawFondPlanCalibrationOverlay(device); });
    EXPECT_EQ(Grey(100, 79), kWhite) << "no point yet";
    FondPlanCalibrationClick(LumPoint(-50.5, 20.5, 0));
    FondPlanCalibrationMove(LumPoint(30.5, 20.5, 0));
    Frame([&] { DrawFondPlanCalibrationOverlay(device); });
    // From the centre of column 49 to that of column 130 (the end pixels
    // follow the rasteriser's rule).
    for (int x = 45; x <= 135; ++x)
        if (x < 49 || x > 130 || (x > 49 && x < 129))
            EXPECT_EQ(IsRed(x, 79), x > 49 && x < 129) << x;
    FondPlanCalibrationCancel();
    EXPECT_EQ(gProjet.Echelle, 100.0);
}
} // namespace
