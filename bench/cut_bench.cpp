// The excavation cut and the kd-tree on terrains of 2*10^4 to 2*10^6
// triangles, side by side with CGAL and Embree on the same input.
//
// Terrain: a grid of s x s cells (2 s^2 triangles) of side 1, z = 0.3 sin(x/7)
// cos(y/5). Head: a closed box 20 x 30 x 40 centred on the terrain's middle,
// each side split into k x k cells (12 k^2 triangles). The head is the same
// at every terrain size, so growth with s is the cost outside the cut region.
//  Cut/...        intersection line, both cuts and both side selections
//  Line/...       intersection line alone
//  CGAL_Intersect PMP::surface_intersection (polylines of the two meshes)
//  CGAL_Clip      PMP::clip of the terrain by the closed head
//  FanSearch/n/shape/path  AddConcaveFace on an n-gon, exhaustive (path 0)
//                 and pruned (path 1) fan search side by side
//  ToConcave/s/side/path   ToConcaveMesh of the cut head (side 0) or terrain
//                 (side 1), both fan searches
//  KdBuild / CGAL_AABBBuild / EmbreeBuild: tree over the terrain
//  KdRays / CGAL_AABBRays / EmbreeRays: nearest hit of 10^6 random rays
#include "KorBoundingBox.h"
#include "KorCut.h"
#include "KorIntersection.h"
#include "KorMesh.h"
#include "KorRay.h"
#include "LumKdTree.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifdef VORN_HAVE_CGAL
#include <CGAL/AABB_face_graph_triangle_primitive.h>
#include <CGAL/AABB_traits.h>
#include <CGAL/AABB_tree.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/clip.h>
#include <CGAL/Polygon_mesh_processing/intersection.h>
#include <CGAL/Surface_mesh.h>
#endif
#ifdef VORN_HAVE_EMBREE
#include <embree3/rtcore.h>
#endif

namespace
{
double Height(double x, double y)
{
    return 0.3 * std::sin(x / 7.0) * std::cos(y / 5.0);
}

struct sTriangles
{
    std::vector<LumPoint> Points;
    std::vector<int> Indices; // three per triangle
};

sTriangles TerrainTriangles(int s)
{
    sTriangles t;
    for (int j = 0; j <= s; ++j)
        for (int i = 0; i <= s; ++i)
            t.Points.emplace_back(i, j, Height(i, j));
    auto id = [s](int i, int j) { return j * (s + 1) + i; };
    for (int j = 0; j < s; ++j)
        for (int i = 0; i < s; ++i)
            t.Indices.insert(t.Indices.end(), {id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j),
                                               id(i + 1, j + 1), id(i, j + 1)});
    return t;
}

// Inward box, each side a k x k grid; corners off the terrain's grid.
sTriangles HeadTriangles(int s, int k)
{
    sTriangles t;
    const LumPoint lo(s / 2.0 - 10 + 0.137, s / 2.0 - 15 + 0.291, -20), hi = lo + LumPoint(20, 30, 40);
    std::map<std::tuple<long, long, long>, int> ids;
    auto vertex = [&](const LumPoint& p)
    {
        const auto key =
            std::make_tuple(std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6));
        auto it = ids.find(key);
        if (it != ids.end())
            return it->second;
        t.Points.push_back(p);
        return ids[key] = static_cast<int>(t.Points.size()) - 1;
    };
    // Each side: origin corner and two edge vectors, u x v pointing into the box.
    const LumPoint d = hi - lo;
    const LumPoint X(d.x, 0, 0), Y(0, d.y, 0), Z(0, 0, d.z);
    const LumPoint sides[6][3] = {{lo, X, Y},     {lo + Z, Y, X}, {lo, Z, X},
                                  {lo + Y, X, Z}, {lo, Y, Z},     {lo + X, Z, Y}};
    for (const auto& side : sides)
        for (int b = 0; b < k; ++b)
            for (int a = 0; a < k; ++a)
            {
                auto at = [&](int i, int j)
                { return vertex(side[0] + side[1] * (double(i) / k) + side[2] * (double(j) / k)); };
                const int p00 = at(a, b), p10 = at(a + 1, b), p11 = at(a + 1, b + 1), p01 = at(a, b + 1);
                t.Indices.insert(t.Indices.end(), {p00, p10, p11, p00, p11, p01});
            }
    return t;
}

