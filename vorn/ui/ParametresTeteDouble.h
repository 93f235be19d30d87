#pragma once

#include "ParametresTete.h"

class wxCommandEvent;
class wxRadioBox;
class wxStaticText;

// The scrolled panel of a double trench head (two tubes, a recessed and an
// advanced front): two platforms and berms, both fronts, the recessed
// side's first slope and the slopes of sections 2 and 3 on both sides. The
// first column of the two-sided groups always holds the recessed side;
// only the headers follow the side chosen for the advanced front. Typed
// values reach the head in single precision.
class ParametresTeteDouble : public ParametresTete
{
public:
    explicit ParametresTeteDouble(wxWindow* parent);

    void FillFromTete(const TeteTranchee& head) override;
    void ApplyToTete() override;

    wxRadioBox* GetSideBox() const { return mCote; }
    // The title of the first slope's group and the headers of the first
    // and second columns of "Talus latéraux 2" and "Talus latéraux 3".
    wxString GetFirstSlopeTitle() const;
    wxString GetHeader(int column, int group) const;
    using ParametresTete::GetField;

private:
    void OnAdvancedSideSelected(wxCommandEvent& event);
    void ShowSide(int coteAvance);

    wxRadioBox* mCote = nullptr;
    // [column][group]: column 0 the recessed side, group 0 "Talus latéraux 2".
    wxStaticText* mHeaders[2][2] = {{nullptr, nullptr}, {nullptr, nullptr}};
    wxStaticBoxSizer* mFirstSlope = nullptr;
};
