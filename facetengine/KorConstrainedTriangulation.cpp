#include "KorConstrainedTriangulation.h"

#include "KorDelaunay.h"
#include "KorExactPredicates.h"
#include "KorGeometry.h"

#include <cmath>

namespace
{
constexpr int kMaxCrossedTriangles = 1000;

// Right of A->B, or on its line.
bool IsRight(const KorVertex* a, const KorVertex* b, const KorVertex* v)
{
    return Orient2DSign(a->X, a->Y, b->X, b->Y, v->X, v->Y) <= 0;
}

// Strictly between A and B on their segment, exactly.
bool IsOnSegment(const KorVertex* a, const KorVertex* b, const KorVertex* v)
{
    if (Orient2DSign(a->X, a->Y, b->X, b->Y, v->X, v->Y) != 0)
        return false;
    const double dx = b->X - a->X, dy = b->Y - a->Y;
    return (v->X - a->X) * dx + (v->Y - a->Y) * dy > 0.0 && (b->X - v->X) * dx + (b->Y - v->Y) * dy > 0.0;
}

// Whether the closed segments A-B and P-Q meet, exactly; collinear segments
// do not. The walk crosses edges that A-B may pass within a micrometre of a
// corner or nearly parallel to: a tolerance there takes the wrong side of a
// triangle and the refill then overlaps or loses faces.
bool SegmentsCross(const KorVertex* a, const KorVertex* b, const KorVertex* p, const KorVertex* q)
{
    const int sp = Orient2DSign(a->X, a->Y, b->X, b->Y, p->X, p->Y);
    const int sq = Orient2DSign(a->X, a->Y, b->X, b->Y, q->X, q->Y);
    if ((sp == 0 && sq == 0) || sp * sq > 0)
        return false;
    return Orient2DSign(p->X, p->Y, q->X, q->Y, a->X, a->Y) *
               Orient2DSign(p->X, p->Y, q->X, q->Y, b->X, b->Y) <=
           0;
}

void AppendOnce(std::vector<int32_t>& list, int32_t id)
{
    if (list.back() != id)
        list.push_back(id);
}

// The half-edge between two corners of face, on the side away from it.
KorEdge* EdgeOutOf(KorMesh& mesh, int from, int to, int face)
{
    KorEdge* x = mesh.GetEdgeBetween(mesh.GetVertex(from), mesh.GetVertex(to));
    if (x && x->Face == face)
        x = mesh.GetEdge(x->Opp);
    return x;
}

// The piece of the segment A-B from A to the first vertex it reaches, B or
// one lying exactly on A-B (end): the crossed half-edges and the polygons on
// its two sides, each starting with A and end. No crossed half-edge when the
// piece is already an edge.
struct Walk
{
    std::vector<int> crossed;
    std::vector<int32_t> right, left;
    int32_t end = -1;
};

enum class WalkResult
{
    NotThisFace,
    Abandoned,
    Reached
};

WalkResult WalkFrom(KorMesh& mesh, int a, int b, int faceId, Walk& walk)
{
    const KorVertex* A = mesh.GetVertex(a);
    const KorVertex* B = mesh.GetVertex(b);
    const KorFace* face = mesh.GetFace(faceId);
    const KorEdge* e = face ? mesh.GetEdge(face->Edge) : nullptr;
    const KorEdge* e2 = e ? mesh.GetEdge(e->Next) : nullptr;
    if (!e || !e2)
        return WalkResult::NotThisFace;
    const KorEdge* eTwin = mesh.GetEdge(e->Opp);
    const KorEdge* e2Twin = mesh.GetEdge(e2->Opp);
    int c = e->Vertex;
    if (c == a)
    {
        if (!eTwin)
            return WalkResult::NotThisFace;
        c = eTwin->Vertex;
    }
    int d = e2->Vertex;
    if (d == a || d == c)
    {
        if (!e2Twin)
            return WalkResult::NotThisFace;
        d = e2Twin->Vertex;
    }
    const KorEdge* x = EdgeOutOf(mesh, c, d, faceId);
    if (!x || !mesh.GetFace(x->Face))
        return WalkResult::NotThisFace;
    const KorVertex* C = mesh.GetVertex(c);
    const KorVertex* D = mesh.GetVertex(d);
    if (!C || !D || !SegmentsCross(A, B, C, D))
        return WalkResult::NotThisFace;

    // A segment through a vertex cannot become one edge (the polygons on its
    // two sides would share that vertex and their fill would overlap): it is
    // forced piece by piece, and here the piece up to C or D is an edge.
    walk.crossed.clear();
    const bool cOnSegment = IsOnSegment(A, B, C);
    if (cOnSegment || IsOnSegment(A, B, D))
    {
        walk.end = cOnSegment ? c : d;
        return WalkResult::Reached;
    }
    walk.end = b;
    walk.crossed.push_back(x->ID);
    walk.right = {a, b};
    walk.left = {a, b};
    if (IsRight(A, B, C))
    {
        AppendOnce(walk.right, c);
        AppendOnce(walk.left, d);
    }
    else
    {
        AppendOnce(walk.right, d);
        AppendOnce(walk.left, c);
    }
    int p = c, q = d;
    int f = x->Face;
    for (int steps = 0; !mesh.IsVertexOnFace(mesh.GetFace(f), b);)
    {
        const KorEdge* n = mesh.GetEdge(x->Next);
        if (!n || ++steps > kMaxCrossedTriangles)
            return WalkResult::Abandoned;
        const KorEdge* nTwin = mesh.GetEdge(n->Opp);
        const KorVertex* G = nTwin ? mesh.GetVertex(nTwin->Vertex) : nullptr;
        const KorVertex* P = mesh.GetVertex(p);
        const KorVertex* Q = mesh.GetVertex(q);
        if (!G || !P || !Q)
            return WalkResult::Abandoned;
        const int g = G->ID;
        if (IsOnSegment(A, B, G))
        {
            // The piece ends at G, corner of the last crossed triangle.
            walk.end = g;
            walk.right[1] = g;
            walk.left[1] = g;
            break;
        }
        if (SegmentsCross(A, B, P, G))
        {
            x = EdgeOutOf(mesh, p, g, f);
            if (!x)
                return WalkResult::Abandoned;
            q = g;
            walk.crossed.push_back(x->ID);
            AppendOnce(walk.right, IsRight(A, B, P) ? p : g);
            AppendOnce(walk.left, IsRight(A, B, P) ? g : p);
        }
        else
        {
            x = EdgeOutOf(mesh, q, g, f);
            if (!x)
                return WalkResult::Abandoned;
            p = g;
            walk.crossed.push_back(x->ID);
            AppendOnce(walk.right, IsRight(A, B, G) ? g : q);
            AppendOnce(walk.left, IsRight(A, B, G) ? q : g);
        }
        f = x->Face;
    }
    return WalkResult::Reached;
}

// Forces the piece of a-b from a to the first vertex it reaches, b or one
// lying exactly on a-b; returns that vertex, or -1 when the piece is left
// out.
int ForcePiece(KorMesh& mesh, int a, int b, Walk& walk, std::vector<KorFace*>& faces,
               std::vector<int>& faceIds)
{
    mesh.GetFacesAroundVertex(mesh.GetVertex(a), faces);
    faceIds.clear();
    for (const KorFace* f : faces)
        faceIds.push_back(f->ID);
    for (int faceId : faceIds)
    {
        const WalkResult result = WalkFrom(mesh, a, b, faceId, walk);
        if (result == WalkResult::NotThisFace)
            continue;
        if (result == WalkResult::Abandoned)
            return -1;
        if (!walk.crossed.empty())
        {
            for (int edge : walk.crossed)
                mesh.DeleteEdge(edge, false);
            FillConstrainedPolygon(mesh, walk.right);
            FillConstrainedPolygon(mesh, walk.left);
        }
        return walk.end;
    }
    return -1;
}
} // namespace

