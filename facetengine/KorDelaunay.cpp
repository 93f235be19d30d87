#include "KorDelaunay.h"

#include "KorExactPredicates.h"
#include "KorException.h"
#include "KorSort.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr double kInCircleThreshold = 1e-12;

inline int Orient(const KorVertex& a, const KorVertex& b, const KorVertex& c)
{
    return Orient2DSign(a.X, a.Y, b.X, b.Y, c.X, c.Y);
}

// The valley rule: the angle at q1 between q1->p and q1->q2 is at most 90
// degrees. Decided on the sign of the dot product, which is that angle
// without the rounding of an arc cosine (a right angle must fill). Vectors
// whose lengths multiply to at most 1e-5 count as an angle of 0, but only
// where q1 is a dent of the front (side 1: q2 right of p, -1: left): at a
// peak, two points a micrometre apart would otherwise give a triangle over
// the region already swept.
bool IsValley(const KorVertex& p, const KorVertex& q1, const KorVertex& q2, int side)
{
    const double ux = p.X - q1.X, uy = p.Y - q1.Y;
    const double vx = q2.X - q1.X, vy = q2.Y - q1.Y;
    if (ux * vx + uy * vy >= 0.0)
        return true;
    const double norms2 = (ux * ux + uy * uy) * (vx * vx + vy * vy);
    return norms2 <= 1e-10 && Orient(p, q1, q2) * side > 0;
}

// One step of a flip cascade. The recursion CheckDelaunayCriteria ->
// SwapFaces -> (create t1, check t1, create t2, check t2) becomes a stack of
// these, so that a cascade of any length runs in constant stack space and in
// the same order: the second triangle of a swap is created only after the
// whole cascade of the first has run.
struct FlipTask
{
    enum Kind
    {
        Check,  // A = face
        Swap,   // A, B = faces
        Create, // A, B, C = vertices of the second triangle of a swap
    } kind;
    int A, B, C;
};

class FlipCascade
{
public:
    explicit FlipCascade(KorMesh& mesh) : mMesh(mesh) {}

    KorMesh& Mesh() { return mMesh; }

    // The work list keeps its capacity from one cascade to the next.
    void Run(const FlipTask& first)
    {
        mTasks.clear();
        mTasks.push_back(first);
        while (!mTasks.empty())
        {
            const FlipTask task = mTasks.back();
            mTasks.pop_back();
            switch (task.kind)
            {
            case FlipTask::Check:
                Check(task.A);
                break;
            case FlipTask::Swap:
                Swap(task.A, task.B);
                break;
            case FlipTask::Create:
                Create(task.A, task.B, task.C);
                break;
            }
        }
    }

private:
    void Check(int faceId)
    {
        const KorFace* face = mMesh.GetFace(faceId);
        if (!face)
        {
            KorReport("CheckDelaunayCriteria", "Impossible to find the face with ID " +
                                                   std::to_string(faceId) + " : Operation impossible");
            return;
        }
        const KorEdge* e[3];
        e[0] = mMesh.GetEdge(face->Edge);
        e[1] = e[0] ? mMesh.GetEdge(e[0]->Next) : nullptr;
        e[2] = e[1] ? mMesh.GetEdge(e[1]->Next) : nullptr;
        if (!e[2])
            return;
        const KorVertex* a = mMesh.GetVertex(e[0]->Vertex);
        const KorVertex* b = mMesh.GetVertex(e[1]->Vertex);
        const KorVertex* c = mMesh.GetVertex(e[2]->Vertex);
        const KorEdge* twin[3] = {mMesh.GetEdge(e[0]->Opp), mMesh.GetEdge(e[1]->Opp),
                                  mMesh.GetEdge(e[2]->Opp)};
        if (!a || !b || !c || !twin[0] || !twin[1] || !twin[2])
            return;
        for (const KorEdge* t : twin)
        {
            if (!mMesh.GetFace(t->Face))
                continue;
            const KorEdge* n = mMesh.GetEdge(t->Next);
            const KorEdge* nn = n ? mMesh.GetEdge(n->Next) : nullptr;
            const KorVertex* apex = nn ? mMesh.GetVertex(nn->Vertex) : nullptr;
            if (apex && CheckPointInsideCircumcircle(a, b, c, apex))
            {
                mTasks.push_back(FlipTask{FlipTask::Swap, faceId, t->Face, -1});
                return;
            }
        }
    }

