#include "wxCurveEvent.h"

#include "GuiTestHelpers.h"

#include <gtest/gtest.h>

#include <wx/panel.h>

#include <memory>
#include <vector>

namespace
{
// A parent that handles the selection of the plot with id 3 only, through its event table.
class EventTableParent : public wxPanel
{
public:
    explicit EventTableParent(wxWindow* parent) : wxPanel(parent) {}
    std::vector<int> received;

private:
    void OnSelection(wxCurveEvent& event) { received.push_back(event.GetSelection1()); }
    wxDECLARE_EVENT_TABLE();
};

wxBEGIN_EVENT_TABLE(EventTableParent, wxPanel) EVT_CURVE_SELECTION(3, EventTableParent::OnSelection)
    wxEND_EVENT_TABLE()
} // namespace

TEST(wxCurveEventTest, DefaultsThenCloneCarriesEveryField)
{
    wxCurveEvent event(wxEVT_CURVE_SELECTION, 3);
    EXPECT_EQ(event.GetEventType(), wxEVT_CURVE_SELECTION);
    EXPECT_EQ(event.GetId(), 3);
    EXPECT_EQ(event.GetCurve(), nullptr);
    EXPECT_EQ(event.GetSurface(), nullptr);
    EXPECT_EQ(event.GetSelection1(), -1);
    EXPECT_EQ(event.GetSelection2(), -1);
    EXPECT_EQ(event.GetValue(), 0.0);
    EXPECT_TRUE(event.ShouldPropagate());

    // Only the pointers' values matter here; they are never dereferenced.
    wxCurve* curve = reinterpret_cast<wxCurve*>(0x10);
    wxSurface* surface = reinterpret_cast<wxSurface*>(0x20);
    event.SetCurve(curve);
    event.SetSurface(surface);
    event.SetSelection1(4);
    event.SetSelection2(7);
    event.SetValue(-2.5);
    std::unique_ptr<wxEvent> clone(event.Clone());
    auto* copy = dynamic_cast<wxCurveEvent*>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetEventType(), wxEVT_CURVE_SELECTION);
    EXPECT_EQ(copy->GetId(), 3);
    EXPECT_EQ(copy->GetCurve(), curve);
    EXPECT_EQ(copy->GetSurface(), surface);
    EXPECT_EQ(copy->GetSelection1(), 4);
    EXPECT_EQ(copy->GetSelection2(), 7);
    EXPECT_EQ(copy->GetValue(), -2.5);
    EXPECT_TRUE(copy->ShouldPropagate());
}

using wxCurveEventWindowTest = GuiTest::FrameTest;

TEST_F(wxCurveEventWindowTest, EventTableEntryMatchesTheWindowIdAndUnhandledEventsClimb)
{
    auto* parent = new EventTableParent(panel);
    std::vector<int> atFrame;
    frame->Bind(wxEVT_CURVE_SELECTION,
                [&](wxCurveEvent& event) { atFrame.push_back(event.GetSelection1()); });

    wxCurveEvent fromThree(wxEVT_CURVE_SELECTION, 3);
    fromThree.SetSelection1(1);
    parent->ProcessWindowEvent(fromThree);
    wxCurveEvent fromFour(wxEVT_CURVE_SELECTION, 4);
    fromFour.SetSelection1(2);
    parent->ProcessWindowEvent(fromFour);

    EXPECT_EQ(parent->received, std::vector<int>{1});
    // The event of id 4 is not handled by the panel and reaches its parent.
    EXPECT_EQ(atFrame, std::vector<int>{2});
}
