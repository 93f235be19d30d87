#include "XMLNode.h"
#include "TestFiles.h"
#include "XMLRecord.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using TestFiles::ReadAll;

namespace
{
std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "xmlnode_" + std::to_string(getpid()) + "_" + name;
}

// Writes the tree to a file and parses it back.
XMLNode RoundTrip(const XMLNode& top, const std::string& name)
{
    const std::string path = TempPath(name);
    const XMLResults written = top.writeToFile(path);
    EXPECT_TRUE(written) << written.message;
    XMLResults read;
    XMLNode back = XMLNode::parseFile(path, &read);
    EXPECT_TRUE(read) << read.message << " at " << read.nLine << ":" << read.nColumn;
    std::remove(path.c_str());
    return back;
}
} // namespace

TEST(XMLNode, EmptyHandleAnswersNothingAndIgnoresChanges)
{
    XMLNode empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.nChildNode(), 0);
    EXPECT_EQ(empty.nChildNode("a"), 0);
    EXPECT_TRUE(empty.getChildNode(0).isEmpty());
    EXPECT_TRUE(empty.getChildNode("a").isEmpty());
    EXPECT_EQ(empty.nText(), 0);
    EXPECT_EQ(empty.getText(), nullptr);
    EXPECT_EQ(empty.getAttribute("a"), nullptr);
    EXPECT_EQ(empty.getName(), nullptr);
    EXPECT_TRUE(empty.addChild("a").isEmpty());
    empty.addText("x");
    empty.addAttribute("a", "1");
    EXPECT_FALSE(empty.writeToFile(TempPath("empty.xml")));
}

TEST(XMLNode, ChildrenByNameByIndexAndOverall)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    EXPECT_STREQ(top.getName(), "xml");
    XMLNode mesh = top.addChild("Mesh");
    // Interleaved names: positions over all children differ from positions
    // among one name.
    for (int i = 0; i < 3; ++i)
    {
        mesh.addChild("Vertices").addAttribute("n", std::to_string(i));
        mesh.addChild("Edges").addAttribute("n", std::to_string(i));
    }
    EXPECT_EQ(mesh.nChildNode(), 6);
    EXPECT_EQ(mesh.nChildNode("Vertices"), 3);
    EXPECT_EQ(mesh.nChildNode("Faces"), 0);
    EXPECT_STREQ(mesh.getChildNode(3).getName(), "Edges");
    EXPECT_STREQ(mesh.getChildNode(3).getAttribute("n"), "1");
    EXPECT_STREQ(mesh.getChildNode("Vertices", 2).getAttribute("n"), "2");
    EXPECT_STREQ(mesh.getChildNode("Edges").getAttribute("n"), "0");
    EXPECT_TRUE(mesh.getChildNode(6).isEmpty());
    EXPECT_TRUE(mesh.getChildNode(-1).isEmpty());
    EXPECT_TRUE(mesh.getChildNode("Vertices", 3).isEmpty());
    EXPECT_EQ(mesh.getChildNode(0).getAttribute("missing"), nullptr);
}

// Nodes past the small-node size are served from an index that addChild
// must keep up to date, including after the index was built.
TEST(XMLNode, LargeNodeIndexFollowsAppends)
{
    XMLNode top = XMLNode::createXMLTopNode("Top");
    const int n = 20000;
    for (int i = 0; i < n; ++i)
        top.addChild(i % 3 == 0 ? "A" : "B").addText(std::to_string(i));
    // Appends after the positional index is built, then after the index by
    // name is built.
    ASSERT_EQ(top.nChildNode(), n);
    for (int i = 0; i < 2; ++i)
        top.addChild("A").addText("extra" + std::to_string(i));
    ASSERT_EQ(top.nChildNode("A"), (n + 2) / 3 + 2);
    for (int i = 2; i < 5; ++i)
        top.addChild("A").addText("extra" + std::to_string(i));
    EXPECT_EQ(top.nChildNode(), n + 5);
    EXPECT_EQ(top.nChildNode("A"), (n + 2) / 3 + 5);
    EXPECT_STREQ(top.getChildNode(n + 4).getText(), "extra4");
    EXPECT_STREQ(top.getChildNode("A", (n + 2) / 3).getText(), "extra0");
    for (int i = 0; i < n; i += 997)
    {
        EXPECT_EQ(top.getChildNode(i).getText(), std::to_string(i));
        EXPECT_STREQ(top.getChildNode(i).getName(), i % 3 == 0 ? "A" : "B");
    }
    for (int k = 0; k < (n + 2) / 3; k += 501)
        EXPECT_EQ(top.getChildNode("A", k).getText(), std::to_string(3 * k));
}

