#include "KorComparators.h"
#include "KorMesh.h"
#include "KorSort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

namespace
{
// Integer coordinates in 0..4: many ties on every axis.
KorMesh RandomGridPoints(unsigned seed, int count)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(0, 4);
    KorMesh m;
    for (int i = 0; i < count; ++i)
        m.AddVertex(coord(rng), coord(rng), coord(rng));
    return m;
}

double Axis(const KorVertex& v, int axis)
{
    return axis == 0 ? v.X : (axis == 1 ? v.Y : v.Z);
}

std::vector<int> SortedIds(const std::vector<KorVertex>& vs)
{
    std::vector<int> ids;
    for (const KorVertex& v : vs)
        ids.push_back(v.ID);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<int> FirstIds(int count)
{
    std::vector<int> ids(static_cast<size_t>(count));
    std::iota(ids.begin(), ids.end(), 0);
    return ids;
}
} // namespace

TEST(KorMeshSort, AxisPairsFromTheTable)
{
    // first -> (primary, secondary) axes, including out-of-range seconds.
    struct Case
    {
        int first, second, primary, secondary;
    };
    const Case cases[] = {{0, 0, 0, 1}, {0, 1, 0, 1}, {0, 2, 0, 2}, {0, 9, 0, 2}, {1, 0, 1, 0}, {1, 1, 1, 0},
                          {1, 2, 1, 2}, {2, 0, 2, 0}, {2, 2, 2, 0}, {2, 1, 2, 1}, {2, 7, 2, 1}};
    const KorMesh grid = RandomGridPoints(7, 400);
    std::vector<KorVertex> out;
    for (const Case& c : cases)
    {
        grid.SortVertices(out, static_cast<KorMesh::eOrientation>(c.first),
                          static_cast<KorMesh::eOrientation>(c.second));
        ASSERT_EQ(SortedIds(out), FirstIds(400));
        for (size_t i = 1; i < out.size(); ++i)
        {
            const double p0 = Axis(out[i - 1], c.primary), p1 = Axis(out[i], c.primary);
            ASSERT_LE(p0, p1) << c.first << "," << c.second;
            if (p0 == p1)
            {
                ASSERT_LE(Axis(out[i - 1], c.secondary), Axis(out[i], c.secondary))
                    << c.first << "," << c.second;
            }
        }
    }
}

TEST(KorMeshSort, UnknownFirstAxisReportsAndKeepsIdentifierOrder)
{
    const KorMesh m = RandomGridPoints(3, 20);
    std::vector<KorVertex> out;
    testing::internal::CaptureStdout();
    m.SortVertices(out, static_cast<KorMesh::eOrientation>(3), KorMesh::X_AXIS);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorMesh::SortVertices -> Impossible to find the orientation : sorting impossible\n");
    std::vector<int> ids;
    for (const KorVertex& v : out)
        ids.push_back(v.ID);
    EXPECT_EQ(ids, FirstIds(20));
}

TEST(KorMeshSort, DistanceSortsRespectTheToleranceRule)
{
    KorMesh m;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> coord(-10, 10);
    for (int i = 0; i < 300; ++i)
        m.AddVertex(coord(rng), coord(rng), coord(rng));
    // Two vertices whose distances differ by less than the tolerance.
    m.AddVertex(1.000005, 0, 0);
    m.AddVertex(1.0, 0, 0);
    m.DeleteVertex(17);
    m.AddFace(3, 0, 1, 2);
    const LumPoint p(0, 0, 0);
    const auto dist = [&p](double x, double y, double z) { return (LumPoint(x, y, z) - p).Norm(); };

    std::vector<KorVertex> out;
    m.SortVerticesFromPoint(out, p);
    ASSERT_EQ(out.size(), 301u);
    // Farther vertices come after (by more than 1e-5, by any amount here).
    for (size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(dist(out[i - 1].X, out[i - 1].Y, out[i - 1].Z), dist(out[i].X, out[i].Y, out[i].Z));

    std::vector<KorEdge*> edges;
    m.SortEdgesFromPoint(edges, p);
    ASSERT_EQ(edges.size(), 6u);
    for (size_t i = 1; i < edges.size(); ++i)
    {
        const KorVertex* a = m.GetVertex(edges[i - 1]->Vertex);
        const KorVertex* b = m.GetVertex(edges[i]->Vertex);
        ASSERT_LE(dist(a->X, a->Y, a->Z), dist(b->X, b->Y, b->Z));
    }

    KorMesh one;
    one.AddVertex(3, 3, 3);
    one.SortVerticesFromPoint(out, p);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].X, 3.0);
}

