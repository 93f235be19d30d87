#include "HeadLabels.h"
#include "KorMesh.h"
#include "TeteTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The head's faces of the classes copied with their tracks, as the cut of a
// layer holds the pieces of the head it keeps.
KorMesh CutHolding(const TeteTranchee& head, std::initializer_list<int> classes)
{
    std::vector<int> faces;
    for (int c : classes)
        for (int id : head.GetClassFaces(c).Faces)
            if (id >= 0)
                faces.push_back(id);
    KorMesh cut;
    EXPECT_TRUE(head.GetMesh().CopyFacesToMesh(faces, cut, true));
    return cut;
}

LumPoint Mean(const KorMesh& mesh, int face)
{
    const std::vector<LumPoint> points = FacePoints(mesh, face);
    LumPoint sum;
    for (const LumPoint& p : points)
        sum = sum + p;
    return sum / static_cast<double>(points.size());
}
} // namespace

// Axis along +Y (bearing 0): D = +Y, N = +X; reversed, both turn over, so
// hp stands on the other side of the head point along and across.
TEST(HeadLabels, SingleHeadSidesAndBenchHeights)
{
    TeteTranchee head;
    SingleSet().Flags(false, true).Apply(head);
    const KorMesh cut = CutHolding(head, {1, 2});
    const KorMesh none;
    for (const bool inverted : {false, true})
    {
        sHeadFrame frame{LumPoint(10, 20, 3), 0.0, inverted, 2.0};
        const double s = inverted ? -1.0 : 1.0;
        const std::vector<sHeadLabel> labels = ComputeHeadLabels(head, frame, cut);
        ASSERT_EQ(labels.size(), 4u);
        EXPECT_EQ(labels[0].Text, "15");
        EXPECT_TRUE(Near(labels[0].Position, frame.Point));
        EXPECT_EQ(labels[1].Text, "25");
        EXPECT_TRUE(Near(labels[1].Position, frame.Point - LumPoint(s * 2 * 7.5, s * 2 * 12.5, 0), 1e-12));
        // The first berm's first entry tried is the front one (entry 1).
        EXPECT_EQ(labels[2].Text, "h=15");
        EXPECT_EQ(labels[3].Text, "h=40");
        std::vector<int> pieces;
        cut.GetNewFacesFrom(head.GetClassFaces(1).Faces[1], pieces);
        ASSERT_FALSE(pieces.empty());
        EXPECT_TRUE(Near(labels[2].Position, Mean(cut, pieces.front()), 1e-12));
        // Without pieces of berms in the cut, no "h=" label.
        EXPECT_EQ(ComputeHeadLabels(head, frame, none).size(), 2u);
    }
    // Six significant digits, a point whatever the locale.
    EXPECT_EQ(FormatLabelNumber(12.3456789), "12.3457");
}

// Double head on an axis bearing 90 (D = +X, N = -Y): W from the step's
// shoulder; side 46 turns N over once more.
TEST(HeadLabels, DoubleHeadPlatformsFollowTheAdvancedSide)
{
    TeteTranchee head;
    head.DoubleEntree = true;
    ASSERT_TRUE(head.BuildMesh());
    const double W = 30 + 10 + (35 - 30 * std::tan(Deg(10))) * std::tan(Deg(20));
    for (const int cote : {45, 46})
    {
        head.CoteAvance = cote;
        const double n = cote == 46 ? -1.0 : 1.0; // N = n (0, -1, 0)
        const sHeadFrame frame{LumPoint(), 90.0, false, 1.0};
        const std::vector<sHeadLabel> labels = ComputeHeadLabels(head, frame, KorMesh());
        ASSERT_EQ(labels.size(), 4u);
        const LumPoint expected[] = {LumPoint(0, -n * (30 - W) / 2, 0), LumPoint(-15.0 / 2, n * W / 2, 0),
                                     LumPoint(0, -n * (W - 10) / 2, 0),
                                     LumPoint(35.0 / 2, -n * (W / 2 - 10), 0)};
        const char* texts[] = {"30", "15", "10", "35"};
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_EQ(labels[k].Text, texts[k]) << cote;
            EXPECT_TRUE(Near(labels[k].Position, expected[k], 1e-9)) << cote << " " << k;
        }
    }
}
