#include "KorMesh.h"

#include "KorInputFile.h"
#include "KorNumbers.h"

#include <charconv>
#include <ostream>

namespace
{
std::string Hex(int value)
{
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, 16);
    return std::string(buf, r.ptr);
}

void Pair(std::string& out, const char* code, const std::string& value)
{
    out += code;
    out += '\n';
    out += value;
    out += '\n';
}

// Copies a template line by line. A carriage return before a line end is
// dropped so that the output keeps one line-end style, and a final line end
// gives no extra empty line (an empty line between pairs would be read as a
// group code). False when the template cannot be read whole or the output
// failed.
bool CopyTemplate(const std::string& path, std::ostream& out)
{
    KorInputFile in;
    if (!in.Open(path))
        return false;
    std::string line;
    while (std::getline(in.Stream(), line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out << line << '\n';
    }
    return !in.ReadFailed() && out.good();
}
} // namespace

bool KorMesh::WriteDXFHeader(const std::string& headerPath, std::ostream& out)
{
    return out.good() && CopyTemplate(headerPath, out);
}

// Cost O(V + F + sum of face sizes); the vertex numbering is one array over
// the vertex slots, so deleted slots leave no gap in the numbers.
bool KorMesh::ToDXF(std::ostream& out, int& handle) const
{
    if (!out.good())
        return false;

    std::vector<int> number(static_cast<size_t>(GetVertexVectorSize()), 0);
    int count = 0;
    for (int id = 0; id < GetVertexVectorSize(); ++id)
        if (GetVertex(id))
            number[static_cast<size_t>(id)] = ++count;

    std::string text;
    const std::string owner = Hex(handle);
    auto entityStart = [&](const char* type, const std::string& ownerHandle)
    {
        Pair(text, "  0", type);
        Pair(text, "  5", Hex(handle++));
        Pair(text, "330", ownerHandle);
        Pair(text, "100", "AcDbEntity");
        Pair(text, "  8", "0");
    };
    auto zeroPosition = [&]()
    {
        Pair(text, " 10", "0.0");
        Pair(text, " 20", "0.0");
        Pair(text, " 30", "0.0");
    };

    entityStart("POLYLINE", "1F");
    Pair(text, "100", "AcDbPolyFaceMesh");
    zeroPosition();
    Pair(text, " 70", "    64");
    Pair(text, " 71", std::to_string(count));

    for (int id = 0; id < GetVertexVectorSize(); ++id)
    {
        const KorVertex* v = GetVertex(id);
        if (!v)
            continue;
        entityStart("VERTEX", owner);
        Pair(text, "100", "AcDbVertex");
        Pair(text, "100", "AcDbPolyFaceMeshVertex");
        Pair(text, " 10", KorFormatDouble(v->X));
        Pair(text, " 20", KorFormatDouble(v->Y));
        Pair(text, " 30", KorFormatDouble(v->Z));
        Pair(text, " 70", "   192");
    }

    std::vector<int> corners;
    for (int id = 0; id < GetFaceVectorSize(); ++id)
    {
        const KorFace* f = GetFace(id);
        if (!f)
            continue;
        GetFaceVertices(f, corners);
        const size_t n = corners.size();
        if (n < 3)
            continue;
        auto num = [&](size_t k)
        {
            const int v = corners[k];
            return (v >= 0 && v < GetVertexVectorSize()) ? number[static_cast<size_t>(v)] : 0;
        };
        const std::string a = std::to_string(num(0));
        for (size_t j = 2; j < n; ++j)
        {
            entityStart("VERTEX", owner);
            Pair(text, "100", "AcDbFaceRecord");
            zeroPosition();
            Pair(text, " 70", "   128");
            Pair(text, " 71", (j == 2 ? "" : "-") + a);
            Pair(text, " 72", std::to_string(num(j - 1)));
            Pair(text, " 73", (j == n - 1 ? "" : "-") + std::to_string(num(j)));
            Pair(text, " 74", "-" + a);
        }
        if (text.size() > (1u << 20))
        {
            if (!(out << text))
                return false;
            text.clear();
        }
    }

    entityStart("SEQEND", owner);
    out << text;
    return out.good();
}

bool KorMesh::WriteDXFCloser(const std::string& closerPath, std::ostream& out)
{
    return out.good() && CopyTemplate(closerPath, out);
}
