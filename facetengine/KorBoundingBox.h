#pragma once

#include "LumPoint.h"

class KorMesh;
class KorRay;

// Axis-aligned box of the mesh library, held by value. Empty until it holds
// something; comparisons are exact (no tolerance) and no operation checks
// Min <= Max (Define from two points orders the corners itself).
class KorBoundingBox
{
public:
    KorBoundingBox();
    KorBoundingBox(const KorBoundingBox&) = default;
    KorBoundingBox& operator=(const KorBoundingBox&) = default;
    ~KorBoundingBox() = default;

    // Back to a new box: empty, corners at the origin.
    void Init();
    // Empty, or both corners at the origin (within LumPoint's 1e-5).
    bool IsNull() const;
    const LumPoint& GetMin() const { return mMin; }
    const LumPoint& GetMax() const { return mMax; }

    // The box of the mesh's live vertices, O(slot count). A mesh without live
    // vertices leaves the box as it was.
    void Define(KorMesh& mesh);
    // Corners from two opposite points in any order; the empty flag is left
    // as it was.
    void Define(const LumPoint& p, const LumPoint& q);

    // Bounds included.
    bool ContainsPoint(const LumPoint& p) const;
    // Quick rejection: false only when both ends lie beyond the same face
    // plane; true does not promise that the segment meets the box.
    bool CanContainSegment(const LumPoint& a, const LumPoint& b) const;

    // Union. An empty operand contributes nothing: an empty box merged into
    // this one changes nothing, and a box merged into an empty one is taken
    // as it is.
    KorBoundingBox& operator+=(const KorBoundingBox& b);
    // Grows the box to hold p.
    KorBoundingBox& operator+=(const LumPoint& p);

    // The ray against the box between tMin and tMax. With a matrix (16
    // doubles, OpenGL column-major) the corners are transformed and the six
    // faces tested as parallelograms, so a rotated box is tested as such.
    bool IntersectRay(const KorRay& ray, double tMin, double tMax, const double* matrix) const;
    // Overlap; boxes that share only a face, edge or corner intersect.
    bool IntersectBB(const KorBoundingBox& b) const;

private:
    bool mEmpty;
    LumPoint mMin;
    LumPoint mMax;
};
