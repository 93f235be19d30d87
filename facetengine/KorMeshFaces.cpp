#include "KorMesh.h"

#include "KorException.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <string>

namespace
{
// Per-thread buffers reused by the identifier forms of AddFace, so adding a
// face allocates nothing once they have grown to the largest face seen. No
// call made while they are in use comes back into AddFace.
struct FaceScratch
{
    std::vector<int> ids;
    std::vector<int> edgeIds;
    std::vector<KorEdge*> ring;
};

FaceScratch& Scratch()
{
    thread_local FaceScratch scratch;
    return scratch;
}
} // namespace

int KorMesh::AddFace(int count, ...)
{
    std::vector<int>& ids = Scratch().ids;
    ids.clear();
    if (count > 0)
    {
        ids.reserve(static_cast<size_t>(count));
        va_list args;
        va_start(args, count);
        for (int i = 0; i < count; ++i)
            ids.push_back(va_arg(args, int));
        va_end(args);
    }
    return AddFace(ids);
}

// O(n · valence) for n identifiers. Repeats of the previous identifier or of
// the first one are skipped, so (a, b, b, c) and (a, b, c, a) both give the
// triangle a, b, c. The half-edges created before a refusal stay as borders.
int KorMesh::AddFace(const std::vector<int>& ids)
{
    if (ids.size() < 3)
    {
        KorReport("KorMesh::AddFace", "Impossible to add a face with less than 3 vertices");
        return -1;
    }
    const int firstId = ids[0];
    if (!mVertices.Get(firstId))
        return -1;

    FaceScratch& scratch = Scratch();
    std::vector<int>& edgeIds = scratch.edgeIds;
    edgeIds.clear();
    int previousId = firstId;
    for (size_t i = 1; i < ids.size(); ++i)
    {
        const int id = ids[i];
        if (id == previousId || id == firstId)
            continue;
        if (!mVertices.Get(id))
            return -1;
        edgeIds.push_back(AddEdge(mVertices.Get(previousId), mVertices.Get(id)));
        previousId = id;
    }
    // With every identifier skipped there is no edge to close: 0, as AddEdge
    // answers for an impossible edge; the ring is refused below.
    edgeIds.push_back(previousId == firstId ? 0 : AddEdge(mVertices.Get(previousId), mVertices.Get(firstId)));

    // Pointers only now: each AddEdge may have moved the half-edge table.
    std::vector<KorEdge*>& ring = scratch.ring;
    ring.clear();
    for (int id : edgeIds)
    {
        KorEdge* e = mEdges.Get(id);
        if (!e)
        {
            KorReport("KorMesh::AddFace",
                      "Impossible to create all the vertices, creation of the face impossible");
            return -1;
        }
        ring.push_back(e);
    }
    return AddFace(ring);
}

namespace
{
// Pairwise for the usual small rings (no allocation), by sorting beyond.
bool HasRepeatedEdge(const std::vector<KorEdge*>& ring)
{
    const size_t n = ring.size();
    if (n <= 16)
    {
        for (size_t i = 1; i < n; ++i)
            for (size_t j = 0; j < i; ++j)
                if (ring[i] == ring[j])
                    return true;
        return false;
    }
    std::vector<const KorEdge*> sorted(ring.begin(), ring.end());
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}
} // namespace

