#include "XMLRecord.h"

#include "XMLRecordLists.h"

#include <pugixml.hpp>

#include <cstring>

const char* XMLRecord::getName() const
{
    return mNode ? pugi::xml_node(mNode).name() : mName.c_str();
}

const char* XMLRecord::getAttribute(const char* name) const
{
    if (!name)
        return nullptr;
    if (mNode)
    {
        const pugi::xml_attribute attribute = pugi::xml_node(mNode).attribute(name);
        return attribute ? attribute.value() : nullptr;
    }
    // In order, so that the first of two of one name is the one found.
    const std::size_t length = std::strlen(name);
    for (const sAttribute& a : mAttributes)
        if (a.NameLength == length && a.Name[0] == name[0] && std::memcmp(a.Name, name, length) == 0)
            return mValues.data() + a.Value;
    return nullptr;
}

std::size_t XMLRecord::ReadItem(const char* s, std::size_t at)
{
    mNode = nullptr;
    mValues.clear();
    mAttributes.clear();
    std::size_t k = at + 1;
    const std::size_t nameStart = k;
    while (IsRecordNameChar(s[k]))
        ++k;
    mName.assign(s + nameStart, k - nameStart);
    for (;;)
    {
        while (IsRecordBlank(s[k]))
            ++k;
        if (s[k] == '/')
            return k + 2;
        sAttribute a;
        a.Name = s + k;
        while (IsRecordNameChar(s[k]))
            ++k;
        a.NameLength = static_cast<std::uint32_t>(s + k - a.Name);
        a.Value = static_cast<std::uint32_t>(mValues.size());
        mAttributes.push_back(a);
        while (IsRecordBlank(s[k]) || s[k] == '=')
            ++k;
        const char quote = s[k++];
        const std::size_t valueStart = k;
        while (s[k] != quote)
            ++k;
        mValues.append(s + valueStart, k - valueStart);
        mValues.push_back('\0');
        ++k;
    }
}
