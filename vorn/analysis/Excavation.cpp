#include "Excavation.h"

#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "HeadFolds.h"
#include "KorBoundingBox.h"
#include "KorCut.h"
#include "KorEdge.h"
#include "KorExactPredicates.h"
#include "KorFace.h"
#include "KorIntersection.h"
#include "KorMeshCrossing.h"
#include "KorMeshSplit.h"
#include "KorParallel.h"
#include "KorReportHold.h"
#include "KorVertex.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "SurfaceShape.h"
#include "TerrainPatch.h"
#include "TeteTranchee.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

sExcavationResults gResults;
double gSlopeHeight = 0.0;
std::vector<std::vector<LumPoint>> gIntersectionLines;
LumPoint gHeadPosition;
int gCalculationErrors = 0;
eCalculationError gCalculationError = eCalculationError::None;
std::vector<std::string> gFoldedFields;
sExcavationTimers gExcavationTimers;

namespace
{
// Adds the time from its construction to its end to one accumulator.
class PhaseTimer
{
public:
    explicit PhaseTimer(double& total) : mTotal(total), mStart(std::chrono::steady_clock::now()) {}
    PhaseTimer(const PhaseTimer&) = delete;
    PhaseTimer& operator=(const PhaseTimer&) = delete;
    ~PhaseTimer()
    {
        mTotal += std::chrono::duration<double>(std::chrono::steady_clock::now() - mStart).count();
    }

private:
    double& mTotal;
    std::chrono::steady_clock::time_point mStart;
};

constexpr double kFailed = FailedResult;
// The largest magnitude up to which every whole number is a double.
constexpr double kLargestWhole = 9007199254740992.0;
// Scene units: the altitude tolerance and the plan margin of the patch of
// a surface that a head can meet, well beyond the rounding of the faces'
// altitude bounds.
constexpr double kPatchMargin = 0.1;
// What a cut on a patch answers besides done (1) and failed (0): the patch
// was too narrow to stand for the surface (a line or a removed part reached
// its border), or it cannot stand for it at all.
constexpr int kWiden = -1;
constexpr int kWhole = -2;
// The patches tried in turn (TerrainPatch::Grow) before the whole surface is
// cut.
constexpr int kPatchAttempts = 8;

// The area of the faces of the mesh that stem from the given origin faces.
double SurfaceFrom(const KorMesh& mesh, const std::vector<int>& origins)
{
    double total = 0.0;
    std::vector<int> faces;
    for (int origin : origins)
    {
        if (origin < 0)
            continue;
        mesh.GetNewFacesFrom(origin, faces);
        for (int id : faces)
            if (const KorFace* f = mesh.GetFace(id))
                total += mesh.GetFaceSurface(f);
    }
    return total;
}

// The renderable copies of a layer's three cut meshes follow them when next
// drawn.
void RefreshCutDisplays(Couche& layer)
{
    PhaseTimer timer(gExcavationTimers.RenderArrays);
    layer.SetCutDisplaysStale();
    layer.InvalidateTextureCoordinates();
    layer.SetDiscontinuitySurfacesBuilt(false);
}

// Whether one face of the list has a half-edge whose twin lies outside the
// surface.
bool HoldsBorder(const KorMesh& mesh, const std::vector<int>& faces)
{
    for (int id : faces)
    {
        const KorFace* f = mesh.GetFace(id);
        if (!f)
            continue;
        const KorEdge* start = mesh.GetEdge(f->Edge);
        const KorEdge* e = start;
        // A ring is bounded by the half-edge slot count.
        for (int steps = 0; e && steps < mesh.GetEdgeVectorSize(); ++steps)
        {
            const KorEdge* twin = mesh.GetEdge(e->Opp);
            if (!twin || twin->Face < 0)
                return true;
            e = mesh.GetEdge(e->Next);
            if (e == start)
                break;
        }
    }
    return false;
}

// The per-layer values of one computation, before the differencing.
struct sLayerValues
{
    double Volume = 0.0;
    std::vector<double> Surfaces;
};

sLayerValues Measure(const Couche& layer, const TeteTranchee& head)
{
    PhaseTimer timer(gExcavationTimers.Measure);
    const KorMesh& cut = layer.GetMesh(Couche::Tete);
    // A mirrored head winds its faces the other way and only its normals
    // honour the flip flag: its part's signed volume comes out negated.
    const double headPart = head.GetMesh().AreFacesFlipped() ? -cut.GetVolume() : cut.GetVolume();
    const double v = std::fabs(layer.GetMesh(Couche::TerrainSurTete).GetVolume() - headPart);
    // A world value the results cannot hold stays NaN, for the caller to
    // tell, rather than be rounded to a number.
    const auto whole = [](double world)
    { return std::fabs(world) <= kLargestWhole ? Round(world, 0) : std::nan(""); };
    sLayerValues values;
    values.Volume = whole(SceneToWorldVolume(gProjet, v));
    const auto area = [&whole](double scene) { return whole(SceneToWorldArea(gProjet, scene)); };
    values.Surfaces.push_back(
        area(SurfaceFrom(cut, head.GetUpFaces()) - SurfaceFrom(cut, head.GetDownFaces())));
    for (int faceClass : GetMeasuredFaceClasses(head.DoubleEntree))
        values.Surfaces.push_back(area(ComputeFaceClassSurface(faceClass, head, cut, -1)));
    values.Surfaces.push_back(area(cut.GetSurface()));
    return values;
}

sLayerValues FailedValues(const TeteTranchee& head)
{
    sLayerValues values;
    values.Volume = kFailed;
    values.Surfaces.assign(GetMeasuredFaceClasses(head.DoubleEntree).size() + 2, kFailed);
    return values;
}

// Whether every value is a number the results can hold: finite, and a whole
// number of the world unit exactly (at most 2^53 in magnitude).
bool Representable(double value)
{
    return std::fabs(value) <= kLargestWhole;
}

bool Representable(const sLayerValues& values)
{
    return Representable(values.Volume) && std::all_of(values.Surfaces.begin(), values.Surfaces.end(),
                                                       [](double v) { return Representable(v); });
}

bool WithinCoordinates(const LumPoint& p)
{
    return std::fabs(p.x) <= MaxExcavationCoordinate && std::fabs(p.y) <= MaxExcavationCoordinate &&
           std::fabs(p.z) <= MaxExcavationCoordinate;
}

// Whether the placed head, the axis and every layer's points lie within
// the coordinates the computation takes; a layer without point counts as
// within. The head is placed from the axis's lengths and directions: a far
// end of the axis past them (its squares overflow from 1e154) would move
// the head off its place unseen, so it is refused as a layer point is.
// O(head vertices + axis points + layers): each layer's box is kept.
bool SceneWithinCoordinates(const KorMesh& placedHead)
{
    for (int id = 0; id < placedHead.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = placedHead.GetVertex(id))
            if (!WithinCoordinates(LumPoint(v->X, v->Y, v->Z)))
                return false;
    std::vector<LumPoint> axis;
    gProjet.GetAxe().GetPoints(axis);
    if (!std::all_of(axis.begin(), axis.end(), WithinCoordinates))
        return false;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        const Couche* layer = gProjet.GetCouche(i);
        if (!layer || layer->GetMesh().GetNumberOfVertices() == 0)
            continue;
        LumPoint lo, hi;
        layer->GetBoundingBox(lo, hi);
        if (!WithinCoordinates(lo) || !WithinCoordinates(hi))
            return false;
    }
    return true;
}

