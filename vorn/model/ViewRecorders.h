#pragma once

class KorAction;

// Undo of a mode switch made by the user: value 1 is the mode entered,
// 0 creation (plan view), 1 visualisation (3D view). The switches' own
// record flag calls it after the switch; the callbacks switch back with
// record off.
void RecordViewChange(int mode);
void UndoViewChange(KorAction* action);
void RedoViewChange(KorAction* action);
