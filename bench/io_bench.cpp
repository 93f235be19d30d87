// Reading a Wavefront OBJ terrain of 10^5 and 10^6 triangles: KorOBJ::Load
// (parse into vertices and faces) against tinyobjloader's LoadObj on the same
// file, then the whole import of the program (Load and ConvertToKorMesh).
// Throughput is the file size over the median time; the ratio of the load
// times (ours / tinyobjloader) is printed after the table. tinyobjloader is
// Debian's single-precision build, so it keeps fewer digits than we do.
// Last, the import of n copies of one triangle, as exported soups hold them:
// every face shares all its edges with every other, so the time per face
// ("per_face") shows whether the conversion stays linear in n; and of a
// "book" of n triangles on one edge, which piles up half-edges around the
// edge's two vertices.
#include "KorMesh.h"
#include "KorNumbers.h"
#include "KorOBJ.h"

#include <benchmark/benchmark.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>

namespace
{
// A side x side grid of map-coordinate vertices with a rough surface, split
// into 2 (side - 1)^2 triangles; written once per size.
struct ObjFile
{
    std::string path;
    std::int64_t bytes = 0;
};

const ObjFile& TerrainFile(int faces)
{
    static std::map<int, ObjFile> files;
    ObjFile& f = files[faces];
    if (!f.path.empty())
        return f;
    const int side = static_cast<int>(std::ceil(std::sqrt(faces / 2.0))) + 1;
    f.path = (std::filesystem::temp_directory_path() / ("vorn_io_bench_" + std::to_string(faces) + ".obj"))
                 .string();
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> noise(-0.5, 0.5);
    std::string text = "# terrain\no terrain\n";
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i)
            text += "v " + KorFormatDouble(600000.0 + 2.5 * i + noise(rng) * 0.01) + " " +
                    KorFormatDouble(5100000.0 + 2.5 * j + noise(rng) * 0.01) + " " +
                    KorFormatFixed(300.0 + 10.0 * std::sin(i * 0.05) + noise(rng), 3) + "\n";
    int written = 0;
    for (int j = 0; j + 1 < side && written < faces; ++j)
        for (int i = 0; i + 1 < side && written < faces; ++i)
        {
            const int a = j * side + i + 1, b = a + 1, c = a + side + 1, d = a + side;
            text += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + "\n";
            text += "f " + std::to_string(a) + " " + std::to_string(c) + " " + std::to_string(d) + "\n";
            written += 2;
        }
    std::ofstream(f.path, std::ios::binary) << text;
    f.bytes = static_cast<std::int64_t>(text.size());
    return f;
}

