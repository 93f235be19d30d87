#pragma once

#include <vector>

// One graduation of a plot axis: its value and its relative place along the
// axis (0 at the axis' start, 1 at its end).
struct sAxisPoint
{
    double value;
    double position;

    sAxisPoint() : value(0), position(0) {}
    sAxisPoint(const double& v, const double& p) : value(v), position(p) {}
};

// One graduation of a scale bar or ruler, positioned on the caller's range.
struct sScalePoint
{
    double value;
    double position;

    sScalePoint() : value(0), position(0) {}
    sScalePoint(const double& v, const double& p) : value(v), position(p) {}
};

// Round graduations for a plot axis from min to max, about n steps (the plot
// widgets use 10): the step is the first of p, (n/5) p, (n/2) p, n p giving at
// most n steps, p a power of ten below the range. The axis is widened to whole
// steps: it runs from a multiple of the step at or below min to one at or
// above max, at positions 0 to 1. A range below 1e-5 gives five fixed
// graduations min - 2 ... min + 2. At most 10 001 graduations.
void GetKorAxis(const double& min, const double& max, std::vector<sAxisPoint>& out, const int& n);

// Graduations every step (its absolute value; 0 or below 1e-5 picks a round
// step giving at most 10 steps over the range) from the last multiple at or
// below min to the first at or above max, positioned on [min, max] itself, so
// the first and last positions may lie outside [0, 1]. Empty when no step can
// be chosen or when min == max. At most 10 001 graduations.
void GetScale(const double& min, const double& max, std::vector<sScalePoint>& out, const double& step);
