#include "PlanView.h"

void RenderPlanView(LumoraDevice*)
{
}

bool OnPlanViewEvent(const EventInfo&)
{
    return false;
}

void OnPlanViewPoint(LumPoint)
{
}
