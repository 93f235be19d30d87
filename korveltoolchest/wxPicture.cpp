#include "wxPicture.h"

#include "KorInputFile.h"

#include <wx/bitmap.h>
#include <wx/brush.h>
#include <wx/dcbuffer.h>
#include <wx/log.h>

#include <algorithm>

wxBEGIN_EVENT_TABLE(wxPicture, wxWindow) EVT_PAINT(wxPicture::OnPaint) EVT_SIZE(wxPicture::OnSize)
    wxEND_EVENT_TABLE()

        wxPicture::wxPicture(wxWindow* parent, const std::string& imagePath, int id, wxPoint pos, wxSize size,
                             long style)
    : wxWindow(parent, id, pos, size, style, wxPanelNameStr)
{
    SetImage(imagePath);
    m_background = *wxWHITE;
    Refresh();
}

wxPicture::~wxPicture() = default;

void wxPicture::SetImage(const std::string& path)
{
    m_aspect = 0.0;
    m_path = path;
    m_original = wxImage();
    m_image = wxImage();
    // Only a regular file is read: a FIFO would block the toolkit's open.
    if (KorInputFile::IsRegularFile(path))
    {
        // An unreadable file shows as a black window, not as a message box.
        wxLogNull quiet;
        m_original.LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY, -1);
    }
    if (m_original.IsOk())
    {
        m_image = m_original;
        m_aspect = double(m_original.GetWidth()) / double(m_original.GetHeight());
        SetSize(m_original.GetWidth(), m_original.GetHeight());
    }
    else
    {
        m_aspect = 1.0;
        SetSize(10, 10);
    }
}

void wxPicture::SetBackground(const wxColour& colour)
{
    m_background = colour;
    Refresh();
}

void wxPicture::Draw(wxDC& dc, const wxSize& size) const
{
    if (!m_image.IsOk())
    {
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
        return;
    }
    dc.SetBackground(wxBrush(m_background, wxBRUSHSTYLE_SOLID));
    dc.Clear();
    dc.DrawBitmap(wxBitmap(m_image, -1), (size.GetWidth() - m_image.GetWidth()) / 2,
                  (size.GetHeight() - m_image.GetHeight()) / 2, false);
}

void wxPicture::OnPaint(wxPaintEvent& /*event*/)
{
    wxBufferedPaintDC dc(this);
    PrepareDC(dc);
    Draw(dc, GetSize());
}

// Fits the original image into the window: full height when the window is
// wider than the image at that height, else full width. Each side is at least
// one pixel, so a very thin window still gets a valid image.
void wxPicture::OnSize(wxSizeEvent& /*event*/)
{
    const wxSize size = GetSize();
    if (!m_original.IsOk() || size.GetWidth() <= 0 || size.GetHeight() <= 0 || m_aspect <= 0.0)
        return;
    int w = size.GetWidth();
    int h = size.GetHeight();
    // Compared in doubles: the width at full height may not fit an int.
    const double widthAtFullHeight = h * m_aspect;
    if (widthAtFullHeight < w)
        w = int(widthAtFullHeight);
    else
        h = int(w / m_aspect); // at most the height, since h * aspect >= w
    w = std::max(w, 1);
    h = std::max(h, 1);
    m_image = m_original.Scale(w, h, wxIMAGE_QUALITY_NORMAL);
    Refresh();
}
