#include "InterfaceModes.h"

#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "DialogOutilsCreation.h"
#include "DialogResultats.h"
#include "DialogVisualisation.h"
#include "Excavation.h"
#include "FenetreTunnel.h"
#include "LumCamera.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "MoveCoucheTool.h"
#include "OVXUndoManager.h"
#include "PanelPrincipal.h"
#include "PlanView.h"
#include "ProjetOVX.h"
#include "View3D.h"
#include "ViewRecorders.h"
#include "WindowFit.h"

#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>

int gMode = 1;
ModelUi::PointAction gToolPointAction = nullptr;
ModelUi::OverlayDrawer gOverlayDrawer = nullptr;
ModelUi::OverlayDrawer gPlacementDrawer = nullptr;
bool gPlanDrawFondPlan = true;
bool gPlanDrawNord = true;
bool gPlanDrawEchelle = true;
bool gPlanDrawZone = true;

namespace
{
// Top menus, by index in the menu bar.
constexpr int MenuFichier = 0;
constexpr int MenuCreation = 2;
constexpr int MenuVisualisation = 3;

// Tools that need a project: undo, redo, the two modes and the two dialogs.
constexpr int ProjectTools[] = {FenetreTunnel::IdUndo,           FenetreTunnel::IdRedo,
                                FenetreTunnel::IdModeCreation,   FenetreTunnel::IdModeVisualisation,
                                FenetreTunnel::IdDiscontinuites, FenetreTunnel::IdTranchee};

LumCamera* MainCamera()
{
    LumoraDevice* device = gFenetreTunnel ? gFenetreTunnel->GetMainDevice() : nullptr;
    return device ? device->GetCamera() : nullptr;
}

void EnableAllTopMenus(wxMenuBar* bar, bool enabled)
{
    for (size_t i = 0; i < bar->GetMenuCount(); ++i)
        bar->EnableTop(i, enabled);
}

// The palettes at their own places, given for a main window at (50, 50)
// and moved with it.
void ShowPalettes(bool creation, bool visualisation)
{
    if (DialogOutilsCreation* palette = gFenetreTunnel->GetCreationPalette())
        ShowPalette(palette, creation, wxPoint(10, 100));
    if (DialogVisualisation* palette = gFenetreTunnel->GetVisualisationPalette())
        ShowPalette(palette, visualisation, wxPoint(300, 300));
}

// The palettes and menus of the current mode (the rest of the interface is
// enabled by EnableModeTools).
void ShowModeWindows()
{
    wxMenuBar* bar = gFenetreTunnel->GetMenuBar();
    ShowPalettes(gMode == 1, gMode == 2);
    bar->EnableTop(MenuCreation, gMode == 1);
    bar->EnableTop(MenuVisualisation, gMode == 2);
}

void InstallDefaultHooks(LumoraDevice* device)
{
    if (gMode == 1)
    {
        device->SetCustomEventsManager(OnPlanViewEvent);
        gToolPointAction = OnPlanViewPoint;
    }
    else
        device->SetCustomEventsManager(OnView3DEvent);
}

// The volume excavated at the head's current position, summed over the
// layers; 0 without results.
double ExcavatedVolume()
{
    return SumResults(gResults.Volumes);
}

// The creation palette and menu from the project.
void ShowCreationSwitches()
{
    gFenetreTunnel->CheckItem(26, gProjet.AffichageNordCreation);
    gFenetreTunnel->CheckItem(31, gProjet.mLignesNiveauAffichees);
    gFenetreTunnel->CheckItem(32, gProjet.PointsAffiches);
    gFenetreTunnel->CheckItem(33, gProjet.TriangulationAffichee);
    gFenetreTunnel->CheckItem(40, gProjet.AffichageAxeCreation);
    gFenetreTunnel->CheckItem(42, gProjet.GetAxe().Type == 0);
    gFenetreTunnel->CheckItem(43, gProjet.GetAxe().Type != 0);
    gFenetreTunnel->CheckItem(60, gProjet.ZoneAffichee);
    if (DialogOutilsCreation* palette = gFenetreTunnel->GetCreationPalette())
        palette->ShowProject();
}
} // namespace

void EnterCreationMode(bool recordUndo)
{
    if (!gFenetreTunnel)
        return;
    LumCamera* camera = MainCamera();
    if (gMode == 2 && camera)
    {
        gProjet.CameraPosition = camera->GetPosition();
        gProjet.CameraTarget = camera->GetTarget();
    }
    gMode = 1;
    EndCurrentTool();
    RestoreModeCamera();
    gProjet.SetCoucheCourante(gProjet.CoucheCourante);
    ShowCreationSwitches();

    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    device->SetDrawCallback(RenderPlanView);
    InstallDefaultHooks(device);
    ShowModeWindows();
    gFenetreTunnel->GetToolBar()->ToggleTool(FenetreTunnel::IdModeCreation, true);
    if (recordUndo)
        RecordViewChange(0);
    RefreshDisplay();
}

