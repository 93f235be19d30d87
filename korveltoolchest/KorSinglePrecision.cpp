#include "KorSinglePrecision.h"

#include <cfloat>
#include <cmath>
#include <limits>

double KorToSingle(double v)
{
    // The store to a volatile float is an access the compiler must perform
    // as written: no vectoriser can fuse it away, no inlining or link-time
    // optimisation can skip it, and on targets that compute in excess
    // precision it still holds a true 32-bit value. A per-function option
    // (no SLP vectorisation) would be compiler-specific and would not survive
    // inlining into a caller built without it.
    // A double beyond the float range has no float to convert to (undefined
    // behaviour); it rounds to an infinity of its sign, as IEEE rounding
    // would give.
    if (std::fabs(v) > static_cast<double>(FLT_MAX))
        return std::copysign(std::numeric_limits<double>::infinity(), v);
    volatile float f = static_cast<float>(v);
    return static_cast<double>(f);
}

LumPoint KorToSingle(const LumPoint& p)
{
    return LumPoint(KorToSingle(p.x), KorToSingle(p.y), KorToSingle(p.z));
}
