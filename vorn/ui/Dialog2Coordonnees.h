#pragma once

#include <wx/dialog.h>

#include <string>

class wxTextCtrl;

// A modal box asking two numbers; "Valider" (5100) closes it only when both
// are finite, "Annuler" gives 5101. A field with no number reads as 0.
class Dialog2Coordonnees : public wxDialog
{
public:
    Dialog2Coordonnees(const std::string& title, const std::string& firstLabel,
                       const std::string& secondLabel);

    double GetX() const;
    double GetY() const;

private:
    void OnValider(wxCommandEvent& event);

    wxTextCtrl* mFields[2] = {nullptr, nullptr};
};