    void Swap(int faceId1, int faceId2)
    {
        const KorFace* f1 = mMesh.GetFace(faceId1);
        const KorFace* f2 = mMesh.GetFace(faceId2);
        if (!f1 || !f2)
        {
            KorReport("SwapFaces", "Impossible to find the triangles " + std::to_string(faceId1) + " and " +
                                       std::to_string(faceId2) + " to swap : Swap canceled");
            return;
        }
        const KorEdge* e = mMesh.GetEdge(f1->Edge);
        const KorEdge* twin = nullptr;
        for (int k = 0; k < 3 && e; ++k)
        {
            const KorEdge* t = mMesh.GetEdge(e->Opp);
            if (t && t->Face == faceId2)
            {
                twin = t;
                break;
            }
            e = mMesh.GetEdge(e->Next);
        }
        if (!e || !twin)
            return;
        const KorEdge* en = mMesh.GetEdge(e->Next);
        const KorEdge* enn = en ? mMesh.GetEdge(en->Next) : nullptr;
        const KorEdge* tn = mMesh.GetEdge(twin->Next);
        const KorEdge* tnn = tn ? mMesh.GetEdge(tn->Next) : nullptr;
        if (!enn || !tnn)
            return;
        const int shared = e->ID;
        const int p = e->Vertex, s = en->Vertex, r = enn->Vertex, q = tnn->Vertex;
        mMesh.DeleteEdge(shared, false);
        const int t1 = CreateTriangle(p, q, r);
        mTasks.push_back(FlipTask{FlipTask::Create, s, q, r});
        mTasks.push_back(FlipTask{FlipTask::Check, t1, -1, -1});
    }

    void Create(int s, int q, int r)
    {
        mTasks.push_back(FlipTask{FlipTask::Check, CreateTriangle(s, q, r), -1, -1});
    }

    int CreateTriangle(int a, int b, int c)
    {
        const KorVertex* va = mMesh.GetVertex(a);
        const KorVertex* vb = mMesh.GetVertex(b);
        const KorVertex* vc = mMesh.GetVertex(c);
        if (!va || !vb || !vc)
            return -1;
        return DelaunayCreateTriangle(mMesh, *va, *vb, *vc);
    }

    KorMesh& mMesh;
    std::vector<FlipTask> mTasks;
};

void AddAndLegalise(FlipCascade& flips, const KorVertex* a, const KorVertex* b, const KorVertex* c)
{
    const int face = DelaunayCreateTriangle(flips.Mesh(), *a, *b, *c);
    flips.Run(FlipTask{FlipTask::Check, face, -1, -1});
}

void ChainTriangles(FlipCascade& flips, Front& front, const KorVertex* p);
void ChainFrom(FlipCascade& flips, Front& front, Front::Position at, const KorVertex* p);

KorVertex* Entry(const Front& list, const Front::Position& p)
{
    return list.Get(p);
}

// The start of a set lying wholly on one slanted or vertical line: the flat
// triangle of the first three, its leftmost and rightmost corners in both
// lists, the middle one in the list whose side of the other two it stands on.
void StartWithTriangle(KorMesh& mesh, KorVertex* w0, KorVertex* w1, KorVertex* w2, Front& front, Front& lower)
{
    DelaunayCreateTriangle(mesh, *w0, *w1, *w2);
    KorVertex* byX[3] = {w0, w1, w2};
    // Sorted by X; equal X keep their order, lowest Y first.
    for (int i = 1; i < 3; ++i)
        for (int j = i; j > 0 && byX[j]->X < byX[j - 1]->X; --j)
            std::swap(byX[j], byX[j - 1]);
    KorVertex *left = byX[0], *middle = byX[1], *right = byX[2];
    if (left->X == right->X)
    {
        // A vertical line: the top is the whole front, the lower chain runs down.
        front.AppendVertex(w2);
        lower.AppendVertex(w2);
        lower.AppendVertex(w1);
        lower.AppendVertex(w0);
        return;
    }
    bool middleOnFront;
    if (middle == w2)
        middleOnFront = true;
    else if (middle == w0)
        middleOnFront = false;
    else
    {
        const int z = Orient(*w1, *w0, *w2);
        middleOnFront = left == w0 ? z >= 0 : z < 0;
    }
    front.AppendVertex(left);
    lower.AppendVertex(left);
    (middleOnFront ? front : lower).AppendVertex(middle);
    front.AppendVertex(right);
    lower.AppendVertex(right);
}

