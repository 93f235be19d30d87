#include "KorExactPredicates.h"

#include <algorithm>
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
constexpr double kOrient3DBound = (7.0 + 56.0 * kEpsilon) * kEpsilon;

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

// det(a - d, b - d, c - d) exactly: minus det(b - a, c - a, d - a).
Expansion Orient3DExact(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    const Expansion ax = Difference(a.x, d.x), ay = Difference(a.y, d.y), az = Difference(a.z, d.z);
    const Expansion bx = Difference(b.x, d.x), by = Difference(b.y, d.y), bz = Difference(b.z, d.z);
    const Expansion cx = Difference(c.x, d.x), cy = Difference(c.y, d.y), cz = Difference(c.z, d.z);
    Expansion det = Product(az, Cross(bx, by, cx, cy));
    det = Sum(det, Product(bz, Cross(cx, cy, ax, ay)));
    return Sum(det, Product(cz, Cross(ax, ay, bx, by)));
}

// The determinant of an n x n matrix of doubles (row after row), n at most
// 4, exactly: expanded along the row with the most zeros at each level.
// Only the degenerate cases of the perturbed tests come here.
Expansion Determinant(const std::vector<double>& m, int n)
{
    if (n == 1)
        return Grow(Expansion{}, m[0]);
    int row = 0, zeros = -1;
    for (int r = 0; r < n; ++r)
    {
        const int z = static_cast<int>(std::count(m.begin() + r * n, m.begin() + (r + 1) * n, 0.0));
        if (z > zeros)
        {
            zeros = z;
            row = r;
        }
    }
    Expansion det;
    std::vector<double> minor(static_cast<size_t>((n - 1) * (n - 1)));
    for (int col = 0; col < n; ++col)
    {
        const double entry = m[static_cast<size_t>(row * n + col)];
        if (entry == 0.0)
            continue;
        size_t k = 0;
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c)
                if (r != row && c != col)
                    minor[k++] = m[static_cast<size_t>(r * n + c)];
        const Expansion term = Scale(Determinant(minor, n - 1), entry);
        det = Sum(det, (row + col) % 2 == 0 ? term : Negate(term));
    }
    return det;
}

