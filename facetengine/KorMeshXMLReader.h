#pragma once

#include "LumPoint.h"
#include "XMLNode.h"

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <vector>

class KorMesh;
class XMLRecord;

// KorMesh::FromXML cut into steps, so that several meshes (the layers of a
// project) are read side by side, each mesh's chunks on several threads,
// with the very result, failure line and exception of a sequential read:
// - the constructor lists the chunks of the mesh element (calling thread:
//   it queries the tree);
// - ParsePart reads the items of one run of chunks into the reader's own
//   arrays (any thread; parts of one mesh at once);
// - Finish, once every part is parsed, fills the mesh, frees its free slots
//   and checks its links (any thread, one per mesh);
// - Report, on the calling thread, prints the line FromXML prints, and
//   Rethrow throws what a sequential read would have thrown first.
// Parts and Finish touch nothing but the reader, its mesh and the parsed
// text: they print nothing and make no tree query, so the tree must not be
// queried by any other thread meanwhile (XMLNode is not thread-safe).
class KorMeshXMLReader
{
public:
    // node must not be empty (FromXML handles that case first).
    KorMeshXMLReader(KorMesh& mesh, const XMLNode& node);
    KorMeshXMLReader(const KorMeshXMLReader&) = delete;
    KorMeshXMLReader& operator=(const KorMeshXMLReader&) = delete;

    int NumberOfParts() const { return static_cast<int>(mParts.size()); }
    void ParsePart(int part);
    void Finish();
    void Report() const;
    // Throws the exception a part or Finish ended with, the part's first in
    // part order, as a sequential read would have met them; nothing if none.
    void Rethrow() const;
    KorMesh& Mesh() { return mMesh; }

    // Reads every reader's mesh: parts on up to one thread per core (the
    // calling thread among them), each mesh finished as soon as its last
    // part is parsed. A part's exception is kept in its reader (Rethrow);
    // the call returns once every thread has ended. Prints nothing.
    // The same threads also run more(k) for each k < count, before the
    // parts: the caller's own reading beside the meshes (which must not
    // throw, nor query the tree): however many pieces, no more threads.
    static void ReadSideBySide(const std::vector<KorMeshXMLReader*>& readers, int count = 0,
                               const std::function<void(int)>& more = {});

private:
    struct sChunk
    {
        XMLNode Node;
        // The one item name this chunk holds; null for the legacy layout,
        // whose items of the three kinds stand in the mesh element itself.
        const char* ItemName = nullptr;
    };
    struct sVertexItem
    {
        bool Exist = false;
        bool HasTexture = false;
        bool HasNormal = false;
        int Edge = -1;
        double X = 0.0, Y = 0.0, Z = 0.0;
        LumPoint Texture, Normal;
    };
    struct sEdgeItem
    {
        bool Exist = false;
        int Vertex = -1, Face = -1, Next = -1, Opp = -1, Turn = -1;
    };
    struct sFaceItem
    {
        bool Exist = false;
        int Edge = -1;
    };
    // A run of consecutive chunks, its items of each kind in document order.
    struct sPart
    {
        size_t FirstChunk = 0;
        size_t EndChunk = 0;
        std::vector<sVertexItem> Vertices;
        std::vector<sEdgeItem> Edges;
        std::vector<sFaceItem> Faces;
        // The part's first item refused (a vertex coordinate that is not
        // finite, an identifier beyond int): its kind ("Vertex", "Edge" or
        // "Face"), its index among the part's items of that kind and the
        // rest of the message.
        const char* RefusedKind = nullptr;
        long Refused = -1;
        std::string RefusedText;
        std::exception_ptr Error;
    };

    void ReadItem(sPart& part, const XMLRecord& item, const char* name, bool legacy);
    // Refuses the last item of that kind read into the part (count items
    // so far), unless an earlier item was refused.
    static void Refuse(sPart& part, const char* kind, size_t count, std::string text);
    // The identifier `name` of the item into field; one beyond int refuses
    // the item.
    static void ReadLink(sPart& part, const XMLRecord& item, const char* kind, const char* name, int& field,
                         size_t count);
    void Fill();

    KorMesh& mMesh;
    std::vector<sChunk> mChunks;
    std::vector<sPart> mParts;
    std::string mFailure;
    std::exception_ptr mFinishError;
};
