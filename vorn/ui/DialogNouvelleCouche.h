#pragma once

#include <wx/dialog.h>

#include <string>

class wxButton;
class wxFilePickerCtrl;
class wxListBox;
class wxRadioBox;
class wxTextCtrl;

// "Nouvelle couche": the modal dialog that names a new layer, places it in
// the top-to-bottom order and chooses how it is filled (empty, from a DXF
// file, or copied under the layer above). The project's CreateCouche makes
// it and shows the refusals; a refused layer leaves the dialog open with its
// values. Created with new by its opener and shown modally, it destroys
// itself once its modal loop has ended (Valider that created the layer,
// Annuler, Escape or the window's close).
class DialogNouvelleCouche : public wxDialog
{
public:
    explicit DialogNouvelleCouche(wxWindow* parent);

    wxTextCtrl* GetNameField() const { return mNom; }
    wxListBox* GetLevelList() const { return mNiveau; }
    wxRadioBox* GetMethodBox() const { return mMethode; }
    wxFilePickerCtrl* GetFilePicker() const { return mFichier; }
    wxTextCtrl* GetDepthField() const { return mProfondeur; }
    wxTextCtrl* GetDampingField() const { return mAmortissement; }

    void OnMethode(wxCommandEvent& event);
    void OnValider(wxCommandEvent& event);
    void OnAnnuler(wxCommandEvent& event);

    // The damping as the creation uses it: at most 100, at least 0.
    static float ClampDamping(float damping);

private:
    void OnClose(wxCloseEvent& event);
    void Finish();

    wxTextCtrl* mNom = nullptr;
    wxListBox* mNiveau = nullptr;
    wxRadioBox* mMethode = nullptr;
    wxFilePickerCtrl* mFichier = nullptr;
    wxTextCtrl* mProfondeur = nullptr;
    wxTextCtrl* mAmortissement = nullptr;
    bool mFinished = false;
};
