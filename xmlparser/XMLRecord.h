#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pugi
{
struct xml_node_struct;
}

// One child element handed out by XMLNode::forEachChild: its name and its
// attributes, nothing under it. It stands either for an element of the tree
// or for one item of a record list read straight from the parsed text, so
// that a reader of a million items builds no node for them. Valid only
// during the call that hands it out.
class XMLRecord
{
public:
    const char* getName() const;
    // The value of the first attribute of that name (entities decoded),
    // null when absent.
    const char* getAttribute(const char* name) const;

private:
    friend class XMLNode;

    // Fills the record from the item that starts at s[at] ('<'), which a
    // record-list scan accepted; returns the offset just after the item.
    std::size_t ReadItem(const char* s, std::size_t at);

    struct sAttribute
    {
        const char* Name = nullptr; // in the source text
        std::uint32_t NameLength = 0;
        std::uint32_t Value = 0; // offset in mValues
    };

    pugi::xml_node_struct* mNode = nullptr;
    std::string mName;
    // Each value followed by '\0', in order.
    std::string mValues;
    std::vector<sAttribute> mAttributes;
};
