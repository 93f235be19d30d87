// A layer's DXF import: how the file's entities are sorted into level lines
// and loose points, how the lines are thinned, and how the layer is filled.

#include "CoucheImportDXF.h"
#include "Couche.h"
#include "DXFTestFiles.h"
#include "ElementTestSupport.h"
#include "LigneNiveau.h"
#include "SceneCoordinates.h"

#include <algorithm>
#include <cmath>

namespace
{
using namespace DXFTest;

class CoucheImportDXFTest : public ElementTest
{
protected:
    CoucheImportDXF Read(const std::string& entities)
    {
        const std::string path = TempPath("import.dxf");
        WriteAll(path, File(entities));
        CoucheImportDXF import;
        EXPECT_TRUE(import.Read(path));
        std::remove(path.c_str());
        return import;
    }
    static size_t Count(const std::vector<CoucheImportDXF::sLigne>& lignes)
    {
        size_t n = 0;
        for (const auto& l : lignes)
            n += l.Points.size();
        return n;
    }
};

// Flat polylines are level lines, open, in scene units with their length;
// a polyline whose altitude varies gives loose points, and so do POINT
// entities beside the lines; a point where a line's stands is left out.
TEST_F(CoucheImportDXFTest, EntitiesSortedIntoLinesAndPoints)
{
    gProjet.Echelle = 50.0; // scene = world × 2
    const std::string line1 = LwPolyline({{0, 0, 5}, {3, 4, 5}, {3, 8, 5}});
    const std::string line2 = LwPolyline({{10, 0, 7}, {10, 6, 7}});
    const std::string slope = Polyline3D({{0, 0, 1}, {1, 0, 2}, {2, 0, 3}});
    const std::string points = Point({1, 2, 3}) + Point({4, 5, 6});
    const struct
    {
        const char* name;
        std::string entities;
        size_t lines, loose;
    } cases[] = {
        {"two flat polylines", line1 + line2, 2, 0},
        {"a 3D polyline", slope, 0, 3},
        {"POINT entities only", points, 0, 2},
        {"POINTs beside the lines, (0, 0) the line's", line1 + slope + points, 1, 4},
    };
    for (const auto& c : cases)
    {
        CoucheImportDXF import = Read(c.entities);
        ASSERT_EQ(import.GetLignes().size(), c.lines) << c.name;
        EXPECT_EQ(import.GetPoints().size(), c.loose) << c.name;
        EXPECT_EQ(import.CountRead(), static_cast<int>(Count(import.GetLignes()) + c.loose)) << c.name;
        for (const auto& ligne : import.GetLignes())
            EXPECT_FALSE(ligne.Closed) << c.name;
    }
    CoucheImportDXF lines = Read(line1);
    // 3-4-5 then 4, doubled by the scale.
    EXPECT_DOUBLE_EQ(lines.GetLignes()[0].Length, 18.0);
    EXPECT_DOUBLE_EQ(lines.GetLignes()[0].Points[1].x, 6.0);
    EXPECT_DOUBLE_EQ(lines.GetLignes()[0].Points[1].z, 10.0);
    CoucheImportDXF loose = Read(points);
    EXPECT_DOUBLE_EQ(loose.GetPoints()[1].y, 10.0);

    CoucheImportDXF unreadable;
    EXPECT_FALSE(unreadable.Read(TempPath("missing.dxf")));
    EXPECT_FALSE(unreadable.IsLoaded());
    EXPECT_EQ(unreadable.CountRead(), 0);
}

// The thinning keeps both ends; between them a point stays when the next
// one is farther than length / (101 - s) from the last kept, or turns by
// more than 40 degrees; the point before the last is never examined.
TEST_F(CoucheImportDXFTest, SimplificationKeepsEndsDistancesAndTurns)
{
    auto line = [](std::vector<LumPoint> points)
    {
        CoucheImportDXF::sLigne ligne;
        for (size_t k = 1; k < points.size(); ++k)
            ligne.Length += (points[k] - points[k - 1]).Norm();
        ligne.Points = std::move(points);
        return ligne;
    };
    std::vector<LumPoint> straight;
    for (int k = 0; k <= 10; ++k)
        straight.emplace_back(k, 0, 0);
    const auto corner = line({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {3, 1, 0}, {3, 2, 0}, {3, 3, 0}});
    const auto three = line({{0, 0, 0}, {5, 9, 0}, {7, 1, 0}});
    const struct
    {
        const char* name;
        CoucheImportDXF::sLigne ligne;
        int s;
        std::vector<double> keptX;
    } cases[] = {
        // d = 10: no examined point lies farther than 9 from the first.
        {"straight, s 100", line(straight), 100, {0, 10}},
        // d = 0.1: every examined point is kept; x = 9 is never examined.
        {"straight, s 1", line(straight), 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 10}},
        {"right angle, s 100", corner, 100, {0, 3, 3}},
        {"three points, s 1", three, 1, {0, 7}},
        {"three points, s 100", three, 100, {0, 7}},
    };
    for (const auto& c : cases)
    {
        const CoucheImportDXF::sLigne kept = CoucheImportDXF::SimplifyLigne(c.ligne, c.s);
        std::vector<double> xs;
        for (const LumPoint& p : kept.Points)
            xs.push_back(p.x);
        EXPECT_EQ(xs, c.keptX) << c.name;
    }
    EXPECT_EQ(CoucheImportDXF::SimplifyLigne(line({{4, 4, 0}}), 50).Points.size(), 1u);
}

