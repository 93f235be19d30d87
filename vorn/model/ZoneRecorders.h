#pragma once

#include "LumPoint.h"

class KorAction;

// Undo of the displayed zone.

// Values: LumPoint old Limite1, old Limite2, new Limite1, new Limite2. The
// undo sets the old corners without normalising (so records nothing); the
// redo stores the new ones; both mark the 3D geometry changed.
void RecordZoneChange(const LumPoint& old1, const LumPoint& old2, const LumPoint& new1, const LumPoint& new2);
void UndoZoneChange(KorAction* action);
void RedoZoneChange(KorAction* action);
