#pragma once

#include "KorMesh.h"
#include "LumPoint.h"

#include <string>
#include <vector>

class Couche;
class TeteTranchee;

// The excavation: a copy of the trench head placed on the axis, cut against
// the surface of every layer, gives per layer the excavated volume, the
// excavated surface of each face class of the head and the slope height
// above the tunnel. No GL call is made here: the 3D view's frame, the series
// of calculations and the tests call ComputeExcavation alike.
//
// Failure is never a number: a layer whose cut failed, the layer above it
// (whose difference with it is unknown) and every layer below hold -1.0 in
// the volume and in every surface, and any sum over results that meets a
// -1.0 is -1.0 (SumResults).

// The results of the last computation, in world units, whole numbers (or
// the failure marker -1.0). One volume per layer in project order; per layer
// the platform "PF", one surface per face class in the order of the cost
// variables, and the layer's total: 13 values for a single head, 19 for a
// double one.
struct sExcavationResults
{
    std::vector<double> Volumes;
    std::vector<std::vector<double>> Surfaces;

    void Clear()
    {
        Volumes.clear();
        Surfaces.clear();
    }
};

// Time spent in each phase of the computations since the last Reset, in
// seconds: plain accumulators for a bench to read. The copy phase counts
// the copies of the placed head and of each layer's surface, the search the
// intersection-line searches, the cut the insertion of a line into a mesh
// and the concave split, the select the split of a cut mesh into its two
// sides and the moves of faces between meshes, the measure the volumes and
// surfaces, the render arrays the renderable meshes, the altitude the slope
// height.
struct sExcavationTimers
{
    double Place = 0.0;
    double Copy = 0.0;
    double Search = 0.0;
    double Cut = 0.0;
    double Select = 0.0;
    double Measure = 0.0;
    double RenderArrays = 0.0;
    double Altitude = 0.0;
    // Layer cuts made on a patch of the surface and on a copy of the whole.
    int LocalCuts = 0;
    int WholeCuts = 0;
    // Faces copied to the patches of the local cuts.
    double PatchFaces = 0.0;
    // Patches taken again, wider or along a line that left the last one.
    int PatchRetries = 0;

    void Reset() { *this = sExcavationTimers(); }
    double Total() const { return Place + Copy + Search + Cut + Select + Measure + RenderArrays + Altitude; }
};

extern sExcavationResults gResults;
// Slope height above the tunnel at the head position, metres, one decimal.
extern double gSlopeHeight;
// Every line where the head met a layer surface (scene coordinates), in the
// order found, partial lines of failed searches included.
extern std::vector<std::vector<LumPoint>> gIntersectionLines;
// The head position on the axis (scene coordinates) of the last placement.
extern LumPoint gHeadPosition;
// 1 when the last computation could not be made, for any layer; cleared at
// the start of each computation and by the global refresh.
extern int gCalculationErrors;

// Why the last computation could not be made, when gCalculationErrors is 1:
// a layer's intersection with the head could not be determined (the head
// not wholly within the terrain), the head could not be placed (its length,
// from the scale and the first layer's extent, is not a positive finite
// number), a number of the computation does not fit a double (a scale,
// coordinate or head size far beyond any terrain), memory ran out, or the
// placed head's faces fold over each other where the terrain reaches them
// (HeadFolds). Every layer from the first failed one on holds -1.0 in its
// results.
enum class eCalculationError
{
    None,
    Intersection,
    Placement,
    Overflow,
    Memory,
    Fold
};
extern eCalculationError gCalculationError;
// With the cause Fold: the panel's fields ("group : field") that shape the
// folded faces, for the text of the box.
extern std::vector<std::string> gFoldedFields;
// The text of the "Erreur de calcul" box for a cause.
std::string CalculationErrorText(eCalculationError cause);
// The largest coordinate (scene units) the computation takes. The exact
// tests multiply three coordinates and the measures three more: a scene
// past it, of no terrain, is a calculation error rather than a volume of 0
// or of infinity. So is a world result past 2^53, which is no longer a
// whole number exactly.
constexpr double MaxExcavationCoordinate = 1e15;
extern sExcavationTimers gExcavationTimers;