// O(n) for a ring of n half-edges (O(n log n) beyond 16). When any half-edge of the ring
// already bounds a face, the face is built on the twins in reverse order so
// that it runs the other way round, consistently with its neighbours. The ring
// is trusted to be continuous (each half-edge ends where the next begins).
int KorMesh::AddFace(std::vector<KorEdge*>& ring)
{
    if (ring.size() < 3)
    {
        KorReport("KorMesh::AddFace", "Impossible to add a face with a vector with less than 3 edges");
        return -1;
    }
    const bool taken = std::any_of(ring.begin(), ring.end(), [](const KorEdge* e) { return e->Face != -1; });
    if (taken)
    {
        // Every twin is checked before the ring is touched: a refused ring
        // comes back to the caller as it was given.
        for (auto it = ring.rbegin(); it != ring.rend(); ++it)
        {
            const KorEdge* twin = mEdges.Get((*it)->Opp);
            if (!twin || twin->Face != -1)
            {
                KorReport("KorMesh::AddFace",
                          "Impossible to add a face with edges that are already attached to a face");
                return -1;
            }
        }
        for (KorEdge*& e : ring)
            e = mEdges.Get(e->Opp);
        std::reverse(ring.begin(), ring.end());
    }
    // A half-edge met twice would get two Next links, and the part of the
    // ring between its two visits would be cut off from the face.
    if (HasRepeatedEdge(ring))
    {
        KorReport("KorMesh::AddFace", "Impossible to add a face that runs twice along the same edge");
        return -1;
    }

    KorFace* face = mFaces.Add();
    face->Edge = ring[0]->ID;
    const int faceId = face->ID;
    for (size_t i = 0; i < ring.size(); ++i)
    {
        ring[i]->Face = faceId;
        ring[i]->Next = ring[(i + 1) % ring.size()]->ID;
    }
    SetModified();
    return faceId;
}

// O((|lineA| + |lineB|) · valence). Walks lineA and advances on lineB when
// its next vertex is nearer (by more than 1e-5) to the current vertex of
// lineA; the rest of lineB is fanned from the last vertex of lineA.
int KorMesh::AddFacesAlongLines(const std::vector<int>& lineA, const std::vector<int>& lineB)
{
    if (lineA.empty() || lineB.empty())
        return -1;
    const auto position = [this](int id, LumPoint& p)
    {
        const KorVertex* v = mVertices.Get(id);
        if (v)
            p.Define(v->X, v->Y, v->Z);
        return v != nullptr;
    };
    const size_t lastB = lineB.size() - 1;
    size_t j = 0;
    for (size_t i = 1; i < lineA.size(); ++i)
    {
        const size_t jNext = std::min(j + 1, lastB);
        LumPoint a, b, bNext;
        if (!position(lineA[i], a) || !position(lineB[j], b) || !position(lineB[jNext], bNext))
            return -1;
        if ((bNext - a).Norm() + 1e-5 <= (b - a).Norm())
        {
            if (AddFace(3, lineA[i - 1], lineB[j], lineB[jNext]) < 0)
                return -1;
            if (AddFace(3, lineA[i - 1], lineA[i], lineB[jNext]) < 0)
                return -1;
            j = jNext;
        }
        else if (AddFace(3, lineA[i - 1], lineA[i], lineB[j]) < 0)
            return -1;
    }
    SetModified();
    for (size_t k = j + 1; k <= lastB; ++k)
        if (AddFace(3, lineA.back(), lineB[k - 1], lineB[k]) < 0)
            return -1;
    return 1;
}

// O(ring length), plus the half-edge deletions when asked.
void KorMesh::DeleteFace(const int& faceId, bool deleteLonelyEdges)
{
    // A copy: callers pass fields such as edge->Face, which the walk resets.
    const int id = faceId;
    const KorFace* face = mFaces.Get(id);
    if (!face)
    {
        KorReport("KorMesh::DeleteFace",
                  "Impossible to find the face to delete with ID " + std::to_string(id));
        return;
    }
    std::vector<int> lonely;
    KorEdge* e = mEdges.Get(face->Edge);
    for (int steps = mEdges.GetVectorSize(); e && e->Face == id && steps > 0; --steps)
    {
        KorEdge* next = mEdges.Get(e->Next);
        e->Face = -1;
        e->Next = -1;
        if (deleteLonelyEdges)
        {
            const KorEdge* twin = mEdges.Get(e->Opp);
            if (!twin || twin->Face == -1)
                lonely.push_back(e->ID);
        }
        e = next;
    }
    mFaces.DeleteItem(id);
    SetModified();
    mTracksOfFaces.erase(id);
    for (int h : lonely)
        DeleteEdge(h, true);
}

