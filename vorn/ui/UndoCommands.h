#pragma once

class wxCommandEvent;

// The Ctrl+Z and Ctrl+Y accelerators of the tool dialogs: the same undo and
// redo as the main window's Edit commands, so a step can be undone without
// leaving the dialog that made it.
void OnUndoCommand(wxCommandEvent& event);
void OnRedoCommand(wxCommandEvent& event);