void ToKorMesh(const sTriangles& t, KorMesh& m)
{
    for (const LumPoint& p : t.Points)
        m.AddVertex(p);
    for (size_t i = 0; i < t.Indices.size(); i += 3)
        m.AddFace(3, t.Indices[i], t.Indices[i + 1], t.Indices[i + 2]);
}

struct sScene
{
    KorMesh Terrain, Head;
    sTriangles T, H;
    LumPoint Start;
};

// One scene per (terrain side, head side) kept for the whole run.
sScene& Scene(int s, int k)
{
    static std::map<std::pair<int, int>, std::unique_ptr<sScene>> scenes;
    auto& slot = scenes[{s, k}];
    if (!slot)
    {
        slot.reset(new sScene);
        slot->T = TerrainTriangles(s);
        slot->H = HeadTriangles(s, k);
        ToKorMesh(slot->T, slot->Terrain);
        ToKorMesh(slot->H, slot->Head);
        slot->Start = LumPoint(s / 2.0, s / 2.0, 0);
    }
    return *slot;
}

bool CutAndSelect(KorMesh& mesh, std::vector<sBooleanIntersection>& records, std::vector<LumPoint>& points,
                  std::vector<int>& ids, bool tracks)
{
    if (!CutMeshFromIntersectionLine(mesh, records, points, ids, tracks) || !mesh.ToConcaveMesh(tracks))
        return false;
    std::vector<int> line, twins, a, b;
    for (size_t i = 0; i < ids.size(); ++i)
    {
        const KorEdge* h =
            mesh.GetEdgeBetween(mesh.GetVertex(ids[i]), mesh.GetVertex(ids[(i + 1) % ids.size()]));
        if (!h)
            return false;
        line.push_back(h->ID);
        twins.push_back(h->Opp);
    }
    return GetFacesInsideLine(mesh, line, a) && GetFacesInsideLine(mesh, twins, b);
}

void Line(benchmark::State& state)
{
    sScene& sc = Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    KorBoundingBox box;
    box.Define(sc.Head);
    std::vector<LumPoint> points;
    std::vector<sBooleanIntersection> r1, r2;
    for (auto _ : state)
        if (!GetIntersectionLine(sc.Terrain, sc.Head, box, sc.Start, points, r1, r2, 1, 0))
            state.SkipWithError("no line");
    state.counters["points"] = static_cast<double>(points.size());
    state.counters["terrain_tris"] = sc.Terrain.GetNumberOfFaces();
}

void Cut(benchmark::State& state)
{
    sScene& sc = Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
    {
        state.PauseTiming();
        auto terrain = std::make_unique<KorMesh>(sc.Terrain);
        auto head = std::make_unique<KorMesh>(sc.Head);
        state.ResumeTiming();
        KorBoundingBox box;
        box.Define(*head);
        std::vector<LumPoint> points;
        std::vector<sBooleanIntersection> rt, rh;
        std::vector<int> ids;
        if (!GetIntersectionLine(*terrain, *head, box, sc.Start, points, rt, rh, 2, 10000))
            state.SkipWithError("no line");
        std::vector<LumPoint> copy = points;
        if (!CutAndSelect(*terrain, rt, copy, ids, false) || !CutAndSelect(*head, rh, copy, ids, true))
            state.SkipWithError("cut failed");
        state.PauseTiming();
        terrain.reset();
        head.reset();
        state.ResumeTiming();
    }
}

// The polygons the cut leaves on the head (108 triangles, k = 3) and on the
// terrain of side s, before they are replaced by fans.
struct sCutPolygons
{
    KorMesh Terrain, Head;
};

