#include "XMLable.h"

#include "KorException.h"
#include "KorNumbers.h"
#include "KorString.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_map>

namespace
{
// Nesting of ASCII forms read at once on this thread: son lists are filled
// from the file, so a list whose elements hold lists of their own type would
// otherwise let a file drive the recursion as deep as it likes.
thread_local int tASCIIDepth = 0;
const int kMaxASCIIDepth = 200;

bool IsASCII(const std::string& text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::string ToUTF8(const std::string& text)
{
    std::unique_ptr<char[]> utf8(StringToUTF8(text));
    return std::string(utf8.get());
}

// A name or a text as UTF-8. ASCII, the usual case, is its own UTF-8 and is
// used in place; anything else is converted into spare.
const char* Key(const std::string& name, std::string& spare)
{
    if (IsASCII(name))
        return name.c_str();
    spare = ToUTF8(name);
    return spare.c_str();
}

// Skips an unknown son or son-list section whose opening line was just read:
// every "__..." line opens a nested section and every line starting with '*'
// closes one, so the section's own closing line is found even when it holds
// sons of its own. A section that starts with "___Vertices" is a mesh's own
// form, whose "___" headers open nothing: it runs to its closing line (an
// object whose first record is a son list named "Vertices" cannot be told
// from it). False when the stream ends first.
bool SkipSection(std::istream& stream)
{
    std::string line;
    int depth = 1;
    bool opened = true;
    while (ReadTextLine(stream, line))
    {
        if (opened && line == "___Vertices")
        {
            // The mesh's value lines and headers, then the line that closes
            // the section the mesh fills.
            bool closed = false;
            while (!closed && ReadTextLine(stream, line))
                closed = !line.empty() && line[0] == '*';
            if (!closed)
                return false;
            opened = false;
            if (--depth == 0)
                return true;
            continue;
        }
        opened = line.size() > 2 && line[0] == '_' && line[1] == '_';
        if (opened)
            ++depth;
        else if (!line.empty() && line[0] == '*' && --depth == 0)
            return true;
    }
    return false;
}

class DepthGuard
{
public:
    DepthGuard() { ++tASCIIDepth; }
    ~DepthGuard() { --tASCIIDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};
} // namespace

bool XMLable::IsRegistrable(const std::string& name)
{
    return !name.empty() && name[0] != '*' && name[0] != '_';
}

void XMLable::AddVariable(const std::string& name, int* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, float* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, double* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, bool* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, std::string* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, LumPoint* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, std::vector<std::string>* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, std::vector<int>* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}
void XMLable::AddVariable(const std::string& name, std::vector<double>* member)
{
    if (IsRegistrable(name) && member)
        mVariables.emplace_back(member, name);
}

void XMLable::AddSon(const std::string& name, XMLable* son)
{
    if (IsRegistrable(name) && son)
        mSons.push_back({name, son});
}

void XMLable::ToXML(XMLNode& node)
{
    std::string spare;
    for (const AnyPointer& variable : mVariables)
    {
        XMLNode child = node.addChild(Key(variable.GetName(), spare));
        std::string text = variable.GetAsString();
        if (text.find(' ') != std::string::npos)
            ReplaceChar(text, ' ', '$');
        child.addText(Key(text, spare));
    }
    for (const Son& son : mSons)
    {
        XMLNode child = node.addChild(Key(son.Name, spare));
        son.Object->ToXML(child);
    }
}

void XMLable::FromXML(const XMLNode& node)
{
    ReadVariables(node);
    ReadSons(node);
}

void XMLable::ReadVariables(const XMLNode& node)
{
    std::string spare;
    for (const AnyPointer& variable : mVariables)
    {
        const XMLNode child = node.getChildNode(Key(variable.GetName(), spare));
        if (child.isEmpty())
            continue;
        const char* utf8 = child.getText(0);
        if (!utf8)
        {
            // An empty string or list is written as an element without
            // text; it reads back empty. Other types keep their value.
            const int type = variable.GetType();
            if (type == ANY_STRING || type == ANY_STRING_VECTOR || type == ANY_INT_VECTOR ||
                type == ANY_DOUBLE_VECTOR)
                variable.Set(std::string());
            continue;
        }
        std::string text(utf8);
        // Only texts need decoding: in a number's text no byte outside ASCII
        // can be part of a number or a separator, so the numbers read are
        // the same either way, and long lists are spared a pass.
        const int type = variable.GetType();
        if ((type == ANY_STRING || type == ANY_STRING_VECTOR) && !IsASCII(text))
            UTF8ToString(text);
        if (text.find('$') != std::string::npos)
            ReplaceChar(text, '$', ' ');
        variable.Set(text);
    }
}

void XMLable::ReadSons(const XMLNode& node)
{
    std::string spare;
    for (const Son& son : mSons)
    {
        const XMLNode child = node.getChildNode(Key(son.Name, spare));
        if (!child.isEmpty())
            son.Object->FromXML(child);
    }
}

void XMLable::ToASCII(std::ostream& stream)
{
    for (const AnyPointer& variable : mVariables)
    {
        stream << '_' << variable.GetName() << std::endl;
        variable.InsertIntoStream(stream);
    }
    for (const Son& son : mSons)
    {
        stream << "__" << son.Name << std::endl;
        son.Object->ToASCII(stream);
    }
    for (const SonList& list : mSonLists)
    {
        if (!list.List)
            continue;
        for (XMLable* element : *list.List)
        {
            stream << "___" << list.Name << std::endl;
            element->ToASCII(stream);
        }
    }
    stream << "**" << std::endl;
}

bool XMLable::FromASCII(std::istream& stream)
{
    if (tASCIIDepth >= kMaxASCIIDepth)
    {
        KorReport("XMLable::FromASCII",
                  "The form is nested more than " + std::to_string(kMaxASCIIDepth) + " levels deep");
        return false;
    }
    const DepthGuard guard;

    // When two records share a name, the later one is used.
    std::unordered_map<std::string, const AnyPointer*> variables;
    std::unordered_map<std::string, XMLable*> sons;
    std::unordered_map<std::string, const SonList*> lists;
    for (const AnyPointer& variable : mVariables)
        variables[variable.GetName()] = &variable;
    for (const Son& son : mSons)
        sons[son.Name] = son.Object;
    for (const SonList& list : mSonLists)
    {
        lists[list.Name] = &list;
        if (!list.List)
            continue;
        for (XMLable* element : *list.List)
            delete element;
        list.List->clear();
    }

    const int kBufferSize = 256;
    char buffer[kBufferSize];
    std::string line;
    bool have = ReadTextLine(stream, line);
    while (have)
    {
        if (line.empty() || line[0] != '_')
        {
            if (!line.empty() && line[0] == '*')
                return true;
            have = ReadTextLine(stream, line);
            continue;
        }
        const size_t marks = line.find_first_not_of('_');
        if (marks == std::string::npos)
        {
            have = ReadTextLine(stream, line);
            continue;
        }
        const std::string name = line.substr(marks);
        if (marks == 1)
        {
            const auto found = variables.find(name);
            if (found != variables.end())
            {
                if (!found->second->Set(stream, buffer, kBufferSize))
                    return false;
                line = buffer;
                continue;
            }
            // An unknown field: its value lines run to the next marker.
            while ((have = ReadTextLine(stream, line)) &&
                   (line.empty() || (line[0] != '_' && line[0] != '*')))
            {
            }
            continue;
        }
        XMLable* target = nullptr;
        if (marks == 2)
        {
            const auto found = sons.find(name);
            if (found != sons.end())
                target = found->second;
        }
        else if (marks == 3)
        {
            const auto found = lists.find(name);
            if (found != lists.end() && found->second->List && found->second->Factory)
            {
                target = found->second->Factory();
                if (target)
                    found->second->List->push_back(target);
            }
        }
        if (target)
        {
            if (!target->FromASCII(stream))
                return false;
        }
        else if (!SkipSection(stream))
            return false;
        have = ReadTextLine(stream, line);
    }
    return false;
}

bool XMLable::NumbersFinite(const XMLNode& node) const
{
    std::string spare;
    for (const AnyPointer& variable : mVariables)
    {
        const int type = variable.GetType();
        if (type != ANY_INT && type != ANY_FLOAT && type != ANY_DOUBLE && type != ANY_POINT &&
            type != ANY_INT_VECTOR && type != ANY_DOUBLE_VECTOR)
            continue;
        const char* text = node.getChildNode(Key(variable.GetName(), spare)).getText(0);
        // Points and lists separate their numbers by '|', where the prefix
        // rule stops.
        for (const char* piece = text; piece; piece = std::strchr(piece, '|'))
        {
            if (*piece == '|')
                ++piece;
            const double v = KorAtof(piece);
            // A float member takes only what a float holds.
            if (!std::isfinite(v) ||
                (type == ANY_FLOAT && !(std::fabs(v) <= std::numeric_limits<float>::max())))
                return false;
        }
    }
    return true;
}
