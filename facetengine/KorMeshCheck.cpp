#include "KorMeshCheck.h"

#include "KorMesh.h"
#include "KorParallel.h"

#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace
{
std::string Id(int id)
{
    return std::to_string(id);
}

// Every link names a live element, twins are paired, and Face and Next are
// either both set or both -1. The ring walks below rely on this.
bool LinksAreLive(const KorMesh& mesh, std::string& reason)
{
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
    {
        const KorVertex* v = mesh.GetVertex(id);
        if (v != nullptr && v->Edge != -1 && mesh.GetEdge(v->Edge) == nullptr)
        {
            reason = "the vertex " + Id(id) + " links to a missing half-edge";
            return false;
        }
    }
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = mesh.GetFace(id);
        if (f != nullptr && mesh.GetEdge(f->Edge) == nullptr)
        {
            reason = "the face " + Id(id) + " links to a missing half-edge";
            return false;
        }
    }
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* e = mesh.GetEdge(id);
        if (e == nullptr)
            continue;
        const KorEdge* twin = mesh.GetEdge(e->Opp);
        if (mesh.GetVertex(e->Vertex) == nullptr)
            reason = "the half-edge " + Id(id) + " has no live origin vertex";
        else if (mesh.GetEdge(e->Turn) == nullptr)
            reason = "the half-edge " + Id(id) + " has a Turn link to a missing half-edge";
        else if (twin == nullptr || twin->Opp != id || twin->Vertex == e->Vertex)
            reason = "the half-edge " + Id(id) + " and its twin are not paired";
        else if (e->Face == -1 ? e->Next != -1
                               : mesh.GetFace(e->Face) == nullptr || mesh.GetEdge(e->Next) == nullptr)
            reason = "the half-edge " + Id(id) + " has a Face or Next link to a missing element";
        else
            continue;
        return false;
    }
    return true;
}

// Walks each face's ring once; a half-edge met twice, or one of another
// face, means the ring does not close where it should.
bool FaceRingsAreSound(const KorMesh& mesh, std::string& reason)
{
    const int edges = mesh.GetEdgeVectorSize();
    std::vector<int> ringOf(static_cast<size_t>(edges), -1);
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = mesh.GetFace(id);
        if (f == nullptr)
            continue;
        int h = f->Edge;
        int length = 0;
        do
        {
            const KorEdge* e = mesh.GetEdge(h);
            if (e->Face != id || ringOf[static_cast<size_t>(h)] != -1)
            {
                reason = "the ring of the face " + Id(id) + " does not close";
                return false;
            }
            ringOf[static_cast<size_t>(h)] = id;
            ++length;
            if (mesh.GetEdge(e->Next)->Vertex != mesh.GetEdge(e->Opp)->Vertex)
            {
                reason = "the ring of the face " + Id(id) + " is broken after the half-edge " + Id(h);
                return false;
            }
            h = e->Next;
        } while (h != f->Edge);
        if (length < 3)
        {
            reason = "the face " + Id(id) + " has a ring of " + Id(length) + " half-edge(s)";
            return false;
        }
    }
    for (int id = 0; id < edges; ++id)
    {
        const KorEdge* e = mesh.GetEdge(id);
        if (e != nullptr && e->Face != -1 && ringOf[static_cast<size_t>(id)] != e->Face)
        {
            reason = "the half-edge " + Id(id) + " is not in the ring of its face " + Id(e->Face);
            return false;
        }
    }
    return true;
}

// Walks each vertex's Turn ring once; together the rings must hold every
// half-edge, and no ring may reach the same vertex twice.
bool TurnRingsAreSound(const KorMesh& mesh, std::string& reason)
{
    const int vertices = mesh.GetVertexVectorSize();
    const int edges = mesh.GetEdgeVectorSize();
    std::vector<int> ringOf(static_cast<size_t>(edges), -1);
    std::vector<int> reachedFrom(static_cast<size_t>(vertices), -1);
    for (int id = 0; id < vertices; ++id)
    {
        const KorVertex* v = mesh.GetVertex(id);
        if (v == nullptr || v->Edge == -1)
            continue;
        int h = v->Edge;
        do
        {
            const KorEdge* e = mesh.GetEdge(h);
            if (e->Vertex != id || ringOf[static_cast<size_t>(h)] != -1)
            {
                reason = "the Turn ring of the vertex " + Id(id) + " does not close around it";
                return false;
            }
            ringOf[static_cast<size_t>(h)] = id;
            const int to = mesh.GetEdge(e->Opp)->Vertex;
            if (reachedFrom[static_cast<size_t>(to)] == id)
            {
                reason = "two half-edges run from the vertex " + Id(id) + " to the vertex " + Id(to);
                return false;
            }
            reachedFrom[static_cast<size_t>(to)] = id;
            h = e->Turn;
        } while (h != v->Edge);
    }
    for (int id = 0; id < edges; ++id)
        if (mesh.GetEdge(id) != nullptr && ringOf[static_cast<size_t>(id)] == -1)
        {
            reason = "the half-edge " + Id(id) + " is in no Turn ring of its origin vertex";
            return false;
        }
    return true;
}
// Meshes from this many half-edge slots are first checked side by side.
const int kCheckedSideBySide = 1 << 17;
const int kThreads = 4;

// Slice k of [0, n) out of kThreads.
std::pair<int, int> Slice(int n, int k)
{
    return {RangeBegin(n, kThreads, k), RangeBegin(n, kThreads, k + 1)};
}

