#include "KorExactPredicates.h"

#include <cmath>
#include <vector>

namespace
{
// An expansion: non-overlapping doubles in increasing magnitude, zeros left
// out; its value is their exact sum and its sign the sign of its last term.
using Expansion = std::vector<double>;

constexpr double kEpsilon = 1.1102230246251565e-16; // 2^-53
// Bounds of the fast paths' rounding errors, relative to the sum of the
// absolute values of the terms (Shewchuk's ccwerrboundA and iccerrboundA).
constexpr double kOrientBound = (3.0 + 16.0 * kEpsilon) * kEpsilon;
constexpr double kInCircleBound = (10.0 + 96.0 * kEpsilon) * kEpsilon;

inline void TwoSum(double a, double b, double& sum, double& error)
{
    sum = a + b;
    const double bv = sum - a;
    const double av = sum - bv;
    error = (a - av) + (b - bv);
}

inline void TwoProduct(double a, double b, double& product, double& error)
{
    product = a * b;
    error = std::fma(a, b, -product);
}

// e + b, exactly (Grow-Expansion with zero elimination).
Expansion Grow(const Expansion& e, double b)
{
    Expansion h;
    h.reserve(e.size() + 1);
    double q = b;
    for (double term : e)
    {
        double sum, error;
        TwoSum(q, term, sum, error);
        if (error != 0.0)
            h.push_back(error);
        q = sum;
    }
    if (q != 0.0)
        h.push_back(q);
    return h;
}

Expansion Sum(const Expansion& e, const Expansion& f)
{
    Expansion h = e;
    for (double term : f)
        h = Grow(h, term);
    return h;
}

Expansion Scale(const Expansion& e, double b)
{
    Expansion h;
    for (double term : e)
    {
        double product, error;
        TwoProduct(term, b, product, error);
        h = Grow(Grow(h, error), product);
    }
    return h;
}

Expansion Product(const Expansion& e, const Expansion& f)
{
    Expansion h;
    for (double term : f)
        h = Sum(h, Scale(e, term));
    return h;
}

Expansion Negate(Expansion e)
{
    for (double& term : e)
        term = -term;
    return e;
}

// a - b exactly, as an expansion of at most two terms.
Expansion Difference(double a, double b)
{
    Expansion h = Grow(Expansion{}, a);
    return Grow(h, -b);
}

int Sign(const Expansion& e)
{
    return e.empty() ? 0 : (e.back() > 0.0 ? 1 : -1);
}

// (ux vy - uy vx) exactly.
Expansion Cross(const Expansion& ux, const Expansion& uy, const Expansion& vx, const Expansion& vy)
{
    return Sum(Product(ux, vy), Negate(Product(uy, vx)));
}
} // namespace

int Orient2DSign(double ax, double ay, double bx, double by, double cx, double cy)
{
    const double left = (ax - cx) * (by - cy);
    const double right = (ay - cy) * (bx - cx);
    const double det = left - right;
    const double bound = kOrientBound * (std::fabs(left) + std::fabs(right));
    if (det > bound)
        return 1;
    if (-det > bound)
        return -1;
    return Sign(Cross(Difference(ax, cx), Difference(ay, cy), Difference(bx, cx), Difference(by, cy)));
}

bool InCircleAbove(double ax, double ay, double bx, double by, double cx, double cy, double dx, double dy,
                   double threshold)
{
    const double adx = ax - dx, ady = ay - dy;
    const double bdx = bx - dx, bdy = by - dy;
    const double cdx = cx - dx, cdy = cy - dy;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double alift = adx * adx + ady * ady;
    const double blift = bdx * bdx + bdy * bdy;
    const double clift = cdx * cdx + cdy * cdy;
    const double det = alift * (bdxcdy - cdxbdy) + blift * (cdxady - adxcdy) + clift * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * alift +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * blift +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * clift;
    const double bound = kInCircleBound * permanent;
    // A double compared with a rounded bound: det > fl(t + bound) implies
    // det > t + bound, since fl rounds to the nearest double.
    if (det > threshold + bound)
        return true;
    if (det < threshold - bound)
        return false;

    const Expansion eadx = Difference(ax, dx), eady = Difference(ay, dy);
    const Expansion ebdx = Difference(bx, dx), ebdy = Difference(by, dy);
    const Expansion ecdx = Difference(cx, dx), ecdy = Difference(cy, dy);
    const Expansion ealift = Sum(Product(eadx, eadx), Product(eady, eady));
    const Expansion eblift = Sum(Product(ebdx, ebdx), Product(ebdy, ebdy));
    const Expansion eclift = Sum(Product(ecdx, ecdx), Product(ecdy, ecdy));
    Expansion exact = Product(ealift, Cross(ebdx, ebdy, ecdx, ecdy));
    exact = Sum(exact, Product(eblift, Cross(ecdx, ecdy, eadx, eady)));
    exact = Sum(exact, Product(eclift, Cross(eadx, eady, ebdx, ebdy)));
    return Sign(Grow(exact, -threshold)) > 0;
}