// A computation that cannot be made for any layer: every layer holds -1.0,
// the cut meshes are emptied (the surface is drawn whole), the cost
// variables follow and the results are valid, failures included. Allocates
// only the results themselves, so that it serves after memory ran out too.
void FailEveryLayer(eCalculationError cause)
{
    gCalculationErrors = 1;
    gCalculationError = cause;
    gResults.Clear();
    std::vector<std::vector<LumPoint>>().swap(gIntersectionLines);
    gSlopeHeight = kFailed;
    const TeteTranchee& head = GetModelUi().GetTete();
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche* layer = gProjet.GetCouche(i);
        if (!layer)
            continue;
        layer->DiscardPendingCutSurface();
        for (Couche::eMesh which : {Couche::Intersection, Couche::Tete, Couche::TerrainSurTete})
            layer->GetMesh(which).Clear();
        RefreshCutDisplays(*layer);
    }
    size_t layers = 0;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        layers += gProjet.GetCouche(i) ? 1 : 0;
    gResults.Volumes.assign(layers, kFailed);
    gResults.Surfaces.assign(layers, FailedValues(head).Surfaces);
    SetCostVariables(head);
    gProjet.SetExcavationState(false, true);
}

// The slope height: the top layer's altitude at the head, in metres, above
// the head's platform, plus the tunnel height (metres already). A point
// outside the surface has the altitude 0.
void ComputeSlopeHeight(const TeteTranchee& head)
{
    PhaseTimer timer(gExcavationTimers.Altitude);
    double altitude = 0.0;
    if (Couche* top = gProjet.GetCouche(0))
        top->GetAltitude(gHeadPosition.x, gHeadPosition.y, altitude);
    const double h = SceneToWorldLength(gProjet, altitude - gHeadPosition.z) + head.HauteurTunnel;
    gSlopeHeight = Round(std::max(0.0, h), 1);
}

