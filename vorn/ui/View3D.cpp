#include "View3D.h"

void RenderView3D(LumoraDevice*)
{
}

bool OnView3DEvent(const EventInfo&)
{
    return false;
}
