// The layer's discontinuity traces: on its front walls and on its part cut
// by the trench head.
#include "Couche.h"

#include "Discontinuite.h"
#include "Discontinuite3D.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <algorithm>

namespace
{
// One flat wall: the outline's edges first to first + count - 1 (indexes
// modulo the outline's size), all with the outward normal Normal.
struct sWall
{
    int First;
    int Count;
    LumPoint Normal;
};

bool SameNormal(const LumPoint& a, const LumPoint& b)
{
    return (a - b).Norm() < 0.001;
}

// The closed outline cut into runs of edges whose outward normals agree.
// The run that reaches the end and the one that starts the outline are one
// wall when their normals agree (the outline may start mid-wall).
std::vector<sWall> CutIntoWalls(const std::vector<LumPoint>& outline)
{
    const int m = static_cast<int>(outline.size());
    std::vector<sWall> walls;
    for (int i = 0; i < m; ++i)
    {
        LumPoint n = (outline[(i + 1) % m] - outline[i]) ^ LumPoint(0.0, 0.0, 1.0);
        Normalize(n);
        if (walls.empty() || !SameNormal(n, walls.back().Normal))
            walls.push_back({i, 1, n});
        else
            ++walls.back().Count;
    }
    if (walls.size() > 1 && SameNormal(walls.back().Normal, walls.front().Normal))
    {
        walls.front().First = walls.back().First;
        walls.front().Count += walls.back().Count;
        walls.pop_back();
    }
    return walls;
}

std::unique_ptr<Discontinuite3D> MakeObject(const Discontinuite& family, const BoundingBox& box)
{
    auto object = std::make_unique<Discontinuite3D>();
    object->DipDirection = static_cast<float>(family.Azimut);
    object->Dip = static_cast<float>(family.Pendage);
    object->Spacing = static_cast<float>(WorldToSceneLength(gProjet, family.Espace));
    object->Spread = static_cast<float>(WorldToSceneLength(gProjet, family.EcartType));
    object->Box = box;
    object->ComputeGeometry();
    object->AddTrace("");
    return object;
}
} // namespace

void Couche::BuildDiscontinuite3D(double niveauBas)
{
    DiscontinuitesFront.clear();
    DiscontinuitesTete.clear();
    if (FrontPoints.size() >= 2)
    {
        const LumPoint& l1 = gProjet.Limite1;
        const LumPoint& l2 = gProjet.Limite2;
        const float bottom = static_cast<float>(niveauBas);
        LumPoint highest, lowest;
        GetHighestAndLowest(highest, lowest);
        BoundingBox box;
        box.Define(LumPoint(std::min(l1.x, l2.x), std::min(l1.y, l2.y), bottom),
                   LumPoint(std::max(l1.x, l2.x), std::max(l1.y, l2.y), highest.z));
        // The traces stand just in front of the walls so that they are not
        // hidden in them.
        const float eps = static_cast<float>((box.Max.x - box.Min.x) / 2000.0);
        const std::vector<sWall> walls = CutIntoWalls(FrontPoints);
        const int m = static_cast<int>(FrontPoints.size());

        for (const std::string& name : Discontinuites)
        {
            const Discontinuite* family = gProjet.GetDiscontinuite(name);
            if (!family)
                continue;
            DiscontinuitesFront.push_back(MakeObject(*family, box));
            Discontinuite3D& front = *DiscontinuitesFront.back();
            for (const sWall& wall : walls)
            {
                const LumPoint& first = FrontPoints[wall.First];
                const LumPoint& last = FrontPoints[(wall.First + wall.Count) % m];
                std::vector<LumPoint> polygon = {LumPoint(last.x, last.y, bottom),
                                                 LumPoint(first.x, first.y, bottom)};
                for (int i = 0; i <= wall.Count; ++i)
                    polygon.push_back(FrontPoints[(wall.First + i) % m] + wall.Normal * eps);
                front.ComputePolygonTraces(polygon, 0);
            }

            DiscontinuitesTete.push_back(MakeObject(*family, box));
            Discontinuite3D& tete = *DiscontinuitesTete.back();
            const KorMesh& cut = GetMesh(Tete);
            std::vector<LumPoint> points;
            for (int f = 0; f < cut.GetFaceVectorSize(); ++f)
            {
                const KorFace* face = cut.GetFace(f);
                if (!face)
                    continue;
                points.clear();
                cut.GetFacePoints(face, points);
                tete.ComputePolygonTraces(points, 0);
            }
        }
    }
    SetDiscontinuitySurfacesBuilt(true);
}
