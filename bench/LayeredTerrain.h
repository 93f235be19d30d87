#pragma once

// The layered terrain every benchmark of the excavation runs on, headless:
// `layers` layers over [-250, 250]^2, each a grid of m x m points (about
// `triangles` triangles, 2 (m - 1)^2) moved off the grid by (0.37, 0.61),
// z = 0.5 (y + 10) + 2 sin(x / 13) sin(y / 17) (an inclined plane plus a
// sinusoid), each lower layer 6 m under the one above; the polyline axis
// along +Y, the constructor head. The project holds no layer before.

#include "Axe.h"
#include "Couche.h"
#include "ProjetOVX.h"

#include <cmath>
#include <string>

namespace LayeredTerrain
{
inline void Add(int layers, int triangles)
{
    const int m = static_cast<int>(std::lround(std::sqrt(triangles / 2.0))) + 1;
    const double step = 500.0 / (m - 1);
    for (int k = 0; k < layers; ++k)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j)
            {
                const double x = -250.0 + step * i + 0.37, y = -250.0 + step * j + 0.61;
                const double z = 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0) - 6.0 * k;
                layer->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
            }
        layer->Triangulate();
    }
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -1000, 0), LumPoint(0, 1000, 0)});
}
} // namespace LayeredTerrain
