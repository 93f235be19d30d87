#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

class SafeFileWriter;
class XMLRecord;
struct XMLText;

// Gives one attribute (name, value) of an item to XMLNode::addRecordList.
using XMLAttributeSink = std::function<void(const char* name, const char* value)>;
// Gives the attributes of item i of a record list, in order.
using XMLItemWriter = std::function<void(int i, const XMLAttributeSink& add)>;

namespace pugi
{
struct xml_node_struct;
}

// How a parse or a write ended. error is None on success; otherwise message
// says why and nLine/nColumn (1-based, bytes) say where in the input the
// fault was found (0 when the fault has no position, such as a missing file).
enum class XMLError
{
    None,
    CannotOpen,   // the file could not be opened or read
    CannotWrite,  // the file could not be written completely
    NoRoot,       // empty input, or no element in it
    Malformed,    // not well-formed: truncated, bad nesting, bad character...
    SeveralRoots, // more than one top element, or text beside the top element
    OutOfMemory,  // the input does not fit in memory
};

struct XMLResults
{
    XMLError error = XMLError::None;
    int nLine = 0;
    int nColumn = 0;
    std::string message;
    // For a write the user can mend, why in French (SafeFileWriter's
    // GetReason), for the command's message; empty otherwise.
    std::string reason;

    explicit operator bool() const { return error == XMLError::None; }
};

// A handle on one node of an XML tree: the program's view of its XML files.
// Handles share ownership of their tree, so a node stays valid as long as
// any handle on any node of the same tree lives (an undo snapshot keeps its
// top node and nothing else). Copying a handle never copies the tree.
//
// An empty handle (default-constructed, or returned for a child that does not
// exist) answers every query with 0, null or another empty handle and
// ignores every change.
//
// A top node is either a declaration (the whole document: its children are
// the document's top elements, and writing it starts with the XML
// declaration) or a plain element.
//
// Element names may start with a digit ("3DTriangles"), which strict XML
// forbids; they are written as they are and read back.
//
// Children are counted and fetched through an index built the first time a
// node with more than a few children is queried and kept up to date by
// addChild, so fetching child i of a node of n children costs O(1) after an
// O(n) first query (reading a mesh of a million items is linear).
//
// Not thread-safe: queries fill the index. One tree, one thread at a time.
class XMLNode
{
public:
    XMLNode();
    XMLNode(const XMLNode&) = default;
    XMLNode& operator=(const XMLNode&) = default;
    ~XMLNode();

    static XMLNode createXMLTopNode(const char* name, int isDeclaration = 0);
    // The same, for a tree made only to be written at once: its record
    // lists (addRecordList) make no node and are written by writeToFile
    // straight from the objects, which must stay unchanged until then. The
    // file is the same byte for byte as from createXMLTopNode.
    static XMLNode createStreamedTopNode(const char* name, int isDeclaration = 0);

    // The document's top node (a declaration node), or an empty handle when
    // the input is not a readable document; results, when given, tells why.
    // Input is UTF-8 and must hold exactly one top element. A path that is
    // not a regular file (a folder, a device, a FIFO) is refused unopened.
    static XMLNode parseFile(const std::string& path, XMLResults* results = nullptr);
    static XMLNode parseString(const std::string& text, XMLResults* results = nullptr);

    // Writes this node and what is under it as UTF-8; a declaration top node
    // writes the declaration line then its one top element. The file is
    // written through SafeFileWriter: replaced only once the new content is
    // completely written and flushed to disk; a replaced file keeps its
    // mode, a link (dangling too) keeps pointing to the file it names, which
    // gets the content, and a file that may not be written, or is not a
    // regular file (a device, a FIFO, a folder, directly or through a link),
    // is refused. Nothing standing in the folder is written through.
    XMLResults writeToFile(const std::string& path, std::nullptr_t encoding = nullptr,
                           int formatted = 1) const;

    // Appends a child element (only appending is offered: isDeclaration must
    // be 0 and position -1). A name that could not be read back (empty,
    // holding blanks or markup characters) is refused with a reported line
    // and an empty handle.
    XMLNode addChild(const char* name, int isDeclaration = 0, int position = -1);
    // Appends a child element named listName holding count empty elements
    // named itemName, the attributes of item i given by item(i, add). The
    // items are nodes at once, or, in a streamed tree, are written by
    // writeToFile, item by item, without a node.
    void addRecordList(const char* listName, const char* itemName, int count, XMLItemWriter item);
    // Appends a text part (position -1 only). An empty text adds nothing.
    void addText(const char* text, int position = -1);
    void addAttribute(const char* name, const char* value);

    int nChildNode() const;
    int nChildNode(const char* name) const;
    // Child element i counted over all child elements, or the i-th of those
    // with the given name; an empty handle past the end.
    XMLNode getChildNode(int i = 0) const;
    XMLNode getChildNode(const char* name, int i = 0) const;

    // Calls visit with each child element in order: its name and
    // attributes only. The one way to read a large list of items: the items
    // of a record list (XMLRecordLists.h) are read from the file's text as
    // they come, without making nodes. O(children).
    void forEachChild(const std::function<void(const XMLRecord&)>& visit) const;

    int nText() const;
    // Text part i, null when there is none.
    const char* getText(int i = 0) const;
    // The value of the first attribute of that name, null when absent.
    const char* getAttribute(const char* name, std::nullptr_t unused = nullptr) const;

    bool isEmpty() const;
    // The element's name; for a top node, the name it was created with.
    const char* getName() const;

    XMLNode addChild(const std::string& name) { return addChild(name.c_str()); }
    void addText(const std::string& text) { addText(text.c_str()); }
    void addAttribute(const std::string& name, const std::string& value)
    {
        addAttribute(name.c_str(), value.c_str());
    }
    int nChildNode(const std::string& name) const { return nChildNode(name.c_str()); }
    XMLNode getChildNode(const std::string& name, int i = 0) const { return getChildNode(name.c_str(), i); }
    const char* getAttribute(const std::string& name) const { return getAttribute(name.c_str()); }

    struct Tree;

private:
    XMLNode(std::shared_ptr<Tree> tree, pugi::xml_node_struct* node);
    int Count(const char* name) const;
    XMLNode Child(const char* name, int i) const;
    static XMLNode ReadFile(const std::string& path, XMLResults* results);
    static XMLNode Parse(XMLText&& text, XMLResults* results);
    // Writes text, the print of a streamed tree, with its record lists put
    // in place of their placeholders; false when a placeholder is not whole.
    bool WriteStreamed(SafeFileWriter& file, const std::string& text) const;

    std::shared_ptr<Tree> mTree;
    pugi::xml_node_struct* mNode;
};
