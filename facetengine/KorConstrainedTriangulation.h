#pragma once

#include "KorMesh.h"

#include <cstdint>
#include <utility>
#include <vector>

// Forcing segments into a triangulation made by Delaunay2D, so that a
// surface follows its level lines. Nothing is reported: a segment that
// cannot be forced leaves the mesh as it was.

// Segments (first, second) of vertex identifiers, forced in this order. For a
// polyline i0 .. ik: (i0, i1) .. (ik-1, ik), and (ik, i0) when it is closed.
using Constraint = std::vector<std::pair<int32_t, int32_t>>;

// Makes each segment A-B an edge where it can: walks from A across the
// triangles the segment crosses, deletes them, and refills the hole on each
// side of A-B with FillConstrainedPolygon. The refill is not legalised, so
// the forced edges stay. A segment running exactly through other vertices
// M1 .. Mk (tested exactly) becomes the chain of edges A-M1, .., Mk-B, one
// piece at a time. Left out: a missing vertex, an existing edge, no
// triangle around A whose opposite edge A-B crosses, more than 1000 crossed
// triangles, or a walk that loses its way (a border, a missing edge); for a
// chain, that piece and the ones after it, the pieces before staying in.
//
// Cost per segment: O(valence of A + k) for k crossed triangles, plus the
// refill.
void ConstrainTriangulation(KorMesh& mesh, const Constraint& constraint);

// Triangulates the polygon given by its base edge (the first two
// identifiers) and its side chain (the rest, in order from the first base
// vertex to the second): the triangle on the base edge takes the side vertex
// nearest to the base line (the first of equals), and the two sub-polygons
// it leaves are filled the same way. Nothing for fewer than 3 identifiers.
// O(k^2) for k side vertices in the worst case; constant stack.
void FillConstrainedPolygon(KorMesh& mesh, const std::vector<int32_t>& polygon);
