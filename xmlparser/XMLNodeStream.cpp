// Record lists of a streamed tree: a placeholder element stands in the tree
// for each list, and writeToFile writes the list's items in its place, in
// the form pugixml gives the same elements (indented with tabs, one item a
// line, " />" closing an empty element), so that the file is the same byte
// for byte as from a tree of nodes. Memory: the output of the rest of the
// tree, and one block of items at a time.
#include "XMLNode.h"

#include "SafeFileWriter.h"
#include "XMLTree.h"

#include <cstring>
#include <iostream>

namespace
{
// A value pugixml writes as it is in an attribute.
bool IsPlain(const char* value)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p)
        if (*p < 0x20 || *p == '&' || *p == '<' || *p == '>' || *p == '"' || *p == '\'')
            return false;
    return true;
}

class StringWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

// The value as pugixml escapes it in an attribute.
std::string Escaped(const char* value)
{
    pugi::xml_document doc;
    doc.append_child("a").append_attribute("v").set_value(value);
    StringWriter writer;
    doc.first_child().print(writer, "", pugi::format_raw, pugi::encoding_utf8);
    const size_t first = writer.text.find('"');
    const size_t last = writer.text.rfind('"');
    return writer.text.substr(first + 1, last - first - 1);
}

// Tabs before the placeholder's line when printed is written.
int Depth(pugi::xml_node_struct* placeholder, pugi::xml_node_struct* printed)
{
    int depth = pugi::xml_node(printed).type() == pugi::node_element ? 1 : 0;
    for (pugi::xml_node up = pugi::xml_node(placeholder).parent(); up && up.internal_object() != printed;
         up = up.parent())
        ++depth;
    return depth;
}

void WriteList(SafeFileWriter& file, const XMLNode::Tree::StreamedList& list, int depth)
{
    std::string out;
    if (list.count == 0)
    {
        file.Write("<" + list.listName + " />\n");
        return;
    }
    out.reserve(1 << 16);
    out += '<';
    out += list.listName;
    out += ">\n";
    const XMLAttributeSink add = [&out](const char* name, const char* value)
    {
        out += ' ';
        out += name;
        out += "=\"";
        if (!value)
            value = "";
        if (IsPlain(value))
            out += value;
        else
            out += Escaped(value);
        out += '"';
    };
    for (int i = 0; i < list.count; ++i)
    {
        out.append(static_cast<size_t>(depth + 1), '\t');
        out += '<';
        out += list.itemName;
        list.item(i, add);
        out += " />\n";
        if (out.size() >= (1 << 16) - 512)
        {
            if (!file.Write(out))
                return;
            out.clear();
        }
    }
    out.append(static_cast<size_t>(depth), '\t');
    out += "</";
    out += list.listName;
    out += ">\n";
    file.Write(out);
}
} // namespace

XMLNode XMLNode::createStreamedTopNode(const char* name, int isDeclaration)
{
    XMLNode top = createXMLTopNode(name, isDeclaration);
    if (!top.isEmpty())
        top.mTree->streamed = true;
    return top;
}

void XMLNode::addRecordList(const char* listName, const char* itemName, int count, XMLItemWriter item)
{
    if (isEmpty())
        return;
    if (!mTree->streamed)
    {
        XMLNode list = addChild(listName);
        if (list.isEmpty())
            return;
        for (int i = 0; i < count; ++i)
        {
            XMLNode node = list.addChild(itemName);
            item(i, [&node](const char* name, const char* value) { node.addAttribute(name, value); });
        }
        return;
    }
    if (!IsReadableName(listName, true) || !IsReadableName(itemName, true))
    {
        std::cout << "XMLNode::addRecordList -> The name '" << (listName ? listName : "") << "' or '"
                  << (itemName ? itemName : "") << "' cannot be read back from a file" << std::endl;
        return;
    }
    mTree->Materialise(mNode);
    Tree::StreamedList list;
    list.listName = listName;
    list.itemName = itemName;
    list.count = count < 0 ? 0 : count;
    list.item = std::move(item);
    const std::string mark = std::string(1, Tree::kStreamedMark) + std::to_string(mTree->streamedLists.size());
    list.placeholder = pugi::xml_node(mNode).append_child(mark.c_str()).internal_object();
    mTree->ChildAppended(mNode, list.placeholder);
    mTree->streamedLists.push_back(std::move(list));
}

bool XMLNode::WriteStreamed(SafeFileWriter& file, const std::string& text) const
{
    // The placeholders are the only names starting with the mark: addChild
    // refuses it and the parser refuses it at the start of a name.
    const std::string open = std::string("<") + Tree::kStreamedMark;
    size_t start = 0;
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, start))
    {
        const size_t eol = text.find('\n', at);
        const size_t index = std::strtoul(text.c_str() + at + 2, nullptr, 10);
        // Never expected: a placeholder left in the file would spoil it.
        if (eol == std::string::npos || index >= mTree->streamedLists.size())
            return false;
        if (!file.Write(text.data() + start, at - start))
            return false;
        const Tree::StreamedList& list = mTree->streamedLists[index];
        WriteList(file, list, Depth(list.placeholder, mNode));
        start = eol + 1;
    }
    return file.Write(text.data() + start, text.size() - start);
}
