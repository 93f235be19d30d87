#pragma once

#include <wx/dialog.h>

#include <memory>
#include <string>

class ChampTexte;
class GL_Window;
class LumoraDevice;
class ParametresTeteDouble;
class ParametresTeteSimple;
class TeteTranchee;
class XMLNode;
class wxBitmapButton;
class wxButton;
class wxCheckBox;
class wxCloseEvent;
class wxCommandEvent;

// The frame's long-lived modeless trench-head editor, created once with the
// frame as parent and shown or hidden. It owns the project's one trench
// head for the program's life and shows one of its two parameter panels,
// following the "Double front" box; the box is the switch between a single
// and a double head. It edits the tunnel size, resets the head, saves and
// loads it alone as an ".ovr" file and draws a preview in which the face of
// the field being edited is red. The head is the only store of the values:
// every apply ends with a refill from it.
class DialogTete : public wxDialog
{
public:
    explicit DialogTete(wxWindow* parent);
    ~DialogTete() override;

    TeteTranchee& GetTete() { return *mTete; }

    // Both panels, the box and the tunnel fields show the head, and the
    // panel of its kind is shown. Nothing is sent to the head.
    void FillFields(const TeteTranchee& head);
    // Applies a saved form to the head (read, rebuilt, results out of
    // date), refills and redraws the preview: the ".ovr" load and the
    // head's undo and redo.
    void LoadTeteXML(const XMLNode& node);

    // The tunnel size an apply sends: a typed text in single precision, an
    // untouched one the head's value. False, the user told, when a typed
    // value is not finite.
    bool ReadTunnelSize(double& width, double& height) const;
    // One frame of the preview.
    void RenderPreview();
    // The preview highlights no face any more.
    void ClearFaceSelection();

    // The ".ovr" file of a head: "xml" declaration, one "Tete" element.
    // Save answers whether the file was written, and tells the user when it
    // was not. Load changes the head as one undo step; a file without a
    // "Tete" element, or not readable as XML, changes nothing and says so.
    bool SaveTete(const std::string& path);
    bool LoadTete(const std::string& path);

    wxCheckBox* GetDoubleFrontBox() const { return mDoubleFront; }
    ChampTexte* GetWidthField() const { return mLargeur; }
    ChampTexte* GetHeightField() const { return mHauteur; }
    ParametresTeteSimple* GetSinglePanel() const { return mSimple; }
    ParametresTeteDouble* GetDoublePanel() const { return mDouble; }
    GL_Window* GetPreview() const { return mPreview; }

private:
    void OnClose(wxCloseEvent& event);
    void OnDoubleFront(wxCommandEvent& event);
    void OnReset(wxCommandEvent& event);
    void OnLoadTete(wxCommandEvent& event);
    void OnSaveTete(wxCommandEvent& event);
    // Puts the panel of that kind in the sizer, shown, and the other out.
    void ShowPanel(bool doubleFront);

    wxCheckBox* mDoubleFront = nullptr;
    wxButton* mReset = nullptr;
    ChampTexte* mLargeur = nullptr;
    ChampTexte* mHauteur = nullptr;
    ParametresTeteSimple* mSimple = nullptr;
    ParametresTeteDouble* mDouble = nullptr;
    wxBitmapButton* mOpen = nullptr;
    wxBitmapButton* mSave = nullptr;
    GL_Window* mPreview = nullptr;
    std::unique_ptr<TeteTranchee> mTete;
    // The texts the last fill wrote in the tunnel fields.
    std::string mLargeurWritten;
    std::string mHauteurWritten;
};

// The dialog in use (the last made and not destroyed), or null: the preview's
// draw callback reaches it through this.
extern DialogTete* gDialogTete;

// The fields' focus callbacks: getting the focus highlights the face class
// of the field's id in the preview; leaving an edited field applies the
// shown panel.
void OnSimpleFieldFocus(ChampTexte* field);
void OnDoubleFieldFocus(ChampTexte* field);
void OnTeteFieldEdited(ChampTexte* field);
// The face class a field of the single (double) panel highlights, -1 none.
int SimpleFieldFaceClass(int id);
int DoubleFieldFaceClass(int id);

// The preview's draw callback: the head in grey, its selected faces in red,
// its edges in black.
void RenderTetePreview(LumoraDevice* device);
