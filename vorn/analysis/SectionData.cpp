#include "SectionData.h"

#include "Axe.h"
#include "Couche.h"
#include "Discontinuite.h"
#include "Discontinuite3D.h"
#include "KorMesh.h"
#include "KorSort.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"
#include "Sondage.h"

#include <algorithm>
#include <cmath>

namespace
{
const double kTolerance = 1e-5;

struct Cut
{
    LumPoint First;
    LumPoint Direction; // unit, along the cut
    double Length;
    KorPlane Plane;

    double AbscissaOf(const LumPoint& p) const { return (p - First) * Direction; }
    bool Within(double s) const { return -kTolerance < s && s < Length + kTolerance; }
};

// Adds the crossings of the mesh's edges with the cut plane: an edge lying
// in the plane gives its end points, one crossing it strictly between its
// ends the crossing. Each edge is visited once with its twin.
void CutLayerMesh(const KorMesh& mesh, int tag, const Cut& cut, std::vector<SectionPoint>& profile)
{
    std::vector<char> visited(static_cast<size_t>(std::max(mesh.GetEdgeVectorSize(), 0)), 0);
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
    {
        const KorEdge* edge = mesh.GetEdge(id);
        if (!edge || visited[id])
            continue;
        visited[id] = 1;
        const KorEdge* twin = mesh.GetEdge(edge->Opp);
        if (twin)
            visited[edge->Opp] = 1;
        const bool border = edge->Face < 0 || !twin || twin->Face < 0;
        LumPoint a, b;
        if (!mesh.GetEdgePoints(edge, a, b))
            continue;
        double t = 0.0;
        const int crossing = cut.Plane.LineIntersection(a, b, t);
        if (crossing == 2)
        {
            for (const LumPoint& p : {a, b})
            {
                const double s = cut.AbscissaOf(p);
                if (cut.Within(s))
                    profile.push_back({p, s, tag, border});
            }
        }
        else if (crossing == 1 && t > 0.0 && t < 1.0)
        {
            const LumPoint p = a + (b - a) * t;
            const double s = cut.AbscissaOf(p);
            if (cut.Within(s))
                profile.push_back({p, s, tag, border});
        }
    }
}

// Coincident points (abscissae within 1e-5): a surface point (tag 0) next to
// a head point gives way to it, and of two surface points one stays, so
// each place of the profile is kept once (an edge lying in the cut gives
// its end points twice). Head points all stay.
void ThinCoincidentPoints(std::vector<SectionPoint>& p)
{
    size_t i = 1;
    while (i < p.size())
    {
        if (std::fabs(p[i - 1].Abscissa - p[i].Abscissa) < kTolerance && (p[i - 1].Tag == 0 || p[i].Tag == 0))
        {
            p.erase(p.begin() + static_cast<long>(p[i - 1].Tag == 0 ? i - 1 : i));
            i = std::max<size_t>(i - 1, 1);
            continue;
        }
        ++i;
    }
}

// A run of coincident points inside the profile is reversed when that makes
// its first point's tag follow on from the point after it.
void ReorderCoincidentRuns(std::vector<SectionPoint>& p)
{
    const size_t n = p.size();
    size_t start = 1;
    while (start + 1 < n)
    {
        size_t end = start;
        while (end + 1 < n && std::fabs(p[end + 1].Abscissa - p[end].Abscissa) < kTolerance)
            ++end;
        if (end > start && end + 1 < n - 1 && p[start - 1].Tag != p[end + 1].Tag &&
            p[start].Tag == p[end + 1].Tag)
            std::reverse(p.begin() + static_cast<long>(start), p.begin() + static_cast<long>(end + 1));
        start = end + 1;
    }
}

double AxisReferenceDistance(const Axe& axe)
{
    if (axe.Type == 0)
        return axe.GetDistance(axe.Origine);
    if (axe.PMPlace)
        return axe.GetDistance(axe.PM);
    return 0.0;
}
} // namespace

int CompareSectionPoints(const SectionPoint& a, const SectionPoint& b)
{
    const double d = a.Abscissa - b.Abscissa;
    if (d < -kTolerance)
        return -1;
    if (d > kTolerance)
        return 1;
    if (a.Point.z < b.Point.z)
        return -1;
    if (a.Point.z > b.Point.z)
        return 1;
    return 0;
}

void OrderSectionProfile(std::vector<SectionPoint>& profile)
{
    KorMergeSort(profile, CompareSectionPoints);
    ThinCoincidentPoints(profile);
    ReorderCoincidentRuns(profile);
}

