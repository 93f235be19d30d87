#include "KorMesh.h"

#include "KorComparators.h"
#include "KorSort.h"

#include <algorithm>
#include <cmath>

namespace
{
// An entry of the first m whose NewID names the record's old face now names
// its successor; a record that renames nothing is appended. O(m) per record.
void MergeRecords(std::vector<DoubleIndex>& report, const std::vector<DoubleIndex>& records)
{
    const size_t m = report.size();
    for (const DoubleIndex& record : records)
    {
        bool matched = false;
        for (size_t k = 0; k < m; ++k)
            if (report[k].NewID == record.OldID)
            {
                report[k].NewID = record.NewID;
                matched = true;
            }
        if (!matched)
            report.push_back(record);
    }
}

double Distance(const KorVertex& a, const KorVertex& b)
{
    const double dx = a.X - b.X, dy = a.Y - b.Y, dz = a.Z - b.Z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}
} // namespace

// O(V log V) for the sort, whose tolerant order goes through the merge sort
// (never std::sort: it is not a strict weak order), then one pair fusion per
// coincident neighbour pair, each O(faces around · ring length). Only
// neighbours in the sorted order are compared; a run of vertices each within
// 1e-5 of the next collapses into the last of the run, which keeps its own
// position. The threshold is always 1e-5: tolerance is not read.
bool KorMesh::FuseVertices(const double& /*tolerance*/, std::vector<DoubleIndex>* report)
{
    std::vector<KorVertex> sorted;
    GetAllVertices(sorted);
    KorMergeSort(sorted, CompareVerticesForFusion);
    for (size_t k = 1; k < sorted.size(); ++k)
    {
        if (!(Distance(sorted[k - 1], sorted[k]) < 1e-5))
            continue;
        KorVertex* kept = GetVertex(sorted[k].ID);
        KorVertex* removed = GetVertex(sorted[k - 1].ID);
        if (!kept || !removed)
            return false;
        const KorVertex* survivor = GetVertex(FuseVertices(kept, removed, report));
        if (!survivor)
            return false;
        sorted[k] = *survivor;
    }
    return true;
}

// O(faces around · ring length). The faces around the removed vertex are
// re-added with the kept vertex in its place; a face that held both keeps
// the kept vertex once; a ring left with fewer than three vertices vanishes;
// a face re-added with no area is dissolved into its neighbours.
int KorMesh::FuseVertices(KorVertex* kept, KorVertex* removed, std::vector<DoubleIndex>* report)
{
    if (!kept || !removed || kept == removed)
        return -1;
    const int keptId = kept->ID;
    const int removedId = removed->ID;
    std::vector<KorFace*> faces;
    GetFacesAroundVertex(removed, faces);
    std::vector<std::vector<int>> rings(faces.size());
    std::vector<DoubleIndex> records(faces.size());
    for (size_t k = 0; k < faces.size(); ++k)
    {
        GetFaceVertices(faces[k], rings[k]);
        records[k].OldID = faces[k]->ID;
    }
    DeleteVertex(removedId);

    bool success = true;
    std::vector<int> empty;
    for (size_t k = 0; k < rings.size(); ++k)
    {
        std::vector<int>& ring = rings[k];
        ring.erase(std::remove(ring.begin(), ring.end(), keptId), ring.end());
        std::replace(ring.begin(), ring.end(), removedId, keptId);
        if (ring.size() < 3)
            continue;
        const int face = AddFace(ring);
        if (face < 0)
        {
            success = false;
            continue;
        }
        if (GetFaceSurface(GetFace(face)) >= 1e-5)
            records[k].NewID = face;
        else
            empty.push_back(face);
    }

    const size_t own = records.size();
    for (int id : empty)
    {
        for (size_t k = own; k < records.size(); ++k)
            if (records[k].OldID == id)
            {
                id = records[k].NewID;
                break;
            }
        if (KorFace* f = GetFace(id))
            FuseEmptyFace(f, &records);
    }
    if (report)
        MergeRecords(*report, records);
    return success ? keptId : -1;
}

