#include "KorOBJ.h"

#include "KorException.h"
#include "KorInputFile.h"
#include "KorNumbers.h"
#include "KorPreMesh.h"
#include "KorString.h"

#include <cmath>

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

const char* kLocation = ".\\OBJ\\korobj -> ";

KorException LineError(const std::string& line, const char* ending)
{
    return KorException(std::string(kLocation) +
                            "KorOBJ::AnalyzeOBJLine -> Impossible to analyse the line '" +
                            MessageExcerpt(line) + "' : " + ending,
                        KorException::ERROR);
}

KorException ConversionError(const std::string& function, const std::string& fileName,
                             const std::string& ending)
{
    return KorException(std::string(kLocation) + function +
                            " -> Impossible to convert the OBJ format from the file '" + fileName + "' " +
                            ending,
                        KorException::ERROR);
}

// Runs a conversion on the file's vertices and faces as a pre-mesh; any
// failure becomes the conversion's own error, chained over the cause.
template <typename Convert>
bool ConvertThroughPreMesh(const std::vector<LumVertex>& vertices, const std::vector<std::vector<int>>& faces,
                           const std::string& function, const std::string& fileName,
                           const std::string& ending, Convert convert)
{
    try
    {
        KorPreMesh pre;
        for (const LumVertex& v : vertices)
            pre.AddVertex(LumPoint(v.X, v.Y, v.Z));
        for (const std::vector<int>& f : faces)
            pre.AddPreFace(f);
        return convert(pre);
    }
    catch (const KorException& e)
    {
        KorException error = ConversionError(function, fileName, ending);
        error << e;
        throw error;
    }
    catch (...)
    {
        throw ConversionError(function, fileName, ending);
    }
}
} // namespace

KorOBJ::KorOBJ(const std::string& fileName)
{
    Load(fileName);
}

bool KorOBJ::Load(const std::string& fileName)
{
    mOpen = false;
    mFileName.clear();
    KorInputFile input;
    if (!input.Open(fileName))
    {
        KorReport("KorOBJ::Load",
                  "The file '" + MessageExcerpt(fileName) + "' cannot be read : " + input.GetError());
        return false;
    }
    std::istream& file = input.Stream();
    const size_t vertices = mVertices.size(), faces = mFaces.size();

    mTextureCounter = 0;
    mNormalCounter = 0;
    mLargestIndex = 0;
    mFault = sFault();
    long long lineNumber = 0;
    try
    {
        std::string line;
        while (std::getline(file, line))
        {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            ++lineNumber;
            AnalyzeOBJLine(line);
        }
        if (input.ReadFailed())
        {
            // A file cut short by a read error is not read at all.
            KorReport("KorOBJ::Load",
                      "The file '" + MessageExcerpt(fileName) + "' cannot be read : " + input.GetError());
            mVertices.resize(vertices);
            mFaces.resize(faces);
            return false;
        }
        if (mLargestIndex >= static_cast<long long>(mVertices.size()))
        {
            mFault.Kind = eFault::MissingVertex;
            mFault.Index = mLargestIndex + 1;
            mFault.Vertices = static_cast<long long>(mVertices.size());
            throw KorException("The faces refence a vertex index maximum of " +
                                   std::to_string(mLargestIndex) + " but there are only " +
                                   std::to_string(mVertices.size()) + " vertices defined in the file",
                               KorException::ERROR);
        }
    }
    catch (const KorException& e)
    {
        if (mFault.Kind != eFault::None && mFault.Kind != eFault::MissingVertex)
            mFault.Line = lineNumber;
        KorException error(std::string(kLocation) +
                               "KorOBJ::Load -> An error occured while reading the file '" + fileName +
                               "' at line " + std::to_string(lineNumber),
                           KorException::ERROR);
        error << e;
        throw error;
    }
    catch (...)
    {
        throw KorException(std::string(kLocation) +
                               "KorOBJ::Load -> An error occured while reading the file '" + fileName +
                               "' at line " + std::to_string(lineNumber),
                           KorException::ERROR);
    }
    mFileName = fileName;
    mOpen = true;
    return true;
}

