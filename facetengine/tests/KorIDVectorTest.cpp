#include "KorIDVector.h"
#include "KorEdge.h"
#include "KorVertex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <vector>

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

// Against a plain model (live flags and a double-ended queue of free
// identifiers): long runs of adds, deletes, adds at a given identifier and
// take-backs hand out the same identifiers and keep the same free count,
// the queue's taken front dropped and refilled many times over.
TEST(KorIDVector, FreeQueueFollowsAPlainModelOverLongRuns)
{
    std::mt19937 rng(7);
    KorIDVector<KorEdge> table;
    std::vector<bool> live;
    std::deque<int> queue;
    for (int step = 0; step < 20000; ++step)
    {
        const int slots = static_cast<int>(live.size());
        const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
        if (kind < 4)
        {
            int expected = slots;
            if (!queue.empty())
            {
                expected = queue.front();
                queue.pop_front();
            }
            else
                live.push_back(false);
            const bool appended = expected == slots;
            live[static_cast<size_t>(expected)] = true;
            ASSERT_EQ(table.Add()->ID, expected) << step;
            if (kind == 0)
            {
                // Taken back: an appended slot goes, a reused one goes back
                // to the queue's front.
                table.TakeBack(expected, appended);
                live[static_cast<size_t>(expected)] = false;
                if (appended)
                    live.pop_back();
                else
                    queue.push_front(expected);
            }
        }
        else if (kind < 8 && slots > 0)
        {
            const int id = std::uniform_int_distribution<int>(0, slots - 1)(rng);
            if (live[static_cast<size_t>(id)])
                queue.push_back(id);
            live[static_cast<size_t>(id)] = false;
            table.DeleteItem(id);
        }
        else
        {
            const int id = std::uniform_int_distribution<int>(0, slots + 3)(rng);
            const bool taken = id < slots && live[static_cast<size_t>(id)];
            KorEdge* item = table.AddAt(id);
            ASSERT_EQ(item == nullptr, taken) << step;
            if (taken)
                continue;
            while (static_cast<int>(live.size()) < id)
            {
                queue.push_back(static_cast<int>(live.size()));
                live.push_back(false);
            }
            if (id == static_cast<int>(live.size()))
                live.push_back(true);
            else
                queue.erase(std::find(queue.begin(), queue.end(), id));
            live[static_cast<size_t>(id)] = true;
            EXPECT_EQ(item->ID, id);
        }
        ASSERT_EQ(table.GetVectorSize(), static_cast<int>(live.size())) << step;
        ASSERT_EQ(table.GetNumberOfFreeIDs(), static_cast<int>(queue.size())) << step;
    }
    for (int id : queue)
        EXPECT_EQ(table.Add()->ID, id);
    EXPECT_EQ(table.Add()->ID, static_cast<int>(live.size()));
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
