// KorMesh's XML form: a slot-by-slot dump of the three identifier tables in
// chunks of at most 1000 items ("Vertices"/"Vertex", "Edges"/"Edge",
// "Faces"/"Face"), free slots written as Exist="0", so that an item's
// position is its identifier and no link needs renumbering. Coordinates are
// written in the shortest text that reads back exactly. The reader also
// takes the legacy flat layout (items directly in the mesh element).
//
// Reading is O(items): children are taken in one pass in document order.
// A missing identifier attribute reads as -1, a missing coordinate as 0, an
// item without Exist as a free slot. The links read are then checked
// (KorMeshLinksAreSound); a mesh that could not be walked safely is emptied,
// one line is printed and LastReadFailed() says so. An empty handle (no
// element) leaves the mesh as it was, also with one line and the status.

#include "KorMesh.h"

#include "KorException.h"
#include "KorMeshCheck.h"
#include "KorNumbers.h"
#include "KorString.h"
#include "XMLNode.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const int kChunkSize = 1000;

double ReadCoordinate(const XMLNode& item, const char* name)
{
    const char* text = item.getAttribute(name);
    return text != nullptr ? KorAtof(text) : 0.0;
}

int ReadIdentifier(const XMLNode& item, const char* name)
{
    const char* text = item.getAttribute(name);
    return text != nullptr ? KorAtoi(text) : -1;
}

bool ReadExist(const XMLNode& item)
{
    const char* text = item.getAttribute("Exist");
    return text != nullptr && text[0] == '1';
}

void AddNumber(XMLNode& item, const char* name, double value)
{
    item.addAttribute(name, KorFormatDouble(value).c_str());
}

void AddNumber(XMLNode& item, const char* name, int value)
{
    item.addAttribute(name, std::to_string(value).c_str());
}

// The first coordinate attribute the reader takes from a vertex item that
// reads as no finite number, or null.
const char* NonFiniteCoordinate(const XMLNode& item, bool textures, bool normals)
{
    static const char* const kNames[] = {"X", "Y", "Z", "TX", "TY", "TZ", "NX", "NY", "NZ"};
    for (int k = 0; k < 9; ++k)
    {
        if ((k >= 3 && k < 6 && !textures) || (k >= 6 && !normals))
            continue;
        const char* text = item.getAttribute(kNames[k]);
        if (text != nullptr && !std::isfinite(KorAtof(text)))
            return kNames[k];
    }
    return nullptr;
}

// "Vertex" for a "Vertices" chunk and so on; null for any other element.
const char* ItemNameOfChunk(const char* chunk)
{
    if (std::strcmp(chunk, "Vertices") == 0)
        return "Vertex";
    if (std::strcmp(chunk, "Edges") == 0)
        return "Edge";
    if (std::strcmp(chunk, "Faces") == 0)
        return "Face";
    return nullptr;
}

// Appends one item per slot, opening a new chunk after every kChunkSize
// items; an empty table still gives one empty chunk.
template <typename WriteItem>
void WriteChunks(XMLNode& mesh, const char* chunkName, const char* itemName, int slots, WriteItem writeItem)
{
    XMLNode chunk = mesh.addChild(chunkName);
    int counter = 0;
    for (int id = 0; id < slots; ++id)
    {
        if (counter == kChunkSize)
        {
            chunk = mesh.addChild(chunkName);
            counter = 0;
        }
        XMLNode item = chunk.addChild(itemName);
        writeItem(item, id);
        ++counter;
    }
}
} // namespace

void KorMesh::ToXML(XMLNode& node)
{
    WriteChunks(node, "Vertices", "Vertex", GetVertexVectorSize(),
                [this](XMLNode& item, int id)
                {
                    KorVertex* v = GetVertex(id);
                    if (v == nullptr)
                    {
                        item.addAttribute("Exist", "0");
                        return;
                    }
                    item.addAttribute("Exist", "1");
                    AddNumber(item, "X", v->X);
                    AddNumber(item, "Y", v->Y);
                    AddNumber(item, "Z", v->Z);
                    if (mSaveTextureCoordinates)
                    {
                        AddNumber(item, "TX", v->Texture.x);
                        AddNumber(item, "TY", v->Texture.y);
                        AddNumber(item, "TZ", v->Texture.z);
                    }
                    if (mSaveNormals)
                    {
                        AddNumber(item, "NX", v->Normal.x);
                        AddNumber(item, "NY", v->Normal.y);
                        AddNumber(item, "NZ", v->Normal.z);
                    }
                    AddNumber(item, "Edge", v->Edge);
                });
    WriteChunks(node, "Edges", "Edge", GetEdgeVectorSize(),
                [this](XMLNode& item, int id)
                {
                    KorEdge* e = GetEdge(id);
                    if (e == nullptr)
                    {
                        item.addAttribute("Exist", "0");
                        return;
                    }
                    item.addAttribute("Exist", "1");
                    AddNumber(item, "Vertex", e->Vertex);
                    AddNumber(item, "Face", e->Face);
                    AddNumber(item, "Next", e->Next);
                    AddNumber(item, "Opp", e->Opp);
                    AddNumber(item, "Turn", e->Turn);
                });
    WriteChunks(node, "Faces", "Face", GetFaceVectorSize(),
                [this](XMLNode& item, int id)
                {
                    KorFace* f = GetFace(id);
                    if (f == nullptr)
                    {
                        item.addAttribute("Exist", "0");
                        return;
                    }
                    item.addAttribute("Exist", "1");
                    AddNumber(item, "Edge", f->Edge);
                });
}

