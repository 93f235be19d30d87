#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "Excavation.h"
#include "ModelTestSupport.h"
#include "SurfaceShape.h"

#include <functional>
#include <new>
#include <regex>

namespace
{
// The interface's head throws std::bad_alloc at one call, as an allocation
// of the computation would when memory runs out.
class ExhaustedUi : public ScriptedUi
{
public:
    int ThrowAt = -1;
    TeteTranchee& GetTete() override
    {
        if (ThrowAt >= 0 && mCalls++ == ThrowAt)
            throw std::bad_alloc();
        return ScriptedUi::GetTete();
    }

private:
    int mCalls = 0;
};

class ExcavationFailureTest : public ModelTest
{
protected:
    // The sample project with its text changed by the edit, written and
    // opened.
    void OpenSample(const std::function<std::string(const std::string&)>& edit)
    {
        const std::string path = TempPath("absurde.ovx");
        WriteAll(path, edit(ReadAll(VORN_SAMPLE)));
        gProjet.Open(path);
        std::remove(path.c_str());
    }

    static std::string Replace(const std::string& text, const std::string& pattern, const std::string& by,
                               bool firstOnly = false)
    {
        return std::regex_replace(text, std::regex(pattern), by,
                                  firstOnly ? std::regex_constants::format_first_only
                                            : std::regex_constants::format_default);
    }
};

// Computations that cannot be made: each is a calculation error of its own
// cause, every layer, every surface and every cost variable -1, never a
// volume of 0 nor the end of the program. The case with no head position
// on the axis is no error and computes nothing.
TEST_F(ExcavationFailureTest, ComputationsThatCannotBeMadeAreCalculationErrors)
{
    struct sCase
    {
        std::string Name;
        std::function<std::string(const std::string&)> Edit;
        // Run after the open, before the computation.
        std::function<void()> Then;
        eCalculationError Cause;
    };
    const auto same = [](const std::string& text) { return text; };
    const auto nothing = [] {};
    ExhaustedUi exhausted;
    const std::vector<sCase> cases = {
        {"échelle 1e308",
         [](const std::string& t) { return Replace(t, "<Echelle>[^<]*<", "<Echelle>1e308<"); }, nothing,
         eCalculationError::Placement},
        {"échelle 0", same, [] { gProjet.Echelle = 0.0; }, eCalculationError::Placement},
        {"un point à x = 1e308",
         [](const std::string& t) { return Replace(t, " X=\"[^\"]*\"", " X=\"1e308\"", true); }, nothing,
         eCalculationError::Placement},
        {"toutes les altitudes à 1e308",
         [](const std::string& t) { return Replace(t, " Z=\"[^\"]*\"", " Z=\"1e308\""); }, nothing,
         eCalculationError::Overflow},
        {"tête de 1e12 m",
         [](const std::string& t)
         { return Replace(t, "<(lp|hp|lr|hr|lr2|hr2|LargeurTunnel|HauteurTunnel)>[^<]*<", "<$1>1e12<"); },
         nothing, eCalculationError::Intersection},
        {"mémoire épuisée", same,
         [&exhausted]
         {
             SetModelUi(&exhausted);
             exhausted.ThrowAt = 0;
         },
         eCalculationError::Memory},
    };
    for (const sCase& c : cases)
    {
        OpenSample(c.Edit);
        ASSERT_EQ(gProjet.GetNumberOfCouches(), 2) << c.Name;
        c.Then();
        ComputeExcavation();
        SetModelUi(&ui);
        EXPECT_EQ(gCalculationErrors, 1) << c.Name;
        EXPECT_EQ(gCalculationError, c.Cause) << c.Name;
        EXPECT_TRUE(gProjet.HasExcavationResults()) << c.Name;
        EXPECT_EQ(gResults.Volumes, std::vector<double>(2, -1.0)) << c.Name;
        ASSERT_EQ(gResults.Surfaces.size(), 2u) << c.Name;
        for (const std::vector<double>& surfaces : gResults.Surfaces)
            EXPECT_EQ(surfaces, std::vector<double>(13, -1.0)) << c.Name;
        EXPECT_EQ(SumResults(gResults.Volumes), -1.0) << c.Name;
        double v = 0.0;
        EXPECT_TRUE(gCostEquation.GetVariable("V", v)) << c.Name;
        EXPECT_EQ(v, -1.0) << c.Name;
        gProjet.Close();
    }

    // Fewer than two distinct axis points: no head position, no error,
    // no results.
    OpenSample(same);
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, 0, 0), LumPoint(0, 0, 0)});
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    EXPECT_FALSE(gProjet.HasExcavationResults());
    EXPECT_TRUE(gResults.Volumes.empty());
}

// A layer without surface builds no altitude grid; the computation meets
// nothing in it.
TEST_F(ExcavationFailureTest, LayerWithoutSurfaceBuildsNoAltitudeGrid)
{
    OpenSample([](const std::string& t) { return t; });
    Couche* empty = gProjet.AddCouche("Vide", 2);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->GetSurfaceShape().GetHeightGrid().IsEmpty());
    EXPECT_FALSE(gProjet.GetCouche(0)->GetSurfaceShape().GetHeightGrid().IsEmpty());
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    EXPECT_EQ(gResults.Volumes, (std::vector<double>{662.0, 167.0, 0.0}));
    EXPECT_TRUE(empty->GetSurfaceShape().GetHeightGrid().IsEmpty());
}
} // namespace
