#include "CoucheImportDXF.h"

#include "Couche.h"
#include "DXFLeftOut.h"
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
#include <unordered_map>
#include <utility>

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

// Two points closer than this in x and in y (world units) stand at one place.
const double kPlace = 1e-5;

// The places taken so far, in cells of the tolerance's size: a point's
// possible matches lie in its cell and the 8 around it.
class Places
{
public:
    // True, and the place taken, when no point taken stands there.
    bool Take(const LumPoint& p)
    {
        const long long cx = Cell(p.x), cy = Cell(p.y);
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy)
            {
                const auto it = mCells.find({cx + dx, cy + dy});
                if (it == mCells.end())
                    continue;
                for (const LumPoint& q : it->second)
                    if (std::fabs(q.x - p.x) < kPlace && std::fabs(q.y - p.y) < kPlace)
                        return false;
            }
        mCells[{cx, cy}].push_back(p);
        return true;
    }

private:
    // Far coordinates share the outermost cells, where the exact test still
    // tells their points apart.
    static long long Cell(double v)
    {
        return static_cast<long long>(std::clamp(std::floor(v / kPlace), -4e18, 4e18));
    }
    struct Hash
    {
        size_t operator()(const std::pair<long long, long long>& c) const
        {
            return static_cast<size_t>(static_cast<unsigned long long>(c.first) * 73856093ULL ^
                                       static_cast<unsigned long long>(c.second) * 19349663ULL);
        }
    };
    std::unordered_map<std::pair<long long, long long>, std::vector<LumPoint>, Hash> mCells;
};

// A polyline as the import takes it, in world units: closed when the file
// says so or when it comes back to its first point (the repeated point
// dropped); a closed line has three points at least.
struct sWorldLine
{
    std::vector<LumPoint> Points;
    bool Closed = false;
};

sWorldLine TakeLine(const sDXFPolyline& polyline)
{
    sWorldLine line{polyline.Points, polyline.Closed};
    std::vector<LumPoint>& p = line.Points;
    if (p.size() >= 4 && std::fabs(p.back().x - p.front().x) < kPlace &&
        std::fabs(p.back().y - p.front().y) < kPlace)
    {
        p.pop_back();
        line.Closed = true;
    }
    line.Closed = line.Closed && p.size() >= 3;
    return line;
}

// The runs of a line's kept points: the line itself when every point is
// kept; else the open pieces between the points left out, a closed line's
// last piece joining its first.
std::vector<sWorldLine> KeptRuns(const sWorldLine& line, const std::vector<bool>& kept)
{
    const size_t n = line.Points.size();
    size_t firstOut = 0;
    while (firstOut < n && kept[firstOut])
        ++firstOut;
    if (firstOut == n)
        return {line};
    std::vector<sWorldLine> runs(1);
    // A closed line is walked round once from its first point left out.
    const size_t start = line.Closed ? firstOut : 0;
    for (size_t step = 0; step < n; ++step)
    {
        const size_t k = (start + step) % n;
        if (kept[k])
            runs.back().Points.push_back(line.Points[k]);
        else if (!runs.back().Points.empty())
            runs.emplace_back();
    }
    if (runs.back().Points.empty())
        runs.pop_back();
    return runs;
}

// The file's polyface meshes as one mesh in scene units, as the layer takes
// them. Throws KorException when the conversion fails.
void MeshesInScene(const KorDXF& reader, KorMesh& mesh)
{
    KorDXF scene;
    scene.FileName = reader.FileName;
    scene.Meshes = reader.Meshes;
    for (sDXFMesh& m : scene.Meshes)
        for (LumPoint& p : m.Points)
            p = WorldToScene(gProjet, p);
    scene.ConvertToKorMesh(mesh);
}
} // namespace

