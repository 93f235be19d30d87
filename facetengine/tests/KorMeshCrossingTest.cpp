#include "KorMeshCrossing.h"
#include "KorMeshSplit.h"

#include "KorMesh.h"
#include "KorVertex.h"
#include "MeshChecker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <tuple>

namespace
{
constexpr std::int64_t kSecond = std::int64_t(1) << 40;

// A pit seen from above, every face turning left: a floor of 2a x 2b at
// z = 0, walls of slope 1 up to a brim at `top` reaching out to
// [-far, far]^2.
KorMesh Pit(double a, double b, double top, double far)
{
    KorMesh pit;
    std::map<std::tuple<double, double, double>, int> ids;
    const auto at = [&](double x, double y, double z)
    {
        const auto key = std::make_tuple(x, y, z);
        const auto found = ids.find(key);
        return found != ids.end() ? found->second : ids[key] = pit.AddVertex(x, y, z);
    };
    const double A = a + top, B = b + top;
    const double inner[4][2] = {{-a, -b}, {a, -b}, {a, b}, {-a, b}};
    const double outer[4][2] = {{-A, -B}, {A, -B}, {A, B}, {-A, B}};
    const double edge[4][2] = {{-far, -far}, {far, -far}, {far, far}, {-far, far}};
    pit.AddFace({at(-a, -b, 0), at(a, -b, 0), at(a, b, 0), at(-a, b, 0)});
    for (int k = 0; k < 4; ++k)
    {
        const int n = (k + 1) % 4;
        pit.AddFace({at(outer[k][0], outer[k][1], top), at(outer[n][0], outer[n][1], top),
                     at(inner[n][0], inner[n][1], 0), at(inner[k][0], inner[k][1], 0)});
        pit.AddFace({at(edge[k][0], edge[k][1], top), at(edge[n][0], edge[n][1], top),
                     at(outer[n][0], outer[n][1], top), at(outer[k][0], outer[k][1], top)});
    }
    return pit;
}

// The terrain z(x, y) sampled over [-half, half]^2 (moved by the shift) on
// a grid of unit squares each cut along its rising diagonal.
KorMesh Terrain(double half, double sx, double sy, const std::function<double(double, double)>& z)
{
    KorMesh terrain;
    const int n = static_cast<int>(2 * half);
    const auto id = [n](int i, int j) { return j * (n + 1) + i; };
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i)
        {
            const double x = -half + i + sx, y = -half + j + sy;
            terrain.AddVertex(x, y, z(x, y));
        }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i)
        {
            terrain.AddFace({id(i, j), id(i + 1, j), id(i + 1, j + 1)});
            terrain.AddFace({id(i, j), id(i + 1, j + 1), id(i, j + 1)});
        }
    return terrain;
}

double VolumeOf(const KorMesh& mesh, const std::vector<int>& faces)
{
    KorMesh part;
    mesh.CopyFacesToMesh(faces, part, false);
    return part.GetVolume();
}

struct sResult
{
    bool Found = false, Inserted = false, Classified = false;
    size_t Lines = 0;
    double Volume = 0.0;
};

// The pit cut against the terrain: the terrain over the pit and the pit
// under the terrain close the excavated volume.
sResult Excavate(KorMesh head, KorMesh terrain)
{
    sResult result;
    const KorMesh head0 = head, terrain0 = terrain;
    const KorMeshCrossing::sRanks headRanks, terrainRanks{nullptr, kSecond};
    KorMeshCrossing crossing(head, headRanks, terrain, terrainRanks);
    result.Found = crossing.Find(nullptr);
    if (!result.Found)
        return result;
    for (const KorMeshCrossing::sLine& line : crossing.GetLines())
        EXPECT_TRUE(line.Closed);
    result.Lines = crossing.GetLines().size();
    KorMeshSplit cutHead(head, 0), cutTerrain(terrain, 1);
    result.Inserted =
        cutHead.Insert(crossing.GetLines(), false) && cutTerrain.Insert(crossing.GetLines(), false);
    EXPECT_TRUE(CheckMesh(head));
    EXPECT_TRUE(CheckMesh(terrain));
    if (!result.Inserted)
        return result;
    const auto side = [](KorMesh& mesh, const KorMeshCrossing::sRanks& ranks, const KorMesh& other,
                         const KorMeshCrossing::sRanks& otherRanks, bool up)
    {
        return [&mesh, ranks, &other, otherRanks, up](int v)
        {
            const KorVertex* vertex = mesh.GetVertex(v);
            const LumPoint p(vertex->X, vertex->Y, vertex->Z);
            return KorMeshCrossing::OddCrossings(other, otherRanks, nullptr, sRankedPoint{&p, ranks.Of(v)},
                                                 up);
        };
    };
    result.Classified = cutHead.Classify(side(head, headRanks, terrain0, terrainRanks, true)) &&
                        cutTerrain.Classify(side(terrain, terrainRanks, head0, headRanks, false));
    if (result.Classified)
        result.Volume = std::fabs(VolumeOf(terrain, cutTerrain.FacesOnSide(true)) -
                                  VolumeOf(head, cutHead.FacesOnSide(true)));
    return result;
}

