#include "XMLDigitNames.h"

#include "XMLRecordLists.h"

#include <algorithm>
#include <cstring>

namespace
{
const char kMarker = '\xFF';

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsWith(const std::string& text, size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// Copies text[at, end of the first `close` after at) to out; returns the
// offset after it, or the text's size when close never comes.
size_t CopyThrough(const std::string& text, size_t at, const char* close, std::string& out)
{
    const size_t found = text.find(close, at);
    const size_t end = found == std::string::npos ? text.size() : found + std::strlen(close);
    out.append(text, at, end - at);
    return end;
}

// A doctype may hold an internal subset in brackets, itself holding '>' and
// quoted literals.
size_t CopyDoctype(const std::string& text, size_t at, std::string& out)
{
    int depth = 0;
    size_t i = at;
    while (i < text.size())
    {
        const char c = text[i];
        if (c == '"' || c == '\'')
        {
            const size_t close = text.find(c, i + 1);
            i = close == std::string::npos ? text.size() : close + 1;
            continue;
        }
        ++i;
        if (c == '[')
            ++depth;
        else if (c == ']' && depth > 0)
            --depth;
        else if (c == '>' && depth == 0)
            break;
    }
    out.append(text, at, i - at);
    return i;
}
} // namespace

size_t MarkerNameOffset(const std::string& text)
{
    const char* s = text.data();
    const size_t n = text.size();
    for (const char* p = static_cast<const char*>(std::memchr(s, kMarker, n)); p;
         p = static_cast<const char*>(std::memchr(p + 1, kMarker, n - (p + 1 - s))))
    {
        const size_t at = static_cast<size_t>(p - s);
        if ((at >= 1 && s[at - 1] == '<') || (at >= 2 && s[at - 1] == '/' && s[at - 2] == '<'))
            return at;
    }
    return std::string::npos;
}

void MarkDigitNames(const std::string& text, std::string& marked, std::vector<size_t>& inserted,
                    std::vector<XMLTakenList>* lists)
{
    marked.clear();
    inserted.clear();
    if (lists)
        lists->clear();
    else
        marked.reserve(text.size() + 64);
    size_t i = 0;
    const size_t n = text.size();
    while (i < n)
    {
        const size_t lt = text.find('<', i);
        const size_t stop = lt == std::string::npos ? n : lt;
        marked.append(text, i, stop - i);
        i = stop;
        if (i == n)
            break;
        if (StartsWith(text, i, "<!--"))
            i = CopyThrough(text, i, "-->", marked);
        else if (StartsWith(text, i, "<![CDATA["))
            i = CopyThrough(text, i, "]]>", marked);
        else if (StartsWith(text, i, "<?"))
            i = CopyThrough(text, i, "?>", marked);
        else if (StartsWith(text, i, "<!"))
            i = CopyDoctype(text, i, marked);
        else
        {
            marked += '<';
            ++i;
            const bool endTag = i < n && text[i] == '/';
            if (endTag)
            {
                marked += '/';
                ++i;
            }
            if (i < n && IsDigit(text[i]))
            {
                inserted.push_back(marked.size());
                marked += kMarker;
            }
            const size_t name = i;
            const size_t markedName = marked.size();
            // The rest of the tag, up to its '>' (copied by the outer loop);
            // a '<' inside quotes is a value, outside it ends the tag.
            while (i < n && text[i] != '>' && text[i] != '<')
            {
                const char c = text[i];
                if (c == '"' || c == '\'')
                {
                    const size_t close = text.find(c, i + 1);
                    const size_t end = close == std::string::npos ? n : close + 1;
                    marked.append(text, i, end - i);
                    i = end;
                }
                else
                {
                    marked += c;
                    ++i;
                }
            }
            // A start tag whose content is a large record list: the content
            // stays in the source, out of the tree.
            size_t nameEnd = name;
            while (nameEnd < n && IsRecordNameChar(text[nameEnd]))
                ++nameEnd;
            size_t end = 0;
            if (lists && !endTag && i < n && text[i] == '>' && text[i - 1] != '/' && nameEnd > name &&
                IsRecordNameStart(text[name]) &&
                ScanRecordList(text.data(), n, i + 1, text.data() + name, nameEnd - name, end))
            {
                marked += '>';
                lists->push_back({i + 1, end, markedName});
                i = end;
            }
        }
    }
}

void UnmarkDigitNames(pugi::xml_node root)
{
    pugi::xml_node node = root.first_child();
    while (node)
    {
        const char* name = node.name();
        if (node.type() == pugi::node_element && name[0] == kMarker && IsDigit(name[1]))
        {
            const std::string unmarked(name + 1);
            node.set_name(unmarked.c_str());
        }
        node = NextInDocumentOrder(node, root);
    }
}

pugi::xml_node NextInDocumentOrder(pugi::xml_node node, pugi::xml_node root)
{
    if (node.first_child())
        return node.first_child();
    while (node && node != root && !node.next_sibling())
        node = node.parent();
    if (!node || node == root)
        return pugi::xml_node();
    return node.next_sibling();
}

size_t UnmarkedOffset(size_t markedOffset, const std::vector<size_t>& inserted,
                      const std::vector<XMLTakenList>* lists)
{
    const auto before = std::upper_bound(inserted.begin(), inserted.end(), markedOffset) - inserted.begin();
    // An offset that falls on a marker itself maps to the name it precedes.
    const bool onMarker = before > 0 && inserted[before - 1] == markedOffset;
    size_t offset = markedOffset - before + (onMarker ? 1 : 0);
    // A taken content sat just before the '<' of its end tag.
    if (lists)
        for (const XMLTakenList& list : *lists)
        {
            if (list.begin > offset)
                break;
            offset += list.end - list.begin;
        }
    return offset;
}
