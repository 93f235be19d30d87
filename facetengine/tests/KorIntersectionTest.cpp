// The intersection line: classification primitives, the walk on analytic
// scenes (both argument orders), the attempt and point-limit rules, and the
// degenerate configurations grouped by kind, each ending in a line or a
// clean failure with sound meshes.

#include "CutScenes.h"
#include "KorVertex.h"
#include "MeshChecker.h"
#include "MeshTestHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace
{
double Dist(const LumPoint& a, const LumPoint& b)
{
    return std::sqrt((a - b) * (a - b));
}

// Same cyclic sequence up to the start and the direction, within tol.
bool SameCycle(const std::vector<LumPoint>& a, const std::vector<LumPoint>& b, double tol)
{
    const size_t n = a.size();
    if (n == 0 || n != b.size())
        return false;
    for (size_t s = 0; s < n; ++s)
        for (int dir : {1, -1})
        {
            bool all = true;
            for (size_t i = 0; i < n && all; ++i)
                all = Dist(a[i], b[(s + n + dir * static_cast<long>(i) % static_cast<long>(n)) % n]) < tol;
            if (all)
                return true;
        }
    return false;
}

// Every point of a complete line is an edge of one mesh in a face of the other.
void ExpectCompleteLine(const std::vector<LumPoint>& p, const std::vector<sBooleanIntersection>& r1,
                        const std::vector<sBooleanIntersection>& r2)
{
    ASSERT_EQ(p.size(), r1.size());
    ASSERT_EQ(p.size(), r2.size());
    for (size_t i = 0; i < p.size(); ++i)
        EXPECT_TRUE((r1[i].Kind == 9 && r2[i].Kind == 1) || (r1[i].Kind == 1 && r2[i].Kind == 9)) << i;
}

// The faces of one mesh a point lies in: its face, or both faces of its edge.
std::vector<int> FacesOf(const KorMesh& mesh, const sBooleanIntersection& r)
{
    if (r.Kind == 1)
        return {r.ElementID};
    const KorEdge* e = mesh.GetEdge(r.ElementID);
    const KorEdge* t = e ? mesh.GetEdge(e->Opp) : nullptr;
    return {e ? e->Face : -1, t ? t->Face : -1};
}

bool ShareAFace(const KorMesh& mesh, const sBooleanIntersection& a, const sBooleanIntersection& b)
{
    const std::vector<int> fa = FacesOf(mesh, a), fb = FacesOf(mesh, b);
    return std::any_of(fa.begin(), fa.end(),
                       [&](int f) { return f >= 0 && std::find(fb.begin(), fb.end(), f) != fb.end(); });
}

// An element of one mesh, an edge and its twin as one.
int ElementOf(const KorMesh& mesh, const sBooleanIntersection& r)
{
    const KorEdge* e = r.Kind == 9 ? mesh.GetEdge(r.ElementID) : nullptr;
    return e ? std::min(e->ID, e->Opp) : r.ElementID;
}

// A closed walk: from each point to the next, the last back to the first
// included, the line runs inside one face of each mesh; and it meets each
// crossing (edge of one mesh, either half, in a face of the other) once.
void ExpectClosedWalk(const KorMesh& m1, const KorMesh& m2, const std::vector<sBooleanIntersection>& r1,
                      const std::vector<sBooleanIntersection>& r2)
{
    std::set<std::tuple<int, int, int>> crossings;
    for (size_t i = 0; i < r1.size(); ++i)
    {
        const size_t k = (i + 1) % r1.size();
        EXPECT_TRUE(ShareAFace(m1, r1[i], r1[k])) << i;
        EXPECT_TRUE(ShareAFace(m2, r2[i], r2[k])) << i;
        EXPECT_TRUE(crossings.insert({r1[i].Kind, ElementOf(m1, r1[i]), ElementOf(m2, r2[i])}).second) << i;
    }
}

struct sScene
{
    KorMesh Terrain, Head;
    LumPoint Centre;
};

// A closed 2 x 3 x 4 box centred at base + (0.137, 0.291, 0), corners off the
// grid, turned by angle about its vertical axis, across a 12 x 12 terrain of
// unit cells around base: flat at base.z or (slope) rising 0.02 along x and
// falling 0.03 along y.
sScene TurnedBoxScene(const LumPoint& base, double angle, bool slope)
{
    sScene s;
    BuildTerrain(s.Terrain, 12, 12, 1.0, base.x - 6, base.y - 6,
                 [&](double x, double y)
                 { return base.z + (slope ? 0.02 * (x - base.x) - 0.03 * (y - base.y) : 0.0); });
    BuildInwardBox(s.Head, LumPoint(-1, -1.5, -2), LumPoint(1, 1.5, 2));
    const double c = std::cos(angle), sn = std::sin(angle);
    for (int v = 0; v < s.Head.GetVertexVectorSize(); ++v)
    {
        KorVertex* x = s.Head.GetVertex(v);
        const double px = x->X, py = x->Y;
        x->X = base.x + 0.137 + c * px - sn * py;
        x->Y = base.y + 0.291 + sn * px + c * py;
        x->Z += base.z;
    }
    s.Centre = base + LumPoint(0.137, 0.291, 0.0);
    return s;
}

// The intersection in both argument orders; true when either found a line.
struct sBothOrders
{
    bool Found[2] = {false, false};
    std::vector<LumPoint> Points[2];
};

sBothOrders TraceBothOrders(const KorMesh& terrain, const KorMesh& head, const LumPoint& start, int attempts)
{
    sBothOrders out;
    for (int order = 0; order < 2; ++order)
    {
        KorMesh a = order == 0 ? terrain : head, b = order == 0 ? head : terrain;
        const KorMesh bBefore = b;
        KorBoundingBox box;
        box.Define(b);
        std::vector<sBooleanIntersection> r1, r2;
        out.Found[order] = GetIntersectionLine(a, b, box, start, out.Points[order], r1, r2, attempts, 10000);
        if (out.Found[order])
            ExpectCompleteLine(out.Points[order], r1, r2);
        else
        {
            // A failed search leaves the second mesh where it was.
            for (int v = 0; v < b.GetVertexVectorSize(); ++v)
                if (b.GetVertex(v))
                {
                    EXPECT_NEAR(b.GetVertex(v)->X, bBefore.GetVertex(v)->X, 1e-9);
                    EXPECT_NEAR(b.GetVertex(v)->Y, bBefore.GetVertex(v)->Y, 1e-9);
                    EXPECT_NEAR(b.GetVertex(v)->Z, bBefore.GetVertex(v)->Z, 1e-9);
                }
        }
        EXPECT_TRUE(CheckMesh(a));
        EXPECT_TRUE(CheckMesh(b));
    }
    return out;
}
} // namespace

