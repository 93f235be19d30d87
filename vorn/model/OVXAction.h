#pragma once

#include "KorAction.h"
#include "ModelUi.h"
#include "XMLNode.h"

#include <vector>

// An undo action of the project: the tool (events manager of the main
// view) installed when it was recorded, and elements stored whole as XML
// snapshots (one node and two lists), each an "xml" top node the element
// wrote itself into. Snapshots are taken once and read any number of times.
class OVXAction : public KorAction
{
public:
    OVXAction();

    ModelUi::EventsManager GetEventsManager() const { return mEventsManager; }

    // A new "xml" top node for an element to write itself into.
    static XMLNode NewSnapshot();

    XMLNode Snapshot;
    std::vector<XMLNode> Snapshots1;
    std::vector<XMLNode> Snapshots2;

private:
    ModelUi::EventsManager mEventsManager;
};
