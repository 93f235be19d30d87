#include "XMLNode.h"

#include "XMLDigitNames.h"
#include "XMLTree.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>

// Reading: the whole input is checked and parsed by pugixml in one pass,
// O(n) in time and about twice the input in memory. pugixml parses without
// recursion, so deep nesting costs memory, not stack.

namespace
{
// Text parts keep their bytes as written ('\r' included); blank text between
// elements is dropped but the one blank text of an element is kept; text
// beside the top element is kept so that it can be refused.
const unsigned kParseOptions =
    ((pugi::parse_default & ~pugi::parse_eol) | pugi::parse_ws_pcdata_single | pugi::parse_fragment);

void Fail(XMLResults* results, XMLError error, const std::string& message, const std::string& text,
          size_t offset)
{
    if (!results)
        return;
    results->error = error;
    results->message = message;
    results->nLine = 0;
    results->nColumn = 0;
    if (offset == std::string::npos)
        return;
    if (offset > text.size())
        offset = text.size();
    int line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i)
        if (text[i] == '\n')
        {
            ++line;
            lineStart = i + 1;
        }
    results->nLine = line;
    results->nColumn = static_cast<int>(offset - lineStart) + 1;
}
} // namespace

XMLNode XMLNode::parseString(const std::string& text, XMLResults* results)
{
    try
    {
        return Parse(text, results);
    }
    catch (const std::bad_alloc&)
    {
        Fail(results, XMLError::OutOfMemory, "not enough memory to read the input", "", std::string::npos);
        return XMLNode();
    }
}

XMLNode XMLNode::parseFile(const std::string& path, XMLResults* results)
{
    try
    {
        return ReadFile(path, results);
    }
    catch (const std::bad_alloc&)
    {
        Fail(results, XMLError::OutOfMemory, "not enough memory to read '" + path + "'", "",
             std::string::npos);
        return XMLNode();
    }
}

XMLNode XMLNode::ReadFile(const std::string& path, XMLResults* results)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
    {
        Fail(results, XMLError::CannotOpen, "cannot open '" + path + "': " + std::strerror(errno), "",
             std::string::npos);
        return XMLNode();
    }
    std::string text;
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        text.reserve(static_cast<size_t>(info.st_size));
    char block[1 << 16];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        text.append(block, got);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
    {
        Fail(results, XMLError::CannotOpen, "cannot read '" + path + "'", "", std::string::npos);
        return XMLNode();
    }
    return Parse(text, results);
}

XMLNode XMLNode::Parse(const std::string& text, XMLResults* results)
{
    if (results)
        *results = XMLResults();

    // XML text never holds a NUL byte; pugixml would stop at one and keep
    // what came before as if it were the whole input.
    if (const void* nul = std::memchr(text.data(), '\0', text.size()))
    {
        const size_t at = static_cast<const char*>(nul) - text.data();
        Fail(results, XMLError::Malformed, "NUL byte in the input (not UTF-8 text)", text, at);
        return XMLNode();
    }

    std::string marked;
    std::vector<size_t> inserted;
    // Byte 0xFF (never in UTF-8) marks digit-leading names inside the layer.
    const size_t markerName = MarkerNameOffset(text);
    if (markerName != std::string::npos)
    {
        Fail(results, XMLError::Malformed, "invalid byte 0xFF at the start of a name", text, markerName);
        return XMLNode();
    }
    const bool digitNames = HasDigitNames(text);
    if (digitNames)
        MarkDigitNames(text, marked, inserted);
    const std::string& input = digitNames ? marked : text;

    auto tree = std::make_shared<Tree>();
    const pugi::xml_parse_result parsed =
        tree->doc.load_buffer(input.data(), input.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed)
    {
        Fail(results, XMLError::Malformed, parsed.description(), text,
             UnmarkedOffset(static_cast<size_t>(parsed.offset), inserted));
        return XMLNode();
    }

    int elements = 0;
    for (pugi::xml_node child = tree->doc.first_child(); child; child = child.next_sibling())
    {
        const bool isText = child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata;
        const ptrdiff_t nonBlank = isText ? FirstNonBlank(child.value()) : -1;
        if (child.type() == pugi::node_element)
            ++elements;
        if (elements > 1 || nonBlank >= 0)
        {
            const ptrdiff_t start = child.offset_debug();
            const ptrdiff_t at = start < 0 ? -1 : start + (nonBlank > 0 ? nonBlank : 0);
            Fail(results, XMLError::SeveralRoots,
                 elements > 1 ? "more than one top element" : "text outside the top element", text,
                 at < 0 ? std::string::npos : UnmarkedOffset(static_cast<size_t>(at), inserted));
            return XMLNode();
        }
    }
    if (elements == 0)
    {
        Fail(results, XMLError::NoRoot, "no element in the input", text, text.size());
        return XMLNode();
    }

    if (digitNames)
        UnmarkDigitNames(tree->doc);
    pugi::xml_node_struct* top = tree->doc.internal_object();
    return XMLNode(std::move(tree), top);
}
