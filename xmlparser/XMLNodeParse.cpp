#include "XMLNode.h"

#include "XMLDigitNames.h"
#include "XMLTree.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

// Reading: the whole input is checked and parsed by pugixml in one pass,
// O(n) in time. The content of large record lists (XMLRecordLists.h) makes
// no node: it stays in the source text, so a large project costs about its
// file size in memory. pugixml parses without recursion, so deep nesting
// costs memory, not stack.

namespace
{
// Gives every taken list to the node of its element, found by the offset of
// its name in the parsed text; false when one has no node. O(nodes).
bool AttachLists(XMLNode::Tree& tree, const std::vector<XMLTakenList>& lists)
{
    std::unordered_map<size_t, const XMLTakenList*> byName;
    for (const XMLTakenList& list : lists)
        byName[list.markedName] = &list;
    size_t attached = 0;
    const pugi::xml_node root = tree.doc;
    pugi::xml_node node = root.first_child();
    while (node)
    {
        if (node.type() == pugi::node_element && !node.first_child())
        {
            const ptrdiff_t at = node.offset_debug();
            const auto found = at < 0 ? byName.end() : byName.find(static_cast<size_t>(at));
            if (found != byName.end())
            {
                tree.deferred[node.internal_object()] = {found->second->begin, found->second->end};
                ++attached;
            }
        }
        node = NextInDocumentOrder(node, root);
    }
    return attached == lists.size();
}

// Reads the n bytes of a regular file from its start; the file may have
// changed since its size was taken, so what is read counts, up to the end
// of the file. False with errno's value on a read error.
bool ReadSequentially(int fd, size_t n, XMLText& text, int& readErrno)
{
    std::string bytes;
    bytes.reserve(n);
    char block[1 << 16];
    for (off_t at = 0;;)
    {
        const ssize_t got = pread(fd, block, sizeof block, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            readErrno = errno;
            return false;
        }
        if (got == 0)
            break;
        bytes.append(block, static_cast<size_t>(got));
        at += got;
    }
    text = XMLText(bytes.size());
    std::memcpy(text.data(), bytes.data(), bytes.size());
    return true;
}

// Bytes from which a slice of a file or of its text is worth a thread.
constexpr size_t kSliceBytes = size_t{8} << 20;

// Slices of n bytes: at most `most`, none under kSliceBytes but the one.
size_t SlicesOf(size_t n, size_t most)
{
    return std::max<size_t>(1, std::min<size_t>(most, n / kSliceBytes));
}

// work(k) for every slice k, the first on this thread and the others on
// threads of their own; a thread not to be had (for want of threads or of
// memory) leaves its slice to this thread. Returns once all have ended;
// work must not throw.
template <class Work> void EachSlice(size_t slices, const Work& work)
{
    std::vector<std::thread> threads;
    for (size_t k = 1; k < slices; ++k)
    {
        try
        {
            threads.emplace_back(work, k);
        }
        catch (...)
        {
            work(k);
        }
    }
    work(0);
    for (std::thread& thread : threads)
        thread.join();
}

// Reads a file of n bytes (its size when opened). A large one is read in a
// few slices side by side: the time goes to faulting in the fresh pages,
// which threads do in parallel. Should the file turn out shorter or longer,
// it is read again from its start, in one pass.
bool ReadWhole(int fd, size_t n, XMLText& text, int& readErrno)
{
    const size_t slices = SlicesOf(n, 4);
    text = XMLText(n);
    std::vector<int> errors(slices, 0);
    std::vector<char> endedEarly(slices, 0);
    auto readSlice = [&](size_t k)
    {
        size_t at = n * k / slices;
        const size_t end = n * (k + 1) / slices;
        while (at < end)
        {
            const ssize_t got = pread(fd, text.data() + at, std::min<size_t>(end - at, size_t{1} << 24),
                                      static_cast<off_t>(at));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
            {
                errors[k] = got < 0 ? errno : 0;
                endedEarly[k] = 1;
                return;
            }
            at += static_cast<size_t>(got);
        }
    };
    EachSlice(slices, readSlice);
    for (size_t k = 0; k < slices; ++k)
        if (errors[k] != 0)
        {
            readErrno = errors[k];
            return false;
        }
    char probe;
    ssize_t more;
    while ((more = pread(fd, &probe, 1, static_cast<off_t>(n))) < 0 && errno == EINTR)
        ;
    if (more < 0)
    {
        readErrno = errno;
        return false;
    }
    if (more > 0 || std::find(endedEarly.begin(), endedEarly.end(), 1) != endedEarly.end())
        return ReadSequentially(fd, n, text, readErrno);
    return true;
}

// The first offset of each fault of bytes refused before pugixml reads the
// text (npos when there is none).
struct sByteFaults
{
    size_t nul = std::string::npos;
    size_t nulReference = std::string::npos; // "&#0;", "&#x00;"...
    size_t marker = std::string::npos;       // MarkerNameOffset
};

// The faults of the bytes from `from` to `to`; those after `to` are read to
// finish a reference.
sByteFaults FindByteFaults(std::string_view text, size_t from, size_t to)
{
    sByteFaults faults;
    if (const void* nul = std::memchr(text.data() + from, '\0', to - from))
        faults.nul = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
    // memchr finds each '&' (string_view's find looks at every byte).
    const char* s = text.data();
    for (const char* amp = static_cast<const char*>(std::memchr(s + from, '&', to - from)); amp;
         amp = static_cast<const char*>(std::memchr(amp + 1, '&', to - (amp + 1 - s))))
    {
        const size_t at = static_cast<size_t>(amp - s);
        if (at + 1 >= text.size() || text[at + 1] != '#')
            continue;
        size_t k = at + 2;
        if (k < text.size() && text[k] == 'x')
            ++k;
        const size_t digits = k;
        while (k < text.size() && text[k] == '0')
            ++k;
        if (k > digits && k < text.size() && text[k] == ';')
        {
            faults.nulReference = at;
            break;
        }
    }
    faults.marker = MarkerNameOffset(text, from, to);
    return faults;
}

// The same over the whole text, a large one in slices side by side.
sByteFaults FindByteFaults(std::string_view text)
{
    const size_t slices = SlicesOf(text.size(), 8);
    std::vector<sByteFaults> found(slices);
    auto look = [&](size_t k)
    { found[k] = FindByteFaults(text, text.size() * k / slices, text.size() * (k + 1) / slices); };
    EachSlice(slices, look);
    sByteFaults first;
    for (const sByteFaults& slice : found)
    {
        first.nul = std::min(first.nul, slice.nul);
        first.nulReference = std::min(first.nulReference, slice.nulReference);
        first.marker = std::min(first.marker, slice.marker);
    }
    return first;
}

// Parses the tree's marked text in place. pugixml overwrites the last byte
// of its buffer with its terminator and never reads it as text: a NUL of
// our own stands there, so that one stray byte after the top element is
// seen (and refused) as surely as two.
pugi::xml_parse_result ParseInPlace(XMLNode::Tree& tree)
{
    tree.parsed.push_back('\0');
    return tree.doc.load_buffer_inplace(tree.parsed.data(), tree.parsed.size(), kXMLParseOptions,
                                        pugi::encoding_utf8);
}

void Fail(XMLResults* results, XMLError error, const std::string& message, std::string_view text,
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
        XMLText copy(text.size());
        std::memcpy(copy.data(), text.data(), text.size());
        return Parse(std::move(copy), results);
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
    // Only a regular file is read. A folder reads as an error, /dev/zero
    // never ends and a FIFO blocks the open until a writer comes: they are
    // refused before being opened, and once more after (the name may have
    // changed in between), the open not waiting for a writer.
    const auto notRegular = [&]()
    {
        Fail(results, XMLError::CannotOpen, "cannot read '" + path + "': not a regular file", "",
             std::string::npos);
        return XMLNode();
    };
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        return notRegular();
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        Fail(results, XMLError::CannotOpen, "cannot open '" + path + "': " + std::strerror(errno), "",
             std::string::npos);
        return XMLNode();
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(fd);
        return notRegular();
    }
    XMLText text;
    int readErrno = 0;
    if (!ReadWhole(fd, static_cast<size_t>(info.st_size), text, readErrno))
    {
        close(fd);
        Fail(results, XMLError::CannotOpen, "cannot read '" + path + "': " + std::strerror(readErrno), "",
             std::string::npos);
        return XMLNode();
    }
    close(fd);
    return Parse(std::move(text), results);
}