TEST(KorMeshSort, FusionComparatorIsTolerantPerCoordinate)
{
    const KorVertex a(0, 0, 0), b(0.000009, 5, 0);
    EXPECT_LT(CompareVerticesForFusion(a, b), 0); // X within 1e-5: Y decides
    EXPECT_GT(CompareVerticesForFusion(b, a), 0);
    EXPECT_EQ(CompareVerticesForFusion(KorVertex(1, 2, 3), KorVertex(1 + 9e-6, 2 - 9e-6, 3 + 9e-6)), 0);
    EXPECT_GT(CompareVerticesForFusion(KorVertex(1 + 2e-5, 0, 0), KorVertex(1, 9, 9)), 0);
}

// Clusters of near-coincident vertices (spread below the tolerance) on a
// coarse grid end side by side, clusters in lexicographic order.
TEST(KorMeshSort, MergeSortBringsCoincidentVerticesTogether)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> cell(0, 3);
    std::uniform_real_distribution<double> jitter(-4e-6, 4e-6);
    std::vector<KorVertex> vs;
    for (int i = 0; i < 2000; ++i)
    {
        KorVertex v(cell(rng) + jitter(rng), cell(rng) + jitter(rng), cell(rng) + jitter(rng));
        v.ID = i;
        vs.push_back(v);
    }
    KorMergeSort(vs, CompareVerticesForFusion);
    ASSERT_EQ(vs.size(), 2000u);
    const auto key = [](const KorVertex& v)
    { return std::lround(v.X) * 16 + std::lround(v.Y) * 4 + std::lround(v.Z); };
    for (size_t i = 1; i < vs.size(); ++i)
        ASSERT_LE(key(vs[i - 1]), key(vs[i]));
    EXPECT_EQ(SortedIds(vs), FirstIds(2000));
}

// A comparator that answers at random is no order at all; the sort must still
// stay inside the array and return a permutation (the sanitizers watch).
TEST(KorMeshSort, MergeSortSurvivesAComparatorThatIsNoOrder)
{
    std::mt19937 rng(9);
    for (size_t n : {0u, 1u, 2u, 15u, 16u, 17u, 33u, 1000u})
    {
        std::vector<int> items = FirstIds(static_cast<int>(n));
        KorMergeSort(items, [&rng](int, int) { return static_cast<int>(rng() % 3) - 1; });
        std::sort(items.begin(), items.end());
        EXPECT_EQ(items, FirstIds(static_cast<int>(n))) << n;
    }
    std::vector<double> withNaN = {3, NAN, 1, 2, NAN, 0};
    KorMergeSort(withNaN, [](double a, double b) { return a < b ? -1 : (b < a ? 1 : 0); });
    EXPECT_EQ(withNaN.size(), 6u);
}

TEST(KorMeshSort, MergeSortIsStableAndOrdersLargeInputs)
{
    std::mt19937 rng(2);
    std::vector<std::pair<int, int>> items;
    for (int i = 0; i < 5000; ++i)
        items.push_back({static_cast<int>(rng() % 50), i});
    KorMergeSort(items, [](const std::pair<int, int>& a, const std::pair<int, int>& b)
                 { return a.first - b.first; });
    for (size_t i = 1; i < items.size(); ++i)
    {
        ASSERT_LE(items[i - 1].first, items[i].first);
        if (items[i - 1].first == items[i].first)
        {
            ASSERT_LT(items[i - 1].second, items[i].second);
        }
    }
}
