// Paths fixed at start-up: the program's own folder whatever the name it
// was started by, and a project path that survives the change of folder.

#include "StartupPaths.h"
#include "KorString.h"

#include <gtest/gtest.h>

namespace
{
TEST(StartupPaths, ProjectPathIsMadeAbsoluteFromTheStartFolder)
{
    const struct
    {
        const char* path;
        const char* cwd;
        const char* expected;
    } cases[] = {
        {"exemple.ovx", "/home/u", "/home/u/exemple.ovx"},
        {"../p/e.ovx", "/home/u/w", "/home/u/w/../p/e.ovx"},
        {"/abs/e.ovx", "/home/u", "/abs/e.ovx"},
        {"e.ovx", "/", "/e.ovx"},
        {"", "/home/u", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AbsolutePath(c.path, c.cwd), c.expected) << c.path;
}

TEST(StartupPaths, ApplicationFolderIsTheProgramsWhateverItsName)
{
    // This test program lies beside the program, however argv[0] spells it
    // and wherever it was started from.
    std::string expected = GetFolderFromPath(std::string(VORN_PROGRAM));
    expected.pop_back();
    for (const char* argv0 : {"VornGuiTests", "./VornGuiTests", "../x/VornGuiTests"})
        EXPECT_EQ(ExecutableFolder(argv0, "/somewhere/else"), expected) << argv0;
}
} // namespace
