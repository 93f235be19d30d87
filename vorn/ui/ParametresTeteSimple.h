#pragma once

#include "ParametresTete.h"

class wxCheckBox;
class wxCommandEvent;

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
    void ShowSymmetry(bool checked);
    void ShowSecondBerm(bool checked);

    wxCheckBox* GetSymmetryBox() const { return mSymetrie; }
    wxCheckBox* GetSecondBermBox() const { return mRisberme; }
    using ParametresTete::GetField;

private:
    void OnSymmetryClicked(wxCommandEvent& event);
    void OnSecondBermClicked(wxCommandEvent& event);

    wxCheckBox* mSymetrie = nullptr;
    wxCheckBox* mRisberme = nullptr;
};
