// Opening and saving a large project: 3 layers of about 2 x 10^5 points
// each (a 447 x 447 grid over [-250, 250]^2, every point moved off the grid
// by up to a quarter step, z a rough terrain: an inclined plane, two
// sinusoids and a uniform noise of +-0.5 m; each lower layer 6 m under the
// one above), triangulated, a polyline axis along +Y, the default head at
// the axis's middle. The project is built and written by the program's own
// Save once, in a child process, to /tmp.
//
// Measured steps:
// - open_to_volume: ProjetOVX::Open, then the first excavation
//   (ComputeExcavation), which triangulates the layers again as the 3D
//   view's first frame does; the first volume is printed as a check, and
//   open_s is the wall time of the Open alone.
// - save: the opened project saved again (ProjetOVX::Save) to another file;
//   the file's size and whether it equals the first file byte for byte are
//   reported.
//
// Peak memory: every measured step runs in its own forked child of a small
// parent, so a child's ru_maxrss is that step's own peak resident size and
// no earlier run's. The save's child first opens the project; its peak is
// reset just before the save by writing 5 to /proc/self/clear_refs (Linux's
// reset of the resident high-water mark), so peak_MB of the save is the
// save's own; when the reset is refused the figure includes the open and
// reset_refused says so. Times are the children's own, reported through a
// pipe (manual time), median over the repetitions; cpu_s is the child's
// user and system time over the step, steadier on a loaded machine. With PROJECT_BENCH_KEEP
// set, the built project stays in /tmp. With PROJECT_BENCH_FILE naming a
// project this program built, that file is measured and kept, nothing is
// built (for profiling and for comparing two builds on one file).
#include "Axe.h"
#include "Couche.h"
#include "Excavation.h"
#include "ProjetOVX.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
const int kLayers = 3;
const int kSide = 447; // kSide^2 = 199809 points a layer

std::string Path(const char* what)
{
    return "/tmp/project_bench_" + std::to_string(getpid()) + "_" + what + ".ovx";
}

const std::string& ProjectPath()
{
    static const std::string path = std::getenv("PROJECT_BENCH_FILE") ? std::getenv("PROJECT_BENCH_FILE")
                                                                       : Path("built");
    return path;
}

void BuildProject(const std::string& path)
{
    gProjet.GetUndoManager().Clear();
    gProjet.Close();
    std::mt19937 rng(44);
    std::uniform_real_distribution<double> jitter(-0.25, 0.25), noise(-0.5, 0.5);
    const double step = 500.0 / (kSide - 1);
    for (int k = 0; k < kLayers; ++k)
    {
        Couche* layer = gProjet.AddCouche("Couche" + std::to_string(k), static_cast<unsigned>(k));
        for (int i = 0; i < kSide; ++i)
            for (int j = 0; j < kSide; ++j)
            {
                const double x = -250.0 + step * (i + jitter(rng)), y = -250.0 + step * (j + jitter(rng));
                const double z = 0.5 * (y + 10.0) + 2.0 * std::sin(x / 13.0) * std::sin(y / 17.0) +
                                 std::sin(x / 3.1 + y / 4.7) + noise(rng) - 6.0 * k;
                layer->AddPoint(LumPoint(x, y, z), 1, 0, false, false);
            }
        layer->Triangulate();
    }
    Axe& axe = gProjet.GetAxe();
    axe.Type = 1;
    axe.ReplacePolyline({LumPoint(0, -1000, 0), LumPoint(0, 1000, 0)});
    axe.SetHeadPositionAtDistance(1000.0);
    gProjet.Nom = path;
    if (!gProjet.Save())
        std::_Exit(1);
}

struct sChildResult
{
    double Seconds = 0.0;
    double OpenSeconds = 0.0; // open_to_volume: the Open alone
    double PeakMB = 0.0;
    double CpuSeconds = 0.0;
    double Value = 0.0; // the first volume, or the saved file's size
    int Flag = 0;       // save: the bytes equal the opened file's; open: the volume's layers
    int ResetRefused = 0;
};

// User and system time of this process so far: on a loaded machine a
// steadier figure than the elapsed time.
double CpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double PeakMB()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

