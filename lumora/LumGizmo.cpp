#include "LumGizmo.h"

#include "LumCamera.h"
#include "LumGizmoHandles.h"

#include <algorithm>
#include <cmath>

namespace
{
// Scale handles stand this far from the centre, in pixels: dragging one
// that far outwards adds 1 to the factor.
const double kScaleReach = 50.0 * std::sqrt(2.0);
const double kSmallestScale = 0.01;

// The ray's crossing of the plane z = z0; false when parallel or behind.
bool CrossPlane(const KorRay& ray, double z0, LumPoint& hit)
{
    const LumPoint& o = ray.GetOrigin();
    const LumPoint& d = ray.GetDirection();
    if (std::fabs(d.z) < 1e-9)
        return false;
    const double t = (z0 - o.z) / d.z;
    if (!(t >= 0.0) || !std::isfinite(t))
        return false;
    hit = o + d * t;
    return true;
}

// The parameter along the line anchor + t axis (unit axis) of its point
// closest to the ray's line; false when they are nearly parallel.
bool AlongAxis(const KorRay& ray, const LumPoint& anchor, const LumPoint& axis, double& t)
{
    const LumPoint& d = ray.GetDirection();
    const LumPoint w = ray.GetOrigin() - anchor;
    const double ad = axis * d, den = 1.0 - ad * ad;
    if (den < 1e-6)
        return false;
    t = ((axis * w) - ad * (d * w)) / den;
    return std::isfinite(t);
}
} // namespace

LumGizmo::LumGizmo(LumoraDevice* device, int mask, const LumPoint& position)
    : LumElement(device), mMask(mask), mPosition(position), mInUse(false), mMoving(false), mReleased(false),
      mActiveHandle(0), mLastX(0.0), mLastY(0.0), mTangentX(0.0), mTangentY(0.0), mScaleDirX(0.0),
      mScaleDirY(0.0)
{
    InitTransformations();
}

LumGizmo::~LumGizmo() = default;

void LumGizmo::InitTransformations()
{
    mStartPosition = mPosition;
    mTranslation.Init();
    mScale.Define(1.0, 1.0, 1.0);
    mRotation.Init();
}

bool LumGizmo::StartDrag(const LumCamera& camera, double x, double y)
{
    const LumGizmoHandles handles(*this, camera);
    const int handle = handles.HitTest(x, y);
    if (handle == 0)
        return false;
    mPosition += mTranslation;
    mTranslation.Init();
    mStartPosition = mPosition;
    mAnchor = mPosition;
    mActiveHandle = handle;
    mLastX = x;
    mLastY = y;
    mInUse = true;
    mMoving = false;
    mReleased = false;

    const LumGizmoHandles::Shape* shape = handles.Find(handle);
    if (handle == ScalePlan || handle == Scale)
    {
        const double dx = shape->pixels[0].x - handles.GetCentre().x,
                     dy = shape->pixels[0].y - handles.GetCentre().y;
        const double len = std::hypot(dx, dy);
        mScaleDirX = dx / len;
        mScaleDirY = dy / len;
    }
    else if (handle == RotateX || handle == RotateY || handle == RotateZ)
    {
        // The ring's tangent at the grabbed point, in pixels per radian; where
        // the ring is seen edge-on it is nearly zero, and the drag runs square
        // to the axis's image instead.
        const LumPoint axis = AxisOf(handle);
        const LumPoint grab = LumGizmoHandles::NearestScenePoint(*shape, x, y);
        const LumPoint turn = axis ^ (grab - mPosition);
        const double eps = 1e-3, radiusPixels = LumGizmoHandles::kRingRadius;
        double ax = 0, ay = 0, bx = 0, by = 0;
        mTangentX = mTangentY = 0.0;
        if (camera.ProjectToPixel(grab + turn * eps, ax, ay) &&
            camera.ProjectToPixel(grab - turn * eps, bx, by))
        {
            mTangentX = (ax - bx) / (2.0 * eps);
            mTangentY = (ay - by) / (2.0 * eps);
        }
        if (std::hypot(mTangentX, mTangentY) < 0.2 * radiusPixels)
        {
            double px = 0, py = 0;
            camera.ProjectToPixel(mPosition + axis * (radiusPixels * handles.GetPixelSize()), px, py);
            const double vx = px - handles.GetCentre().x, vy = py - handles.GetCentre().y,
                         len = std::hypot(vx, vy);
            mTangentX = len > 1e-9 ? -vy / len * radiusPixels : radiusPixels;
            mTangentY = len > 1e-9 ? vx / len * radiusPixels : 0.0;
        }
    }
    return true;
}

bool LumGizmo::DragTo(const LumCamera& camera, double x, double y)
{
    if (!mInUse || mActiveHandle == 0)
        return false;
    mMoving = true;
    const double dx = x - mLastX, dy = y - mLastY;
    const double lastX = mLastX, lastY = mLastY;
    mLastX = x;
    mLastY = y;
    if (dx == 0.0 && dy == 0.0)
        return false;

    switch (mActiveHandle)
    {
    case LumGizmoHandles::PlanMove:
    {
        LumPoint from, to;
        if (!CrossPlane(camera.GetRay(lastX, lastY), mAnchor.z, from) ||
            !CrossPlane(camera.GetRay(x, y), mAnchor.z, to))
            return false;
        mTranslation.x += to.x - from.x;
        mTranslation.y += to.y - from.y;
        return true;
    }
    case TranslateX:
    case TranslateY:
    case TranslateZ:
    {
        const LumPoint axis = AxisOf(mActiveHandle);
        double from = 0.0, to = 0.0;
        if (!AlongAxis(camera.GetRay(lastX, lastY), mAnchor, axis, from) ||
            !AlongAxis(camera.GetRay(x, y), mAnchor, axis, to))
            return false;
        // Only the grabbed coordinate moves, so the others stay exactly as
        // they were.
        if (mActiveHandle == TranslateX)
            mTranslation.x += to - from;
        else if (mActiveHandle == TranslateY)
            mTranslation.y += to - from;
        else
            mTranslation.z += to - from;
        return true;
    }
    case ScalePlan:
    case Scale:
    {
        const double f =
            std::max(kSmallestScale, mScale.x + (dx * mScaleDirX + dy * mScaleDirY) / kScaleReach);
        mScale.Define(f, f, mActiveHandle == Scale ? f : mScale.z);
        return true;
    }
    default:
    {
        const double rate2 = mTangentX * mTangentX + mTangentY * mTangentY;
        if (rate2 < 1e-12)
            return false;
        const double degrees = (dx * mTangentX + dy * mTangentY) / rate2 * 180.0 / M_PI;
        if (mActiveHandle == RotateX)
            mRotation.x += degrees;
        else if (mActiveHandle == RotateY)
            mRotation.y += degrees;
        else
            mRotation.z += degrees;
        return true;
    }
    }
}

void LumGizmo::EndDrag()
{
    mReleased = true;
    mMoving = false;
}

void LumGizmo::FinishRelease()
{
    mInUse = false;
    mReleased = false;
    mMoving = false;
    mActiveHandle = 0;
}

LumPoint LumGizmo::AxisOf(int handle)
{
    switch (handle)
    {
    case LumGizmo::TranslateX:
    case LumGizmo::RotateX:
        return LumPoint(1.0, 0.0, 0.0);
    case LumGizmo::TranslateY:
    case LumGizmo::RotateY:
        return LumPoint(0.0, 1.0, 0.0);
    default:
        return LumPoint(0.0, 0.0, 1.0);
    }
}
