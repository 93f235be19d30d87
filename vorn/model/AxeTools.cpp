#include "AxeTools.h"

#include "Axe.h"
#include "AxeRecorders.h"
#include "KorDXF.h"
#include "KorNumbers.h"
#include "KorSinglePrecision.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <locale>
#include <sstream>

int gSelectedAxePoint = -1;
LumPoint gAxePointDragStart;
LumPoint gAxeCentreDragStart;

void OnAxeParametersEntered()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    std::string radius, orientation, inclination;
    if (!ui.ReadAxeParameters(radius, orientation, inclination))
        return;
    Axe& axe = gProjet.GetAxe();
    axe.SetParameters(axe.Origine, KorToSingle(KorAtof(radius)), KorToSingle(KorAtof(orientation)),
                      KorToSingle(KorAtof(inclination)), true, true, true);
}

void OnSetAxePM()
{
    Axe& axe = gProjet.GetAxe();
    if (gSelectedAxePoint < 0 || gSelectedAxePoint >= axe.GetPointCount())
        return;
    const LumPoint point = axe.GetPolyline()[gSelectedAxePoint];
    axe.SetPM(point);
    const LumPoint world = SceneToWorld(gProjet, point);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "Le PM a été positionné à la coordonnée : " << world.x << " ; " << world.y << " ; " << world.z;
    GetModelUi().MessageBox(text.str(), "Information", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
}

void ImportAxeDXF()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    ModelUi::FileRequest request;
    request.Title = "Sélectionnez un fichier DXF";
    request.Wildcard = "DXF files (*.dxf) |*.dxf";
    const std::string path = ui.AskFilePath(request);
    if (path.empty())
        return;
    const KorDXF dxf(path);
    const char* refusal = nullptr;
    if (!dxf.IsOpen())
        refusal = "Impossible de charger le fichier DXF";
    else if (dxf.Polylines.empty())
        refusal = "Le fichier DXF chargé ne contient pas de polyligne";
    else if (dxf.Polylines.size() > 1)
        refusal = "Le fichier DXF chargé contient plus d'une polyligne : choix impossible";
    if (refusal)
    {
        ui.MessageBox(refusal, "Erreur");
        return;
    }
    std::vector<LumPoint> points;
    points.reserve(dxf.Polylines.front().Points.size());
    for (const LumPoint& world : dxf.Polylines.front().Points)
        points.push_back(WorldToScene(gProjet, world));
    Axe& axe = gProjet.GetAxe();
    const std::vector<LumPoint> old = axe.GetPolyline();
    axe.ReplacePolyline(points);
    gSelectedAxePoint = -1;
    RecordAxePointsChange(old);
    ui.RefreshDisplay();
}
