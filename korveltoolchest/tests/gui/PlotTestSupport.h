#pragma once

// What the plot tests share: the events a parent receives and synthesised
// key and click events handed straight to a widget.

#include "GuiTestHelpers.h"
#include "wxCurveEvent.h"

#include <gtest/gtest.h>

#include <wx/image.h>
#include <wx/window.h>

#include <cmath>
#include <ostream>
#include <vector>

struct SeenSelection
{
    const void* curve;
    const void* surface;
    int selection1;
    int selection2;
    double value;

    bool operator==(const SeenSelection& o) const
    {
        return curve == o.curve && surface == o.surface && selection1 == o.selection1 &&
               selection2 == o.selection2 && value == o.value;
    }
};

inline std::ostream& operator<<(std::ostream& out, const SeenSelection& s)
{
    return out << "{curve " << s.curve << ", surface " << s.surface << ", " << s.selection1 << ", "
               << s.selection2 << ", " << s.value << "}";
}

// Records every selection event that reaches parent.
inline void RecordSelections(wxWindow* parent, std::vector<SeenSelection>& seen)
{
    parent->Bind(wxEVT_CURVE_SELECTION,
                 [&seen](wxCurveEvent& event)
                 {
                     seen.push_back({event.GetCurve(), event.GetSurface(), event.GetSelection1(),
                                     event.GetSelection2(), event.GetValue()});
                 });
}

// Runs input (a real click or key through the X server), then checks that
// exactly one more selection reached the parent and that it is expected.
template <typename Input>
void ExpectOneSelection(const std::vector<SeenSelection>& seen, const SeenSelection& expected, Input input)
{
    const size_t count = seen.size() + 1;
    input();
    ASSERT_TRUE(GuiTest::WaitFor([&] { return seen.size() >= count; }));
    EXPECT_EQ(seen.size(), count);
    EXPECT_EQ(seen.back(), expected);
}

inline void PressKey(wxWindow* window, int keyCode)
{
    wxKeyEvent event(wxEVT_CHAR);
    event.m_keyCode = keyCode;
    event.SetEventObject(window);
    window->ProcessWindowEvent(event);
}

inline void ClickButton(wxWindow* window, wxEventType type, int x, int y)
{
    wxMouseEvent event(type);
    event.m_x = x;
    event.m_y = y;
    event.SetEventObject(window);
    window->ProcessWindowEvent(event);
}

// Pixels of a colour inside a rectangle of an image.
inline int CountPixels(const wxImage& image, const wxRect& rect,
                       bool (*match)(unsigned char, unsigned char, unsigned char))
{
    int count = 0;
    for (int y = rect.GetTop(); y <= rect.GetBottom(); ++y)
        for (int x = rect.GetLeft(); x <= rect.GetRight(); ++x)
            if (match(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)))
                ++count;
    return count;
}
