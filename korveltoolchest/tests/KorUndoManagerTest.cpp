#include "KorUndoManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// What the callbacks saw, in order: "u3" is the undo of the action whose
// first value is 3, with the manager position seen during the call.
std::vector<std::string> gLog;
KorUndoManager* gManager = nullptr;
int gLive = 0;

class CountedAction : public KorAction
{
public:
    CountedAction() { ++gLive; }
    ~CountedAction() override { --gLive; }
};

int Id(KorAction* action)
{
    int id = -1;
    id << *action->GetVariable(0);
    return id;
}

void LogUndo(KorAction* action)
{
    gLog.push_back("u" + std::to_string(Id(action)) + "@" + std::to_string(gManager->GetPosition()));
}

void LogRedo(KorAction* action)
{
    gLog.push_back("r" + std::to_string(Id(action)) + "@" + std::to_string(gManager->GetPosition()));
}

// A callback that records a new action, as an undo callback that forgot to
// turn its record flag off would.
void RecordDuringUndo(KorAction* action)
{
    LogUndo(action);
    auto* extra = new CountedAction;
    extra->AddVariable(99);
    gManager->AddAction(extra);
    gManager->Clear();
    gManager->Undo();
    // This action must still be alive: read its value again.
    gLog.push_back("still" + std::to_string(Id(action)));
}

KorAction* Make(int id, KorAction::Callback undo = LogUndo, KorAction::Callback redo = LogRedo)
{
    auto* action = new CountedAction;
    action->AddVariable(id);
    action->AddVariable(std::string("value"));
    action->SetUndo(undo);
    action->SetRedo(redo);
    return action;
}

class KorUndoManagerTest : public testing::Test
{
protected:
    void SetUp() override
    {
        gLog.clear();
        gManager = &manager;
    }
    void TearDown() override { gManager = nullptr; }

    std::vector<int> Ids() const
    {
        std::vector<int> ids;
        for (unsigned i = 0; i < manager.GetCount(); ++i)
            ids.push_back(Id(manager.GetAction(i)));
        return ids;
    }

    KorUndoManager manager;
};
} // namespace

TEST_F(KorUndoManagerTest, StartsEmptyAndSaved)
{
    EXPECT_EQ(manager.GetMaxUndos(), 20u);
    EXPECT_EQ(manager.GetPosition(), 0u);
    EXPECT_TRUE(manager.IsSaved());
    manager.AddAction(Make(1));
    EXPECT_FALSE(manager.IsSaved());
    manager.AddAction(nullptr);
    EXPECT_EQ(manager.GetCount(), 1u);
}

TEST_F(KorUndoManagerTest, CallbacksRunInOrderBeforeThePositionMoves)
{
    for (int id = 1; id <= 3; ++id)
        manager.AddAction(Make(id));
    manager.SetSaved(true);
    manager.Undo();
    EXPECT_FALSE(manager.IsSaved());
    manager.Undo();
    manager.Redo();
    manager.Undo();
    manager.Undo();
    manager.Undo(); // at 0: nothing
    manager.Redo();
    manager.Redo();
    manager.Redo();
    manager.Redo(); // at the end: nothing
    EXPECT_EQ(gLog,
              (std::vector<std::string>{"u3@3", "u2@2", "r2@1", "u2@2", "u1@1", "r1@0", "r2@1", "r3@2"}));
    EXPECT_EQ(manager.GetPosition(), 3u);
}

TEST_F(KorUndoManagerTest, ActionsWithoutCallbacksOnlyMoveThePosition)
{
    manager.AddAction(new KorAction);
    EXPECT_EQ(manager.GetAction(0)->GetNombreVariables(), 0);
    EXPECT_EQ(manager.GetAction(0)->GetVariable(0), nullptr);
    manager.Undo();
    EXPECT_EQ(manager.GetPosition(), 0u);
    manager.Redo();
    EXPECT_EQ(manager.GetPosition(), 1u);
}

