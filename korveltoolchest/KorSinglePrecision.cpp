#include "KorSinglePrecision.h"

double KorToSingle(double v)
{
    // The store to a volatile float is an access the compiler must perform
    // as written: no vectoriser can fuse it away, no inlining or link-time
    // optimisation can skip it, and on targets that compute in excess
    // precision it still holds a true 32-bit value. A per-function option
    // (no SLP vectorisation) would be compiler-specific and would not survive
    // inlining into a caller built without it.
    volatile float f = static_cast<float>(v);
    return static_cast<double>(f);
}

LumPoint KorToSingle(const LumPoint& p)
{
    return LumPoint(KorToSingle(p.x), KorToSingle(p.y), KorToSingle(p.z));
}
