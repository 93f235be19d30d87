// The series of calculations as the user runs it: ComputeSeries through the
// program's real main frame (run under Xvfb), showing a frame at every
// position (interval 0, as it used to) or at most every 100 ms
// (SeriesFrameInterval), against the same positions computed headless
// (ComputeExcavation alone, as series_bench) on the same scene, in one
// process. Scenes: one layer of 41 x 41 points (3 200 triangles) and three
// layers of 2 x 10^4 triangles (series_bench's smallest). 300 positions
// over the 20 m around the axis's middle. A third in-program run shows no
// frame before the end: what the series costs in the program besides its
// frames.
// Counters: positions per second, and, for an in-program run, the ratio of
// its rate to the headless rate of the same scene in the same run: after
// each in-program series the same positions are computed headless, off the
// clock. A rate kept from another benchmark would mix the scenes once the
// runs are interleaved.
#include "FrameScene.h"

#include "CalculSeries.h"
#include "Excavation.h"

#include <chrono>
#include <vector>

namespace
{
constexpr int kPositions = 300;

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
        positions.push_back(-10.0 + 20.0 * i / kPositions);
    return positions;
}

// The seconds of the positions computed headless on the scene built; the
// head is put back where it was.
double HeadlessSeconds()
{
    Axe& axe = gProjet.GetAxe();
    const double d0 = axe.GetHeadDistance();
    const auto start = std::chrono::steady_clock::now();
    for (double p : Positions())
    {
        axe.SetHeadPositionAtDistance(d0 + p);
        gProjet.InvalidateResults();
        ComputeExcavation();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    axe.SetHeadPositionAtDistance(d0);
    return seconds;
}

void BM_Headless(benchmark::State& state)
{
    Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    double seconds = 0.0;
    for (auto _ : state)
        seconds += HeadlessSeconds();
    state.counters["positions_per_s"] = state.iterations() * kPositions / seconds;
    state.SetLabel("headless");
}

void BM_InProgram(benchmark::State& state)
{
    Scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const double interval = state.range(2) == 0 ? 0.0 : state.range(2) == 1 ? SeriesFrameInterval : 1e9;
    size_t shown = 0;
    double seconds = 0.0, headless = 0.0;
    LumoraDevice* device = FrameScene::Frame()->GetMainDevice();
    const auto frames = device->GetFrameCount();
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        ComputeSeries(
            0.0, Positions(), {}, [&shown](size_t) { ++shown; }, interval);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        headless += HeadlessSeconds();
        state.ResumeTiming();
    }
    const double rate = state.iterations() * kPositions / seconds;
    state.counters["positions_per_s"] = rate;
    state.counters["shown_per_series"] = static_cast<double>(shown) / state.iterations();
    state.counters["frames_per_series"] =
        static_cast<double>(device->GetFrameCount() - frames) / state.iterations();
    // The same positions in both: the ratio of the rates is that of the
    // times, the other way round.
    state.counters["of_headless"] = headless / seconds;
    state.SetLabel(state.range(2) == 0   ? "every position"
                   : state.range(2) == 1 ? "every 100 ms"
                                         : "at the end");
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
        for (int paced : {0, 1, 2})
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
