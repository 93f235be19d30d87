#include "ScriptedUi.h"

#include "KorNumbers.h"

int ScriptedUi::Count(const std::string& name) const
{
    int n = 0;
    for (const std::string& call : Calls)
        if (call.compare(0, name.size(), name) == 0 &&
            (call.size() == name.size() || call[name.size()] == ' '))
            ++n;
    return n;
}

void ScriptedUi::ClearLog()
{
    Calls.clear();
    Boxes.clear();
    FileRequests.clear();
}

void ScriptedUi::RefreshDisplay()
{
    Log("RefreshDisplay");
    ++Frames;
    if (FrameHook)
        FrameHook();
}

void ScriptedUi::EndCurrentTool()
{
    Log("EndCurrentTool");
    NullUi::EndCurrentTool();
}

void ScriptedUi::EnterCreationMode(bool record)
{
    Log(std::string("EnterCreationMode ") + (record ? "1" : "0"));
    NullUi::EnterCreationMode(record);
}

void ScriptedUi::EnterVisualisationMode(bool record)
{
    Log(std::string("EnterVisualisationMode ") + (record ? "1" : "0"));
    NullUi::EnterVisualisationMode(record);
}

void ScriptedUi::SaveModeCamera()
{
    Log("SaveModeCamera");
}

void ScriptedUi::EnableModeTools()
{
    Log("EnableModeTools");
}

void ScriptedUi::DisableInterface()
{
    Log("DisableInterface");
}

void ScriptedUi::SetNoProjectInterface()
{
    Log("SetNoProjectInterface");
}

void ScriptedUi::SetEventsManager(EventsManager manager)
{
    Log(manager ? "SetEventsManager set" : "SetEventsManager none");
    NullUi::SetEventsManager(manager);
}

void ScriptedUi::SetToolPointAction(PointAction action)
{
    Log(action ? "SetToolPointAction set" : "SetToolPointAction none");
    NullUi::SetToolPointAction(action);
}

void ScriptedUi::SetOverlayDrawer(OverlayDrawer drawer)
{
    Log(drawer ? "SetOverlayDrawer set" : "SetOverlayDrawer none");
    NullUi::SetOverlayDrawer(drawer);
}

void ScriptedUi::RemoveGizmo()
{
    Log("RemoveGizmo");
}

void ScriptedUi::ResetLevelLineInProgress()
{
    Log("ResetLevelLineInProgress");
}

void ScriptedUi::FocusMainCanvas()
{
    Log("FocusMainCanvas");
}

void ScriptedUi::SetTitle(const std::string& title)
{
    Log("SetTitle " + title);
    Title = title;
}

void ScriptedUi::SetCursor(Cursor cursor)
{
    static const char* const names[] = {"arrow", "wait", "borehole", "axis point", "axis tool"};
    Log(std::string("SetCursor ") + names[static_cast<int>(cursor)]);
}

void ScriptedUi::SetStatusText(const std::string& text, int field)
{
    Log("SetStatusText " + std::to_string(field) + " " + text);
}

void ScriptedUi::CheckMenuItem(int id, bool checked)
{
    Log("CheckMenuItem " + std::to_string(id) + (checked ? " 1" : " 0"));
}

void ScriptedUi::EnableMenuItem(int id, bool enabled)
{
    Log("EnableMenuItem " + std::to_string(id) + (enabled ? " 1" : " 0"));
}

void ScriptedUi::SetLayerChoice(const std::vector<std::string>& names)
{
    Log("SetLayerChoice " + std::to_string(names.size()));
    LayerChoice = names;
    LayerSelection = -1;
}

void ScriptedUi::SelectLayerChoice(int index)
{
    Log("SelectLayerChoice " + std::to_string(index));
    LayerSelection = index;
}

void ScriptedUi::EnableLayerTools(bool enabled)
{
    Log(std::string("EnableLayerTools ") + (enabled ? "1" : "0"));
    LayerToolsEnabled = enabled;
}

LumPoint ScriptedUi::ReadCoordinates()
{
    Log("ReadCoordinates");
    if (TypedCoordinates.empty())
        return LumPoint();
    const LumPoint typed = TypedCoordinates.front();
    TypedCoordinates.pop_front();
    return typed;
}

void ScriptedUi::ShowCoordinates(const LumPoint& scenePoint)
{
    Log("ShowCoordinates " + KorFormatDouble(scenePoint.x) + " " + KorFormatDouble(scenePoint.y) + " " +
        KorFormatDouble(scenePoint.z));
}

