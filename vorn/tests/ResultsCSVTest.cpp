#include "CurvesModel.h"
#include "ModelTestSupport.h"
#include "ResultatsOVX.h"
#include "ResultsTable.h"

#include <cmath>

namespace
{
using ResultsCSVTest = ModelTest;

std::string Write(const ResultsTable& table)
{
    std::ostringstream out;
    EXPECT_TRUE(table.WriteCSV(out));
    return out.str();
}

std::string Write(const CurvesModel& model)
{
    std::ostringstream out;
    EXPECT_TRUE(model.WriteCSV(out));
    return out.str();
}

// The three head types' header lines; the cells in full; a layer name
// holding the separator quoted.
TEST(ResultsTable, HeaderLinesCellsAndQuoting)
{
    const struct
    {
        bool doubleEntree;
        int cote;
        const char* header;
    } cases[] = {
        {false, 45, ";Volume;PF;FI;FM;FS;G1I;G1M;G1S;D1I;D1M;D1S;G2;D2;Surface;\n"},
        {true, 45, ";Volume;PF;F1I;F1M;F1S;F2I;F2M;F2S;G1I;G1M;G1S;G2I;G2M;G2S;G3;D1I;D1M;D1S;D2;Surface;\n"},
        {true, 30, ";Volume;PF;F1I;F1M;F1S;F2I;F2M;F2S;D1I;D1M;D1S;D2I;D2M;D2S;D3;G1I;G1M;G1S;G2;Surface;\n"},
    };
    for (const auto& c : cases)
    {
        ResultsTable table;
        table.Build({"Marne"}, c.doubleEntree, c.cote, {1.0}, {});
        EXPECT_EQ(Write(table).substr(0, std::string(c.header).size()), c.header);
        EXPECT_EQ(table.Cells[0].size(), c.doubleEntree ? 20u : 14u);
    }
    ResultsTable table;
    std::vector<double> surfaces(13, 0.0);
    surfaces[0] = 234.0;
    surfaces[12] = 2600123.0;
    table.Build({"a;b", "c\"d"}, false, 45, {1234567.0, -1.0}, {surfaces});
    EXPECT_EQ(Write(table), ";Volume;PF;FI;FM;FS;G1I;G1M;G1S;D1I;D1M;D1S;G2;D2;Surface;\n"
                            "\"a;b\";1234567;234;0;0;0;0;0;0;0;0;0;0;0;2600123;\n"
                            "\"c\"\"d\";-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;\n");
}

// One quantity of a series with one failed position: drawn without it,
// written with its -1, as a curve (one row) or a transposed grid, and its
// details read "non calculé".
TEST_F(ResultsCSVTest, CurvesKeepTheRecordedValuesAndPlotNoFailure)
{
    ResultatsOVX& r = gProjet.GetResultats();
    r.Clear();
    r.BuildVariableNames(false, 45, 1);
    r.Axe1 = {-1.0, 0.5, 2.0};
    std::vector<double> s(13, 0.0);
    r.AddRecord(LumPoint(1.0, 2.0, 3.0), {829.0}, {s}, 13.46);
    r.AddFailedRecord(LumPoint());
    r.AddRecord(LumPoint(), {1234567.0}, {s}, 2.0);
    r.EvaluateCosts("V+1");

    CurvesModel model;
    model.Select(r, "V");
    EXPECT_FALSE(model.IsGrid());
    EXPECT_EQ(Write(model), "Position;V\n-1;829\n0.5;-1\n2;1234567\n");
    ASSERT_EQ(model.Plotted.size(), 1u);
    EXPECT_EQ(model.Plotted[0][0], 829.0);
    EXPECT_TRUE(std::isnan(model.Plotted[0][1]));
    model.Select(r, "Coûts");
    EXPECT_EQ(Write(model), "Position;Coûts\n-1;830\n0.5;-1\n2;1234568\n");
    EXPECT_TRUE(std::isnan(model.Plotted[0][1]));
    model.Select(r, "H");
    const CurvesModel::Labels labels = model.GetLabels(r, 0, 0);
    EXPECT_EQ(labels.Value, "H : 13,5");
    EXPECT_EQ(labels.Volume, "Volume : 829");
    EXPECT_EQ(labels.Cost, "Coût : 830");
    EXPECT_EQ(labels.Position, "Position : X=1,00  Y=2,00  Z=3,00");
    const CurvesModel::Labels failed = model.GetLabels(r, 0, 1);
    EXPECT_EQ(failed.Value + " | " + failed.Volume + " | " + failed.Cost,
              "H : non calculé | Volume : non calculé | Coût : non calculé");
    // A cost the expression makes -1 where the position computed is a
    // number; the failed position's is still not one.
    r.EvaluateCosts("V-830");
    model.Select(r, "Coûts");
    EXPECT_EQ(model.GetLabels(r, 0, 0).Cost, "Coût : -1");
    EXPECT_EQ(model.GetLabels(r, 0, 0).Value, "Coûts : -1");
    EXPECT_EQ(model.GetLabels(r, 0, 1).Value, "Coûts : non calculé");
    model.Select(r, "nothing");
    EXPECT_TRUE(model.Recorded.empty());

    // Two offsets, the second row cut short by a cancel.
    r.Axe2 = {-5.0, 5.0};
    r.AddRecord(LumPoint(), {7.0}, {s}, 1.0);
    model.Select(r, "V");
    EXPECT_TRUE(model.IsGrid());
    EXPECT_EQ(Write(model), "V;-5;5\n-1;829;7\n0.5;-1;\n2;1234567;\n");
}

// Exports: a cancel writes nothing, no results touch no file, an
// unopenable or failing file is reported.
TEST_F(ResultsCSVTest, ExportsReportEveryFailure)
{
    const std::string path = TempPath("export.csv");
    ResultsTable empty;
    WriteAll(path, "kept");
    ui.PathAnswers = {path};
    EXPECT_FALSE(empty.ExportCSV());
    ASSERT_EQ(ui.Boxes.size(), 1u);
    EXPECT_EQ(ui.Boxes[0].Text, "Aucun résultat à exporter");
    EXPECT_EQ(ui.Boxes[0].Caption, "Information");
    EXPECT_EQ(ReadAll(path), "kept");

    ResultsTable table;
    table.Build({"L"}, false, 45, {1.0}, {});
    const struct
    {
        std::string path;
        bool written;
    } cases[] = {{"", false}, {path, true}, {"/nonexistent/folder/x.csv", false}, {"/dev/full", false}};
    for (const auto& c : cases)
    {
        ui.ClearLog();
        ui.PathAnswers = {c.path};
        EXPECT_EQ(table.ExportCSV(), c.written) << c.path;
        ASSERT_EQ(ui.FileRequests.size(), 1u);
        EXPECT_EQ(ui.FileRequests[0].Wildcard, "CSV files (*.csv)|*.csv");
        if (c.written || c.path.empty())
            EXPECT_TRUE(ui.Boxes.empty());
        else
        {
            ASSERT_EQ(ui.Boxes.size(), 1u);
            EXPECT_EQ(ui.Boxes[0].Text, "Impossible d'exporter sous le fichier '" + c.path + "'");
            EXPECT_EQ(ui.Boxes[0].Caption, "Erreur");
        }
    }
    EXPECT_EQ(ReadAll(path), Write(table));
    std::remove(path.c_str());
}
} // namespace
