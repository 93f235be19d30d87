#pragma once

#include "LumPoint.h"

#include <vector>

// Tests of a point or a segment against a polygon given as an ordered vector
// of vertices, closed implicitly (the last vertex joins the first). The
// point tests treat the polygon as the fan of triangles (v0, v[i-1], v[i]),
// exact for convex polygons and for polygons star-shaped from v0. All are
// O(n) in the vertex count and allocate nothing for up to 16 crossings.

// True when p lies, in xy, in a fan triangle (tested in fan order); out is the
// point of the first such triangle at p's xy position (out.z is the face's
// height there). False for fewer than 3 vertices.
bool PointLiesIn2DPolygon(const LumPoint& p, const std::vector<LumPoint>& polygon, LumPoint& out);

// True when p's orthogonal projection onto a fan triangle's plane lies in that
// triangle. When out is given it receives the sine of the angle between the
// polygon's plane and the plane through p and its best-conditioned edge (0
// when p lies in the polygon's plane), and the test is refused (false) for a
// collinear polygon or a p on the line of every edge.
bool PointLiesIn3DPolygon(const LumPoint& p, const std::vector<LumPoint>& polygon, double* out = nullptr);

// The number of distinct points (1e-5 apart) where the half-line from a
// through b meets the polygon's edges strictly ahead of a; a crossing through
// a vertex, met by both its edges, counts once. 0 when a and b coincide.
int NumberOfIntersectionHalfLineWithSegments(const LumPoint& a, const LumPoint& b,
                                             const std::vector<LumPoint>& polygon);

// Whether the segment ab (typically a candidate diagonal between two vertices
// of a planar face) runs inside the polygon, meeting its boundary exactly once
// ahead of a, at b: a vertex met by its two edges counts once when the
// segment crosses there, and refuses the segment when it only touches it. An
// edge along the segment, or a meeting point beyond b, refuses it as well.
// Meant for a segment in the polygon's plane ending at a vertex: a b outside
// the polygon, past one crossing, is not recognised as such. O(n).
bool IsSegmentIn3DPolygon(const LumPoint& a, const LumPoint& b, const std::vector<LumPoint>& polygon);
