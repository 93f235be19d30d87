#pragma once

#include "LumPoint.h"

struct EventInfo;

// The displayed-zone tool of the plan view: two left clicks give the
// zone's corners, the rectangle follows the mouse between them; Escape or a
// right click puts the former zone back.

// The zone as it was when the tool started.
extern LumPoint gZoneBackup[2];

void StartZoneTool();
bool OnZoneToolEvent(const EventInfo& event);
