// Kd-tree: build shape, event sweep, and every query checked against a
// brute-force answer over all faces on many random inputs.

#include "LumKdTree.h"
#include "KorException.h"
#include "KorRay.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
struct sHit
{
    int Face = -1;
    double T = 1e20;
    int Count = 0; // distinct crossings, parameters within 1e-5 merged
};

// Every face, in identifier order, with the same triangle test as the tree.
sHit BruteForce(const KorMesh& mesh, const KorRay& ray, double tmin, double tmax)
{
    sHit h;
    std::vector<double> seen;
    for (int id = 0; id < mesh.GetFaceVectorSize(); ++id)
    {
        const KorFace* f = mesh.GetFace(id);
        if (!f)
            continue;
        LumPoint a, b, c;
        mesh.GetFaceTriangle(f, a, b, c);
        double t = -1.0;
        if (!ray.IntersectTriangle(a, b, c, tmin, tmax, t))
            continue;
        if (std::none_of(seen.begin(), seen.end(), [&](double s) { return std::fabs(s - t) < 1e-5; }))
        {
            seen.push_back(t);
            ++h.Count;
        }
        if (std::fabs(t) < std::fabs(h.T))
        {
            h.T = t;
            h.Face = id;
        }
    }
    return h;
}

bool BruteInside(const KorMesh& mesh, const LumPoint& p)
{
    const sHit h = BruteForce(mesh, KorRay(p, LumPoint(1, 2, 3)), -1e-5, 1e20);
    return h.Count % 2 == 1 && std::fabs(h.T) >= 1e-5;
}

// A bumpy terrain of small triangles crossed by a few large slanted ones, so
// that many faces straddle split planes and leaves overlap in depth.
void BuildMixedScene(KorMesh& mesh)
{
    BuildGrid(mesh, 12, 12);
    for (int v = 0; v < mesh.GetVertexVectorSize(); ++v)
        if (KorVertex* x = mesh.GetVertex(v))
            x->Z = std::sin(x->X) * std::cos(0.7 * x->Y);
    const double big[3][9] = {{-1, -1, -2, 16, 2, 3, 3, 16, 1.5},
                              {16, -1, 2, 0, 16, -1, 8, 8, 3},
                              {-1, 7, 0.5, 16, 7.5, -0.5, 7, 16, 2}};
    for (const auto& t : big)
    {
        const int a = mesh.AddVertex(t[0], t[1], t[2]);
        const int b = mesh.AddVertex(t[3], t[4], t[5]);
        const int c = mesh.AddVertex(t[6], t[7], t[8]);
        mesh.AddFace(3, a, b, c);
    }
}

void ExpectRaysMatchBruteForce(KorMesh& mesh, const LumPoint& lo, const LumPoint& hi, int count)
{
    LumKdTree tree(mesh);
    ASSERT_TRUE(tree.IsCreated());
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int hitsSeen = 0;
    for (int i = 0; i < count; ++i)
    {
        const LumPoint o(lo.x + (hi.x - lo.x) * u(rng), lo.y + (hi.y - lo.y) * u(rng),
                         lo.z + (hi.z - lo.z) * u(rng));
        LumPoint d(u(rng) - 0.5, u(rng) - 0.5, u(rng) - 0.5);
        if (i % 10 == 0)
            d = LumPoint(0, 0, -1); // axis-parallel rays
        const KorRay ray(o, d);
        const sHit brute = BruteForce(mesh, ray, 0.0, 1e20);
        double t;
        int hits, face;
        const bool hit = tree.IntersectRay(ray, mesh, 0.0, 1e20, t, false, hits, face);
        ASSERT_EQ(hit, brute.Face >= 0) << "ray " << i;
        if (!hit)
            continue;
        ++hitsSeen;
        // The same face, or a tie on a shared edge or vertex.
        EXPECT_TRUE(face == brute.Face || std::fabs(t - brute.T) < 1e-9) << "ray " << i;
        EXPECT_NEAR(t, brute.T, 1e-9);
    }
    EXPECT_GT(hitsSeen, count / 10);
}
} // namespace

