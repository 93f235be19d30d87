#include "DecorTools.h"

#include "Decor.h"
#include "ModelUi.h"
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

// However the tool ends, the object shows no preview.
void EndDecorTool()
{
    if (Decor* decor = ToolDecor())
    {
        decor->SetTransformShown(false);
        decor->ClearPreview();
    }
    gToolIndex = -1;
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
    ui.SetToolPointAction(nullptr);
    ui.SetOverlayDrawer(nullptr);
    ui.SetEndToolHook(EndDecorTool);
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
