#pragma once

#include "LumElement.h"
#include "LumPoint.h"

class LumCamera;

// A manipulator shown by a device: the handles its mask allows and the
// transformation dragged since InitTransformations. Tools read the
// transformation and may write a value back (a clamped angle), which the
// next drag motion continues from. The device owns the gizmo it shows.
class LumGizmo : public LumElement
{
public:
    // Handle bits of the mask. Common masks: 3 plan move, 7 3D move,
    // 0x0b plan move and plan scale (the background plan adjustment),
    // 0x34 vertical move with tilts about x and y, 0x70 rotation, 0x80 scale.
    enum Handle
    {
        TranslateX = 0x01,
        TranslateY = 0x02,
        TranslateZ = 0x04,
        ScalePlan = 0x08,
        RotateX = 0x10,
        RotateY = 0x20,
        RotateZ = 0x40,
        Scale = 0x80
    };

    LumGizmo(LumoraDevice* device, int mask, const LumPoint& position);
    ~LumGizmo() override;

    int GetMask() const { return mMask; }
    bool HasHandle(Handle handle) const { return (mMask & handle) != 0; }
    // The axis a translation or rotation handle works along or about.
    static LumPoint AxisOf(int handle);

    const LumPoint& GetPosition() const { return mPosition; }
    void SetPosition(const LumPoint& position) { mPosition = position; }
    // Where the current (or last) drag began: its new point is the start
    // position plus the translation.
    const LumPoint& GetStartPosition() const { return mStartPosition; }
    void SetStartPosition(const LumPoint& position) { mStartPosition = position; }
    const LumPoint& GetTranslation() const { return mTranslation; }
    void SetTranslation(const LumPoint& translation) { mTranslation = translation; }
    // Scale factors (x is the one factor of the uniform and plan scales).
    const LumPoint& GetScale() const { return mScale; }
    void SetScale(const LumPoint& scale) { mScale = scale; }
    // Angles about x, y and z, in degrees.
    const LumPoint& GetRotation() const { return mRotation; }
    void SetRotation(const LumPoint& degrees) { mRotation = degrees; }

    // In use from the press on a handle through its release event; moving on
    // each drag motion; released on the release event only.
    bool IsInUse() const { return mInUse; }
    bool IsMoving() const { return mMoving; }
    bool IsReleased() const { return mReleased; }
    void SetInUse(bool on) { mInUse = on; }
    void SetMoving(bool on) { mMoving = on; }
    void SetReleased(bool on) { mReleased = on; }

    // No translation, rotation 0, scale 1, the start at the position; the
    // flags are left alone.
    void InitTransformations();

    // Where the gizmo is shown: position plus translation.
    LumPoint GetShownPosition() const { return mPosition + mTranslation; }
    // The handle a drag holds (a Handle bit, or 3 for the plan move, which
    // moves in the plane z = constant through the shown point), 0 when none.
    int GetActiveHandle() const { return mActiveHandle; }

    // The drag, driven by the device's events (LumGizmoHandles gives the
    // handles' places). StartDrag grabs the handle within 8 pixels of (x, y)
    // (false, nothing changed, when there is none): the translation is
    // folded into the position, which becomes the start position, and the
    // gizmo is in use. DragTo maps the motion since the last pixel onto the
    // grabbed handle's value, adding to the value held now, so a value a
    // tool wrote back is where the motion continues from; it sets moving
    // and answers whether a value changed. EndDrag: released, not moving,
    // still in use for the release event; FinishRelease, once that event is
    // handled, clears in use and released.
    bool StartDrag(const LumCamera& camera, double x, double y);
    bool DragTo(const LumCamera& camera, double x, double y);
    void EndDrag();
    void FinishRelease();

private:
    int mMask;
    LumPoint mPosition;
    LumPoint mStartPosition;
    LumPoint mTranslation;
    LumPoint mScale;
    LumPoint mRotation;
    bool mInUse;
    bool mMoving;
    bool mReleased;

    // Drag state: the grabbed handle, the last pixel, the point the grab
    // was made at (its z is the plan move's plane), a ring's pixels per
    // radian along its tangent and a scale handle's direction from the
    // centre.
    int mActiveHandle;
    double mLastX, mLastY;
    LumPoint mAnchor;
    double mTangentX, mTangentY;
    double mScaleDirX, mScaleDirY;
};
