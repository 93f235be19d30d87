#pragma once

#include "sClasseFaces.h"

#include <map>

class KorMesh;
class TeteTranchee;

// The double-entrance builder: turns the parameters of a double trench head
// into its polygon mesh in the head frame (x across, +y into the hill, z
// up, platforms at z = 0): platform 1 on the -x side in front of tube 1,
// platform 2 on the +x side with its front hp2 further into the hill, the
// step slope between the two fronts, a side slope and an outer slope plane
// on each side, berms, extensions and the exit. Fills the face classes 1,
// 2 and 19 to 44 and writes the four tube end points.
//
// CoteAvance 46 is the mirror image in x of the head built for 45 (every
// other value builds 45): the builder negates every x and sets the mesh's
// face-flip flag before any normal is read, so that normals still point
// into the excavated space; face order and classes stay those of 45.
//
// The builder may raise Lf2 (the right platform edge behind front 2 must
// reach past front 2's raised end); that value is kept and saved.
//
// Every added vertex is a new one; coincident points are left for the
// caller's fusion. O(1): at most 66 vertices and 52 faces.
class MaillageTeteDouble
{
public:
    // Empties the mesh and builds it. False when two edge lines that must
    // meet at a corner are parallel in plan, or when a point is not finite:
    // the mesh keeps what was added so far and classes is left untouched.
    static bool Build(TeteTranchee& head, KorMesh& mesh, std::map<int, sClasseFaces>& classes);
};
