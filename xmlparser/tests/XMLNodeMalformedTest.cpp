#include "XMLNode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

namespace
{
struct Bad
{
    const char* what;
    std::string text;
    XMLError error;
    int line; // 0: any position
};

void ExpectRefused(const Bad& bad)
{
    XMLResults r;
    const XMLNode top = XMLNode::parseString(bad.text, &r);
    EXPECT_TRUE(top.isEmpty()) << bad.what;
    EXPECT_FALSE(r) << bad.what;
    EXPECT_EQ(r.error, bad.error) << bad.what << ": " << r.message;
    EXPECT_FALSE(r.message.empty()) << bad.what;
    if (bad.line)
    {
        EXPECT_EQ(r.nLine, bad.line) << bad.what << ": " << r.message;
    }
}

std::string Deep(int levels, bool closed)
{
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<d>";
    if (closed)
        for (int i = 0; i < levels; ++i)
            text += "</d>";
    return text;
}
} // namespace

TEST(XMLNodeMalformed, TruncatedInputs)
{
    const std::string whole =
        "<?xml version=\"1.0\"?>\n<Projet>\n  <Nom>a</Nom>\n  <3DTriangles>1</3DTriangles>\n</Projet>\n";
    // Every cut before the end of the top element is an error with a
    // position inside the text, and never a partly read tree.
    const size_t end = whole.find("</Projet>") + std::string("</Projet>").size();
    for (size_t cut = 0; cut < end; ++cut)
    {
        XMLResults r;
        const XMLNode top = XMLNode::parseString(whole.substr(0, cut), &r);
        ASSERT_TRUE(top.isEmpty()) << cut;
        ASSERT_FALSE(r) << cut;
        EXPECT_GE(r.nLine, 1) << cut;
        EXPECT_LE(r.nLine, 5) << cut;
    }
    XMLResults r;
    EXPECT_FALSE(XMLNode::parseString(whole, &r).isEmpty());
    EXPECT_TRUE(r) << r.message;
}

TEST(XMLNodeMalformed, BadStructureIsAnErrorWithItsPosition)
{
    const Bad cases[] = {
        {"empty", "", XMLError::NoRoot, 0},
        {"blank", " \n\t\n", XMLError::NoRoot, 0},
        {"declaration only", "<?xml version=\"1.0\"?>\n", XMLError::NoRoot, 0},
        {"comment only", "<!-- nothing -->", XMLError::NoRoot, 0},
        {"text only", "just text", XMLError::SeveralRoots, 1},
        {"two top elements", "<Projet/>\n<Projet/>", XMLError::SeveralRoots, 2},
        {"text after the top", "<Projet/>\n\ntrailing", XMLError::SeveralRoots, 3},
        // Whatever its length, at the very end of the input too.
        {"one byte after the top", "<Projet>\n</Projet>x", XMLError::SeveralRoots, 2},
        {"one byte after a newline", "<Projet/>\nx", XMLError::SeveralRoots, 2},
        {"two bytes after the top", "<Projet/>xy", XMLError::SeveralRoots, 1},
        {"one byte after a declared top", "<?xml version=\"1.0\"?>\n<Projet/>\n>", XMLError::SeveralRoots, 3},
        {"wrong end of the top", "<Projet>\n</Projekt>", XMLError::Malformed, 2},
        {"crossed nesting", "<a>\n<b>\n</a>\n</b>", XMLError::Malformed, 3},
        {"unclosed inner", "<a>\n<b>\n</a>", XMLError::Malformed, 3},
        {"stray end tag", "<a/>\n</a>", XMLError::Malformed, 2},
        {"bad attribute", "<a x=1/>", XMLError::Malformed, 1},
        {"digit names crossed", "<3D>\n<4D>\n</3D>\n</4D>", XMLError::Malformed, 3},
        {"digit name unclosed", "<3DTriangles>\n1", XMLError::Malformed, 0},
        {"NUL byte", std::string("<a>\n x\0y</a>", 12), XMLError::Malformed, 2},
        {"NUL reference", "<a>\n x&#0;y</a>", XMLError::Malformed, 2},
        {"NUL reference in hex", "<a>\n<b c='&#x00;'/></a>", XMLError::Malformed, 2},
        {"marker byte",
         "<a>\n<\xFF"
         "1/></a><1/>",
         XMLError::Malformed, 2},
        // Also without any digit name beside it: read as "1y", it would be
        // written as a name the reader refuses.
        {"marker byte alone",
         "<a>\n<\xFF"
         "1y/><\xFF:y/></a>",
         XMLError::Malformed, 2},
        // ... and after a doctype whose internal subset never closes.
        {"marker byte after an open doctype",
         std::string("<!DOCTYPE r~[ <!E\x97"
                     " \"<2b>\"> -><r a='z'>i x?><r ><\xFF"
                     "1y/>\x0D"
                     "\x0E"
                     "</r><\xFF"
                     ":y/>\x0D"
                     "\x0E"
                     "</r> ",
                     72),
         XMLError::Malformed, 1},
    };
    for (const Bad& bad : cases)
        ExpectRefused(bad);
}

