#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumCamera.h"
#include "LumoraDevice.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <wx/filename.h>

#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

namespace
{
// What a frame drew: the draw callback runs the test's drawing, then reads
// the back buffer before the swap.
std::function<void(LumoraDevice*)> gDraw;
std::vector<unsigned char> gPixels;
int gWidth = 0, gHeight = 0, gFrames = 0;

void DrawAndRead(LumoraDevice* device)
{
    ++gFrames;
    if (gDraw)
        gDraw(device);
    glFinish();
    device->GetContainer()->GetDimensions(gWidth, gHeight);
    gPixels.assign(static_cast<size_t>(gWidth) * gHeight * 3, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gWidth, gHeight, GL_RGB, GL_UNSIGNED_BYTE, gPixels.data());
}

// The colour of pixel (x, y) counted from the top-left corner.
wxColour Pixel(int x, int y)
{
    const size_t i = (static_cast<size_t>(gHeight - 1 - y) * gWidth + x) * 3;
    return wxColour(gPixels[i], gPixels[i + 1], gPixels[i + 2]);
}

bool IsRed(const wxColour& c)
{
    return c.Red() > 200 && c.Green() < 60 && c.Blue() < 60;
}

// The bounding rectangle of the pixels that pass a test (empty when none).
wxRect Where(const std::function<bool(const wxColour&)>& test)
{
    int x0 = gWidth, y0 = gHeight, x1 = -1, y1 = -1;
    for (int y = 0; y < gHeight; ++y)
        for (int x = 0; x < gWidth; ++x)
            if (test(Pixel(x, y)))
            {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    return x1 < 0 ? wxRect() : wxRect(wxPoint(x0, y0), wxPoint(x1, y1));
}

class GLWindowTest : public GuiTest::FrameTest
{
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        frame->SetClientSize(840, 640);
        gDraw = nullptr;
        gFrames = 0;
    }
    void TearDown() override
    {
        gDraw = nullptr;
        FrameTest::TearDown();
    }

    // A shown canvas whose device draws through DrawAndRead, its camera a
    // top view of extent E (scene units per view height) centred on (cx, cy).
    GL_Window* TopViewCanvas(const wxPoint& at, const wxSize& size, double E, double cx, double cy)
    {
        auto* canvas = new GL_Window(panel, wxID_ANY, at, size);
        canvas->getDevice()->SetDrawCallback(DrawAndRead);
        LumCamera* camera = canvas->getDevice()->GetCamera();
        camera->ChangeCameraMode(LumCamera::TopView);
        camera->SetDistance(E);
        camera->SetPosition(cx, cy, 10000);
        camera->SetTarget(cx, cy, 0);
        EXPECT_TRUE(ShowAndWait(canvas));
        return canvas;
    }

    // A 16 x 8 image, red above and blue below, in the temporary folder.
    static wxString TwoColourImage()
    {
        wxImage image(16, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                image.SetRGB(x, y, y < 4 ? 255 : 0, 0, y < 4 ? 0 : 255);
        // A name of its own: the same test may run beside this one.
        const wxString base = wxFileName::CreateTempFileName("lumora_texture");
        wxRemoveFile(base);
        const wxString path = base + ".png";
        EXPECT_TRUE(image.SaveFile(path, wxBITMAP_TYPE_PNG));
        return path;
    }
};
} // namespace

TEST_F(GLWindowTest, TopViewPointLandsOnThePredictedPixelAndDepthReadsItBack)
{
    const double E = 300, cx = 100, cy = 50, unit = E / 600; // half a unit per pixel
    GL_Window* canvas = TopViewCanvas(wxPoint(0, 0), wxSize(800, 600), E, cx, cy);
    int w = 0, h = 0;
    canvas->GetDimensions(w, h);
    ASSERT_EQ(w, 800);
    ASSERT_EQ(h, 600);

    // The point meant for the centre of pixel (250, 120), above a grey
    // plateau at z = 5 over the left half of the view.
    const double px = 250, py = 120;
    const double x = cx + (px + 0.5 - 400) * unit, y = cy - (py + 0.5 - 300) * unit;
    gDraw = [&](LumoraDevice*)
    {
        glColor3f(0.5f, 0.5f, 0.5f);
        glBegin(GL_QUADS);
        glVertex3d(cx - 200, cy - 150, 5);
        glVertex3d(cx, cy - 150, 5);
        glVertex3d(cx, cy + 150, 5);
        glVertex3d(cx - 200, cy + 150, 5);
        glEnd();
        glColor3f(1, 0, 0);
        glBegin(GL_POINTS);
        glVertex3d(x, y, 6);
        glEnd();
    };
    gFrames = 0;
    ASSERT_TRUE(canvas->RenderFrame());
    ASSERT_EQ(gFrames, 1);
    const wxRect red = Where(IsRed);
    ASSERT_FALSE(red.IsEmpty());
    EXPECT_NEAR(red.x, px, 1);
    EXPECT_NEAR(red.y, py, 1);
    EXPECT_LE(red.width, 2);

    // Back from the depth buffer: over the plateau its height, beside it
    // (nothing drawn) the plane z = 0; x and y within one pixel everywhere.
    struct Case
    {
        int px, py;
        double z;
    } cases[] = {{100, 100, 5}, {399, 599, 5}, {600, 300, 0}, {799, 0, 0}};
    LumCamera* camera = canvas->getDevice()->GetCamera();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "pixel " << c.px << "," << c.py);
        const LumPoint p = camera->GetPosition(c.px, c.py);
        EXPECT_NEAR(p.x, cx + (c.px - 400) * unit, unit);
        EXPECT_NEAR(p.y, cy - (c.py - 300) * unit, unit);
        EXPECT_NEAR(p.z, c.z, 0.01);
    }
}