// The face classes measured for a single head and a double one, in the
// order of their surfaces after "PF".
const std::vector<int>& GetMeasuredFaceClasses(bool doubleEntree);

// The failure marker a result holds where it could not be computed, in
// gResults and gSlopeHeight as in the records of a series and in files.
constexpr double FailedResult = -1.0;

// The one sum over excavation results that every total uses (the "V" and
// "S" cost variables and the summed face variables, the series' totals,
// the results table's and the volume label's): -1.0 as soon as one term is
// the failure marker -1.0, since the total of a failed computation is
// unknown; 0 for no term.
double SumResults(const std::vector<double>& values);

// The road of a layer's cut. Whole cuts a copy of the whole surface, as the
// computation is defined. Local cuts a patch of the surface around where the
// head can meet it (TerrainPatch), with the same lines, sides and measures,
// and leaves the cut surface to be assembled when read, so that the cost of
// a position barely grows with the surface; where no patch can stand for
// the whole (a surface of several pieces or of polygons, lines or removed
// parts that reach the border of every patch tried) that layer is cut
// whole.
enum class eCutRoute
{
    Whole,
    Local
};

// Runs the whole computation for the interface's head (ModelUi::GetTete)
// at its position on the project's axis, then sets the cost variables.
// Clears the project's stale flag first, so a computation that stops early
// (no layer, no head position) is not retried at every frame; otherwise
// marks the results valid, failures included (gCalculationErrors and
// gCalculationError tell). A head with a position but no placement, a
// scene (head, axis or layer points) past MaxExcavationCoordinate or
// memory running out (std::bad_alloc never leaves it) fails every layer;
// a layer whose measure does not fit
// the results, or whose terrain does not hold the head wholly
// (CutTerrainMesh), fails from that layer on. A face of the placed head
// pinched where two of its sides cross (HeadFolds) is cut as the sound part
// below the pinch and the reversed part above it; the layer fails with the
// cause Fold when the terrain reaches the reversed part or the faces that
// overlap it, which no single surface stands for. A head folded in any
// other way fails every layer with that cause. The library lines of its
// calls are held (KorReportHold): a failed computation prints one line
// "ComputeExcavation -> …" naming its cause (the first failed layer) and
// the first held line; a successful one prints none.
void ComputeExcavation(eCutRoute route = eCutRoute::Local);

// Cuts one layer with the placed head: the layer's intersection mesh (its
// surface less the excavated patch), head mesh (the head faces under the
// surface, tracked back to the placed head's faces) and terrain-over-head
// mesh (the removed patch), and their renderable copies. Every line where
// the head meets the surface is found and added to gIntersectionLines, and
// every closed one is cut into both meshes; a face of the head pinched in
// plan (HeadFolds) is cut as its two triangles, both traced back to it.
// True on success, also when the head does not meet the layer; false when
// the head is not wholly inside the layer's terrain (a line or an
// excavated part reaches the border of the head or of the surface, or the
// surface covers the head without meeting it). The head position is not needed: the head is placed.
bool CutTerrainMesh(Couche& layer, const KorMesh& placedHead, const LumPoint& headPosition,
                    eCutRoute route = eCutRoute::Local);

// Splits a mesh cut along the closed line through cutVertices into the
// faces on either side. The outer side holds the extreme point (the highest
// with highest set, else the lowest); when both sides reach the same
// extreme (a flat patch) the outer side is the one holding a border
// half-edge, since the inner side of a closed line never reaches the
// border. False when a line half-edge or a face is missing, or neither side
// has a point.
bool SelectFacesInsideLine(const std::vector<int>& cutVertices, KorMesh& mesh, std::vector<int>& inner,
                           std::vector<int>& outer, bool highest);

// The surface (scene units) of the faces of cutHead that stem from the faces
// of one face class of head: all five (part < 0) or entry `part` (0 to 4);
// 0 for a larger part.
double ComputeFaceClassSurface(int faceClass, const TeteTranchee& head, const KorMesh& cutHead, int part);
