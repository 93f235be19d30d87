#include "MoveCoucheTool.h"

#include "Couche.h"
#include "CoucheMove.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ProjetOVX.h"

#include <GL/gl.h>

#include <algorithm>

LumPoint gMoveCoucheCentre;
float gMoveCoucheDz = 0.0f;
float gMoveCoucheTiltX = 0.0f;
float gMoveCoucheTiltY = 0.0f;
bool gMoveCoucheDone = true;

namespace
{
LumoraDevice* MainDevice()
{
    return gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
}

float ClampTilt(double degrees)
{
    return std::max(-80.0f, std::min(80.0f, static_cast<float>(degrees)));
}

// The layer's surface faces in its colour at that opacity, and its edges
// in black when asked, in the current model-view.
void DrawSurface(Couche& couche, float opacity, bool segments)
{
    if (couche.NeedsTriangulation())
        couche.Triangulate();
    const KorMesh& mesh = couche.GetMesh();
    // Unlit: the surface carries no normals here, and its colour is what
    // tells the layers apart.
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(couche.R / 255.0f, couche.G / 255.0f, couche.B / 255.0f, opacity);
    std::vector<LumPoint> points;
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
        if (const KorFace* face = mesh.GetFace(f))
        {
            points.clear();
            mesh.GetFacePoints(face, points);
            if (points.size() != 3)
                continue;
            for (const LumPoint& p : points)
                glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
        }
    glEnd();
    glDisable(GL_BLEND);
    if (!segments)
        return;
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_LINES);
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
    {
        LumPoint a, b;
        const KorEdge* edge = mesh.GetEdge(id);
        if (edge && mesh.GetEdgePoints(edge, a, b))
        {
            glVertex3f(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(a.z));
            glVertex3f(static_cast<float>(b.x), static_cast<float>(b.y), static_cast<float>(b.z));
        }
    }
    glEnd();
}
} // namespace

void StartMoveCoucheTool()
{
    LumoraDevice* device = MainDevice();
    Couche* couche = gProjet.GetCouche(gProjet.CoucheCourante);
    if (!device || !couche)
        return;
    EndCurrentTool();
    device->SetCustomEventsManager(OnMoveCoucheToolEvent);
    gToolPointAction = nullptr;
    gOverlayDrawer = DrawMoveCoucheOverlay;
    gMoveCoucheCentre = couche->GetCentre();
    LumCamera* camera = device->GetCamera();
    camera->ChangeCameraMode(1);
    camera->SetPosition(0.0, -300.0, 300.0);
    camera->SetTarget(gMoveCoucheCentre);
    device->EnableLighting(true);
    gPlanDrawFondPlan = gPlanDrawNord = gPlanDrawEchelle = gPlanDrawZone = false;
    device->SetGizmo(new LumGizmo(device, 0x34, gMoveCoucheCentre));
    gMoveCoucheDz = gMoveCoucheTiltX = gMoveCoucheTiltY = 0.0f;
    RefreshDisplay();
}

bool OnMoveCoucheToolEvent(const EventInfo& event)
{
    gMoveCoucheDone = false;
    if (event.keyCode == 27)
    {
        gMoveCoucheDone = true;
        EndCurrentTool();
        EnterCreationMode(false);
        return true;
    }
    if (event.button == 3 && event.pressed)
    {
        if (ApplyCoucheMove(gProjet.CoucheCourante, gMoveCoucheDz, gMoveCoucheTiltX, gMoveCoucheTiltY))
        {
            gMoveCoucheDone = true;
            EndCurrentTool();
            EnterCreationMode(false);
        }
        return true;
    }
    LumoraDevice* device = MainDevice();
    LumGizmo* gizmo = device ? device->GetGizmo() : nullptr;
    if (gizmo && gizmo->IsInUse() && gizmo->IsMoving())
    {
        gMoveCoucheDz =
            static_cast<float>((gizmo->GetPosition() + gizmo->GetTranslation()).z - gMoveCoucheCentre.z);
        LumPoint rotation = gizmo->GetRotation();
        gMoveCoucheTiltX = ClampTilt(rotation.x);
        gMoveCoucheTiltY = ClampTilt(rotation.y);
        rotation.x = gMoveCoucheTiltX;
        rotation.y = gMoveCoucheTiltY;
        gizmo->SetRotation(rotation);
        RefreshDisplay();
    }
    return false;
}

void MultMoveCoucheMatrix()
{
    const LumPoint& c = gMoveCoucheCentre;
    glTranslatef(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z) + gMoveCoucheDz);
    glRotatef(gMoveCoucheTiltX, 1.0f, 0.0f, 0.0f);
    glRotatef(gMoveCoucheTiltY, 0.0f, 1.0f, 0.0f);
    glTranslatef(-static_cast<float>(c.x), -static_cast<float>(c.y), -static_cast<float>(c.z));
}

void DrawMoveCoucheOverlay(LumoraDevice*)
{
    glMatrixMode(GL_MODELVIEW);
    Couche* current = gProjet.GetCouche(gProjet.CoucheCourante);
    if (current)
    {
        glPushMatrix();
        glLoadIdentity();
        MultMoveCoucheMatrix();
        DrawSurface(*current, 1.0f, true);
        glPopMatrix();
    }
    // The camera never has the overlay's type 5 here: last layer first.
    for (int i = gProjet.GetNumberOfCouches() - 1; i >= 0; --i)
    {
        Couche* couche = gProjet.GetCouche(i);
        if (couche && couche != current)
            DrawSurface(*couche, 0.3f, false);
    }
}

void ApplyPendingCoucheMove()
{
    LumoraDevice* device = MainDevice();
    if (device && device->GetCustomEventsManager() == OnMoveCoucheToolEvent && !gMoveCoucheDone)
    {
        // Once only, whatever ends the tool next.
        gMoveCoucheDone = true;
        ApplyCoucheMove(gProjet.CoucheCourante, gMoveCoucheDz, gMoveCoucheTiltX, gMoveCoucheTiltY);
    }
}

void DiscardPendingCoucheMove()
{
    LumoraDevice* device = MainDevice();
    if (device && device->GetCustomEventsManager() == OnMoveCoucheToolEvent && !gMoveCoucheDone)
    {
        gMoveCoucheDone = true;
        EndCurrentTool();
        EnterCreationMode(false);
    }
}
