#include "BoundingBox.h"

#include "KorRay.h"

#include <algorithm>
#include <limits>

BoundingBox::BoundingBox() : mEmpty(true)
{
}

BoundingBox::~BoundingBox() = default;

void BoundingBox::Define(const LumPoint& a, const LumPoint& b)
{
    Min.Define(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
    Max.Define(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
    mEmpty = false;
}

bool BoundingBox::IntersectRay(const KorRay& ray) const
{
    return !mEmpty && ray.IntersectBoundingBox(Min, Max, 0.0, std::numeric_limits<double>::max());
}