bool KorMesh::GetFaceRing(const KorFace* f, std::vector<int>& ring) const
{
    ring.clear();
    if (!f)
        return false;
    const KorEdge* e0 = mEdges.Get(f->Edge);
    const KorEdge* e1 = e0 ? mEdges.Get(e0->Next) : nullptr;
    const KorEdge* e2 = e1 ? mEdges.Get(e1->Next) : nullptr;
    if (!e2)
        return false;
    ring.push_back(e0->ID);
    ring.push_back(e1->ID);
    ring.push_back(e2->ID);
    // No ring is longer than the table; the bound ends a ring broken from
    // outside instead of looping.
    const KorEdge* e = mEdges.Get(e2->Next);
    for (int steps = mEdges.GetVectorSize(); e && e != e0 && steps > 0; --steps)
    {
        ring.push_back(e->ID);
        e = mEdges.Get(e->Next);
    }
    return true;
}

// O(ring length). The mean of the unit normals of the fan triangles from the
// first vertex, so a concave polygon still gets its overall orientation;
// degenerate triangles (norm below 1e-5) are not counted. Computed once and
// kept: later edits and FlipFaces do not change a stored normal. A face with
// no proper triangle keeps (0, 0, 0) and recomputes on each call.
const LumPoint& KorMesh::GetNormal(KorFace* f)
{
    if (!f)
        return mNullPoint;
    if (!f->Normal.IsNull())
        return f->Normal;
    // Scratch kept per thread: the display meshes ask for every face.
    thread_local std::vector<int> ring;
    thread_local std::vector<LumPoint> points;
    if (!GetFaceRing(f, ring))
        return f->Normal;
    points.clear();
    for (size_t i = 0; i < ring.size(); ++i)
    {
        const KorVertex* v = mVertices.Get(mEdges.Get(ring[i])->Vertex);
        if (!v)
        {
            if (i < 3)
                return f->Normal;
            continue;
        }
        points.emplace_back(v->X, v->Y, v->Z);
    }
    const LumPoint& p0 = points[0];
    LumPoint sum = VectorialProduct(points[1] - p0, points[2] - points[1]);
    Normalize(sum);
    int count = sum.Norm() >= 1e-5 ? 1 : 0;
    for (size_t k = 3; k < points.size(); ++k)
    {
        LumPoint n = VectorialProduct(points[k - 1] - p0, points[k] - points[k - 1]);
        Normalize(n);
        if (n.Norm() >= 1e-5)
        {
            sum += n;
            ++count;
        }
    }
    if (count > 1)
        sum /= static_cast<double>(count);
    Normalize(sum);
    if (mFlipFaces)
        sum *= -1.0;
    f->Normal = sum;
    return f->Normal;
}

// O(ring length): the fan triangle from the first vertex with the largest
// area, so a thin first triangle does not spoil a plane computation.
void KorMesh::GetFaceTriangle(const KorFace* f, LumPoint& a, LumPoint& b, LumPoint& c) const
{
    thread_local std::vector<LumPoint> points;
    GetFacePoints(f, points);
    if (points.size() < 3)
        return;
    const LumPoint& p0 = points[0];
    a = p0;
    b = points[1];
    c = points[2];
    double best = VectorialProduct(b - p0, c - p0).Norm();
    for (size_t k = 3; k < points.size(); ++k)
    {
        const double area = VectorialProduct(points[k - 1] - p0, points[k] - p0).Norm();
        if (area > best)
        {
            best = area;
            b = points[k - 1];
            c = points[k];
        }
    }
}

void KorMesh::GetFacePoints(const KorFace* f, std::vector<LumPoint>& out) const
{
    out.clear();
    // A triangle of live corners, most faces, read without the ring's
    // scratch lists: the same three points in the same order.
    const KorEdge* e0 = f ? mEdges.Get(f->Edge) : nullptr;
    const KorEdge* e1 = e0 ? mEdges.Get(e0->Next) : nullptr;
    const KorEdge* e2 = e1 ? mEdges.Get(e1->Next) : nullptr;
    if (e2 && mEdges.Get(e2->Next) == e0)
    {
        const KorVertex* a = mVertices.Get(e0->Vertex);
        const KorVertex* b = mVertices.Get(e1->Vertex);
        const KorVertex* c = mVertices.Get(e2->Vertex);
        if (a && b && c)
        {
            out.reserve(3);
            out.emplace_back(a->X, a->Y, a->Z);
            out.emplace_back(b->X, b->Y, b->Z);
            out.emplace_back(c->X, c->Y, c->Z);
            return;
        }
    }
    // Scratch kept per thread: the walks over a mesh ask for the corners of
    // every face, and the allocations would cost more than the walk.
    thread_local std::vector<int> ids;
    GetFaceVertices(f, ids);
    out.reserve(ids.size());
    for (int id : ids)
    {
        const KorVertex* v = mVertices.Get(id);
        out.emplace_back(v->X, v->Y, v->Z);
    }
}

