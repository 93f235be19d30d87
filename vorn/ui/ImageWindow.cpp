#include "ImageWindow.h"

#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>

ImageWindow::ImageWindow(wxWindow* parent, const std::string& path, wxPoint position, wxSize size)
    : wxWindow(parent, wxID_ANY, position, size, 0, wxPanelNameStr)
{
    Bind(wxEVT_PAINT, &ImageWindow::OnPaint, this);
    SetImage(path);
}

ImageWindow::~ImageWindow()
{
    delete mImage;
}

void ImageWindow::SetImage(const std::string& path)
{
    delete mImage;
    mPath = path;
    mImage = new wxImage;
    {
        // A missing picture is no error to report.
        wxLogNull quiet;
        mImage->LoadFile(wxString::FromUTF8(path), wxBITMAP_TYPE_BMP, 0);
    }
    if (mImage->IsOk())
        SetSize(mImage->GetWidth(), mImage->GetHeight());
    else
        SetSize(10, 10);
    SetMinSize(GetSize());
}

bool ImageWindow::HasImage() const
{
    return mImage && mImage->IsOk();
}

void ImageWindow::OnPaint(wxPaintEvent&)
{
    wxBufferedPaintDC dc(this);
    PrepareDC(dc);
    if (HasImage())
        dc.DrawBitmap(wxBitmap(*mImage), 0, 0, false);
    else
    {
        dc.SetBackground(*wxBLACK_BRUSH);
        dc.Clear();
    }
}
