#include "LumCamera.h"

#include "KorException.h"
#include "LumoraContainer.h"
#include "LumoraDevice.h"

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace
{
const double kTopViewEyeZ = 10000.0;
// Depth range of the top view, as distances below the eye: from 10000 above
// it (z = 20000) to z = -1100, a little below the background plan at -1000.
const double kTopViewNear = -10000.0;
const double kTopViewFar = 11100.0;

// Column-major 4 x 4 matrices, as OpenGL takes them.
typedef std::array<double, 16> Matrix;

Matrix FromRows(const double r[16])
{
    Matrix m;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            m[col * 4 + row] = r[row * 4 + col];
    return m;
}

Matrix Multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            for (int k = 0; k < 4; ++k)
                m[col * 4 + row] += a[k * 4 + row] * b[col * 4 + k];
    return m;
}

// Gauss-Jordan elimination with partial pivoting; false for a singular matrix.
bool Invert(const Matrix& in, Matrix& out)
{
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
        {
            a[row][col] = in[col * 4 + row];
            a[row][col + 4] = row == col ? 1.0 : 0.0;
        }
    for (int col = 0; col < 4; ++col)
    {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col]))
                pivot = row;
        if (std::fabs(a[pivot][col]) < 1e-300)
            return false;
        for (int k = 0; k < 8; ++k)
            std::swap(a[col][k], a[pivot][k]);
        const double inv = 1.0 / a[col][col];
        for (int k = 0; k < 8; ++k)
            a[col][k] *= inv;
        for (int row = 0; row < 4; ++row)
            if (row != col && a[row][col] != 0.0)
            {
                const double f = a[row][col];
                for (int k = 0; k < 8; ++k)
                    a[row][k] -= f * a[col][k];
            }
    }
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            out[col * 4 + row] = a[row][col + 4];
    return true;
}

// The free camera's frame: forward, side (right) and up unit vectors. Up
// is z unless the view is vertical, then y.
void FreeFrame(const LumPoint& eye, const LumPoint& target, LumPoint& f, LumPoint& s, LumPoint& u)
{
    f = target - eye;
    Normalize(f);
    if (f.IsNull())
        f.Define(0.0, 0.0, -1.0);
    s = f ^ LumPoint(0.0, 0.0, 1.0);
    if (s.Norm() < 1e-9)
        s = f ^ LumPoint(0.0, 1.0, 0.0);
    Normalize(s);
    u = s ^ f;
}
} // namespace

LumCamera::LumCamera(LumoraDevice* device)
    : LumElement(device), mMode(Free), mPosition(0.0, -100.0, 100.0), mTarget(0.0, 0.0, 0.0),
      mDistance(std::sqrt(20000.0)), mMovable(true), mZoomable(true), mWidth(1), mHeight(1)
{
}

bool LumCamera::ChangeCameraMode(int mode)
{
    if (mode != Free && mode != TopView)
    {
        KorReport("LumCamera::ChangeCameraMode", "unknown mode " + std::to_string(mode));
        return false;
    }
    mMode = mode;
    if (mode == TopView)
        mPosition.Define(mTarget.x, mTarget.y, kTopViewEyeZ);
    else
        mDistance = std::max((mPosition - mTarget).Norm(), 1e-5);
    return true;
}

void LumCamera::SetPosition(const LumPoint& position)
{
    mPosition = position;
    if (mMode == Free)
        mDistance = (mPosition - mTarget).Norm();
}

void LumCamera::SetTarget(const LumPoint& target)
{
    mTarget = target;
    if (mMode == Free)
        mDistance = (mPosition - mTarget).Norm();
}

bool LumCamera::SetDistance(double distance)
{
    if (!std::isfinite(distance) || !(distance > 1e-5))
    {
        KorReport("LumCamera::SetDistance", "the distance must be finite and above 1e-5");
        return false;
    }
    if (mMode == Free)
    {
        LumPoint back = mPosition - mTarget;
        Normalize(back);
        if (back.IsNull())
            back.Define(0.0, 0.0, 1.0);
        mPosition = mTarget + back * distance;
    }
    mDistance = distance;
    return true;
}

