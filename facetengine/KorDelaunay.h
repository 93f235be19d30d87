#pragma once

#include "Front.h"
#include "KorMesh.h"

// Delaunay triangulation of a mesh's vertices in the X-Y plane (Z is carried
// along) by a sweep line moving upward in Y with an advancing front.
// Problems are reported as one line on standard output; nothing throws.

// Drops every edge and face of the mesh and triangulates its vertices.
// Vertices sharing a position (exactly) are triangulated once, the others
// stay without edges, as do vertices with a non-finite X or Y. Refused, with
// a message and no face, when fewer than 3 distinct positions remain or when
// all of them share the lowest Y. A set lying wholly on one slanted or
// vertical line gives zero-area triangles; any other set gives triangles of
// positive area, counter-clockwise, each interior edge locally Delaunay
// (decided exactly, co-circular points either way), over a region without
// holes: grids, collinear runs, vertical sides and duplicates included.
//
// Cost: O(n log n) for the sort; then each vertex is joined to the front
// (O(log n) searches on it), and each new triangle is legalised by a flip
// cascade: O(1) flips per vertex on average for scattered points, O(n) for
// one vertex at worst. The region covered is bounded above by a convex front
// and below by the lower chain, which is left as swept (not convex).
//
// The sweep reads compact copies of the points (position and index, put in
// order by a radix sort on Y), runs on a compact array of triangles (corners
// and neighbours, about 50 bytes per point) and the mesh is filled once at
// the end (KorMesh::AddTriangles, which frees the array before it makes the
// faces, so that the peak stays near the finished mesh's size): faces
// 0, 1, ... and half-edges 0, 1, ... in the array's order, the border twins
// last. Only a set giving flat triangles is built face by face.
void Delaunay2D(KorMesh& mesh);

// The same sweep with every triangle and flip made on the mesh as it goes
// (AddFace, DeleteEdge): the same triangles with other identifiers, at several
// times the cost. Kept to check the array form against.
void Delaunay2DOnFaces(KorMesh& mesh);

// Adds the triangle with counter-clockwise orientation in X-Y (a, c, b when
// a, b, c turn clockwise; a collinear triple keeps the given order). Returns
// the face's identifier, -1 when the mesh refuses it.
int DelaunayCreateTriangle(KorMesh& mesh, const KorVertex& a, const KorVertex& b, const KorVertex& c);

// Flips the face with the first neighbour (in the order of its half-edges)
// whose far vertex lies inside its circumcircle, then legalises the two new
// triangles, and so on: the whole cascade runs on an explicit work list in
// the order of the natural recursion, whatever its length.
void CheckDelaunayCriteria(KorMesh& mesh, const int& faceId);

// True when d lies strictly inside the circle through the counter-clockwise
// a, b, c: the in-circle determinant (rows a - d, b - d, c - d with their
// squared lengths, on X and Y) above 1e-12, decided exactly. Co-circular
// points are not inside.
bool CheckPointInsideCircumcircle(const KorVertex* a, const KorVertex* b, const KorVertex* c,
                                  const KorVertex* d);

// Replaces two triangles sharing an edge by the two on the other diagonal,
// then legalises both as CheckDelaunayCriteria does.
void SwapFaces(KorMesh& mesh, const int& faceId1, const int& faceId2);

// Fills the valleys of the front right, then left, of p: while the angle at
// the next front vertex q1, between q1->p and q1->q2, is at most 90 degrees,
// adds and legalises the triangle (p, q1, q2) and drops q1 from the front.
// Nothing when p is not in the front or has no two neighbours on a side.
void AddChainedTriangles(KorMesh& mesh, Front& front, const KorVertex* p);

// Fills every dent of the front (a vertex below the segment joining its
// neighbours) with a legalised triangle, stepping back after each, until the
// front is convex. O(front size) triangles, each step O(log n).
void FinalizeDelaunay(KorMesh& mesh, Front& front);
