#include "KorMesh.h"

#include "KorException.h"
#include "KorPolygon.h"

#include <algorithm>
#include <exception>
#include <map>
#include <string>

namespace
{
// The face a face descends from: its entry in the tracks, else itself.
int OriginOf(const std::map<int, int>& tracks, int face)
{
    const auto it = tracks.find(face);
    return it != tracks.end() ? it->second : face;
}

// Inserts n between the first consecutive pair of ring vertices made of a and
// b (in either order, the last pair wrapping round); the ring is unchanged
// when there is none.
void InsertBetween(std::vector<int>& ring, int a, int b, int n)
{
    const size_t count = ring.size();
    for (size_t i = 0; i < count; ++i)
    {
        const int u = ring[i];
        const int v = ring[(i + 1) % count];
        if ((u == a || u == b) && (v == a || v == b))
        {
            if (i + 1 == count)
                ring.insert(ring.begin(), n);
            else
                ring.insert(ring.begin() + static_cast<std::ptrdiff_t>(i + 1), n);
            return;
        }
    }
}
} // namespace

// O(ring lengths + valences). Both faces of the half-edge are re-added with
// the new vertex in their ring; a border half-edge re-adds only its one face.
// Nothing changes when the half-edge or its twin is missing.
int KorMesh::AddVertexOnEdge(const int& edge, const LumPoint& p, bool tracks)
{
    const KorEdge* e = GetEdge(edge);
    if (!e)
        return -1;
    const KorEdge* twin = GetEdge(e->Opp);
    if (!twin)
        return -1;
    const int a = e->Vertex;
    const int b = twin->Vertex;
    const int edgeId = e->ID;

    std::vector<int> rings[2];
    int origins[2] = {-1, -1};
    const int faces[2] = {e->Face, twin->Face};
    for (int k = 0; k < 2; ++k)
    {
        const KorFace* f = GetFace(faces[k]);
        if (!f)
            continue;
        GetFaceVertices(f, rings[k]);
        origins[k] = tracks ? OriginOf(mTracksOfFaces, faces[k]) : faces[k];
    }

    DeleteEdge(edgeId, false);
    const int n = AddVertex(p);
    AddEdge(GetVertex(a), GetVertex(n));
    AddEdge(GetVertex(n), GetVertex(b));
    for (int k = 0; k < 2; ++k)
    {
        if (rings[k].size() < 3)
            continue;
        InsertBetween(rings[k], a, b, n);
        const int face = AddFace(rings[k]);
        if (face < 0)
        {
            // The new vertex stands; the caller learns of the lost face here.
            KorReport("KorMesh::AddVertexOnEdge",
                      "Impossible to add again the face " + std::to_string(faces[k]));
            continue;
        }
        if (tracks)
            mTracksOfFaces[face] = origins[k];
    }
    return n;
}