TEST(LumKdTreeBuild, SmallMeshIsOneLeaf)
{
    KorMesh tetra;
    BuildTetrahedron(tetra, 1, 2, 3);
    LumKdTree tree(tetra);
    ASSERT_TRUE(tree.IsCreated());
    const KdVoxel* root = tree.GetMainVoxel();
    EXPECT_FALSE(root->IsSplit());
    EXPECT_EQ(root->GetLeaves(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(root->GetP1().x, 0.0);
    EXPECT_EQ(root->GetP2().z, 3.0);
}

TEST(LumKdTreeBuild, EveryFaceIsInALeafThatItsBoxReaches)
{
    KorMesh sphere;
    BuildIcosphere(sphere, 3);
    LumKdTree tree(sphere);
    ASSERT_TRUE(tree.IsCreated());
    std::vector<int> seen(static_cast<size_t>(sphere.GetFaceVectorSize()), 0);
    std::vector<const KdVoxel*> stack(1, tree.GetMainVoxel());
    unsigned maxDepth = 0;
    while (!stack.empty())
    {
        const KdVoxel* v = stack.back();
        stack.pop_back();
        maxDepth = std::max(maxDepth, v->GetDepth());
        if (v->IsSplit())
        {
            stack.push_back(v->GetSon1());
            stack.push_back(v->GetSon2());
            continue;
        }
        for (int f : v->GetLeaves())
        {
            ++seen[static_cast<size_t>(f)];
            LumPoint a, b, c;
            sphere.GetFaceTriangle(sphere.GetFace(f), a, b, c);
            for (int axis = 0; axis < 3; ++axis)
            {
                auto k = [axis](const LumPoint& p) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; };
                EXPECT_LE(std::min({k(a), k(b), k(c)}), k(v->GetP2()) + 1e-5);
                EXPECT_GE(std::max({k(a), k(b), k(c)}), k(v->GetP1()) - 1e-5);
            }
        }
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n >= 1; }));
    EXPECT_LE(maxDepth, 16u);
    EXPECT_GT(maxDepth, 3u);
}

TEST(LumKdTreeBuild, FailuresThrowWithTheirContext)
{
    KorMesh empty;
    try
    {
        LumKdTree tree(empty);
        FAIL() << "no exception";
    }
    catch (const KorException& e)
    {
        const std::vector<std::string>& m = e.GetMessages();
        ASSERT_GE(m.size(), 2u);
        EXPECT_NE(m.front().find("LumKdTree::Build -> Impossible to build the Kd-Tree"), std::string::npos);
        EXPECT_EQ(m.back(), "The mesh has no face");
    }
    // Six faces on one segment: the box is a line, no plane can be costed.
    KorMesh flat;
    for (int i = 0; i < 8; ++i)
        flat.AddVertex(i, 0, 0);
    for (int i = 0; i < 6; ++i)
        flat.AddFace(3, i, i + 1, i + 2);
    ASSERT_EQ(flat.GetNumberOfFaces(), 6);
    try
    {
        LumKdTree tree(flat);
        FAIL() << "no exception";
    }
    catch (const KorException& e)
    {
        EXPECT_EQ(e.GetMessages().back(), "A voxel has a NULL surface : impossible to calculate the SAH");
    }
    KdVoxel v(nullptr, LumPoint(0, 0, 0), LumPoint(1, 1, 1));
    EXPECT_THROW(v.DefineSplit(7, 0.5, true), KorException);
    EXPECT_NEAR(v.GetSurface(), 6.0, 1e-12);
}

