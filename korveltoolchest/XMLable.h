#pragma once

#include "AnyPointer.h"
#include "XMLNode.h"

#include <istream>
#include <ostream>
#include <string>
#include <vector>

// The base of every saved object. A derived class registers its members as
// named typed fields and its saved sub-objects as named sons, and the base
// writes and reads them in an XML form and in a line-oriented ASCII form.
//
// Records hold the addresses of the registering object's own members. They
// are made by one private routine of each derived class, called from every
// one of its constructors, the copy constructor included; copying never
// copies records (a copy's records refer to the copy's own members, see
// docs/CONVENTIONS.md, "Saved objects"). The base owns no son, list or list
// element, only its records.
//
// XML form: one child element per field, in registration order, named after
// the field, its text the field's text form with every ' ' written as '$';
// then one child element per son, filled by the son's ToXML. Son lists are
// not written in the XML form.
//
// ASCII form: per field a line "_name" then its value lines; per son a line
// "__name" then the son's form; per son-list element a line "___name" then
// the element's form; a last line "**".
class XMLable
{
public:
    // A list of owned-by-the-derived-object elements, written in the ASCII
    // form; Factory makes an empty element of the list's type for reading.
    struct SonList
    {
        std::string Name;
        std::vector<XMLable*>* List;
        XMLable* (*Factory)();
    };

    XMLable() = default;
    // A copy starts with no records; the derived copy constructor registers
    // its own members.
    XMLable(const XMLable&) {}
    // Each object keeps its records: they already refer to its own members.
    XMLable& operator=(const XMLable&) { return *this; }
    virtual ~XMLable() = default;

    virtual void ToXML(XMLNode& node);
    virtual void FromXML(const XMLNode& node);
    virtual void ToASCII(std::ostream& stream);
    virtual bool FromASCII(std::istream& stream);

    // Register a field; a name that is empty or starts with '*' or '_' is
    // ignored (those characters mark the ASCII form's lines).
    void AddVariable(const std::string& name, int* member);
    void AddVariable(const std::string& name, float* member);
    void AddVariable(const std::string& name, double* member);
    void AddVariable(const std::string& name, bool* member);
    void AddVariable(const std::string& name, std::string* member);
    void AddVariable(const std::string& name, LumPoint* member);
    void AddVariable(const std::string& name, std::vector<std::string>* member);
    void AddVariable(const std::string& name, std::vector<int>* member);
    void AddVariable(const std::string& name, std::vector<double>* member);
    // Registers a saved sub-object, not owned; the same name rule, and a
    // null son is ignored. The son must stay the same object for the
    // owner's life (reset it in place rather than replace it).
    void AddSon(const std::string& name, XMLable* son);

    // Whether every number the node holds for a registered numeric member
    // (int, double, point or number list) reads as a finite number; an
    // element that is missing or has no text counts as finite. The reading
    // itself takes "nan" or "1e400" without a word.
    bool NumbersFinite(const XMLNode& node) const;

protected:
    // FromXML's two steps: the registered fields, then the sons.
    void ReadVariables(const XMLNode& node);
    void ReadSons(const XMLNode& node);

    struct Son
    {
        std::string Name;
        XMLable* Object;
    };

    std::vector<AnyPointer> mVariables;
    std::vector<Son> mSons;
    // Appended by the derived class directly, in its registration routine.
    std::vector<SonList> mSonLists;

private:
    static bool IsRegistrable(const std::string& name);
};
