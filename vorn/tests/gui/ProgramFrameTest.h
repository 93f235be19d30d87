#pragma once

#include "ProjectFrameTest.h"

// The main frame as the program opens it, without a project (only File and
// Help enabled), its interface answering in the user's place.
class ProgramFrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = ShowProgramFrame();
        ui = std::make_unique<AnsweringUi>(frame);
        SetModelUi(ui.get());
        EnterCreationMode(false);
        SetNoProjectInterface();
        ASSERT_TRUE(GuiTest::WaitFor([this] { return frame->IsShownOnScreen(); }));
    }
    void TearDown() override { CloseMainFrame(); }

    FenetreTunnel* frame = nullptr;
    std::unique_ptr<AnsweringUi> ui;
};
