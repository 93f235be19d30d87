#pragma once

#include "LumPoint.h"

#include <wx/dialog.h>

#include <string>
#include <vector>

class ImageSondage;
class Sondage;
class wxButton;
class wxCheckBox;
class wxTextCtrl;

// The borehole dialog: name, head, azimuth, dip, total depth and the depth
// at which the hole meets each layer, with the core log of what is typed.
// "Valider" stores the borehole with one undo step. Opened modal by the
// borehole tool (a new borehole; the opener destroys it once ShowModal
// returns) or modeless by the plan view's "Modifier le sondage" (it
// destroys itself). Rows are the project's layers as they were at opening;
// "Valider" refuses to write when they changed meanwhile.
class DialogCarottage : public wxDialog
{
public:
    // A new borehole whose head is at that world point.
    explicit DialogCarottage(const LumPoint& point);
    ~DialogCarottage() override;

    // Modification mode, filled from an existing borehole.
    void LoadSondage(Sondage* sondage);
    // The borehole the form describes, owned by the caller; null after
    // telling the user why not.
    Sondage* BuildSondage();

    // Destroys every modeless borehole dialog: they write into the project
    // they were opened on, which New, Open and Close replace.
    static void DestroyOpenDialogs();

    // Read by the core log.
    wxTextCtrl* GetDepthField() const { return mDepth; }
    const std::vector<wxCheckBox*>& GetLayerBoxes() const { return mBoxes; }
    const std::vector<wxTextCtrl*>& GetLayerDepths() const { return mDepths; }
    ImageSondage* GetPicture() const { return mPicture; }

    // The form's fields, in row order, for the tests.
    wxTextCtrl* GetNameField() const { return mName; }
    wxTextCtrl* GetField(int row) const;
    wxCheckBox* GetFictifBox() const { return mFictif; }

    void OnValider(wxCommandEvent& event);

private:
    void OnValueChanged(wxCommandEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnClose(wxCloseEvent& event);
    // Ends the dialog after a stored borehole or the close box.
    void Finish(int code);
    bool LayersUnchanged() const;
    void ValiderCreation();
    void ValiderModification();

    std::vector<wxCheckBox*> mBoxes;
    std::vector<wxTextCtrl*> mDepths;
    wxTextCtrl* mName = nullptr;
    wxTextCtrl* mX = nullptr;
    wxTextCtrl* mY = nullptr;
    wxTextCtrl* mZ = nullptr;
    wxTextCtrl* mAzimut = nullptr;
    wxTextCtrl* mPendage = nullptr;
    wxTextCtrl* mDepth = nullptr;
    wxButton* mValider = nullptr;
    wxCheckBox* mFictif = nullptr;
    ImageSondage* mPicture = nullptr;
    std::string mFormerName;
    bool mModification = false;
    std::vector<std::string> mLayerNames;
};
