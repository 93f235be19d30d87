#include "FondPlanTools.h"

#include "EventInfo.h"
#include "FondPlan.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "TypedValues.h"

#include <GL/gl.h>

#include <cmath>
#include <string>

namespace
{
int gNordAngle = 0;

bool gCalibrationRunning = false;
// A double: the old scale comes back exactly.
double gCalibrationScale = 0.0;
bool gCalibrationFirstPoint = false;
LumPoint gCalibrationFirst;
LumPoint gCalibrationSecond;

bool gAdjustRunning = false;
double gAdjustX = 0.0;
double gAdjustY = 0.0;
double gAdjustTaille = 1.0;

void EndCalibration()
{
    if (!gCalibrationRunning)
        return;
    gCalibrationRunning = false;
    gCalibrationFirstPoint = false;
    gProjet.SetEchelle(gCalibrationScale, false);
}

void EndAdjust()
{
    gAdjustRunning = false;
    if (LumoraDevice* device = GetModelUi().GetMainDevice())
        device->SetGizmo(nullptr);
}

// Escape or a press of the right button: every plan tool ends on it.
bool IsToolExit(const EventInfo& event)
{
    return event.keyCode == 27 || (event.pressed && event.button == 3);
}

bool IsLeftClick(const EventInfo& event)
{
    return event.pressed && event.button == 1;
}

// The scene point under the event's pixel; false without a device.
bool ScenePoint(const EventInfo& event, LumPoint& point)
{
    LumoraDevice* device = GetModelUi().GetMainDevice();
    if (!device || !device->GetCamera())
        return false;
    point = device->GetCamera()->GetPosition(event.x, event.y);
    return true;
}

LumGizmo* MainGizmo()
{
    LumoraDevice* device = GetModelUi().GetMainDevice();
    return device ? device->GetGizmo() : nullptr;
}

void SetPlanToolHooks(ModelUi::OverlayDrawer overlay)
{
    ModelUi& ui = GetModelUi();
    ui.SetToolPointAction(nullptr);
    ui.SetOverlayDrawer(overlay);
}
} // namespace

int NordToolAngle(const LumPoint& d)
{
    if (std::fabs(d.x) < 1e-5)
        return d.y >= 0.0 ? 0 : 180;
    if (std::fabs(d.y) < 1e-5)
        return d.x > 0.0 ? 90 : 270;
    double a = std::atan(d.y / d.x);
    if (d.x < 0.0)
        a += M_PI;
    if (a < 0.0)
        a += 2.0 * M_PI;
    int angle = 450 - static_cast<int>(a * 180.0 / M_PI);
    if (angle >= 360)
        angle -= 360;
    return angle;
}

void StartNordTool()
{
    ModelUi& ui = GetModelUi();
    if (LumoraDevice* device = ui.GetMainDevice())
    {
        if (device->GetCamera())
            device->GetCamera()->ChangeCameraMode(3);
        device->EnableLighting(false);
    }
    ui.EndCurrentTool();
    ui.SetEventsManager(OnNordToolEvent);
    SetPlanToolHooks(DrawNordToolOverlay);
    ui.DisableInterface();
    gNordAngle = 0;
}

int GetNordToolAngle()
{
    return gNordAngle;
}

void NordToolMove(const LumPoint& d)
{
    gNordAngle = NordToolAngle(d);
    GetModelUi().RefreshDisplay();
}

void NordToolCancel()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    gProjet.UpdateTitle();
    ui.EnableModeTools();
    ui.EnterCreationMode(false);
}

void NordToolClick()
{
    gProjet.Nord = gNordAngle;
    NordToolCancel();
}

bool OnNordToolEvent(const EventInfo& event)
{
    if (IsToolExit(event))
    {
        NordToolCancel();
        return true;
    }
    LumPoint p;
    if ((event.moved || event.dragged || event.pressed) && ScenePoint(event, p))
    {
        const LumCamera* camera = GetModelUi().GetMainDevice()->GetCamera();
        NordToolMove(p - camera->GetPosition());
    }
    if (IsLeftClick(event))
    {
        NordToolClick();
        return true;
    }
    return false;
}

void StartFondPlanCalibration()
{
    ModelUi& ui = GetModelUi();
    // First: a calibration already running gives its scale back before
    // this one remembers the scale.
    ui.EndCurrentTool();
    gCalibrationScale = gProjet.Echelle;
    gProjet.SetEchelle(0.0, false);
    gCalibrationRunning = true;
    gCalibrationFirstPoint = false;
    ui.SetEventsManager(OnFondPlanCalibrationEvent);
    SetPlanToolHooks(DrawFondPlanCalibrationOverlay);
    ui.SetEndToolHook(EndCalibration);
    ui.SetStatusText("Cliquez gauche pour définir 2 points qui serviront de référence", 0);
}

