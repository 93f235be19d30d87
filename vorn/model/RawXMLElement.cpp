#include "RawXMLElement.h"

#include "KorException.h"
#include "KorString.h"

#include <map>
#include <utility>

RawXMLElement::RawXMLElement(const std::string& name) : mName(name)
{
}

void RawXMLElement::CopyContent(const XMLNode& from, XMLNode& to)
{
    std::vector<std::pair<XMLNode, XMLNode>> stack{{from, to}};
    while (!stack.empty())
    {
        auto [source, target] = stack.back();
        stack.pop_back();
        for (int t = 0; t < source.nText(); ++t)
            target.addText(source.getText(t));
        const int n = source.nChildNode();
        for (int i = 0; i < n; ++i)
        {
            const XMLNode child = source.getChildNode(i);
            stack.emplace_back(child, target.addChild(child.getName()));
        }
    }
}

void RawXMLElement::FromXML(const XMLNode& node)
{
    std::vector<std::pair<XMLNode, int>> stack{{node, 0}};
    while (!stack.empty())
    {
        auto [current, depth] = stack.back();
        stack.pop_back();
        if (depth > MaxDepth)
        {
            const std::string text = "L'élément '" + mName + "' est imbriqué trop profondément";
            KorReport("RawXMLElement::FromXML", text);
            throw KorException(text, KorException::ERROR);
        }
        const int n = current.nChildNode();
        for (int i = 0; i < n; ++i)
            stack.emplace_back(current.getChildNode(i), depth + 1);
    }
    mParts.push_back(node);
}

void RawXMLElement::ToXML(XMLNode& node)
{
    if (mParts.empty())
        return;
    if (mParts.size() == 1)
    {
        CopyContent(mParts.front(), node);
        return;
    }
    // The k-th child of a name answers the k-th of the same name.
    using Key = std::pair<std::string, int>;
    std::vector<Key> order;
    std::map<Key, XMLNode> chosen;
    for (const XMLNode& part : mParts)
    {
        std::map<std::string, int> seen;
        const int n = part.nChildNode();
        for (int i = 0; i < n; ++i)
        {
            const XMLNode child = part.getChildNode(i);
            Key key(child.getName(), seen[child.getName()]++);
            const auto found = chosen.find(key);
            if (found == chosen.end())
            {
                chosen.emplace(key, child);
                order.push_back(key);
            }
            else if (child.getText())
                found->second = child;
        }
    }
    const XMLNode& first = mParts.front();
    for (int t = 0; t < first.nText(); ++t)
        node.addText(first.getText(t));
    for (const Key& key : order)
    {
        XMLNode target = node.addChild(key.first);
        CopyContent(chosen.at(key), target);
    }
}

std::string RawXMLElement::GetMemberText(const std::string& key) const
{
    for (auto part = mParts.rbegin(); part != mParts.rend(); ++part)
        if (const char* text = part->getChildNode(key).getText())
        {
            std::string value = text;
            UTF8ToString(value);
            ReplaceChar(value, '$', ' ');
            return value;
        }
    return std::string();
}