void BM_Load_Kor(benchmark::State& state)
{
    const ObjFile& f = TerrainFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        KorOBJ obj;
        if (!obj.Load(f.path))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(obj.GetFaces().data());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_Load_TinyObj(benchmark::State& state)
{
    const ObjFile& f = TerrainFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        tinyobj::attrib_t attrib;
        std::vector<tinyobj::shape_t> shapes;
        std::vector<tinyobj::material_t> materials;
        std::string warn, err;
        if (!tinyobj::LoadObj(&attrib, &shapes, &materials, &warn, &err, f.path.c_str(), nullptr, false))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(attrib.vertices.data());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

void BM_LoadAndConvert_Kor(benchmark::State& state)
{
    const ObjFile& f = TerrainFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
    {
        KorOBJ obj;
        KorMesh mesh;
        if (!obj.Load(f.path) || !obj.ConvertToKorMesh(mesh))
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(mesh.GetNumberOfFaces());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
}

// n copies of "f 1 2 3" on three vertices; written once per n.
const ObjFile& DuplicateFacesFile(int faces)
{
    static std::map<int, ObjFile> files;
    ObjFile& f = files[faces];
    if (!f.path.empty())
        return f;
    f.path =
        (std::filesystem::temp_directory_path() / ("vorn_io_bench_dup_" + std::to_string(faces) + ".obj"))
            .string();
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int k = 0; k < faces; ++k)
        text += "f 1 2 3\n";
    std::ofstream(f.path, std::ios::binary) << text;
    f.bytes = static_cast<std::int64_t>(text.size());
    return f;
}

// All copies but two are refused, each with its line on standard output:
// standard output is muted here so the terminal does not set the pace.
void BM_LoadAndConvertDuplicates_Kor(benchmark::State& state)
{
    const int faces = static_cast<int>(state.range(0));
    const ObjFile& f = DuplicateFacesFile(faces);
    std::streambuf* const saved = std::cout.rdbuf(nullptr);
    for (auto _ : state)
    {
        KorOBJ obj;
        KorMesh mesh;
        if (!obj.Load(f.path))
            state.SkipWithError("load failed");
        obj.ConvertToKorMesh(mesh); // false: the copies beyond two are refused
        if (mesh.GetNumberOfFaces() != 2)
            state.SkipWithError("unexpected face count");
    }
    std::cout.rdbuf(saved);
    state.counters["per_face"] = benchmark::Counter(faces, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}

// n triangles (1, 2, k), k = 3 .. n + 2, on n + 2 vertices; written once per n.
const ObjFile& BookFile(int faces)
{
    static std::map<int, ObjFile> files;
    ObjFile& f = files[faces];
    if (!f.path.empty())
        return f;
    f.path =
        (std::filesystem::temp_directory_path() / ("vorn_io_bench_book_" + std::to_string(faces) + ".obj"))
            .string();
    std::string text = "v 0 0 0\nv 1 0 0\n";
    for (int k = 0; k < faces; ++k)
        text += "v 0.5 " + KorFormatDouble(std::cos(k * 0.001)) + " " + KorFormatDouble(std::sin(k * 0.001)) +
                "\n";
    for (int k = 3; k < faces + 3; ++k)
        text += "f 1 2 " + std::to_string(k) + "\n";
    std::ofstream(f.path, std::ios::binary) << text;
    f.bytes = static_cast<std::int64_t>(text.size());
    return f;
}

// Two pages are kept (the second on the twins); every other is refused with
// its line, and leaves two new half-edge pairs at the edge's ends.
void BM_LoadAndConvertBook_Kor(benchmark::State& state)
{
    const int faces = static_cast<int>(state.range(0));
    const ObjFile& f = BookFile(faces);
    std::streambuf* const saved = std::cout.rdbuf(nullptr);
    for (auto _ : state)
    {
        KorOBJ obj;
        KorMesh mesh;
        if (!obj.Load(f.path))
            state.SkipWithError("load failed");
        obj.ConvertToKorMesh(mesh); // false: the pages beyond two are refused
        if (mesh.GetNumberOfFaces() != 2)
            state.SkipWithError("unexpected face count");
    }
    std::cout.rdbuf(saved);
    state.counters["per_face"] = benchmark::Counter(faces, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}

BENCHMARK(BM_Load_Kor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_TinyObj)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndConvert_Kor)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndConvertDuplicates_Kor)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndConvertBook_Kor)
    ->Arg(10000)
    ->Arg(20000)
    ->Arg(40000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);

// The console table, then "Load/<faces>: ours / tinyobjloader = ratio", from
// the median aggregate when there is one, else from the single run.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
        {
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (single || r.aggregate_name == "median")
                m_times[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedRealTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto& [name, time] : m_times)
        {
            if (name.rfind("BM_Load_Kor/", 0) != 0)
                continue;
            const std::string size = name.substr(name.find('/') + 1);
            const auto peer = m_times.find("BM_Load_TinyObj/" + size);
            if (peer != m_times.end() && peer->second > 0)
                std::cout << "Load/" << size
                          << ": ours / tinyobjloader = " << KorFormatFixed(time / peer->second, 2) << "\n";
        }
    }

private:
    std::map<std::string, double> m_times;
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