sCutPolygons& CutPolygons(int s)
{
    static std::map<int, std::unique_ptr<sCutPolygons>> cuts;
    auto& slot = cuts[s];
    if (!slot)
    {
        slot.reset(new sCutPolygons);
        sScene& sc = Scene(s, 3);
        slot->Terrain = sc.Terrain;
        slot->Head = sc.Head;
        KorBoundingBox box;
        box.Define(slot->Head);
        std::vector<LumPoint> points;
        std::vector<sBooleanIntersection> rt, rh;
        std::vector<int> ids;
        if (GetIntersectionLine(slot->Terrain, slot->Head, box, sc.Start, points, rt, rh, 2, 10000))
        {
            std::vector<LumPoint> copy = points;
            CutMeshFromIntersectionLine(slot->Terrain, rt, copy, ids, false);
            copy = points;
            CutMeshFromIntersectionLine(slot->Head, rh, copy, ids, true);
        }
    }
    return *slot;
}

// ToConcaveMesh of the cut head (tracks on) and terrain (tracks off), by the
// exhaustive fan search (path 0) and the pruned one (path 1).
void ToConcave(benchmark::State& state)
{
    sCutPolygons& cut = CutPolygons(static_cast<int>(state.range(0)));
    const bool head = state.range(1) == 0;
    const KorMesh::eFanSearch search =
        state.range(2) == 0 ? KorMesh::eFanSearch::Exhaustive : KorMesh::eFanSearch::Pruned;
    const KorMesh& source = head ? cut.Head : cut.Terrain;
    int polygons = 0;
    size_t largest = 0;
    for (int f = 0; f < source.GetFaceVectorSize(); ++f)
        if (source.GetFace(f))
        {
            std::vector<int> ring;
            source.GetFaceVertices(source.GetFace(f), ring);
            polygons += ring.size() > 3 ? 1 : 0;
            largest = std::max(largest, ring.size());
        }
    for (auto _ : state)
    {
        state.PauseTiming();
        auto mesh = std::make_unique<KorMesh>(source);
        state.ResumeTiming();
        if (!mesh->ToConcaveMesh(head, search))
            state.SkipWithError("replacement failed");
        state.PauseTiming();
        mesh.reset();
        state.ResumeTiming();
    }
    state.SetLabel(std::string(head ? "head" : "terrain") +
                   (state.range(2) == 0 ? " exhaustive" : " pruned"));
    state.counters["polygons"] = polygons;
    state.counters["largest"] = static_cast<double>(largest);
}

// Simple polygons of n vertices in the xy plane, fixed seed: convex (shape
// 0), star-shaped from the origin with radii in [0.3, 1] (shape 1), random
// points joined without crossing (shape 2).
std::vector<LumPoint> FanPolygon(int n, int shape)
{
    std::mt19937 rng(static_cast<unsigned>(17 + n + 1000 * shape));
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<LumPoint> p;
    if (shape < 2)
    {
        std::vector<double> a(static_cast<size_t>(n));
        for (double& x : a)
            x = 2 * M_PI * u(rng);
        std::sort(a.begin(), a.end());
        for (double x : a)
        {
            const double r = shape == 0 ? 1.0 : 0.3 + 0.7 * u(rng);
            p.emplace_back(10 * r * std::cos(x), 10 * r * std::sin(x), 0.0);
        }
        return p;
    }
    for (int i = 0; i < n; ++i)
        p.emplace_back(10 * u(rng), 10 * u(rng), 0.0);
    const auto turn = [](const LumPoint& a, const LumPoint& b, const LumPoint& c)
    { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    for (bool changed = true; changed;)
    {
        changed = false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 2; j < n; ++j)
                if (!(i == 0 && j == n - 1) &&
                    turn(p[i], p[i + 1], p[j]) * turn(p[i], p[i + 1], p[(j + 1) % n]) < 0 &&
                    turn(p[j], p[(j + 1) % n], p[i]) * turn(p[j], p[(j + 1) % n], p[i + 1]) < 0)
                {
                    std::reverse(p.begin() + i + 1, p.begin() + j + 1);
                    changed = true;
                }
    }
    return p;
}

