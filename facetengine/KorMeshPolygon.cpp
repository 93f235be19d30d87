#include "KorMesh.h"

#include "KorPlucker.h"

#include <cmath>

namespace
{
// Positions of the given vertices; false when one is missing.
bool CollectPoints(const KorMesh& mesh, const std::vector<int>& ids, std::vector<LumPoint>& out)
{
    out.clear();
    out.reserve(ids.size());
    for (int id : ids)
    {
        const KorVertex* v = mesh.GetVertex(id);
        if (!v)
            return false;
        out.emplace_back(v->X, v->Y, v->Z);
    }
    return true;
}

// For a loop far from every corner of its face (a small one), where the
// nearest points do not tell how the loop turns: each corner paired with the
// loop point nearest in angle about the loop's centroid, in the face's plane,
// and the loop's turn taken from its signed area against the face's. False
// for a face or loop without area.
bool PairByAngle(const std::vector<LumPoint>& face, const std::vector<LumPoint>& loop,
                 std::vector<int>& nearest, int& direction)
{
    LumPoint normal(0, 0, 0), centre(0, 0, 0);
    for (size_t k = 0; k < face.size(); ++k)
        normal = normal + (face[k] ^ face[(k + 1) % face.size()]);
    for (const LumPoint& p : loop)
        centre = centre + p;
    centre = centre / static_cast<double>(loop.size());
    const double length = normal.Norm();
    if (length <= 0)
        return false;
    normal = normal / length;
    // A unit vector of the plane, and the one a quarter turn from it.
    LumPoint u = std::fabs(normal.x) < 0.9 ? LumPoint(1, 0, 0) : LumPoint(0, 1, 0);
    u = u - normal * (u * normal);
    u = u / u.Norm();
    const LumPoint w = normal ^ u;
    const auto angle = [&](const LumPoint& p) { return std::atan2((p - centre) * w, (p - centre) * u); };
    double area = 0.0;
    for (size_t q = 0; q < loop.size(); ++q)
        area += (((loop[q] - centre) ^ (loop[(q + 1) % loop.size()] - centre)) * normal);
    if (area == 0.0)
        return false;
    direction = area > 0 ? 1 : -1;
    for (size_t k = 0; k < face.size(); ++k)
    {
        const double a = angle(face[k]);
        double best = 10.0;
        for (size_t q = 0; q < loop.size(); ++q)
        {
            const double d = std::fabs(std::remainder(angle(loop[q]) - a, 2 * M_PI));
            if (d < best)
            {
                best = d;
                nearest[k] = static_cast<int>(q);
            }
        }
    }
    return true;
}
} // namespace

// O(n²) line pairs. The distance between the two lines is not bounded, so in a
// non-planar polygon two sides that pass each other count as crossing;
// parallel sides (LineDistance at or above 1e9) and adjacent ones, which meet
// only at their shared end, never do.
bool KorMesh::GetIntersectionPointOfPolygon(const std::vector<int>& ids, LumPoint& point, int& edgeA,
                                            int& edgeB)
{
    edgeA = -1;
    edgeB = -1;
    std::vector<LumPoint> p;
    if (!CollectPoints(*this, ids, p))
        return false;
    const size_t n = p.size();
    for (size_t i = 0; i + 1 < n; ++i)
    {
        LumPoint di = p[i + 1] - p[i];
        const double li = di.Norm();
        Normalize(di);
        const KorPlucker sideI(p[i], p[i + 1]);
        for (size_t j = i + 1; j < n; ++j)
        {
            const size_t jn = (j + 1) % n;
            LumPoint dj = p[jn] - p[j];
            const double lj = dj.Norm();
            Normalize(dj);
            LumPoint c1, c2;
            if (sideI.LineDistance(KorPlucker(p[j], p[jn]), c1, c2) >= 1e9)
                continue;
            const double si = (c1 - p[i]) * di;
            const double sj = (c2 - p[j]) * dj;
            if (si <= 1e-5 || si >= li - 1e-5 || sj <= 1e-5 || sj >= lj - 1e-5)
                continue;
            point = c1;
            const KorEdge* a = GetEdgeBetween(GetVertex(ids[i]), GetVertex(ids[i + 1]));
            if (!a)
                return false;
            edgeA = a->ID;
            const KorEdge* b = GetEdgeBetween(GetVertex(ids[j]), GetVertex(ids[jn]));
            if (!b)
                return false;
            edgeB = b->ID;
            return true;
        }
    }
    return false;
}

