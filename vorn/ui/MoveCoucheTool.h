#pragma once

#include "LumPoint.h"

class LumoraDevice;
struct EventInfo;

// The layer move and tilt tool: a gizmo (vertical move, turns about x and
// y) at the current layer's centre; while the user drags, only a preview
// of the layer under the transform is drawn; a right click applies the
// move as one undo step (refused when the layer would cross a neighbour,
// the tool then staying), Escape drops it. Any other end of the tool
// (EndCurrentTool) applies a pending move, once.

extern LumPoint gMoveCoucheCentre;
extern float gMoveCoucheDz;
extern float gMoveCoucheTiltX;
extern float gMoveCoucheTiltY;
// Set when the move was applied or dropped; cleared at every event.
extern bool gMoveCoucheDone;

// Starts the tool on the current layer (the caller has checked that it may
// move): hooks, centre, free camera aimed at it, plan drawings off, gizmo,
// offsets zero.
void StartMoveCoucheTool();
bool OnMoveCoucheToolEvent(const EventInfo& event);
void DrawMoveCoucheOverlay(LumoraDevice* device);
// Multiplies the current GL matrix by the pending transform, in single
// precision: the preview's model-view (context current).
void MultMoveCoucheMatrix();
// What EndCurrentTool does for this tool: a pending move is applied.
void ApplyPendingCoucheMove();
// Before an undo or redo: the tool, when it runs, ends as Escape ends it,
// its pending move not applied.
void DiscardPendingCoucheMove();
