#include "ImageSondage.h"

#include "Couche.h"
#include "DialogCarottage.h"
#include "ProjetOVX.h"
#include "TypedValues.h"

#include <algorithm>

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/textctrl.h>

namespace
{
std::string Utf8(const wxString& text)
{
    return std::string(text.ToUTF8());
}

wxBrush LayerBrush(int index)
{
    const Couche::sColour c = gProjet.GetCouche(index)->GetColour();
    return wxBrush(wxColour(c.R, c.G, c.B));
}
} // namespace

ImageSondage::ImageSondage(wxWindow* panel, DialogCarottage* dialog)
    : wxWindow(panel, wxID_ANY, wxPoint(10, 10), wxSize(110, 50), 0, "panel"), mDialog(dialog)
{
    Bind(wxEVT_PAINT, &ImageSondage::OnPaint, this);
    // The paint clears everything itself.
    Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
    panel->Bind(wxEVT_SIZE,
                [this](wxSizeEvent& event)
                {
                    FitToPanel();
                    event.Skip();
                });
}

void ImageSondage::FitToPanel()
{
    const wxWindow* panel = GetParent();
    const int w = panel->GetMaxSize().x;
    const int h = panel->GetSize().y;
    // A dialog shrunk below the margins leaves no room rather than a
    // negative size, which the toolkit refuses.
    SetSize(10, 10, std::max(w - 20, 0), std::max(h - 20, 0), wxSIZE_AUTO);
}

void ImageSondage::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    PrepareDC(dc);
    Draw(dc, GetClientSize());
}

void ImageSondage::Draw(wxDC& dc, const wxSize& size) const
{
    const int W = size.x + 20, H = size.y + 20;
    const int B = H - 30;
    dc.SetPen(*wxWHITE_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(-10, -10, W, H);
    dc.SetPen(*wxBLACK_PEN);
    dc.DrawRectangle(0, 0, 25, B);

    const wxString totalText = mDialog->GetDepthField()->GetValue();
    const double D = TypedNumber(Utf8(totalText));
    DrawDepthMark(dc, wxPoint(25, B), totalText);
    if (!(D >= 1e-5))
        return;

    const std::vector<wxCheckBox*>& boxes = mDialog->GetLayerBoxes();
    const std::vector<wxTextCtrl*>& depths = mDialog->GetLayerDepths();
    int top = 0, last = -1;
    // The top layer's row is the head itself: never read.
    for (size_t k = 1; k < boxes.size(); ++k)
    {
        if (!boxes[k]->GetValue())
            continue;
        last = static_cast<int>(k);
        const wxString text = depths[k]->GetValue();
        const double d = TypedNumber(Utf8(text));
        if (!(d < D))
            continue;
        // The band ending at layer k's depth crosses the layer above it.
        if (gProjet.GetCouche(static_cast<int>(k) - 1))
            dc.SetBrush(LayerBrush(static_cast<int>(k) - 1));
        // Truncated toward zero as an int once bounded: below the head no
        // band is drawn, and a depth typed as -1e300 has no int.
        const double row = B / D * d;
        const int y = row > 0.0 ? static_cast<int>(std::min(row, static_cast<double>(B))) : 0;
        if (y > top)
        {
            dc.DrawRectangle(0, top, 25, y - top);
            DrawDepthMark(dc, wxPoint(25, y), text);
            top = y - 1;
        }
    }
    if (last >= 0 && gProjet.GetCouche(last))
    {
        dc.SetBrush(LayerBrush(last));
        dc.DrawRectangle(0, top, 25, B - top);
    }
}

void ImageSondage::DrawDepthMark(wxDC& dc, const wxPoint& at, const wxString& text)
{
    dc.SetBrush(*wxBLACK_BRUSH);
    const wxPoint arrow[] = {{at.x + 3, at.y}, {at.x + 9, at.y - 3}, {at.x + 9, at.y + 3}, {at.x + 3, at.y}};
    dc.DrawLines(4, arrow);
    dc.DrawText(text, at.x + 12, at.y - 8);
}
