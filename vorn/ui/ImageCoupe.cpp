#include "ImageCoupe.h"

#include "CoupeTerrain.h"
#include "DialogPointsCoupe.h"
#include "FenetreTunnel.h"
#include "KorInputFile.h"
#include "KorNumbers.h"
#include "KorString.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedValues.h"

#include <wx/bitmap.h>
#include <wx/dcbuffer.h>
#include <wx/image.h>
#include <wx/log.h>

#include <cmath>

int gImageCoupeClickState = 0;
float gImageCoupeFirstClick[2] = {0.0f, 0.0f};
float gImageCoupeLastClick[2] = {0.0f, 0.0f};

namespace
{
const char* const kImageFilter = "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg";

// The image file decoded, or an invalid image. Only a regular file is
// handed to the toolkit: it would wait for ever to open a FIFO and never
// end reading /dev/zero. The toolkit shows no error box of its own.
wxImage ReadImageFile(const std::string& path)
{
    if (!KorInputFile::IsRegularFile(path))
        return wxImage();
    wxLogNull quiet;
    return wxImage(wxString::FromUTF8(path), wxBITMAP_TYPE_ANY);
}

void SetToolCursor(wxWindow* window, FenetreTunnel::ToolCursor which)
{
    if (gFenetreTunnel)
        if (wxCursor* cursor = gFenetreTunnel->GetToolCursor(which))
            window->SetCursor(*cursor);
}
} // namespace

ImageCoupe::ImageCoupe(wxWindow* parent, const LumPoint& first, const LumPoint& second)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE), First(first),
      Second(second), Lists(gProjet.GetNumberOfCouches())
{
    SetBackgroundColour(wxColour(255, 255, 255));
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ImageCoupe::OnPaint, this);
    Bind(wxEVT_SIZE, &ImageCoupe::OnSize, this);
    for (const wxEventTypeTag<wxMouseEvent>& type :
         {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_UP,
          wxEVT_MIDDLE_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_UP, wxEVT_RIGHT_DCLICK, wxEVT_MOTION,
          wxEVT_LEAVE_WINDOW, wxEVT_ENTER_WINDOW, wxEVT_MOUSEWHEEL})
        Bind(type, &ImageCoupe::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &ImageCoupe::OnKeyDown, this);
}

ImageCoupe::~ImageCoupe() = default;

DialogPointsCoupe* ImageCoupe::Dialog() const
{
    return dynamic_cast<DialogPointsCoupe*>(GetParent());
}

bool ImageCoupe::Rescale()
{
    mBitmap.reset();
    mRescaled.reset();
    if (!mImage || mImageRead != ImagePath)
    {
        mImageRead = ImagePath;
        mImage = std::make_unique<wxImage>(ReadImageFile(ImagePath));
    }
    if (!mImage->IsOk())
        return false;
    mFileWidth = mImage->GetWidth();
    mFileHeight = mImage->GetHeight();
    const wxSize size = GetClientSize();
    if (size.x > 0 && size.y > 0)
        mRescaled = std::make_unique<wxImage>(mImage->Scale(size.x, size.y, wxIMAGE_QUALITY_NORMAL));
    return true;
}

