#pragma once

#include "ElementOVX.h"
#include "XMLable.h"

#include <string>
#include <vector>

// An element of the project file whose class is not built yet, kept as the
// XML subtree it was read from and written back unchanged, so that a file
// saved by this program loses nothing it holds. Texts and child elements
// are kept in order (texts first, as the saved form has either text or
// children); attributes are not part of the saved form and are dropped.
//
// Reading keeps a handle on the parsed subtree (no copy). Reading again
// into the same element acts as a member read: a child with text replaces
// the kept child of its name (k-th for k-th), other children are added, a
// child without text changes nothing; the parts are merged once, when
// written, in time linear in their size.
//
// Walks use an explicit stack. A saved element nests a few levels; one
// nested deeper than MaxDepth is refused on reading with a reported line
// and a KorException, since writing it back indented would cost the square
// of its depth.
class RawXMLElement : public ElementOVX, public XMLable
{
public:
    static constexpr int MaxDepth = 200;

    explicit RawXMLElement(const std::string& name);

    // Writes the kept children and texts into node.
    void ToXML(XMLNode& node) override;
    void FromXML(const XMLNode& node) override;

    const std::string& GetName() const { return mName; }
    bool IsEmpty() const { return mParts.empty(); }
    // Forgets everything kept.
    void Clear() { mParts.clear(); }
    // The text of the child of that name, as a saved string member reads
    // it ('$' back to a blank); empty when absent.
    std::string GetMemberText(const std::string& key) const;

    // Appends a copy of what is under from (texts and children) to to.
    static void CopyContent(const XMLNode& from, XMLNode& to);

private:
    std::string mName;
    std::vector<XMLNode> mParts;
};
