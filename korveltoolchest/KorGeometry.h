#pragma once

#include "LumPoint.h"

#include <vector>

// Geometric predicates and measures on LumPoint. All are O(1) (except
// ArePointsAligned, O(n)), allocate nothing and print nothing; a failure is a
// false, 0 or -1 result. The thresholds are the library's 1e-5 and the
// fraction 0.99999. Names ending in 2D work in the xy plane.

// Unit normal of the triangle, (b - a) x (c - a); (0, 0, 0) when degenerate.
inline LumPoint CalculateTriangleNormal(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    LumPoint n = (b - a) ^ (c - a);
    Normalize(n);
    return n;
}

// Unit normal of a quadrilateral a b c d, summed over its two triangles on the
// diagonal b-d so that a slightly non-planar quad gets an averaged normal.
inline LumPoint CalculateQuadNormal(const LumPoint& a, const LumPoint& b, const LumPoint& c,
                                    const LumPoint& d)
{
    LumPoint n = ((b - a) ^ (d - a)) + ((d - c) ^ (b - c));
    Normalize(n);
    return n;
}

// Angle between u and v in degrees (all three components, despite the name);
// 0 when |u| |v| <= 1e-5. The cosine is clamped so that parallel vectors,
// whose rounded cosine may exceed 1, give 0 rather than NaN.
double AngleBetweenVectors2D(const LumPoint& u, const LumPoint& v);

// Point in triangle in xy by the signs of the three edge cross products, zero
// counting as positive: a point on an edge of a counter-clockwise triangle is
// inside, of a clockwise one outside; a degenerate triangle contains every
// point of its line.
inline bool PointInTriangle2D(const LumPoint& p, const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    const bool s1 = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x) >= 0.0;
    const bool s2 = (c.x - b.x) * (p.y - b.y) - (c.y - b.y) * (p.x - b.x) >= 0.0;
    const bool s3 = (a.x - c.x) * (p.y - c.y) - (a.y - c.y) * (p.x - c.x) >= 0.0;
    return s1 == s2 && s2 == s3;
}

// The same test; when inside, out is the point of the triangle's plane at p's
// xy position (out.z is the triangle's height there). False, out untouched,
// when the triangle's xy projection is degenerate (Gram determinant < 1e-5).
bool PointInTriangle2D(const LumPoint& p, const LumPoint& a, const LumPoint& b, const LumPoint& c,
                       LumPoint& out);

// Whether p's orthogonal projection onto the triangle's plane lies in the
// triangle (edges and vertices included), by the Plücker side of the normal
// line through p against the three edges. False for a triangle whose normal is
// shorter than 1e-5.
bool PointInTriangle3D(const LumPoint& p, const LumPoint& a, const LumPoint& b, const LumPoint& c);

// lo <= p <= hi in x and y, bounds included, no tolerance.
inline bool PointInRectangle2D(const LumPoint& p, const LumPoint& lo, const LumPoint& hi)
{
    return lo.x <= p.x && p.x <= hi.x && lo.y <= p.y && p.y <= hi.y;
}

// Crossing of segments p1p2 and p3p4 in xy, in slope form (a segment is
// vertical when its x extent is below 1e-5). t, when given, is the crossing's
// position along p1p2 (0 at p1, 1 at p2). False for two vertical segments,
// for parallel or collinear ones (overlapping or not) and for a first segment
// shorter than 1e-5 in xy. Range tests include their bounds, no tolerance.
bool SegmentsIntersection(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3, const LumPoint& p4,
                          double* t = nullptr);

// The same for the infinite lines; t is not limited to [0, 1].
bool LinesIntersection(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3, const LumPoint& p4,
                       double* t = nullptr);

// Plane n.x + d = 0 against the line p1 -> p2: t = -(n.p1 + d) / n.(p2 - p1),
// not limited to [0, 1]; false when |n.(p2 - p1)| < 1e-5.
bool IntersectionPlanSegment(const LumPoint& n, const float& d, const LumPoint& p1, const LumPoint& p2,
                             double& t);

// Number of points (0, 1 or 2) where the infinite line p1p2 meets the circle
// in xy; out1 and out2 get them with z = 0 (both (0, 0, 0) when 0, both the
// tangent point when 1). A discriminant within 1e-5 of zero is a tangent;
// a line shorter than 1e-5 gives 0.
int IntersectionCircleLine(const LumPoint& c, const float& r, const LumPoint& p1, const LumPoint& p2,
                           LumPoint& out1, LumPoint& out2);

// xy distance from p to segment ab, out the nearest point (carrying the
// segment's interpolated z). -1 when ab is shorter than 1e-5 in xy.
double DistancePointSegment2D(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out);
// The same in 3D.
double DistancePointSegment(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out);
// Distance from p to the infinite line ab, out the foot of the perpendicular;
// -1 (out untouched) when |b - a| < 1e-5.
double DistancePointLine(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out);

// True for fewer than three points; else whether every point lies on the line
// of the first two within |(p1 - p0) x (pk - p0)| <= 1e-5 (so true whenever
// p1 = p0). O(n).
bool ArePointsAligned(const std::vector<LumPoint>& points);

inline double GetTriangleSurface(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return ((b - a) ^ (c - a)).Norm() * 0.5;
}

inline double GetTetraedraVolume(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    return std::fabs(((b - a) ^ (c - a)) * (d - a)) / 6.0;
}

// (a - b) . (c - d).
inline double Combination(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    return (a - b) * (c - d);
}