// The start in general: the first vertices w[0 .. k-1] lie on one line (the
// base vertices of lowest Y, or a slanted or vertical run) and w[k] is the
// first vertex off it. The fan from w[k] over the run (not legalised: a fan
// over collinear points is Delaunay) makes a triangle whose boundary, taken
// counter-clockwise, gives both lists: the lower chain runs from the
// leftmost vertex along the bottom to the rightmost, the front from the
// leftmost along the top. Where two vertices share the smallest (largest) X
// the higher one is that end, so that the lower chain runs down a vertical
// left side and up a vertical right side and both lists share their ends.
// With k = 2 this is the triangle of the first three; with the base vertices
// as the run, the fan over the base. A run of three or more off the
// horizontal starts the same way instead of with a flat triangle.
void StartWithFan(KorMesh& mesh, const std::vector<KorVertex*>& w, size_t k, Front& front, Front& lower)
{
    KorVertex* apex = w[k];
    for (size_t j = 0; j + 1 < k; ++j)
        DelaunayCreateTriangle(mesh, *w[j], *w[j + 1], *apex);
    std::vector<KorVertex*> ring(w.begin(), w.begin() + static_cast<long>(k));
    if (Orient(*w[0], *w[k - 1], *apex) > 0)
        ring.push_back(apex);
    else
    {
        // Apex on the right of the run: w0, apex, then the run backwards.
        ring.insert(ring.begin() + 1, apex);
        std::reverse(ring.begin() + 2, ring.end());
    }
    const size_t m = ring.size();
    size_t left = 0, right = 0;
    for (size_t i = 1; i < m; ++i)
    {
        const KorVertex* v = ring[i];
        if (v->X < ring[left]->X || (v->X == ring[left]->X && v->Y > ring[left]->Y))
            left = i;
        if (v->X > ring[right]->X || (v->X == ring[right]->X && v->Y > ring[right]->Y))
            right = i;
    }
    for (size_t i = left;; i = (i + 1) % m)
    {
        lower.AppendVertex(ring[i]);
        if (i == right)
            break;
    }
    for (size_t i = left;; i = (i + m - 1) % m)
    {
        front.AppendVertex(ring[i]);
        if (i == right)
            break;
    }
}

// p left of the whole front: the triangle on the front's first edge when p
// sees it, the one on the region's lower-left edge when p sees that, then the
// valleys. When p lies on the line of the front's first edge that triangle
// would be flat: it is made only when p gets no other triangle, so that
// collinear input still joins p. When p sees neither edge (only collinear
// input does that) it stays out of the triangulation, without edges.
void AddLeftOfFront(FlipCascade& flips, KorVertex* p, Front& front, Front& lower)
{
    KorVertex* f0 = Entry(front, front.First());
    KorVertex* f1 = Entry(front, front.Next(front.First()));
    KorVertex* l1 = Entry(lower, lower.Next(lower.First()));
    const int turn = f1 ? Orient(*p, *f0, *f1) : -1;
    const bool below = l1 && Orient(*p, *f0, *l1) < 0;
    if (turn > 0 || (turn == 0 && !below))
    {
        AddAndLegalise(flips, p, f0, f1);
        lower.InsertVertex(p);
        front.RemoveVertex(f0);
        front.InsertVertex(p);
    }
    if (below)
    {
        AddAndLegalise(flips, p, l1, f0);
        lower.RemoveVertex(f0);
        if (Entry(front, front.First()) != p)
            front.InsertVertex(p);
        if (Entry(lower, lower.First()) != p)
            lower.InsertVertex(p);
    }
    ChainTriangles(flips, front, p);
}

