#pragma once

#include <vector>

// Fills out with n standard normal deviates (mean 0, deviation 1) by the
// Box–Muller method, from uniform numbers in ]0, 1] quantised to the
// resolution r: multiples k r, k = 1 ... m with m = floor(1/r), capped at
// RAND_MAX + 1 (the C generator's span). The generator is reseeded from the
// clock in seconds on every call, so two calls within one second repeat.
// Values i and i + (n+1)/2 come from pair i (cosine, then sine). A resolution
// outside ]0, 1], or not finite, is reported and leaves out empty. O(n).
void GetUniformRandomNumbers(unsigned int n, std::vector<double>& out, double r);
