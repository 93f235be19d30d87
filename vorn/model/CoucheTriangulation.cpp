// Work on several layers at once: after a project is opened every layer is
// stale, and each dense one costs a sweep and a display mesh; after each
// computation every layer's cut meshes are copied for drawing.
#include "Couche.h"

#include "KorParallel.h"
#include "KorReportHold.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <string>
#include <vector>

namespace
{
// Points from which a stale layer is worth a thread of its own.
constexpr int kDensePoints = 5000;

// One layer's work and what it left for the caller's thread.
struct sLayerTask
{
    Couche* Layer = nullptr;
    std::vector<std::string> Lines;
    std::exception_ptr Error;
};

// work(layer, threads) on every task, spread over at most as many threads as
// the machine runs at once (the calling thread one of them), each taking the
// next layer in list order; the cores left over are each layer's own
// threads. Returns once every thread has ended. Each task's report lines are
// held on whatever thread ran it, for the caller's thread to pass on, and its
// exception kept.
template <class Work> void RunSideBySide(std::vector<sLayerTask>& tasks, const Work& work)
{
    const size_t cores = static_cast<size_t>(MachineThreads());
    const size_t threads = std::min<size_t>(tasks.size(), cores);
    const int perLayer = static_cast<int>(std::max<size_t>(1, cores / std::max<size_t>(1, threads)));
    std::atomic<size_t> next{0};
    const auto drain = [&tasks, &next, &work, perLayer]
    {
        for (size_t i = next++; i < tasks.size(); i = next++)
        {
            sLayerTask& task = tasks[i];
            KorReportHold hold(true);
            try
            {
                work(*task.Layer, perLayer);
            }
            catch (...)
            {
                task.Error = std::current_exception();
            }
            task.Lines = hold.TakeLines();
        }
    };
    RunEach(static_cast<int>(threads), [&drain](int) { drain(); });
}

// The listed layers that want the work, each once, in list order.
template <class Wants> std::vector<sLayerTask> TasksOf(const std::vector<Couche*>& layers, const Wants& wants)
{
    std::vector<sLayerTask> tasks;
    for (Couche* layer : layers)
        if (layer && wants(*layer) &&
            std::none_of(tasks.begin(), tasks.end(),
                         [layer](const sLayerTask& t) { return t.Layer == layer; }))
            tasks.push_back({layer, {}, nullptr});
    return tasks;
}

int DenseLayers(const std::vector<sLayerTask>& tasks)
{
    int dense = 0;
    for (const sLayerTask& task : tasks)
        dense += task.Layer->GetMesh().GetNumberOfVertices() >= kDensePoints ? 1 : 0;
    return dense;
}
} // namespace

// The layers' mesh work side by side; then, on the calling thread, each
// layer in list order passes on its report lines and is ended, as it would
// have been alone. A failed layer's exception is thrown there, once every
// thread has ended: the layers before it are ended, those after it stay
// stale (their mesh work is made again at their next use).
void Couche::TriangulateAll(const std::vector<Couche*>& layers)
{
    std::vector<sLayerTask> tasks = TasksOf(layers, [](const Couche& layer) { return layer.mRetriangulate; });
    if (DenseLayers(tasks) < 2)
    {
        // Not worth a thread: one after the other, as the callers did.
        for (const sLayerTask& task : tasks)
            if (task.Layer->mRetriangulate)
                task.Layer->Triangulate();
        return;
    }
    RunSideBySide(tasks, [](Couche& layer, int threads) { layer.TriangulateSurface(threads); });
    // The layers triangulated before the first failed one are no longer
    // stale, before anyone is told: an earlier layer's window updates (a
    // section window asking for altitudes) would otherwise triangulate a
    // later one again and report its lines twice.
    for (size_t i = 0; i < tasks.size() && !tasks[i].Error; ++i)
        tasks[i].Layer->mRetriangulate = false;
    for (const sLayerTask& task : tasks)
    {
        KorReportHold::PassOn(task.Lines);
        if (task.Error)
            std::rethrow_exception(task.Error);
        task.Layer->EndTriangulation();
    }
}

// Each layer's cut surface and renderable copies touch only that layer and
// tell nobody: nothing is left to do on the calling thread but pass on the
// lines and the first exception.
void Couche::RefreshCutDisplaysAll(const std::vector<Couche*>& layers)
{
    std::vector<sLayerTask> tasks =
        TasksOf(layers, [](const Couche& layer) { return layer.mCutPending || layer.mCutDisplaysStale; });
    const auto refresh = [](Couche& layer)
    {
        layer.AssembleCutSurface();
        layer.RefreshCutDisplays();
    };
    if (DenseLayers(tasks) < 2)
    {
        for (const sLayerTask& task : tasks)
            refresh(*task.Layer);
        return;
    }
    RunSideBySide(tasks, [&refresh](Couche& layer, int) { refresh(layer); });
    for (const sLayerTask& task : tasks)
    {
        KorReportHold::PassOn(task.Lines);
        if (task.Error)
            std::rethrow_exception(task.Error);
    }
}
