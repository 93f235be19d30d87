// Plan settings of the project: scale, origin, displayed zone, and the
// placement of a background plan by path.
#include "ProjetOVX.h"

#include "Couche.h"
#include "KorException.h"
#include "KorNumbers.h"
#include "ModelUi.h"
#include "PlanRecorders.h"
#include "RawXMLElement.h"
#include "SceneCoordinates.h"

#include <algorithm>
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
        const double ratio = old / echelle;
        for (Couche* couche : mCouches)
        {
            KorMesh& mesh = couche->GetMesh();
            for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
                if (KorVertex* v = mesh.GetVertex(id))
                    v->Z *= ratio;
            couche->SetGeometryChanged();
        }
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

void ProjetOVX::SetZone(const LumPoint& c1, const LumPoint& c2, bool normalise, bool geometry)
{
    LumPoint first = c1, second = c2;
    if (normalise)
    {
        first = LumPoint(std::min(c1.x, c2.x), std::max(c1.y, c2.y), 0.0);
        second = LumPoint(std::max(c1.x, c2.x), std::min(c1.y, c2.y), 0.0);
        RecordZoneChange(Limite1, Limite2, first, second);
    }
    Limite1 = first;
    Limite2 = second;
    if (geometry)
        m3DGeometryChanged = true;
    GetModelUi().RefreshDisplay();
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
