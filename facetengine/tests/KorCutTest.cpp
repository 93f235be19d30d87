// End-to-end excavation cuts on scenes with analytic volumes, and the pieces
// of the cut (side selection, redirection of records on a split edge).

#include "CutScenes.h"
#include "KorEdge.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

namespace
{
// A flat terrain z = base.z over [-6, 6]^2 (+ base) cut by a closed 2 x 3 x 4
// box centred on it, corners off the grid vertices. headFirst hands the head
// to the road as its first mesh.
sCutResult FlatTerrainBoxCut(const LumPoint& base, bool headFirst = false)
{
    KorMesh terrain, head;
    BuildTerrain(terrain, 12, 12, 1.0, base.x - 6, base.y - 6, [&](double, double) { return base.z; });
    const LumPoint c = base + LumPoint(0.137, 0.291, 0.0);
    BuildInwardBox(head, c - LumPoint(1, 1.5, 2), c + LumPoint(1, 1.5, 2));
    auto inside = [&](const LumPoint& p) { return std::fabs(p.x - c.x) < 1 && std::fabs(p.y - c.y) < 1.5; };
    auto below = [&](const LumPoint& p) { return p.z < base.z; };
    return headFirst ? RunCut(head, terrain, c, below, inside) : RunCut(terrain, head, c, inside, below);
}

// An open 10 x 10 x 20 pit under the plane z = base.z + 0.1 dx + 0.05 dy + 1
// (d from base), corners off the grid vertices; expected is the prism's
// volume: over a rectangle the mean depth is the depth at its centre.
sCutResult PitUnderInclinedTerrainCut(const LumPoint& base, double& expected, bool headFirst = false)
{
    auto h = [&](double x, double y) { return base.z + 0.1 * (x - base.x) + 0.05 * (y - base.y) + 1.0; };
    KorMesh terrain, pit;
    BuildTerrain(terrain, 30, 30, 1.0, base.x - 10, base.y - 10, h);
    const LumPoint lo = base + LumPoint(0.31, 0.47, -15), hi = base + LumPoint(10.31, 10.47, 5);
    BuildPit(pit, lo, hi);
    const LumPoint centre = (lo + hi) / 2;
    expected = 100.0 * (h(centre.x, centre.y) - lo.z);
    auto inside = [&](const LumPoint& p) { return p.x > lo.x && p.x < hi.x && p.y > lo.y && p.y < hi.y; };
    auto below = [&](const LumPoint& p) { return p.z < h(p.x, p.y); };
    return headFirst ? RunCut(pit, terrain, centre, below, inside)
                     : RunCut(terrain, pit, centre, inside, below);
}

// Multiples of 2^-30: offsets made of them are exact beside any whole-unit
// centre below 2^20, so every centre sees the very same scene.
double OnGrid(double v)
{
    return std::round(v * 1073741824.0) / 1073741824.0;
}

// A closed box of half sizes 0.5-2.5 x 0.5-2.5 x 3 turned about z (sides u,
// w), its centre `offset` from the scene centre and `depth` below a plane
// terrain of slope <= 0.3 (z = a dx + b dy).
struct sRandomScene
{
    LumPoint Offset, U, W;
    double A = 0.0, B = 0.0, Depth = 0.0;
    double Area() const { return 4 * (U.x * W.y - U.y * W.x); }
};

// Every fourth scene is snapped to a coarse grid (quarter units, slopes in
// sixteenths, turns by quarter turns): its walls run through terrain
// vertices and edges, so its walk meets vertices.
std::vector<sRandomScene> RandomScenes(int count)
{
    std::mt19937 rng(15);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    std::vector<sRandomScene> scenes(static_cast<size_t>(count));
    for (size_t k = 0; k < scenes.size(); ++k)
    {
        const bool snapped = k % 4 == 3;
        auto snap = [&](double v, double step) { return snapped ? std::round(v / step) * step : v; };
        sRandomScene& s = scenes[k];
        const double slope = uniform(0, 0.3), dip = uniform(0, 2 * M_PI);
        // a and b on a 2^-16 grid keep the terrain exact at whole-unit steps;
        // snapped toward zero, the slope stays within 0.3.
        const double grid = snapped ? 16 : 65536;
        s.A = std::trunc(slope * std::cos(dip) * grid) / grid;
        s.B = std::trunc(slope * std::sin(dip) * grid) / grid;
        const double hx = snap(uniform(0.5, 2.5), 0.25), hy = snap(uniform(0.5, 2.5), 0.25);
        const double turn = snap(uniform(0, M_PI), M_PI / 2);
        s.U = LumPoint(OnGrid(hx * std::cos(turn)), OnGrid(hx * std::sin(turn)), 0);
        s.W = LumPoint(OnGrid(-hy * std::sin(turn)), OnGrid(hy * std::cos(turn)), 0);
        s.Depth = snap(uniform(0.3, 1.8), 0.0625);
        const double x = OnGrid(snap(uniform(-0.5, 0.5), 0.25)), y = OnGrid(snap(uniform(-0.5, 0.5), 0.25));
        s.Offset = LumPoint(x, y, OnGrid(s.A * x + s.B * y - s.Depth));
    }
    return scenes;
}

// The scene on a 24 x 24 grid of unit cells around centre c (whole units);
// expected is the part of the box below the terrain: over a centred
// footprint the mean height of a plane is its height at the centre.
sCutResult RandomSceneCut(const sRandomScene& s, const LumPoint& c, double& expected)
{
    auto h = [&](double x, double y) { return c.z + s.A * (x - c.x) + s.B * (y - c.y); };
    KorMesh terrain, head;
    BuildTerrain(terrain, 24, 24, 1.0, c.x - 12, c.y - 12, h);
    const LumPoint centre = c + s.Offset;
    BuildTurnedInwardBox(head, centre, s.U, s.W, 3.0);
    const double det = s.Area() / 4;
    expected = s.Area() * (s.A * s.Offset.x + s.B * s.Offset.y - s.Offset.z + 3.0);
    auto inside = [&](const LumPoint& p)
    {
        const LumPoint d = p - centre;
        return std::fabs(d.x * s.W.y - d.y * s.W.x) < det && std::fabs(s.U.x * d.y - s.U.y * d.x) < det;
    };
    // A floor in the terrain's plane lies below it.
    auto below = [&](const LumPoint& p) { return p.z <= h(p.x, p.y); };
    return RunCut(terrain, head, centre, inside, below);
}

void ExpectMeshesSound(const sCutResult& r)
{
    EXPECT_TRUE(CheckMesh(r.Terrain));
    EXPECT_TRUE(CheckMesh(r.Head));
    EXPECT_TRUE(CheckMesh(r.TerrainInside));
    EXPECT_TRUE(CheckMesh(r.HeadBelow));
}
} // namespace