TEST(IntersectionLineTriangle, CodesForInsideVertexEdgeAndMiss)
{
    const LumPoint a(0, 0, 0), b(4, 0, 0), c(0, 4, 0);
    LumPoint out;
    EXPECT_EQ(IntersectionLineTriangle({1, 1, -1}, {1, 1, 1}, out, a, b, c, false), 1);
    EXPECT_NEAR(out.z, 0.0, 1e-6);
    EXPECT_EQ(IntersectionLineTriangle({4, 0, -1}, {4, 0, 1}, out, a, b, c, false), 3);
    EXPECT_EQ(out.x, 4.0); // copied exactly
    EXPECT_EQ(IntersectionLineTriangle({4, 0, -1}, {4, 0, 1}, out, a, b, c, true), 0);
    EXPECT_EQ(IntersectionLineTriangle({0, 0, -1}, {0, 0, 1}, out, a, b, c, false), 2);
    EXPECT_EQ(IntersectionLineTriangle({0, 4, -1}, {0, 4, 1}, out, a, b, c, false), 4);
    EXPECT_EQ(IntersectionLineTriangle({2, 0, -1}, {2, 0, 1}, out, a, b, c, false), 5);
    EXPECT_EQ(IntersectionLineTriangle({2, 2, -1}, {2, 2, 1}, out, a, b, c, false), 6);
    EXPECT_EQ(IntersectionLineTriangle({0, 2, -1}, {0, 2, 1}, out, a, b, c, false), 7);
    EXPECT_EQ(IntersectionLineTriangle({5, 5, -1}, {5, 5, 1}, out, a, b, c, false), 0);
    EXPECT_EQ(IntersectionLineTriangle({1, 1, 1}, {2, 1, 1}, out, a, b, c, false), 0); // parallel
    // The segment form also asks the crossing to lie between the ends.
    EXPECT_EQ(IntersectionEdgeTriangle({1, 1, 1}, {1, 1, 2}, out, a, b, c, false), 0);
    EXPECT_EQ(IntersectionEdgeTriangle({1, 1, -1}, {1, 1, 2}, out, a, b, c, false), 1);
}

