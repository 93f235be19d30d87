#pragma once

#include "BoundingBox.h"
#include "LumPoint.h"

#include <string>
#include <vector>

// The 3D geometry of one discontinuity family inside a box: the planes'
// common unit normal n and one offset d per plane (the plane is n.x + d = 0),
// and named traces, each a list of segment end points (pairs) where the
// planes cut a surface. A layer keeps two of them per family (its walls and
// its part cut by the trench head); the discontinuity editor and the terrain
// sections make their own.
//
// The planes are spaced in a fixed pattern (no random draw) whose mean step
// is the spacing; at most MaxPlanes of them per object, so that a spacing
// far too small for its box gives none instead of millions.
class Discontinuite3D
{
public:
    struct Trace
    {
        std::string Name;
        std::vector<LumPoint> Points;
    };

    static constexpr int MaxPlanes = 100000;

    Discontinuite3D();
    virtual ~Discontinuite3D();

    // The normal from the dip direction and the dip (degrees): a unit
    // vector pointing downward, (0, 0, -1) for dip 0.
    void ComputeNormal();
    // The normal and the offsets from the four values and the box. The
    // spacing is made absolute; below 1e-5 (or not a number) there are no
    // planes. Cost O(number of planes), bounded by MaxPlanes.
    void ComputeGeometry();

    // The index of the trace of that name, appended empty when absent.
    int AddTrace(const std::string& name);
    // The index of the first trace of that name (exact), or -1.
    int FindTrace(const std::string& name) const;
    // -1 when absent; otherwise points gets a copy of the trace's points.
    int GetTrace(const std::string& name, std::vector<LumPoint>& points) const;
    // Empties the trace of that name; its index, or -1 when absent.
    int ClearTrace(const std::string& name);

    // Appends to trace k the segments where the planes cut the closed
    // polygon (the last point joins the first). Per plane the crossings are
    // taken in edge order, a crossing within 1e-5 of the plane's previous
    // one dropped (a vertex met by its two edges); an odd count loses its
    // last point, so that every pair lies on one plane. Nothing when the
    // object has no trace or k names none. O(planes x edges).
    void ComputePolygonTraces(const std::vector<LumPoint>& polygon, int k);
    // Appends to trace k one segment per plane that cuts the convex
    // quadrilateral p0 p1 p2 p3 strictly inside two of its edges. Nothing
    // when k names no trace.
    void ComputeFaceTraces(int k, const LumPoint& p0, const LumPoint& p1, const LumPoint& p2,
                           const LumPoint& p3);
    // Appends every point of every trace, traces in order.
    void GetAllTracePoints(std::vector<LumPoint>& points) const;

    // Draws the unnamed traces as lines of width 1 in the current colour
    // (inside a draw callback, context current).
    void Render() const;

    int GetNumberOfTraces() const { return static_cast<int>(Traces.size()); }

    double DipDirection = 0.0;
    double Dip = 0.0;
    double Spacing = 1.0;
    double Spread = 0.0;
    BoundingBox Box;
    LumPoint Normal = LumPoint(1.0, 1.0, 1.0);
    std::vector<double> Offsets;
    std::vector<Trace> Traces;
};