// Each layer keeps the part between its surface and the next layer's: its
// cumulative value less the next one's, the last layer its own. With k the
// first failed layer, layer k - 1 (whose difference needs layer k) and
// every layer from k on are failed.
void StoreDifferences(const std::vector<sLayerValues>& cumulative, size_t firstFailed)
{
    const size_t n = cumulative.size();
    for (size_t i = 0; i < n; ++i)
    {
        sLayerValues value = cumulative[i];
        if (firstFailed < n && i + 1 >= firstFailed)
        {
            value.Volume = kFailed;
            std::fill(value.Surfaces.begin(), value.Surfaces.end(), kFailed);
        }
        else if (i + 1 < n)
        {
            const sLayerValues& below = cumulative[i + 1];
            value.Volume -= below.Volume;
            for (size_t j = 0; j < value.Surfaces.size() && j < below.Surfaces.size(); ++j)
                value.Surfaces[j] -= below.Surfaces[j];
        }
        gResults.Volumes.push_back(value.Volume);
        gResults.Surfaces.push_back(value.Surfaces);
    }
}
} // namespace

const std::vector<int>& GetMeasuredFaceClasses(bool doubleEntree)
{
    static const std::vector<int> single = {4, 5, 6, 8, 9, 10, 14, 15, 16, 12, 18};
    static const std::vector<int> twin = {22, 23, 24, 26, 27, 28, 34, 35, 36, 30, 31, 32, 42, 38, 39, 40, 44};
    return doubleEntree ? twin : single;
}

double SumResults(const std::vector<double>& values)
{
    double total = 0.0;
    for (double value : values)
    {
        if (value == kFailed)
            return kFailed;
        total += value;
    }
    return total;
}

std::string CalculationErrorText(eCalculationError cause)
{
    switch (cause)
    {
    case eCalculationError::Placement:
        return "Impossible de construire la tête de tranchée à sa position sur l'axe. "
               "\nVérifiez ses paramètres, l'échelle du projet et les coordonnées des points de la première "
               "couche.";
    case eCalculationError::Overflow:
        return "Impossible de calculer l'excavation : les valeurs du projet sont trop grandes. "
               "\nVérifiez l'échelle du projet, les coordonnées des points des couches et les dimensions de "
               "la tête de tranchée.";
    case eCalculationError::Memory:
        return "Impossible de calculer l'excavation : la mémoire disponible est insuffisante.";
    case eCalculationError::Fold:
    {
        std::string fields;
        for (const std::string& field : gFoldedFields)
            fields += (fields.empty() ? "" : ", ") + std::string("« ") + field + " »";
        return "Impossible de calculer l'excavation : des faces de la tête de tranchée se replient les unes "
               "sur les autres. \nModifiez " +
               (fields.empty() ? std::string("les dimensions de la tête de tranchée")
                               : "les champs " + fields) +
               ".";
    }
    case eCalculationError::None:
    case eCalculationError::Intersection:
        break;
    }
    return "Impossible de déterminer l'intersection de la tête de tranchée avec le terrain. "
           "\nVérifiez que la tête de tranchée soit entièrement comprise dans le terrain.";
}

namespace
{
// The caches the local road keeps of each surface (shape and altitude grid,
// which also finds faces) are a pass over the whole surface, made at the
// first computation after an edit. For dense layers they are built here
// side by side, a thread a layer (which the shape's build shares with the
// grid's passes): each reads its own surface and writes its own caches,
// nothing shared; the part of them the placed head's first cut reads is
// worked out there too. The layers are triangulated before; one still
// stale would be left to its cut. An exception in a thread is thrown here
// once every thread has ended.
void PrepareSurfaces(const KorMesh& head)
{
    std::vector<Couche*> dense;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche* layer = gProjet.GetCouche(i);
        if (layer && !layer->NeedsTriangulation() && !layer->HasSurfaceCaches() &&
            layer->GetMesh(Couche::Surface).GetNumberOfFaces() >= SurfaceShape::kDenseFaces)
            dense.push_back(layer);
    }
    RunEach(static_cast<int>(dense.size()), [&dense, &head](int k)
            { TerrainPatch::Prepare(*dense[static_cast<size_t>(k)], head, kPatchMargin); });
}

