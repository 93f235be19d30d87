#pragma once

#include "KorRay.h"
#include "LumElement.h"
#include "LumPoint.h"

// The camera of a rendering device, in one of two modes:
// - 1, free: perspective (45° vertical field), eye at the position looking at
//   the target, z up; the distance is |position - target|.
// - 3, top view: orthographic, looking straight down from z = 10000 over
//   the position's (x, y); the distance is the visible height E in scene
//   units, so with a canvas of w x h pixels the view is E w / h wide and one
//   pixel is E / h units. Depth reaches from z = 20000 down to z = -1100.
// Pixel coordinates run from the canvas's top-left corner, y downwards; a
// pixel coordinate is a position, so (w/2, h/2) is the view centre.
//
// The transform goes into GL_PROJECTION and the model-view is left at the
// identity, so what a draw callback sets with an identity model-view (clip
// planes, lights, text) is in scene coordinates.
class LumCamera : public LumElement
{
public:
    enum Mode
    {
        Free = 1,
        TopView = 3
    };

    explicit LumCamera(LumoraDevice* device = nullptr);

    int GetMode() const { return mMode; }
    // 1 or 3; any other mode is refused (reported, false). Entering the top
    // view puts the eye above the target at z = 10000 and keeps the distance
    // as the visible height; entering the free mode keeps position and target.
    bool ChangeCameraMode(int mode);

    const LumPoint& GetPosition() const { return mPosition; }
    const LumPoint& GetTarget() const { return mTarget; }
    double GetDistance() const { return mDistance; }
    // In the free mode the distance follows position and target; in the top
    // view they leave it alone (it is the zoom).
    void SetPosition(const LumPoint& position);
    void SetPosition(double x, double y, double z) { SetPosition(LumPoint(x, y, z)); }
    void SetTarget(const LumPoint& target);
    void SetTarget(double x, double y, double z) { SetTarget(LumPoint(x, y, z)); }
    // Free mode: the eye moves along its line to the target; top view: the
    // visible height. Not finite or not above 1e-5: refused (reported, false).
    bool SetDistance(double distance);

    bool IsMovable() const { return mMovable; }
    bool IsZoomable() const { return mZoomable; }
    void SetMovable(bool movable) { mMovable = movable; }
    void SetZoomable(bool zoomable) { mZoomable = zoomable; }

    // The canvas size in pixels; the device sets it at each frame, a device
    // without canvas leaves it to its user. Sizes below 1 count as 1.
    void SetCanvasSize(int width, int height);
    int GetCanvasWidth() const { return mWidth; }
    int GetCanvasHeight() const { return mHeight; }

    // Scene units the view shows at the target: vertically (E in the top
    // view) and horizontally.
    double GetExtent() const;
    double GetViewWidth() const;
    double GetFieldOfView() const { return 45.0; }

    // The ray through pixel (x, y): in the top view vertical and downwards
    // from the top of the depth range, in the free mode from the eye.
    KorRay GetRay(double x, double y) const;
    // The scene point under pixel (x, y). When the device's canvas can make
    // its context current, the depth left by the last frame is read back and
    // unprojected; where nothing was drawn, and without a context, the
    // point is the view ray's crossing of z = 0 (in the free mode, a ray
    // that never reaches z = 0 gives its point at the target's distance).
    LumPoint GetPosition(double x, double y) const;

    // Where scene point p lands, in pixels from the top-left corner; false
    // (pixel untouched) for a point at or behind the free camera's eye.
    bool ProjectToPixel(const LumPoint& p, double& px, double& py) const;
    // Scene units one pixel spans at p's depth (the top view: E / h).
    double GetPixelSize(const LumPoint& p) const;

    // Navigation, refused (false, nothing moves) while the camera is not
    // movable, or for Zoom not zoomable. Orbit turns the free camera's eye
    // about the target: degrees about the vertical, then degrees of
    // elevation, kept within 89 degrees of the horizon; the distance and
    // the target stay (the top view refuses it). Pan slides eye and target
    // by a drag of (dx, dy) pixels, so the scene under the mouse follows it
    // at the target's depth. Zoom multiplies the distance (the top view's
    // E) by a positive factor, keeping the target.
    bool Orbit(double degreesAboutZ, double degreesUp);
    bool Pan(double dx, double dy);
    bool Zoom(double factor);

    // Loads the camera transform into GL_PROJECTION and the identity into
    // GL_MODELVIEW (which stays the current matrix). Needs a current context.
    void Apply() const;
    // The column-major matrix Apply loads into GL_PROJECTION.
    void GetProjectionMatrix(double m[16]) const;

private:
    LumPoint PixelRayOrigin(double x, double y) const;
    LumPoint PixelRayDirection(double x, double y) const;
    bool ReadDepthPoint(double x, double y, LumPoint& point) const;

    int mMode;
    LumPoint mPosition;
    LumPoint mTarget;
    double mDistance;
    bool mMovable;
    bool mZoomable;
    int mWidth;
    int mHeight;
};