// The mirror image of AddLeftOfFront.
void AddRightOfFront(FlipCascade& flips, KorVertex* p, Front& front, Front& lower)
{
    KorVertex* fl = Entry(front, front.Last());
    KorVertex* fl1 = Entry(front, front.Previous(front.Last()));
    KorVertex* lm = Entry(lower, lower.Previous(lower.Last()));
    const int turn = fl1 ? Orient(*p, *fl, *fl1) : 1;
    const bool below = lm && Orient(*p, *fl, *lm) > 0;
    if (turn < 0 || (turn == 0 && !below))
    {
        AddAndLegalise(flips, p, fl, fl1);
        lower.InsertVertex(p);
        front.RemoveVertex(fl);
        front.InsertVertex(p);
    }
    if (below)
    {
        AddAndLegalise(flips, p, lm, fl);
        lower.RemoveVertex(fl);
        if (Entry(front, front.Last()) != p)
            front.InsertVertex(p);
        if (Entry(lower, lower.Last()) != p)
            lower.InsertVertex(p);
    }
    ChainTriangles(flips, front, p);
}

// p above the front: the triangle on the front edge below it. A front vertex
// right below p (same X) at either end is covered: it leaves the front, and p
// joins the lower chain at that end, so that both lists keep sharing their
// ends and the lower chain runs down the left side and up the right one.
// (Putting the covered vertex into the lower chain a second time instead
// makes the entry next to the end wrong once such a side has two steps: the
// next vertex beyond that end then takes a triangle across the side's middle
// vertex, leaving a crack and an overlap.)
void AddAboveFront(FlipCascade& flips, KorVertex* p, Front& front, Front& lower)
{
    const Front::Position at = front.InsertVertex(p);
    KorVertex* left;
    KorVertex* right;
    if (!front.Previous(at).IsValid())
    {
        const Front::Position next = front.Next(at);
        left = Entry(front, next);
        right = Entry(front, front.Next(next));
        if (left)
        {
            lower.InsertVertex(p);
            front.RemoveAt(next);
        }
    }
    else
    {
        left = Entry(front, front.Previous(at));
        right = Entry(front, front.Next(at));
        const KorVertex* last = Entry(front, front.Last());
        if (right && last->X == p->X)
        {
            lower.AppendVertex(p);
            front.RemoveAt(front.Next(at));
        }
    }
    if (left && right)
        AddAndLegalise(flips, left, p, right);
    // Only entries after p have been removed: its position holds.
    ChainFrom(flips, front, at, p);
}
// The valleys around p, standing at the position at of the front.
void ChainFrom(FlipCascade& flips, Front& front, Front::Position at, const KorVertex* p)
{
    for (;;)
    {
        // Removing the entry after p leaves p's position as it is.
        const Front::Position q1 = front.Next(at);
        KorVertex* v1 = Entry(front, q1);
        KorVertex* v2 = Entry(front, front.Next(q1));
        if (!v1 || !v2 || !IsValley(*p, *v1, *v2, 1))
            break;
        AddAndLegalise(flips, p, v1, v2);
        front.RemoveAt(q1);
    }
    for (;;)
    {
        const Front::Position q1 = front.Previous(at);
        KorVertex* v1 = Entry(front, q1);
        KorVertex* v2 = Entry(front, front.Previous(q1));
        if (!v1 || !v2 || !IsValley(*p, *v1, *v2, -1))
            break;
        AddAndLegalise(flips, p, v1, v2);
        at = front.RemoveAt(q1);
    }
}

void ChainTriangles(FlipCascade& flips, Front& front, const KorVertex* p)
{
    const Front::Position at = p ? front.FindVertex(p) : Front::Position{};
    if (at.IsValid())
        ChainFrom(flips, front, at, p);
}

void FinalizeFront(FlipCascade& flips, Front& front)
{
    if (front.GetSize() <= 2)
        return;
    Front::Position a = front.First();
    for (;;)
    {
        KorVertex* va = Entry(front, a);
        const Front::Position b = front.Next(a);
        KorVertex* vb = Entry(front, b);
        KorVertex* vc = Entry(front, front.Next(b));
        if (!va || !vb || !vc)
            return;
        if (Orient(*va, *vb, *vc) <= 0)
        {
            a = b;
            continue;
        }
        AddAndLegalise(flips, va, vb, vc);
        front.RemoveAt(b);
        // Step back one vertex, since removing vb may have made va a dent.
        const Front::Position back = front.Previous(a);
        if (back.IsValid())
            a = back;
    }
}

} // namespace

