#include "AxeTools.h"

#include "Axe.h"
#include "AxeRecorders.h"
#include "DXFLeftOut.h"
#include "EventInfo.h"
#include "KorDXF.h"
#include "KorSinglePrecision.h"
#include "LumCamera.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "TypedValues.h"

#include <cmath>
#include <locale>
#include <sstream>

int gSelectedAxePoint = -1;
LumPoint gAxePointDragStart;
LumPoint gAxeCentreDragStart;

namespace
{
const char* const kPMItem = "Définir ce point de l'axe comme PM 0";

// A centre drag is under way: its start was taken from the arc when it
// began, since an undo may have moved the arc since the last record.
bool gCentreDragging = false;

bool EndsTool(const EventInfo& event)
{
    return event.keyCode == 27 || (event.button == 3 && event.released);
}

// In the 3D view the tool's end keeps the camera where the user left it.
void EndAxeTool()
{
    ModelUi& ui = GetModelUi();
    gCentreDragging = false;
    LumoraDevice* device = ui.GetMainDevice();
    if (ui.GetMode() == 2 && device && device->GetCamera())
    {
        gProjet.CameraPosition = device->GetCamera()->GetPosition();
        gProjet.CameraTarget = device->GetCamera()->GetTarget();
    }
    ui.EndCurrentTool();
}

// The gizmo being dragged, or null.
LumGizmo* ActiveGizmo(LumoraDevice* device)
{
    LumGizmo* gizmo = device ? device->GetGizmo() : nullptr;
    return gizmo && gizmo->IsInUse() ? gizmo : nullptr;
}

LumPoint DraggedTo(const LumGizmo& gizmo)
{
    return gizmo.GetPosition() + gizmo.GetTranslation();
}

void PutGizmo(LumGizmo* gizmo, const LumPoint& point)
{
    if (!gizmo)
        return;
    gizmo->SetPosition(point);
    gizmo->InitTransformations();
}
} // namespace

void PlaceAxeCentreGizmo(const LumPoint& origin)
{
    ModelUi& ui = GetModelUi();
    LumoraDevice* device = ui.GetMainDevice();
    if (device && ui.GetEventsManager() == &OnAxeCentreToolEvent)
        PutGizmo(device->GetGizmo(), origin);
}

bool OnAxeCentreToolEvent(const EventInfo& event)
{
    if (EndsTool(event))
    {
        EndAxeTool();
        return true;
    }
    ModelUi& ui = GetModelUi();
    LumGizmo* gizmo = ActiveGizmo(ui.GetMainDevice());
    if (!gizmo)
        return false;
    Axe& axe = gProjet.GetAxe();
    if (!gCentreDragging)
    {
        gAxeCentreDragStart = axe.Origine;
        gCentreDragging = true;
    }
    const LumPoint origin = DraggedTo(*gizmo);
    if (gizmo->IsReleased())
    {
        gCentreDragging = false;
        // The drag's moves go back silently, then one recorded change.
        axe.SetParameters(gAxeCentreDragStart, axe.Rayon, axe.Orientation, axe.Inclinaison, false, false,
                          false);
        axe.SetParameters(origin, axe.Rayon, axe.Orientation, axe.Inclinaison, true, true, true);
        ui.RefreshDisplay();
    }
    else if (gizmo->IsMoving())
    {
        axe.SetParameters(origin, axe.Rayon, axe.Orientation, axe.Inclinaison, true, false, false);
        ui.ShowCoordinates(origin);
    }
    return true;
}

void OnAxeCentreToolPoint(LumPoint point)
{
    ModelUi& ui = GetModelUi();
    if (LumoraDevice* device = ui.GetMainDevice())
        PutGizmo(device->GetGizmo(), point);
    Axe& axe = gProjet.GetAxe();
    axe.SetParameters(point, axe.Rayon, axe.Orientation, axe.Inclinaison, true, true, true);
}