TEST(ExcavationCut, FlatTerrainByClosedBoxGivesTheBoxPartBelow)
{
    const sCutResult r = FlatTerrainBoxCut(LumPoint(0, 0, 0));
    ASSERT_TRUE(r.Cut) << r.Failure;
    EXPECT_NEAR(r.Volume, 12.0, 1e-6);
    // The terrain patch is the box's 2 x 3 footprint; the head part below is
    // its floor and the lower halves of the walls.
    EXPECT_NEAR(r.TerrainInside.GetSurface(), 6.0, 1e-6);
    EXPECT_NEAR(r.HeadBelow.GetSurface(), 6.0 + 2 * (2 * 2 + 3 * 2), 1e-6);
    EXPECT_NEAR(r.Terrain.GetSurface(), 144.0 - 6.0, 1e-6);
    ExpectMeshesSound(r);
}

TEST(ExcavationCut, FarFromOriginSceneStillClosesAndMeasures)
{
    // Rounded in absolute coordinates, crossing points would stray by more
    // than 1e-5 out here; the walk rounds them near the box.
    const sCutResult r = FlatTerrainBoxCut(LumPoint(1000, 2000, 100));
    ASSERT_TRUE(r.Cut) << r.Failure;
    EXPECT_NEAR(r.Volume, 12.0, 12.0 * 1e-6);
    ExpectMeshesSound(r);
}