TEST_F(GLWindowTest, PointsAndClipPlanesLandWhereTheSceneSaysInBothModes)
{
    GL_Window* canvas = TopViewCanvas(wxPoint(0, 0), wxSize(800, 600), 300, 100, 50); // half a unit a pixel
    LumCamera* camera = canvas->getDevice()->GetCamera();
    // A red square over the whole view (in the plane z = 0 seen from above,
    // y = 0 seen from the side), cut by a plane given with an identity
    // model-view: x >= clipX in scene units.
    double clipX = 130;
    bool upright = false;
    gDraw = [&](LumoraDevice*)
    {
        glLoadIdentity();
        const double plane[4] = {1, 0, 0, -clipX};
        glClipPlane(GL_CLIP_PLANE0, plane);
        glEnable(GL_CLIP_PLANE0);
        glColor3f(1, 0, 0);
        if (upright)
            glRotated(90, 1, 0, 0); // the plane y = 0, after the clip plane is set
        glRectd(-1000, -1000, 1000, 1000);
        glDisable(GL_CLIP_PLANE0);
    };
    ASSERT_TRUE(canvas->RenderFrame());
    wxRect red = Where(IsRed);
    EXPECT_NEAR(red.x, 400 + (130 - 100) / 0.5, 1); // scene x 130 is pixel 460
    EXPECT_EQ(red.GetRight(), 799);

    // The free camera 100 units before the origin, looking along y: scene
    // (x, 0, z) is pixel (400 + 300 x / (100 t), 300 - 300 z / (100 t)),
    // t = tan 22.5 degrees.
    camera->ChangeCameraMode(LumCamera::Free);
    camera->SetTarget(0, 0, 0);
    camera->SetPosition(0, -100, 0);
    const double k = 300 / (100 * std::tan(M_PI / 8));
    clipX = 10;
    upright = true;
    ASSERT_TRUE(canvas->RenderFrame());
    red = Where(IsRed);
    EXPECT_NEAR(red.x, 400 + k * 10, 1);
    EXPECT_EQ(red.GetRight(), 799);

    gDraw = [](LumoraDevice*)
    {
        glColor3f(1, 0, 0);
        glBegin(GL_POINTS);
        glVertex3d(10, 0, -5);
        glEnd();
    };
    ASSERT_TRUE(canvas->RenderFrame());
    red = Where(IsRed);
    ASSERT_FALSE(red.IsEmpty());
    EXPECT_NEAR(red.x, 400 + k * 10, 1);
    EXPECT_NEAR(red.y, 300 + k * 5, 1);
    EXPECT_LE(red.width, 2);
}

