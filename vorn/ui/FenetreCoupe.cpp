#include "FenetreCoupe.h"

#include "Couche.h"
#include "CoupeTerrain.h"
#include "KorNumbers.h"
#include "KorString.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SafeFileWriter.h"

#include <wx/bitmap.h>
#include <wx/checkbox.h>
#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <sstream>
#include <vector>

namespace
{
// Pixel coordinates far outside any window (the missed axis' -10000) are
// clamped so the conversion to int stays defined.
int ToPixel(double v)
{
    if (!std::isfinite(v))
        return v > 0 ? 1000000 : -1000000;
    return static_cast<int>(std::clamp(v, -1e6, 1e6));
}

std::string General(double v)
{
    std::ostringstream text;
    text << v;
    return text.str();
}

// Fills a scale bar: black from the first to the last used graduation,
// then every second interval white.
void DrawScaleBar(wxDC& dc, const std::vector<sScalePoint>& scale, size_t first, size_t last,
                  const std::function<wxRect(double, double)>& band)
{
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.DrawRectangle(band(scale[first].position, scale[last].position));
    dc.SetBrush(*wxWHITE_BRUSH);
    for (size_t k = first; k + 1 <= last; k += 2)
        dc.DrawRectangle(band(scale[k].position, scale[k + 1].position));
}

// The graduations the bar uses: an entry before 0 or past 1 is left out.
bool UsedRange(const std::vector<sScalePoint>& scale, size_t& first, size_t& last)
{
    if (scale.empty())
        return false;
    first = scale[0].position < 0 ? 1 : 0;
    last = scale.size() - 1;
    if (scale[last].position > 1 && last > 0)
        --last;
    return first <= last && last < scale.size();
}
} // namespace

FenetreCoupe::FenetreCoupe(CoupeTerrain* parent) : wxWindow(parent, wxID_ANY), mCoupe(parent)
{
    // Everything is painted through a buffer: no erase, no flicker.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &FenetreCoupe::OnPaint, this);
    Bind(wxEVT_SIZE, &FenetreCoupe::OnSize, this);
}

void FenetreCoupe::GetArea(const wxSize& client, double ratio, int& width, int& height, int& offset)
{
    const double w = client.x, h = client.y;
    if (!(ratio > 0) || !std::isfinite(ratio))
        ratio = w > 0 && h > 0 ? h / w : 1.0;
    if (w >= h / ratio)
    {
        width = static_cast<int>(h / ratio);
        height = static_cast<int>(h);
        offset = static_cast<int>((w - h / ratio) * 0.5);
    }
    else
    {
        width = static_cast<int>(w);
        height = static_cast<int>(w * ratio);
        offset = 0;
    }
}

