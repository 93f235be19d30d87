#include "DialogWait.h"

#include "CalculSeries.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>

#include <algorithm>

DialogWait* gCurrentDialogWait = nullptr;

DialogWait::DialogWait() : wxDialog(nullptr, wxID_ANY, "Avancement", wxDefaultPosition, wxSize(200, 110))
{
    auto* column = new wxBoxSizer(wxVERTICAL);
    mGauge = new wxGauge(this, wxID_ANY, 1, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    column->Add(mGauge, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 10);
    column->Add(new wxButton(this, 3, "Annuler"), 1, wxEXPAND | wxALL, 10);
    SetSizer(column);
    FitToContent(this);
    Bind(
        wxEVT_BUTTON, [](wxCommandEvent&) { gCancelCalculation = 1; }, 3);
    gCurrentDialogWait = this;
}

DialogWait::~DialogWait()
{
    if (gCurrentDialogWait == this)
        gCurrentDialogWait = nullptr;
}

void DialogWait::Run(double direction, const std::vector<double>& positions,
                     const std::vector<double>& offsets)
{
    const size_t calculations = positions.size() * std::max<size_t>(offsets.size(), 1);
    mGauge->SetRange(static_cast<int>(std::max<size_t>(calculations, 1)));
    mGauge->SetValue(0);
    ComputeSeries(direction, positions, offsets,
                  [this](size_t done)
                  {
                      mGauge->SetValue(static_cast<int>(std::min<size_t>(done, static_cast<size_t>(mGauge->GetRange()))));
                      Refresh(true);
                      Update();
                  });
}