void ConstrainTriangulation(KorMesh& mesh, const Constraint& constraint)
{
    Walk walk;
    std::vector<KorFace*> faces;
    std::vector<int> faceIds;
    for (const auto& segment : constraint)
    {
        const int a = segment.first, b = segment.second;
        const KorVertex* A = mesh.GetVertex(a);
        const KorVertex* B = mesh.GetVertex(b);
        if (!A || !B)
            continue;
        // Each piece ends strictly nearer to b on the segment, so this ends.
        for (int from = a; from >= 0 && from != b && !mesh.GetEdgeBetween(mesh.GetVertex(from), B);)
            from = ForcePiece(mesh, from, b, walk, faces, faceIds);
    }
}

void FillConstrainedPolygon(KorMesh& mesh, const std::vector<int32_t>& polygon)
{
    if (polygon.size() < 3)
        return;
    // A sub-polygon: base a-b and the side chain polygon[lo, hi).
    struct Piece
    {
        int32_t a, b;
        size_t lo, hi;
    };
    std::vector<Piece> pieces{Piece{polygon[0], polygon[1], 2, polygon.size()}};
    while (!pieces.empty())
    {
        const Piece piece = pieces.back();
        pieces.pop_back();
        if (piece.lo >= piece.hi)
            continue;
        const KorVertex* A = mesh.GetVertex(piece.a);
        const KorVertex* B = mesh.GetVertex(piece.b);
        if (!A || !B)
            continue;
        LumPoint normal(A->Y - B->Y, B->X - A->X, 0.0);
        Normalize(normal);
        size_t m = piece.lo;
        double best = -1.0;
        for (size_t j = piece.lo; j < piece.hi; ++j)
        {
            const KorVertex* v = mesh.GetVertex(polygon[j]);
            if (!v)
                continue;
            const double d = std::fabs(normal * LumPoint(v->X - A->X, v->Y - A->Y, 0.0));
            if (best < 0.0 || d < best)
            {
                best = d;
                m = j;
            }
        }
        const KorVertex* M = mesh.GetVertex(polygon[m]);
        if (!M)
            continue;
        DelaunayCreateTriangle(mesh, *A, *B, *M);
        // The side towards A first, as the recursion would.
        pieces.push_back(Piece{polygon[m], piece.b, m + 1, piece.hi});
        pieces.push_back(Piece{piece.a, polygon[m], piece.lo, m});
    }
}
