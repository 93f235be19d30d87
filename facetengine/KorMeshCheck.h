#pragma once

#include <string>

class KorMesh;

// Checks that a mesh read from outside data can be walked safely: every
// link names a live element (or is -1, "none"), every half-edge has a live
// origin, and the Next and Turn links each form closed rings (every chain
// comes back to where it started; Turn rings stay around one vertex).
// O(vertex + half-edge + face slots), no ring is walked, so a corrupt link
// can make it neither loop nor read outside the tables. On failure, reason
// names the first fault found.
bool KorMeshLinksAreSound(KorMesh& mesh, std::string& reason);
