#include "KorPlane.h"

#include "KorSinglePrecision.h"

KorPlane::KorPlane(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3) : m_P1(p1), m_P2(p2), m_P3(p3)
{
    LumPoint n = (p1 - p2) ^ (p1 - p3);
    const double len = n.Norm();
    if (len > 1e-5)
        n = LumPoint(n.x / len, n.y / len, n.z / len);
    m_A = n.x;
    m_B = n.y;
    m_C = n.z;
    m_D = -(n * p1);
}

LumPoint KorPlane::GetNormal() const
{
    return KorToSingle(LumPoint(m_A, m_B, m_C));
}

LumPoint KorPlane::Projection(const LumPoint& x) const
{
    const LumPoint n(m_A, m_B, m_C);
    const double t = (x - m_P1) * n;
    return KorToSingle(x - n * t);
}

KorPlucker KorPlane::Intersection(const KorPlane& o) const
{
    const double a0 = m_A, a1 = m_B, a2 = m_C, a3 = m_D;
    const double b0 = o.m_A, b1 = o.m_B, b2 = o.m_C, b3 = o.m_D;
    const double L0 = a3 * b2 - b3 * a2;
    const double L1 = b3 * a1 - a3 * b1;
    const double L2 = a1 * b2 - b1 * a2;
    const double L3 = a3 * b0 - b3 * a0;
    const double L4 = b1 * a0 - a1 * b0;
    const double L5 = a0 * b2 - b0 * a2;
    // (L2, -L5, L4) is the cross product of the normals, the line's direction.
    LumPoint P;
    const double s = L5 * L5 + L2 * L2 + L4 * L4;
    if (s > 1e-5)
        P.Define(KorToSingle((L4 * L1 - L0 * L5) / s), KorToSingle((L4 * L3 - L2 * L0) / s),
                 KorToSingle((L5 * L3 - L2 * L1) / s));
    const LumPoint Q =
        P + LumPoint(KorToSingle(100.0 * L2), KorToSingle(-100.0 * L5), KorToSingle(100.0 * L4));
    // The coordinates are taken from P and Q, not from L0..L5 above: those
    // describe the opposite orientation and would disagree with the points.
    return KorPlucker(P, Q);
}

int KorPlane::LineIntersection(const LumPoint& p1, const LumPoint& p2, double& t) const
{
    const LumPoint n = GetNormal();
    const double h = n * p1 + m_D;
    if (std::fabs(h) < 1e-5)
    {
        t = 0.0;
        return 2;
    }
    const double den = n * (p2 - p1);
    if (std::fabs(den) < 1e-5)
        return 0;
    t = -h / den;
    return 1;
}
