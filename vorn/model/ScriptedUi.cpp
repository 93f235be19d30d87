#include "ScriptedUi.h"

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

void ScriptedUi::ShowDisplaySwitch(int menuId, bool on)
{
    Log("ShowDisplaySwitch " + std::to_string(menuId) + (on ? " 1" : " 0"));
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

void ScriptedUi::ResetDiscontinuityDialog()
{
    Log("ResetDiscontinuityDialog");
}

void ScriptedUi::FillDiscontinuityFamilies()
{
    Log("FillDiscontinuityFamilies");
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