TEST(LumKdTreeBuild, EventsSortExactlyAndFlatFacesArePlanar)
{
    KorMesh mesh = MeshOf({{0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {0, 0, 1 + 4e-6}, {1, 0, 2}, {0, 1, 2}},
                          {{0, 1, 2}, {3, 4, 5}});
    KdVoxel box(nullptr, LumPoint(0, 0, 0), LumPoint(1, 1, 3));
    std::vector<LumKdTree::sPlaneEvent> ev;
    const std::vector<int> faces = {0, 1};
    LumKdTree::SortEvents(mesh, box, 2, ev, &faces);
    ASSERT_EQ(ev.size(), 3u);
    EXPECT_TRUE(std::is_sorted(ev.begin(), ev.end(), LumKdTree::sEventCompare()));
    // The flat face's single planar event comes first: exact positions,
    // never merged by the comparator.
    EXPECT_EQ(ev[0].Type, 2);
    EXPECT_EQ(ev[0].Face, 0);
    EXPECT_EQ(ev[1].Type, 3);
    EXPECT_EQ(ev[2].Type, 1);
    // Events 6e-6 apart whose types fall as their positions rise: a face
    // starting at 1, a flat one at 1.000006, one ending at 1.000012. Taken as
    // equal within 1e-5, their order would be a cycle.
    const double z[3][3] = {{1, 1.5, 1.5}, {1.000006, 1.000006, 1.000006}, {0.5, 1.000012, 0.5}};
    KorMesh near;
    for (const auto& t : z)
    {
        const int a = near.AddVertex(0, 0, t[0]), b = near.AddVertex(1, 0, t[1]),
                  c = near.AddVertex(0, 1, t[2]);
        near.AddFace(3, a, b, c);
    }
    const std::vector<int> three = {0, 1, 2};
    LumKdTree::SortEvents(near, box, 2, ev, &three);
    ASSERT_EQ(ev.size(), 5u);
    const int order[5][2] = {{2, 3}, {0, 3}, {1, 2}, {2, 1}, {0, 1}}; // face, type
    for (size_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(ev[i].Face, order[i][0]) << i;
        EXPECT_EQ(ev[i].Type, order[i][1]) << i;
        if (i > 0)
        {
            EXPECT_LT(ev[i - 1].Position, ev[i].Position) << i;
        }
    }
    EXPECT_THROW(LumKdTree::SortEvents(mesh, box, 3, ev, &faces), KorException);
    EXPECT_THROW(LumKdTree::SortEvents(mesh, box, 0, ev, nullptr), KorException);
}

TEST(LumKdTreeRay, TenThousandRaysMatchBruteForceOnASphereAndWithStraddlingFaces)
{
    KorMesh sphere, scene;
    BuildIcosphere(sphere, 2);
    ExpectRaysMatchBruteForce(sphere, LumPoint(-2, -2, -2), LumPoint(2, 2, 2), 10000);
    BuildMixedScene(scene);
    ExpectRaysMatchBruteForce(scene, LumPoint(-2, -2, -3), LumPoint(17, 17, 5), 10000);
}

TEST(LumKdTreeRay, FlatGridBuildsAndMatchesBruteForce)
{
    // A flat box still has a surface: only faces all on one line are refused.
    KorMesh flat;
    BuildGrid(flat, 9, 9);
    for (int v = 0; v < flat.GetVertexVectorSize(); ++v)
        if (KorVertex* x = flat.GetVertex(v))
            x->Z = 0.0;
    ExpectRaysMatchBruteForce(flat, LumPoint(-1, -1, -3), LumPoint(9, 9, 3), 2000);
    LumKdTree tree(flat);
    double t;
    int hits, face;
    ASSERT_TRUE(tree.IntersectRay(KorRay(LumPoint(3.3, 4.7, 2.5), LumPoint(0, 0, -1)), flat, 0, 1e20, t,
                                  false, hits, face));
    EXPECT_NEAR(t, 2.5, 1e-12);
}

TEST(LumKdTreeRay, MissSharedEdgeAndEmptyTree)
{
    KorMesh sphere;
    BuildIcosphere(sphere, 1);
    LumKdTree tree(sphere);
    double t = 5;
    int hits = 7, face = 3;
    EXPECT_FALSE(tree.IntersectRay(KorRay(LumPoint(5, 5, 5), LumPoint(1, 0, 0)), sphere, 0, 1e20, t, true,
                                   hits, face));
    EXPECT_EQ(face, -1);
    EXPECT_EQ(t, 1e20);
    EXPECT_EQ(hits, 0);

    // Through the shared edge of two triangles: one crossing when counting.
    // The far faces keep the tree from being one leaf.
    const std::vector<LumPoint> corners = {{0, 0, 0},    {2, 0, 0},    {2, 2, 0.5},  {0, 2, 0.5},
                                           {10, 10, 10}, {11, 10, 11}, {12, 10, 10}, {13, 10, 11}};
    KorMesh pair = MeshOf(corners, {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {5, 7, 6}, {4, 6, 7}, {4, 7, 5}});
    LumKdTree two(pair);
    ASSERT_TRUE(two.IntersectRay(KorRay(LumPoint(1, 1, -5), LumPoint(0, 0, 1)), pair, -1e-5, 1e20, t, true,
                                 hits, face));
    EXPECT_EQ(hits, 1);
    EXPECT_NEAR(t, 5.25, 1e-9);

    LumKdTree cleared(sphere);
    cleared.Clear();
    EXPECT_FALSE(cleared.IntersectRay(KorRay(LumPoint(0, 0, 0), LumPoint(1, 0, 0)), sphere, 0, 1e20, t, false,
                                      hits, face));
}

TEST(LumKdTreeInside, ParityMatchesBruteForce)
{
    KorMesh sphere, cube;
    BuildIcosphere(sphere, 2);
    BuildUnitCube(cube);
    cube.TriangulateMesh();
    for (KorMesh* mesh : {&sphere, &cube})
    {
        LumKdTree tree(*mesh);
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> u(-1.5, 1.5);
        int inside = 0;
        for (int i = 0; i < 2000; ++i)
        {
            const LumPoint p(u(rng), u(rng), u(rng));
            const bool expected = BruteInside(*mesh, p);
            EXPECT_EQ(tree.PointInsideMesh(p, *mesh), expected) << i;
            inside += expected ? 1 : 0;
        }
        EXPECT_GT(inside, 50);
        // A point on the surface is outside.
        if (mesh == &cube)
        {
            EXPECT_FALSE(tree.PointInsideMesh(LumPoint(0.5, 0.5, 1.0), cube));
            EXPECT_TRUE(tree.PointInsideMesh(LumPoint(0.5, 0.5, 0.9), cube));
        }
    }
}

TEST(LumKdTreeOverlap, CrossingNestedApartAndIdentical)
{
    // Unit icospheres scaled by s and moved to (x, y, z), then whether they
    // meet the unit one: crossing; nested without crossing; apart; in a
    // corner of the unit sphere's box but outside the sphere.
    const double cases[4][5] = {
        {1, 1.2, 0.1, 0.05, 1}, {0.2, 0.1, 0, 0, 1}, {1, 5, 0, 0, 0}, {0.1, 0.85, 0.85, 0.85, 0}};
    KorMesh a;
    BuildIcosphere(a, 1);
    for (const auto& [s, x, y, z, meets] : cases)
    {
        KorMesh b;
        BuildIcosphere(b, 1);
        b.GLTransform(std::vector<double>{s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, x, y, z, 1}.data());
        EXPECT_EQ(LumKdTree::GetOrCreate(a)->IntersectMesh(a, b), meets != 0) << s << " at " << x;
    }

    LumKdTree* first = LumKdTree::GetOrCreate(a);
    EXPECT_EQ(LumKdTree::GetOrCreate(a), first);
    EXPECT_EQ(a.GetTree(), first);
}
