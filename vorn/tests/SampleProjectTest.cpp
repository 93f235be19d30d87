#include "SampleProject.h"
#include "Couche.h"
#include "Excavation.h"
#include "KorNumbers.h"
#include "ModelTestSupport.h"

#include <sys/stat.h>

#include <sstream>

namespace
{
// The file's lines but the project's own name.
std::vector<std::string> LinesButNom(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find("<Nom>") == std::string::npos || line.find("\t<Nom>") != 0)
            lines.push_back(line);
    return lines;
}
} // namespace

class SampleProjectTest : public ModelTest
{
};

// The committed sample is what the generator writes, and the program reads
// it and saves it back unchanged: opening it is what a new user does first.
TEST_F(SampleProjectTest, CommittedFileIsTheGeneratorsAndSurvivesASave)
{
    const std::string folder = TempPath("sample");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_TRUE(WriteSampleProject(folder));
    const std::string generated = ReadAll(folder + "/exemple.ovx");
    EXPECT_EQ(generated, ReadAll(VORN_SAMPLE)) << "run make_sample vorn/samples";
    EXPECT_NE(generated.find("\t<Nom>exemple.ovx</Nom>"), std::string::npos);

    gProjet.Open(VORN_SAMPLE);
    ASSERT_EQ(gProjet.GetNumberOfCouches(), 2);
    EXPECT_EQ(gProjet.GetCouche(1)->Nom, "Altération");
    EXPECT_FALSE(gProjet.IsModified());
    const std::string copy = folder + "/copie.ovx";
    ui.PathAnswers.push_back(copy);
    ASSERT_TRUE(gProjet.SaveAs());
    EXPECT_EQ(LinesButNom(ReadAll(copy)), LinesButNom(generated));
    std::remove(copy.c_str());
    std::remove((folder + "/exemple.ovx").c_str());
    rmdir(folder.c_str());
}

// What the README promises a new user: the sample's head cuts 829 m3, 167
// of them in the lower layer (analytic 829.45 and 166.73, each layer
// rounded before the difference).
// The head stays where it stands when the axis's far end goes farther
// along the same line: up to the largest coordinate the computation takes,
// the same volumes; past it, the computation says the values are too large
// rather than measure a head moved off its place.
TEST_F(SampleProjectTest, OpenedSampleExcavates829CubicMetres)
{
    const std::string sample = ReadAll(VORN_SAMPLE), end = "<Point>0.000|200.000|0.000</Point>";
    ASSERT_NE(sample.find(end), std::string::npos);
    const std::string path = TempPath("long_axis.ovx");
    for (const double far : {200.0, 3e7, MaxExcavationCoordinate, 2 * MaxExcavationCoordinate, 1e308})
    {
        SCOPED_TRACE(far);
        std::string text = sample;
        WriteAll(path,
                 text.replace(text.find(end), end.size(), "<Point>0|" + KorFormatDouble(far) + "|0</Point>"));
        gProjet.Open(path);
        ASSERT_FALSE(gProjet.Nom.empty());
        ComputeExcavation();
        if (far > MaxExcavationCoordinate)
        {
            EXPECT_EQ(gCalculationError, eCalculationError::Overflow);
            continue;
        }
        ASSERT_EQ(gCalculationErrors, 0);
        ASSERT_EQ(gResults.Volumes.size(), 2u);
        EXPECT_EQ(gResults.Volumes[0], 662.0);
        EXPECT_EQ(gResults.Volumes[1], 167.0);
        EXPECT_EQ(SumResults(gResults.Volumes), 829.0);
    }
    std::remove(path.c_str());
}
