#pragma once

#include "ModelUi.h"

class FenetreTunnel;

// The model's interface while the main frame exists: the mode, tool and
// refresh calls run the interface's own routines, boxes and dialogs are the
// toolkit's, and what the frame does not show yet (palettes, dialogs not
// built) is skipped.
class FrameUi : public ModelUi
{
public:
    explicit FrameUi(FenetreTunnel* frame) : mFrame(frame) {}

    void RefreshDisplay() override;
    void EndCurrentTool() override;
    void EnterCreationMode(bool record) override;
    void EnterVisualisationMode(bool record) override;
    int GetMode() const override;
    void SaveModeCamera() override;
    void EnableModeTools() override;
    void DisableInterface() override;
    void SetNoProjectInterface() override;

    LumoraDevice* GetMainDevice() override;
    EventsManager GetEventsManager() const override;
    void SetEventsManager(EventsManager manager) override;
    void SetToolPointAction(PointAction action) override;
    void SetOverlayDrawer(OverlayDrawer drawer) override;
    void RemoveGizmo() override;
    void ResetLevelLineInProgress() override;

    void SetTitle(const std::string& title) override;
    void FocusMainCanvas() override;
    void SetCursor(Cursor cursor) override;
    void SetStatusText(const std::string& text, int field) override;
    void CheckMenuItem(int id, bool checked) override;
    void EnableMenuItem(int id, bool enabled) override;

    void SetLayerChoice(const std::vector<std::string>& names) override;
    void SelectLayerChoice(int index) override;
    void EnableLayerTools(bool enabled) override;
    LumPoint ReadCoordinates() override;
    void ShowCoordinates(const LumPoint& scenePoint) override;
    void ShowAxeType(int type) override;
    void ShowAxeParameters(double radius, double orientation, double inclination) override;
    bool ReadAxeParameters(std::string& radius, std::string& orientation, std::string& inclination) override;
    void ShowPopupMenu(const std::vector<PopupItem>& items, int x, int y) override;
    void ShowDisplaySwitch(int menuId, bool on) override;
    void DrawNorthArrow(double) override {}

    int MessageBox(const std::string& text, const std::string& caption, Buttons buttons, int flags) override;
    std::string AskFilePath(const FileRequest& request) override;
    bool ImportCoucheDXF(Couche* couche, const CoucheImport& import, bool interactive) override;
    bool AskTwoValues(const std::string& caption, const std::string& label1, const std::string& label2,
                      double& value1, double& value2) override;
    bool AskText(const std::string& message, const std::string& caption, std::string& text) override;
    bool GetImageSize(const std::string& path, int& width, int& height) override;
    void YieldEvents() override;

    void ResetDiscontinuityDialog() override;
    void FillDiscontinuityFamilies() override;
    void UpdateDiscontinuityDialog() override;
    void SelectDiscontinuityFamily(const std::string& name) override;
    void FillHeadFields() override;
    void FillCurveVariables() override;
    void ResetResultViews() override;
    void CloseElementDialogs() override;

    TeteTranchee& GetTete() override;
    void LoadTeteXML(const XMLNode& node) override;

private:
    FenetreTunnel* mFrame;
};
