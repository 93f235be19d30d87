#include "Axe.h"
#include "CalculSeries.h"
#include "Couche.h"
#include "Excavation.h"
#include "KorEdge.h"
#include "KorFace.h"
#include "ModelTestSupport.h"
#include "ResultatsOVX.h"
#include "SceneCoordinates.h"
#include "TerrainPatch.h"
#include "TeteTranchee.h"

#include <cmath>
#include <map>
#include <sstream>
#include <tuple>

namespace
{
// The constructor head at the middle (0, 0, 0) of a straight axis along +Y,
// under planes sampled on round grids over [-100, 100]^2: survey and raster
// terrains come so, and their points then lie on the head's edges and in
// the planes of its faces.
class ExcavationGridTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        Reset();
    }

    static void Reset()
    {
        gProjet.GetUndoManager().Clear();
        gProjet.Close();
        gProjet.Echelle = 100.0;
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
        axe.SetHeadPositionAtDistance(200.0);
    }

    // Over [-half, half]^2, the plane z = 0.5 (y + lift) shifted by (sx, sy).
    static void AddLayer(int index, double step, double sx, double sy, double lift, double half = 100.0)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(index), index);
        const int n = static_cast<int>(std::lround(2 * half / step));
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j)
            {
                const double x = -half + step * i + sx, y = -half + step * j + sy;
                layer->AddPoint(LumPoint(x, y, 0.5 * (y + lift)), 1, 0, false, false);
            }
    }

    // The volume of one layer before its rounding to whole cubic metres.
    static double UnroundedVolume(int index)
    {
        Couche* layer = gProjet.GetCouche(index);
        const double v =
            layer->GetMesh(Couche::TerrainSurTete).GetVolume() - layer->GetMesh(Couche::Tete).GetVolume();
        return SceneToWorldVolume(gProjet, std::fabs(v));
    }
};

// The volume between the plane z = a x + b y + c and a head surface below
// it, by clipping each face where the plane's height over it turns
// negative: over each triangle of a face's fan that height is linear, so
// its integral is the area times its mean at the corners. For a surface
// seen once from above (no overhang), apart from the program's cut.
double VolumeUnderPlane(const KorMesh& head, double a, double b, double c)
{
    struct Corner
    {
        double X, Y, H;
    };
    double total = 0.0;
    std::vector<LumPoint> ring;
    for (int id = 0; id < head.GetFaceVectorSize(); ++id)
    {
        const KorFace* face = head.GetFace(id);
        if (!face)
            continue;
        head.GetFacePoints(face, ring);
        for (size_t k = 2; k < ring.size(); ++k)
        {
            std::vector<Corner> in, out;
            for (const LumPoint& p : {ring[0], ring[k - 1], ring[k]})
                in.push_back({p.x, p.y, a * p.x + b * p.y + c - p.z});
            for (size_t i = 0; i < in.size(); ++i)
            {
                const Corner& u = in[i];
                const Corner& v = in[(i + 1) % in.size()];
                if (u.H >= 0)
                    out.push_back(u);
                if ((u.H < 0) != (v.H < 0))
                {
                    const double t = u.H / (u.H - v.H);
                    out.push_back({u.X + t * (v.X - u.X), u.Y + t * (v.Y - u.Y), 0.0});
                }
            }
            for (size_t i = 2; i < out.size(); ++i)
            {
                const Corner &p = out[0], &q = out[i - 1], &r = out[i];
                const double area = 0.5 * ((q.X - p.X) * (r.Y - p.Y) - (q.Y - p.Y) * (r.X - p.X));
                total += area * (p.H + q.H + r.H) / 3.0;
            }
        }
    }
    return std::fabs(total);
}
} // namespace

// The head stands far inside z = 0.5 (y + 10), whose volume over it is
// 829.45 m3, wherever the grid's points fall: on its vertical edges, on its
// vertices, in the planes of its faces. The whole road is taken on the
// coarsest grids too. The sample's two layers on the unshifted grid keep 662
// and 167 m3 (analytic 662.72 and 166.73).
TEST_F(ExcavationGridTest, RoundGridsCutTheAnalyticVolume)
{
    {
        AddLayer(0, 5.0, 0.0, 0.0, 10.0);
        KorMesh placed;
        LumPoint at;
        ASSERT_TRUE(gProjet.GetAxe().PlaceHead(at, placed));
        EXPECT_NEAR(VolumeUnderPlane(placed, 0.0, 0.5, 5.0), 829.45, 0.005);
    }
    struct Shift
    {
        double X, Y;
    };
    std::ostringstream off;
    for (double step : {5.0, 2.5, 1.0})
        for (const Shift s : {Shift{0, 0}, Shift{0.5, 0}, Shift{0, 0.5}, Shift{0.25, 0.25}, Shift{2.5, 0}})
            for (eCutRoute route : {eCutRoute::Local, eCutRoute::Whole})
            {
                if (route == eCutRoute::Whole && step < 2.5)
                    continue;
                Reset();
                // The finest grids over the part the head's line can reach
                // only, for the test's time.
                AddLayer(0, step, s.X, s.Y, 10.0, step < 2.5 ? 50.0 : 100.0);
                ComputeExcavation(route);
                const double v = gCalculationErrors ? -1.0 : UnroundedVolume(0);
                if (gCalculationErrors != 0 || std::fabs(v - 829.45) > 0.05 ||
                    gResults.Volumes.at(0) != 829.0)
                    off << " (" << step << ", " << s.X << ", " << s.Y
                        << (route == eCutRoute::Whole ? ", whole" : "") << ": " << v << ")";
            }
    EXPECT_EQ(off.str(), "");

    Reset();
    AddLayer(0, 5.0, 0.0, 0.0, 10.0);
    AddLayer(1, 5.0, 0.0, 0.0, 4.0);
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    EXPECT_EQ(gResults.Volumes, std::vector<double>({662.0, 167.0}));
}