bool ResetPeak()
{
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
    refs.flush();
    return static_cast<bool>(refs);
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs step in a forked child and returns what it wrote; Seconds < 0 when
// the child failed.
template <typename Step> sChildResult InChild(Step step)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {-1.0};
    const pid_t pid = fork();
    if (pid == 0)
    {
        close(fds[0]);
        const sChildResult r = step();
        const ssize_t written = write(fds[1], &r, sizeof r);
        std::_Exit(written == static_cast<ssize_t>(sizeof r) ? 0 : 1);
    }
    close(fds[1]);
    sChildResult r;
    const bool read = pid > 0 && ::read(fds[0], &r, sizeof r) == static_cast<ssize_t>(sizeof r);
    close(fds[0]);
    int status = 0;
    if (pid > 0)
        waitpid(pid, &status, 0);
    if (!read || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        r.Seconds = -1.0;
    return r;
}

void Prepare()
{
    static bool built = false;
    if (built)
        return;
    built = true;
    if (std::getenv("PROJECT_BENCH_FILE"))
        return;
    const std::string& path = ProjectPath(); // named by the parent's id, before any fork
    const sChildResult r = InChild(
        [&path]
        {
            BuildProject(path);
            return sChildResult{};
        });
    if (r.Seconds < 0.0)
        std::abort();
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(benchmark::State& state, const sChildResult& r)
{
    state.counters["peak_MB"] = r.PeakMB;
    state.counters["cpu_s"] = r.CpuSeconds;
    state.counters["reset_refused"] = r.ResetRefused;
}

void BM_OpenToFirstVolume(benchmark::State& state)
{
    Prepare();
    for (auto _ : state)
    {
        const sChildResult r = InChild(
            []
            {
                sChildResult out;
                const double cpu = CpuSeconds();
                const auto start = std::chrono::steady_clock::now();
                gProjet.Open(ProjectPath());
                out.OpenSeconds = Seconds(start);
                ComputeExcavation();
                out.Seconds = Seconds(start);
                out.CpuSeconds = CpuSeconds() - cpu;
                out.PeakMB = PeakMB();
                for (double v : gResults.Volumes)
                    out.Value += v;
                out.Flag = static_cast<int>(gResults.Volumes.size());
                return out;
            });
        if (r.Seconds < 0.0 || r.Flag != kLayers)
        {
            state.SkipWithError("open failed");
            return;
        }
        state.SetIterationTime(r.Seconds);
        Report(state, r);
        state.counters["first_volume"] = r.Value;
        state.counters["open_s"] = r.OpenSeconds;
    }
}

void BM_Save(benchmark::State& state)
{
    Prepare();
    for (auto _ : state)
    {
        const sChildResult r = InChild(
            []
            {
                sChildResult out;
                gProjet.Open(ProjectPath());
                const std::string path = Path("saved");
                gProjet.Nom = path;
                out.ResetRefused = ResetPeak() ? 0 : 1;
                const double cpu = CpuSeconds();
                const auto start = std::chrono::steady_clock::now();
                const bool saved = gProjet.Save();
                out.Seconds = saved ? Seconds(start) : -1.0;
                out.CpuSeconds = CpuSeconds() - cpu;
                out.PeakMB = PeakMB();
                const std::string bytes = FileBytes(path);
                out.Value = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
                // The file names itself (its first "Nom", the path it was
                // saved to): the opened file with that name changed is what
                // is expected.
                std::string expected = FileBytes(ProjectPath());
                const size_t name = expected.find("<Nom>");
                const size_t end = name == std::string::npos ? name : expected.find("</Nom>", name);
                if (end != std::string::npos)
                    expected.replace(name + 5, end - name - 5, path);
                out.Flag = bytes == expected ? 1 : 0;
                std::remove(path.c_str());
                return out;
            });
        if (r.Seconds < 0.0)
        {
            state.SkipWithError("save failed");
            return;
        }
        state.SetIterationTime(r.Seconds);
        Report(state, r);
        state.counters["file_MB"] = r.Value;
        state.counters["same_bytes"] = r.Flag;
    }
}
} // namespace

BENCHMARK(BM_OpenToFirstVolume)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Save)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!std::getenv("PROJECT_BENCH_KEEP") && !std::getenv("PROJECT_BENCH_FILE"))
        std::remove(ProjectPath().c_str());
    return 0;
}
