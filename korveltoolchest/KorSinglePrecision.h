#pragma once

#include "LumPoint.h"

// Rounding to single precision, for the results whose contract passes through
// a 32-bit float (plane and Plücker line points, the intersection walk).
// Every such rounding goes through these functions: a plain
// static_cast<double>(static_cast<float>(v)) is not kept by every optimiser
// (g++ 12 at -O2 fuses the x/y pair of a point and drops its rounding).

// v rounded to the nearest float, widened back to a double.
double KorToSingle(double v);
// Each coordinate rounded the same way.
LumPoint KorToSingle(const LumPoint& p);
