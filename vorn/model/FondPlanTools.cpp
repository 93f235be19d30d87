#include "FondPlanTools.h"

#include "FondPlan.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "ProjetOVX.h"

#include <cmath>

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
    ui.EndCurrentTool();
    SetPlanToolHooks(nullptr);
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

void NordToolClick()
{
    ModelUi& ui = GetModelUi();
    gProjet.Nord = gNordAngle;
    ui.EndCurrentTool();
    gProjet.UpdateTitle();
    ui.EnableModeTools();
    ui.EnterCreationMode(false);
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
    SetPlanToolHooks(nullptr);
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
    if (!ui.AskText("Distance du segment dessiné", text))
    {
        ui.EndCurrentTool();
        return;
    }
    const double d = KorAtof(text);
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

void StartFondPlanOrigin()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
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
    SetPlanToolHooks(nullptr);
    ui.SetEndToolHook(EndAdjust);
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
    gProjet.SetFondPlanPlacement(gAdjustX, gAdjustY, gAdjustTaille, false, false);
    gProjet.SetFondPlanPlacement(x, y, size, true, true);
    GetModelUi().RefreshDisplay();
}

void FondPlanAdjustFollowPlacement(double x, double y, double size, bool sync)
{
    if (!gAdjustRunning || !sync)
        return;
    gAdjustX = x;
    gAdjustY = y;
    gAdjustTaille = size;
}