TEST_F(GLWindowTest, TextAndTexturedQuadLeaveTheirPixels)
{
    GL_Window* canvas = TopViewCanvas(wxPoint(0, 0), wxSize(800, 600), 200, 0, 0); // 3 px a unit
    const wxString path = TwoColourImage();
    LumoraDevice* device = canvas->getDevice();
    unsigned int texture = 0;
    gDraw = [&](LumoraDevice* d)
    {
        // The background plan's quad: 100 units tall, centred on the origin.
        glEnable(GL_TEXTURE_2D);
        texture = d->LoadTexture(path.utf8_string(), 0);
        glColor3f(1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 1);
        glVertex3d(-50, 50, -1000);
        glTexCoord2d(1, 1);
        glVertex3d(50, 50, -1000);
        glTexCoord2d(1, 0);
        glVertex3d(50, -50, -1000);
        glTexCoord2d(0, 0);
        glVertex3d(-50, -50, -1000);
        glEnd();
        // A green label whose origin is scene (-100, -80): pixel (100, 540).
        glColor3f(0, 1, 0);
        glTranslated(-100, -80, 0);
        d->Draw2DText("MMM");
        glLoadIdentity();
    };
    ASSERT_TRUE(canvas->RenderFrame());
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(device->GetTextureWidth(), 16);
    EXPECT_EQ(device->GetTextureHeight(), 8);
    EXPECT_EQ(Pixel(400, 200), wxColour(255, 0, 0)); // image top at the quad's top
    EXPECT_EQ(Pixel(400, 400), wxColour(0, 0, 255));
    EXPECT_EQ(Pixel(100, 300), wxColour(255, 255, 255)); // outside the quad

    // The label: green pixels only right of its origin, around the baseline,
    // mostly above it; texturing, still on, did not tint it.
    const wxRect text =
        Where([](const wxColour& c) { return c.Green() > 200 && c.Red() < 60 && c.Blue() < 60; });
    ASSERT_FALSE(text.IsEmpty());
    EXPECT_GE(text.x, 99);
    EXPECT_LE(text.x, 104);
    EXPECT_GE(text.width, 12);
    EXPECT_LT(text.y, 540 - 5);
    EXPECT_GT(text.y, 540 - 40);
    // "M" stands on the baseline, the boundary above pixel row 540.
    EXPECT_LE(text.GetBottom(), 540);
    EXPECT_GE(text.GetBottom(), 537);
    wxRemoveFile(path);
}

TEST_F(GLWindowTest, CanvasesShareTexturesAndAHiddenOneDrawsNothing)
{
    GL_Window* left = TopViewCanvas(wxPoint(0, 0), wxSize(200, 150), 100, 0, 0);
    GL_Window* right = TopViewCanvas(wxPoint(220, 0), wxSize(200, 150), 100, 0, 0);
    const wxString path = TwoColourImage();
    std::map<LumoraDevice*, unsigned int> names;
    unsigned int missing = 1;
    gDraw = [&](LumoraDevice* d)
    {
        names[d] = d->LoadTexture(path.utf8_string(), 0);
        missing = d->LoadTexture("/nonexistent/plan.png", 0);
    };
    ASSERT_TRUE(left->RenderFrame());
    ASSERT_TRUE(right->RenderFrame());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_NE(names[left->getDevice()], 0u);
    EXPECT_EQ(names[left->getDevice()], names[right->getDevice()]);
    EXPECT_EQ(right->getDevice()->GetTextureWidth(), 16);
    EXPECT_EQ(missing, 0u);

    // A callback that throws does not stop the canvas's later frames.
    gDraw = [](LumoraDevice*) { throw std::runtime_error("callback"); };
    EXPECT_THROW(left->RenderFrame(), std::runtime_error);
    gDraw = nullptr;
    EXPECT_TRUE(left->RenderFrame());

    // A canvas in a frame never shown: no frame, no texture, no assert; its
    // camera still maps pixels onto z = 0.
    wxFrame* hidden = new wxFrame(nullptr, wxID_ANY, "hidden");
    auto* unseen = new GL_Window(hidden, wxID_ANY, wxDefaultPosition, wxSize(200, 150));
    unseen->getDevice()->SetDrawCallback(DrawAndRead);
    gFrames = 0;
    EXPECT_FALSE(unseen->RenderFrame());
    unseen->getDevice()->StartRendering();
    unseen->Refresh();
    GuiTest::Pump(50);
    EXPECT_EQ(gFrames, 0);
    EXPECT_EQ(unseen->getDevice()->LoadTexture(path.utf8_string(), 0), 0u);
    unseen->getDevice()->GetCamera()->SetCanvasSize(200, 150);
    EXPECT_EQ(unseen->getDevice()->GetCamera()->GetPosition(10, 10).z, 0.0);
    hidden->Destroy();
    GuiTest::Pump(20);
    wxRemoveFile(path);
}
