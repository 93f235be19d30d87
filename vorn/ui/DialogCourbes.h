#pragma once

#include "CurvesModel.h"
#include "XMLNode.h"

#include <wx/dialog.h>

#include <string>

class wxButton;
class wxComboBox;
class wxCurveEvent;
class wxStaticText;

// One quantity of the last series of calculations: a curve over the axis
// positions (one row of results) or a coloured grid over positions and
// offsets (several rows), from a CurvesModel; a failed position is left out
// of the plot. Picking a point shows its position, volume, cost and value;
// "Aller à cette position" puts the head back there (one undo step);
// "Exporter au format CSV" writes the recorded values. The frame creates it
// once; closing it hides it.
class DialogCourbes : public wxDialog
{
public:
    explicit DialogCourbes(wxWindow* parent);

    // The quantity shown again from the results.
    void RefreshCurves();
    // Project reset: no quantity, an empty curve, bare labels.
    void Clear();
    // The results' axis kept for "Aller à cette position", and the
    // quantities listed again (the one shown kept when it still exists).
    void FillVariables();
    void SelectVariable(const std::string& name);
    void ExportCSV();
    void GoToPosition();

    wxComboBox* GetVariableBox() const { return mVariableBox; }
    wxWindow* GetPlot() const { return mPlot; }
    wxButton* GetGoToButton() const { return mGoToButton; }
    const CurvesModel& GetModel() const { return mModel; }
    // Position, volume, cost and value labels' texts.
    std::string GetLabelText(int index) const;
    // What a selection in the plot does (the plot's event calls it).
    void Select(int row, int column);

private:
    void OnPlotSelection(wxCurveEvent& event);
    void ResetLabels(const std::string& valueLabel);
    void ReplacePlot(wxWindow* plot);

    wxComboBox* mVariableBox = nullptr;
    wxButton* mExportButton = nullptr;
    wxWindow* mPlot = nullptr;
    wxStaticText* mLabels[4] = {};
    wxButton* mGoToButton = nullptr;
    XMLNode mResultAxisXML;
    CurvesModel mModel;
    int mRow = -1;
    int mColumn = -1;
};
