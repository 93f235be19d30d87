#pragma once

#include "XMLNode.h"

#include <pugixml.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Text parts keep their bytes as written ('\r' included); blank text between
// elements is dropped but the one blank text of an element is kept; text
// beside the top element is kept so that it can be refused.
constexpr unsigned kXMLParseOptions =
    ((pugi::parse_default & ~pugi::parse_eol) | pugi::parse_ws_pcdata_single | pugi::parse_fragment);

// Whether a name is read back as written: element names may also start with
// a digit (the reader accepts those), attribute names may not.
bool IsReadableName(const char* name, bool element);

// The offset of the first byte of s that is not a blank (space, tab, CR,
// LF), or -1 when it is all blank: blank text beside elements is layout.
inline std::ptrdiff_t FirstNonBlank(const char* s)
{
    for (const char* p = s; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return p - s;
    return -1;
}

// The bytes of an input, followed by a NUL (the scans of record lists rely
// on it). Made without being zeroed, so that a large file is read straight
// into it, by several threads.
struct XMLText
{
    std::unique_ptr<char[]> bytes;
    size_t size = 0;

    XMLText() = default;
    explicit XMLText(size_t n) : bytes(new char[n + 1]), size(n) { bytes[n] = '\0'; }
    char* data() const { return bytes.get(); }
    std::string_view View() const { return bytes ? std::string_view(bytes.get(), size) : std::string_view(); }
};

// The child elements of one node, in order, and grouped by name once a
// query by name comes (a mesh chunk is only ever read by position).
struct XMLChildIndex
{
    std::vector<pugi::xml_node_struct*> all;
    std::unordered_map<std::string_view, std::vector<pugi::xml_node_struct*>> byName;
    bool named = false;

    // The children of that name, null when there is none; O(1) after an
    // O(children) first call.
    const std::vector<pugi::xml_node_struct*>* Named(const char* name);
};

// The tree that every handle on one document shares, with the child indexes
// of its large nodes. A query walks the child list while it has at most
// kSmallNode elements (cheaper than an index) and builds the node's index as
// soon as it sees more. Names in the index point into the tree and stay valid
// because elements are never renamed or removed once indexed.
struct XMLNode::Tree
{
    static constexpr int kSmallNode = 16;

    pugi::xml_document doc;
    std::string topName;
    // The parsed text, kept while the tree has record lists left in it
    // (XMLRecordLists.h), and the range of each such list's content by the
    // node of its element (which has no child until materialised).
    XMLText source;
    // The text pugixml parsed in place: names and values point into it.
    std::string parsed;
    std::unordered_map<pugi::xml_node_struct*, std::pair<size_t, size_t>> deferred;
    // A streamed tree's record lists, written by writeToFile in place of the
    // placeholder element named kStreamedMark + index.
    struct StreamedList
    {
        std::string listName;
        std::string itemName;
        int count = 0;
        pugi::xml_node_struct* placeholder = nullptr;
        XMLItemWriter item;
    };
    static constexpr char kStreamedMark = '\xFF';
    bool streamed = false;
    std::vector<StreamedList> streamedLists;
    std::unordered_map<pugi::xml_node_struct*, std::unique_ptr<XMLChildIndex>> index;
    pugi::xml_node_struct* lastNode = nullptr;
    XMLChildIndex* lastIndex = nullptr;

    // The index of a node, null when it has none yet. O(1); the last node
    // asked for is remembered, as callers read one large node's children in
    // a row.
    XMLChildIndex* Indexed(pugi::xml_node_struct* node);
    // Builds the index of a node in O(children).
    XMLChildIndex* Build(pugi::xml_node_struct* node);
    // Keeps an existing index up to date after child was appended to parent.
    void ChildAppended(pugi::xml_node_struct* parent, pugi::xml_node_struct* child);
    // Parses a record list left in the source into the node's children, for
    // the queries that walk the tree. O(1) for any other node.
    void Materialise(pugi::xml_node_struct* node);
    void MaterialiseAll();
};
