#include "KorGeometry.h"

#include "KorPlucker.h"

#include <algorithm>

namespace
{
// v within [a, b] or [b, a], bounds included.
inline bool Between(double v, double a, double b)
{
    return a <= b ? (a <= v && v <= b) : (b <= v && v <= a);
}

inline bool IsVertical(const LumPoint& a, const LumPoint& b)
{
    return std::fabs(b.x - a.x) < 1e-5;
}

inline double Distance2D(double ax, double ay, double bx, double by)
{
    return std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
}

inline int SideSign(double s)
{
    if (std::fabs(s) <= 1e-5)
        return 0;
    return s > 0 ? 1 : -1;
}
} // namespace

double AngleBetweenVectors2D(const LumPoint& u, const LumPoint& v)
{
    const double nn = u.Norm() * v.Norm();
    if (nn <= 1e-5)
        return 0.0;
    const double c = std::clamp((u * v) / nn, -1.0, 1.0);
    return std::acos(c) * 180.0 / 3.14159265;
}

bool PointInTriangle2D(const LumPoint& p, const LumPoint& a, const LumPoint& b, const LumPoint& c,
                       LumPoint& out)
{
    if (!PointInTriangle2D(p, a, b, c))
        return false;
    // Barycentric coordinates in xy from the Gram system of the two edges.
    const double e0x = c.x - a.x, e0y = c.y - a.y;
    const double e1x = b.x - a.x, e1y = b.y - a.y;
    const double e2x = p.x - a.x, e2y = p.y - a.y;
    const double d00 = e0x * e0x + e0y * e0y;
    const double d01 = e0x * e1x + e0y * e1y;
    const double d02 = e0x * e2x + e0y * e2y;
    const double d11 = e1x * e1x + e1y * e1y;
    const double d12 = e1x * e2x + e1y * e2y;
    const double det = d00 * d11 - d01 * d01;
    if (std::fabs(det) < 1e-5)
        return false;
    const double u = (d11 * d02 - d01 * d12) / det;
    const double v = (d00 * d12 - d01 * d02) / det;
    out = a + (c - a) * u + (b - a) * v;
    return true;
}

bool PointInTriangle3D(const LumPoint& p, const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    const LumPoint n = (b - a) ^ (c - a);
    if (n.Norm() < 1e-5)
        return false;
    const KorPlucker line(p, p + n);
    const int s1 = SideSign(line.Side(KorPlucker(a, b)));
    const int s2 = SideSign(line.Side(KorPlucker(b, c)));
    const int s3 = SideSign(line.Side(KorPlucker(c, a)));
    // Inside when the non-zero signs agree (a zero is an edge, two a vertex).
    int common = 0;
    for (int s : {s1, s2, s3})
    {
        if (s == 0)
            continue;
        if (common != 0 && s != common)
            return false;
        common = s;
    }
    return common != 0;
}

bool SegmentsIntersection(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3, const LumPoint& p4,
                          double* t)
{
    // A point-like first segment has no position to report (t would be 0/0).
    const double dx1 = p2.x - p1.x, dy1 = p2.y - p1.y;
    if (dx1 * dx1 + dy1 * dy1 < 1e-10)
        return false;
    const bool v1 = IsVertical(p1, p2);
    const bool v2 = IsVertical(p3, p4);
    if (v1 && v2)
        return false;
    if (v1)
    {
        if (!Between(p1.x, p3.x, p4.x))
            return false;
        const double y = p3.y + (p1.x - p3.x) * ((p4.y - p3.y) / (p4.x - p3.x));
        if (!Between(y, p1.y, p2.y))
            return false;
        if (t)
            *t = (y - p1.y) / (p2.y - p1.y);
        return true;
    }
    const double m1 = dy1 / dx1;
    const double c1 = p1.y - m1 * p1.x;
    if (v2)
    {
        if (!Between(p3.x, p1.x, p2.x))
            return false;
        const double y = m1 * p3.x + c1;
        if (!Between(y, p3.y, p4.y))
            return false;
        if (t)
            *t = Distance2D(p1.x, p1.y, p3.x, y) / std::sqrt(dx1 * dx1 + dy1 * dy1);
        return true;
    }
    const double m2 = (p4.y - p3.y) / (p4.x - p3.x);
    const double c2 = p3.y - m2 * p3.x;
    if (std::fabs(m1 - m2) < 1e-5)
        return false;
    const double x = (c2 - c1) / (m1 - m2);
    if (!Between(x, p1.x, p2.x) || !Between(x, p3.x, p4.x))
        return false;
    if (t)
        *t = Distance2D(p1.x, p1.y, x, m1 * x + c1) / std::sqrt(dx1 * dx1 + dy1 * dy1);
    return true;
}

