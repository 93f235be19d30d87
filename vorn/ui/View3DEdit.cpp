// The 3D view's point tools: the layer-point tool (a picked point dragged
// with the gizmo, each drop checked against the neighbouring layers) and
// the axis-point tool, which hands its events to the axis tools.
#include "Axe.h"
#include "AxeTools.h"
#include "Couche.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "KorMesh.h"
#include "KorRay.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "PanelPrincipal.h"
#include "ProjetOVX.h"
#include "View3D.h"

#include <wx/cursor.h>

int gEditedCouche = -1;
LumPoint gPointEditOrigin;

namespace
{
constexpr int KeyEscape = 27;

LumoraDevice* MainDevice()
{
    return gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
}

void StoreCamera()
{
    if (LumoraDevice* device = MainDevice())
    {
        gProjet.CameraPosition = device->GetCamera()->GetPosition();
        gProjet.CameraTarget = device->GetCamera()->GetTarget();
    }
}

LumPoint PositionOf(const KorVertex& v)
{
    return LumPoint(v.X, v.Y, v.Z);
}

// The right-button release that opens context menus.
bool IsMenuClick(const EventInfo& event)
{
    return event.button == 3 && event.released && !event.draggedSincePress;
}

// The end of a drag: the point goes back to where the drag began, then to
// its drop when the neighbours allow it, as one step.
void DropPoint(Couche& couche, LumGizmo& gizmo)
{
    const int id = couche.GetPickedVertex();
    const LumPoint drop = gizmo.GetPosition() + gizmo.GetTranslation();
    // A click without a drag records nothing and triangulates nothing.
    const bool moved =
        drop.x != gPointEditOrigin.x || drop.y != gPointEditOrigin.y || drop.z != gPointEditOrigin.z;
    if (moved)
    {
        couche.MovePoint(id, gPointEditOrigin, false, false, false);
        if (couche.CheckNeighbours(drop) == 0)
            couche.MovePoint(id, drop, true, true, true);
        else
            GetModelUi().MessageBox("Impossible de déplacer ce point à cette coordonnée : La couche "
                                    "intersecte une couche voisine",
                                    "Erreur");
    }
    if (const KorVertex* v = couche.GetMesh().GetVertex(couche.GetPickedVertex()))
    {
        gPointEditOrigin = PositionOf(*v);
        gizmo.SetPosition(gPointEditOrigin);
        gizmo.SetTranslation(LumPoint(0, 0, 0));
    }
}

// The edited layer shows no selection once the tool has ended, however it
// ended.
void ClearEditedPick()
{
    if (Couche* couche = gProjet.GetCouche(gEditedCouche))
        couche->SetPickedVertex(-1);
}

bool InsideZone(const KorVertex& v)
{
    return v.X >= gProjet.Limite1.x && v.X <= gProjet.Limite2.x && v.Y >= gProjet.Limite2.y &&
           v.Y <= gProjet.Limite1.y;
}
} // namespace

void OnEditCouchePoints()
{
    if (!MainDevice())
        return;
    StoreCamera();
    gEditedCouche = gPickedCouche;
    EndCurrentTool();
    GetModelUi().SetEndToolHook(ClearEditedPick);
    MainDevice()->SetCustomEventsManager(OnEditCouchePointsEvent);
    gToolPointAction = nullptr;
    gOverlayDrawer = DrawEditCouchePointsOverlay;
    RefreshDisplay();
}

void DrawEditCouchePointsOverlay(LumoraDevice*)
{
    Couche* couche = gProjet.GetCouche(gEditedCouche);
    if (!couche)
    {
        EndCurrentTool();
        return;
    }
    couche->Render(false, true, false);
}

bool OnEditCouchePointsEvent(const EventInfo& event)
{
    LumoraDevice* device = MainDevice();
    if (!device)
        return false;
    LumCamera* camera = device->GetCamera();
    const KorRay ray = camera->GetRay(event.x, event.y);
    const float radius = static_cast<float>(camera->GetDistance() / 200.0);
    Couche* couche = gProjet.GetCouche(gEditedCouche);
    if (!couche || IsMenuClick(event) || event.keyCode == KeyEscape)
    {
        StoreCamera();
        EndCurrentTool();
        return true;
    }
    gFenetreTunnel->GetCanvas()->SetFocus();
    LumGizmo* gizmo = device->GetGizmo();
    if (gizmo && gizmo->IsInUse())
    {
        if (gizmo->IsReleased())
        {
            DropPoint(*couche, *gizmo);
            RefreshDisplay();
            return true;
        }
        if (gizmo->IsMoving())
        {
            couche->MovePoint(couche->GetPickedVertex(), gizmo->GetPosition() + gizmo->GetTranslation(),
                              false, false, false);
            RefreshDisplay();
        }
        return false;
    }
    if (event.pressed && (event.button == 1 || event.button == 3))
    {
        device->SetGizmo(nullptr);
        KorVertex* v = couche->PickVertex(ray, radius);
        if (!v)
            couche->SetPickedVertex(-1);
        else
        {
            couche->SetPickedVertex(v->GetID());
            gPointEditOrigin = PositionOf(*v);
            // Only a free point moves on its own; the others follow their
            // line, borehole or section.
            if (couche->GetVertexType(v->GetID()).Type == 1)
                device->SetGizmo(new LumGizmo(device, 7, gPointEditOrigin));
        }
        RefreshDisplay();
        return true;
    }
    const KorVertex* v = couche->PickVertex(ray, radius);
    wxCursor* geologie = gFenetreTunnel->GetToolCursor(FenetreTunnel::CursorGeologie);
    const bool over = v && couche->GetVertexType(v->GetID()).Type == 1 && InsideZone(*v);
    gFenetreTunnel->GetCanvas()->SetCursor(over && geologie ? *geologie : *wxSTANDARD_CURSOR);
    return false;
}

bool OnAxePoints3DEvent(const EventInfo& event)
{
    // The project always has its axis: an arc moves by its reference
    // point, a polyline by its points.
    const Axe& axe = gProjet.GetAxe();
    return axe.Type == 0 ? OnAxeCentreToolEvent(event) : OnAxePointsToolEvent(event);
}

void DrawAxePoints3DOverlay(LumoraDevice*)
{
    gProjet.GetAxe().RenderPoints();
}
