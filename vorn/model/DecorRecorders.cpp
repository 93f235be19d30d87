#include "DecorRecorders.h"

#include "Decor.h"
#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"

#include <cmath>

namespace
{
template <typename T> void Read(KorAction* action, int i, T& target)
{
    if (const AnyVariable* variable = action->GetVariable(i))
        target << *variable;
}

// The object at the index of value 1, null when there is none.
Decor* RecordedDecor(KorAction* action)
{
    int index = -1;
    Read(action, 0, index);
    return gProjet.GetDecor(index);
}

int ToByte(double component)
{
    const double v = std::round(component * 255.0);
    return v < 0.0 ? 0 : (v > 255.0 ? 255 : static_cast<int>(v));
}

void RecordWhole(Decor* decor, int index, KorAction::Callback undo, KorAction::Callback redo)
{
    auto* action = new OVXAction;
    action->AddVariable(index);
    action->Snapshot = OVXAction::NewSnapshot();
    decor->ToXML(action->Snapshot);
    action->SetUndo(undo);
    action->SetRedo(redo);
    gProjet.GetUndoManager().AddAction(action);
}

void ApplyAppearance(KorAction* action, int colour, int texture)
{
    GetModelUi().SaveModeCamera();
    Decor* decor = RecordedDecor(action);
    if (!decor)
        return;
    LumPoint c = decor->Couleur;
    std::string path = decor->Texture;
    Read(action, colour, c);
    Read(action, texture, path);
    decor->SetAppearance(ToByte(c.x), ToByte(c.y), ToByte(c.z), path, false);
}

// The recorded transform, or its inverse: the scale first, then the
// translation, then the rotation.
void ApplyTransform(KorAction* action, bool inverse)
{
    GetModelUi().SaveModeCamera();
    Decor* decor = RecordedDecor(action);
    if (!decor)
        return;
    double scale = 0.0;
    LumPoint translation;
    LumPoint rotation;
    Read(action, 1, scale);
    Read(action, 2, translation);
    Read(action, 3, rotation);
    if (std::fabs(scale) > 1e-5)
        decor->ApplyTransform(inverse ? 1.0 / scale : scale, LumPoint(), LumPoint(), false);
    else if (translation.Norm() > 1e-5)
        decor->ApplyTransform(0.0, inverse ? translation * -1.0 : translation, LumPoint(), false);
    else if (rotation.Norm() > 1e-5)
        decor->ApplyTransform(0.0, LumPoint(), inverse ? rotation * -1.0 : rotation, false);
}
} // namespace

void RecordDecorAdd(Decor* decor, int index)
{
    RecordWhole(decor, index, UndoDecorAdd, RedoDecorAdd);
}

void RecordDecorDelete(Decor* decor, int index)
{
    RecordWhole(decor, index, RedoDecorAdd, UndoDecorAdd);
}

void RecordDecorAppearanceChange(int index, const LumPoint& oldColour, const LumPoint& newColour,
                                 const std::string& oldTexture, const std::string& newTexture)
{
    auto* action = new OVXAction;
    action->AddVariable(index);
    action->AddVariable(oldColour);
    action->AddVariable(newColour);
    action->AddVariable(oldTexture);
    action->AddVariable(newTexture);
    action->SetUndo(UndoDecorAppearanceChange);
    action->SetRedo(RedoDecorAppearanceChange);
    gProjet.GetUndoManager().AddAction(action);
}

void RecordDecorTransform(int index, double scale, const LumPoint& translation, const LumPoint& rotation)
{
    auto* action = new OVXAction;
    action->AddVariable(index);
    action->AddVariable(scale);
    action->AddVariable(translation);
    action->AddVariable(rotation);
    action->SetUndo(UndoDecorTransform);
    action->SetRedo(RedoDecorTransform);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoDecorAdd(KorAction* action)
{
    GetModelUi().SaveModeCamera();
    int index = -1;
    Read(action, 0, index);
    gProjet.DeleteDecor(index, false);
}

void RedoDecorAdd(KorAction* action)
{
    GetModelUi().SaveModeCamera();
    auto* recorded = dynamic_cast<OVXAction*>(action);
    if (!recorded)
        return;
    int index = -1;
    Read(action, 0, index);
    auto* decor = new Decor(std::string());
    decor->FromXML(recorded->Snapshot);
    gProjet.AddDecor(decor, index, false);
}

void UndoDecorAppearanceChange(KorAction* action)
{
    ApplyAppearance(action, 1, 3);
}

void RedoDecorAppearanceChange(KorAction* action)
{
    ApplyAppearance(action, 2, 4);
}

void UndoDecorTransform(KorAction* action)
{
    ApplyTransform(action, true);
}

void RedoDecorTransform(KorAction* action)
{
    ApplyTransform(action, false);
}
