// The 3D view's frame through the program's real main frame (run under
// Xvfb: Mesa's software renderer): one terrain layer of 10^5 or 10^6
// triangles seen whole, a static frame (the view redrawn as it stands) and
// an orbit (the camera turned 2 degrees before each frame), drawn from GL
// buffers ("buffers") and, as the reference, in immediate mode
// ("immediate", LumGLBuffer switched off), side by side in one process.
// Time: one frame per iteration (real time, milliseconds: the software
// renderer draws in threads of its own). Each run's first frame, which
// makes the buffers, is drawn before the timing.
//
// Counter cpu_all_ms: the CPU time of every thread of the process per frame
// (the renderer's own threads included), the work a frame costs whatever
// else the machine runs; the real time of a frame drawn from buffers waits
// mostly on the renderer's threads and grows with the machine's load.
// Compare medians of runs in one process:
//   --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true
#include "FrameScene.h"

#include "LumGLBuffer.h"

#include <sys/resource.h>

namespace
{
// Seconds of CPU used so far by every thread of the process.
double ProcessCpu()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void BM_View(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    const bool buffers = state.range(1) != 0;
    const bool orbit = state.range(2) != 0;
    const bool wireframe = state.range(3) != 0;
    static int built = 0;
    if (built != triangles)
    {
        FrameScene::BuildScene(1, triangles);
        gProjet.Set3DAffichageTete(false);
        built = triangles;
    }
    gProjet.Set3DSegments(wireframe);
    LumGLBuffer::SetEnabled(buffers);
    FrameScene::DrawFrame();
    state.SetLabel(std::string(buffers ? "buffers" : "immediate") + (orbit ? " orbit" : " static") +
                   (wireframe ? " wireframe" : ""));
    LumCamera* camera = FrameScene::Frame()->GetMainDevice()->GetCamera();
    const double cpu = ProcessCpu();
    for (auto _ : state)
    {
        if (orbit)
            camera->Orbit(2.0, 0.0);
        FrameScene::DrawFrame();
    }
    state.counters["cpu_all_ms"] = 1e3 * (ProcessCpu() - cpu) / static_cast<double>(state.iterations());
    LumGLBuffer::SetEnabled(true);
    gProjet.Set3DSegments(false);
}
BENCHMARK(BM_View)
    ->ArgNames({"triangles", "buffers", "orbit", "wire"})
    ->ArgsProduct({{100000, 1000000}, {0, 1}, {0, 1}, {0}})
    ->Args({1000000, 0, 0, 1})
    ->Args({1000000, 1, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);
} // namespace

wxIMPLEMENT_APP_NO_MAIN(FrameBenchApp);

int main(int argc, char** argv)
{
    return FrameScene::Main(argc, argv);
}
