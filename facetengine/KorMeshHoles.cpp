#include "KorMesh.h"

#include <set>

// O(F + E) over the piece of the first live face, by fronts of faces; other
// pieces are not looked at. A missing twin is passed over.
bool KorMesh::IsClosed()
{
    int first = -1;
    for (int id = 0; id < GetFaceVectorSize() && first < 0; ++id)
        if (GetFace(id))
            first = id;
    if (first < 0)
        return false;

    std::vector<bool> visited(static_cast<size_t>(GetFaceVectorSize()), false);
    visited[static_cast<size_t>(first)] = true;
    std::vector<int> front{first}, next;
    std::vector<KorEdge*> edges;
    while (!front.empty())
    {
        next.clear();
        for (int id : front)
        {
            GetFaceEdges(GetFace(id), edges);
            for (const KorEdge* e : edges)
            {
                const KorEdge* twin = e ? GetEdge(e->Opp) : nullptr;
                if (!twin)
                    continue;
                if (!GetFace(twin->Face))
                    return false;
                if (!visited[static_cast<size_t>(twin->Face)])
                {
                    visited[static_cast<size_t>(twin->Face)] = true;
                    next.push_back(twin->Face);
                }
            }
        }
        front.swap(next);
    }
    return true;
}

// O(total ring length).
bool KorMesh::ContainsNULLSurface()
{
    for (int id = 0; id < GetFaceVectorSize(); ++id)
        if (const KorFace* f = GetFace(id))
            if (GetFaceSurface(f) < 1e-5)
                return true;
    return false;
}

// O(hole length · valence · log). Walks round the hole against the direction
// of its border half-edges: at each vertex the next half-edge is the border
// one arriving there. Every round marks one more half-edge, so the walk ends
// within the half-edge count; out ends with start a second time.
bool KorMesh::GetEdgesAlongHole(KorEdge* start, std::vector<KorEdge*>& out)
{
    if (!start || start->Face != -1)
        return false;
    out.clear();
    out.push_back(start);
    const int startId = start->ID;
    int current = startId;
    int vertex = start->Vertex;
    std::set<int> visited;
    std::vector<KorEdge*> around;
    for (bool firstRound = true;; firstRound = false)
    {
        if (!visited.insert(current).second)
            return true;
        const KorEdge* e = GetEdge(current);
        if (!firstRound)
        {
            const int previous = vertex;
            vertex = e->Vertex;
            if (vertex == previous)
            {
                const KorEdge* twin = GetEdge(e->Opp);
                if (!twin || twin->Vertex == previous)
                    return false;
                vertex = twin->Vertex;
            }
        }
        const KorVertex* v = GetVertex(vertex);
        if (!v)
            return false;
        GetEdgesAroundVertex(v, around);
        int chosen = -1;
        for (const KorEdge* leaving : around)
        {
            const KorEdge* candidate = leaving;
            if (leaving->Face != -1)
            {
                candidate = GetEdge(leaving->Opp);
                if (!candidate)
                    return false;
            }
            if (candidate->Face == -1 && candidate->ID != current)
            {
                chosen = candidate->ID;
                break;
            }
        }
        if (chosen < 0)
            return false;
        out.push_back(GetEdge(chosen));
        current = chosen;
    }
}

// O(E) to find the holes, plus one AddConcaveFace per hole. The hole's
// polygon ends with its first vertex again; AddFace drops the repeat and
// turns each new face onto the border half-edges.
bool KorMesh::CloseMesh()
{
    std::vector<KorEdge*> hole;
    for (int id = 0; id < GetEdgeVectorSize(); ++id)
    {
        KorEdge* e = GetEdge(id);
        if (!e || e->Face != -1)
            continue;
        if (!GetEdgesAlongHole(e, hole))
            return false;
        std::vector<int> polygon;
        polygon.reserve(hole.size());
        for (const KorEdge* h : hole)
            polygon.push_back(h->Vertex);
        if (AddConcaveFace(polygon, nullptr) < 0)
            return false;
    }
    return true;
}
