#include "CalculSeries.h"
#include "Axe.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"
#include "OVXAction.h"
#include "ResultatsOVX.h"

namespace
{
using CalculSeriesTest = ModelTest;

const char* const kNotFinite = "Les valeurs saisies doivent être des nombres réels finis";
const char* const kLimit = "Le nombre de calculs demandé dépasse la limite de 100000";
const char* const kAxisStep = "La valeur du pas selon l'axe ne doit pas être nulle ou négative";
const char* const kAxisOrder =
    "La valeur minimale selon l'axe ne doit pas être supérieure à la valeur maximale";
const char* const kDirectionStep = "La valeur du pas selon la direction ne doit pas être nulle ou négative";

// The dialog's texts: the axis's three, then, when given, the angle and the
// direction's three.
SeriesFields Fields(std::vector<std::string> t)
{
    SeriesFields f;
    f.AxisMinimum = t[0];
    f.AxisStep = t[1];
    f.AxisMaximum = t[2];
    f.WithDirection = t.size() == 7;
    if (f.WithDirection)
    {
        f.Angle = t[3];
        f.DirectionMinimum = t[4];
        f.DirectionStep = t[5];
        f.DirectionMaximum = t[6];
    }
    return f;
}

TEST(BuildPositions, PositionsAreCountedNotAccumulated)
{
    const struct
    {
        double min, step, max;
        std::vector<double> expected;
    } cases[] = {{0.0, 3.0, 10.0, {0.0, 3.0, 6.0, 9.0}},
                 {5.0, 1.0, 5.0, {5.0}},
                 {0.1, 0.1, 0.3, {0.1, 0.1 + 0.1, 0.1 + 2 * 0.1}},
                 {-1.0, 0.5, 0.0, {-1.0, -0.5, 0.0}}};
    for (const auto& c : cases)
    {
        std::vector<double> positions;
        ASSERT_EQ(BuildPositions(c.min, c.step, c.max, positions), SeriesBounds::Valid);
        EXPECT_EQ(positions, c.expected) << c.min << " " << c.step << " " << c.max;
    }
    std::vector<double> positions;
    ASSERT_EQ(BuildPositions(-10.0, 1.0, 10.0, positions), SeriesBounds::Valid);
    ASSERT_EQ(positions.size(), 21u);
    EXPECT_EQ(positions.back(), 10.0);
}

// The positions of -33.85 to 66.15 by 0.05 (2001, most of them with binary
// noise) and of the offsets -1 to 1 by 0.1 keep, shown and exported, the
// decimals they were typed with, within the noise of the computed ones.
TEST(SeriesLabels, PositionsLoseTheirBinaryNoise)
{
    std::vector<double> positions, offsets;
    ASSERT_EQ(BuildPositions(-33.85, 0.05, 66.15, positions), SeriesBounds::Valid);
    ASSERT_EQ(BuildPositions(-1.0, 0.1, 1.0, offsets), SeriesBounds::Valid);
    ASSERT_EQ(positions.size(), 2001u);
    for (const auto& [computed, decimals] : {std::pair{positions, 2}, std::pair{offsets, 1}})
    {
        int noisy = 0;
        const std::vector<double> labels = SeriesLabels(computed);
        ASSERT_EQ(labels.size(), computed.size());
        for (size_t k = 0; k < computed.size(); ++k)
        {
            const std::string text = KorFormatDouble(labels[k]);
            const size_t point = text.find('.');
            EXPECT_LE(point == std::string::npos ? 0 : int(text.size() - point - 1), decimals) << text;
            EXPECT_EQ(labels[k], KorAtof(KorFormatFixed(computed[k], decimals))) << text;
            EXPECT_NEAR(labels[k], computed[k], 1e-12);
            noisy += labels[k] != computed[k];
        }
        EXPECT_GT(noisy, 0);
    }
    EXPECT_EQ(SeriesLabels(positions)[0], -33.85);
    EXPECT_EQ(SeriesLabels(positions)[1], -33.8);
    EXPECT_EQ(SeriesLabels(offsets)[10], 0.0);

    // Whole numbers stay; values that need every digit stay as they are; a
    // large span keeps the decimal its values hold.
    EXPECT_EQ(SeriesLabels({-2.0, 0.0, 2.0}), (std::vector<double>{-2.0, 0.0, 2.0}));
    EXPECT_EQ(SeriesLabels({1.0 / 3.0, 2.0 / 3.0}), (std::vector<double>{1.0 / 3.0, 2.0 / 3.0}));
    EXPECT_EQ(SeriesLabels({2600000.5, 2600123.25}), (std::vector<double>{2600000.5, 2600123.25}));
    EXPECT_TRUE(SeriesLabels({}).empty());
}

// Each refusal shows its own message and runs nothing; the texts are read
// by the atof prefix rule whatever the locale, a decimal comma as a point.
TEST_F(CalculSeriesTest, RequestsAreReadOrRefusedWithTheirMessage)
{
    const struct
    {
        std::vector<std::string> fields;
        const char* message;
        size_t positions, offsets;
    } cases[] = {
        {{"-10", "1", "10"}, nullptr, 21, 0},
        {{"0", "2,5", "5"}, nullptr, 3, 0},
        {{"0", "2.5", "5"}, nullptr, 3, 0},
        {{"0", "0", "10"}, kAxisStep, 0, 0},
        {{"0", "0.000001", "10"}, kAxisStep, 0, 0},
        {{"0", "-1", "10"}, kAxisStep, 0, 0},
        {{"10", "1", "0"}, kAxisOrder, 0, 0},
        {{"0", "1", "inf"}, kNotFinite, 0, 0},
        {{"nan", "1", "10"}, kNotFinite, 0, 0},
        {{"0", "1e-6", "1e6"}, kAxisStep, 0, 0},
        {{"0", "1e-5", "1e6"}, kLimit, 0, 0},
        {{"-1e308", "1", "1e308"}, kLimit, 0, 0},
        {{"-2", "1", "2", "90", "-1", "1", "1"}, nullptr, 5, 3},
        {{"-2", "1", "2", "90", "-1", "0", "1"}, kDirectionStep, 0, 0},
        {{"-2", "1", "2", "inf", "-1", "1", "1"}, kNotFinite, 0, 0},
        {{"0", "1", "999", "0", "0", "1", "100"}, kLimit, 0, 0},
        {{"1", "1", "1000000", "0", "1", "1", "1000000"}, kLimit, 0, 0},
        {{"0", "1", "999", "0", "0", "1", "99"}, nullptr, 1000, 100},
    };
    for (const auto& c : cases)
    {
        ui.ClearLog();
        SeriesRequest request;
        request.Positions = {42.0};
        const bool read = ReadSeriesRequest(Fields(c.fields), request);
        EXPECT_EQ(read, c.message == nullptr) << c.fields[1];
        if (c.message)
        {
            ASSERT_EQ(ui.Boxes.size(), 1u);
            EXPECT_EQ(ui.Boxes[0].Text, c.message);
            EXPECT_EQ(request.Positions, std::vector<double>{42.0});
            continue;
        }
        EXPECT_TRUE(ui.Boxes.empty());
        EXPECT_EQ(request.Positions.size(), c.positions);
        EXPECT_EQ(request.Offsets.size(), c.offsets);
    }
    SeriesRequest comma, point;
    ASSERT_TRUE(ReadSeriesRequest(Fields({"0", "2,5", "5"}), comma));
    ASSERT_TRUE(ReadSeriesRequest(Fields({"0", "2.5", "5"}), point));
    EXPECT_EQ(comma.Positions, (std::vector<double>{0.0, 2.5, 5.0}));
    EXPECT_EQ(point.Positions, (std::vector<double>{0.0, 2.5, 5.0}));
}
} // namespace

