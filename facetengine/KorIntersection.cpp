#include "KorIntersection.h"

#include "KorBoundingBox.h"
#include "KorFaceBoxIndex.h"
#include "KorMesh.h"
#include "KorPlane.h"
#include "KorPlucker.h"
#include "KorPolygon.h"
#include "KorSort.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace
{
const double kEps = 1e-5;

double Length(const LumPoint& v)
{
    return std::sqrt(v * v);
}

// The half-edge reached from the face's first half-edge after steps Nexts.
int EdgeAtPosition(KorMesh& mesh, const KorFace* face, int steps)
{
    int id = face->Edge;
    for (int k = 0; k < steps && id >= 0; ++k)
    {
        const KorEdge* e = mesh.GetEdge(id);
        id = e ? e->Next : -1;
    }
    return id;
}

// Where line L crosses the segment AB (1e-5 margin along it), distinct from
// the current point. False for parallel lines or a crossing off the segment.
bool CrossSegment(const KorPlucker& L, const LumPoint& A, const LumPoint& B, const LumPoint& point,
                  LumPoint& q)
{
    LumPoint onEdge;
    if (L.LineDistance(KorPlucker(A, B), q, onEdge) >= 1e9)
        return false;
    const double len = Length(B - A);
    if (len <= 0)
        return false;
    const double s = ((B - A) / len) * (q - A);
    return s > -kEps && s < len + kEps && Length(q - point) > 0;
}
} // namespace

int IntersectionLineTriangle(const LumPoint& p1, const LumPoint& p2, LumPoint& out, const LumPoint& a,
                             const LumPoint& b, const LumPoint& c, bool strict)
{
    const KorPlucker L(p1, p2);
    const double s1 = L.Side(KorPlucker(a, b));
    const double s2 = L.Side(KorPlucker(b, c));
    const double s3 = L.Side(KorPlucker(c, a));
    const bool z1 = std::fabs(s1) < kEps, z2 = std::fabs(s2) < kEps, z3 = std::fabs(s3) < kEps;
    if (strict && (z1 || z2 || z3))
        return 0;
    const KorPlane plane(a, b, c);
    if ((s1 > kEps && s2 > kEps && s3 > kEps) || (s1 < -kEps && s2 < -kEps && s3 < -kEps))
        return L.PlaneIntersection(plane, out) ? 1 : 0;
    if (z1 && z2 && z3)
        return 0;
    if (z1 && z2)
    {
        out = b;
        return 3;
    }
    if (z1 && z3)
    {
        out = a;
        return 2;
    }
    if (z2 && z3)
    {
        out = c;
        return 4;
    }
    const int code = z1 ? 5 : z2 ? 6 : z3 ? 7 : 0;
    if (code == 0)
        return 0;
    return L.PlaneIntersection(plane, out) ? code : 0;
}

int IntersectionEdgeTriangle(const LumPoint& p1, const LumPoint& p2, LumPoint& out, const LumPoint& a,
                             const LumPoint& b, const LumPoint& c, bool strict)
{
    const int r = IntersectionLineTriangle(p1, p2, out, a, b, c, strict);
    if (r < 1)
        return 0;
    const double len = Length(p2 - p1);
    if (len <= 0)
        return 0;
    const double t = ((p2 - p1) / len) * (out - p1);
    return (t > -kEps && t < len + kEps) ? r : 0;
}

int IntersectionEdgeFace(const LumPoint& p1, const LumPoint& p2, LumPoint& out, int& index,
                         const std::vector<LumPoint>& polygon)
{
    (void)index;
    if (polygon.size() < 3)
        return 0;
    for (size_t i = 2; i < polygon.size(); ++i)
    {
        if (IntersectionEdgeTriangle(p1, p2, out, polygon[0], polygon[i - 1], polygon[i], true) == 0)
            continue;
        const double d1 = Length(out - p1), d2 = Length(out - p2), tol = 0.001 * Length(p1 - p2);
        if (d1 < tol || d1 < 0.0001 || d2 < tol || d2 < 0.0001)
            return 8;
        return 1;
    }
    return 0;
}

