#pragma once

#include <string>
#include <vector>

// The program's run-time files drawn from code: every picture under
// Icons/ (toolbar and palette GIFs, PNG cursors and the frame icon, BMP
// illustrations) and the help document Aide/Aide.pdf. make_resources
// writes them; a test checks that the committed files are these bytes.
struct ResourceFile
{
    std::string path; // relative to vorn/, "Icons/New.gif"
    std::string bytes;
};

std::vector<ResourceFile> BuildResourceFiles();
