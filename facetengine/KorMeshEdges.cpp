#include "KorMesh.h"

#include "KorException.h"

#include <cstdint>
#include <string>
#include <utility>

namespace
{
// A duplicate check that walks more half-edges than this, while the edge index
// is allowed, builds it: ordinary meshes never reach it.
constexpr int kLongRing = 64;

// The index key of the pair of half-edges between two vertices, either way.
std::uint64_t PairKey(int a, int b)
{
    if (b < a)
        std::swap(a, b);
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}
} // namespace

// O(valence of a) for the duplicate check (O(1) once the edge index is
// built), O(1) otherwise. The new half-edge goes right after the vertex's
// current Edge in its Turn ring and becomes the vertex's Edge.
int KorMesh::AddEdge(KorVertex* a, KorVertex* b)
{
    if (!a || !b)
        return 0;
    if (a->ID == b->ID)
    {
        KorReport("KorMesh::AddEdge",
                  "Impossible to add an edge, the vertices are the same : " + std::to_string(a->ID));
        return 0;
    }
    int walked = 0;
    const KorEdge* existing = mEdgeIndex ? GetEdgeBetween(a, b) : WalkToEdge(a, b, walked);
    if (mEdgeIndexAllowed && walked > kLongRing)
        BuildEdgeIndex();
    if (existing)
        return existing->ID;

    const int aId = a->ID;
    const int bId = b->ID;
    const int h1Id = mEdges.Add()->ID;
    const int h2Id = mEdges.Add()->ID;
    // Looked up again: the second Add may have moved the first.
    KorEdge* h1 = mEdges.Get(h1Id);
    KorEdge* h2 = mEdges.Get(h2Id);

    const auto attach = [this](KorEdge* h, KorVertex* v, int twin)
    {
        h->Vertex = v->ID;
        h->Opp = twin;
        if (KorEdge* g = mEdges.Get(v->Edge))
        {
            h->Turn = g->Turn;
            g->Turn = h->ID;
        }
        else
            h->Turn = h->ID;
        v->Edge = h->ID;
    };
    attach(h1, mVertices.Get(aId), h2Id);
    attach(h2, mVertices.Get(bId), h1Id);
    if (mEdgeIndex)
        (*mEdgeIndex)[PairKey(aId, bId)] = aId < bId ? h1Id : h2Id;
    SetModified();
    return h1Id;
}

// The faces on both sides go first, then each half-edge is taken out of its
// origin's Turn ring (O(valence)). Vertices left alone are deleted last, when
// asked, so that no ring is walked through a vertex being deleted.
void KorMesh::DeleteEdge(const int& edgeId, bool deleteLonelyVertices)
{
    // A copy: callers pass fields such as vertex->Edge, which the unlinking resets.
    const int id = edgeId;
    KorEdge* e = mEdges.Get(id);
    if (!e)
        return;
    const int twinId = e->Opp;
    std::vector<int> lonely;
    if (mEdgeIndex)
        if (const KorEdge* twin = mEdges.Get(twinId))
        {
            // Only the entry of this very pair: a broken twin link must not
            // take another pair's entry with it.
            const auto it = mEdgeIndex->find(PairKey(e->Vertex, twin->Vertex));
            if (it != mEdgeIndex->end() && (it->second == id || it->second == twinId))
                mEdgeIndex->erase(it);
        }

    const auto unlink = [this, deleteLonelyVertices, &lonely](int hId)
    {
        KorEdge* h = mEdges.Get(hId);
        if (!h)
            return;
        if (mFaces.Get(h->Face))
            DeleteFace(h->Face, false);
        KorVertex* v = mVertices.Get(h->Vertex);
        if (!v)
            return;
        // The ring holds at most every half-edge; the bound stops a ring that
        // was broken from outside instead of looping.
        KorEdge* g = mEdges.Get(v->Edge);
        for (int steps = mEdges.GetVectorSize(); g && g->Turn != hId && steps > 0; --steps)
            g = mEdges.Get(g->Turn);
        if (!g || g->Turn != hId)
            return;
        g->Turn = h->Turn;
        h->Turn = -1;
        if (v->Edge == hId)
        {
            if (g->ID == hId)
            {
                v->Edge = -1;
                if (deleteLonelyVertices)
                    lonely.push_back(v->ID);
            }
            else
                v->Edge = g->ID;
        }
    };

    unlink(id);
    if (twinId != id && mEdges.Get(twinId))
    {
        unlink(twinId);
        mEdges.DeleteItem(twinId);
    }
    mEdges.DeleteItem(id);
    for (int v : lonely)
        DeleteVertex(v);
    SetModified();
}