bool CoucheImportDXF::Read(const std::string& path)
{
    mLignes.clear();
    mPoints.clear();
    mApplied = 0;
    mLeftOutPoints = 0;
    mMesh.Clear();
    mBecomesMesh = false;
    mMeshFailed = false;
    if (!mReader.Load(path))
    {
        mLignesSimplifiees.clear();
        return false;
    }
    // Flat polylines are level lines; the points of the others, then the
    // file's spot heights, are loose points.
    std::vector<sWorldLine> lines;
    std::vector<LumPoint> loose;
    for (const sDXFPolyline& polyline : mReader.Polylines)
    {
        const std::vector<LumPoint>& p = polyline.Points;
        if (p.empty())
            continue;
        bool flat = p.size() > 1;
        for (size_t k = 1; k < p.size() && flat; ++k)
            flat = std::fabs(p[k].z - p[k - 1].z) <= 1e-5;
        if (flat)
            lines.push_back(TakeLine(polyline));
        else
            loose.insert(loose.end(), p.begin(), p.end());
    }
    for (const sDXFPoint& point : mReader.Points)
        loose.push_back(point.Position);

    const auto toScene = [](const std::vector<LumPoint>& world)
    {
        std::vector<LumPoint> scene;
        scene.reserve(world.size());
        for (const LumPoint& p : world)
            scene.push_back(WorldToScene(gProjet, p));
        return scene;
    };
    // Lines first, in file order, so that theirs are the points kept.
    Places places;
    std::vector<LumPoint> alone;
    for (const sWorldLine& line : lines)
    {
        std::vector<bool> kept(line.Points.size());
        for (size_t k = 0; k < line.Points.size(); ++k)
        {
            kept[k] = places.Take(line.Points[k]);
            mLeftOutPoints += kept[k] ? 0 : 1;
        }
        for (const sWorldLine& run : KeptRuns(line, kept))
        {
            if (run.Points.size() == 1)
            {
                alone.push_back(run.Points.front());
                continue;
            }
            sLigne ligne;
            ligne.Points = toScene(run.Points);
            ligne.Length = Length(ligne.Points);
            ligne.Closed = run.Closed;
            mLignes.push_back(std::move(ligne));
        }
    }
    for (const LumPoint& p : loose)
    {
        if (places.Take(p))
            alone.push_back(p);
        else
            ++mLeftOutPoints;
    }
    mPoints = toScene(alone);
    mLignesSimplifiees = mLignes;

    // Without a level line the layer becomes the file's polyface meshes,
    // built here once. A file of meshes alone counts the mesh's vertices:
    // corners one above the other are all kept, only coinciding ones fused.
    mBecomesMesh = mLignes.empty() && (!mReader.FaceRecords.empty() || !mReader.Meshes.empty());
    if (!mBecomesMesh)
        return true;
    try
    {
        MeshesInScene(mReader, mMesh);
    }
    catch (const KorException&)
    {
        mMesh.Clear();
        mMeshFailed = true;
    }
    if (mPoints.empty())
        for (int id = 0; id < mMesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mMesh.GetVertex(id))
                mPoints.emplace_back(v->X, v->Y, v->Z);
    return true;
}

std::string CoucheImportDXF::DescribeLeftOut() const
{
    std::string text;
    const auto add = [&text](const std::string& item) { text += (text.empty() ? "" : ", ") + item; };
    if (mLeftOutPoints > 0)
        add(std::to_string(mLeftOutPoints) +
            (mLeftOutPoints > 1 ? " points à une place déjà prise" : " point à une place déjà prise"));
    const std::string entities = mReader.DescribeLeftOut();
    if (!entities.empty())
        add(entities);
    return text;
}

std::string CoucheImportDXF::GetRefusal(const std::string& path) const
{
    if (!IsLoaded())
        return "Impossible de lire le fichier DXF '" + path + "'.";
    if (CountRead() > 0)
        return std::string();
    std::string refusal = "Le fichier DXF '" + path + "' ne contient aucun point utilisable pour l'import.";
    // Entities the reader does not take (blocks inserted, 3D faces) tell
    // such a file from an empty one.
    const std::string leftOut = DescribeLeftOut();
    if (!leftOut.empty())
        refusal += "\n" + LeftOutLine(leftOut);
    return refusal;
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
    // A layer that becomes a mesh takes no free point: the mesh replaces them.
    for (size_t k = 0; k < mPoints.size() && !mBecomesMesh; ++k)
        if (couche->AddPoint(mPoints[k], 1, 0, interactive, false) < 0 && interactive)
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
    if (!mBecomesMesh)
        return true;
    GetModelUi().MessageBox(
        "La couche que vous souhaitez importer contient des informations géométriques : elle ne sera pas "
        "éditable",
        "Message", ModelUi::Buttons::Ok, ModelUi::BoxCentred);
    if (interactive)
    {
        for (const sDXFPoint& point : mReader.Points)
        {
            const LumPoint scene = WorldToScene(gProjet, point.Position);
            if (couche->CheckNeighbours(scene) != 0)
                return FailOnPoint(scene);
        }
        for (int id = 0; id < mMesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mMesh.GetVertex(id))
            {
                const LumPoint scene(v->X, v->Y, v->Z);
                if (couche->CheckNeighbours(scene) != 0)
                    return FailOnPoint(scene);
            }
    }
    if (mMeshFailed)
        return false;
    couche->GetMesh().Clone(mMesh);
    couche->Editable = false;
    couche->SetGeometryChanged();
    // The layer tools follow what can be edited.
    gProjet.SetCoucheCourante(gProjet.CoucheCourante);
    return true;
}
