// The surface of a layer: triangulation on demand, face lookup, altitude
// and texture coordinates.
#include "Couche.h"

#include "KorDelaunay.h"
#include "KorGeometry.h"
#include "KorParallel.h"
#include "KorRay.h"
#include "LigneNiveau.h"
#include "LumHandledMesh.h"
#include "ProjetOVX.h"

#include <cmath>
#include <limits>
#include <memory>

namespace
{
// Triangles thinner than this in plan contain every point of their line
// (PointInTriangle2D) and have no altitude.
constexpr double kMinimumPlanArea = 1e-10;

double PlanArea(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return 0.5 * std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
}

// Whether the face holds p in plan; its triangle in a, b, c.
bool FaceHolds(const KorMesh& mesh, const KorFace* face, const LumPoint& p, LumPoint& a, LumPoint& b,
               LumPoint& c)
{
    a = b = c = LumPoint();
    mesh.GetFaceTriangle(face, a, b, c);
    return PlanArea(a, b, c) >= kMinimumPlanArea && PointInTriangle2D(p, a, b, c);
}
} // namespace

void Couche::Triangulate()
{
    TriangulateSurface(MachineThreads());
    EndTriangulation();
}

void Couche::TriangulateSurface(int threads)
{
    // A pending cut names faces of the surface about to be replaced.
    AssembleCutSurface();
    // Before the surface changes: a triangulation that fails midway, or one
    // not ended (a layer after a failed one, side by side), leaves no cache
    // of the old surface.
    ForgetSurfaceCaches();
    KorMesh& mesh = mMeshes[Surface];
    if (Editable)
    {
        Delaunay2D(mesh);
        for (LigneNiveau* ligne : mLignes)
            ligne->Constrain(mesh);
    }
    // Normals are kept once computed: the new surface must not be lit by
    // the old one's.
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (KorVertex* v = mesh.GetVertex(id))
            if (!v->NormalGiven)
                v->Normal = LumPoint();
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (KorFace* f = mesh.GetFace(id))
            f->Normal = LumPoint();
    // The normals the display mesh takes, made first side by side: the
    // vertex walks are most of its cost.
    mesh.ComputeNormals(threads);
    Display(Surface)->CreateFromKorMesh(mesh);
}

void Couche::EndTriangulation()
{
    mRetriangulate = false;
    gProjet.SetGeometryChanged();
    gProjet.InvalidateResults();
    gProjet.RefreshWindows();
}

bool Couche::QuerySurfaceFaces(const LumPoint& lo, const LumPoint& hi, std::vector<int>& faces)
{
    return QuerySurfaceFaces(std::vector<LumPoint>{lo, hi}, faces);
}

bool Couche::QuerySurfaceFaces(const std::vector<LumPoint>& corners, std::vector<int>& faces)
{
    return GetSurfaceShape().GetHeightGrid().QueryFaces(corners, faces);
}

bool Couche::HasSurfaceCaches() const
{
    return mShapeValid && mShape.Matches(mMeshes[Surface]);
}

const SurfaceShape& Couche::GetSurfaceShape()
{
    if (!mShapeValid || !mShape.Matches(mMeshes[Surface]))
    {
        // A build that throws leaves no shape taken for built.
        mShapeValid = false;
        mShape.Build(mMeshes[Surface]);
    }
    mShapeValid = true;
    return mShape;
}

void Couche::SetPendingCutSurface(std::vector<int> replaced, std::vector<int> vertexSources, KorMesh&& patch)
{
    mCutReplaced = std::move(replaced);
    mCutSources = std::move(vertexSources);
    if (!mCutPatch)
        mCutPatch = std::make_unique<KorMesh>();
    mCutPatch->Swap(patch);
    mCutPending = true;
}

void Couche::DiscardPendingCutSurface()
{
    mCutPending = false;
    mCutReplaced.clear();
    mCutSources.clear();
    if (mCutPatch)
        mCutPatch->Clear();
}

