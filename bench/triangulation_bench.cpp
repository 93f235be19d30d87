// Delaunay2D against CGAL's Delaunay_triangulation_2 on the same points
// (uniform random in a 1000 x 1000 square, 10^4 to 10^6 of them, and a
// 1000 x 1000 grid), and ConstrainTriangulation against CGAL's
// Constrained_Delaunay_triangulation_2 on a terrain of 2 x 10^4 points with
// 50 level lines. CGAL inserts the points as a range (it sorts them along a
// Hilbert curve first); its kernel has exact predicates, like ours.
//
// The ratio of each Kor time over the CGAL time of the same input (medians
// when repeated) is printed at the end of the run; KorDelaunayOnFaces is the
// same sweep built face by face on the mesh, the way it was before the array.
// Peak memory: run one benchmark alone under /usr/bin/time -v (for instance
// --benchmark_filter='^KorDelaunay/0/1000000$'); the process holds the
// inputs as well.
#include "KorConstrainedTriangulation.h"
#include "KorDelaunay.h"

#include <CGAL/Constrained_Delaunay_triangulation_2.h>
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace
{
using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using CgalDelaunay = CGAL::Delaunay_triangulation_2<Kernel>;
using CgalConstrained = CGAL::Constrained_Delaunay_triangulation_2<Kernel>;

struct Point2
{
    double x, y;
};

std::vector<Point2> RandomPoints(int n)
{
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(0.0, 1000.0);
    std::vector<Point2> out(static_cast<size_t>(n));
    for (Point2& p : out)
        p = Point2{u(rng), u(rng)};
    return out;
}

std::vector<Point2> GridPoints(int side)
{
    std::vector<Point2> out;
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
            out.push_back(Point2{static_cast<double>(i), static_cast<double>(j)});
    return out;
}

// The contour terrain: level lines of a smooth surface by marching squares
// on a 41 x 41 grid (their vertices first), then random points up to 2 x 10^4.
struct Terrain
{
    std::vector<Point2> points;
    std::vector<std::pair<int, int>> segments;
};

Terrain ContourTerrain()
{
    const int g = 41, levels = 50;
    const double step = 1000.0 / (g - 1);
    const auto surface = [](double x, double y)
    { return 40.0 * std::sin(x / 130.0) * std::cos(y / 170.0) + 0.03 * x + 0.02 * y; };
    std::vector<double> z(static_cast<size_t>(g * g));
    double lo = 1e300, hi = -1e300;
    for (int j = 0; j < g; ++j)
        for (int i = 0; i < g; ++i)
        {
            const double v = surface(i * step, j * step);
            z[static_cast<size_t>(j * g + i)] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    Terrain t;
    for (int k = 1; k <= levels; ++k)
    {
        const double level = lo + (hi - lo) * k / (levels + 1);
        std::map<int, int> onEdge;
        const auto crossing = [&](int i0, int j0, int i1, int j1) -> int
        {
            const double z0 = z[static_cast<size_t>(j0 * g + i0)], z1 = z[static_cast<size_t>(j1 * g + i1)];
            if ((z0 < level) == (z1 < level))
                return -1;
            const int key = 2 * (j0 * g + i0) + (j1 != j0);
            const auto found = onEdge.find(key);
            if (found != onEdge.end())
                return found->second;
            const double s = (level - z0) / (z1 - z0);
            t.points.push_back(Point2{(i0 + s * (i1 - i0)) * step, (j0 + s * (j1 - j0)) * step});
            return onEdge[key] = static_cast<int>(t.points.size()) - 1;
        };
        for (int j = 0; j + 1 < g; ++j)
            for (int i = 0; i + 1 < g; ++i)
            {
                const int c[4] = {crossing(i, j, i + 1, j), crossing(i + 1, j, i + 1, j + 1),
                                  crossing(i, j + 1, i + 1, j + 1), crossing(i, j, i, j + 1)};
                std::vector<int> at;
                for (int e : c)
                    if (e >= 0)
                        at.push_back(e);
                if (at.size() == 2)
                    t.segments.emplace_back(at[0], at[1]);
                else if (at.size() == 4)
                {
                    t.segments.emplace_back(c[0], c[1]);
                    t.segments.emplace_back(c[2], c[3]);
                }
            }
    }
    const std::vector<Point2> extra = RandomPoints(20000 - static_cast<int>(t.points.size()));
    t.points.insert(t.points.end(), extra.begin(), extra.end());
    return t;
}

void Load(KorMesh& mesh, const std::vector<Point2>& points)
{
    for (const Point2& p : points)
        mesh.AddVertex(p.x, p.y, 0.0);
}

std::vector<Kernel::Point_2> ToCgal(const std::vector<Point2>& points)
{
    std::vector<Kernel::Point_2> out;
    out.reserve(points.size());
    for (const Point2& p : points)
        out.emplace_back(p.x, p.y);
    return out;
}

const std::vector<Point2>& Input(int kind, int n)
{
    static std::map<std::pair<int, int>, std::vector<Point2>> cache;
    auto& points = cache[{kind, n}];
    if (points.empty())
        points = kind == 0 ? RandomPoints(n) : GridPoints(n);
    return points;
}

void KorDelaunay(benchmark::State& state)
{
    KorMesh mesh;
    Load(mesh, Input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    for (auto _ : state)
    {
        Delaunay2D(mesh);
        benchmark::DoNotOptimize(mesh.GetNumberOfFaces());
    }
    state.counters["faces"] = mesh.GetNumberOfFaces();
    state.counters["points"] = mesh.GetNumberOfVertices();
}

// The same sweep made face by face on the mesh, for comparison.
void KorDelaunayOnFaces(benchmark::State& state)
{
    KorMesh mesh;
    Load(mesh, Input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    for (auto _ : state)
    {
        Delaunay2DOnFaces(mesh);
        benchmark::DoNotOptimize(mesh.GetNumberOfFaces());
    }
    state.counters["faces"] = mesh.GetNumberOfFaces();
    state.counters["points"] = mesh.GetNumberOfVertices();
}

void CgalDelaunay2(benchmark::State& state)
{
    const std::vector<Kernel::Point_2> points =
        ToCgal(Input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    size_t faces = 0;
    for (auto _ : state)
    {
        CgalDelaunay dt(points.begin(), points.end());
        faces = dt.number_of_faces();
        benchmark::DoNotOptimize(faces);
    }
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["points"] = static_cast<double>(points.size());
}

const Terrain& TheTerrain()
{
    static const Terrain t = ContourTerrain();
    return t;
}

// Only the constraints are timed: each iteration starts from a copy of the
// triangulated points.
void KorConstrain(benchmark::State& state)
{
    const Terrain& t = TheTerrain();
    KorMesh base;
    Load(base, t.points);
    Delaunay2D(base);
    Constraint constraint;
    for (const auto& s : t.segments)
        constraint.emplace_back(s.first, s.second);
    KorMesh mesh;
    for (auto _ : state)
    {
        state.PauseTiming();
        mesh = base;
        state.ResumeTiming();
        ConstrainTriangulation(mesh, constraint);
    }
    int inserted = 0;
    for (const auto& s : t.segments)
        inserted += mesh.GetEdgeBetween(mesh.GetVertex(s.first), mesh.GetVertex(s.second)) != nullptr;
    state.counters["segments"] = static_cast<double>(t.segments.size());
    state.counters["inserted"] = inserted;
}

void CgalConstrain(benchmark::State& state)
{
    const Terrain& t = TheTerrain();
    for (auto _ : state)
    {
        state.PauseTiming();
        CgalConstrained cdt;
        std::vector<CgalConstrained::Vertex_handle> handles;
        handles.reserve(t.points.size());
        for (const Point2& p : t.points)
            handles.push_back(cdt.insert(Kernel::Point_2(p.x, p.y)));
        state.ResumeTiming();
        for (const auto& s : t.segments)
            cdt.insert_constraint(handles[static_cast<size_t>(s.first)],
                                  handles[static_cast<size_t>(s.second)]);
        benchmark::DoNotOptimize(cdt.number_of_faces());
    }
    state.counters["segments"] = static_cast<double>(t.segments.size());
}
} // namespace

// Arguments: kind (0 random, 1 grid side), size.
BENCHMARK(KorDelaunay)
    ->Args({0, 10000})
    ->Args({0, 100000})
    ->Args({0, 1000000})
    ->Args({1, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(KorDelaunayOnFaces)
    ->Args({0, 10000})
    ->Args({0, 100000})
    ->Args({0, 1000000})
    ->Args({1, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CgalDelaunay2)
    ->Args({0, 10000})
    ->Args({0, 100000})
    ->Args({0, 1000000})
    ->Args({1, 1000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(KorConstrain)->Unit(benchmark::kMillisecond);
BENCHMARK(CgalConstrain)->Unit(benchmark::kMillisecond);

namespace
{
// The console output, then one ratio line per input measured by both.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
        {
            std::string name = run.benchmark_name();
            if (run.run_type == Run::RT_Aggregate)
            {
                if (run.aggregate_name != "median")
                    continue;
                name = name.substr(0, name.rfind('_'));
            }
            // KorDelaunay/0/10000 and CgalDelaunay2/0/10000 measure Delaunay/0/10000.
            const bool kor = name.rfind("Kor", 0) == 0;
            std::string key = name.substr(kor ? 3 : 4);
            if (key.rfind("Delaunay2", 0) == 0)
                key.erase(8, 1);
            (kor ? mKor : mCgal)[key] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [input, kor] : mKor)
        {
            // DelaunayOnFaces/0/10000 is measured against Delaunay/0/10000 too.
            std::string peer = input;
            if (const size_t at = peer.find("OnFaces"); at != std::string::npos)
                peer.erase(at, 7);
            const auto cgal = mCgal.find(peer);
            if (cgal != mCgal.end() && cgal->second > 0.0)
                std::printf("ratio Kor / CGAL  %-24s %6.2f\n", input.c_str(), kor / cgal->second);
        }
    }

private:
    std::map<std::string, double> mKor, mCgal;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
