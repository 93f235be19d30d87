#include "KorMeshCrossing.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorMesh.h"
#include "KorVertex.h"

#include <algorithm>
#include <cmath>

namespace
{
sRankedPoint Ranked(const LumPoint& p, std::int64_t rank)
{
    return sRankedPoint{&p, rank};
}

// Whether the closed boxes meet.
bool BoxesMeet(const LumPoint& alo, const LumPoint& ahi, const LumPoint& blo, const LumPoint& bhi)
{
    return alo.x <= bhi.x && blo.x <= ahi.x && alo.y <= bhi.y && blo.y <= ahi.y && alo.z <= bhi.z &&
           blo.z <= ahi.z;
}

// The two coordinates kept when a plane of this normal is seen along its
// largest component.
void PlanAxes(const LumPoint& n, int& u, int& v)
{
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (az >= ax && az >= ay)
    {
        u = 0;
        v = 1;
    }
    else if (ay >= ax)
    {
        u = 2;
        v = 0;
    }
    else
    {
        u = 1;
        v = 2;
    }
}

double Coordinate(const LumPoint& p, int axis)
{
    return axis == 0 ? p.x : (axis == 1 ? p.y : p.z);
}
} // namespace

KorMeshCrossing::KorMeshCrossing(const KorMesh& first, const sRanks& firstRanks, const KorMesh& second,
                                 const sRanks& secondRanks)
{
    const KorMesh* meshes[2] = {&first, &second};
    const sRanks ranks[2] = {firstRanks, secondRanks};
    for (int m = 0; m < 2; ++m)
    {
        sSide& side = mSides[m];
        side.Mesh = meshes[m];
        side.Ranks = ranks[m];
        side.FaceFirst.assign(static_cast<size_t>(std::max(meshes[m]->GetFaceVectorSize(), 0)), -1);
        side.FaceCount.assign(side.FaceFirst.size(), 0);
        side.EdgeOfHalfEdge.assign(static_cast<size_t>(std::max(meshes[m]->GetEdgeVectorSize(), 0)), -1);
    }
}

int KorMeshCrossing::EdgeOf(int m, int halfEdge, int face, int triangle)
{
    sSide& side = mSides[m];
    const KorMesh& mesh = *side.Mesh;
    int& index = side.EdgeOfHalfEdge[static_cast<size_t>(halfEdge)];
    if (index < 0)
    {
        // The pair's half-edge from its end of lower rank, whichever face
        // is built first: a patch and the whole surface place the points
        // of the edge alike.
        const KorEdge* e = mesh.GetEdge(halfEdge);
        const KorEdge* twin = mesh.GetEdge(e->Opp);
        if (twin && side.Ranks.Of(twin->Vertex) < side.Ranks.Of(e->Vertex))
            std::swap(e, twin);
        const KorVertex* a = mesh.GetVertex(e->Vertex);
        const KorVertex* b = twin ? mesh.GetVertex(twin->Vertex) : nullptr;
        if (!twin || !a || !b)
            return -1;
        sEdge edge;
        edge.P[0] = LumPoint(a->X, a->Y, a->Z);
        edge.P[1] = LumPoint(b->X, b->Y, b->Z);
        edge.Rank[0] = side.Ranks.Of(e->Vertex);
        edge.Rank[1] = side.Ranks.Of(twin->Vertex);
        edge.HalfEdge = e->ID;
        edge.Triangles[0] = edge.Triangles[1] = -1;
        edge.Faces[0] = e->Face;
        edge.Faces[1] = twin->Face;
        const int created = static_cast<int>(side.Edges.size());
        side.Edges.push_back(edge);
        side.EdgeOfHalfEdge[static_cast<size_t>(e->ID)] = created;
        if (e->Opp >= 0 && static_cast<size_t>(e->Opp) < side.EdgeOfHalfEdge.size())
            side.EdgeOfHalfEdge[static_cast<size_t>(e->Opp)] = created;
    }
    // A twin whose twin is another half-edge: no pair.
    if (index < 0)
        return -1;
    sEdge& edge = side.Edges[static_cast<size_t>(index)];
    edge.Triangles[edge.Faces[0] == face ? 0 : 1] = triangle;
    return index;
}