void LumCamera::SetCanvasSize(int width, int height)
{
    mWidth = std::max(width, 1);
    mHeight = std::max(height, 1);
}

double LumCamera::GetExtent() const
{
    if (mMode == TopView)
        return mDistance;
    return 2.0 * mDistance * std::tan(GetFieldOfView() * M_PI / 360.0);
}

double LumCamera::GetViewWidth() const
{
    return GetExtent() * mWidth / mHeight;
}

LumPoint LumCamera::PixelRayOrigin(double x, double y) const
{
    if (mMode == TopView)
    {
        const double unit = mDistance / mHeight;
        return LumPoint(mPosition.x + (x - mWidth / 2.0) * unit, mPosition.y - (y - mHeight / 2.0) * unit,
                        kTopViewEyeZ - kTopViewNear);
    }
    return mPosition;
}

LumPoint LumCamera::PixelRayDirection(double x, double y) const
{
    if (mMode == TopView)
        return LumPoint(0.0, 0.0, -1.0);
    LumPoint f, s, u;
    FreeFrame(mPosition, mTarget, f, s, u);
    const double t = std::tan(GetFieldOfView() * M_PI / 360.0);
    const double ndcX = 2.0 * x / mWidth - 1.0;
    const double ndcY = 1.0 - 2.0 * y / mHeight;
    return f + s * (ndcX * t * mWidth / mHeight) + u * (ndcY * t);
}

KorRay LumCamera::GetRay(double x, double y) const
{
    return KorRay(PixelRayOrigin(x, y), PixelRayDirection(x, y));
}

LumPoint LumCamera::GetPosition(double x, double y) const
{
    LumPoint point;
    if (ReadDepthPoint(x, y, point))
        return point;
    const KorRay ray = GetRay(x, y);
    const LumPoint& o = ray.GetOrigin();
    const LumPoint& d = ray.GetDirection();
    if (std::fabs(d.z) > 1e-12)
    {
        const double t = -o.z / d.z;
        if (t >= 0.0)
            return o + d * t;
    }
    return o + d * mDistance;
}

