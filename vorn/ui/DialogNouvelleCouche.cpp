#include "DialogNouvelleCouche.h"

#include "InterfaceModes.h"
#include "ProjetOVX.h"
#include "TypedValues.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/filepicker.h>
#include <wx/listbox.h>
#include <wx/radiobox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <cmath>

namespace
{
wxString U(const char* text)
{
    return wxString::FromUTF8(text);
}

std::string Text(const wxTextCtrl* field)
{
    return std::string(field->GetValue().ToUTF8().data());
}

// A typed number narrowed to a float as the creation takes it; false, after
// the shared message, when it is not finite there.
bool ReadFloat(const wxTextCtrl* field, float& value)
{
    double typed = 0.0;
    if (!ReadFiniteValue(Text(field), typed))
        return false;
    value = static_cast<float>(typed);
    if (std::isfinite(value))
        return true;
    ShowNonFiniteValuesMessage();
    return false;
}
} // namespace

DialogNouvelleCouche::DialogNouvelleCouche(wxWindow* parent)
    : wxDialog(parent, 21, U("Nouvelle couche"), wxPoint(300, 300), wxSize(375, 300), wxCAPTION,
               "DialogNouvelleCouche")
{
    wxTextValidator nameValidator(wxFILTER_EXCLUDE_CHAR_LIST);
    nameValidator.SetCharExcludes("_");
    mNom = new wxTextCtrl(this, 1, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0, nameValidator);

    wxArrayString levels;
    levels.Add(wxEmptyString);
    for (const std::string& name : gProjet.GetCoucheNames())
        levels.Add(wxString::FromUTF8(name));
    mNiveau = new wxListBox(this, 2, wxDefaultPosition, wxSize(150, 150), levels, wxLB_SINGLE);
    mNiveau->SetSelection(static_cast<int>(levels.size()) - 1);

    const wxString methods[] = {U("Couche Vierge"), U("Import DXF"), U("Sous une couche existante")};
    mMethode = new wxRadioBox(this, 3, U("Méthode de création"), wxDefaultPosition, wxDefaultSize, 3, methods,
                              1, wxRA_SPECIFY_COLS);
    mFichier = new wxFilePickerCtrl(this, 4, wxEmptyString, U("Choisissez un fichier"),
                                    U("DXF files (*.dxf)|*.dxf"), wxDefaultPosition, wxDefaultSize,
                                    wxFLP_OPEN | wxFLP_FILE_MUST_EXIST | wxFLP_USE_TEXTCTRL);
    mFichier->Disable();
    const wxTextValidator numeric(wxFILTER_NUMERIC);
    mProfondeur = new wxTextCtrl(this, 5, "0", wxDefaultPosition, wxSize(50, 20), wxTE_RIGHT, numeric);
    mAmortissement = new wxTextCtrl(this, 6, "0", wxDefaultPosition, wxSize(50, 20), wxTE_RIGHT, numeric);
    mProfondeur->Disable();
    mAmortissement->Disable();

    auto* nameRow = new wxBoxSizer(wxHORIZONTAL);
    nameRow->Add(new wxStaticText(this, wxID_ANY, U("Nom de la nouvelle couche     ")), 0,
                 wxALIGN_CENTER_VERTICAL);
    nameRow->Add(mNom, 1, wxEXPAND);

    auto* level = new wxStaticBoxSizer(wxVERTICAL, this, U("Niveau"));
    level->Add(new wxStaticText(level->GetStaticBox(), wxID_ANY, U("Placer la couche sous :")), 0, wxALL, 2);
    mNiveau->Reparent(level->GetStaticBox());
    level->Add(mNiveau, 0, wxALL, 2);

    auto* grid = new wxFlexGridSizer(2, 2, 10, 10);
    grid->Add(new wxStaticText(this, wxID_ANY, U("Profondeur       ")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(mProfondeur);
    grid->Add(new wxStaticText(this, wxID_ANY, U("Amortissement (%) ")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(mAmortissement);

    auto* method = new wxBoxSizer(wxVERTICAL);
    method->Add(mMethode, 0, wxEXPAND);
    method->Add(mFichier, 0, wxEXPAND | wxTOP, 4);
    method->Add(grid, 0, wxTOP, 6);

    auto* middle = new wxBoxSizer(wxHORIZONTAL);
    middle->Add(level, 0, wxRIGHT, 6);
    middle->Add(method, 1, wxEXPAND);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 7, U("Valider")), 0, wxALL, 2);
    buttons->Add(new wxButton(this, 8, U("Annuler")), 0, wxALL, 2);

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(nameRow, 0, wxEXPAND | wxALL, 5);
    column->Add(middle, 1, wxEXPAND | wxLEFT | wxRIGHT, 5);
    column->Add(buttons, 0, wxALIGN_CENTER | wxALL, 5);
    SetSizer(column);
    FitToContent(this);

    // Escape clicks Annuler.
    SetEscapeId(8);
    Bind(wxEVT_BUTTON, &DialogNouvelleCouche::OnValider, this, 7);
    Bind(wxEVT_BUTTON, &DialogNouvelleCouche::OnAnnuler, this, 8);
    Bind(wxEVT_RADIOBOX, &DialogNouvelleCouche::OnMethode, this, 3);
    Bind(wxEVT_CLOSE_WINDOW, &DialogNouvelleCouche::OnClose, this);
}

float DialogNouvelleCouche::ClampDamping(float damping)
{
    if (damping >= 100.0f)
        return 100.0f;
    if (damping <= 0.0f)
        return 0.0f;
    return damping;
}

void DialogNouvelleCouche::OnMethode(wxCommandEvent&)
{
    mFichier->Disable();
    mProfondeur->Disable();
    mAmortissement->Disable();
    switch (mMethode->GetSelection())
    {
    case 1:
        mFichier->Enable();
        break;
    case 2:
        mProfondeur->Enable();
        mAmortissement->Enable();
        break;
    default:
        break;
    }
}

void DialogNouvelleCouche::OnValider(wxCommandEvent&)
{
    if (mFinished)
        return;
    const std::string name = Text(mNom);
    const int level = mNiveau->GetSelection();
    const int method = mMethode->GetSelection();
    const std::string path = mFichier->GetPath().ToUTF8().data();
    float depth = 0.0f, damping = 0.0f;
    // A value that is not finite would reach the layer's points.
    if (!ReadFloat(mProfondeur, depth) || !ReadFloat(mAmortissement, damping))
        return;
    damping = ClampDamping(damping);
    if (gProjet.CreateCouche(name, level, method, true, path, damping, depth))
        Finish();
    RefreshDisplay();
}

void DialogNouvelleCouche::OnAnnuler(wxCommandEvent&)
{
    Finish();
}

void DialogNouvelleCouche::OnClose(wxCloseEvent&)
{
    Finish();
}

void DialogNouvelleCouche::Finish()
{
    if (mFinished)
        return;
    mFinished = true;
    // The modal loop ends first: destroyed inside it, the dialog would be
    // freed under ShowModal.
    if (IsModal())
        EndModal(wxID_CANCEL);
    Destroy();
}