bool IsFondPlanCalibrationRunning()
{
    return gCalibrationRunning;
}

bool GetFondPlanCalibrationSegment(LumPoint& first, LumPoint& second)
{
    first = gCalibrationFirst;
    second = gCalibrationSecond;
    return gCalibrationRunning && gCalibrationFirstPoint;
}

void FondPlanCalibrationMove(const LumPoint& scenePoint)
{
    if (!gCalibrationRunning || !gCalibrationFirstPoint)
        return;
    gCalibrationSecond = scenePoint;
    GetModelUi().RefreshDisplay();
}

void FondPlanCalibrationCancel()
{
    GetModelUi().EndCurrentTool();
}

void FondPlanCalibrationClick(const LumPoint& scenePoint)
{
    if (!gCalibrationRunning)
        return;
    ModelUi& ui = GetModelUi();
    if (!gCalibrationFirstPoint)
    {
        gCalibrationFirst = scenePoint;
        gCalibrationSecond = scenePoint;
        gCalibrationFirstPoint = true;
        ui.SetStatusText("Définissez le deuxième point", 0);
        return;
    }
    gCalibrationSecond = scenePoint;
    ui.SetStatusText("Définissez la distance entre les 2 points", 0);
    std::string text;
    if (!ui.AskText("Distance du segment dessiné", "Échelle du fond de plan", text))
    {
        ui.EndCurrentTool();
        return;
    }
    const double d = TypedNumber(text);
    // "inf" and "nan" parse; neither is a scale.
    if (!std::isfinite(d) || !(d > 0.0))
    {
        ui.MessageBox("La valeur entrée ne correspond pas à une échelle : ce doit être un réel > 0",
                      "Erreur");
        ui.EndCurrentTool();
        return;
    }
    const double length = (gCalibrationSecond - gCalibrationFirst).Norm();
    // Ending the tool gives the old scale back, so the new one is recorded
    // from it and rescales the layers once.
    ui.EndCurrentTool();
    if (length >= 1e-5)
    {
        const double echelle = d / length * 100.0;
        if (std::isfinite(echelle) && echelle > 1e-5)
            gProjet.SetEchelle(echelle, true);
        ui.RefreshDisplay();
    }
}

bool OnFondPlanCalibrationEvent(const EventInfo& event)
{
    if (IsToolExit(event))
    {
        FondPlanCalibrationCancel();
        return true;
    }
    LumPoint p;
    if (IsLeftClick(event) && ScenePoint(event, p))
    {
        FondPlanCalibrationClick(p);
        return true;
    }
    // Motion still pans the view.
    if ((event.moved || event.dragged) && ScenePoint(event, p))
        FondPlanCalibrationMove(p);
    return false;
}

void StartFondPlanOrigin()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    ui.SetEventsManager(OnFondPlanOriginEvent);
    SetPlanToolHooks(nullptr);
    ui.SetStatusText("Cliquez pour définir l'origine", 0);
}

void FondPlanOriginClick(const LumPoint& p)
{
    ModelUi& ui = GetModelUi();
    double x = 0.0;
    double y = 0.0;
    if (ui.AskTwoValues("Coordonnées du point", "Abscisse", "Ordonnée", x, y) && std::isfinite(x) &&
        std::isfinite(y))
    {
        const double wx = p.x * gProjet.Echelle / 100.0;
        const double wy = p.y * gProjet.Echelle / 100.0;
        gProjet.SetOrigine(p.x, p.y, x - wx, y - wy, true);
    }
    ui.EndCurrentTool();
}

bool OnFondPlanOriginEvent(const EventInfo& event)
{
    if (IsToolExit(event))
    {
        GetModelUi().EndCurrentTool();
        return true;
    }
    LumPoint p;
    if (IsLeftClick(event) && ScenePoint(event, p))
    {
        FondPlanOriginClick(p);
        return true;
    }
    return false;
}

void StartFondPlanAdjust()
{
    const FondPlan* plan = gProjet.GetFondPlanUtilise();
    if (!plan)
        return;
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    gAdjustX = plan->PosX;
    gAdjustY = plan->PosY;
    gAdjustTaille = plan->Taille;
    gAdjustRunning = true;
    ui.SetEventsManager(OnFondPlanAdjustEvent);
    SetPlanToolHooks(nullptr);
    ui.SetEndToolHook(EndAdjust);
    if (LumoraDevice* device = ui.GetMainDevice())
        device->SetGizmo(new LumGizmo(device, 0x0b, LumPoint(gAdjustX, gAdjustY, 0.0)));
    ui.SetStatusText("clic droit pour sortir du mode d'ajustement de fond de plan", 0);
}

