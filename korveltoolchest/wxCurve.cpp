#include "wxCurve.h"

#include "LumPoint.h"
#include "PlotDrawing.h"
#include "wxCurveEvent.h"

#include <wx/dcbuffer.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace
{
// Screen coordinate of a point that is not drawn (non-finite abscissa or value).
const int kNoPixel = INT_MIN;

// Maps v linearly from the graduated span [first, last] onto [0, pixels].
int ScaleToPixels(double v, double first, double last, int pixels)
{
    return int(Round((v - first) / (last - first) * pixels, 0));
}

bool UsableGraduations(const std::vector<sAxisPoint>& graduations)
{
    return graduations.size() >= 2 && graduations.back().value - graduations.front().value > 0.0;
}
} // namespace

const sCurve1D wxCurve::msEmptyCurve;

wxBEGIN_EVENT_TABLE(wxCurve, wxWindow) EVT_PAINT(wxCurve::OnPaint) EVT_ERASE_BACKGROUND(wxCurve::OnErase)
    EVT_SIZE(wxCurve::OnResize) EVT_LEFT_UP(wxCurve::OnLClick) EVT_RIGHT_UP(wxCurve::OnRClick)
        EVT_CHAR(wxCurve::OnKey) EVT_KILL_FOCUS(wxCurve::OnFocus) EVT_SET_FOCUS(wxCurve::OnFocus)
            wxEND_EVENT_TABLE()

                wxCurve::wxCurve(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style,
                                 const wxString& name)
    : wxWindow(parent, id, pos, size, style | wxWANTS_CHARS, name),
      m_background(*wxWHITE, wxBRUSHSTYLE_SOLID), m_gridPen(wxColour(200, 200, 200), 1, wxPENSTYLE_LONG_DASH),
      m_font(PlotFont())
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
}

wxCurve::~wxCurve() = default;

void wxCurve::SetAxis(const std::vector<double>& axis)
{
    if (m_curves.empty() || m_curves.front().values.size() != axis.size())
        Clear();
    m_axis = axis;
    UpdateAxis();
}

void wxCurve::UpdateAxis()
{
    bool seen = false;
    m_axisMin = m_axisMax = 0.0;
    for (double v : m_axis)
    {
        if (!std::isfinite(v))
            continue;
        if (!seen)
            m_axisMin = m_axisMax = v;
        else if (v < m_axisMin)
            m_axisMin = v;
        else if (v > m_axisMax)
            m_axisMax = v;
        seen = true;
    }
    GetKorAxis(m_axisMin, m_axisMax, m_axisGraduations, 10);
}

void wxCurve::UpdateValues()
{
    GetKorAxis(m_valueMin, m_valueMax, m_valueGraduations, 10);
}

// The value range is seeded by the first finite value since the last Clear,
// so a constant first curve keeps its place in the range.
int wxCurve::AddCurve(const std::vector<double>& values, const std::string& name, const wxColour& colour,
                      const int& penStyle)
{
    if (m_axis.empty() || values.size() != m_axis.size())
        return -1;
    for (double v : values)
    {
        if (!std::isfinite(v))
            continue;
        if (!m_hasValueRange)
        {
            m_valueMin = m_valueMax = v;
            m_hasValueRange = true;
        }
        else if (v < m_valueMin)
            m_valueMin = v;
        else if (v > m_valueMax)
            m_valueMax = v;
    }
    UpdateValues();

    m_curves.emplace_back();
    sCurve1D& curve = m_curves.back();
    curve.name = name;
    curve.values = values;
    curve.pen.SetColour(colour);
    curve.pen.SetStyle(static_cast<wxPenStyle>(penStyle));
    return int(m_curves.size()) - 1;
}

void wxCurve::Clear()
{
    m_valueMin = m_valueMax = 0.0;
    m_hasValueRange = false;
    m_curves.clear();
    DropStaleSelection();
}

const sCurve1D& wxCurve::GetCurve(const std::string& name) const
{
    for (const sCurve1D& curve : m_curves)
        if (curve.name == name)
            return curve;
    return msEmptyCurve;
}

const sCurve1D& wxCurve::GetCurve(const int& index) const
{
    if (index < 0 || index >= int(m_curves.size()))
        return msEmptyCurve;
    return m_curves[size_t(index)];
}

void wxCurve::SetSelectable(bool selectable)
{
    m_selectable = selectable;
    if (!selectable)
        m_selectedCurve = m_selectedPoint = -1;
}

bool wxCurve::HasValidSelection() const
{
    return m_selectedCurve >= 0 && m_selectedPoint >= 0 && m_selectedCurve < int(m_curves.size()) &&
           m_selectedPoint < int(m_curves[size_t(m_selectedCurve)].values.size());
}

void wxCurve::DropStaleSelection()
{
    if ((m_selectedCurve >= 0 || m_selectedPoint >= 0) && !HasValidSelection())
        m_selectedCurve = m_selectedPoint = -1;
}