void ScriptedUi::DrawNorthArrow(double angle)
{
    Log("DrawNorthArrow " + KorFormatDouble(angle));
}

void ScriptedUi::ShowDisplaySwitch(int menuId, bool on)
{
    Log("ShowDisplaySwitch " + std::to_string(menuId) + (on ? " 1" : " 0"));
}

void ScriptedUi::ShowPopupMenu(const std::vector<PopupItem>& items, int x, int y)
{
    std::string labels;
    for (const PopupItem& item : items)
        labels += (labels.empty() ? "" : "|") + item.Label;
    Log("ShowPopupMenu " + std::to_string(x) + " " + std::to_string(y) + " " + labels);
    PopupItems = items;
}

void ScriptedUi::ShowAxeType(int type)
{
    Log("ShowAxeType " + std::to_string(type));
}

void ScriptedUi::ShowAxeParameters(double radius, double orientation, double inclination)
{
    Log("ShowAxeParameters " + KorFormatDouble(radius) + " " + KorFormatDouble(orientation) + " " +
        KorFormatDouble(inclination));
}

bool ScriptedUi::ReadAxeParameters(std::string& radius, std::string& orientation, std::string& inclination)
{
    Log("ReadAxeParameters");
    if (AxeFieldTexts.empty() || AxeFieldTexts.front().size() != 3)
        return false;
    radius = AxeFieldTexts.front()[0];
    orientation = AxeFieldTexts.front()[1];
    inclination = AxeFieldTexts.front()[2];
    AxeFieldTexts.pop_front();
    return true;
}

int ScriptedUi::MessageBox(const std::string& text, const std::string& caption, Buttons buttons, int flags)
{
    Log("MessageBox " + caption + " " + text);
    Boxes.push_back({text, caption, buttons, flags});
    if (BoxAnswers.empty())
        return DefaultAnswer(buttons);
    const int answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
}

bool ScriptedUi::ImportCoucheDXF(Couche* couche, const CoucheImport& import, bool interactive)
{
    Log("ImportCoucheDXF " + import.Path + (interactive ? " 1" : " 0"));
    return ImportHook && ImportHook(couche, import, interactive);
}

std::string ScriptedUi::AskFilePath(const FileRequest& request)
{
    Log("AskFilePath " + request.Title);
    FileRequests.push_back(request);
    if (PathAnswers.empty())
        return std::string();
    std::string path = PathAnswers.front();
    PathAnswers.pop_front();
    return path;
}

bool ScriptedUi::AskTwoValues(const std::string& caption, const std::string&, const std::string&,
                              double& value1, double& value2)
{
    Log("AskTwoValues " + caption);
    if (ValueAnswers.empty())
        return false;
    value1 = ValueAnswers.front().first;
    value2 = ValueAnswers.front().second;
    ValueAnswers.pop_front();
    return true;
}

bool ScriptedUi::AskText(const std::string& message, const std::string& caption, std::string& text)
{
    Log("AskText " + caption + " | " + message + " | " + text);
    if (TextAnswers.empty())
        return false;
    text = TextAnswers.front();
    TextAnswers.pop_front();
    return true;
}

bool ScriptedUi::GetImageSize(const std::string& path, int& width, int& height)
{
    Log("GetImageSize " + path);
    const auto found = ImageSizes.find(path);
    if (found == ImageSizes.end())
        return false;
    width = found->second.first;
    height = found->second.second;
    return true;
}

void ScriptedUi::YieldEvents()
{
    Log("YieldEvents");
}

void ScriptedUi::ResetDiscontinuityDialog()
{
    Log("ResetDiscontinuityDialog");
}

void ScriptedUi::FillDiscontinuityFamilies()
{
    Log("FillDiscontinuityFamilies");
}

void ScriptedUi::SelectDiscontinuityFamily(const std::string& name)
{
    Log("SelectDiscontinuityFamily " + name);
}

void ScriptedUi::UpdateDiscontinuityDialog()
{
    Log("UpdateDiscontinuityDialog");
}

void ScriptedUi::LoadTeteXML(const XMLNode& node)
{
    Log("LoadTeteXML");
    NullUi::LoadTeteXML(node);
}

void ScriptedUi::FillHeadFields()
{
    Log("FillHeadFields");
}

void ScriptedUi::FillCurveVariables()
{
    Log("FillCurveVariables");
}

void ScriptedUi::ResetResultViews()
{
    Log("ResetResultViews");
}

void ScriptedUi::CloseElementDialogs()
{
    Log("CloseElementDialogs");
}
