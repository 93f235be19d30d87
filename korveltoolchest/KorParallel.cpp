#include "KorParallel.h"

#include <atomic>

namespace
{
std::atomic<long long> gThreadsStarted{0};
}

long long KorThreadsStarted()
{
    return gThreadsStarted.load();
}

void KorParallelDetail::CountThreadStarted()
{
    gThreadsStarted.fetch_add(1);
}
