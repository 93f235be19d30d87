#pragma once

#include "LumPoint.h"

class KorAction;

// Undo of the plan settings of the project.

// Values: double old scale, double new scale; the callbacks set one of
// them with record off.
void RecordEchelleChange(double from, double to);
void UndoEchelleChange(KorAction* action);
void RedoEchelleChange(KorAction* action);

// Values: double old OrigineCameraX, OrigineCameraY, OrigineX, OrigineY,
// then the new four. Kept in double precision: a plan origin is a map
// coordinate of millions of metres, which single precision would move by
// decimetres.
void RecordOrigineChange(double oldCameraX, double oldCameraY, double oldX, double oldY, double cameraX,
                         double cameraY, double x, double y);
void UndoOrigineChange(KorAction* action);
void RedoOrigineChange(KorAction* action);

// Values: LumPoint old Limite1, old Limite2, new Limite1, new Limite2. The
// undo sets the old corners without normalising (so records nothing); the
// redo stores the new ones; both mark the 3D geometry changed.
void RecordZoneChange(const LumPoint& old1, const LumPoint& old2, const LumPoint& new1, const LumPoint& new2);
void UndoZoneChange(KorAction* action);
void RedoZoneChange(KorAction* action);
