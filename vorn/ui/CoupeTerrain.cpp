#include "CoupeTerrain.h"

#include "Axe.h"
#include "ChampTexte.h"
#include "Dialog3DCoupe.h"
#include "FenetreCoupe.h"
#include "FenetreTunnel.h"
#include "FrameKeys.h"
#include "InterfaceModes.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedValues.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>
#include <wx/wrapsizer.h>

#include <cmath>

namespace
{
enum
{
    IdInteractive = 2,
    IdDistance = 3,
    IdExport = 4,
    IdRatio = 5,
    IdKeepRatio = 6,
    IdForward = 7,
    IdBackward = 8
};

// A typed number (TypedNumber); what is not a finite number counts as 0.
double TypedOrZero(const wxString& text)
{
    const double v = TypedNumber(std::string(text.ToUTF8().data()));
    return std::isfinite(v) ? v : 0.0;
}

void OnDistanceEdited(ChampTexte* field)
{
    if (auto* coupe = dynamic_cast<CoupeTerrain*>(wxGetTopLevelParent(field)))
        coupe->Update();
}
} // namespace

CoupeTerrain::CoupeTerrain(const SectionPlane& plane, const std::string& name, bool showExcavation,
                           bool movableAlongAxis)
    : wxDialog(gFenetreTunnel, wxID_ANY, "Coupe", wxDefaultPosition, wxSize(500, 400),
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX | wxMAXIMIZE_BOX | wxRESIZE_BORDER),
      ShowExcavation(showExcavation), Name(name)
{
    ForwardFrameKeys(this);
    const wxTextValidator numeric(wxFILTER_NUMERIC);
    Drawing = new FenetreCoupe(this);
    InteractiveButton = new wxButton(this, IdInteractive, "Changement interactif");
    ExportButton = new wxButton(this, IdExport, wxString::FromUTF8("Exporter l'image"));
    BoreholeDistanceField = new ChampTexte(this, IdDistance, "1", wxDefaultPosition, wxSize(50, -1), 0,
                                           numeric, wxTextCtrlNameStr, OnDistanceEdited, nullptr);
    KeepRatioBox = new wxCheckBox(this, IdKeepRatio, "Garder le ratio de l'image");
    StepField = new wxTextCtrl(this, wxID_ANY, "10", wxDefaultPosition, wxSize(40, 20), 0, numeric);
    ForwardButton = new wxButton(this, IdForward, "+");
    BackwardButton = new wxButton(this, IdBackward, "-");
    RatioButton = new wxButton(this, IdRatio, wxString::FromUTF8("Définir le ratio"));

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(Drawing, 1, wxEXPAND | wxALL, 5);
    // The first row wraps when the section makes the dialog narrow.
    auto* row = new wxWrapSizer(wxHORIZONTAL);
    row->Add(InteractiveButton, 0, wxALL, 2);
    row->Add(ExportButton, 0, wxALL, 2);
    row->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8("Distance max. des sondages")), 0,
             wxALIGN_CENTER_VERTICAL | wxLEFT, 5);
    row->Add(BoreholeDistanceField, 0, wxALL, 2);
    row->Add(KeepRatioBox, 0, wxALIGN_CENTER_VERTICAL | wxALL, 2);
    column->Add(row, 0, wxEXPAND);
    auto* moves = new wxBoxSizer(wxHORIZONTAL);
    moves->Add(StepField, 0, wxALL, 2);
    moves->Add(ForwardButton, 0, wxALL, 2);
    moves->Add(BackwardButton, 0, wxALL, 2);
    moves->Add(RatioButton, 0, wxALL, 2);
    column->Add(moves);
    SetSizer(column);

    Bind(wxEVT_BUTTON, &CoupeTerrain::OnInteractive, this, IdInteractive);
    Bind(wxEVT_BUTTON, &CoupeTerrain::OnExport, this, IdExport);
    Bind(wxEVT_BUTTON, &CoupeTerrain::OnRatio, this, IdRatio);
    Bind(wxEVT_BUTTON, &CoupeTerrain::OnForward, this, IdForward);
    Bind(wxEVT_BUTTON, &CoupeTerrain::OnBackward, this, IdBackward);
    Bind(wxEVT_CLOSE_WINDOW, &CoupeTerrain::OnClose, this);

    Plane = plane;
    EnableMove(movableAlongAxis);
    ComputeSection(plane, true, ShowExcavation);
    gProjet.AddWindow(this);
}