// The slider's road: a value applied twice does nothing the second time, 0
// brings every point back, and the counts follow.
TEST_F(CoucheImportDXFTest, SliderValuesApplyOnce)
{
    CoucheImportDXF import = Read(LwPolyline({{0, 0, 5}, {1, 0, 5}, {2, 0, 5}, {3, 0, 5}, {4, 0, 5}}) +
                                  Polyline3D({{0, 2, 1}, {1, 2, 2}}));
    EXPECT_EQ(import.CountRead(), 7);
    EXPECT_FALSE(import.Simplify(0));
    EXPECT_TRUE(import.Simplify(100));
    EXPECT_EQ(import.CountSimplified(), 4);
    EXPECT_FALSE(import.Simplify(100));
    EXPECT_FALSE(import.Simplify(250)); // clamped to 100
    EXPECT_TRUE(import.Simplify(0));
    EXPECT_EQ(import.CountSimplified(), 7);
}

// Filling the layer: level lines at their world altitude with their points
// in order, loose points free; a point crossing the layer above refuses the
// interactive build with its message, while the replayed one checks
// nothing.
TEST_F(CoucheImportDXFTest, BuildLayerFillsAndChecksNeighbours)
{
    AddSquare("Haut", 20.0);
    Couche* bas = AddSquare("Bas", 0.0);
    CoucheImportDXF import =
        Read(LwPolyline({{10, 10, 5}, {50, 10, 5}, {50, 50, 5}}) + Polyline3D({{20, 20, 1}, {30, 30, 2}}));
    ASSERT_TRUE(import.BuildLayer(1, true));
    ASSERT_EQ(bas->GetNumberOfLignesNiveau(), 1);
    const LigneNiveau* ligne = bas->GetLigneNiveau(0);
    EXPECT_DOUBLE_EQ(ligne->Profondeur, 5.0);
    EXPECT_EQ(ligne->Fermee, 0);
    ASSERT_EQ(ligne->Points.size(), 3u);
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(ligne->Points[1])->X, 50.0);
    EXPECT_DOUBLE_EQ(bas->GetMesh().GetVertex(ligne->Points[1])->Y, 10.0);
    EXPECT_EQ(bas->GetMesh().GetNumberOfVertices(), 4 + 2 + 3);
    EXPECT_FALSE(import.BuildLayer(5, true));

    // A line at 30 lies over the top layer (20).
    Couche* troisieme = AddSquare("Trois", -10.0);
    CoucheImportDXF high = Read(LwPolyline({{10, 10, 30}, {60, 10, 30}}));
    ui.Boxes.clear();
    EXPECT_FALSE(high.BuildLayer(2, true));
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Impossible de positionner un point à la coordonnée \n     10;10;30 :\n"
                                "La couche intersecte une autre : Création de couche annulée");
    EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
    troisieme->DeleteLigneNiveau(0, false);
    ui.Boxes.clear();
    EXPECT_TRUE(high.BuildLayer(2, false));
    EXPECT_TRUE(ui.Boxes.empty());
}
} // namespace