// AddConcaveFace on one polygon: exhaustive (path 0) and pruned (path 1) fan
// search. The copy of the mesh of n free vertices is timed in both.
void FanSearch(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const int shape = static_cast<int>(state.range(1));
    const KorMesh::eFanSearch search =
        state.range(2) == 0 ? KorMesh::eFanSearch::Exhaustive : KorMesh::eFanSearch::Pruned;
    KorMesh base;
    std::vector<int> ids;
    for (const LumPoint& q : FanPolygon(n, shape))
        ids.push_back(base.AddVertex(q));
    int faces = 0;
    for (auto _ : state)
    {
        KorMesh mesh = base;
        std::vector<int> ring = ids;
        if (mesh.AddConcaveFace(ring, nullptr, search) < 0)
            state.SkipWithError("no face");
        faces = mesh.GetNumberOfFaces();
    }
    static const char* const shapes[] = {"convex", "star", "random"};
    state.SetLabel(std::string(shapes[shape]) + (state.range(2) == 0 ? " exhaustive" : " pruned"));
    state.counters["faces"] = faces;
}

void FanArgs(benchmark::internal::Benchmark* b)
{
    for (int n : {10, 30, 100, 300})
        for (int shape : {0, 1, 2})
            for (int path : {0, 1})
                b->Args({n, shape, path});
    b->Unit(benchmark::kMicrosecond);
}

void ToConcaveArgs(benchmark::internal::Benchmark* b)
{
    for (int side : {0, 1})
        for (int path : {0, 1})
            b->Args({100, side, path});
    b->Unit(benchmark::kMicrosecond);
}

std::vector<KorRay> RandomRays(int s, int count)
{
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<KorRay> rays;
    for (int i = 0; i < count; ++i)
        rays.emplace_back(LumPoint(u(rng) * s, u(rng) * s, 5.0), LumPoint(u(rng) - 0.5, u(rng) - 0.5, -1.0));
    return rays;
}

constexpr int kRays = 1000000;

void KdBuild(benchmark::State& state)
{
    sScene& sc = Scene(static_cast<int>(state.range(0)), 3);
    for (auto _ : state)
    {
        LumKdTree tree(sc.Terrain);
        benchmark::DoNotOptimize(tree.GetMainVoxel());
    }
}

void KdRays(benchmark::State& state)
{
    const int s = static_cast<int>(state.range(0));
    sScene& sc = Scene(s, 3);
    LumKdTree tree(sc.Terrain);
    const std::vector<KorRay> rays = RandomRays(s, kRays);
    long hitCount = 0;
    for (auto _ : state)
        for (const KorRay& r : rays)
        {
            double t;
            int hits, face;
            hitCount += tree.IntersectRay(r, sc.Terrain, 0.0, 1e20, t, false, hits, face) ? 1 : 0;
        }
    state.SetItemsProcessed(state.iterations() * kRays);
    state.counters["hit_share"] = static_cast<double>(hitCount) / (state.iterations() * kRays);
}

#ifdef VORN_HAVE_CGAL
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using SMesh = CGAL::Surface_mesh<Kernel::Point_3>;
namespace PMP = CGAL::Polygon_mesh_processing;
using Primitive = CGAL::AABB_face_graph_triangle_primitive<SMesh>;
using AABBTree = CGAL::AABB_tree<CGAL::AABB_traits<Kernel, Primitive>>;

void ToSurfaceMesh(const sTriangles& t, SMesh& m)
{
    std::vector<SMesh::Vertex_index> v;
    for (const LumPoint& p : t.Points)
        v.push_back(m.add_vertex(Kernel::Point_3(p.x, p.y, p.z)));
    for (size_t i = 0; i < t.Indices.size(); i += 3)
        m.add_face(v[t.Indices[i]], v[t.Indices[i + 1]], v[t.Indices[i + 2]]);
}