bool IsFondPlanAdjustRunning()
{
    return gAdjustRunning;
}

void FondPlanAdjustDrag(double x, double y, double size)
{
    gProjet.SetFondPlanPlacement(x, y, size, false, false);
    GetModelUi().RefreshDisplay();
}

void FondPlanAdjustDragEnd(double x, double y, double size)
{
    // A click without a drag changed nothing: no step, nothing modified.
    if (x == gAdjustX && y == gAdjustY && size == gAdjustTaille)
        return;
    gProjet.SetFondPlanPlacement(gAdjustX, gAdjustY, gAdjustTaille, false, false);
    gProjet.SetFondPlanPlacement(x, y, size, true, true);
    GetModelUi().RefreshDisplay();
}

bool OnFondPlanAdjustEvent(const EventInfo& event)
{
    if (IsToolExit(event) || !gProjet.GetFondPlanUtilise())
    {
        GetModelUi().EndCurrentTool();
        return true;
    }
    LumGizmo* gizmo = MainGizmo();
    if (!gizmo)
        return false;
    if (gizmo->IsReleased())
    {
        // Once per drag, whatever the device does with the flag.
        gizmo->SetReleased(false);
        const FondPlan* plan = gProjet.GetFondPlanUtilise();
        FondPlanAdjustDragEnd(plan->PosX, plan->PosY, plan->Taille);
        return true;
    }
    if (gizmo->IsInUse() && gizmo->IsMoving())
    {
        // The drag's point is where it began plus the translation since:
        // the placement moves the gizmo along while it runs.
        const LumPoint p = gizmo->GetStartPosition() + gizmo->GetTranslation();
        FondPlanAdjustDrag(p.x, p.y, gizmo->GetScale().x + gAdjustTaille - 1.0);
        return true;
    }
    return false;
}

void FondPlanAdjustFollowPlacement(double x, double y, double size, bool sync)
{
    if (!gAdjustRunning)
        return;
    if (LumGizmo* gizmo = MainGizmo())
    {
        gizmo->SetPosition(LumPoint(x, y, 0.0));
        gizmo->SetTranslation(LumPoint());
        if (sync)
            gizmo->InitTransformations();
    }
    if (sync)
    {
        gAdjustX = x;
        gAdjustY = y;
        gAdjustTaille = size;
    }
}

void DrawNordToolOverlay(LumoraDevice* device)
{
    LumCamera* camera = device && device->IsRendering() ? device->GetCamera() : nullptr;
    if (!camera)
        return;
    const double width = camera->GetViewWidth();
    const LumPoint& c = camera->GetPosition();
    constexpr double z = -900.0;
    constexpr double kDegToRad = M_PI / 180.0;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3d(0.4, 0.4, 0.4);
    const double r = 0.35 * width;
    glBegin(GL_LINE_LOOP);
    for (int k = 0; k < 360; ++k)
        glVertex3d(c.x + r * std::cos(k * kDegToRad), c.y + r * std::sin(k * kDegToRad), z);
    glEnd();
    // The angle runs clockwise from the top of the view.
    const double a = gNordAngle * kDegToRad, half = 0.45 * width;
    const LumPoint d(std::sin(a) * half, std::cos(a) * half, 0.0);
    glBegin(GL_LINES);
    glVertex3d(c.x - d.x, c.y - d.y, z);
    glVertex3d(c.x + d.x, c.y + d.y, z);
    glEnd();
    GetModelUi().DrawNorthArrow(gNordAngle);
    // The angle's text at the end of the line the mouse points along.
    glLoadIdentity();
    glTranslated(c.x + d.x, c.y + d.y, z);
    glColor3d(0.4, 0.4, 0.4);
    device->Draw2DText(std::to_string(gNordAngle) + " °");
    glLoadIdentity();
}

void DrawFondPlanCalibrationOverlay(LumoraDevice* device)
{
    LumPoint first, second;
    if (!device || !device->IsRendering() || !GetFondPlanCalibrationSegment(first, second))
        return;
    glDisable(GL_DEPTH_TEST);
    glColor3d(1.0, 0.0, 0.0);
    glBegin(GL_LINES);
    glVertex3d(first.x, first.y, first.z);
    glVertex3d(second.x, second.y, second.z);
    glEnd();
    glEnable(GL_DEPTH_TEST);
}
