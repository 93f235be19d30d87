// The series of calculations as the user runs it: ComputeSeries through the
// program's real main frame (run under Xvfb), showing a frame at every
// position (interval 0, as it used to) or at most every 100 ms
// (SeriesFrameInterval), against the same positions computed headless
// (ComputeExcavation alone, as series_bench) on the same scene, in one
// process. Scenes: one layer of 41 x 41 points (3 200 triangles) and three
// layers of 2 x 10^4 triangles (series_bench's smallest). 100 positions
// every 0.2 m around the axis's middle.
// Counters: positions per second, and the ratio of the in-program rate to
// the headless rate measured just before on the same scene.
#include "FrameScene.h"

#include "CalculSeries.h"
#include "Excavation.h"

#include <chrono>
#include <vector>

namespace
{
constexpr int kPositions = 100;

void Scene(int layers, int triangles)
{
    static std::pair<int, int> built{0, 0};
    if (built == std::make_pair(layers, triangles))
        return;
    FrameScene::BuildScene(layers, triangles);
    gProjet.Set3DAffichageTete(true);
    built = {layers, triangles};
}

std::vector<double> Positions()
{
    std::vector<double> positions;
    for (int i = 0; i < kPositions; ++i)
        positions.push_back(-10.0 + 0.2 * i);
    return positions;
}

double& HeadlessRate()
{
    static double rate = 0.0;
    return rate;
}

void BM_Headless(benchmark::State& state)
{
    Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    Axe& axe = gProjet.GetAxe();
    const double d0 = axe.GetHeadDistance();
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        for (double p : Positions())
        {
            axe.SetHeadPositionAtDistance(d0 + p);
            gProjet.InvalidateResults();
            ComputeExcavation();
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    axe.SetHeadPositionAtDistance(d0);
    HeadlessRate() = state.iterations() * kPositions / seconds;
    state.counters["positions_per_s"] = HeadlessRate();
    state.SetLabel("headless");
}

void BM_InProgram(benchmark::State& state)
{
    Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const double interval = state.range(2) ? SeriesFrameInterval : 0.0;
    size_t shown = 0;
    double seconds = 0.0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        ComputeSeries(0.0, Positions(), {}, [&shown](size_t) { ++shown; }, interval);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double rate = state.iterations() * kPositions / seconds;
    state.counters["positions_per_s"] = rate;
    state.counters["frames_per_series"] = static_cast<double>(shown) / state.iterations();
    if (HeadlessRate() > 0.0)
        state.counters["of_headless"] = rate / HeadlessRate();
    state.SetLabel(interval > 0.0 ? "every 100 ms" : "every position");
}

void Register()
{
    for (const auto& [layers, triangles] : {std::pair{1, 3200}, std::pair{3, 20000}})
    {
        benchmark::RegisterBenchmark("BM_Headless", BM_Headless)
            ->Args({layers, triangles})
            ->ArgNames({"layers", "triangles"})
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        for (int paced : {0, 1})
            benchmark::RegisterBenchmark("BM_InProgram", BM_InProgram)
                ->Args({layers, triangles, paced})
                ->ArgNames({"layers", "triangles", "paced"})
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    }
}
} // namespace

wxIMPLEMENT_APP_NO_MAIN(FrameBenchApp);

int main(int argc, char** argv)
{
    Register();
    return FrameScene::Main(argc, argv);
}
