// Draws a renderable mesh into a real GL context (a wxGLCanvas on a shown
// frame, Mesa under Xvfb) in each polygon mode and checks what was drawn:
// the primitives the GL received (feedback mode) and the pixels.

#include "GuiTestHelpers.h"
#include "Instance3D.h"
#include "KorMesh.h"
#include "LumGLBuffer.h"
#include "LumHandledMesh.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/glcanvas.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace
{
const int kSize = 128; // canvas pixels; the scene spans [0, 4] x [0, 4]

struct FeedbackCounts
{
    int polygons = 0;
    int lines = 0;
    int points = 0;
};

// Runs draw() in feedback mode and counts the primitives the GL received.
template <typename Draw> FeedbackCounts Feedback(Draw draw)
{
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);
    FeedbackCounts counts;
    for (GLint i = 0; i < used;)
    {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN)
        {
            const GLint n = static_cast<GLint>(buffer[i++]);
            i += 2 * n;
            ++counts.polygons;
        }
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
        {
            i += 4;
            ++counts.lines;
        }
        else if (token == GL_POINT_TOKEN)
        {
            i += 2;
            ++counts.points;
        }
        else
            ADD_FAILURE() << "unexpected feedback token " << token;
    }
    return counts;
}

class LumHandledMeshRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mFrame = new wxFrame(nullptr, wxID_ANY, "render", wxDefaultPosition, wxSize(kSize + 64, kSize + 64));
        wxGLAttributes attributes;
        attributes.PlatformDefaults().RGBA().DoubleBuffer().EndList();
        mCanvas = new wxGLCanvas(mFrame, attributes, wxID_ANY, wxDefaultPosition, wxSize(kSize, kSize));
        mFrame->Show();
        // A loaded machine maps the window late: wait for it, not for a count
        // of yields.
        GuiTest::WaitFor([&] { return mCanvas->IsShownOnScreen(); });
        wxTheApp->Yield(true);
        mContext = std::make_unique<wxGLContext>(mCanvas);
        ASSERT_TRUE(mContext->IsOK());
        ASSERT_TRUE(mCanvas->SetCurrent(*mContext));

        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 4.0, 0.0, 4.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glPointSize(5.0f);
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);

        // A square (one face, two fan triangles, diagonal from (1, 1) to
        // (3, 3)) and a separate triangle.
        const double corners[7][2] = {{1, 1},       {3, 1},       {3, 3},     {1, 3},
                                      {3.25, 0.25}, {3.75, 0.25}, {3.5, 0.75}};
        for (const auto& c : corners)
            mMesh.AddVertex(c[0], c[1], 0.0);
        ASSERT_GE(mMesh.AddFace(4, 0, 1, 2, 3), 0);
        ASSERT_GE(mMesh.AddFace(3, 4, 5, 6), 0);
        mRenderable.CreateFromKorMesh(mMesh);
    }

    void TearDown() override
    {
        mContext.reset();
        mFrame->Destroy();
        wxTheApp->Yield(true);
    }

    void DrawInMode(int mode)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 1, 1);
        Instance3D instance(&mRenderable, mode);
        mRenderable.Render(&instance);
        glFinish();
        mPixels.assign(kSize * kSize * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, mPixels.data());
    }

    // Whether any pixel within one pixel of the scene point is lit.
    bool LitNear(double x, double y) const
    {
        const int px = static_cast<int>(x * kSize / 4.0), py = static_cast<int>(y * kSize / 4.0);
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
            {
                const int cx = px + dx, cy = py + dy;
                if (cx >= 0 && cy >= 0 && cx < kSize && cy < kSize && mPixels[4 * (cy * kSize + cx)] > 128)
                    return true;
            }
        return false;
    }

    wxFrame* mFrame = nullptr;
    wxGLCanvas* mCanvas = nullptr;
    std::unique_ptr<wxGLContext> mContext;
    KorMesh mMesh;
    LumHandledMesh mRenderable{nullptr, "render"};
    std::vector<unsigned char> mPixels;
};
} // namespace

TEST_F(LumHandledMeshRender, FillDrawsEveryTriangle)
{
    Instance3D instance(&mRenderable, GL_FILL);
    glShadeModel(GL_SMOOTH);
    FeedbackCounts smooth = Feedback([&] { mRenderable.Render(&instance); });
    EXPECT_EQ(smooth.polygons, 3);
    glShadeModel(GL_FLAT);
    FeedbackCounts flat = Feedback([&] { mRenderable.Render(&instance); });
    EXPECT_EQ(flat.polygons, 3);
    EXPECT_EQ(flat.lines + flat.points, 0);

    DrawInMode(GL_FILL);
    EXPECT_TRUE(LitNear(2.0, 2.0));  // on the fan diagonal
    EXPECT_TRUE(LitNear(1.5, 2.5));  // inside the second fan triangle
    EXPECT_TRUE(LitNear(3.5, 0.45)); // inside the separate triangle
    EXPECT_FALSE(LitNear(0.5, 0.5)); // outside
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
}

