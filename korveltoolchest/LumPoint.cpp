#include "LumPoint.h"

#include <cstdint>

namespace
{
int CompareTolerant(double d)
{
    if (d < -1e-5)
        return -1;
    if (d > 1e-5)
        return 1;
    return 0;
}
} // namespace

int CompareLumPoints(const void* a, const void* b)
{
    const LumPoint& p = *static_cast<const LumPoint*>(a);
    const LumPoint& q = *static_cast<const LumPoint*>(b);
    if (int c = CompareTolerant(p.x - q.x))
        return c;
    if (int c = CompareTolerant(p.y - q.y))
        return c;
    return CompareTolerant(p.z - q.z);
}

int power(int v, int n)
{
    // Unsigned arithmetic wraps like a 32-bit product without undefined behaviour.
    std::uint32_t r = 1;
    for (int i = 0; i < n; ++i)
        r *= static_cast<std::uint32_t>(v);
    return static_cast<int>(r);
}

double power(const double& v, int n)
{
    if (n == 0)
        return 1.0;
    if (n < 0)
        return std::exp(n * std::log(v));
    double r = v;
    for (int i = 1; i < n; ++i)
        r *= v;
    return r;
}

double Round(const double& v, const int& n)
{
    // Computed in double throughout: a scaled value beyond 32 bits keeps its
    // integer part instead of overflowing.
    const double factor = n >= 1 ? static_cast<double>(power(10, n)) : 1.0;
    const double s = v * factor;
    const double i = std::trunc(s);
    const double f = s - i;
    double r;
    if (s >= 0)
        r = f >= 0.5 ? i + 1 : i;
    else
        r = f <= -0.5 ? i - 1 : i;
    return r / factor;
}
