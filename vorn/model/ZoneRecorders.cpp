#include "ZoneRecorders.h"

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
} // namespace

void RecordZoneChange(const LumPoint& old1, const LumPoint& old2, const LumPoint& new1, const LumPoint& new2)
{
    auto* action = new OVXAction;
    action->AddVariable(old1);
    action->AddVariable(old2);
    action->AddVariable(new1);
    action->AddVariable(new2);
    AddAction(action, UndoZoneChange, RedoZoneChange);
}

void UndoZoneChange(KorAction* action)
{
    gProjet.SetZone(RecordedValue<LumPoint>(action, 1), RecordedValue<LumPoint>(action, 2), false, true);
}

void RedoZoneChange(KorAction* action)
{
    gProjet.Limite1 = RecordedValue<LumPoint>(action, 3);
    gProjet.Limite2 = RecordedValue<LumPoint>(action, 4);
    gProjet.Set3DGeometryChanged();
    GetModelUi().RefreshDisplay();
}
