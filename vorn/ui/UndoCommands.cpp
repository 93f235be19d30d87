#include "UndoCommands.h"

#include "ProjetOVX.h"

#include <wx/event.h>

void OnUndoCommand(wxCommandEvent&)
{
    gProjet.GetUndoManager().Undo();
}

void OnRedoCommand(wxCommandEvent&)
{
    gProjet.GetUndoManager().Redo();
}
