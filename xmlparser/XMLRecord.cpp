#include "XMLRecord.h"

#include "XMLRecordLists.h"

#include <pugixml.hpp>

#include <cstring>

const char* XMLRecord::getName() const
{
    return mNode ? pugi::xml_node(mNode).name() : mName.c_str();
}

int XMLRecord::Find(const char* name) const
{
    const auto matches = [name](const sAttribute& a)
    {
        // Names are short: compared in place, the stored one ending where
        // the asked one does.
        std::uint32_t i = 0;
        while (i < a.NameLength && a.Name[i] == name[i])
            ++i;
        return i == a.NameLength && name[i] == '\0';
    };
    const std::size_t n = mAttributes.size();
    if (mUniqueNames && mHint < n && matches(mAttributes[mHint]))
        return static_cast<int>(mHint++);
    // In order, so that the first of two of one name is the one found.
    for (std::size_t k = 0; k < n; ++k)
        if (matches(mAttributes[k]))
        {
            mHint = k + 1;
            return static_cast<int>(k);
        }
    return -1;
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
    const int found = Find(name);
    if (found < 0)
        return nullptr;
    if (!mValuesMade)
    {
        mValues.clear();
        for (const sAttribute& a : mAttributes)
        {
            mValues.append(a.Value, a.ValueLength);
            mValues.push_back('\0');
        }
        mValuesMade = true;
    }
    std::size_t offset = 0;
    for (int k = 0; k < found; ++k)
        offset += mAttributes[static_cast<std::size_t>(k)].ValueLength + 1;
    return mValues.data() + offset;
}

bool XMLRecord::getAttribute(const char* name, std::string_view& value) const
{
    if (!name)
        return false;
    if (mNode)
    {
        const pugi::xml_attribute attribute = pugi::xml_node(mNode).attribute(name);
        if (!attribute)
            return false;
        value = attribute.value();
        return true;
    }
    const int found = Find(name);
    if (found < 0)
        return false;
    const sAttribute& a = mAttributes[static_cast<std::size_t>(found)];
    value = std::string_view(a.Value, a.ValueLength);
    return true;
}

std::size_t XMLRecord::ReadItem(const char* s, std::size_t at)
{
    mNode = nullptr;
    mAttributes.clear();
    mValuesMade = false;
    mHint = 0;
    mUniqueNames = true;
    // One bit per (first byte, length) of the names seen: a bit met twice
    // may be a repeated name, and the plain search is kept.
    std::uint64_t seen = 0;
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
        const std::uint64_t bit = std::uint64_t{1}
                                  << ((static_cast<unsigned char>(a.Name[0]) * 7u + a.NameLength) & 63u);
        if (seen & bit)
            mUniqueNames = false;
        seen |= bit;
        while (IsRecordBlank(s[k]) || s[k] == '=')
            ++k;
        const char quote = s[k++];
        a.Value = s + k;
        while (s[k] != quote)
            ++k;
        a.ValueLength = static_cast<std::uint32_t>(s + k - a.Value);
        mAttributes.push_back(a);
        ++k;
    }
}