// Missing vertices are left out; the first three must exist.
void KorMesh::GetFaceVertices(const KorFace* f, std::vector<int>& out) const
{
    out.clear();
    thread_local std::vector<int> ring;
    if (!GetFaceRing(f, ring))
        return;
    for (size_t i = 0; i < ring.size(); ++i)
    {
        const int v = mEdges.Get(ring[i])->Vertex;
        if (mVertices.Get(v))
            out.push_back(v);
        else if (i < 3)
        {
            out.clear();
            return;
        }
    }
}

void KorMesh::GetFaceEdges(const KorFace* f, std::vector<KorEdge*>& out)
{
    out.clear();
    thread_local std::vector<int> ring;
    GetFaceRing(f, ring);
    out.reserve(ring.size());
    for (int id : ring)
        out.push_back(mEdges.Get(id));
}

// O(index): follows Next index times, so an index past the ring wraps round.
KorEdge* KorMesh::GetFaceEdge(const KorFace* f, const int& index)
{
    if (!f)
        return nullptr;
    KorEdge* e = mEdges.Get(f->Edge);
    for (int i = 0; e && i < index; ++i)
        e = mEdges.Get(e->Next);
    return e;
}

KorVertex* KorMesh::GetFaceVertex(const KorFace* f, const int& index)
{
    const KorEdge* e = GetFaceEdge(f, index);
    return e ? mVertices.Get(e->Vertex) : nullptr;
}

bool KorMesh::IsVertexOnFace(const KorFace* f, const int& vertexId) const
{
    if (!f)
        return false;
    const KorEdge* first = mEdges.Get(f->Edge);
    const KorEdge* e = first;
    for (int steps = mEdges.GetVectorSize(); e && steps > 0; --steps)
    {
        if (e->Vertex == vertexId)
            return true;
        e = mEdges.Get(e->Next);
        if (e == first)
            break;
    }
    return false;
}

bool KorMesh::AddTriangles(const std::vector<int>& corners, const std::vector<int>& twins)
{
    return AddTriangles(std::vector<int>(corners), std::vector<int>(twins));
}

