#pragma once

#include "SectionData.h"
#include "SectionWindow.h"

#include <wx/dialog.h>

#include <string>

class ChampTexte;
class FenetreCoupe;
class wxButton;
class wxCheckBox;
class wxTextCtrl;

// A terrain cross-section window: computes the section of the project along
// its vertical plane and shows it in its drawing. Modeless, on the heap,
// parent the main frame; registered with the project, which updates it
// after every model edit while it is shown; closing destroys it.
class CoupeTerrain : public wxDialog, public SectionWindow
{
public:
    // movableAlongAxis enables the shift along the axis (a section
    // perpendicular to the axis).
    CoupeTerrain(const SectionPlane& plane, const std::string& name, bool showExcavation,
                 bool movableAlongAxis);
    ~CoupeTerrain() override;

    bool IsShown() const override { return wxDialog::IsShown(); }
    // Recomputes the section on its plane and repaints it.
    void Update() override;
    // The 3D view's marker: the plane's two end points and the name.
    bool GetSectionLine(LumPoint& a, LumPoint& b) const override
    {
        a = Plane.First;
        b = Plane.Second;
        return true;
    }
    std::string GetSectionName() const override { return Name; }

    void SetPlane(const SectionPlane& plane, bool resize, bool enableMove);
    void ComputeSection(const SectionPlane& plane, bool resize, bool showExcavation);
    // The typed borehole distance in metres; 0 when it does not parse.
    double GetBoreholeDistance() const;
    // "Définir le ratio" with the typed text: |v| above 1e-5 and finite
    // makes the wanted height/width ratio 1 / |v|; anything else is ignored.
    void SetRatioFromText(const std::string& text);
    // Shifts the cut along the axis by the step typed (metres), forwards or
    // backwards, keeping the first point on its side of the axis.
    void ShiftAlongAxis(double sign);

    // Wanted height/width ratio of the drawing; -1 until the first size.
    double RatioImage = -1.0;
    SectionPlane Plane;
    SectionData Data;
    bool ExportRequested = false;
    bool ShowExcavation = false;
    std::string Name;

    FenetreCoupe* Drawing = nullptr;
    wxButton* InteractiveButton = nullptr;
    wxButton* ExportButton = nullptr;
    wxButton* RatioButton = nullptr;
    ChampTexte* BoreholeDistanceField = nullptr;
    wxCheckBox* KeepRatioBox = nullptr;
    wxTextCtrl* StepField = nullptr;
    wxButton* ForwardButton = nullptr;
    wxButton* BackwardButton = nullptr;

private:
    void EnableMove(bool enable);
    void OnInteractive(wxCommandEvent& event);
    void OnExport(wxCommandEvent& event);
    void OnRatio(wxCommandEvent& event);
    void OnForward(wxCommandEvent& event);
    void OnBackward(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
};
