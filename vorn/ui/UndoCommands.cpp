#include "UndoCommands.h"

#include "DialogDXF.h"
#include "MoveCoucheTool.h"
#include "ProjetOVX.h"

#include <wx/event.h>

namespace
{
bool MayStep()
{
    if (gDialogDXF)
        return false;
    DiscardPendingCoucheMove();
    return true;
}
} // namespace

void OnUndoCommand(wxCommandEvent&)
{
    if (MayStep())
        gProjet.GetUndoManager().Undo();
}

void OnRedoCommand(wxCommandEvent&)
{
    if (MayStep())
        gProjet.GetUndoManager().Redo();
}