void EnterVisualisationMode(bool recordUndo)
{
    if (!gFenetreTunnel)
        return;
    LumCamera* camera = MainCamera();
    if (gMode == 1 && camera)
    {
        gProjet.PosXDessus = camera->GetPosition().x;
        gProjet.PosYDessus = camera->GetPosition().y;
        gProjet.ZoomDessus = camera->GetDistance();
    }
    if (gProjet.Is3DGeometryChanged() && !gProjet.ComputeAllFronts())
    {
        GetModelUi().MessageBox(
            "Impossible de passer en mode Visualisation : la zone de visualisation est mal définie",
            "Information", ModelUi::Buttons::Ok, 0);
        EnterCreationMode(false);
        return;
    }
    gMode = 2;
    EndCurrentTool();
    RestoreModeCamera();
    // Each switch shown again from its own value ticks the menu and the
    // palette.
    gProjet.Set3DTriangles(gProjet.m3DTriangles);
    gProjet.Set3DSegments(gProjet.m3DSegments);
    gProjet.Set3DPoints(gProjet.m3DPoints);
    gProjet.Set3DLignes(gProjet.m3DLignes);
    gProjet.Set3DSondages(gProjet.m3DSondages);
    gProjet.Set3DAxe(gProjet.m3DAxe);
    gProjet.Set3DAffichageTete(gProjet.m3DAffichageTete);
    gProjet.Set3DAffichageLigneIntersection(gProjet.m3DAffichageLigneIntersection);
    gProjet.Set3DAffichageInfos(gProjet.m3DAffichageInfos);
    gProjet.SetTravauxTransparence(gProjet.TravauxTransparence);
    if (DialogVisualisation* palette = gFenetreTunnel->GetVisualisationPalette())
        palette->SetGraduationLabel(gProjet.GraduationAxe);

    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    device->SetDrawCallback(RenderView3D);
    InstallDefaultHooks(device);
    ShowModeWindows();
    gFenetreTunnel->GetToolBar()->ToggleTool(FenetreTunnel::IdModeVisualisation, true);
    if (recordUndo)
        RecordViewChange(1);
    RefreshDisplay();
}

void EndCurrentTool()
{
    if (!gFenetreTunnel)
        return;
    // A tool that must give something back (the calibration's scale) does
    // so before anything else ends it.
    GetModelUi().RunEndToolHook();
    gUndoLightRefresh = false;
    gPlanDrawFondPlan = gPlanDrawNord = gPlanDrawEchelle = gPlanDrawZone = true;
    LumCamera* camera = MainCamera();
    if (camera && camera->GetMode() == 1)
        RestoreModeCamera();
    // The layer move still pending is the user's: kept, not lost.
    ApplyPendingCoucheMove();
    EnableModeTools();

    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    device->SetGizmo(nullptr);
    device->SetCustomEventsManager(nullptr);
    gToolPointAction = nullptr;
    gOverlayDrawer = nullptr;
    gFenetreTunnel->GetCanvas()->SetCursor(*wxSTANDARD_CURSOR);
    gFenetreTunnel->SetStatusText(wxEmptyString, 2);
    // A point picked before the tool is no longer the user's target: Delete
    // must not reach it.
    if (Couche* couche = gProjet.GetCouche(gProjet.CoucheCourante))
        couche->SetPickedVertex(-1);
    InstallDefaultHooks(device);
    RefreshDisplay();
}

namespace
{
// What the last frame that computed the excavation left to show: set by the
// 3D view's frame, shown by ReportExcavation.
bool sExcavationComputed = false;
bool sExcavationFailed = false;
bool sInRefresh = false;

// The results grid, the palette's volume and the calculation error box
// (not during a series) after a frame: the grid is rebuilt when that frame
// computed, or when the caller asks.
void ReportExcavation(bool rebuildGrid)
{
    if (!gFenetreTunnel)
        return;
    const bool computed = sExcavationComputed, failed = sExcavationFailed;
    sExcavationComputed = sExcavationFailed = false;
    if (computed || rebuildGrid)
        if (DialogResultats* results = gFenetreTunnel->GetResultsDialog())
            results->BuildGrid();
    // The palette tells the failure before the box explains it, rather
    // than show the previous position's volume behind the box.
    if (DialogVisualisation* palette = gFenetreTunnel->GetVisualisationPalette())
        palette->SetVolumeLabel(ExcavatedVolume());
    if (failed && !gSeriesRunning)
        GetModelUi().MessageBox(CalculationErrorText(gCalculationError), "Erreur de calcul",
                                ModelUi::Buttons::Ok, ModelUi::BoxCentred);
}
} // namespace

