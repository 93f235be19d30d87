#pragma once

#include "LumPoint.h"

class KorRay;

// The 3D layer's axis-aligned box. Empty until defined; once defined,
// Min <= Max component-wise. The corners are public because callers read
// them directly.
class BoundingBox
{
public:
    BoundingBox();
    BoundingBox(const BoundingBox&) = default;
    BoundingBox& operator=(const BoundingBox&) = default;
    virtual ~BoundingBox();

    // The box spanned by two opposite corners, given in any order.
    void Define(const LumPoint& a, const LumPoint& b);
    bool IsEmpty() const { return mEmpty; }
    // Whether the ray meets the box ahead of its origin (a ray starting
    // inside meets it on the way out); never for an empty box.
    bool IntersectRay(const KorRay& ray) const;

    LumPoint Min;
    LumPoint Max;

private:
    bool mEmpty;
};