TEST(XMLNode, HandlesShareTheTree)
{
    XMLNode child;
    {
        XMLNode top = XMLNode::createXMLTopNode("xml", 1);
        child = top.addChild("Sondage");
        child.addChild("Nom").addText("S1");
    }
    // The top handle is gone; the tree lives on through the child's handle.
    EXPECT_STREQ(child.getChildNode("Nom").getText(), "S1");
    XMLNode copy = child;
    copy.addChild("Z").addText("9");
    EXPECT_EQ(child.nChildNode(), 2);
    XMLNode other = XMLNode::createXMLTopNode("Other");
    copy = other;
    EXPECT_STREQ(copy.getName(), "Other");
    EXPECT_EQ(child.nChildNode(), 2);
}

TEST(XMLNode, TextAndAttributesKeepEveryCharacter)
{
    const std::string texts[] = {
        "a b", "é€", "<&>\"']]>", "tab\there", "cr\r\nlf", "  lead and trail  ", " ", "\x01\x1f", "x"};
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode root = top.addChild("Root");
    for (const std::string& t : texts)
    {
        XMLNode item = root.addChild("Item");
        item.addText(t);
        item.addAttribute("v", t);
    }
    XMLNode back = RoundTrip(top, "texts.xml").getChildNode("Root");
    ASSERT_EQ(back.nChildNode("Item"), static_cast<int>(std::size(texts)));
    for (int i = 0; i < back.nChildNode("Item"); ++i)
    {
        const XMLNode item = back.getChildNode("Item", i);
        ASSERT_EQ(item.nText(), 1) << i;
        EXPECT_EQ(item.getText(), texts[i]);
        EXPECT_EQ(item.getAttribute("v"), texts[i]);
    }
}

TEST(XMLNode, TextPartsAndEmptyElements)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode root = top.addChild("Root");
    XMLNode empty = root.addChild("Empty");
    empty.addText("");
    EXPECT_EQ(empty.nText(), 0);
    XMLNode mixed = root.addChild("Mixed");
    mixed.addText("first");
    mixed.addChild("Inner").addText("in");
    mixed.addText("second");
    EXPECT_EQ(mixed.nText(), 2);

    XMLNode back = RoundTrip(top, "parts.xml").getChildNode("Root");
    EXPECT_EQ(back.getChildNode("Empty").nText(), 0);
    EXPECT_EQ(back.getChildNode("Empty").getText(), nullptr);
    const XMLNode m = back.getChildNode("Mixed");
    ASSERT_EQ(m.nText(), 2);
    EXPECT_STREQ(m.getText(0), "first");
    EXPECT_STREQ(m.getText(1), "second");
    EXPECT_EQ(m.getText(2), nullptr);
    EXPECT_STREQ(m.getChildNode("Inner").getText(), "in");
}

