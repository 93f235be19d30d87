#include "KorMeshSplit.h"

#include "KorEdge.h"
#include "KorExactPredicates.h"
#include "KorFace.h"
#include "KorMesh.h"
#include "KorVertex.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

namespace
{
// A ring whose area is below this share of its perimeter squared holds
// nothing.
constexpr double kFlatLoop = 1e-12;

// A vertex seen in the plane a face is split in.
struct sFlat
{
    int Id;
    double U, V;
};

// How a face is seen flat: the two coordinates kept (its normal's largest
// component dropped) and the sign its turning takes there.
struct sView
{
    int U = 0, V = 1;
    int Sign = 1;
};

sView ViewOf(const LumPoint& n)
{
    sView view;
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (az >= ax && az >= ay)
    {
        view.U = 0;
        view.V = 1;
        view.Sign = n.z < 0.0 ? -1 : 1;
    }
    else if (ay >= ax)
    {
        view.U = 2;
        view.V = 0;
        view.Sign = n.y < 0.0 ? -1 : 1;
    }
    else
    {
        view.U = 1;
        view.V = 2;
        view.Sign = n.x < 0.0 ? -1 : 1;
    }
    return view;
}

double Axis(const KorVertex& v, int axis)
{
    return axis == 0 ? v.X : (axis == 1 ? v.Y : v.Z);
}

int Turn(const sFlat& a, const sFlat& b, const sFlat& c)
{
    return Orient2DSign(a.U, a.V, b.U, b.V, c.U, c.V);
}

// The turn, 0 where it is within rounding of the points' places: a line's
// points stand off the face's sides by as much, and their triangles are
// read as flat rather than turned over.
int TurnOf(const sFlat& a, const sFlat& b, const sFlat& c)
{
    const double ux = b.U - a.U, uy = b.V - a.V, vx = c.U - a.U, vy = c.V - a.V;
    const double cross = ux * vy - uy * vx;
    if (std::fabs(cross) <= 1e-12 * std::sqrt((ux * ux + uy * uy) * (vx * vx + vy * vy)))
        return 0;
    return Turn(a, b, c);
}

bool SamePlace(const sFlat& a, const sFlat& b)
{
    return a.Id == b.Id || (a.U == b.U && a.V == b.V);
}

// Whether the fan of the ring from its first point covers it once, as
// the measure of a face's area takes it: no triangle of the fan turns the
// other way beyond rounding (points that coincide or line up make flat
// ones). A convex ring does.
bool FanCoversOnce(const std::vector<sFlat>& ring, int sign)
{
    double signedSum = 0.0, unsignedSum = 0.0;
    for (size_t k = 2; k < ring.size(); ++k)
    {
        const sFlat& a = ring[0];
        const sFlat& b = ring[k - 1];
        const sFlat& c = ring[k];
        const double twice = (b.U - a.U) * (c.V - a.V) - (b.V - a.V) * (c.U - a.U);
        signedSum += twice * sign;
        unsignedSum += std::fabs(twice);
    }
    return signedSum >= 0.0 && unsignedSum - signedSum <= 1e-12 * unsignedSum;
}

// Triangles of a simple (or weakly simple, with its holes bridged) ring
// turning the face's way, by ears: a corner that turns that way with no
// other vertex in it, its sides included (a vertex on a side is where the
// ring folds back along itself); where none is left, a corner that goes
// straight (a flat triangle, of points that coincide or line up). An ear
// whose new side would join two points of lines comes last: where a line
// runs straight or its points coincide, the piece on its other side could
// take that very side too.
bool EarClip(std::vector<sFlat> ring, int sign, const std::function<bool(int)>& onLine,
             std::vector<std::vector<int>>& triangles)
{
    // A bridge's two ends come twice in the ring: a triangle on one vertex
    // twice is no face.
    const auto emit = [&triangles](int a, int b, int c)
    {
        if (a != b && b != c && c != a)
            triangles.push_back({a, b, c});
    };
    size_t at = 0;
    while (ring.size() > 3)
    {
        const size_t n = ring.size();
        bool clipped = false;
        for (int pass = 0; pass < 4 && !clipped; ++pass)
            for (size_t t = 0; t < n && !clipped; ++t)
            {
                const size_t c = (at + t) % n, p = (c + n - 1) % n, q = (c + 1) % n;
                if (pass < 2 && onLine(ring[p].Id) && onLine(ring[q].Id))
                    continue;
                const bool flat = pass % 2 == 1;
                const int turn = TurnOf(ring[p], ring[c], ring[q]) * sign;
                if (flat ? turn != 0 : turn <= 0)
                    continue;
                bool blocked = false;
                for (size_t r = 0; r < n && !flat && !blocked; ++r)
                {
                    if (r == p || r == c || r == q || SamePlace(ring[r], ring[p]) ||
                        SamePlace(ring[r], ring[c]) || SamePlace(ring[r], ring[q]))
                        continue;
                    blocked = TurnOf(ring[p], ring[c], ring[r]) * sign >= 0 &&
                              TurnOf(ring[c], ring[q], ring[r]) * sign >= 0 &&
                              TurnOf(ring[q], ring[p], ring[r]) * sign >= 0;
                }
                if (blocked)
                    continue;
                emit(ring[p].Id, ring[c].Id, ring[q].Id);
                ring.erase(ring.begin() + static_cast<std::ptrdiff_t>(c));
                at = c % ring.size();
                clipped = true;
            }
        if (!clipped)
            return false;
    }
    emit(ring[0].Id, ring[1].Id, ring[2].Id);
    return true;
}

double Area(const std::vector<sFlat>& ring);

// Whether a ring holds no area, within rounding, for its size.
bool IsFlat(const std::vector<sFlat>& ring)
{
    double perimeter = 0.0;
    for (size_t k = 0; k < ring.size(); ++k)
        perimeter +=
            std::hypot(ring[(k + 1) % ring.size()].U - ring[k].U, ring[(k + 1) % ring.size()].V - ring[k].V);
    return !(std::fabs(Area(ring)) > kFlatLoop * perimeter * perimeter);
}

// How much the triangles' area exceeds the area they cover, turned the
// ring's way: 0 when none turns the other way beyond rounding (flat ones
// of points that coincide or line up turn neither way).
template <class Flat>
double Overlap(const std::vector<std::vector<int>>& triangles, const Flat& flat, int sign)
{
    double signedSum = 0.0, unsignedSum = 0.0;
    for (const std::vector<int>& t : triangles)
    {
        const sFlat a = flat(t[0]), b = flat(t[1]), c = flat(t[2]);
        const double twice = (b.U - a.U) * (c.V - a.V) - (b.V - a.V) * (c.U - a.U);
        signedSum += twice * sign;
        unsignedSum += std::fabs(twice);
    }
    const double excess = unsignedSum - signedSum;
    return excess <= 1e-9 * unsignedSum ? 0.0 : excess;
}

// Triangles of a ring that does not turn one way all round: the fan from
// the first vertex off the lines that sees the whole ring (every triangle
// of the fan turns the ring's way or is flat), whose sides then join a
// vertex of the face itself; else by ears. None when neither works.
void Triangulate(const std::vector<sFlat>& ring, int sign, const std::function<bool(int)>& onLine,
                 std::vector<std::vector<int>>& triangles)
{
    triangles.clear();
    const size_t n = ring.size();
    for (size_t r = 0; r < n; ++r)
    {
        if (onLine(ring[r].Id))
            continue;
        bool sees = true;
        for (size_t k = 1; k + 1 < n && sees; ++k)
            sees = TurnOf(ring[r], ring[(r + k) % n], ring[(r + k + 1) % n]) * sign >= 0;
        if (!sees)
            continue;
        for (size_t k = 1; k + 1 < n; ++k)
        {
            const int a = ring[r].Id, b = ring[(r + k) % n].Id, c = ring[(r + k + 1) % n].Id;
            if (a != b && b != c && c != a)
                triangles.push_back({a, b, c});
        }
        return;
    }
    if (!EarClip(ring, sign, onLine, triangles))
        triangles.clear();
}

std::uint64_t PairKey(int a, int b)
{
    const auto lo = static_cast<std::uint32_t>(std::min(a, b));
    const auto hi = static_cast<std::uint32_t>(std::max(a, b));
    return (static_cast<std::uint64_t>(lo) << 32) | hi;
}

// Whether the triangles take each side of the ring once, its way round,
// and each other side they make once each way.
bool CoversOnce(const std::vector<int>& ring, const std::vector<std::vector<int>>& triangles)
{
    const auto directed = [](int a, int b) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
               static_cast<std::uint32_t>(b);
    };
    std::vector<std::uint64_t> sides;
    sides.reserve(3 * triangles.size());
    for (const std::vector<int>& t : triangles)
        for (int k = 0; k < 3; ++k)
            sides.push_back(directed(t[k], t[(k + 1) % 3]));
    std::sort(sides.begin(), sides.end());
    if (std::adjacent_find(sides.begin(), sides.end()) != sides.end())
        return false;
    std::vector<char> onRing(sides.size(), 0);
    for (size_t k = 0; k < ring.size(); ++k)
    {
        const int a = ring[k], b = ring[(k + 1) % ring.size()];
        if (a == b)
            continue;
        const auto found = std::lower_bound(sides.begin(), sides.end(), directed(a, b));
        if (found == sides.end() || *found != directed(a, b))
            return false;
        onRing[static_cast<size_t>(found - sides.begin())] = 1;
    }
    for (size_t k = 0; k < sides.size(); ++k)
        if (!onRing[k] && !std::binary_search(sides.begin(), sides.end(),
                                              directed(static_cast<int>(sides[k] & 0xffffffffu),
                                                       static_cast<int>(sides[k] >> 32))))
            return false;
    return true;
}

