#pragma once

#include <string>

class KorAction;

// Undo of the plan settings. Values, numbered from 1:
// - background plan: old image path, new image path;
// - scale: old scale, new scale (doubles);
// - origin: old OrigineCameraX, OrigineCameraY, OrigineX, OrigineY, then
//   the four new values (doubles, restored exactly: world coordinates of a
//   national grid lose metres in single precision);
// - placement: old PosX, PosY, Taille, then the three new values, of the
//   background plan in use.
void RecordFondPlanChange(const std::string& oldPath, const std::string& newPath);
void RecordEchelleChange(double oldEchelle, double newEchelle);
void RecordOrigineChange(double oldCameraX, double oldCameraY, double oldX, double oldY, double newCameraX,
                         double newCameraY, double newX, double newY);
void RecordFondPlanPlacementChange(double oldX, double oldY, double oldTaille, double newX, double newY,
                                   double newTaille);

void UndoFondPlanChange(KorAction* action);
void RedoFondPlanChange(KorAction* action);
void UndoEchelleChange(KorAction* action);
void RedoEchelleChange(KorAction* action);
void UndoOrigineChange(KorAction* action);
void RedoOrigineChange(KorAction* action);
void UndoFondPlanPlacementChange(KorAction* action);
void RedoFondPlanPlacementChange(KorAction* action);
