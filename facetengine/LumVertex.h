#pragma once

// A render vertex: nine doubles, position, texture coordinate (U, V, W) and
// normal, in that order and contiguous, as the renderable mesh lays them out.
struct LumVertex
{
    double X = 0.0, Y = 0.0, Z = 0.0;
    double U = 0.0, V = 0.0, W = 0.0;
    double NX = 0.0, NY = 0.0, NZ = 0.0;
};
