// Reading the XML form of grid meshes of 10^4, 10^5 and 10^6 vertices
// (about 2 faces and 6 half-edges a vertex, map coordinates): the text is
// parsed and the mesh rebuilt with KorMesh::FromXML. Reading is linear when
// the time per vertex stays flat across the sizes. peak_MB is the process's
// high-water mark, which includes building and writing the document: run
// one size per process (--benchmark_filter=.../1000) to get that size's.
// Writing is measured alongside, and the rebuild alone from a parsed tree.

#include "KorMesh.h"
#include "XMLNode.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace
{
void BuildGrid(KorMesh& mesh, int n)
{
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
            mesh.AddVertex(6612345.678 + i * 1.25, 2123456.789 + j * 1.25,
                           512.25 + 0.01 * ((i * 7 + j * 3) % 100));
    for (int j = 0; j + 1 < n; ++j)
        for (int i = 0; i + 1 < n; ++i)
        {
            const int a = j * n + i, b = a + 1, c = a + n + 1, d = a + n;
            mesh.AddFace(3, a, b, c);
            mesh.AddFace(3, a, c, d);
        }
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// The XML file of the grid of each side, written once (the mesh and the
// tree used to write it are freed before reading starts).
std::map<int, std::string> gPaths;

const std::string& Document(int side)
{
    std::map<int, std::string>& paths = gPaths;
    auto found = paths.find(side);
    if (found != paths.end())
        return found->second;
    const std::string path =
        (std::filesystem::temp_directory_path() /
         ("mesh_io_bench_" + std::to_string(getpid()) + "_" + std::to_string(side) + ".xml"))
            .string();
    {
        KorMesh mesh;
        BuildGrid(mesh, side);
        XMLNode top = XMLNode::createXMLTopNode("Couche");
        XMLNode element = top.addChild("Maillage");
        mesh.ToXML(element);
        top.writeToFile(path, nullptr, 0);
    }
    return paths[side] = path;
}

void SetCounters(benchmark::State& state, int side)
{
    const double vertices = static_cast<double>(side) * side;
    state.counters["vertices"] = vertices;
    state.counters["ns_per_vertex"] = benchmark::Counter(
        vertices * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_MB"] = PeakMegabytes();
}

// Parsing the file and rebuilding the mesh.
void BM_ReadMeshXML(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    const std::string& path = Document(side);
    for (auto _ : state)
    {
        XMLNode document = XMLNode::parseFile(path);
        KorMesh mesh;
        mesh.FromXML(document.getChildNode(0).getChildNode(0));
        if (mesh.GetNumberOfVertices() != side * side)
            state.SkipWithError("wrong vertex count");
        benchmark::DoNotOptimize(mesh);
    }
    SetCounters(state, side);
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    state.counters["xml_MB"] = static_cast<double>(file.tellg()) / 1048576.0;
}

void BM_FromXMLOnly(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    XMLNode document = XMLNode::parseFile(Document(side));
    const XMLNode element = document.getChildNode(0).getChildNode(0);
    for (auto _ : state)
    {
        KorMesh mesh;
        mesh.FromXML(element);
        benchmark::DoNotOptimize(mesh);
    }
    SetCounters(state, side);
}

void BM_WriteMeshXML(benchmark::State& state)
{
    const int side = static_cast<int>(state.range(0));
    KorMesh mesh;
    BuildGrid(mesh, side);
    for (auto _ : state)
    {
        XMLNode top = XMLNode::createXMLTopNode("Maillage");
        mesh.ToXML(top);
        benchmark::DoNotOptimize(top);
    }
    SetCounters(state, side);
}
} // namespace

// The files are removed when the program ends.
struct RemoveFiles
{
    ~RemoveFiles()
    {
        for (const auto& written : gPaths)
            std::remove(written.second.c_str());
    }
} gRemoveFiles;

// Sides 100, 317 and 1000: 10^4, about 10^5 and 10^6 vertices.
BENCHMARK(BM_ReadMeshXML)->Arg(100)->Arg(317)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromXMLOnly)->Arg(100)->Arg(317)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteMeshXML)->Arg(100)->Arg(317)->Arg(1000)->Unit(benchmark::kMillisecond);
