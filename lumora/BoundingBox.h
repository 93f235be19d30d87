#pragma once

#include "LumPoint.h"

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

    LumPoint Min;
    LumPoint Max;

private:
    bool mEmpty;
};