void Couche::RefreshCutDisplays()
{
    if (!mCutDisplaysStale)
        return;
    mCutDisplaysStale = false;
    for (eMesh which : {Tete, Intersection, TerrainSurTete})
        Display(which)->CreateFromKorMesh(GetMesh(which));
}

void Couche::AssembleCutSurface()
{
    if (!mCutPending)
        return;
    KorMesh& cut = mMeshes[Intersection];
    const KorMesh& patch = *mCutPatch;
    cut = mMeshes[Surface];
    for (int id : mCutReplaced)
        if (cut.GetFace(id))
            cut.DeleteFace(id, true);
    // A patch vertex is its source while both stand at the same place (the
    // searches move the patch there and back, which may change the last
    // digit); a slot the cut freed and gave to a vertex of its own, or a
    // vertex the cut made, is added.
    std::vector<int> vertexOf(static_cast<size_t>(patch.GetVertexVectorSize()), -1);
    std::vector<int> ring;
    for (int f = 0; f < patch.GetFaceVectorSize(); ++f)
    {
        const KorFace* face = patch.GetFace(f);
        if (!face)
            continue;
        patch.GetFaceVertices(face, ring);
        for (int& v : ring)
        {
            int& mapped = vertexOf[static_cast<size_t>(v)];
            if (mapped < 0)
            {
                const KorVertex* p = patch.GetVertex(v);
                const KorVertex* s = v < static_cast<int>(mCutSources.size())
                                         ? cut.GetVertex(mCutSources[static_cast<size_t>(v)])
                                         : nullptr;
                const auto near = [](double a, double b)
                { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a)); };
                mapped = s && near(s->X, p->X) && near(s->Y, p->Y) && near(s->Z, p->Z)
                             ? s->GetID()
                             : cut.AddVertex(LumPoint(p->X, p->Y, p->Z));
            }
            v = mapped;
        }
        cut.AddFace(ring);
    }
    DiscardPendingCutSurface();
}

int Couche::GetFaceAtByScan(float x, float y) const
{
    const KorMesh& mesh = mMeshes[Surface];
    const LumPoint p(x, y, 0.0);
    LumPoint a, b, c;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
        if (const KorFace* face = mesh.GetFace(id))
            if (FaceHolds(mesh, face, p, a, b, c))
                return id;
    return -1;
}

int Couche::GetFaceAt(float x, float y)
{
    const KorMesh& mesh = mMeshes[Surface];
    std::vector<int> candidates;
    const LumPoint p(x, y, 0.0);
    // The faces' boxes are 3D: the query spans every altitude.
    const double far = std::numeric_limits<double>::max();
    if (!QuerySurfaceFaces(LumPoint(x, y, -far), LumPoint(x, y, far), candidates))
        return GetFaceAtByScan(x, y);
    // Candidates come in identifier order: the first holding face is the
    // scan's.
    LumPoint a, b, c;
    for (int id : candidates)
        if (const KorFace* face = mesh.GetFace(id))
            if (FaceHolds(mesh, face, p, a, b, c))
                return id;
    return -1;
}

bool Couche::GetAltitude(double x, double y, double& z)
{
    if (mRetriangulate)
        Triangulate();
    z = 0.0;
    const KorMesh& mesh = mMeshes[Surface];
    const int id = GetFaceAt(static_cast<float>(x), static_cast<float>(y));
    const KorFace* face = mesh.GetFace(id);
    if (!face)
        return false;
    LumPoint a, b, c;
    mesh.GetFaceTriangle(face, a, b, c);
    const LumPoint e1 = c - a, e2 = b - a, w = LumPoint(x, y, 0.0) - a;
    const double d11 = e1.x * e1.x + e1.y * e1.y;
    const double d12 = e1.x * e2.x + e1.y * e2.y;
    const double d22 = e2.x * e2.x + e2.y * e2.y;
    const double d1w = e1.x * w.x + e1.y * w.y;
    const double d2w = e2.x * w.x + e2.y * w.y;
    const double inv = 1.0 / (d11 * d22 - d12 * d12);
    const double u = (d22 * d1w - d12 * d2w) * inv;
    const double v = (d11 * d2w - d12 * d1w) * inv;
    const double altitude = a.z + e1.z * u + e2.z * v;
    if (!std::isfinite(altitude))
        return false;
    z = altitude;
    return true;
}

