#include "DialogSlider.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/stattext.h>

DialogSlider::DialogSlider(const std::string& title, int minimum, int maximum, int value, MoveCallback onMove)
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(title)), mValue(value), mOnMove(onMove)
{
    mSlider = new wxSlider(this, 2, value, minimum, maximum);
    mLabel = new wxStaticText(this, wxID_ANY, wxString::Format("%d", value));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(mSlider, 1);
    row->Add(mLabel, 0, wxLEFT, 10);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, 0, "Valider"), 0, wxRIGHT, 5);
    buttons->Add(new wxButton(this, 1, "Annuler"), 0, wxLEFT, 5);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(row, 0, wxALL | wxEXPAND, 10);
    column->Add(buttons, 0, wxALL, 10);
    SetSizerAndFit(column);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_OK); }, 0);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CANCEL); }, 1);
    Bind(wxEVT_SLIDER, &DialogSlider::OnSlider, this, 2);
}

void DialogSlider::OnSlider(wxCommandEvent& event)
{
    mValue = event.GetInt();
    mLabel->SetLabel(wxString::Format("%d", mValue));
    if (mOnMove)
        mOnMove(mValue);
}
