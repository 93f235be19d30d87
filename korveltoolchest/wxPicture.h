#pragma once

#include <wx/colour.h>
#include <wx/image.h>
#include <wx/window.h>

#include <string>

class wxDC;

// A window that shows one image file scaled to fit, proportions kept, centred
// on a background colour. The file is read once per SetImage; every resize
// scales that original again, so quality never degrades through repeated
// rescaling and the file is not read again.
class wxPicture : public wxWindow
{
public:
    wxPicture(wxWindow* parent, const std::string& imagePath, int id = wxID_ANY,
              wxPoint pos = wxDefaultPosition, wxSize size = wxDefaultSize, long style = 0);
    ~wxPicture() override;

    // Loads the file and resizes the window to the image (10 x 10 when the
    // file cannot be read, then shown black).
    void SetImage(const std::string& path);
    // Repaints at once.
    void SetBackground(const wxColour& colour);
    const wxColour& GetBackground() const { return m_background; }

    // The image as currently scaled for the window (not ok when loading failed).
    const wxImage& GetScaledImage() const { return m_image; }
    // Paints the picture on any device context standing for a window of the given size.
    void Draw(wxDC& dc, const wxSize& size) const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    std::string m_path;
    wxImage m_original; // as read from the file
    wxImage m_image;    // m_original scaled to the window
    double m_aspect = 0.0;
    wxColour m_background;

    wxDECLARE_EVENT_TABLE();
};
