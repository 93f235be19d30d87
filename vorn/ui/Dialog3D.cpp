#include "Dialog3D.h"

#include "Axe.h"
#include "Couche.h"
#include "EventInfo.h"
#include "GL_Window.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TeteTranchee.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <sstream>

Dialog3D* gDialog3D = nullptr;

namespace
{
const char* const kCoverText = "Hauteur de couverture au-dessus de la voûte : ";

std::string DefaultText(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

} // namespace

Dialog3D::Dialog3D(wxWindow* parent, const std::string& title, int cameraMode)
    : BaseDialog3D(parent, title, cameraMode, OnTetePlacementEvent, RenderTetePlacement)
{
    gDialog3D = this;
    mDirectionButton = new wxButton(this, 1, wxString::FromUTF8("Changer la direction"));
    mCoverLabel = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(kCoverText));
    mPositionLabel = new wxStaticText(this, wxID_ANY, wxString::FromUTF8("Position : "));
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(mDirectionButton, 0, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM | wxLEFT, 5);
    row->Add(mCoverLabel, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 20);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(row);
    column->Add(mPositionLabel, 0, wxTOP | wxBOTTOM | wxLEFT, 5);
    column->Add(mCanvas, 1, wxEXPAND);
    SetSizer(column);
    Layout();
    Bind(wxEVT_BUTTON, &Dialog3D::OnChangeDirection, this, 1);
}

Dialog3D::~Dialog3D()
{
    gDialog3D = nullptr;
    RefreshDisplay();
}

void Dialog3D::OnChangeDirection(wxCommandEvent&)
{
    mDirectionFlag = !mDirectionFlag;
    RenderView();
    RefreshDisplay();
}

void Dialog3D::UpdatePlacementLabels(const LumPoint& p)
{
    mCandidate = gProjet.GetAxe().GetNearestPoint(p, mDirection, mSlope);
    const LumPoint w = SceneToWorld(gProjet, mCandidate);
    mPositionLabel->SetLabel(wxString::FromUTF8("Position : X=" + DefaultText(w.x) +
                                                "  Y=" + DefaultText(w.y) + "  Z=" + DefaultText(w.z)));
    if (Couche* first = gProjet.GetCouche(0))
    {
        double altitude = 0.0;
        if (first->GetAltitude(mCandidate.x, mCandidate.y, altitude))
        {
            const double tunnel =
                WorldToScene(gProjet, LumPoint(0, 0, GetModelUi().GetTete().HauteurTunnel)).z;
            const double d = altitude - mCandidate.z - tunnel;
            const double h = SceneToWorld(gProjet, LumPoint(0, 0, std::max(0.0, d))).z;
            mCoverLabel->SetLabel(wxString::FromUTF8(kCoverText + DefaultText(h)));
        }
        else
            mCoverLabel->SetLabel(wxString::FromUTF8("Pas de Terrain au-dessus de l'entrée du tunnel"));
    }
    RenderView();
    RefreshDisplay();
}

void RenderTetePlacement(LumoraDevice* device)
{
    glDisable(GL_LIGHTING);
    Couche* first = gProjet.GetCouche(0);
    if (!first)
        return;
    glColor3f(0.0f, 0.0f, 0.0f);
    first->Render(true, false, false);
    if (gDialog3D)
    {
        DrawTeteAtPlacement(device);
        gProjet.GetAxe().Render();
    }
}

void DrawTeteAtPlacement(LumoraDevice* device)
{
    if (!gDialog3D)
        return;
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 0.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const LumPoint& at = gDialog3D->GetCandidate();
    glTranslatef(static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.z));
    glRotated(gDialog3D->GetDirection(), 0.0, 0.0, -1.0);
    if (!gDialog3D->GetDirectionFlag())
    {
        glRotated(180.0, 0.0, 0.0, -1.0);
        glRotated(-gDialog3D->GetSlope(), 1.0, 0.0, 0.0);
    }
    else
        glRotated(gDialog3D->GetSlope(), 1.0, 0.0, 0.0);
    const double scale = gProjet.Echelle > 0.0 ? 100.0 / gProjet.Echelle : 1.0;
    glScaled(scale, scale, scale);
    TeteTranchee& tete = GetModelUi().GetTete();
    tete.SetSelectedFaceClass(-1);
    tete.Render();
    glColor3f(0.0f, 0.0f, 0.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glLineWidth(1.0f);
    LumCamera* camera = device->GetCamera();
    glTranslated(0.0, 0.0, (camera->GetPosition() - camera->GetTarget()).Norm() / 100.0);
    tete.Render();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    device->EnableLighting(device->IsLightingEnabled());
    glLoadIdentity();
}

bool OnTetePlacementEvent(const EventInfo& event)
{
    Dialog3D* dialog = gDialog3D;
    if (!dialog)
        return false;
    LumCamera* camera = dialog->GetDevice()->GetCamera();
    if (event.moved || event.dragged)
        dialog->UpdatePlacementLabels(camera->GetPosition(event.x, event.y));
    dialog->GetCanvas()->SetFocus();
    if (event.button == 1 && event.pressed)
    {
        const LumPoint p = camera->GetPosition(event.x, event.y);
        double direction = 0.0, slope = 0.0;
        const LumPoint q = gProjet.GetAxe().GetNearestPoint(p, direction, slope);
        gProjet.GetAxe().SetHeadPosition(q, !dialog->GetDirectionFlag());
        // The head position is saved with the project but records no undo
        // step: the project must still ask to be saved.
        gProjet.MarkModified();
        dialog->Close(false);
    }
    return false;
}