namespace
{
// Whether the segment meets the polygon's fan where the strict tests refuse:
// through a vertex, an edge or a diagonal, or lying in its plane. Ends on
// one side of a triangle's plane settle it at the cost of two products.
bool TouchesFan(const LumPoint& p1, const LumPoint& p2, const std::vector<LumPoint>& polygon)
{
    LumPoint out;
    for (size_t i = 2; i < polygon.size(); ++i)
    {
        const LumPoint& a = polygon[0];
        const LumPoint n = (polygon[i - 1] - a) ^ (polygon[i] - a);
        const double tol = kEps * Length(n);
        const double d1 = (p1 - a) * n, d2 = (p2 - a) * n;
        if ((d1 > tol && d2 > tol) || (d1 < -tol && d2 < -tol))
            continue;
        if ((std::fabs(d1) <= tol && std::fabs(d2) <= tol) ||
            IntersectionEdgeTriangle(p1, p2, out, a, polygon[i - 1], polygon[i], false) > 0)
            return true;
    }
    return false;
}

// GetFirstIntersection; with touched given, it is set when an edge met a
// face only where the strict tests refuse (TouchesFan, or within the margin
// of its ends): meshes in a degenerate position, not apart.
int FirstCrossing(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box,
                  const std::vector<KorEdge*>& edges, int& edgeId, int& faceId, LumPoint& point,
                  bool* touched)
{
    std::vector<char> visited(static_cast<size_t>(std::max(mesh1.GetEdgeVectorSize(), 0)), 0);
    KorFaceBoxIndex index;
    bool indexed = index.Build(mesh2);
    std::vector<int> candidates;
    std::vector<LumPoint> polygon;
    int unused = 0;
    const int faceSlots = mesh2.GetFaceVectorSize();
    for (const KorEdge* e : edges)
    {
        if (!e || e->Face < 0 || e->ID < 0 || e->ID >= static_cast<int>(visited.size()) || visited[e->ID])
            continue;
        visited[static_cast<size_t>(e->ID)] = 1;
        if (e->Opp >= 0 && e->Opp < static_cast<int>(visited.size()))
            visited[static_cast<size_t>(e->Opp)] = 1;
        LumPoint p1, p2;
        if (!mesh1.GetEdgePoints(e, p1, p2) || !box.CanContainSegment(p1, p2))
            continue;
        // Faces in identifier order: the index's sorted superset, or every slot.
        bool fromIndex = false;
        if (indexed)
        {
            const LumPoint lo(std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::min(p1.z, p2.z));
            const LumPoint hi(std::max(p1.x, p2.x), std::max(p1.y, p2.y), std::max(p1.z, p2.z));
            fromIndex = index.Query(lo, hi, candidates);
        }
        const int count = fromIndex ? static_cast<int>(candidates.size()) : faceSlots;
        for (int k = 0; k < count; ++k)
        {
            const int f = fromIndex ? candidates[static_cast<size_t>(k)] : k;
            const KorFace* face = mesh2.GetFace(f);
            if (!face)
                continue;
            mesh2.GetFacePoints(face, polygon);
            if (polygon.size() < 3)
                continue;
            const int r = IntersectionEdgeFace(p1, p2, point, unused, polygon);
            if (r > 0)
                edgeId = e->ID;
            if (touched && !*touched && r != 1 && (r == 8 || TouchesFan(p1, p2, polygon)))
                *touched = true;
            if (r == 1)
            {
                faceId = f;
                return 1;
            }
        }
    }
    return 0;
}
} // namespace

int GetFirstIntersection(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box,
                         const std::vector<KorEdge*>& edges, int& edgeId, int& faceId, LumPoint& point)
{
    return FirstCrossing(mesh1, mesh2, box, edges, edgeId, faceId, point, nullptr);
}

