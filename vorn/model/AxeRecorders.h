#pragma once

#include "LumPoint.h"
#include "XMLNode.h"

#include <vector>

class KorAction;

// Undo of the axis's edits. Callbacks replay the edit with record off; a
// callback whose values are missing or malformed does nothing.

// Value: the new type (int). Undo switches to the other type.
void RecordAxeTypeChange(int type);
void UndoAxeTypeChange(KorAction* action);
void RedoAxeTypeChange(KorAction* action);

// Values: the old Origine x, y, z, Rayon, Orientation, Inclinaison, then
// the new six (doubles).
void RecordAxeParametersChange(const LumPoint& oldOrigin, double oldRadius, double oldOrientation,
                               double oldInclination, const LumPoint& newOrigin, double newRadius,
                               double newOrientation, double newInclination);
void UndoAxeParametersChange(KorAction* action);
void RedoAxeParametersChange(KorAction* action);

// Values: the old point count (int), each old point's x, y, z (doubles),
// then the same for the axis's polyline as it is now.
void RecordAxePointsChange(const std::vector<LumPoint>& old);
void UndoAxePointsChange(KorAction* action);
void RedoAxePointsChange(KorAction* action);

// Values: the distance moved (double, scene units, before any reversal),
// the axis type (int), the head position before and after (doubles, in the
// type's own measure). Undo and redo put the recorded position back.
void RecordHeadMove(double distance, int type, double before, double after);
void UndoHeadMove(KorAction* action);
void RedoHeadMove(KorAction* action);

// Snapshots: the axis before (as an "xml" node it wrote itself into) and
// the axis as it is now. Undo and redo read the whole axis back.
void RecordAxeReplace(const XMLNode& old);
void UndoAxeReplace(KorAction* action);
void RedoAxeReplace(KorAction* action);