// A dense series over the plane on the round step-5 grid, along and across
// the axis, so that the head's edges and vertices pass through the grid's
// points and lines again and again: no position fails, and each volume is
// the clipped one (unrounded within 1e-6 relative, recorded rounded).
TEST_F(ExcavationGridTest, DenseSeriesOverAPlaneMeasuresEveryPosition)
{
    AddLayer(0, 5.0, 0.0, 0.0, 10.0);
    gProjet.Limite1 = LumPoint(-90, 90, 0);
    gProjet.Limite2 = LumPoint(90, -90, 0);
    gProjet.Set3DGeometryChanged();
    ui.FrameHook = []
    {
        if (gProjet.m3DAffichageTete && gProjet.IsExcavationStale())
            ComputeExcavation();
    };
    std::vector<double> along, across;
    // Farther into the hill the plane passes over the head's back rim.
    for (int i = 0; i < 200; ++i)
        along.push_back(-6.0 + 0.05 * i);
    for (int j = 0; j <= 20; ++j)
        across.push_back(-5.0 + 0.5 * j);
    std::vector<double> expected;
    std::ostringstream off;
    int count = 0, failed = 0;
    // A frame, and so a check, at every position.
    ComputeSeries(
        90.0, along, across,
        [&](size_t)
        {
            ++count;
            KorMesh placed;
            LumPoint at;
            ASSERT_TRUE(gProjet.GetAxe().PlaceHead(at, placed));
            const double v = VolumeUnderPlane(placed, 0.0, 0.5, 5.0);
            expected.push_back(v);
            if (gCalculationErrors != 0)
                ++failed;
            else if (std::fabs(UnroundedVolume(0) - v) > 1e-6 * v)
                off << " " << count - 1 << " (" << UnroundedVolume(0) << " for " << v << ")";
        },
        0.0);
    ASSERT_EQ(count, 200 * 21);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(off.str(), "");
    const ResultatsOVX& r = gProjet.GetResultats();
    for (int row = 0; row < 21; ++row)
        for (int column = 0; column < 200; ++column)
            EXPECT_EQ(r.GetValue("V", row, column),
                      Round(expected[static_cast<size_t>(row * 200 + column)], 0))
                << row << " " << column;
}

// A pit of a head, as a height field: a floor of 2a x 2b at z = 0, walls of
// slope 1 up to z = 50, a brim at 50 over [-110, 110]^2 and in the brim a
// funnel whose tip stands at (74, 74, -40). Every face is seen from above
// turning left, as the program's heads.
KorMesh PitWithFunnel(double a, double b)
{
    KorMesh head;
    const double top = 50.0, far = 110.0;
    // Corners shared by their faces.
    std::map<std::tuple<double, double, double>, int> ids;
    const auto at = [&](const LumPoint& p)
    {
        const auto key = std::make_tuple(p.x, p.y, p.z);
        const auto found = ids.find(key);
        return found != ids.end() ? found->second : ids[key] = head.AddVertex(p);
    };
    const auto quad = [&](LumPoint p, LumPoint q, LumPoint r, LumPoint s) {
        head.AddFace({at(p), at(q), at(r), at(s)});
    };
    const double A = a + top, B = b + top;
    quad(LumPoint(-a, -b, 0), LumPoint(a, -b, 0), LumPoint(a, b, 0), LumPoint(-a, b, 0));
    quad(LumPoint(-A, -B, top), LumPoint(A, -B, top), LumPoint(a, -b, 0), LumPoint(-a, -b, 0));
    quad(LumPoint(a, -b, 0), LumPoint(A, -B, top), LumPoint(A, B, top), LumPoint(a, b, 0));
    quad(LumPoint(-a, b, 0), LumPoint(a, b, 0), LumPoint(A, B, top), LumPoint(-A, B, top));
    quad(LumPoint(-A, -B, top), LumPoint(-a, -b, 0), LumPoint(-a, b, 0), LumPoint(-A, B, top));
    // The brim in rectangles that share their corners, the funnel's square
    // [72, 76]^2 and the walls' top left out.
    const double xs[] = {-far, -A, A, 72.0, 76.0, far}, ys[] = {-far, -B, B, 72.0, 76.0, far};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if (!(i == 1 && j == 1) && !(i == 3 && j == 3))
                quad(LumPoint(xs[i], ys[j], top), LumPoint(xs[i + 1], ys[j], top),
                     LumPoint(xs[i + 1], ys[j + 1], top), LumPoint(xs[i], ys[j + 1], top));
    const LumPoint tip(74, 74, -40);
    const LumPoint c[] = {LumPoint(72, 72, top), LumPoint(76, 72, top), LumPoint(76, 76, top),
                          LumPoint(72, 76, top)};
    for (int k = 0; k < 4; ++k)
        head.AddFace({at(c[k]), at(c[(k + 1) % 4]), at(tip)});
    return head;
}

