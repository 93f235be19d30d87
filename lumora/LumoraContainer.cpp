#include "LumoraContainer.h"

LumoraContainer::~LumoraContainer() = default;
