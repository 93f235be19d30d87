#include "Couche.h"
#include "DialogCarottage.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "InterfaceModes.h"
#include "LigneNiveau.h"
#include "LumoraDevice.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedCoordinates.h"

#include <wx/cursor.h>

namespace
{
Couche* CurrentCouche()
{
    return gProjet.GetCouche(gProjet.CoucheCourante);
}

bool Ends(const EventInfo& event)
{
    return event.keyCode == 27 || (event.pressed && event.button == 3);
}

// The canvas takes the keys and shows the tool's cursor.
void PrepareCanvas(FenetreTunnel::ToolCursor which)
{
    PanelPrincipal* canvas = gFenetreTunnel->GetCanvas();
    canvas->SetFocus();
    if (wxCursor* cursor = gFenetreTunnel->GetToolCursor(which))
        canvas->SetCursor(*cursor);
}

void InstallTool(bool (*manager)(const EventInfo&), const char* prompt)
{
    EndCurrentTool();
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(manager);
    gToolPointAction = nullptr;
    gOverlayDrawer = nullptr;
    gFenetreTunnel->SetStatusText(wxString::FromUTF8(prompt), 2);
}
} // namespace

void StartAddPointsTool()
{
    if (!gFenetreTunnel)
        return;
    EnableCoordinateFields(true, true, true);
    InstallTool(OnAddPointsEvent, "clicez pour ajouter des points");
}

bool OnAddPointsEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (Ends(event))
    {
        EndCurrentTool();
        return true;
    }
    PrepareCanvas(FenetreTunnel::CursorPen);
    const LumPoint p = GetCursorWorldPoint(event);
    Couche* couche = CurrentCouche();
    if (couche && event.pressed && event.button == 1)
    {
        couche->AddPoint(WorldToScene(gProjet, p), 1, 0, true, true);
        RefreshDisplay();
    }
    // The view keeps its own navigation.
    return false;
}

void StartAddLigneNiveauTool(int ligne)
{
    if (!gFenetreTunnel)
        return;
    double depth = 0.0;
    if (ligne < 0)
    {
        if (!AskLigneDepth(depth))
            return;
        gCurrentLigneNiveau = -1;
    }
    else
    {
        Couche* couche = CurrentCouche();
        LigneNiveau* line = couche ? couche->GetLigneNiveau(ligne) : nullptr;
        if (!line)
            return;
        gCurrentLigneNiveau = ligne;
        depth = line->Profondeur;
    }
    ShowDepth(depth);
    EnableCoordinateFields(true, true, false);
    // Ending the former tool forgets the line in progress: keep this one.
    const int current = gCurrentLigneNiveau;
    InstallTool(OnAddLigneNiveauEvent, "clicez pour ajouter des points à la ligne");
    gCurrentLigneNiveau = current;
}

bool OnAddLigneNiveauEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (Ends(event))
    {
        EnableCoordinateFields(true, true, true);
        EndCurrentTool();
        return true;
    }
    PrepareCanvas(FenetreTunnel::CursorPenRouge);
    const LumPoint world = GetCursorWorldPoint(event);
    Couche* couche = CurrentCouche();
    if (!couche || !(event.pressed && event.button == 1))
        return false;
    const LumPoint s = WorldToScene(gProjet, world);
    if (gCurrentLigneNiveau < 0)
    {
        const std::vector<float> first = {static_cast<float>(s.x), static_cast<float>(s.y)};
        gCurrentLigneNiveau = couche->AddLigneNiveau(static_cast<float>(world.z), -1, true, &first);
    }
    else if (LigneNiveau* line = couche->GetLigneNiveau(gCurrentLigneNiveau))
        line->AddPoint(*couche, s.x, s.y, true, static_cast<int>(line->Points.size()));
    RefreshDisplay();
    return true;
}

bool OnSondageToolEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (Ends(event))
    {
        EndCurrentTool();
        return true;
    }
    PrepareCanvas(FenetreTunnel::CursorSondage);
    LumPoint world = GetCursorWorldPoint(event);
    if (!(event.pressed && event.button == 1))
        return false;
    Couche* top = gProjet.GetCouche(0);
    if (!top)
    {
        EndCurrentTool();
        return true;
    }
    // The head stands on the top layer.
    const LumPoint scene = WorldToScene(gProjet, world);
    double z = 0.0;
    top->GetAltitude(scene.x, scene.y, z);
    world.z = SceneToWorld(gProjet, LumPoint(scene.x, scene.y, z)).z;
    OnSondageToolPoint(world);
    return true;
}

void OnSondageToolPoint(LumPoint world)
{
    // Modal on the stack: Valider and the close box end the loop, never
    // free the dialog under it.
    {
        DialogCarottage dialog(world);
        dialog.ShowModal();
    }
    EndCurrentTool();
}
