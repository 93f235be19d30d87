#include "KorCut.h"

#include "KorGeometry.h"
#include "KorMesh.h"
#include "KorPolygon.h"

#include <algorithm>
#include <cmath>

namespace
{
// Later records on the split edge (either half) move to the half-edge leaving
// v whose segment is nearest their point; the first on ties. A zero-length
// segment (distance -1) is never taken.
void RedirectLaterRecords(KorMesh& mesh, std::vector<sBooleanIntersection>& records,
                          const std::vector<LumPoint>& points, size_t i, int edge, int twin, int v)
{
    std::vector<KorEdge*> around;
    bool gathered = false;
    for (size_t j = i + 1; j < records.size(); ++j)
    {
        if (records[j].ElementID != edge && (twin < 0 || records[j].ElementID != twin))
            continue;
        if (records[j].Kind != 9)
            continue;
        if (!gathered)
        {
            mesh.GetEdgesAroundVertex(mesh.GetVertex(v), around);
            gathered = true;
        }
        double best = -1.0;
        int chosen = -1;
        for (const KorEdge* h : around)
        {
            const KorEdge* ht = h ? mesh.GetEdge(h->Opp) : nullptr;
            const KorVertex* a = h ? mesh.GetVertex(h->Vertex) : nullptr;
            const KorVertex* b = ht ? mesh.GetVertex(ht->Vertex) : nullptr;
            if (!a || !b)
                continue;
            LumPoint foot;
            const double d =
                DistancePointSegment(points[j], LumPoint(a->X, a->Y, a->Z), LumPoint(b->X, b->Y, b->Z), foot);
            if (d < 0)
                continue;
            if (chosen < 0 || d < best)
            {
                best = d;
                chosen = h->ID;
            }
        }
        if (chosen >= 0)
            records[j].ElementID = chosen;
    }
}
} // namespace

bool CutMeshFromIntersectionLine(KorMesh& mesh, std::vector<sBooleanIntersection>& records,
                                 std::vector<LumPoint>& points, std::vector<int>& vertexIds, bool tracks)
{
    vertexIds.clear();
    const size_t n = std::min(records.size(), points.size());
    int firstEdge = -1;
    for (size_t i = 0; i < n; ++i)
    {
        if (records[i].Kind == 9)
        {
            if (firstEdge < 0)
                firstEdge = static_cast<int>(i);
            const int edge = records[i].ElementID;
            const KorEdge* e = mesh.GetEdge(edge);
            const int twin = e ? e->Opp : -1;
            const int v = mesh.AddVertexOnEdge(edge, points[i], tracks);
            vertexIds.push_back(v);
            if (v >= 0)
                RedirectLaterRecords(mesh, records, points, i, edge, twin, v);
        }
        else if (records[i].Kind == 1)
            vertexIds.push_back(mesh.AddVertex(points[i])); // AddVertex drops the mean and the tree
    }
    if (firstEdge < 0)
    {
        if (n <= 2)
            return true;
        KorFace* face = mesh.GetFace(records[0].ElementID);
        return face && mesh.CutPolygonIntoFace(face, vertexIds) >= 0;
    }
    // vertexIds holds one entry per kind 1 or 9 record; map records to them.
    std::vector<int> vertexOf(n, -1);
    for (size_t i = 0, k = 0; i < n; ++i)
        if (records[i].Kind == 1 || records[i].Kind == 9)
            vertexOf[i] = vertexIds[k++];
    size_t k = static_cast<size_t>(firstEdge);
    bool wrapped = false;
    std::vector<int> chain;
    for (;;)
    {
        while (k < n && records[k].Kind != 9)
            ++k;
        if (k >= n)
            return true;
        chain.assign(1, vertexOf[k]);
        size_t j = k;
        for (;;)
        {
            ++j;
            if (j >= n)
            {
                j = 0;
                wrapped = true;
            }
            if (records[j].Kind == 9)
            {
                chain.push_back(vertexOf[j]);
                break;
            }
            if (vertexOf[j] >= 0)
                chain.push_back(vertexOf[j]);
            if (j == k)
                return false; // one split edge only: no chain closes
        }
        if (!mesh.CutFaceFromEdges(chain, tracks))
            return false;
        if (wrapped)
            return true;
        k = j;
    }
}