void NoteExcavationComputed()
{
    sExcavationComputed = true;
    sExcavationFailed = gCalculationErrors > 0;
    // A frame drawn outside the global refresh (a repaint, a camera move)
    // reports once the toolkit has left the paint: no modal box inside it.
    // A refresh that comes first reports it instead, and this call finds
    // nothing left to show.
    if (sInRefresh || !gFenetreTunnel)
        return;
    gFenetreTunnel->CallAfter(
        []
        {
            if (sExcavationComputed)
                ReportExcavation(false);
        });
}

void RefreshDisplay()
{
    if (!gFenetreTunnel)
        return;
    gCalculationErrors = 0;
    const bool busy = gProjet.m3DAffichageTete && gProjet.IsExcavationStale() && gMode == 2;
    PanelPrincipal* canvas = gFenetreTunnel->GetCanvas();
    if (busy)
        canvas->SetCursor(*wxHOURGLASS_CURSOR);
    {
        // Cleared however the frame leaves.
        struct InRefresh
        {
            InRefresh() { sInRefresh = true; }
            ~InRefresh() { sInRefresh = false; }
        } inRefresh;
        gFenetreTunnel->GetMainDevice()->RenderFrame();
    }
    if (busy)
        canvas->SetCursor(*wxSTANDARD_CURSOR);
    ReportExcavation(busy);
}

void DisableInterface()
{
    if (!gFenetreTunnel)
        return;
    wxMenuBar* bar = gFenetreTunnel->GetMenuBar();
    bar->Enable(false);
    EnableAllTopMenus(bar, false);
    gFenetreTunnel->GetToolBar()->Enable(false);
    ShowPalettes(false, false);
}

void EnableModeTools()
{
    if (!gFenetreTunnel)
        return;
    wxMenuBar* bar = gFenetreTunnel->GetMenuBar();
    bar->Enable(true);
    EnableAllTopMenus(bar, true);
    wxToolBar* tools = gFenetreTunnel->GetToolBar();
    tools->Enable(true);
    for (int id : ProjectTools)
        tools->EnableTool(id, true);
    ShowModeWindows();
}

void SetNoProjectInterface()
{
    if (!gFenetreTunnel)
        return;
    DisableInterface();
    wxMenuBar* bar = gFenetreTunnel->GetMenuBar();
    bar->Enable(true);
    EnableAllTopMenus(bar, false);
    bar->EnableTop(MenuFichier, true);
    bar->EnableTop(bar->GetMenuCount() - 1, true);
    wxToolBar* tools = gFenetreTunnel->GetToolBar();
    tools->Enable(true);
    for (int id : ProjectTools)
        tools->EnableTool(id, false);
}

void RestoreModeCamera()
{
    LumCamera* camera = MainCamera();
    if (!camera)
        return;
    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    if (gMode == 1)
    {
        camera->ChangeCameraMode(3);
        // No project yet has no zoom: the camera keeps its own.
        if (gProjet.ZoomDessus > 1e-5)
            camera->SetDistance(gProjet.ZoomDessus);
        camera->SetPosition(gProjet.PosXDessus, gProjet.PosYDessus, 10000.0);
        device->EnableLighting(false);
    }
    else
    {
        camera->ChangeCameraMode(1);
        camera->SetPosition(gProjet.CameraPosition);
        camera->SetTarget(gProjet.CameraTarget);
        device->EnableLighting(true);
    }
}

void SaveModeCamera()
{
    LumCamera* camera = MainCamera();
    if (!camera)
        return;
    LumoraDevice* device = gFenetreTunnel->GetMainDevice();
    if (gMode == 1)
    {
        camera->ChangeCameraMode(3);
        gProjet.ZoomDessus = camera->GetDistance();
        gProjet.PosXDessus = camera->GetPosition().x;
        gProjet.PosYDessus = camera->GetPosition().y;
        device->EnableLighting(false);
    }
    else
    {
        camera->ChangeCameraMode(1);
        gProjet.CameraPosition = camera->GetPosition();
        gProjet.CameraTarget = camera->GetTarget();
        device->EnableLighting(true);
    }
}
