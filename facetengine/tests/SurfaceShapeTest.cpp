#include "SurfaceShape.h"

#include "KorFaceBoxIndex.h"

#include "KorEdge.h"
#include "KorFace.h"
#include "KorVertex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

namespace
{
// Where a Far surface lies: its widening of the face boxes spans several
// cells of its grid.
const LumPoint kFar(2e6, 3e6, 0.0);

enum class eKind
{
    Sheet,
    Hole,
    Quad,
    TwoPieces,
    NaNAltitude,
    NaNPlan,
    OneWay,
    BackOnly,
    Far,
};

// A jittered grid of n x n points over [0, 100]^2 at altitudes drawn from
// a few values, so that ties abound; each square cut along a random
// diagonal, or one square left whole (Quad). TwoPieces adds a second grid
// beside the first, OneWay a second and a third joined by links given
// one way only (twins of half-edges on the borders: the first to the
// third, the third to the second, which a flood from face 0 follows
// through all three), BackOnly a second linked to the first that way (a
// link the flood cannot follow), Far moves a sheet to coordinates in the
// millions, Hole deletes a face in the middle, NaNAltitude gives
// one vertex no altitude; NaNPlan gives the first live vertex no abscissa,
// a later one no ordinate and another an infinite abscissa, after 30 000
// freed slots.
void RandomSurface(KorMesh& mesh, std::mt19937& random, int n, eKind kind)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double step = 100.0 / (n - 1);
    const int freed = kind == eKind::NaNPlan ? 30000 : 0;
    for (int k = 0; k < freed; ++k)
        mesh.AddVertex(LumPoint(unit(random), unit(random), 0.0));
    int pieces = kind == eKind::OneWay ? 3 : 1;
    if (kind == eKind::TwoPieces || kind == eKind::BackOnly)
        pieces = 2;
    const LumPoint origin = kind == eKind::Far ? kFar : LumPoint(0.0, 0.0, 0.0);
    for (int piece = 0; piece < pieces; ++piece)
    {
        const int first = mesh.GetVertexVectorSize();
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                mesh.AddVertex(origin + LumPoint(piece * 150.0 + i * step + 0.3 * step * (unit(random) - 0.5),
                                                 j * step + 0.3 * step * (unit(random) - 0.5),
                                                 std::floor(6.0 * unit(random))));
        for (int j = 0; j + 1 < n; ++j)
            for (int i = 0; i + 1 < n; ++i)
            {
                const int v = first + j * n + i;
                if (kind == eKind::Quad && i == n / 2 && j == n / 2)
                    mesh.AddFace(std::vector<int>{v, v + 1, v + n + 1, v + n});
                else if (unit(random) < 0.5)
                {
                    mesh.AddFace(std::vector<int>{v, v + 1, v + n + 1});
                    mesh.AddFace(std::vector<int>{v, v + n + 1, v + n});
                }
                else
                {
                    mesh.AddFace(std::vector<int>{v, v + 1, v + n});
                    mesh.AddFace(std::vector<int>{v + 1, v + n + 1, v + n});
                }
            }
    }
    if (kind == eKind::Hole)
        mesh.DeleteFace(mesh.GetFaceVectorSize() / 2, true);
    const int perPiece = mesh.GetFaceVectorSize() / pieces;
    const auto linkOneWay = [&mesh, perPiece](int from, int to)
    {
        for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        {
            KorEdge* e = mesh.GetEdge(id);
            if (e->Face >= 0 && e->Face / perPiece == from && mesh.GetEdge(e->Opp)->Face < 0)
            {
                e->Opp = mesh.GetFace(to * perPiece)->Edge;
                return;
            }
        }
    };
    if (kind == eKind::OneWay)
    {
        linkOneWay(0, 2);
        linkOneWay(2, 1);
    }
    if (kind == eKind::BackOnly)
        linkOneWay(1, 0);
    if (kind == eKind::NaNAltitude)
        mesh.GetVertex(n + 1)->Z = std::numeric_limits<double>::quiet_NaN();
    for (int k = 0; k < freed; ++k)
        mesh.DeleteVertex(k);
    if (kind == eKind::NaNPlan)
    {
        mesh.GetVertex(freed)->X = std::numeric_limits<double>::quiet_NaN();
        mesh.GetVertex(freed + n * n / 2)->Y = std::numeric_limits<double>::quiet_NaN();
        mesh.GetVertex(freed + n * n / 3)->X = std::numeric_limits<double>::infinity();
    }
}

