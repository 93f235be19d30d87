#pragma once

#include "LumPoint.h"

#include <string>
#include <vector>

class KorMesh;
class TeteTranchee;

// The dimension labels of the placed trench head drawn over a layer in the
// 3D view: the platform widths and lengths beside the head, and the bench
// heights on the berm pieces the layer's cut holds.

struct sHeadLabel
{
    LumPoint Position; // scene coordinates
    std::string Text;
};

// Where the head stands: the head point on the axis and the axis bearing
// there (degrees from +Y, positive toward +X), the axis's reversal flag,
// and the scene length of one metre.
struct sHeadFrame
{
    LumPoint Point;
    double Direction = 0.0;
    bool Inverted = false;
    double Metre = 1.0;
};

// The labels of the platform sides (lp and hp of a single head; lp1, hp1,
// lp2, hp2 of a double one), then "h=" hr on the first piece of a first
// berm in cutHead (the layer's "_Tete" mesh, tracked back to the head's
// faces) and "h=" hr + hr2 on the first piece of a second berm. Numbers in
// the stream's default form (six significant digits). Pure.
std::vector<sHeadLabel> ComputeHeadLabels(const TeteTranchee& head, const sHeadFrame& frame,
                                          const KorMesh& cutHead);

// The number as the labels write it.
std::string FormatLabelNumber(double value);
