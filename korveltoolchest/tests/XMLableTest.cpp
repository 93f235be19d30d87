#include "XMLable.h"

#include "GeometryTestHelpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <locale>
#include <sstream>
#include <unistd.h>

namespace
{
// Digit grouping as a French C++ locale has it ("1 234 567"): a stream
// imbued with one must not change what the ASCII form writes.
struct Grouping : std::numpunct<char>
{
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "xmlable_" + std::to_string(getpid()) + "_" + name;
}

// A leaf with a one-letter field name.
class Leaf : public XMLable
{
public:
    Leaf() { RegisterXML(); }
    Leaf(const Leaf& other) : XMLable(other), x(other.x), label(other.label) { RegisterXML(); }
    Leaf& operator=(const Leaf& other)
    {
        XMLable::operator=(other);
        x = other.x;
        label = other.label;
        return *this;
    }
    static XMLable* Create() { return new Leaf; }

    int x = 0;
    std::string label;

private:
    void RegisterXML()
    {
        AddVariable("x", &x);
        AddVariable("Label", &label);
    }
};

// One member of every type, a son and a son list, with keys as the project
// file has them (digit-leading, accented).
class Everything : public XMLable
{
public:
    Everything() { RegisterXML(); }
    Everything(const Everything& other)
        : XMLable(other), i(other.i), f(other.f), d(other.d), b(other.b), spaced(other.spaced),
          empty(other.empty), accented(other.accented), point(other.point), strings(other.strings),
          ints(other.ints), doubles(other.doubles), emptyList(other.emptyList), son(other.son)
    {
        RegisterXML();
    }
    ~Everything() override
    {
        for (XMLable* leaf : leaves)
            delete leaf;
    }

    int i = 0;
    float f = 0;
    double d = 0;
    bool b = false;
    std::string spaced;
    std::string empty;
    std::string accented;
    LumPoint point;
    std::vector<std::string> strings;
    std::vector<int> ints;
    std::vector<double> doubles;
    std::vector<int> emptyList;
    Leaf son;
    std::vector<XMLable*> leaves;

    void Fill()
    {
        i = -1234567;
        f = 2.5f;
        d = 1234.5678;
        b = true;
        spaced = "a b";
        empty = "";
        accented = "é€";
        point = LumPoint(6612345.678, 2123456.789, 512.25);
        strings = {"a b", "é€", "c"};
        ints = {1, -2, 30000};
        doubles = {0.1, 6612345.678, -1e-20};
        emptyList.clear();
        son.x = 5;
        son.label = "son";
        for (int k = 0; k < 2; ++k)
        {
            auto* leaf = new Leaf;
            leaf->x = 10 + k;
            leaf->label = "leaf " + std::to_string(k);
            leaves.push_back(leaf);
        }
    }

    // Constructor defaults that a read must replace, the empty ones included.
    void Spoil()
    {
        i = 1;
        f = 1;
        d = 1;
        b = false;
        spaced = empty = accented = "default";
        point = LumPoint(1, 1, 1);
        strings = {"default"};
        ints = {9};
        doubles = {9};
        emptyList = {9};
        son.x = 0;
        son.label = "default";
    }

