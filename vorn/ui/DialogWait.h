#pragma once

#include <wx/dialog.h>

#include <vector>

class wxGauge;

// The progress of a series of calculations: a gauge of one step per
// calculation and "Annuler", which asks the series to stop before its next
// position. Modeless, without parent; the one that exists is
// gCurrentDialogWait.
class DialogWait : public wxDialog
{
public:
    DialogWait();
    ~DialogWait() override;

    // Runs the series (ComputeSeries) with the gauge following it.
    void Run(double direction, const std::vector<double>& positions, const std::vector<double>& offsets);
    wxGauge* GetGauge() const { return mGauge; }

private:
    wxGauge* mGauge = nullptr;
};

extern DialogWait* gCurrentDialogWait;
