#pragma once

#include "KorGraduation.h"

#include <wx/brush.h>
#include <wx/font.h>
#include <wx/pen.h>
#include <wx/window.h>

#include <string>
#include <vector>

class wxDC;

// One curve of a wxCurve: a value per abscissa of the plot's axis.
struct sCurve1D
{
    std::string name;
    std::vector<double> values;
    std::vector<int> screenY; // pixel y of each value at the last paint
    wxPen pen;
};

// A plot of one or more curves over a shared list of abscissae, with graduated
// axes, optional minimum and maximum markers, and one selected point that the
// user picks with the mouse or moves with the arrow keys; each change is sent
// to the parent as a wxEVT_CURVE_SELECTION event.
// Invariants: every curve has one value per abscissa; the selection is either
// (-1, -1) or names an existing curve and point. Non-finite abscissae and
// values are left out of the ranges and are not drawn nor clickable.
class wxCurve : public wxWindow
{
public:
    wxCurve(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
            const wxSize& size = wxDefaultSize, long style = 0, const wxString& name = wxPanelNameStr);
    ~wxCurve() override;

    // Keeps the curves when the first one has as many values as the new axis,
    // else removes them all. No repaint.
    void SetAxis(const std::vector<double>& axis);
    const std::vector<double>& GetAxis() const { return m_axis; }
    // The index of the new curve, or -1 (nothing changed) when the axis is
    // empty or the count of values differs from it. No repaint.
    int AddCurve(const std::vector<double>& values, const std::string& name, const wxColour& colour,
                 const int& penStyle);
    // Removes every curve (and so the selection). No repaint.
    void Clear();
    // The first curve with that name, or msEmptyCurve.
    const sCurve1D& GetCurve(const std::string& name) const;
    // The curve, or msEmptyCurve when the index is out of range.
    const sCurve1D& GetCurve(const int& index) const;
    int GetCurveNumber() const { return int(m_curves.size()); }

    // false also clears the selection (no repaint, no event).
    void SetSelectable(bool selectable);
    bool IsSelectable() const { return m_selectable; }
    void ShowMin(bool show) { m_showMin = show; }
    bool IsMinShown() const { return m_showMin; }
    void ShowMax(bool show) { m_showMax = show; }
    bool IsMaxShown() const { return m_showMax; }
    int GetCurveSelected() const { return m_selectedCurve; }
    int GetPointSelected() const { return m_selectedPoint; }
    void SetBackground(const wxColour& colour) { m_background.SetColour(colour); }
    void SetBackground(const wxBrush& brush) { m_background = brush; }

    // Paints the plot on any device context of the given size and records the
    // screen positions that later clicks are matched against.
    void Draw(wxDC& dc, const wxSize& size);

    static const sCurve1D msEmptyCurve;

private:
    void UpdateAxis();
    void UpdateValues();
    bool HasValidSelection() const;
    void DropStaleSelection();
    void SendSelectionEvent();
    void DrawSelection(wxDC& dc, int plotWidth, int plotHeight);

    void OnPaint(wxPaintEvent& event);
    void OnErase(wxEraseEvent& event);
    void OnResize(wxSizeEvent& event);
    void OnLClick(wxMouseEvent& event);
    void OnRClick(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);

    wxBrush m_background;
    wxPen m_gridPen;
    wxFont m_font;
    std::vector<double> m_axis;
    std::vector<int> m_screenX; // pixel x of each abscissa at the last paint
    double m_axisMin = 0.0;
    double m_axisMax = 0.0;
    std::vector<sCurve1D> m_curves;
    double m_valueMin = 0.0;
    double m_valueMax = 0.0;
    bool m_hasValueRange = false; // a finite value has been seen since the last Clear
    std::vector<sAxisPoint> m_axisGraduations;
    std::vector<sAxisPoint> m_valueGraduations;
    bool m_selectable = true;
    int m_selectedCurve = -1;
    int m_selectedPoint = -1;
    bool m_showMin = false;
    bool m_showMax = false;

    wxDECLARE_EVENT_TABLE();
};