// The definitions, read eagerly: one sheet by a flood across twins from
// face 0, the vertices by a stable sort on altitude, the border by a scan.
bool EagerOneSheet(const KorMesh& mesh, const std::vector<int>& border)
{
    const int faces = mesh.GetFaceVectorSize();
    if (mesh.GetNumberOfEdges() != mesh.GetEdgeVectorSize() || mesh.GetNumberOfFaces() != faces || faces == 0 ||
        border.empty())
        return false;
    std::vector<char> reached(static_cast<size_t>(faces), 0);
    std::vector<int> front{0};
    reached[0] = 1;
    int count = 1;
    while (!front.empty())
    {
        const KorFace* f = mesh.GetFace(front.back());
        front.pop_back();
        const KorEdge* e = mesh.GetEdge(f->Edge);
        for (int k = 0; k < 3 && e; ++k)
        {
            const KorEdge* twin = mesh.GetEdge(e->Opp);
            if (twin && twin->Face >= 0 && !reached[static_cast<size_t>(twin->Face)])
            {
                reached[static_cast<size_t>(twin->Face)] = 1;
                front.push_back(twin->Face);
                ++count;
            }
            e = mesh.GetEdge(e->Next);
        }
        if (!e || e->GetID() != f->Edge)
            return false;
    }
    return count == faces;
}