TEST(IntersectionEdgeFace, CrossingNearAnEndIsFlagged)
{
    const std::vector<LumPoint> square = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}};
    LumPoint out;
    int index = 7;
    EXPECT_EQ(IntersectionEdgeFace({1, 3, -1}, {1, 3, 1}, out, index, square), 1);
    EXPECT_EQ(IntersectionEdgeFace({1, 3, -0.00005}, {1, 3, 1}, out, index, square), 8);
    EXPECT_EQ(IntersectionEdgeFace({1, 3, -1000}, {1, 3, 0.5}, out, index, square), 8); // < length / 1000
    EXPECT_EQ(IntersectionEdgeFace({2, 2, -1}, {2, 2, 1}, out, index, square), 0);      // on the fan diagonal
    EXPECT_EQ(IntersectionEdgeFace({5, 3, -1}, {5, 3, 1}, out, index, square), 0);
    EXPECT_EQ(index, 7);
}

TEST(IntersectionLine, BothArgumentOrdersGiveTheSameClosedLine)
{
    for (const LumPoint base : {LumPoint(0, 0, 0), LumPoint(1000, 2000, 100)})
    {
        const sScene s = TurnedBoxScene(base, 0.0, false);
        const sBothOrders both = TraceBothOrders(s.Terrain, s.Head, s.Centre, 2);
        ASSERT_TRUE(both.Found[0] && both.Found[1]);
        EXPECT_TRUE(SameCycle(both.Points[0], both.Points[1], 1e-4 * (1 + std::fabs(base.y) / 1000)));
        // Every point lies on the box's outline at z = base.z.
        for (const LumPoint& p : both.Points[0])
        {
            EXPECT_NEAR(p.z, base.z, 1e-3);
            const double dx = std::fabs(std::fabs(p.x - s.Centre.x) - 1),
                         dy = std::fabs(std::fabs(p.y - s.Centre.y) - 1.5);
            EXPECT_LT(std::min(dx, dy), 1e-3);
        }
    }
}

TEST(IntersectionLine, AttemptAndPointLimits)
{
    const sScene s = TurnedBoxScene(LumPoint(0, 0, 0), 0.0, false);
    KorMesh a = s.Terrain, b = s.Head;
    KorBoundingBox box;
    box.Define(b);
    std::vector<LumPoint> p = {{1, 1, 1}};
    std::vector<sBooleanIntersection> r1(1), r2(1);
    EXPECT_FALSE(GetIntersectionLine(a, b, box, s.Centre, p, r1, r2, 0, 10000));
    EXPECT_TRUE(p.empty() && r1.empty() && r2.empty());
    // No bound: the walk still closes.
    EXPECT_TRUE(GetIntersectionLine(a, b, box, s.Centre, p, r1, r2, 1, 0));
    const size_t full = p.size();
    EXPECT_GT(full, 10u);
    EXPECT_TRUE(GetIntersectionLine(a, b, box, s.Centre, p, r1, r2, 1, -5));
    EXPECT_EQ(p.size(), full);
    // A bound below the line's length ends the attempt.
    EXPECT_FALSE(GetIntersectionLine(a, b, box, s.Centre, p, r1, r2, 1, 3));
    EXPECT_TRUE(CheckMesh(a));
    EXPECT_TRUE(CheckMesh(b));
}

// Degenerate configurations, one group per kind.