bool GetNextIntersectionFromEdgeFace(KorMesh& meshE, KorMesh& meshF, LumPoint& point,
                                     const sBooleanIntersection& edgeRecord,
                                     const sBooleanIntersection& faceRecord,
                                     sBooleanIntersection& nextEdgeRecord,
                                     sBooleanIntersection& nextFaceRecord)
{
    const KorEdge* e = meshE.GetEdge(edgeRecord.ElementID);
    const KorEdge* t = e ? meshE.GetEdge(e->Opp) : nullptr;
    const KorFace* F = meshF.GetFace(faceRecord.ElementID);
    if (!t || !F)
        return false;
    const KorFace* C = meshE.GetFace(e->Face);
    if (!C || C->ID == edgeRecord.FromFaceID)
        C = meshE.GetFace(t->Face);
    if (!C)
        return false;
    bool mayTryOtherSide = true;
    std::vector<LumPoint> polyC, polyF;
    std::vector<KorEdge*> edgesC;
    for (;;)
    {
        LumPoint a, b, c;
        meshE.GetFaceTriangle(C, a, b, c);
        const KorPlane planeC(a, b, c);
        meshF.GetFaceTriangle(F, a, b, c);
        const KorPlucker L = planeC.Intersection(KorPlane(a, b, c));

        // Exit through C: the first side other than the entry edge that L meets.
        meshE.GetFacePoints(C, polyC);
        meshE.GetFaceEdges(C, edgesC);
        const size_t n = std::min(polyC.size(), edgesC.size());
        double best = -1.0;
        LumPoint candidate, q;
        int candidateKind = 0, candidatePosition = -1;
        for (size_t i = 1; i <= n; ++i)
        {
            if (edgesC[i - 1] == e || edgesC[i - 1] == t)
                continue;
            const LumPoint& A = polyC[i - 1];
            const LumPoint& B = polyC[i % n];
            if (!CrossSegment(L, A, B, point, q))
                continue;
            candidate = q;
            best = Length(q - point);
            candidateKind = 9;
            candidatePosition = static_cast<int>(i - 1);
            if (Length(q - A) < kEps)
                candidateKind = 8;
            else if (Length(q - B) < kEps)
            {
                candidateKind = 8;
                candidatePosition = static_cast<int>(i % n);
            }
            break;
        }

        // Exit through F, when nearer than C's and still inside C.
        meshF.GetFacePoints(F, polyF);
        const size_t m = polyF.size();
        for (size_t i = 1; i <= m; ++i)
        {
            const LumPoint& A = polyF[i - 1];
            const LumPoint& B = polyF[i % m];
            if (!CrossSegment(L, A, B, point, q))
                continue;
            if (!(best < 0 || Length(q - point) < best) || !PointLiesIn3DPolygon(q, polyC))
                continue;
            int kind = 9, position = static_cast<int>(i - 1);
            if (Length(q - A) < kEps)
                kind = 8;
            else if (Length(q - B) < kEps)
            {
                kind = 8;
                position = static_cast<int>(i % m);
            }
            point = q;
            nextFaceRecord = {kind, EdgeAtPosition(meshF, F, position), F->ID};
            nextEdgeRecord = {1, C->ID, -1};
            return true;
        }

        if (best >= 0)
        {
            point = candidate;
            nextEdgeRecord = {candidateKind, EdgeAtPosition(meshE, C, candidatePosition), C->ID};
            nextFaceRecord = {1, F->ID, -1};
            return true;
        }

        // The first crossing of a line may have picked the wrong side of e.
        if (edgeRecord.FromFaceID >= 0 || !mayTryOtherSide)
            return false;
        mayTryOtherSide = false;
        C = meshE.GetFace(C->ID == e->Face ? t->Face : e->Face);
        if (!C)
            return false;
    }
}

bool GetNextIntersection(KorMesh& mesh1, KorMesh& mesh2, LumPoint& point, const sBooleanIntersection& record1,
                         const sBooleanIntersection& record2, sBooleanIntersection& next1,
                         sBooleanIntersection& next2)
{
    if (record1.Kind == 9 && record2.Kind == 1)
        return GetNextIntersectionFromEdgeFace(mesh1, mesh2, point, record1, record2, next1, next2);
    if (record1.Kind == 1 && record2.Kind == 9)
        return GetNextIntersectionFromEdgeFace(mesh2, mesh1, point, record2, record1, next2, next1);
    return false;
}

