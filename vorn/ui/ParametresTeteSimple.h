#pragma once

#include "ParametresTete.h"

// The scrolled panel of a single trench head (one entrance, one front):
// platform and berms, the front, the lateral slopes in two sections, left
// and right. Shown by the trench-head dialog while "Double front" is
// unchecked. Right-hand fields are disabled under the symmetry, the final
// inclinations and the upper berm without the second berm; a disabled field
// is still sent.
class ParametresTeteSimple : public ParametresTete
{
public:
    explicit ParametresTeteSimple(wxWindow* parent);

    void FillFromTete(const TeteTranchee& head) override;
    void ApplyToTete() override;

    using ParametresTete::GetField;
};
