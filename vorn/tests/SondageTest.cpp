#include "ElementRecorders.h"
#include "ElementTestSupport.h"
#include "OVXAction.h"

#include <cmath>

namespace
{
class SondageTest : public ElementTest
{
protected:
    void TwoLayers()
    {
        AddSquare("Haut", 20.0);
        AddSquare("Bas", 0.0);
    }
    std::string Csv()
    {
        std::ostringstream out;
        EXPECT_TRUE(gProjet.WriteSondagesCSV(out));
        return out.str();
    }
};

// The crossing point follows the azimuth clockwise from north and the dip
// below the horizontal; north turns the azimuth.
TEST_F(SondageTest, CrossingPointsFollowAzimuthDipAndNorth)
{
    struct Case
    {
        int nord;
        double azimut, pendage;
        LumPoint offset;
    } cases[] = {
        {0, 90, 0, {10, 0, 0}},   {0, 90, 90, {0, 0, -10}}, {0, 0, 0, {0, 10, 0}},
        {0, 180, 0, {0, -10, 0}}, {90, 0, 0, {10, 0, 0}},   {0, 0, 30, {0, 10 * std::sqrt(3.0) / 2, -5}},
    };
    for (const Case& c : cases)
    {
        gProjet.Nord = c.nord;
        Sondage sondage("S", LumPoint(1, 2, 3), false);
        sondage.Azimut = c.azimut;
        sondage.Pendage = c.pendage;
        sondage.Profondeur = 10.0;
        const LumPoint p = sondage.SetPointSondage("C", 10.0)->GetPosition();
        const LumPoint bottom = sondage.GetPointAtDepth();
        for (const LumPoint& q : {p, bottom})
        {
            EXPECT_NEAR(q.x, 1 + c.offset.x, 1e-5) << c.azimut << " " << c.pendage;
            EXPECT_NEAR(q.y, 2 + c.offset.y, 1e-5) << c.azimut << " " << c.pendage;
            EXPECT_NEAR(q.z, 3 + c.offset.z, 1e-5) << c.azimut << " " << c.pendage;
        }
    }
}

// Inserting at 0 shifts the Params before the new points take 0; deleting
// the third of four renumbers the fourth; a fictitious borehole leaves free
// points, no borehole, and one undo step for them.
TEST_F(SondageTest, ParamsFollowInsertionDeletionAndFictitiousPoints)
{
    TwoLayers();
    Couche& haut = *gProjet.GetCouche(0);
    for (int k = 0; k < 3; ++k)
        gProjet.SetSondage(Vertical("S" + std::to_string(k), 10 + 20 * k, 50, {{"Haut", 12}}), -1, false,
                           false);
    gProjet.SetSondage(Vertical("Premier", 90, 50, {{"Haut", 12}, {"Bas", 25}}), 0, false, false);
    ASSERT_EQ(gProjet.GetNumberOfSondages(), 4);
    EXPECT_EQ(gProjet.GetSondageIndex("Premier"), 0);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Count(haut, 3, k), 1) << k;
    EXPECT_EQ(Count(*gProjet.GetCouche(1), 3, 0), 1);

    gProjet.DeleteSondage("S1", false); // index 2
    gProjet.DeleteSondage("Aucun", false);
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 3);
    EXPECT_EQ(Count(haut, 3), 3);
    EXPECT_EQ(Count(haut, 3, 3), 0);
    EXPECT_EQ(Count(haut, 3, 2), 1);
    // The renumbered point is S2's, at x 50.
    for (int id = 0; id < haut.GetMesh().GetVertexVectorSize(); ++id)
        if (haut.GetMesh().GetVertex(id) && haut.GetVertexType(id).Type == 3 &&
            haut.GetVertexType(id).Param == 2)
        {
            EXPECT_DOUBLE_EQ(haut.GetMesh().GetVertex(id)->X, 50.0);
        }

    const auto before = Model();
    Sondage* fictif = Vertical("F", 60, 60, {{"Haut", 12}, {"Bas", 25}}, true);
    ASSERT_EQ(gProjet.SetSondage(fictif, -1, true, true), fictif);
    EXPECT_EQ(gProjet.GetNumberOfSondages(), 3);
    EXPECT_EQ(Count(haut, 1), 5);
    EXPECT_EQ(Count(*gProjet.GetCouche(1), 1), 5);
    const auto after = Model();
    delete fictif;
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Model(), before);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(Model(), after);
}

// Refusals change nothing: a taken name, a '$' that the file would read
// back as a blank, a crossing point outside the layer order (its temporary
// points all removed again); a layer that takes no point is skipped.
TEST_F(SondageTest, CheckRefusesWithItsMessageAndLeavesTheLayers)
{
    TwoLayers();
    gProjet.SetSondage(Vertical("S1", 50, 50, {{"Haut", 12}}), -1, false, false);
    const auto before = Model();
    struct Case
    {
        Sondage* sondage;
        const char* text;
    } cases[] = {
        {Vertical("S1", 20, 20, {}), "Un autre sondage porte déjà ce nom"},
        {Vertical("S$1", 20, 20, {}), "Le nom d'un sondage ne peut pas contenir le caractère '$'."},
        // Haut crossed at z 18, Bas at z 25: every point is in place before
        // any is checked, so Haut's is found below Bas's.
        {Vertical("Bas trop haut", 20, 20, {{"Haut", 12}, {"Bas", 5}}),
         "Impossible de placer le point de la couche'Haut' : il fait intersecter la couche avec une autre"},
    };
    for (const Case& c : cases)
    {
        ui.Boxes.clear();
        EXPECT_EQ(gProjet.SetSondage(c.sondage, -1, true, true), nullptr);
        ASSERT_EQ(ui.Boxes.size(), 1u);
        EXPECT_EQ(ui.Boxes[0].Text, c.text);
        EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        EXPECT_EQ(Model(), before);
    }
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 0u);

    gProjet.GetCouche(1)->Editable = false;
    ui.Boxes.clear();
    Sondage* ok = Vertical("S2", 20, 20, {{"Haut", 12}, {"Bas", 25}});
    EXPECT_TRUE(gProjet.CheckSondage(ok));
    EXPECT_TRUE(ui.Boxes.empty());
    delete ok;
    gProjet.GetCouche(1)->Editable = true;
    EXPECT_EQ(Model(), before);
}