// Project keys start with a digit; strict XML refuses such names.
TEST(XMLNode, DigitLeadingNamesRoundTrip)
{
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode root = top.addChild("Projet");
    root.addChild("3DTriangles").addText("1");
    root.addChild("3DSections").addText("0");
    XMLNode nested = root.addChild("2DVue");
    nested.addChild("3D").addAttribute("x", "1.5");
    nested.addChild("Plain").addText("<3D> in text");

    const std::string path = TempPath("digits.xml");
    ASSERT_TRUE(top.writeToFile(path));
    const std::string file = ReadAll(path);
    EXPECT_NE(file.find("<3DTriangles>1</3DTriangles>"), std::string::npos) << file;
    EXPECT_EQ(file.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    XMLResults r;
    const XMLNode back = XMLNode::parseFile(path, &r).getChildNode("Projet");
    std::remove(path.c_str());
    ASSERT_TRUE(r) << r.message;
    EXPECT_STREQ(back.getChildNode("3DTriangles").getText(), "1");
    EXPECT_STREQ(back.getChildNode("3DSections").getText(), "0");
    EXPECT_STREQ(back.getChildNode("2DVue").getChildNode("3D").getAttribute("x"), "1.5");
    EXPECT_STREQ(back.getChildNode("2DVue").getChildNode("Plain").getText(), "<3D> in text");
}

// Markup-like text in comments, CDATA and attribute values is not a tag.
TEST(XMLNode, DigitNamesLeaveCommentsCdataAndValuesAlone)
{
    const std::string text = "<?xml version=\"1.0\"?>\n<!-- <1a> --><!DOCTYPE r [ <!ENTITY e \"<2b>\"> ]>\n"
                             "<r a=\"<3c>\"><9x><![CDATA[<4d></4d>]]></9x><y>&lt;5e&gt;</y></r>";
    XMLResults res;
    const XMLNode r = XMLNode::parseString(text, &res).getChildNode("r");
    ASSERT_TRUE(res) << res.message;
    EXPECT_STREQ(r.getAttribute("a"), "<3c>");
    EXPECT_STREQ(r.getChildNode("9x").getText(), "<4d></4d>");
    EXPECT_STREQ(r.getChildNode("y").getText(), "<5e>");
    EXPECT_EQ(r.nChildNode(), 2);
}

TEST(XMLNode, NamesThatCannotBeReadBackAreRefused)
{
    XMLNode top = XMLNode::createXMLTopNode("Top");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(top.addChild("").isEmpty());
    EXPECT_TRUE(top.addChild("a b").isEmpty());
    EXPECT_TRUE(top.addChild("a<b").isEmpty());
    EXPECT_TRUE(top.addChild("-a").isEmpty());
    EXPECT_TRUE(top.addChild(std::string("\xFF") + "1").isEmpty());
    EXPECT_TRUE(top.addChild("a", 0, 0).isEmpty());
    top.addAttribute("1x", "v");
    top.addAttribute("a=b", "v");
    XMLNode::createXMLTopNode("xml", 1).addAttribute("version", "1");
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("XMLNode::addChild -> The name 'a b' cannot be read back from a file\n"),
              std::string::npos);
    EXPECT_NE(out.find("XMLNode::addAttribute -> The name '1x' cannot be read back from a file\n"),
              std::string::npos);
    EXPECT_NE(out.find("XMLNode::addAttribute -> A declaration top node holds no attribute\n"),
              std::string::npos);
    EXPECT_EQ(top.nChildNode(), 0);
    EXPECT_EQ(top.getAttribute("1x"), nullptr);
    EXPECT_FALSE(top.addChild("é_ok-1.x:y").isEmpty());
}

TEST(XMLNode, WritingTopNodes)
{
    // A plain top node is written as its element, without declaration.
    XMLNode plain = XMLNode::createXMLTopNode("Tete");
    plain.addChild("Nom").addText("T");
    const std::string path = TempPath("plain.xml");
    ASSERT_TRUE(plain.writeToFile(path, nullptr, 0));
    EXPECT_EQ(ReadAll(path), "<Tete><Nom>T</Nom></Tete>");

    // A declaration top node must hold exactly one element to make a file
    // that reads back; a refused write leaves the old file as it was.
    XMLNode two = XMLNode::createXMLTopNode("xml", 1);
    two.addChild("A");
    two.addChild("B");
    const XMLResults r2 = two.writeToFile(path);
    EXPECT_EQ(r2.error, XMLError::SeveralRoots);
    XMLNode none = XMLNode::createXMLTopNode("xml", 1);
    EXPECT_EQ(none.writeToFile(path).error, XMLError::NoRoot);
    XMLNode text = XMLNode::createXMLTopNode("xml", 1);
    text.addChild("A");
    text.addText("loose");
    EXPECT_EQ(text.writeToFile(path).error, XMLError::SeveralRoots);
    EXPECT_EQ(ReadAll(path), "<Tete><Nom>T</Nom></Tete>");

    // Blank text beside the top element reads, so it must write and read
    // back too (an empty CDATA section before the top used to refuse).
    XMLResults read;
    const XMLNode blank = XMLNode::parseString("<![CDATA[]]><!-- c -->\n<Tete a='1'/>", &read);
    ASSERT_TRUE(read) << read.message;
    ASSERT_TRUE(blank.writeToFile(path, nullptr, 0));
    const XMLNode back = XMLNode::parseFile(path, &read);
    ASSERT_TRUE(read) << read.message;
    EXPECT_STREQ(back.getChildNode("Tete").getAttribute("a"), "1");

    // An inner element writes its own subtree.
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    top.addChild("P").addChild("Q").addText("q");
    ASSERT_TRUE(top.getChildNode("P").writeToFile(path, nullptr, 0));
    EXPECT_EQ(ReadAll(path), "<P><Q>q</Q></P>");
    std::remove(path.c_str());
    EXPECT_EQ(ReadAll(path + ".partial"), "");

    const XMLResults bad = top.writeToFile(TempPath("no_such_dir/x.xml"));
    EXPECT_EQ(bad.error, XMLError::CannotWrite);
    EXPECT_FALSE(bad.message.empty());
}

