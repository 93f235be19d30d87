#include "ParametresTete.h"

#include "DialogTete.h"
#include "FenetreTunnel.h"
#include "KorSinglePrecision.h"
#include "ModelUi.h"
#include "TeteFieldText.h"
#include "TeteTranchee.h"

#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/valtext.h>

ParametresTete::ParametresTete(wxWindow* parent, wxWindowID id, const wxSize& size)
    : wxScrolledWindow(parent, id, wxDefaultPosition, size, wxBORDER_SIMPLE | wxTAB_TRAVERSAL, wxPanelNameStr)
{
}

ChampTexte* ParametresTete::AddField(int id, double TeteTranchee::*parameter, bool angle,
                                     ChampTexte::FocusCallback onGetFocus)
{
    wxTextValidator numeric(wxFILTER_INCLUDE_CHAR_LIST);
    numeric.SetCharIncludes("0123456789.,+-eE");
    auto* field = new ChampTexte(this, id, std::string(), wxDefaultPosition, wxSize(40, 20), wxTE_RIGHT,
                                 numeric, wxTextCtrlNameStr, OnTeteFieldEdited, onGetFocus);
    // Leaving a field, edited or not, ends its face's highlight.
    field->Bind(wxEVT_KILL_FOCUS,
                [this](wxFocusEvent& event)
                {
                    event.Skip();
                    DialogTete* dialog = GetDialog();
                    if (gFenetreTunnel && dialog && !dialog->IsBeingDeleted())
                        dialog->ClearFaceSelection();
                });
    mFields.push_back({field, parameter, angle, std::string(), 0.0, false});
    return field;
}

const ParametresTete::Field* ParametresTete::Find(int id) const
{
    for (const Field& f : mFields)
        if (f.Control->GetId() == id)
            return &f;
    return nullptr;
}

ChampTexte* ParametresTete::GetField(int id) const
{
    const Field* f = Find(id);
    return f ? f->Control : nullptr;
}

wxFlexGridSizer* ParametresTete::AddGroup(wxSizer* panelSizer, const char* title, int columns,
                                          wxStaticBoxSizer** group)
{
    auto* box = new wxStaticBoxSizer(wxVERTICAL, this, wxString::FromUTF8(title));
    auto* grid = new wxFlexGridSizer(columns, 3, 10);
    box->Add(grid, 1, wxEXPAND | wxLEFT, 5);
    panelSizer->Add(box, 0, wxEXPAND | wxTOP | wxBOTTOM | wxLEFT, 5);
    if (group)
        *group = box;
    return grid;
}

wxWindow* ParametresTete::AddLabel(wxFlexGridSizer* grid, const char* text)
{
    auto* label = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(text));
    grid->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxTOP, 5);
    return label;
}

void ParametresTete::AddCell(wxFlexGridSizer* grid, ChampTexte* field)
{
    grid->Add(field, 0, wxALIGN_CENTER_VERTICAL | wxALIGN_RIGHT | wxBOTTOM, 5);
}

void ParametresTete::WriteFields(const TeteTranchee& head)
{
    for (Field& f : mFields)
    {
        f.Written = FormatTeteField(head.*f.Parameter, f.Angle);
        // No text event: filling never applies.
        f.Control->ChangeValue(wxString::FromUTF8(f.Written));
    }
}

bool ParametresTete::ReadFields(const TeteTranchee& head, bool singlePrecision)
{
    for (Field& f : mFields)
    {
        if (!ReadTeteField(std::string(f.Control->GetValue().ToUTF8().data()), f.Written, head.*f.Parameter,
                           f.Angle, f.Value, f.Typed))
            return false;
        if (f.Typed && singlePrecision)
            f.Value = KorToSingle(f.Value);
    }
    return true;
}

double ParametresTete::Value(int id) const
{
    const Field* f = Find(id);
    return f ? f->Value : 0.0;
}

DialogTete* ParametresTete::GetDialog() const
{
    return dynamic_cast<DialogTete*>(GetParent());
}

TeteTranchee& ParametresTete::GetTete() const
{
    DialogTete* dialog = GetDialog();
    return dialog ? dialog->GetTete() : GetModelUi().GetTete();
}

bool ParametresTete::ReadTunnelSize(double& width, double& height) const
{
    DialogTete* dialog = GetDialog();
    if (!dialog)
    {
        width = 6.0;
        height = 3.0;
        return true;
    }
    return dialog->ReadTunnelSize(width, height);
}

void ParametresTete::Refill(bool headChanged)
{
    TeteTranchee& head = GetTete();
    if (DialogTete* dialog = GetDialog())
    {
        dialog->FillFields(head);
        dialog->RenderPreview();
    }
    else
        FillFromTete(head);
    // The volume shown follows the head at once, as after any edit.
    if (headChanged)
        GetModelUi().RefreshDisplay();
}

void ParametresTete::AddSwitches(const char* secondBermLabel, std::vector<int> symmetric,
                                 int symmetricUpperBerm, std::vector<int> secondBerm)
{
    mSymetrie = new wxCheckBox(this, 3, wxString::FromUTF8("Symétrie des talus droit/gauche"));
    mRisberme = new wxCheckBox(this, 4, wxString::FromUTF8(secondBermLabel));
    mSymmetric = std::move(symmetric);
    mSymmetricUpperBerm = symmetricUpperBerm;
    mSecondBerm = std::move(secondBerm);
    Bind(wxEVT_CHECKBOX, &ParametresTete::OnSymmetryClicked, this, 3);
    Bind(wxEVT_CHECKBOX, &ParametresTete::OnSecondBermClicked, this, 4);
}

void ParametresTete::ShowSymmetry(bool checked)
{
    mSymetrie->SetValue(checked);
    for (int id : mSymmetric)
        GetField(id)->Enable(!checked);
    GetField(mSymmetricUpperBerm)->Enable(!checked && mRisberme->GetValue());
}

void ParametresTete::ShowSecondBerm(bool checked)
{
    mRisberme->SetValue(checked);
    for (int id : mSecondBerm)
        GetField(id)->Enable(checked);
}

void ParametresTete::OnSymmetryClicked(wxCommandEvent& event)
{
    ShowSecondBerm(mRisberme->GetValue());
    ShowSymmetry(event.IsChecked());
    ApplyToTete();
}

void ParametresTete::OnSecondBermClicked(wxCommandEvent& event)
{
    ShowSecondBerm(event.IsChecked());
    ShowSymmetry(mSymetrie->GetValue());
    ApplyToTete();
}
