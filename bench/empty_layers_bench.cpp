// A project of 10^4 layers without any point (about 3 MB on disk), a
// polyline axis along +Y and the constructor head at its middle: opened
// and its excavation computed once per iteration, headless, as the 3D
// view's first frame does. A layer without surface costs its empty meshes
// and no altitude grid: the peak is to stay under 200 MB.
//
// The project is written by a child process. Counters: the resident size
// before the first open (rss_before_MB), the process's peak resident size
// after the last computation (peak_RSS_MB), and the computation's failure
// flag (errors, expected 0: the head meets no layer, each holds 0).
#include "Axe.h"
#include "Excavation.h"
#include "ProjetOVX.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
constexpr int kLayers = 10000;

double PeakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double CurrentRssMB()
{
    std::ifstream in("/proc/self/statm");
    long pages = 0, resident = 0;
    in >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Writes the project from a child process, so that what building it took
// stays out of this process's peak; returns its path.
std::string EmptyLayersProject()
{
    const std::string path = "/tmp/empty_layers_bench_" + std::to_string(getpid()) + ".ovx";
    const pid_t child = fork();
    if (child == 0)
    {
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
        axe.SetHeadPositionAtDistance(200.0);
        for (int i = 0; i < kLayers; ++i)
            gProjet.AddCouche("Couche" + std::to_string(i), static_cast<unsigned>(i));
        gProjet.Nom = path;
        _exit(gProjet.Save() ? 0 : 1);
    }
    int status = 1;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::abort();
    return path;
}

void BM_OpenAndComputeEmptyLayers(benchmark::State& state)
{
    const std::string path = EmptyLayersProject();
    const double before = CurrentRssMB();
    int errors = 0;
    for (auto _ : state)
    {
        gProjet.Open(path);
        if (gProjet.GetNumberOfCouches() != kLayers)
            state.SkipWithError("the project did not open");
        ComputeExcavation();
        errors += gCalculationErrors;
        benchmark::DoNotOptimize(gResults.Volumes.data());
        gProjet.Close();
    }
    std::remove(path.c_str());
    state.counters["layers"] = kLayers;
    state.counters["rss_before_MB"] = before;
    state.counters["peak_RSS_MB"] = PeakRssMB();
    state.counters["errors"] = errors;
}
} // namespace

BENCHMARK(BM_OpenAndComputeEmptyLayers)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