// Whether the terrain of the layer reaches a fold of the placed head: it
// stands above a pinch, or one of the lines the layer's cut added from
// `firstLine` on meets, in plan, the reversed part above a pinch. The faces
// that overlap that part all pass through the pinch, so a terrain that
// meets none of them there and draws no line over the part stays below
// them all.
bool FoldReached(Couche& layer, const std::vector<sHeadFold>& folds, size_t firstLine, const KorMesh& head);

void TriangulateLayers()
{
    std::vector<Couche*> layers;
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
        layers.push_back(gProjet.GetCouche(i));
    Couche::TriangulateAll(layers);
}

// failedLayer: the name of the first layer that failed, if any.
void Compute(eCutRoute route, std::string& failedLayer)
{
    // The placed copy's face classes and horizontal lists name the faces of
    // the placed mesh; its parameters are the interface's head's.
    KorMesh placedMesh;
    TeteTranchee placed;
    bool isPlaced = false;
    {
        PhaseTimer timer(gExcavationTimers.Place);
        isPlaced = gProjet.GetAxe().PlaceHead(gHeadPosition, placedMesh, &placed);
    }
    if (!isPlaced)
    {
        // No head position on the axis: nothing to compute, nothing to
        // say. A head that has a position but no placement (a length that
        // is not a positive finite number, a shape that cannot be built)
        // fails every layer rather than be cut by a partial mesh.
        double h[16];
        LumPoint position;
        if (gProjet.GetAxe().GetHeadPlacement(position, h))
            FailEveryLayer(eCalculationError::Placement);
        return;
    }
    if (!SceneWithinCoordinates(placedMesh))
    {
        FailEveryLayer(eCalculationError::Overflow);
        return;
    }
    // A pinched face is measured below its pinch; a face folded otherwise
    // has no part that a cut could measure.
    const std::vector<sHeadFold> folds = HeadFolds::Find(placedMesh);
    if (std::any_of(folds.begin(), folds.end(), [](const sHeadFold& f) { return !f.Pinched; }))
    {
        gFoldedFields = HeadFolds::Fields(placed, folds);
        FailEveryLayer(eCalculationError::Fold);
        return;
    }

    // Every stale layer now and side by side, not each at its first read
    // below; then their caches, which the slope height's altitude uses too.
    TriangulateLayers();
    if (route == eCutRoute::Local)
        PrepareSurfaces(placedMesh);
    ComputeSlopeHeight(placed);
    gResults.Clear();
    gIntersectionLines.clear();
    std::vector<sLayerValues> cumulative;
    size_t firstFailed = static_cast<size_t>(-1);
    for (int i = 0; i < gProjet.GetNumberOfCouches(); ++i)
    {
        Couche* layer = gProjet.GetCouche(i);
        if (!layer)
            continue;
        const size_t firstLine = gIntersectionLines.size();
        bool cut = CutTerrainMesh(*layer, placedMesh, gHeadPosition, route);
        const bool folded = !folds.empty() && FoldReached(*layer, folds, firstLine, placedMesh);
        cut = cut && !folded;
        if (!cut && firstFailed > cumulative.size())
        {
            firstFailed = cumulative.size();
            failedLayer = layer->Nom;
            gCalculationErrors = 1;
            gCalculationError = folded ? eCalculationError::Fold : eCalculationError::Intersection;
            if (folded)
                gFoldedFields = HeadFolds::Fields(placed, folds);
        }
        if (firstFailed <= cumulative.size())
        {
            cumulative.push_back(FailedValues(placed));
            continue;
        }
        cumulative.push_back(Measure(*layer, placed));
        // A measure past what the results hold is no measure.
        if (!Representable(cumulative.back()))
        {
            firstFailed = cumulative.size() - 1;
            failedLayer = layer->Nom;
            gCalculationErrors = 1;
            gCalculationError = eCalculationError::Overflow;
            cumulative.back() = FailedValues(placed);
        }
    }
    StoreDifferences(cumulative, firstFailed);
    if (!Representable(gSlopeHeight))
    {
        gSlopeHeight = kFailed;
        gCalculationErrors = 1;
        if (gCalculationError == eCalculationError::None)
            gCalculationError = eCalculationError::Overflow;
    }

    // The placed head stays for its renderable copy, made when a frame
    // draws it.
    gProjet.SetTeteExcavee(std::move(placedMesh));
    SetCostVariables(GetModelUi().GetTete());
    gProjet.SetExcavationState(false, true);
}
} // namespace

