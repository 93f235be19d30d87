#pragma once

class wxWindow;

// The main window's keys (its accelerator table: Ctrl+Z undo, Ctrl+Y redo)
// wherever the keyboard focus is. The toolkit looks for a key's command in
// the tables of the focused window and its parents up to their top-level
// window, never beyond: a palette or a modeless dialog with the focus would
// not see the main window's keys. Each of them therefore carries a copy of
// the frame's keys whose commands post the frame's own menu command to the
// main frame. The frame's handler stays the single entry point of those
// commands, with its rules (no undo or redo while a layer import is
// pending), whichever window had the focus.

// The main frame's accelerators on its own window: each key sends the
// frame's menu command of that id.
void SetFrameKeys(wxWindow* frame);

// The frame's keys on a palette or modeless dialog. Each posts the frame's
// menu command (gFenetreTunnel, asynchronously: the window may be closing);
// nothing happens once the frame is gone. The window's ids of its own are
// untouched: the keys use ids of a block no window of the program uses.
void ForwardFrameKeys(wxWindow* window);
