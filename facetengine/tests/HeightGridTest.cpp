#include "HeightGrid.h"
#include "KorBoundingBox.h"
#include "KorMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace
{
double Ground(double x, double y)
{
    return 0.3 * x - 0.2 * y + 4.0 * std::sin(x / 7.0) * std::cos(y / 11.0);
}

bool InBoxes(const std::vector<LumPoint>& boxes, double x, double y)
{
    for (size_t k = 0; k + 1 < boxes.size(); k += 2)
        if (x >= boxes[k].x && x <= boxes[k + 1].x && y >= boxes[k].y && y <= boxes[k + 1].y)
            return true;
    return false;
}

// A surface over [-100, 100]^2: Ground sampled every 4 units, each square
// cut along its diagonal from (i, j) to (i + 1, j + 1).
constexpr int kSide = 50;
constexpr double kStep = 4.0;

// The altitude of that surface at a plan point inside it.
double SurfaceAt(double x, double y)
{
    const double gx = (x + 100.0) / kStep, gy = (y + 100.0) / kStep;
    const int i = std::min(static_cast<int>(gx), kSide - 1), j = std::min(static_cast<int>(gy), kSide - 1);
    const double fx = gx - i, fy = gy - j;
    const auto z = [](int a, int b) { return Ground(-100.0 + a * kStep, -100.0 + b * kStep); };
    if (fx >= fy)
        return z(i, j) + fx * (z(i + 1, j) - z(i, j)) + fy * (z(i + 1, j + 1) - z(i + 1, j));
    return z(i, j) + fy * (z(i, j + 1) - z(i, j)) + fx * (z(i + 1, j + 1) - z(i, j + 1));
}

// That surface.
void BuildSurface(KorMesh& surface)
{
    for (int j = 0; j <= kSide; ++j)
        for (int i = 0; i <= kSide; ++i)
        {
            const double x = -100.0 + i * kStep, y = -100.0 + j * kStep;
            surface.AddVertex(LumPoint(x, y, Ground(x, y)));
        }
    for (int j = 0; j < kSide; ++j)
        for (int i = 0; i < kSide; ++i)
        {
            const int v = j * (kSide + 1) + i;
            surface.AddFace(std::vector<int>{v, v + 1, v + kSide + 2});
            surface.AddFace(std::vector<int>{v, v + kSide + 2, v + kSide + 1});
        }
}

// The region must hold every plan point where a triangle comes within the
// tolerance of the surface: random triangles, small and long, some upright,
// and bent squares, each sampled densely against the surface's own altitude
// there. A walk along a square follows the plane of its first three
// corners: that plane over the square is sampled too.
TEST(HeightGridTest, RegionHoldsEveryPointWhereATriangleMeetsTheSurface)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    KorMesh surface;
    BuildSurface(surface);
    KorBoundingBox box;
    box.Define(surface);
    HeightGrid grid;
    grid.Build(surface, box, 128);
    const double tolerance = 0.1;
    int met = 0;
    for (int t = 0; t < 200; ++t)
    {
        KorMesh head;
        const LumPoint c(160.0 * unit(random) - 80.0, 160.0 * unit(random) - 80.0, 0.0);
        std::vector<int> ids;
        if (t % 4 == 0)
        {
            // A square bent across its diagonal from corner 0 to 2: its
            // first plane meets the surface along the middle of the square,
            // where its second triangle stands far above.
            const double h = 5.0 + 25.0 * unit(random);
            const double square[4][3] = {{-h, -h, 2.0}, {h, -h, 2.0}, {h, h, -2.0}, {-h, h, 200.0}};
            for (const auto& [dx, dy, dz] : square)
                ids.push_back(head.AddVertex(LumPoint(c.x + dx, c.y + dy, Ground(c.x + dx, c.y + dy) + dz)));
        }
        for (int k = 0; t % 4 != 0 && k < 3; ++k)
        {
            const double reach = t % 3 == 0 ? 60.0 : 8.0;
            double x = c.x + reach * (unit(random) - 0.5), y = c.y + reach * (unit(random) - 0.5);
            if (t % 5 == 1 && k == 2) // upright: the third corner above the first
                x = head.GetVertex(ids[0])->X, y = head.GetVertex(ids[0])->Y;
            ids.push_back(head.AddVertex(LumPoint(x, y, Ground(x, y) + 6.0 * (unit(random) - 0.5))));
        }
        head.AddFace(ids);
        std::vector<LumPoint> boxes, polygon;
        const bool any = grid.MeetingRegion(head, tolerance, boxes);
        head.GetFacePoints(head.GetFace(0), polygon);
        for (size_t k = 1; k + 1 < polygon.size(); ++k)
            for (int s = 0; s <= 40; ++s)
                for (int r = 0; r <= 40 - s; ++r)
                {
                    const double u = s / 40.0, v = r / 40.0;
                    const LumPoint& a = polygon[0];
                    const LumPoint p = a + (polygon[k] - a) * u + (polygon[k + 1] - a) * v;
                    if (std::max(std::fabs(p.x), std::fabs(p.y)) > 100.0)
                        continue;
                    const LumPoint n = (polygon[1] - a) ^ (polygon[2] - a);
                    const double lifted =
                        std::fabs(n.z) > 1e-9 ? a.z - (n.x * (p.x - a.x) + n.y * (p.y - a.y)) / n.z : p.z;
                    const double ground = SurfaceAt(p.x, p.y);
                    if (std::fabs(p.z - ground) > tolerance && std::fabs(lifted - ground) > tolerance)
                        continue;
                    ++met;
                    ASSERT_TRUE(any && InBoxes(boxes, p.x, p.y))
                        << "triangle " << t << " at " << p.x << ", " << p.y;
                }
    }
    EXPECT_GT(met, 1000);
}

