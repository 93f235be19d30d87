#include "KorGraduation.h"

#include "LumPoint.h"

#include <cmath>

namespace
{
// Bounds the graduation loops whatever the range, step or count given.
constexpr int kMaxSteps = 10000;

double AxisStep(double range, int n)
{
    const double p = power(10.0, static_cast<int>(std::floor(std::log10(range))) - 1);
    const double candidates[3] = {p, (n / 5) * p, (n / 2) * p};
    for (double c : candidates)
        if (range / c - 1e-5 <= n)
            return c;
    return n * p;
}

double ScaleStep(double range)
{
    const double p = std::pow(10.0, std::floor(std::log10(range)) - 1);
    for (double k : {1.0, 2.0, 5.0})
        if (range / (k * p) <= 10)
            return k * p;
    return 10 * p;
}
} // namespace

void GetKorAxis(const double& min, const double& max, std::vector<sAxisPoint>& out, const int& n)
{
    out.clear();
    // An infinite or undefined bound, or a span that overflows, has no
    // graduation to show (and its step would overflow the exponent's integer).
    const double range = std::fabs(max - min);
    if (!std::isfinite(range))
        return;
    const double step = range >= 1e-5 ? AxisStep(range, n) : 0.0;
    if (!(std::fabs(step) >= 1e-12))
    {
        for (int i = 0; i < 5; ++i)
            out.emplace_back(min - 2 + i, i * 0.25);
        return;
    }
    const double lo = std::floor(min / step) * step;
    const double k = std::floor(max / step);
    const double hi = std::fabs(max - k * step) < 1e-5 ? max : (k + 1) * step;
    out.emplace_back(lo, 0.0);
    // Each value is lo + i step rather than a running sum, so rounding does
    // not accumulate over the steps.
    double value = lo;
    for (int i = 1; i <= kMaxSteps && value < max - 1e-5; ++i)
    {
        value = lo + i * step;
        out.emplace_back(value, (value - lo) / (hi - lo));
    }
}

void GetScale(const double& min, const double& max, std::vector<sScalePoint>& out, const double& step)
{
    out.clear();
    // Positions are fractions of max - min: an empty range has none, nor has
    // one that is not finite (or overflows), nor an infinite step.
    if (max == min || !std::isfinite(max - min) || !std::isfinite(step))
        return;
    double s = std::fabs(step);
    if (s < 1e-5)
        s = std::fabs(max - min) >= 1e-5 ? ScaleStep(std::fabs(max - min)) : 0.0;
    if (!(s >= 1e-5))
        return;
    const double first = std::floor(min / s) * s;
    out.emplace_back(first, (first - min) / (max - min));
    double value = first;
    for (int i = 1; i <= kMaxSteps && value < max; ++i)
    {
        value = first + i * s;
        out.emplace_back(value, (value - min) / (max - min));
    }
}
