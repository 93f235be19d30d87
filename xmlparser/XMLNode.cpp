#include "XMLNode.h"

#include "SafeFileWriter.h"
#include "XMLRecord.h"
#include "XMLRecordLists.h"
#include "XMLTree.h"

#include <cstring>
#include <iostream>

namespace
{
// The library prints its own failure lines: it stands below the utility
// library and cannot use its report function.
void Report(const char* origin, const std::string& text)
{
    std::cout << origin << " -> " << text << std::endl;
}

bool IsText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// Text that holds more than blanks; blank text beside the top element (an
// empty CDATA section, say) is layout that reading accepts and writing keeps.
bool IsNonBlankText(const pugi::xml_node& node)
{
    return IsText(node) && FirstNonBlank(node.value()) >= 0;
}

// Writes through the file writer, which keeps the first failure.
class FileWriter : public pugi::xml_writer
{
public:
    explicit FileWriter(SafeFileWriter& file) : mFile(file) {}
    void write(const void* data, size_t size) override { mFile.Write(data, size); }

private:
    SafeFileWriter& mFile;
};

class StringWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

XMLResults WriteFailure(XMLError error, const std::string& message)
{
    XMLResults r;
    r.error = error;
    r.message = message;
    return r;
}

bool IsLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
           (c >= 0x80 && c < 0xFE);
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

bool IsReadableName(const char* name, bool element)
{
    const auto* s = reinterpret_cast<const unsigned char*>(name);
    if (!s || !*s)
        return false;
    if (!IsLetter(*s) && !(element && IsDigit(*s)))
        return false;
    for (++s; *s; ++s)
        if (!IsLetter(*s) && !IsDigit(*s) && *s != '-' && *s != '.')
            return false;
    return true;
}

XMLNode::XMLNode() : mNode(nullptr)
{
}

XMLNode::XMLNode(std::shared_ptr<Tree> tree, pugi::xml_node_struct* node)
    : mTree(std::move(tree)), mNode(node)
{
}

XMLNode::~XMLNode() = default;

XMLNode XMLNode::createXMLTopNode(const char* name, int isDeclaration)
{
    auto tree = std::make_shared<Tree>();
    tree->topName = name ? name : "";
    pugi::xml_node top = tree->doc;
    if (!isDeclaration)
    {
        if (!IsReadableName(name, true))
        {
            Report("XMLNode::createXMLTopNode",
                   "The name '" + tree->topName + "' cannot be read back from a file");
            return XMLNode();
        }
        top = tree->doc.append_child(name);
    }
    pugi::xml_node_struct* node = top.internal_object();
    return XMLNode(std::move(tree), node);
}

XMLResults XMLNode::writeToFile(const std::string& path, std::nullptr_t, int formatted) const
{
    if (isEmpty())
        return WriteFailure(XMLError::CannotWrite, "nothing to write: empty node");
    mTree->MaterialiseAll();
    const pugi::xml_node node(mNode);
    const bool document = node.type() == pugi::node_document;
    if (document)
    {
        int elements = 0;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        {
            if (child.type() == pugi::node_element)
                ++elements;
            else if (IsNonBlankText(child))
                return WriteFailure(XMLError::SeveralRoots, "text beside the top element cannot be written");
        }
        if (elements != 1)
            return WriteFailure(elements ? XMLError::SeveralRoots : XMLError::NoRoot,
                                "a file holds exactly one top element, not " + std::to_string(elements));
    }

    // The file is replaced only once the new content is completely written
    // and on disk (SafeFileWriter), so a failed save or a crash leaves the
    // old file whole.
    SafeFileWriter file(path);
    const auto failed = [&file]()
    {
        XMLResults r = WriteFailure(XMLError::CannotWrite, file.GetError());
        r.reason = file.GetReason();
        return r;
    };
    if (!file.IsOpen())
        return failed();
    FileWriter writer(file);
    if (document)
    {
        static const char declaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        writer.write(declaration, sizeof declaration - 1);
    }
    const unsigned flags = (formatted ? pugi::format_indent : pugi::format_raw) | pugi::format_no_declaration;
    if (mTree->streamed && !mTree->streamedLists.empty())
    {
        StringWriter text;
        node.print(text, "\t", flags, pugi::encoding_utf8);
        if (!WriteStreamed(file, text.text))
        {
            file.Abandon();
            return WriteFailure(XMLError::CannotWrite, "a list of items could not be written");
        }
    }
    else
        node.print(writer, "\t", flags, pugi::encoding_utf8);
    if (!file.Commit())
        return failed();
    return XMLResults();
}

XMLNode XMLNode::addChild(const char* name, int isDeclaration, int position)
{
    if (isEmpty())
        return XMLNode();
    if (isDeclaration || position != -1)
    {
        Report("XMLNode::addChild", "Only appending an element is offered");
        return XMLNode();
    }
    if (!IsReadableName(name, true))
    {
        Report("XMLNode::addChild",
               std::string("The name '") + (name ? name : "") + "' cannot be read back from a file");
        return XMLNode();
    }
    mTree->Materialise(mNode);
    pugi::xml_node parent(mNode);
    pugi::xml_node child = parent.append_child(name);
    if (!child)
        return XMLNode();
    mTree->ChildAppended(mNode, child.internal_object());
    return XMLNode(mTree, child.internal_object());
}

void XMLNode::addText(const char* text, int position)
{
    if (isEmpty() || !text || !*text)
        return;
    if (position != -1)
    {
        Report("XMLNode::addText", "Only appending a text is offered");
        return;
    }
    mTree->Materialise(mNode);
    pugi::xml_node(mNode).append_child(pugi::node_pcdata).set_value(text);
}

void XMLNode::addAttribute(const char* name, const char* value)
{
    if (isEmpty())
        return;
    pugi::xml_node node(mNode);
    if (node.type() != pugi::node_element)
    {
        Report("XMLNode::addAttribute", "A declaration top node holds no attribute");
        return;
    }
    if (!IsReadableName(name, false))
    {
        Report("XMLNode::addAttribute",
               std::string("The name '") + (name ? name : "") + "' cannot be read back from a file");
        return;
    }
    node.append_attribute(name).set_value(value ? value : "");
}

namespace
{
// One walk over the child elements of a node that has no index: counts
// them, all or those named name (i < 0), or finds the i-th of those (i >= 0,
// stopping there). Answers false as soon as the node proves large (the
// caller then builds the index). O(min(children, kSmallNode)).
bool WalkSmall(pugi::xml_node_struct* node, const char* name, int i, int& count,
               pugi::xml_node_struct*& match)
{
    int elements = 0;
    count = 0;
    match = nullptr;
    for (pugi::xml_node child = pugi::xml_node(node).first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        if (++elements > XMLNode::Tree::kSmallNode)
            return false;
        if (name && std::strcmp(child.name(), name) != 0)
            continue;
        if (count++ == i)
        {
            match = child.internal_object();
            return true;
        }
    }
    return true;
}

// Answers a query on a node from its index, building it when needed.
XMLChildIndex* IndexFor(XMLNode::Tree& tree, pugi::xml_node_struct* node, const char* name, int i, int& count,
                        pugi::xml_node_struct*& match)
{
    if (XMLChildIndex* index = tree.Indexed(node))
        return index;
    if (WalkSmall(node, name, i, count, match))
        return nullptr;
    return tree.Build(node);
}

const std::vector<pugi::xml_node_struct*>* Named(XMLChildIndex& index, const char* name)
{
    return name ? index.Named(name) : &index.all;
}
} // namespace

int XMLNode::nChildNode() const
{
    return Count(nullptr);
}

int XMLNode::nChildNode(const char* name) const
{
    return name ? Count(name) : 0;
}

int XMLNode::Count(const char* name) const
{
    if (isEmpty())
        return 0;
    mTree->Materialise(mNode);
    int count = 0;
    pugi::xml_node_struct* match = nullptr;
    XMLChildIndex* index = IndexFor(*mTree, mNode, name, -1, count, match);
    if (!index)
        return count;
    const auto* list = Named(*index, name);
    return list ? static_cast<int>(list->size()) : 0;
}

XMLNode XMLNode::getChildNode(int i) const
{
    return Child(nullptr, i);
}

XMLNode XMLNode::getChildNode(const char* name, int i) const
{
    return name ? Child(name, i) : XMLNode();
}

XMLNode XMLNode::Child(const char* name, int i) const
{
    if (isEmpty() || i < 0)
        return XMLNode();
    mTree->Materialise(mNode);
    int count = 0;
    pugi::xml_node_struct* match = nullptr;
    XMLChildIndex* index = IndexFor(*mTree, mNode, name, i, count, match);
    if (index)
    {
        const auto* list = Named(*index, name);
        match = list && static_cast<size_t>(i) < list->size() ? (*list)[i] : nullptr;
    }
    return match ? XMLNode(mTree, match) : XMLNode();
}

void XMLNode::forEachChild(const std::function<void(const XMLRecord&)>& visit) const
{
    if (isEmpty())
        return;
    XMLRecord record;
    const auto deferred = mTree->deferred.find(mNode);
    if (deferred != mTree->deferred.end())
    {
        const char* source = mTree->source.data();
        const auto [begin, end] = deferred->second;
        for (size_t at = NextRecordItem(source, begin, end); at < end; at = NextRecordItem(source, at, end))
        {
            at = record.ReadItem(source, at);
            visit(record);
        }
        return;
    }
    for (pugi::xml_node child = pugi::xml_node(mNode).first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        record.mNode = child.internal_object();
        visit(record);
    }
}

int XMLNode::nText() const
{
    if (isEmpty())
        return 0;
    mTree->Materialise(mNode);
    int count = 0;
    for (pugi::xml_node child = pugi::xml_node(mNode).first_child(); child; child = child.next_sibling())
        if (IsText(child))
            ++count;
    return count;
}

const char* XMLNode::getText(int i) const
{
    if (isEmpty() || i < 0)
        return nullptr;
    mTree->Materialise(mNode);
    for (pugi::xml_node child = pugi::xml_node(mNode).first_child(); child; child = child.next_sibling())
        if (IsText(child) && i-- == 0)
            return child.value();
    return nullptr;
}

const char* XMLNode::getAttribute(const char* name, std::nullptr_t) const
{
    if (isEmpty() || !name)
        return nullptr;
    const pugi::xml_attribute attribute = pugi::xml_node(mNode).attribute(name);
    return attribute ? attribute.value() : nullptr;
}

bool XMLNode::isEmpty() const
{
    return !mTree || !mNode;
}

const char* XMLNode::getName() const
{
    if (isEmpty())
        return nullptr;
    const pugi::xml_node node(mNode);
    return node.type() == pugi::node_document ? mTree->topName.c_str() : node.name();
}