// An open pit under a plane, at the origin and far from it: the line closes
// on its first edge and face and measures the prism alike at both places.
TEST(ExcavationCut, OpenPitUnderInclinedTerrainGivesItsPrism)
{
    for (const LumPoint& base : {LumPoint(0, 0, 0), LumPoint(123456.0, 234567.0, 345.0)})
    {
        double expected = 0.0;
        const sCutResult r = PitUnderInclinedTerrainCut(base, expected);
        ASSERT_TRUE(r.Cut) << base.x << ": " << r.Failure;
        EXPECT_NEAR(r.Volume, expected, expected * 1e-6);
        ExpectMeshesSound(r);
    }
}

// At map coordinates single precision spaces points a quarter to half a
// metre apart, coarser than these scenes; the walk rounds near the head, so
// the cut measures as at the origin.
TEST(ExcavationCut, AtMapCoordinatesTheCutMeasuresLikeAtTheOrigin)
{
    for (const LumPoint& base : {LumPoint(2.5e6, 6.6e6, 300.0), LumPoint(6.6e6, 2.1e6, 500.0)})
        for (bool headFirst : {false, true})
        {
            SCOPED_TRACE(testing::Message() << base.x << ", " << base.y << (headFirst ? ", head first" : ""));
            const sCutResult box = FlatTerrainBoxCut(base, headFirst);
            ASSERT_TRUE(box.Cut) << box.Failure;
            EXPECT_NEAR(box.Volume, 12.0, 12.0 * 1e-6);
            ExpectMeshesSound(box);

            double expected = 0.0;
            const sCutResult pit = PitUnderInclinedTerrainCut(base, expected, headFirst);
            ASSERT_TRUE(pit.Cut) << pit.Failure;
            EXPECT_NEAR(pit.Volume, expected, expected * 1e-6);
            ExpectMeshesSound(pit);
        }

    // A box of 2.2 x 2.7 x 6 under a terrain sloping both ways, 500 km out.
    const LumPoint base(500337.0, 500214.0, 300.0);
    auto h = [&](double x, double y) { return base.z + 0.07 * (x - base.x) - 0.04 * (y - base.y); };
    KorMesh terrain, head;
    BuildTerrain(terrain, 16, 16, 1.0, base.x - 8, base.y - 8, h);
    const LumPoint c = base + LumPoint(0.144, 0.0658, 0.0), half(1.0998, 1.3439, 3.0);
    BuildInwardBox(head, c - half, c + half);
    const sCutResult r = RunCut(
        terrain, head, c,
        [&](const LumPoint& p) { return std::fabs(p.x - c.x) < half.x && std::fabs(p.y - c.y) < half.y; },
        [&](const LumPoint& p) { return p.z < h(p.x, p.y); });
    ASSERT_TRUE(r.Cut) << r.Failure;
    const double expected = 4 * half.x * half.y * (h(c.x, c.y) - (c.z - half.z));
    EXPECT_NEAR(r.Volume, expected, expected * 1e-6);
    ExpectMeshesSound(r);
}

