// The background plans and the plan settings of the project: the plan in
// use, the scale and the origin.
#include "ProjetOVX.h"

#include "FondPlan.h"
#include "FondPlanRecorders.h"
#include "FondPlanTools.h"
#include "KorString.h"
#include "ModelUi.h"
#include "SceneCoordinates.h"
#include "Axe.h"
#include "KorException.h"

#include <cmath>

FondPlan* ProjetOVX::GetFondPlan(int index) const
{
    return index >= 0 && index < GetNumberOfFondsPlan() ? mFondsPlan[index] : nullptr;
}

FondPlan* ProjetOVX::GetFondPlan(const std::string& path) const
{
    for (FondPlan* plan : mFondsPlan)
        if (plan->Nom == path)
            return plan;
    return nullptr;
}

int ProjetOVX::FindFondPlan(const std::string& fileName) const
{
    std::string wanted = fileName;
    ToLower(wanted);
    for (int i = 0; i < GetNumberOfFondsPlan(); ++i)
    {
        std::string name = GetFileFromPath(mFondsPlan[i]->Nom);
        ToLower(name);
        if (name == wanted)
            return i;
    }
    return -1;
}

FondPlan* ProjetOVX::GetFondPlanUtilise()
{
    if (FondUtilise < 0)
        return nullptr;
    if (FondUtilise >= GetNumberOfFondsPlan())
    {
        FondUtilise = -1;
        return nullptr;
    }
    return mFondsPlan[FondUtilise];
}

void ProjetOVX::SetFondPlan(const std::string& path)
{
    if (path.empty())
        return;
    const int found = FindFondPlan(GetFileFromPath(path));
    if (found >= 0)
    {
        mFondsPlan[found]->Nom = path;
        FondUtilise = found;
    }
    else
    {
        mFondsPlan.push_back(new FondPlan(path));
        FondUtilise = GetNumberOfFondsPlan() - 1;
    }
    MarkCouchesTexturesChanged();
}

void ProjetOVX::ChooseFondPlan(bool record)
{
    ModelUi& ui = GetModelUi();
    const FondPlan* current = GetFondPlanUtilise();
    const std::string oldPath = current ? current->Nom : std::string();
    ModelUi::FileRequest request;
    request.Title = "Sélectionnez une image de fond de plan";
    request.Wildcard = "Image files (*.bmp,*.jpg,*.png) |*.bmp;*.png;*.jpg";
    const std::string path = ui.AskFilePath(request);
    if (!path.empty())
    {
        SetFondPlan(path);
        if (record)
            RecordFondPlanChange(oldPath, path);
    }
    ui.RefreshDisplay();
}

void ProjetOVX::SetFondPlanPlacement(double x, double y, double size, bool record, bool sync)
{
    FondPlan* plan = GetFondPlanUtilise();
    if (!plan)
        return;
    if (record)
        RecordFondPlanPlacementChange(plan->PosX, plan->PosY, plan->Taille, x, y, size);
    plan->PosX = x;
    plan->PosY = y;
    plan->Taille = size;
    FondPlanAdjustFollowPlacement(x, y, size, sync);
    if (sync)
        MarkCouchesTexturesChanged();
}

void ProjetOVX::SetEchelle(double echelle, bool record)
{
    // An infinite scale would flatten every layer, a NaN one poison them.
    if (!std::isfinite(echelle))
    {
        KorReport("ProjetOVX::SetEchelle", "L'échelle doit être un nombre fini");
        return;
    }
    const LumPoint w = SceneToWorld(*this, GetOrigineCamera());
    const double old = Echelle;
    Echelle = echelle;
    SetGeometryChanged();
    InvalidateResults();
    RefreshWindows();
    // A scale of 0 (the calibration's, while it runs) rescales nothing:
    // coming back from it stores the scale alone.
    if (echelle > 1e-5 && old > 1e-5)
    {
        // World altitudes stay: scene z follows the scale, x and y are
        // the plan's.
        RescaleCouchesZ(old / echelle);
        OrigineX = w.x - (Echelle * OrigineCameraX) / 100.0;
        OrigineY = w.y - (OrigineCameraY * Echelle) / 100.0;
        mAxe->InvalidateGraduation();
        SetGeometryChanged();
        InvalidateResults();
        RefreshWindows();
    }
    if (record)
        RecordEchelleChange(old, echelle);
}

void ProjetOVX::SetOrigine(double cameraX, double cameraY, double origineX, double origineY, bool record)
{
    if (record)
        RecordOrigineChange(OrigineCameraX, OrigineCameraY, OrigineX, OrigineY, cameraX, cameraY, origineX,
                            origineY);
    OrigineCameraX = cameraX;
    OrigineCameraY = cameraY;
    OrigineX = origineX;
    OrigineY = origineY;
}

bool ProjetOVX::GetFondPlanPlacement(const std::string& path, double& posX, double& posY,
                                     double& taille) const
{
    const FondPlan* plan = path.empty() ? nullptr : GetFondPlan(path);
    if (!plan)
        return false;
    posX = plan->PosX;
    posY = plan->PosY;
    taille = plan->Taille;
    return true;
}
