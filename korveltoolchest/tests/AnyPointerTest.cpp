#include "AnyPointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

TEST(AnyPointer, TextForms)
{
    int i = -42;
    float f = 2.0f;
    double d = 2.0;
    bool b = true;
    std::string s = "a b";
    LumPoint p(1.5, -2, 6612345.678);
    std::vector<int> vi{1, 2};
    std::vector<int> none;
    std::vector<std::string> vs{"x", "y z"};
    std::vector<double> vd{0.1, 6612345.678, 1e-20};
    EXPECT_EQ(AnyPointer(&i, "").GetAsString(), "-42");
    EXPECT_EQ(AnyPointer(&f, "").GetAsString(), "2.000");
    EXPECT_EQ(AnyPointer(&d, "").GetAsString(), "2.000000");
    EXPECT_EQ(AnyPointer(&b, "").GetAsString(), "1");
    EXPECT_EQ(AnyPointer(&s, "").GetAsString(), "a b");
    EXPECT_EQ(AnyPointer(&p, "").GetAsString(), "1.500|-2.000|6612345.678");
    EXPECT_EQ(AnyPointer(&vi, "").GetAsString(), "1|2|");
    EXPECT_EQ(AnyPointer(&none, "").GetAsString(), "");
    EXPECT_EQ(AnyPointer(&vs, "").GetAsString(), "x|y z|");
    // Lists of doubles in the shortest exact form, not six digits.
    EXPECT_EQ(AnyPointer(&vd, "").GetAsString(), "0.1|6612345.678|1e-20|");
}

TEST(AnyPointer, SetFromText)
{
    int i = 5;
    AnyPointer(&i, "").Set("12abc");
    EXPECT_EQ(i, 12);
    AnyPointer(&i, "").Set("garbage");
    EXPECT_EQ(i, 0);
    float f = 0;
    AnyPointer(&f, "").Set("0.1");
    EXPECT_EQ(f, 0.1f);
    double d = 0;
    AnyPointer(&d, "").Set("-6612345.678901");
    EXPECT_EQ(d, -6612345.678901);
    bool b = false;
    AnyPointer(&b, "").Set("2");
    EXPECT_TRUE(b);
    AnyPointer(&b, "").Set("0");
    EXPECT_FALSE(b);

    LumPoint p(9, 9, 9);
    AnyPointer(&p, "").Set("1.5|2|3");
    EXPECT_EQ(p.x, 1.5);
    EXPECT_EQ(p.y, 2.0);
    EXPECT_EQ(p.z, 3.0);
    AnyPointer(&p, "").Set("1|2");
    EXPECT_EQ(p.x, 1.5);
    AnyPointer(&p, "").Set("1|2|3|4");
    EXPECT_EQ(p.z, 3.0);

    std::vector<std::string> vs{"old"};
    AnyPointer(&vs, "").Set("a||b|");
    EXPECT_EQ(vs, (std::vector<std::string>{"a", "b"}));
    std::vector<int> vi{7};
    AnyPointer(&vi, "").Set("1|-2|x|");
    EXPECT_EQ(vi, (std::vector<int>{1, -2, 0}));
    AnyPointer(&vi, "").Set("");
    EXPECT_TRUE(vi.empty());
    std::vector<double> vd;
    AnyPointer(&vd, "").Set("0.1|1e-20|6612345.678|");
    EXPECT_EQ(vd, (std::vector<double>{0.1, 1e-20, 6612345.678}));
}