void wxCurve::SendSelectionEvent()
{
    wxCurveEvent event(wxEVT_CURVE_SELECTION, GetId());
    event.SetEventObject(this);
    event.SetCurve(this);
    event.SetSelection1(m_selectedCurve);
    event.SetSelection2(m_selectedPoint);
    if (HasValidSelection())
        event.SetValue(m_curves[size_t(m_selectedCurve)].values[size_t(m_selectedPoint)]);
    GetParent()->ProcessWindowEvent(event);
}

// Cost: O(curves x abscissae) for the polylines and markers, plus the
// graduations. Draws only the background when a graduation list is missing or
// degenerate, or when the plot area would be under 10 pixels either way.
void wxCurve::Draw(wxDC& dc, const wxSize& size)
{
    dc.SetBackground(m_background);
    dc.SetFont(m_font);
    dc.Clear();

    // Positions of an earlier paint must not answer clicks on a plot not drawn now.
    m_screenX.clear();
    for (sCurve1D& curve : m_curves)
        curve.screenY.clear();

    const int W = size.GetWidth();
    const int H = size.GetHeight();
    const int Wp = W - 70;
    const int Hp = H - 40;
    if (!UsableGraduations(m_axisGraduations) || !UsableGraduations(m_valueGraduations) || Wp < 10 || Hp < 10)
        return;

    const double x0 = m_axisGraduations.front().value;
    const double xN = m_axisGraduations.back().value;
    const double y0 = m_valueGraduations.front().value;
    const double yN = m_valueGraduations.back().value;
    auto px = [&](double v) { return std::isfinite(v) ? ScaleToPixels(v, x0, xN, Wp) + 50 : kNoPixel; };
    auto py = [&](double v) { return std::isfinite(v) ? (H - 30) - ScaleToPixels(v, y0, yN, Hp) : kNoPixel; };

    // Zero lines, only where 0 lies on the graduated span.
    dc.SetPen(m_gridPen);
    if (x0 <= 0.0 && 0.0 <= xN)
        dc.DrawLine(px(0.0), 10, px(0.0), H - 30);
    if (y0 <= 0.0 && 0.0 <= yN)
        dc.DrawLine(50, py(0.0), W - 20, py(0.0));

    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SOLID));
    dc.DrawLine(50, 10, 50, H - 30);
    for (size_t k = 0; k < m_valueGraduations.size(); ++k)
    {
        const int y = (H - 30) - int(Round(m_valueGraduations[k].position * Hp, 0));
        const bool labelled = k % 2 == 0 || k + 1 == m_valueGraduations.size();
        dc.DrawLine(labelled ? 45 : 47, y, 50, y);
        if (labelled)
            DrawTextRightCentred(dc, PlotLabel(m_valueGraduations[k].value), 40, y);
    }
    dc.DrawLine(50, H - 30, W - 20, H - 30);
    for (size_t k = 0; k < m_axisGraduations.size(); ++k)
    {
        const int x = int(Round(m_axisGraduations[k].position * Wp, 0)) + 50;
        const bool labelled = k % 2 == 0 || k + 1 == m_axisGraduations.size();
        dc.DrawLine(x, H - 30, x, labelled ? H - 25 : H - 27);
        if (labelled)
        {
            const wxString label = wxString::FromUTF8(PlotLabel(m_axisGraduations[k].value));
            dc.DrawText(label, x - dc.GetTextExtent(label).GetWidth() / 2, H - 20);
        }
    }

    m_screenX.reserve(m_axis.size());
    for (double v : m_axis)
        m_screenX.push_back(px(v));

    const wxPen markerPen(*wxRED, 1, wxPENSTYLE_SOLID);
    for (sCurve1D& curve : m_curves)
    {
        curve.screenY.clear();
        for (double v : curve.values)
            curve.screenY.push_back(py(v));

        // One polyline per run of drawable points; a lone point is drawn as a dot.
        dc.SetPen(curve.pen);
        std::vector<wxPoint> run;
        auto flush = [&]()
        {
            if (run.size() == 1)
                dc.DrawPoint(run.front());
            else if (run.size() > 1)
                dc.DrawLines(int(run.size()), run.data());
            run.clear();
        };
        for (size_t p = 0; p < curve.screenY.size() && p < m_screenX.size(); ++p)
        {
            if (m_screenX[p] == kNoPixel || curve.screenY[p] == kNoPixel)
                flush();
            else
                run.emplace_back(m_screenX[p], curve.screenY[p]);
        }
        flush();

        if (!m_showMin && !m_showMax)
            continue;
        int lowest = -1;
        int highest = -1;
        for (size_t p = 0; p < curve.values.size(); ++p)
        {
            if (m_screenX[p] == kNoPixel || curve.screenY[p] == kNoPixel)
                continue;
            if (lowest < 0 || curve.values[p] < curve.values[size_t(lowest)])
                lowest = int(p);
            if (highest < 0 || curve.values[p] > curve.values[size_t(highest)])
                highest = int(p);
        }
        if (lowest < 0)
            continue;
        dc.SetPen(markerPen);
        if (m_showMin)
        {
            const int x = m_screenX[size_t(lowest)];
            const int y = curve.screenY[size_t(lowest)];
            dc.DrawLine(x - 4, y, x, y + 4);
            dc.DrawLine(x, y + 4, x + 4, y);
        }
        if (m_showMax)
        {
            const int x = m_screenX[size_t(highest)];
            const int y = curve.screenY[size_t(highest)];
            dc.DrawLine(x - 4, y, x, y - 4);
            dc.DrawLine(x, y - 4, x + 4, y);
        }
    }

    DrawSelection(dc, Wp, Hp);
    if (wxWindow::FindFocus() == this)
        DrawFocusFrame(dc, size);
}

