#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

class wxTextCtrl;
class wxTopLevelWindow;

// Windows that fit their content in the toolkit's own fonts and theme. The
// size a window is built with was chosen for other fonts, so it is only a
// minimum; a palette's position is given for a main window standing at
// (50, 50) and is taken relative to wherever the main window stands.

// Every control of the window made at least as large as the toolkit needs
// to show it whole (a label's full text, a numeric field's text and five
// digits, GTK's own heights), every scrolled area of it as large as its
// content, then the window's client area grown to what its sizer needs:
// never shrunk below its current size (the one it was built with), never
// larger than its display, whose work area it is then moved into. Called
// once a window is built and again when its content changes; a fit done
// again leaves the sizes as they are. A window whose content is taller
// than its display gets the display's height, its scrolled areas
// scrolling. O(controls).
void FitToContent(wxTopLevelWindow* window);
// The same inside the given display rectangle instead of the window's.
void FitToContent(wxTopLevelWindow* window, const wxRect& display);

// The width a single-line field needs to show that text whole: the text's
// extent in the field's font and the toolkit's border and padding.
int FieldWidth(const wxTextCtrl* field, const wxString& text);

// Where a palette of that size goes: its position for a main window at
// (50, 50), moved with the main window (mainWindow, its outer rectangle);
// when it would cover
// the main window's title, menu bar or toolbar (commands), beside the main
// window instead, on its left when there is room, else on its right, else
// below the commands; always inside the display's work area.
wxPoint PalettePosition(const wxPoint& position, const wxRect& mainWindow, const wxRect& commands,
                        const wxSize& palette, const wxRect& display);

// Shows or hides a palette whose parent is the main window. The first time
// it shows it goes to PalettePosition, and again at its own first
// activation and at the main window's (a window manager places a window
// where it likes when it maps it); later shows keep where the user put it.
// A shown palette is raised above the main window, never left behind it;
// a hidden one is disabled too, and stays hidden until shown again here.
void ShowPalette(wxTopLevelWindow* palette, bool show, const wxPoint& position);
