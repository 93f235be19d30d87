// The drawing of a trench head: its display mesh, the tunnel tubes and the
// faces of the selected class. Immediate-mode OpenGL inside a draw callback.
#include "TeteTranchee.h"

#include "LumHandledMesh.h"
#include "ModelUi.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

void TeteTranchee::Render()
{
    // The rebuild makes the display mesh when there is a scene to hold it;
    // without one it is tried only for a head never built, rather than
    // dropping the results at every frame.
    if (!mDisplayMesh && (GetModelUi().GetMainDevice() || !mBuilt))
        BuildMesh();
    if (mDisplayMesh)
        mDisplayMesh->Render(nullptr);
    RenderTunnelTube(Point1Tunnel1, Point2Tunnel1, LargeurTunnel, HauteurTunnel);
    if (DoubleEntree)
        RenderTunnelTube(Point1Tunnel2, Point2Tunnel2, LargeurTunnel, HauteurTunnel);
}

void TeteTranchee::RenderTunnelTube(const LumPoint& start, const LumPoint& end, double width, double height)
{
    // Eight ring points from pi down to 0; the normal is the circle's, also
    // for a profile that is not one.
    LumPoint nearRing[8], farRing[8], normal[8];
    for (int k = 0; k < 8; ++k)
    {
        const double a = 3.14159265 - k * 0.44879895;
        nearRing[k] = LumPoint(start.x + std::cos(a) * width / 2, start.y, std::sin(a) * height);
        farRing[k] = LumPoint(nearRing[k].x, end.y, nearRing[k].z);
        normal[k] = LumPoint(std::cos(a), 0.0, std::sin(a));
    }
    auto vertex = [](const LumPoint& p)
    { glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)); };
    auto setNormal = [](const LumPoint& n)
    { glNormal3f(static_cast<float>(n.x), static_cast<float>(n.y), static_cast<float>(n.z)); };
    glNormal3f(0.0f, -1.0f, 0.0f);
    glBegin(GL_TRIANGLE_FAN);
    vertex(start);
    for (const LumPoint& p : nearRing)
        vertex(p);
    glEnd();
    glBegin(GL_QUADS);
    for (int k = 0; k < 7; ++k)
    {
        setNormal(normal[k]);
        vertex(farRing[k]);
        vertex(nearRing[k]);
        setNormal(normal[k + 1]);
        vertex(nearRing[k + 1]);
        vertex(farRing[k + 1]);
    }
    glEnd();
}

void TeteTranchee::RenderSelectedFaces()
{
    glDisable(GL_LIGHTING);
    const auto found = mClassFaces.find(mSelectedFaceClass);
    if (found != mClassFaces.end())
        for (int id : found->second.Faces)
            if (const KorFace* face = mMesh.GetFace(id))
            {
                std::vector<LumPoint> points;
                mMesh.GetFacePoints(face, points);
                glBegin(GL_TRIANGLE_FAN);
                for (const LumPoint& p : points)
                    glVertex3d(p.x, p.y, p.z);
                glEnd();
            }
    glEnable(GL_LIGHTING);
}