bool KorMesh::GetEdgePoints(const KorEdge* e, LumPoint& first, LumPoint& second) const
{
    if (!e)
        return false;
    const KorEdge* twin = mEdges.Get(e->Opp);
    if (!twin)
        return false;
    const KorVertex* a = mVertices.Get(e->Vertex);
    const KorVertex* b = mVertices.Get(twin->Vertex);
    if (!a || !b)
        return false;
    first.Define(a->X, a->Y, a->Z);
    second.Define(b->X, b->Y, b->Z);
    return true;
}

bool KorMesh::GetEdgePoints(const KorEdge* e, int& first, int& second) const
{
    if (!e)
        return false;
    const KorEdge* twin = mEdges.Get(e->Opp);
    if (!twin)
        return false;
    first = e->Vertex;
    second = twin->Vertex;
    return true;
}

void KorMesh::GetAllEdges(std::vector<KorEdge*>& out)
{
    out.clear();
    out.reserve(static_cast<size_t>(mEdges.GetNumberOfItems()));
    for (int i = 0; i < mEdges.GetVectorSize(); ++i)
        if (KorEdge* e = mEdges.Get(i))
            out.push_back(e);
}

KorEdge* KorMesh::GetEdgeBetween(const KorVertex* a, const KorVertex* b)
{
    return const_cast<KorEdge*>(static_cast<const KorMesh*>(this)->GetEdgeBetween(a, b));
}

// O(valence of a), O(1) once the edge index is built.
const KorEdge* KorMesh::GetEdgeBetween(const KorVertex* a, const KorVertex* b) const
{
    if (!a || !b)
        return nullptr;
    if (mEdgeIndex)
    {
        const auto it = mEdgeIndex->find(PairKey(a->ID, b->ID));
        if (it == mEdgeIndex->end())
            return nullptr;
        const KorEdge* e = mEdges.Get(it->second);
        return e && e->Vertex != a->ID ? mEdges.Get(e->Opp) : e;
    }
    int steps = 0;
    return WalkToEdge(a, b, steps);
}

const KorEdge* KorMesh::WalkToEdge(const KorVertex* a, const KorVertex* b, int& steps) const
{
    steps = 0;
    if (!a || !b)
        return nullptr;
    const KorEdge* first = mEdges.Get(a->Edge);
    const KorEdge* e = first;
    for (int left = mEdges.GetVectorSize(); e && left > 0; --left)
    {
        ++steps;
        const KorEdge* twin = mEdges.Get(e->Opp);
        if (twin && twin->Vertex == b->ID)
            return e;
        e = mEdges.Get(e->Turn);
        if (e == first)
            break;
    }
    return nullptr;
}

void KorMesh::AllowEdgeIndex(bool allow)
{
    mEdgeIndexAllowed = allow;
    if (!allow)
        mEdgeIndex.reset();
}

// O(E) for E half-edges.
void KorMesh::BuildEdgeIndex()
{
    mEdgeIndex = std::make_unique<std::unordered_map<std::uint64_t, int>>();
    mEdgeIndex->reserve(static_cast<size_t>(mEdges.GetNumberOfItems()));
    for (int i = 0; i < mEdges.GetVectorSize(); ++i)
    {
        const KorEdge* e = mEdges.Get(i);
        const KorEdge* twin = e ? mEdges.Get(e->Opp) : nullptr;
        if (twin && e->Vertex < twin->Vertex)
            (*mEdgeIndex)[PairKey(e->Vertex, twin->Vertex)] = i;
    }
}

// O(valence). Stops when the ring comes back to its start, meets a missing
// half-edge, or has gone through as many half-edges as the table holds.
void KorMesh::GetEdgesAroundVertex(const KorVertex* v, std::vector<KorEdge*>& out)
{
    out.clear();
    if (!v)
        return;
    KorEdge* first = mEdges.Get(v->Edge);
    KorEdge* e = first;
    for (int steps = mEdges.GetVectorSize(); e && steps > 0; --steps)
    {
        out.push_back(e);
        e = mEdges.Get(e->Turn);
        if (e == first)
            break;
    }
}

// The same walk as GetEdgesAroundVertex, without the intermediate list.
void KorMesh::GetFacesAroundVertex(const KorVertex* v, std::vector<KorFace*>& out)
{
    out.clear();
    if (v)
        ForFacesAround(v, [&out](KorFace* f) { out.push_back(f); });
}
