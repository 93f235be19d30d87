#include "DialogOutilsCreation.h"

#include "ChampTexte.h"
#include "TypedCoordinates.h"

#include <wx/sizer.h>
#include <wx/stattext.h>

DialogOutilsCreation::DialogOutilsCreation(wxWindow* parent)
    : wxDialog(parent, 15, wxString::FromUTF8("Terrain"), wxPoint(10, 100), wxSize(200, 630), wxCAPTION,
               "DialogOutilsCreation")
{
    auto* grid = new wxFlexGridSizer(3, 2, 5, 10);
    const char* labels[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i)
    {
        grid->Add(new wxStaticText(this, wxID_ANY, labels[i]), 0, wxALIGN_CENTER_VERTICAL);
        mFields[i] = new ChampTexte(this, 28 + i, "0", wxDefaultPosition, wxSize(120, -1),
                                    wxTE_PROCESS_ENTER | wxTE_RIGHT, wxDefaultValidator, labels[i],
                                    OnCoordinateFieldLeft, nullptr);
        grid->Add(mFields[i], 0, wxALIGN_CENTER_VERTICAL);
        Bind(wxEVT_TEXT_ENTER, &DialogOutilsCreation::OnCoordinatesEnter, this, 28 + i);
    }
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->AddStretchSpacer();
    column->Add(grid, 0, wxALL, 10);
    SetSizer(column);
    Layout();
    SetCoordinateFields(mFields[0], mFields[1], mFields[2]);
}

DialogOutilsCreation::~DialogOutilsCreation()
{
    SetCoordinateFields(nullptr, nullptr, nullptr);
}

void DialogOutilsCreation::OnCoordinatesEnter(wxCommandEvent&)
{
    // What is typed now is handed over: leaving the field adds nothing.
    for (ChampTexte* field : mFields)
        field->DiscardEdits();
    OnCoordinatesEntered();
}