void Couche::ComputeTextureCoordinates(int imageWidth, int imageHeight)
{
    if (!(imageWidth >= 1e-5 && imageHeight >= 1e-5))
        return;
    const double ratio = static_cast<double>(imageWidth) / imageHeight;
    float x0, y0, x1, y1;
    double posX = 0.0, posY = 0.0, taille = 0.0;
    if (gProjet.GetFondPlanPlacement(Texture, posX, posY, taille))
    {
        y0 = static_cast<float>(posY - 50.0 * taille);
        y1 = static_cast<float>(y0 + 100.0 * taille);
        x0 = static_cast<float>(posX - 0.5 * 100.0 * ratio * taille);
        x1 = static_cast<float>(x0 + 100.0 * ratio * taille);
    }
    else
    {
        LumPoint lo, hi;
        GetBoundingBox(lo, hi);
        x0 = static_cast<float>(lo.x);
        y0 = static_cast<float>(lo.y);
        x1 = static_cast<float>(hi.x);
        y1 = static_cast<float>(hi.y);
    }
    const float width = x1 - x0, height = y1 - y0;
    if (!(width >= 1e-5f && height >= 1e-5f))
        return;
    for (int pair : {Surface, Intersection})
    {
        if (!GetDisplayMesh(static_cast<eMesh>(pair)))
            continue;
        const KorMesh& mesh = GetMesh(static_cast<eMesh>(pair));
        for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
            if (const KorVertex* v = mesh.GetVertex(id))
            {
                const float u = (static_cast<float>(v->X) - x0) / width;
                const float t = (static_cast<float>(v->Y) - y0) / height;
                Display(pair)->ChangeTextureVertex(id, LumPoint(u, t, 0.0));
            }
    }
    // Only now: a texture drawn before the image's size was known must be
    // computed at the next drawing.
    mTextureValid = true;
}

bool Couche::IntersectRay(const KorRay& ray, float& t)
{
    t = 1e10f;
    if (Opacite == 0)
        return false;
    bool hit = false;
    double best = 1e10;
    auto take = [&](double candidate)
    {
        if (!hit || candidate < best)
            best = candidate;
        hit = true;
    };
    double found = 0.0;
    // With the head shown the layer stands as its cut: the remainder and
    // the part the head takes, not the whole surface.
    if (!gProjet.m3DAffichageTete)
    {
        // Points edited since the last drawing are in the surface only once
        // it is triangulated again.
        if (mRetriangulate)
            Triangulate();
        if (mMeshes[Surface].IntersectRay(ray, 1e-5, 1e10, found, nullptr))
            take(found);
    }
    else
        for (eMesh which : {Intersection, Tete})
            if (GetMesh(which).IntersectRay(ray, 1e-5, 1e10, found, nullptr))
                take(found);
    if (FrontAffiche)
    {
        const double low = gProjet.NiveauBas;
        const size_t n = FrontPoints.size();
        for (size_t i = 0; i < n; ++i)
        {
            const LumPoint& a = FrontPoints[i];
            const LumPoint& b = FrontPoints[(i + 1) % n];
            // A negative running distance accepts any hit in the window.
            double wall = -1.0;
            if (ray.IntersectRectangle(a, b, LumPoint(b.x, b.y, low), LumPoint(a.x, a.y, low), 1e-5, 1e10,
                                       wall))
                take(wall);
        }
    }
    if (hit)
        t = static_cast<float>(best);
    return hit;
}
