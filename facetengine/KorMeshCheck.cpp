#include "KorMeshCheck.h"

#include "KorMesh.h"

#include <vector>

namespace
{
bool LiveEdge(KorMesh& mesh, int id)
{
    return mesh.GetEdge(id) != nullptr;
}

// A link field f (Next or Turn) forms closed rings when it is injective and
// every half-edge it reaches has the field set too: a map of a finite set
// into itself that is injective is a permutation, whose orbits are cycles.
template <typename Field>
bool LinksFormRings(KorMesh& mesh, Field field, bool sameOrigin, std::string& reason, const char* name)
{
    const int edges = mesh.GetEdgeVectorSize();
    std::vector<unsigned char> reached(static_cast<size_t>(edges), 0);
    for (int id = 0; id < edges; ++id)
    {
        KorEdge* e = mesh.GetEdge(id);
        if (e == nullptr || field(*e) == -1)
            continue;
        KorEdge* to = mesh.GetEdge(field(*e));
        if (to == nullptr)
        {
            reason = std::string("the half-edge ") + std::to_string(id) + " has a " + name +
                     " link to a missing half-edge";
            return false;
        }
        if (field(*to) == -1 || reached[field(*e)]++ != 0 || (sameOrigin && to->Vertex != e->Vertex))
        {
            reason = std::string("the ") + name + " ring through the half-edge " + std::to_string(id) +
                     " does not close";
            return false;
        }
    }
    return true;
}
} // namespace

bool KorMeshLinksAreSound(KorMesh& mesh, std::string& reason)
{
    const int vertices = mesh.GetVertexVectorSize();
    for (int id = 0; id < vertices; ++id)
    {
        KorVertex* v = mesh.GetVertex(id);
        if (v != nullptr && v->Edge != -1 && !LiveEdge(mesh, v->Edge))
        {
            reason = "the vertex " + std::to_string(id) + " links to a missing half-edge";
            return false;
        }
    }
    const int faces = mesh.GetFaceVectorSize();
    for (int id = 0; id < faces; ++id)
    {
        KorFace* f = mesh.GetFace(id);
        if (f != nullptr && f->Edge != -1 && !LiveEdge(mesh, f->Edge))
        {
            reason = "the face " + std::to_string(id) + " links to a missing half-edge";
            return false;
        }
    }
    const int edges = mesh.GetEdgeVectorSize();
    for (int id = 0; id < edges; ++id)
    {
        KorEdge* e = mesh.GetEdge(id);
        if (e == nullptr)
            continue;
        if (mesh.GetVertex(e->Vertex) == nullptr)
        {
            reason = "the half-edge " + std::to_string(id) + " has no live origin vertex";
            return false;
        }
        if ((e->Face != -1 && mesh.GetFace(e->Face) == nullptr) || (e->Opp != -1 && !LiveEdge(mesh, e->Opp)))
        {
            reason = "the half-edge " + std::to_string(id) + " links to a missing element";
            return false;
        }
    }
    return LinksFormRings(
               mesh, [](const KorEdge& e) { return e.Next; }, false, reason, "Next") &&
           LinksFormRings(
               mesh, [](const KorEdge& e) { return e.Turn; }, true, reason, "Turn");
}
