#include "KorDWG.h"
#include "IOTestHelpers.h"

#include <gtest/gtest.h>

TEST(KorDWG, ReadsTheVersionAtTheStartOfWhatIsThere)
{
    KorDWG dwg;
    EXPECT_EQ(dwg.GetVersion(), "");
    EXPECT_TRUE(dwg.Load(WriteTemp("ok.dwg", std::string("AC1021") + std::string(40, '\x01'))));
    EXPECT_EQ(dwg.GetVersion(), "AC1021");
    EXPECT_EQ(dwg.GetFileName(), ""); // Load does not keep the name
    EXPECT_EQ(KorDWG(dwg).GetVersion(), "AC1021");

    // Short files load with what they have.
    EXPECT_TRUE(dwg.Load(WriteTemp("empty.dwg", "")));
    EXPECT_EQ(dwg.GetVersion(), "");
    EXPECT_TRUE(dwg.Load(WriteTemp("short.dwg", "AC1")));
    EXPECT_EQ(dwg.GetVersion(), "AC1");
}

TEST(KorDWG, MissingFileKeepsTheVersion)
{
    KorDWG dwg;
    ASSERT_TRUE(dwg.Load(WriteTemp("keep.dwg", "AC1018")));
    EXPECT_FALSE(dwg.Load("/no/such/drawing.dwg"));
    EXPECT_EQ(dwg.GetVersion(), "AC1018");
}