// The CSV: a borehole without layer ends after its total depth, each
// further layer starts with seven separators, a name holding the separator
// or a quote is quoted; a file that cannot be written is reported.
TEST_F(SondageTest, CsvExport)
{
    const std::string header = "Sondage;X;Y;Z;Azimut;Pendage;Profondeur totale;Couche;Profondeur\n";
    auto* seul = new Sondage("Seul", LumPoint(1.5, 2, 3), false);
    gProjet.SetSondage(seul, -1, false, false);
    EXPECT_EQ(Csv(), header + "Seul;1.500;2.000;3.000;0.000;0.000;100.000;\n");

    AddSquare("C1", 20.0);
    AddSquare("C;2", 10.0);
    AddSquare("C3", 0.0);
    gProjet.DeleteSondage("Seul", false);
    Sondage* trois = Vertical("a\"b", 50, 50, {{"C1", 12}, {"C;2", 25}, {"C3", 29.5}});
    gProjet.SetSondage(trois, -1, false, false);
    EXPECT_EQ(Csv(), header + "\"a\"\"b\";50.000;50.000;30.000;0.000;90.000;100.000;C1;12.000\n"
                              ";;;;;;;\"C;2\";25.000\n"
                              ";;;;;;;C3;29.500\n");

    const std::string path = TempPath("sondages.csv");
    ui.PathAnswers = {path, "/nonexistent/dir/s.csv"};
    gProjet.ExportSondagesCSV();
    EXPECT_EQ(ReadAll(path), Csv());
    EXPECT_TRUE(ui.Boxes.empty());
    gProjet.ExportSondagesCSV();
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Impossible d'exporter sous le fichier '/nonexistent/dir/s.csv'");
    ASSERT_EQ(ui.FileRequests.size(), 2u);
    EXPECT_EQ(ui.FileRequests[0].Wildcard, "CSV files (*.csv)|*.csv");
    gProjet.ExportSondagesCSV(); // cancelled: nothing
    EXPECT_EQ(ui.Boxes.size(), 1u);
    std::remove(path.c_str());
}

// Add, delete and an edit that renamed a borehole, each undone and redone;
// the renamed borehole comes back in its place. The file keeps every
// borehole with its points.
TEST_F(SondageTest, UndoRedoAndFile)
{
    TwoLayers();
    OVXUndoManager& undo = gProjet.GetUndoManager();
    gProjet.SetSondage(Vertical("A", 20, 50, {{"Haut", 12}}), -1, true, true);
    gProjet.SetSondage(Vertical("B", 40, 50, {{"Haut", 12}, {"Bas", 25}}), -1, true, true);
    gProjet.SetSondage(Vertical("C", 60, 50, {{"Bas", 25}}), -1, true, true);
    const auto three = Model();

    // The dialog's edit of B: replaced by "B2" in place.
    ASSERT_TRUE(gProjet.ChangeSondage("B", Vertical("B2", 45, 50, {{"Haut", 11}})));
    const auto renamed = Model();
    undo.Undo();
    EXPECT_EQ(Model(), three);
    undo.Redo();
    EXPECT_EQ(Model(), renamed);
    EXPECT_EQ(gProjet.GetSondageIndex("B2"), 1);

    gProjet.DeleteSondage("A", true);
    const auto deleted = Model();
    undo.Undo();
    EXPECT_EQ(Model(), renamed);
    EXPECT_EQ(gProjet.GetSondageIndex("A"), 0);
    undo.Redo();
    EXPECT_EQ(Model(), deleted);

    const std::string path = TempPath("sondages.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(path);
    EXPECT_EQ(Model(), deleted);
    std::remove(path.c_str());
}

// A layer renamed at Open keeps its boreholes' points: the point on "a|b"
// is on "a-b", exported in the CSV, taken away and given back by a deletion
// and its undo, and saved under the new name.
TEST_F(SondageTest, PointOnALayerRenamedAtOpenFollowsIt)
{
    AddSquare("a|b", 20.0);
    gProjet.SetSondage(Vertical("S", 50, 50, {{"a|b", 12}}), -1, false, false);
    const std::string path = TempPath("renamed.ovx");
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Open(path);
    ASSERT_EQ(gProjet.GetNumberOfSondages(), 1);
    EXPECT_EQ(gProjet.GetCouche(0)->Nom, "a-b");
    EXPECT_EQ(Csv(), "Sondage;X;Y;Z;Azimut;Pendage;Profondeur totale;Couche;Profondeur\n"
                     "S;50.000;50.000;30.000;0.000;90.000;100.000;a-b;12.000\n");
    const auto opened = Model();
    gProjet.DeleteSondage("S", true);
    EXPECT_EQ(Count(*gProjet.GetCouche(0), 3), 0);
    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(Model(), opened);
    EXPECT_EQ(Count(*gProjet.GetCouche(0), 3, 0), 1);
    ASSERT_TRUE(gProjet.Save());
    EXPECT_EQ(ReadAll(path).find("a|b"), std::string::npos);
    std::remove(path.c_str());
}
} // namespace