int DelaunayCreateTriangle(KorMesh& mesh, const KorVertex& a, const KorVertex& b, const KorVertex& c)
{
    if (Orient(a, b, c) < 0)
        return mesh.AddFace(3, a.ID, c.ID, b.ID);
    return mesh.AddFace(3, a.ID, b.ID, c.ID);
}

bool CheckPointInsideCircumcircle(const KorVertex* a, const KorVertex* b, const KorVertex* c,
                                  const KorVertex* d)
{
    if (!a || !b || !c || !d)
        return false;
    return InCircleAbove(a->X, a->Y, b->X, b->Y, c->X, c->Y, d->X, d->Y, kInCircleThreshold);
}

void CheckDelaunayCriteria(KorMesh& mesh, const int& faceId)
{
    FlipCascade(mesh).Run(FlipTask{FlipTask::Check, faceId, -1, -1});
}

void SwapFaces(KorMesh& mesh, const int& faceId1, const int& faceId2)
{
    FlipCascade(mesh).Run(FlipTask{FlipTask::Swap, faceId1, faceId2, -1});
}

void AddChainedTriangles(KorMesh& mesh, Front& front, const KorVertex* p)
{
    FlipCascade flips(mesh);
    ChainTriangles(flips, front, p);
}

void FinalizeDelaunay(KorMesh& mesh, Front& front)
{
    FlipCascade flips(mesh);
    FinalizeFront(flips, front);
}

void Delaunay2D(KorMesh& mesh)
{
    mesh.ClearEdges();

    // Compact copies for the sort: position and identifier only.
    struct Site
    {
        double X, Y;
        int ID;
    };
    std::vector<Site> sites;
    sites.reserve(static_cast<size_t>(mesh.GetNumberOfVertices()));
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            if (std::isfinite(v->X) && std::isfinite(v->Y))
                sites.push_back(Site{v->X, v->Y, id});
    if (mesh.GetNumberOfVertices() == 0)
        return;
    // Y then X, exactly (finite values: a strict weak order).
    KorMergeSort(sites, [](const Site& a, const Site& b)
                 { return a.Y != b.Y ? (a.Y < b.Y ? -1 : 1) : (a.X < b.X ? -1 : (a.X > b.X ? 1 : 0)); });

    // Of each run of equal positions the last is kept.
    std::vector<KorVertex*> w;
    w.reserve(sites.size());
    for (size_t i = 0; i < sites.size(); ++i)
        if (i + 1 == sites.size() || sites[i].X != sites[i + 1].X || sites[i].Y != sites[i + 1].Y)
            w.push_back(mesh.GetVertex(sites[i].ID));
    std::vector<Site>().swap(sites);

    if (w.size() < 3)
    {
        KorReport("Delaunay2D", "Impossible to triangulate less than 3 vertices");
        return;
    }
    size_t b = 0;
    while (b < w.size() && w[b]->Y <= w[0]->Y)
        ++b;
    if (b == w.size())
    {
        KorReport("Delaunay2D",
                  "All the vertices are base vertices aligned : impossible to triangulate them");
        return;
    }

    Front front, lower;
    FlipCascade flips(mesh);
    // The collinear run the sweep starts from: the base vertices, or the
    // first two and those on their line.
    size_t run = b;
    if (b <= 2)
        for (run = 2; run < w.size() && Orient(*w[0], *w[1], *w[run]) == 0;)
            ++run;
    size_t next;
    if (run == w.size())
    {
        // All on one slanted or vertical line: flat triangles.
        StartWithTriangle(mesh, w[0], w[1], w[2], front, lower);
        next = 3;
    }
    else
    {
        StartWithFan(mesh, w, run, front, lower);
        next = run + 1;
    }

    for (size_t i = next; i < w.size(); ++i)
    {
        // The records lie in identifier order, not in sweep order: fetch
        // ahead to hide the cache miss on each new vertex.
        if (i + 8 < w.size())
            __builtin_prefetch(w[i + 8]);
        KorVertex* p = w[i];
        if (p->X < Entry(front, front.First())->X)
            AddLeftOfFront(flips, p, front, lower);
        else if (p->X > Entry(front, front.Last())->X)
            AddRightOfFront(flips, p, front, lower);
        else
            AddAboveFront(flips, p, front, lower);
    }
    FinalizeFront(flips, front);
}
