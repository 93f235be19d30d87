#include "LumElement.h"

LumElement::LumElement(LumoraDevice* device) : mDevice(device)
{
}

LumElement::~LumElement() = default;