bool LumCamera::ReadDepthPoint(double x, double y, LumPoint& point) const
{
    if (!mDevice || !mDevice->GetContainer())
        return false;
    if (!mDevice->IsRendering() && !mDevice->GetContainer()->ActivateContext())
        return false;
    const int px = static_cast<int>(std::floor(x));
    const int py = static_cast<int>(std::floor(y));
    if (!(px >= 0 && px < mWidth && py >= 0 && py < mHeight))
        return false;
    GLfloat depth = 1.0f;
    glReadPixels(px, mHeight - 1 - py, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    if (!(depth < 1.0f))
        return false; // nothing drawn there

    Matrix m, inverse;
    GetProjectionMatrix(m.data());
    if (!Invert(m, inverse))
        return false;
    const double ndc[4] = {2.0 * x / mWidth - 1.0, 1.0 - 2.0 * y / mHeight, 2.0 * depth - 1.0, 1.0};
    double scene[4] = {0.0, 0.0, 0.0, 0.0};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            scene[row] += inverse[k * 4 + row] * ndc[k];
    if (std::fabs(scene[3]) < 1e-300)
        return false;
    point.Define(scene[0] / scene[3], scene[1] / scene[3], scene[2] / scene[3]);
    return true;
}

void LumCamera::GetProjectionMatrix(double out[16]) const
{
    Matrix projection, view;
    if (mMode == TopView)
    {
        const double h = mDistance, w = GetViewWidth(), n = kTopViewNear, f = kTopViewFar;
        const double ortho[16] = {
            2.0 / w, 0, 0, 0, 0, 2.0 / h, 0, 0, 0, 0, -2.0 / (f - n), -(f + n) / (f - n), 0, 0, 0, 1};
        const double translate[16] = {1, 0, 0, -mPosition.x,  0, 1, 0, -mPosition.y,
                                      0, 0, 1, -kTopViewEyeZ, 0, 0, 0, 1};
        projection = FromRows(ortho);
        view = FromRows(translate);
    }
    else
    {
        LumPoint f, s, u;
        FreeFrame(mPosition, mTarget, f, s, u);
        const double n = std::max(mDistance, 1e-5) / 100.0, far = std::max(mDistance, 1e-5) * 100.0;
        const double t = std::tan(GetFieldOfView() * M_PI / 360.0);
        const double aspect = static_cast<double>(mWidth) / mHeight;
        const double perspective[16] = {
            1.0 / (t * aspect),        0, 0, 0,  0, 1.0 / t, 0, 0, 0, 0, (far + n) / (n - far),
            2.0 * far * n / (n - far), 0, 0, -1, 0};
        const LumPoint& e = mPosition;
        const double look[16] = {s.x,  s.y,  s.z,  -(s * e), u.x, u.y, u.z, -(u * e),
                                 -f.x, -f.y, -f.z, f * e,    0,   0,   0,   1};
        projection = FromRows(perspective);
        view = FromRows(look);
    }
    const Matrix m = Multiply(projection, view);
    for (int i = 0; i < 16; ++i)
        out[i] = m[i];
}

void LumCamera::Apply() const
{
    double m[16];
    GetProjectionMatrix(m);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(m);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool LumCamera::ProjectToPixel(const LumPoint& p, double& px, double& py) const
{
    double m[16];
    GetProjectionMatrix(m);
    const double v[4] = {p.x, p.y, p.z, 1.0};
    double clip[4] = {0.0, 0.0, 0.0, 0.0};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            clip[row] += m[k * 4 + row] * v[k];
    if (!(clip[3] > 1e-12))
        return false;
    px = (clip[0] / clip[3] + 1.0) / 2.0 * mWidth;
    py = (1.0 - clip[1] / clip[3]) / 2.0 * mHeight;
    return true;
}

double LumCamera::GetPixelSize(const LumPoint& p) const
{
    if (mMode == TopView)
        return mDistance / mHeight;
    LumPoint f, s, u;
    FreeFrame(mPosition, mTarget, f, s, u);
    const double depth = std::max((p - mPosition) * f, 1e-9);
    return 2.0 * depth * std::tan(GetFieldOfView() * M_PI / 360.0) / mHeight;
}

bool LumCamera::Orbit(double degreesAboutZ, double degreesUp)
{
    if (!mMovable || mMode != Free || !std::isfinite(degreesAboutZ) || !std::isfinite(degreesUp))
        return false;
    const LumPoint back = mPosition - mTarget;
    const double r = back.Norm();
    if (r < 1e-12)
        return false;
    const double azimuth = std::atan2(back.y, back.x) + degreesAboutZ * M_PI / 180.0;
    const double limit = 89.0 * M_PI / 180.0;
    const double elevation =
        std::max(-limit, std::min(limit, std::asin(std::max(-1.0, std::min(1.0, back.z / r))) +
                                             degreesUp * M_PI / 180.0));
    mPosition = mTarget + LumPoint(std::cos(elevation) * std::cos(azimuth),
                                   std::cos(elevation) * std::sin(azimuth), std::sin(elevation)) *
                              r;
    return true;
}

bool LumCamera::Pan(double dx, double dy)
{
    if (!mMovable || !std::isfinite(dx) || !std::isfinite(dy))
        return false;
    LumPoint shift;
    const double unit = GetPixelSize(mTarget);
    if (mMode == TopView)
        shift.Define(-dx * unit, dy * unit, 0.0);
    else
    {
        LumPoint f, s, u;
        FreeFrame(mPosition, mTarget, f, s, u);
        shift = s * (-dx * unit) + u * (dy * unit);
    }
    mPosition += shift;
    mTarget += shift;
    return true;
}

bool LumCamera::Zoom(double factor)
{
    if (!mZoomable || !std::isfinite(factor) || !(factor > 0.0))
        return false;
    return SetDistance(mDistance * factor);
}