void KorOBJ::AnalyzeOBJLine(const std::string& line)
{
    const size_t n = line.size();
    size_t i = 0;
    while (i < n && IsBlank(line[i]))
        ++i;
    if (i + 1 >= n)
        return; // empty, or a lone character with nothing after it
    const char c = line[i];
    const char k = line[i + 1];
    if (c == 'v')
    {
        size_t start = 0;
        int kind = 0; // 0 position, 1 texture coordinate, 2 normal
        if (IsBlank(k))
            start = i + 1;
        else if (k == 't' || k == 'n')
        {
            if (i + 2 >= n || !IsBlank(line[i + 2]))
                return;
            kind = k == 't' ? 1 : 2;
            start = i + 2;
        }
        else
        {
            Fault(eFault::Declaration, line);
            throw KorException("Impossible to analyse the line '" + MessageExcerpt(line) +
                                   "' : unknown declaration 'v" + MessageExcerpt(std::string(1, k)) +
                                   "', valid ones that begin with v are 'v', 'vt' and 'vn'",
                               KorException::ERROR);
        }
        try
        {
            const LumPoint values = AnalyzeVertexLine(line, start);
            if (kind == 0)
            {
                LumVertex v;
                v.X = values.x;
                v.Y = values.y;
                v.Z = values.z;
                mVertices.push_back(v);
            }
            else
            {
                // Only positions create vertices: a texture coordinate or a
                // normal beyond the vertices read so far has no vertex to fill.
                size_t& counter = kind == 1 ? mTextureCounter : mNormalCounter;
                if (counter < mVertices.size())
                {
                    LumVertex& v = mVertices[counter];
                    if (kind == 1)
                    {
                        v.U = values.x;
                        v.V = values.y;
                        v.W = values.z;
                    }
                    else
                    {
                        v.NX = values.x;
                        v.NY = values.y;
                        v.NZ = values.z;
                    }
                }
                ++counter;
            }
        }
        catch (const KorException& e)
        {
            KorException error = LineError(line, "Impossible to get the coordinates");
            error << e;
            throw error;
        }
        catch (...)
        {
            throw LineError(line, "Impossible to get the coordinates");
        }
    }
    else if (c == 'f')
    {
        if (!IsBlank(k))
        {
            Fault(eFault::Declaration, line);
            throw KorException("Impossible to analyse the line '" + MessageExcerpt(line) +
                                   "' : unknown declaration 'f" + MessageExcerpt(std::string(1, k)) +
                                   "', the only valid one that begin with f if 'f'",
                               KorException::ERROR);
        }
        try
        {
            std::vector<int> indices;
            AnalyzeFaceLine(line, i + 1, indices);
            mFaces.push_back(std::move(indices));
        }
        catch (const KorException& e)
        {
            KorException error = LineError(line, "The vertices of the face are not valid");
            error << e;
            throw error;
        }
        catch (...)
        {
            throw LineError(line, "The vertices of the face are not valid");
        }
    }
}

// Blank-separated values from start on: two or three, Z 0.0 when two.
// Each value is the numeric prefix of its token (0 when there is none).
LumPoint KorOBJ::AnalyzeVertexLine(const std::string& line, size_t start)
{
    double values[3] = {0.0, 0.0, 0.0};
    int count = 0;
    const size_t n = line.size();
    size_t k = start;
    while (k < n)
    {
        while (k < n && IsBlank(line[k]))
            ++k;
        if (k >= n)
            break;
        if (count == 3)
        {
            Fault(eFault::TooManyValues, line);
            throw KorException("Too many values for a vertex line : there must be 2 or 3 values",
                               KorException::ERROR);
        }
        // The token ends at a blank, where the numeric prefix ends at the latest.
        values[count++] = KorAtof(line.c_str() + k);
        while (k < n && !IsBlank(line[k]))
            ++k;
    }
    if (count < 2)
    {
        Fault(eFault::TooFewValues, line);
        throw KorException("Not enough values for a vertex line : there must be 2 or 3 values",
                           KorException::ERROR);
    }
    for (double v : values)
        if (!std::isfinite(v))
        {
            Fault(eFault::NotFinite, line);
            throw KorException("A value of the vertex line is not a finite number", KorException::ERROR);
        }
    return LumPoint(values[0], values[1], values[2]);
}

// Entries separated by blanks; of each only the field before its first '/'
// counts (texture and normal references are ignored).
void KorOBJ::AnalyzeFaceLine(const std::string& line, size_t start, std::vector<int>& indices)
{
    indices.clear();
    const size_t n = line.size();
    size_t k = start;
    while (k < n)
    {
        while (k < n && IsBlank(line[k]))
            ++k;
        if (k >= n)
            break;
        if (line[k] == '/')
        {
            Fault(eFault::Separator, line);
            throw KorException("Invalid separator '/' in the line '" + MessageExcerpt(line) + "'",
                               KorException::ERROR);
        }
        // The numeric prefix stops at the '/' or the blank that ends the field.
        const long long index = static_cast<long long>(KorAtoi(line.c_str() + k)) - 1;
        if (index < 0)
        {
            Fault(index < -1 ? eFault::RelativeIndex : eFault::ZeroIndex, line);
            throw KorException("Impossible to get a vertex in the line '" + MessageExcerpt(line) +
                                   "' : the indices of vertices must be > 0",
                               KorException::ERROR);
        }
        if (index > mLargestIndex)
            mLargestIndex = index;
        indices.push_back(static_cast<int>(index));
        while (k < n && !IsBlank(line[k]))
            ++k;
    }
    if (indices.size() < 3)
    {
        Fault(eFault::TooFewVertices, line);
        throw KorException("Not enough vertices to define a face in the line '" + MessageExcerpt(line) +
                               "' : there must be at least 3 vertices",
                           KorException::ERROR);
    }
}

void KorOBJ::Fault(eFault kind, const std::string& line)
{
    if (mFault.Kind != eFault::None)
        return;
    mFault.Kind = kind;
    mFault.Text = MessageExcerpt(line);
}

bool KorOBJ::ConvertToKorMesh(KorMesh& mesh)
{
    return ConvertThroughPreMesh(mVertices, mFaces, "KorOBJ::ConvertToKorMesh", mFileName, "into a mesh",
                                 [&mesh](KorPreMesh& pre) { return pre.ConvertToKorMesh(mesh); });
}

bool KorOBJ::ConvertToKorMeshes(std::vector<KorMesh>& meshes)
{
    return ConvertThroughPreMesh(mVertices, mFaces, "KorOBJ::ConvertToKorMeshes", mFileName,
                                 "into a vector of meshes",
                                 [&meshes](KorPreMesh& pre) { return pre.ConvertToKorMeshes(meshes); });
}