TEST(XMLNodeMalformed, ErrorColumnCountsBytesFromOne)
{
    XMLResults r;
    XMLNode::parseString("<a>\n  <b></c>\n</a>", &r);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.nLine, 2);
    // The fault lies in the end tag "</c>", columns 6 to 9.
    EXPECT_GE(r.nColumn, 6);
    EXPECT_LE(r.nColumn, 10);
}

TEST(XMLNodeMalformed, MissingOrUnreadableFile)
{
    XMLResults r;
    EXPECT_TRUE(XMLNode::parseFile("/nonexistent/dir/projet.ovx", &r).isEmpty());
    EXPECT_EQ(r.error, XMLError::CannotOpen);
    EXPECT_NE(r.message.find("/nonexistent/dir/projet.ovx"), std::string::npos);
    EXPECT_TRUE(XMLNode::parseFile(testing::TempDir(), &r).isEmpty());
    EXPECT_FALSE(r);

    const std::string empty = testing::TempDir() + "xml_empty_" + std::to_string(getpid()) + ".ovx";
    std::ofstream(empty).close();
    EXPECT_TRUE(XMLNode::parseFile(empty, &r).isEmpty());
    EXPECT_EQ(r.error, XMLError::NoRoot);
    std::remove(empty.c_str());
    // No results wanted: still an empty handle, no crash.
    EXPECT_TRUE(XMLNode::parseString("<a>", nullptr).isEmpty());
}

TEST(XMLNodeMalformed, HundredThousandLevelsDoNotOverflowTheStack)
{
    const int levels = 100000;
    XMLResults r;
    EXPECT_TRUE(XMLNode::parseString(Deep(levels, false), &r).isEmpty());
    EXPECT_EQ(r.error, XMLError::Malformed);

    std::string withDigits = Deep(levels, true);
    withDigits.replace(0, 3, "<3D>");
    withDigits.replace(withDigits.size() - 4, 4, "</3D>");
    XMLNode top = XMLNode::parseString(withDigits, &r);
    ASSERT_TRUE(r) << r.message;
    EXPECT_STREQ(top.getChildNode(0).getName(), "3D");
    XMLNode node = top.getChildNode(0);
    int depth = 0;
    while (!node.isEmpty())
    {
        node = node.getChildNode("d");
        ++depth;
    }
    EXPECT_EQ(depth, levels);

    // Written and read back, and built through the interface.
    const std::string path = testing::TempDir() + "xml_deep_" + std::to_string(getpid()) + ".xml";
    // Unformatted: indentation would grow as the square of the depth.
    ASSERT_TRUE(top.writeToFile(path, nullptr, 0));
    EXPECT_FALSE(XMLNode::parseFile(path, &r).isEmpty());
    EXPECT_TRUE(r) << r.message;
    XMLNode built = XMLNode::createXMLTopNode("xml", 1);
    XMLNode at = built.addChild("d");
    for (int i = 1; i < levels; ++i)
        at = at.addChild("d");
    ASSERT_TRUE(built.writeToFile(path, nullptr, 0));
    EXPECT_FALSE(XMLNode::parseFile(path, &r).isEmpty());
    std::remove(path.c_str());
}

// Random bytes, and random damage to a valid file: always an answer, never
// a crash (the sanitizer build runs this).
TEST(XMLNodeMalformed, BinaryGarbage)
{
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> byte(0, 255);
    int refused = 0;
    for (int i = 0; i < 2000; ++i)
    {
        std::string text(1 + rng() % 300, '\0');
        for (char& c : text)
            c = static_cast<char>(byte(rng));
        XMLResults r;
        const XMLNode top = XMLNode::parseString(text, &r);
        EXPECT_EQ(top.isEmpty(), !r);
        refused += !r;
    }
    EXPECT_EQ(refused, 2000);

    const std::string valid =
        "<?xml version=\"1.0\"?><Projet><Nom>a$b</Nom><3DTriangles>1</3DTriangles>"
        "<Couche><Vertices><Vertex Exist=\"1\" X=\"1.5\"/></Vertices></Couche></Projet>";
    for (int i = 0; i < 5000; ++i)
    {
        std::string text = valid;
        for (int k = 1 + rng() % 4; k > 0; --k)
            text[rng() % text.size()] = static_cast<char>(byte(rng));
        XMLResults r;
        const XMLNode top = XMLNode::parseString(text, &r);
        ASSERT_EQ(top.isEmpty(), !r);
        if (r)
        {
            EXPECT_EQ(top.nChildNode(), 1);
        }
    }
}