// Triangles of the band between a ring and one hole in it (given turning
// the other way): from the hole's vertex of largest U and the ring's vertex
// nearest it, each step takes the next side of the ring, or the next of
// the hole walked the ring's way round, whichever makes a triangle that
// turns the ring's way with the shorter new side. Every side of both is
// taken once, so the band always closes; where the hole touches the ring
// within rounding, some of its triangles are flat or turned over by as
// much.
void Band(const std::vector<sFlat>& ring, const std::vector<sFlat>& reversedHole, int sign,
          std::vector<std::vector<int>>& triangles)
{
    triangles.clear();
    const std::vector<sFlat> hole(reversedHole.rbegin(), reversedHole.rend());
    const size_t n = ring.size(), m = hole.size();
    size_t h = 0, o = 0;
    for (size_t k = 1; k < m; ++k)
        if (hole[k].U > hole[h].U)
            h = k;
    const auto distance = [](const sFlat& a, const sFlat& b) { return std::hypot(a.U - b.U, a.V - b.V); };
    for (size_t k = 1; k < n; ++k)
        if (distance(ring[k], hole[h]) < distance(ring[o], hole[h]))
            o = k;
    // Each pair of a ring vertex and a hole vertex joins the band once: a
    // step may not come back to one (but for the start, at the end).
    std::unordered_set<std::uint64_t> joined{PairKey(ring[o].Id, hole[h].Id)};
    const auto fresh = [&](size_t na, size_t nb)
    { return (na == n && nb == m) || !joined.count(PairKey(ring[(o + na) % n].Id, hole[(h + nb) % m].Id)); };
    size_t a = 0, b = 0;
    while (a < n || b < m)
    {
        const sFlat& ra = ring[(o + a) % n];
        const sFlat& rn = ring[(o + a + 1) % n];
        const sFlat& hb = hole[(h + b) % m];
        const sFlat& hn = hole[(h + b + 1) % m];
        const bool ringOpen = a < n && fresh(a + 1, b), holeOpen = b < m && fresh(a, b + 1);
        if (!ringOpen && !holeOpen)
        {
            triangles.clear();
            return;
        }
        bool onRing = ringOpen;
        if (ringOpen && holeOpen)
        {
            const int ringTurn = Turn(ra, rn, hb) * sign, holeTurn = Turn(hn, hb, ra) * sign;
            if ((ringTurn > 0) != (holeTurn > 0))
                onRing = ringTurn > 0;
            else
                onRing = distance(rn, hb) <= distance(ra, hn);
        }
        joined.insert(onRing ? PairKey(rn.Id, hb.Id) : PairKey(ra.Id, hn.Id));
        if (onRing)
        {
            triangles.push_back({ra.Id, rn.Id, hb.Id});
            ++a;
        }
        else
        {
            triangles.push_back({hn.Id, hb.Id, ra.Id});
            ++b;
        }
    }
}

