#include "KorMesh.h"

#include "KorException.h"
#include "KorPolygon.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <unordered_map>

namespace
{
// Whether the segment from p[i] to p[j] runs inside the simple polygon p:
// the classic diagonal test (p[j] inside the corner at p[i] and p[i] inside
// the one at p[j], no side not ending at either touching it), made in the
// plane of the polygon's vector area. Unlike IsSegmentIn3DPolygon it does
// not look past p[j], so a diagonal whose line meets the boundary again
// beyond its end is still taken; a vertex lying on the segment refuses it.
// A side counts as inside. O(n) per diagonal.
class PlanarDiagonals
{
public:
    explicit PlanarDiagonals(const std::vector<LumPoint>& p)
    {
        LumPoint area;
        for (size_t k = 0; k < p.size(); ++k)
            area += p[k] ^ p[(k + 1) % p.size()];
        mArea = area.Norm() > 1e-5;
        Normalize(area);
        // (e1, e2, area) is right-handed: the polygon turns counterclockwise
        // in (e1, e2).
        LumPoint e1 = std::fabs(area.x) < 0.9 ? LumPoint(1, 0, 0) : LumPoint(0, 1, 0);
        e1 = e1 - area * (e1 * area);
        Normalize(e1);
        const LumPoint e2 = area ^ e1;
        double extent = 0.0;
        for (const LumPoint& q : p)
        {
            mU.push_back(q * e1);
            mV.push_back(q * e2);
            extent = std::max(extent, (q - p[0]).Norm());
        }
        mTolerance = 1e-12 * extent * extent;
    }

    // A polygon of non-null area whose sides meet only where consecutive
    // ones share their end. O(n²).
    bool Simple() const
    {
        const size_t n = mU.size();
        if (!mArea)
            return false;
        for (size_t a = 0; a < n; ++a)
            for (size_t b = a + 1; b < n; ++b)
            {
                const size_t a1 = (a + 1) % n, b1 = (b + 1) % n;
                if (b == a1 || a == b1)
                    continue;
                if (Touch(a, a1, b, b1))
                    return false;
            }
        return true;
    }

    bool Inside(size_t i, size_t j) const
    {
        const size_t n = mU.size();
        if ((i + 1) % n == j || (j + 1) % n == i)
            return true;
        if (!InCorner(i, j) || !InCorner(j, i))
            return false;
        for (size_t k = 0; k < n; ++k)
        {
            const size_t k1 = (k + 1) % n;
            if (k == i || k == j || k1 == i || k1 == j)
                continue;
            if (Touch(i, j, k, k1))
                return false;
        }
        return true;
    }

private:
    // Twice the signed area of (a, b, c), zero within the tolerance.
    double Turn(size_t a, size_t b, size_t c) const
    {
        const double t = (mU[b] - mU[a]) * (mV[c] - mV[a]) - (mV[b] - mV[a]) * (mU[c] - mU[a]);
        return std::fabs(t) <= mTolerance ? 0.0 : t;
    }

    // Whether p[b] lies strictly inside the polygon's corner at p[a].
    bool InCorner(size_t a, size_t b) const
    {
        const size_t n = mU.size();
        const size_t before = (a + n - 1) % n;
        const size_t after = (a + 1) % n;
        if (Turn(before, a, after) >= 0.0)
            return Turn(a, b, before) > 0.0 && Turn(b, a, after) > 0.0;
        return !(Turn(a, b, after) >= 0.0 && Turn(b, a, before) >= 0.0);
    }

    bool Between(size_t a, size_t b, size_t c) const
    {
        return std::min(mU[a], mU[b]) <= mU[c] && mU[c] <= std::max(mU[a], mU[b]) &&
               std::min(mV[a], mV[b]) <= mV[c] && mV[c] <= std::max(mV[a], mV[b]);
    }

    // Whether the segments (a, b) and (c, d) cross or touch.
    bool Touch(size_t a, size_t b, size_t c, size_t d) const
    {
        const double t1 = Turn(a, b, c), t2 = Turn(a, b, d), t3 = Turn(c, d, a), t4 = Turn(c, d, b);
        if (((t1 > 0 && t2 < 0) || (t1 < 0 && t2 > 0)) && ((t3 > 0 && t4 < 0) || (t3 < 0 && t4 > 0)))
            return true;
        return (t1 == 0.0 && Between(a, b, c)) || (t2 == 0.0 && Between(a, b, d)) ||
               (t3 == 0.0 && Between(c, d, a)) || (t4 == 0.0 && Between(c, d, b));
    }