// O(|FA| · face size) to choose the face, then O(ring + path). Of the faces
// that hold both ends, the one in whose plane the second path vertex lies
// best (smallest sine measure) is split; a path of two vertices splits the
// last such face. A path whose ends share no face changes nothing.
bool KorMesh::CutFaceFromEdges(const std::vector<int>& path, bool tracks)
{
    try
    {
        const size_t n = path.size();
        if (n < 2)
            return false;
        const int first = path.front();
        const int last = path.back();
        const KorVertex* vFirst = GetVertex(first);
        const KorVertex* vLast = GetVertex(last);
        if (!vFirst || !vLast)
            return false;

        std::vector<KorFace*> fa, fb;
        GetFacesAroundVertex(vFirst, fa);
        GetFacesAroundVertex(vLast, fb);
        std::vector<double> dIn(fa.size(), -1.0), dOut(fa.size(), -1.0);
        int candidate = -1, fallback = -1;
        LumPoint second;
        if (n > 2)
        {
            const KorVertex* v = GetVertex(path[1]);
            if (!v)
                return false;
            second.Define(v->X, v->Y, v->Z);
        }
        for (size_t i = 0; i < fa.size(); ++i)
        {
            if (std::find(fb.begin(), fb.end(), fa[i]) == fb.end())
                continue;
            if (n == 2)
            {
                candidate = fa[i]->ID;
                continue;
            }
            std::vector<LumPoint> points;
            GetFacePoints(fa[i], points);
            double d = -1.0;
            if (PointLiesIn3DPolygon(second, points, &d))
            {
                candidate = fa[i]->ID;
                dIn[i] = d;
            }
            else
            {
                fallback = fa[i]->ID;
                dOut[i] = d;
            }
        }
        const auto smallest = [&fa](const std::vector<double>& measures, int otherwise)
        {
            int chosen = -1;
            double best = 0.0;
            for (size_t i = 0; i < measures.size(); ++i)
                if (measures[i] > -1e-5 && (chosen < 0 || measures[i] < best))
                {
                    chosen = fa[i]->ID;
                    best = measures[i];
                }
            return chosen >= 0 ? chosen : otherwise;
        };
        int faceId;
        if (candidate >= 0)
            faceId = smallest(dIn, candidate);
        else if (fallback >= 0)
            faceId = smallest(dOut, fallback);
        else
            return false;

        std::vector<int> ring, ra, rb;
        GetFaceVertices(GetFace(faceId), ring);
        int other = -1; // the end still to meet once the first one is met
        bool between = false;
        for (int v : ring)
        {
            if (other < 0 && (v == first || v == last))
            {
                ra.push_back(v);
                rb.push_back(v);
                other = v == first ? last : first;
                between = true;
            }
            else if (between && v == other)
            {
                ra.push_back(v);
                rb.push_back(v);
                between = false;
            }
            else if (between)
                rb.push_back(v);
            else
                ra.push_back(v);
        }

        for (size_t k = 0; k < ra.size(); ++k)
        {
            if (ra[k] != first && ra[k] != last)
                continue;
            const auto at = ra.begin() + static_cast<std::ptrdiff_t>(k + 1);
            if (ra[k] == first)
                ra.insert(at, path.begin() + 1, path.end() - 1);
            else
                ra.insert(at, path.rbegin() + 1, path.rend() - 1);
            break;
        }
        if (!rb.empty() && rb.front() == first)
            rb.insert(rb.end(), path.rbegin() + 1, path.rend() - 1);
        else
            rb.insert(rb.end(), path.begin() + 1, path.end() - 1);

        const int origin = OriginOf(mTracksOfFaces, faceId);
        DeleteFace(faceId, false);
        const int faceA = AddFace(ra);
        const int faceB = AddFace(rb);
        if (tracks)
        {
            if (faceA >= 0)
                mTracksOfFaces[faceA] = origin;
            if (faceB >= 0)
                mTracksOfFaces[faceB] = origin;
        }
        return faceA >= 0 && faceB >= 0;
    }
    catch (const std::exception&)
    {
        KorReport("KorMesh::CutFaceFromEdges", "Impossible to cut the face");
        return false;
    }
}

int KorMesh::GetFaceOrigin(int face) const
{
    return OriginOf(mTracksOfFaces, face);
}

int KorMesh::AddFaceFrom(const std::vector<int>& ids, int origin, bool tracks)
{
    const int face = AddFace(ids);
    if (tracks && face >= 0)
        mTracksOfFaces[face] = origin;
    return face;
}

// O(total ring length · log V). Positions only are copied, in increasing
// source identifier order; a vertex shared by several listed faces is
// copied once, a face listed twice is copied twice.
bool KorMesh::CopyFacesToMesh(const std::vector<int>& faces, KorMesh& destination, bool tracks) const
{
    // The rings end to end, then the distinct sources sorted: no node or
    // ring allocated per face.
    std::vector<int> corners, starts;
    starts.reserve(faces.size() + 1);
    std::vector<int> ring;
    for (int id : faces)
    {
        const KorFace* f = GetFace(id);
        if (!f)
            return false;
        starts.push_back(static_cast<int>(corners.size()));
        GetFaceVertices(f, ring);
        corners.insert(corners.end(), ring.begin(), ring.end());
    }
    starts.push_back(static_cast<int>(corners.size()));
    std::vector<int> sources(corners);
    std::sort(sources.begin(), sources.end());
    sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
    std::vector<int> copies(sources.size(), -1);
    for (size_t k = 0; k < sources.size(); ++k)
    {
        // A copy: the destination may be this mesh, whose table can move.
        const KorVertex* v = GetVertex(sources[k]);
        const LumPoint p(v->X, v->Y, v->Z);
        copies[k] = destination.AddVertex(p);
    }
    for (int& v : corners)
        v = copies[static_cast<size_t>(std::lower_bound(sources.begin(), sources.end(), v) -
                                       sources.begin())];
    for (size_t k = 0; k < faces.size(); ++k)
    {
        ring.assign(corners.begin() + starts[k], corners.begin() + starts[k + 1]);
        const int face = destination.AddFace(ring);
        if (tracks && face >= 0)
            destination.mTracksOfFaces[face] = OriginOf(mTracksOfFaces, faces[k]);
    }
    return true;
}

// O(tracks size); the map's key order gives increasing face identifiers.
void KorMesh::GetNewFacesFrom(const int& origin, std::vector<int>& out) const
{
    out.clear();
    for (const auto& entry : mTracksOfFaces)
        if (entry.second == origin)
            out.push_back(entry.first);
}
