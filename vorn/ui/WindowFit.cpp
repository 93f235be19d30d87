#include "WindowFit.h"

#include <wx/anybutton.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/display.h>
#include <wx/glcanvas.h>
#include <wx/grid.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>
#include <wx/weakref.h>

#include <algorithm>
#include <memory>
#include <set>

namespace
{
// What a single-line field adds to its text's width (its border and
// padding) and the height it needs, measured once on a field the toolkit
// has not laid out yet: a laid-out field answers from its current size, so
// a field measured again at each fit would grow at each fit.
struct FieldMetrics
{
    int padding = -1;
    int height = 0;
};

const FieldMetrics& MeasuredField(wxWindow* parent)
{
    static FieldMetrics metrics;
    if (metrics.padding < 0)
    {
        auto* probe = new wxTextCtrl(parent, wxID_ANY);
        probe->Hide();
        metrics.padding = probe->GetSizeFromTextSize(0).x;
        metrics.height = probe->GetBestSize().y;
        probe->Destroy();
    }
    return metrics;
}

// The least a numeric field shows: its text or five digits, whichever is
// wider, and a digit more for the caret.
wxSize FieldSize(wxTextCtrl* field)
{
    const wxString text = field->GetValue().length() > 5 ? field->GetValue() : wxString("00000");
    return wxSize(FieldWidth(field, text + "0"), MeasuredField(field->GetParent()).height);
}

// The minimum a control needs, or wxDefaultSize when the control keeps the
// one it has (canvases, plots, sliders, multi-line fields).
wxSize NeededSize(wxWindow* control)
{
    if (auto* field = dynamic_cast<wxTextCtrl*>(control))
        return field->IsSingleLine() ? FieldSize(field) : wxDefaultSize;
    if (dynamic_cast<wxStaticText*>(control) || dynamic_cast<wxCheckBox*>(control) ||
        dynamic_cast<wxRadioButton*>(control) || dynamic_cast<wxAnyButton*>(control) ||
        dynamic_cast<wxRadioBox*>(control) || dynamic_cast<wxComboBox*>(control) ||
        dynamic_cast<wxChoice*>(control))
    {
        control->InvalidateBestSize();
        return control->GetBestSize();
    }
    return wxDefaultSize;
}

// Raises the minimum sizes under window, depth first; a scrolled area
// (not a grid, which scrolls its own cells) then takes its content's size.
void GrowControls(wxWindow* window)
{
    for (wxWindow* child : window->GetChildren())
    {
        if (child->IsTopLevel())
            continue;
        const wxSize needed = NeededSize(child);
        if (needed != wxDefaultSize)
        {
            wxSize minimum = child->GetMinSize();
            minimum.IncTo(needed);
            child->SetMinSize(minimum);
            continue;
        }
        if (dynamic_cast<wxGrid*>(child) || dynamic_cast<wxGLCanvas*>(child))
            continue;
        GrowControls(child);
        auto* scrolled = dynamic_cast<wxScrollHelper*>(child);
        if (scrolled && child->GetSizer())
        {
            // Its border and a vertical scrollbar's width besides the content.
            wxSize content = child->GetSizer()->GetMinSize() + (child->GetSize() - child->GetClientSize());
            content.x += wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, child);
            wxSize minimum = child->GetMinSize();
            minimum.IncTo(content);
            child->SetMinSize(minimum);
            child->FitInside();
        }
    }
}

// The size the window manager's frame adds to a window. A window not shown
// yet learns its own only once it is mapped; until then it is given room
// for a frame at least as large as an ordinary title bar and borders, so
// that once framed it still lies inside the display.
wxSize Decorations(const wxTopLevelWindow* window)
{
    const wxSize own = window->GetSize() - window->GetClientSize();
    if (own.y > 0 || window->IsShownOnScreen())
        return own;
    return wxSize(16, 40);
}

wxRect WorkArea(const wxWindow* window)
{
    const int index = wxDisplay::GetFromWindow(window);
    return wxDisplay(index == wxNOT_FOUND ? 0u : static_cast<unsigned>(index)).GetClientArea();
}

// The rectangle moved (not resized) into the area, its top left first.
wxPoint Inside(wxRect rect, const wxRect& area)
{
    rect.x = std::max(area.x, std::min(rect.x, area.GetRight() + 1 - rect.width));
    rect.y = std::max(area.y, std::min(rect.y, area.GetBottom() + 1 - rect.height));
    return rect.GetTopLeft();
}

// Palettes placed at least once, and main windows activated at least once
// (a window manager has placed them); each window leaves its set when it is
// destroyed.
std::set<wxWindow*> gPlacedPalettes;
std::set<wxWindow*> gSettledMainWindows;

void Remember(std::set<wxWindow*>& windows, wxWindow* window)
{
    if (!windows.insert(window).second)
        return;
    window->Bind(wxEVT_DESTROY,
                 [&windows, window](wxWindowDestroyEvent& event)
                 {
                     if (event.GetEventObject() == window)
                         windows.erase(window);
                     event.Skip();
                 });
}

// Palettes hidden by ShowPalette. wxGTK may still map one whose show was
// pending when it was hidden (a palette shown and hidden again before the
// window manager framed it): that late show is undone.
std::set<wxWindow*> gHiddenPalettes;

