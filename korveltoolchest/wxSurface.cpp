#include "wxSurface.h"

#include "LumPoint.h"
#include "PlotDrawing.h"
#include "wxCurveEvent.h"

#include <wx/dcbuffer.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>

wxBEGIN_EVENT_TABLE(wxSurface, wxWindow) EVT_PAINT(wxSurface::OnPaint)
    EVT_ERASE_BACKGROUND(wxSurface::OnErase) EVT_SIZE(wxSurface::OnResize) EVT_LEFT_UP(wxSurface::OnLClick)
        EVT_RIGHT_UP(wxSurface::OnRClick) EVT_CHAR(wxSurface::OnKey) EVT_KILL_FOCUS(wxSurface::OnFocus)
            EVT_SET_FOCUS(wxSurface::OnFocus) wxEND_EVENT_TABLE()

                wxSurface::wxSurface(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                                     long style, const wxString& name)
    : wxWindow(parent, id, pos, size, style | wxWANTS_CHARS, name),
      m_background(*wxWHITE, wxBRUSHSTYLE_SOLID), m_font(PlotFont()), m_highColour(255, 0, 0),
      m_middleColour(255, 255, 0), m_lowColour(0, 0, 255), m_invalidColour(255, 255, 255)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
}

wxSurface::~wxSurface() = default;

void wxSurface::SetAxis(const std::vector<double>& axis1, const std::vector<double>& axis2)
{
    if (m_grid.size() != axis2.size() || m_grid.empty() || m_grid.front().size() != axis1.size())
        Clear();
    m_axis1 = axis1;
    m_axis2 = axis2;
}

bool wxSurface::SetSurface(const std::vector<std::vector<double>>& grid)
{
    if (m_axis1.empty() || m_axis2.empty() || grid.size() != m_axis2.size())
        return false;
    for (const std::vector<double>& column : grid)
        if (column.size() != m_axis1.size())
            return false;

    m_grid = grid;
    sCell lowest, highest;
    FindValidExtremes(lowest, highest);
    if (lowest.column < 0)
        m_valueMin = m_valueMax = 0.0;
    else
    {
        m_valueMin = m_grid[size_t(lowest.column)][size_t(lowest.row)];
        m_valueMax = m_grid[size_t(highest.column)][size_t(highest.row)];
    }
    UpdateValues();
    DropStaleSelection();
    return true;
}

void wxSurface::Clear()
{
    m_valueMin = m_valueMax = 0.0;
    m_grid.clear();
    DropStaleSelection();
}

void wxSurface::UpdateValues()
{
    GetKorAxis(m_valueMin, m_valueMax, m_valueGraduations, 10);
}

// One pass over the grid in column order, O(cells). Strict comparisons keep
// the first cell of equal extremes; non-finite values never pass the bounds test.
void wxSurface::FindValidExtremes(sCell& lowest, sCell& highest) const
{
    lowest = highest = sCell();
    double low = 0.0;
    double high = 0.0;
    for (size_t i = 0; i < m_grid.size(); ++i)
        for (size_t j = 0; j < m_grid[i].size(); ++j)
        {
            const double v = m_grid[i][j];
            if (!(v > m_minimumValid && v < m_maximumValid))
                continue;
            if (lowest.column < 0 || v < low)
            {
                lowest = {int(i), int(j)};
                low = v;
            }
            if (highest.column < 0 || v > high)
            {
                highest = {int(i), int(j)};
                high = v;
            }
        }
}

// Blue through yellow to red over the value range; the invalid colour
// outside the valid bounds and for non-finite values.
wxColour wxSurface::GetColorValue(const double& value) const
{
    if (!std::isfinite(value) || value < m_minimumValid || value > m_maximumValid)
        return m_invalidColour;
    if (std::fabs(m_valueMax - m_valueMin) < 1e-5)
        return m_middleColour;
    if (value <= m_valueMin)
        return m_lowColour;
    if (value >= m_valueMax)
        return m_highColour;
    const double t = (value - m_valueMin) / (m_valueMax - m_valueMin);
    if (std::fabs(t) < 1e-5)
        return m_lowColour;
    const wxColour& from = t <= 0.5 ? m_lowColour : m_middleColour;
    const wxColour& to = t <= 0.5 ? m_middleColour : m_highColour;
    const double f = t <= 0.5 ? 2.0 * t : 2.0 * (t - 0.5);
    auto channel = [f](int a, int b) { return static_cast<unsigned char>(int(a + (b - a) * f)); };
    return wxColour(channel(from.Red(), to.Red()), channel(from.Green(), to.Green()),
                    channel(from.Blue(), to.Blue()), 255);
}

void wxSurface::SetSelectable(bool selectable)
{
    m_selectable = selectable;
    if (!selectable)
        m_selectionX = m_selectionY = -1;
}

void wxSurface::DropStaleSelection()
{
    if (m_selectionX >= ColumnCount() || m_selectionY >= RowCount())
        m_selectionX = m_selectionY = -1;
}

