#include "CutScenes.h"

#include "KorEdge.h"
#include "KorFace.h"

#include <cmath>

void BuildTerrain(KorMesh& mesh, int nx, int ny, double cell, double x0, double y0,
                  const std::function<double(double, double)>& h)
{
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
        {
            const double x = x0 + i * cell, y = y0 + j * cell;
            mesh.AddVertex(x, y, h(x, y));
        }
    auto id = [nx](int i, int j) { return j * (nx + 1) + i; };
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
        {
            mesh.AddFace(3, id(i, j), id(i + 1, j), id(i + 1, j + 1));
            mesh.AddFace(3, id(i, j), id(i + 1, j + 1), id(i, j + 1));
        }
}

namespace
{
int AddCorner(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi, int i)
{
    return mesh.AddVertex((i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z);
}
} // namespace

namespace
{
// The 12 inward triangles over corners v[i], bit 0 of i along the first
// side, bit 1 along the second, bit 2 up.
void AddInwardBoxFaces(KorMesh& mesh, const int (&v)[8])
{
    // Outward quads of a cube with corner bits (x, y, z), reversed to face in.
    const int quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {3, 2, 6, 7}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
    {
        mesh.AddFace(3, v[q[3]], v[q[2]], v[q[1]]);
        mesh.AddFace(3, v[q[3]], v[q[1]], v[q[0]]);
    }
}
} // namespace

void BuildInwardBox(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi)
{
    int v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = AddCorner(mesh, lo, hi, i);
    AddInwardBoxFaces(mesh, v);
}

void BuildTurnedInwardBox(KorMesh& mesh, const LumPoint& centre, const LumPoint& u, const LumPoint& w,
                          double halfZ)
{
    int v[8];
    for (int i = 0; i < 8; ++i)
    {
        const LumPoint d = ((i & 1) ? u : LumPoint(0, 0, 0) - u) + ((i & 2) ? w : LumPoint(0, 0, 0) - w) +
                           LumPoint(0, 0, (i & 4) ? halfZ : -halfZ);
        v[i] = mesh.AddVertex(centre + d);
    }
    AddInwardBoxFaces(mesh, v);
}

void BuildPit(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi)
{
    int v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = AddCorner(mesh, lo, hi, i);
    // The inward box without its lid.
    const int quads[5][4] = {{0, 2, 3, 1}, {0, 1, 5, 4}, {3, 2, 6, 7}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& q : quads)
    {
        mesh.AddFace(3, v[q[3]], v[q[2]], v[q[1]]);
        mesh.AddFace(3, v[q[3]], v[q[1]], v[q[0]]);
    }
}

LumPoint FaceCentroid(const KorMesh& mesh, int face)
{
    std::vector<LumPoint> points;
    mesh.GetFacePoints(mesh.GetFace(face), points);
    LumPoint c(0, 0, 0);
    for (const LumPoint& p : points)
        c = c + p;
    return points.empty() ? c : c / static_cast<double>(points.size());
}

namespace
{
// Cuts the mesh along the line, selects both sides, and moves the side the
// predicate picks (by majority of face centroids) into `taken`.
bool CutAndTake(KorMesh& mesh, std::vector<sBooleanIntersection>& records, std::vector<LumPoint>& points,
                std::vector<int>& ids, bool tracks, const std::function<bool(const LumPoint&)>& pick,
                KorMesh& taken, std::string& failure, const char* name, const sLineMove& move)
{
    if (!CutMeshFromIntersectionLine(mesh, records, points, ids, tracks))
        return failure = std::string(name) + ": cut", false;
    if (!mesh.ToConcaveMesh(tracks))
        return failure = std::string(name) + ": concave", false;
    std::vector<int> line, twins;
    for (size_t i = 0; i < ids.size(); ++i)
    {
        const KorEdge* h =
            mesh.GetEdgeBetween(mesh.GetVertex(ids[i]), mesh.GetVertex(ids[(i + 1) % ids.size()]));
        if (!h)
            return failure = std::string(name) + ": no edge between line vertices", false;
        line.push_back(h->ID);
        twins.push_back(h->Opp);
    }
    std::vector<int> sideA, sideB;
    if (!GetFacesInsideLine(mesh, line, sideA) || !GetFacesInsideLine(mesh, twins, sideB))
        return failure = std::string(name) + ": side selection", false;
    int votesA = 0;
    for (int f : sideA)
        votesA += pick(FaceCentroid(mesh, f)) ? 1 : -1;
    int votesB = 0;
    for (int f : sideB)
        votesB += pick(FaceCentroid(mesh, f)) ? 1 : -1;
    const std::vector<int>& side =
        votesA * static_cast<long>(sideB.size()) >= votesB * static_cast<long>(sideA.size()) ? sideA : sideB;
    // Chosen where the walk found the line, measured where the meshes stand.
    SettleCut(mesh, move, ids);
    if (!mesh.CopyFacesToMesh(side, taken, false))
        return failure = std::string(name) + ": copy", false;
    for (int f : side)
        mesh.DeleteFace(f, true);
    return true;
}
} // namespace

sCutResult RunCut(const KorMesh& terrain, const KorMesh& head, const LumPoint& start,
                  const std::function<bool(const LumPoint&)>& insideHead,
                  const std::function<bool(const LumPoint&)>& belowTerrain)
{
    sCutResult r;
    r.Terrain = terrain;
    r.Head = head;
    std::vector<sBooleanIntersection> recT, recH;
    KorBoundingBox box;
    box.Define(r.Head);
    sLineMove move;
    r.Line = GetIntersectionLine(r.Terrain, r.Head, box, start, r.Points, recT, recH, 2, 10000, &move);
    if (!r.Line && r.Points.empty())
    {
        box.Init();
        box.Define(r.Terrain);
        r.Line = GetIntersectionLine(r.Head, r.Terrain, box, start, r.Points, recH, recT, 2, 10000, &move);
    }
    if (!r.Line)
        return r.Failure = "no line", r;
    std::vector<LumPoint> points = r.Points;
    std::vector<int> ids;
    if (!CutAndTake(r.Terrain, recT, points, ids, false, insideHead, r.TerrainInside, r.Failure, "terrain",
                    move) ||
        !CutAndTake(r.Head, recH, points, ids, true, belowTerrain, r.HeadBelow, r.Failure, "head", move))
        return r;
    r.Cut = true;
    r.Volume = std::fabs(r.TerrainInside.GetVolume() - r.HeadBelow.GetVolume());
    return r;
}
