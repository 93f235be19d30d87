// Any file opens as a project or is refused with a message, never a crash
// or a hang; a project that opened saves, opens again and saves to the same
// bytes. Runs headless (the default NullUi).
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
