#include "wxPopup.h"

#include "GuiTestHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> gCalls;

// The data of a line is the text it records when called.
void Call(void* data)
{
    gCalls.push_back(*static_cast<std::string*>(data));
}

// Where the toolkit delivers a chosen line: to the menu holding its item.
void Choose(wxMenu* holder, int id)
{
    holder->SendEvent(id);
}
} // namespace

// Menu tree of the tests:
//   top:  a(0) b(1) --- c(2) [sub: d(3) e(4)]
TEST(wxPopupTest, LinesOfTheWholeTreeAreNumberedInTheTopPopup)
{
    gCalls.clear();
    std::string a = "a", b = "b", c = "c", d = "d", e = "e";
    wxPopup top;
    top.AddLine("a", Call, &a, -1);
    top.AddLine("b", Call, &b, -1);
    top.AddLine("", Call, nullptr, -1); // a separator takes no id
    top.AddLine("c", Call, &c, -1);
    wxPopup* sub = top.AddMenu("sous-menu");
    sub->AddLine("d", Call, &d, -1);
    sub->AddLine("é", Call, &e, -1);

    EXPECT_EQ(top.GetLineCount(), 5);
    EXPECT_EQ(sub->GetLineCount(), 0);
    EXPECT_EQ(sub->GetParentMenu(), &top);
    EXPECT_EQ(top.GetParentMenu(), &top);
    EXPECT_EQ(top.GetMenuItemCount(), 5u); // a, b, separator, c, sub-menu
    EXPECT_TRUE(top.FindItemByPosition(2)->IsSeparator());
    EXPECT_EQ(top.FindItem(3)->GetMenu(), sub);
    EXPECT_EQ(sub->FindItem(4)->GetItemLabelText(), wxString::FromUTF8("é"));
    EXPECT_EQ(sub->FindItem(4)->GetHelp(), wxString::FromUTF8("é"));

    Choose(&top, 1);
    Choose(sub, 4); // reaches the sub-popup first, whose own lists are empty
    Choose(sub, 3);
    Choose(&top, 0);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"b", "e", "d", "a"}));
}

TEST(wxPopupTest, CheckItemsDisabledLinesAndLinesBeyondTheTwentySixth)
{
    gCalls.clear();
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("line " + std::to_string(i));
    wxPopup top;
    top.AddLine("checked", Call, &names[0], 1);
    top.AddLine("unchecked", Call, &names[1], 0);
    top.AddLine("no callback", nullptr, &names[2], -1);
    for (int i = 3; i < 40; ++i)
        top.AddLine(names[size_t(i)], Call, &names[size_t(i)], -1);

    EXPECT_TRUE(top.FindItem(0)->IsCheckable());
    EXPECT_TRUE(top.FindItem(0)->IsChecked());
    EXPECT_TRUE(top.FindItem(1)->IsCheckable());
    EXPECT_FALSE(top.FindItem(1)->IsChecked());
    EXPECT_FALSE(top.FindItem(3)->IsCheckable());
    EXPECT_FALSE(top.FindItem(2)->IsEnabled());
    EXPECT_TRUE(top.FindItem(3)->IsEnabled());

    Choose(&top, 2);
    Choose(&top, 25);
    Choose(&top, 26);
    Choose(&top, 39);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"line 25", "line 26", "line 39"}));
}

TEST(wxPopupTest, ClearOfASubPopupKeepsTheTopIdsAndClearOfTheTopRestartsThem)
{
    gCalls.clear();
    std::string a = "a", d = "d", f = "f";
    wxPopup top;
    top.AddLine("a", Call, &a, -1);
    wxPopup* sub = top.AddMenu("sous-menu");
    sub->AddLine("d", Call, &d, -1);
    sub->Clear();
    EXPECT_EQ(sub->GetMenuItemCount(), 0u);
    EXPECT_EQ(top.GetLineCount(), 2);
    sub->AddLine("f", Call, &f, -1);
    EXPECT_NE(sub->FindItem(2), nullptr);
    Choose(sub, 2);
    EXPECT_EQ(gCalls, std::vector<std::string>{"f"});

    top.Clear();
    EXPECT_EQ(top.GetMenuItemCount(), 0u);
    EXPECT_EQ(top.GetLineCount(), 0);
    top.AddLine("a", Call, &a, -1);
    EXPECT_NE(top.FindItem(0), nullptr);
}

using wxPopupShownTest = GuiTest::FrameTest;

// The menu is popped up for real and a sub-menu line is chosen with the
// keyboard; a second timer closes the menu if the keys went astray.
TEST_F(wxPopupShownTest, ASubMenuLineChosenWithTheKeyboardCallsItsCallback)
{
    gCalls.clear();
    std::string a = "a", b = "b", d = "d", e = "e";
    wxPopup top;
    top.AddLine("a", Call, &a, -1);
    top.AddLine("b", Call, &b, -1);
    wxPopup* sub = top.AddMenu("sous-menu");
    sub->AddLine("d", Call, &d, -1);
    sub->AddLine("e", Call, &e, -1);
    ASSERT_TRUE(ShowAndWait(panel));

    wxUIActionSimulator sim;
    sim.MouseMove(panel->ClientToScreen(wxPoint(300, 300)));
    GuiTest::Pump(50);
    GuiTest::OneShot choose(
        [&]
        {
            for (int key : {WXK_DOWN, WXK_DOWN, WXK_DOWN, WXK_RIGHT, WXK_DOWN, WXK_RETURN})
            {
                sim.Char(key);
                GuiTest::Pump(60);
            }
        });
    GuiTest::OneShot guard(
        [&]
        {
            for (int i = 0; i < 3; ++i)
                sim.Char(WXK_ESCAPE);
        });
    choose.StartOnce(400);
    guard.StartOnce(4000);
    panel->PopupMenu(&top, wxPoint(20, 20));
    GuiTest::Pump(100);
    EXPECT_EQ(gCalls, std::vector<std::string>{"e"});
}
