#pragma once

#include "KorMesh.h"

#include <gtest/gtest.h>

// Checks every structural invariant of a KorMesh; use as
// EXPECT_TRUE(CheckMesh(mesh)) after each mutation. The failure message lists
// each broken rule with the identifiers involved (at most 20 lines):
// - live elements carry their slot index as ID, and the counts match;
// - every link (vertex Edge, half-edge Vertex/Face/Opp/Next/Turn, face Edge)
//   names a live element, or is -1 where allowed;
// - twins are mutual and join two different vertices; at most one half-edge
//   from one vertex to another;
// - each vertex's Turn ring closes, holds only half-edges leaving that vertex,
//   and together the rings hold every live half-edge exactly once;
// - Face -1 goes with Next -1; each face's Next ring closes, is continuous
//   (a half-edge ends where the next begins) and holds exactly the half-edges
//   naming that face;
// - and, when all of the above hold, the readers' link check accepts it.
::testing::AssertionResult CheckMesh(const KorMesh& mesh);