void wxSurface::SendSelectionEvent()
{
    wxCurveEvent event(wxEVT_CURVE_SELECTION, GetId());
    event.SetEventObject(this);
    event.SetSurface(this);
    event.SetSelection1(m_selectionX);
    event.SetSelection2(m_selectionY);
    if (m_selectionX >= 0 && m_selectionY >= 0 && m_selectionX < ColumnCount() && m_selectionY < RowCount())
        event.SetValue(m_grid[size_t(m_selectionX)][size_t(m_selectionY)]);
    GetParent()->ProcessWindowEvent(event);
}

// Cost: O(cells) for the cells and markers, O(columns + rows) for the labels.
// Draws only the background when an axis is missing or the cell area would be
// under 10 pixels either way.
void wxSurface::Draw(wxDC& dc, const wxSize& size)
{
    dc.SetBackground(m_background);
    dc.SetFont(m_font);
    dc.Clear();

    // Boundaries of an earlier paint must not answer clicks on a plot not drawn now.
    m_columnBounds.clear();
    m_rowBounds.clear();

    const int W = size.GetWidth();
    const int H = size.GetHeight();
    const int Wp = W - 120;
    const int Hp = H - 40;
    if (m_axis1.empty() || m_axis2.empty() || Wp < 10 || Hp < 10)
        return;
    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SOLID));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);

    const int half = Hp / 2;
    dc.GradientFillLinear(wxRect(60, 10, 10, half), m_highColour, m_middleColour, wxSOUTH);
    dc.GradientFillLinear(wxRect(60, 10 + half, 10, half), m_middleColour, m_lowColour, wxSOUTH);
    for (size_t k = 0; k < m_valueGraduations.size(); ++k)
    {
        const int y = (H - 30) - int(Round(Hp * m_valueGraduations[k].position, 0));
        const bool labelled = k % 2 == 0 || k + 1 == m_valueGraduations.size();
        dc.DrawLine(labelled ? 55 : 57, y, 60, y);
        if (labelled)
            DrawTextRightCentred(dc, PlotLabel(m_valueGraduations[k].value), 55, y);
    }

    if (!m_grid.empty())
        DrawCells(dc, W, H);

    if (m_selectable && m_selectionX >= 0 && m_selectionY >= 0 && m_selectionX < ColumnCount() &&
        m_selectionY < RowCount())
    {
        const int left = m_columnBounds[size_t(m_selectionX)];
        const int right = m_columnBounds[size_t(m_selectionX) + 1];
        const int bottom = m_rowBounds[size_t(m_selectionY)] - 1;
        const int top = m_rowBounds[size_t(m_selectionY) + 1] - 1;
        dc.SetPen(wxPen(*wxWHITE, 1, wxPENSTYLE_SOLID));
        const wxPoint square[] = {wxPoint(left, bottom), wxPoint(left, top), wxPoint(right, top),
                                  wxPoint(right, bottom), wxPoint(left, bottom)};
        dc.DrawLines(5, square);
    }
    if (wxWindow::FindFocus() == this)
        DrawFocusFrame(dc, size);
}

// The cells, their markers and the axis labels. Column edges accumulate dx
// from x 100 and row edges subtract dy from H - 30, each truncated to pixels,
// so neighbouring cells share their edges exactly. Cells are outlined in
// black only while they are at least OutlinedCell pixels wide and high:
// smaller ones would be all outline (a 2001 x 21 series drew solid black).
void wxSurface::DrawCells(wxDC& dc, int W, int H)
{
    const int Wp = W - 120;
    const int Hp = H - 40;
    const size_t columns = m_grid.size();
    const size_t rows = m_grid.front().size();
    const double dx = double(Wp) / double(columns);
    const double dy = double(Hp) / double(rows);

    m_columnBounds.reserve(columns + 1);
    m_rowBounds.reserve(rows + 1);
    m_columnBounds.push_back(100);
    m_rowBounds.push_back(H - 30);
    double x = 100.0;
    for (size_t i = 0; i < columns; ++i)
    {
        x += dx;
        m_columnBounds.push_back(int(x));
    }
    double y = H - 30.0;
    for (size_t j = 0; j < rows; ++j)
    {
        y -= dy;
        m_rowBounds.push_back(int(y));
    }
    const std::vector<int>& xb = m_columnBounds;
    const std::vector<int>& yb = m_rowBounds;

    if (dx < OutlinedCell || dy < OutlinedCell)
        dc.SetPen(*wxTRANSPARENT_PEN);
    for (size_t i = 0; i < columns; ++i)
        for (size_t j = 0; j < rows; ++j)
        {
            dc.SetBrush(wxBrush(GetColorValue(m_grid[i][j]), wxBRUSHSTYLE_SOLID));
            dc.DrawRectangle(xb[i], yb[j + 1] - 1, xb[i + 1] - xb[i] + 1, yb[j] - yb[j + 1] + 1);
        }

    dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_SOLID));

    sCell lowest, highest;
    FindValidExtremes(lowest, highest);
    dc.SetTextForeground(*wxWHITE);
    auto mark = [&](const sCell& cell, const char* text)
    {
        const size_t i = size_t(cell.column);
        const size_t j = size_t(cell.row);
        DrawTextCentred(dc, text, (xb[i] + xb[i + 1]) / 2, (yb[j] + yb[j + 1]) / 2);
    };
    if (m_showMin && lowest.column >= 0)
        mark(lowest, "m");
    if (m_showMax && highest.column >= 0)
        mark(highest, "M");
    dc.SetTextForeground(*wxBLACK);
    DrawAxisLabels(dc, H, dx, dy);
}

