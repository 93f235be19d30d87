#include "KorMesh.h"

#include "KorException.h"

#include <algorithm>
#include <string>

namespace
{
void SortUnique(std::vector<int>& ids)
{
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

// Identifier -> position in a sorted list, over the slots of a large mesh:
// kept between calls and cleared entry by entry, so that a small copy out of
// a large mesh costs its own size.
class SparseIndex
{
public:
    void Fill(const std::vector<int>& sorted, int slots)
    {
        if (mPosition.size() < static_cast<size_t>(slots))
            mPosition.resize(static_cast<size_t>(slots), -1);
        mKeys = &sorted;
        for (size_t k = 0; k < sorted.size(); ++k)
            mPosition[static_cast<size_t>(sorted[k])] = static_cast<int>(k);
    }
    int operator()(int id) const
    {
        return id < 0 || static_cast<size_t>(id) >= mPosition.size() ? -1
                                                                     : mPosition[static_cast<size_t>(id)];
    }
    // Marks id as held, with no position; false when it already was. The
    // marks are cleared with the list the index was filled with.
    bool Mark(int id)
    {
        int& position = mPosition[static_cast<size_t>(id)];
        if (position != -1)
            return false;
        position = -2;
        mMarked.push_back(id);
        return true;
    }
    void Clear()
    {
        if (mKeys)
            for (int id : *mKeys)
                mPosition[static_cast<size_t>(id)] = -1;
        for (int id : mMarked)
            mPosition[static_cast<size_t>(id)] = -1;
        mMarked.clear();
        mKeys = nullptr;
    }

private:
    std::vector<int> mPosition;
    std::vector<int> mMarked;
    const std::vector<int>* mKeys = nullptr;
};
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
    // The rings' half-edges come in order where the faces were built in
    // bulk (a face's ring follows its identifier); only the twins across the
    // copy's border then need sorting, and the vertices, once each.
    thread_local SparseIndex edgeOf, vertexOf, faceOf;
    std::vector<int> ring, twins;
    for (int id : sources.Faces)
    {
        const KorFace* f = GetFace(id);
        if (!f || !GetFaceRing(f, ring))
        {
            KorReport("KorMesh::CopyFacesInOrder", "Missing face or broken ring " + std::to_string(id));
            sources = sCopySources();
            return false;
        }
        sources.Edges.insert(sources.Edges.end(), ring.begin(), ring.end());
    }
    if (!std::is_sorted(sources.Edges.begin(), sources.Edges.end()))
        SortUnique(sources.Edges);
    edgeOf.Fill(sources.Edges, GetEdgeVectorSize());
    vertexOf.Fill(sources.Vertices, GetVertexVectorSize());
    for (int e : sources.Edges)
    {
        const KorEdge* edge = GetEdge(e);
        if (edgeOf(edge->Opp) < 0)
            twins.push_back(edge->Opp);
        if (vertexOf.Mark(edge->Vertex))
            sources.Vertices.push_back(edge->Vertex);
    }
    edgeOf.Clear();
    vertexOf.Clear();
    SortUnique(twins);
    // A twin leads to its own origin, which a copied ring also holds.
    for (int e : twins)
        if (!GetEdge(e))
        {
            KorReport("KorMesh::CopyFacesInOrder", "Missing twin half-edge " + std::to_string(e));
            sources = sCopySources();
            return false;
        }
    std::vector<int> edges(sources.Edges.size() + twins.size());
    std::merge(sources.Edges.begin(), sources.Edges.end(), twins.begin(), twins.end(), edges.begin());
    sources.Edges.swap(edges);
    std::sort(sources.Vertices.begin(), sources.Vertices.end());

    edgeOf.Fill(sources.Edges, GetEdgeVectorSize());
    vertexOf.Fill(sources.Vertices, GetVertexVectorSize());
    faceOf.Fill(sources.Faces, GetFaceVectorSize());
    // The first half-edge of a Turn ring from id on that the copy holds.
    const auto heldFrom = [&](int id)
    {
        int e = id;
        for (int steps = 0; e >= 0 && steps <= GetEdgeVectorSize(); ++steps)
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

    // A record copied whole into the table's next slot, which keeps its own
    // identifier; the links are mapped after.
    const auto copyInto = [](auto& table, const auto& record)
    {
        auto* copy = table.Add();
        const int id = copy->ID;
        *copy = record;
        copy->ID = id;
        return copy;
    };
    destination.mVertices.Reserve(sources.Vertices.size());
    for (int id : sources.Vertices)
    {
        KorVertex* v = copyInto(destination.mVertices, *GetVertex(id));
        v->Edge = heldFrom(v->Edge);
    }
    destination.mEdges.Reserve(sources.Edges.size());
    for (int id : sources.Edges)
    {
        const KorEdge* from = GetEdge(id);
        KorEdge* e = copyInto(destination.mEdges, *from);
        e->Vertex = vertexOf(from->Vertex);
        e->Opp = edgeOf(from->Opp);
        e->Face = from->Face < 0 ? -1 : faceOf(from->Face);
        e->Next = e->Face < 0 ? -1 : edgeOf(from->Next);
        e->Turn = heldFrom(from->Turn);
    }
    destination.mFaces.Reserve(sources.Faces.size());
    for (int id : sources.Faces)
    {
        KorFace* f = copyInto(destination.mFaces, *GetFace(id));
        f->Edge = edgeOf(f->Edge);
    }
    edgeOf.Clear();
    vertexOf.Clear();
    faceOf.Clear();
    destination.SetModified();
    return true;
}
