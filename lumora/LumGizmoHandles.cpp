#include "LumGizmoHandles.h"

#include "LumCamera.h"
#include "LumGizmo.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
const int kRingSides = 48;
const double kPlanHalfSide = 7.0;
const double kScaleHalfSide = 5.0;
const double kScaleOffset = 50.0;
const double kShortestArrow = 12.0;

// Order in which equally near handles win.
int Rank(int handle)
{
    switch (handle)
    {
    case LumGizmoHandles::PlanMove:
        return 0;
    case LumGizmo::TranslateX:
    case LumGizmo::TranslateY:
    case LumGizmo::TranslateZ:
        return 1;
    case LumGizmo::ScalePlan:
    case LumGizmo::Scale:
        return 2;
    default:
        return 3;
    }
}

double SegmentDistance(const LumGizmoHandles::Pixel& a, const LumGizmoHandles::Pixel& b, double x, double y,
                       double& along)
{
    const double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    along = len2 > 0.0 ? std::max(0.0, std::min(1.0, ((x - a.x) * dx + (y - a.y) * dy) / len2)) : 0.0;
    return std::hypot(a.x + along * dx - x, a.y + along * dy - y);
}

} // namespace

LumGizmoHandles::LumGizmoHandles(const LumGizmo& gizmo, const LumCamera& camera)
    : mCentre{0.0, 0.0}, mPixelSize(camera.GetPixelSize(gizmo.GetPosition() + gizmo.GetTranslation())),
      mVisible(false)
{
    const LumPoint P = gizmo.GetPosition() + gizmo.GetTranslation();
    if (!camera.ProjectToPixel(P, mCentre.x, mCentre.y) || !std::isfinite(mPixelSize))
        return;
    mVisible = true;
    const int mask = gizmo.GetMask();

    if ((mask & LumGizmo::TranslateX) && (mask & LumGizmo::TranslateY))
        mShapes.push_back({PlanMove, {mCentre}, {}, false, kPlanHalfSide});
    for (const int handle : {LumGizmo::TranslateX, LumGizmo::TranslateY, LumGizmo::TranslateZ})
    {
        Pixel tip;
        if (!(mask & handle) ||
            !camera.ProjectToPixel(P + LumGizmo::AxisOf(handle) * (kArrowLength * mPixelSize), tip.x, tip.y))
            continue;
        if (std::hypot(tip.x - mCentre.x, tip.y - mCentre.y) >= kShortestArrow)
            mShapes.push_back({handle, {mCentre, tip}, {}, false, 0.0});
    }
    const bool both = (mask & LumGizmo::ScalePlan) && (mask & LumGizmo::Scale);
    if (mask & LumGizmo::ScalePlan)
        mShapes.push_back({LumGizmo::ScalePlan,
                           {{mCentre.x + kScaleOffset, mCentre.y - kScaleOffset}},
                           {},
                           false,
                           kScaleHalfSide});
    if (mask & LumGizmo::Scale)
        mShapes.push_back({LumGizmo::Scale,
                           {{mCentre.x + (both ? -kScaleOffset : kScaleOffset), mCentre.y - kScaleOffset}},
                           {},
                           false,
                           kScaleHalfSide});
    for (const int handle : {LumGizmo::RotateX, LumGizmo::RotateY, LumGizmo::RotateZ})
    {
        if (!(mask & handle))
            continue;
        // Two unit vectors spanning the ring's plane.
        const LumPoint a = LumGizmo::AxisOf(handle);
        const LumPoint e1(a.y, a.z, a.x), e2 = a ^ e1;
        Shape ring{handle, {}, {}, true, 0.0};
        const double radius = kRingRadius * mPixelSize;
        for (int i = 0; i < kRingSides; ++i)
        {
            const double t = 2.0 * M_PI * i / kRingSides;
            const LumPoint q = P + (e1 * std::cos(t) + e2 * std::sin(t)) * radius;
            Pixel p;
            if (!camera.ProjectToPixel(q, p.x, p.y))
            {
                ring.pixels.clear();
                break;
            }
            ring.pixels.push_back(p);
            ring.scene.push_back(q);
        }
        if (!ring.pixels.empty())
            mShapes.push_back(ring);
    }
}

