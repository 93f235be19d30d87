#include "KorExactPredicates.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace
{
// An expansion: non-overlapping doubles in increasing magnitude, zeros left
// out; its value is their exact sum and its sign the sign of its last term.
using Expansion = std::vector<double>;

constexpr double kEpsilon = 1.1102230246251565e-16; // 2^-53
// Bounds of the fast paths' rounding errors, relative to the sum of the
// absolute values of the terms: of the orientation in plan, of the
// in-circle test and of the orientation in space (the first bounds of the
// analysis of adaptive exact predicates).
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

// The same value in as few terms as the carries allow: each term taken
// into the next larger while they add up exactly. An expansion of a
// determinant has its few significant terms and many tiny ones; products
// of compressed ones stay small.
Expansion Compress(const Expansion& e)
{
    if (e.size() < 2)
        return e;
    const auto fastTwoSum = [](double a, double b, double& sum, double& error)
    {
        sum = a + b;
        error = b - (sum - a);
    };
    // From the largest down, then from the smallest up.
    std::vector<double> g(e.size());
    size_t bottom = e.size() - 1;
    double q = e.back();
    for (size_t i = e.size() - 1; i-- > 0;)
    {
        double sum, error;
        fastTwoSum(q, e[i], sum, error);
        if (error != 0.0)
        {
            g[bottom--] = sum;
            q = error;
        }
        else
            q = sum;
    }
    g[bottom] = q;
    Expansion h;
    q = g[bottom];
    for (size_t i = bottom + 1; i < g.size(); ++i)
    {
        double sum, error;
        fastTwoSum(g[i], q, sum, error);
        if (error != 0.0)
            h.push_back(error);
        q = sum;
    }
    if (q != 0.0)
        h.push_back(q);
    return h;
}

Expansion Product(const Expansion& e, const Expansion& f)
{
    const Expansion a = Compress(e), b = Compress(f);
    Expansion h;
    for (double term : b)
        h = Compress(Sum(h, Scale(a, term)));
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

// The same arithmetic on expansions of bounded length kept on the stack,
// for the orientation tests that the cut asks many times: no allocation.
// h may be any buffer of n + m terms; the result is its length.
int GrowInPlace(double* h, int n, double b)
{
    double q = b;
    int out = 0;
    for (int i = 0; i < n; ++i)
    {
        double sum, error;
        TwoSum(q, h[i], sum, error);
        if (error != 0.0)
            h[out++] = error;
        q = sum;
    }
    if (q != 0.0)
        h[out++] = q;
    return out;
}

int SumInto(const double* e, int n, const double* f, int m, double* h)
{
    std::copy(e, e + n, h);
    int len = n;
    for (int j = 0; j < m; ++j)
        len = GrowInPlace(h, len, f[j]);
    return len;
}

// e times f; h needs 2 n m terms. For the bounded orientations only: n at
// most 96 and 2 n m at most 192.
int ProductInto(const double* e, int n, const double* f, int m, double* h)
{
    int len = 0;
    double scaled[2 * 96];
    for (int j = 0; j < m; ++j)
    {
        int k = 0;
        for (int i = 0; i < n; ++i)
        {
            double product, error;
            TwoProduct(e[i], f[j], product, error);
            k = GrowInPlace(scaled, k, error);
            k = GrowInPlace(scaled, k, product);
        }
        double sum[2 * 96 * 2];
        len = SumInto(h, len, scaled, k, sum);
        std::copy(sum, sum + len, h);
    }
    return len;
}

int DifferenceInto(double a, double b, double* h)
{
    int len = GrowInPlace(h, 0, a);
    return GrowInPlace(h, len, -b);
}

// ux vy - uy vx on two-term expansions; h needs 16 terms.
int CrossInto(const double* ux, int nux, const double* uy, int nuy, const double* vx, int nvx,
              const double* vy, int nvy, double* h)
{
    double left[8], right[8];
    const int l = ProductInto(ux, nux, vy, nvy, left);
    int r = ProductInto(uy, nuy, vx, nvx, right);
    for (int k = 0; k < r; ++k)
        right[k] = -right[k];
    return SumInto(left, l, right, r, h);
}

double LastTerm(const double* h, int n)
{
    return n == 0 ? 0.0 : h[n - 1];
}

// det(a - d, b - d, c - d) exactly (minus det(b - a, c - a, d - a)), into
// h of 192 terms.
int Orient3DInto(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d, double* h)
{
    double ax[2], ay[2], az[2], bx[2], by[2], bz[2], cx[2], cy[2], cz[2];
    const int nax = DifferenceInto(a.x, d.x, ax), nay = DifferenceInto(a.y, d.y, ay),
              naz = DifferenceInto(a.z, d.z, az);
    const int nbx = DifferenceInto(b.x, d.x, bx), nby = DifferenceInto(b.y, d.y, by),
              nbz = DifferenceInto(b.z, d.z, bz);
    const int ncx = DifferenceInto(c.x, d.x, cx), ncy = DifferenceInto(c.y, d.y, cy),
              ncz = DifferenceInto(c.z, d.z, cz);
    double cross[16], term[64], sum[128];
    int n = CrossInto(bx, nbx, by, nby, cx, ncx, cy, ncy, cross);
    int len = ProductInto(az, naz, cross, n, term);
    std::copy(term, term + len, h);
    n = CrossInto(cx, ncx, cy, ncy, ax, nax, ay, nay, cross);
    int t = ProductInto(bz, nbz, cross, n, term);
    len = SumInto(h, len, term, t, sum);
    n = CrossInto(ax, nax, ay, nay, bx, nbx, by, nby, cross);
    t = ProductInto(cz, ncz, cross, n, term);
    return SumInto(sum, len, term, t, h);
}

// det(a - d, b - d, c - d) exactly: minus det(b - a, c - a, d - a).
Expansion Orient3DExact(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    double h[192];
    const int n = Orient3DInto(a, b, c, d, h);
    return Expansion(h, h + n);
}

// The sign, for shifts small enough, of the determinant of the rows
// (p.x, p.y, p.z, 1) (or (p.x, p.y, 1) in plan) of the perturbed points.
// Each coordinate's shift is eps^(2^k) with k its place in the order of
// shifts; the determinant is then a sum of eps powers, one per set of
// shifted entries (at most one a row and a column), whose coefficient is
// the determinant with the rows of the set replaced by unit rows. The sets
// taken by increasing power (the binary number of their places), the
// first coefficient that is not zero gives the sign; a set of a shift in
// every coordinate column always has a coefficient of 1 or -1. Expanded
// along its unit rows, a coefficient is a signed minor over the other
// rows that keeps the column of ones: an orientation in the plane of the
// two coordinates left, a difference of one, or 1.
int PerturbedSign(const sRankedPoint* points, int count, int coordinates)
{
    // The rows by rank (at most four: a plain insertion).
    int order[4] = {0, 1, 2, 3};
    for (int i = 1; i < count && i < 4; ++i)
        for (int j = i; j > 0 && points[order[j]].Rank < points[order[j - 1]].Rank; --j)
            std::swap(order[j], order[j - 1]);
    // The shifted columns by decreasing size of their shifts: z, y, x.
    int columns[3] = {2, 1, 0};
    if (coordinates == 2)
    {
        columns[0] = 1;
        columns[1] = 0;
    }
    const auto coordinate = [points](int row, int column)
    {
        const LumPoint& p = *points[row].P;
        return column == 0 ? p.x : (column == 1 ? p.y : p.z);
    };
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
        // The rows and columns left as each unit row is expanded: the
        // ones column is the last.
        int rows[4], rowCount = count;
        int cols[4], colCount = coordinates + 1;
        for (int k = 0; k < 4; ++k)
            rows[k] = cols[k] = k;
        int sign = 1;
        for (int r = 0; r < count; ++r)
        {
            if (unitColumn[r] < 0)
                continue;
            const int ri = static_cast<int>(std::find(rows, rows + rowCount, r) - rows);
            const int ci = static_cast<int>(std::find(cols, cols + colCount, unitColumn[r]) - cols);
            if ((ri + ci) % 2 == 1)
                sign = -sign;
            std::copy(rows + ri + 1, rows + rowCount, rows + ri);
            --rowCount;
            std::copy(cols + ci + 1, cols + colCount, cols + ci);
            --colCount;
        }
        int minor = 1;
        if (rowCount == 2)
        {
            const double a = coordinate(rows[0], cols[0]), b = coordinate(rows[1], cols[0]);
            minor = a > b ? 1 : (a < b ? -1 : 0);
        }
        else if (rowCount == 3)
            minor = Orient2DSign(coordinate(rows[0], cols[0]), coordinate(rows[0], cols[1]),
                                 coordinate(rows[1], cols[0]), coordinate(rows[1], cols[1]),
                                 coordinate(rows[2], cols[0]), coordinate(rows[2], cols[1]));
        if (minor != 0)
            return sign * minor;
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
    double ux[2], uy[2], vx[2], vy[2], cross[16];
    const int nux = DifferenceInto(ax, cx, ux), nuy = DifferenceInto(ay, cy, uy);
    const int nvx = DifferenceInto(bx, cx, vx), nvy = DifferenceInto(by, cy, vy);
    const double last = LastTerm(cross, CrossInto(ux, nux, uy, nuy, vx, nvx, vy, nvy, cross));
    return last > 0.0 ? 1 : (last < 0.0 ? -1 : 0);
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
    double h[192];
    const double last = LastTerm(h, Orient3DInto(a, b, c, d, h));
    return last > 0.0 ? -1 : (last < 0.0 ? 1 : 0);
}

double Orient3DValue(const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
{
    // The terms from the smallest: the sum of non-overlapping terms rounds
    // as their exact value does, within an ulp.
    double h[192];
    const int n = Orient3DInto(a, b, c, d, h);
    double value = 0.0;
    for (int k = 0; k < n; ++k)
        value += h[k];
    return -value;
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

namespace
{
// A power of eps in the perturbation: the sum of eps^(2^k) exponents over
// a few entries k (the entry's coordinate, altitude first, then its
// point's rank: one key for every coordinate of every point there can be),
// kept as the distinct keys of its binary form, in increasing order.
using Power = std::vector<std::uint64_t>;

Power Key(const sRankedPoint& point, int coordinate)
{
    const std::uint64_t priority = coordinate == 2 ? 0 : (coordinate == 1 ? 1 : 2);
    return Power{(priority << 42) + static_cast<std::uint64_t>(point.Rank)};
}

// The power of a product: the exponents added, two equal keys carried into
// the next.
Power Add(const Power& a, const Power& b)
{
    Power sum(a);
    sum.insert(sum.end(), b.begin(), b.end());
    std::sort(sum.begin(), sum.end());
    for (bool carried = true; carried;)
    {
        carried = false;
        for (size_t k = 0; k + 1 < sum.size(); ++k)
            if (sum[k] == sum[k + 1])
            {
                sum[k] += 1;
                sum.erase(sum.begin() + static_cast<std::ptrdiff_t>(k) + 1);
                std::sort(sum.begin(), sum.end());
                carried = true;
                break;
            }
    }
    return sum;
}

// Whether power a is the smaller: compared from the largest key down.
bool Less(const Power& a, const Power& b)
{
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

// One term of a determinant of perturbed points: its power of eps and its
// coefficient.
struct sTerm
{
    Power Exponent;
    Expansion Value;
};

// The terms of det(b - a, c - a, x - a) for the rows a, b, c, x, by
// increasing power; zero coefficients left out. As in PerturbedSign, a
// coefficient is the determinant of the rows (p, 1) with the shifted rows
// replaced by unit rows, here worked out exactly.
std::vector<sTerm> OrientTerms(const sRankedPoint* const rows[4])
{
    std::vector<sTerm> terms;
    for (int choice = 0; choice < 256; ++choice)
    {
        int unitColumn[4];
        int usedColumns = 0;
        bool valid = true;
        Power power;
        for (int r = 0; r < 4; ++r)
        {
            unitColumn[r] = ((choice >> (2 * r)) & 3) - 1;
            if (unitColumn[r] < 0)
                continue;
            if (unitColumn[r] > 2 || (usedColumns & (1 << unitColumn[r])))
                valid = false;
            else
            {
                usedColumns |= 1 << unitColumn[r];
                power = Add(power, Key(*rows[r], unitColumn[r]));
            }
        }
        if (!valid)
            continue;
        int remainingRows[4], rowCount = 4;
        int cols[4], colCount = 4;
        for (int k = 0; k < 4; ++k)
            remainingRows[k] = cols[k] = k;
        int sign = 1;
        for (int r = 0; r < 4; ++r)
        {
            if (unitColumn[r] < 0)
                continue;
            const int ri =
                static_cast<int>(std::find(remainingRows, remainingRows + rowCount, r) - remainingRows);
            const int ci = static_cast<int>(std::find(cols, cols + colCount, unitColumn[r]) - cols);
            if ((ri + ci) % 2 == 1)
                sign = -sign;
            std::copy(remainingRows + ri + 1, remainingRows + rowCount, remainingRows + ri);
            --rowCount;
            std::copy(cols + ci + 1, cols + colCount, cols + ci);
            --colCount;
        }
        const auto coordinate = [rows](int row, int column)
        {
            const LumPoint& p = *rows[row]->P;
            return column == 0 ? p.x : (column == 1 ? p.y : p.z);
        };
        Expansion minor;
        if (rowCount == 4)
            minor = Orient3DExact(*rows[0]->P, *rows[1]->P, *rows[2]->P, *rows[3]->P);
        else if (rowCount == 3)
        {
            const int r0 = remainingRows[0], r1 = remainingRows[1], r2 = remainingRows[2];
            const int u = cols[0], v = cols[1];
            minor = Cross(Difference(coordinate(r0, u), coordinate(r2, u)),
                          Difference(coordinate(r0, v), coordinate(r2, v)),
                          Difference(coordinate(r1, u), coordinate(r2, u)),
                          Difference(coordinate(r1, v), coordinate(r2, v)));
        }
        else if (rowCount == 2)
            minor = Difference(coordinate(remainingRows[0], cols[0]), coordinate(remainingRows[1], cols[0]));
        else
            minor = Expansion{1.0};
        minor = Compress(minor);
        if (minor.empty())
            continue;
        // det(b - a, c - a, x - a) is minus the determinant of the rows.
        terms.push_back(sTerm{power, sign > 0 ? Negate(minor) : minor});
    }
    return terms;
}
} // namespace

int PerturbedCrossingOrder(const sRankedPoint& p, const sRankedPoint& q, const sRankedPoint* t1,
                           const sRankedPoint* t2)
{
    // With o_k the side value of triangle k, t_k = o_k(p) / (o_k(p) -
    // o_k(q)), and t1 - t2 has the sign of G = o2(p) o1(q) - o1(p) o2(q)
    // times those of o1(p) and o2(p).
    const int s1 = PerturbedOrient3D(t1[0], t1[1], t1[2], p);
    const int s2 = PerturbedOrient3D(t2[0], t2[1], t2[2], p);
    // The points as they stand first: G is seldom 0 there (then the
    // segment passes through a point both planes hold).
    const auto side = [](const sRankedPoint* t, const sRankedPoint& x)
    { return Compress(Orient3DExact(*t[0].P, *t[1].P, *t[2].P, *x.P)); };
    const Expansion g = Sum(Product(side(t2, p), side(t1, q)), Negate(Product(side(t1, p), side(t2, q))));
    if (Sign(g) != 0)
        return Sign(g) * s1 * s2;
    const auto terms = [](const sRankedPoint* t, const sRankedPoint& x)
    {
        const sRankedPoint* rows[4] = {&t[0], &t[1], &t[2], &x};
        return OrientTerms(rows);
    };
    std::vector<sTerm> p1 = terms(t1, p), q1 = terms(t1, q), p2 = terms(t2, p), q2 = terms(t2, q);
    for (std::vector<sTerm>* list : {&p1, &q1, &p2, &q2})
        std::sort(list->begin(), list->end(),
                  [](const sTerm& u, const sTerm& v) { return Less(u.Exponent, v.Exponent); });
    // The products' terms by increasing power, from the pairs of terms of
    // least powers on (a power grows with either term's): each power's
    // terms summed until one sum is not 0.
    const std::vector<sTerm>* factors[2][2] = {{&p2, &q1}, {&p1, &q2}};
    struct sPair
    {
        Power Exponent;
        int Product;
        size_t I, J;
    };
    const auto later = [](const sPair& u, const sPair& v) { return Less(v.Exponent, u.Exponent); };
    std::vector<sPair> heap;
    std::vector<std::vector<char>> seen[2];
    for (int k = 0; k < 2; ++k)
    {
        const std::vector<sTerm>& a = *factors[k][0];
        const std::vector<sTerm>& b = *factors[k][1];
        seen[k].assign(a.size(), std::vector<char>(b.size(), 0));
        if (!a.empty() && !b.empty())
        {
            heap.push_back(sPair{Add(a[0].Exponent, b[0].Exponent), k, 0, 0});
            seen[k][0][0] = 1;
        }
    }
    std::make_heap(heap.begin(), heap.end(), later);
    while (!heap.empty())
    {
        const Power power = heap.front().Exponent;
        Expansion sum;
        while (!heap.empty() && heap.front().Exponent == power)
        {
            std::pop_heap(heap.begin(), heap.end(), later);
            const sPair pair = heap.back();
            heap.pop_back();
            const std::vector<sTerm>& a = *factors[pair.Product][0];
            const std::vector<sTerm>& b = *factors[pair.Product][1];
            const Expansion product = Product(a[pair.I].Value, b[pair.J].Value);
            sum = Compress(Sum(sum, pair.Product == 0 ? product : Negate(product)));
            for (const auto& [i, j] :
                 {std::make_pair(pair.I + 1, pair.J), std::make_pair(pair.I, pair.J + 1)})
                if (i < a.size() && j < b.size() && !seen[pair.Product][i][j])
                {
                    seen[pair.Product][i][j] = 1;
                    heap.push_back(sPair{Add(a[i].Exponent, b[j].Exponent), pair.Product, i, j});
                    std::push_heap(heap.begin(), heap.end(), later);
                }
        }
        const int sign = Sign(sum);
        if (sign != 0)
            return sign * s1 * s2;
    }
    return 0;
}