void FenetreCoupe::DrawSection(wxDC& dc, const wxSize& size) const
{
    static const SectionData kEmpty;
    const SectionData& data = mCoupe ? mCoupe->Data : kEmpty;
    int W = 0, H = 0, X0 = 0;
    GetArea(size, mCoupe ? mCoupe->RatioImage : -1.0, W, H, X0);

    dc.SetFont(wxFont(8, wxFONTFAMILY_DEFAULT, wxFONTSTYLE_NORMAL, wxFONTWEIGHT_NORMAL));
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.SetBrush(*wxBLACK_BRUSH);
    dc.SetPen(*wxBLACK_PEN);
    dc.Clear();

    const double range = data.DrawTop - data.DrawBottom;
    auto map = [&](double a, double z)
    { return wxPoint(ToPixel(X0 + W * a / data.Length), ToPixel(H - (z - data.DrawBottom) * H / range)); };

    // Layer bands, later layers over earlier ones; the top one's outline is
    // kept for the sky.
    std::vector<wxPoint> top;
    for (size_t i = 0; i < data.Profiles.size(); ++i)
    {
        const Couche* couche = gProjet.GetCouche(static_cast<int>(i));
        const Couche::sColour colour = couche ? couche->GetColour() : Couche::sColour{};
        dc.SetBrush(wxBrush(wxColour(colour.R, colour.G, colour.B)));
        dc.SetPen(*wxBLACK_PEN);
        const auto& profile = data.Profiles[i];
        if (profile.size() >= 2)
        {
            std::vector<wxPoint> polygon;
            polygon.reserve(profile.size() + 2);
            polygon.emplace_back(map(profile.front().Abscissa, 0).x, H);
            for (const SectionPoint& p : profile)
                polygon.push_back(map(p.Abscissa, p.Point.z));
            polygon.emplace_back(map(profile.back().Abscissa, 0).x, H);
            dc.DrawPolygon(static_cast<int>(polygon.size()), polygon.data(), 0, 0, wxODDEVEN_RULE);
            if (i == 0)
                top = polygon;
        }
        if (i < data.Traces.size() && data.Traces[i].size() >= 2)
        {
            const auto& trace = data.Traces[i];
            for (size_t k = 0; k + 1 < trace.size(); k += 2)
                dc.DrawLine(map(trace[k].x, trace[k].z), map(trace[k + 1].x, trace[k + 1].z));
        }
    }

    // Boreholes, then the sky over the top layer hides what stands above it.
    const wxColour grey(100, 100, 100);
    dc.SetBrush(wxBrush(grey));
    dc.SetPen(wxPen(grey, 1));
    for (const SectionBorehole& b : data.Boreholes)
    {
        const wxPoint h = map(b.Head.x, b.Head.z), f = map(b.Foot.x, b.Foot.z);
        const wxPoint hexagon[] = {h, {h.x + 2, h.y - 2}, {f.x + 2, f.y - 2},
                                   f, {f.x - 2, f.y - 2}, {h.x - 2, h.y - 2}};
        dc.DrawPolygon(6, hexagon);
    }
    if (!top.empty())
    {
        top.front().y = -10;
        top.back().y = -10;
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.SetPen(*wxBLACK_PEN);
        dc.DrawPolygon(static_cast<int>(top.size()), top.data(), 0, 0, wxODDEVEN_RULE);
    }

    // Axis crossing and its chainage.
    const wxPoint c = map(data.AxisCrossing2D.x, data.AxisCrossing2D.z);
    dc.SetPen(wxPen(*wxRED, 1, wxPENSTYLE_SHORT_DASH));
    dc.DrawLine(c.x - 30, c.y, c.x + 30, c.y);
    dc.DrawLine(c.x, c.y - 30, c.x, c.y + 30);
    dc.SetTextForeground(*wxRED);
    dc.DrawText(wxString::FromUTF8("PM : " + General(Round(data.AxisChainage, 2))), c.x + 5, c.y - 15);

    dc.SetTextForeground(*wxBLACK);
    for (const SectionBorehole& b : data.Boreholes)
    {
        const wxPoint h = map(b.Head.x, b.Head.z);
        dc.DrawRotatedText(wxString::FromUTF8(b.Name + " (" + KorFormatFixed(b.Distance, 1) + " m)"), h.x - 8,
                           h.y - 10, 90);
    }

    // Horizontal scale, along the bottom.
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(*wxWHITE_PEN);
    dc.DrawRectangle(0, H - 35, W + 2 * X0, 35);
    size_t first = 0, last = 0;
    if (UsedRange(data.ScaleX, first, last))
    {
        DrawScaleBar(dc, data.ScaleX, first, last,
                     [&](double p, double q)
                     {
                         const int x1 = ToPixel(X0 + p * W), x2 = ToPixel(X0 + q * W);
                         return wxRect(x1, H - 30, x2 - x1, 10);
                     });
        for (size_t k = first; k <= last; ++k)
            dc.DrawText(General(data.ScaleX[k].value), ToPixel(X0 + data.ScaleX[k].position * W - 10),
                        H - 18);
    }

    // Vertical scale, along the left edge.
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.SetPen(*wxWHITE_PEN);
    dc.DrawRectangle(0, 0, 45, H);
    if (UsedRange(data.ScaleZ, first, last))
    {
        DrawScaleBar(dc, data.ScaleZ, first, last,
                     [&](double p, double q)
                     {
                         const int y1 = ToPixel(H - q * H), y2 = ToPixel(H - p * H);
                         return wxRect(5, y1, 10, y2 - y1);
                     });
        for (size_t k = first; k <= last; ++k)
            dc.DrawText(General(data.ScaleZ[k].value), 17, ToPixel(H - data.ScaleZ[k].position * H - 5));
    }

    // Legend of the layers, clipped to its frame.
    const int count = static_cast<int>(data.Profiles.size());
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(W - 155, 5, 150, 25 * count);
    dc.SetClippingRegion(W - 155, 5, 150, 25 * count);
    for (int i = 0; i < count; ++i)
    {
        const Couche* couche = gProjet.GetCouche(i);
        const Couche::sColour colour = couche ? couche->GetColour() : Couche::sColour{};
        dc.SetBrush(wxBrush(wxColour(colour.R, colour.G, colour.B)));
        dc.DrawRectangle(W - 150, 10 + 25 * i, 20, 15);
        if (couche)
            dc.DrawText(wxString::FromUTF8(couche->Nom), W - 125, 10 + 25 * i);
    }
    dc.DestroyClippingRegion();

    if (mCoupe)
    {
        const wxString name = wxString::FromUTF8(mCoupe->Name);
        dc.DrawText(name, (W - dc.GetTextExtent(name).x) / 2, 5);
    }
}