TEST_F(LumHandledMeshRender, LineDrawsFaceSidesWithoutFanDiagonals)
{
    Instance3D instance(&mRenderable, GL_LINE);
    FeedbackCounts counts = Feedback([&] { mRenderable.Render(&instance); });
    EXPECT_EQ(counts.lines, 4 + 3);
    EXPECT_EQ(counts.polygons + counts.points, 0);

    DrawInMode(GL_LINE);
    EXPECT_TRUE(LitNear(2.0, 1.0));  // bottom side of the square
    EXPECT_TRUE(LitNear(1.0, 2.0));  // left side
    EXPECT_FALSE(LitNear(2.0, 2.0)); // the fan diagonal is not drawn
    EXPECT_FALSE(LitNear(1.5, 2.5)); // inside
}

TEST_F(LumHandledMeshRender, PointDrawsEachCornerOnce)
{
    Instance3D instance(&mRenderable, GL_POINT);
    FeedbackCounts counts = Feedback([&] { mRenderable.Render(&instance); });
    EXPECT_EQ(counts.points, 4 + 3);
    EXPECT_EQ(counts.polygons + counts.lines, 0);
    FeedbackCounts vertices = Feedback([&] { mRenderable.RenderVertices(&instance); });
    EXPECT_EQ(vertices.points, 7);

    DrawInMode(GL_POINT);
    EXPECT_TRUE(LitNear(1.0, 1.0));
    EXPECT_TRUE(LitNear(3.0, 3.0));
    EXPECT_FALSE(LitNear(2.0, 1.0)); // middle of a side
    EXPECT_FALSE(LitNear(2.0, 2.0));
}

TEST_F(LumHandledMeshRender, WithoutAnInstanceTheCurrentModeRules)
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    FeedbackCounts counts = Feedback([&] { mRenderable.Render(nullptr); });
    EXPECT_EQ(counts.lines, 7);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Drawn from GL buffers and in immediate mode, a lit mesh gives the same
// pixels in every mode and shading, also after the arrays changed (a moved
// vertex, new texture coordinates, a new mesh) and in a copy: the buffers
// follow every change. A jittered 9 x 9 grid of quads (two faces cut in
// three by a fan) over the view, with a smooth relief.
TEST_F(LumHandledMeshRender, BuffersDrawTheImmediatePixels)
{
    KorMesh grid;
    const int n = 9;
    unsigned seed = 12345;
    const auto jitter = [&seed]
    {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 16) % 1000) / 1000.0 * 0.2 - 0.1;
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
            const double x = 0.2 + 3.6 * i / (n - 1) + jitter(), y = 0.2 + 3.6 * j / (n - 1) + jitter();
            grid.AddVertex(x, y, 0.3 * std::sin(x) * std::cos(y));
        }
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i)
        {
            const int a = j * n + i, b = a + 1, c = a + n + 1, d = a + n;
            if ((i + j) % 5 == 0)
                ASSERT_GE(grid.AddFace(4, a, b, c, d), 0);
            else
            {
                ASSERT_GE(grid.AddFace(3, a, b, c), 0);
                ASSERT_GE(grid.AddFace(3, a, c, d), 0);
            }
        }
    LumHandledMesh mesh(nullptr, "grid");
    mesh.CreateFromKorMesh(grid);

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat direction[4] = {0.3f, 0.5f, 1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glEnable(GL_COLOR_MATERIAL);
    const auto draw = [this](LumHandledMesh& m, int mode, int shade, bool buffers)
    {
        LumGLBuffer::SetEnabled(buffers);
        glShadeModel(shade);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(0.9f, 0.6f, 0.3f);
        Instance3D instance(&m, mode);
        m.Render(&instance);
        if (mode == GL_POINT)
            m.RenderVertices(&instance);
        glFinish();
        std::vector<unsigned char> pixels(kSize * kSize * 4, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        LumGLBuffer::SetEnabled(true);
        return pixels;
    };
    const auto compare = [&](LumHandledMesh& m, const char* step)
    {
        for (int mode : {GL_FILL, GL_LINE, GL_POINT})
            for (int shade : {GL_SMOOTH, GL_FLAT})
            {
                const std::vector<unsigned char> immediate = draw(m, mode, shade, false);
                EXPECT_EQ(draw(m, mode, shade, true), immediate)
                    << step << " mode " << mode << " shade " << shade;
                // The second time from the buffers made the first time.
                EXPECT_EQ(draw(m, mode, shade, true), immediate) << step << " again";
                EXPECT_GT(
                    std::count_if(immediate.begin(), immediate.end(), [](unsigned char c) { return c > 0; }),
                    kSize * kSize / 50)
                    << step;
            }
    };
    compare(mesh, "built");
    ASSERT_GE(mesh.ChangeVertex(40, LumPoint(2.3, 1.7, 0.5)), 0);
    compare(mesh, "vertex moved");
    for (int id = 0; id < n * n; ++id)
        mesh.ChangeTextureVertex(id, LumPoint(id % n / 8.0, id / n / 8.0, 0.0));
    compare(mesh, "texture coordinates");
    LumHandledMesh copy = mesh;
    compare(copy, "copy");
    grid.DeleteVertex(30);
    mesh.CreateFromKorMesh(grid);
    compare(mesh, "rebuilt");
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
}
