#pragma once

// The common base of every element of the project, so that the project
// deletes any of them through one virtual destructor.
class ElementOVX
{
public:
    virtual ~ElementOVX() = default;
};
