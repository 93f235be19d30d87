#include "Axe.h"
#include "CostVariables.h"
#include "Couche.h"
#include "Excavation.h"
#include "ModelTestSupport.h"
#include "SceneCoordinates.h"

#include <algorithm>
#include <string>
#include <vector>

namespace
{
// The head at the middle of a straight axis along +Y, under the plane
// z = 0.5 (y + 10), which is the same on both sides of the axis: the head
// mirrored across the axis must cut the same volume and surfaces.
class ExcavationMirrorTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        gProjet.Echelle = 100.0;
        Axe& axe = gProjet.GetAxe();
        axe.Type = 1;
        axe.ReplacePolyline({LumPoint(0, -200, 0), LumPoint(0, 200, 0)});
        axe.SetHeadPositionAtDistance(200.0);
        Couche* layer = gProjet.AddCouche("Couche0", 0);
        for (double gx = -100; gx <= 100 + 1e-9; gx += 5)
            for (double gy = -100; gy <= 100 + 1e-9; gy += 5)
            {
                const double x = gx + 0.37, y = gy + 0.61;
                layer->AddPoint(LumPoint(x, y, 0.5 * (y + 10)), 1, 0, false, false);
            }
    }
};

std::string SwapSides(std::string name)
{
    for (char& c : name)
        c = c == 'G' ? 'D' : (c == 'D' ? 'G' : c);
    return name;
}
} // namespace

TEST_F(ExcavationMirrorTest, AdvancedFrontOnEitherSideCutsTheSameValues)
{
    TeteTranchee& head = ui.GetTete();
    head.DoubleEntree = true;
    std::vector<double> volume[2];
    std::vector<std::vector<double>> surfaces[2];
    std::vector<std::string> names[2];
    for (const int side : {0, 1})
    {
        head.CoteAvance = side == 0 ? 45 : 46;
        ASSERT_TRUE(head.BuildMesh());
        ComputeExcavation();
        EXPECT_EQ(gCalculationErrors, 0);
        volume[side] = gResults.Volumes;
        surfaces[side] = gResults.Surfaces;
        for (int position = 0; position < 18; ++position)
            names[side].push_back(GetFaceVariableName(head, position));
    }
    ASSERT_EQ(volume[0].size(), 1u);
    EXPECT_GT(volume[0][0], 0.0);
    EXPECT_EQ(volume[1], volume[0]);
    ASSERT_EQ(surfaces[0].size(), 1u);
    ASSERT_EQ(surfaces[0][0].size(), 19u);
    EXPECT_EQ(surfaces[1], surfaces[0]);
    // The names of the side faces (positions 7 to 17) trade G and D.
    for (int position = 0; position < 18; ++position)
        EXPECT_EQ(names[1][position], position >= 7 ? SwapSides(names[0][position]) : names[0][position])
            << position;
}
