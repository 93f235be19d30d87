#include "wxCurveEvent.h"

// One event type for the whole process, created when the library loads.
wxDEFINE_EVENT(wxEVT_CURVE_SELECTION, wxCurveEvent);

wxCurveEvent::wxCurveEvent(wxEventType type, int winid) : wxEvent(winid, type)
{
    m_propagationLevel = wxEVENT_PROPAGATE_MAX;
}

wxCurveEvent::wxCurveEvent(const wxCurveEvent& other)
    : wxEvent(other), m_curve(other.m_curve), m_surface(other.m_surface), m_selection1(other.m_selection1),
      m_selection2(other.m_selection2), m_value(other.m_value)
{
}

wxCurveEvent::~wxCurveEvent() = default;

wxEvent* wxCurveEvent::Clone() const
{
    return new wxCurveEvent(*this);
}