namespace
{
// The traces of each layer's discontinuity families in the cut: the
// family's planes cut the band between the layer's profile and the bottom
// of the drawing, each segment end's x replaced by its abscissa. One list
// per layer, empty for a profile of fewer than two points.
void ComputeSectionTraces(ProjetOVX& projet, const SectionPlane& plane, SectionData& data)
{
    data.Traces.assign(data.Profiles.size(), {});
    LumPoint along = plane.Second - plane.First;
    along.z = 0.0;
    const double length = along.Norm();
    if (length < 1e-12)
        return;
    along = along / length;
    BoundingBox box;
    box.Define(LumPoint(std::min(plane.First.x, plane.Second.x), std::min(plane.First.y, plane.Second.y),
                        data.DrawBottom),
               LumPoint(std::max(plane.First.x, plane.Second.x), std::max(plane.First.y, plane.Second.y),
                        data.AltitudeMax));
    for (size_t k = 0; k < data.Profiles.size(); ++k)
    {
        const std::vector<SectionPoint>& profile = data.Profiles[k];
        const Couche* couche = projet.GetCouche(static_cast<int>(k));
        if (profile.size() < 2 || !couche)
            continue;
        // The band closes under the profile's two ends, each end straight
        // above its own foot.
        const LumPoint& first = profile.front().Point;
        const LumPoint& last = profile.back().Point;
        std::vector<LumPoint> band = {LumPoint(last.x, last.y, data.DrawBottom),
                                      LumPoint(first.x, first.y, data.DrawBottom)};
        for (const SectionPoint& p : profile)
            band.push_back(p.Point);
        for (const std::string& name : couche->Discontinuites)
        {
            const Discontinuite* family = projet.GetDiscontinuite(name);
            if (!family)
                continue;
            Discontinuite3D object;
            object.DipDirection = static_cast<float>(family->Azimut);
            object.Dip = static_cast<float>(family->Pendage);
            object.Spacing = static_cast<float>(WorldToSceneLength(projet, family->Espace));
            object.Spread = static_cast<float>(WorldToSceneLength(projet, family->EcartType));
            object.Box = box;
            object.ComputeGeometry();
            const int trace = object.AddTrace("");
            object.ComputePolygonTraces(band, trace);
            for (const LumPoint& p : object.Traces[trace].Points)
            {
                const LumPoint offset = p - plane.First;
                data.Traces[k].push_back(LumPoint(offset.x * along.x + offset.y * along.y, p.y, p.z));
            }
        }
    }
}
} // namespace