bool OnAxePointsToolEvent(const EventInfo& event)
{
    if (EndsTool(event))
    {
        EndAxeTool();
        return true;
    }
    ModelUi& ui = GetModelUi();
    LumoraDevice* device = ui.GetMainDevice();
    LumCamera* camera = device ? device->GetCamera() : nullptr;
    if (!camera)
        return false;
    Axe& axe = gProjet.GetAxe();

    LumPoint cursor = camera->GetPosition(event.x, event.y);
    cursor.z = WorldToScene(gProjet, ui.ReadCoordinates()).z;
    const LumPoint side = camera->GetPosition(event.x + 7, event.y) - camera->GetPosition(event.x, event.y);
    const double radius = KorToSingle(side.Norm());
    int hit = -1;
    for (int i = 0; i < axe.GetPointCount() && hit < 0; ++i)
    {
        const LumPoint d = axe.GetPolyline()[i] - cursor;
        if (d.Norm2D() <= radius)
            hit = i;
    }

    // The 3D layer reports both Delete keys as 127; 46 is a typed '.'.
    if (event.keyCode == 127)
    {
        if (gSelectedAxePoint >= 0)
            axe.DeletePoint(gSelectedAxePoint);
        device->SetGizmo(nullptr);
        ui.RefreshDisplay();
        return true;
    }

    const bool selected = gSelectedAxePoint >= 0 && gSelectedAxePoint < axe.GetPointCount();
    if (LumGizmo* gizmo = ActiveGizmo(device); gizmo && selected)
    {
        const LumPoint moved = DraggedTo(*gizmo);
        if (gizmo->IsReleased())
        {
            axe.MovePoint(gSelectedAxePoint, gAxePointDragStart, false, false);
            axe.MovePoint(gSelectedAxePoint, moved, true, true);
            gAxePointDragStart = moved;
            ui.ShowCoordinates(moved);
            ui.RefreshDisplay();
        }
        else if (gizmo->IsMoving())
        {
            axe.MovePoint(gSelectedAxePoint, moved, false, false);
            ui.ShowCoordinates(moved);
            ui.RefreshDisplay();
        }
        return true;
    }

    ui.SetCursor(hit >= 0 ? ModelUi::Cursor::AxisPoint : ModelUi::Cursor::AxisTool);

    if (event.button == 1 && event.pressed)
    {
        const int index = hit >= 0 ? hit : axe.InsertPoint(cursor);
        if (index < 0)
            return false;
        const LumPoint point = axe.GetPolyline()[index];
        device->SetGizmo(new LumGizmo(device, ui.GetMode() == 2 ? 7 : 3, point));
        gSelectedAxePoint = index;
        gAxePointDragStart = point;
        ui.ShowCoordinates(point);
        ui.RefreshDisplay();
        return false;
    }
    if (event.button == 3 && event.pressed && hit >= 0)
    {
        gSelectedAxePoint = hit;
        ModelUi::PopupItem item;
        item.Label = kPMItem;
        item.Callback = OnSetAxePM;
        ui.ShowPopupMenu({item}, event.x, event.y);
        return false;
    }
    if (gSelectedAxePoint < 0)
        ui.ShowCoordinates(cursor);
    return false;
}

void OnAxePointsToolPoint(LumPoint point)
{
    LumoraDevice* device = GetModelUi().GetMainDevice();
    LumGizmo* gizmo = device ? device->GetGizmo() : nullptr;
    Axe& axe = gProjet.GetAxe();
    if (!gizmo || gSelectedAxePoint < 0 || gSelectedAxePoint >= axe.GetPointCount())
        return;
    axe.MovePoint(gSelectedAxePoint, point, true, true);
    PutGizmo(gizmo, point);
    gAxePointDragStart = point;
    GetModelUi().RefreshDisplay();
}

void OnAxeParametersEntered()
{
    ModelUi& ui = GetModelUi();
    ui.EndCurrentTool();
    std::string radius, orientation, inclination;
    if (!ui.ReadAxeParameters(radius, orientation, inclination))
        return;
    Axe& axe = gProjet.GetAxe();
    const double values[3] = {KorToSingle(TypedNumber(radius)), KorToSingle(TypedNumber(orientation)),
                              KorToSingle(TypedNumber(inclination))};
    // A value past single precision is as infinite as one that is; a radius
    // of 0 (no number typed reads 0) or below has no arc. A refused value
    // gives way to the stored ones in the fields.
    const std::string refusal = Axe::ParametersRefusal(values[0], values[1], values[2]);
    if (!refusal.empty())
    {
        ui.MessageBox(refusal, "Erreur");
        ui.ShowAxeParameters(axe.Rayon, axe.Orientation, axe.Inclinaison);
        return;
    }
    axe.SetParameters(axe.Origine, values[0], values[1], values[2], true, true, true);
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
    std::string refusal;
    if (!dxf.IsOpen())
        refusal = "Impossible de charger le fichier DXF";
    else if (dxf.Polylines.empty())
    {
        refusal = "Le fichier DXF chargé ne contient pas de polyligne";
        // A polyline drawn in a block comes in as an INSERT the reader
        // leaves out: saying so tells that file from an empty one.
        const std::string leftOut = dxf.DescribeLeftOut();
        if (!leftOut.empty())
            refusal += "\n" + LeftOutLine(leftOut);
    }
    else if (dxf.Polylines.size() > 1)
        refusal = "Le fichier DXF chargé contient plus d'une polyligne : choix impossible";
    if (!refusal.empty())
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
