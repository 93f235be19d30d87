#include "Dialog3DCoupe.h"

#include "Axe.h"
#include "Couche.h"
#include "CoupeTerrain.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "GL_Window.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SectionData.h"

#include <wx/radiobox.h>
#include <wx/sizer.h>

#include <GL/gl.h>

#include <utility>

namespace
{
SectionPlane PlaneOf(const LumPoint& first, const LumPoint& second)
{
    SectionPlane plane;
    plane.First = first;
    plane.Second = second;
    return plane;
}
} // namespace

void ShowSectionPicking()
{
    Dialog3DCoupe picking(gFenetreTunnel, "Sélectionnez l'axe de coupe");
    picking.ShowModal();
}

Dialog3DCoupe::Dialog3DCoupe(wxWindow* parent, const std::string& title)
    : BaseDialog3D(parent, title, 3, OnSectionPickingEvent, DrawSectionPicking)
{
    // A click lands on the faces drawn: they must be the surface's own.
    if (Couche* couche = gProjet.GetCouche(0); couche && couche->NeedsTriangulation())
        couche->Triangulate();
    const wxString choices[] = {"Coupe libre", "Coupe selon l'axe X", "Coupe selon l'axe Y",
                                wxString::FromUTF8("Coupe perpendiculaire à l'axe"),
                                wxString::FromUTF8("Coupe parallèle à  l'axe")};
    TypeBox = new wxRadioBox(this, 1, "Type de coupe", wxDefaultPosition, wxDefaultSize, 5, choices, 1,
                             wxRA_SPECIFY_COLS);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(TypeBox, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 5);
    column->Add(mCanvas, 1, wxEXPAND | wxALL, 5);
    SetSizer(column);
    Bind(wxEVT_RADIOBOX, &Dialog3DCoupe::OnSectionTypeSelected, this, 1);
}

CoupeTerrain* Dialog3DCoupe::GetSection() const
{
    return dynamic_cast<CoupeTerrain*>(GetParent());
}

void Dialog3DCoupe::OnSectionTypeSelected(wxCommandEvent& event)
{
    SectionType = event.GetSelection();
    PickState = 0;
    RefreshView();
}

void Dialog3DCoupe::CreateSection()
{
    if ((SecondPoint - FirstPoint).Norm() < 1e-5)
        return;
    const SectionPlane plane = PlaneOf(FirstPoint, SecondPoint);
    if (CoupeTerrain* section = GetSection())
        section->SetPlane(plane, true, SectionType == 3);
    else
    {
        // The name is taken whichever button closed the dialog.
        std::string name;
        GetModelUi().AskText("Entrez le nom de la coupe", "Entrez le nom de la coupe", name);
        auto* coupe = new CoupeTerrain(plane, name, true, SectionType == 3);
        coupe->Show();
    }
    Close(false);
}

void Dialog3DCoupe::HandleEvent(const EventInfo& event, const LumPoint& p)
{
    if (event.pressed && event.button == 1)
    {
        if (PickState == 0)
        {
            if (SectionType == 3 || SectionType == 4)
            {
                double slope = 0.0;
                AxisPoint = gProjet.GetAxe().GetNearestPoint(p, AxisAngle, slope);
            }
            FirstPoint = SecondPoint = p;
            RefreshView();
            PickState = 1;
        }
        else
        {
            SecondPoint = ConstrainSectionPoint(SectionType, p, FirstPoint, AxisPoint, AxisAngle);
            CreateSection();
        }
    }
    else if (event.pressed && event.button == 3)
    {
        PickState = 0;
        RefreshView();
    }
    else if (event.moved || event.dragged)
    {
        if (PickState == 1)
        {
            SecondPoint = ConstrainSectionPoint(SectionType, p, FirstPoint, AxisPoint, AxisAngle);
            RefreshView();
            if (CoupeTerrain* section = GetSection())
                section->SetPlane(PlaneOf(FirstPoint, SecondPoint), true, false);
        }
        else if (SectionType == 3 || SectionType == 4)
        {
            double angle = 0.0, slope = 0.0;
            FirstPoint = gProjet.GetAxe().GetNearestPoint(p, angle, slope);
            RefreshView();
        }
    }
}

bool OnSectionPickingEvent(const EventInfo& event)
{
    auto* dialog = dynamic_cast<Dialog3DCoupe*>(BaseDialog3D::FromEvent(event));
    if (!dialog || !(event.pressed || event.moved || event.dragged))
        return false;
    const LumPoint p = dialog->GetDevice()->GetCamera()->GetPosition(event.x, event.y);
    dialog->HandleEvent(event, p);
    return false;
}

void DrawSectionPicking(LumoraDevice* device)
{
    if (Couche* couche = gProjet.GetCouche(0))
    {
        // The faces are lit as in the 3D view: unlit, they would show black
        // and hide their wireframe.
        device->EnableLighting(true);
        couche->Render(true, false, true, device);
        device->EnableLighting(false);
        gProjet.GetAxe().Render();
    }
    device->EnableLighting(false);
    auto* dialog = dynamic_cast<Dialog3DCoupe*>(
        device->GetContainer() ? wxGetTopLevelParent(dynamic_cast<wxWindow*>(device->GetContainer()))
                               : nullptr);
    if (!dialog)
        return;
    const bool onAxis = dialog->SectionType == 3 || dialog->SectionType == 4;
    if (dialog->PickState != 1 && !onAxis)
        return;
    // The marks lie at z 0, usually under the terrain: drawn over it.
    glDisable(GL_DEPTH_TEST);
    glColor3d(1.0, 0.6, 0.2);
    glPointSize(5);
    const LumPoint& a = dialog->FirstPoint;
    const LumPoint& b = dialog->SecondPoint;
    glBegin(GL_POINTS);
    glVertex3d(a.x, a.y, 0);
    if (dialog->PickState == 1)
        glVertex3d(b.x, b.y, 0);
    glEnd();
    if (dialog->PickState != 1)
    {
        glEnable(GL_DEPTH_TEST);
        return;
    }
    glMatrixMode(GL_MODELVIEW);
    for (const auto& [p, label] : {std::pair{a, "1"}, {b, "2"}})
    {
        glPushMatrix();
        glTranslated(p.x, p.y, 0);
        device->Draw2DText(label);
        glPopMatrix();
    }
    glLineWidth(1);
    glBegin(GL_LINES);
    glVertex3d(a.x, a.y, 0);
    glVertex3d(b.x, b.y, 0);
    glEnd();
    glEnable(GL_DEPTH_TEST);
}
