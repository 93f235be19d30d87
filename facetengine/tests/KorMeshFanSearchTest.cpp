// The pruned fan search against the exhaustive one on the same polygons: the
// faces, their order, their rings, the crossing vertices and the tracks must
// be the same, whatever the polygon.
#include "CutScenes.h"
#include "FaceEditHelpers.h"
#include "KorMesh.h"
#include "KorVertex.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"
#include "TestMeshes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>

using V = std::vector<int>;
using Search = KorMesh::eFanSearch;

namespace
{
using Polygon = std::vector<LumPoint>;

double Turn(const LumPoint& a, const LumPoint& b, const LumPoint& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

Polygon Counterclockwise(Polygon p)
{
    double area = 0.0;
    for (size_t i = 0; i < p.size(); ++i)
        area += Turn(LumPoint(), p[i], p[(i + 1) % p.size()]);
    if (area < 0.0)
        std::reverse(p.begin(), p.end());
    return p;
}

// Around the origin at sorted random angles, radius r(angle): convex when r
// is constant, star-shaped from the origin otherwise.
template <class Radius> Polygon AroundOrigin(std::mt19937& rng, int n, const Radius& radius)
{
    std::uniform_real_distribution<double> angle(0.0, 2 * M_PI);
    std::vector<double> a(static_cast<size_t>(n));
    for (double& x : a)
        x = angle(rng);
    std::sort(a.begin(), a.end());
    Polygon p;
    for (double x : a)
    {
        const double r = radius(x);
        p.emplace_back(3 * r * std::cos(x), 2 * r * std::sin(x), 0.0);
    }
    return p;
}

// A rectangle with k vertices on each side: collinear runs everywhere.
Polygon CollinearRectangle(int k)
{
    Polygon p;
    const LumPoint corners[4] = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}};
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s <= k; ++s)
            p.push_back(corners[c] + (corners[(c + 1) % 4] - corners[c]) * (double(s) / (k + 1)));
    return p;
}

// A comb of `teeth` teeth of random heights over a base, vertices on the
// base between the teeth: many short fans, many fan steps.
Polygon Comb(std::mt19937& rng, int teeth)
{
    std::uniform_real_distribution<double> height(0.5, 3.0);
    Polygon p = {{0, 0, 0}, {2.0 * teeth, 0, 0}};
    for (int t = teeth - 1; t >= 0; --t)
    {
        const double h = height(rng);
        p.emplace_back(2.0 * t + 1.5, 1.0 + h, 0.0);
        p.emplace_back(2.0 * t + 1.0, 1.0, 0.0);
        p.emplace_back(2.0 * t + 0.5, 1.0 + h, 0.0);
        p.emplace_back(2.0 * t, 1.0, 0.0);
    }
    p.pop_back();
    p.emplace_back(0.0, 1.0, 0.0);
    return p;
}

// Near the tolerances of the fan search (1e-5 on normals and distances):
// vertices pushed off their side by less, or by a little more, than it, and
// pairs of vertices closer than it.
Polygon NearlyDegenerate(std::mt19937& rng, const Polygon& p)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double offsets[4] = {0.0, 3e-6, 2e-5, 1e-4};
    Polygon out;
    for (size_t i = 0; i < p.size(); ++i)
    {
        const LumPoint& a = p[i];
        const LumPoint& b = p[(i + 1) % p.size()];
        out.push_back(a);
        if (u(rng) < 0.4)
        {
            LumPoint normal(b.y - a.y, a.x - b.x, 0.0);
            Normalize(normal);
            const double off = offsets[static_cast<size_t>(u(rng) * 4) % 4];
            out.push_back(a + (b - a) * 0.5 + normal * (u(rng) < 0.5 ? off : -off));
        }
        if (u(rng) < 0.1)
            out.push_back(a + (b - a) * 4e-6);
    }
    return out;
}

// p turned by a random rotation and moved: the diagonal tests then work in
// 3D on a tilted plane.
Polygon Tilted(std::mt19937& rng, const Polygon& p, const LumPoint& shift)
{
    std::normal_distribution<double> g(0.0, 1.0);
    LumPoint axis(g(rng), g(rng), g(rng));
    Normalize(axis);
    LumPoint e1 = std::fabs(axis.x) < 0.9 ? LumPoint(1, 0, 0) : LumPoint(0, 1, 0);
    e1 = e1 - axis * (e1 * axis);
    Normalize(e1);
    const LumPoint e2 = axis ^ e1;
    Polygon out;
    for (const LumPoint& q : p)
        out.push_back(shift + e1 * q.x + e2 * q.y + axis * q.z);
    return out;
}

