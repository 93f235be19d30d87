#include "KorDelaunay.h"

#include "KorExactPredicates.h"
#include "KorException.h"
#include "KorSort.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr double kInCircleThreshold = 1e-12;

template <class V> inline int Orient(const V& a, const V& b, const V& c)
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
template <class V> bool IsValley(const V& p, const V& q1, const V& q2, int side)
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

    // The sweep's two steps: a triangle as it is (a fan over a collinear
    // run needs no flip), and a triangle with its flip cascade.
    void AddTriangle(const KorVertex* a, const KorVertex* b, const KorVertex* c)
    {
        DelaunayCreateTriangle(mMesh, *a, *b, *c);
    }
    void AddAndLegalise(const KorVertex* a, const KorVertex* b, const KorVertex* c)
    {
        Run(FlipTask{FlipTask::Check, DelaunayCreateTriangle(mMesh, *a, *b, *c), -1, -1});
    }

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

template <class Flips, class V> void ChainTriangles(Flips& flips, FrontOf<V>& front, const V* p);
template <class Flips, class V>
void ChainFrom(Flips& flips, FrontOf<V>& front, typename FrontOf<V>::Position at, const V* p);

template <class V> V* Entry(const FrontOf<V>& list, const typename FrontOf<V>::Position& p)
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
template <class Flips, class V>
void StartWithFan(Flips& flips, const std::vector<V*>& w, size_t k, FrontOf<V>& front, FrontOf<V>& lower)
{
    V* apex = w[k];
    for (size_t j = 0; j + 1 < k; ++j)
        flips.AddTriangle(w[j], w[j + 1], apex);
    std::vector<V*> ring(w.begin(), w.begin() + static_cast<long>(k));
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
        const V* v = ring[i];
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
template <class Flips, class V> void AddLeftOfFront(Flips& flips, V* p, FrontOf<V>& front, FrontOf<V>& lower)
{
    V* f0 = Entry(front, front.First());
    V* f1 = Entry(front, front.Next(front.First()));
    V* l1 = Entry(lower, lower.Next(lower.First()));
    const int turn = f1 ? Orient(*p, *f0, *f1) : -1;
    const bool below = l1 && Orient(*p, *f0, *l1) < 0;
    if (turn > 0 || (turn == 0 && !below))
    {
        flips.AddAndLegalise(p, f0, f1);
        lower.InsertVertex(p);
        front.RemoveVertex(f0);
        front.InsertVertex(p);
    }
    if (below)
    {
        flips.AddAndLegalise(p, l1, f0);
        lower.RemoveVertex(f0);
        if (Entry(front, front.First()) != p)
            front.InsertVertex(p);
        if (Entry(lower, lower.First()) != p)
            lower.InsertVertex(p);
    }
    ChainTriangles(flips, front, p);
}

// The mirror image of AddLeftOfFront.
template <class Flips, class V> void AddRightOfFront(Flips& flips, V* p, FrontOf<V>& front, FrontOf<V>& lower)
{
    V* fl = Entry(front, front.Last());
    V* fl1 = Entry(front, front.Previous(front.Last()));
    V* lm = Entry(lower, lower.Previous(lower.Last()));
    const int turn = fl1 ? Orient(*p, *fl, *fl1) : 1;
    const bool below = lm && Orient(*p, *fl, *lm) > 0;
    if (turn < 0 || (turn == 0 && !below))
    {
        flips.AddAndLegalise(p, fl, fl1);
        lower.InsertVertex(p);
        front.RemoveVertex(fl);
        front.InsertVertex(p);
    }
    if (below)
    {
        flips.AddAndLegalise(p, lm, fl);
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
template <class Flips, class V> void AddAboveFront(Flips& flips, V* p, FrontOf<V>& front, FrontOf<V>& lower)
{
    const typename FrontOf<V>::Position at = front.InsertVertex(p);
    V* left;
    V* right;
    if (!front.Previous(at).IsValid())
    {
        const typename FrontOf<V>::Position next = front.Next(at);
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
        const V* last = Entry(front, front.Last());
        if (right && last->X == p->X)
        {
            lower.AppendVertex(p);
            front.RemoveAt(front.Next(at));
        }
    }
    if (left && right)
        flips.AddAndLegalise(left, p, right);
    // Only entries after p have been removed: its position holds.
    ChainFrom(flips, front, at, p);
}
// The valleys around p, standing at the position at of the front.
template <class Flips, class V>
void ChainFrom(Flips& flips, FrontOf<V>& front, typename FrontOf<V>::Position at, const V* p)
{
    for (;;)
    {
        // Removing the entry after p leaves p's position as it is.
        const typename FrontOf<V>::Position q1 = front.Next(at);
        V* v1 = Entry(front, q1);
        V* v2 = Entry(front, front.Next(q1));
        if (!v1 || !v2 || !IsValley(*p, *v1, *v2, 1))
            break;
        flips.AddAndLegalise(p, v1, v2);
        front.RemoveAt(q1);
    }
    for (;;)
    {
        const typename FrontOf<V>::Position q1 = front.Previous(at);
        V* v1 = Entry(front, q1);
        V* v2 = Entry(front, front.Previous(q1));
        if (!v1 || !v2 || !IsValley(*p, *v1, *v2, -1))
            break;
        flips.AddAndLegalise(p, v1, v2);
        at = front.RemoveAt(q1);
    }
}

template <class Flips, class V> void ChainTriangles(Flips& flips, FrontOf<V>& front, const V* p)
{
    const typename FrontOf<V>::Position at = p ? front.FindVertex(p) : typename FrontOf<V>::Position{};
    if (at.IsValid())
        ChainFrom(flips, front, at, p);
}

template <class Flips, class V> void FinalizeFront(Flips& flips, FrontOf<V>& front)
{
    if (front.GetSize() <= 2)
        return;
    typename FrontOf<V>::Position a = front.First();
    for (;;)
    {
        V* va = Entry(front, a);
        const typename FrontOf<V>::Position b = front.Next(a);
        V* vb = Entry(front, b);
        V* vc = Entry(front, front.Next(b));
        if (!va || !vb || !vc)
            return;
        if (Orient(*va, *vb, *vc) <= 0)
        {
            a = b;
            continue;
        }
        flips.AddAndLegalise(va, vb, vc);
        front.RemoveAt(b);
        // Step back one vertex, since removing vb may have made va a dent.
        const typename FrontOf<V>::Position back = front.Previous(a);
        if (back.IsValid())
            a = back;
    }
}

// FlipCascade's steps in the same order on a compact triangle array, with the
// mesh built once at the end. A triangle keeps its corners in the order of
// the face's half-edges from its Edge (as DelaunayCreateTriangle gives them),
// so that every check and swap decides as on the mesh, co-circular points
// included. Half-edge h = 3t + k runs from corner k to corner k + 1 of
// triangle t; mTwin[h] is the opposite half-edge, -1 on the border of what is
// built so far. The border half-edges are listed by origin (a vertex has one
// or two, one more by a swap under way), and a new triangle finds its
// neighbours there, as AddFace finds them through GetEdgeBetween.
class TriangleCascade
{
public:
    // points: the vertices, each at the index of its ID; they must outlive
    // the cascade.
    TriangleCascade(const std::vector<KorSweepPoint>& points, size_t triangles)
        : mPoints(points), mBorderHead(points.size(), -1)
    {
        mCorner.reserve(3 * triangles);
        mTwin.reserve(3 * triangles);
    }

    // A step the mesh would take differently: a flat triangle (AddFace keeps
    // the given order) or one running along a border half-edge the same way
    // (AddFace builds it on the twins). Nothing is done after it.
    bool Failed() const { return mFailed; }

    void AddTriangle(const KorSweepPoint* a, const KorSweepPoint* b, const KorSweepPoint* c)
    {
        Create(a->ID, b->ID, c->ID);
    }
    void AddAndLegalise(const KorSweepPoint* a, const KorSweepPoint* b, const KorSweepPoint* c)
    {
        Run(FlipTask{FlipTask::Check, Create(a->ID, b->ID, c->ID), -1, -1});
    }

    // The live triangles as faces 0, 1, ... of the mesh, which has no
    // half-edge, corner i standing for vertex ids[i]; the array is spent.
    bool Fill(KorMesh& mesh, const std::vector<int>& ids)
    {
        for (int& c : mCorner)
            if (c >= 0)
                c = ids[static_cast<size_t>(c)];
        std::vector<BorderNode>().swap(mNodes);
        std::vector<int>().swap(mFreeNodes);
        std::vector<int>().swap(mBorderHead);
        if (!mFree.empty())
        {
            // Renumbered densely: the free slots are dropped.
            std::vector<int> rank(mCorner.size() / 3, -1);
            int live = 0;
            for (size_t t = 0; t < rank.size(); ++t)
                if (mCorner[3 * t] >= 0)
                    rank[t] = live++;
            std::vector<int> corner, twin;
            corner.reserve(3 * static_cast<size_t>(live));
            twin.reserve(3 * static_cast<size_t>(live));
            for (size_t h = 0; h < mCorner.size(); ++h)
                if (rank[h / 3] >= 0)
                {
                    const int g = mTwin[h];
                    corner.push_back(mCorner[h]);
                    twin.push_back(g < 0 ? -1 : 3 * rank[static_cast<size_t>(g) / 3] + g % 3);
                }
            mCorner.swap(corner);
            mTwin.swap(twin);
        }
        return mesh.AddTriangles(std::move(mCorner), std::move(mTwin));
    }

private:
    static size_t Next(size_t h) { return h - h % 3 + (h % 3 + 1) % 3; }
    static size_t Apex(size_t h) { return h - h % 3 + (h % 3 + 2) % 3; }

    int Orient(int a, int b, int c) const
    {
        const KorSweepPoint &pa = mPoints[static_cast<size_t>(a)], &pb = mPoints[static_cast<size_t>(b)],
                            &pc = mPoints[static_cast<size_t>(c)];
        return Orient2DSign(pa.X, pa.Y, pb.X, pb.Y, pc.X, pc.Y);
    }

    bool InCircle(int a, int b, int c, int d) const
    {
        const KorSweepPoint &pa = mPoints[static_cast<size_t>(a)], &pb = mPoints[static_cast<size_t>(b)],
                            &pc = mPoints[static_cast<size_t>(c)], &pd = mPoints[static_cast<size_t>(d)];
        return InCircleAbove(pa.X, pa.Y, pb.X, pb.Y, pc.X, pc.Y, pd.X, pd.Y, kInCircleThreshold);
    }

    void Run(const FlipTask& first)
    {
        mTasks.clear();
        mTasks.push_back(first);
        while (!mTasks.empty() && !mFailed)
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
                mTasks.push_back(FlipTask{FlipTask::Check, Create(task.A, task.B, task.C), -1, -1});
                break;
            }
        }
    }

    void Check(int t)
    {
        if (t < 0)
            return;
        const size_t h0 = 3 * static_cast<size_t>(t);
        const int a = mCorner[h0], b = mCorner[h0 + 1], c = mCorner[h0 + 2];
        for (size_t k = 0; k < 3; ++k)
        {
            const int g = mTwin[h0 + k];
            if (g >= 0 && InCircle(a, b, c, mCorner[Apex(static_cast<size_t>(g))]))
            {
                mTasks.push_back(FlipTask{FlipTask::Swap, t, g / 3, -1});
                return;
            }
        }
    }

    void Swap(int t1, int t2)
    {
        const size_t h0 = 3 * static_cast<size_t>(t1);
        for (size_t e = h0; e < h0 + 3; ++e)
        {
            const int g = mTwin[e];
            if (g < 0 || g / 3 != t2)
                continue;
            const int p = mCorner[e], s = mCorner[Next(e)], r = mCorner[Apex(e)];
            const int q = mCorner[Apex(static_cast<size_t>(g))];
            Delete(t1);
            Delete(t2);
            const int first = Create(p, q, r);
            mTasks.push_back(FlipTask{FlipTask::Create, s, q, r});
            mTasks.push_back(FlipTask{FlipTask::Check, first, -1, -1});
            return;
        }
    }

    int Create(int a, int b, int c)
    {
        if (mFailed)
            return -1;
        const int turn = Orient(a, b, c);
        if (turn == 0)
        {
            mFailed = true;
            return -1;
        }
        if (turn < 0)
            std::swap(b, c);
        int t;
        if (!mFree.empty())
        {
            t = mFree.back();
            mFree.pop_back();
        }
        else
        {
            t = static_cast<int>(mCorner.size() / 3);
            mCorner.resize(mCorner.size() + 3);
            mTwin.resize(mTwin.size() + 3);
        }
        const size_t h0 = 3 * static_cast<size_t>(t);
        mCorner[h0] = a;
        mCorner[h0 + 1] = b;
        mCorner[h0 + 2] = c;
        for (size_t h = h0; h < h0 + 3; ++h)
            Link(h);
        return t;
    }

    // Joins h to the border half-edge running the other way, or lists it.
    void Link(size_t h)
    {
        const int a = mCorner[h], b = mCorner[Next(h)];
        for (int n = mBorderHead[static_cast<size_t>(a)]; n >= 0; n = mNodes[static_cast<size_t>(n)].Next)
            if (mNodes[static_cast<size_t>(n)].To == b)
                mFailed = true;
        for (int n = mBorderHead[static_cast<size_t>(b)]; n >= 0; n = mNodes[static_cast<size_t>(n)].Next)
            if (mNodes[static_cast<size_t>(n)].To == a)
            {
                const int g = mNodes[static_cast<size_t>(n)].Edge;
                Unlist(static_cast<size_t>(g));
                mTwin[h] = g;
                mTwin[static_cast<size_t>(g)] = static_cast<int>(h);
                return;
            }
        mTwin[h] = -1;
        List(h);
    }

    // The neighbours' half-edges become border, the triangle's own border
    // half-edges leave the lists.
    void Delete(int t)
    {
        const size_t h0 = 3 * static_cast<size_t>(t);
        for (size_t h = h0; h < h0 + 3; ++h)
        {
            const int g = mTwin[h];
            if (g < 0)
                Unlist(h);
            else
            {
                mTwin[static_cast<size_t>(g)] = -1;
                List(static_cast<size_t>(g));
            }
        }
        mCorner[h0] = -1;
        mFree.push_back(t);
    }

    // Pushed at the head of its origin's list.
    void List(size_t h)
    {
        int& head = mBorderHead[static_cast<size_t>(mCorner[h])];
        const BorderNode node{static_cast<int>(h), mCorner[Next(h)], head};
        if (mFreeNodes.empty())
        {
            head = static_cast<int>(mNodes.size());
            mNodes.push_back(node);
        }
        else
        {
            head = mFreeNodes.back();
            mFreeNodes.pop_back();
            mNodes[static_cast<size_t>(head)] = node;
        }
    }

    void Unlist(size_t h)
    {
        int* link = &mBorderHead[static_cast<size_t>(mCorner[h])];
        while (*link >= 0 && mNodes[static_cast<size_t>(*link)].Edge != static_cast<int>(h))
            link = &mNodes[static_cast<size_t>(*link)].Next;
        if (*link >= 0)
        {
            mFreeNodes.push_back(*link);
            *link = mNodes[static_cast<size_t>(*link)].Next;
        }
    }

    const std::vector<KorSweepPoint>& mPoints;
    std::vector<int> mCorner, mTwin;
    // A border half-edge in its origin's list, with its end vertex (fixed
    // while it is listed: its triangle lives). The nodes are recycled, so
    // the lists take room for the border, not for every half-edge.
    struct BorderNode
    {
        int Edge, To, Next;
    };
    std::vector<int> mBorderHead;
    std::vector<BorderNode> mNodes;
    std::vector<int> mFreeNodes;
    std::vector<int> mFree;
    std::vector<FlipTask> mTasks;
    bool mFailed = false;
};
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

namespace
{
// The sweep's input: the vertices in sweep order, one of each position, and
// the length of the collinear run the sweep starts from. False, reported,
// when there is nothing to triangulate.
bool PrepareSweep(KorMesh& mesh, std::vector<KorVertex*>& w, size_t& run)
{
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
        return false;
    // Y then X, exactly (finite values: a strict weak order).
    KorMergeSort(sites, [](const Site& a, const Site& b)
                 { return a.Y != b.Y ? (a.Y < b.Y ? -1 : 1) : (a.X < b.X ? -1 : (a.X > b.X ? 1 : 0)); });

    // Of each run of equal positions the last is kept.
    w.clear();
    w.reserve(sites.size());
    for (size_t i = 0; i < sites.size(); ++i)
        if (i + 1 == sites.size() || sites[i].X != sites[i + 1].X || sites[i].Y != sites[i + 1].Y)
            w.push_back(mesh.GetVertex(sites[i].ID));
    std::vector<Site>().swap(sites);

    if (w.size() < 3)
    {
        KorReport("Delaunay2D", "Impossible to triangulate less than 3 vertices");
        return false;
    }
    size_t b = 0;
    while (b < w.size() && w[b]->Y <= w[0]->Y)
        ++b;
    if (b == w.size())
    {
        KorReport("Delaunay2D",
                  "All the vertices are base vertices aligned : impossible to triangulate them");
        return false;
    }
    // The collinear run the sweep starts from: the base vertices, or the
    // first two and those on their line.
    run = b;
    if (b <= 2)
        for (run = 2; run < w.size() && Orient(*w[0], *w[1], *w[run]) == 0;)
            ++run;
    return true;
}

// Every vertex after the start, then the front made convex.
template <class Flips, class V>
void Sweep(Flips& flips, const std::vector<V*>& w, size_t next, FrontOf<V>& front, FrontOf<V>& lower)
{
    for (size_t i = next; i < w.size(); ++i)
    {
        // A mesh's records lie in identifier order, not in sweep order: fetch
        // ahead to hide the cache miss on each new vertex.
        if (i + 8 < w.size())
            __builtin_prefetch(w[i + 8]);
        V* p = w[i];
        if (p->X < Entry(front, front.First())->X)
            AddLeftOfFront(flips, p, front, lower);
        else if (p->X > Entry(front, front.Last())->X)
            AddRightOfFront(flips, p, front, lower);
        else
            AddAboveFront(flips, p, front, lower);
    }
    FinalizeFront(flips, front);
}

// The sweep adding each triangle to the mesh as it goes.
void SweepOnFaces(KorMesh& mesh, const std::vector<KorVertex*>& w, size_t run)
{
    Front front, lower;
    FlipCascade flips(mesh);
    if (run == w.size())
    {
        // All on one slanted or vertical line: flat triangles.
        StartWithTriangle(mesh, w[0], w[1], w[2], front, lower);
        Sweep(flips, w, 3, front, lower);
    }
    else
    {
        StartWithFan(flips, w, run, front, lower);
        Sweep(flips, w, run + 1, front, lower);
    }
}

// Sorts finite points by Y then X, stably: the order the merge sort of
// PrepareSweep gives. A counting pass spreads the points over about n/2
// buckets of Y, by floor((Y - min) * scale), which never decreases as Y
// grows (each step rounds monotonically), and each bucket is then sorted by
// Y and X, stably: by insertion when it is small, the usual case, by merging
// when many points share a bucket (clusters, rows of equal Y). Four passes
// over the points where a comparison sort makes twenty at 10^6; O(n log n)
// at worst, when most points fall in one bucket.
void SortByYThenX(std::vector<KorSweepPoint>& points)
{
    const auto before = [](const KorSweepPoint& a, const KorSweepPoint& b)
    { return a.Y < b.Y || (a.Y == b.Y && a.X < b.X); };
    const size_t n = points.size();
    if (n < 2)
        return;
    double lo = points[0].Y, hi = points[0].Y;
    for (const KorSweepPoint& p : points)
    {
        lo = std::min(lo, p.Y);
        hi = std::max(hi, p.Y);
    }
    const size_t buckets = n / 2 + 1;
    const double scale = static_cast<double>(buckets - 1) / (hi - lo);
    if (!(hi > lo) || !std::isfinite(scale) || !std::isfinite(hi - lo))
    {
        std::stable_sort(points.begin(), points.end(), before);
        return;
    }
    // The last bucket index is clamped: rounding may reach buckets - 1.
    const auto bucketOf = [&](double y)
    { return std::min(buckets - 1, static_cast<size_t>((y - lo) * scale)); };
    std::vector<size_t> start(buckets + 1, 0);
    for (const KorSweepPoint& p : points)
        ++start[bucketOf(p.Y) + 1];
    for (size_t b = 0; b < buckets; ++b)
        start[b + 1] += start[b];
    std::vector<KorSweepPoint> sorted(n);
    {
        std::vector<size_t> at(start.begin(), start.end() - 1);
        for (const KorSweepPoint& p : points)
            sorted[at[bucketOf(p.Y)]++] = p;
    }
    points.swap(sorted);
    std::vector<KorSweepPoint>().swap(sorted);
    for (size_t b = 0; b < buckets; ++b)
    {
        const auto first = points.begin() + static_cast<long>(start[b]),
                   last = points.begin() + static_cast<long>(start[b + 1]);
        if (last - first > 32)
            std::stable_sort(first, last, before);
        else
            for (auto i = first + (first != last); i < last; ++i)
                for (auto j = i; j > first && before(*j, *(j - 1)); --j)
                    std::swap(*j, *(j - 1));
    }
}

// PrepareSweep's work on compact copies that the sweep then reads in order:
// points in sweep order, each with its index as ID, and ids[i] the mesh
// vertex of points[i]. The same refusals, reported the same way.
bool PrepareSites(KorMesh& mesh, std::vector<KorSweepPoint>& points, std::vector<int>& ids, size_t& run)
{
    points.clear();
    points.reserve(static_cast<size_t>(mesh.GetNumberOfVertices()));
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            if (std::isfinite(v->X) && std::isfinite(v->Y))
                points.push_back(KorSweepPoint{v->X, v->Y, id});
    if (mesh.GetNumberOfVertices() == 0)
        return false;
    SortByYThenX(points);

    // Of each run of equal positions the last is kept.
    size_t kept = 0;
    for (size_t i = 0; i < points.size(); ++i)
        if (i + 1 == points.size() || points[i].X != points[i + 1].X || points[i].Y != points[i + 1].Y)
            points[kept++] = points[i];
    points.resize(kept);
    points.shrink_to_fit();
    ids.resize(kept);
    for (size_t i = 0; i < kept; ++i)
    {
        ids[i] = points[i].ID;
        points[i].ID = static_cast<int>(i);
    }

    if (kept < 3)
    {
        KorReport("Delaunay2D", "Impossible to triangulate less than 3 vertices");
        return false;
    }
    size_t b = 0;
    while (b < kept && points[b].Y <= points[0].Y)
        ++b;
    if (b == kept)
    {
        KorReport("Delaunay2D",
                  "All the vertices are base vertices aligned : impossible to triangulate them");
        return false;
    }
    run = b;
    if (b <= 2)
        for (run = 2; run < kept && Orient(points[0], points[1], points[run]) == 0;)
            ++run;
    return true;
}

// The same sweep on a triangle array over the compact points, the mesh
// filled once at the end. False, with the mesh left without half-edges,
// where the array cannot follow the mesh's steps (flat triangles).
bool SweepOnArray(KorMesh& mesh, std::vector<KorSweepPoint>& points, const std::vector<int>& ids, size_t run)
{
    if (run == points.size())
        return false;
    std::vector<KorSweepPoint*> order(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        order[i] = &points[i];
    TriangleCascade flips(points, 2 * points.size());
    {
        FrontOf<KorSweepPoint> front, lower;
        StartWithFan(flips, order, run, front, lower);
        Sweep(flips, order, run + 1, front, lower);
    }
    if (flips.Failed())
        return false;
    // Spent: the fill needs room for the mesh's tables.
    std::vector<KorSweepPoint*>().swap(order);
    if (flips.Fill(mesh, ids))
        return true;
    mesh.ClearEdges();
    return false;
}
} // namespace

void Delaunay2D(KorMesh& mesh)
{
    mesh.ClearEdges();
    std::vector<KorSweepPoint> points;
    std::vector<int> ids;
    size_t run = 0;
    if (!PrepareSites(mesh, points, ids, run) || SweepOnArray(mesh, points, ids, run))
        return;
    std::vector<KorVertex*> w(ids.size());
    for (size_t i = 0; i < ids.size(); ++i)
        w[i] = mesh.GetVertex(ids[i]);
    SweepOnFaces(mesh, w, run);
}

void Delaunay2DOnFaces(KorMesh& mesh)
{
    mesh.ClearEdges();
    std::vector<KorVertex*> w;
    size_t run = 0;
    if (PrepareSweep(mesh, w, run))
        SweepOnFaces(mesh, w, run);
}
