#pragma once

class wxCommandEvent;

// The one way the interface undoes and redoes a step: the main window's
// Edit commands come here, and so do the Ctrl+Z and Ctrl+Y of every
// palette and dialog, which post those commands to the main window. Refused
// while a DXF layer import is pending: a step taken back would change the
// layer list under the import, which then fills or deletes whatever layer
// stands at its level. A layer move the tilt tool still holds ends without
// being applied, so that the undo does not end in a new step that cuts the
// redo branch.
void OnUndoCommand(wxCommandEvent& event);
void OnRedoCommand(wxCommandEvent& event);
