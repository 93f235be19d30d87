#pragma once

#include <wx/dialog.h>

#include <string>

class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

// The frame's long-lived modeless visualisation palette: the 3D display
// switches (kept in step with the menu items 46..55 by the project's
// setters), centring of the view, the axis-points tool, the trench head's
// placement and steps along the axis, the excavated volume, sections and
// scenery. Created once with the frame as parent, shown in the 3D mode.
class DialogVisualisation : public wxDialog
{
public:
    explicit DialogVisualisation(wxWindow* parent);

    // The volume label: the number as a default stream writes it, with a
    // decimal comma, and " m3"; "non calculé" for a failed computation.
    void SetVolumeLabel(double volume);
    // "Graduation : " and the step, or "Pas de graduation" below 1e-5.
    void SetGraduationLabel(double step);
    // Ticks the check box of the display switch that menu item id (46..55)
    // shows.
    void ShowSwitch(int menuId, bool on);

    void OnMoveAxePoints(wxCommandEvent& event);
    void OnPlaceTete(wxCommandEvent& event);
    // The commands the menu shares with the palette's buttons.
    static void CentreView();
    static void AddDecor();

    // The step typed, in metres (a decimal comma reads as a point), as a
    // move of the head in scene units along the axis (Echelle the plan
    // scale); false when the text starts with no number or the move is not
    // finite.
    static bool ReadHeadStep(const std::string& text, double echelle, double& sceneStep);

    wxCheckBox* GetSwitch(int menuId) const;
    wxStaticText* GetVolumeLabel() const { return mVolumeLabel; }
    wxStaticText* GetGraduationLabel() const { return mGraduationLabel; }
    wxTextCtrl* GetStepField() const { return mStep; }

private:
    void OnStep(bool forward);

    // The switches by menu id - 46: Triangles, Segments, Points, lignes,
    // sondages, axe, tête, ligne d'intersection, informations, travaux.
    wxCheckBox* mSwitches[10] = {};
    wxStaticText* mGraduationLabel = nullptr;
    wxStaticText* mVolumeLabel = nullptr;
    wxTextCtrl* mStep = nullptr;
};
