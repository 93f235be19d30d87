#pragma once

#include "KorMesh.h"
#include "LumPoint.h"
#include "LumVertex.h"

#include <string>
#include <vector>

// Reads a Wavefront OBJ text file: positions ("v"), texture coordinates
// ("vt"), normals ("vn") and polygonal faces ("f"); every other line is
// ignored. Format errors throw KorException, chained from the outermost
// context (file and line number) to the cause.
//
// Lines are read whole, CRLF and LF alike; blanks and tabs separate values.
// Only "v" lines create vertices: the k-th "vt" (or "vn") line of a load
// fills vertex k when it exists and is ignored otherwise. Face indices are
// 1-based and positive; forward references are allowed, and the largest one
// is checked against the vertex count once the file is read. Numbers are read
// in the "C" convention whatever the process locale. A load appends to the
// lists.
class KorOBJ
{
public:
    KorOBJ() = default;
    // Loads the file; an exception of Load leaves the constructor.
    explicit KorOBJ(const std::string& fileName);

    bool IsOpen() const { return mOpen; }
    const std::vector<LumVertex>& GetVertices() const { return mVertices; }
    const std::vector<std::vector<int>>& GetFaces() const { return mFaces; }

    // False, with one printed line, when the path cannot be opened, names no
    // regular file (a folder, a device, a pipe) or a read fails before the end
    // of the file (the lists then stay as they were); true when read; throws
    // on a format error, keeping what was read before it. A value that is not
    // finite (nan, inf, 1e999) is a format error. Messages quote at most about
    // 200 bytes of a line.
    bool Load(const std::string& fileName);

    // Positions and faces through a pre-mesh, without fusion. The result is
    // false when AddFace refused a face. Throws KorException when the
    // conversion fails (a face index with no vertex left by a failed load).
    bool ConvertToKorMesh(KorMesh& mesh);
    bool ConvertToKorMeshes(std::vector<KorMesh>& meshes);

    // Why the last Load threw, for a program that tells its user in words of
    // its own: the kind, the 1-based line and its text (MissingVertex has no
    // line: the 1-based index named and the vertices defined).
    enum class eFault
    {
        None,
        Declaration,
        TooManyValues,
        TooFewValues,
        NotFinite,
        Separator,
        RelativeIndex,
        ZeroIndex,
        TooFewVertices,
        MissingVertex
    };
    struct sFault
    {
        eFault Kind = eFault::None;
        long long Line = 0;
        std::string Text;
        long long Index = 0;
        long long Vertices = 0;
    };
    const sFault& GetFault() const { return mFault; }

private:
    // Notes the fault of the line being read; Load adds its number.
    void Fault(eFault kind, const std::string& line);

    void AnalyzeOBJLine(const std::string& line);
    LumPoint AnalyzeVertexLine(const std::string& line, size_t start);
    void AnalyzeFaceLine(const std::string& line, size_t start, std::vector<int>& indices);

    std::string mFileName;
    bool mOpen = false;
    std::vector<LumVertex> mVertices;
    std::vector<std::vector<int>> mFaces;

    // State of the load in progress.
    size_t mTextureCounter = 0;
    size_t mNormalCounter = 0;
    long long mLargestIndex = 0;
    sFault mFault;
};
