#include "DialogCalculs.h"

#include "Axe.h"
#include "ProjetOVX.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <locale>
#include <sstream>

namespace
{
wxString Text(const std::string& text)
{
    return wxString::FromUTF8(text);
}

std::string Read(const wxTextCtrl* field)
{
    return std::string(field->GetValue().ToUTF8());
}
} // namespace

std::string DialogCalculs::DefaultAngle()
{
    Axe& axe = gProjet.GetAxe();
    LumPoint head;
    double direction = 0.0, slope = 0.0;
    axe.GetHeadPosition(head, direction, slope);
    double angle = direction - gProjet.Nord + 90.0;
    if (axe.TeteInversee)
    {
        angle += 180.0;
        if (angle >= 360.0)
            angle -= 360.0;
    }
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << angle;
    return text.str();
}

DialogCalculs::DialogCalculs(wxWindow* parent) : wxDialog(parent, wxID_ANY, "Calculs")
{
    const std::string angle = DefaultAngle();
    auto* grid = new wxFlexGridSizer(4, 4, 3, 3);
    auto label = [this, grid](const std::string& text)
    { grid->Add(new wxStaticText(this, wxID_ANY, Text(text)), 0, wxALIGN_CENTER_VERTICAL); };
    auto field = [this, grid](int index, const std::string& text)
    {
        mFields[index] = new wxTextCtrl(this, wxID_ANY, Text(text));
        grid->Add(mFields[index]);
    };
    label("");
    label("Minimum");
    label("Pas");
    label("Maximum");
    label("Déplacement selon l'axe");
    field(0, "-10");
    field(1, "1");
    field(2, "10");
    mDirection = new wxCheckBox(this, 1, Text("Décaler selon une direction"));
    mDirection->SetValue(true);
    grid->Add(mDirection, 0, wxALIGN_CENTER_VERTICAL);
    label("(" + angle + "°)");
    label("");
    field(3, angle);
    label("Déplacement selon la direction");
    field(4, "-10");
    field(5, "1");
    field(6, "10");
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid);
    column->Add(new wxButton(this, 2, "Lancer les calculs"), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(column);
    FitToContent(this);
    Bind(wxEVT_CHECKBOX, &DialogCalculs::OnCheckDirection, this, 1);
    Bind(wxEVT_BUTTON, &DialogCalculs::OnLaunch, this, 2);
}

SeriesFields DialogCalculs::GetFields() const
{
    SeriesFields fields;
    fields.AxisMinimum = Read(mFields[0]);
    fields.AxisStep = Read(mFields[1]);
    fields.AxisMaximum = Read(mFields[2]);
    fields.WithDirection = mDirection->GetValue();
    fields.Angle = Read(mFields[3]);
    fields.DirectionMinimum = Read(mFields[4]);
    fields.DirectionStep = Read(mFields[5]);
    fields.DirectionMaximum = Read(mFields[6]);
    return fields;
}

void DialogCalculs::OnCheckDirection(wxCommandEvent&)
{
    for (int i = 3; i < 7; ++i)
        mFields[i]->Enable(mDirection->GetValue());
}

void DialogCalculs::OnLaunch(wxCommandEvent&)
{
    if (ReadSeriesRequest(GetFields(), mRequest))
        EndModal(wxID_OK);
}
