#pragma once

// A vertex of the Delaunay sweep reduced to what the sweep reads: position in
// X-Y and an identifier (the index in sweep order). A third of a cache line,
// against two lines for a whole KorVertex.
struct KorSweepPoint
{
    double X = 0.0;
    double Y = 0.0;
    int ID = -1;
};