wxBitmap FenetreCoupe::RenderImage() const
{
    const wxSize client = GetClientSize();
    int W = 0, H = 0, X0 = 0;
    GetArea(client, mCoupe ? mCoupe->RatioImage : -1.0, W, H, X0);
    // The whole drawing, right margin included: the bands start at X0.
    wxBitmap bitmap(std::max(W + 2 * X0, 1), std::max(H, 1), 24);
    wxMemoryDC dc(bitmap);
    DrawSection(dc, client);
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

bool FenetreCoupe::SaveImage(const std::string& path, std::string* reason) const
{
    std::string extension = GetExtension(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    wxBitmapType type = wxBITMAP_TYPE_BMP;
    if (extension == "png")
        type = wxBITMAP_TYPE_PNG;
    else if (extension == "jpg" || extension == "jpeg")
        type = wxBITMAP_TYPE_JPEG;
    if (!wxImage::FindHandler(type))
        wxInitAllImageHandlers();
    // Encoded in memory, where the handlers cannot meet a failing disk,
    // then written whole or not at all.
    wxMemoryOutputStream encoded;
    {
        wxLogNull quiet; // the failure is told by the caller, in French
        if (!RenderImage().ConvertToImage().SaveFile(encoded, type) || !encoded.IsOk())
            return false;
    }
    std::string bytes(static_cast<size_t>(encoded.GetLength()), '\0');
    if (!bytes.empty() && encoded.CopyTo(&bytes[0], bytes.size()) != bytes.size())
        return false;
    return SafeFileWriter::WriteFile(path, bytes, nullptr, reason);
}

void FenetreCoupe::ExportImage()
{
    ModelUi::FileRequest request;
    request.Title = "Choisissez l'image";
    request.Wildcard = "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg";
    request.Save = true;
    const std::string path = GetModelUi().AskFilePath(request);
    if (path.empty())
        return;
    std::string reason;
    if (!SaveImage(path, &reason))
        GetModelUi().MessageBox("Impossible d'exporter l'image dans le fichier '" + path + "'" +
                                    (reason.empty() ? "" : "\n" + reason),
                                "Erreur");
}

void FenetreCoupe::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    DrawSection(dc, GetClientSize());
    if (mCoupe && mCoupe->ExportRequested)
    {
        mCoupe->ExportRequested = false;
        // The file dialog waits for the user: not inside the paint.
        CallAfter(&FenetreCoupe::ExportImage);
    }
}

void FenetreCoupe::OnSize(wxSizeEvent& event)
{
    const wxSize size = event.GetSize();
    // A zero side would make the ratio 0 or infinite: the last one stays.
    if (mCoupe && size.x > 0 && size.y > 0 &&
        !(mCoupe->KeepRatioBox && mCoupe->KeepRatioBox->IsChecked() && mCoupe->RatioImage >= 0))
        mCoupe->RatioImage = static_cast<double>(size.y) / size.x;
    Refresh(false);
    event.Skip();
}
