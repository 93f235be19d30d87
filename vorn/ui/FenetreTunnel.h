#pragma once

#include <wx/frame.h>

#include <functional>
#include <string>

class DialogCourbes;
class DialogDiscontinuite;
class DialogOutilsCreation;
class DialogResultats;
class DialogTete;
class DialogVisualisation;
class FrameUi;
class LumoraDevice;
class PanelPrincipal;
class wxCursor;

// The program's only frame: menus, toolbar, a three-field status bar (field
// 2 holds the running tool's prompt), the eight tool cursors, the main
// canvas and the long-lived tool dialogs. Its commands are thin: each
// forwards to the project, a mode switch or a dialog. While it exists, the
// model's interface (ModelUi) is this frame's; its destructor puts the
// headless one back.
class FenetreTunnel : public wxFrame
{
public:
    // Command ids, shared by the menu items and the toolbar tools.
    enum
    {
        IdOpen = 1,
        IdSave = 2,
        IdSaveAs = 3,
        IdNew = 4,
        IdQuit = 5,
        IdUndo = 6,
        IdRedo = 7,
        IdModeCreation = 10,
        IdModeVisualisation = 11,
        IdDiscontinuites = 12,
        IdTranchee = 13,
        IdGraduation = 41,
        IdSeries = 38,
        IdToggleDiscontinuites = 61,
        IdToggleTete = 62,
        IdHelp = 63,
        IdAbout = 64
    };
    // The eight tool cursors, in the order of their files.
    enum ToolCursor
    {
        CursorPen,
        CursorPenRouge,
        CursorGeologie,
        CursorSondage,
        CursorCutter,
        CursorTarget,
        CursorEchelle,
        CursorAxe,
        CursorCount
    };
    // Opens a document with the desktop's viewer; false when it could not.
    // The default one hands the file to xdg-open and, when that ends in
    // failure (no viewer for the document), tells the user itself.
    using DocumentLauncher = std::function<bool(const std::string& path)>;

    FenetreTunnel(wxWindow* parent, const wxString& title, const wxPoint& position, const wxSize& size);
    ~FenetreTunnel() override;

    PanelPrincipal* GetCanvas() const { return mPanelPrincipal; }
    LumoraDevice* GetMainDevice() const { return mDevice; }
    DialogOutilsCreation* GetCreationPalette() const { return mOutilsCreation; }
    DialogVisualisation* GetVisualisationPalette() const { return mVisualisation; }
    DialogDiscontinuite* GetDiscontinuityDialog() const { return mDiscontinuite; }
    DialogTete* GetHeadDialog() const { return mTete; }
    DialogResultats* GetResultsDialog() const { return mResultats; }
    DialogCourbes* GetCurvesDialog() const { return mCourbes; }
    // Null when its file could not be read, and after the close.
    wxCursor* GetToolCursor(ToolCursor which) const { return mCursors[which]; }

    // Ticks or enables the menu item of that id; an id not in the menus is
    // skipped.
    void CheckItem(int id, bool checked);
    void EnableItem(int id, bool enabled);

    // Help's way to the viewer; tests put their own.
    void SetDocumentLauncher(DocumentLauncher launcher) { mLauncher = std::move(launcher); }

private:
    void LoadCursors();
    void BuildMenus();
    void BuildToolBar();
    void BindCommands();

    void OnOpen();
    void OnGraduation();
    // Menu items 42 and 43: the arc or the polyline axis, in one undo step.
    void OnAxeType(int type);
    void OnSeries();
    void OnHelp();
    void OnDisplaySwitch(int id, bool on);
    void OnClose(wxCloseEvent& event);
    void DeleteCursors();

    PanelPrincipal* mPanelPrincipal = nullptr;
    LumoraDevice* mDevice = nullptr;
    DialogOutilsCreation* mOutilsCreation = nullptr;
    DialogVisualisation* mVisualisation = nullptr;
    DialogDiscontinuite* mDiscontinuite = nullptr;
    DialogTete* mTete = nullptr;
    DialogResultats* mResultats = nullptr;
    DialogCourbes* mCourbes = nullptr;
    wxCursor* mCursors[CursorCount] = {};
    FrameUi* mUi = nullptr;
    DocumentLauncher mLauncher;
};

// The main frame, or null before its construction and after its destruction.
extern FenetreTunnel* gFenetreTunnel;
