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
#include "XMLRecord.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace
{
const int kChunkSize = 1000;

// A number that is the whole text is read by from_chars (correctly rounded,
// as strtod); any other text through KorAtof, whose value it is anyway.
double ReadCoordinate(const XMLRecord& item, const char* name)
{
    const char* text = item.getAttribute(name);
    if (text == nullptr)
        return 0.0;
    const char* end = text + std::strlen(text);
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(text, end, value);
    if (read.ec == std::errc() && read.ptr == end && end != text)
        return value;
    return KorAtof(text);
}

// A plain decimal of at most nine digits, as written, is read here; any
// other text through KorAtoi, whose value it is anyway.
int ReadIdentifier(const XMLRecord& item, const char* name)
{
    const char* text = item.getAttribute(name);
    if (text == nullptr)
        return -1;
    const char* p = text + (text[0] == '-' ? 1 : 0);
    int value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 10; ++p, ++digits)
        value = value * 10 + (*p - '0');
    if (digits == 0 || digits > 9)
        return KorAtoi(text);
    return text[0] == '-' ? -value : value;
}

bool IsFinite(const LumPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool ReadExist(const XMLRecord& item)
{
    const char* text = item.getAttribute("Exist");
    return text != nullptr && text[0] == '1';
}

void AddNumber(const XMLAttributeSink& add, const char* name, double value)
{
    add(name, KorFormatDouble(value).c_str());
}

void AddNumber(const XMLAttributeSink& add, const char* name, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    add(name, text);
}

// The first coordinate attribute the reader takes from a vertex item that
// reads as no finite number, or null.
const char* NonFiniteCoordinate(const XMLRecord& item, bool textures, bool normals)
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

// Appends one chunk per kChunkSize items; an empty table still gives one
// empty chunk.
template <typename WriteItem>
void WriteChunks(XMLNode& mesh, const char* chunkName, const char* itemName, int slots, WriteItem writeItem)
{
    for (int first = 0; first == 0 || first < slots; first += kChunkSize)
        mesh.addRecordList(chunkName, itemName, std::min(kChunkSize, slots - first),
                           [first, writeItem](int i, const XMLAttributeSink& add) { writeItem(add, first + i); });
}
} // namespace

void KorMesh::ToXML(XMLNode& node)
{
    WriteChunks(node, "Vertices", "Vertex", GetVertexVectorSize(),
                [this](const XMLAttributeSink& add, int id)
                {
                    KorVertex* v = GetVertex(id);
                    if (v == nullptr)
                    {
                        add("Exist", "0");
                        return;
                    }
                    add("Exist", "1");
                    AddNumber(add, "X", v->X);
                    AddNumber(add, "Y", v->Y);
                    AddNumber(add, "Z", v->Z);
                    if (mSaveTextureCoordinates)
                    {
                        AddNumber(add, "TX", v->Texture.x);
                        AddNumber(add, "TY", v->Texture.y);
                        AddNumber(add, "TZ", v->Texture.z);
                    }
                    if (mSaveNormals)
                    {
                        AddNumber(add, "NX", v->Normal.x);
                        AddNumber(add, "NY", v->Normal.y);
                        AddNumber(add, "NZ", v->Normal.z);
                    }
                    AddNumber(add, "Edge", v->Edge);
                });
    WriteChunks(node, "Edges", "Edge", GetEdgeVectorSize(),
                [this](const XMLAttributeSink& add, int id)
                {
                    KorEdge* e = GetEdge(id);
                    if (e == nullptr)
                    {
                        add("Exist", "0");
                        return;
                    }
                    add("Exist", "1");
                    AddNumber(add, "Vertex", e->Vertex);
                    AddNumber(add, "Face", e->Face);
                    AddNumber(add, "Next", e->Next);
                    AddNumber(add, "Opp", e->Opp);
                    AddNumber(add, "Turn", e->Turn);
                });
    WriteChunks(node, "Faces", "Face", GetFaceVectorSize(),
                [this](const XMLAttributeSink& add, int id)
                {
                    KorFace* f = GetFace(id);
                    if (f == nullptr)
                    {
                        add("Exist", "0");
                        return;
                    }
                    add("Exist", "1");
                    AddNumber(add, "Edge", f->Edge);
                });
}

// One item of each kind: a live slot filled from the attributes, or a slot
// recorded as free (freed after the whole kind is read, in increasing order,
// so the reuse queue comes back smallest first).
void KorMesh::ReadVertexItem(const XMLRecord& item, bool legacy, std::vector<int>& freed)
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

void KorMesh::ReadEdgeItem(const XMLRecord& item, std::vector<int>& freed)
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

void KorMesh::ReadFaceItem(const XMLRecord& item, std::vector<int>& freed)
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
    auto readItem = [&](const XMLRecord& item, const char* name, bool legacy)
    {
        if (std::strcmp(name, "Vertex") == 0)
        {
            ReadVertexItem(item, legacy, freeVertices);
            const int id = GetVertexVectorSize() - 1;
            const KorVertex* v = GetVertex(id);
            // Texture coordinates and normals not read are 0: only what
            // was read can be other than finite.
            if (!nonFinite.empty() || v == nullptr ||
                (std::isfinite(v->X) && std::isfinite(v->Y) && std::isfinite(v->Z) && IsFinite(v->Texture) &&
                 IsFinite(v->Normal)))
                return;
            const bool textures = !legacy && mSaveTextureCoordinates && item.getAttribute("TX") != nullptr;
            const bool normals = !legacy && mSaveNormals && item.getAttribute("NX") != nullptr;
            const char* coordinate = nullptr;
            if ((coordinate = NonFiniteCoordinate(item, textures, normals)) != nullptr)
                nonFinite = "Vertex " + std::to_string(id) + " : the coordinate " + coordinate + " = '" +
                            MessageExcerpt(item.getAttribute(coordinate)) + "' is not a finite number";
        }
        else if (std::strcmp(name, "Edge") == 0)
            ReadEdgeItem(item, freeEdges);
        else if (std::strcmp(name, "Face") == 0)
            ReadFaceItem(item, freeFaces);
    };
    const bool chunked = node.nChildNode("Vertices") > 0;
    if (!chunked)
        node.forEachChild([&](const XMLRecord& item) { readItem(item, item.getName(), true); });
    const int children = chunked ? node.nChildNode() : 0;
    for (int i = 0; i < children; ++i)
    {
        const XMLNode child = node.getChildNode(i);
        const char* itemName = ItemNameOfChunk(child.getName());
        if (itemName == nullptr)
            continue;
        child.forEachChild(
            [&](const XMLRecord& item)
            {
                if (std::strcmp(item.getName(), itemName) == 0)
                    readItem(item, itemName, false);
            });
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