// Whether the point lies inside the ring, by the crossings of a ray.
bool Inside(const sFlat& p, const std::vector<sFlat>& ring)
{
    bool inside = false;
    const size_t n = ring.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const sFlat& a = ring[i];
        const sFlat& b = ring[j];
        if ((a.V > p.V) != (b.V > p.V) && p.U < a.U + (b.U - a.U) * (p.V - a.V) / (b.V - a.V))
            inside = !inside;
    }
    return inside;
}

// The ring (of the pieces) whose sides come nearest the point.
template <class Flat>
size_t NearestRing(const sFlat& p, const std::vector<std::vector<int>>& rings, const Flat& flatRing)
{
    size_t best = 0;
    double nearest = std::numeric_limits<double>::max();
    for (size_t r = 0; r < rings.size(); ++r)
    {
        const std::vector<sFlat> ring = flatRing(rings[r]);
        for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        {
            const double du = ring[i].U - ring[j].U, dv = ring[i].V - ring[j].V;
            const double length2 = du * du + dv * dv;
            double t = length2 > 0.0 ? ((p.U - ring[j].U) * du + (p.V - ring[j].V) * dv) / length2 : 0.0;
            t = std::min(1.0, std::max(0.0, t));
            const double d = std::hypot(p.U - ring[j].U - t * du, p.V - ring[j].V - t * dv);
            if (d < nearest)
            {
                nearest = d;
                best = r;
            }
        }
    }
    return best;
}