// The sign, for shifts small enough, of the determinant of the rows
// (p.x, p.y, p.z, 1) (or (p.x, p.y, 1) in plan) of the perturbed points.
// Each coordinate's shift is eps^(2^k) with k its place in the order of
// shifts; the determinant is then a sum of eps powers, one per set of
// shifted entries (at most one a row and a column), whose coefficient is
// the determinant with the rows of the set replaced by unit rows. The sets
// taken by increasing power (the binary number of their places), the
// first coefficient that is not zero gives the sign; a set of a shift in
// every coordinate column always has a coefficient of 1 or -1.
int PerturbedSign(const sRankedPoint* points, int count, int coordinates)
{
    int order[4] = {0, 1, 2, 3};
    std::sort(order, order + count, [points](int u, int v) { return points[u].Rank < points[v].Rank; });
    const int n = coordinates + 1;
    // The shifted columns by decreasing size of their shifts: z, y, x.
    int columns[3] = {2, 1, 0};
    if (coordinates == 2)
    {
        columns[0] = 1;
        columns[1] = 0;
    }
    std::vector<double> m(static_cast<size_t>(n * n));
    const int places = count * coordinates;
    for (int set = 1; set < (1 << places); ++set)
    {
        int unitColumn[4] = {-1, -1, -1, -1};
        bool valid = true;
        int usedColumns = 0;
        for (int place = 0; place < places && valid; ++place)
        {
            if (!(set & (1 << place)))
                continue;
            const int point = order[place % count];
            const int column = columns[place / count];
            if (unitColumn[point] >= 0 || (usedColumns & (1 << column)))
                valid = false;
            unitColumn[point] = column;
            usedColumns |= 1 << column;
        }
        if (!valid)
            continue;
        for (int r = 0; r < count; ++r)
        {
            const LumPoint& p = *points[r].P;
            const double coordinate[3] = {p.x, p.y, p.z};
            for (int c = 0; c < n; ++c)
            {
                double& entry = m[static_cast<size_t>(r * n + c)];
                if (unitColumn[r] >= 0)
                    entry = c == unitColumn[r] ? 1.0 : 0.0;
                else
                    entry = c < coordinates ? coordinate[c] : 1.0;
            }
        }
        const int sign = Sign(Determinant(m, n));
        if (sign != 0)
            return sign;
    }
    return 0;
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

int Orient3DSign(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    const double adx = a.x - d.x, bdx = b.x - d.x, cdx = c.x - d.x;
    const double ady = a.y - d.y, bdy = b.y - d.y, cdy = c.y - d.y;
    const double adz = a.z - d.z, bdz = b.z - d.z, cdz = c.z - d.z;
    const double bdxcdy = bdx * cdy, cdxbdy = cdx * bdy;
    const double cdxady = cdx * ady, adxcdy = adx * cdy;
    const double adxbdy = adx * bdy, bdxady = bdx * ady;
    const double det = adz * (bdxcdy - cdxbdy) + bdz * (cdxady - adxcdy) + cdz * (adxbdy - bdxady);
    const double permanent = (std::fabs(bdxcdy) + std::fabs(cdxbdy)) * std::fabs(adz) +
                             (std::fabs(cdxady) + std::fabs(adxcdy)) * std::fabs(bdz) +
                             (std::fabs(adxbdy) + std::fabs(bdxady)) * std::fabs(cdz);
    const double bound = kOrient3DBound * permanent;
    // det is det(a - d, b - d, c - d), the negation of the answer's.
    if (det > bound)
        return -1;
    if (-det > bound)
        return 1;
    return -Sign(Orient3DExact(a, b, c, d));
}

int CompareSegmentPlaneCrossings(const LumPoint& p, const LumPoint& q, const LumPoint& a1, const LumPoint& b1,
                                 const LumPoint& c1, const LumPoint& a2, const LumPoint& b2,
                                 const LumPoint& c2)
{
    // With ok the side value of k at o, tk = kp / (kp - kq); the ends on
    // either side of each plane make both denominators of one sign once
    // each side value is read with p on its positive side.
    Expansion p1 = Orient3DExact(a1, b1, c1, p), q1 = Orient3DExact(a1, b1, c1, q);
    Expansion p2 = Orient3DExact(a2, b2, c2, p), q2 = Orient3DExact(a2, b2, c2, q);
    if (Sign(p1) < 0)
    {
        p1 = Negate(p1);
        q1 = Negate(q1);
    }
    if (Sign(p2) < 0)
    {
        p2 = Negate(p2);
        q2 = Negate(q2);
    }
    // t1 - t2 has the sign of p1 (p2 - q2) - p2 (p1 - q1) = p2 q1 - p1 q2.
    return Sign(Sum(Product(p2, q1), Negate(Product(p1, q2))));
}

int PerturbedOrient3D(const sRankedPoint& a, const sRankedPoint& b, const sRankedPoint& c,
                      const sRankedPoint& d)
{
    const int sign = Orient3DSign(*a.P, *b.P, *c.P, *d.P);
    if (sign != 0)
        return sign;
    // The determinant of the rows (p, 1) is minus the answer's.
    const sRankedPoint points[4] = {a, b, c, d};
    return -PerturbedSign(points, 4, 3);
}

int PerturbedOrient2D(const sRankedPoint& a, const sRankedPoint& b, const sRankedPoint& c)
{
    const int sign = Orient2DSign(a.P->x, a.P->y, b.P->x, b.P->y, c.P->x, c.P->y);
    if (sign != 0)
        return sign;
    const sRankedPoint points[3] = {a, b, c};
    return PerturbedSign(points, 3, 2);
}