namespace
{
// Vertices of the layer's mesh on the segment, ordered along it.
std::vector<const KorVertex*> VerticesOn(const KorMesh& mesh, const LumPoint& a, const LumPoint& b)
{
    std::vector<std::pair<double, const KorVertex*>> on;
    const LumPoint d = b - a;
    const double length2 = d.x * d.x + d.y * d.y;
    for (int id = 0; id < mesh.GetVertexVectorSize(); ++id)
        if (const KorVertex* v = mesh.GetVertex(id))
        {
            const double t = ((v->X - a.x) * d.x + (v->Y - a.y) * d.y) / length2;
            const double off = (v->Y - a.y) * d.x - (v->X - a.x) * d.y;
            if (t > -1e-9 && t < 1 + 1e-9 && off * off < 1e-18 * length2 * length2)
                on.push_back({t, v});
        }
    std::sort(on.begin(), on.end(), [](const auto& l, const auto& r) { return l.first < r.first; });
    std::vector<const KorVertex*> out;
    for (const auto& entry : on)
        out.push_back(entry.second);
    return out;
}
} // namespace

// Small drawings as CAD programs write them, the layer's points and level
// lines in world coordinates against values worked out by hand; every
// segment of a level line kept is an edge, or a chain of edges, of the
// triangulated layer.
TEST_F(CoucheImportDXFTest, DrawingsComeInInPlace)
{
    gProjet.Echelle = 50.0;
    const std::string square =
        "0\nLWPOLYLINE\n90\n4\n70\n1\n38\n50\n10\n0\n20\n0\n10\n10\n20\n0\n10\n10\n20\n10\n10\n0\n20\n10\n";
    const std::string beside =
        "0\nLWPOLYLINE\n90\n4\n70\n1\n38\n50\n10\n10\n20\n0\n10\n20\n20\n0\n10\n20\n20\n10\n10\n10\n20\n10\n";
    const std::string block = "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nB\n10\n0\n20\n0\n30\n0\n" +
                              LwPolyline({{-2, 0, 5}, {2, 0, 5}, {0, 2, 5}}) + "0\nENDBLK\n0\nENDSEC\n";
    const double a = std::sqrt(0.5);
    const struct
    {
        const char* name;
        std::string before; // sections written before the entities
        std::string entities;
        std::vector<std::vector<Pt>> lines;
        std::vector<bool> closed;
        std::vector<Pt> loose;
        std::string leftOut;
    } cases[] = {
        {"a spot height beside a contour",
         "",
         LwPolyline({{0, 0, 100}, {10, 0, 100}, {10, 10, 100}}) + Point({5, 5, 10}),
         {{{0, 0, 100}, {10, 0, 100}, {10, 10, 100}}},
         {false},
         {{5, 5, 10}},
         ""},
        {"a contour ending on a spot height",
         "",
         LwPolyline({{0, 0, 100}, {10, 0, 100}}) + Point({10, 0, 95}),
         {{{0, 0, 100}, {10, 0, 100}}},
         {false},
         {},
         "1 point à une place déjà prise"},
        {"two outlines sharing two corners",
         "",
         square + beside,
         {{{0, 0, 50}, {10, 0, 50}, {10, 10, 50}, {0, 10, 50}}, {{20, 0, 50}, {20, 10, 50}}},
         {true, false},
         {},
         "2 points à une place déjà prise"},
        {"a contour mirrored by its extrusion",
         "",
         "0\nLWPOLYLINE\n90\n2\n70\n0\n38\n-250\n10\n100\n20\n0\n10\n200\n20\n50\n210\n0\n220\n0\n230\n-1\n",
         {{{-100, 0, 250}, {-200, 50, 250}}},
         {false},
         {},
         ""},
        // Extrusion (0, -1, 1): x stays the world's x, y turns to (0, a, a)
        // and the elevation goes along (0, -a, a), a = 1 / sqrt 2.
        {"a tilted extrusion",
         "",
         "0\nLWPOLYLINE\n90\n2\n70\n0\n38\n1.5\n10\n3\n20\n2\n10\n3\n20\n0\n210\n0\n220\n-1\n230\n1\n",
         {},
         {},
         {{3, 0.5 * a, 3.5 * a}, {3, -1.5 * a, 1.5 * a}},
         ""},
        {"a block defined and inserted, a point in paper space",
         block,
         "0\nINSERT\n2\nB\n10\n100\n20\n100\n30\n0\n" + Point({1, 1, 1}) +
             "0\nPOINT\n67\n1\n10\n7\n20\n7\n30\n7\n",
         {},
         {},
         {{1, 1, 1}},
         "1 INSERT"},
        {"a 2D polyline of vertex flags 0 at its elevation",
         "",
         "0\nPOLYLINE\n66\n1\n10\n0\n20\n0\n30\n250\n70\n0\n" + Vertex({0, 0, 0}, 0) + Vertex({10, 0, 0}, 0) +
             Vertex({10, 10, 0}, 0) + "0\nSEQEND\n",
         {{{0, 0, 250}, {10, 0, 250}, {10, 10, 250}}},
         {false},
         {},
         ""},
        {"a closed polyline back on its first point",
         "",
         LwPolyline({{0, 0, 30}, {10, 0, 30}, {10, 10, 30}, {0, 0, 30}}),
         {{{0, 0, 30}, {10, 0, 30}, {10, 10, 30}}},
         {true},
         {},
         ""},
        // The layer becomes the mesh: every corner is kept, though two
        // share each plan place.
        {"a polyface cube",
         "",
         PolyfaceCube(0, 10),
         {},
         {},
         {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}, {0, 0, 10}, {10, 0, 10}, {0, 10, 10}, {10, 10, 10}},
         ""},
    };
    for (const auto& c : cases)
    {
        const std::string path = TempPath("drawing.dxf");
        WriteAll(path, c.before + File(c.entities));
        CoucheImportDXF import;
        ASSERT_TRUE(import.Read(path)) << c.name;
        std::remove(path.c_str());
        const auto near = [](const LumPoint& scene, const Pt& world)
        {
            const LumPoint p = SceneToWorld(gProjet, scene);
            return std::fabs(p.x - world.x) < 1e-9 && std::fabs(p.y - world.y) < 1e-9 &&
                   std::fabs(p.z - world.z) < 1e-9;
        };
        const std::vector<CoucheImportDXF::sLigne>& lignes = import.GetLignes();
        ASSERT_EQ(lignes.size(), c.lines.size()) << c.name;
        for (size_t i = 0; i < lignes.size(); ++i)
        {
            EXPECT_EQ(lignes[i].Closed, c.closed[i]) << c.name;
            ASSERT_EQ(lignes[i].Points.size(), c.lines[i].size()) << c.name;
            for (size_t k = 0; k < c.lines[i].size(); ++k)
                EXPECT_TRUE(near(lignes[i].Points[k], c.lines[i][k]))
                    << c.name << " line " << i << " point " << k;
        }
        ASSERT_EQ(import.GetPoints().size(), c.loose.size()) << c.name;
        for (size_t k = 0; k < c.loose.size(); ++k)
            EXPECT_TRUE(near(import.GetPoints()[k], c.loose[k])) << c.name << " point " << k;
        EXPECT_EQ(import.DescribeLeftOut(), c.leftOut) << c.name;

        if (lignes.empty() && import.GetReader().Meshes.empty())
            continue;
        Couche* couche = gProjet.AddCouche("Import", gProjet.GetNumberOfCouches());
        const int level = gProjet.GetCoucheIndex(couche);
        ASSERT_TRUE(import.BuildLayer(level, false)) << c.name;
        if (lignes.empty())
        {
            // What was counted is what the layer holds.
            EXPECT_EQ(couche->GetMesh().GetNumberOfVertices(), import.CountRead()) << c.name;
            EXPECT_FALSE(couche->Editable) << c.name;
            gProjet.DeleteCouche(level, 0);
            continue;
        }
        couche->Triangulate();
        const KorMesh& mesh = couche->GetMesh();
        // Two points make no triangle.
        for (int l = 0; mesh.GetNumberOfVertices() >= 3 && l < couche->GetNumberOfLignesNiveau(); ++l)
        {
            const LigneNiveau* ligne = couche->GetLigneNiveau(l);
            EXPECT_EQ(ligne->Fermee != 0, c.closed[static_cast<size_t>(l)]) << c.name;
            const std::vector<int>& ids = ligne->Points;
            for (size_t k = 0; k + (ligne->Fermee ? 0 : 1) < ids.size(); ++k)
            {
                const KorVertex* a = mesh.GetVertex(ids[k]);
                const KorVertex* b = mesh.GetVertex(ids[(k + 1) % ids.size()]);
                const std::vector<const KorVertex*> on =
                    VerticesOn(mesh, LumPoint(a->X, a->Y, a->Z), LumPoint(b->X, b->Y, b->Z));
                ASSERT_GE(on.size(), 2u) << c.name;
                for (size_t v = 1; v < on.size(); ++v)
                    EXPECT_NE(mesh.GetEdgeBetween(on[v - 1], on[v]), nullptr)
                        << c.name << " line " << l << " segment " << k;
            }
        }
        gProjet.DeleteCouche(level, 0);
    }

    // A half-circle of radius 5 below its chord (bulge 1, counter-clockwise
    // from (0, 0) to (10, 0)): every point on the circle, no chord between
    // them farther than 0.01 from it, at most 64 chords.
    const std::string path = TempPath("arc.dxf");
    WriteAll(path, File("0\nLWPOLYLINE\n90\n2\n70\n0\n38\n20\n10\n0\n20\n0\n42\n1\n10\n10\n20\n0\n"));
    CoucheImportDXF arc;
    ASSERT_TRUE(arc.Read(path));
    std::remove(path.c_str());
    ASSERT_EQ(arc.GetLignes().size(), 1u);
    std::vector<LumPoint> points;
    for (const LumPoint& p : arc.GetLignes()[0].Points)
        points.push_back(SceneToWorld(gProjet, p));
    ASSERT_GE(points.size(), 3u);
    EXPECT_LE(points.size(), 65u);
    EXPECT_TRUE(points.front().x == 0.0 && points.back().x == 10.0);
    for (size_t k = 0; k < points.size(); ++k)
    {
        const LumPoint& p = points[k];
        EXPECT_NEAR(std::hypot(p.x - 5, p.y), 5.0, 1e-9) << k;
        EXPECT_LE(p.y, 1e-12) << k;
        EXPECT_DOUBLE_EQ(p.z, 20.0);
        if (k > 0)
        {
            const LumPoint mid = (points[k - 1] + p) * 0.5;
            EXPECT_LT(5.0 - std::hypot(mid.x - 5, mid.y), 0.01) << k;
        }
    }
}
