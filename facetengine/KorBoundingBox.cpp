#include "KorBoundingBox.h"

#include "KorMatrix.h"
#include "KorMesh.h"
#include "KorRay.h"

#include <algorithm>

KorBoundingBox::KorBoundingBox() : mEmpty(true)
{
}

void KorBoundingBox::Init()
{
    mEmpty = true;
    mMin.Init();
    mMax.Init();
}

bool KorBoundingBox::IsNull() const
{
    return mEmpty || (mMin.IsNull() && mMax.IsNull());
}

void KorBoundingBox::Define(KorMesh& mesh)
{
    const int n = mesh.GetVertexVectorSize();
    bool first = true;
    for (int id = 0; id < n; ++id)
    {
        const KorVertex* v = mesh.GetVertex(id);
        if (v == nullptr)
            continue;
        const LumPoint p(v->X, v->Y, v->Z);
        if (first)
        {
            mMin = mMax = p;
            mEmpty = false;
            first = false;
        }
        else
        {
            mMin.Define(std::min(mMin.x, p.x), std::min(mMin.y, p.y), std::min(mMin.z, p.z));
            mMax.Define(std::max(mMax.x, p.x), std::max(mMax.y, p.y), std::max(mMax.z, p.z));
        }
    }
}

void KorBoundingBox::Define(const LumPoint& p, const LumPoint& q)
{
    mMin.Define(std::min(p.x, q.x), std::min(p.y, q.y), std::min(p.z, q.z));
    mMax.Define(std::max(p.x, q.x), std::max(p.y, q.y), std::max(p.z, q.z));
}

bool KorBoundingBox::ContainsPoint(const LumPoint& p) const
{
    return mMin.x <= p.x && p.x <= mMax.x && mMin.y <= p.y && p.y <= mMax.y && mMin.z <= p.z && p.z <= mMax.z;
}

bool KorBoundingBox::CanContainSegment(const LumPoint& a, const LumPoint& b) const
{
    if (mMin.x > a.x && mMin.x > b.x)
        return false;
    if (mMax.x < a.x && mMax.x < b.x)
        return false;
    if (mMin.y > a.y && mMin.y > b.y)
        return false;
    if (mMax.y < a.y && mMax.y < b.y)
        return false;
    if (mMin.z > a.z && mMin.z > b.z)
        return false;
    if (mMax.z < a.z && mMax.z < b.z)
        return false;
    return true;
}

KorBoundingBox& KorBoundingBox::operator+=(const KorBoundingBox& b)
{
    if (b.mEmpty)
        return *this;
    if (mEmpty)
    {
        *this = b;
        return *this;
    }
    mMin.Define(std::min(mMin.x, b.mMin.x), std::min(mMin.y, b.mMin.y), std::min(mMin.z, b.mMin.z));
    mMax.Define(std::max(mMax.x, b.mMax.x), std::max(mMax.y, b.mMax.y), std::max(mMax.z, b.mMax.z));
    return *this;
}

KorBoundingBox& KorBoundingBox::operator+=(const LumPoint& p)
{
    if (mEmpty)
    {
        mMin = mMax = p;
        mEmpty = false;
        return *this;
    }
    mMin.Define(std::min(mMin.x, p.x), std::min(mMin.y, p.y), std::min(mMin.z, p.z));
    mMax.Define(std::max(mMax.x, p.x), std::max(mMax.y, p.y), std::max(mMax.z, p.z));
    return *this;
}

bool KorBoundingBox::IntersectRay(const KorRay& ray, double tMin, double tMax, const double* matrix) const
{
    if (matrix == nullptr)
        return ray.IntersectBoundingBox(mMin, mMax, tMin, tMax);

    // Corner k has bit 0 for X, bit 1 for Y, bit 2 for Z (0 = Min, 1 = Max).
    LumPoint c[8];
    for (int k = 0; k < 8; ++k)
    {
        const LumPoint p((k & 1) ? mMax.x : mMin.x, (k & 2) ? mMax.y : mMin.y, (k & 4) ? mMax.z : mMin.z);
        c[k] = MultMatrixGLxLumPoint(matrix, p);
    }
    // Each face as (a, b, c, d) in ring order; the parallelogram test reads
    // a, b and d. Order: top, X = Min side, bottom, X = Max side, Y = Max
    // side, Y = Min side.
    static const int faces[6][4] = {{4, 5, 7, 6}, {0, 2, 6, 4}, {0, 1, 3, 2},
                                    {1, 3, 7, 5}, {2, 3, 7, 6}, {0, 1, 5, 4}};
    for (const auto& f : faces)
    {
        double t = -1.0;
        if (ray.IntersectRectangle(c[f[0]], c[f[1]], c[f[2]], c[f[3]], tMin, tMax, t))
            return true;
    }
    return false;
}

bool KorBoundingBox::IntersectBB(const KorBoundingBox& b) const
{
    if (b.mMax.x < mMin.x || b.mMin.x > mMax.x)
        return false;
    if (b.mMax.y < mMin.y || b.mMin.y > mMax.y)
        return false;
    if (b.mMax.z < mMin.z || b.mMin.z > mMax.z)
        return false;
    return true;
}
