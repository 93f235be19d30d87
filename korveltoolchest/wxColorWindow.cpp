#include "wxColorWindow.h"

#include <wx/brush.h>
#include <wx/dcclient.h>

wxBEGIN_EVENT_TABLE(wxColorWindow, wxWindow) EVT_PAINT(wxColorWindow::OnPaint)
    EVT_LEFT_DOWN(wxColorWindow::OnColor) wxEND_EVENT_TABLE()

        wxColorWindow::wxColorWindow(wxWindow* parent, const wxColour& colour, Callback callback, int id,
                                     const wxPoint& pos, const wxSize& size, long style,
                                     const std::string& name)
    : wxWindow(parent, id, pos, size, style, wxString::FromUTF8(name)), m_colour(colour), m_callback(callback)
{
}

wxColorWindow::~wxColorWindow() = default;

void wxColorWindow::SetColor(const wxColour& colour)
{
    m_colour = colour;
    Refresh();
}

void wxColorWindow::Draw(wxDC& dc, const wxSize& /*size*/) const
{
    dc.SetBackground(wxBrush(m_colour, wxBRUSHSTYLE_SOLID));
    dc.Clear();
}

void wxColorWindow::OnPaint(wxPaintEvent& /*event*/)
{
    wxPaintDC dc(this);
    PrepareDC(dc);
    Draw(dc, GetClientSize());
}

void wxColorWindow::OnColor(wxMouseEvent& /*event*/)
{
    if (m_callback)
        m_callback(this);
}
