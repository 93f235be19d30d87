// make_sample <folder>: writes the sample project, exemple.ovx, into the
// folder (vorn/samples in the source tree).
#include "SampleProject.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: make_sample <dossier>\n");
        return 2;
    }
    if (!WriteSampleProject(argv[1]))
    {
        std::fprintf(stderr, "make_sample: impossible d'écrire %s/exemple.ovx\n", argv[1]);
        return 1;
    }
    return 0;
}
