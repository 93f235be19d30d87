#include "KorMesh.h"

#include "KorException.h"
#include "KorPolygon.h"

#include <algorithm>
#include <climits>
#include <cstdarg>

namespace
{
// The number of fan triangles from vertex i that can be taken as one face:
// each triangle turns the same way as the first proper one and its diagonal
// runs inside the polygon; degenerate triangles (normal below 1e-5) are taken
// without a test. Forward the triangles are (Pi, P(k-1), Pk) for k = i+2 ..
// i+n-1, backward (Pi, Pk, P(k-1)) for k = i+n-1 down to i+2. O(n²) with the
// O(n) diagonal test.
int FanCount(const std::vector<LumPoint>& p, size_t i, bool forward)
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
        const LumPoint& diagonalEnd = forward ? pk : pk1;
        const double length = normal.Norm();
        if (count == 0)
        {
            if (length > 1e-5)
            {
                if (!IsSegmentIn3DPolygon(pi, diagonalEnd, p))
                    return 0;
                reference = normal;
            }
            count = 1;
        }
        else if (length < 1e-5)
            ++count;
        else if (reference.Norm() >= 1e-5)
        {
            if (normal * reference > 0.0 && IsSegmentIn3DPolygon(pi, diagonalEnd, p))
                ++count;
            else
                return count;
        }
        else if (IsSegmentIn3DPolygon(pi, diagonalEnd, p))
        {
            reference = normal;
            ++count;
        }
        else
            return 0;
    }
    return count;
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
// Cost: O(m³) per fan step on an m-gon (O(m) diagonal test per triangle),
// O(m²) per crossing search. A crossing split turns an m-gon into two loops
// of m + 4 vertices together; a fan step removes at least one. The work is
// bounded by n(n - 3)/2 splits, one per pair of non-adjacent sides of the
// given n-gon, and by n + 2·(splits) fan steps; past either bound the call
// reports one line and returns -1. Non-planar polygons, whose passing sides
// count as crossing, end that way instead of splitting without end.
int KorMesh::AddConcaveFace(std::vector<int>& ids, std::vector<int>* outFaces)
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
            std::vector<LumPoint> points;
            points.reserve(n);
            bool missing = false;
            for (int id : poly)
            {
                const KorVertex* v = GetVertex(id);
                if (!v)
                {
                    missing = true;
                    break;
                }
                points.emplace_back(v->X, v->Y, v->Z);
            }
            if (missing)
            {
                result = -1;
                break;
            }

            int best = 0;
            size_t start = 0;
            bool forward = true;
            for (size_t i = 0; i < n; ++i)
            {
                const int c = FanCount(points, i, true);
                if (c > best)
                {
                    best = c;
                    start = i;
                }
            }
            if (best < static_cast<int>(n) - 2)
                for (size_t i = 0; i < n; ++i)
                {
                    const int c = FanCount(points, i, false);
                    if (c > best)
                    {
                        best = c;
                        start = i;
                        forward = false;
                    }
                }

            if (best > 0)
            {
                if (++fanSteps > n0 + 2 * splits)
                {
                    KorReport("KorMesh::AddConcaveFace", "Impossible to add the face, too many fan steps");
                    return -1;
                }
                const size_t c = static_cast<size_t>(best);
                std::vector<int> fan;
                fan.reserve(c + 2);
                for (size_t t = 0; t < c + 2; ++t)
                    fan.push_back(poly[forward ? (start + t) % n : (start + n - t) % n]);
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
                for (size_t t = c + 1; t < n; ++t)
                    rest.push_back(poly[forward ? (start + t) % n : (start + n - t) % n]);
                rest.push_back(poly[start]);
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
bool KorMesh::SplitAtCrossing(const std::vector<int>& poly, std::vector<int>* outFaces, std::vector<int>& loopA,
                              std::vector<int>& loopB)
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
bool KorMesh::ToConcaveMesh(bool tracks)
{
    bool result = true;
    for (int id = 0; id < GetFaceVectorSize(); ++id)
        if (!ReplaceByConcaveFaces(id, tracks))
            result = false;
    return result;
}

bool KorMesh::ToConcaveMesh(const std::vector<int>& faces, bool tracks)
{
    bool result = true;
    for (int id : faces)
        if (!ReplaceByConcaveFaces(id, tracks))
            result = false;
    return result;
}

bool KorMesh::ReplaceByConcaveFaces(int faceId, bool tracks)
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
    const int result = AddConcaveFace(ring, tracks ? &added : nullptr);
    // The faces made before a failure stay in the mesh: they keep their
    // origin too.
    for (int f : added)
        if (GetFace(f))
            mTracksOfFaces[f] = origin >= 0 ? origin : faceId;
    return result >= 0;
}
