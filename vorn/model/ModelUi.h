#pragma once

#include "LumPoint.h"

#include <string>
#include <vector>

class Couche;
class LumoraDevice;
class TeteTranchee;
class XMLNode;
struct EventInfo;

// The model's only way to the user interface: every service of the
// interface that the model and the analysis call goes through the one
// global ModelUi, so that they build and run without the toolkit. The
// program's frame implements it; NullUi and ScriptedUi stand in for it
// headless. GetModelUi() is never null: with no interface installed it is
// a NullUi that answers every question with No or Cancel.
//
// Answers use the toolkit's identifiers, so the frame passes them through.
// Model code includes no toolkit header.
class ModelUi
{
public:
    static constexpr int IdOk = 5100;
    static constexpr int IdCancel = 5101;
    static constexpr int IdYes = 5103;
    static constexpr int IdNo = 5104;

    enum class Buttons
    {
        Ok,
        YesNo,
        YesNoCancel
    };
    // Placement of a message box: over the main window (the default), or
    // without parent, optionally centred on the screen.
    enum BoxFlags
    {
        BoxParented = 0x1,
        BoxCentred = 0x2
    };
    // Arrow and Wait, the borehole tool's cursor, and the axis-points
    // tool's two (a point under the cursor, the tool's default).
    enum class Cursor
    {
        Arrow,
        Wait,
        Borehole,
        AxisPoint,
        AxisTool
    };

    // A file dialog; Save asks for a new file (confirming an overwrite),
    // otherwise an existing file is chosen.
    struct FileRequest
    {
        std::string Title;
        std::string Wildcard;
        bool Save = false;
    };

    // Tool hooks of the main view: the events manager gets every mouse and
    // key event and returns true when it consumed it; the point action gets
    // a scene point from a click or typed coordinates; the overlay draws
    // the tool's own figures while a view draws.
    using EventsManager = bool (*)(const EventInfo&);
    using PointAction = void (*)(LumPoint);
    using OverlayDrawer = void (*)(LumoraDevice*);
    // Run once by the next ending of the current tool, before its hooks are
    // cleared: a tool that put the model in a temporary state (the scale
    // calibration sets the scale to 0) gives it back however it ends.
    using EndToolHook = void (*)();

    ModelUi() = default;
    ModelUi(const ModelUi&) = delete;
    ModelUi& operator=(const ModelUi&) = delete;
    virtual ~ModelUi() = default;

    // Refresh, tools and modes.
    virtual void RefreshDisplay() = 0;
    virtual void EndCurrentTool() = 0;
    virtual void EnterCreationMode(bool record) = 0;
    virtual void EnterVisualisationMode(bool record) = 0;
    // 1 creation (plan view), 2 visualisation (3D view).
    virtual int GetMode() const = 0;
    virtual void SaveModeCamera() = 0;
    virtual void EnableModeTools() = 0;
    virtual void DisableInterface() = 0;
    virtual void SetNoProjectInterface() = 0;

    // The main rendering device (null when there is none) and the hooks of
    // the current tool. Undo actions compare events managers to tell which
    // tool they were recorded under.
    virtual LumoraDevice* GetMainDevice() = 0;
    virtual EventsManager GetEventsManager() const = 0;
    virtual void SetEventsManager(EventsManager manager) = 0;
    virtual void SetToolPointAction(PointAction action) = 0;
    virtual void SetOverlayDrawer(OverlayDrawer drawer) = 0;
    // Removes the gizmo of the main rendering device (a picked point's).
    virtual void RemoveGizmo() = 0;
    // The level-line tool forgets its line in progress.
    virtual void ResetLevelLineInProgress() = 0;
    // The end hook of the running tool (null: none). Every EndCurrentTool
    // calls RunEndToolHook first.
    void SetEndToolHook(EndToolHook hook) { mEndToolHook = hook; }
    bool HasEndToolHook() const { return mEndToolHook != nullptr; }
    // Clears the hook, then runs it: a hook that ends the tool itself does
    // not run twice.
    void RunEndToolHook()
    {
        const EndToolHook hook = mEndToolHook;
        mEndToolHook = nullptr;
        if (hook)
            hook();
    }

    // Main window: title, cursor, status bar, menu items found by id.
    virtual void SetTitle(const std::string& title) = 0;
    virtual void FocusMainCanvas() = 0;
    virtual void SetCursor(Cursor cursor) = 0;
    virtual void SetStatusText(const std::string& text, int field) = 0;
    virtual void CheckMenuItem(int id, bool checked) = 0;
    virtual void EnableMenuItem(int id, bool enabled) = 0;

