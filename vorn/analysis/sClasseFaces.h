#pragma once

#include <cstdint>

// The faces of one face class of a trench head: up to five face
// identifiers of its mesh, -1 where there is none. The single-entrance
// builder fills one to three entries of a class, the double one one or five.
struct sClasseFaces
{
    int32_t Faces[5] = {-1, -1, -1, -1, -1};
};
