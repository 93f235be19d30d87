#pragma once

#include "ModelUi.h"
#include "TeteTranchee.h"

// The interface of a headless run: no window, every question answered No
// (or Cancel where offered), every file dialog cancelled. It keeps what the
// model reads back from the interface (the mode and the tool hooks) and
// switches modes with the steps the model sees: the ending of the current
// tool, the refusal of the 3D view while the displayed zone is not valid,
// the undo step of a recorded switch and the refresh.
class NullUi : public ModelUi
{
public:
    NullUi() = default;

    void RefreshDisplay() override {}
    // Runs the end hook, clears the light-refresh mark and the hooks (a
    // headless mode has no default hooks), then refreshes.
    void EndCurrentTool() override;
    void EnterCreationMode(bool record) override;
    void EnterVisualisationMode(bool record) override;
    int GetMode() const override { return mMode; }
    void SaveModeCamera() override {}
    void EnableModeTools() override {}
    void DisableInterface() override {}
    void SetNoProjectInterface() override {}

    LumoraDevice* GetMainDevice() override { return nullptr; }
    EventsManager GetEventsManager() const override { return mEventsManager; }
    void SetEventsManager(EventsManager manager) override { mEventsManager = manager; }
    void SetToolPointAction(PointAction action) override { mPointAction = action; }
    void SetOverlayDrawer(OverlayDrawer drawer) override { mOverlayDrawer = drawer; }
    PointAction GetToolPointAction() const { return mPointAction; }
    OverlayDrawer GetOverlayDrawer() const { return mOverlayDrawer; }

    void SetTitle(const std::string&) override {}
    void FocusMainCanvas() override {}
    void RemoveGizmo() override {}
    void ResetLevelLineInProgress() override {}
    void SetCursor(Cursor) override {}
    void SetStatusText(const std::string&, int) override {}
    void CheckMenuItem(int, bool) override {}
    void EnableMenuItem(int, bool) override {}

    void SetLayerChoice(const std::vector<std::string>&) override {}
    void SelectLayerChoice(int) override {}
    void EnableLayerTools(bool) override {}
    LumPoint ReadCoordinates() override { return LumPoint(); }
    void ShowCoordinates(const LumPoint&) override {}
    void ShowDisplaySwitch(int, bool) override {}
    void ShowPopupMenu(const std::vector<PopupItem>&, int, int) override {}
    void ShowAxeType(int) override {}
    void ShowAxeParameters(double, double, double) override {}
    bool ReadAxeParameters(std::string&, std::string&, std::string&) override { return false; }

    void DrawNorthArrow(double) override {}

    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons, int flags) override;
    std::string AskFilePath(const FileRequest&) override { return std::string(); }
    bool ImportCoucheDXF(Couche*, const CoucheImport&, bool) override { return false; }
    bool AskTwoValues(const std::string&, const std::string&, const std::string&, double&, double&) override
    {
        return false;
    }
    bool AskText(const std::string&, const std::string&, std::string&) override { return false; }
    bool GetImageSize(const std::string&, int&, int&) override { return false; }
    void YieldEvents() override {}

    void ResetDiscontinuityDialog() override {}
    void FillDiscontinuityFamilies() override {}
    void SelectDiscontinuityFamily(const std::string&) override {}
    void UpdateDiscontinuityDialog() override {}
    void FillHeadFields() override {}
    TeteTranchee& GetTete() override { return mTete; }
    void LoadTeteXML(const XMLNode& node) override;
    void FillCurveVariables() override {}
    void ResetResultViews() override {}
    void CloseElementDialogs() override {}

protected:
    // The answer a headless box gives: OK, No, or Cancel.
    static int DefaultAnswer(Buttons buttons);

private:
    int mMode = 1;
    EventsManager mEventsManager = nullptr;
    PointAction mPointAction = nullptr;
    OverlayDrawer mOverlayDrawer = nullptr;
    TeteTranchee mTete;
};
