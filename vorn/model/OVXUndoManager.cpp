#include "OVXUndoManager.h"

#include "ModelUi.h"
#include "OVXAction.h"

bool gUndoLightRefresh = false;

bool OVXUndoManager::NeedsFullRefresh(unsigned int i) const
{
    const auto* action = dynamic_cast<const OVXAction*>(GetAction(i));
    return !action || action->GetEventsManager() != GetModelUi().GetEventsManager();
}

void OVXUndoManager::Undo()
{
    const unsigned int position = GetPosition();
    // Decided before the action runs: its callback may change the tool.
    const bool full = position > 0 && position <= GetCount() && NeedsFullRefresh(position - 1);
    KorUndoManager::Undo();
    ModelUi& ui = GetModelUi();
    if (full)
        ui.EndCurrentTool();
    else
        gUndoLightRefresh = true;
    ui.RefreshDisplay();
}

void OVXUndoManager::Redo()
{
    const unsigned int position = GetPosition();
    const bool full = position < GetCount() && NeedsFullRefresh(position);
    KorUndoManager::Redo();
    ModelUi& ui = GetModelUi();
    if (full)
        ui.EndCurrentTool();
    ui.RefreshDisplay();
}
