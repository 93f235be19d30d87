#pragma once

#include "LumPoint.h"

#include <gtest/gtest.h>

#include <random>

// Shared by the geometry tests: component-wise comparison and random points.
inline void ExpectPoint(const LumPoint& p, double x, double y, double z, double tol = 1e-12)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

inline LumPoint RandomPoint(std::mt19937& rng, double range)
{
    std::uniform_real_distribution<double> d(-range, range);
    const double x = d(rng), y = d(rng), z = d(rng);
    return LumPoint(x, y, z);
}
