#pragma once

#include "XMLNode.h"

#include <pugixml.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The offset of the first byte of s that is not a blank (space, tab, CR,
// LF), or -1 when it is all blank: blank text beside elements is layout.
inline std::ptrdiff_t FirstNonBlank(const char* s)
{
    for (const char* p = s; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return p - s;
    return -1;
}

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
};
