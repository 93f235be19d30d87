#include "ViewRecorders.h"

#include "ModelUi.h"
#include "OVXAction.h"
#include "ProjetOVX.h"

namespace
{
// The recorded mode, or -1 when the action holds none.
int RecordedMode(KorAction* action)
{
    int mode = -1;
    if (action->GetNombreVariables() > 0)
        mode << *action->GetVariable(0);
    return mode;
}
} // namespace

void RecordViewChange(int mode)
{
    auto* action = new OVXAction;
    action->AddVariable(mode);
    action->SetUndo(UndoViewChange);
    action->SetRedo(RedoViewChange);
    gProjet.GetUndoManager().AddAction(action);
}

void UndoViewChange(KorAction* action)
{
    if (RecordedMode(action) == 0)
        GetModelUi().EnterVisualisationMode(false);
    else
        GetModelUi().EnterCreationMode(false);
}

void RedoViewChange(KorAction* action)
{
    if (RecordedMode(action) == 1)
        GetModelUi().EnterVisualisationMode(false);
    else
        GetModelUi().EnterCreationMode(false);
}