// Labels at least 100 pixels apart: the first and the last column (row) are
// always labelled, and one in between only when it clears the previous label
// and leaves 100 pixels before the last one. O(columns + rows).
void wxSurface::DrawAxisLabels(wxDC& dc, int H, double dx, double dy)
{
    const size_t columns = m_grid.size();
    const size_t rows = m_grid.front().size();

    auto columnCentre = [&](size_t k) { return 100.0 + (double(k) + 0.5) * dx; };
    auto labelColumn = [&](size_t k)
    {
        const wxString text = wxString::FromUTF8(PlotLabel(m_axis2[k]));
        dc.DrawText(text, int(columnCentre(k)) - dc.GetTextExtent(text).GetWidth() / 2, H - 25);
    };
    labelColumn(0);
    double lastLabelled = columnCentre(0);
    for (size_t k = 1; k + 1 < columns && columnCentre(k) + 100.0 <= columnCentre(columns - 1); ++k)
        if (columnCentre(k) - lastLabelled >= 100.0)
        {
            labelColumn(k);
            lastLabelled = columnCentre(k);
        }
    if (columns > 1)
        labelColumn(columns - 1);

    auto rowCentre = [&](size_t k) { return (H - 30.0) - (double(k) + 0.5) * dy; };
    auto labelRow = [&](size_t k) { DrawTextRightCentred(dc, PlotLabel(m_axis1[k]), 95, int(rowCentre(k))); };
    labelRow(0);
    lastLabelled = rowCentre(0);
    for (size_t k = 1; k + 1 < rows && rowCentre(k) - 100.0 >= rowCentre(rows - 1); ++k)
        if (lastLabelled - rowCentre(k) >= 100.0)
        {
            labelRow(k);
            lastLabelled = rowCentre(k);
        }
    if (rows > 1)
        labelRow(rows - 1);
}

void wxSurface::OnPaint(wxPaintEvent& /*event*/)
{
    wxBufferedPaintDC dc(this);
    PrepareDC(dc);
    Draw(dc, GetClientSize());
}

void wxSurface::OnErase(wxEraseEvent& /*event*/)
{
}

void wxSurface::OnResize(wxSizeEvent& /*event*/)
{
    Refresh();
}

void wxSurface::OnFocus(wxFocusEvent& /*event*/)
{
    Refresh();
}

// The cell under the mouse from the boundaries of the last paint; a point on
// a shared edge goes to the lower index. O(columns + rows).
void wxSurface::OnLClick(wxMouseEvent& event)
{
    if (!m_selectable)
        return;
    const wxPoint mouse = event.GetPosition();
    m_selectionX = m_selectionY = -1;
    int column = -1;
    for (size_t i = 0; i + 1 < m_columnBounds.size(); ++i)
        if (m_columnBounds[i] <= mouse.x && mouse.x <= m_columnBounds[i + 1])
        {
            column = int(i);
            break;
        }
    if (column >= 0)
        for (size_t j = 0; j + 1 < m_rowBounds.size(); ++j)
            if (m_rowBounds[j + 1] <= mouse.y && mouse.y <= m_rowBounds[j])
            {
                m_selectionX = column;
                m_selectionY = int(j);
                break;
            }
    SetFocus();
    Refresh();
    SendSelectionEvent();
}

void wxSurface::OnRClick(wxMouseEvent& /*event*/)
{
    m_selectionX = m_selectionY = -1;
    SetFocus();
    Refresh();
    if (m_selectable)
        SendSelectionEvent();
}

// Arrows move the selected cell and stop at the grid's edges; from no
// selection they enter at column 0 or row 0. They move the selection even
// when the plot is not selectable, where it is neither drawn nor sent.
void wxSurface::OnKey(wxKeyEvent& event)
{
    const int key = event.GetKeyCode();
    if (key != WXK_LEFT && key != WXK_RIGHT && key != WXK_UP && key != WXK_DOWN)
    {
        event.Skip();
        return;
    }
    if (m_grid.empty())
        return;
    DropStaleSelection();
    switch (key)
    {
    case WXK_LEFT:
        m_selectionX = std::max(m_selectionX - 1, 0);
        break;
    case WXK_RIGHT:
        m_selectionX = std::min(m_selectionX + 1, ColumnCount() - 1);
        break;
    case WXK_UP:
        m_selectionY = std::min(m_selectionY + 1, RowCount() - 1);
        break;
    default: // WXK_DOWN
        m_selectionY = std::max(m_selectionY - 1, 0);
        break;
    }
    Refresh();
    if (m_selectable)
        SendSelectionEvent();
}
