#include "CoucheImportDXF.h"

#include "Couche.h"
#include "KorException.h"
#include "KorGeometry.h"
#include "LigneNiveau.h"
#include "ModelUi.h"
#include "ProjetOVX.h"
#include "SceneCoordinates.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace
{
int CountPoints(const std::vector<CoucheImportDXF::sLigne>& lignes, const std::vector<LumPoint>& points)
{
    size_t count = points.size();
    for (const CoucheImportDXF::sLigne& ligne : lignes)
        count += ligne.Points.size();
    return static_cast<int>(count);
}

double Length(const std::vector<LumPoint>& points)
{
    double length = 0.0;
    for (size_t k = 1; k < points.size(); ++k)
        length += (points[k] - points[k - 1]).Norm();
    return length;
}
} // namespace

bool CoucheImportDXF::Read(const std::string& path)
{
    mLignes.clear();
    mPoints.clear();
    mApplied = 0;
    if (!mReader.Load(path))
    {
        mLignesSimplifiees.clear();
        return false;
    }
    if (!mReader.Polylines.empty() && !mReader.Polylines.front().Points.empty())
        mReader.DeleteDoubles();
    for (const sDXFPolyline& polyline : mReader.Polylines)
    {
        const std::vector<LumPoint>& p = polyline.Points;
        if (p.empty())
            continue;
        bool flat = p.size() > 1;
        for (size_t k = 1; k < p.size() && flat; ++k)
            flat = std::fabs(p[k].z - p[k - 1].z) <= 1e-5;
        std::vector<LumPoint> scene;
        scene.reserve(p.size());
        for (const LumPoint& point : p)
            scene.push_back(WorldToScene(gProjet, point));
        if (!flat)
        {
            mPoints.insert(mPoints.end(), scene.begin(), scene.end());
            continue;
        }
        sLigne ligne;
        ligne.Length = Length(scene);
        ligne.Points = std::move(scene);
        mLignes.push_back(std::move(ligne));
    }
    if (mLignes.empty() && mPoints.empty())
    {
        for (const sDXFPoint& point : mReader.Points)
            mPoints.push_back(WorldToScene(gProjet, point.Position));
        for (const sDXFMesh& mesh : mReader.Meshes)
            for (const LumPoint& point : mesh.Points)
                mPoints.push_back(WorldToScene(gProjet, point));
    }
    mLignesSimplifiees = mLignes;
    return true;
}

std::string CoucheImportDXF::GetRefusal(const std::string& path) const
{
    if (!IsLoaded())
        return "Impossible de lire le fichier DXF '" + path + "'.";
    if (CountRead() == 0)
        return "Le fichier DXF '" + path + "' ne contient aucun point utilisable pour l'import.";
    return std::string();
}

int CoucheImportDXF::CountRead() const
{
    return CountPoints(mLignes, mPoints);
}

int CoucheImportDXF::CountSimplified() const
{
    return CountPoints(mLignesSimplifiees, mPoints);
}

CoucheImportDXF::sLigne CoucheImportDXF::SimplifyLigne(const sLigne& ligne, int s)
{
    const std::vector<LumPoint>& p = ligne.Points;
    const int n = static_cast<int>(p.size());
    const float d = static_cast<float>(ligne.Length / (101 - s));
    sLigne kept;
    kept.Length = ligne.Length;
    kept.Closed = ligne.Closed;
    if (n == 0)
        return kept;
    kept.Points.push_back(p[0]);
    int last = 0;
    LumPoint u = n > 1 ? p[1] - p[0] : LumPoint(0.0, 0.0, 0.0);
    for (int k = 1; k + 1 < n - 1; ++k)
    {
        const LumPoint w = p[k + 1] - p[last];
        const LumPoint v = p[k + 1] - p[k];
        if (w.Norm() > d || AngleBetweenVectors2D(u, v) > 40.0)
        {
            kept.Points.push_back(p[k]);
            last = k;
            u = p[k + 1] - p[k];
        }
    }
    if (n > 1)
        kept.Points.push_back(p[n - 1]);
    return kept;
}

bool CoucheImportDXF::Simplify(int s)
{
    s = std::clamp(s, 0, 100);
    if (s == mApplied)
        return false;
    mApplied = s;
    if (s == 0)
    {
        mLignesSimplifiees = mLignes;
        return true;
    }
    mLignesSimplifiees.clear();
    for (const sLigne& ligne : mLignes)
        mLignesSimplifiees.push_back(SimplifyLigne(ligne, s));
    return true;
}

bool CoucheImportDXF::FailOnPoint(const LumPoint& scene) const
{
    const LumPoint world = SceneToWorld(gProjet, scene);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << "Impossible de positionner un point à la coordonnée \n     " << world.x << ";" << world.y << ";"
         << world.z << " :\nLa couche intersecte une autre : Création de couche annulée";
    GetModelUi().MessageBox(text.str(), "Erreur");
    return false;
}

bool CoucheImportDXF::BuildLayer(int level, bool interactive)
{
    Couche* couche = gProjet.GetCouche(level);
    if (!couche)
        return false;
    for (const LumPoint& point : mPoints)
        if (couche->AddPoint(point, 1, 0, interactive, false) < 0 && interactive)
            return false;
    for (const sLigne& ligne : mLignesSimplifiees)
    {
        if (ligne.Points.empty())
            continue;
        const float depth = static_cast<float>(SceneToWorld(gProjet, ligne.Points.front()).z);
        LigneNiveau* added = couche->GetLigneNiveau(couche->AddLigneNiveau(depth, -1, false));
        if (!added)
            return false;
        for (size_t k = 0; k < ligne.Points.size(); ++k)
        {
            const LumPoint& p = ligne.Points[k];
            if (interactive && couche->CheckNeighbours(p) != 0)
                return FailOnPoint(p);
            added->AddPoint(*couche, p.x, p.y, false, static_cast<int>(k));
        }
        if (ligne.Closed)
            added->Fermee = 1;
    }
    if (couche->GetNumberOfLignesNiveau() > 0)
        return true;
    if (mReader.FaceRecords.empty() && mReader.Meshes.empty())
        return true;
    GetModelUi().MessageBox(
        "La couche que vous souhaitez importer contient des informations géométriques : elle ne sera pas "
        "éditable",
        "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
    for (sDXFPoint& point : mReader.Points)
    {
        point.Position = WorldToScene(gProjet, point.Position);
        if (interactive && couche->CheckNeighbours(point.Position) != 0)
            return FailOnPoint(point.Position);
    }
    for (sDXFMesh& mesh : mReader.Meshes)
        for (LumPoint& point : mesh.Points)
        {
            point = WorldToScene(gProjet, point);
            if (interactive && couche->CheckNeighbours(point) != 0)
                return FailOnPoint(point);
        }
    try
    {
        mReader.ConvertToKorMesh(couche->GetMesh());
    }
    catch (const KorException&)
    {
        return false;
    }
    couche->Editable = false;
    couche->SetGeometryChanged();
    // The layer tools follow what can be edited.
    gProjet.SetCoucheCourante(gProjet.CoucheCourante);
    return true;
}