double Area(const std::vector<sFlat>& ring)
{
    double twice = 0.0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += (ring[j].U - ring[i].U) * (ring[j].V + ring[i].V);
    return 0.5 * twice;
}

// Whether the segments ab and cd cross at a point inside both.
bool CrossProperly(const sFlat& a, const sFlat& b, const sFlat& c, const sFlat& d)
{
    return Turn(a, b, c) * Turn(a, b, d) < 0 && Turn(c, d, a) * Turn(c, d, b) < 0;
}

// The ring with a hole (turning the other way) joined to it by a bridge
// from the hole's vertex of largest U to the nearest vertex of the ring
// that it reaches crossing no side, of the ring, the hole or the holes
// still to be joined: one weakly simple ring. sign: the way the ring
// turns.
bool Bridge(const std::vector<sFlat>& ring, const std::vector<sFlat>& hole,
            const std::vector<const std::vector<sFlat>*>& others, int sign, std::vector<sFlat>& merged)
{
    size_t h = 0;
    for (size_t k = 1; k < hole.size(); ++k)
        if (hole[k].U > hole[h].U)
            h = k;
    std::vector<size_t> order(ring.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    const auto distance = [&](size_t k)
    {
        const double du = ring[k].U - hole[h].U, dv = ring[k].V - hole[h].V;
        return du * du + dv * dv;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return distance(a) < distance(b); });
    const size_t n = ring.size();
    for (size_t o : order)
    {
        // A vertex a bridge already reaches comes more than once in the
        // ring: only the occurrence whose corner the new bridge enters
        // from inside keeps the ring weakly simple.
        if (std::count_if(ring.begin(), ring.end(), [&](const sFlat& v) { return v.Id == ring[o].Id; }) > 1)
        {
            const sFlat& before = ring[(o + n - 1) % n];
            const sFlat& after = ring[(o + 1) % n];
            const bool left = Turn(before, ring[o], hole[h]) * sign > 0;
            const bool right = Turn(ring[o], after, hole[h]) * sign > 0;
            if (Turn(before, ring[o], after) * sign >= 0 ? !(left && right) : !(left || right))
                continue;
        }
        bool crossed = false;
        std::vector<const std::vector<sFlat>*> all{&ring, &hole};
        all.insert(all.end(), others.begin(), others.end());
        for (const std::vector<sFlat>* sides : all)
            for (size_t i = 0, j = sides->size() - 1; i < sides->size() && !crossed; j = i++)
            {
                const sFlat& a = (*sides)[j];
                const sFlat& b = (*sides)[i];
                if (SamePlace(a, ring[o]) || SamePlace(b, ring[o]) || SamePlace(a, hole[h]) ||
                    SamePlace(b, hole[h]))
                    continue;
                crossed = CrossProperly(hole[h], ring[o], a, b);
            }
        if (crossed)
            continue;
        merged.assign(ring.begin(), ring.begin() + static_cast<std::ptrdiff_t>(o + 1));
        for (size_t k = 0; k <= hole.size(); ++k)
            merged.push_back(hole[(h + k) % hole.size()]);
        merged.push_back(ring[o]);
        merged.insert(merged.end(), ring.begin() + static_cast<std::ptrdiff_t>(o + 1), ring.end());
        return true;
    }
    return false;
}

// A run of a line across one face, from an edge to an edge, or a line
// wholly inside it (Loop).
struct sRun
{
    std::vector<int> Vertices;
    bool Loop = false;
};
} // namespace

KorMeshSplit::KorMeshSplit(KorMesh& mesh, int which) : mMesh(mesh), mWhich(which)
{
}

bool KorMeshSplit::IsLineEdge(int a, int b) const
{
    return IsNew(a) && IsNew(b) && mLineEdges.count(PairKey(a, b)) > 0;
}

