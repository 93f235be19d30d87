#include "KorThread.h"
#include "KorEvent.h"
#include "KorLibrary.h"
#include "KorMutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <memory>
#include <thread>

namespace
{
// Waits (bounded) for a condition another thread makes true.
template <class F> bool Eventually(F condition)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Loops until asked to stop; counts its rounds.
class LoopThread : public KorThread
{
public:
    std::atomic<int> rounds{0};
    std::atomic<bool> sawStop{false};
    KorEvent started;
    ~LoopThread() override { Kill(); }

protected:
    void Run() override
    {
        started.Send();
        while (!IsStopRequested())
        {
            ++rounds;
            SleepThread(1);
        }
        sawStop = true;
    }
};

// Ignores the stop request until released.
class StubbornThread : public KorThread
{
public:
    KorEvent started, release;
    ~StubbornThread() override { Kill(); }

protected:
    void Run() override
    {
        started.Send();
        release.Wait();
    }
};

class ExitingThread : public KorThread
{
public:
    std::atomic<bool> before{false}, after{false};
    ~ExitingThread() override { Kill(); }

protected:
    void Run() override
    {
        before = true;
        Exit();
        after = true;
    }
};
} // namespace

TEST(KorThread, BodyThatReturnsAtOnceRunsAgainOnRestart)
{
    class Counter : public KorThread
    {
    public:
        Counter() : KorThread(5) {}
        ~Counter() override { Kill(); }
        std::atomic<int> total{0};

    protected:
        void Run() override { total += GetUserValue(); }
    } t;
    EXPECT_FALSE(t.IsRunning());
    ASSERT_TRUE(t.Start());
    EXPECT_TRUE(Eventually([&] { return !t.IsRunning(); }));
    // Started again while the last run may still be finishing.
    ASSERT_TRUE(t.Start());
    ASSERT_TRUE(t.Start());
    t.Wait();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(t.total.load(), 15);
}

TEST(KorThread, WaitStopsACooperativeBody)
{
    LoopThread t;
    ASSERT_TRUE(t.Start());
    t.started.Wait();
    EXPECT_TRUE(t.IsRunning());
    t.Wait();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_TRUE(t.sawStop.load());
    const int rounds = t.rounds.load();
    t.SleepThread(5);
    EXPECT_EQ(t.rounds.load(), rounds);
}

TEST(KorThread, WaitDoesNotForgetABodyThatIgnoresTheRequest)
{
    StubbornThread t;
    ASSERT_TRUE(t.Start());
    t.started.Wait();
    t.Wait(); // gives up after 500 ms
    EXPECT_TRUE(t.IsRunning());
    t.release.Send();
    t.Kill();
    EXPECT_FALSE(t.IsRunning());
}

TEST(KorThread, ExitEndsTheBody)
{
    ExitingThread t;
    ASSERT_TRUE(t.Start());
    EXPECT_TRUE(Eventually([&] { return t.before.load() && !t.IsRunning(); }));
    t.Kill();
    EXPECT_FALSE(t.after.load());
    // Outside a running body Exit does nothing.
    t.Exit();
}

namespace
{
// The base destructor's own path. Its body touches no member of the derived
// class, whose part is already destroyed when the base destructor stops it.
std::atomic<bool> g_bareStopped{false};
KorEvent g_bareStarted;

class Bare : public KorThread
{
protected:
    void Run() override
    {
        g_bareStarted.Send();
        while (!IsStopRequested())
            std::this_thread::yield();
        g_bareStopped = true;
    }
};
} // namespace

TEST(KorThread, DestroyingARunningThreadStopsIt)
{
    testing::internal::CaptureStdout();
    {
        auto t = std::make_unique<Bare>();
        ASSERT_TRUE(t->Start());
        g_bareStarted.Wait();
    }
    EXPECT_EQ(
        testing::internal::GetCapturedStdout(),
        "KorThread::~KorThread -> Thread destroyed before it is finished ! This may cause memory leaks.\n");
    EXPECT_TRUE(g_bareStopped.load());
}

TEST(KorEvent, SendBeforeWaitAndAutoReset)
{
    KorEvent e;
    e.Send();
    e.Send(); // still one signal
    e.Wait(); // returns at once

    std::atomic<int> released{0};
    std::thread waiter(
        [&]
        {
            e.Wait();
            ++released;
            e.Wait();
            ++released;
        });
    e.Send();
    EXPECT_TRUE(Eventually([&] { return released.load() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(released.load(), 1); // the event reset itself
    e.Send();
    waiter.join();
    EXPECT_EQ(released.load(), 2);
}

TEST(KorMutex, ValuesCrossThreadsWhole)
{
    KorMutex<bool> done;
    EXPECT_FALSE(done.Get());
    KorMutex<long long> value(0);
    std::thread writer(
        [&]
        {
            for (long long i = 1; i <= 2000; ++i)
                value.Set(i * 0x100000001LL); // both halves change together
            done.Set(true);
        });
    long long last = 0;
    while (!done.Get())
    {
        const long long v = value.Get();
        EXPECT_EQ(v % 0x100000001LL, 0);
        EXPECT_GE(v, last);
        last = v;
    }
    writer.join();
    EXPECT_EQ(value.Get(), 2000 * 0x100000001LL);
}

TEST(KorLibrary, CloseLoadedAndMissingLibraries)
{
    testing::internal::CaptureStdout();
    KorCloseLibrary("libVornNoSuchLibrary.so");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "KorCloseLibrary -> Impossible to close the library "
                                                      "'libVornNoSuchLibrary.so' because it is impossible "
                                                      "to find\n");

    // A glibc library nothing else here loads.
    const char* name = "libBrokenLocale.so.1";
    ASSERT_EQ(dlopen(name, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    void* handle = dlopen(name, RTLD_NOW);
    if (!handle)
        GTEST_SKIP() << name << " is not installed";
    testing::internal::CaptureStdout();
    KorCloseLibrary(name);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(dlopen(name, RTLD_LAZY | RTLD_NOLOAD), nullptr);
    EXPECT_TRUE(KorGetLibraryList().empty());
}