namespace
{
// The twin of a half-edge, or -1.
int TwinOf(const KorMesh& mesh, int id)
{
    const KorEdge* e = mesh.GetEdge(id);
    return e ? e->Opp : -1;
}

// Whether a step came back to where the line started: the first half-edge of
// either mesh (either half) paired with the first face of the other. Exact on
// identifiers, so it holds where the single-precision points of a scene far
// from the origin differ by more than the distance tolerance.
bool BackToStart(const KorMesh& mesh1, const KorMesh& mesh2, const sBooleanIntersection& first1,
                 const sBooleanIntersection& first2, const sBooleanIntersection& next1,
                 const sBooleanIntersection& next2)
{
    if (next1.Kind == 9 && next2.Kind == 1 && next2.ElementID == first2.ElementID)
        return next1.ElementID == first1.ElementID || next1.ElementID == TwinOf(mesh1, first1.ElementID);
    (void)mesh2;
    return false;
}

// The positions of a mesh's vertex slots, to put back exactly what a move
// changed (a move there and back rounds).
struct sSavedVertices
{
    std::vector<LumPoint> Points;
    std::vector<char> Live;

    void Save(const KorMesh& mesh)
    {
        const int count = std::max(mesh.GetVertexVectorSize(), 0);
        Points.assign(static_cast<size_t>(count), LumPoint(0, 0, 0));
        Live.assign(static_cast<size_t>(count), 0);
        for (int id = 0; id < count; ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                Points[static_cast<size_t>(id)] = LumPoint(v->X, v->Y, v->Z);
                Live[static_cast<size_t>(id)] = 1;
            }
    }
    void Restore(KorMesh& mesh) const
    {
        const int count = std::min(std::max(mesh.GetVertexVectorSize(), 0), static_cast<int>(Points.size()));
        for (int id = 0; id < count; ++id)
            if (KorVertex* v = mesh.GetVertex(id); v && Live[static_cast<size_t>(id)])
            {
                const LumPoint& p = Points[static_cast<size_t>(id)];
                v->X = p.x;
                v->Y = p.y;
                v->Z = p.z;
            }
        mesh.MoveMesh(LumPoint(0, 0, 0)); // drops the derived state; adding zero is exact
    }
};

// The moves of the second mesh that break a degenerate position: a point of
// one mesh on a face, an edge or a vertex of the other, faces in one plane,
// edges that cross. Far above the walk's tolerances (1e-5), in directions
// along no axis, no grid diagonal and no simple slope, each try further and
// elsewhere (a millimetre, then three times as far, kMoves in all). The
// walk finds the line's way in the moved position; its points are then
// computed again in the given one (ExactPoints), so the move changes the way
// only where the given position left it undecided.
constexpr int kMoves = 4;
LumPoint Perturbation(int attempt)
{
    static const LumPoint directions[] = {LumPoint(0.5257311121, 0.3090169944, 0.7926740621),
                                          LumPoint(-0.3826834324, 0.6755902076, 0.6300589393),
                                          LumPoint(0.7071067812, -0.4440158403, 0.5503594964)};
    const int k = (attempt - 1) % 3;
    return directions[k] * (1e-3 * std::pow(3.0, std::min(attempt - 1, 8)));
}

// Where the segment p1p2 meets the plane through a, b, c, kept on the segment;
// fallback (projected on the segment) when the segment runs along the plane.
LumPoint SegmentPlanePoint(const LumPoint& p1, const LumPoint& p2, const LumPoint& a, const LumPoint& b,
                           const LumPoint& c, const LumPoint& fallback)
{
    const LumPoint n = (b - a) ^ (c - a);
    const LumPoint d = p2 - p1;
    const double dn = d * n;
    double t;
    const double scale = Length(n) * Length(d);
    if (scale > 0 && std::fabs(dn) > 1e-12 * scale)
        t = ((a - p1) * n) / dn;
    else
    {
        const double dd = d * d;
        t = dd > 0 ? ((fallback - p1) * d) / dd : 0.0;
    }
    t = std::min(1.0, std::max(0.0, t));
    return p1 + d * t;
}

// The points of a line walked with mesh2 moved by delta, computed again with
// mesh2 where it stood: each is where an edge of one mesh meets the plane of
// a face of the other, as its records say.
void ExactPoints(KorMesh& mesh1, KorMesh& mesh2, const LumPoint& delta, std::vector<LumPoint>& points,
                 const std::vector<sBooleanIntersection>& records1,
                 const std::vector<sBooleanIntersection>& records2)
{
    for (size_t i = 0; i < points.size() && i < records1.size() && i < records2.size(); ++i)
    {
        const bool edgeOf1 = records1[i].Kind == 9;
        KorMesh& edgeMesh = edgeOf1 ? mesh1 : mesh2;
        KorMesh& faceMesh = edgeOf1 ? mesh2 : mesh1;
        const sBooleanIntersection& onEdge = edgeOf1 ? records1[i] : records2[i];
        const sBooleanIntersection& onFace = edgeOf1 ? records2[i] : records1[i];
        LumPoint p1, p2, a, b, c;
        const KorFace* face = faceMesh.GetFace(onFace.ElementID);
        if (onEdge.Kind != 9 || onFace.Kind != 1 || !face ||
            !edgeMesh.GetEdgePoints(edgeMesh.GetEdge(onEdge.ElementID), p1, p2))
            continue;
        faceMesh.GetFaceTriangle(face, a, b, c);
        points[i] = SegmentPlanePoint(p1, p2, a, b, c, edgeOf1 ? points[i] : points[i] - delta);
    }
}

// Whether p lies on the face (within tol of one of its fan triangles) or on
// the half-edge's segment, as a record of a line says.
bool OnRecord(KorMesh& mesh, const sBooleanIntersection& record, const LumPoint& p, double tol,
              std::vector<LumPoint>& polygon)
{
    if (record.Kind == 9)
    {
        LumPoint a, b;
        if (!mesh.GetEdgePoints(mesh.GetEdge(record.ElementID), a, b))
            return false;
        const LumPoint d = b - a;
        const double dd = d * d;
        const double t = dd > 0 ? std::min(1.0, std::max(0.0, ((p - a) * d) / dd)) : 0.0;
        return Length(a + d * t - p) <= tol;
    }
    const KorFace* face = mesh.GetFace(record.ElementID);
    if (record.Kind != 1 || !face)
        return false;
    mesh.GetFacePoints(face, polygon);
    for (size_t i = 2; i < polygon.size(); ++i)
    {
        const LumPoint& a = polygon[0];
        const LumPoint& b = polygon[i - 1];
        const LumPoint& c = polygon[i];
        LumPoint n = (b - a) ^ (c - a);
        const double len = Length(n);
        if (len <= 0)
            continue;
        n = n / len;
        if (std::fabs((p - a) * n) > tol)
            continue;
        // Inside each side's line, within tol, in the triangle's plane.
        bool inside = true;
        for (const auto& [u, v] : {std::make_pair(a, b), std::make_pair(b, c), std::make_pair(c, a)})
        {
            const LumPoint side = v - u;
            const double sideLength = Length(side);
            if (sideLength > 0 && ((side ^ (p - u)) * n) / sideLength < -tol)
                inside = false;
        }
        if (inside)
            return true;
    }
    return false;
}

// Whether every point of a closed walk lies where its two records say. A
// walk that ran along a degenerate way (an edge of one mesh in the plane of
// a face of the other) may close on points far from the faces it names.
bool LineHolds(KorMesh& mesh1, KorMesh& mesh2, const std::vector<LumPoint>& points,
               const std::vector<sBooleanIntersection>& records1,
               const std::vector<sBooleanIntersection>& records2)
{
    std::vector<LumPoint> polygon;
    for (size_t i = 0; i < points.size(); ++i)
    {
        const double tol = 1e-4 + 1e-6 * Length(points[i]);
        if (!OnRecord(mesh1, records1[i], points[i], tol, polygon) ||
            !OnRecord(mesh2, records2[i], points[i], tol, polygon))
            return false;
    }
    return true;
}

// GetIntersectionLine in whatever frame the meshes are given.
bool WalkIntersectionLine(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box, const LumPoint& start,
                          std::vector<LumPoint>& points, std::vector<sBooleanIntersection>& records1,
                          std::vector<sBooleanIntersection>& records2, const int& maxAttempts,
                          const int& maxPoints, sLineMove* move)
{
    points.clear();
    records1.clear();
    records2.clear();
    // The half-edges by distance of their origin from start. Only those that
    // bound a face and whose segment can meet the box are kept: the search
    // passes over the others wherever they stand (the box test is the same
    // for both halves), so the order of the tested ones is that of the sort
    // of all half-edges, at O(E + k log k) instead of O(E log E).
    std::vector<KorEdge*> all, sorted;
    mesh1.GetAllEdges(all);
    std::vector<double> keys;
    for (KorEdge* e : all)
    {
        LumPoint a, b;
        if (!e || e->Face < 0 || !mesh1.GetEdgePoints(e, a, b) || !box.CanContainSegment(a, b))
            continue;
        sorted.push_back(e);
        keys.push_back((a - start).Norm());
    }
    std::vector<size_t> order(sorted.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    KorMergeSort(order, [&keys](size_t a, size_t b)
                 { return keys[a] < keys[b] ? -1 : (keys[b] < keys[a] ? 1 : 0); });
    {
        std::vector<KorEdge*> byDistance;
        byDistance.reserve(order.size());
        for (size_t i : order)
            byDistance.push_back(sorted[i]);
        sorted.swap(byDistance);
    }
    if (maxAttempts <= 0)
        return false;
    // A walk can visit each (half-edge, face) pair once: past that it loops.
    const size_t slotBound =
        static_cast<size_t>(std::max(mesh1.GetEdgeVectorSize(), 0)) + std::max(mesh2.GetEdgeVectorSize(), 0);
    const size_t bound = maxPoints > 0 ? static_cast<size_t>(maxPoints) : slotBound;
    sSavedVertices saved;
    bool wasMoved = false;
    LumPoint delta(0, 0, 0);
    auto fail = [&]()
    {
        if (wasMoved)
            saved.Restore(mesh2);
        return false;
    };
    // Any retry at all tries the moves in turn: the first crossing is
    // refused within a thousandth of an edge's length of its ends, so a
    // move smaller than that may leave the meshes touching.
    const int tries = maxAttempts > 1 ? std::max(maxAttempts, kMoves + 1) : maxAttempts;
    for (int attempt = 0; attempt < tries; ++attempt)
    {
        if (attempt > 0)
        {
            if (wasMoved)
                saved.Restore(mesh2);
            else
                saved.Save(mesh2);
            wasMoved = true;
            delta = Perturbation(attempt);
            mesh2.MoveMesh(delta);
        }
        // Back where it stood, with the points of the moved walk computed
        // again there; or, for a cut, left moved with what puts it back.
        auto succeed = [&]()
        {
            if (!wasMoved)
                return true;
            std::vector<LumPoint> exact = points;
            saved.Restore(mesh2);
            ExactPoints(mesh1, mesh2, delta, exact, records1, records2);
            if (!move)
            {
                points.swap(exact);
                return true;
            }
            mesh2.MoveMesh(delta);
            move->Moved = true;
            move->Second = &mesh2;
            move->Exact.swap(exact);
            move->Saved.swap(saved.Points);
            move->Live.swap(saved.Live);
            return true;
        };
        points.clear();
        records1.clear();
        records2.clear();
        int e = -1, f = -1;
        LumPoint p;
        // Where they stand, meshes that only touch are a degenerate
        // position, for the moved tries when retries are allowed. Moved,
        // no crossing is no line, the limit of the positions about the given
        // one, or a move still too small: the next one is tried.
        bool touched = false;
        if (FirstCrossing(mesh1, mesh2, box, sorted, e, f, p,
                          attempt == 0 && tries > 1 ? &touched : nullptr) == 0)
        {
            if (touched)
                continue;
            if (attempt > 0 && attempt + 1 < tries)
                continue;
            return fail();
        }
        LumPoint a, b;
        if (!mesh1.GetEdgePoints(mesh1.GetEdge(e), a, b))
            continue;
        points.push_back(p);
        records1.push_back({9, e, -1});
        records2.push_back({1, f, -1});
        std::set<std::tuple<int, int, int, int>> seen;
        seen.insert(std::make_tuple(9, e, 1, f));
        sBooleanIntersection rec1 = records1[0], rec2 = records2[0];
        for (;;)
        {
            sBooleanIntersection next1, next2;
            if (!GetNextIntersection(mesh1, mesh2, p, rec1, rec2, next1, next2))
                break;
            if (BackToStart(mesh1, mesh2, records1[0], records2[0], next1, next2) ||
                Length(p - points[0]) < kEps)
            {
                if (LineHolds(mesh1, mesh2, points, records1, records2))
                    return succeed();
                break;
            }
            if (points.size() >= 2 && Length(p - points[1]) < kEps)
            {
                points.pop_back();
                records1.pop_back();
                records2.pop_back();
                if (LineHolds(mesh1, mesh2, points, records1, records2))
                    return succeed();
                break;
            }
            if (!seen.insert(std::make_tuple(next1.Kind, next1.ElementID, next2.Kind, next2.ElementID))
                     .second)
                break; // a loop that misses its start
            points.push_back(p);
            records1.push_back(next1);
            records2.push_back(next2);
            if (points.size() > bound)
                break;
            rec1 = next1;
            rec2 = next2;
        }
    }
    return fail();
}
} // namespace

bool GetIntersectionLine(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box, const LumPoint& start,
                         std::vector<LumPoint>& points, std::vector<sBooleanIntersection>& records1,
                         std::vector<sBooleanIntersection>& records2, const int& maxAttempts,
                         const int& maxPoints, sLineMove* move)
{
    if (move)
        *move = sLineMove();
    // The walk rounds its points to single precision, whose spacing grows
    // with the distance from the origin: a scene would cross, snap to
    // vertices and close differently depending on where it sits. It therefore
    // always runs in the frame moved by the box centre rounded to whole
    // units, so a scene walks the same at every place and near the origin
    // much as without the move. The move there and back is exact for every
    // vertex nearer to that centre than to the origin; floor(v + 0.5) rounds
    // alike at every whole-unit place, ties included.
    const LumPoint c = (box.GetMin() + box.GetMax()) / 2;
    auto whole = [](double v) { return std::isfinite(v) ? std::floor(v + 0.5) : 0.0; };
    const LumPoint o(whole(c.x), whole(c.y), whole(c.z));
    if (o.x == 0 && o.y == 0 && o.z == 0)
        return WalkIntersectionLine(mesh1, mesh2, box, start, points, records1, records2, maxAttempts,
                                    maxPoints, move);
    const LumPoint back(-o.x, -o.y, -o.z);
    mesh1.MoveMesh(back);
    mesh2.MoveMesh(back);
    KorBoundingBox local = box;
    local.Define(box.GetMin() - o, box.GetMax() - o);
    const bool ok = WalkIntersectionLine(mesh1, mesh2, local, start - o, points, records1, records2,
                                         maxAttempts, maxPoints, move);
    mesh1.MoveMesh(o);
    mesh2.MoveMesh(o);
    for (LumPoint& p : points)
        p = p + o;
    if (move && move->Moved)
    {
        for (LumPoint& p : move->Exact)
            p = p + o;
        for (LumPoint& p : move->Saved)
            p = p + o;
    }
    return ok;
}

void SettleCut(KorMesh& mesh, const sLineMove& move, const std::vector<int>& vertexIds)
{
    if (!move.Moved)
        return;
    if (&mesh == move.Second)
        for (size_t id = 0; id < move.Saved.size(); ++id)
            if (KorVertex* v = mesh.GetVertex(static_cast<int>(id)); v && move.Live[id])
            {
                v->X = move.Saved[id].x;
                v->Y = move.Saved[id].y;
                v->Z = move.Saved[id].z;
            }
    for (size_t i = 0; i < vertexIds.size() && i < move.Exact.size(); ++i)
        if (KorVertex* v = mesh.GetVertex(vertexIds[i]))
        {
            v->X = move.Exact[i].x;
            v->Y = move.Exact[i].y;
            v->Z = move.Exact[i].z;
        }
    mesh.MoveMesh(LumPoint(0, 0, 0)); // drops the derived state; adding zero is exact
}
