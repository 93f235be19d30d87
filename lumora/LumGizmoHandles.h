#pragma once

#include "LumPoint.h"

#include <vector>

class LumCamera;
class LumGizmo;

// Where a gizmo's handles stand on the canvas, in pixels from its top-left
// corner, for one camera: the one layout both hit-testing and drawing use,
// so a handle is grabbed exactly where it is seen. Sizes are in pixels
// whatever the zoom. Around the gizmo's shown point O (position plus
// translation):
// - translations (1, 2, 4): arrows from O, 90 px long in scene terms along
//   x, y, z (shorter when foreshortened; dropped below 12 px, an axis seen
//   end-on cannot be dragged along);
// - plan move (both 1 and 2): a square of half-side 7 px on O;
// - rotations (0x10, 0x20, 0x40): rings of radius 60 px in scene terms in
//   the plane square to x, y, z;
// - scales: 0x08 a square of half-side 5 px at O + (50, -50) px, 0x80 the
//   same at O + (50, -50), or at O + (-50, -50) beside a 0x08.
// A press within 8 px of a handle grabs it; the nearest wins, ties going to
// the plan square, then the arrows, the scales and the rings. Layout and
// hit-test cost O(1) (rings have 48 sides) and make no GL call.
class LumGizmoHandles
{
public:
    // Handle bit for the plan move (both translations of the plane at once).
    static constexpr int PlanMove = 0x03;

    struct Pixel
    {
        double x, y;
    };
    struct Shape
    {
        int handle;                  // a LumGizmo::Handle bit, or PlanMove
        std::vector<Pixel> pixels;   // a polyline; one pixel for a square
        std::vector<LumPoint> scene; // the scene points of a ring's corners
        bool closed;
        double halfSide; // squares only
    };

    LumGizmoHandles(const LumGizmo& gizmo, const LumCamera& camera);

    // The handle within 8 px of pixel (x, y), 0 when none.
    int HitTest(double x, double y) const;
    // The shape of a handle, null when it is not shown.
    const Shape* Find(int handle) const;
    const std::vector<Shape>& GetShapes() const { return mShapes; }
    // False when the gizmo's point is behind the eye: nothing is shown.
    bool IsVisible() const { return mVisible; }
    const Pixel& GetCentre() const { return mCentre; }
    // Scene units a pixel spans at the gizmo.
    double GetPixelSize() const { return mPixelSize; }

    // Distance from (x, y) to a shape in pixels.
    static double Distance(const Shape& shape, double x, double y);
    // On a ring, the scene point nearest to pixel (x, y).
    static LumPoint NearestScenePoint(const Shape& ring, double x, double y);

    // Draws the handles in window pixels over the frame (no depth test, no
    // depth write), the grabbed one highlighted; GL state and matrices are
    // put back. Needs a current context.
    void Render(int width, int height, int activeHandle) const;

    static constexpr double kArrowLength = 90.0;
    static constexpr double kRingRadius = 60.0;
    static constexpr double kGrabDistance = 8.0;

private:
    std::vector<Shape> mShapes;
    Pixel mCentre;
    double mPixelSize;
    bool mVisible;
};