CoupeTerrain::~CoupeTerrain()
{
    gProjet.RemoveWindow(this);
    RefreshDisplay();
}

void CoupeTerrain::Update()
{
    SetPlane(Plane, false, StepField->IsEnabled());
    Drawing->Refresh(false);
}

void CoupeTerrain::EnableMove(bool enable)
{
    StepField->Enable(enable);
    ForwardButton->Enable(enable);
    BackwardButton->Enable(enable);
}

void CoupeTerrain::SetPlane(const SectionPlane& plane, bool resize, bool enableMove)
{
    Plane = plane;
    EnableMove(enableMove);
    ComputeSection(plane, resize, ShowExcavation);
}

void CoupeTerrain::ComputeSection(const SectionPlane& plane, bool resize, bool showExcavation)
{
    if (!ComputeSectionData(gProjet, plane, showExcavation, GetBoreholeDistance(), Data))
        return;
    if (resize)
    {
        // The drawing 600 pixels on its longer side, in the section's shape.
        const double r = (Data.DrawTop - Data.DrawBottom) / Data.Length;
        int width = 600, height = 600;
        if (r < 1)
            height = static_cast<int>(600 * r);
        else
            width = static_cast<int>(600 / r);
        SetSize(width + 18, height + 113);
    }
}

double CoupeTerrain::GetBoreholeDistance() const
{
    return TypedOrZero(BoreholeDistanceField->GetValue());
}

void CoupeTerrain::SetRatioFromText(const std::string& text)
{
    const double v = std::fabs(TypedNumber(text));
    // The drawing's ratio must stay finite and positive.
    if (!(v > 1e-5) || !std::isfinite(v))
        return;
    RatioImage = 1.0 / v;
    Drawing->Refresh(false);
}

void CoupeTerrain::ShiftAlongAxis(double sign)
{
    Axe& axe = gProjet.GetAxe();
    std::vector<LumPoint> axis;
    axe.GetPoints(axis);
    if (axis.size() < 2)
        return;
    double step = WorldToSceneLength(gProjet, TypedOrZero(StepField->GetValue()));
    if (axe.TeteInversee)
        step = -step;
    const double s = axe.GetDistance(Data.AxisCrossing) + sign * step;
    double direction = 0.0, slope = 0.0;
    const LumPoint x = axe.GetNearestPoint(axe.GetPointAtDistance(s), direction, slope);

    // Across the axis, turned towards the side the first point stands on,
    // measured from the axis point the cut crosses now.
    const double theta = -direction * M_PI / 180.0;
    LumPoint u(std::cos(theta), std::sin(theta), 0.0);
    const LumPoint reference = Data.AxisCrossing2D.x > -10000.0 ? Data.AxisCrossing : x;
    LumPoint side = Plane.First - reference;
    side.z = 0;
    if (side * u < 0)
        u = u * -1.0;
    SectionPlane moved;
    moved.First = x + u * (Data.Length / 2);
    moved.Second = x - u * (Data.Length / 2);
    SetPlane(moved, !KeepRatioBox->IsChecked(), true);
    RefreshDisplay();
    Drawing->Refresh(false);
}

void CoupeTerrain::OnInteractive(wxCommandEvent&)
{
    Dialog3DCoupe picking(this, "Changement de coupe");
    picking.ShowModal();
}

void CoupeTerrain::OnExport(wxCommandEvent&)
{
    ExportRequested = true;
    Drawing->Refresh(false);
}

void CoupeTerrain::OnRatio(wxCommandEvent&)
{
    std::string text = "1";
    if (GetModelUi().AskText("Entrez le ratio Largeur/Hauteur", "Changement de ratio", text))
        SetRatioFromText(text);
}

void CoupeTerrain::OnForward(wxCommandEvent&)
{
    ShiftAlongAxis(1.0);
}

void CoupeTerrain::OnBackward(wxCommandEvent&)
{
    ShiftAlongAxis(-1.0);
}

void CoupeTerrain::OnClose(wxCloseEvent&)
{
    Destroy();
}
