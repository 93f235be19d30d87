#include "TestFiles.h"
#include "XMLNode.h"
#include "XMLRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

using TestFiles::ReadAll;

namespace
{
std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "xmlrecords_" + std::to_string(getpid()) + "_" + name;
}

std::string Repeat(const std::string& item, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += item + "\n\t\t";
    return out;
}

// Every child of the node as "name a=.. b=.. c=..;", through forEachChild.
std::string Visit(const XMLNode& node)
{
    std::string out;
    node.forEachChild(
        [&](const XMLRecord& r)
        {
            out += r.getName();
            for (const char* name : {"a", "b", "c"})
            {
                // The range form gives the same value, asked first or second.
                std::string_view range;
                const bool found = r.getAttribute(name, range);
                if (const char* value = r.getAttribute(name))
                    out += std::string(" ") + name + "=" + value +
                           (found && range == value ? "" : " (range differs)");
                else if (found)
                    out += " (range without value)";
            }
            out += ";";
        });
    return out;
}

std::string Written(const XMLNode& top, const std::string& name)
{
    const std::string path = TempPath(name);
    const XMLResults written = top.writeToFile(path);
    EXPECT_TRUE(written) << written.message;
    const std::string bytes = ReadAll(path);
    std::remove(path.c_str());
    return bytes;
}
} // namespace