// Boxes whose corners stand on terrain vertices, axis-aligned or turned by
// an eighth (walls along the terrain's diagonals), under flat and sloped
// terrains: the top touching the terrain at its highest corner, the top in
// the plane of a flat terrain, the floor in it (nothing below the terrain).
std::vector<sRandomScene> DegenerateScenes()
{
    std::vector<sRandomScene> scenes;
    const LumPoint sides[][2] = {{LumPoint(1, 0, 0), LumPoint(0, 2, 0)},
                                 {LumPoint(1, 1, 0), LumPoint(-1, 1, 0)}};
    const double slopes[][2] = {{0, 0}, {0.1875, -0.125}, {-0.25, 0.0625}};
    for (const auto& uw : sides)
        for (const auto& ab : slopes)
            for (int where = 0; where < 3; ++where)
            {
                sRandomScene s;
                s.U = uw[0];
                s.W = uw[1];
                s.A = ab[0];
                s.B = ab[1];
                const bool flat = s.A == 0 && s.B == 0;
                if (where == 2 && !flat)
                    continue;
                // The largest rise of the terrain from the centre to a corner.
                double rise = 0;
                for (double i : {-1.0, 1.0})
                    for (double j : {-1.0, 1.0})
                    {
                        const LumPoint d = s.U * i + s.W * j;
                        rise = std::max(rise, s.A * d.x + s.B * d.y);
                    }
                s.Depth = where == 2 ? -3.0 : 3.0 - rise;
                const double x = where == 1 ? 1.0 : 0.0;
                s.Offset = LumPoint(x, 0, s.A * x - s.Depth);
                scenes.push_back(s);
            }
    return scenes;
}

// A scene's outcome does not depend on where it sits: random box cuts at
// centres up to survey coordinates cut and measure as at the origin, and
// every cut keeps its analytic volume, snapped and degenerate scenes too
// (their walks meet vertices and retry, moved, then measure where given).
// The box and pit scenes measure as at the origin too.
TEST(ExcavationCut, RandomScenesCutAlikeWhereverTheySit)
{
    std::vector<sRandomScene> scenes = RandomScenes(160);
    // A 3 x 2 box 0.5 deep in flat ground whose wall diagonal meets a terrain
    // diagonal at ground level, (0.25, -0.75, 0): the first walk stops there.
    sRandomScene retry;
    retry.Offset = LumPoint(0, 0.25, -0.5);
    retry.U = LumPoint(0, 1, 0);
    retry.W = LumPoint(-1.5, 0, 0);
    retry.Depth = 0.5;
    scenes.push_back(retry);
    for (const sRandomScene& s : DegenerateScenes())
        scenes.push_back(s);
    std::vector<sCutResult> origin(scenes.size());
    for (double x : {0.0, 3000.0, 16000.0, 600000.0})
    {
        const LumPoint c(x, 0.7 * x, 0.0);
        SCOPED_TRACE(testing::Message() << "centre " << c.x << ", " << c.y);
        std::ostringstream unlike, off;
        for (size_t i = 0; i < scenes.size(); ++i)
        {
            const sRandomScene& s = scenes[i];
            double expected = 0.0;
            const sCutResult r = RandomSceneCut(s, c, expected);
            // Relative to the footprint where nothing lies below the terrain.
            const double slack = 1e-6 * (expected > 0 ? expected : s.Area());
            // A floor in the terrain's plane: no line is nothing to cut.
            const bool none = expected == 0 && !r.Line && r.Points.empty();
            if (!none && (!r.Cut || std::fabs(r.Volume - expected) > slack))
                off << " " << i << (r.Cut ? "" : " (" + r.Failure + ")") << "[" << r.Volume << " for "
                    << expected << "]";
            sCutResult& o = origin[i];
            if (x == 0.0)
            {
                o.Line = r.Line;
                o.Cut = r.Cut;
                o.Failure = r.Failure;
                o.Volume = r.Volume;
            }
            else if (r.Line != o.Line || r.Cut != o.Cut || r.Failure != o.Failure ||
                     std::fabs(r.Volume - o.Volume) > 1e-9 * o.Volume)
                unlike << " " << i;
        }
        EXPECT_EQ(unlike.str(), "") << "scenes unlike at the origin";
        EXPECT_EQ(off.str(), "") << "scenes off their volume";

        const sCutResult box = FlatTerrainBoxCut(c);
        ASSERT_TRUE(box.Cut) << box.Failure;
        EXPECT_NEAR(box.Volume, 12.0, 12.0 * 1e-6);
        ExpectMeshesSound(box);
        double expected = 0.0;
        const sCutResult pit = PitUnderInclinedTerrainCut(c, expected);
        ASSERT_TRUE(pit.Cut) << pit.Failure;
        EXPECT_NEAR(pit.Volume, expected, expected * 1e-6);
        ExpectMeshesSound(pit);
    }
}