TEST_F(KorUndoManagerTest, BoundedHistoryDropsTheOldest)
{
    manager.SetMaxUndos(3);
    for (int id = 1; id <= 5; ++id)
        manager.AddAction(Make(id));
    EXPECT_EQ(Ids(), (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(manager.GetPosition(), 3u);
    EXPECT_EQ(gLive, 3);
    for (int k = 0; k < 4; ++k)
        manager.Undo();
    EXPECT_EQ(gLog, (std::vector<std::string>{"u5@3", "u4@2", "u3@1"}));
}

TEST_F(KorUndoManagerTest, RecordingAfterUndoDiscardsTheRedoBranch)
{
    for (int id = 1; id <= 4; ++id)
        manager.AddAction(Make(id));
    manager.Undo();
    manager.Undo();
    manager.AddAction(Make(7));
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 7}));
    EXPECT_EQ(manager.GetPosition(), 3u);
    EXPECT_EQ(gLive, 3);
    gLog.clear();
    manager.Redo();
    EXPECT_TRUE(gLog.empty());

    // At the maximum with actions undone, the branch goes first and nothing
    // older is dropped.
    manager.SetMaxUndos(3);
    manager.Undo();
    manager.AddAction(Make(8));
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 8}));
}

TEST_F(KorUndoManagerTest, LoweredMaximumTakesEffectAtTheNextRecord)
{
    for (int id = 1; id <= 10; ++id)
        manager.AddAction(Make(id));
    manager.SetMaxUndos(4);
    EXPECT_EQ(manager.GetCount(), 10u);
    manager.AddAction(Make(11));
    EXPECT_EQ(Ids(), (std::vector<int>{8, 9, 10, 11}));
    EXPECT_EQ(manager.GetPosition(), 4u);
    EXPECT_EQ(gLive, 4);

    manager.SetMaxUndos(0);
    EXPECT_EQ(manager.GetMaxUndos(), 1u);
    manager.AddAction(Make(12));
    EXPECT_EQ(Ids(), (std::vector<int>{12}));
    manager.Undo();
    manager.AddAction(Make(13));
    EXPECT_EQ(Ids(), (std::vector<int>{13}));
}

TEST_F(KorUndoManagerTest, ClearEmptiesAndMarksSaved)
{
    for (int id = 1; id <= 3; ++id)
        manager.AddAction(Make(id));
    manager.Undo();
    manager.Clear();
    EXPECT_EQ(gLive, 0);
    EXPECT_EQ(manager.GetCount(), 0u);
    EXPECT_EQ(manager.GetPosition(), 0u);
    EXPECT_TRUE(manager.IsSaved());
    gLog.clear();
    testing::internal::CaptureStdout();
    manager.Undo();
    manager.Redo();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(gLog.empty());
    EXPECT_TRUE(manager.IsSaved());
    manager.AddAction(Make(4));
    EXPECT_EQ(manager.GetPosition(), 1u);
}

// The recorded action is refused and deleted, the history is unchanged and
// the running action stays alive until its callback returns.
TEST_F(KorUndoManagerTest, RecordingWhileAnUndoRunsIsRefused)
{
    manager.AddAction(Make(1));
    manager.AddAction(Make(2, RecordDuringUndo, RecordDuringUndo));
    testing::internal::CaptureStdout();
    manager.Undo();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "KorUndoManager::AddAction -> An action cannot be recorded while an undo or a redo is running\n"
              "KorUndoManager::Clear -> The history cannot be cleared while an undo or a redo is running\n");
    EXPECT_EQ(gLog, (std::vector<std::string>{"u2@2", "still2"}));
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
    EXPECT_EQ(manager.GetPosition(), 1u);
    EXPECT_EQ(gLive, 2);

    testing::internal::CaptureStdout();
    manager.Redo();
    EXPECT_NE(testing::internal::GetCapturedStdout().find("while an undo or a redo is running"),
              std::string::npos);
    EXPECT_EQ(manager.GetPosition(), 2u);
    EXPECT_EQ(gLive, 2);
    // After the callbacks, recording works again.
    manager.AddAction(Make(3));
    EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3}));
}

TEST(KorAction, ValuesInOrderAndOwned)
{
    gLive = 0;
    {
        KorUndoManager manager;
        auto* action = new CountedAction;
        action->AddVariable(1);
        action->AddVariable(2.5);
        action->AddVariable(2.5f);
        action->AddVariable(true);
        action->AddVariable(std::string("Nom"));
        action->AddVariable(LumPoint(1, 2, 3));
        action->AddVariable("literal");
        EXPECT_EQ(action->GetNombreVariables(), 7);
        EXPECT_EQ(action->GetVariable(1)->GetType(), 3);
        EXPECT_EQ(action->GetVariable(2)->GetType(), 2);
        EXPECT_EQ(action->GetVariable(6)->GetType(), 4);
        // A callback may write a new value back for the next undo.
        *action->GetVariable(0) = 12;
        int i = 0;
        i << *action->GetVariable(0);
        EXPECT_EQ(i, 12);
        manager.AddAction(action);
        EXPECT_EQ(gLive, 1);
    }
    EXPECT_EQ(gLive, 0);
}
