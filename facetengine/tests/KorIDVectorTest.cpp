#include "KorIDVector.h"
#include "KorEdge.h"
#include "KorVertex.h"

#include <gtest/gtest.h>

TEST(KorIDVector, FreedIdentifiersComeBackOldestFirstThenNewSlots)
{
    KorIDVector<KorVertex> table;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(table.Add()->ID, i);
    table.DeleteItem(5);
    table.DeleteItem(2);
    EXPECT_EQ(table.GetNumberOfItems(), 5);
    EXPECT_EQ(table.GetVectorSize(), 7);
    EXPECT_EQ(table.Add()->ID, 5);
    EXPECT_EQ(table.Add()->ID, 2);
    EXPECT_EQ(table.Add()->ID, 7);
    EXPECT_EQ(table.GetNumberOfFreeIDs(), 0);
}

TEST(KorIDVector, GetIsNullOutsideTheLiveSlotsWithoutAMessage)
{
    KorIDVector<KorEdge> table;
    table.Add();
    table.Add();
    table.DeleteItem(1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(table.Get(-1), nullptr);
    EXPECT_EQ(table.Get(2), nullptr);
    EXPECT_EQ(table.Get(1), nullptr);
    EXPECT_NE(table.Get(0), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(KorIDVector, DeleteOutOfRangeReportsAndDoubleDeleteIsSilent)
{
    KorIDVector<KorEdge> table;
    table.Add();
    table.Add();
    testing::internal::CaptureStdout();
    table.DeleteItem(9);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorIDVector<T>::DeleteItem -> Impossible to delete the item which ID is 9\n");
    table.DeleteItem(0);
    testing::internal::CaptureStdout();
    table.DeleteItem(0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(table.GetNumberOfFreeIDs(), 1);
    EXPECT_EQ(table.Add()->ID, 0);
    EXPECT_EQ(table.Add()->ID, 2);
}

TEST(KorIDVector, ClearRestartsAtZeroAndReusedSlotsComeBackDefault)
{
    KorIDVector<KorVertex> table;
    KorVertex* v = table.Add();
    v->Define(1, 2, 3);
    v->Edge = 4;
    v->NormalGiven = true;
    v->Normal.Define(0, 0, 1);
    v->Texture.Define(0.5, 0.5, 0);
    table.DeleteItem(0);
    const KorVertex* reused = table.Add();
    EXPECT_EQ(reused->ID, 0);
    EXPECT_EQ(reused->X, 0.0);
    EXPECT_EQ(reused->Y, 0.0);
    EXPECT_EQ(reused->Z, 0.0);
    EXPECT_EQ(reused->Edge, -1);
    EXPECT_FALSE(reused->NormalGiven);
    EXPECT_TRUE(reused->Normal.IsNull());
    EXPECT_TRUE(reused->Texture.IsNull());

    table.Add();
    table.DeleteItem(1);
    table.Clear();
    EXPECT_EQ(table.GetVectorSize(), 0);
    EXPECT_EQ(table.Add()->ID, 0);
}

#ifdef VORN_DEBUG_REALLOC
// The debug build moves the slots on every add, reused slot or not, so that
// the address sanitizer catches a pointer kept across an add.
TEST(KorIDVector, DebugReallocMovesTheTableOnEveryAdd)
{
    KorIDVector<KorEdge> table;
    const KorEdge* first = table.Add();
    table.Add();
    EXPECT_NE(first, table.Get(0));
    table.DeleteItem(1);
    const KorEdge* before = table.Get(0);
    EXPECT_EQ(table.Add()->ID, 1);
    EXPECT_NE(before, table.Get(0));
}
#endif
