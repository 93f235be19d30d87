#include "MeshChecker.h"

#include "KorMeshCheck.h"

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace
{
class Problems
{
public:
    template <class... Args> void Add(const Args&... args)
    {
        if (++mCount > 20)
            return;
        (mText << ... << args);
        mText << '\n';
    }
    ::testing::AssertionResult Result() const
    {
        if (mCount == 0)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << mCount << " mesh invariant(s) broken:\n" << mText.str();
    }

private:
    int mCount = 0;
    std::ostringstream mText;
};
} // namespace

::testing::AssertionResult CheckMesh(const KorMesh& mesh)
{
    Problems problems;
    const int nV = mesh.GetVertexVectorSize();
    const int nE = mesh.GetEdgeVectorSize();
    const int nF = mesh.GetFaceVectorSize();

    int liveV = 0, liveE = 0, liveF = 0;
    for (int i = 0; i < nV; ++i)
        if (const KorVertex* v = mesh.GetVertex(i))
        {
            ++liveV;
            if (v->ID != i)
                problems.Add("vertex slot ", i, " holds ID ", v->ID);
            if (v->Edge != -1 && !mesh.GetEdge(v->Edge))
                problems.Add("vertex ", i, " names missing half-edge ", v->Edge);
        }
    for (int i = 0; i < nF; ++i)
        if (const KorFace* f = mesh.GetFace(i))
        {
            ++liveF;
            if (f->ID != i)
                problems.Add("face slot ", i, " holds ID ", f->ID);
        }

    std::set<std::pair<int, int>> directed;
    for (int i = 0; i < nE; ++i)
    {
        const KorEdge* e = mesh.GetEdge(i);
        if (!e)
            continue;
        ++liveE;
        if (e->ID != i)
            problems.Add("half-edge slot ", i, " holds ID ", e->ID);
        if (!mesh.GetVertex(e->Vertex))
            problems.Add("half-edge ", i, " starts at missing vertex ", e->Vertex);
        if (!mesh.GetEdge(e->Turn))
            problems.Add("half-edge ", i, " has missing Turn ", e->Turn);
        const KorEdge* twin = mesh.GetEdge(e->Opp);
        if (!twin)
            problems.Add("half-edge ", i, " has missing twin ", e->Opp);
        else
        {
            if (twin->Opp != i)
                problems.Add("twins not mutual: ", i, ".Opp = ", e->Opp, " but ", e->Opp,
                             ".Opp = ", twin->Opp);
            if (twin->Vertex == e->Vertex)
                problems.Add("half-edge ", i, " and its twin both start at vertex ", e->Vertex);
            if (!directed.insert({e->Vertex, twin->Vertex}).second)
                problems.Add("two half-edges from vertex ", e->Vertex, " to vertex ", twin->Vertex);
        }
        if (e->Face == -1)
        {
            if (e->Next != -1)
                problems.Add("border half-edge ", i, " has Next ", e->Next);
        }
        else if (!mesh.GetFace(e->Face))
            problems.Add("half-edge ", i, " names missing face ", e->Face);
        else
        {
            const KorEdge* next = mesh.GetEdge(e->Next);
            if (!next)
                problems.Add("half-edge ", i, " of face ", e->Face, " has missing Next ", e->Next);
            else
            {
                if (next->Face != e->Face)
                    problems.Add("half-edge ", i, " of face ", e->Face, " is followed by ", e->Next,
                                 " of face ", next->Face);
                if (twin && next->Vertex != twin->Vertex)
                    problems.Add("face ring broken: half-edge ", i, " ends at ", twin->Vertex, " but Next ",
                                 e->Next, " starts at ", next->Vertex);
            }
        }
    }

    if (liveV != mesh.GetNumberOfVertices())
        problems.Add("GetNumberOfVertices ", mesh.GetNumberOfVertices(), " but ", liveV, " live");
    if (liveE != mesh.GetNumberOfEdges())
        problems.Add("GetNumberOfEdges ", mesh.GetNumberOfEdges(), " but ", liveE, " live");
    if (liveF != mesh.GetNumberOfFaces())
        problems.Add("GetNumberOfFaces ", mesh.GetNumberOfFaces(), " but ", liveF, " live");
    if (liveE % 2 != 0)
        problems.Add("odd number of half-edges: ", liveE);

    // Turn rings: each closes within the table size and together they cover
    // every half-edge once.
    std::vector<int> ringOf(static_cast<size_t>(nE), -1);
    for (int i = 0; i < nV; ++i)
    {
        const KorVertex* v = mesh.GetVertex(i);
        if (!v || !mesh.GetEdge(v->Edge))
            continue;
        int h = v->Edge;
        int steps = 0;
        do
        {
            const KorEdge* e = mesh.GetEdge(h);
            if (!e)
            {
                problems.Add("Turn ring of vertex ", i, " reaches missing half-edge ", h);
                break;
            }
            if (e->Vertex != i)
                problems.Add("Turn ring of vertex ", i, " holds half-edge ", h, " leaving vertex ",
                             e->Vertex);
            if (ringOf[static_cast<size_t>(h)] != -1)
            {
                problems.Add("half-edge ", h, " met again in the Turn ring of vertex ", i,
                             ": the ring does not close through its start");
                break;
            }
            ringOf[static_cast<size_t>(h)] = i;
            h = e->Turn;
        } while (h != v->Edge && ++steps <= nE);
    }
    for (int i = 0; i < nE; ++i)
        if (mesh.GetEdge(i) && ringOf[static_cast<size_t>(i)] == -1)
            problems.Add("half-edge ", i, " is in no vertex's Turn ring");

    // Face rings: each closes and holds exactly the half-edges naming it.
    std::vector<int> faceOf(static_cast<size_t>(nE), -1);
    for (int i = 0; i < nF; ++i)
    {
        const KorFace* f = mesh.GetFace(i);
        if (!f)
            continue;
        const KorEdge* first = mesh.GetEdge(f->Edge);
        if (!first || first->Face != i)
        {
            problems.Add("face ", i, " Edge ", f->Edge, " is missing or bounds another face");
            continue;
        }
        int h = f->Edge;
        int length = 0;
        do
        {
            const KorEdge* e = mesh.GetEdge(h);
            if (!e || e->Face != i || faceOf[static_cast<size_t>(h)] != -1)
            {
                problems.Add("Next ring of face ", i, " does not close (at half-edge ", h, ")");
                break;
            }
            faceOf[static_cast<size_t>(h)] = i;
            ++length;
            h = e->Next;
        } while (h != f->Edge);
        if (length > 0 && length < 3)
            problems.Add("face ", i, " has a ring of ", length, " half-edges");
    }
    for (int i = 0; i < nE; ++i)
    {
        const KorEdge* e = mesh.GetEdge(i);
        if (e && e->Face != -1 && faceOf[static_cast<size_t>(i)] != e->Face)
            problems.Add("half-edge ", i, " names face ", e->Face, " but is not in its ring");
    }

    // The readers' check must accept every sound mesh, or a mesh the
    // library built could be saved and then refused when read back.
    std::string reason;
    if (problems.Result() && !KorMeshLinksAreSound(mesh, reason))
        problems.Add("sound mesh refused by the readers' check: ", reason);
    return problems.Result();
}