void ImageCoupe::LoadImage(const std::string& path)
{
    ImagePath = path;
    ImageLoaded = true;
    mImage.reset(); // a load reads the file again
    if (Rescale())
        return;
    const std::string file = GetFileFromPath(ImagePath);
    GetModelUi().MessageBox("Impossible de trouver l'image '" + file + "'\n  Veuillez indiquer son chemin.",
                            "Erreur", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
    ModelUi::FileRequest request;
    request.Title = "Veuillez entrer le chemin de l'image '" + file + "'";
    request.Wildcard = kImageFilter;
    const std::string chosen = GetModelUi().AskFilePath(request);
    if (!chosen.empty())
    {
        ImagePath = chosen;
        mImage.reset();
    }
    ImageLoaded = Rescale();
    mBitmap.reset();
}

void ImageCoupe::OnSize(wxSizeEvent&)
{
    mRescaled.reset();
    if (ImageLoaded)
        Rescale();
    mBitmap.reset();
    Refresh();
}

void ImageCoupe::SetMode(int mode)
{
    Mode = mode;
    SelectedPoint = -1;
    Refresh();
}

void ImageCoupe::SetVerticalScale(double k)
{
    VerticalScale = k;
    if (DialogPointsCoupe* dialog = Dialog())
    {
        const float value = static_cast<float>(k);
        dialog->SetHeightLabel(value);
        dialog->ShowTerrainSection();
    }
}

void ImageCoupe::SetReferences(double x1, double y1, double x2, double y2)
{
    if (std::fabs(x1 - x2) < 1e-5)
        return;
    Ref1.X = x1;
    Ref1.Y = y1;
    Ref2.X = x2;
    Ref2.Y = y2;
    if (DialogPointsCoupe* dialog = Dialog())
    {
        const LumPoint w1 = SceneToWorld(gProjet, First), w2 = SceneToWorld(gProjet, Second);
        const float distance = static_cast<float>(std::hypot(w1.x - w2.x, w1.y - w2.y));
        const float width = static_cast<float>(distance / std::fabs(x1 - x2));
        dialog->SetWidthLabel(width);
        if (VerticalScale < 0)
        {
            // References at one image height say nothing of the vertical
            // scale: the image keeps its proportions.
            const double r = std::fabs(y1 - y2) < 1e-5 ? 0.0 : std::fabs(w1.z - w2.z) / std::fabs(y1 - y2);
            VerticalScale = r >= 1 ? r : static_cast<float>(GetImageProportion() * width);
            const float shown = static_cast<float>(VerticalScale);
            dialog->SetHeightLabel(shown);
        }
        dialog->ShowTerrainSection();
    }
    ReferencesPlaced = true;
}

void ImageCoupe::OnMouse(wxMouseEvent& event)
{
    SetFocus();
    const wxSize size = GetClientSize();
    const double fx = size.x > 0 ? double(event.GetX()) / size.x : 0.0;
    const double fy = size.y > 0 ? double(event.GetY()) / size.y : 0.0;
    if (Mode == 2)
        MouseScale(event, fx, fy);
    else if (Mode == 1)
        MouseReferences(event, fx, fy);
    else
        MousePoints(event);
}

void ImageCoupe::MouseScale(const wxMouseEvent& event, double fx, double fy)
{
    SetToolCursor(this, FenetreTunnel::CursorEchelle);
    if (event.RightDown())
    {
        SetMode(0);
        return;
    }
    gImageCoupeLastClick[0] = static_cast<float>(fx);
    gImageCoupeLastClick[1] = static_cast<float>(fy);
    if (event.LeftDown())
    {
        if (gImageCoupeClickState == 0)
        {
            gImageCoupeFirstClick[0] = gImageCoupeLastClick[0];
            gImageCoupeFirstClick[1] = gImageCoupeLastClick[1];
            gImageCoupeClickState = 1;
            Refresh();
            return;
        }
        const double d = std::fabs(gImageCoupeLastClick[1] - gImageCoupeFirstClick[1]);
        if (d > 1e-5)
        {
            std::string text;
            if (GetModelUi().AskText("Distance du segment dessiné", "Échelle verticale", text))
            {
                const float v = static_cast<float>(TypedNumber(text));
                const float k = static_cast<float>(v / d);
                // "1e999" would put both references at one height; a length
                // whose scale overflows (3e38 over a third of the image)
                // would make the profile NaN.
                if (!std::isfinite(v) || v <= 0 || !std::isfinite(k) || !(k > 0))
                    GetModelUi().MessageBox(
                        "La valeur entrée ne correspond pas à une échelle : ce doit être un réel > 0",
                        "Erreur", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
                else
                {
                    if (Dialog())
                        Ref2.Y = Ref1.Y - SceneToWorldLength(gProjet, Second.z - First.z) / k;
                    SetVerticalScale(k);
                }
            }
            SetMode(0);
        }
    }
    if (gImageCoupeClickState > 0)
        Refresh();
}

void ImageCoupe::MouseReferences(const wxMouseEvent& event, double fx, double fy)
{
    SetToolCursor(this, FenetreTunnel::CursorTarget);
    if (event.RightDown())
    {
        SetMode(0);
        return;
    }
    if (!event.LeftDown())
        return;
    if (gImageCoupeClickState == 0)
    {
        gImageCoupeFirstClick[0] = static_cast<float>(fx);
        gImageCoupeFirstClick[1] = static_cast<float>(fy);
        gImageCoupeClickState = 1;
        Refresh();
        return;
    }
    gImageCoupeLastClick[0] = static_cast<float>(fx);
    gImageCoupeLastClick[1] = static_cast<float>(fy);
    VerticalScale = -1.0;
    const double y1 = gImageCoupeFirstClick[1];
    const char* refusal = nullptr;
    if (Second.z < First.z && y1 > fy)
        refusal = "Le deuxième point doit être placé plus bas que le premier pour correspondre au modèle de "
                  "terrain";
    else if (Second.z > First.z && y1 < fy)
        refusal = "Le deuxième point doit être placé plus haut que le premier pour correspondre au modèle de "
                  "terrain";
    if (refusal)
    {
        GetModelUi().MessageBox(refusal, "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
        return;
    }
    SetReferences(gImageCoupeFirstClick[0], y1, fx, fy);
    SetMode(0);
}

void ImageCoupe::MousePoints(const wxMouseEvent& event)
{
    SetCursor(wxNullCursor);
    if (CurrentList < 1 || CurrentList >= static_cast<int>(Lists.size()) || !event.LeftDown())
        return;
    const wxSize size = GetClientSize();
    std::vector<CoupeCoord>& list = Lists[CurrentList];
    for (size_t i = 0; i < list.size(); ++i)
    {
        const int px = static_cast<int>(list[i].X * size.x), py = static_cast<int>(list[i].Y * size.y);
        if (std::abs(px - event.GetX()) <= 2 && std::abs(py - event.GetY()) <= 2)
        {
            SelectedPoint = static_cast<int>(i);
            Refresh();
            return;
        }
    }
    CoupeCoord point;
    point.X = static_cast<float>(event.GetX()) / static_cast<float>(size.x);
    point.Y = static_cast<float>(event.GetY()) / static_cast<float>(size.y);
    list.push_back(point);
    SelectedPoint = static_cast<int>(list.size()) - 1;
    Refresh();
}

void ImageCoupe::OnKeyDown(wxKeyEvent& event)
{
    if (Mode != 0 || event.GetKeyCode() != 127 || SelectedPoint < 0 || CurrentList < 0 ||
        CurrentList >= static_cast<int>(Lists.size()))
        return;
    std::vector<CoupeCoord>& list = Lists[CurrentList];
    if (SelectedPoint < static_cast<int>(list.size()))
        list.erase(list.begin() + SelectedPoint);
    SelectedPoint = -1;
    Refresh();
}

void ImageCoupe::OnPaint(wxPaintEvent&)
{
    wxBufferedPaintDC dc(this);
    Draw(dc, GetClientSize());
}

void ImageCoupe::DrawMarker(wxDC& dc, double fx, double fy, const wxSize& size)
{
    const int px = static_cast<int>(fx * size.x), py = static_cast<int>(fy * size.y);
    dc.DrawRectangle(px - 2, py - 2, 5, 5);
}

void ImageCoupe::Draw(wxDC& dc, const wxSize& size)
{
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!mBitmap && mRescaled)
        mBitmap = std::make_unique<wxBitmap>(*mRescaled);
    if (mBitmap)
        dc.DrawBitmap(*mBitmap, 0, 0);

    const wxColour red(255, 0, 0);
    dc.SetBrush(wxBrush(red));
    dc.SetPen(wxPen(red, 1));
    if (ReferencesPlaced && Mode != 1)
    {
        DrawMarker(dc, Ref1.X, Ref1.Y, size);
        DrawMarker(dc, Ref2.X, Ref2.Y, size);
    }
    else if (Mode == 1 && gImageCoupeClickState == 1)
        DrawMarker(dc, gImageCoupeFirstClick[0], gImageCoupeFirstClick[1], size);

    const DialogPointsCoupe* dialog = Dialog();
    const CoupeTerrain* section = dialog ? dialog->GetTerrainSection() : nullptr;
    // The section's abscissae are in plan, as Coupe::GetScenePoint reads the
    // image: a point clicked on a profile lands on its layer.
    const double L = (Second - First).Norm2D();
    if (section && std::fabs(Ref2.X - Ref1.X) > 1e-5 && L > 1e-5 && VerticalScale > 0)
    {
        dc.SetPen(wxPen(wxColour(100, 100, 100), 1));
        // The world altitude of the image's bottom edge.
        const double z0 = SceneToWorldLength(gProjet, First.z) - (1.0 - Ref1.Y) * VerticalScale;
        for (const auto& profile : section->Data.Profiles)
        {
            if (profile.size() < 2)
                continue;
            std::vector<wxPoint> points;
            for (const SectionPoint& p : profile)
            {
                const double x = size.x * (Ref1.X + p.Abscissa * (Ref2.X - Ref1.X) / L);
                const double y = size.y - (SceneToWorld(gProjet, p.Point).z - z0) * size.y / VerticalScale;
                points.emplace_back(static_cast<int>(x), static_cast<int>(y));
            }
            dc.DrawLines(static_cast<int>(points.size()), points.data());
        }
    }

    const wxColour blue(0, 0, 255), grey(100, 100, 100);
    if (CurrentList >= 0 && CurrentList < static_cast<int>(Lists.size()))
    {
        const std::vector<CoupeCoord>& list = Lists[CurrentList];
        dc.SetBrush(wxBrush(blue));
        dc.SetPen(wxPen(blue, 1));
        for (const CoupeCoord& c : list)
            DrawMarker(dc, c.X, c.Y, size);
        if (SelectedPoint >= 0 && SelectedPoint < static_cast<int>(list.size()))
        {
            const wxColour orange(255, 165, 55);
            dc.SetBrush(wxBrush(orange));
            dc.SetPen(wxPen(orange, 1));
            DrawMarker(dc, list[SelectedPoint].X, list[SelectedPoint].Y, size);
        }
    }
    dc.SetBrush(wxBrush(grey));
    dc.SetPen(wxPen(grey, 1));
    for (int l = 0; l < static_cast<int>(Lists.size()); ++l)
        if (l != CurrentList)
            for (const CoupeCoord& c : Lists[l])
                DrawMarker(dc, c.X, c.Y, size);
    if (Mode == 2 && gImageCoupeClickState == 1)
    {
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.SetPen(*wxBLACK_PEN);
        DrawMarker(dc, gImageCoupeFirstClick[0], gImageCoupeFirstClick[1], size);
        const int x = static_cast<int>(gImageCoupeFirstClick[0] * size.x);
        dc.DrawLine(x, static_cast<int>(gImageCoupeFirstClick[1] * size.y), x,
                    static_cast<int>(gImageCoupeLastClick[1] * size.y));
    }
}
