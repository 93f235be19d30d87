#include "CalculeFronts.h"

#include "Couche.h"
#include "KorException.h"
#include "KorGeometry.h"
#include "KorMesh.h"

#include <cmath>
#include <vector>

namespace
{
constexpr double kEnd = 1e-5;   // a crossing this close to an edge's end is its vertex
constexpr double kClose = 1e-4; // a point this close in plan to the first one closes the outline

LumPoint Position(const KorVertex* v)
{
    return LumPoint(v->X, v->Y, v->Z);
}

class FrontWalker
{
public:
    FrontWalker(Couche& couche, const LumPoint corners[4], const LumPoint& lo, const LumPoint& hi)
        : mCouche(couche), mMesh(couche.GetMesh()), mPoints(couche.FrontPoints), mLo(lo), mHi(hi)
    {
        for (int k = 0; k < 4; ++k)
            mCorners[k] = corners[k];
        mMaxSteps = 4L * (mMesh.GetEdgeVectorSize() + mMesh.GetVertexVectorSize());
    }

    // From a corner on the surface, along the side leaving it.
    void StartAtCorner(int corner, int face);
    // From the first crossing of the surface's border with a side.
    void StartOnBorder();
    void Run();

private:
    enum class State
    {
        InFace,   // entered the face of mEdge through it
        AtVertex, // on the vertex mVertex
        OnBorder, // on the border vertex mVertex, come along mEdge
        Corner,   // walking the sides inside mFace
        Stop
    };

    const LumPoint& EndCorner() const { return mCorners[(mSide + 1) % 4]; }
    LumPoint Origin(const KorEdge* e) const { return Position(mMesh.GetVertex(e->Vertex)); }
    LumPoint End(const KorEdge* e) const { return Origin(mMesh.GetEdge(e->Opp)); }
    bool Valid(const KorEdge* e) const
    {
        const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
        return twin && mMesh.GetVertex(e->Vertex) && mMesh.GetVertex(twin->Vertex);
    }
    // Pushes p unless it closes the outline (then the walk ends).
    bool Push(const LumPoint& p)
    {
        if (!mPoints.empty() && (p - mPoints.front()).Norm2D() < kClose)
        {
            mState = State::Stop;
            return false;
        }
        mPoints.push_back(p);
        return true;
    }
    void Fail(const std::string& text)
    {
        KorReport("CalculeFronts", text);
        mState = State::Stop;
    }
    // Where the followed segment (the last point to the end corner) crosses
    // edge e, away from the last point; t along e.
    bool Crosses(const KorEdge* e, double& t) const
    {
        if (!Valid(e) || mPoints.empty())
            return false;
        const LumPoint o = Origin(e), q = End(e);
        if (!SegmentsIntersection(o, q, mPoints.back(), EndCorner(), &t))
            return false;
        return ((o + (q - o) * t) - mPoints.back()).Norm2D() > kClose;
    }
    // The walk goes on from a crossing of e at t: from its vertex when the
    // crossing is at an end, else into the face beyond e. Returns the vertex
    // reached, or -1.
    int TakeCrossing(const KorEdge* e, double t);
    void StepInFace();
    void StepAtVertex();
    void StepOnBorder();

