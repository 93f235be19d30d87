#include "XMLTree.h"

const XMLChildIndex* XMLNode::Tree::Indexed(pugi::xml_node_struct* node)
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

const XMLChildIndex* XMLNode::Tree::Build(pugi::xml_node_struct* node)
{
    auto built = std::make_unique<XMLChildIndex>();
    for (pugi::xml_node child = pugi::xml_node(node).first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        built->all.push_back(child.internal_object());
        built->byName[child.name()].push_back(child.internal_object());
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
    found->second->byName[pugi::xml_node(child).name()].push_back(child);
}
