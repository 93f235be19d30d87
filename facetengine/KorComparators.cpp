#include "KorComparators.h"

namespace
{
int CompareExact(double a, double b)
{
    if (a < b)
        return -1;
    if (a > b)
        return 1;
    return 0;
}

int CompareTolerant(double a, double b)
{
    const double d = a - b;
    if (d < -1e-5)
        return -1;
    if (d > 1e-5)
        return 1;
    return 0;
}
} // namespace

int CompareVerticesXY(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.X, b.X);
    return c != 0 ? c : CompareExact(a.Y, b.Y);
}

int CompareVerticesXZ(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.X, b.X);
    return c != 0 ? c : CompareExact(a.Z, b.Z);
}

int CompareVerticesYX(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.Y, b.Y);
    return c != 0 ? c : CompareExact(a.X, b.X);
}

int CompareVerticesYZ(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.Y, b.Y);
    return c != 0 ? c : CompareExact(a.Z, b.Z);
}

int CompareVerticesZX(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.Z, b.Z);
    return c != 0 ? c : CompareExact(a.X, b.X);
}

int CompareVerticesZY(const KorVertex& a, const KorVertex& b)
{
    const int c = CompareExact(a.Z, b.Z);
    return c != 0 ? c : CompareExact(a.Y, b.Y);
}

int CompareVerticesForFusion(const KorVertex& a, const KorVertex& b)
{
    int c = CompareTolerant(a.X, b.X);
    if (c == 0)
        c = CompareTolerant(a.Y, b.Y);
    if (c == 0)
        c = CompareTolerant(a.Z, b.Z);
    return c;
}
