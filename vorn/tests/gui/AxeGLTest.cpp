#include "Axe.h"
#include "GL_Window.h"
#include "GuiTestHelpers.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace
{
// The axis and head matrices computed in software against those OpenGL
// composes from the same rotations inside a frame.
struct Case
{
    int nord;
    double orientation, inclination, direction, slope;
    bool reversed;
};
const Case kCases[] = {{30, 20.0, 5.0, 30.0, 5.0, false}, {-75, 200.0, -12.5, -135.0, -8.0, true}};
const LumPoint kOrigin(120.0, -45.0, 7.5), kHead(-3.0, 18.0, 2.0);
double gGLAxis[2][16], gGLHead[2][16];

void ComposeInGL(LumoraDevice*)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    for (int i = 0; i < 2; ++i)
    {
        const Case& c = kCases[i];
        glLoadIdentity();
        glTranslated(kOrigin.x, kOrigin.y, kOrigin.z);
        glRotated(c.inclination, 1, 0, 0);
        glRotated(-c.nord, 0, 0, 1);
        glRotated(-c.orientation, 0, 0, 1);
        glGetDoublev(GL_MODELVIEW_MATRIX, gGLAxis[i]);
        const double s = 2.0; // one metre at 1:50
        glLoadIdentity();
        glTranslated(kHead.x, kHead.y, kHead.z);
        glRotated(c.direction, 0, 0, -1);
        if (c.reversed)
            glRotated(180.0, 0, 0, -1);
        glRotated(c.reversed ? -c.slope : c.slope, 1, 0, 0);
        glScaled(s, s, s);
        glGetDoublev(GL_MODELVIEW_MATRIX, gGLHead[i]);
    }
    glPopMatrix();
}

using AxeGLTest = GuiTest::FrameTest;

TEST_F(AxeGLTest, MatricesAreOpenGLsOwn)
{
    auto* canvas = new GL_Window(panel, wxID_ANY, wxPoint(0, 0), wxSize(64, 64));
    canvas->getDevice()->SetDrawCallback(ComposeInGL);
    ASSERT_TRUE(ShowAndWait(canvas));
    ASSERT_TRUE(canvas->RenderFrame());

    gProjet.Echelle = 50.0;
    for (int i = 0; i < 2; ++i)
    {
        const Case& c = kCases[i];
        gProjet.Nord = c.nord;
        Axe axe;
        axe.Origine = kOrigin;
        axe.Orientation = c.orientation;
        axe.Inclinaison = c.inclination;
        axe.TeteInversee = c.reversed;
        const double* m = axe.ComputeMatrix();
        double h[16];
        axe.BuildHeadMatrix(kHead, c.direction, c.slope, h);
        // OpenGL may compose in single precision.
        for (int k = 0; k < 16; ++k)
        {
            EXPECT_NEAR(m[k], gGLAxis[i][k], 1e-5) << "case " << i << " M[" << k << "]";
            EXPECT_NEAR(h[k], gGLHead[i][k], 1e-5) << "case " << i << " H[" << k << "]";
        }
    }
    gProjet.Nord = 0;
    gProjet.Echelle = 100.0;
}
} // namespace