std::vector<int> EagerByAltitude(const KorMesh& mesh)
{
    std::vector<std::pair<double, int>> heights;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
            if (v->Edge >= 0)
                heights.emplace_back(v->Z, id);
    std::stable_sort(heights.begin(), heights.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<int> order;
    for (const auto& h : heights)
        order.push_back(h.second);
    return order;
}

bool Same(double a, double b)
{
    return a == b || (a != a && b != b);
}

// Every answer of a shape built from the mesh against the one the
// definitions give; `kind` says whether the mesh is one sheet.
void ExpectDefinitions(KorMesh& mesh, eKind kind, std::mt19937& random, const std::string& what)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const LumPoint origin = kind == eKind::Far ? kFar : LumPoint(0.0, 0.0, 0.0);
    SurfaceShape shape;
    shape.Build(mesh);

    KorBoundingBox box;
    box.Define(mesh);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_TRUE(Same((&box.GetMin().x)[k], (&shape.GetBox().GetMin().x)[k])) << what;
        EXPECT_TRUE(Same((&box.GetMax().x)[k], (&shape.GetBox().GetMax().x)[k])) << what;
    }
    std::vector<int> border;
    for (int id = 0; id < mesh.GetEdgeVectorSize(); ++id)
        if (const KorEdge* e = mesh.GetEdge(id))
            if (e->Face < 0)
                border.push_back(id);
    EXPECT_EQ(shape.GetBorder(), border) << what;
    EXPECT_EQ(shape.IsOneSheet(), EagerOneSheet(mesh, border)) << what;
    EXPECT_EQ(shape.IsOneSheet(), kind == eKind::Sheet || kind == eKind::NaNAltitude ||
                                      kind == eKind::NaNPlan || kind == eKind::OneWay || kind == eKind::Far)
        << what;

    // The whole order both ways, and a visit stopping at a random place.
    const std::vector<int> order = EagerByAltitude(mesh);
    std::vector<int> visited;
    const size_t stop = static_cast<size_t>(unit(random) * order.size());
    EXPECT_TRUE(shape.VisitByAltitude(false, [&](int id)
                                      {
                                          visited.push_back(id);
                                          return visited.size() > stop;
                                      }));
    EXPECT_TRUE(std::equal(visited.begin(), visited.end(), order.begin())) << what;
    visited.clear();
    EXPECT_FALSE(shape.VisitByAltitude(true, [&](int id) { return visited.push_back(id), false; }));
    EXPECT_TRUE(std::equal(visited.begin(), visited.end(), order.rbegin(), order.rend())) << what;

    // The grid's face queries, which fill its blocks as they go, against
    // an index whose blocks were all filled before, and against the
    // faces' boxes; the grid against one read from the mesh.
    KorFaceBoxIndex filled;
    const bool indexed = filled.Build(mesh);
    std::vector<int> faces, expected;
    for (double x = 0.0; indexed && x < 260.0; x += 5.0)
        for (double y = 0.0; y < 110.0; y += 5.0)
            filled.Query(origin + LumPoint(x - 5.0, y - 5.0, -1e9), origin + LumPoint(x, y, 1e9), faces);
    HeightGrid read, inRanges;
    read.Build(mesh, shape.GetBox());
    inRanges.Build(mesh, shape.GetBox(), HeightGrid::kBlocksPerSide, 4);
    std::vector<LumPoint> points, regionA, regionB;
    for (int q = 0; q < 30; ++q)
    {
        const LumPoint lo = origin + LumPoint(260.0 * unit(random) - 10.0, 110.0 * unit(random) - 5.0,
                                              6.0 * unit(random) - 1.0);
        const LumPoint hi = lo + LumPoint(20.0 * unit(random), 20.0 * unit(random), 3.0 * unit(random));
        // A box over a few hundredths of the surface is answered unless a
        // face has no plan (as the index refuses; far away, the index's
        // widened boxes cover too many of its cells for it to answer);
        // where the index answers too, with its faces.
        const bool answered = shape.GetHeightGrid().QueryFaces({lo, hi}, faces);
        EXPECT_EQ(answered, indexed || kind == eKind::Far) << what;
        if (filled.Query(lo, hi, expected))
        {
            EXPECT_EQ(faces, expected) << what << " query " << q;
        }
        // Two boxes at once: each face of either, once.
        const LumPoint shift(7.0, 3.0, 0.0);
        std::vector<int> both, second;
        EXPECT_EQ(shape.GetHeightGrid().QueryFaces({lo, hi, lo + shift, hi + shift}, both), answered) << what;
        shape.GetHeightGrid().QueryFaces({lo + shift, hi + shift}, second);
        expected.clear();
        std::set_union(faces.begin(), faces.end(), second.begin(), second.end(), std::back_inserter(expected));
        EXPECT_EQ(both, expected) << what << " query " << q;
        // Exactly the faces whose widened box meets the box, by a scan.
        expected.clear();
        for (int f = 0; f < mesh.GetFaceVectorSize(); ++f)
            if (const KorFace* face = mesh.GetFace(f))
            {
                mesh.GetFacePoints(face, points);
                LumPoint a, b;
                if (KorFaceBoxIndex::FaceBox(points.data(), points.size(), a, b) > 0 && a.x <= hi.x &&
                    b.x >= lo.x && a.y <= hi.y && b.y >= lo.y && a.z <= hi.z && b.z >= lo.z)
                    expected.push_back(f);
            }
        if (answered)
        {
            EXPECT_EQ(faces, expected) << what << " query " << q;
        }
        KorMesh head;
        head.AddFace({head.AddVertex(lo), head.AddVertex(LumPoint(hi.x, lo.y, hi.z)),
                      head.AddVertex(LumPoint(lo.x, hi.y, lo.z))});
        for (const HeightGrid* other : {&read, &inRanges})
        {
            EXPECT_EQ(shape.GetHeightGrid().MeetingRegion(head, 0.1, regionA),
                      other->MeetingRegion(head, 0.1, regionB));
            ASSERT_EQ(regionA.size(), regionB.size()) << what;
            for (size_t k = 0; k < regionA.size(); ++k)
                EXPECT_TRUE(regionA[k].x == regionB[k].x && regionA[k].y == regionB[k].y) << what;
        }
    }
}
} // namespace

// The shape works its lists out in one pass and its order by altitude a
// slice at a time, its grid's blocks as queries meet them: every answer
// must be the one the definitions give, on sheets (one far from the
// origin) and on surfaces that are not one (a hole, a quad, two pieces),
// on pieces joined by links given one way only, with ties and a NaN among
// the altitudes. Dense surfaces are read in ranges side by side, to the
// same answers (the grid read from the mesh is built in one range).
TEST(SurfaceShapeTest, LazyShapeAnswersAsTheEagerReading)
{
    std::mt19937 random(2024);
    for (int t = 0; t < 20; ++t)
    {
        const eKind kind = static_cast<eKind>(t % 5);
        KorMesh mesh;
        RandomSurface(mesh, random, 12 + t, kind);
        ExpectDefinitions(mesh, kind, random, "surface " + std::to_string(t));
    }
    for (eKind kind : {eKind::Sheet, eKind::Quad, eKind::TwoPieces, eKind::NaNPlan, eKind::OneWay,
                       eKind::BackOnly, eKind::Far})
    {
        KorMesh mesh;
        RandomSurface(mesh, random, 160, kind);
        ExpectDefinitions(mesh, kind, random, "dense surface " + std::to_string(static_cast<int>(kind)));
    }
}
