#pragma once

#include "LumPoint.h"

#include <vector>

class KorMesh;
class KorEdge;
class KorBoundingBox;

// Where one point of an intersection line lies on one mesh.
//  Kind 1: inside face ElementID.
//  Kind 9: on half-edge ElementID, away from its ends; FromFaceID is the face
//          of the same mesh the line ran in before reaching the edge (-1 in
//          the first record of a line).
//  Kind 8: at the origin vertex of half-edge ElementID of the face being left.
struct sBooleanIntersection
{
    int Kind = 0;
    int ElementID = -1;
    int FromFaceID = -1;
};

// The mesh-mesh intersection line, traced by walking from face to face. All
// functions print nothing and throw nothing; tolerance 1e-5 unless stated.

// The infinite line p1p2 against triangle abc by Plücker side products:
// 0 none (or parallel, or degenerate), 1 strictly inside, 2/3/4 through vertex
// a/b/c (copied exactly into out), 5/6/7 through the line of edge ab/bc/ca.
// With strict, any side product near zero gives 0. O(1).
int IntersectionLineTriangle(const LumPoint& p1, const LumPoint& p2, LumPoint& out, const LumPoint& a,
                             const LumPoint& b, const LumPoint& c, bool strict);
// The same, 0 unless the crossing lies on the segment p1p2 (1e-5 margin).
int IntersectionEdgeTriangle(const LumPoint& p1, const LumPoint& p2, LumPoint& out, const LumPoint& a,
                             const LumPoint& b, const LumPoint& c, bool strict);
// The segment against the polygon's fan from its first point (strict tests,
// so a crossing through a fan diagonal, an edge or a vertex is no crossing):
// 0 none, 1 crossing, 8 crossing within 1e-4 or a thousandth of the segment
// length of one of its ends. index is never written. O(n).
int IntersectionEdgeFace(const LumPoint& p1, const LumPoint& p2, LumPoint& out, int& index,
                         const std::vector<LumPoint>& polygon);

// The first half-edge of edges (in that order, twins skipped) that crosses a
// face of mesh2 (in face identifier order) cleanly (result 1 above): 1 with
// edgeId, faceId and point set; else 0 (edgeId may name an edge whose only
// crossings were too near its ends). Half-edges whose segment cannot meet box
// are passed over. Candidate faces come from an index over the faces' boxes
// and are tested in identifier order, so the answer equals the exhaustive
// loop's; cost O(E + F + candidates) instead of O(E F). The index falls back
// to the exhaustive loop when it cannot be built.
int GetFirstIntersection(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box,
                         const std::vector<KorEdge*>& edges, int& edgeId, int& faceId, LumPoint& point);

// One step of the walk from a point on a half-edge of meshE (edge record, kind
// 9) inside a face of meshF (face record, kind 1): follows the line common to
// the two face planes to where it leaves either face. On true, point is the
// next point and the next records describe it. O(size of the two faces).
bool GetNextIntersectionFromEdgeFace(KorMesh& meshE, KorMesh& meshF, LumPoint& point,
                                     const sBooleanIntersection& edgeRecord,
                                     const sBooleanIntersection& faceRecord,
                                     sBooleanIntersection& nextEdgeRecord,
                                     sBooleanIntersection& nextFaceRecord);
// Dispatches on the kinds: (9, 1) and (1, 9) step, anything else is false.
bool GetNextIntersection(KorMesh& mesh1, KorMesh& mesh2, LumPoint& point, const sBooleanIntersection& record1,
                         const sBooleanIntersection& record2, sBooleanIntersection& next1,
                         sBooleanIntersection& next2);

// The closed line where mesh1 and mesh2 cross, one record per point on each
// mesh. The first crossing is searched from the half-edges of mesh1 nearest to
// start; the walk ends when it comes back to its first half-edge (either half)
// and face, or to its first point. A walk that meets a vertex, finds no way
// on, repeats a (record 1, record 2) pair or exceeds its point bound fails the
// attempt: a degenerate position (a point of one mesh on a face, an edge or
// a vertex of the other, faces in one plane, crossing edges) does so, and so
// do meshes that only touch where the first crossing is sought. With retries
// allowed (maxAttempts > 1: four moved tries at least), each walks with mesh2
// moved by a small deterministic offset that breaks the degeneracy (1 mm
// in scene units, then three times as far each time, along no axis), and on
// success each point is computed again, in double precision, where its edge
// meets its face's plane in the given position (clamped to the edge). Without
// move, mesh2 is then put back exactly and the points are those. With move
// given, mesh2 stays moved and the points are the moved ones, so that the
// cut and the choice of its sides are made where no degeneracy remains; move
// tells SettleCut how to put each cut mesh where it stands, so that the
// volumes and surfaces of the cut are those of the given position. On
// failure mesh2 is put back. A line whose points lie off the faces and edges
// its records name (a walk along an edge in a face's plane) fails the try.
// maxPoints <= 0 means no bound other than the half-edge slot counts of both
// meshes. Both meshes are moved by the box centre rounded to whole units for
// the walk and moved back: the points are rounded to single precision in that
// frame and returned in the caller's, so a scene gives the same line wherever
// it sits. Cost: O(E log E) for the sort plus the first search plus O(points)
// for the walk, times the tries.
struct sLineMove
{
    bool Moved = false;
    const KorMesh* Second = nullptr; // the moved mesh
    std::vector<LumPoint> Exact;     // the line's points where the meshes stand
    std::vector<LumPoint> Saved;     // the moved mesh's vertices, by slot,
    std::vector<char> Live;          // where a vertex was
};
bool GetIntersectionLine(KorMesh& mesh1, KorMesh& mesh2, const KorBoundingBox& box, const LumPoint& start,
                         std::vector<LumPoint>& points, std::vector<sBooleanIntersection>& records1,
                         std::vector<sBooleanIntersection>& records2, const int& maxAttempts,
                         const int& maxPoints, sLineMove* move = nullptr);
// After a mesh was cut along a line found moved (vertexIds, one per point in
// line order, from CutMeshFromIntersectionLine): the moved mesh's vertices go
// back where they stood, and the line's vertices of either mesh to the exact
// points. Nothing when the walk did not move. O(vertices of the moved mesh).
void SettleCut(KorMesh& mesh, const sLineMove& move, const std::vector<int>& vertexIds);
