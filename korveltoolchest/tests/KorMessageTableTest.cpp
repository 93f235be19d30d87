#include "KorMessageTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
class KorMessageTableTest : public testing::Test
{
protected:
    std::string Write(const std::string& stem, const std::string& content)
    {
        const std::string path =
            testing::TempDir() + "kormsg_" + std::to_string(getpid()) + "_" + stem + ".csv";
        std::ofstream(path, std::ios::binary) << content;
        m_files.push_back(path);
        return path;
    }
    void TearDown() override
    {
        for (const std::string& f : m_files)
            std::remove(f.c_str());
    }

private:
    std::vector<std::string> m_files;
};
} // namespace

TEST_F(KorMessageTableTest, LanguageColumns)
{
    const std::string file =
        Write("langs", "key;FR;EN\nhello;bonjour;hi\nbye;au revoir;goodbye\nk;;x\nalone\n\n");
    KorMessageTable en(file, "EN");
    EXPECT_TRUE(en.IsTableLoaded());
    EXPECT_EQ(en.GetMsg("hello"), "hi");
    EXPECT_EQ(en.GetMsg("bye"), "goodbye");
    EXPECT_EQ(en.GetMsg("k"), ""); // the empty cell vanished: only "x" is left, in column 1
    EXPECT_EQ(en.GetMsg("alone"), "");
    EXPECT_EQ(en.GetMsg("absent"), "");

    KorMessageTable fr(file, "FR");
    EXPECT_EQ(fr.GetMsg("hello"), "bonjour");
    EXPECT_EQ(fr.GetMsg("k"), "x");

    // A language the header does not name, or none: column 1.
    KorMessageTable de(file, "DE");
    EXPECT_EQ(de.GetMsg("bye"), "au revoir");
    KorMessageTable none(file, "");
    EXPECT_EQ(none.GetMsg("hello"), "bonjour");
    KorMessageTable lower(file, "en");
    EXPECT_EQ(lower.GetMsg("hello"), "bonjour");
}

TEST_F(KorMessageTableTest, KeyOrderAndIndices)
{
    const std::string file = Write("order", "k;FR\nzeta;z\nalpha;a\nMid;m\nalpha;a2\n");
    KorMessageTable t(file, "FR");
    EXPECT_EQ(t.GetKey(0), "Mid"); // byte order: upper case first
    EXPECT_EQ(t.GetKey(1), "alpha");
    EXPECT_EQ(t.GetMsg(1), "a2"); // the later line wins
    EXPECT_EQ(t.GetKey(2), "zeta");
    EXPECT_EQ(t.GetKey(3), "");
    EXPECT_EQ(t.GetMsg(-1), "");
    EXPECT_EQ(t.GetKey(-1), "");
}

TEST_F(KorMessageTableTest, CrlfLongLinesSeparatorAndMerge)
{
    const std::string longMessage(20000, 'm');
    const std::string first =
        Write("crlf", "key|FR|EN\r\nhello|bonjour|hi\r\nlong|" + longMessage + "|l\r\n");
    const std::string second = Write("more", "key;FR\nhello;salut\nextra;en plus");
    KorMessageTable t(second, "FR");
    EXPECT_EQ(t.GetMsg("extra"), "en plus"); // last line without an end of line
    EXPECT_EQ(t.GetSeparator(), ';');
    t.SetSeparator('|');
    EXPECT_TRUE(t.LoadTable(first, "EN"));
    EXPECT_EQ(t.GetMsg("hello"), "hi");
    EXPECT_EQ(t.GetMsg("long"), "l");
    EXPECT_EQ(t.GetMsg("extra"), "en plus");
    EXPECT_TRUE(t.LoadTable(first, "FR"));
    EXPECT_EQ(t.GetMsg("long"), longMessage);

    KorMessageTable copy(t);
    t.LoadTable(second, "FR");
    EXPECT_EQ(copy.GetMsg("hello"), "bonjour");
    EXPECT_EQ(copy.GetSeparator(), '|');
}

TEST_F(KorMessageTableTest, MissingFile)
{
    const std::string missing = testing::TempDir() + "no_such_dir/m.csv";
    testing::internal::CaptureStdout();
    KorMessageTable t(missing, "FR");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorMessageTable::LoadTable -> Impossible to open the file '" + missing + "'\n");
    EXPECT_FALSE(t.IsTableLoaded());
    EXPECT_EQ(t.GetMsg("x"), "");
}
