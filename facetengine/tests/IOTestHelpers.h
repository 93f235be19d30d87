#pragma once

#include "KorMesh.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

// Files and mesh views shared by the reader and writer tests.

// CTest runs every test in its own process, side by side with the whole
// binary's run: the process id keeps their files apart.
inline std::string TempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("vorn_io_" + std::to_string(getpid()) + "_" + name))
        .string();
}

inline std::string WriteTemp(const std::string& name, const std::string& bytes)
{
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

inline std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string DataPath(const std::string& name)
{
    return std::string(VORN_TEST_DATA) + "/" + name;
}

// Paths a reader must refuse with one line instead of reading: a folder, an
// endless device, a pipe nobody writes to (opening it for reading would wait
// for a writer), and a regular file whose first read fails.
inline std::vector<std::pair<std::string, std::string>> UnreadablePaths()
{
    const std::string folder = TempPath("folder.in");
    std::filesystem::create_directories(folder);
    const std::string fifo = TempPath("pipe.in");
    std::filesystem::remove(fifo);
    mkfifo(fifo.c_str(), 0600);
    return {{"folder", folder},
            {"endless device", "/dev/zero"},
            {"pipe", fifo},
            {"read error", "/proc/self/mem"}};
}

// Number texts that read as no finite double.
inline const std::vector<std::string>& NonFiniteTexts()
{
    static const std::vector<std::string> texts = {"nan", "inf", "-inf", "1e999", "1e309"};
    return texts;
}

using Position = std::tuple<double, double, double>;
using Triangle = std::array<Position, 3>;

// Every face fanned from its first corner, each triangle rotated so that its
// smallest corner comes first (orientation kept), the whole list sorted: two
// meshes with the same oriented surface and fans give the same list.
inline std::vector<Triangle> FanTriangles(const KorMesh& mesh)
{
    std::vector<Triangle> out;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = mesh.GetFace(id);
        if (!f)
            continue;
        std::vector<int> v;
        mesh.GetFaceVertices(f, v);
        auto pos = [&](int k)
        {
            const KorVertex* p = mesh.GetVertex(v[static_cast<size_t>(k)]);
            return Position(p->X, p->Y, p->Z);
        };
        for (size_t j = 2; j < v.size(); ++j)
        {
            Triangle t = {pos(0), pos(static_cast<int>(j) - 1), pos(static_cast<int>(j))};
            std::rotate(t.begin(), std::min_element(t.begin(), t.end()), t.end());
            out.push_back(t);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

inline std::vector<Position> VertexPositions(const KorMesh& mesh)
{
    std::vector<Position> out;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            out.emplace_back(v->X, v->Y, v->Z);
    std::sort(out.begin(), out.end());
    return out;
}

inline double Surface(const KorMesh& mesh)
{
    double sum = 0.0;
    for (const Triangle& t : FanTriangles(mesh))
    {
        const LumPoint a(std::get<0>(t[0]), std::get<1>(t[0]), std::get<2>(t[0]));
        const LumPoint b(std::get<0>(t[1]), std::get<1>(t[1]), std::get<2>(t[1]));
        const LumPoint c(std::get<0>(t[2]), std::get<1>(t[2]), std::get<2>(t[2]));
        sum += 0.5 * ((b - a) ^ (c - a)).Norm();
    }
    return sum;
}

// Half-edges without a face: 0 for a closed surface.
inline int BorderHalfEdges(const KorMesh& mesh)
{
    int count = 0;
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        if (const KorEdge* e = mesh.GetEdge(id))
            count += e->Face < 0 ? 1 : 0;
    return count;
}