bool ComputeSectionData(ProjetOVX& projet, const SectionPlane& plane, bool showExcavation, double limitMetres,
                        SectionData& data)
{
    // Abscissae are measured in plan, as the discontinuity traces are: the
    // altitudes of the two picked ends must not stretch the cut.
    Cut cut;
    cut.First = plane.First;
    cut.Direction = plane.Second - plane.First;
    cut.Direction.z = 0.0;
    cut.Length = cut.Direction.Norm();
    if (!(cut.Length >= kTolerance))
        return false;
    cut.Direction /= cut.Length;
    cut.Plane = plane.GetPlane();

    SectionData result;
    result.Length = cut.Length;

    // Layer profiles: the surface at both ends, then the cut of the meshes.
    const bool excavation = showExcavation && projet.m3DAffichageTete;
    for (int c = 0; c < projet.GetNumberOfCouches(); ++c)
    {
        Couche* couche = projet.GetCouche(c);
        if (!couche)
            continue;
        std::vector<SectionPoint> profile;
        double z = 0.0;
        if (couche->GetAltitude(plane.First.x, plane.First.y, z))
            profile.push_back({LumPoint(plane.First.x, plane.First.y, z), 0.0, 0, false});
        if (couche->GetAltitude(plane.Second.x, plane.Second.y, z))
            profile.push_back({LumPoint(plane.Second.x, plane.Second.y, z), cut.Length, 0, false});
        if (excavation && couche->GetMesh(Couche::Intersection).GetNumberOfVertices() > 0)
        {
            CutLayerMesh(couche->GetMesh(Couche::Intersection), 0, cut, profile);
            CutLayerMesh(couche->GetMesh(Couche::Tete), 1, cut, profile);
        }
        else
            CutLayerMesh(couche->GetMesh(Couche::Surface), 0, cut, profile);
        OrderSectionProfile(profile);
        result.Profiles.push_back(std::move(profile));
    }

    // Boreholes whose head or foot lies within the typed distance (metres,
    // so converted to scene units like the distances it is compared with).
    const double limit = WorldToSceneLength(projet, limitMetres);
    double lowestBorehole = 1e10;
    for (int s = 0; s < projet.GetNumberOfSondages(); ++s)
    {
        const Sondage* sondage = projet.GetSondage(s);
        if (!sondage)
            continue;
        const LumPoint head = WorldToScene(projet, sondage->GetPosition());
        const LumPoint foot = WorldToScene(projet, sondage->GetPointAtDepth());
        LumPoint headOnPlane = cut.Plane.Projection(head);
        LumPoint footOnPlane = cut.Plane.Projection(foot);
        const double d1 = (head - headOnPlane).Norm();
        const double d2 = (foot - footOnPlane).Norm();
        if (d1 <= limit || d2 <= limit)
        {
            SectionBorehole borehole;
            borehole.Head = headOnPlane;
            borehole.Head.x = cut.AbscissaOf(headOnPlane);
            borehole.Foot = footOnPlane;
            borehole.Foot.x = cut.AbscissaOf(footOnPlane);
            borehole.Name = sondage->Nom;
            borehole.Distance = SceneToWorldLength(projet, std::min(d1, d2));
            result.Boreholes.push_back(borehole);
            lowestBorehole = std::min({lowestBorehole, headOnPlane.z, footOnPlane.z});
        }
    }

    // Where the discretised axis first crosses the cut.
    Axe& axe = projet.GetAxe();
    std::vector<LumPoint> axis;
    axe.GetPoints(axis);
    for (size_t k = 1; k < axis.size(); ++k)
    {
        double t = 0.0;
        if (cut.Plane.LineIntersection(axis[k - 1], axis[k], t) == 1 && t >= 0.0 && t <= 1.0)
        {
            const LumPoint x = axis[k - 1] + (axis[k] - axis[k - 1]) * t;
            result.AxisCrossing = x;
            result.AxisCrossing2D = LumPoint(cut.AbscissaOf(x), x.y, x.z);
            result.AxisChainage = SceneToWorldLength(projet, axe.GetDistance(x) - AxisReferenceDistance(axe));
            break;
        }
    }

    // Drawn altitude range: the profiles, boreholes and crossing, with a
    // margin, never less than 2 units high.
    bool first = true;
    for (const auto& profile : result.Profiles)
        for (const SectionPoint& p : profile)
        {
            if (first || p.Point.z > result.AltitudeMax)
                result.AltitudeMax = p.Point.z;
            if (first || p.Point.z < result.AltitudeMin)
                result.AltitudeMin = p.Point.z;
            first = false;
        }
    result.AltitudeMin = std::min(result.AltitudeMin, lowestBorehole);
    if (result.AxisCrossing2D.x >= 0.0)
        result.AltitudeMin = std::min(result.AltitudeMin, result.AxisCrossing2D.z);
    const double margin = (result.AltitudeMax - result.AltitudeMin) * 0.4;
    result.DrawBottom = result.AltitudeMin - margin;
    result.DrawTop = result.AltitudeMax + margin;
    if (result.DrawTop - result.DrawBottom < 2.0)
    {
        result.DrawBottom -= 1.0;
        result.DrawTop += 1.0;
    }

    ComputeSectionTraces(projet, plane, result);

    GetScale(SceneToWorld(projet, LumPoint(0, 0, result.DrawBottom)).z,
             SceneToWorld(projet, LumPoint(0, 0, result.DrawTop)).z, result.ScaleZ, 0.0);
    GetScale(0.0, SceneToWorldLength(projet, result.Length), result.ScaleX, 0.0);

    data = std::move(result);
    return true;
}

LumPoint ConstrainSectionPoint(int type, LumPoint point, LumPoint& first, const LumPoint& axisPoint,
                               double axisAngle)
{
    switch (type)
    {
    case 1:
        point.y = first.y;
        break;
    case 2:
        point.x = first.x;
        break;
    case 3:
    case 4:
    {
        const double theta = (type == 3 ? axisAngle + 90.0 : axisAngle) * M_PI / 180.0;
        const LumPoint u(std::sin(theta), std::cos(theta), 0.0);
        const double t = (point - axisPoint) * u;
        point = axisPoint + u * t;
        first = axisPoint - u * t;
        break;
    }
    default:
        break;
    }
    return point;
}