// The terrain with its faces added in another order: the same surface.
KorMesh Shuffled(const KorMesh& mesh, std::mt19937& random)
{
    KorMesh out;
    for (int v = 0; v < mesh.GetVertexVectorSize(); ++v)
    {
        const KorVertex* x = mesh.GetVertex(v);
        out.AddVertex(x->X, x->Y, x->Z);
    }
    std::vector<std::vector<int>> faces;
    std::vector<int> ring;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
        if (mesh.GetFace(f))
        {
            mesh.GetFaceVertices(mesh.GetFace(f), ring);
            faces.push_back(ring);
        }
    std::shuffle(faces.begin(), faces.end(), random);
    for (const std::vector<int>& f : faces)
        out.AddFace(f);
    return out;
}

double Frustum(double a, double b, double c)
{
    return 4.0 * (a * b * c + (a + b) * c * c / 2.0 + c * c * c / 3.0);
}
} // namespace

// The perturbation on points of a small integer grid, where most
// quadruples are degenerate: never 0, a sign change with every swap of two
// points, and a point of lower rank than a triangle it lies in (in plan
// strictly inside) stands above the triangle's plane, one of higher rank
// under it, as though moved up a little.
TEST(KorMeshCrossing, PerturbationSettlesContactsByRank)
{
    std::mt19937 random(5);
    std::uniform_int_distribution<int> coordinate(0, 2);
    for (int trial = 0; trial < 2000; ++trial)
    {
        LumPoint p[4];
        sRankedPoint r[4];
        for (int k = 0; k < 4; ++k)
        {
            p[k] = LumPoint(coordinate(random), coordinate(random), coordinate(random));
            r[k] = sRankedPoint{&p[k], 7 * k + trial % 3};
        }
        const int s = PerturbedOrient3D(r[0], r[1], r[2], r[3]);
        ASSERT_NE(s, 0);
        EXPECT_EQ(PerturbedOrient3D(r[1], r[0], r[2], r[3]), -s);
        EXPECT_EQ(PerturbedOrient3D(r[0], r[2], r[1], r[3]), -s);
        EXPECT_EQ(PerturbedOrient3D(r[0], r[1], r[3], r[2]), -s);
        const int t = PerturbedOrient2D(r[0], r[1], r[2]);
        ASSERT_NE(t, 0);
        EXPECT_EQ(PerturbedOrient2D(r[1], r[0], r[2]), -t);
        EXPECT_EQ(PerturbedOrient2D(r[1], r[2], r[0]), t);
    }
    const LumPoint a(0, 0, 0), b(4, 0, 2), c(0, 4, 2), d(1, 1, 1), up(1, 1, 1.5), down(1, 1, 0.5);
    ASSERT_EQ(Orient3DSign(a, b, c, d), 0);
    for (const std::int64_t rank : {std::int64_t(0), std::int64_t(10)})
    {
        const sRankedPoint ra{&a, 1}, rb{&b, 2}, rc{&c, 3}, rd{&d, rank};
        EXPECT_EQ(PerturbedOrient3D(ra, rb, rc, rd), Orient3DSign(a, b, c, rank == 0 ? up : down)) << rank;
    }
}

// Two crossings of a segment at one point of the planes it meets, in the
// order the perturbation gives them: as with the segment's lowest-ranked
// end raised a little, where that alone tells them apart.
TEST(KorMeshCrossing, CrossingsAtOnePointAreOrderedAsThePerturbationMovesThem)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> coordinate(-3, 3);
    int told = 0;
    for (int trial = 0; trial < 400; ++trial)
    {
        // Two triangles sharing the vertex v, and a segment through v.
        const LumPoint v(0, 0, 0);
        LumPoint t1b(coordinate(random), coordinate(random), coordinate(random)),
            t1c(coordinate(random), coordinate(random), coordinate(random)),
            t2b(coordinate(random), coordinate(random), coordinate(random)),
            t2c(coordinate(random), coordinate(random), coordinate(random));
        const LumPoint dir(coordinate(random), coordinate(random), coordinate(random));
        LumPoint p = v - dir, q = v + dir * 2.0;
        const sRankedPoint rp{&p, 0}, rq{&q, 1};
        const sRankedPoint t1[3] = {{&v, 10}, {&t1b, 11}, {&t1c, 12}},
                           t2[3] = {{&v, 10}, {&t2b, 13}, {&t2c, 14}};
        // Both planes crossed, at v itself.
        if (Orient3DSign(v, t1b, t1c, p) * Orient3DSign(v, t1b, t1c, q) >= 0 ||
            Orient3DSign(v, t2b, t2c, p) * Orient3DSign(v, t2b, t2c, q) >= 0)
            continue;
        ASSERT_EQ(CompareSegmentPlaneCrossings(p, q, v, t1b, t1c, v, t2b, t2c), 0);
        // p raised by h: where the crossings part there, and part the same
        // way for a smaller h, that is the order.
        const auto order = [&](double h)
        {
            const LumPoint raised = p + LumPoint(0, 0, h);
            return CompareSegmentPlaneCrossings(raised, q, v, t1b, t1c, v, t2b, t2c);
        };
        if (order(1e-3) == 0 || order(1e-3) != order(1e-6))
            continue;
        EXPECT_EQ(PerturbedCrossingOrder(rp, rq, t1, t2), order(1e-6)) << trial;
        EXPECT_EQ(PerturbedCrossingOrder(rp, rq, t2, t1), -order(1e-6)) << trial;
        ++told;
    }
    EXPECT_GT(told, 20);
}

