#pragma once

#include <algorithm>
#include <exception>
#include <future>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

// Work over a range of identifiers cut in contiguous parts run side by side.
// Range k of `parts` over [0, count) is [count * k / parts,
// count * (k + 1) / parts): a caller that keeps one accumulator per part and
// merges them in part order gets what a single loop would give.

// Items (faces, vertices) below which a range is not worth a thread.
constexpr int kRangeWorthAThread = 20000;

// How many parts of at least `minimum` items, and at most `most`, cut
// [0, count): 1 when the range is too short to be worth a thread.
inline int RangeParts(int count, int most, int minimum = kRangeWorthAThread)
{
    return std::max(1, std::min(most, count / std::max(minimum, 1)));
}

// The threads the machine runs at once, at least 1.
inline int MachineThreads()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// How many threads the helpers below have started since the program
// began: work that must stay within about the machine's threads, whatever
// the size of its input, can be checked against it.
long long KorThreadsStarted();

namespace KorParallelDetail
{
void CountThreadStarted();

// work() on a new thread, counted; throws as std::async does when no
// thread can be had.
template <class Work> std::future<void> Start(Work&& work)
{
    std::future<void> started = std::async(std::launch::async, std::forward<Work>(work));
    CountThreadStarted();
    return started;
}
} // namespace KorParallelDetail

inline int RangeBegin(int count, int parts, int k)
{
    return static_cast<int>(static_cast<long long>(count) * k / parts);
}

// work(k, from, to) for each of the `parts` ranges, the first on the
// calling thread and the others on threads of their own; a range whose
// thread cannot be had (for want of threads or of memory) runs on the
// calling thread too. Returns once all have ended; the first exception, in
// range order, is thrown then.
template <class Work> void RunInRanges(int count, int parts, const Work& work)
{
    parts = std::max(parts, 1);
    if (parts == 1)
    {
        work(0, 0, count);
        return;
    }
    std::vector<std::exception_ptr> errors(static_cast<size_t>(parts));
    const auto run = [&work, &errors, count, parts](int k)
    {
        try
        {
            work(k, RangeBegin(count, parts, k), RangeBegin(count, parts, k + 1));
        }
        catch (...)
        {
            errors[static_cast<size_t>(k)] = std::current_exception();
        }
    };
    // Reserved first: a push that failed after its thread started would
    // leave the range to run here a second time.
    std::vector<std::future<void>> helpers;
    std::vector<int> here = {0};
    helpers.reserve(static_cast<size_t>(parts));
    here.reserve(static_cast<size_t>(parts));
    for (int k = 1; k < parts; ++k)
    {
        try
        {
            helpers.push_back(KorParallelDetail::Start([&run, k] { run(k); }));
        }
        catch (const std::system_error&)
        {
            here.push_back(k);
        }
        catch (const std::bad_alloc&)
        {
            here.push_back(k);
        }
    }
    for (int k : here)
        run(k);
    for (std::future<void>& helper : helpers)
        helper.wait();
    for (const std::exception_ptr& error : errors)
        if (error)
            std::rethrow_exception(error);
}

// work(k) for each k < count (none for a count of 0), as RunInRanges runs
// its ranges: for as many pieces of work, or as many workers taking their
// work from a shared list.
template <class Work> void RunEach(int count, const Work& work)
{
    if (count > 0)
        RunInRanges(count, count, [&work](int k, int, int) { work(k); });
}

// work() here, its end and exception in a future made ready: a future
// that waits and gets as one from a thread does.
template <class Work> std::future<void> RunHere(const Work& work)
{
    std::promise<void> done;
    try
    {
        work();
        done.set_value();
    }
    catch (...)
    {
        done.set_exception(std::current_exception());
    }
    return done.get_future();
}

// work() on a thread of its own, its end and exception in the future given;
// when no thread can be had (for want of threads or of memory), work runs
// here, as RunHere runs it.
template <class Work> std::future<void> RunBeside(const Work& work)
{
    try
    {
        return KorParallelDetail::Start(work);
    }
    catch (const std::system_error&)
    {
    }
    catch (const std::bad_alloc&)
    {
    }
    return RunHere(work);
}

// An allocator that leaves the elements of a new vector default-initialised
// (plain numbers unwritten; a class's own constructor still runs): a large
// array that ranges side by side fill is then first touched, and its pages
// faulted in, by those ranges rather than zeroed beforehand by one thread.
template <class T> struct KorDefaultInit : std::allocator<T>
{
    template <class U> struct rebind
    {
        using other = KorDefaultInit<U>;
    };
    KorDefaultInit() = default;
    template <class U> KorDefaultInit(const KorDefaultInit<U>&) noexcept {}
    template <class U> void construct(U* p) noexcept(std::is_nothrow_default_constructible<U>::value)
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args> void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A vector whose new elements are left for ranges to write.
template <class T> using KorRangeVector = std::vector<T, KorDefaultInit<T>>;
