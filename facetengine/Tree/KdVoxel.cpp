#include "KdVoxel.h"

#include "KorException.h"
#include "KorRay.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace
{
double Coord(const LumPoint& p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}
void SetCoord(LumPoint& p, int axis, double v)
{
    (axis == 0 ? p.x : axis == 1 ? p.y : p.z) = v;
}
} // namespace

KdVoxel::KdVoxel(KdVoxel* parent, const LumPoint& a, const LumPoint& b)
    : mParent(parent), mDepth(parent ? parent->mDepth + 1 : 0),
      mP1(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)),
      mP2(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z))
{
}

KdVoxel::~KdVoxel()
{
    std::vector<KdVoxel*> stack;
    if (mSon1)
        stack.push_back(mSon1);
    if (mSon2)
        stack.push_back(mSon2);
    while (!stack.empty())
    {
        KdVoxel* v = stack.back();
        stack.pop_back();
        if (v->mSon1)
            stack.push_back(v->mSon1);
        if (v->mSon2)
            stack.push_back(v->mSon2);
        v->mSon1 = v->mSon2 = nullptr;
        delete v;
    }
}

void KdVoxel::DefineSplit(int direction, double position, bool planarToSon1)
{
    if (direction < VOXEL_SPLIT_NONE || direction > VOXEL_SPLIT_Z)
        throw KorException("The string direction enumeration number " + std::to_string(direction) +
                               " is unknown",
                           KorException::ERROR);
    mSplit = direction;
    mPlanarToSon1 = planarToSon1;
    if (direction == VOXEL_SPLIT_NONE)
    {
        mSplitPosition = -1.0;
        return;
    }
    mSplitPosition = position;
    const int axis = direction - 1;
    LumPoint top = mP2, bottom = mP1;
    SetCoord(top, axis, position);
    SetCoord(bottom, axis, position);
    delete mSon1;
    delete mSon2;
    mSon1 = new KdVoxel(this, mP1, top);
    mSon2 = new KdVoxel(this, bottom, mP2);
}

double KdVoxel::GetSurface() const
{
    const LumPoint d = mP2 - mP1;
    return 2.0 * (std::fabs(d.x * d.y) + std::fabs(d.x * d.z) + std::fabs(d.y * d.z));
}

bool KdVoxel::IntersectVoxel(const KdVoxel& o) const
{
    return mP1.x <= o.mP2.x && o.mP1.x <= mP2.x && mP1.y <= o.mP2.y && o.mP1.y <= mP2.y && mP1.z <= o.mP2.z &&
           o.mP1.z <= mP2.z;
}

int KdVoxel::GetFaceOnPoint(const LumPoint& p) const
{
    const double eps = 1e-5;
    if (std::fabs(p.x - mP1.x) < eps)
        return 3;
    if (std::fabs(p.x - mP2.x) < eps)
        return 1;
    if (std::fabs(p.y - mP1.y) < eps)
        return 5;
    if (std::fabs(p.y - mP2.y) < eps)
        return 4;
    if (std::fabs(p.z - mP1.z) < eps)
        return 2;
    if (std::fabs(p.z - mP2.z) < eps)
        return 0;
    return -1;
}

bool KdVoxel::RayRange(const KorRay& ray, double& t0, double& t1, int& face0, int& face1) const
{
    // Slabs; a direction component of zero keeps the slab unbounded when the
    // origin lies within it (bounds included) and misses otherwise.
    static const int minFace[3] = {3, 5, 2}, maxFace[3] = {1, 4, 0};
    t0 = -1e20;
    t1 = 1e20;
    face0 = face1 = -1;
    const LumPoint& o = ray.GetOrigin();
    const LumPoint& d = ray.GetDirection();
    for (int axis = 0; axis < 3; ++axis)
    {
        const double oa = Coord(o, axis), da = Coord(d, axis);
        const double lo = Coord(mP1, axis), hi = Coord(mP2, axis);
        if (da == 0.0)
        {
            if (oa < lo || oa > hi)
                return false;
            continue;
        }
        double a = (lo - oa) / da, b = (hi - oa) / da;
        int fa = minFace[axis], fb = maxFace[axis];
        if (a > b)
        {
            std::swap(a, b);
            std::swap(fa, fb);
        }
        if (a > t0)
        {
            t0 = a;
            face0 = fa;
        }
        if (b < t1)
        {
            t1 = b;
            face1 = fb;
        }
    }
    if (t0 > t1 || face0 < 0 || face1 < 0)
    {
        face0 = face1 = -1;
        return false;
    }
    return true;
}

void KdVoxel::CheckRayIntersections(const KorRay& ray, int& entryFace, LumPoint& entry, int& exitFace,
                                    LumPoint& exit) const
{
    double t0, t1;
    if (!RayRange(ray, t0, t1, entryFace, exitFace))
        return;
    entry = ray.GetOrigin() + ray.GetDirection() * t0;
    exit = ray.GetOrigin() + ray.GetDirection() * t1;
}

void KdVoxel::Render(LumoraDevice* device, int maxDepth)
{
    (void)device;
    static const float colours[3][4] = {{1, 0, 0, 0.2f}, {0, 1, 0, 0.2f}, {0, 0, 1, 0.2f}};
    std::vector<KdVoxel*> stack(1, this);
    while (!stack.empty())
    {
        KdVoxel* v = stack.back();
        stack.pop_back();
        if (!v->IsSplit() || !v->mLeaves.empty() ||
            (maxDepth >= 0 && v->mDepth > static_cast<unsigned>(maxDepth)))
            continue;
        glColor4fv(colours[v->mDepth % 3]);
        const int axis = v->mSplit - 1;
        const double s = v->mSplitPosition;
        const LumPoint& a = v->mP1;
        const LumPoint& b = v->mP2;
        if (axis == 0)
        {
            glVertex3d(s, a.y, a.z);
            glVertex3d(s, b.y, a.z);
            glVertex3d(s, b.y, b.z);
            glVertex3d(s, a.y, b.z);
        }
        else if (axis == 1)
        {
            glVertex3d(a.x, s, a.z);
            glVertex3d(b.x, s, a.z);
            glVertex3d(b.x, s, b.z);
            glVertex3d(a.x, s, b.z);
        }
        else
        {
            glVertex3d(a.x, a.y, s);
            glVertex3d(b.x, a.y, s);
            glVertex3d(b.x, b.y, s);
            glVertex3d(a.x, b.y, s);
        }
        stack.push_back(v->mSon2);
        stack.push_back(v->mSon1);
    }
}