TEST(ExcavationCut, PitThatTheTerrainDoesNotReachIsNoCut)
{
    KorMesh terrain, pit;
    BuildTerrain(terrain, 10, 10, 1.0, 0, 0, [](double, double) { return 50.0; });
    BuildPit(pit, LumPoint(2.5, 2.5, -15), LumPoint(7.5, 7.5, 5));
    const sCutResult r = RunCut(
        terrain, pit, LumPoint(5, 5, 0), [](const LumPoint&) { return true; },
        [](const LumPoint&) { return true; });
    EXPECT_FALSE(r.Line);
    EXPECT_TRUE(r.Points.empty());
    ExpectMeshesSound(r);
}

TEST(FacesInsideLine, SidesOfASquareLoopOnAGrid)
{
    // 4 x 4 cells; the loop runs around the middle 2 x 2 cells (8 triangles).
    KorMesh grid;
    BuildTerrain(grid, 4, 4, 1.0, 0, 0, [](double, double) { return 0.0; });
    const int loop[] = {6, 7, 8, 13, 18, 17, 16, 11};
    std::vector<int> line, twins;
    for (size_t i = 0; i < 8; ++i)
    {
        const KorEdge* e = grid.GetEdgeBetween(grid.GetVertex(loop[i]), grid.GetVertex(loop[(i + 1) % 8]));
        ASSERT_NE(e, nullptr);
        line.push_back(e->ID);
        twins.push_back(e->Opp);
    }
    std::vector<int> inner, outer;
    ASSERT_TRUE(GetFacesInsideLine(grid, line, inner));
    ASSERT_TRUE(GetFacesInsideLine(grid, twins, outer));
    EXPECT_EQ(inner.size() + outer.size(), 32u);
    EXPECT_TRUE(std::is_sorted(inner.begin(), inner.end()));
    // The counterclockwise loop has the inner cells on its left.
    ASSERT_EQ(inner.size(), 8u);
    for (int f : inner)
    {
        const LumPoint c = FaceCentroid(grid, f);
        EXPECT_TRUE(c.x > 1 && c.x < 3 && c.y > 1 && c.y < 3);
    }
    std::vector<int> few(line.begin(), line.begin() + 2);
    EXPECT_FALSE(GetFacesInsideLine(grid, few, inner));
    EXPECT_TRUE(inner.empty());
}

