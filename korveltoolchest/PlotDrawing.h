#pragma once

// Drawing pieces shared by the plot widgets (wxCurve, wxSurface).

#include <wx/font.h>
#include <wx/gdicmn.h>

#include <string>

class wxDC;

// Six significant digits, general notation, '.' as decimal point whatever the
// process locale: the labels of plot axes and selected values.
std::string PlotLabel(double value);
// The labels' font: 8 points, default family, normal style and weight.
wxFont PlotFont();
// Draws text with its right edge at x and its vertical centre at y.
void DrawTextRightCentred(wxDC& dc, const std::string& text, int x, int y);
// Draws text centred on (x, y).
void DrawTextCentred(wxDC& dc, const std::string& text, int x, int y);
// The grey frame drawn around a plot that has the keyboard focus.
void DrawFocusFrame(wxDC& dc, const wxSize& size);
