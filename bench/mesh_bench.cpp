// KorMesh against OpenMesh on the same input: a grid of 1000 x 1000 vertices
// split into 2 x 999 x 999 triangles (counter-clockwise), added face by face;
// then every face around every vertex is visited; then every other face is
// deleted (edges and vertices kept).
//
// Counters: heap_MB is the heap held by the built mesh (mallinfo2 difference),
// peak_RSS_MB the process's peak resident size so far: run one library at a
// time (--benchmark_filter=KorMesh or =OpenMesh) to read it per library.
#include "KorMesh.h"

#include <OpenMesh/Core/Mesh/TriMesh_ArrayKernelT.hh>
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace
{
constexpr int kSide = 1000;

using OMesh = OpenMesh::TriMesh_ArrayKernelT<>;

inline int Id(int i, int j)
{
    return j * kSide + i;
}

double HeapMB()
{
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

double PeakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BuildKorMesh(KorMesh& m)
{
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i)
            m.AddVertex(i, j, 0.0);
    for (int j = 0; j + 1 < kSide; ++j)
        for (int i = 0; i + 1 < kSide; ++i)
        {
            m.AddFace(3, Id(i, j), Id(i + 1, j), Id(i + 1, j + 1));
            m.AddFace(3, Id(i, j), Id(i + 1, j + 1), Id(i, j + 1));
        }
}

void BuildOpenMesh(OMesh& m)
{
    std::vector<OMesh::VertexHandle> vh;
    vh.reserve(static_cast<size_t>(kSide) * kSide);
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i)
            vh.push_back(m.add_vertex(OMesh::Point(i, j, 0.0f)));
    for (int j = 0; j + 1 < kSide; ++j)
        for (int i = 0; i + 1 < kSide; ++i)
        {
            m.add_face(vh[Id(i, j)], vh[Id(i + 1, j)], vh[Id(i + 1, j + 1)]);
            m.add_face(vh[Id(i, j)], vh[Id(i + 1, j + 1)], vh[Id(i, j + 1)]);
        }
}

const KorMesh& SharedKorMesh()
{
    static const std::unique_ptr<KorMesh> mesh = []
    {
        auto m = std::make_unique<KorMesh>();
        BuildKorMesh(*m);
        return m;
    }();
    return *mesh;
}

const OMesh& SharedOpenMesh()
{
    static const std::unique_ptr<OMesh> mesh = []
    {
        auto m = std::make_unique<OMesh>();
        BuildOpenMesh(*m);
        return m;
    }();
    return *mesh;
}

void BM_Build_KorMesh(benchmark::State& state)
{
    double heap = 0.0;
    for (auto _ : state)
    {
        const double before = HeapMB();
        KorMesh m;
        BuildKorMesh(m);
        heap = HeapMB() - before;
        benchmark::DoNotOptimize(m.GetNumberOfFaces());
    }
    state.counters["heap_MB"] = heap;
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_Build_OpenMesh(benchmark::State& state)
{
    double heap = 0.0;
    for (auto _ : state)
    {
        const double before = HeapMB();
        OMesh m;
        BuildOpenMesh(m);
        heap = HeapMB() - before;
        benchmark::DoNotOptimize(m.n_faces());
    }
    state.counters["heap_MB"] = heap;
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_WalkFacesAroundVertices_KorMesh(benchmark::State& state)
{
    KorMesh& m = const_cast<KorMesh&>(SharedKorMesh());
    std::vector<KorFace*> faces;
    for (auto _ : state)
    {
        long long sum = 0;
        for (int v = 0; v < m.GetVertexVectorSize(); ++v)
        {
            m.GetFacesAroundVertex(m.GetVertex(v), faces);
            for (const KorFace* f : faces)
                sum += f->ID;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_WalkFacesAroundVertices_OpenMesh(benchmark::State& state)
{
    const OMesh& m = SharedOpenMesh();
    for (auto _ : state)
    {
        long long sum = 0;
        for (const auto vh : m.vertices())
            for (const auto fh : m.vf_range(vh))
                sum += fh.idx();
        benchmark::DoNotOptimize(sum);
    }
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_DeleteHalfTheFaces_KorMesh(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        auto m = std::make_unique<KorMesh>(SharedKorMesh());
        state.ResumeTiming();
        for (int f = 0; f < m->GetFaceVectorSize(); f += 2)
            m->DeleteFace(f, false);
        benchmark::DoNotOptimize(m->GetNumberOfFaces());
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

// OpenMesh only marks faces deleted; its garbage collection compacts the
// arrays afterwards. Both are timed, as KorMesh frees its slots at once.
void BM_DeleteHalfTheFaces_OpenMesh(benchmark::State& state)
{
    const bool collect = state.range(0) != 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto m = std::make_unique<OMesh>(SharedOpenMesh());
        m->request_face_status();
        m->request_edge_status();
        m->request_vertex_status();
        state.ResumeTiming();
        for (int f = 0; f < static_cast<int>(m->n_faces()); f += 2)
            m->delete_face(m->face_handle(f), false);
        if (collect)
            m->garbage_collection();
        benchmark::DoNotOptimize(m->n_faces());
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
    state.counters["peak_RSS_MB"] = PeakRssMB();
}
} // namespace

BENCHMARK(BM_Build_KorMesh)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Build_OpenMesh)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WalkFacesAroundVertices_KorMesh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkFacesAroundVertices_OpenMesh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteHalfTheFaces_KorMesh)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteHalfTheFaces_OpenMesh)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Vertex fusion on polygon soups: square cells of a grid, each with its own
// four corners jittered by up to 1e-7, so 4 x cells vertices fuse into one
// per grid point. Sizes 10^4, 10^5 and 10^6 soup vertices; the soup is built
// outside the timing. For scale, the same welded grid built directly (the
// shared corners added once) is timed beside it.
namespace
{
int CellsPerSide(int soupVertices)
{
    return static_cast<int>(std::lround(std::sqrt(soupVertices / 4.0)));
}

void BuildSoup(KorMesh& m, int side)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> jitter(-1e-7, 1e-7);
    const int dx[4] = {0, 1, 1, 0}, dy[4] = {0, 0, 1, 1};
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
        {
            int c[4];
            for (int k = 0; k < 4; ++k)
                c[k] = m.AddVertex(i + dx[k] + jitter(rng), j + dy[k] + jitter(rng), jitter(rng));
            m.AddFace(4, c[0], c[1], c[2], c[3]);
        }
}

void BM_FuseVertices_KorMesh(benchmark::State& state)
{
    const int side = CellsPerSide(static_cast<int>(state.range(0)));
    int left = 0;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto m = std::make_unique<KorMesh>();
        BuildSoup(*m, side);
        state.ResumeTiming();
        if (!m->FuseVertices(1e-5, nullptr))
            state.SkipWithError("fusion failed");
        left = m->GetNumberOfVertices();
        state.PauseTiming();
        m.reset();
        state.ResumeTiming();
    }
    state.counters["soup_vertices"] = 4.0 * side * side;
    state.counters["fused_vertices"] = left;
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_BuildWeldedGrid_KorMesh(benchmark::State& state)
{
    const int side = CellsPerSide(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        KorMesh m;
        for (int j = 0; j <= side; ++j)
            for (int i = 0; i <= side; ++i)
                m.AddVertex(i, j, 0.0);
        const auto id = [side](int i, int j) { return j * (side + 1) + i; };
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i)
                m.AddFace(4, id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1));
        benchmark::DoNotOptimize(m.GetNumberOfFaces());
    }
}
} // namespace

BENCHMARK(BM_FuseVertices_KorMesh)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildWeldedGrid_KorMesh)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond);
