#pragma once

#include <wx/window.h>

#include <string>

class CoupeTerrain;
class wxBitmap;
class wxDC;

// The drawing of a terrain cross-section inside its CoupeTerrain: the layers
// as bands in their colours, the boreholes near the cut, the axis crossing
// with its chainage, both scale bars, the legend and the name. It holds no
// data: each paint reads the parent's section. The paint and the image
// export draw through the same DrawSection, so the file holds what is seen.
class FenetreCoupe : public wxWindow
{
public:
    explicit FenetreCoupe(CoupeTerrain* parent);

    // Where the drawing lies in a window of that size for a wanted
    // height/width ratio (not positive or not finite: the window's own):
    // width W and height H from the top, horizontal offset X0.
    static void GetArea(const wxSize& client, double ratio, int& width, int& height, int& offset);

    // Paints the section as a window of that size shows it.
    void DrawSection(wxDC& dc, const wxSize& size) const;
    // The drawing as the export writes it: (W + 2 X0) by H pixels.
    wxBitmap RenderImage() const;
    // Writes the drawing to path: PNG for a ".png", JPEG for ".jpg" or
    // ".jpeg" (any case), BMP otherwise; encoded in memory, then written
    // through a SafeFileWriter. False when the write failed, the old file
    // then as it was; reason, when given, gets the writer's French reason
    // (SafeFileWriter::GetReason).
    bool SaveImage(const std::string& path, std::string* reason = nullptr) const;
    // Asks for a file and writes the drawing there; a failed write says so.
    void ExportImage();

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    CoupeTerrain* mCoupe;
};
