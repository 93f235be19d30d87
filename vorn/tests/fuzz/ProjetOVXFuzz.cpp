// Any file opens as a project or is refused with a message, never a crash
// or a hang; the axis read computes its points, head and graduation; a
// project that opened saves, opens again and saves to the same bytes. Runs
// headless (the default NullUi).
#include "Axe.h"
#include "ProjetOVX.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Opens the file after a clean close (the headless answer to the save
// question is Cancel); true when the project opened.
bool OpenClean(const std::string& path)
{
    gProjet.GetUndoManager().Clear();
    gProjet.Open(path);
    return gProjet.Nom == path;
}

// Every query of the axis read, on both types; none may hang on what a file
// holds (infinite points, a NaN head, a negative scale).
void ExerciseAxe()
{
    Axe& axe = gProjet.GetAxe();
    const int type = axe.Type;
    for (int t : {type, 0, 1})
    {
        axe.Type = t;
        std::vector<LumPoint> points;
        axe.GetPoints(points);
        LumPoint head;
        double direction = 0.0, slope = 0.0;
        axe.GetHeadPosition(head, direction, slope);
        axe.GetHeadDistance();
        axe.GetPointAtDistance(axe.PositionTeteMultiligne);
        axe.ComputeGraduation();
        if (axe.GetTicks().size() > 2u * Axe::MaxTicks)
            std::abort();
    }
    axe.Type = type;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/projet_fuzz_" + std::to_string(getpid()) + ".ovx";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    if (OpenClean(path))
    {
        ExerciseAxe();
        if (!gProjet.Save())
            std::abort();
        const std::string first = ReadAll(path);
        if (!OpenClean(path) || !gProjet.Save())
            std::abort();
        if (ReadAll(path) != first)
            std::abort();
    }
    std::remove(path.c_str());
    return 0;
}
