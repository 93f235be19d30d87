#include "KorRay.h"

namespace
{
// The six faces of a box as (a, b, c, d) corner quadruples, in test order.
struct BoxFaces
{
    LumPoint corners[6][4];

    BoxFaces(const LumPoint& lo, const LumPoint& hi)
    {
        const double x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
        Set(0, {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1});
        Set(1, {x0, y0, z0}, {x0, y1, z0}, {x0, y1, z1}, {x0, y0, z1});
        Set(2, {x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0});
        Set(3, {x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1});
        Set(4, {x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1});
        Set(5, {x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1});
    }

    void Set(int f, const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
    {
        corners[f][0] = a;
        corners[f][1] = b;
        corners[f][2] = c;
        corners[f][3] = d;
    }
};
} // namespace

bool KorRay::IntersectCube(const LumPoint& lo, const LumPoint& hi, const double& min, const double& max,
                           double& t) const
{
    const BoxFaces box(lo, hi);
    bool hit = false;
    for (const auto& f : box.corners)
        hit |= IntersectRectangle(f[0], f[1], f[2], f[3], min, max, t);
    return hit;
}

bool KorRay::IntersectBoundingBox(const LumPoint& lo, const LumPoint& hi, const double& min,
                                  const double& max) const
{
    const BoxFaces box(lo, hi);
    double t = -1;
    for (const auto& f : box.corners)
        if (IntersectRectangle(f[0], f[1], f[2], f[3], min, max, t))
            return true;
    return false;
}

bool KorRay::IntersectSphere(const LumPoint& centre, const double& radius, const double& min,
                             const double& max, double& t) const
{
    const LumPoint w = m_Origin - centre;
    const double b = w * m_Direction;
    const double D = b * b - (w * w - radius * radius);
    if (D <= 0)
        return false;
    const double s = -b - std::sqrt(D);
    if (s < min || (t >= 0 && s >= t))
        return false;
    if (s <= max || max < 0)
    {
        t = s;
        return true;
    }
    return false;
}

bool KorRay::IntersectSegment(const LumPoint& p1, const LumPoint& p2, double& t, const double& min,
                              const double& max) const
{
    const LumPoint e = p2 - p1;
    LumPoint n = m_Direction ^ e;
    if (n.Norm() < 1e-5)
        return false;
    Normalize(n);
    t = std::fabs((p1 - m_Origin) * n);

    // Closest points of origin + r dir and p1 + s e; dir has unit length, so
    // r is a distance.
    const LumPoint w = m_Origin - p1;
    const double d1343 = w * e;
    const double d4321 = m_Direction * e;
    const double d1321 = w * m_Direction;
    const double d4343 = e * e;
    const double d2121 = m_Direction * m_Direction;
    const double den = d2121 * d4343 - d4321 * d4321;
    if (std::fabs(den) < 1e-9)
        return false;
    const double r = (d1343 * d4321 - d1321 * d4343) / den;
    const double s = (d1343 + r * d4321) / d4343;
    if (s < 0 || s > 1)
        return false;
    if (r < min)
        return false;
    return r <= max;
}

bool KorRay::IntersectQuarterCircle(const LumPoint& c, const LumPoint& U, const LumPoint& V,
                                    const double& radius, const double& min, const double& max,
                                    double& t) const
{
    const LumPoint w = m_Origin - c;
    const double den = (U ^ V) * m_Direction;
    // A ray parallel to the disc's plane has no single hit.
    if (den == 0)
        return false;
    const double a = ((w ^ V) * m_Direction) / den;
    const double b = ((U ^ w) * m_Direction) / den;
    if (!(a > 0 && b > 0 && a * a + b * b <= radius * radius))
        return false;
    const double dist = (c + U * a + V * b - m_Origin) * m_Direction;
    if (min >= 0 && dist < min)
        return false;
    if (max >= 0 && dist > max)
        return false;
    t = dist;
    return true;
}
