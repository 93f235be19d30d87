#pragma once

#include <string>

class KorMesh;

// Checks that a mesh read from outside data holds what every walk relies
// on, so that a corrupt file is refused instead of being walked:
// - every link names a live element; only a half-edge's Face and Next may be
//   -1, both together (a border half-edge), and a vertex's Edge when no
//   half-edge leaves it;
// - twins are paired both ways and start at different vertices;
// - each face's Next ring, from its Edge, closes through half-edges of that
//   face only, is continuous (a half-edge's twin starts where its Next
//   starts), has at least three half-edges, and holds every half-edge that
//   names the face;
// - each vertex's Turn ring, from its Edge, closes through half-edges leaving
//   that vertex only, holds every half-edge leaving it, and reaches each
//   other vertex at most once.
// O(vertex + half-edge + face slots): each ring walk marks the half-edges it
// passes and stops at one already marked, so a corrupt link can make it
// neither loop nor read outside the tables. On failure, reason names the
// first fault found.
bool KorMeshLinksAreSound(const KorMesh& mesh, std::string& reason);
