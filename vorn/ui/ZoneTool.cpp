#include "ZoneTool.h"

#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedCoordinates.h"

#include <wx/cursor.h>

LumPoint gZoneBackup[2];

namespace
{
int sClicks = 0;

void RestoreZone()
{
    gProjet.Limite1 = gZoneBackup[0];
    gProjet.Limite2 = gZoneBackup[1];
}
} // namespace

void StartZoneTool()
{
    if (!gFenetreTunnel)
        return;
    EndCurrentTool();
    gZoneBackup[0] = gProjet.Limite1;
    gZoneBackup[1] = gProjet.Limite2;
    sClicks = 0;
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(OnZoneToolEvent);
    gToolPointAction = nullptr;
    gProjet.SetZoneAffichee(true);
}

bool OnZoneToolEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (event.keyCode == 27 || (event.pressed && event.button == 3))
    {
        RestoreZone();
        RefreshDisplay();
        EndCurrentTool();
        return true;
    }
    PanelPrincipal* canvas = gFenetreTunnel->GetCanvas();
    canvas->SetFocus();
    if (wxCursor* cutter = gFenetreTunnel->GetToolCursor(FenetreTunnel::CursorCutter))
        canvas->SetCursor(*cutter);
    // X and Y follow the mouse; Z stays as typed, for the tools after this one.
    const LumPoint s = WorldToScene(gProjet, GetCursorWorldPoint(event));
    if (event.pressed && event.button == 1)
    {
        if (sClicks == 0)
        {
            gProjet.Limite1 = gProjet.Limite2 = s;
            RefreshDisplay();
            sClicks = 1;
            return true;
        }
        const LumPoint first = gProjet.Limite1;
        // The undo record keeps the zone in force before the tool.
        RestoreZone();
        RefreshDisplay();
        gProjet.SetZone(first, s, true, true);
        EndCurrentTool();
        return true;
    }
    if ((event.moved || event.dragged) && sClicks == 1)
    {
        gProjet.Limite2 = s;
        RefreshDisplay();
        return true;
    }
    return false;
}
