#pragma once

#include "KorGraduation.h"
#include "KorPlane.h"
#include "LumPoint.h"

#include <string>
#include <vector>

class ProjetOVX;

// A terrain cross-section computed without any window: the profile of every
// layer along a vertical cut, the boreholes near it and where the tunnel
// axis crosses it. Everything is in scene units unless said otherwise.

// One point of a layer profile.
struct SectionPoint
{
    LumPoint Point;
    // Distance from the cut's first point along the cut direction.
    double Abscissa = 0.0;
    // 0 the surface or the layer's excavation-cut mesh, 1 its head mesh.
    int Tag = 0;
    // The mesh edge that produced it lies on the mesh border; false for
    // the two end points.
    bool Border = false;
};

// A borehole near the cut: head and foot projected on the plane, their x
// replaced by their abscissae.
struct SectionBorehole
{
    LumPoint Head;
    LumPoint Foot;
    std::string Name;
    // The smaller of the head's and foot's distances to the plane, metres.
    double Distance = 0.0;
};

// The vertical cut plane through two plan points (a third point 100 units
// below their middle fixes it vertical).
struct SectionPlane
{
    LumPoint First;
    LumPoint Second;

    LumPoint Third() const { return (First + Second) * 0.5 - LumPoint(0, 0, 100); }
    KorPlane GetPlane() const { return KorPlane(First, Second, Third()); }
};

struct SectionData
{
    double Length = 1.0;
    double AltitudeMax = 1.0;
    double AltitudeMin = 0.0;
    double DrawTop = 1.0;
    double DrawBottom = 0.0;
    // One profile and one trace list per layer, in layer order.
    std::vector<std::vector<SectionPoint>> Profiles;
    std::vector<std::vector<LumPoint>> Traces;
    std::vector<SectionBorehole> Boreholes;
    // Graduations in metres: 0 to Length, DrawBottom to DrawTop.
    std::vector<sScalePoint> ScaleX;
    std::vector<sScalePoint> ScaleZ;
    // x = the crossing's abscissa (-10000 when the axis misses the cut),
    // y and z those of the crossing point AxisCrossing.
    LumPoint AxisCrossing2D = LumPoint(-10000.0, 0, 0);
    LumPoint AxisCrossing;
    // Chainage of the crossing from the axis' reference point, metres.
    double AxisChainage = 0.0;
};

// The section of the project along the plane. showExcavation cuts the
// layers' excavation and head meshes (when the 3D head display is on and
// a layer has been cut) instead of their surfaces. limitMetres is the
// borehole distance typed by the user. False, with data untouched, for a
// cut shorter than 1e-5. Cost: one pass over every layer edge, then
// O(n log n) per profile.
bool ComputeSectionData(ProjetOVX& projet, const SectionPlane& plane, bool showExcavation, double limitMetres,
                        SectionData& data);

// Abscissae within 1e-5 compare by altitude, lower first. Tolerant, hence
// not a strict weak order: sort only with KorMergeSort.
int CompareSectionPoints(const SectionPoint& a, const SectionPoint& b);
// Sorts a profile, drops coincident surface points (head points stay) and
// orders runs of coincident points so that tags follow on.
void OrderSectionProfile(std::vector<SectionPoint>& profile);

// The second point of a section being picked, under the section type's
// constraint: 1 same y as first, 2 same x, 3 perpendicular and 4 parallel
// to the axis through axisPoint (axisAngle in degrees from +Y towards +X;
// the line is made symmetric about axisPoint by moving first), 0 free.
LumPoint ConstrainSectionPoint(int type, LumPoint point, LumPoint& first, const LumPoint& axisPoint,
                               double axisAngle);
