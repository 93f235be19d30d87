#pragma once

#include "NullUi.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The interface of a test: logs every call in order, answers boxes and
// dialogs from queues (NullUi's answer once a queue is empty) and keeps
// what the interface would show. Its refresh runs the test's frame hook,
// as the frame's refresh renders one frame of the main view.
class ScriptedUi : public NullUi
{
public:
    struct Box
    {
        std::string Text;
        std::string Caption;
        Buttons Kind;
        int Flags;
    };

    // Every call, as its name with its arguments after a blank.
    std::vector<std::string> Calls;
    std::vector<Box> Boxes;
    std::vector<FileRequest> FileRequests;
    std::deque<int> BoxAnswers;
    std::deque<std::string> PathAnswers;
    // Answers of AskTwoValues (none left: cancelled) and ReadCoordinates
    // (none left: the origin); image sizes by path (absent: unreadable).
    std::deque<std::pair<double, double>> ValueAnswers;
    std::deque<LumPoint> TypedCoordinates;
    // Answers of AskText (none left: cancelled).
    std::deque<std::string> TextAnswers;
    std::map<std::string, std::pair<int, int>> ImageSizes;
    // Texts of the axis fields (radius, orientation, inclination); none
    // left: unreadable.
    std::deque<std::vector<std::string>> AxeFieldTexts;
    std::function<void()> FrameHook;
    // The layer import: none answers that the file could not be read.
    std::function<bool(Couche*, const CoucheImport&, bool)> ImportHook;
    // The main rendering device a test gives (none by default) and the
    // last context menu shown.
    LumoraDevice* MainDevice = nullptr;
    std::vector<PopupItem> PopupItems;

    std::string Title;
    std::vector<std::string> LayerChoice;
    int LayerSelection = -1;
    bool LayerToolsEnabled = false;
    int Frames = 0;

    // How many logged calls start with this name.
    int Count(const std::string& name) const;
    void ClearLog();

    void RefreshDisplay() override;
    void EndCurrentTool() override;
    void EnterCreationMode(bool record) override;
    void EnterVisualisationMode(bool record) override;
    void SaveModeCamera() override;
    void EnableModeTools() override;
    void DisableInterface() override;
    void SetNoProjectInterface() override;

    LumoraDevice* GetMainDevice() override { return MainDevice; }
    void SetEventsManager(EventsManager manager) override;
    void SetToolPointAction(PointAction action) override;
    void SetOverlayDrawer(OverlayDrawer drawer) override;

    void SetTitle(const std::string& title) override;
    void FocusMainCanvas() override;
    void RemoveGizmo() override;
    void ResetLevelLineInProgress() override;
    void SetCursor(Cursor cursor) override;
    void SetStatusText(const std::string& text, int field) override;
    void CheckMenuItem(int id, bool checked) override;
    void EnableMenuItem(int id, bool enabled) override;

    void SetLayerChoice(const std::vector<std::string>& names) override;
    void SelectLayerChoice(int index) override;
    void EnableLayerTools(bool enabled) override;
    LumPoint ReadCoordinates() override;
    void ShowCoordinates(const LumPoint& scenePoint) override;
    void ShowDisplaySwitch(int menuId, bool on) override;
    void ShowPopupMenu(const std::vector<PopupItem>& items, int x, int y) override;
    void ShowAxeType(int type) override;
    void ShowAxeParameters(double radius, double orientation, double inclination) override;
    bool ReadAxeParameters(std::string& radius, std::string& orientation, std::string& inclination) override;
    void DrawNorthArrow(double angle) override;

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
    void SelectDiscontinuityFamily(const std::string& name) override;
    void UpdateDiscontinuityDialog() override;
    void FillHeadFields() override;
    void LoadTeteXML(const XMLNode& node) override;
    void FillCurveVariables() override;
    void ResetResultViews() override;
    void CloseElementDialogs() override;

private:
    void Log(const std::string& call) { Calls.push_back(call); }
};
