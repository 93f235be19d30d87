#include "TestMeshes.h"

#include <algorithm>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

void BuildUnitCube(KorMesh& mesh, bool reversed)
{
    for (int i = 0; i < 8; ++i)
        mesh.AddVertex(static_cast<double>(i & 1), static_cast<double>((i >> 1) & 1),
                       static_cast<double>((i >> 2) & 1));
    const int rings[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {3, 2, 6, 7}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& r : rings)
    {
        if (reversed)
            mesh.AddFace(4, r[3], r[2], r[1], r[0]);
        else
            mesh.AddFace(4, r[0], r[1], r[2], r[3]);
    }
}

void BuildTetrahedron(KorMesh& mesh, double a, double b, double c)
{
    mesh.AddVertex(0.0, 0.0, 0.0);
    mesh.AddVertex(a, 0.0, 0.0);
    mesh.AddVertex(0.0, b, 0.0);
    mesh.AddVertex(0.0, 0.0, c);
    mesh.AddFace(3, 0, 2, 1);
    mesh.AddFace(3, 0, 3, 2);
    mesh.AddFace(3, 0, 1, 3);
    mesh.AddFace(3, 1, 2, 3);
}

void BuildIcosphere(KorMesh& mesh, int levels)
{
    const double t = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<LumPoint> points = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
                                    {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
                                    {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (LumPoint& p : points)
        Normalize(p);
    std::vector<std::vector<int>> faces = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                                           {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                                           {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                                           {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    for (int level = 0; level < levels; ++level)
    {
        std::map<std::pair<int, int>, int> middles;
        auto middle = [&](int a, int b)
        {
            const std::pair<int, int> key(std::min(a, b), std::max(a, b));
            auto found = middles.find(key);
            if (found != middles.end())
                return found->second;
            LumPoint m = (points[a] + points[b]) * 0.5;
            Normalize(m);
            points.push_back(m);
            const int id = static_cast<int>(points.size()) - 1;
            middles[key] = id;
            return id;
        };
        std::vector<std::vector<int>> split;
        for (const auto& f : faces)
        {
            const int ab = middle(f[0], f[1]), bc = middle(f[1], f[2]), ca = middle(f[2], f[0]);
            split.push_back({f[0], ab, ca});
            split.push_back({f[1], bc, ab});
            split.push_back({f[2], ca, bc});
            split.push_back({ab, bc, ca});
        }
        faces.swap(split);
    }
    for (const LumPoint& p : points)
        mesh.AddVertex(p);
    for (const auto& f : faces)
        mesh.AddFace(3, f[0], f[1], f[2]);
}

void BuildGrid(KorMesh& mesh, int nx, int ny, double originX, double originY)
{
    const int first = mesh.GetVertexVectorSize();
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            mesh.AddVertex(originX + i, originY + j, 0.1 * i * j);
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i)
        {
            const int a = first + j * nx + i, b = a + 1, c = a + nx + 1, d = a + nx;
            mesh.AddFace(3, a, b, c);
            mesh.AddFace(3, a, c, d);
        }
}

std::vector<LumPoint> RandomSimplePolygon(std::mt19937& rng, int n)
{
    std::uniform_real_distribution<double> coord(0.0, 10.0);
    std::vector<LumPoint> p;
    for (int i = 0; i < n; ++i)
        p.emplace_back(coord(rng), coord(rng), 0.0);
    const auto turn = [](const LumPoint& a, const LumPoint& b, const LumPoint& c)
    { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    const auto cross = [&turn](const LumPoint& a, const LumPoint& b, const LumPoint& c, const LumPoint& d)
    { return turn(a, b, c) * turn(a, b, d) < 0.0 && turn(c, d, a) * turn(c, d, b) < 0.0; };
    for (bool changed = true; changed;)
    {
        changed = false;
        for (int i = 0; i < n; ++i)
            for (int j = i + 2; j < n; ++j)
                if (!(i == 0 && j == n - 1) && cross(p[i], p[i + 1], p[j], p[(j + 1) % n]))
                {
                    std::reverse(p.begin() + i + 1, p.begin() + j + 1);
                    changed = true;
                }
    }
    return p;
}