// O(ring length · valence + neighbour ring lengths). The face's vertices lie
// on one line; its sides are replaced by a chain of edges along that line,
// sorted from its extreme vertex, and each neighbour is re-added with the
// chain vertices it skipped on the side it shared with the face. A
// neighbour met along several sides is re-added once.
int KorMesh::FuseEmptyFace(KorFace* face, std::vector<DoubleIndex>* report)
{
    if (!face)
        return -1;
    const int faceId = face->ID;
    std::vector<int> ring;
    std::vector<LumPoint> points;
    GetFaceVertices(face, ring);
    GetFacePoints(face, points);
    if (points.size() < 3 || GetFaceSurface(face) > 1e-5)
        return -1;
    const size_t n = ring.size();

    LumPoint d = points[1] - points[0];
    Normalize(d);
    size_t start = 0;
    for (size_t k = 1; k < n; ++k)
        if ((points[k] - points[0]) * d < (points[start] - points[0]) * d)
            start = k;

    std::vector<int> neighbours;
    for (size_t t = 0; t < n; ++t)
    {
        const int u = ring[(start + t) % n];
        const int v = ring[(start + t + 1) % n];
        const KorEdge* h = GetEdgeBetween(GetVertex(u), GetVertex(v));
        if (h && h->Face == faceId)
            h = GetEdge(h->Opp);
        if (h && GetFace(h->Face) &&
            std::find(neighbours.begin(), neighbours.end(), h->Face) == neighbours.end())
            neighbours.push_back(h->Face);
    }
    std::vector<std::vector<int>> neighbourRings(neighbours.size());
    std::vector<DoubleIndex> records(neighbours.size());
    for (size_t k = 0; k < neighbours.size(); ++k)
    {
        GetFaceVertices(GetFace(neighbours[k]), neighbourRings[k]);
        records[k].OldID = neighbours[k];
    }

    // The records gathered so far are reported on failure too: the
    // neighbours not re-added keep -1.
    const auto finish = [&records, report](int result)
    {
        if (report)
            MergeRecords(*report, records);
        return result;
    };

    std::vector<KorEdge*> edges;
    GetFaceEdges(face, edges);
    std::vector<int> edgeIds;
    for (const KorEdge* e : edges)
        if (e)
            edgeIds.push_back(e->ID);
    for (int e : edgeIds)
        DeleteEdge(e, false);

    std::vector<size_t> order(n);
    for (size_t k = 0; k < n; ++k)
        order[k] = (start + k) % n;
    const LumPoint origin = points[start];
    std::vector<size_t> rest(order.begin() + 1, order.end());
    KorMergeSort(rest,
                 [&](size_t a, size_t b)
                 {
                     const double pa = (points[a] - origin) * d;
                     const double pb = (points[b] - origin) * d;
                     return pa < pb ? -1 : (pb < pa ? 1 : 0);
                 });
    std::vector<int> chain{ring[start]};
    for (size_t k : rest)
        chain.push_back(ring[k]);
    for (size_t k = 1; k < chain.size(); ++k)
    {
        KorVertex* a = GetVertex(chain[k - 1]);
        KorVertex* b = GetVertex(chain[k]);
        if (!a || !b || a == b)
            return finish(-1);
        AddEdge(a, b);
        if (!GetEdgeBetween(GetVertex(chain[k - 1]), GetVertex(chain[k])))
            return finish(-1);
    }

    int last = -1;
    for (size_t k = 0; k < neighbourRings.size(); ++k)
    {
        const std::vector<int>& side = neighbourRings[k];
        std::vector<int> rebuilt;
        for (size_t i = 0; i < side.size(); ++i)
        {
            const int u = side[i];
            const int v = side[(i + 1) % side.size()];
            rebuilt.push_back(u);
            const KorVertex* vu = GetVertex(u);
            const KorVertex* vv = GetVertex(v);
            if (!vu || !vv)
                return finish(-1);
            if (GetEdgeBetween(vu, vv))
                continue;
            const auto cu = std::find(chain.begin(), chain.end(), u);
            const auto cv = std::find(chain.begin(), chain.end(), v);
            if (cu == chain.end() || cv == chain.end())
                return finish(-1);
            if (cu < cv)
                rebuilt.insert(rebuilt.end(), cu + 1, cv);
            else
                for (auto it = cu - 1; it > cv; --it)
                    rebuilt.push_back(*it);
        }
        const int added = AddFace(rebuilt);
        if (added < 0)
            return finish(-1);
        records[k].NewID = added;
        last = added;
    }
    return finish(last);
}
