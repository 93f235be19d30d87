#include "DialogResultats.h"

#include "CostVariables.h"
#include "Excavation.h"
#include "FrameKeys.h"
#include "ImageWindow.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "ShownValues.h"
#include "StartupPaths.h"
#include "TeteTranchee.h"
#include "WindowFit.h"

#include <wx/button.h>
#include <wx/grid.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace
{
const char* const kCaptions[5] = {"Fonction de coût : ", "Coût calculé : ", "Volume excavé : ",
                                  "Surface totale : ", "Hauteur totale talus au droit du tunnel : "};

wxString Text(const std::string& text)
{
    return wxString::FromUTF8(text);
}
} // namespace

DialogResultats::DialogResultats(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, Text("Résultats des calculs"), wxDefaultPosition, wxSize(400, 450),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER, "DialogResultats")
{
    ForwardFrameKeys(this);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    auto* labels = new wxBoxSizer(wxVERTICAL);
    for (int i = 0; i < 5; ++i)
    {
        const std::string text = i == 0 ? kCaptions[0] + gProjet.EquationCout : kCaptions[i];
        mLabels[i] = new wxStaticText(this, wxID_ANY, Text(text));
        labels->Add(mLabels[i], 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 5);
    }
    top->Add(labels, 0);
    top->Add(new wxButton(this, 1, "Export CSV"), 1, wxEXPAND | wxALL, 10);
    outer->Add(top, 0);
    mGridHost = new wxWindow(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_SIMPLE);
    outer->Add(mGridHost, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 5);
    mPicture = new ImageWindow(this, ApplicationPath("/Icons/Variables1.bmp"));
    outer->Add(mPicture, 0, wxALL | wxALIGN_CENTER_HORIZONTAL, 10);
    SetSizer(outer);
    FitToContent(this);

    // Closing only hides it: the frame keeps it for the program's life.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Show(false); });
    Bind(wxEVT_BUTTON, &DialogResultats::ExportCSV, this, 1);
}

DialogResultats::~DialogResultats() = default;

void DialogResultats::UpdateSummary()
{
    for (int i = 0; i < 4; ++i)
        mLabels[i]->SetLabel(Text(kCaptions[i]));
    mGridHost->DestroyChildren();
    mGridHost->SetSizer(nullptr);
    mTable.Clear();
}

wxGrid* DialogResultats::GetGrid() const
{
    for (wxWindow* child : mGridHost->GetChildren())
        if (auto* grid = dynamic_cast<wxGrid*>(child))
            return grid;
    return nullptr;
}

std::string DialogResultats::GetLabelText(int index) const
{
    return index >= 0 && index < 5 ? std::string(mLabels[index]->GetLabel().ToUTF8()) : std::string();
}

// Numbers in their shortest exact text with a decimal comma: a volume of
// 1234567 shows in full. What the computation could not make shows as
// "non calculé"; the export keeps its -1.
void DialogResultats::BuildGrid()
{
    UpdateSummary();
    if (gResults.Volumes.empty() || gResults.Surfaces.empty())
        return;
    const TeteTranchee& head = GetModelUi().GetTete();
    const char* picture = !head.DoubleEntree      ? "/Icons/Variables1.bmp"
                          : head.CoteAvance == 45 ? "/Icons/Variables2.bmp"
                                                  : "/Icons/Variables3.bmp";
    mPicture->SetImage(ApplicationPath(picture));
    mPicture->Refresh();

    mLabels[0]->SetLabel(Text(kCaptions[0] + gCostEquation.GetEquation()));
    const auto shown = [](double value) { return ShownResult(value, KorFormatDouble(value)); };
    // A failed computation (a volume below 0) has no cost, as a failed
    // position of a series: the expression over its -1 markers would read
    // as a real cost. A cost the expression makes -1 where every layer
    // computed is a number.
    const double volume = SumResults(gResults.Volumes);
    std::string cost = NotComputedText;
    if (volume >= 0.0)
    {
        std::string error;
        const double value = gCostEquation.Evaluate(&error);
        cost = error.empty() ? WithDecimalComma(KorFormatDouble(value)) : "ERREUR -> " + error;
    }
    mLabels[1]->SetLabel(Text(kCaptions[1] + cost));
    mLabels[2]->SetLabel(Text(kCaptions[2] + shown(volume)));
    std::vector<double> totals;
    for (const std::vector<double>& surfaces : gResults.Surfaces)
        totals.push_back(surfaces.empty() ? FailedResult : surfaces.back());
    mLabels[3]->SetLabel(Text(kCaptions[3] + shown(SumResults(totals))));
    mLabels[4]->SetLabel(Text(kCaptions[4] + shown(gSlopeHeight)));

    mTable.Build(gProjet.GetCoucheNames(), head.DoubleEntree, head.CoteAvance, gResults.Volumes,
                 gResults.Surfaces);
    auto* grid = new wxGrid(mGridHost, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS);
    const int rows = static_cast<int>(mTable.RowLabels.size());
    const int columns = static_cast<int>(mTable.ColumnLabels.size());
    grid->CreateGrid(rows, columns, wxGrid::wxGridSelectCells);
    // The grid shows the results: "Export CSV" writes them (with -1 where
    // a cell reads "non calculé"), not what a cell would hold after typing.
    grid->EnableEditing(false);
    grid->SetDefaultRowSize(15, true);
    grid->SetDefaultColSize(75, true);
    for (int r = 0; r < rows; ++r)
    {
        grid->SetRowLabelValue(r, Text(mTable.RowLabels[static_cast<size_t>(r)]));
        for (int c = 0; c < columns; ++c)
            grid->SetCellValue(r, c, Text(mTable.ShownCell(static_cast<size_t>(r), static_cast<size_t>(c))));
    }
    for (int c = 0; c < columns; ++c)
        grid->SetColLabelValue(c, Text(mTable.ColumnLabels[static_cast<size_t>(c)]));
    // Row labels, columns and rows as wide as their texts in the grid's own
    // fonts (the labels' is bold).
    grid->SetRowLabelSize(wxGRID_AUTOSIZE);
    grid->AutoSize();
    grid->EnableDragColSize(true);
    grid->EnableDragGridSize(true);
    auto* box = new wxBoxSizer(wxHORIZONTAL);
    box->Add(grid, 0);
    mGridHost->SetSizer(box);
    mGridHost->Layout();
    FitToContent(this);
    Refresh();
}

void DialogResultats::ExportCSV(wxCommandEvent&)
{
    mTable.ExportCSV();
}