bool KorMeshSplit::Insert(const std::vector<KorMeshCrossing::sLine>& lines, bool tracks)
{
    mNew.clear();
    mLineEdges.clear();
    const int m = mWhich;
    // The line's points become vertices; those on an edge are gathered by
    // edge (the pair's key), in their order from the origin of the
    // half-edge they name.
    struct sOnEdge
    {
        int HalfEdge = -1;
        std::vector<std::pair<int, int>> Points; // order, vertex
    };
    std::map<std::uint64_t, sOnEdge> onEdges;
    std::map<int, std::vector<sRun>> runs;
    std::vector<int> created;
    for (const KorMeshCrossing::sLine& line : lines)
    {
        if (!line.Closed)
            continue;
        const size_t n = line.Points.size();
        std::vector<int> vertices(n);
        for (size_t i = 0; i < n; ++i)
        {
            const KorMeshCrossing::sLinePoint& p = line.Points[i];
            vertices[i] = mMesh.AddVertex(p.P);
            created.push_back(vertices[i]);
            if (p.On[m].Kind == 9)
            {
                const KorEdge* e = mMesh.GetEdge(p.On[m].ElementID);
                if (!e)
                    return false;
                sOnEdge& on = onEdges[PairKey(e->ID, e->Opp)];
                on.HalfEdge = e->ID;
                on.Points.emplace_back(p.Order, vertices[i]);
            }
        }
        const std::vector<int>& faces = line.Faces[m];
        if (faces.size() != n)
            return false;
        size_t start = n;
        for (size_t i = 0; i < n && start == n; ++i)
            if (faces[(i + n - 1) % n] != faces[i])
                start = i;
        if (start == n)
        {
            // Wholly inside one face: every point is where an edge of the
            // other mesh passes through it.
            sRun loop;
            loop.Loop = true;
            for (size_t i = 0; i < n; ++i)
            {
                if (line.Points[i].On[m].Kind != 1)
                    return false;
                loop.Vertices.push_back(vertices[i]);
            }
            runs[faces[0]].push_back(loop);
            continue;
        }
        for (size_t k = 0; k < n;)
        {
            const size_t i = (start + k) % n;
            const int face = faces[i];
            sRun run;
            run.Vertices.push_back(vertices[i]);
            size_t j = i;
            do
            {
                j = (j + 1) % n;
                ++k;
                run.Vertices.push_back(vertices[j]);
            } while (faces[j] == face);
            if (line.Points[i].On[m].Kind != 9 || line.Points[j].On[m].Kind != 9)
                return false;
            for (size_t r = 1; r + 1 < run.Vertices.size(); ++r)
            {
                const size_t point = (i + r) % n;
                if (line.Points[point].On[m].Kind != 1 || line.Points[point].On[m].ElementID != face)
                    return false;
            }
            runs[face].push_back(run);
        }
    }
    mNew.assign(static_cast<size_t>(mMesh.GetVertexVectorSize()), 0);
    for (int v : created)
        mNew[static_cast<size_t>(v)] = 1;
    if (runs.empty())
        return true;
    for (auto& entry : onEdges)
        std::sort(entry.second.Points.begin(), entry.second.Points.end());

    // Every face that holds a run or has a point on an edge is replaced.
    std::vector<int> touched;
    for (const auto& entry : runs)
        touched.push_back(entry.first);
    for (const auto& entry : onEdges)
    {
        const KorEdge* e = mMesh.GetEdge(entry.second.HalfEdge);
        const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
        for (const KorEdge* h : {e, twin})
            if (h && h->Face >= 0)
                touched.push_back(h->Face);
    }
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());

    // A piece: its ring, the face it descends from and, unless it stays
    // whole, its triangles; a bridged one (a hole joined to its outline)
    // cannot stay whole.
    struct sPiece
    {
        std::vector<int> Ring;
        int Origin;
        std::vector<std::vector<int>> Triangles;
        bool Bridged = false;
        // Whether it may stand as one face: its fan covers it once, or it
        // has no area.
        bool Whole = false;
    };
    std::vector<sPiece> made;
    std::vector<const KorEdge*> ring;
    for (int face : touched)
    {
        if (!mMesh.GetClosedFaceRing(mMesh.GetFace(face), ring))
            return false;
        // The face's view, from its corners as they stood.
        LumPoint normal;
        for (size_t k = 0; k < ring.size(); ++k)
        {
            const KorVertex* a = mMesh.GetVertex(ring[k]->Vertex);
            const KorVertex* b = mMesh.GetVertex(ring[(k + 1) % ring.size()]->Vertex);
            if (!a || !b)
                return false;
            normal += LumPoint((a->Y - b->Y) * (a->Z + b->Z), (a->Z - b->Z) * (a->X + b->X),
                               (a->X - b->X) * (a->Y + b->Y));
        }
        const sView view = ViewOf(normal);
        const auto flat = [&](int id)
        {
            const KorVertex* v = mMesh.GetVertex(id);
            return sFlat{id, Axis(*v, view.U), Axis(*v, view.V)};
        };
        const auto flatRing = [&](const std::vector<int>& ids)
        {
            std::vector<sFlat> out;
            for (int id : ids)
                out.push_back(flat(id));
            return out;
        };

        std::vector<int> outline;
        for (const KorEdge* h : ring)
        {
            outline.push_back(h->Vertex);
            const auto found = onEdges.find(PairKey(h->ID, h->Opp));
            if (found == onEdges.end())
                continue;
            const auto& points = found->second.Points;
            if (found->second.HalfEdge == h->ID)
                for (const auto& p : points)
                    outline.push_back(p.second);
            else
                for (auto p = points.rbegin(); p != points.rend(); ++p)
                    outline.push_back(p->second);
        }
        std::vector<std::vector<int>> pieces{outline};
        std::vector<char> bridged(1, 0);
        const auto found = runs.find(face);
        const std::vector<sRun> none;
        const std::vector<sRun>& faceRuns = found != runs.end() ? found->second : none;
        for (const sRun& run : faceRuns)
        {
            if (run.Loop)
                continue;
            const std::vector<int>& chain = run.Vertices;
            for (size_t k = 0; k + 1 < chain.size(); ++k)
                mLineEdges.insert(PairKey(chain[k], chain[k + 1]));
            const int a = chain.front(), b = chain.back();
            size_t which = pieces.size(), ia = 0, ib = 0;
            for (size_t p = 0; p < pieces.size() && which == pieces.size(); ++p)
            {
                const auto fa = std::find(pieces[p].begin(), pieces[p].end(), a);
                const auto fb = std::find(pieces[p].begin(), pieces[p].end(), b);
                if (fa != pieces[p].end() && fb != pieces[p].end())
                {
                    which = p;
                    ia = static_cast<size_t>(fa - pieces[p].begin());
                    ib = static_cast<size_t>(fb - pieces[p].begin());
                }
            }
            if (which == pieces.size() || a == b)
                return false;
            const std::vector<int> piece = pieces[which];
            const size_t n = piece.size();
            std::vector<int> first, second;
            for (size_t k = ia;; k = (k + 1) % n)
            {
                first.push_back(piece[k]);
                if (k == ib)
                    break;
            }
            first.insert(first.end(), chain.rbegin() + 1, chain.rend() - 1);
            for (size_t k = ib;; k = (k + 1) % n)
            {
                second.push_back(piece[k]);
                if (k == ia)
                    break;
            }
            second.insert(second.end(), chain.begin() + 1, chain.end() - 1);
            if (first.size() < 3 || second.size() < 3)
                return false;
            pieces[which] = first;
            pieces.push_back(second);
            bridged.push_back(bridged[which]);
        }
        // The lines wholly inside the face, those of larger area first:
        // each is a hole in the piece that holds it and a piece of its own.
        // A line of no area (a contact the perturbation settled along an
        // edge of the face) holds nothing and is left out of this mesh; the
        // other mesh meets it on its own edges.
        std::vector<std::pair<double, std::vector<sFlat>>> loops;
        for (const sRun& run : faceRuns)
        {
            if (!run.Loop)
                continue;
            std::vector<sFlat> loop = flatRing(run.Vertices);
            double area = Area(loop) * view.Sign;
            if (area < 0.0)
            {
                std::reverse(loop.begin(), loop.end());
                area = -area;
            }
            if (IsFlat(loop))
                continue;
            for (size_t k = 0; k < loop.size(); ++k)
                mLineEdges.insert(PairKey(loop[k].Id, loop[(k + 1) % loop.size()].Id));
            loops.emplace_back(area, std::move(loop));
        }
        std::stable_sort(loops.begin(), loops.end(),
                         [](const auto& u, const auto& v) { return u.first > v.first; });
        std::vector<std::vector<size_t>> holesOf(pieces.size());
        // A piece with one hole: its outline and its hole, for the band.
        std::map<size_t, std::pair<std::vector<sFlat>, std::vector<sFlat>>> annuli;
        for (size_t k = 0; k < loops.size(); ++k)
        {
            const std::vector<sFlat>& loop = loops[k].second;
            // The innermost piece that holds it: a line's own piece comes
            // after the piece it is a hole in. Rounding can leave a line
            // that touches an edge outside every piece: the nearest then.
            size_t which = pieces.size();
            for (size_t p = pieces.size(); p-- > 0 && which == pieces.size();)
                if (Inside(loop[0], flatRing(pieces[p])))
                    which = p;
            if (which == pieces.size())
                which = NearestRing(loop[0], pieces, flatRing);
            holesOf[which].push_back(k);
            std::vector<int> inner;
            for (const sFlat& v : loop)
                inner.push_back(v.Id);
            pieces.push_back(inner);
            bridged.push_back(0);
            holesOf.emplace_back();
        }
        for (size_t p = 0; p < holesOf.size(); ++p)
        {
            if (holesOf[p].empty())
                continue;
            std::vector<std::vector<sFlat>> holes;
            for (size_t k : holesOf[p])
                holes.emplace_back(loops[k].second.rbegin(), loops[k].second.rend());
            const auto largestU = [](const std::vector<sFlat>& ring)
            {
                double u = ring[0].U;
                for (const sFlat& v : ring)
                    u = std::max(u, v.U);
                return u;
            };
            std::stable_sort(holes.begin(), holes.end(),
                             [&](const auto& u, const auto& v) { return largestU(u) > largestU(v); });
            std::vector<sFlat> merged = flatRing(pieces[p]);
            if (holes.size() == 1)
                annuli[p] = std::make_pair(merged, holes[0]);
            for (size_t h = 0; h < holes.size(); ++h)
            {
                std::vector<const std::vector<sFlat>*> others;
                for (size_t o = h + 1; o < holes.size(); ++o)
                    others.push_back(&holes[o]);
                std::vector<sFlat> joined;
                if (!Bridge(merged, holes[h], others, view.Sign, joined))
                    return false;
                merged.swap(joined);
            }
            pieces[p].clear();
            for (const sFlat& v : merged)
                pieces[p].push_back(v.Id);
            bridged[p] = 1;
        }
        const int origin = mMesh.GetFaceOrigin(face);
        for (size_t p = 0; p < pieces.size(); ++p)
        {
            sPiece piece{pieces[p], origin, {}, bridged[p] != 0, false};
            const std::vector<sFlat> flatPiece = flatRing(pieces[p]);
            // A piece its fan covers once (a convex one) stays whole, and so
            // does one of no area (a run along an edge that the
            // perturbation kept off it).
            piece.Whole = !piece.Bridged && (FanCoversOnce(flatPiece, view.Sign) || IsFlat(flatPiece));
            const auto sound = [&]() {
                return CoversOnce(pieces[p], piece.Triangles) &&
                       Overlap(piece.Triangles, flat, view.Sign) == 0.0;
            };
            if (!piece.Whole)
                Triangulate(
                    flatPiece, view.Sign, [this](int v) { return IsNew(v); }, piece.Triangles);
            // A hole that touches the outline within rounding can leave no
            // ear, or ears of a bridge's end, which comes twice, that take
            // a side twice: the band between the two still joins them.
            if (!sound())
                piece.Triangles.clear();
            const auto annulus = annuli.find(p);
            if (piece.Triangles.empty() && annulus != annuli.end())
            {
                Band(annulus->second.first, annulus->second.second, view.Sign, piece.Triangles);
                if (!sound())
                    piece.Triangles.clear();
            }
            // A piece no fan nor triangles cover once would be measured
            // wrong: the line cannot be cut into this face.
            if (!piece.Whole && piece.Triangles.empty())
                return false;
            made.push_back(std::move(piece));
        }
    }

    // A side the triangles of a piece add between two of its points must
    // be nobody else's: where lines run straight or their points coincide,
    // two pieces could choose the same one, and the line cannot be cut.
    const auto diagonals = [](const sPiece& piece)
    {
        std::vector<std::uint64_t> keys, sides;
        if (piece.Triangles.empty())
            return keys;
        for (size_t k = 0; k < piece.Ring.size(); ++k)
            sides.push_back(PairKey(piece.Ring[k], piece.Ring[(k + 1) % piece.Ring.size()]));
        std::sort(sides.begin(), sides.end());
        for (const std::vector<int>& t : piece.Triangles)
            for (int k = 0; k < 3; ++k)
            {
                const std::uint64_t key = PairKey(t[k], t[(k + 1) % 3]);
                if (!std::binary_search(sides.begin(), sides.end(), key))
                    keys.push_back(key);
            }
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        return keys;
    };
    {
        std::vector<std::uint64_t> uses;
        for (const sPiece& piece : made)
        {
            const std::vector<std::uint64_t> keys = diagonals(piece);
            uses.insert(uses.end(), keys.begin(), keys.end());
        }
        std::sort(uses.begin(), uses.end());
        if (std::adjacent_find(uses.begin(), uses.end()) != uses.end())
            return false;
    }
    for (int face : touched)
        mMesh.DeleteFace(face, false);
    for (const auto& entry : onEdges)
        if (mMesh.GetEdge(entry.second.HalfEdge))
            mMesh.DeleteEdge(entry.second.HalfEdge, false);
    // Nor an edge that stands: a face left whole joins the two points.
    for (const sPiece& piece : made)
        for (std::uint64_t key : diagonals(piece))
        {
            const KorEdge* e = mMesh.GetEdgeBetween(mMesh.GetVertex(static_cast<int>(key >> 32)),
                                                    mMesh.GetVertex(static_cast<int>(key & 0xffffffffu)));
            const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
            if (e && (e->Face >= 0 || (twin && twin->Face >= 0)))
                return false;
        }
    for (const sPiece& piece : made)
    {
        if (piece.Triangles.empty())
        {
            if (mMesh.AddFaceFrom(piece.Ring, piece.Origin, tracks) < 0)
                return false;
            continue;
        }
        for (const std::vector<int>& t : piece.Triangles)
            if (mMesh.AddFaceFrom(t, piece.Origin, tracks) < 0)
                return false;
    }
    return true;
}

