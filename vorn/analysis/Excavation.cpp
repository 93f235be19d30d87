#include "Excavation.h"

#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "KorBoundingBox.h"
#include "KorCut.h"
#include "KorEdge.h"
#include "KorFace.h"
#include "KorIntersection.h"
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
#include <memory>
#include <new>

sExcavationResults gResults;
double gSlopeHeight = 0.0;
std::vector<std::vector<LumPoint>> gIntersectionLines;
LumPoint gHeadPosition;
int gCalculationErrors = 0;
eCalculationError gCalculationError = eCalculationError::None;
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

constexpr double kFailed = -1.0;
// The largest magnitude up to which every whole number is a double.
constexpr double kLargestWhole = 9007199254740992.0;
// Scene units: the altitude tolerance and the plan margin of the patch of
// a surface that a head can meet, well beyond the retries' moves of the
// head (hundredths).
constexpr double kPatchMargin = 0.1;
// What a cut on a patch answers besides done (1) and failed (0): the patch
// was too narrow to stand for the surface (a walk or a side reached its
// border), or it cannot stand for it at all.
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
// surface; on a patch, the patch's own border does not count.
bool HoldsBorder(const KorMesh& mesh, const std::vector<int>& faces, const TerrainPatch* patch = nullptr)
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
            if (!twin || (twin->Face < 0 && !(patch && patch->IsCutOff(twin->GetID()))))
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

// Whether the placed head and every layer's points lie within the
// coordinates the computation takes; a layer without point counts as
// within. O(head vertices + layers): each layer's box is kept.
bool SceneWithinCoordinates(const KorMesh& placedHead)
{
    for (int id = 0; id < placedHead.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = placedHead.GetVertex(id))
            if (!WithinCoordinates(LumPoint(v->X, v->Y, v->Z)))
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

// Whether the head's position lies under the layer's surface, beyond
// rounding: the head, whose walls rise higher than the first layer's extent,
// then crosses that surface, and a head that met no line there stands out
// of the terrain (wholly above or under it, or around it), where no volume
// can be told.
bool StandsUnder(Couche& layer)
{
    double altitude = 0.0;
    if (!layer.GetAltitude(gHeadPosition.x, gHeadPosition.y, altitude))
        return false;
    const double rounding = 1e-9 * std::max({1.0, std::fabs(altitude), std::fabs(gHeadPosition.z)});
    return altitude > gHeadPosition.z + rounding;
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
    RunEach(static_cast<int>(dense.size()),
            [&dense, &head](int k) { TerrainPatch::Prepare(*dense[static_cast<size_t>(k)], head, kPatchMargin); });
}

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
        const size_t lines = gIntersectionLines.size();
        bool cut = CutTerrainMesh(*layer, placedMesh, gHeadPosition, route);
        if (cut && gIntersectionLines.size() == lines && StandsUnder(*layer))
            cut = false;
        if (!cut && firstFailed > cumulative.size())
        {
            firstFailed = cumulative.size();
            failedLayer = layer->Nom;
            gCalculationErrors = 1;
            gCalculationError = eCalculationError::Intersection;
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
    case eCalculationError::None:
    case eCalculationError::Intersection:
        hold.Report("ComputeExcavation", "Découpe impossible" + layer);
        break;
    }
}

