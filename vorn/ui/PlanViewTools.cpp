#include "Couche.h"
#include "DialogCarottage.h"
#include "DialogPointsCoupe.h"
#include "EventInfo.h"
#include "FenetreTunnel.h"
#include "ImageCoupe.h"
#include "InterfaceModes.h"
#include "LigneNiveau.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedCoordinates.h"

#include <wx/cursor.h>

#include <GL/gl.h>

#include <algorithm>

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

int gCoupeToolClicks = 0;

namespace
{
// The section line being picked, scene units: the point under the mouse
// (on the top layer once clicked) and the first point clicked.
LumPoint gCoupeToolPoint;
LumPoint gCoupeToolFirstPoint;
} // namespace

void StartCoupeTool()
{
    if (!gFenetreTunnel)
        return;
    gCoupeToolClicks = 0;
    EndCurrentTool();
    gFenetreTunnel->GetMainDevice()->SetCustomEventsManager(OnCoupeToolEvent);
    gToolPointAction = OnCoupeToolPoint;
    gOverlayDrawer = DrawCoupeToolOverlay;
}

bool OnCoupeToolEvent(const EventInfo& event)
{
    if (!gFenetreTunnel)
        return false;
    if (event.keyCode == 27)
    {
        EndCurrentTool();
        return true;
    }
    if (event.pressed && event.button == 3)
    {
        // The last point clicked goes; with none left the tool ends.
        gCoupeToolClicks = std::max(gCoupeToolClicks - 1, 0);
        if (gCoupeToolClicks == 0)
            EndCurrentTool();
        else
            RefreshDisplay();
        return true;
    }
    PrepareCanvas(FenetreTunnel::CursorCutter);
    const LumPoint world = GetCursorWorldPoint(event);
    if (gCoupeToolClicks < 3)
        gCoupeToolPoint = WorldToScene(gProjet, world);
    if (event.pressed && event.button == 1)
    {
        OnCoupeToolPoint(gCoupeToolPoint);
        RefreshDisplay();
        return true;
    }
    if ((event.moved || event.dragged) && gCoupeToolClicks > 1)
        RefreshDisplay();
    return false;
}

void OnCoupeToolPoint(LumPoint)
{
    Couche* couche = CurrentCouche();
    if (!couche)
    {
        EndCurrentTool();
        return;
    }
    double z = 0.0;
    if (!couche->GetAltitude(gCoupeToolPoint.x, gCoupeToolPoint.y, z))
    {
        GetModelUi().MessageBox("Il faut créer la coupe sur le terrain naturel", "Erreur",
                                ModelUi::Buttons::Ok, 0);
        RefreshDisplay();
        return;
    }
    gCoupeToolPoint.z = z;
    ++gCoupeToolClicks;
    if (gCoupeToolClicks != 3)
    {
        gCoupeToolClicks = 2;
        gCoupeToolFirstPoint = gCoupeToolPoint;
        RefreshDisplay();
        return;
    }
    // Modal on the heap: the dialog is destroyed here once its loop ends,
    // never inside it.
    auto* dialog = new DialogPointsCoupe("", gCoupeToolFirstPoint, gCoupeToolPoint);
    if (!dialog->GetImagePath().empty())
    {
        RefreshDisplay();
        if (dialog->GetPanel()->ImageLoaded)
            dialog->ShowModal();
    }
    dialog->Destroy();
    EndCurrentTool();
    RefreshDisplay();
}

void DrawCoupeToolOverlay(LumoraDevice*)
{
    if (Couche* couche = CurrentCouche())
        DrawPlanCouche(*couche, gProjet.TriangulationAffichee, gProjet.PointsAffiches);
    if (gCoupeToolClicks < 2)
        return;
    glPointSize(5.0f);
    glColor3f(1.0f, 0.6f, 0.2f);
    const auto flat = [](const LumPoint& p)
    { glVertex3f(static_cast<float>(p.x), static_cast<float>(p.y), 0.0f); };
    glBegin(GL_POINTS);
    flat(gCoupeToolFirstPoint);
    if (gCoupeToolClicks == 3)
        flat(gCoupeToolPoint);
    glEnd();
    glBegin(GL_LINES);
    flat(gCoupeToolFirstPoint);
    flat(gCoupeToolPoint);
    glEnd();
}
