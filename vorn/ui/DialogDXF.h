#pragma once

#include "CoucheImportDXF.h"
#include "ModelUi.h"

#include <wx/dialog.h>

#include <string>

class LumoraDevice;
class wxSlider;
class wxStaticText;
struct EventInfo;

// "Simplification du modèle": fills a new, still empty layer from a DXF
// file. Interactive, it is modeless over a disabled interface while the plan
// view previews the thinned lines; Valider fills the layer and records its
// creation, Annuler (or the window manager's close) removes the layer; both
// destroy the dialog and end the tool. Before Valider it shows how many
// loose points the layer takes beside its lines, and what of the file it
// does not take. Replayed, it is built, set and validated without ever
// being shown.
class DialogDXF : public wxDialog
{
public:
    explicit DialogDXF(const std::string& path);
    ~DialogDXF() override;

    // False when the file could not be read.
    bool IsLoaded() const { return mImport.IsLoaded(); }
    // Clamped to 0..100, set on the slider and applied as a move of it.
    void SetSimplification(const int& value);
    bool BuildLayer(int level, bool interactive);

    const CoucheImportDXF& GetImport() const { return mImport; }
    wxSlider* GetSlider() const { return mSlider; }
    wxStaticText* GetBeforeLabel() const { return mBefore; }
    wxStaticText* GetAfterLabel() const { return mAfter; }
    wxStaticText* GetLooseLabel() const { return mLoose; }
    wxStaticText* GetLeftOutLabel() const { return mLeftOut; }

    void OnSimplification(wxCommandEvent& event);
    void OnValider(wxCommandEvent& event);
    void OnAnnuler(wxCommandEvent& event);

private:
    void OnClose(wxCloseEvent& event);

    CoucheImportDXF mImport;
    wxSlider* mSlider = nullptr;
    wxStaticText* mBefore = nullptr;
    wxStaticText* mAfter = nullptr;
    wxStaticText* mLoose = nullptr;
    wxStaticText* mLeftOut = nullptr;
    bool mEnded = false;
};

// The import dialog while it is open, else null.
extern DialogDXF* gDialogDXF;
// The level of the layer being filled, and the layer current before its
// creation (current again when the import is abandoned).
extern int gPendingDXFCouche;
extern int gPendingDXFPrevious;

// The import's overlay: the thinned lines in red, their points red and the
// loose points blue.
void DrawDXFImportOverlay(LumoraDevice* device);
// The import's events manager: consumes nothing, so the view still pans
// and zooms but nothing can be edited.
bool OnDXFImportEvent(const EventInfo& event);

// The new layer filled from its file: for the frame's ModelUi.
bool ImportCoucheDXF(const ModelUi::CoucheImport& import, bool interactive);