// Everything a replacement of faces leaves, compared exactly between the two
// meshes: vertices (crossing vertices included), live faces and their rings.
void ExpectSameMesh(const KorMesh& reference, const KorMesh& pruned, const std::string& what)
{
    ASSERT_EQ(reference.GetVertexVectorSize(), pruned.GetVertexVectorSize()) << what;
    for (int v = 0; v < reference.GetVertexVectorSize(); ++v)
    {
        const KorVertex* a = reference.GetVertex(v);
        const KorVertex* b = pruned.GetVertex(v);
        ASSERT_EQ(a != nullptr, b != nullptr) << what << " vertex " << v;
        if (a)
        {
            EXPECT_EQ(a->X, b->X) << what << " vertex " << v;
            EXPECT_EQ(a->Y, b->Y) << what << " vertex " << v;
            EXPECT_EQ(a->Z, b->Z) << what << " vertex " << v;
        }
    }
    ASSERT_EQ(reference.GetFaceVectorSize(), pruned.GetFaceVectorSize()) << what;
    for (int f = 0; f < reference.GetFaceVectorSize(); ++f)
    {
        ASSERT_EQ(reference.GetFace(f) != nullptr, pruned.GetFace(f) != nullptr) << what << " face " << f;
        if (reference.GetFace(f))
        {
            EXPECT_EQ(FaceVertexRing(reference, f), FaceVertexRing(pruned, f)) << what << " face " << f;
        }
    }
    EXPECT_TRUE(CheckMesh(reference)) << what;
    EXPECT_TRUE(CheckMesh(pruned)) << what;
}

// The polygon through both searches, in two meshes built alike (with its
// sides as half-edges when asked, so that crossings can be split).
void ExpectSameFans(const Polygon& p, bool sides, const std::string& what)
{
    KorMesh reference, pruned;
    V ids;
    for (const LumPoint& q : p)
    {
        ids.push_back(reference.AddVertex(q));
        pruned.AddVertex(q);
    }
    if (sides)
        for (size_t i = 0; i < ids.size(); ++i)
            for (KorMesh* m : {&reference, &pruned})
                m->AddEdge(m->GetVertex(ids[i]), m->GetVertex(ids[(i + 1) % ids.size()]));
    V ids2 = ids, facesReference, facesPruned;
    testing::internal::CaptureStdout();
    const int r = reference.AddConcaveFace(ids, &facesReference, Search::Exhaustive);
    const std::string reportReference = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    const int s = pruned.AddConcaveFace(ids2, &facesPruned, Search::Pruned);
    const std::string reportPruned = testing::internal::GetCapturedStdout();
    EXPECT_EQ(r, s) << what;
    EXPECT_EQ(reportReference, reportPruned) << what;
    EXPECT_EQ(facesReference, facesPruned) << what;
    ExpectSameMesh(reference, pruned, what);
}

// Both searches through ToConcaveMesh on copies of one mesh, tracks on:
// the same mesh and, for every face that was there, the same descendants.
void ExpectSameReplacement(const KorMesh& mesh, const V& faces, bool all, const std::string& what)
{
    KorMesh reference = mesh, pruned = mesh;
    const bool r = all ? reference.ToConcaveMesh(true, Search::Exhaustive)
                       : reference.ToConcaveMesh(faces, true, Search::Exhaustive);
    const bool s = all ? pruned.ToConcaveMesh(true) : pruned.ToConcaveMesh(faces, true);
    EXPECT_EQ(r, s) << what;
    ExpectSameMesh(reference, pruned, what);
    V a, b;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
    {
        reference.GetNewFacesFrom(f, a);
        pruned.GetNewFacesFrom(f, b);
        EXPECT_EQ(a, b) << what << " descendants of " << f;
    }
}
} // namespace

TEST(KorMeshFanSearch, SimplePolygonsGiveTheSameFans)
{
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    struct sKind
    {
        const char* Name;
        std::function<Polygon(int)> Make;
    };
    const std::vector<sKind> kinds = {
        {"convex", [&](int n) { return AroundOrigin(rng, n, [](double) { return 1.0; }); }},
        {"star", [&](int n) { return AroundOrigin(rng, n, [&](double) { return 0.2 + u(rng); }); }},
        {"sharp star",
         [&](int n) { return AroundOrigin(rng, 2 * (n / 2), [&](double) { return 0.05 + u(rng); }); }},
        {"collinear", [](int n) { return CollinearRectangle(n / 4); }},
        {"comb", [&](int n) { return Comb(rng, std::max(1, n / 4)); }},
        {"random", [&](int n) { return RandomSimplePolygon(rng, n); }},
    };
    const LumPoint map(2.5e6, 6.6e6, 310.0);
    for (const sKind& kind : kinds)
        for (int round = 0; round < 24; ++round)
        {
            const int n = 4 + (round * 7) % 45 + (round == 23 ? 120 : 0);
            Polygon p = Counterclockwise(kind.Make(n));
            if (round % 3 == 1)
                p = NearlyDegenerate(rng, p);
            if (round % 4 == 2)
                p = Tilted(rng, p, round % 8 == 2 ? map : LumPoint());
            // Both turning ways, and from another first vertex.
            if (round % 2 == 1)
                std::reverse(p.begin(), p.end());
            std::rotate(p.begin(), p.begin() + static_cast<std::ptrdiff_t>(round % p.size()), p.end());
            ExpectSameFans(p, round % 5 == 0, std::string(kind.Name) + " round " + std::to_string(round));
        }
}