    Couche& mCouche;
    KorMesh& mMesh;
    std::vector<LumPoint>& mPoints;
    LumPoint mCorners[4];
    LumPoint mLo, mHi;
    long mMaxSteps = 0;
    State mState = State::Stop;
    int mSide = 0;
    int mEdge = -1;
    int mVertex = -1;
    int mFace = -1;
};

int FrontWalker::TakeCrossing(const KorEdge* e, double t)
{
    int vertex = -1;
    if (std::fabs(t) < kEnd)
        vertex = e->Vertex;
    else if (std::fabs(t - 1.0) < kEnd)
        vertex = mMesh.GetEdge(e->Opp)->Vertex;
    if (vertex >= 0)
    {
        if (Push(Position(mMesh.GetVertex(vertex))))
        {
            mVertex = vertex;
            mState = State::AtVertex;
        }
        return vertex;
    }
    const LumPoint o = Origin(e);
    if (Push(o + (End(e) - o) * t))
    {
        mEdge = e->Opp;
        mState = State::InFace;
    }
    return -1;
}

void FrontWalker::StartAtCorner(int corner, int face)
{
    mSide = corner;
    mState = State::Stop;
    if (!Push(mCorners[corner]))
        return;
    const KorFace* f = mMesh.GetFace(face);
    if (!f)
    {
        Fail("Impossible de trouver une intersection");
        return;
    }
    mFace = face;
    mState = State::Corner;
    const KorEdge* e = mMesh.GetEdge(f->Edge);
    for (int k = 0; k < 3 && e; ++k, e = mMesh.GetEdge(e->Next))
    {
        double t = 0.0;
        if (Crosses(e, t))
        {
            TakeCrossing(e, t);
            return;
        }
    }
}

void FrontWalker::StartOnBorder()
{
    mState = State::Stop;
    std::vector<int> border;
    mCouche.GetContour(border);
    // The walk runs toward each side's end corner: it starts where a side
    // enters the surface, as a start where the side leaves it would walk
    // out at once. The first crossing serves when none is seen to enter.
    for (const bool entering : {true, false})
        for (int id : border)
        {
            const KorEdge* e = mMesh.GetEdge(id);
            const KorFace* face = Valid(e) ? mMesh.GetFace(mMesh.GetEdge(e->Opp)->Face) : nullptr;
            if (!face)
                continue;
            const LumPoint o = Origin(e), q = End(e);
            LumPoint a, b, c;
            mMesh.GetFaceTriangle(face, a, b, c);
            for (int side = 0; side < 4; ++side)
            {
                double t = 0.0;
                const LumPoint& end = mCorners[(side + 1) % 4];
                if (!SegmentsIntersection(o, q, mCorners[side], end, &t))
                    continue;
                const LumPoint p = o + (q - o) * t;
                if (entering && !PointInTriangle2D(p + (end - p) * 1e-4, a, b, c))
                    continue;
                Push(p);
                mSide = side;
                mFace = face->GetID();
                mState = State::Corner;
                return;
            }
        }
}

void FrontWalker::StepInFace()
{
    const KorEdge* h = mMesh.GetEdge(mEdge);
    if (!Valid(h))
        return Fail("Impossible de trouver une intersection");
    if (h->Face >= 0)
    {
        const KorEdge* e1 = mMesh.GetEdge(h->Next);
        const KorEdge* e2 = e1 ? mMesh.GetEdge(e1->Next) : nullptr;
        if (!Valid(e1) || !Valid(e2))
            return Fail("Impossible de trouver une intersection");
        if (PointInTriangle2D(EndCorner(), Origin(h), Origin(e1), Origin(e2)))
        {
            if (Push(EndCorner()))
            {
                mSide = (mSide + 1) % 4;
                mFace = h->Face;
                mState = State::Corner;
            }
            return;
        }
        for (const KorEdge* e : {e1, e2})
        {
            double t = 0.0;
            if (Crosses(e, t))
            {
                TakeCrossing(e, t);
                return;
            }
        }
        return Fail("Impossible de trouver une intersection");
    }
    // Out of the surface through its border edge h.
    const LumPoint o = Origin(h), q = End(h);
    const bool inO = PointInRectangle2D(o, mLo, mHi), inQ = PointInRectangle2D(q, mLo, mHi);
    if (inO != inQ)
    {
        const int vertex = inO ? h->Vertex : mMesh.GetEdge(h->Opp)->Vertex;
        if (Push(inO ? o : q))
        {
            mVertex = vertex;
            mEdge = inO ? mEdge : h->Opp; // the border half-edge leaving that vertex
            mState = State::OnBorder;
        }
        return;
    }
    for (int side = 0; side < 4; ++side)
    {
        double t = 0.0;
        if (!SegmentsIntersection(o, q, mCorners[side], mCorners[(side + 1) % 4], &t))
            continue;
        const LumPoint p = o + (q - o) * t;
        if ((p - mPoints.back()).Norm2D() <= kClose)
            continue;
        if (Push(p))
        {
            mSide = side;
            mFace = mMesh.GetEdge(h->Opp)->Face;
            mState = State::Corner;
        }
        return;
    }
    Fail("Impossible de trouver une intersection");
}

void FrontWalker::StepAtVertex()
{
    const int from = mVertex;
    std::vector<KorEdge*> around;
    mMesh.GetEdgesAroundVertex(mMesh.GetVertex(from), around);
    const LumPoint v = Position(mMesh.GetVertex(from));
    for (const KorEdge* e : around)
    {
        const KorEdge* n = e && e->Face >= 0 ? mMesh.GetEdge(e->Next) : nullptr;
        if (!Valid(n) || !Valid(e))
            continue;
        if (PointInTriangle2D(EndCorner(), v, Origin(n), End(n)))
        {
            if (Push(EndCorner()))
            {
                mSide = (mSide + 1) % 4;
                mFace = e->Face;
                mState = State::Corner;
            }
            return;
        }
    }
    for (const KorEdge* e : around)
    {
        const KorEdge* n = e && e->Face >= 0 ? mMesh.GetEdge(e->Next) : nullptr;
        double t = 0.0;
        if (!Valid(n) || !Crosses(n, t))
            continue;
        // Landing on the vertex it started from would make no progress.
        const bool atStart = (std::fabs(t) < kEnd && n->Vertex == from) ||
                             (std::fabs(t - 1.0) < kEnd && mMesh.GetEdge(n->Opp)->Vertex == from);
        if (atStart)
            break;
        TakeCrossing(n, t);
        return;
    }
    Fail("Impossible de trouver une intersection depuis un point confondu");
}

void FrontWalker::StepOnBorder()
{
    // Around the border vertex along Turn, after the half-edge the walk
    // holds, to the next piece of border.
    const int held = mEdge;
    const KorEdge* start = mMesh.GetEdge(held);
    int candidate = start ? start->Turn : -1;
    const KorEdge* next = nullptr;
    for (int turns = 0; candidate >= 0 && candidate != held && turns <= mMesh.GetEdgeVectorSize(); ++turns)
    {
        const KorEdge* c = mMesh.GetEdge(candidate);
        const KorEdge* twin = c ? mMesh.GetEdge(c->Opp) : nullptr;
        if (!twin)
            break;
        if (c->Face < 0 || twin->Face < 0)
        {
            next = c;
            break;
        }
        candidate = c->Turn;
    }
    if (!Valid(next))
        return Fail("Tour complet autour d'un vertex libre");
    const LumPoint x = Origin(next), y = End(next);
    if (PointInRectangle2D(y, mLo, mHi))
    {
        if (Push(y))
        {
            mVertex = mMesh.GetEdge(next->Opp)->Vertex;
            mEdge = next->Opp;
        }
        return;
    }
    for (int k = 0; k < 5; ++k)
    {
        const int side = (mSide + k) % 4;
        double t = 0.0;
        if (!SegmentsIntersection(x, y, mCorners[side], mCorners[(side + 1) % 4], &t))
            continue;
        if (Push(x + (y - x) * t))
        {
            mSide = side;
            mFace = next->Face >= 0 ? next->Face : mMesh.GetEdge(next->Opp)->Face;
            mState = State::Corner;
        }
        return;
    }
    Fail("Impossible de trouver une intersection depuis un point libre");
}

void FrontWalker::Run()
{
    long steps = 0;
    while (mState != State::Stop)
    {
        if (++steps > mMaxSteps)
        {
            KorReport("CalculeFronts", "Nombre maximal d'étapes atteint : contour interrompu");
            return;
        }
        switch (mState)
        {
        case State::InFace:
            StepInFace();
            break;
        case State::AtVertex:
            StepAtVertex();
            break;
        case State::OnBorder:
            StepOnBorder();
            break;
        case State::Corner:
            mEdge = mCouche.GetEdgeFromCorner(mSide, mMesh, mFace, mCorners);
            mState = mEdge >= 0 ? State::InFace : State::Stop;
            break;
        case State::Stop:
            break;
        }
    }
}
} // namespace