void UndoLateShows(wxTopLevelWindow* palette)
{
    static std::set<wxWindow*> watched;
    if (watched.count(palette))
        return;
    Remember(watched, palette);
    wxWeakRef<wxTopLevelWindow> weak(palette);
    palette->Bind(wxEVT_SHOW,
                  [weak](wxShowEvent& event)
                  {
                      event.Skip();
                      if (!event.IsShown() || !weak)
                          return;
                      weak->CallAfter(
                          [weak]
                          {
                              if (weak && gHiddenPalettes.count(weak.get()) && weak->IsShown())
                                  weak->Show(false);
                          });
                  });
    palette->Bind(wxEVT_DESTROY,
                  [palette](wxWindowDestroyEvent& event)
                  {
                      if (event.GetEventObject() == palette)
                          gHiddenPalettes.erase(palette);
                      event.Skip();
                  });
}

// The palette at PalettePosition relative to its parent as it is now,
// raised above it.
void Place(wxTopLevelWindow* palette, const wxPoint& position)
{
    wxWindow* main = palette->GetParent();
    const wxRect outer = main->GetScreenRect();
    // The title, menu bar and toolbar: from the top to the client area; a
    // main window not mapped yet has no client origin, and then all that is
    // not client area counts.
    const int client = main->ClientToScreen(wxPoint(0, 0)).y;
    const int top = client > outer.y ? client - outer.y : outer.height - main->GetClientSize().y;
    const wxRect commands(outer.x, outer.y, outer.width, top);
    palette->Move(PalettePosition(position, outer, commands, palette->GetSize(), WorkArea(main)));
    palette->Raise();
}

// Once, at the first activation of source, Place(palette) after the events
// of the window manager's placement; source is then a window whose place is
// known.
void PlaceAgainAtFirstActivation(wxWindow* source, wxTopLevelWindow* palette, const wxPoint& position)
{
    wxWeakRef<wxTopLevelWindow> weak(palette);
    auto done = std::make_shared<bool>(false);
    source->Bind(wxEVT_ACTIVATE,
                 [source, weak, position, done](wxActivateEvent& event)
                 {
                     event.Skip();
                     if (!event.GetActive() || *done)
                         return;
                     *done = true;
                     if (source != weak.get())
                         Remember(gSettledMainWindows, source);
                     source->CallAfter(
                         [weak, position]
                         {
                             if (weak && weak->IsShown())
                                 Place(weak, position);
                         });
                 });
}
} // namespace

int FieldWidth(const wxTextCtrl* field, const wxString& text)
{
    return field->GetTextExtent(text).x + MeasuredField(field->GetParent()).padding;
}

void FitToContent(wxTopLevelWindow* window)
{
    FitToContent(window, WorkArea(window));
}

void FitToContent(wxTopLevelWindow* window, const wxRect& area)
{
    GrowControls(window);
    wxSizer* sizer = window->GetSizer();
    if (!sizer)
        return;
    const wxSize decorations = Decorations(window);
    const wxSize room = area.GetSize() - decorations;
    wxSize client = sizer->ComputeFittingClientSize(window);
    client.IncTo(window->GetClientSize());
    client.DecTo(room);
    window->SetMinClientSize(
        wxSize(std::min(sizer->GetMinSize().x, client.x), std::min(sizer->GetMinSize().y, client.y)));
    // wxGTK maps a window that was never shown at no size at all when it is
    // given its own client size again before the window manager has told
    // its decorations: only a size that changes is set.
    if (client != window->GetClientSize())
        window->SetClientSize(client);
    window->Layout();
    const wxRect outer(window->GetPosition(), client + decorations);
    const wxPoint inside = Inside(outer, area);
    if (inside != outer.GetTopLeft())
        window->Move(inside);
}

wxPoint PalettePosition(const wxPoint& position, const wxRect& mainWindow, const wxRect& commands,
                        const wxSize& palette, const wxRect& display)
{
    wxRect place(mainWindow.GetTopLeft() + (position - wxPoint(50, 50)), palette);
    if (place.Intersects(commands))
    {
        if (mainWindow.x - palette.x >= display.x)
            place.x = mainWindow.x - palette.x;
        else if (mainWindow.GetRight() + 1 + palette.x <= display.GetRight() + 1)
            place.x = mainWindow.GetRight() + 1;
        else
            place.y = commands.GetBottom() + 1;
    }
    return Inside(place, display);
}

void ShowPalette(wxTopLevelWindow* palette, bool show, const wxPoint& position)
{
    UndoLateShows(palette);
    palette->Enable(show);
    if (!show)
    {
        gHiddenPalettes.insert(palette);
        palette->Show(false);
        return;
    }
    gHiddenPalettes.erase(palette);
    palette->Show(true);
    palette->Raise();
    wxWindow* main = palette->GetParent();
    if (!main || gPlacedPalettes.count(palette))
        return;
    Remember(gPlacedPalettes, palette);
    Place(palette, position);
    // A window manager places a window when it maps it, wherever it likes,
    // and may stack a palette mapped meanwhile under the main window: at the
    // first activation of the palette, and of the main window when that has
    // not come yet, both places are known and the palette goes beside the
    // main window again, above it.
    PlaceAgainAtFirstActivation(palette, palette, position);
    if (!gSettledMainWindows.count(main))
        PlaceAgainAtFirstActivation(main, palette, position);
}
