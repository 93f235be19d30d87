#pragma once

#include "LumPoint.h"

#include <string>
#include <vector>

class KorMesh;
class TeteTranchee;

// A face of a trench head that folds over the rest of the head in plan.
// The builders place each bench face between two corner lines that rise
// from the ends of its base; where those lines converge, the face narrows
// to a point (the pinch) below its top and opens again reversed above it.
// The placed head's last bench, as high as the terrain is wide, makes this
// happen for ordinary slopes; a low pinch comes from the user's angles.
struct sHeadFold
{
    int Face = -1;
    // A quadrilateral whose two opposite sides cross: below the pinch it is
    // a sound face, above it the reversed triangle Upper (pinch first).
    // Otherwise the whole face turns against the head or crosses itself
    // elsewhere, and no part of it can be measured.
    bool Pinched = false;
    LumPoint Pinch;
    LumPoint Upper[3];
};

// Finding the folds of a head mesh, taking a pinched face apart for the
// cut, and naming the fields that make a fold.
class HeadFolds
{
public:
    // The faces of the mesh that fold in plan: two non-adjacent sides that
    // cross strictly, or a plan area turned against the head's (the sign of
    // the sum of every face's plan area). Exact orientation tests; vertical
    // faces, whose plan area is nil, never fold here. O(sum of squared ring
    // sizes): a few hundred tests for a head.
    static std::vector<sHeadFold> Find(const KorMesh& mesh);

    // Splits every pinched face of the mesh at its pinch into the sound
    // triangle below and the reversed one above, the tracks of faces
    // leading both (and the neighbours given the pinch as a vertex) back to
    // their faces. False when a face cannot be split.
    static bool Unfold(KorMesh& mesh);

    // The fields of the head's panel that shape the folded faces, as the
    // panel names them ("group : field"), each once, in a readable order.
    static std::vector<std::string> Fields(const TeteTranchee& head, const std::vector<sHeadFold>& folds);
};