bool GetFacesInsideLine(KorMesh& mesh, const std::vector<int>& line, std::vector<int>& faces)
{
    faces.clear();
    if (line.size() < 3)
        return false;
    // GetFacesAroundFace's flood, with flat tables instead of maps: the
    // flood of the outer side of a line covers most of the mesh.
    std::vector<int> lineEdges;
    for (int id : line)
    {
        if (!mesh.GetEdge(id))
            return false;
        lineEdges.push_back(id);
    }
    std::sort(lineEdges.begin(), lineEdges.end());
    KorFace* start = mesh.GetFace(mesh.GetEdge(line.back())->Face);
    if (!start)
        return false;
    std::vector<char> visited(static_cast<size_t>(mesh.GetFaceVectorSize()), 0);
    visited[static_cast<size_t>(start->ID)] = 1;
    faces.push_back(start->ID);
    std::vector<int> front(1, start->ID);
    std::vector<KorEdge*> edges;
    while (!front.empty())
    {
        const int id = front.back();
        front.pop_back();
        mesh.GetFaceEdges(mesh.GetFace(id), edges);
        for (KorEdge* h : edges)
        {
            if (!h)
                return false;
            if (std::binary_search(lineEdges.begin(), lineEdges.end(), h->GetID()))
                continue;
            const KorEdge* twin = mesh.GetEdge(h->Opp);
            if (!twin)
                return false;
            const KorFace* g = mesh.GetFace(twin->Face);
            if (!g || visited[static_cast<size_t>(g->ID)])
                continue;
            visited[static_cast<size_t>(g->ID)] = 1;
            faces.push_back(g->ID);
            front.push_back(g->ID);
        }
    }
    std::sort(faces.begin(), faces.end());
    return true;
}

bool GetFacesAroundFace(KorMesh& mesh, std::vector<KorFace*>& front, const std::map<int, int>& line,
                        std::map<int, bool>& visited)
{
    std::vector<KorFace*> next;
    std::vector<KorEdge*> edges;
    while (!front.empty())
    {
        next.clear();
        for (KorFace* f : front)
        {
            if (!f)
                return false;
            mesh.GetFaceEdges(f, edges);
            for (KorEdge* h : edges)
            {
                if (!h)
                    return false;
                if (line.count(h->Opp))
                    continue; // h is a line half-edge
                const KorEdge* twin = mesh.GetEdge(h->Opp);
                if (!twin)
                    return false;
                KorFace* g = mesh.GetFace(twin->Face);
                if (!g || visited.count(g->ID))
                    continue;
                visited[g->ID] = true;
                next.push_back(g);
            }
        }
        front.swap(next);
    }
    return true;
}

bool GetMeshToCut(KorMesh& mesh1, KorMesh& mesh2, const std::vector<int>& line,
                  const std::vector<LumPoint>& points, std::vector<int>& halfEdges, bool flag)
{
    (void)points; // the line's vertices carry the same positions
    halfEdges.clear();
    const size_t n = line.size();
    if (n < 3)
        return false;
    auto edgeBetween = [&](size_t i, size_t j)
    { return mesh1.GetEdgeBetween(mesh1.GetVertex(line[i]), mesh1.GetVertex(line[j])); };
    // A face on the left of the line that is not flat.
    std::vector<LumPoint> poly;
    const KorFace* face = nullptr;
    for (size_t i = 0; i < n && !face; ++i)
    {
        const KorEdge* h = edgeBetween(i, (i + 1) % n);
        const KorFace* f = h ? mesh1.GetFace(h->Face) : nullptr;
        if (!f)
            return false;
        mesh1.GetFacePoints(f, poly);
        if (!ArePointsAligned(poly))
            face = f;
    }
    if (!face)
        return false;
    const LumPoint P0 = poly[0], P1 = poly[1];
    size_t k = 2;
    while (k + 1 < poly.size())
    {
        const LumPoint c = (poly[k] - P0) ^ (P1 - P0);
        if (std::sqrt(c * c) >= 1e-5)
            break;
        ++k;
    }
    const LumPoint T = ((P0 + P1) / 2 + poly[k]) / 2;
    // Faces of mesh2 straight above T: an odd count puts T inside a closed
    // mesh2, or below an open surface.
    int above = 0;
    std::vector<LumPoint> other;
    for (int f = 0; f < mesh2.GetFaceVectorSize(); ++f)
    {
        const KorFace* g = mesh2.GetFace(f);
        if (!g)
            continue;
        mesh2.GetFacePoints(g, other);
        LumPoint onFace;
        if (!PointLiesIn2DPolygon(T, other, onFace))
            continue;
        if (onFace.z > T.z)
            ++above;
    }
    const bool leftInside = (above % 2) == 1;
    const bool forward = leftInside != flag;
    for (size_t s = 0; s < n; ++s)
    {
        const size_t i = forward ? s : n - 1 - s;
        const size_t j = forward ? (i + 1) % n : (i + n - 1) % n;
        const KorEdge* h = edgeBetween(i, j);
        if (!h)
        {
            halfEdges.clear();
            return false;
        }
        halfEdges.push_back(h->ID);
    }
    return true;
}
