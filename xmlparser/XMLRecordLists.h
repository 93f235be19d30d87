#pragma once

#include <cstddef>

// A record list is an element whose content is nothing but empty child
// elements with attributes, separated by blanks: the chunks of a mesh, the
// vertex types of a layer. Before parsing, the content of each large one is
// taken out of the text given to pugixml and kept as a byte range of the
// source; it is read item by item when asked (XMLNode::forEachChild), or
// parsed into nodes the first time any other query needs them. That keeps
// the tree of a large project small.
//
// Only content that pugixml would read into exactly the same names and
// values is taken out: ASCII names, quoted values holding no '<', no
// entity and no tab or line break (which pugixml would rewrite), no
// comment, text or nested element. Anything else stays in the text and
// is parsed (and refused, when malformed) as before.

// Character classes of record lists, by table: the scan of a large project
// looks at every byte of it.
enum : unsigned char
{
    kRecordBlank = 1,     // ' ', tab, CR, LF
    kRecordNameStart = 2, // ASCII letter, '_', ':'
    kRecordNameChar = 4,  // a name start, a digit, '-', '.'
    kRecordValueStop = 8, // ends or spoils a value: quotes, '<', '&', tab, CR, LF, NUL
};

struct XMLRecordClasses
{
    unsigned char table[256];
    constexpr XMLRecordClasses() : table()
    {
        for (int c = 0; c < 256; ++c)
        {
            unsigned char k = 0;
            const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
                k |= kRecordBlank;
            if (letter)
                k |= kRecordNameStart;
            if (letter || (c >= '0' && c <= '9') || c == '-' || c == '.')
                k |= kRecordNameChar;
            if (c == '"' || c == '\'' || c == '<' || c == '&' || c == '\t' || c == '\r' || c == '\n' || c == 0)
                k |= kRecordValueStop;
            table[c] = k;
        }
    }
};

inline constexpr XMLRecordClasses kRecordClasses{};

inline bool IsRecordClass(char c, unsigned char k)
{
    return (kRecordClasses.table[static_cast<unsigned char>(c)] & k) != 0;
}

inline bool IsRecordBlank(char c)
{
    return IsRecordClass(c, kRecordBlank);
}

inline bool IsRecordNameStart(char c)
{
    return IsRecordClass(c, kRecordNameStart);
}

inline bool IsRecordNameChar(char c)
{
    return IsRecordClass(c, kRecordNameChar);
}

// Fewer items than this are left to the tree: not worth a range.
constexpr int kMinRecordListItems = 16;

// Whether the content that starts at s[at] (just after the '>' of a start
// tag named name, of nameLength bytes) is a record list of at least
// kMinRecordListItems items closed by that element's end tag; end is then
// the offset of its "</". s[n] must be NUL (a std::string's data) and the
// text hold no other NUL. O(content).
bool ScanRecordList(const char* s, std::size_t n, std::size_t at, const char* name, std::size_t nameLength,
                    std::size_t& end);

// The offset of the next item's '<' from at within [at, end), or end when
// only blanks remain. The range must be a scanned record list's.
std::size_t NextRecordItem(const char* s, std::size_t at, std::size_t end);