// The cells are worked out by block as queries reach them: a query's region
// does not depend on the queries made before it. Random triangles, small
// and long, asked of one grid in turn and of another in the reverse order.
TEST(HeightGridTest, RegionDoesNotDependOnTheQueriesBefore)
{
    KorMesh surface;
    BuildSurface(surface);
    KorBoundingBox box;
    box.Define(surface);
    HeightGrid forward, backward;
    forward.Build(surface, box, 32);
    backward.Build(surface, box, 32);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<KorMesh> heads(60);
    for (size_t t = 0; t < heads.size(); ++t)
    {
        const double cx = 160.0 * unit(random) - 80.0, cy = 160.0 * unit(random) - 80.0;
        const double reach = t % 3 == 0 ? 120.0 : 10.0;
        std::vector<int> ids;
        for (int k = 0; k < 3; ++k)
        {
            const double x = cx + reach * (unit(random) - 0.5), y = cy + reach * (unit(random) - 0.5);
            ids.push_back(heads[t].AddVertex(LumPoint(x, y, Ground(x, y) + 4.0 * (unit(random) - 0.5))));
        }
        heads[t].AddFace(ids);
    }
    std::vector<std::vector<LumPoint>> first(heads.size()), second(heads.size());
    int found = 0;
    for (size_t t = 0; t < heads.size(); ++t)
        found += forward.MeetingRegion(heads[t], 0.1, first[t]);
    for (size_t t = heads.size(); t-- > 0;)
        backward.MeetingRegion(heads[t], 0.1, second[t]);
    EXPECT_GT(found, 30);
    for (size_t t = 0; t < heads.size(); ++t)
    {
        ASSERT_EQ(first[t].size(), second[t].size()) << "triangle " << t;
        for (size_t k = 0; k < first[t].size(); ++k)
        {
            EXPECT_EQ(first[t][k].x, second[t][k].x) << "triangle " << t << " corner " << k;
            EXPECT_EQ(first[t][k].y, second[t][k].y) << "triangle " << t << " corner " << k;
        }
    }
}
} // namespace
