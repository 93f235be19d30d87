#include "Excavation.h"
#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "LumHandledMesh.h"
#include "MeshChecker.h"
#include "ModelTestSupport.h"
#include "TeteTestHelpers.h"

#include <functional>

namespace
{
// The scene of the checks: a straight polyline axis along +Y with the head
// at its middle (0, 0, 0), bearing 0, slope 0, and layers that are inclined
// planes z = f(x, y) sampled on a 41 x 41 grid of step 5 over [-100, 100]^2,
// every sample moved by (0.37, 0.61) off the grid so that no terrain point
// falls on a vertical edge of the head. The reference values were derived
// apart from the program (face clipping and a 0.1 m sampling agree within
// 0.05 m3).
class ExcavationTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.New();
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
        axe.SetHeadPositionAtDistance(200.0);
    }

    static Couche* AddPlane(const std::string& name, int index,
                            const std::function<double(double, double)>& z)
    {
        Couche* layer = gProjet.AddCouche(name, index);
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j)
            {
                const double x = -100.0 + 5.0 * i + 0.37;
                const double y = -100.0 + 5.0 * j + 0.61;
                layer->AddPoint(LumPoint(x, y, z(x, y)), 1, 0, false, false);
            }
        return layer;
    }

    // The surfaces of a layer by name, as the results list them.
    static double Surface(int layer, const std::string& name)
    {
        const TeteTranchee& head = GetModelUi().GetTete();
        for (int position = 0; position < 18; ++position)
            if (GetFaceVariableName(head, position) == name)
                return gResults.Surfaces.at(layer).at(position);
        if (name == "S")
            return gResults.Surfaces.at(layer).back();
        ADD_FAILURE() << "no face " << name;
        return 0.0;
    }
};

double Plane10(double, double y)
{
    return 0.5 * (y + 10.0);
}

TEST_F(ExcavationTest, ConstructorHeadUnderAnInclinedPlane)
{
    Couche* layer = AddPlane("Terrain", 0, Plane10);
    ComputeExcavation();
    EXPECT_EQ(gCalculationErrors, 0);
    EXPECT_TRUE(gProjet.HasExcavationResults());
    EXPECT_FALSE(gProjet.IsExcavationStale());
    ASSERT_EQ(gResults.Volumes.size(), 1u);
    ASSERT_EQ(gResults.Surfaces.size(), 1u);
    ASSERT_EQ(gResults.Surfaces[0].size(), 13u);
    EXPECT_EQ(gResults.Volumes[0], 829.0);
    const std::map<std::string, double> expected = {
        {"PF", 234}, {"FI", 133}, {"G1I", 36}, {"D1I", 65}, {"S", 468}};
    for (int position = 0; position < 12; ++position)
    {
        const std::string name = GetFaceVariableName(GetModelUi().GetTete(), position);
        const auto it = expected.find(name);
        EXPECT_EQ(Surface(0, name), it == expected.end() ? 0.0 : it->second) << name;
    }
    EXPECT_EQ(Surface(0, "S"), 468.0);
    EXPECT_DOUBLE_EQ(gSlopeHeight, 13.5);
    // The line, then what the further search walked along the hole's rim
    // before it met a vertex (partial, drawn as well).
    ASSERT_FALSE(gIntersectionLines.empty());
    EXPECT_GT(gIntersectionLines.front().size(), 10u);
    for (Couche::eMesh which : {Couche::Intersection, Couche::Tete, Couche::TerrainSurTete})
        EXPECT_TRUE(CheckMesh(layer->GetMesh(which))) << which;
    ASSERT_NE(gProjet.GetTeteExcavee(), nullptr);
    EXPECT_EQ(gProjet.GetTeteExcavee()->GetName(), "Tete de tranchée");
}
} // namespace