// A list read straight from the text gives what its nodes give, whatever
// the form of its items; forms the text reader does not take go through
// the nodes. The element after the list is found, a tree written back is
// the text, and an error after a list is placed in the text as written.
// Each form is also given in a large list (taken at its end tag first and
// scanned afterwards) with the fault at its end, where only that scan sees
// it, and a large text, a few kilobytes of nested elements (whose end tags
// are far from their start tags) stand beside the list.
TEST(XMLRecordList, ReadFromTheTextAsFromTheNodes)
{
    std::string nested;
    for (int depth = 0; depth < 2000; ++depth)
        nested += "<N d=\"" + std::to_string(depth) + "\">";
    nested += Repeat("<I a=\"1\" />", 20);
    for (int depth = 0; depth < 2000; ++depth)
        nested += "</N>";
    const std::string large = Repeat("<I a=\"1\" b=\"x y\" c=\"-2.5e-3\" />", 300);
    const struct
    {
        const char* what;
        std::string content;
        std::string firstExpected;
    } cases[] = {
        {"large, as written", large, "I a=1 b=x y c=-2.5e-3;"},
        {"large, comment at the end", large + "<!-- c -->", "I a=1 b=x y c=-2.5e-3;"},
        {"large, element at the end", large + "<I a=\"2\"><K/></I>", "I a=1 b=x y c=-2.5e-3;"},
        {"large, text at the end", large + "t", "I a=1 b=x y c=-2.5e-3;"},
        {"large, entity at the end", large + "<I a=\"&amp;\" />", "I a=1 b=x y c=-2.5e-3;"},
        {"large text before items", std::string(6000, 't') + Repeat("<I a=\"1\" />", 20), "I a=1;"},
        {"large list then nested elements", large + nested, "I a=1 b=x y c=-2.5e-3;"},
        {"nested elements", nested, "N;"},
        {"as written", Repeat("<I a=\"1\" b=\"x y\" c=\"-2.5e-3\" />", 20), "I a=1 b=x y c=-2.5e-3;"},
        {"single quotes, no blank", Repeat("<I a='1' b='\"'/>", 20), "I a=1 b=\";"},
        {"blanks around =", Repeat("<I\n a = \"1\"\r\n\tb\t=\t'2' />", 20), "I a=1 b=2;"},
        {"entities", Repeat("<I a=\"1&amp;2\" b=\"&#233;&lt;\" />", 20), "I a=1&2 b=\xC3\xA9<;"},
        {"tab in a value", Repeat("<I a=\"x\ty\" />", 20), "I a=x y;"},
        {"same name twice", Repeat("<I a=\"1\" b=\"2\" a=\"3\" />", 20), "I a=1 b=2;"},
        {"no attribute, empty value", Repeat("<I /><J a=\"\" />", 20), "I;"},
        {"comment among items", Repeat("<I a=\"1\" />", 10) + "<!-- c -->" + Repeat("<I a=\"2\" />", 10),
         "I a=1;"},
        {"an element inside", Repeat("<I a=\"1\" />", 20) + "<I a=\"2\"><K/></I>", "I a=1;"},
        {"text among items", Repeat("<I a=\"1\" />", 20) + "t", "I a=1;"},
        {"few items", Repeat("<I a=\"1\" />", 15), "I a=1;"},
        {"names with digits and marks", Repeat("<x.1-y:z a=\"1\"/>", 20), "x.1-y:z a=1;"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string text =
            "<?xml version=\"1.0\"?>\n<R>\n\t<L>\n\t\t" + c.content + "</L>\n\t<After x=\"1\" />\n</R>\n";
        const XMLNode fromText = XMLNode::parseString(text);
        const XMLNode fromNodes = XMLNode::parseString(text);
        ASSERT_FALSE(fromText.isEmpty());
        const XMLNode list = fromText.getChildNode("R").getChildNode("L");
        const XMLNode nodes = fromNodes.getChildNode("R").getChildNode("L");
        ASSERT_GT(nodes.nChildNode(), 0); // makes its nodes
        const std::string visited = Visit(list);
        EXPECT_EQ(visited, Visit(nodes));
        EXPECT_EQ(visited.substr(0, c.firstExpected.size()), c.firstExpected);
        EXPECT_STREQ(fromText.getChildNode("R").getChildNode("After").getAttribute("x"), "1");
        EXPECT_EQ(Written(fromText, "text.xml"), Written(fromNodes, "nodes.xml"));
        // Another query still finds the items, now as nodes.
        EXPECT_EQ(list.nChildNode(), nodes.nChildNode());
        EXPECT_EQ(Visit(list), visited);

        // The faulty tail stands at the start of the last line; alone
        // after "<R>" it stands at column 4.
        XMLResults taken, alone;
        const std::string broken = text.substr(0, text.rfind("</R>")) + "<B></C></R>\n";
        EXPECT_TRUE(XMLNode::parseString(broken, &taken).isEmpty());
        EXPECT_TRUE(XMLNode::parseString("<R><B></C></R>\n", &alone).isEmpty());
        EXPECT_EQ(taken.nLine, static_cast<int>(std::count(broken.begin(), broken.end(), '\n')));
        EXPECT_EQ(taken.nColumn, alone.nColumn - 3);
    }
}

// A streamed tree writes the same bytes as a tree of nodes: indentation at
// every depth, empty lists, values that need escaping.
TEST(XMLRecordList, StreamedWriteIsTheTreeWrite)
{
    const auto build = [](XMLNode top)
    {
        XMLNode r = top.addChild("R");
        r.addChild("First").addText("a & b");
        XMLNode deep = r.addChild("D").addChild("E");
        deep.addRecordList("Empty", "I", 0, [](int, const XMLAttributeSink&) {});
        deep.addRecordList("L", "I", 2500,
                           [](int i, const XMLAttributeSink& add)
                           {
                               add("n", std::to_string(i).c_str());
                               if (i % 7 == 0)
                                   add("s", "a&b<c>\"q'\x01\xC3\xA9 z");
                           });
        r.addRecordList("Top", "J", 1, [](int, const XMLAttributeSink& add) { add("v", ""); });
        deep.addChild("Last");
        return top;
    };
    for (const int declaration : {1, 0})
    {
        const std::string nodes = Written(build(XMLNode::createXMLTopNode("xml", declaration)), "n.xml");
        const std::string streamed =
            Written(build(XMLNode::createStreamedTopNode("xml", declaration)), "s.xml");
        EXPECT_EQ(streamed, nodes);
        EXPECT_NE(nodes.find("\t\t\t<Empty />\n"), std::string::npos);
    }
    const XMLNode back =
        XMLNode::parseString(Written(build(XMLNode::createStreamedTopNode("xml", 1)), "b.xml"));
    const XMLNode list = back.getChildNode("R").getChildNode("D").getChildNode("E").getChildNode("L");
    int items = 0;
    list.forEachChild(
        [&](const XMLRecord& r)
        {
            EXPECT_EQ(std::string(r.getAttribute("n")), std::to_string(items));
            if (items % 7 == 0)
            {
                EXPECT_STREQ(r.getAttribute("s"), "a&b<c>\"q'\x01\xC3\xA9 z");
            }
            ++items;
        });
    EXPECT_EQ(items, 2500);
}
