#include "CalculeFronts.h"

#include "Couche.h"
#include "KorEdge.h"
#include "KorException.h"
#include "KorMesh.h"
#include "KorVertex.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace
{
constexpr double kEnd = 1e-5;   // a crossing this close to an edge's end is its vertex
constexpr double kClose = 1e-4; // a point this close in plan to the first one closes the outline

// The outline of the part of a surface inside a rectangle, made as a graph
// and walked: its pieces are the stretches of the rectangle's sides over
// the surface, through every crossing of a side with an edge of the
// surface, and the parts of the surface's border inside the rectangle,
// each going round the part counter-clockwise. A point is named by what
// it is (a corner, a vertex of the surface, the crossing of an edge with a
// side), so that a side and the border meet on the very same point
// wherever the rectangle's corners and sides fall on the surface's
// vertices and edges; which stretches of a side lie over the surface is
// asked just inside the rectangle, so a side running along an edge or
// through a vertex takes what lies on its inner side.
class Outline
{
public:
    Outline(Couche& couche, const LumPoint corners[4], const bool onSurface[4], const LumPoint& lo,
            const LumPoint& hi)
        : mCouche(couche), mMesh(couche.GetMesh()), mLo(lo), mHi(hi)
    {
        for (int k = 0; k < 4; ++k)
        {
            mCorners[k] = corners[k];
            mOnSurface[k] = onSurface[k];
        }
    }

    // Builds the pieces; whether any side stretch lies over the surface
    // (else the surface lies wholly inside or outside the rectangle).
    bool Build();
    // The walk from the first corner on the surface (A, B, C, D), else from
    // the first crossing of the border with a side in the border's order.
    void Walk(std::vector<LumPoint>& points);

private:
    // What a point is: a corner (A = -1 ... D = -4, Second -1), a vertex of
    // the surface (its id, Second -1), the crossing of the edge of vertices
    // First < Second with side Side.
    struct sKey
    {
        int First, Second, Side;
        bool operator<(const sKey& o) const
        {
            return std::tie(First, Second, Side) < std::tie(o.First, o.Second, o.Side);
        }
    };
    static sKey Corner(int k) { return sKey{-1 - k, -1, -1}; }
    static sKey Vertex(int v) { return sKey{v, -1, -1}; }

    // The plan coordinate along side k's line and across it.
    double Along(const LumPoint& p, int k) const { return k % 2 == 0 ? p.x : p.y; }
    double Across(const LumPoint& p, int k) const { return k % 2 == 0 ? p.y : p.x; }
    double Line(int k) const { return k == 0 ? mLo.y : (k == 1 ? mHi.x : (k == 2 ? mHi.y : mLo.x)); }
    LumPoint Position(int v) const
    {
        const KorVertex* x = mMesh.GetVertex(v);
        return LumPoint(x->X, x->Y, x->Z);
    }
    // The point where the edge u-w (ends strictly on either side of side
    // k's line) crosses it, computed from the edge's ends in one order; its
    // key, a vertex's when within kEnd of an end, a corner's when on one.
    sKey Crossing(int u, int w, int k, LumPoint& p) const;
    void AddPoint(const sKey& key, const LumPoint& p) { mPoints.emplace(key, p); }
    void AddPiece(const sKey& from, const sKey& to, bool alongSide)
    {
        if (!(from < to || to < from))
            return;
        mNext[from].push_back(to);
        if (alongSide)
            mAlongSide.emplace(from, to);
    }
    void AddSide(int k);
    void AddBorder(int halfEdge);
    bool InsideSideStretch(int k, double a, double b);

    Couche& mCouche;
    const KorMesh& mMesh;
    LumPoint mCorners[4];
    bool mOnSurface[4];
    LumPoint mLo, mHi;
    std::map<sKey, LumPoint> mPoints;
    std::map<sKey, std::vector<sKey>> mNext;
    // The pieces along a side, by the point they leave.
    std::map<sKey, sKey> mAlongSide;
    bool mSideStretch = false;
};

Outline::sKey Outline::Crossing(int u, int w, int k, LumPoint& p) const
{
    if (w < u)
        std::swap(u, w);
    const LumPoint a = Position(u), b = Position(w);
    const double line = Line(k);
    const double t = (line - Across(a, k)) / (Across(b, k) - Across(a, k));
    if (t < kEnd)
    {
        p = a;
        return Vertex(u);
    }
    if (t > 1.0 - kEnd)
    {
        p = b;
        return Vertex(w);
    }
    p = a + (b - a) * t;
    // On the line exactly, whatever the rounding of the interpolation.
    if (k % 2 == 0)
        p.y = line;
    else
        p.x = line;
    for (int c : {k, (k + 1) % 4})
        if (Along(p, k) == Along(mCorners[c], k))
        {
            p = mCorners[c];
            return Corner(c);
        }
    return sKey{u, w, k};
}

bool Outline::InsideSideStretch(int k, double a, double b)
{
    // The middle of the stretch, a hair inside the rectangle.
    const double inward = 1e-7 * std::max({1.0, mHi.x - mLo.x, mHi.y - mLo.y});
    const double middle = 0.5 * (a + b);
    double x = 0.0, y = 0.0;
    if (k % 2 == 0)
    {
        x = middle;
        y = Line(k) + (k == 0 ? inward : -inward);
    }
    else
    {
        x = Line(k) + (k == 3 ? inward : -inward);
        y = middle;
    }
    double z = 0.0;
    return mCouche.GetAltitude(x, y, z);
}

void Outline::AddSide(int k)
{
    const LumPoint& from = mCorners[k];
    const LumPoint& to = mCorners[(k + 1) % 4];
    const double line = Line(k);
    const double lo = std::min(Along(from, k), Along(to, k)), hi = std::max(Along(from, k), Along(to, k));
    // Every point of the surface on the side: its vertices on the line and
    // the crossings of the edges across it.
    std::vector<std::pair<double, sKey>> stops{{Along(from, k), Corner(k)},
                                               {Along(to, k), Corner((k + 1) % 4)}};
    for (int id = 0; id < mMesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mMesh.GetVertex(id))
        {
            const LumPoint p(v->X, v->Y, v->Z);
            if (v->Edge >= 0 && Across(p, k) == line && Along(p, k) > lo && Along(p, k) < hi)
            {
                AddPoint(Vertex(id), p);
                stops.emplace_back(Along(p, k), Vertex(id));
            }
        }
    for (int id = 0; id < mMesh.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* e = mMesh.GetEdge(id);
        const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
        if (!twin || e->ID > twin->ID || (e->Face < 0 && twin->Face < 0))
            continue;
        const double du = Across(Position(e->Vertex), k) - line,
                     dw = Across(Position(twin->Vertex), k) - line;
        if (!((du < 0.0 && dw > 0.0) || (du > 0.0 && dw < 0.0)))
            continue;
        LumPoint p;
        const sKey key = Crossing(e->Vertex, twin->Vertex, k, p);
        if (Along(p, k) < lo || Along(p, k) > hi)
            continue;
        AddPoint(key, p);
        stops.emplace_back(Along(p, k), key);
    }
    // In the side's way, from its first corner.
    const bool forward = Along(to, k) > Along(from, k);
    std::sort(stops.begin(), stops.end(),
              [forward](const auto& a, const auto& b)
              {
                  return forward ? (a.first < b.first || (a.first == b.first && a.second < b.second))
                                 : (a.first > b.first || (a.first == b.first && a.second < b.second));
              });
    stops.erase(std::unique(stops.begin(), stops.end(),
                            [](const auto& a, const auto& b)
                            { return !(a.second < b.second || b.second < a.second); }),
                stops.end());
    for (size_t i = 0; i + 1 < stops.size(); ++i)
    {
        if (stops[i].first == stops[i + 1].first || !InsideSideStretch(k, stops[i].first, stops[i + 1].first))
            continue;
        // A corner off the surface ends no stretch over it, but where the
        // surface touches it.
        for (size_t j : {i, i + 1})
            for (int c = 0; c < 4; ++c)
                if (!(stops[j].second < Corner(c) || Corner(c) < stops[j].second))
                    AddPoint(Corner(c), mCorners[c]);
        AddPiece(stops[i].second, stops[i + 1].second, true);
        mSideStretch = true;
    }
}

void Outline::AddBorder(int halfEdge)
{
    // The border half-edge has no face; its twin turns round the surface
    // the way the outline does.
    const KorEdge* h = mMesh.GetEdge(halfEdge);
    const KorEdge* twin = h ? mMesh.GetEdge(h->Opp) : nullptr;
    if (!twin)
        return;
    const int u = twin->Vertex, w = h->Vertex;
    const LumPoint a = Position(u), b = Position(w);
    // The part inside the rectangle, bounds included, and the sides it
    // enters and leaves it by.
    double t0 = 0.0, t1 = 1.0;
    int enter = -1, leave = -1;
    for (int k = 0; k < 4; ++k)
    {
        const double sign = (k == 0 || k == 3) ? 1.0 : -1.0; // inside: sign (across - line) >= 0
        const double fa = sign * (Across(a, k) - Line(k)), fb = sign * (Across(b, k) - Line(k));
        if (fa < 0.0 && fb < 0.0)
            return;
        // Along a side: the side's own stretches stand for it.
        if (fa == 0.0 && fb == 0.0)
            return;
        if (fa < 0.0 && fa / (fa - fb) > t0)
        {
            t0 = fa / (fa - fb);
            enter = k;
        }
        else if (fb < 0.0 && fa / (fa - fb) < t1)
        {
            t1 = fa / (fa - fb);
            leave = k;
        }
    }
    if (t0 >= t1)
        return;
    LumPoint p;
    const sKey start = enter < 0 ? Vertex(u) : Crossing(u, w, enter, p);
    if (enter < 0)
        p = a;
    AddPoint(start, p);
    const sKey end = leave < 0 ? Vertex(w) : Crossing(u, w, leave, p);
    if (leave < 0)
        p = b;
    AddPoint(end, p);
    AddPiece(start, end, false);
}

bool Outline::Build()
{
    for (int k = 0; k < 4; ++k)
        if (mOnSurface[k])
            AddPoint(Corner(k), mCorners[k]);
    for (int k = 0; k < 4; ++k)
        AddSide(k);
    for (int id = 0; id < mMesh.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* e = mMesh.GetEdge(id);
        const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
        if (e && e->Face < 0 && twin && twin->Face >= 0)
            AddBorder(id);
    }
    return mSideStretch;
}

void Outline::Walk(std::vector<LumPoint>& points)
{
    // The first corner on the surface that the outline leaves from; else
    // the first crossing of the border with a side where the outline goes
    // on along the side (the side enters the surface there).
    bool found = false;
    sKey start{0, 0, 0};
    for (int k = 0; k < 4 && !found; ++k)
        if (mOnSurface[k] && mNext.count(Corner(k)))
        {
            start = Corner(k);
            found = true;
        }
    std::vector<int> border;
    mCouche.GetContour(border);
    for (size_t i = 0; i < border.size() && !found; ++i)
    {
        const KorEdge* h = mMesh.GetEdge(border[i]);
        const KorEdge* twin = h ? mMesh.GetEdge(h->Opp) : nullptr;
        for (int k = 0; twin && k < 4 && !found; ++k)
        {
            const double du = Across(Position(h->Vertex), k) - Line(k);
            const double dw = Across(Position(twin->Vertex), k) - Line(k);
            if (!((du < 0.0 && dw > 0.0) || (du > 0.0 && dw < 0.0)))
                continue;
            LumPoint p;
            const sKey key = Crossing(h->Vertex, twin->Vertex, k, p);
            if (mAlongSide.count(key))
            {
                start = key;
                found = true;
            }
        }
    }
    for (const auto& entry : mNext)
        if (!found)
        {
            start = entry.first;
            found = true;
        }
    if (!found)
        return;
    // Every piece once, in one closed outline: where the part touches
    // itself at a point (the border meeting a side at a vertex), the point
    // has two pieces out and the outline goes round both lobes. Sub-walks
    // that come back early are spliced in where they began.
    std::map<sKey, size_t> used;
    std::vector<sKey> stack{start}, circuit;
    while (!stack.empty())
    {
        const sKey at = stack.back();
        const auto next = mNext.find(at);
        size_t& taken = used[at];
        if (next != mNext.end() && taken < next->second.size())
            stack.push_back(next->second[taken++]);
        else
        {
            circuit.push_back(at);
            stack.pop_back();
        }
    }
    std::reverse(circuit.begin(), circuit.end());
    if (circuit.size() < 2 || !(!(circuit.back() < start) && !(start < circuit.back())))
    {
        KorReport("CalculeFronts", "Impossible de trouver une intersection");
        return;
    }
    circuit.pop_back();
    for (const sKey& key : circuit)
    {
        const auto point = mPoints.find(key);
        if (point == mPoints.end())
        {
            KorReport("CalculeFronts", "Impossible de trouver une intersection");
            return;
        }
        const LumPoint& p = point->second;
        // A point within the closing distance of the first closes the
        // outline; one on the last is the same point.
        if (points.size() > 1 && (p - points.front()).Norm2D() < kClose)
            return;
        if (points.empty() || (p - points.back()).Norm2D() >= kClose)
            points.push_back(p);
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
    Outline outline(*couche, corners, onSurface, lo, hi);
    if (!outline.Build())
    {
        // No side over the surface: it lies wholly inside the rectangle,
        // and is its contour, or has nothing inside.
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
                if (v->Edge >= 0 && v->X >= lo.x && v->X <= hi.x && v->Y >= lo.y && v->Y <= hi.y)
                {
                    couche->GetContour(couche->FrontPoints);
                    return;
                }
        return;
    }
    outline.Walk(couche->FrontPoints);
}
