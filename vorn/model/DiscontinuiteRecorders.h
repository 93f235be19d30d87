#pragma once

#include "LumPoint.h"

#include <string>
#include <vector>

class Discontinuite;
class KorAction;

// Undo of the discontinuity families. Values, numbered from 1:
// - add and delete: name; azimuth, dip, spacing, deviation; reference
//   point; shown flag; n, then the n indexes of the layers that showed the
//   family (an addition stores zeros, no point, false and 0). The delete's
//   undo is the add's redo and the other way round;
// - change: the seven values name .. shown flag before the edit, then the
//   same seven after it;
// - reference point: name, old point, new point.
// Callbacks skip a family or a layer that no longer exists.
void RecordDiscontinuiteAdd(const std::string& name);
void RecordDiscontinuiteDelete(const Discontinuite& family, const std::vector<int>& couches);
void RecordDiscontinuiteChange(const Discontinuite& before, const Discontinuite& after);
void RecordDiscontinuiteOrigineChange(const std::string& name, const LumPoint& oldOrigine,
                                      const LumPoint& newOrigine);

void UndoDiscontinuiteAdd(KorAction* action);
void RedoDiscontinuiteAdd(KorAction* action);
void UndoDiscontinuiteChange(KorAction* action);
void RedoDiscontinuiteChange(KorAction* action);
void UndoDiscontinuiteOrigineChange(KorAction* action);
void RedoDiscontinuiteOrigineChange(KorAction* action);
