// KorMesh's text form: "___Vertices", "___Edges", "___Faces" sections of one
// value per line, slot by slot in identifier order, ended by "**". A record
// has no free flag: a free slot is written as zeros and -1 links. Doubles
// are written in the shortest text that reads back exactly.
//
// Reading is O(lines). Half-edge records whose five links are all -1 and
// face records whose half-edge is -1 are free slots again after reading
// (freed in increasing order, so the reuse queue comes back smallest first);
// a vertex record cannot be told from a vertex at the origin and stays live.
// A truncated form (no "**", or a record cut short) empties the mesh and
// returns false; links that could not be walked safely do the same and
// print one line.

#include "KorMesh.h"
#include "KorString.h"

#include "KorException.h"
#include "KorMeshCheck.h"
#include "KorNumbers.h"

#include <cmath>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

void KorMesh::ToASCII(std::ostream& out)
{
    const int coordinates = 3 + (mSaveTextureCoordinates ? 3 : 0) + (mSaveNormals ? 3 : 0);
    out << "___Vertices\n";
    const int vertices = GetVertexVectorSize();
    for (int id = 0; id < vertices; ++id)
    {
        KorVertex* v = GetVertex(id);
        if (v == nullptr)
        {
            for (int k = 0; k < coordinates; ++k)
                out << "0\n";
            out << "-1\n";
            continue;
        }
        out << KorFormatDouble(v->X) << '\n'
            << KorFormatDouble(v->Y) << '\n'
            << KorFormatDouble(v->Z) << '\n';
        if (mSaveTextureCoordinates)
            out << KorFormatDouble(v->Texture.x) << '\n'
                << KorFormatDouble(v->Texture.y) << '\n'
                << KorFormatDouble(v->Texture.z) << '\n';
        if (mSaveNormals)
            out << KorFormatDouble(v->Normal.x) << '\n'
                << KorFormatDouble(v->Normal.y) << '\n'
                << KorFormatDouble(v->Normal.z) << '\n';
        out << std::to_string(v->Edge) << '\n';
    }
    out << "___Edges\n";
    const int edges = GetEdgeVectorSize();
    for (int id = 0; id < edges; ++id)
    {
        KorEdge* e = GetEdge(id);
        if (e == nullptr)
            out << "-1\n-1\n-1\n-1\n-1\n";
        else
            for (int link : {e->Vertex, e->Face, e->Opp, e->Next, e->Turn})
                out << std::to_string(link) << '\n';
    }
    out << "___Faces\n";
    const int faces = GetFaceVectorSize();
    for (int id = 0; id < faces; ++id)
    {
        KorFace* f = GetFace(id);
        out << std::to_string(f == nullptr ? -1 : f->Edge) << '\n';
    }
    out << "**" << std::endl;
}

bool KorMesh::FromASCII(std::istream& in)
{
    Clear();
    mLastReadFailed = false;
    const bool textures = mSaveTextureCoordinates;
    const bool normals = mSaveNormals;

    // Field layout of one record per section; a vertex's fields are
    // X Y Z [TX TY TZ] [NX NY NZ] Edge, the switches dropping the groups.
    std::vector<int> freeEdges, freeFaces;
    auto fail = [this]()
    {
        Clear();
        mLastReadFailed = true;
        return false;
    };

    // Lines are counted so that a refused value can be named by its line.
    std::string line;
    long long lineNumber = 0;
    auto readLine = [&]()
    {
        if (!ReadTextLine(in, line))
            return false;
        ++lineNumber;
        return true;
    };
    if (!readLine())
        return fail();
    for (;;)
    {
        if (line == "**")
            break;
        int kind = line == "___Vertices" ? 0 : line == "___Edges" ? 1 : line == "___Faces" ? 2 : -1;
        if (kind < 0)
        {
            if (!readLine())
                return fail();
            continue;
        }
        const int fieldCount = kind == 0 ? 4 + (textures ? 3 : 0) + (normals ? 3 : 0) : kind == 1 ? 5 : 1;
        std::vector<std::string> fields;
        std::vector<long long> fieldLines;
        for (;;)
        {
            if (!readLine())
                return fail();
            if (line.empty())
                continue;
            if (line[0] == '*' || line[0] == '_')
                break;
            fields.push_back(line);
            fieldLines.push_back(lineNumber);
            if (static_cast<int>(fields.size()) < fieldCount)
                continue;
            if (kind == 0)
            {
                // A coordinate that is not finite would make every measure
                // of the mesh NaN: the form is refused as a corrupt one is.
                for (int k = 0; k + 1 < fieldCount; ++k)
                    if (!std::isfinite(KorAtof(fields[static_cast<size_t>(k)])))
                    {
                        KorReport("KorMesh::FromASCII",
                                  "The coordinate '" + MessageExcerpt(fields[static_cast<size_t>(k)]) +
                                      "' at line " + std::to_string(fieldLines[static_cast<size_t>(k)]) +
                                      " is not a finite number, nothing read");
                        return fail();
                    }
                KorVertex* v = mVertices.Add();
                size_t k = 0;
                v->X = KorAtof(fields[k++]);
                v->Y = KorAtof(fields[k++]);
                v->Z = KorAtof(fields[k++]);
                if (textures)
                {
                    v->Texture.x = KorAtof(fields[k++]);
                    v->Texture.y = KorAtof(fields[k++]);
                    v->Texture.z = KorAtof(fields[k++]);
                }
                if (normals)
                {
                    v->Normal.x = KorAtof(fields[k++]);
                    v->Normal.y = KorAtof(fields[k++]);
                    v->Normal.z = KorAtof(fields[k++]);
                }
                v->Edge = KorAtoi(fields[k]);
            }
            else if (kind == 1)
            {
                KorEdge* e = mEdges.Add();
                e->Vertex = KorAtoi(fields[0]);
                e->Face = KorAtoi(fields[1]);
                e->Opp = KorAtoi(fields[2]);
                e->Next = KorAtoi(fields[3]);
                e->Turn = KorAtoi(fields[4]);
                if (e->Vertex == -1 && e->Face == -1 && e->Opp == -1 && e->Next == -1 && e->Turn == -1)
                    freeEdges.push_back(e->GetID());
            }
            else
            {
                KorFace* f = mFaces.Add();
                f->Edge = KorAtoi(fields[0]);
                if (f->Edge == -1)
                    freeFaces.push_back(f->GetID());
            }
            fields.clear();
            fieldLines.clear();
        }
        // A record cut short means the form was truncated or written with
        // other switches: its fields would shift into the next section.
        if (!fields.empty())
            return fail();
    }

    for (int id : freeEdges)
        mEdges.DeleteItem(id);
    for (int id : freeFaces)
        mFaces.DeleteItem(id);
    SetModified();

    std::string reason;
    if (!KorMeshLinksAreSound(*this, reason))
    {
        KorReport("KorMesh::FromASCII", "Corrupt mesh, nothing read : " + reason);
        return fail();
    }
    return true;
}
