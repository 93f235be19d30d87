// Windows that fit, as a user meets them on a 1280 x 1024 screen with a
// window manager: every control of the two palettes, the trench-head
// dialog and the results, series, curves and cost dialogs lies inside its
// window with its label's full text; the palettes sit beside the main
// window's commands, above it; and the road open -> visualisation -> series
// -> curves -> close prints no GTK warning or assertion. Dialogs fitted
// before they are shown are measured once the window manager has mapped
// them; without a project neither palette can be reached.

#include "AnsweringUi.h"
#include "CalculSeries.h"
#include "Dialog2Coordonnees.h"
#include "DialogAPropos.h"
#include "DialogCalculs.h"
#include "DialogCourbes.h"
#include "DialogCout.h"
#include "DialogOutilsCreation.h"
#include "DialogResultats.h"
#include "DialogTete.h"
#include "DialogVisualisation.h"
#include "DialogWait.h"
#include "FenetreTunnel.h"
#include "GuiTestHelpers.h"
#include "InterfaceModes.h"
#include "KorString.h"
#include "ParametresTeteSimple.h"
#include "ProgramFrameTest.h"
#include "ProjectFrameTest.h"
#include "ProjetOVX.h"
#include "ResultatsOVX.h"
#include "WindowFit.h"

#include <wx/anybutton.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/filename.h>
#include <wx/gauge.h>
#include <wx/grid.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace
{
// A command's standard output, or empty when it could not run.
std::string Output(const wxString& command)
{
    wxArrayString lines, errors;
    if (wxExecute(command, lines, errors, wxEXEC_SYNC | wxEXEC_NODISABLE) != 0)
        return std::string();
    std::string text;
    for (const wxString& line : lines)
        text += std::string(line.ToUTF8().data()) + "\n";
    return text;
}

bool WindowManagerRunning()
{
    return Output("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
}

// The X window of a top-level window, through the GTK the toolkit loaded.
unsigned long XWindow(wxWindow* window)
{
    using GetWindow = void* (*)(void*);
    using GetXid = unsigned long (*)(void*);
    auto* gdkWindow = reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
    auto* xid = reinterpret_cast<GetXid>(dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
    if (!gdkWindow || !xid || !window->GetHandle())
        return 0;
    void* gdk = gdkWindow(window->GetHandle());
    return gdk ? xid(gdk) : 0;
}

// The windows the window manager stacks, bottom first.
std::vector<unsigned long> Stacking()
{
    std::vector<unsigned long> ids;
    std::string text = Output("xprop -root _NET_CLIENT_LIST_STACKING");
    const size_t hash = text.find('#');
    if (hash == std::string::npos)
        return ids;
    std::istringstream in(text.substr(hash + 1));
    for (std::string item; std::getline(in, item, ',');)
        ids.push_back(std::stoul(item, nullptr, 16));
    return ids;
}

std::string Describe(const wxWindow* control)
{
    std::ostringstream out;
    out << control->GetClassInfo()->GetClassName() << " '" << control->GetLabel().ToUTF8().data() << "'";
    if (auto* field = dynamic_cast<const wxTextCtrl*>(control))
        out << " \"" << field->GetValue().ToUTF8().data() << "\"";
    return out.str();
}

// A scrolled ancestor below top whose scrollbar is active, or null.
wxWindow* ScrollingAncestor(wxWindow* control, wxWindow* top)
{
    for (wxWindow* w = control->GetParent(); w && w != top; w = w->GetParent())
        if (dynamic_cast<wxScrollHelper*>(w) &&
            (w->GetScrollRange(wxVERTICAL) > w->GetScrollThumb(wxVERTICAL) ||
             w->GetScrollRange(wxHORIZONTAL) > w->GetScrollThumb(wxHORIZONTAL)))
            return w;
    return nullptr;
}

// Runs a check until it finds no fault or 30 s pass, handling events
// between tries, and reports the faults of the last try: on a loaded
// machine the window manager frames, places and lays out a window some
// time after it is shown. Without retry the check runs once: from a timer
// inside a modal loop, events must not be handled again.
void ExpectSettled(const std::function<std::vector<std::string>()>& check, bool retry = true)
{
    std::vector<std::string> faults = check();
    if (retry && !faults.empty())
        GuiTest::WaitFor([&] { return (faults = check()).empty(); }, 30000);
    for (const std::string& fault : faults)
        ADD_FAILURE() << fault;
}

// The shown controls under window outside the window's client area (and
// outside a scrolled area that scrolls), or smaller than the toolkit draws
// them: a label's full text, a field's text.
std::vector<std::string> ControlsNotInside(wxTopLevelWindow* window, const char* name)
{
    std::vector<std::string> faults;
    const wxRect client(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize());
    std::function<void(wxWindow*)> check = [&](wxWindow* parent)
    {
        for (wxWindow* control : parent->GetChildren())
        {
            if (control->IsTopLevel() || !control->IsShown())
                continue;
            const wxRect rect = control->GetScreenRect();
            std::ostringstream fault;
            if (wxWindow* scrolled = ScrollingAncestor(control, window))
            {
                if (!client.Contains(wxRect(scrolled->GetScreenPosition(), scrolled->GetSize())))
                    fault << name << ": the scrolled area of " << Describe(control);
            }
            else if (!client.Contains(rect))
            {
                fault << name << ": " << Describe(control) << " at " << rect.x - client.x << ","
                      << rect.y - client.y << " " << rect.width << "x" << rect.height << " outside "
                      << client.width << "x" << client.height;
            }
            if (dynamic_cast<wxStaticText*>(control) || dynamic_cast<wxCheckBox*>(control) ||
                dynamic_cast<wxRadioButton*>(control) || dynamic_cast<wxAnyButton*>(control) ||
                dynamic_cast<wxComboBox*>(control))
            {
                control->InvalidateBestSize();
                const wxSize best = control->GetBestSize();
                if (rect.width < best.x || rect.height < best.y)
                    fault << name << ": " << Describe(control) << " clipped, " << rect.width << "x"
                          << rect.height << " for " << best.x << "x" << best.y;
            }
            if (auto* field = dynamic_cast<wxTextCtrl*>(control); field && field->IsSingleLine())
            {
                if (rect.width < FieldWidth(field, field->GetValue() + "0"))
                    fault << name << ": " << Describe(control) << " clipped";
            }
            if (!fault.str().empty())
                faults.push_back(fault.str());
            check(control);
        }
    };
    check(window);
    return faults;
}

void ExpectEveryControlInside(wxTopLevelWindow* window, const char* name, bool retry = true)
{
    ExpectSettled([=] { return ControlsNotInside(window, name); }, retry);
}

// Standard error into a file for the test's length, then read back.
class StandardErrorCapture
{
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        mSaved = dup(2);
        mPath = std::string(wxFileName::CreateTempFileName("vorn-stderr").ToUTF8().data());
        const int file = open(mPath.c_str(), O_WRONLY | O_TRUNC);
        dup2(file, 2);
        close(file);
    }
    ~StandardErrorCapture()
    {
        Stop();
        std::remove(mPath.c_str());
    }
    // The lines written meanwhile; standard error is given back.
    std::string Stop()
    {
        if (mSaved >= 0)
        {
            std::fflush(stderr);
            dup2(mSaved, 2);
            close(mSaved);
            mSaved = -1;
        }
        std::ifstream in(mPath);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    int mSaved = -1;
    std::string mPath;
};

// The lines of GTK warnings, criticals and toolkit assertions in a text.
std::vector<std::string> ToolkitComplaints(const std::string& text)
{
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find("Gtk-CRITICAL") != std::string::npos || line.find("Gtk-WARNING") != std::string::npos ||
            line.find("GLib-CRITICAL") != std::string::npos || line.find("assert") != std::string::npos)
            found.push_back(line);
    return found;
}

// The program's frame as the program opens it, at (50, 50), 800 x 600,
// under a window manager of its own when none runs and one is installed.
class WindowsFitTest : public ProgramFrameTest
{
protected:
    void SetUp() override
    {
        if (!WindowManagerRunning() && !Output("which openbox").empty())
        {
            mWindowManager = wxExecute("openbox --sm-disable", wxEXEC_ASYNC);
            GuiTest::WaitFor([] { return WindowManagerRunning(); });
        }
        ProgramFrameTest::SetUp();
        if (HasFatalFailure() || !OpensSample())
            return;
        ui->paths.push_back(std::string(VORN_SOURCE_DIR) + "/samples/exemple.ovx");
        RunCommand(frame, FenetreTunnel::IdOpen);
        ASSERT_EQ(gProjet.GetNumberOfCouches(), 2);
        GuiTest::Pump(300);
    }
    void TearDown() override
    {
        ProgramFrameTest::TearDown();
        if (mWindowManager > 0)
        {
            wxKill(mWindowManager, wxSIGTERM);
            GuiTest::WaitFor([] { return !WindowManagerRunning(); }, 3000);
        }
    }
    virtual bool OpensSample() const { return true; }
    void Command(int id)
    {
        RunCommand(frame, id);
        GuiTest::Pump(200);
    }
    // The main window's title, menu bar and toolbar on the screen.
    wxRect Commands() const
    {
        const wxRect outer = frame->GetScreenRect();
        return wxRect(outer.x, outer.y, outer.width, frame->ClientToScreen(wxPoint(0, 0)).y - outer.y);
    }
    // A shown palette lies off the commands, on the screen, above the frame.
    void ExpectPlaced(wxTopLevelWindow* palette, const char* name)
    {
        ASSERT_TRUE(GuiTest::WaitFor([palette] { return palette->IsShownOnScreen(); })) << name;
        GuiTest::Pump(200);
        const bool managed = mWindowManager > 0 || WindowManagerRunning();
        ExpectSettled(
            [=]
            {
                std::vector<std::string> faults;
                const wxRect place = palette->GetScreenRect();
                const std::string at = std::string(name) + " at " + std::to_string(place.x) + "," +
                                       std::to_string(place.y);
                if (place.Intersects(Commands()))
                    faults.push_back(at + " over the commands");
                if (!wxDisplay(0u).GetGeometry().Contains(place))
                    faults.push_back(at + " off the display");
                if (managed)
                {
                    const std::vector<unsigned long> order = Stacking();
                    const auto above = std::find(order.begin(), order.end(), XWindow(palette));
                    const auto below = std::find(order.begin(), order.end(), XWindow(frame));
                    if (above == order.end() || below == order.end())
                        faults.push_back(std::string(name) + " or the main window not stacked");
                    else if (above < below)
                        faults.push_back(std::string(name) + " behind the main window");
                }
                return faults;
            });
    }

    long mWindowManager = 0;
};

// The program as it starts without a project.
class NoProjectWindowsTest : public WindowsFitTest
{
protected:
    bool OpensSample() const override { return false; }
};

// A window mapped and settled: the window manager has framed it.
bool Mapped(wxTopLevelWindow* window)
{
    if (!GuiTest::WaitFor([window] { return window->IsShownOnScreen(); }))
        return false;
    GuiTest::Pump(200);
    return true;
}

// The client area holds what its sizer needs.
void ExpectContentHeld(wxTopLevelWindow* window, const char* name, bool retry = true)
{
    ExpectSettled(
        [=]
        {
            const wxSize client = window->GetClientSize(), content = window->GetSizer()->GetMinSize();
            if (client.x >= content.x && client.y >= content.y)
                return std::vector<std::string>{};
            return std::vector<std::string>{std::string(name) + " " + std::to_string(client.x) + "x" +
                                            std::to_string(client.y) + " for " + std::to_string(content.x) +
                                            "x" + std::to_string(content.y)};
        },
        retry);
}

// Runs action(window) from inside the running event loop (a modal one
// included) once for each shown window of that class, when it has been
// mapped for two ticks of 50 ms.
template <class Window> class WhenMapped : public wxTimer
{
public:
    explicit WhenMapped(std::function<void(Window*)> action) : mAction(std::move(action)) { Start(50); }
    void Notify() override
    {
        Window* window = GuiTest::FindShown<Window>();
        if (!window || !window->IsShownOnScreen() || window == mDone)
        {
            mTicks = 0;
            return;
        }
        if (++mTicks < 2)
            return;
        mDone = window;
        mAction(window);
    }

private:
    std::function<void(Window*)> mAction;
    Window* mDone = nullptr;
    int mTicks = 0;
};

// A button pressed as its click reaches its window.
void Press(wxWindow* button)
{
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

// The X windows of that title the server shows.
std::string VisibleWindows(const char* title)
{
    return Output(wxString::Format("xdotool search --onlyvisible --name '^%s$'", title));
}
} // namespace

TEST(PalettePosition, OwnPlaceRelativeToTheMainWindowOrBesideIt)
{
    const wxRect display(0, 0, 1280, 1024);
    const wxRect main(50, 50, 800, 600), commands(50, 50, 800, 100);
    // Clear of the commands: the palette's own place, moved with the main
    // window.
    EXPECT_EQ(PalettePosition(wxPoint(300, 300), main, commands, wxSize(230, 600), display),
              wxPoint(300, 300));
    EXPECT_EQ(PalettePosition(wxPoint(300, 300), wxRect(150, 70, 800, 600), wxRect(150, 70, 800, 100),
                              wxSize(230, 600), display),
              wxPoint(400, 320));
    // Over the commands, no room on the left: on the right of the main window.
    EXPECT_EQ(PalettePosition(wxPoint(10, 100), main, wxRect(50, 50, 800, 110), wxSize(240, 700), display),
              wxPoint(850, 100));
    // Room on the left: there.
    EXPECT_EQ(PalettePosition(wxPoint(10, 100), wxRect(400, 50, 800, 600), wxRect(400, 50, 800, 110),
                              wxSize(240, 700), display),
              wxPoint(160, 100));
    // No room either side: below the commands. Always on the display.
    EXPECT_EQ(PalettePosition(wxPoint(10, 100), wxRect(100, 50, 1150, 600), wxRect(100, 50, 1150, 110),
                              wxSize(240, 700), display),
              wxPoint(60, 160));
    EXPECT_EQ(PalettePosition(wxPoint(300, 300), wxRect(1000, 700, 800, 600), wxRect(1000, 700, 800, 100),
                              wxSize(230, 600), display),
              wxPoint(1050, 424));
}

TEST_F(WindowsFitTest, EveryControlInsideItsWindowAndPalettesBesideTheCommands)
{
    DialogOutilsCreation* creation = frame->GetCreationPalette();
    ExpectPlaced(creation, "Terrain");
    ExpectEveryControlInside(creation, "Terrain");

    Command(FenetreTunnel::IdModeVisualisation);
    ASSERT_EQ(gMode, 2);
    DialogVisualisation* visualisation = frame->GetVisualisationPalette();
    ExpectPlaced(visualisation, "Composition");
    ExpectEveryControlInside(visualisation, "Composition");

    DialogTete* head = frame->GetHeadDialog();
    head->Show();
    ASSERT_TRUE(GuiTest::WaitFor([head] { return head->IsShownOnScreen(); }));
    GuiTest::Pump(100);
    ExpectEveryControlInside(head, "Tête de tranchée");
    wxCommandEvent doubleFront(wxEVT_CHECKBOX, 31);
    doubleFront.SetInt(1);
    head->GetDoubleFrontBox()->SetValue(true);
    head->GetEventHandler()->ProcessEvent(doubleFront);
    GuiTest::Pump(100);
    ExpectEveryControlInside(head, "Tête de tranchée, double front");
    head->Show(false);

    DialogResultats* results = frame->GetResultsDialog();
    results->Show();
    ASSERT_TRUE(GuiTest::WaitFor([results] { return results->IsShownOnScreen(); }));
    RefreshDisplay();
    GuiTest::Pump(200);
    ASSERT_NE(results->GetGrid(), nullptr);
    ExpectEveryControlInside(results, "Résultats des calculs");
    wxGrid* grid = results->GetGrid();
    for (int r = 0; r < grid->GetNumberRows(); ++r)
        EXPECT_GE(grid->GetRowLabelSize(), grid->GetTextExtent(grid->GetRowLabelValue(r)).x)
            << grid->GetRowLabelValue(r).ToUTF8().data();
    results->Show(false);

    ComputeSeries(0.0, {-2.0, -1.0, 0.0, 1.0, 2.0}, {});
    DialogCourbes* curves = frame->GetCurvesDialog();
    curves->Show();
    ASSERT_TRUE(GuiTest::WaitFor([curves] { return curves->IsShownOnScreen(); }));
    curves->SelectVariable("V");
    GuiTest::Pump(100);
    ExpectEveryControlInside(curves, "Courbes");
    curves->Show(false);

    // The two modal dialogs, shown modeless for the look.
    auto* series = new DialogCalculs(frame);
    series->Show();
    ASSERT_TRUE(GuiTest::WaitFor([series] { return series->IsShownOnScreen(); }));
    GuiTest::Pump(100);
    ExpectEveryControlInside(series, "Calculs");
    series->Destroy();
    auto* cost = new DialogCout;
    cost->Show();
    ASSERT_TRUE(GuiTest::WaitFor([cost] { return cost->IsShownOnScreen(); }));
    GuiTest::Pump(100);
    ExpectEveryControlInside(cost, "Fonction de coût");
    cost->Destroy();
    GuiTest::Pump(50);
}

// No line of GTK warning, critical or assertion on the road of a user.
TEST_F(WindowsFitTest, TheUsersRoadPrintsNoToolkitComplaint)
{
    StandardErrorCapture capture;
    Command(FenetreTunnel::IdModeVisualisation);
    Command(FenetreTunnel::IdModeCreation);
    Command(FenetreTunnel::IdModeVisualisation);
    ComputeSeries(0.0, {-2.0, 0.0, 2.0}, {-1.0, 1.0});
    Command(39);
    frame->GetCurvesDialog()->SelectVariable("V");
    Command(37);
    Command(FenetreTunnel::IdToggleTete);
    Command(FenetreTunnel::IdToggleDiscontinuites);
    GuiTest::Pump(300);
    gProjet.GetUndoManager().SetSaved(true);
    frame->Close(true);
    GuiTest::WaitFor([] { return gFenetreTunnel == nullptr; });
    GuiTest::Pump(100);
    const std::string text = capture.Stop();
    EXPECT_EQ(ToolkitComplaints(text), std::vector<std::string>{}) << text;
}

// The dialogs fitted before they are shown, measured as the user sees them
// once the window manager has framed them; each answers its user.
TEST_F(WindowsFitTest, FittedDialogsHoldTheirContentOnceMapped)
{
    StandardErrorCapture capture;
    // The About box closes with Escape; the guard only ends a box that did
    // not close.
    bool aboutGuarded = false;
    WhenMapped<DialogAPropos> about(
        [](DialogAPropos* box)
        {
            // Inside the box's modal loop: checked once, no nested event
            // handling (the window was mapped two ticks ago).
            ExpectContentHeld(box, "A propos", false);
            wxKeyEvent escape(wxEVT_CHAR_HOOK);
            escape.m_keyCode = WXK_ESCAPE;
            box->GetEventHandler()->ProcessEvent(escape);
        });
    GuiTest::OneShot aboutGuard(
        [&aboutGuarded]
        {
            if (auto* box = GuiTest::FindShown<DialogAPropos>())
            {
                aboutGuarded = true;
                box->EndModal(wxID_CANCEL);
            }
        });
    aboutGuard.StartOnce(60000);
    Command(FenetreTunnel::IdAbout);
    aboutGuard.Stop();
    EXPECT_FALSE(aboutGuarded) << "Escape left the About box open";

    auto* point = new Dialog2Coordonnees("Coordonnées du point", "X", "Y");
    point->Show();
    ASSERT_TRUE(Mapped(point));
    ExpectContentHeld(point, "Coordonnées du point");
    point->Destroy();

    // A series started through the frame, launched from its dialog and
    // cancelled with "Annuler" once the progress window shows.
    // Steps of 5 cm: thousands of positions, far more than pass before the
    // progress window is seen.
    WhenMapped<DialogCalculs> launch(
        [](DialogCalculs* bounds)
        {
            bounds->GetField(1)->ChangeValue("0.05");
            Press(bounds->FindWindow(2));
        });
    size_t range = 0;
    WhenMapped<DialogWait> cancel(
        [&range](DialogWait* wait)
        {
            ExpectContentHeld(wait, "Avancement", false);
            ExpectEveryControlInside(wait, "Avancement", false);
            range = static_cast<size_t>(wait->GetGauge()->GetRange());
            Press(wait->FindWindow(3));
        });
    GuiTest::OneShot seriesGuard(
        []
        {
            if (auto* bounds = GuiTest::FindShown<DialogCalculs>())
                bounds->EndModal(wxID_CANCEL);
        });
    seriesGuard.StartOnce(60000);
    Command(FenetreTunnel::IdSeries);
    seriesGuard.Stop();
    ASSERT_GT(range, 1u) << "the progress window was not seen";
    EXPECT_EQ(gCancelCalculation, 1);
    size_t recorded = 0;
    for (const auto& row : gProjet.GetResultats().Values)
        recorded += row.size();
    EXPECT_LT(recorded, range);

    const std::string text = capture.Stop();
    EXPECT_EQ(ToolkitComplaints(text), std::vector<std::string>{}) << text;
}

// The trench-head dialog on a 1366 x 768 display stays inside it, its
// panel scrolling, through edits that refit it; nothing grows at a refit.
TEST_F(WindowsFitTest, RefitsKeepSizesAndTheHeadDialogInsideTheDisplay)
{
    const wxRect display(0, 0, 1366, 768);
    DialogTete* head = frame->GetHeadDialog();
    head->Show();
    ASSERT_TRUE(Mapped(head));
    ParametresTeteSimple* panel = head->GetSinglePanel();
    ChampTexte* width = panel->GetField(5);
    const int fieldHeight = width->GetSize().y;
    for (int edit = 0; edit < 10; ++edit)
    {
        width->ChangeValue(wxString::Format("%d", 20 + edit));
        panel->ApplyToTete();
        FitToContent(head, display);
        GuiTest::Pump(50);
    }
    EXPECT_EQ(width->GetSize().y, fieldHeight);
    EXPECT_EQ(panel->GetField(16)->GetSize().y, fieldHeight);
    const wxRect outer = head->GetScreenRect();
    EXPECT_TRUE(display.Contains(outer))
        << outer.x << "," << outer.y << " " << outer.width << "x" << outer.height;
    ExpectEveryControlInside(head, "Tête de tranchée, 1366 x 768");
    head->Show(false);

    DialogOutilsCreation* creation = frame->GetCreationPalette();
    const wxSize palette = creation->GetSize();
    for (int open = 0; open < 5; ++open)
    {
        gProjet.GetUndoManager().SetSaved(true);
        ui->paths.push_back(std::string(VORN_SOURCE_DIR) + "/samples/exemple.ovx");
        Command(FenetreTunnel::IdOpen);
    }
    EXPECT_EQ(creation->GetSize(), palette);
}

// Without a project neither palette shows nor answers, at start-up and
// after a file that cannot be opened.
TEST_F(NoProjectWindowsTest, PalettesOutOfReachWithoutAProject)
{
    const std::string bad = testing::TempDir() + "vorn-not-a-project.ovx";
    std::ofstream(bad) << "pas un projet";
    for (const char* when : {"at start-up", "after a failed open"})
    {
        GuiTest::Pump(500);
        for (wxTopLevelWindow* palette : {static_cast<wxTopLevelWindow*>(frame->GetCreationPalette()),
                                          static_cast<wxTopLevelWindow*>(frame->GetVisualisationPalette())})
        {
            const char* title = palette == frame->GetCreationPalette() ? "Terrain" : "Composition";
            EXPECT_FALSE(palette->IsShown()) << title << " " << when;
            EXPECT_FALSE(palette->IsEnabled()) << title << " " << when;
            EXPECT_EQ(VisibleWindows(title), "") << title << " " << when;
        }
        ui->paths.push_back(bad);
        Command(FenetreTunnel::IdOpen);
    }
    std::remove(bad.c_str());
}
