#include "LumGizmo.h"

LumGizmo::LumGizmo(LumoraDevice* device, int mask, const LumPoint& position)
    : LumElement(device), mMask(mask), mPosition(position), mInUse(false), mMoving(false), mReleased(false)
{
    InitTransformations();
}

LumGizmo::~LumGizmo() = default;

void LumGizmo::InitTransformations()
{
    mStartPosition = mPosition;
    mTranslation.Init();
    mScale.Define(1.0, 1.0, 1.0);
    mRotation.Init();
}