TEST(IntersectionDegenerate, TerrainVertexOnAHeadEdge)
{
    // The box's vertical edge at (1, 1) runs through terrain vertex (1, 1, 0).
    KorMesh terrain, head;
    BuildTerrain(terrain, 8, 8, 1.0, -4, -4, [](double, double) { return 0.0; });
    BuildInwardBox(head, LumPoint(-0.77, -1.37, -2), LumPoint(1, 1, 2));
    TraceBothOrders(terrain, head, LumPoint(0, 0, 0), 2);
    // The z and y steps leave the vertex on the edge; the x step of a fourth
    // attempt takes the edge off it.
    {
        KorMesh a = terrain, b = head;
        KorBoundingBox box;
        box.Define(b);
        std::vector<LumPoint> p;
        std::vector<sBooleanIntersection> r1, r2;
        EXPECT_TRUE(GetIntersectionLine(a, b, box, LumPoint(0, 0, 0), p, r1, r2, 4, 10000));
        ExpectCompleteLine(p, r1, r2);
    }
    const sCutResult r = RunCut(
        terrain, head, LumPoint(0, 0, 0),
        [](const LumPoint& p) { return p.x > -0.77 && p.x < 1 && p.y > -1.37 && p.y < 1; },
        [](const LumPoint& p) { return p.z < 0; });
    if (r.Cut)
    {
        // Whatever nudge was kept, the part below is the footprint times the
        // depth of the moved floor.
        double floor = 1e9;
        for (int v = 0; v < r.HeadBelow.GetVertexVectorSize(); ++v)
            if (const KorVertex* x = r.HeadBelow.GetVertex(v))
                floor = std::min(floor, x->Z);
        EXPECT_NEAR(r.Volume, 1.77 * 2.37 * -floor, 1e-3);
    }
    EXPECT_TRUE(CheckMesh(r.Terrain));
    EXPECT_TRUE(CheckMesh(r.Head));
}

TEST(IntersectionDegenerate, HeadFaceCoplanarWithTerrainFaces)
{
    // The box's lid lies in the terrain plane.
    KorMesh terrain, head;
    BuildTerrain(terrain, 8, 8, 1.0, -4, -4, [](double, double) { return 0.0; });
    BuildInwardBox(head, LumPoint(-0.77, -1.37, -2), LumPoint(1.13, 0.91, 0));
    TraceBothOrders(terrain, head, LumPoint(0, 0, 0), 2);
    const sCutResult r = RunCut(
        terrain, head, LumPoint(0, 0, 0), [](const LumPoint&) { return true; },
        [](const LumPoint& p) { return p.z < 0; });
    EXPECT_TRUE(CheckMesh(r.Terrain));
    EXPECT_TRUE(CheckMesh(r.Head));
}

TEST(IntersectionDegenerate, LineThroughATerrainVertexTakesTheNudgePath)
{
    // A grid turned by 30 degrees so that no terrain edge is parallel to the
    // box walls; the wall x = x0 passes exactly through a terrain vertex.
    KorMesh terrain, head;
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    BuildTerrain(terrain, 10, 10, 1.0, -5, -5, [](double, double) { return 0.0; });
    for (int v = 0; v < terrain.GetVertexVectorSize(); ++v)
    {
        KorVertex* x = terrain.GetVertex(v);
        const double px = x->X, py = x->Y;
        x->X = c * px - s * py;
        x->Y = s * px + c * py;
    }
    const KorVertex* through = terrain.GetVertex(6 * 11 + 6); // grid (1, 1) turned
    const double x0 = through->X;
    BuildInwardBox(head, LumPoint(x0 - 1.91, through->Y - 1.37, -2), LumPoint(x0, through->Y + 0.83, 2));
    // The z and y steps keep the wall on the vertex: three attempts (none, z,
    // then y and z again) fail and the head is moved back by their sum; the
    // x step of a fourth attempt clears it.
    const sBothOrders three = TraceBothOrders(terrain, head, LumPoint(x0 - 1, through->Y, 0), 3);
    KorMesh a = terrain, b = head;
    KorBoundingBox box;
    box.Define(b);
    std::vector<LumPoint> p;
    std::vector<sBooleanIntersection> r1, r2;
    const bool four = GetIntersectionLine(a, b, box, LumPoint(x0 - 1, through->Y, 0), p, r1, r2, 4, 10000);
    EXPECT_TRUE(four || !three.Found[0]);
    if (four)
    {
        ExpectCompleteLine(p, r1, r2);
        // The kept nudge shows on the head: its walls moved off the vertex.
        double maxX = -1e9;
        for (int v = 0; v < b.GetVertexVectorSize(); ++v)
            if (const KorVertex* x = b.GetVertex(v))
                maxX = std::max(maxX, x->X);
        if (!three.Found[0])
        {
            EXPECT_NEAR(maxX, x0 + 0.01, 1e-9);
        }
    }
    EXPECT_TRUE(CheckMesh(a));
    EXPECT_TRUE(CheckMesh(b));
}