    std::vector<double> mU, mV;
    double mTolerance = 0.0;
    bool mArea = false;
};

// The number of fan triangles from vertex i that can be taken as one face:
// each triangle turns the same way as the first proper one and its diagonal
// runs inside the polygon; degenerate triangles (normal below 1e-5) are taken
// without a test. Forward the triangles are (Pi, P(k-1), Pk) for k = i+2 ..
// i+n-1, backward (Pi, Pk, P(k-1)) for k = i+n-1 down to i+2.
// inside(j, m) tells whether the diagonal (Pi, Pj) runs inside the polygon;
// m is the count the fan reaches when it does. The count so far is always
// m - 1, so a test that fails at m bounds the result by m - 1. O(n) calls.
template <class Inside>
int FanCount(const std::vector<LumPoint>& p, size_t i, bool forward, const Inside& inside)
{
    const size_t n = p.size();
    const LumPoint& pi = p[i];
    int count = 0;
    LumPoint reference;
    for (size_t t = 2; t < n; ++t)
    {
        const size_t k = forward ? i + t : i + n + 1 - t;
        const LumPoint& pk = p[k % n];
        const LumPoint& pk1 = p[(k - 1) % n];
        const LumPoint normal = forward ? (pk1 - pi) ^ (pk - pi) : (pk - pi) ^ (pk1 - pi);
        const size_t diagonalEnd = (forward ? k : k - 1) % n;
        const int position = static_cast<int>(t) - 1;
        const double length = normal.Norm();
        if (count == 0)
        {
            if (length > 1e-5)
            {
                if (!inside(diagonalEnd, position))
                    return 0;
                reference = normal;
            }
            count = 1;
        }
        else if (length < 1e-5)
            ++count;
        else if (reference.Norm() >= 1e-5)
        {
            if (normal * reference > 0.0 && inside(diagonalEnd, position))
                ++count;
            else
                return count;
        }
        else if (inside(diagonalEnd, position))
        {
            reference = normal;
            ++count;
        }
        else
            return 0;
    }
    return count;
}

// The fan a step takes: the first apex with the greatest count, forward
// before backward.
struct sFan
{
    int Count = 0;
    size_t Start = 0;
    bool Forward = true;
};

// Every apex, every diagonal its fans reach: O(n²) diagonal tests of O(n)
// each, O(n³) per polygon. test(i, j) is the diagonal test of (Pi, Pj).
template <class Test> sFan FindFanExhaustive(const std::vector<LumPoint>& p, const Test& test)
{
    const size_t n = p.size();
    sFan fan;
    for (size_t i = 0; i < n; ++i)
    {
        const int c = FanCount(p, i, true, [&test, i](size_t j, int) { return test(i, j); });
        if (c > fan.Count)
            fan = {c, i, true};
    }
    if (fan.Count < static_cast<int>(n) - 2)
        for (size_t i = 0; i < n; ++i)
        {
            const int c = FanCount(p, i, false, [&test, i](size_t j, int) { return test(i, j); });
            if (c > fan.Count)
                fan = {c, i, false};
        }
    return fan;
}

// The results of the diagonal tests of one polygon, by ordered pair:
// forward and backward fans from one apex ask for the same diagonals. Dense
// up to kDense vertices (n² bytes), hashed beyond.
class DiagonalMemo
{
public:
    explicit DiagonalMemo(size_t n) : mN(n)
    {
        if (n <= kDense)
            mDense.assign(n * n, kUnknown);
    }

