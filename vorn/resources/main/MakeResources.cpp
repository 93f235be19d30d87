// Writes the program's pictures and help document under a folder (vorn/
// of the source tree: make_resources <path to vorn>).

#include "ResourceFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make_resources <folder>\n");
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    for (const ResourceFile& file : BuildResourceFiles())
    {
        const std::filesystem::path path = root / file.path;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(file.bytes.data(), std::streamsize(file.bytes.size()));
        if (!out)
        {
            std::fprintf(stderr, "make_resources: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
