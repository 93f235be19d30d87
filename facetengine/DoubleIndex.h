#pragma once

#include <cstdint>

// What became of one face through vertex fusion: OldID, the face as it was
// before the first fusion that replaced it; NewID, the face that now stands
// for it, or -1 when it vanished.
struct DoubleIndex
{
    int32_t OldID = -1;
    int32_t NewID = -1;
};