XMLNode XMLNode::Parse(XMLText&& input, XMLResults* results)
{
    const std::string_view text = input.View();
    if (results)
        *results = XMLResults();

    const sByteFaults faults = FindByteFaults(text);
    // XML text never holds a NUL byte; pugixml would stop at one and keep
    // what came before as if it were the whole input.
    if (faults.nul != std::string::npos)
    {
        Fail(results, XMLError::Malformed, "NUL byte in the input (not UTF-8 text)", text, faults.nul);
        return XMLNode();
    }
    // Nor a reference to one ("&#0;", "&#x00;"), which XML forbids too:
    // pugixml would write the NUL into the text, cutting it there.
    if (faults.nulReference != std::string::npos)
    {
        Fail(results, XMLError::Malformed, "reference to the character NUL", text, faults.nulReference);
        return XMLNode();
    }
    std::vector<size_t> inserted;
    // Byte 0xFF (never in UTF-8) marks digit-leading names inside the layer.
    if (faults.marker != std::string::npos)
    {
        Fail(results, XMLError::Malformed, "invalid byte 0xFF at the start of a name", text, faults.marker);
        return XMLNode();
    }
    // The text pugixml parses in place: markers put in, the content of the
    // large record lists left out (kept in the source, read on demand).
    std::vector<XMLTakenList> lists;
    auto tree = std::make_shared<Tree>();
    MarkDigitNames(text, tree->parsed, inserted, &lists);
    pugi::xml_parse_result parsed = ParseInPlace(*tree);
    if (parsed && !lists.empty() && !AttachLists(*tree, lists))
    {
        // Not expected: every list must stand for an element of the tree, or
        // its content would be lost. Parsed whole instead.
        lists.clear();
        tree = std::make_shared<Tree>();
        MarkDigitNames(text, tree->parsed, inserted);
        parsed = ParseInPlace(*tree);
    }
    if (!parsed)
    {
        Fail(results, XMLError::Malformed, parsed.description(), text,
             UnmarkedOffset(static_cast<size_t>(parsed.offset), inserted, &lists));
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
                 at < 0 ? std::string::npos : UnmarkedOffset(static_cast<size_t>(at), inserted, &lists));
            return XMLNode();
        }
    }
    if (elements == 0)
    {
        Fail(results, XMLError::NoRoot, "no element in the input", text, text.size());
        return XMLNode();
    }

    if (!inserted.empty())
        UnmarkDigitNames(tree->doc);
    if (!lists.empty())
        tree->source = std::move(input);
    pugi::xml_node_struct* top = tree->doc.internal_object();
    return XMLNode(std::move(tree), top);
}
