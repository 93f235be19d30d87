#include "DecorTools.h"

#include "Decor.h"
#include "EventInfo.h"
#include "LumGizmo.h"
#include "LumoraDevice.h"
#include "ModelUi.h"
#include "OVXUndoManager.h"
#include "ProjetOVX.h"

int gPickedDecor = -1;

namespace
{
DecorTool gTool = DecorTool::Move;
int gToolIndex = -1;

Decor* ToolDecor()
{
    return gProjet.GetDecor(gToolIndex);
}

// However the tool ends, the object shows no preview and the gizmo goes.
void EndDecorTool()
{
    if (Decor* decor = ToolDecor())
    {
        decor->SetTransformShown(false);
        decor->ClearPreview();
    }
    gToolIndex = -1;
    if (LumoraDevice* device = GetModelUi().GetMainDevice())
        device->SetGizmo(nullptr);
}

ModelUi::EventsManager Manager(DecorTool tool)
{
    switch (tool)
    {
    case DecorTool::Rotate:
        return OnDecorRotateEvent;
    case DecorTool::Resize:
        return OnDecorResizeEvent;
    default:
        return OnDecorMoveEvent;
    }
}

int Mask(DecorTool tool)
{
    switch (tool)
    {
    case DecorTool::Rotate:
        return 0x70;
    case DecorTool::Resize:
        return 0x80;
    default:
        return 7;
    }
}

// The value of the gizmo the tool reads: translation, angles, or scale.
LumPoint GizmoValue(const LumGizmo* gizmo)
{
    switch (gTool)
    {
    case DecorTool::Rotate:
        return gizmo->GetRotation();
    case DecorTool::Resize:
        return gizmo->GetScale();
    default:
        return gizmo->GetTranslation();
    }
}

bool OnDecorToolEvent(const EventInfo& event)
{
    ModelUi& ui = GetModelUi();
    if (!ToolDecor() || event.keyCode == 27 || (event.pressed && event.button == 3))
    {
        DecorToolCancel();
        return true;
    }
    ui.FocusMainCanvas();
    LumoraDevice* device = ui.GetMainDevice();
    LumGizmo* gizmo = device ? device->GetGizmo() : nullptr;
    if (!gizmo)
        return false;
    if (gUndoLightRefresh)
    {
        // An undo under this tool moved the object: the gizmo follows.
        gUndoLightRefresh = false;
        gizmo->SetPosition(ToolDecor()->GetCentre());
        gizmo->InitTransformations();
        ui.RefreshDisplay();
        return true;
    }
    if (gizmo->IsInUse() && gizmo->IsReleased())
    {
        gizmo->SetReleased(false);
        const LumPoint value = GizmoValue(gizmo);
        if (gTool == DecorTool::Move)
            gizmo->SetPosition(gizmo->GetStartPosition() + value);
        gizmo->InitTransformations();
        DecorToolDragEnd(value);
        return true;
    }
    if (gizmo->IsInUse() && gizmo->IsMoving())
    {
        DecorToolDrag(GizmoValue(gizmo));
        return true;
    }
    return false;
}
} // namespace

bool StartDecorTool(DecorTool tool)
{
    ModelUi& ui = GetModelUi();
    ui.SaveModeCamera();
    Decor* decor = gProjet.GetDecor(gPickedDecor);
    if (!decor)
        return false;
    ui.EndCurrentTool();
    gTool = tool;
    gToolIndex = gPickedDecor;
    ui.SetEventsManager(Manager(tool));
    ui.SetToolPointAction(nullptr);
    ui.SetOverlayDrawer(nullptr);
    ui.SetEndToolHook(EndDecorTool);
    if (LumoraDevice* device = ui.GetMainDevice())
        device->SetGizmo(new LumGizmo(device, Mask(tool), decor->GetCentre()));
    decor->SetTransformShown(true);
    decor->ClearPreview();
    ui.RefreshDisplay();
    return true;
}

int GetDecorToolIndex()
{
    return ToolDecor() ? gToolIndex : -1;
}

void DecorToolDrag(const LumPoint& value)
{
    Decor* decor = ToolDecor();
    if (!decor)
        return;
    switch (gTool)
    {
    case DecorTool::Move:
        decor->SetPreview(0.0, value, LumPoint());
        break;
    case DecorTool::Rotate:
        decor->SetPreview(0.0, LumPoint(), value);
        break;
    case DecorTool::Resize:
        decor->SetPreview(value.x, LumPoint(), LumPoint());
        break;
    }
    GetModelUi().RefreshDisplay();
}

void DecorToolDragEnd(const LumPoint& value)
{
    Decor* decor = ToolDecor();
    if (!decor)
        return;
    switch (gTool)
    {
    case DecorTool::Move:
        decor->ApplyTransform(0.0, value, LumPoint(), true);
        break;
    case DecorTool::Rotate:
        // The drawing turns by the angle; the library's matrix by minus it.
        decor->ApplyTransform(0.0, LumPoint(), value * -1.0, true);
        break;
    case DecorTool::Resize:
        decor->ApplyTransform(value.x, LumPoint(), LumPoint(), true);
        break;
    }
    GetModelUi().RefreshDisplay();
}

void DecorToolCancel()
{
    ModelUi& ui = GetModelUi();
    ui.SaveModeCamera();
    ui.EndCurrentTool();
}

void OnDecorMove()
{
    StartDecorTool(DecorTool::Move);
}

void OnDecorRotate()
{
    StartDecorTool(DecorTool::Rotate);
}

void OnDecorResize()
{
    StartDecorTool(DecorTool::Resize);
}

bool OnDecorMoveEvent(const EventInfo& event)
{
    return OnDecorToolEvent(event);
}

bool OnDecorRotateEvent(const EventInfo& event)
{
    return OnDecorToolEvent(event);
}

bool OnDecorResizeEvent(const EventInfo& event)
{
    return OnDecorToolEvent(event);
}
