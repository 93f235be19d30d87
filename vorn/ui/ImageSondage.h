#pragma once

#include <wx/window.h>

class DialogCarottage;
class wxDC;

// The core log of the borehole being typed in its dialog: a column from the
// head to the total depth, cut at each checked layer's depth into bands of
// the colour of the layer crossed, each depth marked by an arrowhead and its
// text as typed. It reads the dialog's fields at every paint and keeps
// nothing.
class ImageSondage : public wxWindow
{
public:
    // In the dialog's white picture panel.
    ImageSondage(wxWindow* panel, DialogCarottage* dialog);

    // The log at that picture size, into any device context (the paint
    // handler's, a test's memory bitmap).
    void Draw(wxDC& dc, const wxSize& size) const;
    // Fills the panel but for a 10-pixel margin; run when the panel is
    // resized.
    void FitToPanel();

private:
    void OnPaint(wxPaintEvent& event);
    static void DrawDepthMark(wxDC& dc, const wxPoint& at, const wxString& text);

    DialogCarottage* mDialog;
};