void ComputeExcavation(eCutRoute route)
{
    // A failed computation prints one line, not one per refused face or
    // line of its library calls; a successful one prints none of theirs.
    KorReportHold hold;
    std::string failedLayer;
    gCalculationErrors = 0;
    gCalculationError = eCalculationError::None;
    gFoldedFields.clear();
    gProjet.ClearTeteExcavee();
    gProjet.SetExcavationState(false, false);
    if (gProjet.GetNumberOfCouches() == 0)
        return;
    try
    {
        Compute(route, failedLayer);
    }
    catch (const std::bad_alloc&)
    {
        // What the computation held is released on the way out; the layers'
        // cut meshes are emptied before anything is stored.
        gProjet.ClearTeteExcavee();
        try
        {
            FailEveryLayer(eCalculationError::Memory);
        }
        catch (const std::bad_alloc&)
        {
            // Not even the failure markers fit: no results, the error
            // still told.
            gResults.Clear();
            gCalculationErrors = 1;
            gCalculationError = eCalculationError::Memory;
            gProjet.SetExcavationState(false, false);
        }
    }
    if (!gCalculationErrors)
        return;
    const std::string layer = failedLayer.empty() ? std::string() : " de la couche '" + failedLayer + "'";
    switch (gCalculationError)
    {
    case eCalculationError::Placement:
        hold.Report("ComputeExcavation", "Tête de tranchée impossible à construire : aucune couche découpée");
        break;
    case eCalculationError::Overflow:
        hold.Report("ComputeExcavation", "Valeurs trop grandes pour le calcul" + layer);
        break;
    case eCalculationError::Memory:
        hold.Report("ComputeExcavation", "Mémoire insuffisante pour le calcul");
        break;
    case eCalculationError::Fold:
        hold.Report("ComputeExcavation", "Faces de la tête de tranchée repliées" + layer);
        break;
    case eCalculationError::None:
    case eCalculationError::Intersection:
        hold.Report("ComputeExcavation", "Découpe impossible" + layer);
        break;
    }
}