// A pit under level terrains: the volume is the frustum's up to the
// terrain's height, whether the terrain's points fall off the pit's edges
// or on them (integer pit, unit grid), at the floor's height (nothing
// excavated, no line), or at the brim's, where the line runs along the top
// of the walls. A dip of the terrain below the floor leaves a line inside
// the floor face: an island of floor above the terrain.
TEST(KorMeshCrossing, PitUnderLevelTerrainsGivesTheFrustum)
{
    struct Case
    {
        const char* Name;
        double A, B, Level, Sx, Sy;
        size_t Lines;
        double Volume;
    };
    const Case cases[] = {
        {"off the grid", 10.3, 5.7, 3.0, 0.37, 0.61, 1, Frustum(10.3, 5.7, 3.0)},
        {"on the grid", 10.0, 6.0, 3.0, 0.0, 0.0, 1, Frustum(10.0, 6.0, 3.0)},
        {"level with the floor", 10.0, 6.0, 0.0, 0.0, 0.0, 0, 0.0},
        {"level with the brim", 10.0, 6.0, 8.0, 0.0, 0.0, 1, Frustum(10.0, 6.0, 8.0)},
    };
    for (const Case& c : cases)
    {
        const sResult r = Excavate(Pit(c.A, c.B, 8.0, 30.0),
                                   Terrain(40.0, c.Sx, c.Sy, [&c](double, double) { return c.Level; }));
        ASSERT_TRUE(r.Found && r.Inserted && r.Classified) << c.Name;
        EXPECT_EQ(r.Lines, c.Lines) << c.Name;
        EXPECT_NEAR(r.Volume, c.Volume, 1e-9 * std::max(1.0, c.Volume)) << c.Name;
    }
    // Dips of the terrain under the floor: each star of six half squares,
    // its apex at -2 under the level 3, takes away 3 * 3 - (2 * 3 - 2) and
    // gives back the part under the floor, 2^3 / (3 + 2)^2.
    const auto dipped = [](double x, double y)
    { return (x == 0 && y == 0) || (x == 3 && y == 2) || (x == -4 && y == -1) ? -2.0 : 3.0; };
    const sResult dip = Excavate(Pit(10.0, 6.0, 8.0, 30.0), Terrain(40.0, 0.0, 0.0, dipped));
    ASSERT_TRUE(dip.Found && dip.Inserted && dip.Classified);
    EXPECT_EQ(dip.Lines, 4u);
    const double expected = Frustum(10.0, 6.0, 3.0) - 3.0 * (9.0 - 4.0 - 8.0 / 25.0);
    EXPECT_NEAR(dip.Volume, expected, 1e-9 * expected);
}

// Two points of a level terrain lowered to the floor's height, one on the
// floor's edge: the edge passes through a vertex of the terrain, which
// touches the floor there from above, and the line crosses the edge twice
// at that one point. Which crossing comes first must follow the
// perturbation, not the order the terrain's faces were made in: every
// order gives the volume of a fine integration of the terrain's height
// over the pit.
TEST(KorMeshCrossing, CrossingsAtOnePointOfAnEdgeKeepTheirOrder)
{
    const auto lowered = [](double x, double y) { return y == -2 && (x == -7 || x == -6) ? 0.0 : 3.0; };
    const KorMesh terrain = Terrain(20.0, 0.0, 0.0, lowered);
    // The pit's height; the terrain's, linear over each half square.
    const auto head = [](double x, double y) {
        return std::min(8.0, std::max({0.0, std::fabs(x) - 6, std::fabs(y) - 4}));
    };
    const auto ground = [&](double x, double y)
    {
        const double i = std::floor(x), j = std::floor(y), u = x - i, v = y - j;
        const double z00 = lowered(i, j), z11 = lowered(i + 1, j + 1);
        return u >= v ? z00 + u * (lowered(i + 1, j) - z00) + v * (z11 - lowered(i + 1, j))
                      : z00 + v * (lowered(i, j + 1) - z00) + u * (z11 - lowered(i, j + 1));
    };
    const double h = 0.01;
    double expected = 0.0;
    for (double x = -9.0 + h / 2; x < 9.0; x += h)
        for (double y = -7.0 + h / 2; y < 7.0; y += h)
            expected += std::max(0.0, ground(x, y) - head(x, y)) * h * h;
    std::mt19937 random(3);
    for (int order = 0; order < 6; ++order)
    {
        const sResult r =
            Excavate(Pit(6.0, 4.0, 8.0, 15.0), order == 0 ? terrain : Shuffled(terrain, random));
        ASSERT_TRUE(r.Found && r.Inserted && r.Classified) << order;
        EXPECT_NEAR(r.Volume, expected, 0.01) << order;
    }
}
