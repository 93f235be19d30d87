#include "KorString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <tuple>
#include <utility>

TEST(KorStringText, ValidUTF8IsKept)
{
    const std::string text = "é€œ’ Zürich";
    std::string s = text;
    UTF8ToString(s);
    EXPECT_EQ(s, text);

    std::unique_ptr<char[]> utf8(StringToUTF8(text));
    EXPECT_EQ(std::string(utf8.get()), text);

    std::unique_ptr<wchar_t[]> wide(StringToWCHAR("é€œ’"));
    EXPECT_EQ(std::wstring(wide.get()), L"\u00E9\u20AC\u0153\u2019");
}

TEST(KorStringText, Windows1252BytesReadAsTheirCharacters)
{
    // "été € œ’" in Windows-1252, and one of its five undefined bytes.
    std::string s = "\xE9t\xE9 \x80 \x9C\x92\x81";
    UTF8ToString(s);
    EXPECT_EQ(s, "été € œ’?");

    std::unique_ptr<wchar_t[]> wide(StringToWCHAR("caf\xE9"));
    EXPECT_EQ(std::wstring(wide.get()), L"caf\u00E9");

    std::unique_ptr<char[]> utf8(StringToUTF8("\xB0"
                                              "C"));
    EXPECT_EQ(std::string(utf8.get()), "°C");
}

TEST(KorStringText, MalformedSequencesFallBackBytewise)
{
    // Truncated sequence, overlong '/', encoded surrogate: none is UTF-8.
    const std::pair<std::string, std::string> cases[] = {
        {"a\xC3", "aÃ"}, {"\xC0\xAF", "À¯"}, {"\xED\xA0\x80", "í\xC2\xA0€"}};
    for (const auto& [in, out] : cases)
    {
        std::string s = in;
        UTF8ToString(s);
        EXPECT_EQ(s, out);
        // Normalising twice changes nothing more.
        UTF8ToString(s);
        EXPECT_EQ(s, out);
    }
}

TEST(KorStringEdit, ReplaceDeleteAndCase)
{
    std::string s = "a b  c";
    ReplaceChar(s, ' ', '$');
    EXPECT_EQ(s, "a$b$$c");
    DeleteChar(s, '$');
    EXPECT_EQ(s, "abc");

    // Bytes above 0x7F go through the C functions without sign trouble.
    std::string high = "AbC\xE9\xFF";
    ToLower(high);
    EXPECT_EQ(high, "abc\xE9\xFF");
    ToUpper(high);
    EXPECT_EQ(high, "ABC\xE9\xFF");
}

TEST(KorStringParse, CharSeparatorDropsEmptyPieces)
{
    std::vector<std::string> out = {"stale"};
    ParseString(";a;;b;", out, ';');
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b"}));
    ParseString("", out, ';');
    EXPECT_TRUE(out.empty());
    ParseString(";;;", out, ';');
    EXPECT_TRUE(out.empty());
    ParseString("abc", out, ';');
    EXPECT_EQ(out, (std::vector<std::string>{"abc"}));
}

TEST(KorStringParse, StringSeparator)
{
    std::vector<std::string> out;
    ParseString("a::b::::c::", out, std::string("::"));
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b", "c"}));
    ParseString("::", out, std::string("::"));
    EXPECT_TRUE(out.empty());
    ParseString("abc", out, std::string("::"));
    EXPECT_EQ(out, (std::vector<std::string>{"abc"}));
    ParseString("", out, std::string("::"));
    EXPECT_EQ(out, (std::vector<std::string>{""}));
    // An empty separator would never advance: the text is its one piece.
    ParseString("abc", out, std::string());
    EXPECT_EQ(out, (std::vector<std::string>{"abc"}));
    // Overlapping candidates are consumed left to right.
    ParseString("aaaa", out, std::string("aa"));
    EXPECT_TRUE(out.empty());
    ParseString("xaaay", out, std::string("aa"));
    EXPECT_EQ(out, (std::vector<std::string>{"x", "ay"}));
}

TEST(KorStringParse, LongTextSplitsWithoutRecursion)
{
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "v;";
    std::vector<std::string> out;
    ParseString(text, out, std::string(";"));
    EXPECT_EQ(out.size(), 200000u);
}

TEST(KorStringPath, Extensions)
{
    EXPECT_EQ(GetExtension("plan.dxf"), "dxf");
    EXPECT_EQ(GetExtension("/x/y.tar.gz"), "gz");
    EXPECT_EQ(GetExtension("dir.old/file"), "");
    EXPECT_EQ(GetExtension("dir.old\\file"), "");
    EXPECT_EQ(GetExtension("noext"), "");

    const std::pair<std::string, std::string> forced[] = {{"dir.old/file", "dir.old/file.obj"},
                                                          {"plan.dxf", "plan.obj"},
                                                          {"C:\\a.b\\plan", "C:\\a.b\\plan.obj"}};
    for (auto [path, expected] : forced)
    {
        ForceExtension(path, "obj");
        EXPECT_EQ(path, expected);
    }
}

