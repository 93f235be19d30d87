#include "Object3D.h"

#include "KorRay.h"

Object3D::Object3D(LumoraDevice* device, const std::string& name)
    : LumElement(device), KorHashWord(name), mBoundingBoxValid(false)
{
}

Object3D::Object3D(const Object3D& other)
    : LumElement(other), KorHashWord(other.GetName()), mBoundingBox(other.mBoundingBox),
      mBoundingBoxValid(other.mBoundingBoxValid)
{
}

Object3D& Object3D::operator=(const Object3D& other)
{
    if (this != &other)
    {
        LumElement::operator=(other);
        KorHashWord::operator=(other);
        mBoundingBox = other.mBoundingBox;
        mBoundingBoxValid = other.mBoundingBoxValid;
    }
    return *this;
}

Object3D::~Object3D() = default;

void Object3D::Render(const Instance3D*)
{
}

const BoundingBox& Object3D::GetBoundingBox() const
{
    if (!mBoundingBoxValid)
    {
        mBoundingBox = CalculateBB();
        mBoundingBoxValid = true;
    }
    return mBoundingBox;
}

void Object3D::CloseRenderingContext()
{
}

void Object3D::RenderingContextChanged()
{
}

void Object3D::InitObject3D()
{
    mBoundingBox = BoundingBox();
    mBoundingBoxValid = false;
}

void Object3D::Finalize()
{
    mBoundingBoxValid = false;
    GetBoundingBox();
}

bool Object3D::IsIntersectedByRay(const KorRay& ray, double tMin, double tMax) const
{
    const BoundingBox& box = GetBoundingBox();
    if (box.IsEmpty())
        return false;
    return ray.IntersectBoundingBox(box.Min, box.Max, tMin, tMax);
}

BoundingBox Object3D::CalculateBB() const
{
    return BoundingBox();
}

void Object3D::RenderVertices(const Instance3D*)
{
}
