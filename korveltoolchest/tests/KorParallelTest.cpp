#include "KorParallel.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

// Sums kept by range and merged in range order give what one loop gives,
// every item visited once, for counts that do and do not divide evenly.
TEST(KorParallelTest, RangesCoverEveryItemOnceInOrder)
{
    for (const auto& [count, most] : std::vector<std::pair<int, int>>{
             {0, 4}, {1, 4}, {19999, 4}, {40000, 4}, {100003, 4}, {100003, 3}, {60000, 64}})
    {
        const int parts = RangeParts(count, most);
        EXPECT_GE(parts, 1);
        EXPECT_LE(parts, most);
        EXPECT_TRUE(parts == 1 || count / parts >= kRangeWorthAThread) << count;
        std::vector<int> visits(static_cast<size_t>(count), 0);
        std::vector<std::vector<int>> seen(static_cast<size_t>(parts));
        RunInRanges(count, parts,
                    [&](int part, int from, int to)
                    {
                        for (int i = from; i < to; ++i)
                        {
                            ++visits[static_cast<size_t>(i)];
                            seen[static_cast<size_t>(part)].push_back(i);
                        }
                    });
        std::vector<int> merged, expected(static_cast<size_t>(count));
        for (const std::vector<int>& range : seen)
            merged.insert(merged.end(), range.begin(), range.end());
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(merged, expected) << count << " in " << parts;
        EXPECT_TRUE(std::all_of(visits.begin(), visits.end(), [](int v) { return v == 1; }));
    }
}

// Every range runs to its end; the first failure by range order is the one
// thrown, whichever thread failed first.
TEST(KorParallelTest, FirstFailureInRangeOrderIsThrownOnceAllEnded)
{
    std::vector<int> ended(4, 0);
    try
    {
        RunInRanges(80000, 4,
                    [&](int part, int, int)
                    {
                        ended[static_cast<size_t>(part)] = 1;
                        if (part >= 1)
                            throw std::runtime_error(std::to_string(part));
                    });
        FAIL() << "nothing thrown";
    }
    catch (const std::runtime_error& error)
    {
        EXPECT_STREQ(error.what(), "1");
    }
    EXPECT_EQ(ended, std::vector<int>(4, 1));
}

// Each piece of work runs once, and no piece runs for a count of none;
// every piece but the first has a thread of its own, counted.
TEST(KorParallelTest, EachPieceOnceAndNoneForNone)
{
    for (int count : {0, 1, 3, 9})
    {
        std::vector<int> runs(10, 0);
        const long long before = KorThreadsStarted();
        RunEach(count, [&](int k) { ++runs[static_cast<size_t>(k)]; });
        EXPECT_EQ(KorThreadsStarted() - before, std::max(count - 1, 0)) << count;
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(runs[static_cast<size_t>(k)], k < count ? 1 : 0) << count;
    }
}

// Work run here, as when no thread can be had, gives a future that waits
// and rethrows as a thread's does: a caller waits on every future it got.
TEST(KorParallelTest, WorkRunHereGivesAFutureReadyWithItsEnd)
{
    int runs = 0;
    std::future<void> done = RunHere([&runs] { ++runs; });
    ASSERT_TRUE(done.valid());
    done.wait();
    done.get();
    std::future<void> failed = RunHere([&runs] { ++runs, throw std::runtime_error("failed"); });
    ASSERT_TRUE(failed.valid());
    failed.wait();
    EXPECT_THROW(failed.get(), std::runtime_error);
    EXPECT_EQ(runs, 2);
}
