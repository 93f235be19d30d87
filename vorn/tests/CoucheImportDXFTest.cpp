// A layer's DXF import: how the file's entities are sorted into level lines
// and loose points, how the lines are thinned, and how the layer is filled.

#include "CoucheImportDXF.h"
#include "DXFTestFiles.h"
#include "ElementTestSupport.h"
#include "LigneNiveau.h"

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
// a polyline whose altitude varies gives loose points; POINT entities count
// only when the polylines give nothing.
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
        {"polylines hide the POINTs", line1 + slope + points, 1, 3},
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
                                  Polyline3D({{0, 0, 1}, {1, 1, 2}}));
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