TEST(KorMeshFanSearch, SelfCrossingPolygonsGiveTheSameSplits)
{
    // Random points, planar and not, with their sides: the fans chosen decide
    // where the crossings are split, so both searches must split alike.
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> coord(-10.0, 10.0);
    for (int round = 0; round < 16; ++round)
    {
        Polygon p;
        for (int k = 0; k < 8 + 3 * round; ++k)
            p.emplace_back(coord(rng), coord(rng), round % 2 == 0 ? 0.0 : 0.1 * coord(rng));
        ExpectSameFans(p, true, "round " + std::to_string(round));
    }
}

TEST(KorMeshFanSearch, CutPolygonsGiveTheSameFacesAndTracks)
{
    // The road of a series: a tilted box cut by a wavy terrain at successive
    // positions, then the polygons of the cut replaced on both meshes, with
    // tracks on the head as the excavation keeps them.
    const auto h = [](double x, double y) { return 0.8 * std::sin(0.7 * x) * std::cos(0.5 * y) + 0.1 * x; };
    int polygons = 0;
    for (int position = 0; position < 8; ++position)
    {
        const LumPoint centre(0.37 * position, 0.21 * position, h(0.37 * position, 0.21 * position));
        KorMesh terrain, head;
        BuildTerrain(terrain, 24, 24, 1.0, -12, -12, h);
        const double a = 0.3 + 0.2 * position;
        BuildTurnedInwardBox(head, centre, LumPoint(4 * std::cos(a), 4 * std::sin(a), 0),
                             LumPoint(-3 * std::sin(a), 3 * std::cos(a), 0), 3.0);
        KorBoundingBox box;
        box.Define(head);
        std::vector<LumPoint> points;
        std::vector<sBooleanIntersection> onTerrain, onHead;
        ASSERT_TRUE(GetIntersectionLine(terrain, head, box, centre, points, onTerrain, onHead, 2, 10000))
            << "position " << position;
        std::vector<LumPoint> copy = points;
        V ids;
        ASSERT_TRUE(CutMeshFromIntersectionLine(head, onHead, copy, ids, true)) << "position " << position;
        copy = points;
        ASSERT_TRUE(CutMeshFromIntersectionLine(terrain, onTerrain, copy, ids, false))
            << "position " << position;
        V large;
        for (int f = 0; f < head.GetFaceVectorSize(); ++f)
            if (head.GetFace(f) && FaceVertexRing(head, f).size() > 3)
                large.push_back(f);
        polygons += static_cast<int>(large.size());
        ExpectSameReplacement(head, large, false, "head, position " + std::to_string(position));
        ExpectSameReplacement(head, {}, true, "head whole, position " + std::to_string(position));
        ExpectSameReplacement(terrain, {}, true, "terrain, position " + std::to_string(position));
    }
    EXPECT_GT(polygons, 8); // the cuts made polygons to replace
}

TEST(KorMeshFanSearch, AVeryLargePolygonFansFromItsInnerVertex)
{
    // A regular 2100-gon whose vertex 1 is pulled near the centre: vertex 0
    // has no ear past the notch, vertex 1 sees the whole polygon. One face,
    // fanned from vertex 1, with every vertex in the polygon's order.
    const int n = 2100;
    KorMesh m;
    V ids;
    for (int k = 0; k < n; ++k)
    {
        const double a = 2 * M_PI * k / n, r = k == 1 ? 0.1 : 100.0;
        ids.push_back(m.AddVertex(r * std::cos(a), r * std::sin(a), 0.0));
    }
    V faces;
    const int f = m.AddConcaveFace(ids, &faces);
    ASSERT_EQ(faces, V({f}));
    V expected(ids.begin() + 1, ids.end());
    expected.push_back(ids[0]);
    EXPECT_EQ(FaceVertexRing(m, f), expected);
    EXPECT_TRUE(CheckMesh(m));
}
