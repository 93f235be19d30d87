#pragma once

#include <wx/event.h>

class wxCurve;
class wxSurface;

// What the user selected in a plot widget, sent to the widget's parent after
// every change of selection made with the mouse or the arrow keys.
// Exactly one of the curve and surface pointers names the sender. For a curve
// plot Selection1 is the curve and Selection2 the point; for a grid plot they
// are the column and the value within it. -1 means nothing selected, and
// Value is meaningful only when both are 0 or more.
// The event climbs from window to parent like a command event.
class wxCurveEvent : public wxEvent
{
public:
    wxCurveEvent(wxEventType type = wxEVT_NULL, int winid = 0);
    wxCurveEvent(const wxCurveEvent& other);
    ~wxCurveEvent() override;

    wxEvent* Clone() const override;

    wxCurve* GetCurve() const { return m_curve; }
    void SetCurve(wxCurve* curve) { m_curve = curve; }
    wxSurface* GetSurface() const { return m_surface; }
    void SetSurface(wxSurface* surface) { m_surface = surface; }
    int GetSelection1() const { return m_selection1; }
    void SetSelection1(const int& selection) { m_selection1 = selection; }
    int GetSelection2() const { return m_selection2; }
    void SetSelection2(const int& selection) { m_selection2 = selection; }
    double GetValue() const { return m_value; }
    void SetValue(const double& value) { m_value = value; }

private:
    wxCurve* m_curve = nullptr;
    wxSurface* m_surface = nullptr;
    int m_selection1 = -1;
    int m_selection2 = -1;
    double m_value = 0.0;
};

wxDECLARE_EVENT(wxEVT_CURVE_SELECTION, wxCurveEvent);

// Event-table entry: EVT_CURVE_SELECTION(id, Class::Handler) with a handler
// taking wxCurveEvent&.
typedef void (wxEvtHandler::*wxCurveEventFunction)(wxCurveEvent&);
#define wxCurveEventHandler(func) wxEVENT_HANDLER_CAST(wxCurveEventFunction, func)
#define EVT_CURVE_SELECTION(id, func) wx__DECLARE_EVT1(wxEVT_CURVE_SELECTION, id, wxCurveEventHandler(func))