    // Creation palette: the layer choice (select -1 clears the selection),
    // the six layer-dependent controls, the X, Y, Z fields.
    virtual void SetLayerChoice(const std::vector<std::string>& names) = 0;
    virtual void SelectLayerChoice(int index) = 0;
    virtual void EnableLayerTools(bool enabled) = 0;
    virtual LumPoint ReadCoordinates() = 0;
    virtual void ShowCoordinates(const LumPoint& scenePoint) = 0;

    // The creation palette's axis controls: the type shown in the radio box
    // with the arc controls (centre tool, radius, orientation, inclination)
    // enabled for type 0 only and the polyline controls (points tool, DXF
    // import) for type 1 only; the three arc fields shown; the three fields'
    // texts as typed (false when they cannot be read).
    virtual void ShowAxeType(int type) = 0;
    virtual void ShowAxeParameters(double radius, double orientation, double inclination) = 0;
    virtual bool ReadAxeParameters(std::string& radius, std::string& orientation,
                                   std::string& inclination) = 0;

    // The shared context menu: emptied, given the items in order and shown
    // at that pixel of the main canvas. Each item's callback takes nothing.
    struct PopupItem
    {
        std::string Label;
        void (*Callback)() = nullptr;
        bool Enabled = true;
        bool Check = false;
    };
    virtual void ShowPopupMenu(const std::vector<PopupItem>& items, int x, int y) = 0;

    // A 3D display switch: the check box of the visualisation palette and
    // the menu item of that id, when the menu bar holds it.
    virtual void ShowDisplaySwitch(int menuId, bool on) = 0;

    // Draws the north arrow with its "N" label turned by the angle in
    // degrees, in the current drawing (a tool's overlay).
    virtual void DrawNorthArrow(double angle) = 0;

    // Boxes and dialogs. MessageBox returns IdOk, IdYes, IdNo or IdCancel.
    virtual int MessageBox(const std::string& text, const std::string& caption, Buttons buttons = Buttons::Ok,
                           int flags = BoxParented) = 0;
    // The chosen path, empty when the user cancelled.
    virtual std::string AskFilePath(const FileRequest& request) = 0;
    // Two values typed in a modal dialog; false when cancelled.
    virtual bool AskTwoValues(const std::string& caption, const std::string& label1,
                              const std::string& label2, double& value1, double& value2) = 0;
    // A line of text typed in a modal dialog, shown with its default
    // value (an empty caption: the toolkit's own); false when cancelled.
    virtual bool AskText(const std::string& message, const std::string& caption, std::string& text) = 0;
    // Width and height in pixels of an image file; false when it cannot be
    // read.
    virtual bool GetImageSize(const std::string& path, int& width, int& height) = 0;
    // Lets the toolkit process pending events (a long computation's cancel
    // button).
    virtual void YieldEvents() = 0;

    // A layer created from a DXF file: the creation's arguments, the layer
    // current before it and whether the boreholes and sections go with it.
    struct CoucheImport
    {
        std::string Nom;
        int Index = 0;
        std::string Path;
        double Value = 0.0;
        double Depth = 0.0;
        int Previous = -1;
        bool TakeAway = false;
    };
    // The layer-import dialog for the new layer; false when it could not
    // read the file. Interactive: shown without blocking, the layer filled
    // and the creation recorded (RecordCoucheAdd) when the user confirms
    // it. Otherwise the layer is filled at once with the simplification
    // Value and nothing is recorded.
    virtual bool ImportCoucheDXF(Couche* couche, const CoucheImport& import, bool interactive) = 0;

    // Refills of the windows that show model data.
    virtual void ResetDiscontinuityDialog() = 0;
    virtual void FillDiscontinuityFamilies() = 0;
    virtual void SelectDiscontinuityFamily(const std::string& name) = 0;
    // The discontinuity dialog re-reads the selected family's values.
    virtual void UpdateDiscontinuityDialog() = 0;
    virtual void FillHeadFields() = 0;
    virtual void FillCurveVariables() = 0;
    // The project's reset: the results summary rebuilt and its dialog
    // hidden, the curves cleared.
    virtual void ResetResultViews() = 0;
    // The project's reset: the borehole and section dialogs opened on the
    // former project's elements are destroyed.
    virtual void CloseElementDialogs() = 0;

    // The one trench head, held by the trench-head dialog for the
    // program's life. LoadTeteXML applies a saved form to it (ApplyTeteXML:
    // read, rebuilt, results invalidated) and refills the dialog's fields;
    // the head's undo steps go through it.
    virtual TeteTranchee& GetTete() = 0;
    virtual void LoadTeteXML(const XMLNode& node) = 0;

    // Every other service a later part of the model needs joins here, in
    // NullUi and in ScriptedUi together.

private:
    EndToolHook mEndToolHook = nullptr;
};

// The interface in use; never null.
ModelUi& GetModelUi();
// Installs an interface (not owned; it must outlive its use); null puts
// back the default NullUi.
void SetModelUi(ModelUi* ui);