namespace
{
// Where the head and the terrain touch, the perturbation of the crossing
// has the head give way upward: its vertices rank first, the terrain's
// from here on.
constexpr std::int64_t kTerrainRank = std::int64_t(1) << 40;

// The faces of the surface that may hold a point of the plan box, or of a
// vertical line: from the layer's face grid, the plain loop (null) where
// it refuses.
const std::vector<int>* SurfaceFacesNear(Couche& layer, const LumPoint& lo, const LumPoint& hi,
                                         std::vector<int>& faces)
{
    return layer.QuerySurfaceFaces(lo, hi, faces) ? &faces : nullptr;
}

// Whether the layer's surface stands above a vertex of the head (ranked as
// the crossing ranks it), with the contacts settled as the crossing
// settles them.
bool UnderSurface(Couche& layer, const LumPoint& p, int vertex)
{
    const double far = std::numeric_limits<double>::max();
    std::vector<int> faces;
    const std::vector<int>* near =
        SurfaceFacesNear(layer, LumPoint(p.x, p.y, -far), LumPoint(p.x, p.y, far), faces);
    return KorMeshCrossing::OddCrossings(layer.GetMesh(Couche::Surface),
                                         KorMeshCrossing::sRanks{nullptr, kTerrainRank}, near,
                                         sRankedPoint{&p, vertex}, true);
}

int Orient(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return Orient2DSign(a.x, a.y, b.x, b.y, c.x, c.y);
}

// Whether the plan point lies in the closed plan triangle.
bool InTriangle(const LumPoint& p, const LumPoint* t)
{
    const int a = Orient(t[0], t[1], p), b = Orient(t[1], t[2], p), c = Orient(t[2], t[0], p);
    return (a >= 0 && b >= 0 && c >= 0) || (a <= 0 && b <= 0 && c <= 0);
}

// Whether the closed plan segments p-q and c-d meet.
bool SegmentsMeet(const LumPoint& p, const LumPoint& q, const LumPoint& c, const LumPoint& d)
{
    const int o1 = Orient(p, q, c), o2 = Orient(p, q, d), o3 = Orient(c, d, p), o4 = Orient(c, d, q);
    if (o1 * o2 > 0 || o3 * o4 > 0)
        return false;
    if (o1 != 0 || o2 != 0 || o3 != 0 || o4 != 0)
        return true;
    // On one line: their boxes overlap.
    return std::max(std::min(p.x, q.x), std::min(c.x, d.x)) <=
               std::min(std::max(p.x, q.x), std::max(c.x, d.x)) &&
           std::max(std::min(p.y, q.y), std::min(c.y, d.y)) <=
               std::min(std::max(p.y, q.y), std::max(c.y, d.y));
}

bool SegmentMeetsTriangle(const LumPoint& p, const LumPoint& q, const LumPoint* t)
{
    return InTriangle(p, t) || InTriangle(q, t) || SegmentsMeet(p, q, t[0], t[1]) ||
           SegmentsMeet(p, q, t[1], t[2]) || SegmentsMeet(p, q, t[2], t[0]);
}

// The first live vertex of a mesh, -1 for none.
int FirstVertex(const KorMesh& mesh)
{
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (mesh.GetVertex(id))
            return id;
    return -1;
}

LumPoint PointOf(const KorMesh& mesh, int vertex)
{
    const KorVertex* v = mesh.GetVertex(vertex);
    return LumPoint(v->X, v->Y, v->Z);
}

// The cut of one layer on the whole surface (patch null) or on a patch of
// it: 1 done, 0 failed, kWiden or kWhole when the patch cannot stand for the
// surface (nothing is left to the layer then; the caller takes a larger
// patch or the whole surface).
//
// Every segment where a face of the head meets a face of the terrain is
// found (KorMeshCrossing) and chained into lines; each closed line is cut
// into both meshes (KorMeshSplit); then each piece of either mesh tells its
// side where it stands: a part of the head is excavated where the surface
// stands above it, a part of the terrain is removed where it stands above
// the head. A line that ends on the border of the head or of the surface,
// or an excavated part that reaches either border, means the head is not
// wholly inside the terrain; on a patch, one that reaches the patch's own
// border means the patch was too small.
int CutLayer(Couche& layer, const KorMesh& placedHead, TerrainPatch* patch)
{
    KorMesh& intersection = layer.GetMesh(Couche::Intersection);
    KorMesh& headCut = layer.GetMesh(Couche::Tete);
    KorMesh& overHead = layer.GetMesh(Couche::TerrainSurTete);
    KorMesh working;
    bool local = false, unfolded = true;
    {
        PhaseTimer timer(gExcavationTimers.Copy);
        overHead.Clear();
        headCut.Clear();
        working = placedHead;
        working.ClearTracksOfFaces();
        headCut.ClearTracksOfFaces();
        // A face pinched in plan is cut as its two loops, each of one
        // turning, tracked back to it.
        unfolded = HeadFolds::Unfold(working);
        if (!unfolded && patch)
            return kWhole;
        local = patch && patch->Take(layer, working, kPatchMargin);
        if (patch && !local && !patch->IsApart())
            return kWhole;
        if (!patch)
            intersection = layer.GetMesh(Couche::Surface);
    }
    // Every way out leaves the cut surface to the layer, whole or pending.
    const auto finish = [&](int result)
    {
        if (patch && (local || patch->IsApart()))
            patch->HandOver(layer);
        RefreshCutDisplays(layer);
        return result;
    };
    if (!unfolded)
    {
        KorReport("CutTerrainMesh", "Faces repliées de la tête impossibles à séparer");
        return finish(0);
    }
    const KorMeshCrossing::sRanks headRanks;
    // Where the head cannot come near the surface there is no line: the
    // surface stays whole, unless it covers the head.
    if (patch && patch->IsApart())
        return finish(
            UnderSurface(layer, PointOf(placedHead, FirstVertex(placedHead)), FirstVertex(placedHead)) ? 0
                                                                                                       : 1);
    KorMesh& terrain = local ? patch->GetMesh() : intersection;
    const KorMeshCrossing::sRanks terrainRanks{local ? &patch->GetVertexSources() : nullptr, kTerrainRank};

    KorMeshCrossing crossing(working, headRanks, terrain, terrainRanks);
    {
        PhaseTimer timer(gExcavationTimers.Search);
        // A patch holds only the faces the head can meet: each is tried.
        // Over the whole surface the layer's face grid gives those near
        // each face of the head.
        const auto query = [&layer](const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces)
        { return layer.QuerySurfaceFaces(lo, hi, faces); };
        if (!crossing.Find(local ? KorMeshCrossing::FaceQuery() : KorMeshCrossing::FaceQuery(query)))
        {
            KorReport("CutTerrainMesh",
                      "Intersection de la couche '" + layer.Nom + "' et de la tête impossible à suivre");
            return finish(0);
        }
    }
    const std::vector<KorMeshCrossing::sLine>& lines = crossing.GetLines();
    bool open = false, widen = false;
    for (const KorMeshCrossing::sLine& line : lines)
    {
        std::vector<LumPoint> points;
        for (const KorMeshCrossing::sLinePoint& p : line.Points)
            points.push_back(p.P);
        gIntersectionLines.push_back(points);
        if (line.Closed)
            continue;
        open = true;
        for (int end = 0; end < 2; ++end)
            if (local && line.EndMesh[end] == 1 && patch->IsCutOff(line.EndEdge[end]))
            {
                widen = true;
                const size_t n = points.size();
                if (n >= 2)
                    patch->NoteExit(end == 0 ? points[1] : points[n - 2],
                                    end == 0 ? points[0] : points[n - 1]);
            }
    }
    if (widen)
        return kWiden;
    if (open)
    {
        KorReport("CutTerrainMesh", "Ligne d'intersection ouverte sur la couche '" + layer.Nom + "'");
        return finish(0);
    }

    KorMeshSplit cutTerrain(terrain, 1), cutHead(working, 0);
    {
        PhaseTimer timer(gExcavationTimers.Cut);
        if (!cutTerrain.Insert(lines, false) || !cutHead.Insert(lines, true))
        {
            KorReport("CutTerrainMesh", "Découpe de la couche '" + layer.Nom + "' impossible");
            return finish(0);
        }
    }
    PhaseTimer timer(gExcavationTimers.Select);
    const auto underSurface = [&](int v) { return UnderSurface(layer, PointOf(working, v), v); };
    if (!cutHead.Classify(underSurface))
        return finish(0);
    bool cutOff = false;
    if (cutHead.SideReachesBorder(true, nullptr, cutOff))
    {
        KorReport("CutTerrainMesh", "La couche '" + layer.Nom + "' recouvre le bord de la tête");
        return finish(0);
    }
    // No line: the head lies wholly above or beside the layer, whose
    // material is then the layer's above.
    if (lines.empty())
        return finish(1);
    const auto overHeadSide = [&](int v)
    {
        const LumPoint p = PointOf(terrain, v);
        return KorMeshCrossing::OddCrossings(placedHead, headRanks, nullptr,
                                             sRankedPoint{&p, terrainRanks.Of(v)}, false);
    };
    if (!cutTerrain.Classify(overHeadSide))
        return finish(0);
    if (cutTerrain.SideReachesBorder(
            true, [&](int edge) { return local && patch->IsCutOff(edge); }, cutOff))
    {
        if (cutOff)
            return kWiden;
        KorReport("CutTerrainMesh", "La tête sort de la couche '" + layer.Nom + "'");
        return finish(0);
    }
    const std::vector<int> removed = cutTerrain.FacesOnSide(true);
    terrain.CopyFacesToMesh(removed, overHead, false);
    for (int id : removed)
        terrain.DeleteFace(id, true);
    working.CopyFacesToMesh(cutHead.FacesOnSide(true), headCut, true);
    return finish(1);
}

bool FoldReached(Couche& layer, const std::vector<sHeadFold>& folds, size_t firstLine, const KorMesh& head)
{
    for (const sHeadFold& fold : folds)
    {
        // The pinch ranks after every vertex of the placed head.
        if (UnderSurface(layer, fold.Pinch, head.GetVertexVectorSize()))
            return true;
        for (size_t k = firstLine; k < gIntersectionLines.size(); ++k)
        {
            const std::vector<LumPoint>& line = gIntersectionLines[k];
            for (size_t i = 0; i < line.size(); ++i)
                if (SegmentMeetsTriangle(line[i], line[(i + 1) % line.size()], fold.Upper))
                    return true;
        }
    }
    return false;
}

// SelectFacesInsideLine's choice of the sides.
bool SelectSides(const std::vector<int>& cutVertices, KorMesh& mesh, std::vector<int>& inner,
                 std::vector<int>& outer, bool highest)
{
    inner.clear();
    outer.clear();
    const size_t n = cutVertices.size();
    std::vector<int> lineA, lineB;
    for (size_t k = 0; k < n; ++k)
    {
        const KorEdge* e =
            mesh.GetEdgeBetween(mesh.GetVertex(cutVertices[k]), mesh.GetVertex(cutVertices[(k + 1) % n]));
        const KorEdge* twin = e ? mesh.GetEdge(e->Opp) : nullptr;
        if (!twin)
            return false;
        lineA.push_back(e->GetID());
        lineB.push_back(twin->GetID());
    }
    std::vector<int> sideA, sideB;
    if (!GetFacesInsideLine(mesh, lineA, sideA) || !GetFacesInsideLine(mesh, lineB, sideB))
        return false;

    // The extreme point of each side.
    const auto beyond = [highest](double z, double extreme) { return highest ? z > extreme : z < extreme; };
    const auto extremeOf = [&](const std::vector<int>& side, double& extreme, bool& any)
    {
        extreme = highest ? -1e9 : 1e9;
        any = false;
        std::vector<LumPoint> points;
        for (int id : side)
        {
            const KorFace* f = mesh.GetFace(id);
            if (!f)
                return false;
            mesh.GetFacePoints(f, points);
            for (const LumPoint& p : points)
            {
                any = true;
                if (beyond(p.z, extreme))
                    extreme = p.z;
            }
        }
        return true;
    };
    double extremeA = 0.0, extremeB = 0.0;
    bool anyA = false, anyB = false;
    if (!extremeOf(sideA, extremeA, anyA) || !extremeOf(sideB, extremeB, anyB))
        return false;
    if (!anyA && !anyB)
        return false;
    bool outerIsB = false;
    if (anyB && (!anyA || beyond(extremeB, extremeA)))
        outerIsB = true;
    else if (anyA && anyB && !beyond(extremeA, extremeB))
        // A tie, as on a flat patch: the inner side of a closed line never
        // reaches the border, whatever the line's orientation.
        outerIsB = HoldsBorder(mesh, sideB) && !HoldsBorder(mesh, sideA);
    inner = outerIsB ? sideA : sideB;
    outer = outerIsB ? sideB : sideA;
    return true;
}
} // namespace