    void ExpectSameAs(const Everything& o, bool withLists) const
    {
        EXPECT_EQ(i, o.i);
        EXPECT_EQ(f, o.f);
        EXPECT_NEAR(d, o.d, 5e-7);
        EXPECT_EQ(b, o.b);
        EXPECT_EQ(spaced, o.spaced);
        EXPECT_EQ(empty, o.empty);
        EXPECT_EQ(accented, o.accented);
        ExpectPoint(point, o.point.x, o.point.y, o.point.z, 1e-6);
        EXPECT_EQ(strings, o.strings);
        EXPECT_EQ(ints, o.ints);
        EXPECT_EQ(doubles, o.doubles);
        EXPECT_EQ(emptyList, o.emptyList);
        EXPECT_EQ(son.x, o.son.x);
        EXPECT_EQ(son.label, o.son.label);
        if (!withLists)
            return;
        ASSERT_EQ(leaves.size(), o.leaves.size());
        for (size_t k = 0; k < leaves.size(); ++k)
        {
            EXPECT_EQ(static_cast<Leaf*>(leaves[k])->x, static_cast<Leaf*>(o.leaves[k])->x);
            EXPECT_EQ(static_cast<Leaf*>(leaves[k])->label, static_cast<Leaf*>(o.leaves[k])->label);
        }
    }

private:
    void RegisterXML()
    {
        AddVariable("3DTriangles", &i);
        AddVariable("Flottant", &f);
        AddVariable("Profondeur", &d);
        AddVariable("Visible", &b);
        AddVariable("Nom", &spaced);
        AddVariable("Vide", &empty);
        AddVariable("Référence", &accented);
        AddVariable("Origine", &point);
        AddVariable("Noms", &strings);
        AddVariable("Indices", &ints);
        AddVariable("Cotes", &doubles);
        AddVariable("ListeVide", &emptyList);
        AddSon("Feuille", &son);
        mSonLists.push_back({"Feuilles", &leaves, &Leaf::Create});
    }
};
} // namespace

TEST(XMLable, EveryTypeRoundTripsThroughAnXMLFile)
{
    Everything source;
    source.Fill();
    XMLNode top = XMLNode::createXMLTopNode("xml", 1);
    XMLNode element = top.addChild("Objet");
    source.ToXML(element);
    const std::string path = TempPath("every.xml");
    ASSERT_TRUE(top.writeToFile(path));

    XMLResults r;
    const XMLNode back = XMLNode::parseFile(path, &r);
    ASSERT_TRUE(r) << r.message;
    Everything read;
    read.Spoil();
    read.FromXML(back.getChildNode("Objet"));
    read.ExpectSameAs(source, false);
    // Son lists are not part of the XML form.
    EXPECT_TRUE(read.leaves.empty());

    // Fields in registration order, then the son; blanks written as '$'.
    const XMLNode o = back.getChildNode("Objet");
    ASSERT_EQ(o.nChildNode(), 13);
    EXPECT_STREQ(o.getChildNode(0).getName(), "3DTriangles");
    EXPECT_STREQ(o.getChildNode(4).getText(), "a$b");
    EXPECT_STREQ(o.getChildNode(12).getName(), "Feuille");
    std::remove(path.c_str());
}

TEST(XMLable, ASCIIFormLayout)
{
    Leaf leaf;
    leaf.x = 3;
    leaf.label = "a b";
    std::ostringstream out;
    leaf.ToASCII(out);
    EXPECT_EQ(out.str(), "_x\n3\n_Label\na b\n**\n");
}

TEST(XMLable, XMLEdgeCases)
{
    Leaf leaf;
    leaf.x = 4;
    leaf.label = "keep";
    // Missing elements, an element without text for a number, and unknown
    // elements leave members unchanged; '$' reads as a blank.
    const XMLNode top = XMLNode::parseString("<L><x/><Other>1</Other><Label>a$$b</Label></L>");
    leaf.FromXML(top.getChildNode("L"));
    EXPECT_EQ(leaf.x, 4);
    EXPECT_EQ(leaf.label, "a  b");
    leaf.FromXML(XMLNode::parseString("<L/>").getChildNode("L"));
    EXPECT_EQ(leaf.label, "a  b");

    // Two fields under one name: two elements written, both read from the
    // first.
    class Twice : public XMLable
    {
    public:
        Twice()
        {
            AddVariable("v", &a);
            AddVariable("v", &b);
            AddVariable("", &a);
            AddVariable("_hidden", &a);
            AddVariable("*hidden", &a);
            AddSon("", &leaf);
            AddSon("_x", &leaf);
            AddSon("y", nullptr);
        }
        int a = 1;
        int b = 2;
        Leaf leaf;
    } twice;
    XMLNode node = XMLNode::createXMLTopNode("T");
    twice.ToXML(node);
    EXPECT_EQ(node.nChildNode(), 2);
    EXPECT_EQ(node.nChildNode("v"), 2);
    twice.a = twice.b = 0;
    twice.FromXML(node);
    EXPECT_EQ(twice.a, 1);
    EXPECT_EQ(twice.b, 1);
}

