// Layers of the project model.
//
// Altitude: 10^4 random GetAltitude queries on a layer of about 2 x 10^4
// and 2 x 10^6 faces (random points in a 1000 x 1000 square), through the
// altitude grid's face queries, against the literal scan of every face in identifier order.
// The scan costs O(faces) per query, so it runs a sample of the queries
// (all of them on the small layer, 20 on the large one); every sampled
// query is asserted to give the face the grid finds. per_query is the time of
// one query.
//
// Open and Save: a project of 5 layers of 5 x 10^4 vertices each, 20 closed
// level lines of 100 points per layer, triangulated, saved and opened.
// peak_RSS_MB is the process's peak resident size so far.
#include "Couche.h"
#include "LigneNiveau.h"
#include "ProjetOVX.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace
{
double PeakRssMB()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One layer of n random points, triangulated, kept per size for the run.
Couche& RandomLayer(int n)
{
    static std::map<int, std::unique_ptr<Couche>> layers;
    std::unique_ptr<Couche>& layer = layers[n];
    if (!layer)
    {
        layer = std::make_unique<Couche>("Bench");
        std::mt19937 rng(18);
        std::uniform_real_distribution<double> u(0.0, 1000.0);
        for (int i = 0; i < n; ++i)
        {
            const double x = u(rng), y = u(rng);
            layer->AddPoint(LumPoint(x, y, std::sin(x / 50.0) * 20.0 + y / 10.0), 1, 0, false, false);
        }
        layer->Triangulate();
    }
    return *layer;
}

std::vector<std::pair<double, double>> Queries(int count)
{
    std::mt19937 rng(1818);
    std::uniform_real_distribution<double> u(-10.0, 1010.0);
    std::vector<std::pair<double, double>> out(static_cast<size_t>(count));
    for (auto& q : out)
        q = {u(rng), u(rng)};
    return out;
}

void BM_AltitudeIndexed(benchmark::State& state)
{
    Couche& layer = RandomLayer(static_cast<int>(state.range(0)));
    const auto queries = Queries(10000);
    double z = 0.0;
    layer.GetFaceAt(0.0f, 0.0f); // builds the shape and its grid
    for (auto _ : state)
        for (const auto& [x, y] : queries)
            benchmark::DoNotOptimize(layer.GetAltitude(x, y, z));
    state.counters["faces"] = layer.GetMesh().GetNumberOfFaces();
    state.counters["per_query"] =
        benchmark::Counter(static_cast<double>(queries.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_AltitudeScan(benchmark::State& state)
{
    Couche& layer = RandomLayer(static_cast<int>(state.range(0)));
    const int sample = layer.GetMesh().GetNumberOfFaces() > 100000 ? 20 : 10000;
    const auto queries = Queries(sample);
    for (const auto& [x, y] : queries)
        if (layer.GetFaceAtByScan(static_cast<float>(x), static_cast<float>(y)) !=
            layer.GetFaceAt(static_cast<float>(x), static_cast<float>(y)))
        {
            state.SkipWithError("the grid and the scan disagree");
            return;
        }
    for (auto _ : state)
        for (const auto& [x, y] : queries)
            benchmark::DoNotOptimize(layer.GetFaceAtByScan(static_cast<float>(x), static_cast<float>(y)));
    state.counters["faces"] = layer.GetMesh().GetNumberOfFaces();
    state.counters["per_query"] =
        benchmark::Counter(static_cast<double>(queries.size()),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Fills gProjet with the 5 layers once and saves it; returns its path.
const std::string& BigProject()
{
    static std::string path;
    if (!path.empty())
        return path;
    path = "/tmp/layer_bench_" + std::to_string(getpid()) + ".ovx";
    gProjet.Close(); // the reset values: scale 100
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0.0, 1000.0);
    for (int i = 0; i < 5; ++i)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(i), static_cast<unsigned>(i));
        const double base = -10.0 * i;
        for (int k = 0; k < 20; ++k)
        {
            std::vector<float> points;
            const double r = 20.0 + 22.0 * k;
            for (int p = 0; p < 100; ++p)
            {
                const double a = 2.0 * M_PI * p / 100.0;
                points.push_back(static_cast<float>(500.0 + r * std::cos(a)));
                points.push_back(static_cast<float>(500.0 + r * std::sin(a)));
            }
            const int line = layer->AddLigneNiveau(static_cast<float>(base - k), -1, false, &points);
            layer->GetLigneNiveau(line)->Fermee = 1;
        }
        while (layer->GetMesh().GetNumberOfVertices() < 50000)
            layer->AddPoint(LumPoint(u(rng), u(rng), base - 25.0), 1, 0, false, false);
        layer->Triangulate();
    }
    gProjet.Nom = path;
    if (!gProjet.Save())
        std::abort();
    return path;
}

void BM_ProjectSave(benchmark::State& state)
{
    BigProject();
    for (auto _ : state)
        if (!gProjet.Save())
            state.SkipWithError("save failed");
    std::FILE* f = std::fopen(gProjet.Nom.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    state.counters["file_MB"] = static_cast<double>(std::ftell(f)) / (1024.0 * 1024.0);
    std::fclose(f);
    state.counters["peak_RSS_MB"] = PeakRssMB();
}

void BM_ProjectOpen(benchmark::State& state)
{
    const std::string path = BigProject();
    for (auto _ : state)
    {
        gProjet.GetUndoManager().SetSaved(true);
        gProjet.Open(path);
        if (gProjet.Nom != path || gProjet.GetNumberOfCouches() != 5)
            state.SkipWithError("open failed");
    }
    state.counters["peak_RSS_MB"] = PeakRssMB();
}
} // namespace

BENCHMARK(BM_AltitudeIndexed)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AltitudeScan)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSave)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ProjectOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(("/tmp/layer_bench_" + std::to_string(getpid()) + ".ovx").c_str());
    return 0;
}
