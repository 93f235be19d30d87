#include "KorMeshXMLReader.h"

#include "KorMesh.h"
#include "KorMeshCheck.h"
#include "KorNumbers.h"
#include "KorParallel.h"
#include "KorString.h"
#include "XMLRecord.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

namespace
{
// Chunks (of up to 1000 items) per part: parts small enough to keep every
// core busy to the end, large enough that handing them out costs nothing.
const size_t kChunksPerPart = 16;

// A number that is the whole text is read by from_chars (correctly rounded,
// as strtod); any other text through KorAtof, whose value it is anyway.
double ReadCoordinate(const XMLRecord& item, const char* name)
{
    std::string_view text;
    if (!item.getAttribute(name, text))
        return 0.0;
    double value = 0.0;
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    if (read.ec == std::errc() && read.ptr == end && !text.empty())
        return value;
    return KorAtof(std::string(text).c_str());
}

// An identifier as KorAtoi reads it (leading blanks, a sign, the digits up
// to the first other character; 0 without digits; -1 when the attribute is
// missing), summed in 64 bits over at most ten significant digits so that
// no text overflows. False when the value lies beyond int: no table holds
// such an identifier, and a clamped one would stand for another.
bool ReadIdentifier(const XMLRecord& item, const char* name, int& value)
{
    value = -1;
    std::string_view text;
    if (!item.getAttribute(name, text))
        return true;
    size_t k = 0;
    while (k < text.size() && text[k] != '\0' && std::strchr(" \t\n\v\f\r", text[k]) != nullptr)
        ++k;
    const bool negative = k < text.size() && text[k] == '-';
    if (k < text.size() && (text[k] == '-' || text[k] == '+'))
        ++k;
    while (k < text.size() && text[k] == '0')
        ++k;
    int64_t magnitude = 0;
    int digits = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k)
        if (++digits <= 10)
            magnitude = magnitude * 10 + (text[k] - '0');
    const int64_t read = negative ? -magnitude : magnitude;
    if (digits > 10 || read < std::numeric_limits<int>::min() || read > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(read);
    return true;
}

bool IsFinite(const LumPoint& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool HasAttribute(const XMLRecord& item, const char* name)
{
    std::string_view text;
    return item.getAttribute(name, text);
}

// The coordinates x, y, z into point when wanted and the item holds x.
bool ReadTriple(const XMLRecord& item, bool wanted, const char* x, const char* y, const char* z,
                LumPoint& point)
{
    if (!wanted || !HasAttribute(item, x))
        return false;
    point.Define(ReadCoordinate(item, x), ReadCoordinate(item, y), ReadCoordinate(item, z));
    return true;
}

bool ReadExist(const XMLRecord& item)
{
    std::string_view text;
    return item.getAttribute("Exist", text) && !text.empty() && text[0] == '1';
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

// One table from the parts' lists of its kind, in order: a record per item,
// the slots of the items that do not exist freed once the whole kind is in,
// in increasing order, so the reuse queue comes back smallest first; each
// list dropped once taken.
template <class Record, class Part, class Item, class Assign>
void FillTable(KorIDVector<Record>& table, size_t count, std::vector<Part>& parts,
               std::vector<Item> Part::*list, const Assign& assign)
{
    table.Reserve(count);
    std::vector<int> freed;
    for (Part& part : parts)
    {
        for (const Item& item : part.*list)
        {
            Record* record = table.Add();
            if (item.Exist)
                assign(*record, item);
            else
                freed.push_back(record->GetID());
        }
        std::vector<Item>().swap(part.*list);
    }
    for (int id : freed)
        table.DeleteItem(id);
}
} // namespace

KorMeshXMLReader::KorMeshXMLReader(KorMesh& mesh, const XMLNode& node) : mMesh(mesh)
{
    // Each kind is numbered from 0 in document order, whatever chunk holds
    // its items; other elements are passed over.
    if (node.nChildNode("Vertices") == 0)
        mChunks.push_back({node, nullptr});
    else
    {
        const int children = node.nChildNode();
        for (int i = 0; i < children; ++i)
        {
            XMLNode child = node.getChildNode(i);
            if (const char* itemName = ItemNameOfChunk(child.getName()))
                mChunks.push_back({std::move(child), itemName});
        }
    }
    for (size_t first = 0; first < mChunks.size(); first += kChunksPerPart)
    {
        mParts.emplace_back();
        mParts.back().FirstChunk = first;
        mParts.back().EndChunk = std::min(mChunks.size(), first + kChunksPerPart);
    }
}

void KorMeshXMLReader::Refuse(sPart& part, const char* kind, size_t count, std::string text)
{
    if (part.Refused >= 0)
        return;
    part.RefusedKind = kind;
    part.Refused = static_cast<long>(count) - 1;
    part.RefusedText = std::move(text);
}

void KorMeshXMLReader::ReadLink(sPart& part, const XMLRecord& item, const char* kind, const char* name,
                                int& field, size_t count)
{
    if (!ReadIdentifier(item, name, field))
        Refuse(part, kind, count,
               std::string(" : the identifier ") + name + " = '" + MessageExcerpt(item.getAttribute(name)) +
                   "' is out of range");
}

void KorMeshXMLReader::ReadItem(sPart& part, const XMLRecord& item, const char* name, bool legacy)
{
    if (std::strcmp(name, "Vertex") == 0)
    {
        part.Vertices.emplace_back();
        sVertexItem& v = part.Vertices.back();
        v.Exist = ReadExist(item);
        if (!v.Exist)
            return;
        v.X = ReadCoordinate(item, "X");
        v.Y = ReadCoordinate(item, "Y");
        v.Z = ReadCoordinate(item, "Z");
        ReadLink(part, item, "Vertex", "Edge", v.Edge, part.Vertices.size());
        // The legacy layout holds no normal nor texture coordinate.
        if (!legacy)
        {
            v.HasTexture = ReadTriple(item, KorMesh::mSaveTextureCoordinates, "TX", "TY", "TZ", v.Texture);
            v.HasNormal = ReadTriple(item, KorMesh::mSaveNormals, "NX", "NY", "NZ", v.Normal);
        }
        // Texture coordinates and normals not read are 0: only what was
        // read can be other than finite.
        if (part.Refused >= 0 || (std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z) &&
                                  IsFinite(v.Texture) && IsFinite(v.Normal)))
            return;
        if (const char* coordinate = NonFiniteCoordinate(item, v.HasTexture, v.HasNormal))
        {
            Refuse(part, "Vertex", part.Vertices.size(),
                   std::string(" : the coordinate ") + coordinate + " = '" +
                       MessageExcerpt(item.getAttribute(coordinate)) + "' is not a finite number");
        }
    }
    else if (std::strcmp(name, "Edge") == 0)
    {
        part.Edges.emplace_back();
        sEdgeItem& e = part.Edges.back();
        e.Exist = ReadExist(item);
        if (!e.Exist)
            return;
        const size_t count = part.Edges.size();
        ReadLink(part, item, "Edge", "Vertex", e.Vertex, count);
        ReadLink(part, item, "Edge", "Face", e.Face, count);
        ReadLink(part, item, "Edge", "Next", e.Next, count);
        ReadLink(part, item, "Edge", "Opp", e.Opp, count);
        ReadLink(part, item, "Edge", "Turn", e.Turn, count);
    }
    else if (std::strcmp(name, "Face") == 0)
    {
        part.Faces.emplace_back();
        sFaceItem& f = part.Faces.back();
        f.Exist = ReadExist(item);
        if (f.Exist)
            ReadLink(part, item, "Face", "Edge", f.Edge, part.Faces.size());
    }
}

void KorMeshXMLReader::ParsePart(int index)
{
    sPart& part = mParts[static_cast<size_t>(index)];
    try
    {
        for (size_t c = part.FirstChunk; c < part.EndChunk; ++c)
        {
            const sChunk& chunk = mChunks[c];
            const char* itemName = chunk.ItemName;
            if (itemName == nullptr)
                chunk.Node.forEachChild([&](const XMLRecord& item)
                                        { ReadItem(part, item, item.getName(), true); });
            else
                chunk.Node.forEachChild(
                    [&](const XMLRecord& item)
                    {
                        if (std::strcmp(item.getName(), itemName) == 0)
                            ReadItem(part, item, itemName, false);
                    });
        }
    }
    catch (...)
    {
        part.Error = std::current_exception();
    }
}

void KorMeshXMLReader::Fill()
{
    mMesh.Clear();
    mMesh.mLastReadFailed = false;
    size_t vertices = 0, edges = 0, faces = 0;
    for (const sPart& part : mParts)
    {
        // A coordinate that is not finite would make every measure of the
        // mesh NaN, an identifier beyond int names no element: the form is
        // refused as a corrupt one is.
        if (part.Refused >= 0)
        {
            const size_t before = std::strcmp(part.RefusedKind, "Vertex") == 0 ? vertices
                                  : std::strcmp(part.RefusedKind, "Edge") == 0 ? edges
                                                                               : faces;
            mFailure = part.RefusedKind + (" " + std::to_string(before + static_cast<size_t>(part.Refused))) +
                       part.RefusedText + ", nothing read";
            mMesh.mLastReadFailed = true;
            return;
        }
        vertices += part.Vertices.size();
        edges += part.Edges.size();
        faces += part.Faces.size();
    }
    // The three tables are independent: filled side by side.
    auto fillVertices = [this, vertices]
    {
        FillTable(mMesh.mVertices, vertices, mParts, &sPart::Vertices,
                  [](KorVertex& v, const sVertexItem& item)
                  {
                      v.X = item.X;
                      v.Y = item.Y;
                      v.Z = item.Z;
                      v.Edge = item.Edge;
                      if (item.HasTexture)
                          v.Texture = item.Texture;
                      if (item.HasNormal)
                          v.Normal = item.Normal;
                  });
    };
    auto fillEdges = [this, edges]
    {
        FillTable(mMesh.mEdges, edges, mParts, &sPart::Edges,
                  [](KorEdge& e, const sEdgeItem& item)
                  {
                      e.Vertex = item.Vertex;
                      e.Face = item.Face;
                      e.Next = item.Next;
                      e.Opp = item.Opp;
                      e.Turn = item.Turn;
                  });
    };
    auto fillFaces = [this, faces]
    {
        FillTable(mMesh.mFaces, faces, mParts, &sPart::Faces,
                  [](KorFace& f, const sFaceItem& item) { f.Edge = item.Edge; });
    };
    // An exception is thrown here once all three have ended, the
    // vertices' first. A small mesh (an empty layer) is not worth two
    // threads: a project of many would start two for each.
    if (vertices + edges + faces < static_cast<size_t>(kRangeWorthAThread))
    {
        fillVertices();
        fillEdges();
        fillFaces();
    }
    else
        RunEach(3,
                [&](int k)
                {
                    if (k == 0)
                        fillVertices();
                    else if (k == 1)
                        fillEdges();
                    else
                        fillFaces();
                });

    std::string reason;
    if (!KorMeshLinksAreSound(mMesh, reason))
    {
        mFailure = "Corrupt mesh, nothing read : " + reason;
        mMesh.mLastReadFailed = true;
    }
}

void KorMeshXMLReader::Finish()
{
    try
    {
        Fill();
        if (mMesh.mLastReadFailed)
            mMesh.Clear();
    }
    catch (...)
    {
        mFinishError = std::current_exception();
    }
}

void KorMeshXMLReader::Report() const
{
    if (!mFailure.empty())
        KorReport("KorMesh::FromXML", mFailure);
}

void KorMeshXMLReader::Rethrow() const
{
    for (const sPart& part : mParts)
        if (part.Error)
            std::rethrow_exception(part.Error);
    if (mFinishError)
        std::rethrow_exception(mFinishError);
}

void KorMeshXMLReader::ReadSideBySide(const std::vector<KorMeshXMLReader*>& readers, int count,
                                      const std::function<void(int)>& more)
{
    struct sTask
    {
        KorMeshXMLReader* Reader;
        int Part;
    };
    std::vector<sTask> tasks;
    for (KorMeshXMLReader* reader : readers)
        for (int p = 0; p < reader->NumberOfParts(); ++p)
            tasks.push_back({reader, p});
    // Parts left to parse per reader; the thread that parses the last one
    // finishes the mesh. A reader of no part is finished here.
    std::unique_ptr<std::atomic<int>[]> left(new std::atomic<int>[readers.size()]);
    for (size_t r = 0; r < readers.size(); ++r)
    {
        left[r].store(readers[r]->NumberOfParts());
        if (readers[r]->NumberOfParts() == 0)
            readers[r]->Finish();
    }
    std::vector<size_t> readerOf;
    for (size_t r = 0; r < readers.size(); ++r)
        readerOf.insert(readerOf.end(), static_cast<size_t>(readers[r]->NumberOfParts()), r);

    std::atomic<size_t> next{0};
    const size_t all = tasks.size() + static_cast<size_t>(std::max(count, 0));
    auto work = [&]
    {
        for (size_t t = next.fetch_add(1); t < all; t = next.fetch_add(1))
        {
            if (t < all - tasks.size())
            {
                more(static_cast<int>(t));
                continue;
            }
            const size_t part = t - (all - tasks.size());
            KorMeshXMLReader& reader = *tasks[part].Reader;
            reader.ParsePart(tasks[part].Part);
            if (left[readerOf[part]].fetch_sub(1) != 1)
                continue;
            // Every part is parsed (and seen through the counter): finished
            // unless a part failed, which Rethrow reports.
            const bool failed = std::any_of(reader.mParts.begin(), reader.mParts.end(),
                                            [](const sPart& part) { return part.Error != nullptr; });
            if (!failed)
                reader.Finish();
        }
    };
    // Workers taking the next part, as many as the machine runs at once
    // (the calling thread one of them).
    RunEach(static_cast<int>(std::max<size_t>(1, std::min<size_t>(MachineThreads(), all))),
            [&work](int) { work(); });
}
