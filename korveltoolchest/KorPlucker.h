#pragma once

#include "LumPoint.h"

class KorPlane;

// An oriented line in Plücker coordinates, from point 1 (p) to point 2 (q):
//   L0 = p.x q.y - p.y q.x   L1 = p.x q.z - p.z q.x   L2 = p.x - q.x
//   L3 = p.y q.z - p.z q.y   L4 = p.z - q.z           L5 = q.y - p.y
// so the direction q - p is (-L2, L5, -L4). The two points are kept beside
// the coordinates and always describe the same line.
class KorPlucker
{
public:
    KorPlucker() : m_L{0, 0, 0, 0, 0, 0} {}
    KorPlucker(const LumPoint& p, const LumPoint& q) { Define(p, q); }

    void Define(const LumPoint& p, const LumPoint& q)
    {
        m_P1 = p;
        m_P2 = q;
        m_L[0] = p.x * q.y - p.y * q.x;
        m_L[1] = p.x * q.z - p.z * q.x;
        m_L[2] = p.x - q.x;
        m_L[3] = p.y * q.z - p.z * q.y;
        m_L[4] = p.z - q.z;
        m_L[5] = q.y - p.y;
    }

    const LumPoint& GetPoint1() const { return m_P1; }
    const LumPoint& GetPoint2() const { return m_P2; }

    // The permuted inner product of the two lines: zero when they meet or are
    // parallel; its sign tells on which side this line passes b.
    double Side(const KorPlucker& b) const
    {
        return m_L[0] * b.m_L[4] + m_L[1] * b.m_L[5] + m_L[2] * b.m_L[3] + m_L[3] * b.m_L[2] +
               m_L[4] * b.m_L[0] + m_L[5] * b.m_L[1];
    }

    // Where the line meets the plane, rounded to single precision per
    // component. False, with out untouched, when the line is parallel to the
    // plane within 1e-5 (|n . (q - p)| < 1e-5).
    bool PlaneIntersection(const KorPlane& plane, LumPoint& out) const;

    // Shortest distance between the two infinite lines, with the nearest point
    // on this line (pa) and on b (pb), each rounded to single precision.
    // Returns 1e10 for parallel lines, a degenerate b, or a degenerate system;
    // 0 with pa = pb when an end point of this line lies on an end point of b.
    double LineDistance(const KorPlucker& b, LumPoint& pa, LumPoint& pb) const;

private:
    double m_L[6];
    LumPoint m_P1;
    LumPoint m_P2;
};
