#include "PlotDrawing.h"

#include <wx/dc.h>
#include <wx/pen.h>

#include <locale>
#include <sstream>

std::string PlotLabel(double value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

wxFont PlotFont()
{
    return wxFont(8, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL, false, wxEmptyString,
                  wxFONTENCODING_DEFAULT);
}

void DrawTextRightCentred(wxDC& dc, const std::string& text, int x, int y)
{
    const wxString label = wxString::FromUTF8(text);
    const wxSize extent = dc.GetTextExtent(label);
    dc.DrawText(label, x - extent.GetWidth(), y - extent.GetHeight() / 2);
}

void DrawTextCentred(wxDC& dc, const std::string& text, int x, int y)
{
    const wxString label = wxString::FromUTF8(text);
    const wxSize extent = dc.GetTextExtent(label);
    dc.DrawText(label, x - extent.GetWidth() / 2, y - extent.GetHeight() / 2);
}

void DrawFocusFrame(wxDC& dc, const wxSize& size)
{
    const int w = size.GetWidth();
    const int h = size.GetHeight();
    dc.SetPen(wxPen(wxColour(150, 150, 150), 1, wxPENSTYLE_SOLID));
    const wxPoint frame[] = {wxPoint(0, 0), wxPoint(w - 1, 0), wxPoint(w - 1, h - 1), wxPoint(0, h - 1),
                             wxPoint(0, 0)};
    dc.DrawLines(5, frame);
}
