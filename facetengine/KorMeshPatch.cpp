#include "KorMesh.h"

#include <algorithm>

namespace
{
// The position of id in the sorted list, or -1.
int IndexIn(const std::vector<int>& sorted, int id)
{
    const auto it = std::lower_bound(sorted.begin(), sorted.end(), id);
    return it != sorted.end() && *it == id ? static_cast<int>(it - sorted.begin()) : -1;
}

void SortUnique(std::vector<int>& ids)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}
} // namespace

bool KorMesh::CopyFacesInOrder(const std::vector<int>& faces, KorMesh& destination,
                               sCopySources& sources) const
{
    destination.Clear();
    destination.mTracksOfFaces.clear();
    destination.mFlipFaces = mFlipFaces;
    sources.Faces = faces;
    SortUnique(sources.Faces);
    sources.Edges.clear();
    sources.Vertices.clear();
    std::vector<int> ring;
    for (int id : sources.Faces)
    {
        const KorFace* f = GetFace(id);
        if (!f || !GetFaceRing(f, ring))
        {
            sources = sCopySources();
            return false;
        }
        for (int e : ring)
        {
            const KorEdge* edge = GetEdge(e);
            sources.Edges.push_back(e);
            sources.Edges.push_back(edge->Opp);
            sources.Vertices.push_back(edge->Vertex);
        }
    }
    SortUnique(sources.Edges);
    SortUnique(sources.Vertices);
    // A twin leads to its own origin, which a copied ring also holds.
    for (int e : sources.Edges)
        if (!GetEdge(e))
        {
            sources = sCopySources();
            return false;
        }

    const auto edgeOf = [&sources](int id) { return id < 0 ? -1 : IndexIn(sources.Edges, id); };
    // The first half-edge of a Turn ring from id on that the copy holds.
    const auto heldFrom = [&](int id)
    {
        int e = id;
        for (size_t steps = 0; e >= 0 && steps <= sources.Edges.size(); ++steps)
        {
            if (edgeOf(e) >= 0)
                return edgeOf(e);
            const KorEdge* edge = GetEdge(e);
            e = edge ? edge->Turn : -1;
            if (e == id)
                break;
        }
        return -1;
    };

    destination.mVertices.Reserve(sources.Vertices.size());
    for (int id : sources.Vertices)
    {
        KorVertex* v = destination.mVertices.Add();
        const int copied = v->ID;
        *v = *GetVertex(id);
        v->ID = copied;
        v->Edge = heldFrom(v->Edge);
    }
    destination.mEdges.Reserve(sources.Edges.size());
    for (int id : sources.Edges)
    {
        const KorEdge* from = GetEdge(id);
        KorEdge* e = destination.mEdges.Add();
        const int copied = e->ID;
        *e = *from;
        e->ID = copied;
        e->Vertex = IndexIn(sources.Vertices, from->Vertex);
        e->Opp = edgeOf(from->Opp);
        e->Face = from->Face < 0 ? -1 : IndexIn(sources.Faces, from->Face);
        e->Next = e->Face < 0 ? -1 : edgeOf(from->Next);
        e->Turn = heldFrom(from->Turn);
    }
    destination.mFaces.Reserve(sources.Faces.size());
    for (int id : sources.Faces)
    {
        KorFace* f = destination.mFaces.Add();
        const int copied = f->ID;
        *f = *GetFace(id);
        f->ID = copied;
        f->Edge = edgeOf(f->Edge);
    }
    destination.SetModified();
    return true;
}