bool KorMesh::AddTriangles(std::vector<int>&& corners, std::vector<int>&& twins)
{
    const auto refuse = [](const std::string& why)
    {
        KorReport("KorMesh::AddTriangles", why + " : nothing added");
        return false;
    };
    const size_t n = corners.size();
    if (n % 3 != 0 || twins.size() != n || n > static_cast<size_t>(INT32_MAX / 2))
        return refuse("The corners and twins do not describe whole triangles");
    if (mEdges.GetVectorSize() != 0 || mFaces.GetVectorSize() != 0)
        return refuse("The mesh already has half-edges or faces");
    const auto next = [](size_t h) { return h - h % 3 + (h % 3 + 1) % 3; };
    // The live vertices read in one pass: the corners name them in any order.
    const size_t slots = static_cast<size_t>(mVertices.GetVectorSize());
    // A table without a freed slot has every slot live: nothing to read.
    const bool allLive = mVertices.GetNumberOfFreeIDs() == 0;
    std::vector<char> live(allLive ? 0 : slots, 0);
    for (size_t v = 0; v < live.size(); ++v)
        live[v] = mVertices.Get(static_cast<int>(v)) != nullptr;
    // The inner half-edge of each border twin, in the order of the inner ones.
    // A link is checked from its lower end only, one random read per pair:
    // when every link from a lower to a higher index is mutual and the links
    // number twice the pairs, no third half-edge claims a twin.
    std::vector<int> borderOf;
    size_t linked = 0, pairs = 0;
    for (size_t t = 0; t < n; t += 3)
        for (size_t k = 0; k < 3; ++k)
        {
            const size_t h = t + k, hn = t + (k == 2 ? 0 : k + 1);
            const int a = corners[h], b = corners[hn];
            if (a < 0 || static_cast<size_t>(a) >= slots || (!allLive && !live[static_cast<size_t>(a)]) ||
                a == b)
                return refuse("Missing vertex or repeated corner in triangle " + std::to_string(t / 3));
            const int o = twins[h];
            if (o < 0)
            {
                borderOf.push_back(static_cast<int>(h));
                continue;
            }
            ++linked;
            const size_t u = static_cast<size_t>(o);
            if (u < h)
                continue;
            if (u >= n || twins[u] != static_cast<int>(h) || corners[u] != b || corners[next(u)] != a)
                return refuse("The twin of half-edge " + std::to_string(h) + " does not match it");
            ++pairs;
        }
    if (linked != 2 * pairs)
        return refuse("The twins of the half-edges are not mutual");
    std::vector<char>().swap(live);

    // The Turn rings in identifier order, closed from the last half-edge of
    // each vertex to its first, which becomes the vertex's Edge. Worked out
    // in plain arrays before any record is made, so that each half-edge is
    // written once, whole, in identifier order: the corners come in any
    // order, and a walk of the tables at random would miss the cache at
    // each step.
    const size_t total = n + borderOf.size();
    const auto origin = [&](size_t id) {
        return static_cast<size_t>(id < n ? corners[id]
                                          : corners[next(static_cast<size_t>(borderOf[id - n]))]);
    };
    std::vector<int> turn(total);
    {
        std::vector<int> first(slots, -1), last(slots, -1);
        for (size_t id = 0; id < total; ++id)
        {
            const size_t v = origin(id);
            if (last[v] < 0)
                first[v] = static_cast<int>(id);
            else
                turn[static_cast<size_t>(last[v])] = static_cast<int>(id);
            last[v] = static_cast<int>(id);
        }
        for (size_t v = 0; v < slots; ++v)
            if (last[v] >= 0)
            {
                turn[static_cast<size_t>(last[v])] = first[v];
                mVertices.Get(static_cast<int>(v))->Edge = first[v];
            }
    }

    mEdges.Reserve(total);
    int outer = static_cast<int>(n);
    for (size_t h = 0; h < n; ++h)
    {
        KorEdge* e = mEdges.Add();
        e->Vertex = corners[h];
        e->Face = static_cast<int>(h / 3);
        e->Next = static_cast<int>(next(h));
        e->Opp = twins[h] >= 0 ? twins[h] : outer++;
        e->Turn = turn[h];
    }
    for (size_t k = 0; k < borderOf.size(); ++k)
    {
        KorEdge* e = mEdges.Add();
        e->Vertex = static_cast<int>(origin(n + k));
        e->Opp = borderOf[k];
        e->Turn = turn[n + k];
    }
    // Spent before the faces are made: the peak is the mesh's own size.
    std::vector<int>().swap(turn);
    std::vector<int>().swap(borderOf);
    std::vector<int>().swap(corners);
    std::vector<int>().swap(twins);
    mFaces.Reserve(n / 3);
    for (size_t t = 0; t < n / 3; ++t)
        mFaces.Add()->Edge = static_cast<int>(3 * t);
    if (mEdgeIndex)
        BuildEdgeIndex();
    SetModified();
    return true;
}

bool KorMesh::GetClosedFaceRing(const KorFace* f, std::vector<const KorEdge*>& ring) const
{
    ring.clear();
    if (!f)
        return false;
    const KorEdge* first = mEdges.Get(f->Edge);
    const KorEdge* e = first;
    for (int steps = mEdges.GetVectorSize(); e && steps > 0; --steps)
    {
        ring.push_back(e);
        e = mEdges.Get(e->Next);
        if (e == first)
            break;
    }
    return e == first && ring.size() >= 3;
}
