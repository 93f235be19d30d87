#pragma once

#include <algorithm>
#include <exception>
#include <future>
#include <system_error>
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
    std::vector<std::future<void>> helpers;
    std::vector<int> here = {0};
    for (int k = 1; k < parts; ++k)
    {
        try
        {
            helpers.push_back(std::async(std::launch::async, run, k));
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
