#include "KorDWG.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
std::string WriteTemp(const std::string& name, const std::string& bytes)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "_" + name)).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}
} // namespace

TEST(KorDWG, ReadsVersionAtStart)
{
    const std::string path = WriteTemp("vorn_dwg_ok.dwg", std::string("AC1021") + std::string(40, '\x01'));
    KorDWG dwg;
    EXPECT_EQ(dwg.GetVersion(), "");
    EXPECT_TRUE(dwg.Load(path));
    EXPECT_EQ(dwg.GetVersion(), "AC1021");
    // The name is not kept by Load.
    EXPECT_EQ(dwg.GetFileName(), "");

    KorDWG copy(dwg);
    EXPECT_EQ(copy.GetVersion(), "AC1021");
    std::remove(path.c_str());
}

TEST(KorDWG, MissingFileKeepsVersion)
{
    const std::string path = WriteTemp("vorn_dwg_keep.dwg", "AC1018");
    KorDWG dwg;
    ASSERT_TRUE(dwg.Load(path));
    EXPECT_FALSE(dwg.Load("/no/such/drawing.dwg"));
    EXPECT_EQ(dwg.GetVersion(), "AC1018");
    std::remove(path.c_str());
}

TEST(KorDWG, ShortFilesLoadWithWhatTheyHave)
{
    const std::string empty = WriteTemp("vorn_dwg_empty.dwg", "");
    const std::string shortFile = WriteTemp("vorn_dwg_short.dwg", "AC1");
    KorDWG dwg;
    EXPECT_TRUE(dwg.Load(empty));
    EXPECT_EQ(dwg.GetVersion(), "");
    EXPECT_TRUE(dwg.Load(shortFile));
    EXPECT_EQ(dwg.GetVersion(), "AC1");
    std::remove(empty.c_str());
    std::remove(shortFile.c_str());
}
