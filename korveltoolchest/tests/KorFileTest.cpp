#include "KorFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace
{
class KorFileTest : public testing::Test
{
protected:
    std::string path = testing::TempDir() + "korfile_" + std::to_string(getpid()) + "_" +
                       testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    void TearDown() override { std::remove(path.c_str()); }

    std::string Bytes() const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void WriteBytes(const std::string& bytes) const
    {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
    }
};

const std::string kHeader =
    std::string("\x16\0\0\0", 4) + "...Korvel Toolchest..." + std::string("\x04\0\0\0", 4) + "Mesh";
} // namespace

TEST_F(KorFileTest, StringsAreLittleEndianLengthThenBytes)
{
    {
        KorFile f(path, KorFile::WRITE, nullptr);
        ASSERT_TRUE(f.IsOpen());
        f << "abc" << std::string();
        const std::uint32_t n = 0x01020304;
        f.Insert(&n, 4);
    }
    // No header without a format; the raw block is written as it is in memory.
    std::string expected = std::string("\x03\0\0\0abc", 7) + std::string(4, '\0');
    const std::uint32_t n = 0x01020304;
    expected.append(reinterpret_cast<const char*>(&n), 4);
    EXPECT_EQ(Bytes(), expected);
}

TEST_F(KorFileTest, HeaderAndRoundTrip)
{
    const std::string format = "Mesh";
    {
        KorFile f(path, KorFile::WRITE, &format);
        f << std::string("pi\xc3\xa9"
                         "ce")
          << "";
        const double d = 2.5;
        f.Insert(&d, sizeof d);
    }
    EXPECT_EQ(Bytes().substr(0, kHeader.size()), kHeader);

    KorFile f;
    ASSERT_TRUE(f.Open(path, KorFile::READ, &format));
    std::string a = "x", b = "x";
    double d = 0;
    EXPECT_TRUE(f >> a);
    EXPECT_TRUE(f >> b);
    EXPECT_TRUE(f.Get(&d, sizeof d));
    EXPECT_EQ(a, "pi\xc3\xa9"
                 "ce");
    EXPECT_EQ(b, "");
    EXPECT_EQ(d, 2.5);
    // Past the end.
    char c;
    EXPECT_FALSE(f.Get(&c, 1));
    EXPECT_FALSE(f >> a);
}

TEST_F(KorFileTest, HeaderMismatchesCloseTheFile)
{
    const std::string format = "Mesh", other = "Tete";
    {
        KorFile f(path, KorFile::WRITE, &format);
    }
    KorFile f;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Open(path, KorFile::READ, &other));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorFile::Load -> Impossible to load the file '" + path + "' to read binary : Wrong format\n");

    WriteBytes(std::string("\x03\0\0\0abc", 7));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Open(path, KorFile::READ, &format));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "KorFile::Load -> Impossible to load the file '" +
                                                          path + "' to read binary : Bad Korvel format\n");

    // Too short even for the magic's length.
    WriteBytes("ab");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Open(path, KorFile::READ, &format));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Bad Korvel format"), std::string::npos);

    // A null format reads no header.
    EXPECT_TRUE(f.Open(path, KorFile::READ, nullptr));
    char two[2];
    EXPECT_TRUE(f.Get(two, 2));
    EXPECT_EQ(std::string(two, 2), "ab");
}

TEST_F(KorFileTest, DamagedLengthFailsWithoutAllocating)
{
    // A length of nearly 4 GiB followed by three bytes.
    WriteBytes(std::string("\xf0\xff\xff\xff"
                           "abc",
                           7));
    KorFile f(path, KorFile::READ, nullptr);
    std::string s = "kept";
    EXPECT_FALSE(f >> s);
    EXPECT_EQ(s, "kept");
    EXPECT_FALSE(f >> s);

    // The same length in place of the format name.
    WriteBytes(kHeader.substr(0, 26) + std::string("\xf0\xff\xff\x7f", 4) + "Mesh");
    const std::string format = "Mesh";
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Open(path, KorFile::READ, &format));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Wrong format"), std::string::npos);
}

TEST_F(KorFileTest, WrongModeAndOpenFailures)
{
    KorFile closed;
    char c = 0;
    std::string s;
    EXPECT_FALSE(closed.Get(&c, 1));
    EXPECT_FALSE(closed >> s);
    closed << "ignored";
    closed.Insert(&c, 1);

    {
        KorFile w(path, KorFile::WRITE, nullptr);
        w << "one";
        EXPECT_FALSE(w.Get(&c, 1));
        EXPECT_FALSE(w >> s);
    }
    {
        KorFile r(path, KorFile::READ, nullptr);
        r << "not written";
        r.Insert("zz", 2);
    }
    EXPECT_EQ(Bytes(), std::string("\x03\0\0\0one", 7));

    const std::string missing = testing::TempDir() + "no_such_dir/x.bin";
    KorFile f;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Open(missing, KorFile::READ, nullptr));
    EXPECT_FALSE(f.Open(missing, KorFile::WRITE, nullptr));
    EXPECT_FALSE(f.Open(path, static_cast<KorFile::OpeningType>(7), nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "KorFile::Load -> Impossible to load the file '" + missing +
                  "' to read binary\n"
                  "KorFile::Load -> Impossible to load the file '" +
                  missing +
                  "' to write binary\n"
                  "KorFile::Load -> The opening type is unknow to load the file '" +
                  path + "'\n");
    EXPECT_FALSE(f.IsOpen());

    ASSERT_TRUE(f.Open(path, KorFile::READ, nullptr));
    EXPECT_TRUE(f.Open(path, static_cast<KorFile::OpeningType>(0), nullptr));
    EXPECT_FALSE(f.IsOpen());
}

// A file being written is replaced only at Close, and only whole: a write
// past a file-size limit (SIGXFSZ ignored) leaves the old file, Close
// saying so in one line.
TEST_F(KorFileTest, WrittenWholeAtCloseOrNotAtAll)
{
    WriteBytes("old");
    KorFile f(path, KorFile::WRITE, nullptr);
    f << std::string(100000, 'x');
    EXPECT_EQ(Bytes(), "old");
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    f << std::string(100000, 'y');
    testing::internal::CaptureStdout();
    EXPECT_FALSE(f.Close());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(
        testing::internal::GetCapturedStdout().rfind("KorFile::Close -> Impossible to write the file '", 0),
        0u);
    EXPECT_EQ(Bytes(), "old");
}
