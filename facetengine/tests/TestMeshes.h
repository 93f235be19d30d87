#pragma once

// Small closed and open meshes with known measures, shared by the tests of
// the mesh forms, measures and renderable mesh.

#include "KorMesh.h"
#include "LumPoint.h"

#include <random>
#include <vector>

// Unit cube [0, 1]^3, rings counterclockwise seen from outside (or the
// other way round with reversed = true). Vertex i has x = i & 1,
// y = (i >> 1) & 1, z = (i >> 2) & 1.
//
//        6-------7          z
//       /|      /|          |  y
//      4-------5 |          | /
//      | 2-----|-3          |/
//      |/      |/           +----- x
//      0-------1
void BuildUnitCube(KorMesh& mesh, bool reversed = false);

// Tetrahedron (0,0,0), (a,0,0), (0,b,0), (0,0,c), outward rings: volume abc/6.
void BuildTetrahedron(KorMesh& mesh, double a, double b, double c);

// Icosahedron around the origin with vertices on the unit sphere, each
// triangle split into four `levels` times, new vertices pushed onto the
// sphere; outward rings. 20 * 4^levels faces.
void BuildIcosphere(KorMesh& mesh, int levels);

// Regular grid of nx * ny vertices at spacing 1 (z = f(x, y) = 0.1 x y),
// two triangles a cell, rings counterclockwise seen from above.
void BuildGrid(KorMesh& mesh, int nx, int ny, double originX = 0.0, double originY = 0.0);

// A simple polygon of the xy plane from n random points in [0, 10]^2 joined
// in random order, crossings undone by reversing the run between them; either
// orientation.
std::vector<LumPoint> RandomSimplePolygon(std::mt19937& rng, int n);