TEST(IntersectionDegenerate, HeadThatTouchesWithoutCrossing)
{
    KorMesh terrain;
    BuildTerrain(terrain, 6, 6, 1.0, -3, -3, [](double, double) { return 0.0; });
    // An inverted tetrahedron whose apex touches the terrain inside a face.
    KorMesh apex = MeshOf({{0.3, 0.4, 0.0}, {-0.7, -0.6, -2}, {1.3, -0.6, -2}, {0.3, 1.4, -2}},
                          {{0, 2, 1}, {0, 3, 2}, {0, 1, 3}, {1, 2, 3}});
    const sBothOrders touch = TraceBothOrders(terrain, apex, LumPoint(0, 0, 0), 2);
    for (int order = 0; order < 2; ++order)
    {
        EXPECT_FALSE(touch.Found[order]);
        EXPECT_TRUE(touch.Points[order].empty()); // refused at the first search, no retry
    }
    // A box standing on the terrain, its floor in the terrain plane: a line
    // or a clean failure, the meshes sound (checked inside).
    KorMesh standing;
    BuildInwardBox(standing, LumPoint(-0.77, -1.37, 0), LumPoint(1.13, 0.91, 2));
    TraceBothOrders(terrain, standing, LumPoint(0, 0, 0), 2);
}

TEST(IntersectionLine, ClosesOnItsFirstEdgeAndFaceFarFromTheOrigin)
{
    // Far from the origin, with walls turned off the axes, the first crossing
    // (edge against a face plane) and the closing one (edge against the line
    // of two face planes) are rounded differently to single precision and
    // differ by more than 1e-5; the walk must still close where it started
    // (edge and face) rather than run on. In the last two cases the closing
    // crossing even lands within 1e-5 of the second point: told by distances
    // alone, the line would close there and lose its last point.
    struct sCase
    {
        LumPoint Base;
        double Angle;
        bool Slope, HeadFirst;
    };
    const LumPoint far(98765.0, 187654.0, 250.0);
    const sCase cases[] = {{far, 0.3, true, false},
                           {far, 0.7, true, false},
                           {far, 1.1, true, false},
                           {far, 2.0, true, false},
                           {LumPoint(150000.0, 300000.0, 250.0), 1.44, false, false},
                           {LumPoint(50000.0, 60000.0, 100.0), 1.83, false, true}};
    for (const sCase& k : cases)
    {
        sScene s = TurnedBoxScene(k.Base, k.Angle, k.Slope);
        KorMesh& a = k.HeadFirst ? s.Head : s.Terrain;
        KorMesh& b = k.HeadFirst ? s.Terrain : s.Head;
        KorBoundingBox box;
        box.Define(b);
        std::vector<LumPoint> p;
        std::vector<sBooleanIntersection> r1, r2;
        ASSERT_TRUE(GetIntersectionLine(a, b, box, k.Base, p, r1, r2, 1, 0)) << k.Angle;
        ExpectCompleteLine(p, r1, r2);
        ExpectClosedWalk(a, b, r1, r2);
    }
}

TEST(IntersectionLine, AtMapCoordinatesPointsLieOnTheirFacesAndMeshesComeBackExact)
{
    // Single precision spaces map coordinates a quarter metre apart; the
    // walk must still close, its points on both meshes' faces, and leave
    // the vertices of both meshes where they were to the last bit.
    const LumPoint base(2.5e6, 6.6e6, 300.0);
    for (bool headFirst : {false, true})
    {
        sScene s = TurnedBoxScene(base, 0.7, true);
        KorMesh& a = headFirst ? s.Head : s.Terrain;
        KorMesh& b = headFirst ? s.Terrain : s.Head;
        const KorMesh beforeA = a, beforeB = b;
        KorBoundingBox box;
        box.Define(b);
        std::vector<LumPoint> p;
        std::vector<sBooleanIntersection> r1, r2;
        ASSERT_TRUE(GetIntersectionLine(a, b, box, base, p, r1, r2, 1, 0)) << headFirst;
        ExpectCompleteLine(p, r1, r2);
        ExpectClosedWalk(a, b, r1, r2);
        for (size_t i = 0; i < p.size(); ++i)
            for (const auto& [mesh, r] : {std::make_pair(&a, r1[i]), std::make_pair(&b, r2[i])})
                for (int f : FacesOf(*mesh, r))
                {
                    std::vector<LumPoint> ring;
                    mesh->GetFacePoints(mesh->GetFace(f), ring);
                    ASSERT_GE(ring.size(), 3u);
                    const LumPoint n = (ring[1] - ring[0]) ^ (ring[2] - ring[0]);
                    EXPECT_LT(std::fabs((p[i] - ring[0]) * n) / n.Norm(), 1e-3) << i;
                }
        for (const auto& [now, before] : {std::make_pair(&a, &beforeA), std::make_pair(&b, &beforeB)})
            for (int v = 0; v < now->GetVertexVectorSize(); ++v)
                if (const KorVertex* x = now->GetVertex(v))
                {
                    const KorVertex* y = before->GetVertex(v);
                    EXPECT_TRUE(x->X == y->X && x->Y == y->Y && x->Z == y->Z) << v;
                }
    }
}