namespace
{
// Whether a half-edge of one face of the list is the patch's own border.
bool HoldsCutOff(KorMesh& mesh, const std::vector<int>& faces, const TerrainPatch& patch)
{
    std::vector<KorEdge*> ring;
    for (int id : faces)
    {
        const KorFace* f = mesh.GetFace(id);
        if (!f)
            continue;
        mesh.GetFaceEdges(f, ring);
        for (const KorEdge* e : ring)
            if (e && patch.IsCutOff(e->Opp))
                return true;
    }
    return false;
}

// SelectFacesInsideLine, on a whole mesh (patch null) or on a patch of a
// surface. On a patch the side that reaches the patch's border goes on over
// the rest of the surface, whose extreme point and border count with it, the
// patch's other pieces included; the other side lies in the patch whole.
// When both sides or neither reach that border the patch cannot tell the
// sides as the whole surface would: undecided is set and the result is
// false.
bool SelectSides(const std::vector<int>& cutVertices, KorMesh& mesh, std::vector<int>& inner,
                 std::vector<int>& outer, bool highest, const TerrainPatch* patch, bool& undecided)
{
    undecided = false;
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
    bool openA = false, openB = false, restBorder = false;
    if (patch)
    {
        openA = HoldsCutOff(mesh, sideA, *patch);
        openB = HoldsCutOff(mesh, sideB, *patch);
        if (openA == openB)
        {
            undecided = true;
            return false;
        }
        double& extreme = openA ? extremeA : extremeB;
        bool& any = openA ? anyA : anyB;
        double z = 0.0;
        if (patch->GetExtremeBeyond(highest, z))
        {
            if (!any || beyond(z, extreme))
                extreme = z;
            any = true;
        }
        // The patch's other pieces, where the head meets the surface
        // elsewhere: the surface joins them to the open side.
        std::vector<char> reached(static_cast<size_t>(std::max(mesh.GetFaceVectorSize(), 0)), 0);
        for (const std::vector<int>* side : {&sideA, &sideB})
            for (int id : *side)
                reached[static_cast<size_t>(id)] = 1;
        std::vector<int> rest;
        for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
            if (!reached[static_cast<size_t>(id)] && mesh.GetFace(id))
                rest.push_back(id);
        bool anyRest = false;
        if (!rest.empty() && !extremeOf(rest, z, anyRest))
            return false;
        if (anyRest && (!any || beyond(z, extreme)))
            extreme = z;
        any = any || anyRest;
        restBorder = HoldsBorder(mesh, rest, patch);
    }
    const auto holdsBorder = [&](const std::vector<int>& side, bool open)
    { return HoldsBorder(mesh, side, patch) || (open && (patch->HasBorderBeyond() || restBorder)); };
    if (!anyA && !anyB)
        return false;
    bool outerIsB = false;
    if (anyB && (!anyA || beyond(extremeB, extremeA)))
        outerIsB = true;
    else if (anyA && anyB && !beyond(extremeA, extremeB))
        // A tie, as on a flat patch: the inner side of a closed line never
        // reaches the border, whatever the line's orientation.
        outerIsB = holdsBorder(sideB, openB) && !holdsBorder(sideA, openA);
    inner = outerIsB ? sideA : sideB;
    outer = outerIsB ? sideB : sideA;
    return true;
}

// The cut of one layer on the whole surface (patch null) or on a patch of
// it: 1 done, 0 failed, kWiden or kWhole when the patch cannot stand for the
// surface (nothing is left to the layer then; the caller takes a larger
// patch or the whole surface).
int CutLayer(Couche& layer, const KorMesh& placedHead, const LumPoint& headPosition, TerrainPatch* patch)
{
    KorMesh& intersection = layer.GetMesh(Couche::Intersection);
    KorMesh& headCut = layer.GetMesh(Couche::Tete);
    KorMesh& overHead = layer.GetMesh(Couche::TerrainSurTete);
    KorMesh working;
    KorBoundingBox headBox;
    bool local = false;
    {
        PhaseTimer timer(gExcavationTimers.Copy);
        overHead.Clear();
        headCut.Clear();
        working = placedHead;
        headBox.Define(working);
        working.ClearTracksOfFaces();
        headCut.ClearTracksOfFaces();
        local = patch && patch->Take(layer, working, kPatchMargin);
        if (patch && !local && !patch->IsApart())
            return kWhole;
        if (!patch)
            intersection = layer.GetMesh(Couche::Surface);
    }
    // Where the head cannot come near the surface there is no line either
    // way: the surface stays whole.
    if (patch && patch->IsApart())
    {
        patch->HandOver(layer);
        RefreshCutDisplays(layer);
        return 1;
    }
    KorMesh& terrain = local ? patch->GetMesh() : intersection;
    // Every way out leaves the cut surface to the layer, whole or pending.
    const auto finish = [&](int result)
    {
        if (local)
            patch->HandOver(layer);
        RefreshCutDisplays(layer);
        return result;
    };

    std::vector<LumPoint> line;
    std::vector<sBooleanIntersection> onTerrain, onHead;
    // How a line found with a mesh moved off a degenerate position is put
    // back once each mesh is cut and its sides chosen.
    sLineMove move;
    // GetIntersectionLine, on the patch as on the whole surface. A walk on
    // the patch is the walk on the whole surface as long as it stays off the
    // patch's border, which the walk of its last try is checked for. A try
    // moved off a degenerate position puts the meshes back once cut (move).
    const auto search = [&](bool fromTerrain, const KorBoundingBox& box, int attempts, int points)
    {
        KorMesh& first = fromTerrain ? terrain : working;
        KorMesh& second = fromTerrain ? working : terrain;
        auto& firstRecords = fromTerrain ? onTerrain : onHead;
        auto& secondRecords = fromTerrain ? onHead : onTerrain;
        const bool found = GetIntersectionLine(first, second, box, headPosition, line, firstRecords,
                                               secondRecords, attempts, points, &move);
        if (local && patch->Reaches(onTerrain, line))
            return kWiden;
        return found ? 1 : 0;
    };

    bool found = false;
    {
        PhaseTimer timer(gExcavationTimers.Search);
        const int first = search(true, headBox, 2, 10000);
        if (first < 0)
            return first;
        found = first == 1;
        if (!found && line.empty())
        {
            // The whole surface's box on either road: its centre sets the
            // frame the walk rounds its points in.
            KorBoundingBox terrainBox;
            if (local)
                terrainBox = patch->GetSurfaceBox();
            else
                terrainBox.Define(intersection);
            const int reverse = search(false, terrainBox, 2, 10000);
            if (reverse < 0)
                return reverse;
            found = reverse == 1;
            // No line either way: the head does not meet this layer.
            if (!found && line.empty())
                return finish(1);
        }
    }
    if (!found)
    {
        gIntersectionLines.push_back(line);
        return finish(0);
    }

    bool result = false;
    int lines = 0;
    std::vector<int> cutVertices, inner, outer;
    while (found)
    {
        if (++lines > MaxLinesPerLayer)
        {
            KorReport("CutTerrainMesh", "Trop de lignes d'intersection sur la couche " + layer.Nom);
            result = false;
            break;
        }
        gIntersectionLines.push_back(line);

        // Terrain side: the patch inside the line leaves the surface.
        bool terrainCut = false;
        {
            PhaseTimer timer(gExcavationTimers.Cut);
            terrainCut = CutMeshFromIntersectionLine(terrain, onTerrain, line, cutVertices, false) &&
                         terrain.ToConcaveMesh(false);
        }
        bool terrainSide = false;
        if (terrainCut)
        {
            PhaseTimer timer(gExcavationTimers.Select);
            bool undecided = false;
            terrainSide =
                SelectSides(cutVertices, terrain, inner, outer, false, local ? patch : nullptr, undecided);
            if (undecided)
                return kWiden;
            if (terrainSide)
            {
                SettleCut(terrain, move, cutVertices);
                terrain.CopyFacesToMesh(inner, overHead, false);
                for (int id : inner)
                    terrain.DeleteFace(id, true);
            }
        }

        // Head side: what lies above the terrain leaves the head.
        bool headCutDone = false;
        {
            PhaseTimer timer(gExcavationTimers.Cut);
            headCutDone = CutMeshFromIntersectionLine(working, onHead, line, cutVertices, true);
        }
        bool headSide = false;
        bool selected = true;
        if (headCutDone)
        {
            PhaseTimer timer(gExcavationTimers.Select);
            selected = SelectFacesInsideLine(cutVertices, working, inner, outer, true);
            if (selected)
            {
                headSide = working.ToConcaveMesh(inner, true);
                SettleCut(working, move, cutVertices);
                for (int id : outer)
                    working.DeleteFace(id, true);
                std::vector<int> remaining;
                for (int id = 0; id < working.GetFaceVectorSize(); ++id)
                    if (working.GetFace(id))
                        remaining.push_back(id);
                working.CopyFacesToMesh(remaining, headCut, true);
            }
        }

        // A head side that cannot be split leaves the result and the
        // working copy as they are.
        if (selected)
        {
            result = terrainSide && headSide;
            PhaseTimer timer(gExcavationTimers.Copy);
            working = placedHead;
            working.ClearTracksOfFaces();
        }
        line.clear();
        onTerrain.clear();
        onHead.clear();

        PhaseTimer timer(gExcavationTimers.Search);
        const int next = search(true, headBox, 1, 2000);
        if (next < 0)
            return next;
        found = next == 1;
        if (!found && !line.empty())
            gIntersectionLines.push_back(line);
    }
    return finish(result ? 1 : 0);
}
} // namespace

bool CutTerrainMesh(Couche& layer, const KorMesh& placedHead, const LumPoint& headPosition, eCutRoute route)
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
            const int result = CutLayer(layer, placedHead, headPosition, &patch);
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
    return CutLayer(layer, placedHead, headPosition, nullptr) == 1;
}

bool SelectFacesInsideLine(const std::vector<int>& cutVertices, KorMesh& mesh, std::vector<int>& inner,
                           std::vector<int>& outer, bool highest)
{
    bool undecided = false;
    return SelectSides(cutVertices, mesh, inner, outer, highest, nullptr, undecided);
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
