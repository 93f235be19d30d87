// Plan settings of the project: scale and origin, and the placement of a
// background plan by path.
#include "ProjetOVX.h"

#include "FondPlanRecorders.h"
#include "KorException.h"
#include "KorNumbers.h"
#include "RawXMLElement.h"
#include "SceneCoordinates.h"

#include <cmath>

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
    if (echelle > 1e-5 && old > 1e-5)
    {
        // Scene x and y stay; z follows so that world altitudes stay.
        RescaleCouchesZ(old / echelle);
        OrigineX = w.x - (Echelle * OrigineCameraX) / 100.0;
        OrigineY = w.y - (OrigineCameraY * Echelle) / 100.0;
        // The axis graduation is computed again once the axis lands here.
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
    if (path.empty())
        return false;
    for (const RawXMLElement* fond : mFondsPlan)
        if (fond->GetMemberText("Nom") == path)
        {
            posX = KorAtof(fond->GetMemberText("PosX"));
            posY = KorAtof(fond->GetMemberText("PosY"));
            const std::string size = fond->GetMemberText("Taille");
            taille = size.empty() ? 1.0 : KorAtof(size);
            return true;
        }
    return false;
}