struct sCgalScene
{
    SMesh Terrain, Head;
};

sCgalScene& CgalScene(int s, int k)
{
    static std::map<std::pair<int, int>, std::unique_ptr<sCgalScene>> scenes;
    auto& slot = scenes[{s, k}];
    if (!slot)
    {
        slot.reset(new sCgalScene);
        sScene& sc = Scene(s, k);
        ToSurfaceMesh(sc.T, slot->Terrain);
        ToSurfaceMesh(sc.H, slot->Head);
        PMP::reverse_face_orientations(slot->Head); // CGAL wants the clipper's normals outward
    }
    return *slot;
}

void CGAL_Intersect(benchmark::State& state)
{
    sCgalScene& sc = CgalScene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
    {
        std::vector<std::vector<Kernel::Point_3>> polylines;
        PMP::surface_intersection(sc.Terrain, sc.Head, std::back_inserter(polylines));
        benchmark::DoNotOptimize(polylines.data());
    }
}

void CGAL_Clip(benchmark::State& state)
{
    sCgalScene& sc = CgalScene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
    {
        state.PauseTiming();
        SMesh terrain = sc.Terrain, head = sc.Head;
        state.ResumeTiming();
        PMP::clip(terrain, head);
        benchmark::DoNotOptimize(terrain.number_of_faces());
    }
}

void CGAL_AABBBuild(benchmark::State& state)
{
    sCgalScene& sc = CgalScene(static_cast<int>(state.range(0)), 3);
    for (auto _ : state)
    {
        AABBTree tree(faces(sc.Terrain).first, faces(sc.Terrain).second, sc.Terrain);
        tree.build();
        benchmark::DoNotOptimize(tree.size());
    }
}

void CGAL_AABBRays(benchmark::State& state)
{
    const int s = static_cast<int>(state.range(0));
    sCgalScene& sc = CgalScene(s, 3);
    AABBTree tree(faces(sc.Terrain).first, faces(sc.Terrain).second, sc.Terrain);
    tree.build();
    std::vector<Kernel::Ray_3> rays;
    for (const KorRay& r : RandomRays(s, kRays))
        rays.emplace_back(Kernel::Point_3(r.GetOrigin().x, r.GetOrigin().y, r.GetOrigin().z),
                          Kernel::Vector_3(r.GetDirection().x, r.GetDirection().y, r.GetDirection().z));
    long hitCount = 0;
    for (auto _ : state)
        for (const auto& r : rays)
            hitCount += tree.first_intersection(r) ? 1 : 0;
    state.SetItemsProcessed(state.iterations() * kRays);
    state.counters["hit_share"] = static_cast<double>(hitCount) / (state.iterations() * kRays);
}
#endif

#ifdef VORN_HAVE_EMBREE
RTCScene EmbreeScene(RTCDevice device, const sTriangles& t)
{
    RTCScene scene = rtcNewScene(device);
    RTCGeometry g = rtcNewGeometry(device, RTC_GEOMETRY_TYPE_TRIANGLE);
    float* v = static_cast<float*>(rtcSetNewGeometryBuffer(g, RTC_BUFFER_TYPE_VERTEX, 0, RTC_FORMAT_FLOAT3,
                                                           3 * sizeof(float), t.Points.size()));
    for (size_t i = 0; i < t.Points.size(); ++i)
    {
        v[3 * i] = static_cast<float>(t.Points[i].x);
        v[3 * i + 1] = static_cast<float>(t.Points[i].y);
        v[3 * i + 2] = static_cast<float>(t.Points[i].z);
    }
    unsigned* idx = static_cast<unsigned*>(rtcSetNewGeometryBuffer(
        g, RTC_BUFFER_TYPE_INDEX, 0, RTC_FORMAT_UINT3, 3 * sizeof(unsigned), t.Indices.size() / 3));
    for (size_t i = 0; i < t.Indices.size(); ++i)
        idx[i] = static_cast<unsigned>(t.Indices[i]);
    rtcCommitGeometry(g);
    rtcAttachGeometry(scene, g);
    rtcReleaseGeometry(g);
    rtcCommitScene(scene);
    return scene;
}