// One item of each kind: a live slot filled from the attributes, or a slot
// recorded as free (freed after the whole kind is read, in increasing order,
// so the reuse queue comes back smallest first).
void KorMesh::ReadVertexItem(const XMLNode& item, bool legacy, std::vector<int>& freed)
{
    KorVertex* v = mVertices.Add();
    if (!ReadExist(item))
    {
        freed.push_back(v->GetID());
        return;
    }
    v->X = ReadCoordinate(item, "X");
    v->Y = ReadCoordinate(item, "Y");
    v->Z = ReadCoordinate(item, "Z");
    v->Edge = ReadIdentifier(item, "Edge");
    // The legacy layout holds no normal nor texture coordinate; its reader
    // prints nothing per vertex.
    if (legacy)
        return;
    if (mSaveTextureCoordinates && item.getAttribute("TX") != nullptr)
        v->Texture.Define(ReadCoordinate(item, "TX"), ReadCoordinate(item, "TY"), ReadCoordinate(item, "TZ"));
    if (mSaveNormals && item.getAttribute("NX") != nullptr)
        v->Normal.Define(ReadCoordinate(item, "NX"), ReadCoordinate(item, "NY"), ReadCoordinate(item, "NZ"));
}

void KorMesh::ReadEdgeItem(const XMLNode& item, std::vector<int>& freed)
{
    KorEdge* e = mEdges.Add();
    if (!ReadExist(item))
    {
        freed.push_back(e->GetID());
        return;
    }
    e->Vertex = ReadIdentifier(item, "Vertex");
    e->Face = ReadIdentifier(item, "Face");
    e->Next = ReadIdentifier(item, "Next");
    e->Opp = ReadIdentifier(item, "Opp");
    e->Turn = ReadIdentifier(item, "Turn");
}

void KorMesh::ReadFaceItem(const XMLNode& item, std::vector<int>& freed)
{
    KorFace* f = mFaces.Add();
    if (!ReadExist(item))
    {
        freed.push_back(f->GetID());
        return;
    }
    f->Edge = ReadIdentifier(item, "Edge");
}

void KorMesh::FromXML(const XMLNode& node)
{
    // No element at all (a file that did not parse, a missing child) is not
    // an empty mesh: the mesh is kept and the read reported as failed.
    if (node.isEmpty())
    {
        mLastReadFailed = true;
        KorReport("KorMesh::FromXML", "No mesh element to read, the mesh is kept");
        return;
    }
    Clear();
    mLastReadFailed = false;

    // Each kind is numbered from 0 in document order, whatever chunk holds
    // its items; other elements are passed over.
    std::vector<int> freeVertices, freeEdges, freeFaces;
    std::string nonFinite; // the first vertex with a coordinate that is not finite
    auto readItem = [&](const XMLNode& item, const char* name, bool legacy)
    {
        if (std::strcmp(name, "Vertex") == 0)
        {
            ReadVertexItem(item, legacy, freeVertices);
            const int id = GetVertexVectorSize() - 1;
            const bool textures = !legacy && mSaveTextureCoordinates && item.getAttribute("TX") != nullptr;
            const bool normals = !legacy && mSaveNormals && item.getAttribute("NX") != nullptr;
            const char* coordinate = nullptr;
            if (nonFinite.empty() && ReadExist(item) &&
                (coordinate = NonFiniteCoordinate(item, textures, normals)) != nullptr)
                nonFinite = "Vertex " + std::to_string(id) + " : the coordinate " + coordinate + " = '" +
                            MessageExcerpt(item.getAttribute(coordinate)) + "' is not a finite number";
        }
        else if (std::strcmp(name, "Edge") == 0)
            ReadEdgeItem(item, freeEdges);
        else if (std::strcmp(name, "Face") == 0)
            ReadFaceItem(item, freeFaces);
    };
    const bool chunked = node.nChildNode("Vertices") > 0;
    const int children = node.nChildNode();
    for (int i = 0; i < children; ++i)
    {
        const XMLNode child = node.getChildNode(i);
        if (!chunked)
        {
            readItem(child, child.getName(), true);
            continue;
        }
        const char* itemName = ItemNameOfChunk(child.getName());
        if (itemName == nullptr)
            continue;
        const int items = child.nChildNode();
        for (int j = 0; j < items; ++j)
        {
            const XMLNode item = child.getChildNode(j);
            if (std::strcmp(item.getName(), itemName) == 0)
                readItem(item, itemName, false);
        }
    }
    // A coordinate that is not finite would make every measure of the mesh
    // NaN: the form is refused as a corrupt one is.
    if (!nonFinite.empty())
    {
        Clear();
        mLastReadFailed = true;
        KorReport("KorMesh::FromXML", nonFinite + ", nothing read");
        return;
    }
    for (int id : freeVertices)
        mVertices.DeleteItem(id);
    for (int id : freeEdges)
        mEdges.DeleteItem(id);
    for (int id : freeFaces)
        mFaces.DeleteItem(id);

    std::string reason;
    if (!KorMeshLinksAreSound(*this, reason))
    {
        Clear();
        mLastReadFailed = true;
        KorReport("KorMesh::FromXML", "Corrupt mesh, nothing read : " + reason);
    }
}