// Every value through GetAsString and Set, and through the line form, comes
// back exactly: the fixed text of a scalar is kept only where it loses
// nothing.
TEST(AnyPointer, TextAndLineFormsRoundTrip)
{
    const double values[] = {0.0,
                             -0.0,
                             1.0 / 3.0,
                             6612345.678,
                             6612345.6781234,
                             -2123456.789,
                             1234.5678901234501,
                             1e-7,
                             1e-300,
                             1e300,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::infinity()};
    std::vector<double> list(std::begin(values), std::end(values));
    std::vector<double> listBack;
    AnyPointer(&listBack, "").Set(AnyPointer(&list, "").GetAsString());
    EXPECT_EQ(listBack, list);

    for (double v : values)
    {
        double back = 0;
        AnyPointer(&back, "").Set(AnyPointer(&v, "").GetAsString());
        EXPECT_EQ(back, v) << AnyPointer(&v, "").GetAsString();
        EXPECT_EQ(std::signbit(back), std::signbit(v)) << v;
        // A point's coordinates likewise, each through its own piece (read in
        // double: through a float 6612345.678 would come back as 6612345.5).
        const LumPoint p(v, -v, 0.70710678118654757);
        LumPoint pBack;
        AnyPointer(&pBack, "").Set(AnyPointer(&p, "").GetAsString());
        EXPECT_TRUE(pBack.x == p.x && pBack.y == p.y && pBack.z == p.z) << AnyPointer(&p, "").GetAsString();
        const float f = static_cast<float>(v);
        float fBack = 1;
        AnyPointer(&fBack, "").Set(AnyPointer(&f, "").GetAsString());
        EXPECT_EQ(fBack, f) << AnyPointer(&f, "").GetAsString();

        std::stringstream line;
        AnyPointer(&v, "").InsertIntoStream(line);
        line << "_next\n";
        char buffer[256];
        double exact = 1;
        ASSERT_TRUE(AnyPointer(&exact, "").Set(line, buffer, sizeof buffer));
        EXPECT_EQ(exact, v);
        EXPECT_STREQ(buffer, "_next");
    }

    float f = 1.0f / 3.0f;
    float fBack = 0;
    std::stringstream line;
    AnyPointer(&f, "").InsertIntoStream(line);
    EXPECT_EQ(line.str(), "0.33333334\n");
    line << "**\n";
    char buffer[16];
    ASSERT_TRUE(AnyPointer(&fBack, "").Set(line, buffer, sizeof buffer));
    EXPECT_EQ(fBack, f);
}

TEST(AnyPointer, LineFormOfPointsAndLists)
{
    LumPoint p(6612345.678, 2123456.789, 512.25);
    std::vector<std::string> vs{"a b", "é€"};
    std::vector<int> vi{3, -4};
    std::stringstream out;
    AnyPointer(&p, "").InsertIntoStream(out);
    AnyPointer(&vs, "").InsertIntoStream(out);
    out << "\n";
    AnyPointer(&vi, "").InsertIntoStream(out);
    out << "_end\n";
    // Shortest exact form, not the stream's six significant digits.
    EXPECT_EQ(out.str(), "6612345.678\n2123456.789\n512.25\na b\né€\n\n3\n-4\n_end\n");

    char buffer[256];
    LumPoint q;
    ASSERT_TRUE(AnyPointer(&q, "").Set(out, buffer, sizeof buffer));
    EXPECT_EQ(q.x, p.x);
    EXPECT_EQ(q.y, p.y);
    EXPECT_EQ(q.z, p.z);
    EXPECT_STREQ(buffer, "a b");
    // The point reader leaves the next line in the buffer; a list reader
    // starts after it, so the buffer's line belongs to the caller.
    std::vector<std::string> rest;
    ASSERT_TRUE(AnyPointer(&rest, "").Set(out, buffer, sizeof buffer));
    EXPECT_EQ(rest, (std::vector<std::string>{"é€"}));
    EXPECT_STREQ(buffer, "");
    std::vector<int> ints{99};
    ASSERT_TRUE(AnyPointer(&ints, "").Set(out, buffer, sizeof buffer));
    EXPECT_EQ(ints, vi);
    EXPECT_STREQ(buffer, "_end");
}

