#pragma once

#include "LumPoint.h"

struct EventInfo;

// The borehole tool of the plan view, started by the creation palette: a
// left click gives the world point on the top layer's surface under the
// mouse, handed to the point action; Escape or a right click ends it.
bool OnSondageToolEvent(const EventInfo& event);
// The new borehole's place (world). The borehole dialog is not part of the
// program yet: the tool ends.
void OnSondageToolPoint(LumPoint point);