bool LinesIntersection(const LumPoint& p1, const LumPoint& p2, const LumPoint& p3, const LumPoint& p4,
                       double* t)
{
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    const double len2 = dx * dx + dy * dy;
    if (std::sqrt(len2) < 1e-5)
        return false;
    const bool v1 = IsVertical(p1, p2);
    const bool v2 = IsVertical(p3, p4);
    if (v1 && v2)
        return false;
    if (v1)
    {
        if (t)
        {
            const double y = p3.y + (p1.x - p3.x) * ((p4.y - p3.y) / (p4.x - p3.x));
            *t = (y - p1.y) / dy;
        }
        return true;
    }
    const double m1 = dy / dx;
    const double c1 = p1.y - m1 * p1.x;
    double qx;
    if (v2)
        qx = p3.x;
    else
    {
        const double m2 = (p4.y - p3.y) / (p4.x - p3.x);
        const double c2 = p3.y - m2 * p3.x;
        if (std::fabs(m1 - m2) < 1e-5)
            return false;
        qx = (c2 - c1) / (m1 - m2);
    }
    // The position is measured in xy, like the crossing itself, so that the
    // heights of p1 and p2 do not shift it.
    if (t)
        *t = ((qx - p1.x) * dx + (m1 * qx + c1 - p1.y) * dy) / len2;
    return true;
}

bool IntersectionPlanSegment(const LumPoint& n, const float& d, const LumPoint& p1, const LumPoint& p2,
                             double& t)
{
    const double den = n * (p2 - p1);
    if (std::fabs(den) < 1e-5)
        return false;
    t = -(n * p1 + d) / den;
    return true;
}

int IntersectionCircleLine(const LumPoint& c, const float& r, const LumPoint& p1, const LumPoint& p2,
                           LumPoint& out1, LumPoint& out2)
{
    out1.Init();
    out2.Init();
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    if (std::sqrt(dx * dx + dy * dy) < 1e-5)
        return 0;
    const double rr = r;
    const double A = dx * dx + dy * dy;
    const double B = 2.0 * (dx * (p1.x - c.x) + dy * (p1.y - c.y));
    const double C =
        c.x * c.x + c.y * c.y + p1.x * p1.x + p1.y * p1.y - 2.0 * (c.x * p1.x + c.y * p1.y) - rr * rr;
    const double D = B * B - 4.0 * A * C;
    if (D < -1e-5)
        return 0;
    if (D >= 1e-5)
    {
        const double sq = std::sqrt(D);
        const double u1 = (sq - B) / (2.0 * A);
        const double u2 = (-B - sq) / (2.0 * A);
        out1.Define(p1.x + u1 * dx, p1.y + u1 * dy, 0.0);
        out2.Define(p1.x + u2 * dx, p1.y + u2 * dy, 0.0);
        return 2;
    }
    const double u = -B / (2.0 * A);
    out1.Define(p1.x + u * dx, p1.y + u * dy, 0.0);
    out2 = out1;
    return 1;
}

double DistancePointSegment2D(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out)
{
    const LumPoint d(b.x - a.x, b.y - a.y, 0.0);
    const double L = d.Norm();
    if (L < 1e-5)
        return -1.0;
    const double s = ((p - a) * d / L) / L;
    if (s < 1e-5)
        out = a;
    else if (s <= 0.99999)
        out = a + (b - a) * s;
    else
        out = b;
    return (p - out).Norm2D();
}

double DistancePointSegment(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out)
{
    const LumPoint d = b - a;
    const double L = d.Norm();
    if (L < 1e-5)
        return -1.0;
    const double s = ((p - a) * d / L) / L;
    if (s < 1e-5)
        out = a;
    else if (s <= 0.99999)
        out = a + d * s;
    else
        out = b;
    return (p - out).Norm();
}

double DistancePointLine(const LumPoint& p, const LumPoint& a, const LumPoint& b, LumPoint& out)
{
    const LumPoint d = b - a;
    const double L = d.Norm();
    if (L < 1e-5)
        return -1.0;
    out = a + d * (((p - a) * d) / (L * L));
    return (p - out).Norm();
}

bool ArePointsAligned(const std::vector<LumPoint>& points)
{
    if (points.size() < 3)
        return true;
    const LumPoint u = points[1] - points[0];
    for (size_t k = 2; k < points.size(); ++k)
        if ((u ^ (points[k] - points[0])).Norm() > 1e-5)
            return false;
    return true;
}
