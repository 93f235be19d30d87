#pragma once

#include "LumPoint.h"

// A half-line from an origin along a unit direction (normalised on
// definition; a direction shorter than 1e-5 becomes (0, 0, 0) and hits
// nothing). Every test measures a hit by its distance along the ray and
// accepts it only inside the caller's window [min, max]. Tests taking a
// running distance t treat it as the nearest hit so far: when t < 0 any hit
// in the window is accepted, otherwise only one strictly nearer than t; on
// acceptance t becomes the new distance. So one t can be threaded through a
// series of tests, started at a large value or at -1. All tests are O(1) and
// allocate nothing.
class KorRay
{
public:
    KorRay() {}
    KorRay(const LumPoint& origin, const LumPoint& direction) { Define(origin, direction); }

    void Define(const LumPoint& origin, const LumPoint& direction)
    {
        m_Origin = origin;
        m_Direction = direction;
        Normalize(m_Direction);
    }

    const LumPoint& GetOrigin() const { return m_Origin; }
    const LumPoint& GetDirection() const { return m_Direction; }

    // Möller–Trumbore test against triangle abc, edges included within 1e-5
    // in barycentric terms. Grazing rays, |(e1 x e2) . dir| < 1e-5, are
    // refused (so are triangles of area below about 5e-6).
    bool IntersectTriangle(const LumPoint& a, const LumPoint& b, const LumPoint& c, const double& min,
                           const double& max, double& t) const
    {
        const LumPoint e1 = b - a, e2 = c - a, w = m_Origin - a;
        double inverse, u;
        // u >= 1.0001 cannot pass u + v <= 1.00001 with v > -1e-5.
        if (!FirstCoordinate(w, e1, e2, inverse, u) || !(u > -1e-5 && u < 1.0001))
            return false;
        const double v = ((e1 ^ w) * m_Direction) * inverse;
        if (!(v > -1e-5 && u + v <= 1.00001))
            return false;
        return Accept((a + e1 * u + e2 * v - m_Origin) * m_Direction, min, max, t);
    }

    // The parallelogram a + u (b - a) + v (d - a), 0 <= u, v <= 1 within 1e-5
    // (strict bounds); c is not used. Grazing rays are refused as above.
    bool IntersectRectangle(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d,
                            const double& min, const double& max, double& t) const
    {
        (void)c;
        const LumPoint e1 = b - a, e2 = d - a, w = m_Origin - a;
        double inverse, u;
        if (!FirstCoordinate(w, e1, e2, inverse, u) || !(u > -1e-5 && u < 1.00001))
            return false;
        const double v = ((e1 ^ w) * m_Direction) * inverse;
        if (!(v > -1e-5 && v < 1.00001))
            return false;
        return Accept((a + e1 * u + e2 * v - m_Origin) * m_Direction, min, max, t);
    }

    // The six faces of the box lo-hi, all tested (z = hi.z, x = lo.x,
    // z = lo.z, x = hi.x, y = hi.y, y = lo.y); t ends as the nearest hit.
    bool IntersectCube(const LumPoint& lo, const LumPoint& hi, const double& min, const double& max,
                       double& t) const;
    // Whether the ray meets the box lo-hi inside the window; stops at the
    // first face hit, in the order above.
    bool IntersectBoundingBox(const LumPoint& lo, const LumPoint& hi, const double& min,
                              const double& max) const;
    // The nearer root only: a tangent ray misses, and a ray starting inside
    // has a negative distance that any min >= it refuses. A negative max
    // means no upper limit.
    bool IntersectSphere(const LumPoint& centre, const double& radius, const double& min, const double& max,
                         double& t) const;
    // The ray's line against segment p1p2. t receives the distance between
    // the two lines (whatever the result, unless they are parallel within
    // 1e-5, when it is untouched); true when the closest point lies on the
    // segment and its distance along the ray is within [min, max].
    bool IntersectSegment(const LumPoint& p1, const LumPoint& p2, double& t, const double& min,
                          const double& max) const;
    // The quarter disc c + a U + b V, a > 0, b > 0, a^2 + b^2 <= r^2 (U and V
    // in their own units). A negative min or max is no bound; t is set to the
    // hit's distance without comparison with its previous value.
    bool IntersectQuarterCircle(const LumPoint& c, const LumPoint& U, const LumPoint& V, const double& radius,
                                const double& min, const double& max, double& t) const;

private:
    // The crossing of the ray with the plane a + u e1 + v e2, w = origin - a,
    // solved by Cramer's rule as triple products: den = (e1 x e2) . dir =
    // e1 . (e2 x dir), u = ((w x e2) . dir) / den, and v = ((e1 x w) . dir) /
    // den, which the callers compute only once u is in range. False when
    // |den| < 1e-5 (parallel or degenerate).
    bool FirstCoordinate(const LumPoint& w, const LumPoint& e1, const LumPoint& e2, double& inverse,
                         double& u) const
    {
        const LumPoint pv = e2 ^ m_Direction;
        const double den = e1 * pv;
        if (std::fabs(den) < 1e-5)
            return false;
        inverse = 1.0 / den;
        u = (w * pv) * inverse;
        return true;
    }

    static bool Accept(double dist, const double& min, const double& max, double& t)
    {
        if (dist < min || (t >= 0 && dist >= t) || dist > max)
            return false;
        t = dist;
        return true;
    }

    LumPoint m_Origin;
    LumPoint m_Direction;
};