double LumGizmoHandles::Distance(const Shape& shape, double x, double y)
{
    if (shape.pixels.size() == 1)
    {
        const double dx = std::max(0.0, std::fabs(x - shape.pixels[0].x) - shape.halfSide);
        const double dy = std::max(0.0, std::fabs(y - shape.pixels[0].y) - shape.halfSide);
        return std::hypot(dx, dy);
    }
    double best = std::numeric_limits<double>::infinity(), along = 0.0;
    const size_t n = shape.pixels.size(), segments = shape.closed ? n : n - 1;
    for (size_t i = 0; i < segments; ++i)
        best = std::min(best, SegmentDistance(shape.pixels[i], shape.pixels[(i + 1) % n], x, y, along));
    return best;
}

LumPoint LumGizmoHandles::NearestScenePoint(const Shape& ring, double x, double y)
{
    double best = std::numeric_limits<double>::infinity(), along = 0.0;
    LumPoint point;
    const size_t n = ring.pixels.size();
    for (size_t i = 0; i < n && n == ring.scene.size(); ++i)
    {
        const double d = SegmentDistance(ring.pixels[i], ring.pixels[(i + 1) % n], x, y, along);
        if (d < best)
        {
            best = d;
            point = ring.scene[i] + (ring.scene[(i + 1) % n] - ring.scene[i]) * along;
        }
    }
    return point;
}

int LumGizmoHandles::HitTest(double x, double y) const
{
    int found = 0;
    double best = 0.0;
    for (const Shape& shape : mShapes)
    {
        const double d = Distance(shape, x, y);
        if (!(d <= kGrabDistance))
            continue;
        if (found == 0 || d < best || (d == best && Rank(shape.handle) < Rank(found)))
        {
            best = d;
            found = shape.handle;
        }
    }
    return found;
}

const LumGizmoHandles::Shape* LumGizmoHandles::Find(int handle) const
{
    for (const Shape& shape : mShapes)
        if (shape.handle == handle)
            return &shape;
    return nullptr;
}

void LumGizmoHandles::Render(int width, int height, int activeHandle) const
{
    if (!mVisible)
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    for (int plane = 0; plane < 6; ++plane)
        glDisable(GL_CLIP_PLANE0 + plane);
    glLineWidth(2.0f);
    for (const Shape& shape : mShapes)
    {
        if (shape.handle == activeHandle)
            glColor3f(1.0f, 0.85f, 0.0f);
        else if (shape.handle == LumGizmo::TranslateX || shape.handle == LumGizmo::RotateX)
            glColor3f(0.9f, 0.1f, 0.1f);
        else if (shape.handle == LumGizmo::TranslateY || shape.handle == LumGizmo::RotateY)
            glColor3f(0.1f, 0.75f, 0.1f);
        else if (shape.handle == LumGizmo::TranslateZ || shape.handle == LumGizmo::RotateZ)
            glColor3f(0.1f, 0.2f, 0.9f);
        else
            glColor3f(0.3f, 0.3f, 0.3f);
        if (shape.pixels.size() == 1)
        {
            const Pixel& c = shape.pixels[0];
            const double h = shape.halfSide;
            glBegin(shape.handle == PlanMove ? GL_LINE_LOOP : GL_QUADS);
            glVertex2d(c.x - h, c.y - h);
            glVertex2d(c.x + h, c.y - h);
            glVertex2d(c.x + h, c.y + h);
            glVertex2d(c.x - h, c.y + h);
            glEnd();
            continue;
        }
        glBegin(shape.closed ? GL_LINE_LOOP : GL_LINE_STRIP);
        for (const Pixel& p : shape.pixels)
            glVertex2d(p.x, p.y);
        glEnd();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}
