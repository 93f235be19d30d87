#pragma once

#include "sClasseFaces.h"

#include <map>

class KorMesh;
class TeteTranchee;

// The single-entrance builder: turns the parameters of a single trench head
// into its polygon mesh in the head frame (x across, left side toward -x;
// +y into the hill; z up; platform at z = 0), fills the face classes 0 to
// 18 and writes the head's Point1Tunnel1 and Point2Tunnel1.
//
// Every face's normal (right-hand rule over its listed order, flip flag
// cleared) points into the excavated space: straight up on the platform,
// the floor pieces and the berms; up and toward the platform on the slopes;
// horizontal, toward the exit, on the faces that close the bench stacks
// against the outer slopes. No face points down.
//
// The faces that a shape may have are numbered 1 to 45 (rows), in the
// order they are added; a shape adds a subset of them, so a fresh mesh's
// face identifiers follow the rows it built. Classes 1 and 2 hold their
// left, front and right berms in their first three entries; every other
// class holds one face in its first entry.
//
// The mesh is built with its vertices shared between faces where the
// construction says two points are one; coincident points reached along
// different constructions are left for the caller's fusion. O(1): at most
// 49 vertices and 37 faces.
class MaillageTeteSimple
{
public:
    // Empties the mesh and builds it. False when two edge lines that must
    // meet at a corner are parallel in plan, or when a point is not finite
    // (a parameter that is not a number, or one so large that the
    // construction overflows): the mesh keeps what was added so far and
    // classes is left untouched.
    static bool Build(TeteTranchee& head, KorMesh& mesh, std::map<int, sClasseFaces>& classes);
};
