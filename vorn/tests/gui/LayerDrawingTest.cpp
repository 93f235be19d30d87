#include "Couche.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumHandledMesh.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"
#include "ScriptedUi.h"
#include "TeteTranchee.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace
{
// A 200 x 200 top view centred on the scene origin showing 200 scene units
// across: scene (x, y) lies at pixel (100 + x, 100 - y) from the top-left
// corner.
constexpr int kSize = 200;
std::function<void()> gDraw;
std::vector<unsigned char> gPixels;
bool gLightingAfter = false;

void DrawAndRead(LumoraDevice*)
{
    if (gDraw)
        gDraw();
    gLightingAfter = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    glFinish();
    gPixels.assign(static_cast<size_t>(kSize) * kSize * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}

using Rgb = std::array<int, 3>;
Rgb At(int x, int y)
{
    const size_t i = (static_cast<size_t>(kSize - 1 - y) * kSize + x) * 3;
    return {gPixels[i], gPixels[i + 1], gPixels[i + 2]};
}
// The pixel under scene (x, y).
Rgb AtScene(double x, double y)
{
    return At(static_cast<int>(std::floor(100 + x)), static_cast<int>(std::floor(100 - y)));
}
::testing::AssertionResult Is(const Rgb& got, const Rgb& c)
{
    for (int k = 0; k < 3; ++k)
        if (std::abs(got[k] - c[k]) > 3)
            return ::testing::AssertionFailure() << "(" << got[0] << "," << got[1] << "," << got[2]
                                                 << ") is not (" << c[0] << "," << c[1] << "," << c[2] << ")";
    return ::testing::AssertionSuccess();
}
const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

class LayerDrawingTest : public GuiTest::FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        SetModelUi(&ui);
        canvas = new GL_Window(panel, wxID_ANY, wxPoint(0, 0), wxSize(kSize, kSize));
        LumCamera* camera = canvas->getDevice()->GetCamera();
        camera->ChangeCameraMode(3);
        camera->SetPosition(0, 0, 0);
        camera->SetDistance(kSize);
        canvas->getDevice()->SetDrawCallback(DrawAndRead);
        ASSERT_TRUE(ShowAndWait(canvas));
    }
    void TearDown() override
    {
        gDraw = nullptr;
        gProjet.Reset();
        SetModelUi(nullptr);
        FrameTest::TearDown();
    }
    void Frame(std::function<void()> draw)
    {
        gDraw = std::move(draw);
        ASSERT_TRUE(canvas->RenderFrame());
        ASSERT_EQ(gPixels.size(), static_cast<size_t>(kSize) * kSize * 3);
    }
    // A red layer over the whole view (a square of two triangles).
    Couche* RedSquare()
    {
        gProjet.Limite1 = LumPoint(-90, -90, 0);
        gProjet.Limite2 = LumPoint(90, 90, 0);
        Couche* couche = gProjet.AddCouche("Couche", 0);
        for (const LumPoint& p :
             {LumPoint(-100, -100, 0), LumPoint(100, -100, 0), LumPoint(100, 100, 0), LumPoint(-100, 100, 0)})
            couche->AddPoint(p, 1, 0, false, false);
        couche->Triangulate();
        couche->R = 255;
        couche->G = couche->B = 0;
        return couche;
    }

    ScriptedUi ui;
    GL_Window* canvas = nullptr;
};

// Lit from above, red at opacity o over white reads (255, 255 (1 - o), ...).
// An override serves the next drawing only, also one that draws no face;
// in the visualisation mode a layer of opacity 0 draws only with one.
TEST_F(LayerDrawingTest, OpacityOverrideServesOneDrawing)
{
    Couche* couche = RedSquare();
    canvas->getDevice()->EnableLighting(true);
    const Rgb third{255, 179, 179};
    struct Step
    {
        const char* Name;
        bool Visualisation;
        int Opacite, Override;
        bool Faces;
        Rgb Expected;
    } steps[] = {
        {"override 30", false, 100, 30, true, third},
        {"then Opacite", false, 100, -1, true, kRed},
        {"override 30, no faces drawn", false, 100, 30, false, kWhite},
        {"then Opacite again", false, 100, -1, true, kRed},
        {"opacity 0 in 3D", true, 0, -1, true, kWhite},
        {"opacity 0 in 3D, override 30", true, 0, 30, true, third},
        {"opacity 0 in 3D after it", true, 0, -1, true, kWhite},
    };
    for (const Step& s : steps)
    {
        SCOPED_TRACE(s.Name);
        if (s.Visualisation && ui.GetMode() != 2)
            ui.EnterVisualisationMode(false);
        ASSERT_EQ(ui.GetMode(), s.Visualisation ? 2 : 1);
        couche->Opacite = s.Opacite;
        if (s.Override >= 0)
            couche->OpacityOverride = s.Override;
        Frame([&] { couche->Render(false, false, s.Faces, canvas->getDevice()); });
        EXPECT_TRUE(Is(At(100, 100), s.Expected));
        EXPECT_EQ(couche->OpacityOverride, -1);
    }
}

