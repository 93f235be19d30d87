#pragma once

#include "CoupeCoord.h"
#include "LumPoint.h"

#include <wx/dialog.h>
#include <wx/weakref.h>

#include <map>
#include <string>
#include <vector>

class Coupe;
class CoupeTerrain;
class ImageCoupe;
class wxButton;
class wxCheckBox;
class wxComboBox;
class wxStaticText;
class wxTextCtrl;

// "Création de points depuis une coupe": a scanned cross-section placed on
// the section line picked in plan; the user marks the two reference points
// and the vertical scale on the image and clicks the points of each layer,
// and "Valider" stores the section and its layer points with one undo step.
// Modal for a new section (the section tool destroys it once ShowModal
// returns), modeless for "Modifier la coupe" (it destroys itself). Entry i
// of the layer choice is project layer i; the top layer is never offered.
class DialogPointsCoupe : public wxDialog
{
public:
    // An empty path asks for the image.
    DialogPointsCoupe(const std::string& imagePath, const LumPoint& first, const LumPoint& second);
    ~DialogPointsCoupe() override;

    // Modification of that stored section.
    void FillFromCoupe(Coupe* coupe);
    void SetWidthLabel(const float& value);
    void SetHeightLabel(const float& value);
    // Rebuilds the hidden terrain section along the section line, whose
    // profiles the image panel draws.
    void ShowTerrainSection();

    std::string GetSectionName() const;
    // The text of choice entry i + 1; empty past the last.
    std::string GetSelectedLayer(int i) const;
    int FindLayerIndex(const std::string& name) const;
    // The section the dialog describes, owned by the caller.
    Coupe* BuildCoupe() const;

    const CoupeTerrain* GetTerrainSection() const { return mTerrainSection.get(); }
    ImageCoupe* GetPanel() const { return mPanel; }
    wxComboBox* GetLayerChoice() const { return mLayerChoice; }
    wxTextCtrl* GetNameField() const { return mName; }
    wxCheckBox* GetFictiveBox() const { return mFictive; }
    wxStaticText* GetWidthLabel() const { return mWidthValue; }
    wxStaticText* GetHeightLabel() const { return mHeightValue; }
    const std::string& GetImagePath() const { return mImagePath; }

    // Destroys every modeless section dialog (New, Open and Close of the
    // project they were opened on).
    static void DestroyOpenDialogs();

    void OnValidate(wxCommandEvent& event);
    void OnLayerSelected(wxCommandEvent& event);

private:
    void OnPlaceReferences(wxCommandEvent& event);
    void OnChangeVerticalScale(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void Finish(int code);
    void ValidateNew(Coupe* coupe);
    void ValidateModification(Coupe* coupe);

    wxComboBox* mLayerChoice = nullptr;
    wxButton* mReferences = nullptr;
    wxButton* mScale = nullptr;
    wxButton* mValidate = nullptr;
    wxStaticText* mWidthValue = nullptr;
    wxStaticText* mHeightValue = nullptr;
    ImageCoupe* mPanel = nullptr;
    wxCheckBox* mFictive = nullptr;
    wxTextCtrl* mName = nullptr;
    std::string mImagePath;
    LumPoint mFirst;
    LumPoint mSecond;
    std::string mFormerName;
    bool mModification = false;
    void DropTerrainSection();
    // Gone with the main frame when that goes first.
    wxWeakRef<CoupeTerrain> mTerrainSection;
    std::vector<std::string> mLayerNames;
    // The points of the section's layers that the choice no longer offers,
    // written back unchanged.
    std::vector<std::pair<std::string, std::vector<CoupeCoord>>> mKeptLists;
};