TEST(CutMeshFromIntersectionLine, LineInsideOneFaceIsCutAsAPolygon)
{
    // 3 x 3 cells; the line runs inside the lower triangle of the middle cell.
    KorMesh mesh;
    BuildTerrain(mesh, 3, 3, 1.0, 0, 0, [](double, double) { return 0.0; });
    int face = -1;
    for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
    {
        const LumPoint c = FaceCentroid(mesh, f);
        if (c.x > 1 && c.x < 2 && c.y > 1 && c.y < 2 && c.x > c.y)
            face = f;
    }
    ASSERT_GE(face, 0);
    std::vector<LumPoint> points = {{1.5, 1.2, 0}, {1.8, 1.2, 0}, {1.8, 1.5, 0}};
    std::vector<sBooleanIntersection> records(3, sBooleanIntersection{1, face, -1});
    std::vector<int> ids = {99};
    ASSERT_TRUE(CutMeshFromIntersectionLine(mesh, records, points, ids, false));
    ASSERT_EQ(ids.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_NE(mesh.GetEdgeBetween(mesh.GetVertex(ids[i]), mesh.GetVertex(ids[(i + 1) % 3])), nullptr);
    EXPECT_NEAR(mesh.GetSurface(), 9.0, 1e-9);
    EXPECT_TRUE(CheckMesh(mesh));

    // Two points or fewer: vertices only, nothing cut.
    KorMesh small = MeshOf({{0, 0, 0}, {10, 0, 0}, {0, 10, 0}});
    const int f2 = small.AddFace(3, 0, 1, 2);
    points.resize(2);
    records.assign(2, sBooleanIntersection{1, f2, -1});
    EXPECT_TRUE(CutMeshFromIntersectionLine(small, records, points, ids, false));
    EXPECT_EQ(ids.size(), 2u);
    EXPECT_EQ(small.GetNumberOfFaces(), 1);
    EXPECT_TRUE(CheckMesh(small));
}

TEST(CutMeshFromIntersectionLine, LaterRecordOnASplitEdgeNeverFollowsAZeroLengthHalf)
{
    // One edge 0-1 split twice: first at its very origin (a zero-length half
    // 0-v), then at x = 7. The second record must move to the half v-1.
    KorMesh mesh = MeshOf({{0, 0, 0}, {10, 0, 0}, {5, 5, 0}, {5, -5, 0}}, {{0, 1, 2}, {1, 0, 3}});
    const KorEdge* e = mesh.GetEdgeBetween(mesh.GetVertex(0), mesh.GetVertex(1));
    ASSERT_NE(e, nullptr);
    std::vector<sBooleanIntersection> records = {{9, e->ID, -1}, {9, e->ID, -1}};
    std::vector<LumPoint> points = {{0, 0, 0}, {7, 0, 0}};
    std::vector<int> ids;
    CutMeshFromIntersectionLine(mesh, records, points, ids, false);
    ASSERT_EQ(ids.size(), 2u);
    const KorVertex* second = mesh.GetVertex(ids[1]);
    ASSERT_NE(second, nullptr);
    EXPECT_DOUBLE_EQ(second->X, 7.0);
    // The second vertex sits between the first split vertex and vertex 1.
    EXPECT_NE(mesh.GetEdgeBetween(mesh.GetVertex(ids[1]), mesh.GetVertex(1)), nullptr);
    EXPECT_NE(mesh.GetEdgeBetween(mesh.GetVertex(ids[0]), mesh.GetVertex(ids[1])), nullptr);
    EXPECT_TRUE(CheckMesh(mesh));
}

TEST(GetMeshToCut, OrientsTheLoopTowardsTheSideInsideTheOtherMesh)
{
    // The loop around the middle 2 x 2 cells of a 4 x 4 grid, and a closed box
    // around that middle: the inner side lies inside the box.
    KorMesh grid, box;
    BuildTerrain(grid, 4, 4, 1.0, 0, 0, [](double, double) { return 0.0; });
    BuildInwardBox(box, LumPoint(0.99, 0.99, -1), LumPoint(3.01, 3.01, 1));
    // Clockwise from above, so that the forward half-edges have the outer
    // faces on their side.
    const std::vector<int> loop = {6, 11, 16, 17, 18, 13, 8, 7};
    for (bool flag : {false, true})
    {
        std::vector<int> halfEdges, faces;
        ASSERT_TRUE(GetMeshToCut(grid, box, loop, {}, halfEdges, flag));
        ASSERT_EQ(halfEdges.size(), loop.size());
        ASSERT_TRUE(GetFacesInsideLine(grid, halfEdges, faces));
        ASSERT_FALSE(faces.empty());
        for (int f : faces)
        {
            const LumPoint c = FaceCentroid(grid, f);
            const bool inner = c.x > 1 && c.x < 3 && c.y > 1 && c.y < 3;
            EXPECT_EQ(inner, !flag) << f;
        }
    }
    std::vector<int> out = {1};
    EXPECT_FALSE(GetMeshToCut(grid, box, {6, 7}, {}, out, false));
    EXPECT_TRUE(out.empty());
}