bool CutTerrainMesh(Couche& layer, const KorMesh& placedHead, const LumPoint& /*headPosition*/,
                    eCutRoute route)
{
    // The surface cut is the one drawn and measured: stale points are
    // triangulated first, as a drawing would.
    if (layer.NeedsTriangulation())
        layer.Triangulate();
    layer.DiscardPendingCutSurface();
    if (route == eCutRoute::Local)
    {
        const size_t lines = gIntersectionLines.size();
        TerrainPatch patch;
        for (int attempt = 0; attempt < kPatchAttempts; ++attempt)
        {
            const int result = CutLayer(layer, placedHead, &patch);
            if (result >= 0)
            {
                ++gExcavationTimers.LocalCuts;
                gExcavationTimers.PatchFaces += patch.GetCopiedFaces();
                return result == 1;
            }
            gIntersectionLines.resize(lines);
            if (result == kWhole)
                break;
            ++gExcavationTimers.PatchRetries;
            patch.Grow();
        }
    }
    ++gExcavationTimers.WholeCuts;
    return CutLayer(layer, placedHead, nullptr) == 1;
}

bool SelectFacesInsideLine(const std::vector<int>& cutVertices, KorMesh& mesh, std::vector<int>& inner,
                           std::vector<int>& outer, bool highest)
{
    return SelectSides(cutVertices, mesh, inner, outer, highest);
}

double ComputeFaceClassSurface(int faceClass, const TeteTranchee& head, const KorMesh& cutHead, int part)
{
    if (part > 4)
        return 0.0;
    const sClasseFaces record = head.GetClassFaces(faceClass);
    std::vector<int> origins;
    for (int k = 0; k < 5; ++k)
        if (part < 0 || part == k)
            origins.push_back(record.Faces[k]);
    return SurfaceFrom(cutHead, origins);
}
