#include "ModelTestSupport.h"
#include "OVXAction.h"
#include "ViewRecorders.h"

namespace
{
using OVXUndoManagerTest = ModelTest;

bool ToolA(const EventInfo&)
{
    return false;
}
bool ToolB(const EventInfo&)
{
    return false;
}

std::vector<int> gReplayed;
void UndoValue(KorAction* action)
{
    int value = 0;
    value << *action->GetVariable(0);
    gReplayed.push_back(-value);
}
void RedoValue(KorAction* action)
{
    int value = 0;
    value << *action->GetVariable(0);
    gReplayed.push_back(value);
}

template <typename Action> void Record(int value)
{
    auto* action = new Action;
    action->AddVariable(value);
    action->SetUndo(UndoValue);
    action->SetRedo(RedoValue);
    gProjet.GetUndoManager().AddAction(action);
}

// The history keeps 75 actions: the 76th drops the oldest, 75 undos reach
// the oldest kept, and one more only redraws, lightly.
TEST_F(OVXUndoManagerTest, SeventySixthActionDropsTheOldest)
{
    gReplayed.clear();
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (int i = 1; i <= 76; ++i)
        Record<OVXAction>(i);
    EXPECT_EQ(undo.GetCount(), 75u);
    EXPECT_TRUE(gProjet.IsModified());
    for (int i = 0; i < 75; ++i)
        undo.Undo();
    ASSERT_EQ(gReplayed.size(), 75u);
    EXPECT_EQ(gReplayed.front(), -76);
    EXPECT_EQ(gReplayed.back(), -2);
    ui.ClearLog();
    gUndoLightRefresh = false;
    undo.Undo();
    EXPECT_EQ(gReplayed.size(), 75u);
    EXPECT_TRUE(gUndoLightRefresh);
    EXPECT_EQ(ui.Calls, std::vector<std::string>{"RefreshDisplay"});
}

// An action recorded under the tool installed now only redraws; one of
// another tool, or a plain KorAction, ends the tool first. Redo never sets
// the light-refresh mark.
TEST_F(OVXUndoManagerTest, LightOrFullRefreshByTheRecordedTool)
{
    using Manager = ModelUi::EventsManager;
    const struct
    {
        Manager recordedUnder;
        Manager installedAtUndo;
        bool plain;
        bool full;
    } cases[] = {
        {nullptr, nullptr, false, false}, {ToolA, ToolA, false, false},  {ToolA, ToolB, false, true},
        {ToolA, nullptr, false, true},    {nullptr, ToolA, false, true}, {ToolA, ToolA, true, true},
        {nullptr, nullptr, true, true},
    };
    OVXUndoManager& undo = gProjet.GetUndoManager();
    for (const auto& c : cases)
    {
        undo.Clear();
        gReplayed.clear();
        ui.SetEventsManager(c.recordedUnder);
        if (c.plain)
            Record<KorAction>(5);
        else
            Record<OVXAction>(5);
        for (bool redo : {false, true})
        {
            ui.SetEventsManager(c.installedAtUndo);
            ui.ClearLog();
            gUndoLightRefresh = false;
            if (redo)
                undo.Redo();
            else
                undo.Undo();
            EXPECT_EQ(gReplayed.back(), redo ? 5 : -5);
            EXPECT_EQ(ui.Count("EndCurrentTool"), c.full ? 1 : 0) << c.plain << redo;
            // The ended tool is gone; a kept one stays installed.
            EXPECT_EQ(ui.GetEventsManager(), c.full ? nullptr : c.installedAtUndo);
            EXPECT_EQ(gUndoLightRefresh, !c.full && !redo);
            EXPECT_EQ(ui.Calls.back(), "RefreshDisplay");
        }
    }
    ui.ClearLog();
    undo.Redo();
    EXPECT_EQ(ui.Calls, std::vector<std::string>{"RefreshDisplay"});
}

// A recorded switch to the 3D view is undone back to the plan view and
// redone; a zone too narrow refuses the 3D view and records nothing.
TEST_F(OVXUndoManagerTest, ViewChangeIsRecordedAndReplayed)
{
    const std::string path = TempPath("view.ovx");
    WriteAll(path, "<?xml version=\"1.0\"?><Projet><Limite2>10|0.000001|0</Limite2>"
                   "<Couche><Nom>A</Nom></Couche></Projet>");
    gProjet.Open(path);
    OVXUndoManager& undo = gProjet.GetUndoManager();
    ui.ClearLog();
    ui.EnterVisualisationMode(true);
    EXPECT_EQ(ui.GetMode(), 1);
    EXPECT_EQ(undo.GetCount(), 0u);
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text,
              "Impossible de passer en mode Visualisation : la zone de visualisation est mal définie");
    EXPECT_EQ(ui.Boxes[0].Caption, "Information");

    gProjet.Limite2 = LumPoint(10.0, 10.0, 0.0);
    ui.EnterVisualisationMode(true);
    EXPECT_EQ(ui.GetMode(), 2);
    ASSERT_EQ(undo.GetCount(), 1u);
    EXPECT_TRUE(gProjet.IsModified());
    undo.Undo();
    EXPECT_EQ(ui.GetMode(), 1);
    undo.Redo();
    EXPECT_EQ(ui.GetMode(), 2);
    ui.EnterCreationMode(true);
    undo.Undo();
    EXPECT_EQ(ui.GetMode(), 2);
    EXPECT_EQ(undo.GetCount(), 2u);
    std::remove(path.c_str());
}

// The frame hook runs once per refresh, as the main view renders a frame.
TEST_F(OVXUndoManagerTest, RefreshRunsTheFrameHook)
{
    int frames = 0;
    const int before = ui.Frames;
    ui.FrameHook = [&frames] { ++frames; };
    gProjet.SetCoucheCourante(-1);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(ui.Frames - before, 2);
}
} // namespace