// O(F·P) for the nearest polygon vertices, then F band faces. Each face vertex
// is joined to its nearest polygon vertex; the band between two consecutive
// face vertices takes the polygon vertices between their two nearest ones.
// The bands start next to a neighbouring face, so that AddFace orients the
// first one like that neighbour and the others follow. Everything that can be
// refused is checked before the face is deleted, a polygon of fewer than three
// vertices included; a failing band leaves the face deleted.
int KorMesh::CutPolygonIntoFace(KorFace* face, const std::vector<int>& polygon)
{
    if (!face || polygon.size() < 3)
        return -1;
    const int faceId = face->ID;
    std::vector<int> faceIds;
    GetFaceVertices(face, faceIds);
    std::vector<LumPoint> facePoints, polygonPoints;
    if (faceIds.empty() || !CollectPoints(*this, faceIds, facePoints) ||
        !CollectPoints(*this, polygon, polygonPoints))
        return -1;
    const int faceCount = static_cast<int>(faceIds.size());
    const int polygonCount = static_cast<int>(polygon.size());

    std::vector<int> nearest(faceIds.size(), -1);
    for (int k = 0; k < faceCount; ++k)
    {
        double best = 1e10;
        for (int q = 0; q < polygonCount; ++q)
        {
            const double d = (polygonPoints[q] - facePoints[k]).Norm();
            if (d < best)
            {
                best = d;
                nearest[k] = q;
            }
        }
        if (nearest[k] < 0)
            return -1;
    }

    int direction = 0;
    int increases = 0, decreases = 0;
    for (int k = 0; k < faceCount && direction == 0; ++k)
    {
        const int here = nearest[k];
        const int there = nearest[(k + 1) % faceCount];
        if (there > here && ++increases == 2)
            direction = 1;
        else if (there < here && ++decreases == 2)
            direction = -1;
    }
    if (direction == 0 && !PairByAngle(facePoints, polygonPoints, nearest, direction))
        return -1;

    std::vector<KorEdge*> edges;
    GetFaceEdges(face, edges);
    int start = -1;
    for (size_t k = 0; k < edges.size() && start < 0; ++k)
    {
        const KorEdge* twin = edges[k] ? GetEdge(edges[k]->Opp) : nullptr;
        if (!twin)
            return -1;
        if (GetFace(twin->Face))
            start = static_cast<int>(k);
    }
    if (start < 0)
        return -1;

    DeleteFace(faceId, false);
    for (int k = 0; k < faceCount; ++k)
    {
        const int a = (k + start) % faceCount;
        const int b = (a + 1) % faceCount;
        std::vector<int> band{faceIds[a], polygon[nearest[a]]};
        if (nearest[a] != nearest[b])
        {
            // Fewer than P steps: the walk from n(a) always reaches n(b).
            for (int q = (nearest[a] + direction + polygonCount) % polygonCount; q != nearest[b];
                 q = (q + direction + polygonCount) % polygonCount)
                band.push_back(polygon[q]);
            band.push_back(polygon[nearest[b]]);
        }
        band.push_back(faceIds[b]);
        if (AddFace(band) < 0)
            return -1;
    }
    return AddFace(polygon);
}

// O(total ring length). Faces added on the way are triangles, so reading the
// slot count again after each face only visits them to pass them by.
bool KorMesh::TriangulateMesh()
{
    bool result = true;
    for (int id = 0; id < GetFaceVectorSize(); ++id)
    {
        const KorFace* face = GetFace(id);
        if (!face)
            continue;
        std::vector<int> q;
        GetFaceVertices(face, q);
        if (q.size() <= 3)
            continue;
        DeleteFace(id, false);
        for (size_t k = 2; k < q.size(); ++k)
            if (AddFace(3, q[0], q[k - 1], q[k]) < 0)
                result = false;
    }
    return result;
}