namespace
{
std::string AxeXML()
{
    XMLNode node = XMLNode::createXMLTopNode("xml", 1);
    XMLNode child = node.addChild("Axe");
    gProjet.GetAxe().ToXML(child);
    const std::string path = ModelTest::TempPath("axe.xml");
    node.writeToFile(path);
    const std::string text = ModelTest::ReadAll(path);
    std::remove(path.c_str());
    return text;
}

// The head goes back to a chosen calculation of a series (shifted by its
// offset across the axis, moved by its position along it) as one undo step
// that gives the edited axis back exactly.
TEST_F(CalculSeriesTest, GoingToAPositionIsOneUndoStep)
{
    gProjet.Echelle = 100.0;
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0.0, -200.0, 0.0), LumPoint(0.0, 200.0, 0.0)});
    axe.SetHeadPositionAtDistance(200.0);
    ResultatsOVX& results = gProjet.GetResultats();
    results.Axe1 = {-2.0, 0.0, 2.0};
    results.Axe2 = {-1.0, 1.0};
    results.Direction = 90.0;
    results.AxeResultats = axe;
    XMLNode seriesAxis = OVXAction::NewSnapshot();
    results.AxeResultats.ToXML(seriesAxis);
    // The project's axis was edited since.
    axe.ReplacePolyline({LumPoint(5.0, -100.0, 0.0), LumPoint(5.0, 100.0, 0.0)});
    axe.SetHeadPositionAtDistance(50.0);
    const std::string edited = AxeXML();

    GoToSeriesPosition(seriesAxis, results, 1, 2);
    const std::string moved = AxeXML();
    ASSERT_EQ(axe.GetPolyline().size(), 2u);
    EXPECT_NEAR(axe.GetPolyline()[0].x, 1.0, 1e-12);
    EXPECT_NEAR(axe.GetPolyline()[0].y, -200.0, 1e-12);
    EXPECT_NEAR(axe.PositionTeteMultiligne, 202.0, 1e-9);
    EXPECT_FALSE(gProjet.HasExcavationResults());
    EXPECT_EQ(gProjet.GetUndoManager().GetCount(), 1u);

    gProjet.GetUndoManager().Undo();
    EXPECT_EQ(AxeXML(), edited);
    gProjet.GetUndoManager().Redo();
    EXPECT_EQ(AxeXML(), moved);

    // A reversed head moves the other way; no selection only restores.
    results.AxeResultats.TeteInversee = true;
    XMLNode reversed = OVXAction::NewSnapshot();
    results.AxeResultats.ToXML(reversed);
    GoToSeriesPosition(reversed, results, 0, 2);
    EXPECT_NEAR(axe.PositionTeteMultiligne, 198.0, 1e-9);
    EXPECT_NEAR(axe.GetPolyline()[0].x, -1.0, 1e-12);
    GoToSeriesPosition(reversed, results, -1, -1);
    EXPECT_NEAR(axe.PositionTeteMultiligne, 200.0, 1e-9);
    EXPECT_EQ(axe.GetPolyline()[0].x, 0.0);
}
} // namespace
