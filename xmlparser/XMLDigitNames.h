#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Element names that start with a digit ("3DTriangles") are refused by
// strict XML parsers, pugixml included, yet stored files hold them. Before
// parsing, a marker byte (0xFF, which never occurs in UTF-8) is put in front
// of each such name in start and end tags; after parsing, the marker is
// taken off again. Comments, CDATA sections, processing instructions,
// doctypes and quoted attribute values are copied untouched.

// The offset of the first byte 0xFF that follows '<' or "</" anywhere in the
// text, or npos. Such a name would pass for a marked one; it is looked for
// in the raw bytes, whatever the markup around it, since no scanner of ours
// reads doctypes exactly as pugixml does. O(n).
// Only bytes from `from` to `to` are looked for (the bytes before them are
// still read): a large text is looked at in slices.
size_t MarkerNameOffset(std::string_view text, size_t from = 0, size_t to = std::string_view::npos);

// A record list's content taken out of the marked text (XMLRecordLists.h):
// its range [begin, end) in the source text and the offset in the marked
// text of its element's name.
struct XMLTakenList
{
    size_t begin = 0;
    size_t end = 0;
    size_t markedName = 0;
};

// Copies text into marked with the markers inserted, and lists in inserted
// the offsets in marked where a marker was put (increasing). When lists is
// given, the content of every large record list is left out of marked and
// listed there (in increasing order); those lists are scanned side by side
// on several threads. The text must hold no marker name (MarkerNameOffset).
// O(n).
void MarkDigitNames(std::string_view text, std::string& marked, std::vector<size_t>& inserted,
                    std::vector<XMLTakenList>* lists = nullptr);

// Takes the marker off every element name under root. Walks the tree without
// recursion, O(nodes).
void UnmarkDigitNames(pugi::xml_node root);

// The node after node in document order below root (its first child, else
// the next sibling of it or of its nearest ancestor), or a null node past
// the last: a walk over a deep tree without recursion.
pugi::xml_node NextInDocumentOrder(pugi::xml_node node, pugi::xml_node root);

// The offset in the original text of an offset in the marked text, the
// content of the taken lists (when given) counted back in.
size_t UnmarkedOffset(size_t markedOffset, const std::vector<size_t>& inserted,
                      const std::vector<XMLTakenList>* lists = nullptr);