// The same conditions as the three checks above, tested on several threads:
// true only when they all hold. Ring walks mark the half-edges they pass
// with an atomic exchange, so a half-edge that two walks reach is seen by
// the second, whichever it is; each thread keeps its own record of the
// vertices its current ring reaches. Says nothing of which fault comes
// first: a mesh it refuses is checked again in order for its reason.
bool LinksAreSoundSideBySide(const KorMesh& mesh)
{
    const int vertices = mesh.GetVertexVectorSize();
    const int edges = mesh.GetEdgeVectorSize();
    const int faces = mesh.GetFaceVectorSize();
    std::atomic<bool> sound{true};
    RunEach(kThreads,
        [&](int k)
        {
            // The links name live elements (LinksAreLive, by slices).
            for (auto [id, end] = Slice(vertices, k); id < end && sound.load(std::memory_order_relaxed); ++id)
            {
                const KorVertex* v = mesh.GetVertex(id);
                if (v != nullptr && v->Edge != -1 && mesh.GetEdge(v->Edge) == nullptr)
                    sound = false;
            }
            for (auto [id, end] = Slice(faces, k); id < end && sound.load(std::memory_order_relaxed); ++id)
            {
                const KorFace* f = mesh.GetFace(id);
                if (f != nullptr && mesh.GetEdge(f->Edge) == nullptr)
                    sound = false;
            }
            for (auto [id, end] = Slice(edges, k); id < end && sound.load(std::memory_order_relaxed); ++id)
            {
                const KorEdge* e = mesh.GetEdge(id);
                if (e == nullptr)
                    continue;
                const KorEdge* twin = mesh.GetEdge(e->Opp);
                if (mesh.GetVertex(e->Vertex) == nullptr || mesh.GetEdge(e->Turn) == nullptr || twin == nullptr ||
                    twin->Opp != id || twin->Vertex == e->Vertex ||
                    (e->Face == -1 ? e->Next != -1
                                   : mesh.GetFace(e->Face) == nullptr || mesh.GetEdge(e->Next) == nullptr))
                    sound = false;
            }
        });
    if (!sound)
        return false;

    std::unique_ptr<std::atomic<int>[]> faceOf(new std::atomic<int>[static_cast<size_t>(edges)]);
    std::unique_ptr<std::atomic<int>[]> originOf(new std::atomic<int>[static_cast<size_t>(edges)]);
    RunEach(kThreads,
        [&](int k)
        {
            for (auto [id, end] = Slice(edges, k); id < end; ++id)
            {
                faceOf[static_cast<size_t>(id)].store(-1, std::memory_order_relaxed);
                originOf[static_cast<size_t>(id)].store(-1, std::memory_order_relaxed);
            }
        });
    RunEach(kThreads,
        [&](int k)
        {
            // Face rings (FaceRingsAreSound).
            for (auto [id, end] = Slice(faces, k); id < end && sound.load(std::memory_order_relaxed); ++id)
            {
                const KorFace* f = mesh.GetFace(id);
                if (f == nullptr)
                    continue;
                int h = f->Edge;
                int length = 0;
                do
                {
                    const KorEdge* e = mesh.GetEdge(h);
                    int unmarked = -1;
                    if (e->Face != id || !faceOf[static_cast<size_t>(h)].compare_exchange_strong(unmarked, id) ||
                        mesh.GetEdge(e->Next)->Vertex != mesh.GetEdge(e->Opp)->Vertex)
                    {
                        sound = false;
                        break;
                    }
                    ++length;
                    h = e->Next;
                } while (h != f->Edge);
                if (length < 3)
                    sound = false;
            }
            // Turn rings (TurnRingsAreSound). Short of memory, the mesh is
            // left to the checks in order.
            std::vector<int> reachedFrom;
            try
            {
                reachedFrom.assign(static_cast<size_t>(vertices), -1);
            }
            catch (const std::bad_alloc&)
            {
                sound = false;
            }
            for (auto [id, end] = Slice(vertices, k); id < end && sound.load(std::memory_order_relaxed); ++id)
            {
                const KorVertex* v = mesh.GetVertex(id);
                if (v == nullptr || v->Edge == -1)
                    continue;
                int h = v->Edge;
                do
                {
                    const KorEdge* e = mesh.GetEdge(h);
                    int unmarked = -1;
                    const int to = mesh.GetEdge(e->Opp)->Vertex;
                    if (e->Vertex != id || !originOf[static_cast<size_t>(h)].compare_exchange_strong(unmarked, id) ||
                        reachedFrom[static_cast<size_t>(to)] == id)
                    {
                        sound = false;
                        break;
                    }
                    reachedFrom[static_cast<size_t>(to)] = id;
                    h = e->Turn;
                } while (h != v->Edge);
            }
        });
    if (!sound)
        return false;
    RunEach(kThreads,
        [&](int k)
        {
            for (auto [id, end] = Slice(edges, k); id < end; ++id)
            {
                const KorEdge* e = mesh.GetEdge(id);
                if (e != nullptr &&
                    ((e->Face != -1 && faceOf[static_cast<size_t>(id)].load(std::memory_order_relaxed) != e->Face) ||
                     originOf[static_cast<size_t>(id)].load(std::memory_order_relaxed) == -1))
                    sound = false;
            }
        });
    return sound;
}
} // namespace

bool KorMeshLinksAreSound(const KorMesh& mesh, std::string& reason)
{
    // A large mesh is first checked side by side; the checks in order give
    // the reason of one it refuses.
    if (mesh.GetEdgeVectorSize() >= kCheckedSideBySide && LinksAreSoundSideBySide(mesh))
        return true;
    return LinksAreLive(mesh, reason) && FaceRingsAreSound(mesh, reason) && TurnRingsAreSound(mesh, reason);
}
