#pragma once

#include "CoupeCoord.h"
#include "LumPoint.h"

#include <wx/panel.h>

#include <memory>
#include <string>
#include <vector>

class DialogPointsCoupe;
class wxBitmap;
class wxDC;
class wxImage;

// The section image of the section-points dialog, stretched over the whole
// panel, on which the user marks the two reference points (mode 1), the
// vertical scale by a drawn segment (mode 2) and the points of the chosen
// layer (mode 0). Every image point is kept as fractions of the panel's
// width and height (origin top left, y down), so a resize moves nothing.
// The panel draws the terrain's profiles along the section line over the
// image once the references are placed.
class ImageCoupe : public wxPanel
{
public:
    ImageCoupe(wxWindow* parent, const LumPoint& first, const LumPoint& second);
    ~ImageCoupe() override;

    // Reads the image; when it cannot (missing, or not a regular file: a
    // FIFO, a device, a folder), asks where it went. ImageLoaded tells
    // whether an image is shown.
    void LoadImage(const std::string& path);
    // References at those image positions; nothing when they share one x.
    void SetReferences(double x1, double y1, double x2, double y2);
    void SetVerticalScale(double k);
    void SetMode(int mode);
    // Height over width of the image file; 1 when none was read.
    float GetImageProportion() const
    {
        return mFileWidth > 0 ? static_cast<float>(mFileHeight) / static_cast<float>(mFileWidth) : 1.0f;
    }

    // Everything the panel shows, into any device context of that size
    // (the paint handler's, a test's bitmap).
    void Draw(wxDC& dc, const wxSize& size);

    // Plan points of the section line, scene units.
    LumPoint First;
    LumPoint Second;
    std::string ImagePath;
    bool ImageLoaded = false;
    // 0 layer points, 1 reference points, 2 vertical scale.
    int Mode = 0;
    // The layer list being edited (the dialog's layer choice entry).
    int CurrentList = 0;
    int SelectedPoint = -1;
    // World height in metres of the whole image; -1 until set.
    double VerticalScale = -1.0;
    bool ReferencesPlaced = false;
    CoupeCoord Ref1;
    CoupeCoord Ref2;
    // One list per project layer, by layer index.
    std::vector<std::vector<CoupeCoord>> Lists;

    void OnMouse(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);

private:
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    // The image stretched to the panel; false when it cannot be read. The
    // file is read once per ImagePath, not at every size.
    bool Rescale();
    DialogPointsCoupe* Dialog() const;
    void MouseScale(const wxMouseEvent& event, double fx, double fy);
    void MouseReferences(const wxMouseEvent& event, double fx, double fy);
    void MousePoints(const wxMouseEvent& event);
    static void DrawMarker(wxDC& dc, double fx, double fy, const wxSize& size);

    // The file as read, and the path it was read from.
    std::unique_ptr<wxImage> mImage;
    std::string mImageRead;
    std::unique_ptr<wxImage> mRescaled;
    std::unique_ptr<wxBitmap> mBitmap;
    // The file's own size in pixels.
    int mFileWidth = 0;
    int mFileHeight = 0;
};

// Shared by every panel: the first click of a two-click gesture (reference
// pair or scale segment) and the mouse's last position, as fractions.
extern int gImageCoupeClickState;
extern float gImageCoupeFirstClick[2];
extern float gImageCoupeLastClick[2];
