#pragma once

#include "CalculSeries.h"

#include <wx/dialog.h>

#include <string>

class wxCheckBox;
class wxTextCtrl;

// The bounds of a series of calculations: minimum, step and maximum along
// the axis and, when "Décaler selon une direction" is checked, the
// direction's angle and its own bounds. "Lancer les calculs" ends the
// dialog with wxID_OK once ReadSeriesRequest accepts the fields (a refused
// field keeps it open); GetRequest then holds the series to run.
class DialogCalculs : public wxDialog
{
public:
    explicit DialogCalculs(wxWindow* parent);

    // Across the axis, on the right of the way the head faces: the axis
    // bearing at the head - Nord + 90, turned by 180 for a reversed head,
    // in [0, 360) then; six significant digits.
    static std::string DefaultAngle();

    SeriesFields GetFields() const;
    const SeriesRequest& GetRequest() const { return mRequest; }
    wxTextCtrl* GetField(int index) const { return mFields[index]; }
    wxCheckBox* GetDirectionBox() const { return mDirection; }

private:
    void OnCheckDirection(wxCommandEvent& event);
    void OnLaunch(wxCommandEvent& event);

    wxCheckBox* mDirection = nullptr;
    // Axis minimum, step, maximum; angle; direction minimum, step, maximum.
    wxTextCtrl* mFields[7] = {};
    SeriesRequest mRequest;
};
