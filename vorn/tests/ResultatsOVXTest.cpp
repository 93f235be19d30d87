#include "ResultatsOVX.h"
#include "CostVariables.h"
#include "ModelTestSupport.h"
#include "TeteTranchee.h"

#include <cmath>

namespace
{
using ResultatsOVXTest = ModelTest;

// A single head over one layer: 12 faces, S[0], V[0], then S, V, H.
ResultatsOVX& OneLayerResults(int positions)
{
    ResultatsOVX& r = gProjet.GetResultats();
    r.Clear();
    r.BuildVariableNames(false, 45, 1);
    r.Axe1.assign(static_cast<size_t>(positions), 0.0);
    return r;
}

// Surfaces of one layer of a single head: platform, 11 faces, total.
std::vector<double> Surfaces(double platform, double total)
{
    std::vector<double> s(13, 0.0);
    s[0] = platform;
    s[12] = total;
    return s;
}

TEST_F(ResultatsOVXTest, VariableNamesFollowTheHeadAndTheLayers)
{
    ResultatsOVX& r = gProjet.GetResultats();
    const struct
    {
        bool doubleEntree;
        int cote;
        size_t count;
        const char* at7;
        const char* at13;
    } cases[] = {{false, 45, 2 * 14 + 3, "D1I[0]", "V[0]"},
                 {true, 45, 2 * 20 + 3, "G1I[0]", "G3[0]"},
                 {true, 0, 2 * 20 + 3, "D1I[0]", "D3[0]"}};
    for (const auto& c : cases)
    {
        r.BuildVariableNames(c.doubleEntree, c.cote, 2);
        ASSERT_EQ(r.Variables.size(), c.count);
        EXPECT_EQ(r.Variables[7], c.at7);
        EXPECT_EQ(r.Variables[13], c.at13);
        const size_t perLayer = (c.count - 3) / 2;
        EXPECT_EQ(r.Variables[perLayer], "PF[1]");
        EXPECT_EQ(r.Variables[c.count - 3], "S");
        EXPECT_EQ(r.Variables[c.count - 1], "H");
        // The same names as the cost variables'.
        TeteTranchee head;
        head.DoubleEntree = c.doubleEntree;
        head.CoteAvance = c.cote;
        const std::vector<std::string> faces = ResultatsOVX::FaceNames(c.doubleEntree, c.cote);
        for (size_t k = 0; k < faces.size(); ++k)
            EXPECT_EQ(faces[k], GetFaceVariableName(head, static_cast<int>(k))) << k;
    }
}

// Records are full whatever the excavation left: a missing layer reads as
// failed, sums holding a -1 are -1, rows follow the axis positions.
TEST_F(ResultatsOVXTest, RecordsAreFullAndSumsKeepTheFailureMarker)
{
    ResultatsOVX& r = gProjet.GetResultats();
    r.Clear();
    r.BuildVariableNames(false, 45, 2);
    r.Axe1 = {0.0, 1.0};
    r.AddRecord(LumPoint(1, 2, 3), {100.0, 50.0}, {Surfaces(10.0, 40.0), Surfaces(5.0, 20.0)}, 13.5);
    r.AddRecord(LumPoint(), {100.0}, {Surfaces(10.0, 40.0)}, 2.0);
    r.AddFailedRecord(LumPoint(7, 8, 9));
    ASSERT_EQ(r.Values.size(), 2u);
    ASSERT_EQ(r.Values[0].size(), 2u);
    for (const auto& row : r.Values)
        for (const auto& record : row)
            EXPECT_EQ(record.size(), r.Variables.size());
    EXPECT_EQ(r.GetValue("S", 0, 0), 60.0);
    EXPECT_EQ(r.GetValue("V", 0, 0), 150.0);
    EXPECT_EQ(r.GetValue("H", 0, 0), 13.5);
    EXPECT_EQ(r.GetValue("V[1]", 0, 0), 50.0);
    EXPECT_EQ(r.GetValue("PF[1]", 0, 0), 5.0);
    EXPECT_EQ(r.GetValue("V[0]", 0, 1), 100.0);
    EXPECT_EQ(r.GetValue("V[1]", 0, 1), -1.0);
    EXPECT_EQ(r.GetValue("V", 0, 1), -1.0);
    EXPECT_EQ(r.GetValue("S", 0, 1), -1.0);
    EXPECT_EQ(r.GetValue("H", 1, 0), -1.0);
    EXPECT_EQ(r.GetValue("V[0]", 1, 0), -1.0);
    EXPECT_EQ(r.GetPosition(1, 0).z, 9.0);
    EXPECT_EQ(r.GetPosition(1, 1).z, 0.0);
    EXPECT_EQ(r.GetValue("absent", 0, 0), 0.0);
    EXPECT_EQ(r.GetValue("V", 5, 0), 0.0);
}

// Costs: a normal record, a failed one (V < 0), one of the wrong length, a
// summed face name, an expression that does not evaluate.
TEST_F(ResultatsOVXTest, CostsOfFailedOrUnevaluableCalculationsAreMinusOne)
{
    const struct
    {
        const char* equation;
        double v;
        bool shortRecord;
        double cost;
    } cases[] = {{"300*S+10*V", 829.0, false, 300.0 * 468.0 + 8290.0},
                 {"300*S+10*V", -1.0, false, -1.0},
                 {"300*S+10*V", 829.0, true, -1.0},
                 {"PF*300", 829.0, false, 234.0 * 300.0},
                 {"V/0", 829.0, false, -1.0},
                 {"G1S+V[0]", 829.0, false, 829.0}};
    for (const auto& c : cases)
    {
        ResultatsOVX& r = OneLayerResults(1);
        r.AddRecord(LumPoint(), {c.v}, {Surfaces(234.0, 468.0)}, 13.5);
        if (c.shortRecord)
            r.Values[0][0].pop_back();
        r.EvaluateCosts(c.equation);
        ASSERT_EQ(r.Couts.size(), 1u);
        ASSERT_EQ(r.Couts[0].size(), 1u);
        EXPECT_EQ(r.Couts[0][0], c.cost) << c.equation << " " << c.v;
        EXPECT_EQ(r.GetValue("Coût", 0, 0), c.cost);
    }
    // A summed face name holding a failed layer is -1, and so is the cost.
    ResultatsOVX& r = gProjet.GetResultats();
    r.Clear();
    r.BuildVariableNames(false, 45, 2);
    r.Axe1 = {0.0};
    r.AddRecord(LumPoint(), {10.0, 5.0}, {Surfaces(1.0, 2.0), Surfaces(-1.0, 2.0)}, 1.0);
    r.EvaluateCosts("PF");
    EXPECT_EQ(r.Couts[0][0], -1.0);
}

TEST_F(ResultatsOVXTest, FileFormKeepsEveryDigitAndReadsOldFiles)
{
    ResultatsOVX& r = OneLayerResults(2);
    r.Axe2 = {-0.5};
    r.Direction = 12.25;
    r.AddRecord(LumPoint(2600123.456, 0.1, -3.0), {1234567.0}, {Surfaces(0.5, 2600123.456)}, 13.5);
    r.AddFailedRecord(LumPoint(1.0, 2.0, 3.0));
    r.EvaluateCosts("V");
    r.AxeResultats.Type = 1;
    r.AxeResultats.ReplacePolyline({LumPoint(0.0, -200.0, 0.0), LumPoint(0.0, 200.0, 0.0)});

    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode node = top.addChild("Resultats");
    r.ToXML(node);
    const std::string path = TempPath("results.xml");
    ASSERT_TRUE(top.writeToFile(path, nullptr, 0));
    const std::string text = ReadAll(path);
    std::remove(path.c_str());
    EXPECT_NE(text.find("<Resultats2>0.5|"), std::string::npos) << text;
    EXPECT_NE(text.find("|2600123.456|1234567|"), std::string::npos) << text;
    EXPECT_NE(text.find("<Couts>1234567|-1|</Couts>"), std::string::npos) << text;

    ResultatsOVX back;
    back.FromXML(XMLNode::parseString(text).getChildNode("Resultats"));
    EXPECT_EQ(back.Variables, r.Variables);
    EXPECT_EQ(back.Axe1, r.Axe1);
    EXPECT_EQ(back.Axe2, r.Axe2);
    EXPECT_EQ(back.Direction, 12.25);
    EXPECT_EQ(back.Values, r.Values);
    EXPECT_EQ(back.Couts, r.Couts);
    ASSERT_EQ(back.Positions.size(), 1u);
    ASSERT_EQ(back.Positions[0].size(), 2u);
    EXPECT_EQ(back.Positions[0][0].x, 2600123.456);
    EXPECT_EQ(back.AxeResultats.Type, 1);
    EXPECT_EQ(back.AxeResultats.GetPolyline().size(), 2u);

    // An older file: six significant digits, seven position pieces, empty
    // texts and lists.
    back.FromXML(XMLNode::parseString(R"(<Resultats><Axe1>0|1|</Axe1><Axe2/><Direction>0</Direction>
        <Variables/><Resultats1><Resultats2>1.23457e+06|2|</Resultats2><Resultats2/></Resultats1>
        <Couts>5|</Couts><Couts/><Positions>1|2|3|4|5|6|7|</Positions><Positions/></Resultats>)")
                     .getChildNode("Resultats"));
    EXPECT_TRUE(back.Axe2.empty());
    EXPECT_TRUE(back.Variables.empty());
    ASSERT_EQ(back.Values.size(), 1u);
    ASSERT_EQ(back.Values[0].size(), 2u);
    EXPECT_EQ(back.Values[0][0], (std::vector<double>{1234570.0, 2.0}));
    EXPECT_TRUE(back.Values[0][1].empty());
    EXPECT_EQ(back.Couts, (std::vector<std::vector<double>>{{5.0}, {}}));
    ASSERT_EQ(back.Positions.size(), 2u);
    EXPECT_EQ(back.Positions[0].size(), 2u);
    EXPECT_TRUE(back.Positions[1].empty());
    // A file of the wrong length costs -1, never an out-of-range read.
    back.EvaluateCosts("V");
    EXPECT_EQ(back.Couts, (std::vector<std::vector<double>>{{-1.0, -1.0}}));
}

// The project saves its results and reads them back; a new project has
// none, nor the previous project's series axis.
TEST_F(ResultatsOVXTest, ProjectSavesAndResetsItsResults)
{
    const std::string path = TempPath("results.ovx");
    ResultatsOVX& r = OneLayerResults(1);
    r.AddRecord(LumPoint(), {1234567.0}, {Surfaces(1.0, 2.0)}, 1.5);
    r.AxeResultats.Rayon = 77.0;
    gProjet.Nom = path;
    ASSERT_TRUE(gProjet.Save());
    gProjet.Close();
    EXPECT_TRUE(gProjet.GetResultats().Values.empty());
    EXPECT_EQ(gProjet.GetResultats().AxeResultats.Rayon, 1000.0);
    gProjet.Open(path);
    ASSERT_EQ(gProjet.Nom, path);
    EXPECT_EQ(gProjet.GetResultats().GetValue("V", 0, 0), 1234567.0);
    EXPECT_EQ(gProjet.GetResultats().AxeResultats.Rayon, 77.0);
    std::remove(path.c_str());
}
} // namespace