// The selected point as a filled square in its curve's colour, with its
// abscissa and value written beside it, on the side facing the plot's centre.
void wxCurve::DrawSelection(wxDC& dc, int plotWidth, int plotHeight)
{
    if (!m_selectable || !HasValidSelection())
        return;
    const sCurve1D& curve = m_curves[size_t(m_selectedCurve)];
    const size_t p = size_t(m_selectedPoint);
    if (p >= m_screenX.size() || p >= curve.screenY.size() || m_screenX[p] == kNoPixel ||
        curve.screenY[p] == kNoPixel)
        return;
    const int sx = m_screenX[p];
    const int sy = curve.screenY[p];
    dc.SetBrush(wxBrush(curve.pen.GetColour(), wxBRUSHSTYLE_SOLID));
    dc.SetPen(curve.pen);
    dc.DrawRectangle(sx - 2, sy - 2, 5, 5);

    const wxString first = wxString::FromUTF8(PlotLabel(m_axis[p]));
    const wxString second = wxString::FromUTF8(PlotLabel(curve.values[p]));
    const wxSize e1 = dc.GetTextExtent(first);
    const wxSize e2 = dc.GetTextExtent(second);
    const bool leftSide = sx - 50 > plotWidth / 2;
    const int x1 = leftSide ? sx - 5 - e1.GetWidth() : sx + 5;
    const int x2 = leftSide ? sx - 5 - e2.GetWidth() : sx + 5;
    const int top1 = sy - 10 > plotHeight / 2 ? sy - 8 - e1.GetHeight() - e2.GetHeight() : sy + 5;
    dc.DrawText(first, x1, top1);
    dc.DrawText(second, x2, top1 + e1.GetHeight() + 3);
}

void wxCurve::OnPaint(wxPaintEvent& /*event*/)
{
    wxBufferedPaintDC dc(this);
    PrepareDC(dc);
    Draw(dc, GetClientSize());
}

void wxCurve::OnErase(wxEraseEvent& /*event*/)
{
}

void wxCurve::OnResize(wxSizeEvent& /*event*/)
{
    Refresh();
}

void wxCurve::OnFocus(wxFocusEvent& /*event*/)
{
    Refresh();
}

// Selects the nearest drawn point within 20 pixels (squared distance below
// 400), the earlier one on a tie; nothing when none is that close.
// Cost: O(curves x abscissae).
void wxCurve::OnLClick(wxMouseEvent& event)
{
    if (!m_selectable)
        return;
    const wxPoint mouse = event.GetPosition();
    m_selectedCurve = m_selectedPoint = -1;
    long best = -1;
    for (size_t c = 0; c < m_curves.size(); ++c)
    {
        const std::vector<int>& ys = m_curves[c].screenY;
        for (size_t p = 0; p < ys.size() && p < m_screenX.size(); ++p)
        {
            if (m_screenX[p] == kNoPixel || ys[p] == kNoPixel)
                continue;
            const long dx = long(m_screenX[p]) - mouse.x;
            const long dy = long(ys[p]) - mouse.y;
            const long d = dx * dx + dy * dy;
            if (d < 400 && (best < 0 || d < best))
            {
                m_selectedCurve = int(c);
                m_selectedPoint = int(p);
                best = d;
            }
        }
    }
    SetFocus();
    Refresh();
    SendSelectionEvent();
}

void wxCurve::OnRClick(wxMouseEvent& /*event*/)
{
    m_selectedCurve = m_selectedPoint = -1;
    SetFocus();
    Refresh();
    if (m_selectable)
        SendSelectionEvent();
}

// Left and right move along the selected curve, stopping at its ends; up and
// down step through the curves, wrapping around.
void wxCurve::OnKey(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key != WXK_LEFT && key != WXK_RIGHT && key != WXK_UP && key != WXK_DOWN)
    {
        event.Skip();
        return;
    }
    if (!m_selectable || m_curves.empty())
        return;
    DropStaleSelection();
    const int count = int(m_curves.size());
    int& curve = m_selectedCurve;
    int& point = m_selectedPoint;
    switch (key)
    {
    case WXK_LEFT:
        if (curve < 0)
            curve = 0;
        point = std::max(point - 1, 0);
        break;
    case WXK_RIGHT:
        if (curve < 0)
            curve = 0;
        point = std::min(point + 1, int(m_curves[size_t(curve)].values.size()) - 1);
        break;
    case WXK_UP:
        curve = (curve + 1) % count;
        if (point < 0)
            point = 0;
        break;
    default: // WXK_DOWN
        curve = (count + curve - 1) % count;
        if (point < 0)
            point = 0;
        break;
    }
    Refresh();
    SendSelectionEvent();
}