TEST(KorStringPath, FileAndFolder)
{
    EXPECT_EQ(GetFileRadical("C:\\data\\plan.dxf"), "plan");
    EXPECT_EQ(GetFileRadical("dir.old/file"), "file");
    EXPECT_EQ(GetFileFromPath("/x/y.tar.gz"), "y.tar.gz");
    EXPECT_EQ(GetFileFromPath("dir.old/file"), "file");
    EXPECT_EQ(GetFolderFromPath("C:/a/b.txt"), "C:/a/");
    EXPECT_EQ(GetFolderFromPath("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(GetFolderFromPath("dir.old/file"), "dir.old/");
    EXPECT_EQ(GetFolderFromPath("b.txt"), "");
    EXPECT_EQ(GetFolderFromPath("C:/a/"), "");
}

TEST(KorStringMatch, Wildcards)
{
    EXPECT_TRUE(CompareRegularExpression("a.txt", "*.txt"));
    EXPECT_TRUE(CompareRegularExpression("a.txt.txt", "*.txt"));
    EXPECT_FALSE(CompareRegularExpression("a.TXT", "*.txt"));
    EXPECT_TRUE(CompareRegularExpressionWithoutCase("a.TXT", "*.txt"));
    EXPECT_TRUE(CompareRegularExpression("abc", "abc"));
    EXPECT_FALSE(CompareRegularExpression("abcd", "abc"));
    EXPECT_FALSE(CompareRegularExpression("xabc", "abc"));
    EXPECT_TRUE(CompareRegularExpression("ac", "a*c"));
    EXPECT_TRUE(CompareRegularExpression("abbc", "a*c"));
    EXPECT_FALSE(CompareRegularExpression("abbd", "a*c"));
    EXPECT_TRUE(CompareRegularExpression("couche_12.dxf", "couche*.*"));
    EXPECT_TRUE(CompareRegularExpression("aXbXbc", "a*b*c"));
    EXPECT_TRUE(CompareRegularExpression("anything", "*"));
    EXPECT_FALSE(CompareRegularExpression("", "*"));
    EXPECT_FALSE(CompareRegularExpression("a", ""));
}

TEST(KorStringSort, SortAndSearch)
{
    std::vector<std::string> v = {"pear", "apple", "fig", "apple pie", "Zebra", ""};
    SortStringVector(v);
    EXPECT_EQ(v, (std::vector<std::string>{"", "Zebra", "apple", "apple pie", "fig", "pear"}));
    std::string* hit = GetStringInSortedVector("fig", v);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit, &v[4]);
    EXPECT_EQ(GetStringInSortedVector("figs", v), nullptr);
    std::vector<std::string> empty;
    EXPECT_EQ(GetStringInSortedVector("a", empty), nullptr);

    const std::string a = "abc", b = "abd";
    EXPECT_LT(qsortString(&a, &b), 0);
    EXPECT_GT(qsortString(&b, &a), 0);
    EXPECT_EQ(qsortString(&a, &a), 0);
}

TEST(KorStringDirectory, WorkingDirectoryRoundTrip)
{
    const std::string before = GetWorkingDirectory();
    ASSERT_FALSE(before.empty());
    const std::filesystem::path tmp = std::filesystem::temp_directory_path();
    SetWorkingDirectory(tmp.string());
    EXPECT_EQ(std::filesystem::path(GetWorkingDirectory()), std::filesystem::canonical(tmp));
    SetWorkingDirectory("/no/such/folder/at/all");
    EXPECT_EQ(std::filesystem::path(GetWorkingDirectory()), std::filesystem::canonical(tmp));
    SetWorkingDirectory(before);
    EXPECT_EQ(GetWorkingDirectory(), before);
}

TEST(KorStringText, MessageExcerptIsShortWholeCharactersAndNoNul)
{
    std::string e99;
    for (int k = 0; k < 99; ++k)
        e99 += "é";
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {"", 200, ""},
        {std::string(200, 'x'), 200, std::string(200, 'x')},
        {std::string(1 << 20, 'x'), 200, std::string(200, 'x') + "…"},
        {"a" + e99 + "éé", 200, "a" + e99 + "…"}, // 199 bytes: a 200th would cut an 'é'
        {"€€", 4, "€…"},
        {"\xF0\x9F\x98\x80!", 3, "…"}, // a 4-byte character is not cut either
        {std::string("a\0b", 3), 200, "a\\0b"},
        {std::string("ab\0\0", 4), 3, "ab…"}, // nor an escape
    };
    for (const auto& [text, maxBytes, excerpt] : cases)
        EXPECT_TRUE(MessageExcerpt(text, maxBytes) == excerpt)
            << MessageExcerpt(text, maxBytes).substr(0, 300);
}
