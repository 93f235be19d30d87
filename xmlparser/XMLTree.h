#pragma once

#include "XMLNode.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The child elements of one node, in order and grouped by name.
struct XMLChildIndex
{
    std::vector<pugi::xml_node_struct*> all;
    std::unordered_map<std::string_view, std::vector<pugi::xml_node_struct*>> byName;
};

// The tree that every handle on one document shares, with the child indexes
// of its large nodes. A node is indexed only when it has more than
// kSmallNode child elements: below that a walk of the child list is cheaper
// than the index. Names in the index point into the tree and stay valid
// because elements are never renamed or removed once indexed.
struct XMLNode::Tree
{
    static constexpr int kSmallNode = 16;

    pugi::xml_document doc;
    std::string topName;
    std::unordered_map<pugi::xml_node_struct*, std::unique_ptr<XMLChildIndex>> index;

    // The index of a node with more than kSmallNode child elements, built on
    // first call in O(children); null for a smaller node.
    const XMLChildIndex* Find(pugi::xml_node_struct* node);
    // Keeps an existing index up to date after child was appended to parent.
    void ChildAppended(pugi::xml_node_struct* parent, pugi::xml_node_struct* child);
};
