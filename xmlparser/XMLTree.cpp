#include "XMLTree.h"

const XMLChildIndex* XMLNode::Tree::Find(pugi::xml_node_struct* node)
{
    const auto found = index.find(node);
    if (found != index.end())
        return found->second.get();

    const pugi::xml_node parent(node);
    int count = 0;
    for (pugi::xml_node child = parent.first_child(); child && count <= kSmallNode; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            ++count;
    if (count <= kSmallNode)
        return nullptr;

    auto built = std::make_unique<XMLChildIndex>();
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        built->all.push_back(child.internal_object());
        built->byName[child.name()].push_back(child.internal_object());
    }
    return index.emplace(node, std::move(built)).first->second.get();
}

void XMLNode::Tree::ChildAppended(pugi::xml_node_struct* parent, pugi::xml_node_struct* child)
{
    const auto found = index.find(parent);
    if (found == index.end())
        return;
    found->second->all.push_back(child);
    found->second->byName[pugi::xml_node(child).name()].push_back(child);
}
