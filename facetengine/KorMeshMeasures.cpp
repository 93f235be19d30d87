// KorMesh: placing a mesh (matrix, translation), its areas and volume, and
// the nearest hit of a ray. Every walk goes over the slot tables in
// identifier order and skips free slots; a face is taken through its ring of
// points and measured by its fan of triangles (p0, p(i-1), p(i)), i >= 2.

#include "KorMesh.h"

#include "KorGeometry.h"
#include "KorMatrix.h"
#include "KorRay.h"

void KorMesh::GLTransform(const double* m, const double* n)
{
    const int count = GetVertexVectorSize();
    for (int id = 0; id < count; ++id)
    {
        KorVertex* v = GetVertex(id);
        if (v == nullptr)
            continue;
        MultMatrixGLxLumPoint(m, v->X, v->Y, v->Z);
        if (n != nullptr)
            MultMatrixGLxLumPoint(n, v->Normal.x, v->Normal.y, v->Normal.z);
    }
    SetModified();
}

void KorMesh::MoveMesh(const LumPoint& v)
{
    const int count = GetVertexVectorSize();
    for (int id = 0; id < count; ++id)
    {
        KorVertex* vertex = GetVertex(id);
        if (vertex == nullptr)
            continue;
        vertex->X += v.x;
        vertex->Y += v.y;
        vertex->Z += v.z;
    }
    SetModified();
}

// Kept without effect: callers exist in the interface only.
void KorMesh::RotateAround(const LumPoint&, const LumPoint&, const double&)
{
}

double KorMesh::GetFaceSurface(const KorFace* f) const
{
    if (f == nullptr)
        return 0.0;
    std::vector<LumPoint> ring;
    GetFacePoints(f, ring);
    double sum = 0.0;
    for (size_t i = 2; i < ring.size(); ++i)
        sum += GetTriangleSurface(ring[0], ring[i - 1], ring[i]);
    return sum;
}

double KorMesh::GetSurface() const
{
    double sum = 0.0;
    const int count = GetFaceVectorSize();
    for (int id = 0; id < count; ++id)
    {
        const KorFace* f = GetFace(id);
        if (f != nullptr)
            sum += GetFaceSurface(f);
    }
    return sum;
}

// Sum over fan triangles (a, b, c) of the signed volume of the tetrahedron
// (origin, a, b, c), a . ((b - a) ^ (c - a)) / 6: the enclosed volume of a
// closed mesh whose rings turn counterclockwise seen from outside, negative
// for the opposite orientation. The reference point is always the origin, so
// two open meshes sharing their boundary give the volume between them as the
// difference of their values. Edge vectors rather than corner positions keep
// the cancellation small for a mesh far from the origin. O(total ring size).
double KorMesh::GetVolume() const
{
    double sum = 0.0;
    std::vector<LumPoint> ring;
    const int count = GetFaceVectorSize();
    for (int id = 0; id < count; ++id)
    {
        const KorFace* f = GetFace(id);
        if (f == nullptr)
            continue;
        GetFacePoints(f, ring);
        for (size_t i = 2; i < ring.size(); ++i)
        {
            const LumPoint& a = ring[0];
            sum += (a * ((ring[i - 1] - a) ^ (ring[i] - a))) / 6.0;
        }
    }
    return sum;
}

// Exhaustive: every fan triangle of every live face, O(total ring size). A
// hit replaces the best only when strictly nearer, so among equal distances
// the first face in slot order wins. The distance is written only on a hit.
bool KorMesh::IntersectRay(const KorRay& ray, const double& tmin, const double& tmax, const double* glMatrix,
                           double& t, int* face)
{
    if (face != nullptr)
        *face = -1;
    double best = 1e10;
    bool hit = false;
    std::vector<LumPoint> ring;
    const int count = GetFaceVectorSize();
    for (int id = 0; id < count; ++id)
    {
        const KorFace* f = GetFace(id);
        if (f == nullptr)
            continue;
        GetFacePoints(f, ring);
        if (glMatrix != nullptr)
            for (LumPoint& p : ring)
                p = MultMatrixGLxLumPoint(glMatrix, p);
        for (size_t i = 2; i < ring.size(); ++i)
        {
            double d = -1.0;
            if (ray.IntersectTriangle(ring[0], ring[i - 1], ring[i], tmin, tmax, d) && d < best)
            {
                best = d;
                t = d;
                hit = true;
                if (face != nullptr)
                    *face = id;
            }
        }
    }
    return hit;
}

bool KorMesh::IntersectRay(const KorRay& ray, const double& tmin, const double& tmax, double& t, int* face)
{
    return KorMesh::IntersectRay(ray, tmin, tmax, nullptr, t, face);
}
