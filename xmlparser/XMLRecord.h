#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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
    // The same value as a byte range, which is not NUL-terminated; false
    // when absent. For readers of many items: no copy is made, and asking
    // for the attributes in their written order finds each at once.
    bool getAttribute(const char* name, std::string_view& value) const;

private:
    friend class XMLNode;

    // Fills the record from the item that starts at s[at] ('<'), which a
    // record-list scan accepted; returns the offset just after the item.
    std::size_t ReadItem(const char* s, std::size_t at);

    struct sAttribute
    {
        const char* Name = nullptr; // in the source text
        std::uint32_t NameLength = 0;
        std::uint32_t ValueLength = 0;
        const char* Value = nullptr; // in the source text, as pugixml would read it
    };

    // The index of the first attribute of that name, -1 when absent.
    int Find(const char* name) const;

    pugi::xml_node_struct* mNode = nullptr;
    std::string mName;
    std::vector<sAttribute> mAttributes;
    // No two attributes share a name: a name found at the hint is the first.
    bool mUniqueNames = true;
    // Where the next name is looked for first: after the last one found.
    mutable std::size_t mHint = 0;
    // The values, each followed by '\0', made at the first getAttribute
    // that returns a C string.
    mutable std::string mValues;
    mutable bool mValuesMade = false;
};