// Points by origin: free blue, level line red, borehole yellow, section
// orange, a live vertex of no origin black; a record whose vertex is gone
// draws nothing.
TEST_F(LayerDrawingTest, PointsColouredByTheirOrigin)
{
    Couche* couche = gProjet.AddCouche("Couche", 0);
    struct Point
    {
        double X, Y;
        int Type;
        bool Deleted;
        Rgb Expected;
    } points[] = {
        {-59.5, 39.5, 1, false, kBlue},       {-29.5, 39.5, 2, false, kRed},
        {0.5, 39.5, 3, false, {255, 255, 0}}, {30.5, 39.5, 4, false, {255, 204, 0}},
        {-59.5, -20.5, 0, false, kBlack},     {0.5, -20.5, 1, true, kWhite},
    };
    for (const Point& p : points)
    {
        const int id = couche->AddPoint(LumPoint(p.X, p.Y, 0), 1, 0, false, false);
        ASSERT_GE(id, 0);
        if (p.Deleted)
            couche->DeletePoint(id, false);
        couche->SetVertexType(id, p.Type, 0);
    }
    Frame([&] { couche->Render(false, true, false, canvas->getDevice()); });
    for (const Point& p : points)
    {
        EXPECT_TRUE(Is(AtScene(p.X, p.Y), p.Expected)) << p.Type;
        EXPECT_TRUE(Is(AtScene(p.X + 2, p.Y - 2), p.Expected)) << p.Type; // 5 pixels wide
        EXPECT_TRUE(Is(AtScene(p.X + 4, p.Y), kWhite)) << p.Type;
    }
}

// The terrain over the head is never more opaque than 0.75.
TEST_F(LayerDrawingTest, TerrainOverTheHeadAtMostThreeQuartersOpaque)
{
    Couche* couche = RedSquare();
    KorMesh patch;
    const int a = patch.AddVertex(-50, -50, 0), b = patch.AddVertex(50, -50, 0),
              c = patch.AddVertex(50, 50, 0), d = patch.AddVertex(-50, 50, 0);
    patch.AddFace({a, b, c, d});
    couche->GetDisplayMesh(Couche::TerrainSurTete)->CreateFromKorMesh(patch);
    for (const auto& [opacite, green] : {std::make_pair(100, 64), std::make_pair(50, 128)})
    {
        couche->Opacite = opacite;
        Frame([&] { couche->RenderTerrainOverHead(); });
        EXPECT_TRUE(Is(At(100, 100), {255, green, green})) << opacite;
        EXPECT_TRUE(Is(At(20, 100), kWhite)) << opacite;
    }
}

// Head frame on the scene: the single head's platform spans x in [-7.5,
// 7.5], y in [-25, 0]; its tube x in [-6, 6], y in [0, 5.6].
TEST_F(LayerDrawingTest, HeadDrawsItsMeshWhenThereIsOneAndItsTubes)
{
    auto draw = [&](TeteTranchee& head)
    {
        Frame(
            [&]
            {
                glDisable(GL_LIGHTING);
                glColor3d(0, 0, 1);
                head.Render();
            });
    };
    // No 3D scene: no display mesh, the tube alone.
    TeteTranchee single;
    single.Point1Tunnel2 = LumPoint(50, 50, 0);
    single.Point2Tunnel2 = LumPoint(50, 60, 0);
    draw(single);
    EXPECT_EQ(single.GetDisplayMesh(), nullptr);
    EXPECT_TRUE(Is(AtScene(0, 3), kBlue));
    EXPECT_TRUE(Is(AtScene(0, -10), kWhite));
    EXPECT_TRUE(Is(AtScene(50, 55), kWhite)); // a single head has one tube

    // A head drawn while a scene exists makes its display mesh there.
    ui.MainDevice = canvas->getDevice();
    draw(single);
    ASSERT_NE(single.GetDisplayMesh(), nullptr);
    EXPECT_EQ(canvas->getDevice()->FindObject("Tete"), single.GetDisplayMesh());
    EXPECT_TRUE(Is(AtScene(0, -10), kBlue));
    canvas->getDevice()->DeleteObject("Tete");
    ui.MainDevice = nullptr;

    // Two tubes, one on each front's middle.
    TeteTranchee twin;
    twin.DoubleEntree = true;
    ASSERT_TRUE(twin.BuildMesh());
    draw(twin);
    for (const LumPoint& p : {twin.Point1Tunnel1, twin.Point1Tunnel2})
        EXPECT_TRUE(Is(AtScene(p.x, p.y + 2), kBlue)) << p.x;
}

// The selected class as fans, lighting off meanwhile and on afterwards,
// also when there is nothing to draw.
TEST_F(LayerDrawingTest, SelectedFacesOfTheHead)
{
    TeteTranchee head;
    for (const int selected : {0, -1, 2})
    {
        head.SetSelectedFaceClass(selected);
        Frame(
            [&]
            {
                glColor3d(1, 0, 0);
                head.RenderSelectedFaces();
            });
        EXPECT_TRUE(Is(AtScene(0, -10), selected == 0 ? kRed : kWhite)) << selected;
        EXPECT_TRUE(gLightingAfter) << selected;
    }
}
} // namespace
