#pragma once

// Helpers for GUI tests: run the toolkit's event loop for a while, or until a
// condition holds, so that events synthesised through the X server (clicks,
// keys, paints, sizes) reach the windows under test.

#include <gtest/gtest.h>

#include <wx/accel.h>
#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <functional>
#include <memory>
#include <ostream>
#include <utility>

// Readable colours in test failure messages.
inline void PrintTo(const wxColour& colour, std::ostream* out)
{
    *out << "(" << int(colour.Red()) << "," << int(colour.Green()) << "," << int(colour.Blue()) << ")";
}

namespace GuiTest
{
// Processes pending events until done() holds or timeoutMs passes; answers done().
// The bound is generous: a loaded machine may take seconds to map a window,
// and a wait that is met returns at once.
inline bool WaitFor(const std::function<bool()>& done, long timeoutMs = 30000)
{
    wxStopWatch watch;
    while (!done())
    {
        if (watch.Time() > timeoutMs)
            return done();
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
    return true;
}

// Processes pending events for about ms milliseconds.
inline void Pump(long ms)
{
    wxStopWatch watch;
    while (watch.Time() < ms)
    {
        wxTheApp->Yield(true);
        wxMilliSleep(5);
    }
}

// The first shown top-level window of that class, or null. Windows whose
// Destroy has run are skipped: the toolkit lists them until the next idle
// time, and under GTK a map event that comes after the window was hidden (a
// dialog ended before the X server mapped it) marks it shown again.
template <class Window> Window* FindShown()
{
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = dynamic_cast<Window*>(window); found && found->IsShown() &&
                                                         !found->IsBeingDeleted() &&
                                                         !wxTheApp->IsScheduledForDestruction(found))
            return found;
    return nullptr;
}

// The colour of one pixel of a bitmap.
inline wxColour PixelAt(const wxImage& image, int x, int y)
{
    return wxColour(image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y));
}

// What painter draws, through a memory device context, on a 24-bit bitmap of
// the given size: the pixels a window of that size would show.
template <class Painter> wxImage Render(Painter& painter, const wxSize& size)
{
    wxBitmap bitmap(size, 24);
    {
        wxMemoryDC dc(bitmap);
        painter.Draw(dc, size);
    }
    return bitmap.ConvertToImage();
}

// A key pressed in a window, as the toolkit handles its accelerators: the
// command that the window's table gives the key goes to the window as a menu
// command, then pending events (a command it posted) run. False when the
// table has no such key.
inline bool PressAccelerator(wxWindow* window, int key, bool control = true)
{
    wxKeyEvent press(wxEVT_KEY_DOWN);
    press.m_keyCode = key;
    press.m_controlDown = control;
    const wxAcceleratorTable* table = window->GetAcceleratorTable();
    const int command = table ? table->GetCommand(press) : -1;
    if (command == -1)
        return false;
    wxCommandEvent menu(wxEVT_MENU, command);
    menu.SetEventObject(window);
    window->HandleWindowEvent(menu);
    wxTheApp->ProcessPendingEvents();
    return true;
}

// Left (or right) click at a point of a window's client area, through the X
// server, so the toolkit delivers real button events.
inline void ClickAt(wxWindow* window, const wxPoint& client, int button = wxMOUSE_BTN_LEFT)
{
    wxUIActionSimulator sim;
    sim.MouseMove(window->ClientToScreen(client));
    Pump(30);
    sim.MouseClick(button);
}

// A shown top-level frame at the screen's origin, filled by a panel that is
// the parent of the test's windows (a frame would stretch a lone child over
// its whole client area); destroyed after the test.
class FrameTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(0, 0), wxSize(640, 480));
        panel = new wxPanel(frame);
        frame->Show();
        Pump(50);
    }
    void TearDown() override
    {
        frame->Destroy();
        Pump(20);
    }
    // Shows window and waits until the X server maps it and it has painted once.
    static bool ShowAndWait(wxWindow* window)
    {
        auto painted = std::make_shared<bool>(false);
        window->Bind(wxEVT_PAINT,
                     [painted](wxPaintEvent& event)
                     {
                         *painted = true;
                         event.Skip();
                     });
        window->Show();
        window->Refresh();
        const bool ok = WaitFor([&] { return *painted && window->IsShownOnScreen(); });
        Pump(20);
        return ok;
    }

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
};

// Runs action once after ms milliseconds from inside whatever event loop is
// running then (a modal dialog or a popup menu), so a test can end a modal
// thing that would otherwise wait for the user.
class OneShot : public wxTimer
{
public:
    explicit OneShot(std::function<void()> action) : m_action(std::move(action)) {}
    void Notify() override { m_action(); }

private:
    std::function<void()> m_action;
};
} // namespace GuiTest
