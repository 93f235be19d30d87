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
    for (const sAttribute& a : mAttributes)
    {
        // Names are short: compared in place, the stored one ending where
        // the asked one does.
        std::uint32_t i = 0;
        while (i < a.NameLength && a.Name[i] == name[i])
            ++i;
        if (i == a.NameLength && name[i] == '\0')
            return mValues.data() + a.Value;
    }
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
    // Items of a list mostly share their name.
    if (mName.size() != k - nameStart || std::memcmp(mName.data(), s + nameStart, k - nameStart) != 0)
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
