#pragma once

class LumoraDevice;
struct EventInfo;

// Default hooks of the visualisation mode (3D view). The drawing only
// clears for now: the device paints a white frame before the callback.
void RenderView3D(LumoraDevice* device);
// Consumes nothing: the free camera's own navigation handles the event.
bool OnView3DEvent(const EventInfo& event);