bool KorMeshCrossing::BuildFace(int m, int f)
{
    sSide& side = mSides[m];
    if (f < 0 || static_cast<size_t>(f) >= side.FaceFirst.size())
        return false;
    if (side.FaceFirst[static_cast<size_t>(f)] >= 0)
        return true;
    const KorMesh& mesh = *side.Mesh;
    std::vector<const KorEdge*> ring;
    if (!mesh.GetClosedFaceRing(mesh.GetFace(f), ring))
        return false;
    const size_t n = ring.size();
    std::vector<LumPoint> points(n);
    std::vector<std::int64_t> ranks(n);
    for (size_t k = 0; k < n; ++k)
    {
        const KorVertex* v = mesh.GetVertex(ring[k]->Vertex);
        if (!v)
            return false;
        points[k] = LumPoint(v->X, v->Y, v->Z);
        ranks[k] = side.Ranks.Of(ring[k]->Vertex);
    }
    // The face's plane for the crossing points: Newell's normal through the
    // mean of the corners, the triangle's own for a triangle.
    LumPoint normal, centre;
    for (size_t k = 0; k < n; ++k)
    {
        const LumPoint& a = points[k];
        const LumPoint& b = points[(k + 1) % n];
        normal += LumPoint((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
        centre += a;
    }
    centre *= 1.0 / static_cast<double>(n);
    side.Planes[f] = std::make_pair(normal, centre);

    const int first = static_cast<int>(side.Triangles.size());
    int diagonal = -1;
    for (size_t k = 1; k + 1 < n; ++k)
    {
        const int index = static_cast<int>(side.Triangles.size());
        sTriangle t;
        t.Face = f;
        const size_t corners[3] = {0, k, k + 1};
        for (int c = 0; c < 3; ++c)
        {
            t.P[c] = points[corners[c]];
            t.Rank[c] = ranks[corners[c]];
        }
        t.Lo = LumPoint(std::min({t.P[0].x, t.P[1].x, t.P[2].x}), std::min({t.P[0].y, t.P[1].y, t.P[2].y}),
                        std::min({t.P[0].z, t.P[1].z, t.P[2].z}));
        t.Hi = LumPoint(std::max({t.P[0].x, t.P[1].x, t.P[2].x}), std::max({t.P[0].y, t.P[1].y, t.P[2].y}),
                        std::max({t.P[0].z, t.P[1].z, t.P[2].z}));
        t.Edge[0] = k == 1 ? EdgeOf(m, ring[0]->ID, f, index) : diagonal;
        if (k > 1)
            side.Edges[static_cast<size_t>(diagonal)].Triangles[1] = index;
        t.Edge[1] = EdgeOf(m, ring[k]->ID, f, index);
        if (k + 2 == n)
            t.Edge[2] = EdgeOf(m, ring[n - 1]->ID, f, index);
        else
        {
            sEdge d;
            d.P[0] = points[k + 1];
            d.P[1] = points[0];
            d.Rank[0] = ranks[k + 1];
            d.Rank[1] = ranks[0];
            d.HalfEdge = -1;
            d.Triangles[0] = index;
            d.Triangles[1] = -1;
            d.Faces[0] = d.Faces[1] = f;
            diagonal = static_cast<int>(side.Edges.size());
            side.Edges.push_back(d);
            t.Edge[2] = diagonal;
        }
        if (t.Edge[0] < 0 || t.Edge[1] < 0 || t.Edge[2] < 0)
            return false;
        side.Triangles.push_back(t);
    }
    side.FaceFirst[static_cast<size_t>(f)] = first;
    side.FaceCount[static_cast<size_t>(f)] = static_cast<int>(n - 2);
    return true;
}

int KorMeshCrossing::EventOf(int mesh, int edge, int triangle)
{
    const std::uint64_t key = (static_cast<std::uint64_t>(mesh) << 63) |
                              (static_cast<std::uint64_t>(edge) << 32) | static_cast<std::uint32_t>(triangle);
    const auto found = mEventIndex.find(key);
    if (found != mEventIndex.end())
        return found->second;
    sEvent event;
    event.Mesh = mesh;
    event.Edge = edge;
    event.Triangle = triangle;
    event.P = CrossingPoint(mesh, edge, triangle);
    event.Segments[0] = event.Segments[1] = -1;
    const int index = static_cast<int>(mEvents.size());
    mEvents.push_back(event);
    mEventIndex.emplace(key, index);
    return index;
}

LumPoint KorMeshCrossing::CrossingPoint(int mesh, int edge, int triangle) const
{
    const sEdge& e = mSides[mesh].Edges[static_cast<size_t>(edge)];
    const sSide& other = mSides[1 - mesh];
    const sTriangle& t = other.Triangles[static_cast<size_t>(triangle)];
    const LumPoint along = e.P[1] - e.P[0];
    // The triangle's own plane, where the perturbed tests met it; the
    // face's, for a sliver of a fan whose own is not to be trusted.
    const auto& face = other.Planes.at(t.Face);
    LumPoint n = (t.P[1] - t.P[0]) ^ (t.P[2] - t.P[0]);
    LumPoint origin = t.P[0];
    double longest = 0.0;
    for (int k = 0; k < 3; ++k)
        longest = std::max(longest, (t.P[(k + 1) % 3] - t.P[k]) * (t.P[(k + 1) % 3] - t.P[k]));
    const bool sliver = !(std::sqrt(n * n) > 1e-6 * longest);
    if (sliver)
    {
        n = face.first;
        origin = face.second;
    }
    double d0 = n * (e.P[0] - origin), d1 = n * (e.P[1] - origin);
    // An edge far from parallel to the plane: the rounded side values
    // place the crossing well. Nearly parallel: they are worked out
    // exactly (they then only fail to give the place when both are 0).
    const double scale = std::sqrt((n * n) * (along * along));
    if (!sliver && !(std::fabs(d0 - d1) > 1e-3 * scale))
    {
        d0 = Orient3DValue(t.P[0], t.P[1], t.P[2], e.P[0]);
        d1 = Orient3DValue(t.P[0], t.P[1], t.P[2], e.P[1]);
    }
    double at = 0.5;
    if (d0 != d1)
        at = d0 / (d0 - d1);
    else
    {
        // The edge lies in the plane: where the perturbation has it cross,
        // the plane is tilted about the side opposite its corner of
        // largest shift (the lowest rank), and the edge crosses where it
        // meets that side's line, seen along the plane's normal.
        int u = 0, v = 1;
        PlanAxes(n, u, v);
        int top = 0;
        for (int k = 1; k < 3; ++k)
            if (t.Rank[k] < t.Rank[top])
                top = k;
        const LumPoint& b = t.P[(top + 1) % 3];
        const LumPoint& c = t.P[(top + 2) % 3];
        const auto lambda = [&](const LumPoint& p)
        {
            return (Coordinate(c, u) - Coordinate(b, u)) * (Coordinate(p, v) - Coordinate(b, v)) -
                   (Coordinate(c, v) - Coordinate(b, v)) * (Coordinate(p, u) - Coordinate(b, u));
        };
        const double l0 = lambda(e.P[0]), l1 = lambda(e.P[1]);
        if (l0 != l1)
            at = l0 / (l0 - l1);
    }
    at = std::min(1.0, std::max(0.0, at));
    return e.P[0] + along * at;
}

bool KorMeshCrossing::Meet(int a, int b)
{
    const sTriangle& ta = mSides[0].Triangles[static_cast<size_t>(a)];
    const sTriangle& tb = mSides[1].Triangles[static_cast<size_t>(b)];
    if (!BoxesMeet(ta.Lo, ta.Hi, tb.Lo, tb.Hi))
        return true;
    sRankedPoint pa[3], pb[3];
    for (int k = 0; k < 3; ++k)
    {
        pa[k] = Ranked(ta.P[k], ta.Rank[k]);
        pb[k] = Ranked(tb.P[k], tb.Rank[k]);
    }
    int sb[3], sa[3];
    for (int k = 0; k < 3; ++k)
        sb[k] = PerturbedOrient3D(pa[0], pa[1], pa[2], pb[k]);
    if (sb[0] == sb[1] && sb[1] == sb[2])
        return true;
    for (int k = 0; k < 3; ++k)
        sa[k] = PerturbedOrient3D(pb[0], pb[1], pb[2], pa[k]);
    if (sa[0] == sa[1] && sa[1] == sa[2])
        return true;
    int events[6];
    int count = 0;
    // A side of one triangle whose ends lie on either side of the other's
    // plane crosses it when the line of the side passes each of the other's
    // edges the same way round.
    const auto pierce = [&](const sRankedPoint* edgeOwner, const int* signs, const sRankedPoint* other, int k)
    {
        if (signs[k] == signs[(k + 1) % 3])
            return false;
        const sRankedPoint& p = edgeOwner[k];
        const sRankedPoint& q = edgeOwner[(k + 1) % 3];
        const int s1 = PerturbedOrient3D(p, q, other[0], other[1]);
        return PerturbedOrient3D(p, q, other[1], other[2]) == s1 &&
               PerturbedOrient3D(p, q, other[2], other[0]) == s1;
    };
    for (int k = 0; k < 3; ++k)
        if (pierce(pa, sa, pb, k))
            events[count++] = EventOf(0, ta.Edge[k], b);
    for (int k = 0; k < 3; ++k)
        if (pierce(pb, sb, pa, k))
            events[count++] = EventOf(1, tb.Edge[k], a);
    if (count == 0)
        return true;
    if (count != 2)
        return false;
    const int index = static_cast<int>(mSegments.size());
    mSegments.push_back(sSegment{{a, b}, {events[0], events[1]}});
    for (int k = 0; k < 2; ++k)
    {
        int* slots = mEvents[static_cast<size_t>(events[k])].Segments;
        if (slots[0] < 0)
            slots[0] = index;
        else if (slots[1] < 0)
            slots[1] = index;
        else
            return false;
    }
    return true;
}

bool KorMeshCrossing::Find(const FaceQuery& query)
{
    mEvents.clear();
    mEventIndex.clear();
    mSegments.clear();
    mLines.clear();
    mLineEvents.clear();
    const KorMesh& first = *mSides[0].Mesh;
    const KorMesh& second = *mSides[1].Mesh;
    for (int f = 0; f < first.GetFaceVectorSize(); ++f)
        if (first.GetFace(f) && !BuildFace(0, f))
            return false;
    std::vector<int> faces, all;
    for (int f = 0; f < second.GetFaceVectorSize(); ++f)
        if (second.GetFace(f))
            all.push_back(f);
    const size_t triangles = mSides[0].Triangles.size();
    for (size_t a = 0; a < triangles; ++a)
    {
        const sTriangle t = mSides[0].Triangles[a];
        const bool narrowed = query && query(t.Lo, t.Hi, faces);
        for (int f : narrowed ? faces : all)
        {
            if (!second.GetFace(f))
                continue;
            // A broken face could hide a line wholly inside it.
            if (!BuildFace(1, f))
                return false;
            const int firstTriangle = mSides[1].FaceFirst[static_cast<size_t>(f)];
            const int count = mSides[1].FaceCount[static_cast<size_t>(f)];
            for (int b = firstTriangle; b < firstTriangle + count; ++b)
                if (!Meet(static_cast<int>(a), b))
                    return false;
        }
    }
    if (!Chain())
        return false;
    OrderAlongEdges();
    return true;
}

bool KorMeshCrossing::Chain()
{
    // Every event joins the segments of the triangles on both sides of its
    // edge; one on a border edge ends a line.
    for (const sEvent& event : mEvents)
    {
        const sEdge& edge = mSides[event.Mesh].Edges[static_cast<size_t>(event.Edge)];
        const int expected = edge.Faces[0] >= 0 && edge.Faces[1] >= 0 ? 2 : 1;
        const int found = (event.Segments[0] >= 0 ? 1 : 0) + (event.Segments[1] >= 0 ? 1 : 0);
        if (found != expected)
            return false;
    }
    const auto otherEvent = [this](int segment, int event)
    {
        const sSegment& s = mSegments[static_cast<size_t>(segment)];
        return s.Events[0] == event ? s.Events[1] : s.Events[0];
    };
    const auto otherSegment = [this](int event, int segment)
    {
        const sEvent& e = mEvents[static_cast<size_t>(event)];
        return e.Segments[0] == segment ? e.Segments[1] : e.Segments[0];
    };
    std::vector<char> visited(mSegments.size(), 0);
    for (size_t start = 0; start < mSegments.size(); ++start)
    {
        if (visited[start])
            continue;
        // Forward from the start's second event; back from its first when
        // the line is open.
        std::vector<int> events{mSegments[start].Events[0]}, segments;
        int segment = static_cast<int>(start);
        bool closed = false;
        for (;;)
        {
            visited[static_cast<size_t>(segment)] = 1;
            segments.push_back(segment);
            const int event = otherEvent(segment, events.back());
            const int next = otherSegment(event, segment);
            if (next == static_cast<int>(start))
            {
                closed = true;
                break;
            }
            events.push_back(event);
            if (next < 0)
                break;
            segment = next;
        }
        if (!closed)
        {
            std::vector<int> backEvents, backSegments;
            int event = mSegments[start].Events[0];
            segment = otherSegment(event, static_cast<int>(start));
            while (segment >= 0)
            {
                visited[static_cast<size_t>(segment)] = 1;
                backSegments.push_back(segment);
                event = otherEvent(segment, event);
                backEvents.push_back(event);
                segment = otherSegment(event, segment);
            }
            std::reverse(backEvents.begin(), backEvents.end());
            std::reverse(backSegments.begin(), backSegments.end());
            backEvents.insert(backEvents.end(), events.begin(), events.end());
            backSegments.insert(backSegments.end(), segments.begin(), segments.end());
            events.swap(backEvents);
            segments.swap(backSegments);
        }

        // The points of the line are its events on the faces' own edges;
        // those on a fan's diagonal lie inside one face of each mesh.
        sLine line;
        line.Closed = closed;
        std::vector<int> kept;
        for (size_t k = 0; k < events.size(); ++k)
        {
            const sEvent& e = mEvents[static_cast<size_t>(events[k])];
            if (mSides[e.Mesh].Edges[static_cast<size_t>(e.Edge)].HalfEdge >= 0)
                kept.push_back(static_cast<int>(k));
        }
        if (kept.empty())
            return false;
        std::vector<int> lineEvents;
        for (size_t i = 0; i < kept.size(); ++i)
        {
            const size_t k = static_cast<size_t>(kept[i]);
            const sEvent& e = mEvents[static_cast<size_t>(events[k])];
            const sEdge& edge = mSides[e.Mesh].Edges[static_cast<size_t>(e.Edge)];
            sLinePoint point;
            point.P = e.P;
            point.On[e.Mesh] = sBooleanIntersection{9, edge.HalfEdge, -1};
            const sTriangle& t = mSides[1 - e.Mesh].Triangles[static_cast<size_t>(e.Triangle)];
            point.On[1 - e.Mesh] = sBooleanIntersection{1, t.Face, -1};
            line.Points.push_back(point);
            lineEvents.push_back(events[k]);
            if (k < segments.size() && (closed || i + 1 < kept.size()))
            {
                const sSegment& s = mSegments[static_cast<size_t>(segments[k])];
                for (int m = 0; m < 2; ++m)
                    line.Faces[m].push_back(mSides[m].Triangles[static_cast<size_t>(s.Triangles[m])].Face);
            }
        }
        if (!closed)
        {
            for (int end = 0; end < 2; ++end)
            {
                const sEvent& e = mEvents[static_cast<size_t>(end == 0 ? events.front() : events.back())];
                const sEdge& edge = mSides[e.Mesh].Edges[static_cast<size_t>(e.Edge)];
                line.EndMesh[end] = e.Mesh;
                line.EndEdge[end] =
                    edge.Faces[0] < 0 ? edge.HalfEdge : (*mSides[e.Mesh].Mesh).GetEdge(edge.HalfEdge)->Opp;
            }
        }
        mLines.push_back(std::move(line));
        mLineEvents.push_back(std::move(lineEvents));
    }
    return true;
}

void KorMeshCrossing::OrderAlongEdges()
{
    // The points on each edge by their place along it from the origin of
    // its half-edge: by the rounded places first, then, pair by pair, by
    // the order of the perturbed crossings, which tells apart crossings at
    // one point too (the edge through a vertex of the other mesh).
    struct sPlace
    {
        std::uint64_t Edge;
        double At;
        int Event;
        sLinePoint* Point;
    };
    std::vector<sPlace> places;
    for (size_t l = 0; l < mLines.size(); ++l)
        for (size_t i = 0; i < mLines[l].Points.size(); ++i)
        {
            const int index = mLineEvents[l][i];
            const sEvent& e = mEvents[static_cast<size_t>(index)];
            const sEdge& edge = mSides[e.Mesh].Edges[static_cast<size_t>(e.Edge)];
            const LumPoint along = edge.P[1] - edge.P[0];
            const double length2 = along * along;
            const double at = length2 > 0.0 ? ((e.P - edge.P[0]) * along) / length2 : 0.0;
            places.push_back(
                sPlace{(static_cast<std::uint64_t>(e.Mesh) << 32) | static_cast<std::uint32_t>(e.Edge), at,
                       index, &mLines[l].Points[i]});
        }
    std::sort(places.begin(), places.end(),
              [](const sPlace& u, const sPlace& v)
              {
                  if (u.Edge != v.Edge)
                      return u.Edge < v.Edge;
                  if (u.At != v.At)
                      return u.At < v.At;
                  return u.Event < v.Event;
              });
    for (size_t begin = 0; begin < places.size();)
    {
        size_t end = begin + 1;
        while (end < places.size() && places[end].Edge == places[begin].Edge)
            ++end;
        const sEvent& e = mEvents[static_cast<size_t>(places[begin].Event)];
        const sEdge& edge = mSides[e.Mesh].Edges[static_cast<size_t>(e.Edge)];
        const sRankedPoint p{&edge.P[0], edge.Rank[0]}, q{&edge.P[1], edge.Rank[1]};
        const auto corners = [&](int event, sRankedPoint* out)
        {
            const sTriangle& t =
                mSides[1 - e.Mesh]
                    .Triangles[static_cast<size_t>(mEvents[static_cast<size_t>(event)].Triangle)];
            for (int k = 0; k < 3; ++k)
                out[k] = sRankedPoint{&t.P[k], t.Rank[k]};
        };
        for (size_t i = begin + 1; i < end; ++i)
            for (size_t j = i; j > begin; --j)
            {
                sRankedPoint t1[3], t2[3];
                corners(places[j - 1].Event, t1);
                corners(places[j].Event, t2);
                if (PerturbedCrossingOrder(p, q, t1, t2) <= 0)
                    break;
                std::swap(places[j - 1], places[j]);
            }
        for (size_t i = begin; i < end; ++i)
            places[i].Point->Order = static_cast<int>(i - begin);
        begin = end;
    }
}

bool KorMeshCrossing::OddCrossings(const KorMesh& mesh, const sRanks& ranks, const std::vector<int>* faces,
                                   const sRankedPoint& p, bool up)
{
    bool odd = false;
    std::vector<const KorEdge*> ring;
    std::vector<LumPoint> points;
    std::vector<std::int64_t> pointRanks;
    const auto visit = [&](int f)
    {
        if (!mesh.GetClosedFaceRing(mesh.GetFace(f), ring))
            return;
        points.clear();
        pointRanks.clear();
        double xlo = p.P->x, xhi = p.P->x, ylo = p.P->y, yhi = p.P->y;
        bool first = true;
        for (const KorEdge* e : ring)
        {
            const KorVertex* v = mesh.GetVertex(e->Vertex);
            if (!v)
                return;
            points.emplace_back(v->X, v->Y, v->Z);
            pointRanks.push_back(ranks.Of(e->Vertex));
            if (first)
            {
                xlo = xhi = v->X;
                ylo = yhi = v->Y;
                first = false;
            }
            xlo = std::min(xlo, v->X);
            xhi = std::max(xhi, v->X);
            ylo = std::min(ylo, v->Y);
            yhi = std::max(yhi, v->Y);
        }
        // The shifts are infinitesimal: a point strictly off the face's
        // plan box is off its perturbed triangles too.
        if (p.P->x < xlo || p.P->x > xhi || p.P->y < ylo || p.P->y > yhi)
            return;
        const sRankedPoint a = Ranked(points[0], pointRanks[0]);
        for (size_t k = 1; k + 1 < points.size(); ++k)
        {
            const sRankedPoint b = Ranked(points[k], pointRanks[k]);
            const sRankedPoint c = Ranked(points[k + 1], pointRanks[k + 1]);
            const int o = PerturbedOrient2D(a, b, c);
            if (PerturbedOrient2D(a, b, p) != o || PerturbedOrient2D(b, c, p) != o ||
                PerturbedOrient2D(c, a, p) != o)
                continue;
            // The side of the plane p stands on, read against the way the
            // normal points in altitude (o).
            const int side = PerturbedOrient3D(a, b, c, p) * o;
            if ((up && side < 0) || (!up && side > 0))
                odd = !odd;
        }
    };
    if (faces)
        for (int f : *faces)
            visit(f);
    else
        for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
            visit(f);
    return odd;
}
