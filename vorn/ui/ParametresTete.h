#pragma once

#include "ChampTexte.h"

#include <wx/scrolwin.h>

#include <string>
#include <vector>

class DialogTete;
class TeteTranchee;
class wxCheckBox;
class wxCommandEvent;
class wxFlexGridSizer;
class wxSizer;
class wxStaticBoxSizer;

// What the trench head's two parameter panels share: their fields, each
// bound to one parameter of the head, the text each was last filled with,
// and the grouped layout. A panel holds no value of its own: it is filled
// from the head and sends all its fields at once through one setter, a
// field whose text is still the filled one sending the head's own value.
class ParametresTete : public wxScrolledWindow
{
public:
    // Shows the head's values.
    virtual void FillFromTete(const TeteTranchee& head) = 0;
    // Sends every value to the dialog's head, then refills.
    virtual void ApplyToTete() = 0;
    // The two switches of both panels: under the symmetry the right-hand
    // fields are disabled, the right-hand upper berm's too without the
    // second berm, whose own fields are disabled without it. A disabled
    // field is still sent.
    void ShowSymmetry(bool checked);
    void ShowSecondBerm(bool checked);
    wxCheckBox* GetSymmetryBox() const { return mSymetrie; }
    wxCheckBox* GetSecondBermBox() const { return mRisberme; }

protected:
    ParametresTete(wxWindow* parent, wxWindowID id, const wxSize& size);

    // A field of the panel bound to a parameter of the head: 40 x 20, right
    // aligned, digits and . , + - e E only; leaving it after an edit applies
    // the shown panel, leaving it in any case clears the preview's
    // highlight.
    ChampTexte* AddField(int id, double TeteTranchee::*parameter, bool angle,
                         ChampTexte::FocusCallback onGetFocus);
    ChampTexte* GetField(int id) const;
    // Makes the switches (ids 3 and 4), clicking either applies the panel;
    // the fields they disable are given by identifier.
    void AddSwitches(const char* secondBermLabel, std::vector<int> symmetric, int symmetricUpperBerm,
                     std::vector<int> secondBerm);

    // A titled group of the panel's sizer holding a grid of `columns`.
    wxFlexGridSizer* AddGroup(wxSizer* panelSizer, const char* title, int columns,
                              wxStaticBoxSizer** group = nullptr);
    wxWindow* AddLabel(wxFlexGridSizer* grid, const char* text);
    void AddCell(wxFlexGridSizer* grid, ChampTexte* field);

    // Writes every field from the head and remembers the texts.
    void WriteFields(const TeteTranchee& head);
    // Reads every field (ReadTeteField); single precision for typed values
    // when asked. False, the user told, when a typed value is not finite.
    bool ReadFields(const TeteTranchee& head, bool singlePrecision);
    // The value read for the field of that id.
    double Value(int id) const;

    // The dialog this panel belongs to (null when its parent is none) and
    // the head it edits: the dialog's, else the interface's.
    DialogTete* GetDialog() const;
    TeteTranchee& GetTete() const;
    // The tunnel width and height to send: the dialog's fields, 6 and 3
    // without a dialog. False, the user told, when a typed one is not finite.
    bool ReadTunnelSize(double& width, double& height) const;
    // After an apply: the dialog and both panels show the head again and
    // the preview redraws; without a dialog this panel refills. A changed
    // head is followed by the global refresh.
    void Refill(bool headChanged = false);

private:
    struct Field
    {
        ChampTexte* Control;
        double TeteTranchee::*Parameter;
        bool Angle;
        std::string Written;
        double Value;
        bool Typed;
    };
    const Field* Find(int id) const;
    void OnSymmetryClicked(wxCommandEvent& event);
    void OnSecondBermClicked(wxCommandEvent& event);

    std::vector<Field> mFields;
    wxCheckBox* mSymetrie = nullptr;
    wxCheckBox* mRisberme = nullptr;
    std::vector<int> mSymmetric, mSecondBerm;
    int mSymmetricUpperBerm = -1;
};
