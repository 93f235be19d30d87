// Draws the split planes of a kd-tree into a real GL context (Mesa under
// Xvfb) and counts, in feedback mode, the rectangles the GL received: one per
// split voxel within the depth limit.

#include "GuiTestHelpers.h"
#include "KorMesh.h"
#include "LumKdTree.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/glcanvas.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
int CountPolygons(LumKdTree& tree, int maxDepth)
{
    std::vector<GLfloat> buffer(1 << 18);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    tree.Render(nullptr, maxDepth);
    const GLint used = glRenderMode(GL_RENDER);
    int polygons = 0;
    for (GLint i = 0; i < used;)
    {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token != GL_POLYGON_TOKEN)
        {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const GLint n = static_cast<GLint>(buffer[i++]);
        i += 3 * n;
        ++polygons;
    }
    return polygons;
}

// Split voxels (with no faces of their own) at depth <= maxDepth (< 0: all).
int CountSplits(const KdVoxel* root, int maxDepth)
{
    int count = 0;
    std::vector<const KdVoxel*> stack(1, root);
    while (!stack.empty())
    {
        const KdVoxel* v = stack.back();
        stack.pop_back();
        if (!v->IsSplit() || (maxDepth >= 0 && v->GetDepth() > static_cast<unsigned>(maxDepth)))
            continue;
        ++count;
        stack.push_back(v->GetSon1());
        stack.push_back(v->GetSon2());
    }
    return count;
}
} // namespace

TEST(LumKdTreeRender, OneRectanglePerSplitWithinTheDepth)
{
    wxFrame* frame = new wxFrame(nullptr, wxID_ANY, "kd", wxDefaultPosition, wxSize(192, 192));
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().EndList();
    wxGLCanvas* canvas = new wxGLCanvas(frame, attributes, wxID_ANY, wxDefaultPosition, wxSize(128, 128));
    frame->Show();
    // A loaded machine maps the window late: wait for it, not for a count
    // of yields.
    GuiTest::WaitFor([&] { return canvas->IsShownOnScreen(); });
    wxTheApp->Yield(true);
    {
        auto context = std::make_unique<wxGLContext>(canvas);
        ASSERT_TRUE(context->IsOK());
        ASSERT_TRUE(canvas->SetCurrent(*context));
        glViewport(0, 0, 128, 128);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-2, 2, -2, 2, -10, 10); // the grid's tree lies well inside
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);

        // A wavy 8 x 8 grid over [-1, 1]^2.
        KorMesh grid;
        for (int j = 0; j <= 8; ++j)
            for (int i = 0; i <= 8; ++i)
                grid.AddVertex(-1 + i * 0.25, -1 + j * 0.25, 0.3 * std::sin(3.0 * i) * std::cos(2.0 * j));
        for (int j = 0; j < 8; ++j)
            for (int i = 0; i < 8; ++i)
            {
                const int a = j * 9 + i;
                grid.AddFace(3, a, a + 1, a + 10);
                grid.AddFace(3, a, a + 10, a + 9);
            }
        LumKdTree tree(grid);
        const int all = CountSplits(tree.GetMainVoxel(), -1);
        ASSERT_GT(all, 3);
        // The GL may hand a quad back as one polygon or as two triangles.
        const int perRectangle = CountPolygons(tree, 0);
        ASSERT_TRUE(perRectangle == 1 || perRectangle == 2) << perRectangle;
        EXPECT_EQ(CountPolygons(tree, -1), perRectangle * all);
        EXPECT_EQ(CountPolygons(tree, 2), perRectangle * CountSplits(tree.GetMainVoxel(), 2));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING)); // switched back on
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
    }
    frame->Destroy();
    wxTheApp->Yield(true);
}
