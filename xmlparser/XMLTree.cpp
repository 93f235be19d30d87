#include "XMLTree.h"

#include <iostream>

XMLChildIndex* XMLNode::Tree::Indexed(pugi::xml_node_struct* node)
{
    if (node == lastNode)
        return lastIndex;
    if (index.empty())
        return nullptr;
    const auto found = index.find(node);
    if (found == index.end())
        return nullptr;
    lastNode = node;
    lastIndex = found->second.get();
    return lastIndex;
}

XMLChildIndex* XMLNode::Tree::Build(pugi::xml_node_struct* node)
{
    auto built = std::make_unique<XMLChildIndex>();
    for (pugi::xml_node child = pugi::xml_node(node).first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        built->all.push_back(child.internal_object());
    }
    lastNode = node;
    lastIndex = built.get();
    index[node] = std::move(built);
    return lastIndex;
}

void XMLNode::Tree::ChildAppended(pugi::xml_node_struct* parent, pugi::xml_node_struct* child)
{
    const auto found = index.find(parent);
    if (found == index.end())
        return;
    found->second->all.push_back(child);
    if (found->second->named)
        found->second->byName[pugi::xml_node(child).name()].push_back(child);
}

const std::vector<pugi::xml_node_struct*>* XMLChildIndex::Named(const char* name)
{
    if (!named)
    {
        for (pugi::xml_node_struct* child : all)
            byName[pugi::xml_node(child).name()].push_back(child);
        named = true;
    }
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : &found->second;
}

void XMLNode::Tree::Materialise(pugi::xml_node_struct* node)
{
    if (deferred.empty())
        return;
    const auto found = deferred.find(node);
    if (found == deferred.end())
        return;
    const auto [begin, end] = found->second;
    deferred.erase(found);
    // The range was scanned as a record list: it parses, into the nodes the
    // whole text would have given.
    const pugi::xml_parse_result parsed = pugi::xml_node(node).append_buffer(
        source.data() + begin, end - begin, kXMLParseOptions, pugi::encoding_utf8);
    if (!parsed)
        std::cout << "XMLNode::Tree::Materialise -> A list of items could not be read back: "
                  << parsed.description() << std::endl;
    if (deferred.empty())
        source = XMLText();
}

void XMLNode::Tree::MaterialiseAll()
{
    while (!deferred.empty())
        Materialise(deferred.begin()->first);
}