void CalculeFronts(Couche* couche, const LumPoint& limite1, const LumPoint& limite2)
{
    if (!couche)
        return;
    couche->FrontPoints.clear();
    KorMesh& mesh = couche->GetMesh();
    if (mesh.GetNumberOfVertices() < 3)
        return;
    couche->SetDiscontinuitySurfacesBuilt(false);

    LumPoint lo, hi;
    couche->GetZoneRectangle(limite1, limite2, lo, hi);
    LumPoint corners[4] = {LumPoint(lo.x, lo.y, 0), LumPoint(hi.x, lo.y, 0), LumPoint(hi.x, hi.y, 0),
                           LumPoint(lo.x, hi.y, 0)};
    bool onSurface[4];
    for (int k = 0; k < 4; ++k)
    {
        double z = 0.0;
        onSurface[k] = couche->GetAltitude(corners[k].x, corners[k].y, z);
        corners[k].z = onSurface[k] ? z : 0.0;
    }
    FrontWalker walker(*couche, corners, lo, hi);
    bool started = false;
    for (int k = 0; k < 4 && !started; ++k)
        if (onSurface[k])
        {
            walker.StartAtCorner(
                k, couche->GetFaceAt(static_cast<float>(corners[k].x), static_cast<float>(corners[k].y)));
            started = true;
        }
    if (!started)
    {
        // No corner on the surface: is there any of it inside, and does it
        // reach outside?
        bool inside = false, outside = false;
        for (int id = 0; id < mesh.GetVertexVectorSize() && !(inside && outside); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                const bool in = PointInRectangle2D(Position(v), lo, hi);
                inside = inside || in;
                outside = outside || !in;
            }
        if (!inside)
            return;
        if (!outside)
        {
            couche->GetContour(couche->FrontPoints);
            return;
        }
        walker.StartOnBorder();
    }
    walker.Run();
}
