#pragma once

#include <wx/dialog.h>

class ChampTexte;

// The frame's long-lived modeless creation palette, created once with the
// frame as parent and shown or hidden. For now it holds the X, Y and Z
// coordinate fields (ids 28, 29, 30): Enter or leaving an edited field hands
// the typed point to the current tool.
class DialogOutilsCreation : public wxDialog
{
public:
    explicit DialogOutilsCreation(wxWindow* parent);
    ~DialogOutilsCreation() override;

    ChampTexte* GetCoordinateField(int axis) const { return mFields[axis]; }

private:
    void OnCoordinatesEnter(wxCommandEvent& event);

    ChampTexte* mFields[3] = {nullptr, nullptr, nullptr};
};
