// KorMesh's XML form: a slot-by-slot dump of the three identifier tables in
// chunks of at most 1000 items ("Vertices"/"Vertex", "Edges"/"Edge",
// "Faces"/"Face"), free slots written as Exist="0", so that an item's
// position is its identifier and no link needs renumbering. Coordinates are
// written in the shortest text that reads back exactly. The reader also
// takes the legacy flat layout (items directly in the mesh element).
//
// Reading is O(items): children are taken in one pass in document order
// (KorMeshXMLReader, which also reads several meshes side by side).
// A missing identifier attribute reads as -1, a missing coordinate as 0, an
// item without Exist as a free slot. The links read are then checked
// (KorMeshLinksAreSound); a mesh that could not be walked safely is emptied,
// one line is printed and LastReadFailed() says so. An empty handle (no
// element) leaves the mesh as it was, also with one line and the status.

#include "KorMesh.h"

#include "KorException.h"
#include "KorMeshXMLReader.h"
#include "KorNumbers.h"
#include "XMLNode.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace
{
const int kChunkSize = 1000;

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
    KorMeshXMLReader reader(*this, node);
    for (int part = 0; part < reader.NumberOfParts(); ++part)
        reader.ParsePart(part);
    reader.Rethrow();
    reader.Finish();
    reader.Rethrow();
    reader.Report();
}
