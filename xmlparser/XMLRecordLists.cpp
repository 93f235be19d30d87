#include "XMLRecordLists.h"

#include <cstring>

namespace
{
// The end of the item that starts at s[at] ('<'), just after its "/>", or
// 0 when it is not an item of a record list.
std::size_t ScanItem(const char* s, std::size_t n, std::size_t at)
{
    // s[n] is NUL, which no class but the value stops holds: the loops end
    // there without a bound test.
    std::size_t k = at + 1;
    if (!IsRecordNameStart(s[k]))
        return 0;
    while (IsRecordNameChar(s[k]))
        ++k;
    for (;;)
    {
        const std::size_t blanks = k;
        while (IsRecordBlank(s[k]))
            ++k;
        if (s[k] == '/')
            return s[k + 1] == '>' ? k + 2 : 0;
        if (k == blanks || !IsRecordNameStart(s[k]))
            return 0;
        while (IsRecordNameChar(s[k]))
            ++k;
        while (IsRecordBlank(s[k]))
            ++k;
        if (s[k] != '=')
            return 0;
        ++k;
        while (IsRecordBlank(s[k]))
            ++k;
        if (s[k] != '"' && s[k] != '\'')
            return 0;
        const char quote = s[k++];
        while (!IsRecordClass(s[k], kRecordValueStop))
            ++k;
        // The other quote is a character of the value.
        while ((s[k] == '"' || s[k] == '\'') && s[k] != quote)
            while (!IsRecordClass(s[++k], kRecordValueStop))
                ;
        if (k >= n || s[k] != quote)
            return 0;
        ++k;
    }
}
} // namespace

bool ScanRecordList(const char* s, std::size_t n, std::size_t at, const char* name, std::size_t nameLength,
                    std::size_t& end)
{
    std::size_t i = at;
    int items = 0;
    for (;;)
    {
        while (i < n && IsRecordBlank(s[i]))
            ++i;
        if (i + 1 >= n || s[i] != '<')
            return false;
        if (s[i + 1] == '/')
        {
            std::size_t k = i + 2;
            if (n - k < nameLength || std::memcmp(s + k, name, nameLength) != 0)
                return false;
            k += nameLength;
            while (k < n && IsRecordBlank(s[k]))
                ++k;
            if (k >= n || s[k] != '>')
                return false;
            end = i;
            return items >= kMinRecordListItems;
        }
        const std::size_t next = ScanItem(s, n, i);
        if (next == 0)
            return false;
        ++items;
        i = next;
    }
}

std::size_t NextRecordItem(const char* s, std::size_t at, std::size_t end)
{
    while (at < end && IsRecordBlank(s[at]))
        ++at;
    return at;
}