void EmbreeBuild(benchmark::State& state)
{
    sScene& sc = Scene(static_cast<int>(state.range(0)), 3);
    RTCDevice device = rtcNewDevice("threads=1");
    for (auto _ : state)
        rtcReleaseScene(EmbreeScene(device, sc.T));
    rtcReleaseDevice(device);
}

void EmbreeRays(benchmark::State& state)
{
    const int s = static_cast<int>(state.range(0));
    sScene& sc = Scene(s, 3);
    RTCDevice device = rtcNewDevice("threads=1");
    RTCScene scene = EmbreeScene(device, sc.T);
    const std::vector<KorRay> rays = RandomRays(s, kRays);
    long hitCount = 0;
    for (auto _ : state)
        for (const KorRay& r : rays)
        {
            RTCIntersectContext context;
            rtcInitIntersectContext(&context);
            RTCRayHit rh{};
            rh.ray.org_x = static_cast<float>(r.GetOrigin().x);
            rh.ray.org_y = static_cast<float>(r.GetOrigin().y);
            rh.ray.org_z = static_cast<float>(r.GetOrigin().z);
            rh.ray.dir_x = static_cast<float>(r.GetDirection().x);
            rh.ray.dir_y = static_cast<float>(r.GetDirection().y);
            rh.ray.dir_z = static_cast<float>(r.GetDirection().z);
            rh.ray.tnear = 0.0f;
            rh.ray.tfar = 1e30f;
            rh.ray.mask = 0xFFFFFFFFu;
            rh.hit.geomID = RTC_INVALID_GEOMETRY_ID;
            rtcIntersect1(scene, &context, &rh);
            hitCount += rh.hit.geomID != RTC_INVALID_GEOMETRY_ID ? 1 : 0;
        }
    state.SetItemsProcessed(state.iterations() * kRays);
    state.counters["hit_share"] = static_cast<double>(hitCount) / (state.iterations() * kRays);
    rtcReleaseScene(scene);
    rtcReleaseDevice(device);
}
#endif

// Terrain sides 100, 316, 1000: 2*10^4, 2*10^5, 2*10^6 triangles. Head
// sides 3 and 20: 108 and 4800 triangles.
void CutArgs(benchmark::internal::Benchmark* b)
{
    for (int s : {100, 316, 1000})
        for (int k : {3, 20})
            b->Args({s, k});
    b->Unit(benchmark::kMillisecond);
}
void TreeArgs(benchmark::internal::Benchmark* b)
{
    for (int s : {100, 316, 1000})
        b->Args({s});
    b->Unit(benchmark::kMillisecond);
}
} // namespace

BENCHMARK(Line)->Apply(CutArgs);
BENCHMARK(Cut)->Apply(CutArgs);
BENCHMARK(FanSearch)->Apply(FanArgs);
BENCHMARK(ToConcave)->Apply(ToConcaveArgs);
BENCHMARK(KdBuild)->Apply(TreeArgs);
BENCHMARK(KdRays)->Apply(TreeArgs);
#ifdef VORN_HAVE_CGAL
BENCHMARK(CGAL_Intersect)->Apply(CutArgs);
BENCHMARK(CGAL_Clip)->Apply(CutArgs);
BENCHMARK(CGAL_AABBBuild)->Apply(TreeArgs);
BENCHMARK(CGAL_AABBRays)->Apply(TreeArgs);
#endif
#ifdef VORN_HAVE_EMBREE
BENCHMARK(EmbreeBuild)->Apply(TreeArgs);
BENCHMARK(EmbreeRays)->Apply(TreeArgs);
#endif