TEST(XMLable, LegacyAndForeignTextReadsBack)
{
    // An accented letter stored as a single Windows-1252 byte reads as its
    // UTF-8 form; the euro sign likewise.
    Leaf leaf;
    leaf.FromXML(XMLNode::parseString("<L><Label>caf\xE9 \x80</Label></L>").getChildNode("L"));
    EXPECT_EQ(leaf.label, "café €");
    // A byte order mark, a declared single-byte encoding and CR LF line ends.
    const XMLNode other =
        XMLNode::parseString("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                             "<L>\r\n<x>3</x>\r\n<Label>\xC9t\xE9</Label>\r\n</L>\r\n");
    leaf.FromXML(other.getChildNode("L"));
    EXPECT_EQ(leaf.x, 3);
    EXPECT_EQ(leaf.label, "Été");
}

// Records of a copy refer to the copy: writing the copy writes its values,
// reading into it never touches the source, and the source can die first.
TEST(XMLable, CopiesKeepTheirOwnRecords)
{
    auto* source = new Everything;
    source->Fill();
    Everything copy(*source);
    copy.i = 99;
    copy.son.label = "copy";
    Leaf assigned;
    assigned = source->son;
    delete source;

    XMLNode node = XMLNode::createXMLTopNode("C");
    copy.ToXML(node);
    EXPECT_STREQ(node.getChildNode("3DTriangles").getText(), "99");
    EXPECT_STREQ(node.getChildNode("Feuille").getChildNode("Label").getText(), "copy");
    EXPECT_EQ(node.nChildNode(), 13);

    XMLNode leafNode = XMLNode::createXMLTopNode("L");
    assigned.ToXML(leafNode);
    EXPECT_EQ(leafNode.nChildNode(), 2);
    EXPECT_STREQ(leafNode.getChildNode("Label").getText(), "son");
    assigned.FromXML(XMLNode::parseString("<L><x>8</x></L>").getChildNode("L"));
    EXPECT_EQ(assigned.x, 8);
}

// A snapshot is taken into a declaration top node and read any number of
// times, without a file.
TEST(XMLable, SnapshotInMemory)
{
    Everything source;
    source.Fill();
    XMLNode snapshot = XMLNode::createXMLTopNode("xml", 1);
    source.ToXML(snapshot);
    for (int k = 0; k < 2; ++k)
    {
        Everything read;
        read.Spoil();
        read.FromXML(snapshot);
        read.ExpectSameAs(source, false);
    }
}

// An unknown son holding a nested son whose fields carry the parent's names:
// none of them may reach the parent. CR LF line ends read the same.
TEST(XMLable, ASCIIUnknownSectionsAreSkippedWhole)
{
    const std::string lf = "_Label\nparent\n"
                           "__Unknown\n_x\n100\n__Nested\n_x\n200\n**\n_x\n300\n**\n"
                           "___UnknownList\n_Label\nlisted\n**\n"
                           "_Other\nvalue line\n\n"
                           "_x\n7\n**\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& text : {lf, crlf})
    {
        Leaf leaf;
        std::stringstream in(text);
        ASSERT_TRUE(leaf.FromASCII(in));
        EXPECT_EQ(leaf.x, 7);
        EXPECT_EQ(leaf.label, "parent");
    }
}

TEST(XMLable, ASCIITruncatedOrBrokenFormsAreRefused)
{
    Everything source;
    source.Fill();
    std::ostringstream out;
    source.ToASCII(out);
    const std::string whole = out.str();
    // Cut at every line end: the form is incomplete and must say so.
    for (size_t cut = whole.find('\n'); cut + 1 < whole.size(); cut = whole.find('\n', cut + 1))
    {
        std::stringstream in(whole.substr(0, cut + 1));
        Everything read;
        EXPECT_FALSE(read.FromASCII(in)) << cut;
    }
    std::stringstream in(whole);
    Everything read;
    EXPECT_TRUE(read.FromASCII(in));

    // A marker line longer than the 256-byte buffer ends the read.
    Leaf leaf;
    std::stringstream longLine("_x\n1\n_" + std::string(300, 'L') + "\n**\n");
    EXPECT_FALSE(leaf.FromASCII(longLine));
}

// Son-list elements that hold lists of their own type: a file nested deeper
// than any real model is refused instead of exhausting the stack.
TEST(XMLable, ASCIINestingIsBounded)
{
    class Tree : public XMLable
    {
    public:
        Tree() { mSonLists.push_back({"T", &children, &Create}); }
        ~Tree() override
        {
            for (XMLable* c : children)
                delete c;
        }
        static XMLable* Create() { return new Tree; }
        std::vector<XMLable*> children;
    };
    std::string deep;
    for (int k = 0; k < 100000; ++k)
        deep += "___T\n";
    Tree tree;
    std::stringstream in(deep);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(tree.FromASCII(in));
    EXPECT_NE(
        testing::internal::GetCapturedStdout().find("XMLable::FromASCII -> The form is nested more than"),
        std::string::npos);

    std::stringstream shallow("___T\n___T\n**\n**\n___T\n**\n**\n");
    Tree small;
    ASSERT_TRUE(small.FromASCII(shallow));
    ASSERT_EQ(small.children.size(), 2u);
    EXPECT_EQ(static_cast<Tree*>(small.children[0])->children.size(), 1u);
}

// Every type through the ASCII form, numbers exact whatever the writing
// stream's locale. Strings whose lines look like the form's own markers: a
// list element or a string starting with '*' or '_', or an empty element,
// neither ends the object early (which handed its remaining fields to its
// owner) nor is skipped, and a reader that does not know a son skips it whole.
TEST(XMLable, ASCIIRoundTripWithStringsHoldingTheFormsMarkers)
{
    Everything source;
    source.Fill();
    source.strings = {"*b", "", "_Label", "__Feuille", "**", "a b", "é€"};
    source.spaced = "**";
    source.son.label = "* note";
    static_cast<Leaf*>(source.leaves[0])->label = "___Feuilles";
    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new Grouping));
    source.ToASCII(out);
    std::istringstream form(out.str());
    Everything read;
    read.Spoil();
    read.leaves.push_back(new Leaf); // replaced, not appended to
    ASSERT_TRUE(read.FromASCII(form));
    read.ExpectSameAs(source, true);
    EXPECT_EQ(read.d, source.d);
    EXPECT_EQ(read.point.x, source.point.x);

    // The reader knows neither the field "Comment" nor the son "Unknown".
    class Holder : public XMLable
    {
    public:
        Holder()
        {
            AddVariable("Comment", &comment);
            AddVariable("x", &x);
            AddVariable("Label", &label);
            AddSon("Unknown", &inner);
        }
        std::string comment;
        int x = 7;
        std::string label = "parent";
        Leaf inner;
    };
    for (const std::string text : {"* note", "**", "__init__", "_x"})
    {
        Holder holder;
        holder.comment = text;
        holder.inner.x = 100;
        holder.inner.label = text;
        std::stringstream in;
        holder.ToASCII(in);
        in << "_x\n8\n**\n"; // what follows the object in its owner's form
        Leaf leaf;
        ASSERT_TRUE(leaf.FromASCII(in)) << text;
        EXPECT_EQ(leaf.x, 7) << text;
        EXPECT_EQ(leaf.label, "parent") << text;
        const std::string rest{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(rest, "_x\n8\n**\n") << text;
    }
}
