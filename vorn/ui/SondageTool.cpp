#include "SondageTool.h"

#include "Couche.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "PanelPrincipal.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedCoordinates.h"

#include <wx/cursor.h>

bool OnSondageToolEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (event.keyCode == 27 || (event.pressed && event.button == 3))
    {
        EndCurrentTool();
        return true;
    }
    PanelPrincipal* canvas = gFenetreTunnel->GetCanvas();
    canvas->SetFocus();
    if (wxCursor* cursor = gFenetreTunnel->GetToolCursor(FenetreTunnel::CursorSondage))
        canvas->SetCursor(*cursor);
    LumPoint point = GetCursorWorldPoint(event);
    if (!(event.pressed && event.button == 1))
        return false;
    Couche* top = gProjet.GetCouche(0);
    if (!top)
    {
        EndCurrentTool();
        return true;
    }
    const LumPoint scene = WorldToScene(gProjet, point);
    double z = 0.0;
    top->GetAltitude(scene.x, scene.y, z);
    point.z = z * gProjet.Echelle / 100.0;
    OnSondageToolPoint(point);
    return true;
}

void OnSondageToolPoint(LumPoint)
{
    EndCurrentTool();
}
