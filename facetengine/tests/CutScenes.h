#pragma once

// Scenes with analytic answers for the intersection line and the cut, and the
// excavation road (line, cut, face selection, volumes) as the program drives
// it for one terrain layer.

#include "KorBoundingBox.h"
#include "KorCut.h"
#include "KorIntersection.h"
#include "KorMesh.h"

#include <functional>
#include <string>
#include <vector>

// Terrain grid of nx * ny square cells of side `cell` from (x0, y0), heights
// z = h(x, y), two triangles a cell split along the cell's rising diagonal,
// rings counterclockwise seen from above.
void BuildTerrain(KorMesh& mesh, int nx, int ny, double cell, double x0, double y0,
                  const std::function<double(double, double)>& h);

// Closed box lo..hi as 12 triangles; rings counterclockwise seen from inside
// (normals into the box, like the faces of an excavation seen from its air).
void BuildInwardBox(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi);

// Closed box over the parallelogram centre +- u +- w (u, w horizontal, u ^ w
// pointing up), from centre.z - halfZ to centre.z + halfZ; normals into the
// box. Each corner is centre + (+-u +-w +-halfZ), so a box whose offsets are
// exact at the centre's scale has the same shape at every centre.
void BuildTurnedInwardBox(KorMesh& mesh, const LumPoint& centre, const LumPoint& u, const LumPoint& w,
                          double halfZ);

// Open pit: floor lo.z over [lo.x, hi.x] x [lo.y, hi.y] and four walls up to
// hi.z, no top; normals into the pit.
void BuildPit(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi);

// Outcome of one excavation cut.
struct sCutResult
{
    bool Line = false;   // an intersection line was found (either order)
    bool Cut = false;    // both meshes were cut and both sides selected
    std::string Failure; // which step failed
    std::vector<LumPoint> Points;
    KorMesh Terrain, Head; // the cut copies, what remains after removal
    KorMesh TerrainInside; // terrain faces over the excavation
    KorMesh HeadBelow;     // head faces under the terrain
    double Volume = 0.0;   // |V(TerrainInside) - V(HeadBelow)|
};

// The road of one cut. The side of each mesh to keep is told by geometry:
// on the terrain the side whose face centroids fall inside the head's xy
// footprint (insideHead), on the head the side lying below the terrain
// (belowTerrain); those predicates are the test's analytic knowledge.
sCutResult RunCut(const KorMesh& terrain, const KorMesh& head, const LumPoint& start,
                  const std::function<bool(const LumPoint&)>& insideHead,
                  const std::function<bool(const LumPoint&)>& belowTerrain);

// The centroid of a face's ring.
LumPoint FaceCentroid(const KorMesh& mesh, int face);
