#include "BoundingBox.h"

#include <algorithm>

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
