#pragma once

#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <vector>

// Element names that start with a digit ("3DTriangles") are refused by
// strict XML parsers, pugixml included, yet stored files hold them. Before
// parsing, a marker byte (0xFF, which never occurs in UTF-8) is put in front
// of each such name in start and end tags; after parsing, the marker is
// taken off again. Comments, CDATA sections, processing instructions,
// doctypes and quoted attribute values are copied untouched.

// Whether the text holds "<d" or "</d" with d a digit: a quick O(n) test
// that spares the copy for the usual file.
bool HasDigitNames(const std::string& text);

// Copies text into marked with the markers inserted, and lists in inserted
// the offsets in marked where a marker was put (increasing). A tag name that
// already starts with the marker byte cannot be told from an inserted one:
// then false is returned with its offset in text in badOffset. O(n).
bool MarkDigitNames(const std::string& text, std::string& marked, std::vector<size_t>& inserted,
                    size_t& badOffset);

// Takes the marker off every element name under root. Walks the tree without
// recursion, O(nodes).
void UnmarkDigitNames(pugi::xml_node root);

// The offset in the original text of an offset in the marked text.
size_t UnmarkedOffset(size_t markedOffset, const std::vector<size_t>& inserted);
