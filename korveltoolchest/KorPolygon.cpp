#include "KorPolygon.h"

#include "KorGeometry.h"
#include "KorPlucker.h"

namespace
{
// A list of points on the stack, spilling to the heap only past N: the
// crossings of a segment with a face are a handful.
template <size_t N> class PointList
{
public:
    void Add(const LumPoint& p)
    {
        if (m_count < N)
            m_fixed[m_count] = p;
        else
            m_more.push_back(p);
        ++m_count;
    }
    const LumPoint& operator[](size_t i) const { return i < N ? m_fixed[i] : m_more[i - N]; }
    size_t Size() const { return m_count; }

private:
    LumPoint m_fixed[N];
    std::vector<LumPoint> m_more;
    size_t m_count = 0;
};

// The longer of kept and candidate; ties keep the earlier one.
inline void KeepLongest(LumPoint& kept, double& keptNorm, const LumPoint& candidate)
{
    const double n = candidate.Norm();
    if (n > keptNorm)
    {
        kept = candidate;
        keptNorm = n;
    }
}
} // namespace

bool PointLiesIn2DPolygon(const LumPoint& p, const std::vector<LumPoint>& polygon, LumPoint& out)
{
    for (size_t i = 2; i < polygon.size(); ++i)
        if (PointInTriangle2D(p, polygon[0], polygon[i - 1], polygon[i], out))
            return true;
    return false;
}

bool PointLiesIn3DPolygon(const LumPoint& p, const std::vector<LumPoint>& polygon, double* out)
{
    const size_t n = polygon.size();
    if (n < 3)
        return false;
    if (out)
    {
        LumPoint n1, n2;
        double len1 = 0, len2 = 0;
        for (size_t i = 1; i + 1 < n; ++i)
            KeepLongest(n1, len1, (polygon[i] - polygon[i - 1]) ^ (polygon[i] - polygon[i + 1]));
        if (len1 < 1e-5)
            return false;
        for (size_t i = 1; i < n; ++i)
            KeepLongest(n2, len2, (p - polygon[i - 1]) ^ (p - polygon[i]));
        if (len2 < 1e-5)
            return false;
        Normalize(n1);
        Normalize(n2);
        *out = (n1 ^ n2).Norm();
    }
    for (size_t i = 2; i < n; ++i)
        if (PointInTriangle3D(p, polygon[0], polygon[i - 1], polygon[i]))
            return true;
    return false;
}

int NumberOfIntersectionHalfLineWithSegments(const LumPoint& a, const LumPoint& b,
                                             const std::vector<LumPoint>& polygon)
{
    const LumPoint dir = b - a;
    if (dir.Norm() < 1e-5)
        return 0;
    const KorPlucker line(a, b);
    const size_t n = polygon.size();
    PointList<16> found;
    for (size_t i = 0; i < n; ++i)
    {
        const LumPoint& v0 = polygon[i];
        const LumPoint& v1 = polygon[(i + 1) % n];
        LumPoint q, qe;
        if (line.LineDistance(KorPlucker(v0, v1), q, qe) >= 1e-5)
            continue;
        if ((q - a) * dir <= 1e-5)
            continue;
        const LumPoint e = v1 - v0;
        const double len = e.Norm();
        if (len <= 1e-5)
            continue;
        const double s = (qe - v0) * e / len;
        if (s <= -1e-5 || s >= len + 1e-5)
            continue;
        bool seen = false;
        for (size_t k = 0; k < found.Size() && !seen; ++k)
            seen = (found[k] - qe).Norm() < 1e-5;
        if (!seen)
            found.Add(qe);
    }
    return static_cast<int>(found.Size());
}

bool IsSegmentIn3DPolygon(const LumPoint& a, const LumPoint& b, const std::vector<LumPoint>& polygon)
{
    const LumPoint ab = b - a;
    const double L = ab.Norm();
    if (L < 1e-5)
        return false;
    const KorPlucker segment(a, b);
    const size_t n = polygon.size();
    // Meeting points on the edges, and for each the offset of the edge's far
    // vertex from the line ab (which side of the segment the edge comes from).
    PointList<16> meetings, offsets;
    for (size_t i = 0; i < n; ++i)
    {
        const LumPoint& v0 = polygon[i];
        const LumPoint& v1 = polygon[(i + 1) % n];
        LumPoint q, qe;
        if (segment.LineDistance(KorPlucker(v0, v1), q, qe) >= 1e9)
            continue;
        if ((q - a) * ab <= 1e-5)
            continue;
        const LumPoint e = v1 - v0;
        const double len = e.Norm();
        if (len <= 1e-5)
            continue;
        const double s = (qe - v0) * e / len;
        if (s <= -1e-5 || s >= len + 1e-5)
            continue;
        if ((q - a).Norm() >= L + 1e-5)
            return false;
        if ((ab ^ (e * (1.0 / len))).Norm() < 1e-5)
            return false;
        meetings.Add(qe);
        const LumPoint& far = s >= len / 2 ? v0 : v1;
        LumPoint foot;
        DistancePointLine(far, a, b, foot);
        offsets.Add(far - foot);
    }

    const size_t count = meetings.Size();
    const size_t pairs = count < 2 ? 0 : (count == 2 ? 1 : count);
    size_t counter = 0;
    for (size_t k = 0; k < pairs; ++k)
    {
        const size_t j = (k + 1) % count;
        if ((meetings[k] - meetings[j]).Norm() >= 1e-5)
            continue;
        // A vertex met by its two edges: crossed when their far vertices lie
        // on opposite sides of the line, only touched otherwise.
        if (offsets[k] * offsets[j] < 1e-5)
            ++counter;
        else
            return false;
    }
    return count - counter == 1;
}
