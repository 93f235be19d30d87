// Several stale layers triangulated at once: after a project is opened every
// layer is stale, and each dense one costs a sweep and a display mesh.
#include "Couche.h"

#include "KorReportHold.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace
{
// Points from which a stale layer is worth a thread of its own.
constexpr int kDensePoints = 5000;

// One layer's mesh work and what it left for the caller's thread.
struct sTriangulation
{
    Couche* Layer = nullptr;
    std::vector<std::string> Lines;
    std::exception_ptr Error;
};

void Run(sTriangulation& task, int threads)
{
    // Held on whatever thread runs it, then handed to the caller's thread.
    KorReportHold hold(true);
    try
    {
        task.Layer->TriangulateSurface(threads);
    }
    catch (...)
    {
        task.Error = std::current_exception();
    }
    task.Lines = hold.TakeLines();
}
} // namespace

// Cost: the layers' mesh work spread over at most as many threads as the
// machine runs at once (the calling thread one of them), each taking the
// next layer in list order; then, on the calling thread, each layer in
// list order passes on its report lines and is ended, as it would have
// been alone. A failed layer's exception is thrown there, once every thread
// has ended: the layers before it are ended, those after it stay stale
// (their mesh work is made again at their next use).
void Couche::TriangulateAll(const std::vector<Couche*>& layers)
{
    std::vector<sTriangulation> tasks;
    int dense = 0;
    for (Couche* layer : layers)
        if (layer && layer->mRetriangulate &&
            std::none_of(tasks.begin(), tasks.end(), [layer](const sTriangulation& t) { return t.Layer == layer; }))
        {
            tasks.push_back({layer, {}, nullptr});
            dense += layer->mMeshes[Surface].GetNumberOfVertices() >= kDensePoints ? 1 : 0;
        }
    if (dense < 2)
    {
        // Not worth a thread: one after the other, as the callers did.
        for (const sTriangulation& task : tasks)
            if (task.Layer->mRetriangulate)
                task.Layer->Triangulate();
        return;
    }

    // The cores left over go to each layer's own share-out.
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t threads = std::min<size_t>(tasks.size(), cores);
    const int perLayer = static_cast<int>(std::max<size_t>(1, cores / threads));
    std::atomic<size_t> next{0};
    const auto work = [&tasks, &next, perLayer]
    {
        for (size_t i = next++; i < tasks.size(); i = next++)
            Run(tasks[i], perLayer);
    };
    std::vector<std::future<void>> helpers;
    helpers.reserve(threads);
    for (size_t k = 1; k < threads; ++k)
    {
        try
        {
            helpers.push_back(std::async(std::launch::async, work));
        }
        catch (const std::system_error&)
        {
            // No more threads to be had: the ones running and this one do
            // the rest.
            break;
        }
    }
    work();
    for (std::future<void>& helper : helpers)
        helper.wait();

    for (const sTriangulation& task : tasks)
    {
        KorReportHold::PassOn(task.Lines);
        if (task.Error)
            std::rethrow_exception(task.Error);
        // An earlier layer's notifications may have triangulated this one
        // again already (a section window asking for its altitude).
        if (task.Layer->mRetriangulate)
            task.Layer->EndTriangulation();
    }
}
