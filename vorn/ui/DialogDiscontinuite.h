#pragma once

#include <wx/dialog.h>

#include <memory>
#include <string>

class ChampTexte;
class Discontinuite;
class Discontinuite3D;
class GL_Window;
class LumoraDevice;
class wxCheckBox;
class wxComboBox;
class wxStaticText;
struct EventInfo;

// The frame's long-lived modeless editor of the discontinuity families:
// lists them by name, creates and deletes them, edits their four values
// (one undo step per change of 1e-5 or more), shows their reference plane,
// starts the tool that moves the reference point with a gizmo in the 3D
// view, and previews the selected family as a cube cut by its planes.
// The fields show the stored values again after every change, so what the
// user sees is what the family holds.
class DialogDiscontinuite : public wxDialog
{
public:
    explicit DialogDiscontinuite(wxWindow* parent);
    ~DialogDiscontinuite() override;

    // Empties the list, writes "0" in the four fields, unticks the box.
    void Reset();
    // The project's families in name order; the first one selected.
    void FillFamilyList();
    // Selects the entry of that exact name and shows it; nothing when none.
    void SelectFamily(const std::string& name);
    // Reads the selected family back into the fields and the preview.
    void UpdateFromFamily();

    // The preview cube's side for a mean spacing: max(1, round(10 x
    // spacing)), and its label.
    static double CubeSize(double espace);
    static std::string CubeLabel(double size);

    // The family named in the list, or null.
    Discontinuite* GetSelectedFamily() const;
    wxComboBox* GetFamilyBox() const { return mFamilies; }
    ChampTexte* GetField(int i) const { return mFields[i]; }
    wxCheckBox* GetShowPlaneBox() const { return mShowPlane; }
    wxStaticText* GetCubeLabel() const { return mCubeLabel; }
    GL_Window* GetPreview() const { return mPreview; }

    // The handlers, public so that tests run what a click runs.
    void OnAddFamily();
    void OnDeleteFamily();
    void OnShowPlane();
    void OnMoveReferencePoint();
    // The four fields' lose-focus step: the typed values applied with one
    // undo step when one differs from the family's by 1e-5 or more.
    void ApplyFields();

    static bool OnReferencePointEvent(const EventInfo& event);
    static void DrawReferencePoint(LumoraDevice* device);
    static void RenderCubePreview(LumoraDevice* device);

private:
    void WriteFields(const std::string& text);

    wxComboBox* mFamilies = nullptr;
    ChampTexte* mFields[4] = {};
    wxCheckBox* mShowPlane = nullptr;
    wxStaticText* mCubeLabel = nullptr;
    GL_Window* mPreview = nullptr;
    std::unique_ptr<Discontinuite3D> mCube;
    double mCubeSize = 10.0;
};
