#pragma once

#include "LumPoint.h"

class LumoraDevice;
struct EventInfo;

// Default hooks of the creation mode (plan view). The drawing only clears
// for now: the frame's device paints a white frame before the callback.
void RenderPlanView(LumoraDevice* device);
// Consumes nothing: the plan camera's own navigation handles the event.
bool OnPlanViewEvent(const EventInfo& event);
void OnPlanViewPoint(LumPoint point);
