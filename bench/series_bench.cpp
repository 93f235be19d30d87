// The series of calculations: the head moved along the axis and the
// excavation computed at each position, headless, as the series' frames do.
//
// Terrain: 1 or 3 layers of LayeredTerrain (2 x 10^4, 2 x 10^5, 2 x 10^6
// triangles each), the constructor head; 100 positions every 0.2 m around
// the axis's middle.
//
// Each size runs on both roads of the layer cut, side by side: "whole"
// cuts a copy of the whole surface at every position, as the computation is
// defined, "local" a patch of it (eCutRoute). The whole road at the large
// sizes runs fewer positions, at about ten seconds each.
//
// Counters: positions per second, the share of each phase of the
// excavation (place, copy, search, cut, select, measure, render arrays,
// altitude; gExcavationTimers), the layer cuts made on a patch and whole,
// the patches taken again (wider, or along a walk that left the last one),
// the mean faces of a patch, the seconds spent once per surface on what the
// patches need, the failed positions, and the ratio of the cost of one
// position to the cost at 2 x 10^4 triangles of the same layer count and
// road.
#include "Excavation.h"
#include "LayeredTerrain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace
{
// Positions per run: fewer where one costs seconds.
int Positions(eCutRoute route, int triangles)
{
    if (route == eCutRoute::Local || triangles <= 20000)
        return 100;
    return triangles <= 200000 ? 20 : 4;
}

// Seconds spent on what a local cut keeps of each surface (shape, altitude
// grid), once per surface, outside the timed positions.
double gPrepare = 0.0;

// Fills the project with the layers once per size.
void BuildScene(int layers, int triangles)
{
    static std::pair<int, int> built{0, 0};
    if (built == std::make_pair(layers, triangles))
        return;
    gProjet.GetUndoManager().Clear();
    gProjet.Close();
    LayeredTerrain::Add(layers, triangles);
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> faces;
    for (int k = 0; k < layers; ++k)
    {
        Couche* layer = gProjet.GetCouche(k);
        layer->GetSurfaceShape();
        layer->QuerySurfaceFaces(LumPoint(0, 0, 0), LumPoint(1, 1, 1), faces);
    }
    gPrepare = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    built = {layers, triangles};
}

// Seconds per position by layer count and road, at the smallest size.
std::map<std::pair<int, int>, double>& SmallestCost()
{
    static std::map<std::pair<int, int>, double> cost;
    return cost;
}

void BM_Series(benchmark::State& state)
{
    const int layers = static_cast<int>(state.range(0));
    const int triangles = static_cast<int>(state.range(1));
    const eCutRoute route = state.range(2) == 0 ? eCutRoute::Whole : eCutRoute::Local;
    const std::pair<int, int> key(layers, static_cast<int>(state.range(2)));
    const int count = Positions(route, triangles);
    state.SetLabel(route == eCutRoute::Whole ? "whole" : "local");
    BuildScene(layers, triangles);
    Axe& axe = gProjet.GetAxe();
    gExcavationTimers.Reset();
    int failed = 0;
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i)
        {
            axe.SetHeadPositionAtDistance(1000.0 - 10.0 + 0.2 * i * 100 / count);
            gProjet.InvalidateResults();
            ComputeExcavation(route);
            failed += gCalculationErrors;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double positions = static_cast<double>(state.iterations()) * count;
    state.counters["positions_per_s"] = benchmark::Counter(positions, benchmark::Counter::kIsRate);
    state.counters["failed"] = failed;
    state.counters["local_cuts"] = gExcavationTimers.LocalCuts;
    state.counters["whole_cuts"] = gExcavationTimers.WholeCuts;
    state.counters["patch_retries"] = gExcavationTimers.PatchRetries;
    if (route == eCutRoute::Local)
        state.counters["prepare_s"] = gPrepare;
    if (gExcavationTimers.LocalCuts > 0)
        state.counters["patch_faces"] = gExcavationTimers.PatchFaces / gExcavationTimers.LocalCuts;
    const double perPosition = seconds / positions;
    if (triangles == 20000)
        SmallestCost()[key] = perPosition;
    if (SmallestCost().count(key))
        state.counters["cost_vs_2e4"] = perPosition / SmallestCost()[key];
    const double total = gExcavationTimers.Total();
    if (total > 0.0)
    {
        const std::pair<const char*, double> phases[] = {
            {"place", gExcavationTimers.Place},         {"copy", gExcavationTimers.Copy},
            {"search", gExcavationTimers.Search},       {"cut", gExcavationTimers.Cut},
            {"select", gExcavationTimers.Select},       {"measure", gExcavationTimers.Measure},
            {"render", gExcavationTimers.RenderArrays}, {"altitude", gExcavationTimers.Altitude}};
        for (const auto& [name, time] : phases)
            state.counters[std::string("share_") + name] = time / total;
    }
}

// The smaller sizes first, so that each larger one has its reference.
BENCHMARK(BM_Series)
    ->ArgNames({"layers", "triangles", "local"})
    ->ArgsProduct({{1, 3}, {20000, 200000, 2000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// The first computation on layers just made, as after opening a project,
// against the ones that follow at the same place: the surfaces'
// preparation (shape and altitude grid) as a number of positions
// of the series, local road. Each iteration makes the layers again (not
// timed), computes once (the timed first position), then 20 positions on
// (the cost of one).
void BM_FirstPreparation(benchmark::State& state)
{
    const int layers = static_cast<int>(state.range(0));
    const int triangles = static_cast<int>(state.range(1));
    const int count = 20;
    double first = 0.0, following = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        LayeredTerrain::Add(layers, triangles);
        Axe& axe = gProjet.GetAxe();
        axe.SetHeadPositionAtDistance(990.0);
        gProjet.InvalidateResults();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        ComputeExcavation(eCutRoute::Local);
        first += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        start = std::chrono::steady_clock::now();
        for (int i = 1; i <= count; ++i)
        {
            axe.SetHeadPositionAtDistance(990.0 + 0.2 * i);
            gProjet.InvalidateResults();
            ComputeExcavation(eCutRoute::Local);
        }
        following += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // The next benchmark makes its own scene.
    BuildScene(0, 0);
    const double position = following / (static_cast<double>(state.iterations()) * count);
    const double prepare = first / static_cast<double>(state.iterations()) - position;
    state.counters["position_ms"] = 1e3 * position;
    state.counters["prepare_ms"] = 1e3 * prepare;
    state.counters["prepare_positions"] = prepare / position;
}
BENCHMARK(BM_FirstPreparation)
    ->ArgNames({"layers", "triangles"})
    ->Args({3, 200000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
} // namespace

BENCHMARK_MAIN();