TEST(AnyPointer, LineReadersStopOnEndBufferSizeAndFailure)
{
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    int i = 3;
    std::stringstream empty("");
    EXPECT_FALSE(AnyPointer(&i, "").Set(empty, buffer, sizeof buffer));
    EXPECT_EQ(i, 3);

    // The value line may be long; the following line must fit the buffer
    // the caller gave, not a fixed 256 bytes.
    std::string s;
    const std::string longValue(1000, 'v');
    std::stringstream fits(longValue + "\n_short\n");
    EXPECT_TRUE(AnyPointer(&s, "").Set(fits, buffer, sizeof buffer));
    EXPECT_EQ(s, longValue);
    EXPECT_STREQ(buffer, "_short");
    std::stringstream tooLong("1\n_much_too_long\n");
    EXPECT_FALSE(AnyPointer(&i, "").Set(tooLong, buffer, sizeof buffer));
    EXPECT_EQ(buffer[sizeof buffer - 1], '\0');

    // A list with no end marker ends with the stream, and so does a failed
    // stream: the reader returns instead of looping.
    std::vector<int> v;
    std::stringstream unterminated("1\n2\n");
    EXPECT_FALSE(AnyPointer(&v, "").Set(unterminated, buffer, sizeof buffer));
    EXPECT_EQ(v, (std::vector<int>{1, 2}));
    std::stringstream failed("1\n2\n");
    failed.setstate(std::ios::failbit);
    EXPECT_FALSE(AnyPointer(&v, "").Set(failed, buffer, sizeof buffer));
    EXPECT_TRUE(v.empty());
    LumPoint p(1, 2, 3);
    std::stringstream twoLines("4\n5\n");
    EXPECT_FALSE(AnyPointer(&p, "").Set(twoLines, buffer, sizeof buffer));
    EXPECT_EQ(p.x, 1.0);
    EXPECT_FALSE(AnyPointer(&i, "").Set(fits, nullptr, 8));
    EXPECT_FALSE(AnyPointer(&i, "").Set(fits, buffer, 0));

    // Lines of a file written with CR LF ends read the same.
    std::stringstream crlf("2.5\r\n**\r\n");
    double d = 0;
    EXPECT_TRUE(AnyPointer(&d, "").Set(crlf, buffer, sizeof buffer));
    EXPECT_EQ(d, 2.5);
    EXPECT_STREQ(buffer, "**");
}

// Strings whose lines would read as markers ('_' or '*' first, or an empty
// list element) come back whole, and the line that follows them is still
// the caller's; a leading '\' before anything else is written as it is.
TEST(AnyPointer, LineFormStringsThatLookLikeMarkers)
{
    const std::vector<std::string> texts = {
        "_x", "**", "* note", "__init__", "", "\\", "\\_x", "\\\\*", "\\\\server\\share", "a\\", " _x"};
    for (const std::string& text : texts)
    {
        std::stringstream line;
        AnyPointer(&text, "").InsertIntoStream(line);
        line << "_next\n";
        std::string back = "unchanged";
        char buffer[256];
        ASSERT_TRUE(AnyPointer(&back, "").Set(line, buffer, sizeof buffer)) << text;
        EXPECT_EQ(back, text);
        EXPECT_STREQ(buffer, "_next") << text;
    }
    std::stringstream path;
    const std::string unc = "\\\\server\\share";
    AnyPointer(&unc, "").InsertIntoStream(path);
    EXPECT_EQ(path.str(), unc + "\n");

    std::stringstream list;
    AnyPointer(&texts, "").InsertIntoStream(list);
    list << "_next\n";
    std::vector<std::string> back;
    char buffer[256];
    ASSERT_TRUE(AnyPointer(&back, "").Set(list, buffer, sizeof buffer));
    EXPECT_EQ(back, texts);
    EXPECT_STREQ(buffer, "_next");

    // Forms written before the escape: an empty line still ends a list, and
    // lines with a '\' in front of other text keep it.
    std::stringstream old("a\n\\\\server\n\nb\n_next\n");
    ASSERT_TRUE(AnyPointer(&back, "").Set(old, buffer, sizeof buffer));
    EXPECT_EQ(back, (std::vector<std::string>{"a", "\\\\server"}));
    EXPECT_STREQ(buffer, "");
}
