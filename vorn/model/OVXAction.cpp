#include "OVXAction.h"

OVXAction::OVXAction() : mEventsManager(GetModelUi().GetEventsManager())
{
}

XMLNode OVXAction::NewSnapshot()
{
    return XMLNode::createXMLTopNode("xml", 1);
}
