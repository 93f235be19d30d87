#pragma once

#include "ResultsTable.h"

#include <wx/dialog.h>

#include <string>

class ImageWindow;
class wxGrid;
class wxStaticText;

// The results of the excavation at the current head position: the cost
// function and its value, the excavated volume, the total surface and the
// slope height, and a grid of every layer's volume and face surfaces, which
// "Export CSV" writes (ResultsTable). Numbers show with a decimal comma, and
// what the computation could not make as "non calculé". The frame creates it
// once and shows or hides it; closing it hides it.
class DialogResultats : public wxDialog
{
public:
    explicit DialogResultats(wxWindow* parent);
    ~DialogResultats() override;

    // The first four labels back to their captions, no grid.
    void UpdateSummary();
    // Labels, picture and grid from the last excavation; with no results,
    // as UpdateSummary leaves them.
    void BuildGrid();
    void ExportCSV(wxCommandEvent& event);

    wxGrid* GetGrid() const;
    const ResultsTable& GetTable() const { return mTable; }
    // The five labels' texts, in order.
    std::string GetLabelText(int index) const;
    ImageWindow* GetPicture() const { return mPicture; }

private:
    wxStaticText* mLabels[5] = {};
    wxWindow* mGridHost = nullptr;
    ImageWindow* mPicture = nullptr;
    ResultsTable mTable;
};
