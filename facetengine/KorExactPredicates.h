#pragma once

#include "LumPoint.h"

#include <cstdint>

// Orientation and in-circle tests in the xy plane whose answers are those of
// exact real arithmetic on the given doubles. A plain floating-point
// evaluation first; only when its rounding error bound does not settle the
// answer is the determinant evaluated exactly with floating-point expansions
// (sums of non-overlapping doubles). The fast path is O(1); the exact path
// is O(1) too, with a few hundred operations, and is taken only for nearly
// degenerate inputs (collinear or co-circular within rounding).
//
// Exactness is what keeps a flip cascade finite: with rounded determinants
// both diagonals of a nearly co-circular quadrilateral can test "illegal", and
// the flips then undo each other for ever.
//
// Coordinates must be finite and far from overflow (|x| below about 1e60).

// Sign (-1, 0, 1) of ((b - a) x (c - a)).z: 1 when a, b, c turn
// counter-clockwise, 0 when they are collinear.
int Orient2DSign(double ax, double ay, double bx, double by, double cx, double cy);

// Whether the determinant of the rows (a - d, |a - d|^2), (b - d, |b - d|^2),
// (c - d, |c - d|^2), taken on x and y, is strictly greater than threshold.
// For a counter-clockwise a, b, c and a threshold of 0 this is "d strictly
// inside the circle through a, b, c".
bool InCircleAbove(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy,
                   double threshold);

// Sign (-1, 0, 1) of det(b - a, c - a, d - a), that is of
// ((b - a) x (c - a)) . (d - a): 1 when d lies on the side of the plane abc
// that the normal of a, b, c turning counter-clockwise points to, 0 when
// the four points are coplanar. Exact, as Orient2DSign.
int Orient3DSign(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d);

// det(b - a, c - a, d - a) worked out exactly and then rounded: its sign
// is Orient3DSign's, and it is 0 only for coplanar points. For the
// crossing of a segment nearly parallel to a plane, where the rounded
// determinant has no digit right.
double Orient3DValue(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d);

// The sign of t1 - t2, where tk is the fraction of the segment p-q at which
// it crosses the plane of the triangle ak, bk, ck: -1 when it meets the
// first plane nearer to p. For a segment whose ends lie strictly on either
// side of both planes; 0 when it meets both at one point.
int CompareSegmentPlaneCrossings(const LumPoint& p, const LumPoint& q, const LumPoint& a1, const LumPoint& b1,
                                 const LumPoint& c1, const LumPoint& a2, const LumPoint& b2,
                                 const LumPoint& c2);

// The same tests on points moved by a symbolic perturbation (simulation of
// simplicity): each coordinate of each point gets its own infinitesimal
// shift, all positive, in an order of magnitude set by the point's rank, so
// that no four points are ever coplanar nor three collinear in plan, and
// every answer is -1 or 1, consistent with every other one asked of the
// same points. The largest shifts are those of the altitudes, by
// increasing rank; then those of y, then of x. A point of lower rank so
// stands a little higher than one it coincides with: the rank orders who
// gives way at a contact. Two points of one call never share a rank.
struct sRankedPoint
{
    const LumPoint* P;
    std::int64_t Rank;
};
int PerturbedOrient3D(const sRankedPoint& a, const sRankedPoint& b, const sRankedPoint& c,
                      const sRankedPoint& d);
// Orient2DSign on x and y of the perturbed points.
int PerturbedOrient2D(const sRankedPoint& a, const sRankedPoint& b, const sRankedPoint& c);
// CompareSegmentPlaneCrossings of the perturbed points: the sign of t1 - t2
// where the segment p-q meets the planes of the triangles t1 and t2 (three
// points each), for a segment whose perturbed ends lie on either side of
// both. Where the two crossings coincide (the segment passes through a
// point the triangles share), the perturbation tells them apart as it
// places every other point; 0 only for triangles in one plane.
int PerturbedCrossingOrder(const sRankedPoint& p, const sRankedPoint& q, const sRankedPoint* t1,
                           const sRankedPoint* t2);