    template <class Test> bool Get(size_t i, size_t j, const Test& test)
    {
        const size_t key = i * mN + j;
        if (mN <= kDense)
        {
            signed char& known = mDense[key];
            if (known == kUnknown)
                known = test(i, j) ? 1 : 0;
            return known == 1;
        }
        const auto it = mSparse.find(key);
        if (it != mSparse.end())
            return it->second;
        const bool inside = test(i, j);
        mSparse.emplace(key, inside);
        return inside;
    }

private:
    static constexpr size_t kDense = 2048;
    static constexpr signed char kUnknown = -1;
    size_t mN;
    std::vector<signed char> mDense;
    std::unordered_map<size_t, bool> mSparse;
};

// The same fan as FindFanExhaustive, with fewer tests. An apex only matters
// when its count beats the best one so far (ties keep the earlier apex), so
// before its fan is counted it is probed:
// - a walk that takes every diagonal as inside gives the count bound by the
//   turns alone and the diagonal asked at each count m (none for a
//   degenerate triangle); a bound not above the best skips the apex;
// - the diagonals asked up to best + 1 are tested, the farthest first: one
//   outside bounds the count by the best, and the apex is skipped.
// An apex that passes has a count above the best and is counted exactly.
// Each diagonal is tested at most once: n(n - 1) tests of O(n) at worst. In
// practice a probe ends at its first test: about one test per vertex on
// star-shaped and random polygons, n - 2 on a convex one, which its first
// apex fans whole. With the O(n) walk of each apex, O(n²) a search.
template <class Test> sFan FindFanPruned(const std::vector<LumPoint>& p, const Test& test)
{
    const size_t n = p.size();
    const int full = static_cast<int>(n) - 2;
    DiagonalMemo memo(n);
    std::vector<size_t> asked;
    sFan fan;
    const auto count = [&](size_t i, bool forward)
    {
        asked.assign(n, n);
        const int bound = FanCount(p, i, forward,
                                   [&asked](size_t j, int m)
                                   {
                                       asked[static_cast<size_t>(m)] = j;
                                       return true;
                                   });
        if (bound <= fan.Count)
            return 0;
        for (int m = fan.Count + 1; m >= 1; --m)
        {
            const size_t j = asked[static_cast<size_t>(m)];
            if (j != n && !memo.Get(i, j, test))
                return 0;
        }
        return FanCount(p, i, forward, [&memo, &test, i](size_t j, int) { return memo.Get(i, j, test); });
    };
    for (size_t i = 0; i < n && fan.Count < full; ++i)
    {
        const int c = count(i, true);
        if (c > fan.Count)
            fan = {c, i, true};
    }
    for (size_t i = 0; i < n && fan.Count < full; ++i)
    {
        const int c = count(i, false);
        if (c > fan.Count)
            fan = {c, i, false};
    }
    return fan;
}
} // namespace

int KorMesh::AddConcaveFace(int count, ...)
{
    std::vector<int> ids;
    if (count > 0)
    {
        ids.reserve(static_cast<size_t>(count));
        va_list args;
        va_start(args, count);
        for (int i = 0; i < count; ++i)
            ids.push_back(va_arg(args, int));
        va_end(args);
    }
    return AddConcaveFace(ids, nullptr);
}

