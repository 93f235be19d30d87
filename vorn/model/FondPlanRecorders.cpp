#include "FondPlanRecorders.h"

#include "OVXAction.h"
#include "ProjetOVX.h"

namespace
{
// The n doubles from position first on; false when the action holds
// fewer.
bool ReadDoubles(KorAction* action, int first, int n, double* values)
{
    if (action->GetNombreVariables() < first + n)
        return false;
    for (int k = 0; k < n; ++k)
        values[k] << *action->GetVariable(first + k);
    return true;
}

void AddAction(OVXAction* action, KorAction::Callback undo, KorAction::Callback redo)
{
    action->SetUndo(undo);
    action->SetRedo(redo);
    gProjet.GetUndoManager().AddAction(action);
}

void ApplyFondPlan(KorAction* action, int i)
{
    std::string path;
    if (const AnyVariable* variable = action->GetVariable(i))
        path << *variable;
    // Undoing the first choice leaves no plan in use.
    if (path.empty())
        gProjet.FondUtilise = -1;
    else
        gProjet.SetFondPlan(path);
}

void ApplyEchelle(KorAction* action, int i)
{
    double echelle = 0.0;
    if (ReadDoubles(action, i, 1, &echelle))
        gProjet.SetEchelle(echelle, false);
}

void ApplyOrigine(KorAction* action, int first)
{
    double v[4];
    if (ReadDoubles(action, first, 4, v))
        gProjet.SetOrigine(v[0], v[1], v[2], v[3], false);
}

void ApplyPlacement(KorAction* action, int first)
{
    double v[3];
    if (ReadDoubles(action, first, 3, v))
        gProjet.SetFondPlanPlacement(v[0], v[1], v[2], false, true);
}
} // namespace

void RecordFondPlanChange(const std::string& oldPath, const std::string& newPath)
{
    auto* action = new OVXAction;
    action->AddVariable(oldPath);
    action->AddVariable(newPath);
    AddAction(action, UndoFondPlanChange, RedoFondPlanChange);
}

void RecordEchelleChange(double oldEchelle, double newEchelle)
{
    auto* action = new OVXAction;
    action->AddVariable(oldEchelle);
    action->AddVariable(newEchelle);
    AddAction(action, UndoEchelleChange, RedoEchelleChange);
}

void RecordOrigineChange(double oldCameraX, double oldCameraY, double oldX, double oldY, double newCameraX,
                         double newCameraY, double newX, double newY)
{
    auto* action = new OVXAction;
    for (const double v : {oldCameraX, oldCameraY, oldX, oldY, newCameraX, newCameraY, newX, newY})
        action->AddVariable(v);
    AddAction(action, UndoOrigineChange, RedoOrigineChange);
}

void RecordFondPlanPlacementChange(double oldX, double oldY, double oldTaille, double newX, double newY,
                                   double newTaille)
{
    auto* action = new OVXAction;
    for (const double v : {oldX, oldY, oldTaille, newX, newY, newTaille})
        action->AddVariable(v);
    AddAction(action, UndoFondPlanPlacementChange, RedoFondPlanPlacementChange);
}

void UndoFondPlanChange(KorAction* action)
{
    ApplyFondPlan(action, 0);
}

void RedoFondPlanChange(KorAction* action)
{
    ApplyFondPlan(action, 1);
}

void UndoEchelleChange(KorAction* action)
{
    ApplyEchelle(action, 0);
}

void RedoEchelleChange(KorAction* action)
{
    ApplyEchelle(action, 1);
}

void UndoOrigineChange(KorAction* action)
{
    ApplyOrigine(action, 0);
}

void RedoOrigineChange(KorAction* action)
{
    ApplyOrigine(action, 4);
}

void UndoFondPlanPlacementChange(KorAction* action)
{
    ApplyPlacement(action, 0);
}

void RedoFondPlanPlacementChange(KorAction* action)
{
    ApplyPlacement(action, 3);
}
