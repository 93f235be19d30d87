#include "Dialog2Coordonnees.h"

#include "ModelUi.h"
#include "TypedValues.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valnum.h>

#include <cmath>

Dialog2Coordonnees::Dialog2Coordonnees(const std::string& title, const std::string& firstLabel,
                                       const std::string& secondLabel)
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(title), wxDefaultPosition, wxSize(180, 130))
{
    auto* grid = new wxFlexGridSizer(2, 2, 10, 25);
    const std::string* labels[2] = {&firstLabel, &secondLabel};
    for (int i = 0; i < 2; ++i)
    {
        grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(*labels[i])), 0,
                  wxALIGN_CENTER_VERTICAL | wxLEFT, 5);
        mFields[i] = new wxTextCtrl(this, 10 + i, "0", wxDefaultPosition, wxSize(70, 20), wxTE_RIGHT);
        grid->Add(mFields[i], 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT | wxRIGHT, 25);
    }
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 0, "Valider"));
    buttons->Add(new wxButton(this, 1, "Annuler"));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid);
    column->Add(buttons);
    SetSizer(column);
    FitToContent(this);
    Bind(wxEVT_BUTTON, &Dialog2Coordonnees::OnValider, this, 0);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); }, 1);
}

double Dialog2Coordonnees::GetX() const
{
    return TypedNumber(std::string(mFields[0]->GetValue().ToUTF8()));
}

double Dialog2Coordonnees::GetY() const
{
    return TypedNumber(std::string(mFields[1]->GetValue().ToUTF8()));
}

void Dialog2Coordonnees::OnValider(wxCommandEvent&)
{
    // An infinite origin would make every world coordinate NaN.
    if (!std::isfinite(GetX()) || !std::isfinite(GetY()))
    {
        ShowNonFiniteValuesMessage();
        return;
    }
    EndModal(wxID_OK);
}
