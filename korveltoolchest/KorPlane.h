#pragma once

#include "KorPlucker.h"
#include "LumPoint.h"

// A plane a x + b y + c z + d = 0 through three points, kept as given. The
// normal is unit length unless the points are collinear within 1e-5, when the
// tiny cross product itself is kept. Results pass through single precision
// where stated: each component rounded to a float and widened back.
class KorPlane
{
public:
    KorPlane() : m_A(0), m_B(0), m_C(0), m_D(0) {}
    KorPlane(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3);

    // The normal, each component rounded to single precision.
    LumPoint GetNormal() const;
    // Orthogonal projection of x, rounded to single precision.
    LumPoint Projection(const LumPoint& x) const;
    // The common line of the two planes, through two points P and Q computed
    // in single precision (Q - P is 100 times the cross product of the
    // normals). Parallel planes give P = (0, 0, 0) and a degenerate line.
    KorPlucker Intersection(const KorPlane& other) const;
    // 2 with t = 0 when p1 lies in the plane within 1e-5; 0 when p1p2 is
    // parallel to the plane (t untouched); else 1 with the parameter t of the
    // crossing along p1 -> p2 (not limited to [0, 1]). Uses the rounded normal.
    int LineIntersection(const LumPoint& p1, const LumPoint& p2, double& t) const;

private:
    friend class KorPlucker;

    double m_A, m_B, m_C, m_D;
    LumPoint m_P1, m_P2, m_P3;
};
