#pragma once

#include "LumPoint.h"

class Couche;

// Rebuilds the layer's FrontPoints: the outline of the part of its surface
// inside its zone rectangle (the zone of limite1 and limite2 widened by the
// layer's index per cent), walked counter-clockwise along the rectangle's
// sides A (x0, y0), B, C, D from the first corner on the surface, with the
// corners on the surface, the crossings of the sides with the surface's
// edges (z following the surface, a vertex within 1e-5 along its edge
// taken itself) and the border of the surface inside the rectangle. A
// surface wholly inside gives its contour, one wholly outside nothing.
// Marks the layer's discontinuity surfaces stale (not for fewer than 3
// vertices).
//
// The outline's points are found by what they are (corners, vertices,
// crossings of edges with sides), so corners on vertices and sides along
// edges give the outline the zone moved off them would. A surface whose
// border does not close round the part inside (a broken mesh) is reported
// and keeps the points found. O(V + E) per side.
void CalculeFronts(Couche* couche, const LumPoint& limite1, const LumPoint& limite2);
