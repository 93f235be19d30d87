#pragma once

#include <wx/colour.h>
#include <wx/window.h>

#include <string>

class wxDC;

// A small window filled with one colour that reports a left-button press to
// its owner's callback. It never chooses a colour itself: the owner calls
// SetColor, typically from the callback.
class wxColorWindow : public wxWindow
{
public:
    typedef void (*Callback)(wxColorWindow*);

    wxColorWindow(wxWindow* parent, const wxColour& colour, Callback callback, int id = wxID_ANY,
                  const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize, long style = 0,
                  const std::string& name = "wxColorWindow");
    ~wxColorWindow() override;

    const wxColour& GetColor() const { return m_colour; }
    // Repaints at once.
    void SetColor(const wxColour& colour);

    // Paints the swatch on any device context of the given size.
    void Draw(wxDC& dc, const wxSize& size) const;

private:
    void OnPaint(wxPaintEvent& event);
    void OnColor(wxMouseEvent& event);

    wxColour m_colour;
    Callback m_callback;

    wxDECLARE_EVENT_TABLE();
};
