#include "wxColorWindow.h"

#include "GuiTestHelpers.h"

#include <gtest/gtest.h>

namespace
{
std::vector<wxColorWindow*> gPressed;

void Record(wxColorWindow* window)
{
    gPressed.push_back(window);
}

void TurnGreen(wxColorWindow* window)
{
    gPressed.push_back(window);
    window->SetColor(wxColour(0, 200, 0));
}

void ExpectFilledWith(wxColorWindow& window, const wxSize& size, const wxColour& colour)
{
    const wxImage image = GuiTest::Render(window, size);
    for (const wxPoint& p : {wxPoint(0, 0), wxPoint(size.x - 1, size.y - 1), wxPoint(size.x / 2, size.y / 2)})
        EXPECT_EQ(GuiTest::PixelAt(image, p.x, p.y), colour) << p.x << "," << p.y;
}
} // namespace

using wxColorWindowTest = GuiTest::FrameTest;

TEST_F(wxColorWindowTest, PaintsItsColourAndSetColorChangesIt)
{
    auto* swatch =
        new wxColorWindow(panel, wxColour(10, 20, 30), nullptr, wxID_ANY, wxPoint(5, 5), wxSize(30, 20));
    EXPECT_EQ(swatch->GetColor(), wxColour(10, 20, 30));
    ExpectFilledWith(*swatch, wxSize(30, 20), wxColour(10, 20, 30));
    swatch->SetColor(wxColour(250, 0, 100));
    ExpectFilledWith(*swatch, wxSize(30, 20), wxColour(250, 0, 100));
}

TEST_F(wxColorWindowTest, LeftPressCallsTheCallbackWhichMayRecolourTheSwatch)
{
    gPressed.clear();
    auto* silent = new wxColorWindow(panel, *wxRED, nullptr, wxID_ANY, wxPoint(10, 10), wxSize(40, 40));
    auto* recolouring =
        new wxColorWindow(panel, *wxRED, TurnGreen, wxID_ANY, wxPoint(60, 10), wxSize(40, 40));
    auto* recording = new wxColorWindow(panel, *wxBLUE, Record, wxID_ANY, wxPoint(110, 10), wxSize(40, 40));
    ASSERT_TRUE(ShowAndWait(recording));

    GuiTest::ClickAt(silent, wxPoint(20, 20));
    GuiTest::Pump(100);
    EXPECT_TRUE(gPressed.empty());
    EXPECT_EQ(silent->GetColor(), *wxRED);

    GuiTest::ClickAt(recolouring, wxPoint(20, 20));
    ASSERT_TRUE(GuiTest::WaitFor([] { return !gPressed.empty(); }));
    EXPECT_EQ(gPressed, std::vector<wxColorWindow*>{recolouring});
    EXPECT_EQ(recolouring->GetColor(), wxColour(0, 200, 0));
    ExpectFilledWith(*recolouring, wxSize(40, 40), wxColour(0, 200, 0));

    // Only the left button reports.
    GuiTest::ClickAt(recording, wxPoint(20, 20), wxMOUSE_BTN_RIGHT);
    GuiTest::Pump(100);
    EXPECT_EQ(gPressed.size(), 1u);
    GuiTest::ClickAt(recording, wxPoint(20, 20));
    ASSERT_TRUE(GuiTest::WaitFor([] { return gPressed.size() == 2; }));
    EXPECT_EQ(gPressed.back(), recording);
}
