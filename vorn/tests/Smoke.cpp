#include "TeteTranchee.h"
#include <gtest/gtest.h>
TEST(Smoke, Counts)
{
    TeteTranchee t;
    EXPECT_EQ(t.GetMesh().GetNumberOfVertices(), 37);
    EXPECT_EQ(t.GetMesh().GetNumberOfFaces(), 27);
}
