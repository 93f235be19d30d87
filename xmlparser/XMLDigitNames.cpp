#include "XMLDigitNames.h"

#include "XMLRecordLists.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string_view>
#include <thread>

namespace
{
const char kMarker = '\xFF';

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, size_t at, const char* prefix)
{
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// Copies text[at, end of the first `close` after at) to out; returns the
// offset after it, or the text's size when close never comes.
size_t CopyThrough(std::string_view text, size_t at, const char* close, std::string& out)
{
    const size_t found = text.find(close, at);
    const size_t end = found == std::string::npos ? text.size() : found + std::strlen(close);
    out.append(text, at, end - at);
    return end;
}

// A doctype may hold an internal subset in brackets, itself holding '>' and
// quoted literals.
size_t CopyDoctype(std::string_view text, size_t at, std::string& out)
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

size_t MarkerNameOffset(std::string_view text, size_t from, size_t to)
{
    const char* s = text.data();
    const size_t n = std::min(to, text.size());
    if (from >= n)
        return std::string::npos;
    for (const char* p = static_cast<const char*>(std::memchr(s + from, kMarker, n - from)); p;
         p = static_cast<const char*>(std::memchr(p + 1, kMarker, n - (p + 1 - s))))
    {
        const size_t at = static_cast<size_t>(p - s);
        if ((at >= 1 && s[at - 1] == '<') || (at >= 2 && s[at - 1] == '/' && s[at - 2] == '<'))
            return at;
    }
    return std::string::npos;
}

namespace
{
// A content taken as a record list on the strength of its end tag alone,
// to be scanned afterwards.
struct sGuessedList
{
    size_t begin = 0;
    size_t end = 0;
    size_t name = 0;
    size_t nameLength = 0;
};

// The offset of the text's first "</" from at when it begins an end tag
// named name (blanks allowed before its '>'), npos otherwise: when the
// content from at is a record list, it ends there, its items holding no '<'
// but their own. The bytes looked at are taken from budget; npos too when
// the budget is spent.
size_t GuessListEnd(std::string_view text, size_t at, size_t name, size_t nameLength, size_t& budget)
{
    // Each '<' of a list is looked at: memchr skips the bytes between.
    const char* s = text.data();
    const char* found = nullptr;
    for (const char* p = s + at; (p = static_cast<const char*>(std::memchr(p, '<', text.size() - (p - s)))) != nullptr;
         ++p)
        if (p[1] == '/')
        {
            found = p;
            break;
        }
    const size_t end = found == nullptr ? text.size() : static_cast<size_t>(found - s);
    if (end - at > budget)
    {
        budget = 0;
        return std::string::npos;
    }
    budget -= end - at;
    size_t k = end + 2;
    if (found == nullptr || text.size() - k < nameLength || text.compare(k, nameLength, text, name, nameLength) != 0)
        return std::string::npos;
    k += nameLength;
    while (k < text.size() && IsRecordBlank(text[k]))
        ++k;
    return k < text.size() && text[k] == '>' ? end : std::string::npos;
}

// Whether the content from at is to be taken as a record list in the
// guessing pass; end is then its end. A short content (a text, an empty or
// small list) is scanned at once: a guess would mostly be refused later.
bool TakeAsList(std::string_view text, size_t at, size_t name, size_t nameLength, size_t& budget,
                size_t& end, std::vector<sGuessedList>& guesses)
{
    // A small list's content, with the end tag that follows it.
    const size_t kShort = 4096;
    const size_t guessed = GuessListEnd(text, at, name, nameLength, budget);
    if (guessed == std::string::npos)
        return false;
    if (guessed - at < kShort)
        return ScanRecordList(text.data(), text.size(), at, text.data() + name, nameLength, end);
    end = guessed;
    guesses.push_back({at, end, name, nameLength});
    return true;
}

// Whether every guessed list scans as a record list ending where guessed;
// the lists are scanned side by side, on up to one thread per core.
bool ConfirmGuesses(std::string_view text, const std::vector<sGuessedList>& guesses)
{
    std::atomic<size_t> next{0};
    std::atomic<bool> sound{true};
    auto work = [&]
    {
        for (size_t g = next.fetch_add(1); g < guesses.size() && sound.load(); g = next.fetch_add(1))
        {
            const sGuessedList& guess = guesses[g];
            size_t end = 0;
            if (!ScanRecordList(text.data(), text.size(), guess.begin, text.data() + guess.name,
                                guess.nameLength, end) ||
                end != guess.end)
                sound.store(false);
        }
    };
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    // Lists of a thousand items: a thread is worth a few dozen of them.
    const size_t helpers = std::min(cores, guesses.size() / 32 + 1) - 1;
    std::vector<std::thread> threads;
    for (size_t i = 0; i < helpers; ++i)
    {
        try
        {
            threads.emplace_back(work);
        }
        catch (...) // no thread to be had, for want of threads or of memory
        {
            break;
        }
    }
    work();
    for (std::thread& thread : threads)
        thread.join();
    return sound.load();
}

// The marking pass. With guesses, a large record list is taken at the end
// tag GuessListEnd finds and listed in guesses to be scanned afterwards;
// without, it is scanned at once. False when the guesses looked at more
// than twice the text (nested elements whose end tags are far): the pass is
// then abandoned, as the guessing would no longer be linear.
bool Mark(std::string_view text, std::string& marked, std::vector<size_t>& inserted,
          std::vector<XMLTakenList>* lists, std::vector<sGuessedList>* guesses)
{
    size_t budget = 2 * text.size();
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
                (guesses ? TakeAsList(text, i + 1, name, nameEnd - name, budget, end, *guesses)
                         : ScanRecordList(text.data(), n, i + 1, text.data() + name, nameEnd - name, end)))
            {
                marked += '>';
                lists->push_back({i + 1, end, markedName});
                i = end;
            }
            else if (guesses && budget == 0)
                return false;
        }
    }
    return true;
}

} // namespace

void MarkDigitNames(std::string_view text, std::string& marked, std::vector<size_t>& inserted,
                    std::vector<XMLTakenList>* lists)
{
    // The scan of the record lists is most of this pass: the lists are
    // first taken at their end tags, then scanned side by side. Should one
    // not scan, the pass is made again, scanning each list where it stands,
    // so the result is always that of the plain pass.
    if (lists)
    {
        std::vector<sGuessedList> guesses;
        if (Mark(text, marked, inserted, lists, &guesses) && ConfirmGuesses(text, guesses))
            return;
    }
    Mark(text, marked, inserted, lists, nullptr);
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