// The polygon is taken apart on an explicit stack of pending polygons:
// - a fan step adds the largest fan found (first vertex with the greatest
//   count, forward before backward) as one face and goes on with the rest,
//   which is at least one vertex shorter;
// - a polygon with no fan at all is taken as self-crossing: both crossing
//   sides get a vertex at the crossing point and the two loops either side
//   of it are pushed, the first one to be done first.
// The result is the last face of each branch, the smaller one where a
// crossing splits the work, so any failing branch gives -1; faces added
// before a failure stay.
// Cost per fan step on an m-gon: O(m²) for the turns and the diagonal tests
// of O(m) each, about one per vertex (see FindFanPruned; O(m³) at worst);
// O(m²) per crossing search. A crossing split turns an m-gon into two loops
// of m + 4 vertices together; a fan step removes at least one. The work is
// bounded by n(n - 3)/2 splits, one per pair of non-adjacent sides of the
// given n-gon, and by n + 2·(splits) fan steps; past either bound the call
// reports one line and returns -1. Non-planar polygons, whose passing sides
// count as crossing, end that way instead of splitting without end.
int KorMesh::AddConcaveFace(std::vector<int>& ids, std::vector<int>* outFaces, eFanSearch search)
{
    if (ids.size() < 3)
    {
        KorReport("KorMesh::AddConcaveFace", "Impossible to add a face with less than 3 vertices");
        return -1;
    }
    const long long n0 = static_cast<long long>(ids.size());
    const long long maxSplits = n0 * (n0 - 3) / 2;
    long long splits = 0;
    long long fanSteps = 0;

    int result = INT_MAX;
    std::vector<std::vector<int>> pending{ids};
    while (!pending.empty())
    {
        std::vector<int> poly = std::move(pending.back());
        pending.pop_back();
        // Fan steps carry on with the rest of the polygon in place.
        for (;;)
        {
            const size_t n = poly.size();
            if (n == 3)
            {
                const int face = AddFace(poly);
                if (face >= 0 && outFaces)
                    outFaces->push_back(face);
                result = std::min(result, face);
                break;
            }
            // Positions relative to the first vertex: the diagonal tests work
            // on Plücker lines, whose moments lose every digit of a face a few
            // metres wide at map coordinates (millions of metres).
            std::vector<LumPoint> points;
            points.reserve(n);
            bool missing = false;
            LumPoint base;
            for (int id : poly)
            {
                const KorVertex* v = GetVertex(id);
                if (!v)
                {
                    missing = true;
                    break;
                }
                if (points.empty())
                    base.Define(v->X, v->Y, v->Z);
                points.emplace_back(v->X - base.x, v->Y - base.y, v->Z - base.z);
            }
            if (missing)
            {
                result = -1;
                break;
            }

            const auto findFan = [&points, search](const PlanarDiagonals* planar)
            {
                const auto test = [&points, planar](size_t i, size_t j) {
                    return planar ? planar->Inside(i, j) : IsSegmentIn3DPolygon(points[i], points[j], points);
                };
                return search == eFanSearch::Exhaustive ? FindFanExhaustive(points, test)
                                                        : FindFanPruned(points, test);
            };
            sFan chosen = findFan(nullptr);
            // IsSegmentIn3DPolygon refuses a diagonal whose line meets the
            // boundary again past its end, so some simple polygons (a sharp
            // star) have no fan by it. They have no crossing either: without
            // this they would be lost.
            if (chosen.Count == 0)
            {
                const PlanarDiagonals planar(points);
                if (planar.Simple())
                    chosen = findFan(&planar);
            }
            const int best = chosen.Count;
            const size_t start = chosen.Start;
            const bool forward = chosen.Forward;

            if (best > 0)
            {
                if (++fanSteps > n0 + 2 * splits)
                {
                    KorReport("KorMesh::AddConcaveFace", "Impossible to add the face, too many fan steps");
                    return -1;
                }
                // Both pieces keep the polygon's turning direction: a
                // backward fan is listed from its apex on in the polygon's
                // order (Pi, P(i-c-1), ..., P(i-1)), and the rest likewise.
                // A face without neighbours would otherwise be turned over.
                const size_t c = static_cast<size_t>(best);
                std::vector<int> fan;
                fan.reserve(c + 2);
                if (forward)
                    for (size_t t = 0; t < c + 2; ++t)
                        fan.push_back(poly[(start + t) % n]);
                else
                {
                    fan.push_back(poly[start]);
                    for (size_t t = c + 1; t >= 1; --t)
                        fan.push_back(poly[(start + n - t) % n]);
                }
                const int face = AddFace(fan);
                if (face < 0)
                {
                    result = -1;
                    break;
                }
                if (outFaces)
                    outFaces->push_back(face);
                SetModified();
                if (c == n - 2)
                {
                    result = std::min(result, face);
                    break;
                }
                std::vector<int> rest;
                rest.reserve(n - c);
                if (forward)
                {
                    for (size_t t = c + 1; t < n; ++t)
                        rest.push_back(poly[(start + t) % n]);
                    rest.push_back(poly[start]);
                }
                else
                    for (size_t t = 0; t < n - c; ++t)
                        rest.push_back(poly[(start + t) % n]);
                poly.swap(rest);
                continue;
            }

            if (++splits > maxSplits)
            {
                KorReport("KorMesh::AddConcaveFace", "Impossible to add the face, too many crossings");
                return -1;
            }
            std::vector<int> loopA, loopB;
            if (!SplitAtCrossing(poly, outFaces, loopA, loopB))
            {
                result = -1;
                break;
            }
            pending.push_back(std::move(loopB));
            pending.push_back(std::move(loopA));
            break;
        }
    }
    return result;
}

