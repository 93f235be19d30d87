#include "FondPlanRecorders.h"

#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"
#include "RecordedValues.h"

namespace
{
void AddAction(OVXAction* action, KorAction::Callback undo, KorAction::Callback redo)
{
    action->SetUndo(undo);
    action->SetRedo(redo);
    gProjet.GetUndoManager().AddAction(action);
}

void SetOrigineFrom(const KorAction* action, int position)
{
    gProjet.SetOrigine(RecordedValue<double>(action, position), RecordedValue<double>(action, position + 1),
                       RecordedValue<double>(action, position + 2),
                       RecordedValue<double>(action, position + 3), false);
}
} // namespace

void RecordEchelleChange(double from, double to)
{
    auto* action = new OVXAction;
    action->AddVariable(from);
    action->AddVariable(to);
    AddAction(action, UndoEchelleChange, RedoEchelleChange);
}

void UndoEchelleChange(KorAction* action)
{
    gProjet.SetEchelle(RecordedValue<double>(action, 1), false);
}

void RedoEchelleChange(KorAction* action)
{
    gProjet.SetEchelle(RecordedValue<double>(action, 2), false);
}

void RecordOrigineChange(double oldCameraX, double oldCameraY, double oldX, double oldY, double cameraX,
                         double cameraY, double x, double y)
{
    auto* action = new OVXAction;
    for (double value : {oldCameraX, oldCameraY, oldX, oldY, cameraX, cameraY, x, y})
        action->AddVariable(value);
    AddAction(action, UndoOrigineChange, RedoOrigineChange);
}

void UndoOrigineChange(KorAction* action)
{
    SetOrigineFrom(action, 1);
}

void RedoOrigineChange(KorAction* action)
{
    SetOrigineFrom(action, 5);
}
