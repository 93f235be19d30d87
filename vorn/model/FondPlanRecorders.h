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