// Replacing a file through its side file: a link keeps pointing to the
// file, which gets the new content; the file keeps its mode; a file that
// may not be written is refused and left whole.
TEST(XMLNode, ReplacingAFileKeepsItsLinkModeAndProtection)
{
    XMLNode top = XMLNode::createXMLTopNode("P");
    top.addText("new");
    const std::string file = TempPath("linked.xml");
    const std::string link = TempPath("link.xml");
    std::ofstream(file) << "<P>old</P>";
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    std::remove(link.c_str());
    ASSERT_EQ(symlink(file.c_str(), link.c_str()), 0);

    ASSERT_TRUE(top.writeToFile(link, nullptr, 0));
    struct stat info;
    ASSERT_EQ(lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadAll(file), "<P>new</P>");
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadAll(file + ".partial"), "");

    // The superuser may write any file, as a direct write would.
    if (geteuid() != 0)
    {
        ASSERT_EQ(chmod(file.c_str(), 0444), 0);
        XMLNode other = XMLNode::createXMLTopNode("Q");
        EXPECT_EQ(other.writeToFile(file).error, XMLError::CannotWrite);
        EXPECT_EQ(ReadAll(file), "<P>new</P>");
    }
    std::remove(link.c_str());
    std::remove(file.c_str());
}

// A large file is read in slices side by side: its text comes back whole,
// byte for byte, and its record list after it item for item.
TEST(XMLNode, LargeFileReadsWhole)
{
    std::string text = "<?xml version=\"1.0\"?>\n<R><T>";
    for (int i = 0; i < (33 << 20); ++i)
        text += static_cast<char>('a' + (i * 7 + i / 4099) % 26);
    const size_t textEnd = text.size();
    text += "</T><L>";
    for (int i = 0; i < 1000; ++i)
        text += "<I a=\"" + std::to_string(i) + "\"/>";
    text += "</L></R>\n";
    const std::string path = TempPath("large.xml");
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    XMLResults results;
    const XMLNode top = XMLNode::parseFile(path, &results);
    std::remove(path.c_str());
    ASSERT_TRUE(results) << results.message;
    const char* read = top.getChildNode("R").getChildNode("T").getText();
    ASSERT_NE(read, nullptr);
    const size_t textStart = text.find("<T>") + 3;
    EXPECT_TRUE(std::string(read) == text.substr(textStart, textEnd - textStart));
    int items = 0;
    top.getChildNode("R").getChildNode("L").forEachChild(
        [&](const XMLRecord& item)
        {
            EXPECT_EQ(item.getAttribute("a"), std::to_string(items));
            ++items;
        });
    EXPECT_EQ(items, 1000);
}

// The bytes refused before parsing are looked for in slices of a large
// text side by side: the fault reported is the one a look in order reports
// (a NUL byte before a reference to NUL before a marked name, then the
// first of its kind), wherever the slices cut, across a cut too.
TEST(XMLNode, LargeTextRefusesTheFirstFaultAsInOrder)
{
    const size_t size = size_t{33} << 20, quarter = size / 4;
    // Where the four slices of the whole text ("<R>" and "</R>" around) cut.
    const auto cut = [&](size_t k) { return (size + 7) * k / 4; };
    const struct
    {
        std::vector<std::pair<size_t, std::string>> faults;
        size_t expected;
        const char* message;
    } cases[] = {
        {{{3 * quarter + 5, std::string(1, '\0')}, {quarter + 9, "&#0;"}}, 3 * quarter + 5, "NUL byte"},
        {{{3 * quarter + 5, "&#x00;"}, {quarter + 9, "<\xFF"}},
         3 * quarter + 5,
         "reference to the character NUL"},
        {{{cut(2) - 1, "&#00;"}, {3 * quarter, "&#0;"}}, cut(2) - 1, "reference to the character NUL"},
        {{{cut(3) - 1, "<\xFF"}, {cut(3) + 7, "</\xFF"}}, cut(3), "invalid byte 0xFF"},
    };
    for (const auto& c : cases)
    {
        std::string text = "<R>" + std::string(size, 't') + "</R>";
        for (const auto& [at, bytes] : c.faults)
            text.replace(at, bytes.size(), bytes);
        XMLResults results;
        EXPECT_TRUE(XMLNode::parseString(text, &results).isEmpty());
        EXPECT_EQ(results.error, XMLError::Malformed);
        EXPECT_EQ(results.message.rfind(c.message, 0), 0u) << results.message;
        EXPECT_EQ(results.nColumn, static_cast<int>(c.expected) + 1) << c.message;
    }
}
