#include "RawXMLElement.h"

#include "KorException.h"
#include "KorString.h"

#include <map>
#include <vector>

RawXMLElement::RawXMLElement(const std::string& name)
    : mName(name), mContent(XMLNode::createXMLTopNode(name.empty() ? "Element" : name.c_str()))
{
}

void RawXMLElement::CopyContent(const XMLNode& from, XMLNode& to)
{
    struct Step
    {
        XMLNode Source;
        XMLNode Target;
        int Depth;
    };
    std::vector<Step> stack{{from, to, 0}};
    while (!stack.empty())
    {
        auto [source, target, depth] = stack.back();
        stack.pop_back();
        if (depth > MaxDepth)
        {
            const std::string text =
                "L'élément '" + std::string(from.getName()) + "' est imbriqué trop profondément";
            KorReport("RawXMLElement::CopyContent", text);
            throw KorException(text, KorException::ERROR);
        }
        for (int t = 0; t < source.nText(); ++t)
            target.addText(source.getText(t));
        const int n = source.nChildNode();
        for (int i = 0; i < n; ++i)
        {
            const XMLNode child = source.getChildNode(i);
            stack.push_back({child, target.addChild(child.getName()), depth + 1});
        }
    }
}

void RawXMLElement::ToXML(XMLNode& node)
{
    CopyContent(mContent, node);
}

bool RawXMLElement::IsEmpty() const
{
    return mContent.nChildNode() == 0 && mContent.nText() == 0;
}

void RawXMLElement::Clear()
{
    mContent = XMLNode::createXMLTopNode(mName.empty() ? "Element" : mName.c_str());
}

void RawXMLElement::FromXML(const XMLNode& node)
{
    if (IsEmpty())
    {
        CopyContent(node, mContent);
        return;
    }
    XMLNode merged = XMLNode::createXMLTopNode(mName.empty() ? "Element" : mName.c_str());
    for (int t = 0; t < mContent.nText(); ++t)
        merged.addText(mContent.getText(t));
    // The k-th child of a name answers the k-th of the same name.
    std::map<std::string, int> seen;
    const int kept = mContent.nChildNode();
    for (int i = 0; i < kept; ++i)
    {
        const XMLNode old = mContent.getChildNode(i);
        const char* name = old.getName();
        const XMLNode fresh = node.getChildNode(name, seen[name]++);
        XMLNode target = merged.addChild(name);
        CopyContent(!fresh.isEmpty() && fresh.getText() ? fresh : old, target);
    }
    std::map<std::string, int> added;
    const int n = node.nChildNode();
    for (int i = 0; i < n; ++i)
    {
        const XMLNode child = node.getChildNode(i);
        if (added[child.getName()]++ >= mContent.nChildNode(child.getName()))
        {
            XMLNode target = merged.addChild(child.getName());
            CopyContent(child, target);
        }
    }
    mContent = merged;
}

std::string RawXMLElement::GetMemberText(const std::string& key) const
{
    const char* text = mContent.getChildNode(key).getText();
    if (!text)
        return std::string();
    std::string value = text;
    UTF8ToString(value);
    ReplaceChar(value, '$', ' ');
    return value;
}
