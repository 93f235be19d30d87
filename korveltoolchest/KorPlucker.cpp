#include "KorPlucker.h"

#include "KorPlane.h"
#include "KorSinglePrecision.h"

bool KorPlucker::PlaneIntersection(const KorPlane& plane, LumPoint& out) const
{
    const LumPoint n(plane.m_A, plane.m_B, plane.m_C);
    // n . (q - p), with q - p = (-L2, L5, -L4).
    const double den = n.y * m_L[5] - n.x * m_L[2] - n.z * m_L[4];
    if (std::fabs(den) < 1e-5)
        return false;
    const double t = -(n * m_P1 + plane.m_D) / den;
    out = KorToSingle(m_P1 + (m_P2 - m_P1) * t);
    return true;
}

double KorPlucker::LineDistance(const KorPlucker& b, LumPoint& pa, LumPoint& pb) const
{
    // Parallel when the direction coordinates (L2, L5, L4) are proportional.
    double r;
    if (std::fabs(b.m_L[2]) > 1e-5)
        r = m_L[2] / b.m_L[2];
    else if (std::fabs(b.m_L[5]) > 1e-5)
        r = m_L[5] / b.m_L[5];
    else if (std::fabs(b.m_L[4]) > 1e-5)
        r = m_L[4] / b.m_L[4];
    else
        return 1e10;
    if (std::fabs(m_L[2] - r * b.m_L[2]) < 1e-5 && std::fabs(m_L[5] - r * b.m_L[5]) < 1e-5 &&
        std::fabs(m_L[4] - r * b.m_L[4]) < 1e-5)
        return 1e10;

    const LumPoint& p1 = m_P1;
    const LumPoint& p2 = m_P2;
    const LumPoint& p3 = b.m_P1;
    const LumPoint& p4 = b.m_P2;
    if ((p1 - p3).Norm() < 1e-5 || (p1 - p4).Norm() < 1e-5)
    {
        pa = pb = p1;
        return 0.0;
    }
    if ((p2 - p3).Norm() < 1e-5 || (p2 - p4).Norm() < 1e-5)
    {
        pa = pb = p2;
        return 0.0;
    }

    // Closest points of two lines: solve the 2x2 normal equations.
    const LumPoint d21 = p2 - p1;
    const LumPoint d43 = p4 - p3;
    const LumPoint d13 = p1 - p3;
    const double d1343 = d13 * d43;
    const double d4321 = d21 * d43;
    const double d1321 = d13 * d21;
    const double d4343 = d43 * d43;
    const double d2121 = d21 * d21;
    const double den = d2121 * d4343 - d4321 * d4321;
    if (std::fabs(den) < 1e-9)
        return 1e10;
    const double mua = (d1343 * d4321 - d1321 * d4343) / den;
    pa = KorToSingle(p1 + d21 * mua);
    if (std::fabs(d4343) < 1e-9)
        return 1e10;
    const double mub = (d1343 + mua * d4321) / d4343;
    pb = KorToSingle(p3 + d43 * mub);
    return (pa - pb).Norm();
}