// O(n²) for the crossing, O(n · valence) for the ring. Before the second
// insertion the second half-edge is checked to still join the same vertices:
// when it was the twin of the first one (a polygon that runs back along one
// of its sides), the first insertion deleted it and its identifier may
// already name a new half-edge.
bool KorMesh::SplitAtCrossing(const std::vector<int>& poly, std::vector<int>* outFaces,
                              std::vector<int>& loopA, std::vector<int>& loopB)
{
    LumPoint point;
    int edgeA = -1, edgeB = -1;
    if (!GetIntersectionPointOfPolygon(poly, point, edgeA, edgeB))
        return false;
    const size_t n = poly.size();
    size_t posA = n, posB = n;
    for (size_t k = 0; k < n; ++k)
    {
        const KorEdge* e = GetEdgeBetween(GetVertex(poly[k]), GetVertex(poly[(k + 1) % n]));
        if (!e)
            return false;
        if (e->ID == edgeA && posA == n)
            posA = k;
        if (e->ID == edgeB && posB == n)
            posB = k;
    }
    if (posA == n || posB == n || posA == posB)
        return false;

    const int bFrom = poly[posB];
    const int bTo = poly[(posB + 1) % n];
    const int vA = InsertCrossingVertex(edgeA, point, outFaces);
    if (vA < 0)
        return false;
    const KorEdge* b = GetEdge(edgeB);
    const KorEdge* bTwin = b ? GetEdge(b->Opp) : nullptr;
    if (!bTwin || b->Vertex != bFrom || bTwin->Vertex != bTo)
        return false;
    const int vB = InsertCrossingVertex(edgeB, point, outFaces);
    if (vB < 0)
        return false;

    loopA.assign(1, vA);
    for (size_t k = (posA + 1) % n;; k = (k + 1) % n)
    {
        loopA.push_back(poly[k]);
        if (k == posB)
            break;
    }
    loopA.push_back(vB);
    loopB.assign(1, vB);
    for (size_t k = (posB + 1) % n;; k = (k + 1) % n)
    {
        loopB.push_back(poly[k]);
        if (k == posA)
            break;
    }
    loopB.push_back(vA);
    return true;
}

// AddVertexOnEdge, with the tracks set when faces are listed. A face of
// this polygon made earlier (a fan on a former diagonal) can border the
// half-edge and is then re-added under a new identifier: the list follows
// it, so that the caller records the origin of every face it holds. The
// face on the half-edge's side is re-added on A -> N, the other on N -> A.
int KorMesh::InsertCrossingVertex(int edge, const LumPoint& p, std::vector<int>* outFaces)
{
    const KorEdge* e = GetEdge(edge);
    const KorEdge* twin = e ? GetEdge(e->Opp) : nullptr;
    if (!twin)
        return -1;
    const int a = e->Vertex;
    const int sides[2] = {e->Face, twin->Face};
    const int n = AddVertexOnEdge(edge, p, outFaces != nullptr);
    if (n < 0 || !outFaces)
        return n;
    const KorEdge* an = GetEdgeBetween(GetVertex(a), GetVertex(n));
    const KorEdge* na = an ? GetEdge(an->Opp) : nullptr;
    const int now[2] = {an ? an->Face : -1, na ? na->Face : -1};
    // One pass, each entry mapped once: a re-added face may have taken the
    // identifier that the other side just freed.
    for (int& f : *outFaces)
    {
        if (f >= 0 && f == sides[0])
            f = now[0];
        else if (f >= 0 && f == sides[1])
            f = now[1];
    }
    return n;
}

// O(faces · cost of AddConcaveFace). Faces of three vertices are left alone;
// a face that cannot be re-added stays deleted and the result is false.
bool KorMesh::ToConcaveMesh(bool tracks, eFanSearch search)
{
    bool result = true;
    for (int id = 0; id < GetFaceVectorSize(); ++id)
        if (!ReplaceByConcaveFaces(id, tracks, search))
            result = false;
    return result;
}

bool KorMesh::ToConcaveMesh(const std::vector<int>& faces, bool tracks, eFanSearch search)
{
    bool result = true;
    for (int id : faces)
        if (!ReplaceByConcaveFaces(id, tracks, search))
            result = false;
    return result;
}

bool KorMesh::ReplaceByConcaveFaces(int faceId, bool tracks, eFanSearch search)
{
    const KorFace* face = GetFace(faceId);
    if (!face)
        return true;
    std::vector<int> ring;
    GetFaceVertices(face, ring);
    if (ring.size() <= 3)
        return true;
    int origin = -1;
    if (tracks)
    {
        const auto it = mTracksOfFaces.find(faceId);
        if (it != mTracksOfFaces.end())
            origin = it->second;
    }
    DeleteFace(faceId, false);
    std::vector<int> added;
    const int result = AddConcaveFace(ring, tracks ? &added : nullptr, search);
    // The faces made before a failure stay in the mesh: they keep their
    // origin too.
    for (int f : added)
        if (GetFace(f))
            mTracksOfFaces[f] = origin >= 0 ? origin : faceId;
    return result >= 0;
}
