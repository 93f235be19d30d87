#include "KorString.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <istream>
#include <system_error>

namespace
{
// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined ones.
const char32_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char b)
{
    if (b < 0x80 || b >= 0xA0)
        return b;
    const char32_t c = kCp1252High[b - 0x80];
    return c ? c : U'?';
}

// Reads one character at text[i]: a well-formed UTF-8 sequence (no overlong
// forms, no surrogates, at most U+10FFFF) or else one Windows-1252 byte.
// Advances i past what it read.
char32_t DecodeOne(const std::string& text, size_t& i)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    const unsigned char b0 = s[i];
    if (b0 < 0x80)
    {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0)
    {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    }
    else if ((b0 & 0xF0) == 0xE0)
    {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    }
    else if ((b0 & 0xF8) == 0xF0)
    {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    }
    if (len > 0 && i + len <= n)
    {
        bool ok = true;
        for (int k = 1; k < len && ok; ++k)
        {
            const unsigned char b = s[i + k];
            ok = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF))
        {
            i += len;
            return cp;
        }
    }
    ++i;
    return Cp1252ToCodePoint(b0);
}

void AppendUTF8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string NormalizedUTF8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUTF8(out, DecodeOne(text, i));
    return out;
}

size_t LastSeparator(const std::string& path)
{
    return path.find_last_of("/\\");
}

// Appends the non-empty pieces of text between occurrences of a non-empty
// separator, left to right, in one pass.
void SplitNonEmpty(const std::string& text, const std::string& separator, std::vector<std::string>& out)
{
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            out.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}
} // namespace

wchar_t* StringToWCHAR(const std::string& text)
{
    wchar_t* out = new wchar_t[text.size() + 1]();
    size_t k = 0;
    for (size_t i = 0; i < text.size();)
        out[k++] = static_cast<wchar_t>(DecodeOne(text, i));
    return out;
}

char* StringToUTF8(const std::string& text)
{
    const std::string utf8 = NormalizedUTF8(text);
    char* out = new char[utf8.size() + 1];
    std::memcpy(out, utf8.c_str(), utf8.size() + 1);
    return out;
}

void UTF8ToString(std::string& text)
{
    text = NormalizedUTF8(text);
}

bool ReadTextLine(std::istream& stream, std::string& line)
{
    if (!std::getline(stream, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

std::string MessageExcerpt(std::string_view text, std::size_t maxBytes)
{
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    std::string out;
    out.reserve(std::min(text.size(), maxBytes) + 3);
    for (std::size_t k = 0; k < text.size(); ++k)
    {
        const bool nul = text[k] == '\0';
        if (out.size() + (nul ? 2 : 1) > maxBytes)
        {
            // Cut before the character that does not fit whole: drop the
            // bytes of it already copied (a lead byte and at most two
            // continuation bytes).
            if (continuation(text[k]))
            {
                std::size_t dropped = 0;
                while (!out.empty() && continuation(out.back()) && dropped < 2)
                {
                    out.pop_back();
                    ++dropped;
                }
                if (!out.empty() && static_cast<unsigned char>(out.back()) >= 0xC0)
                    out.pop_back();
            }
            return out + "…";
        }
        if (nul)
            out += "\\0";
        else
            out += text[k];
    }
    return out;
}

void ReplaceChar(std::string& text, char from, char to)
{
    std::replace(text.begin(), text.end(), from, to);
}

void DeleteChar(std::string& text, char c)
{
    text.erase(std::remove(text.begin(), text.end(), c), text.end());
}

void ToLower(std::string& text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

void ToUpper(std::string& text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void ParseString(const std::string& text, std::vector<std::string>& out, char separator)
{
    out.clear();
    SplitNonEmpty(text, std::string(1, separator), out);
}

void ParseString(const std::string& text, std::vector<std::string>& out, const std::string& separator)
{
    out.clear();
    if (separator.empty() || text.find(separator) == std::string::npos)
    {
        out.push_back(text);
        return;
    }
    SplitNonEmpty(text, separator, out);
}

std::string GetExtension(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t sep = LastSeparator(path);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        return std::string();
    return path.substr(dot + 1);
}

void ForceExtension(std::string& path, const std::string& extension)
{
    const size_t dot = path.rfind('.');
    const size_t sep = LastSeparator(path);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep))
        path += "." + extension;
    else
        path = path.substr(0, dot + 1) + extension;
}

std::string GetFileRadical(const std::string& path)
{
    const size_t sep = LastSeparator(path);
    const size_t begin = sep == std::string::npos ? 0 : sep + 1;
    const size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot >= begin)
        return path.substr(begin, dot - begin);
    return path.substr(begin);
}

std::string GetFileFromPath(const std::string& path)
{
    const std::string ext = GetExtension(path);
    if (ext.empty())
        return GetFileRadical(path);
    return GetFileRadical(path) + "." + ext;
}

std::string GetFolderFromPath(const std::string& path)
{
    const std::string file = GetFileFromPath(path);
    if (file.empty())
        return std::string();
    const size_t p = path.find_last_of(file);
    if (p == std::string::npos)
        return std::string();
    const long keep = static_cast<long>(p) - static_cast<long>(file.size()) + 1;
    if (keep <= 0)
        return std::string();
    return path.substr(0, static_cast<size_t>(keep));
}

bool CompareRegularExpression(const std::string& text, const std::string& pattern)
{
    if (text.empty() || pattern.empty())
        return false;
    // Greedy walk that remembers the last star and, on a mismatch, lets that
    // star take one more character: O(text * pattern) at worst, no recursion.
    size_t t = 0, p = 0;
    size_t starP = std::string::npos, starT = 0;
    while (t < text.size())
    {
        if (p < pattern.size() && pattern[p] == '*')
        {
            starP = p++;
            starT = t;
        }
        else if (p < pattern.size() && pattern[p] == text[t])
        {
            ++p;
            ++t;
        }
        else if (starP != std::string::npos)
        {
            p = starP + 1;
            t = ++starT;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool CompareRegularExpressionWithoutCase(const std::string& text, const std::string& pattern)
{
    std::string t = text, p = pattern;
    ToLower(t);
    ToLower(p);
    return CompareRegularExpression(t, p);
}

int qsortString(const void* a, const void* b)
{
    return static_cast<const std::string*>(a)->compare(*static_cast<const std::string*>(b));
}

void SortStringVector(std::vector<std::string>& strings)
{
    std::sort(strings.begin(), strings.end());
}

std::string* GetStringInSortedVector(const std::string& key, std::vector<std::string>& strings)
{
    auto it = std::lower_bound(strings.begin(), strings.end(), key);
    if (it == strings.end() || *it != key)
        return nullptr;
    return &*it;
}

std::string GetWorkingDirectory()
{
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

void SetWorkingDirectory(const std::string& path)
{
    std::error_code ec;
    std::filesystem::current_path(path, ec);
}