bool KorMeshSplit::Classify(const std::function<bool(int)>& vertexSide)
{
    const size_t slots = static_cast<size_t>(std::max(mMesh.GetFaceVectorSize(), 0));
    mRegionOf.assign(slots, -1);
    mRegionSide.clear();
    std::vector<char> known;
    std::vector<int> stack;
    std::vector<const KorEdge*> ring;
    for (size_t start = 0; start < slots; ++start)
    {
        if (mRegionOf[start] >= 0 || !mMesh.GetFace(static_cast<int>(start)))
            continue;
        const int region = static_cast<int>(mRegionSide.size());
        mRegionSide.push_back(0);
        known.push_back(0);
        mRegionOf[start] = region;
        stack.assign(1, static_cast<int>(start));
        while (!stack.empty())
        {
            const int f = stack.back();
            stack.pop_back();
            if (!mMesh.GetClosedFaceRing(mMesh.GetFace(f), ring))
                return false;
            for (const KorEdge* h : ring)
            {
                if (!known.back() && !IsNew(h->Vertex))
                {
                    mRegionSide.back() = vertexSide(h->Vertex) ? 1 : 0;
                    known.back() = 1;
                }
                const KorEdge* twin = mMesh.GetEdge(h->Opp);
                if (!twin || twin->Face < 0 || mRegionOf[static_cast<size_t>(twin->Face)] >= 0)
                    continue;
                if (IsLineEdge(h->Vertex, twin->Vertex))
                    continue;
                mRegionOf[static_cast<size_t>(twin->Face)] = region;
                stack.push_back(twin->Face);
            }
        }
    }
    // The regions on either side of each line half-edge.
    std::vector<std::pair<int, int>> across;
    for (std::uint64_t key : mLineEdges)
    {
        const KorEdge* e = mMesh.GetEdgeBetween(mMesh.GetVertex(static_cast<int>(key >> 32)),
                                                mMesh.GetVertex(static_cast<int>(key & 0xffffffffu)));
        const KorEdge* twin = e ? mMesh.GetEdge(e->Opp) : nullptr;
        if (!twin || e->Face < 0 || twin->Face < 0)
            return false;
        across.emplace_back(mRegionOf[static_cast<size_t>(e->Face)],
                            mRegionOf[static_cast<size_t>(twin->Face)]);
    }
    for (bool changed = true; changed;)
    {
        changed = false;
        for (const auto& [a, b] : across)
            for (const auto& [from, to] : {std::make_pair(a, b), std::make_pair(b, a)})
                if (known[static_cast<size_t>(from)] && !known[static_cast<size_t>(to)])
                {
                    mRegionSide[static_cast<size_t>(to)] = !mRegionSide[static_cast<size_t>(from)];
                    known[static_cast<size_t>(to)] = 1;
                    changed = true;
                }
    }
    if (std::find(known.begin(), known.end(), 0) != known.end())
        return false;
    for (const auto& [a, b] : across)
        if (mRegionSide[static_cast<size_t>(a)] == mRegionSide[static_cast<size_t>(b)])
            return false;
    return true;
}

std::vector<int> KorMeshSplit::FacesOnSide(bool side) const
{
    std::vector<int> faces;
    for (size_t f = 0; f < mRegionOf.size(); ++f)
        if (mRegionOf[f] >= 0 && (mRegionSide[static_cast<size_t>(mRegionOf[f])] != 0) == side)
            faces.push_back(static_cast<int>(f));
    return faces;
}

bool KorMeshSplit::SideReachesBorder(bool side, const std::function<bool(int)>& isCutOff, bool& cutOff) const
{
    bool reaches = false;
    cutOff = true;
    std::vector<const KorEdge*> ring;
    for (int f : FacesOnSide(side))
    {
        if (!mMesh.GetClosedFaceRing(mMesh.GetFace(f), ring))
            continue;
        for (const KorEdge* h : ring)
        {
            const KorEdge* twin = mMesh.GetEdge(h->Opp);
            if (twin && twin->Face >= 0)
                continue;
            reaches = true;
            if (!twin || !isCutOff || !isCutOff(twin->ID))
                cutOff = false;
        }
    }
    if (!reaches)
        cutOff = false;
    return reaches;
}
