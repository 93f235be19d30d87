#pragma once

#include "LumPoint.h"
#include "XMLNode.h"

class KorAction;

// A whole layer raised or lowered and tilted about two horizontal axes
// through its centre c: p' = T(c + (0, 0, dz)) . Rx(tiltX) . Ry(tiltY) .
// T(-c) . p, angles in degrees. The move is refused, the layer untouched,
// when a moved point would cross the layer above or below.

// One point through the transform.
LumPoint MoveCouchePoint(const LumPoint& p, const LumPoint& centre, double dz, double tiltX, double tiltY);

// Applies the move to the layer at that index as one undo step: true when
// applied or when there was nothing to apply (all three within 1e-5) or no
// such layer; false, after the refusal box, when a point would cross a
// neighbour.
bool ApplyCoucheMove(int index, float dz, float tiltX, float tiltY);

// Values: int layer index; lists 1 and 2 hold the layer's XML before and
// after. Undo and redo read the layer at that index back from one of them.
void RecordCoucheMove(int index, const XMLNode& before);
void UndoCoucheMove(KorAction* action);
void RedoCoucheMove(KorAction* action);