// The pieces of a mesh, by a flood over twins.
int CountPieces(KorMesh& mesh)
{
    std::vector<char> seen(static_cast<size_t>(mesh.GetFaceVectorSize()), 0);
    int pieces = 0;
    std::vector<KorEdge*> ring;
    for (int start = 0; start < mesh.GetFaceVectorSize(); ++start)
    {
        if (!mesh.GetFace(start) || seen[static_cast<size_t>(start)])
            continue;
        ++pieces;
        std::vector<int> front(1, start);
        seen[static_cast<size_t>(start)] = 1;
        while (!front.empty())
        {
            const int f = front.back();
            front.pop_back();
            mesh.GetFaceEdges(mesh.GetFace(f), ring);
            for (const KorEdge* e : ring)
            {
                const KorEdge* twin = mesh.GetEdge(e->Opp);
                if (twin && twin->Face >= 0 && !seen[static_cast<size_t>(twin->Face)])
                {
                    seen[static_cast<size_t>(twin->Face)] = 1;
                    front.push_back(twin->Face);
                }
            }
        }
    }
    return pieces;
}

// The terrain z = 30 on a step-4 grid over [-200, 200]^2 fills the pit of
// a head up to its walls' line at 30, but for a dip to 10 at the centre of
// one square: the terrain inside the line holds a lower point than all the
// terrain around the line. The lowest point of all is a pit of the terrain
// to -50 under the head's funnel, at least 10 below it: the head comes
// near the surface there without meeting it, so the patch holds a second
// piece around the pit, away from the line. Only that pit tells the sides
// of the line apart, as it does on the whole surface.
// Analytic: the pit of the head up to 30 less the dip's pyramid,
// 4 (30 ab + 450 (a + b) + 9000) - 16 * 20 / 3; the terrain removed is the
// plane inside the line, its dip's square as four slanted triangles.
TEST_F(ExcavationGridTest, PieceOfThePatchAwayFromTheLineTellsItsSides)
{
    const double a = 10.3, b = 5.7;
    Couche* layer = gProjet.AddCouche("Cuvette", 0);
    for (int i = 0; i <= 100; ++i)
        for (int j = 0; j <= 100; ++j)
            layer->AddPoint(LumPoint(-200.0 + 4 * i, -200.0 + 4 * j, 30.0), 1, 0, false, false);
    layer->AddPoint(LumPoint(2, 2, 10), 1, 0, false, false);
    layer->AddPoint(LumPoint(74, 74, -50), 1, 0, false, false);
    layer->Triangulate();
    const KorMesh head = PitWithFunnel(a, b);
    const LumPoint start(0, 0, 20);

    TerrainPatch patch;
    ASSERT_TRUE(patch.Take(*layer, head, 0.1));
    EXPECT_EQ(CountPieces(patch.GetMesh()), 2);

    const double volume = 4.0 * (30.0 * a * b + 450.0 * (a + b) + 9000.0) - 16.0 * 20.0 / 3.0;
    const double surface = (2 * (a + 30)) * (2 * (b + 30)) - 16.0 + 8.0 * std::sqrt(404.0);
    for (eCutRoute route : {eCutRoute::Local, eCutRoute::Whole})
    {
        gExcavationTimers.Reset();
        gIntersectionLines.clear();
        ASSERT_TRUE(CutTerrainMesh(*layer, head, start, route));
        // The local road stood on its patch, not on the whole surface.
        EXPECT_EQ(gExcavationTimers.LocalCuts, route == eCutRoute::Local ? 1 : 0);
        EXPECT_EQ(gIntersectionLines.size(), 1u);
        const KorMesh& removed = layer->GetMesh(Couche::TerrainSurTete);
        const double v = std::fabs(removed.GetVolume() - layer->GetMesh(Couche::Tete).GetVolume());
        EXPECT_NEAR(v, volume, 1e-6 * volume) << (route == eCutRoute::Local ? "local" : "whole");
        EXPECT_NEAR(removed.GetSurface(), surface, 1e-6 * surface)
            << (route == eCutRoute::Local ? "local" : "whole");
    }
}