TEST(IntersectionLine, WalkCirclingAwayFromItsStartEndsWithoutAPointLimit)
{
    // At a million, where single precision keeps 1/16 between neighbours, the
    // rounded crossings lead the walk into a loop that never meets its first
    // edge and face again. A box reaching back to the origin keeps the walk in
    // the caller's frame, where that happens. With no point limit it must
    // still end: the attempt fails on the first repeated pair and mesh2 is
    // left as it was.
    const LumPoint base(1e6, 2e6, 250.0);
    for (bool headFirst : {false, true})
        for (int limit : {0, -1})
        {
            sScene s = TurnedBoxScene(base, 2.0, true);
            KorMesh& a = headFirst ? s.Head : s.Terrain;
            KorMesh& b = headFirst ? s.Terrain : s.Head;
            const KorMesh before = b;
            KorBoundingBox box;
            box.Define(b);
            box += LumPoint(-box.GetMax().x, -box.GetMax().y, -box.GetMax().z);
            std::vector<LumPoint> p;
            std::vector<sBooleanIntersection> r1, r2;
            EXPECT_FALSE(GetIntersectionLine(a, b, box, base, p, r1, r2, 1, limit))
                << headFirst << ", " << limit;
            for (int v = 0; v < b.GetVertexVectorSize(); ++v)
                if (const KorVertex* x = b.GetVertex(v))
                {
                    const KorVertex* y = before.GetVertex(v);
                    EXPECT_TRUE(x->X == y->X && x->Y == y->Y && x->Z == y->Z) << v;
                }
            EXPECT_TRUE(CheckMesh(a));
            EXPECT_TRUE(CheckMesh(b));
        }
}

TEST(IntersectionLine, FirstEdgeCrossedTwiceClosesOnlyAtItsFirstFace)
{
    // A box narrower than a cell: each terrain edge that crosses it, the
    // first one found included, meets both long walls. Reaching the first
    // edge again on the other wall is not the start: the line goes on round
    // the whole outline.
    KorMesh terrain, head;
    BuildTerrain(terrain, 8, 8, 1.0, -4, -4, [](double, double) { return 0.0; });
    const double x0 = 0.33, x1 = 0.71, y0 = -1.37, y1 = 1.29;
    BuildInwardBox(head, LumPoint(x0, y0, -2), LumPoint(x1, y1, 2));
    const sBothOrders both = TraceBothOrders(terrain, head, LumPoint(0.5, 0.1, 0), 1);
    for (int order = 0; order < 2; ++order)
    {
        ASSERT_TRUE(both.Found[order]) << order;
        const std::vector<LumPoint>& p = both.Points[order];
        double twiceArea = 0;
        for (size_t i = 0; i < p.size(); ++i)
        {
            const LumPoint& a = p[i];
            const LumPoint& b = p[(i + 1) % p.size()];
            twiceArea += a.x * b.y - b.x * a.y;
            EXPECT_LT(std::min({std::fabs(a.x - x0), std::fabs(a.x - x1), std::fabs(a.y - y0),
                                std::fabs(a.y - y1)}),
                      1e-6);
        }
        // The footprint, corners included: the line is the whole outline.
        EXPECT_NEAR(std::fabs(twiceArea) / 2, (x1 - x0) * (y1 - y0), 1e-6) << order;
    }
}
