#pragma once

#include "KorGraduation.h"

#include <wx/brush.h>
#include <wx/colour.h>
#include <wx/font.h>
#include <wx/window.h>

#include <vector>

class wxDC;

// A grid of values over two axes drawn as coloured cells, with a colour
// scale, axis labels, optional minimum and maximum markers ("m", "M") and one
// selected cell that the user picks with the mouse or moves with the arrow
// keys; each change is sent to the parent as a wxEVT_CURVE_SELECTION event
// (Selection1 = column, Selection2 = row).
// grid[i][j] is the value at axis-2 value i (columns, left to right) and
// axis-1 value j (rows, bottom to top).
// Invariants: a non-empty grid has one column per axis-2 value and one value
// per axis-1 value in every column; a selection index is -1 or names an
// existing column / row. Only values strictly between the minimum and maximum
// valid bounds count for the colour range and the markers; the others, and
// non-finite values, are painted in the invalid colour when out of bounds or
// not finite.
class wxSurface : public wxWindow
{
public:
    wxSurface(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize, long style = 0, const wxString& name = wxPanelNameStr);
    ~wxSurface() override;

    // Keeps the grid when its shape matches the new axes, else empties it. No repaint.
    void SetAxis(const std::vector<double>& axis1, const std::vector<double>& axis2);
    // false, nothing changed, when an axis is empty or the grid's shape does
    // not match the axes (ragged grids included). No repaint.
    bool SetSurface(const std::vector<std::vector<double>>& grid);
    // Empties the grid. No repaint.
    void Clear();
    const std::vector<double>& GetAxis1() const { return m_axis1; }
    const std::vector<double>& GetAxis2() const { return m_axis2; }
    const std::vector<std::vector<double>>& GetSurface() const { return m_grid; }

    // The bounds act at the next SetSurface (range) and paint (colours, markers).
    void SetMinimumValid(const double& value) { m_minimumValid = value; }
    void SetMaximumValid(const double& value) { m_maximumValid = value; }

    // false also clears the selection.
    void SetSelectable(bool selectable);
    bool IsSelectable() const { return m_selectable; }
    void ShowMin(bool show) { m_showMin = show; }
    bool IsMinShown() const { return m_showMin; }
    void ShowMax(bool show) { m_showMax = show; }
    bool IsMaxShown() const { return m_showMax; }
    int GetSelectionX() const { return m_selectionX; }
    int GetSelectionY() const { return m_selectionY; }
    void SetBackground(const wxColour& colour) { m_background.SetColour(colour); }
    void SetBackground(const wxBrush& brush) { m_background = brush; }

    // Paints the plot on any device context of the given size and records the
    // cell boundaries that later clicks are matched against.
    void Draw(wxDC& dc, const wxSize& size);

    // Cells narrower or lower than this, in pixels, are drawn without their
    // black outline, which would cover them.
    static constexpr double OutlinedCell = 3.0;

private:
    struct sCell
    {
        int column = -1;
        int row = -1;
    };
    // The first cells, in column order, holding the smallest and the largest
    // value strictly inside the valid bounds; both -1 when there is none.
    void FindValidExtremes(sCell& lowest, sCell& highest) const;
    wxColour GetColorValue(const double& value) const;
    void UpdateValues();
    int ColumnCount() const { return int(m_grid.size()); }
    int RowCount() const { return m_grid.empty() ? 0 : int(m_grid.front().size()); }
    void DropStaleSelection();
    void SendSelectionEvent();
    void DrawCells(wxDC& dc, int W, int H);
    void DrawAxisLabels(wxDC& dc, int H, double dx, double dy);

    void OnPaint(wxPaintEvent& event);
    void OnErase(wxEraseEvent& event);
    void OnResize(wxSizeEvent& event);
    void OnLClick(wxMouseEvent& event);
    void OnRClick(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxBrush m_background;
    wxFont m_font;
    wxColour m_highColour;
    wxColour m_middleColour;
    wxColour m_lowColour;
    wxColour m_invalidColour;
    std::vector<double> m_axis1;
    std::vector<double> m_axis2;
    double m_minimumValid = -1e20;
    double m_maximumValid = 1e20;
    std::vector<std::vector<double>> m_grid;
    double m_valueMin = 0.0;
    double m_valueMax = 0.0;
    std::vector<int> m_columnBounds; // pixel x of the column edges at the last paint
    std::vector<int> m_rowBounds;    // pixel y of the row edges at the last paint, bottom first
    std::vector<sAxisPoint> m_valueGraduations;
    bool m_selectable = true;
    int m_selectionX = -1;
    int m_selectionY = -1;
    bool m_showMin = false;
    bool m_showMax = false;

    wxDECLARE_EVENT_TABLE();
};
