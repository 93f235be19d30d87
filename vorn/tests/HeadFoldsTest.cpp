#include "HeadFolds.h"
#include "KorFace.h"
#include "KorMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
int Add(KorMesh& mesh, const std::vector<LumPoint>& ring)
{
    std::vector<int> ids;
    for (const LumPoint& p : ring)
        ids.push_back(mesh.AddVertex(p));
    return mesh.AddFace(ids);
}
} // namespace

// On the plane z = y: a sound square; beside it a quadrilateral whose far
// corners swapped, its slanted sides crossing at (1, 1); a triangle turned
// the other way; a vertical face. The quadrilateral is pinched: the
// triangle on its base is sound, the one above the pinch reversed; the
// triangle is a fold of no sound part; the vertical face no fold. Split,
// the pinched face leaves two triangles of its plane, traced back to it.
TEST(HeadFolds, PinchedAndTurnedFacesAreFoundAndThePinchedSplit)
{
    KorMesh mesh;
    Add(mesh, {LumPoint(0, -1, -1), LumPoint(2, -1, -1), LumPoint(2, 0, 0), LumPoint(0, 0, 0)});
    const int pinched =
        Add(mesh, {LumPoint(0, 0, 0), LumPoint(2, 0, 0), LumPoint(0, 2, 2), LumPoint(2, 2, 2)});
    const int turned = Add(mesh, {LumPoint(3, -1, -1), LumPoint(3, 0, 0), LumPoint(4, -1, -1)});
    Add(mesh, {LumPoint(5, 0, 0), LumPoint(6, 0, 0), LumPoint(6, 0, 1), LumPoint(5, 0, 1)});

    const std::vector<sHeadFold> folds = HeadFolds::Find(mesh);
    ASSERT_EQ(folds.size(), 2u);
    EXPECT_EQ(folds[0].Face, pinched);
    EXPECT_TRUE(folds[0].Pinched);
    EXPECT_NEAR((folds[0].Pinch - LumPoint(1, 1, 1)).Norm(), 0.0, 1e-12);
    // The reversed part: the pinch and the far corners.
    for (const LumPoint& corner : {LumPoint(0, 2, 2), LumPoint(2, 2, 2)})
    {
        bool found = false;
        for (const LumPoint& p : folds[0].Upper)
            found = found || (p - corner).Norm() < 1e-12;
        EXPECT_TRUE(found);
    }
    EXPECT_EQ(folds[1].Face, turned);
    EXPECT_FALSE(folds[1].Pinched);

    ASSERT_TRUE(HeadFolds::Unfold(mesh));
    const std::vector<sHeadFold> after = HeadFolds::Find(mesh);
    for (const sHeadFold& fold : after)
        EXPECT_FALSE(fold.Pinched);
    std::vector<int> pieces;
    mesh.GetNewFacesFrom(pinched, pieces);
    ASSERT_EQ(pieces.size(), 2u);
    // Two triangles of plan area 1 each, in a plane rising at 45 degrees.
    double surface = 0.0;
    for (int piece : pieces)
        surface += mesh.GetFaceSurface(mesh.GetFace(piece));
    EXPECT_NEAR(surface, 2.0 * std::sqrt(2.0), 1e-12);
}
