#include "DialogCourbes.h"

#include "CalculSeries.h"
#include "FrameKeys.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "WindowFit.h"
#include "wxCurve.h"
#include "wxCurveEvent.h"
#include "wxSurface.h"

#include <wx/button.h>
#include <wx/combobox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace
{
constexpr int IdVariable = 1;
constexpr int IdExport = 2;
constexpr int IdPlot = 3;
constexpr int IdGoTo = 4;

wxString Text(const std::string& text)
{
    return wxString::FromUTF8(text);
}
} // namespace

DialogCourbes::DialogCourbes(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "Courbes", wxDefaultPosition, wxSize(600, 500),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER, "DialogCourbes")
{
    ForwardFrameKeys(this);
    auto* column = new wxBoxSizer(wxVERTICAL);
    mVariableBox = new wxComboBox(this, IdVariable, wxEmptyString, wxDefaultPosition, wxDefaultSize, 0,
                                  nullptr, wxCB_READONLY);
    column->Add(mVariableBox, 0, wxALL, 10);
    mPlot = new wxCurve(this, IdPlot);
    column->Add(mPlot, 1, wxEXPAND);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* labels = new wxBoxSizer(wxVERTICAL);
    const char* captions[4] = {"Position : ", "Volume : ", "Coût : ", "Valeur : "};
    for (int i = 0; i < 4; ++i)
    {
        mLabels[i] = new wxStaticText(this, wxID_ANY, Text(captions[i]));
        labels->Add(mLabels[i]);
    }
    row->Add(labels, 1);
    mGoToButton =
        new wxButton(this, IdGoTo, Text("Aller à cette position"), wxDefaultPosition, wxSize(150, 20));
    mGoToButton->Disable();
    row->Add(mGoToButton);
    column->Add(row, 0, wxEXPAND);
    mExportButton = new wxButton(this, IdExport, "Exporter au format CSV");
    column->Add(mExportButton, 0, wxEXPAND | wxALL, 10);
    SetSizer(column);
    FitToContent(this);

    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
    Bind(
        wxEVT_COMBOBOX, [this](wxCommandEvent&) { SelectVariable(mVariableBox->GetValue().ToUTF8().data()); },
        IdVariable);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { ExportCSV(); }, IdExport);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { GoToPosition(); }, IdGoTo);
    Bind(wxEVT_CURVE_SELECTION, &DialogCourbes::OnPlotSelection, this, IdPlot);
}

std::string DialogCourbes::GetLabelText(int index) const
{
    return index >= 0 && index < 4 ? std::string(mLabels[index]->GetLabel().ToUTF8()) : std::string();
}

void DialogCourbes::ResetLabels(const std::string& valueLabel)
{
    mLabels[0]->SetLabel("Position : ");
    mLabels[1]->SetLabel("Volume : ");
    mLabels[2]->SetLabel(Text("Coût : "));
    mLabels[3]->SetLabel(Text(valueLabel));
    mGoToButton->Disable();
    mRow = mColumn = -1;
}

void DialogCourbes::ReplacePlot(wxWindow* plot)
{
    GetSizer()->Replace(mPlot, plot);
    mPlot->Destroy();
    mPlot = plot;
    Layout();
    Refresh();
}

void DialogCourbes::RefreshCurves()
{
    SelectVariable(mVariableBox->GetValue().ToUTF8().data());
}

void DialogCourbes::Clear()
{
    mVariableBox->Clear();
    mModel = CurvesModel();
    ReplacePlot(new wxCurve(this, IdPlot));
    ResetLabels("Variable : ");
    Layout();
}

void DialogCourbes::FillVariables()
{
    ResultatsOVX& results = gProjet.GetResultats();
    mResultAxisXML = OVXAction::NewSnapshot();
    results.AxeResultats.ToXML(mResultAxisXML);
    const wxString current = mVariableBox->GetValue();
    mVariableBox->Clear();
    for (const std::string& name : results.Variables)
        mVariableBox->Append(Text(name));
    if (mVariableBox->GetCount() > 0)
        mVariableBox->Append(Text("Coûts"));
    // A read-only box shows only an entry it holds.
    const int index = mVariableBox->FindString(current, true);
    if (index != wxNOT_FOUND)
        mVariableBox->SetSelection(index);
    SelectVariable(current.ToUTF8().data());
}

// A failed position (-1) reaches the plot as NaN: it is not drawn, nor
// counted in the ranges, nor taken as the cheapest position.
void DialogCourbes::SelectVariable(const std::string& name)
{
    ResetLabels(name + " : ");
    // The box shows the quantity shown, however it was chosen.
    const int entry = mVariableBox->FindString(Text(name), true);
    if (entry != wxNOT_FOUND && mVariableBox->GetSelection() != entry)
        mVariableBox->SetSelection(entry);
    const ResultatsOVX& results = gProjet.GetResultats();
    mModel.Select(results, name);
    wxWindow* plot = nullptr;
    if (mModel.Recorded.empty() || !mModel.IsGrid())
    {
        auto* curve = new wxCurve(this, IdPlot);
        if (!mModel.Recorded.empty())
        {
            curve->SetAxis(mModel.AxisPositions);
            curve->AddCurve(mModel.Plotted[0], std::string(), wxColour(0, 0, 255), wxPENSTYLE_SOLID);
            curve->ShowMin(true);
            curve->ShowMax(true);
        }
        plot = curve;
    }
    else
    {
        auto* surface = new wxSurface(this, IdPlot);
        surface->SetAxis(mModel.AxisPositions, mModel.Offsets);
        surface->SetSurface(mModel.Plotted);
        surface->ShowMin(true);
        surface->ShowMax(true);
        plot = surface;
    }
    ReplacePlot(plot);
}

void DialogCourbes::OnPlotSelection(wxCurveEvent& event)
{
    if (event.GetSurface())
        Select(event.GetSelection1(), event.GetSelection2());
    else
        Select(0, event.GetSelection1() < 0 ? -1 : event.GetSelection2());
}

void DialogCourbes::Select(int row, int column)
{
    if (row < 0 || column < 0)
    {
        ResetLabels(GetLabelText(3));
        return;
    }
    const CurvesModel::Labels labels = mModel.GetLabels(gProjet.GetResultats(), row, column);
    mLabels[0]->SetLabel(Text(labels.Position));
    mLabels[1]->SetLabel(Text(labels.Volume));
    mLabels[2]->SetLabel(Text(labels.Cost));
    mLabels[3]->SetLabel(Text(labels.Value));
    mRow = row;
    mColumn = column;
    mGoToButton->Enable();
    // The labels were fitted to their first, shorter captions.
    FitToContent(this);
}

void DialogCourbes::GoToPosition()
{
    if (mResultAxisXML.isEmpty())
        return;
    GoToSeriesPosition(mResultAxisXML, gProjet.GetResultats(), mRow, mColumn);
}

void DialogCourbes::ExportCSV()
{
    mModel.ExportCSV();
}
